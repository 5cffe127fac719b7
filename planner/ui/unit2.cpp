#include "planner/ui/unit2.h"

#include "planner/engine/PatternPlots.h"
#include "planner/engine/PageCalc.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/ui/MainState.h"
#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"
#include "platform/ui/Dialogs.h"

namespace {

constexpr int32_t kZekVerticalCatalog = 4000;
constexpr int kPdfWidth = 800;
constexpr int kPdfHeight = 905;

std::string Gain3(float v) { return FloatToStrF(v, TFloatFormat::ffGeneral, 3, 4); }

TStringList ListOfRows(int32_t base)
{
    TStringList rows;
    if (base == 0) return rows;
    const int32_t last = LastRecordId(base);
    for (int32_t id = base + 1; id <= last; ++id) rows.Add(GetDelimitedField(0, LoadStr(id), '|'));
    return rows;
}

}  // namespace

Tfrm2::Tfrm2(QWidget* owner) : TChildForm(owner)
{
    setupUi(this);
    InstallPlotMessages();
    TStringList item;
    item.Add("custom non-Belvor antenna");
    HPolAz->SetItems(item);
    TStringList print;
    for (const char* s : {"Print Graph", "Print Data", "Print to Disk", "Create PDF"}) print.Add(s);
    RadioGroup2->SetItems(print);
    RadioGroup2->SetColumns(2);
    RadioGroup2->SetItemIndex(0);
    TStringList plot;
    plot.Add("Relative Field");
    plot.Add("Decibel");
    RadioGroup1->SetItems(plot);
    RadioGroup1->SetColumns(2);
    RadioGroup1->SetItemIndex(0);
    CompactRadioGroup(RadioGroup1);
    CompactRadioGroup(RadioGroup2);
    TabSet1->AddTab("Horizontally Polarized Azimuth Pattern");
    for (TFSpinEdit* e : {FSpinEdit1, FSpinEdit2}) {
        e->SetMinValue(1.0f);
        e->SetMaxValue(6.0f);
        e->SetIncrement(0.05f);
        e->SetPrecision(2);
        e->SetValue(1.0f);
    }
    PDFImage->SetPictureSize(kPdfWidth, kPdfHeight);
    PDFImage->hide();
    ShowPage("Image 1");
    HPolAz->raise();

    auto on = [this](void (Tfrm2::*handler)(QObject*)) {
        return [this, handler](QObject* sender) { (this->*handler)(sender); };
    };
    HPolAz->OnClick = on(&Tfrm2::HPolAzClick);
    VPolAz->OnClick = on(&Tfrm2::VPolAzClick);
    TabSet1->OnChange = [this](QObject* sender, int tab) { TabSet1Change(sender, tab); };
    RadioGroup1->OnClick = on(&Tfrm2::RadioGroup1Click);
    RadioGroup2->OnClick = on(&Tfrm2::RadioGroup2Click);
    SpinButton1->OnUpClick = on(&Tfrm2::SpinButton1UpClick);
    SpinButton1->OnDownClick = on(&Tfrm2::SpinButton1DownClick);
    Edit3->OnChange = on(&Tfrm2::Edit3Change);
    Edit3->OnEnter = [this](QObject*) {
        const std::string text = Edit3->Text();
        entryText_ = CheckAngleText(text) == TAngleEntry::Complete ? text : IntToStr(AzimuthRotation);
    };
    Edit6->OnChange = on(&Tfrm2::Edit6Change);
    Edit8->OnChange = on(&Tfrm2::Edit8Change);
    FSpinEdit1->OnChange = on(&Tfrm2::FSpinEdit1Change);
    FSpinEdit2->OnChange = on(&Tfrm2::FSpinEdit2Change);
}

// --- Showing the page ------------------------------------------------------------------

void Tfrm2::ShowPage(const char* caption)
{
    for (int i = 0; i < Notebook1->count(); ++i)
        if (Notebook1->widget(i)->windowTitle() == QLatin1String(caption)) Notebook1->SetPageIndex(i);
}

void Tfrm2::ChooseCatalogs()
{
    const TSysObj& sys = Sys();
    switch (sys.Family) {
    case 0:
        hCatalog_ = Ant().Elliptical ? 3200 : (sys.PowerClass == 1 ? 3100 : 3000);
        vCatalog_ = kZekVerticalCatalog;
        break;
    case 1: hCatalog_ = 5000; vCatalog_ = 6000; break;
    case 2: hCatalog_ = 7000; vCatalog_ = 8000; break;
    default: hCatalog_ = vCatalog_ = 0; break;
    }
}

std::string Tfrm2::CatalogRow(int32_t base, int index) const
{
    if (base == 0 || index < 0 || base + 1 + index > LastRecordId(base)) return {};
    return LoadStr(base + 1 + index);
}

