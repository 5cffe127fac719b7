#include "planner/ui/unit3.h"

#include "planner/engine/ElevationTable.h"
#include "planner/engine/PageCalc.h"
#include "planner/engine/PatternPlots.h"
#include "planner/engine/PatternRecord.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/ui/MainState.h"
#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"

#include <QToolTip>

#include <algorithm>

float MaximumTilt = 0.0f;
float MinimumTilt = 0.0f;

namespace {

constexpr int kPdfWidth = 800;
constexpr int kPdfHeight = 905;
constexpr const char* kMinimumHint = "You've reached the \r\nMinimum beam tilt \r\nfor this antenna.";
constexpr const char* kMaximumHint = "You've reached the \r\nMaximum beam tilt \r\nfor this antenna.";

std::string Gain3(float v) { return FloatToStrF(v, TFloatFormat::ffGeneral, 3, 4); }
float Field(const std::string& row, int k) { return static_cast<float>(StrToFloat(GetDelimitedField(k, row, '|'))); }

}  // namespace

Tfrm3::Tfrm3(QWidget* owner) : TChildForm(owner)
{
    setupUi(this);
    InstallPlotMessages();
    TStringList item;
    item.Add("non-Belvor antenna");
    HPolEl->SetItems(item);
    auto items = [](TRadioGroup* g, std::initializer_list<const char*> texts, int columns) {
        TStringList l;
        for (const char* t : texts) l.Add(t);
        g->SetItems(l);
        g->SetColumns(columns);
        g->SetItemIndex(0);
        CompactRadioGroup(g);
    };
    items(RadioGroup1, {"Relative Field", "Decibels"}, 2);
    items(RadioGroup2, {"-5 to 10 deg.", "-5 to 90 deg."}, 2);
    items(RadioGroup3, {"Print Graph", "Print Data", "Print to Disk", "Create PDF"}, 2);
    for (TFSpinEdit* e : {FSpinEdit1, FSpinEdit2}) {
        e->SetMinValue(1.0f);
        e->SetMaxValue(35.0f);
        e->SetIncrement(0.5f);
        e->SetPrecision(2);  // catalog gains carry two decimals
        e->SetValue(20.0f);
    }
    NumEdit1->SetDecimals(2);
    NumEdit1->SetReadOnly(true);
    PDFImage->SetPictureSize(kPdfWidth, kPdfHeight);
    PDFImage->hide();
    Panel2->lower();

    auto on = [this](void (Tfrm3::*handler)(QObject*)) {
        return [this, handler](QObject* sender) { (this->*handler)(sender); };
    };
    HPolEl->OnClick = on(&Tfrm3::HPolElClick);
    NumEdit1->OnChange = on(&Tfrm3::NumEdit1Change);
    SpinButton1->OnUpClick = on(&Tfrm3::SpinButton1UpClick);
    SpinButton1->OnDownClick = on(&Tfrm3::SpinButton1DownClick);
    RadioGroup1->OnClick = on(&Tfrm3::RadioGroup1Click);
    RadioGroup2->OnClick = on(&Tfrm3::RadioGroup1Click);
    RadioGroup3->OnClick = on(&Tfrm3::RadioGroup3Click);
    FSpinEdit1->OnChange = on(&Tfrm3::FSpinEdit1Change);
    FSpinEdit2->OnChange = on(&Tfrm3::FSpinEdit2Change);
}

// --- Showing the page ------------------------------------------------------------------

