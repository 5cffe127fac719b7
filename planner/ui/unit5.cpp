#include "planner/ui/unit5.h"

#include "platform/runtime/NumText.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/resources/glyphs/AntennaPictures.h"
#include "planner/ui/MainState.h"

#include <QKeyEvent>

#include <cmath>

float AntennaInputPower = 0.0f;

namespace {

constexpr int kPdfWidth = 800;
constexpr int kPdfHeight = 905;

const char* const kTLineMessage = "Transmission Line is at Maximum Input Power.";
const char* const kAntMessage = "Antenna is at Maximum Input Power.";
const char* const kERPMessage = "ERP is at Maximum Value.";

// Writes the value into the field and gives it back as the field shows it.
double Put(TNuvNumericEdit* e, double v)
{
    e->SetValue(v);
    return e->Value();
}
float Db(double ratio) { return RatioToDb(static_cast<float>(ratio)); }
float Ratio(double db) { return DbToRatio(static_cast<float>(db)); }

}  // namespace

Tfrm5::Tfrm5(QWidget* owner) : TChildForm(owner)
{
    setupUi(this);
    for (TNuvNumericEdit* e : {NumEdit1, NumEdit2, NumEdit4, NumEdit5, NumEdit6, NumEdit7, NumEdit8, NumEdit9, NumEdit10,
                               NumEdit11, NumEdit12, NumEdit13, NumEdit14, NumEdit15, NumEdit16, NumEdit17, HPolSplit,
                               VPolSplit}) {
        e->SetDecimals(2);
        e->SetMinValue(0);
        e->SetMaxValue(0);  // limits are the checks' business
        e->SetReadOnly(e != NumEdit4 && e != NumEdit1);
    }
    for (TNuvNumericEdit* e : {NumEdit1, NumEdit2, NumEdit17}) e->SetDecimals(0);
    NumEdit6->SetDecimals(1);
    HPolSplit->hide();
    VPolSplit->hide();
    PDFImage->SetPictureSize(kPdfWidth, kPdfHeight);
    PDFImage->hide();
    Image1->setPixmap(AntennaPicture(TAntennaPicture::SideMountedHighPower, Image1->size()));
    for (TLabel* l : {TLineWarn, AntWarn, ERPWarn}) l->SetCaption("");

    SpinButton3->OnDownClick = [this](QObject* s) { SpinButton3DownClick(s); };
    SpinButton3->OnUpClick = [this](QObject* s) { SpinButton3UpClick(s); };
    NumEdit4->installEventFilter(this);
    NumEdit1->installEventFilter(this);
}

bool Tfrm5::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
        if (watched == NumEdit4) Guarded([this] { NumEdit4KeyUp(NumEdit4); });
        if (watched == NumEdit1) Guarded([this] { NumEdit1KeyUp(NumEdit1); });
    }
    return TChildForm::eventFilter(watched, event);
}

// --- Showing the page ------------------------------------------------------------------

void Tfrm5::PageShown()
{
    TSysObj& sys = Sys();
    const TAntObj& ant = Ant();
    const TTLineObj& line = TLine();
    lblCompany->SetCaption(CompanyName);
    lblSite->SetCaption(SiteName);
    lblProposal->SetCaption(ProposalNumber);
    lblDate->SetCaption(ProposalDate != 0 ? DateToStr(ProposalDate) : std::string());
    lblAuthor->SetCaption(AuthorName);
    lblChannel->SetCaption(IntToStr(sys.GetChannel()));
    lblLine->SetCaption(line.LineName);
    lblVertical->SetCaption(IntToStr(line.VerticalLength));
    lblHorizontal->SetCaption(IntToStr(line.HorizontalLength));

    const double loss = Put(NumEdit7, line.TotalLoss);
    NumEdit6->SetValue(std::pow(10.0, -0.1 * loss) * 100.0);
    Label37->SetCaption(sys.Standard == 0 ? "NTSC Peak + " + SingleToStr(sys.AuralPercent) + "% Aural"
                                          : std::string("DTV Average"));

    if (Page5Visited) {
        NumEdit1->SetValue(sys.ERPH);
        NumEdit2->SetValue(sys.ERPV);
        if (line.GetPowerRating() < sys.GetPower()) sys.SetPower(line.GetPowerRating());
        NumEdit4->SetValue(sys.GetPower());
        NumEdit17->SetValue(ant.VerticalPercent);
        NTSCTPOtoERP();
        RunChecks();
    } else {
        Page5Visited = true;
        sys.SetPower(1);
        NumEdit4->SetValue(sys.GetPower());
        NTSCTPOtoERP();
    }
    AntPartNumber();
}