void Tfrm2::PageShown()
{
    ShowVerticalPattern = false;
    PrintOption = RadioGroup2->ItemIndex();
    TAntObj& ant = Ant();

    // The horizontal tab first, while a vertical one may still be there to leave.
    if (ant.Elliptical && TabSet1->TabCount() == 1) TabSet1->AddTab("Vertically Polarized Azimuth Pattern");
    TabSet1->SetTabIndex(0);
    if (!ant.Elliptical && TabSet1->TabCount() == 2) TabSet1->DeleteTab(1);
    ShowPage("Image 1");
    HPolAz->raise();
    Edit4->SetText("Horizontal");

    if (Sys().Family == 3) {
        HPolAz->setEnabled(false);
        VPolAz->setEnabled(false);
        ShowPage("Panel 1");
        // Another make has no catalog pattern: one chosen before for a catalog antenna must
        // not reach its exhibits or pattern files.
        SelectedAzimuthId = 0;
        ClearImage(PDFImage->Picture());
        if (Page2Fresh) {
            Page2Fresh = false;
        } else {
            Edit6->SetText(ant.HAzName);
            FSpinEdit1->SetValue(ant.HAzGain);
            Edit8->SetText(ant.VAzName);
            FSpinEdit2->SetValue(ant.VAzGain);
        }
        // The model holds what the panels show, defaults included.
        FSpinEdit1Change(FSpinEdit1);
        FSpinEdit2Change(FSpinEdit2);
        ShowGain(ant.HAzGain, ant.HAzGainDb);
        return;
    }

    HPolAz->setEnabled(true);
    VPolAz->setEnabled(true);
    AzimuthTraceCount = 1;  // trace 1 follows the selected pattern
    ChooseCatalogs();
    HPolAz->SetItems(ListOfRows(hCatalog_));

    if (Page2Fresh) {
        HPolAz->SetItemIndex(0);
        ShowRotation("0");
        AzimuthPlotInDb = false;
        RadioGroup1->SetItemIndex(0);
        PopulateVPolList(false);
        Page2Fresh = false;
    } else {
        HPolAz->SetItemIndex(ant.HAzIndex);
        FSpinEdit1->SetValue(ant.HAzGain);
        ShowRotation(IntToStr(ant.HRotation));
        Edit6->SetText(ant.HAzName);
        FSpinEdit2->SetValue(ant.VAzGain);
        Edit8->SetText(ant.VAzName);
        RadioGroup1->SetItemIndex(AzimuthPlotInDb ? 1 : 0);
        PopulateVPolList(false);
    }
    HPolAzClick(HPolAz);
}

void Tfrm2::PopulateVPolList(bool refill)
{
    const TSysObj& sys = Sys();
    if (sys.Family == 0) {
        const int h = HPolAz->ItemIndex();
        if (h >= 0 && h <= 4) zekVerticalRow_ = 4001;
        else if (h == 5) zekVerticalRow_ = 4002;
        else if (h == 6) zekVerticalRow_ = 4003;
        TStringList one;
        one.Add(GetDelimitedField(0, LoadStr(zekVerticalRow_), '|'));
        VPolAz->SetItems(one);
        VPolAz->SetItemIndex(0);
        return;
    }
    if (refill) return;
    // The list is replaced: the page fills it on every showing.
    VPolAz->SetItems(ListOfRows(vCatalog_));
    VPolAz->SetItemIndex(Page2Fresh ? 0 : Ant().VAzIndex);
}

// --- Choosing a pattern ----------------------------------------------------------------

void Tfrm2::DrawScreenPlot(TImage* image)
{
    DrawAzimuthPlot(image->Picture());
    image->Invalidate();
}

void Tfrm2::DrawPdfPlot() { DrawAzimuthPdfPlot(PDFImage->Picture()); }

void Tfrm2::ShowGain(float ratio, float db)
{
    Edit1->SetText(Gain3(ratio));
    Edit2->SetText(Gain3(db));
}

void Tfrm2::HPolAzClick(QObject*)
{
    if (HPolAz->ItemIndex() < 0) HPolAz->SetItemIndex(0);
    const int index = HPolAz->ItemIndex();
    const std::string row = CatalogRow(hCatalog_, index);
    if (row.empty()) return;
    TAntObj& ant = Ant();
    ant.HAzIndex = index;
    SelectAzimuthPattern(GetDelimitedField(2, row, '|'));
    AzimuthRotation = ant.HRotation;
    DrawScreenPlot(Image1);
    DrawPdfPlot();
    ant.HAzName = ToStd(HPolAz->item(index)->text());
    ant.HAzSuffix = GetDelimitedField(4, row, '|');
    ant.SetHAzimuthGain(static_cast<float>(StrToFloat(GetDelimitedField(1, row, '|'))));
    ant.HAzDegrees = StrToInt(GetDelimitedField(3, row, '|'));
    ShowGain(ant.HAzGain, ant.HAzGainDb);
    PopulateVPolList(true);
    StoreAzimuthPatternType();
}