void Tfrm3::PageShown()
{
    PrintOption = RadioGroup3->ItemIndex();
    ClearImage(Image1->Picture());
    Image1->Invalidate();
    const TSysObj& sys = Sys();
    TAntObj& ant = Ant();

    if (sys.Family == 3) {
        HPolEl->setEnabled(false);
        Image1->hide();
        // No catalog pattern for another make (see page 2).
        SelectedElevationId = 0;
        ClearImage(PDFImage->Picture());
        Panel1->lower();
        Panel2->show();
        if (Page3Fresh) {
            Page3Fresh = false;
        } else {
            FSpinEdit1->SetValue(ant.HElGain);
            FSpinEdit2->SetValue(ant.VElGain);
        }
        Label9->setVisible(ant.Elliptical != 0);
        FSpinEdit2->setVisible(ant.Elliptical != 0);
        // The model holds the gains the panel shows, defaults included.
        FSpinEdit1Change(FSpinEdit1);
        if (ant.Elliptical) FSpinEdit2Change(FSpinEdit2);
        return;
    }

    HPolEl->setEnabled(true);
    Panel2->lower();
    Panel1->show();
    Panel1->raise();
    Image1->show();
    ElevationTraceCount = 1;  // trace 1 follows the selected pattern
    catalog_ = sys.Family == 0 ? 9000 : (sys.Family == 1 ? 10000 : 11000);
    SpinButton1->setEnabled(sys.Family != 0);
    TStringList rows;
    const int32_t last = LastRecordId(catalog_);
    for (int32_t id = catalog_ + 1; id <= last; ++id) rows.Add(GetDelimitedField(0, LoadStr(id), '|'));
    HPolEl->SetItems(rows);
    BeamTiltIndex = 20;

    const bool fresh = Page3Fresh;
    if (fresh) {
        Page3Fresh = false;
        ElevationPlotMode = 0;
        RadioGroup1->SetItemIndex(0);
        RadioGroup2->SetItemIndex(0);
        HPolEl->SetItemIndex(0);
    } else {
        // An index kept from another family's catalog stays within this one.
        HPolEl->SetItemIndex(std::clamp(ant.ElevationIndex, 0, std::max(rows.Count() - 1, 0)));
        FSpinEdit1->SetValue(ant.HElGain);
        FSpinEdit2->SetValue(ant.VElGain);
        const uint8_t mode = ElevationPlotMode;
        RadioGroup1->SetItemIndex(mode == 1 || mode == 3 ? 1 : 0);
        RadioGroup2->SetItemIndex(mode >= 2 ? 1 : 0);
    }
    SelectRow(!fresh);
}

// --- Choosing a pattern ----------------------------------------------------------------

void Tfrm3::HPolElClick(QObject*) { SelectRow(false); }

void Tfrm3::SelectRow(bool keepTilt)
{
    const int index = HPolEl->ItemIndex();
    if (index < 0 || catalog_ == 0 || catalog_ + 1 + index > LastRecordId(catalog_)) return;
    const std::string row = LoadStr(catalog_ + 1 + index);
    const TSysObj& sys = Sys();
    TAntObj& ant = Ant();
    ant.ElevationIndex = index;
    ShowTiltHint(nullptr);
    ant.CatalogTilt = Field(row, 7);
    MaximumTilt = Field(row, 8);
    MinimumTilt = Field(row, 9);

    int power = 10;
    if (sys.Family == 0) power = 10 + (ant.Elliptical ? 1 : 0) + 2 * std::min<int>(sys.PowerClass, 1) + 4 * (sys.Standard ? 1 : 0);
    ant.SetMaxInputPower(Field(row, power));
    if (sys.Standard == 1 && sys.Family != 0) ant.SetMaxInputPower(NtscAverageFromPeak(ant.MaxInputPower));

    // A revisit keeps the user's tilt within this row's limits; a new choice starts from the
    // tilt built into the record.
    const float tilt = keepTilt ? std::clamp(ant.TiltAngle, std::min(MinimumTilt, MaximumTilt), MaximumTilt)
                                : ant.CatalogTilt;
    SetTilt(tilt);
    SelectElevationPattern(GetDelimitedField(5, row, '|'));
    Redraw();

    ant.SetHElevationGain(Field(row, 2));
    Edit1->SetText(Gain3(ant.HElGain));
    Edit2->SetText(Gain3(ant.HElGainDb));
    Edit3->SetText(GetDelimitedField(6, row, '|'));
    ant.BeamWidth = Field(row, 6);
    SetElHorGain();
    ant.HElListName = GetDelimitedField(0, row, '|');
    ant.SetVElevationGain(Field(row, 4));
    ant.VElListName = ant.HElListName;
    NumEdit1Change(NumEdit1);
    StoreElevationPatternType();
}

void Tfrm3::SetTilt(float tilt) { NumEdit1->SetValue(tilt); }