// --- The power chain -----------------------------------------------------------------------
// A power of nothing (or less) has no level: every power derived from it is 0, and so are
// the levels, rather than 10^0 = 1 kW coming back out of a 0 dBk.

void Tfrm5::SplitAndGains()
{
    const TAntObj& ant = Ant();
    ComputePowerSplit();
    HPolSplit->SetValue(ant.HSplit);
    VPolSplit->SetValue(ant.VSplit);
    const double v = Put(NumEdit14, ant.VAzGain * ant.VElGain * ant.VSplit);
    NumEdit13->SetValue(Db(v));
    const double h = Put(NumEdit12, ant.HAzGain * ant.HElGain * ant.HSplit);
    NumEdit11->SetValue(Db(h));
}

void Tfrm5::NTSCTPOtoERP()
{
    TSysObj& sys = Sys();
    const TAntObj& ant = Ant();
    const float p = sys.GetPower();
    const bool powered = p > 0;
    const double tpoDb = Put(NumEdit5, Db(p));
    NumEdit8->SetValue(powered ? p - Ratio(tpoDb - NumEdit7->Value()) : 0.0);
    const double inputDb = Put(NumEdit9, powered ? tpoDb - TLine().TotalLoss : 0.0);
    AntennaInputPower = static_cast<float>(Put(NumEdit10, powered ? Ratio(inputDb) : 0.0));

    SplitAndGains();
    NumEdit17->SetValue(ant.VerticalPercent);

    const double hDb = Put(NumEdit15, powered ? NumEdit11->Value() + inputDb : 0.0);
    sys.ERPH = static_cast<float>(Put(NumEdit1, powered ? Ratio(hDb) : 0.0));
    // A vertical gain of nothing (no vertical share) radiates nothing: its 0 dB is no level.
    const bool vertical = powered && NumEdit14->Value() > 0;
    if (ant.Elliptical) {
        const double vDb = Put(NumEdit16, vertical ? NumEdit13->Value() + inputDb : 0.0);
        sys.ERPV = vertical ? Ratio(vDb) : 0.0f;
        NumEdit2->SetValue(sys.ERPV);
    } else {
        NumEdit16->SetValue(0);
        NumEdit2->SetValue(0);
        sys.ERPV = 0;
    }
    ShowAbsentLevels();
}

// A power or gain of nothing has no level: its dB field shows "---", not the 0 dB (1 kW, or a
// gain of 1) that the chain leaves in it.
void Tfrm5::ShowAbsentLevels()
{
    const TSysObj& sys = Sys();
    const TAntObj& ant = Ant();
    const std::pair<TNuvNumericEdit*, double> levels[] = {
        {NumEdit5, sys.GetPower()},
        {NumEdit9, AntennaInputPower},
        {NumEdit15, sys.ERPH},
        {NumEdit16, sys.ERPV},
        {NumEdit11, double(ant.HAzGain) * ant.HElGain * ant.HSplit},
        {NumEdit13, double(ant.VAzGain) * ant.VElGain * ant.VSplit},
    };
    for (const auto& [field, ratio] : levels)
        if (!LevelDb(ratio)) field->ShowNoValue();
}

void Tfrm5::ErpToInputAndTpo()
{
    const bool powered = NumEdit1->Value() > 0;
    const double inputDb = Put(NumEdit9, powered ? NumEdit15->Value() - NumEdit11->Value() : 0.0);
    AntennaInputPower = static_cast<float>(Put(NumEdit10, powered ? Ratio(inputDb) : 0.0));
    const double tpoDb = Put(NumEdit5, powered ? NumEdit7->Value() + inputDb : 0.0);
    Sys().SetPower(static_cast<float>(Put(NumEdit4, powered ? Ratio(tpoDb) : 0.0)));
    const float p = Sys().GetPower();
    NumEdit8->SetValue(p > 0 ? p - Ratio(tpoDb - NumEdit7->Value()) : 0.0);
}