void Tfrm2::VPolAzClick(QObject*)
{
    if (VPolAz->ItemIndex() < 0) VPolAz->SetItemIndex(0);
    const int index = VPolAz->ItemIndex();
    // A Zek antenna offers one vertical row, the one its horizontal pattern calls for.
    const std::string row = Sys().Family == 0 ? (index == 0 ? LoadStr(zekVerticalRow_) : std::string())
                                              : CatalogRow(vCatalog_, index);
    if (row.empty()) return;
    TAntObj& ant = Ant();
    ant.VAzIndex = index;
    SelectAzimuthPattern(GetDelimitedField(2, row, '|'));
    AzimuthRotation = ant.VRotation;
    DrawScreenPlot(Image2);
    DrawPdfPlot();
    ant.VAzName = ToStd(VPolAz->item(index)->text());
    ant.VAzSuffix = GetDelimitedField(4, row, '|');
    ant.SetVAzimuthGain(static_cast<float>(StrToFloat(GetDelimitedField(1, row, '|'))));
    ant.VAzDegrees = StrToInt(GetDelimitedField(3, row, '|'));
    ShowGain(ant.VAzGain, ant.VAzGainDb);
    StoreAzimuthPatternType();
}

void Tfrm2::TabSet1Change(QObject*, int NewTab)
{
    TAntObj& ant = Ant();
    const bool other = Sys().Family == 3;
    if (NewTab == 1) {
        ShowVerticalPattern = true;
        if (other) {
            ShowPage("Panel 2");
            ShowGain(ant.VAzGain, ant.VAzGainDb);
        } else {
            ShowRotation(IntToStr(ant.VRotation));
            ShowPage("Image 2");
            VPolAzClick(VPolAz);
            VPolAz->raise();
            ShowGain(ant.VAzGain, ant.VAzGainDb);
        }
        Edit4->SetText("Vertical");
    } else {
        ShowVerticalPattern = false;
        if (other) {
            ShowPage("Panel 1");
            ShowGain(ant.HAzGain, ant.HAzGainDb);
        } else {
            ShowRotation(IntToStr(ant.HRotation));
            ShowPage("Image 1");
            HPolAzClick(HPolAz);
            HPolAz->raise();
            ShowGain(ant.HAzGain, ant.HAzGainDb);
        }
        Edit4->SetText("Horizontal");
    }
}

// --- Plot type, print option, rotation ---------------------------------------------------

void Tfrm2::RadioGroup1Click(QObject*)
{
    AzimuthPlotInDb = RadioGroup1->ItemIndex() == 1;
    if (Sys().Family == 3) return;
    // Only the shown plot holds the selected pattern; the other is drawn when its tab shows.
    DrawScreenPlot(ShowVerticalPattern ? Image2 : Image1);
    DrawPdfPlot();
}

void Tfrm2::RadioGroup2Click(QObject*) { PrintOption = RadioGroup2->ItemIndex(); }

void Tfrm2::SpinButton1UpClick(QObject*)
{
    ++AzimuthRotation;
    ShowRotation(IntToStr(AzimuthRotation));
}

void Tfrm2::SpinButton1DownClick(QObject*)
{
    --AzimuthRotation;
    ShowRotation(IntToStr(AzimuthRotation));
}

void Tfrm2::ShowRotation(const std::string& text)
{
    entryText_ = text;
    Edit3->SetText(text);
}

void Tfrm2::Edit3Change(QObject*)
{
    const std::string text = Edit3->Text();
    switch (CheckAngleText(text)) {
    case TAngleEntry::Incomplete:  // "-": the plot waits for the digits
        return;
    case TAngleEntry::Refused:
        // The field and the plot go back to what they showed before the entry, then the
        // user is told; the next key starts from there.
        Edit3->SetText(entryText_);
        throw EConvertError("'" + text + "' is not a valid integer value");
    case TAngleEntry::Complete:
        break;
    }
    if (!Edit3->hasFocus()) entryText_ = text;  // not typed: no entry under way
    const int32_t a = FixAngle(text);
    AzimuthRotation = a;
    TAntObj& ant = Ant();
    if (ShowVerticalPattern) {
        ant.VRotation = a;
        if (Sys().Family != 3) DrawScreenPlot(Image2);
    } else {
        ant.HRotation = a;
        if (Sys().Family != 3) DrawScreenPlot(Image1);
    }
    if (Sys().Family != 3) DrawPdfPlot();
}

// --- Another maker's antenna -------------------------------------------------------------

void Tfrm2::Edit6Change(QObject*)
{
    if (Sys().Family == 3) Ant().HAzName = Edit6->Text();
}

void Tfrm2::Edit8Change(QObject*)
{
    if (Sys().Family == 3) Ant().VAzName = Edit8->Text();
}

void Tfrm2::FSpinEdit1Change(QObject*)
{
    // The entry panels belong to another maker's antenna; a catalog pattern keeps its own.
    if (Sys().Family != 3) return;
    TAntObj& ant = Ant();
    ant.HAzName = Edit6->Text();
    ant.SetHAzimuthGain(FSpinEdit1->Value());
    if (!ShowVerticalPattern) ShowGain(ant.HAzGain, ant.HAzGainDb);
}

void Tfrm2::FSpinEdit2Change(QObject*)
{
    if (Sys().Family != 3) return;
    TAntObj& ant = Ant();
    ant.VAzName = Edit8->Text();
    ant.SetVAzimuthGain(FSpinEdit2->Value());
    if (ShowVerticalPattern) ShowGain(ant.VAzGain, ant.VAzGainDb);
}