void Tfrm3::NumEdit1Change(QObject*)
{
    TAntObj& ant = Ant();
    const float tilt = static_cast<float>(NumEdit1->Value());
    ant.TiltAngle = tilt;
    BeamTiltIndex = BeamTiltIndexFor(ant.CatalogTilt, tilt);
    const int index = HPolEl->ItemIndex();
    if (index < 0 || catalog_ == 0) return;
    SetElevationPatternFromCatalog(catalog_, index, true, tilt);
    if (ant.Elliptical) SetElevationPatternFromCatalog(catalog_, index, false, tilt);
}

// --- Beam tilt -------------------------------------------------------------------------

std::string Tfrm3::TiltHint() const { return ToStd(GroupBox2->toolTip()); }

void Tfrm3::ShowTiltHint(const char* text)
{
    if (!text) {
        GroupBox2->setToolTip(QString());
        QToolTip::hideText();
        return;
    }
    GroupBox2->setToolTip(ToQtLines(text));
    if (GroupBox2->isVisible()) QToolTip::showText(GroupBox2->mapToGlobal(QPoint(0, GroupBox2->height())), GroupBox2->toolTip(), GroupBox2);
}

void Tfrm3::SpinButton1DownClick(QObject*)
{
    const float tilt = static_cast<float>(NumEdit1->Value());
    if (tilt > MinimumTilt) {
        ShowTiltHint(nullptr);
        SetTilt(tilt - 0.25f);
        Redraw();
    } else {
        ShowTiltHint(kMinimumHint);
    }
    SetElHorGain();
}

void Tfrm3::SpinButton1UpClick(QObject*)
{
    const float tilt = static_cast<float>(NumEdit1->Value());
    if (tilt >= MaximumTilt) {
        ShowTiltHint(kMaximumHint);
    } else {
        ShowTiltHint(nullptr);
        SetTilt(tilt + 0.25f);
        Redraw();
    }
    SetElHorGain();
}

void Tfrm3::SetElHorGain()
{
    TAntObj& ant = Ant();
    const TPatternRecord rec(SelectedElevationId, kElevationSamples);
    const double e = rec.V(HorizonSampleIndex(ant.CatalogTilt, ant.TiltAngle)) / 1000.0;
    if (e > 0) {
        ant.HorizonGainDb = RatioToDb(static_cast<float>(e * e)) + ant.HElGainDb;
        ant.HorizonGain = DbToRatio(ant.HorizonGainDb);
        Edit4->SetText(Gain3(ant.HorizonGain));
        Edit5->SetText(Gain3(ant.HorizonGainDb));
    } else {
        // No field toward the horizon (or no record): no value rather than the main lobe's.
        ant.HorizonGain = 0.0f;
        ant.HorizonGainDb = kNoLevel;
        Edit4->SetText("0");
        Edit5->SetText("---");
    }
}

// --- Plots, options, another maker's antenna ---------------------------------------------

void Tfrm3::Redraw()
{
    DrawElevationPlot(Image1->Picture());
    Image1->Invalidate();
    DrawElevationPdfPlot(PDFImage->Picture());
}

void Tfrm3::RadioGroup1Click(QObject*)
{
    const bool db = RadioGroup1->ItemIndex() == 1;
    const bool full = RadioGroup2->ItemIndex() == 1;
    ElevationPlotMode = static_cast<uint8_t>(full ? (db ? 3 : 2) : (db ? 1 : 0));
    if (Sys().Family != 3) Redraw();
}

void Tfrm3::RadioGroup3Click(QObject*) { PrintOption = RadioGroup3->ItemIndex(); }

void Tfrm3::FSpinEdit1Change(QObject*)
{
    if (Sys().Family != 3) return;
    TAntObj& ant = Ant();
    ant.SetHElevationGain(FSpinEdit1->Value());
    ant.HElListName = SingleToStr(ant.HElGain) + " Gain";
}

void Tfrm3::FSpinEdit2Change(QObject*)
{
    if (Sys().Family != 3) return;
    TAntObj& ant = Ant();
    ant.SetVElevationGain(FSpinEdit2->Value());
    ant.VElListName = SingleToStr(ant.VElGain) + " Gain";
}