void Tfrm5::NTSCERPtoTPO()
{
    TSysObj& sys = Sys();
    const TAntObj& ant = Ant();
    const double erp = NumEdit1->Value();
    NumEdit15->SetValue(Db(erp));
    if (ant.Elliptical) {
        const double v = Put(NumEdit2, erp * ant.VerticalPercent * 0.01);
        NumEdit16->SetValue(Db(v));
        sys.ERPV = static_cast<float>(v);
    } else {
        NumEdit16->SetValue(0);
        NumEdit2->SetValue(0);
        sys.ERPV = 0;
    }
    SplitAndGains();
    NumEdit17->SetValue(ant.VerticalPercent);
    ErpToInputAndTpo();
    ShowAbsentLevels();
}

void Tfrm5::Recompute()
{
    Sys().SetPower(static_cast<float>(NumEdit4->Value()));
    NTSCTPOtoERP();
}

void Tfrm5::VPolSpinChange()
{
    TSysObj& sys = Sys();
    SplitAndGains();
    const double v = Put(NumEdit2, NumEdit1->Value() * Ant().VerticalPercent * 0.01);
    NumEdit16->SetValue(Db(v));
    sys.ERPV = static_cast<float>(v);
    // The horizontal ERP stays; the antenna input and the TPO follow the new split.
    ErpToInputAndTpo();
    RunChecks();
    ShowAbsentLevels();
}

// --- Limits --------------------------------------------------------------------------------

void Tfrm5::ShowWarning(TLabel* label, const char* text)
{
    for (TLabel* l : {TLineWarn, AntWarn, ERPWarn})
        if (l != label) l->SetCaption("");
    label->SetCaption(text);
    label->raise();
}

void Tfrm5::ClearWarning(TLabel* label) { label->SetCaption(""); }

std::string Tfrm5::Warning() const
{
    std::string text;
    for (const TLabel* l : {TLineWarn, AntWarn, ERPWarn}) text += l->Caption();
    return text;
}

bool Tfrm5::TestTLineInput()
{
    const float rating = TLine().GetPowerRating();
    if (rating <= Sys().GetPower() + 0.01f) {
        ShowWarning(TLineWarn, kTLineMessage);
        NumEdit4->SetValue(rating);
        return false;
    }
    ClearWarning(TLineWarn);
    return true;
}

bool Tfrm5::TestAntInput()
{
    const TAntObj& ant = Ant();
    if (AntennaInputPower + 0.2f >= ant.MaxInputPower) {
        ShowWarning(AntWarn, kAntMessage);
        NumEdit4->SetValue(Ratio(Db(ant.MaxInputPower) + TLine().TotalLoss));
        return false;
    }
    ClearWarning(AntWarn);
    return true;
}

bool Tfrm5::TestERPMax()
{
    const TSysObj& sys = Sys();
    if (sys.ERPH > sys.MaxERP) {
        ShowWarning(ERPWarn, kERPMessage);
        const double tpoDb = Put(NumEdit5, Db(sys.MaxERP) - NumEdit11->Value() + TLine().TotalLoss);
        NumEdit4->SetValue(Ratio(tpoDb));
        return false;
    }
    ClearWarning(ERPWarn);
    return true;
}

void Tfrm5::RunChecks()
{
    if (!TestTLineInput()) Recompute();
    if (!TestAntInput()) Recompute();
    if (!TestERPMax()) Recompute();
}

// --- User input ------------------------------------------------------------------------------

void Tfrm5::NumEdit4KeyUp(QObject*)
{
    Recompute();
    RunChecks();
    AntPartNumber();
}

void Tfrm5::NumEdit1KeyUp(QObject*)
{
    Sys().ERPH = static_cast<float>(NumEdit1->Value());
    NTSCERPtoTPO();
    RunChecks();
    AntPartNumber();
}

void Tfrm5::SpinButton3DownClick(QObject*)
{
    TAntObj& ant = Ant();
    if (!ant.Elliptical || Sys().Family == 0) return;
    if (ant.VerticalPercent > 1) --ant.VerticalPercent;
    NumEdit17->SetValue(ant.VerticalPercent);
    VPolSpinChange();
    AntPartNumber();
}

void Tfrm5::SpinButton3UpClick(QObject*)
{
    TAntObj& ant = Ant();
    if (!ant.Elliptical || Sys().Family == 0) return;
    if (ant.VerticalPercent < 100) ++ant.VerticalPercent;
    NumEdit17->SetValue(ant.VerticalPercent);
    VPolSpinChange();
    AntPartNumber();
}

void Tfrm5::AntPartNumber()
{
    BuildAntennaPartNumber();
    lblAntennaType->SetCaption(Ant().PartNumber);
}
