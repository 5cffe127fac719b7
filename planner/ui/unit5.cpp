#include "planner/ui/unit5.h"

#include "platform/runtime/NumText.h"
#include "planner/engine/PowerBalance.h"
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

    const TPowerBalance shown = BalanceFromTpo(0, PowerChainOf(Ant(), line));
    NumEdit7->SetValue(shown.LossDb);
    NumEdit6->SetValue(shown.EfficiencyPercent);
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
// The balance is computed by the engine; the page shows it and keeps it for the exhibits.

TPowerChain Tfrm5::Chain() const
{
    ComputePowerSplit();
    return PowerChainOf(Ant(), TLine());
}

void Tfrm5::ShowBalance(const TPowerBalance& b, bool fromTpo)
{
    balance_ = b;
    NumEdit5->SetValue(b.TpoDbk);
    if (!fromTpo) NumEdit4->SetValue(b.TpoKw);
    NumEdit8->SetValue(b.LossKw);
    NumEdit9->SetValue(b.InputDbk);
    NumEdit10->SetValue(b.InputKw);
    HPolSplit->SetValue(b.HSplit);
    VPolSplit->SetValue(b.VSplit);
    NumEdit14->SetValue(b.VGain);
    NumEdit13->SetValue(b.VGainDb);
    NumEdit12->SetValue(b.HGain);
    NumEdit11->SetValue(b.HGainDb);
    NumEdit17->SetValue(b.VerticalPercent);
    NumEdit15->SetValue(b.HErpDbk);
    if (fromTpo) NumEdit1->SetValue(b.HErpKw);
    NumEdit16->SetValue(b.VErpDbk);
    NumEdit2->SetValue(b.VErpKw);
    AntennaInputPower = static_cast<float>(b.InputKw);
    TSysObj& sys = Sys();
    if (fromTpo) sys.ERPH = static_cast<float>(b.HErpKw);
    else sys.SetPower(static_cast<float>(b.TpoKw));
    sys.ERPV = static_cast<float>(b.VErpKw);
    KeepSystemPowerBalance(b);
    ShowAbsentLevels();
}

// A power or gain of nothing has no level: its dB field shows "---", not the 0 dB (1 kW, or a
// gain of 1) that the chain leaves in it.
void Tfrm5::ShowAbsentLevels()
{
    const TShownLevels shown = ShownLevels(balance_);
    const std::pair<TNuvNumericEdit*, const std::optional<double>&> levels[] = {
        {NumEdit5, shown.Tpo},    {NumEdit9, shown.Input},  {NumEdit15, shown.HErp},
        {NumEdit16, shown.VErp},  {NumEdit11, shown.HGain}, {NumEdit13, shown.VGain},
    };
    for (const auto& [field, level] : levels)
        if (!level) field->ShowNoValue();
}

void Tfrm5::NTSCTPOtoERP() { ShowBalance(BalanceFromTpo(Sys().GetPower(), Chain()), true); }

void Tfrm5::NTSCERPtoTPO() { ShowBalance(BalanceFromErp(NumEdit1->Value(), Chain()), false); }

void Tfrm5::Recompute()
{
    Sys().SetPower(static_cast<float>(NumEdit4->Value()));
    NTSCTPOtoERP();
}

void Tfrm5::VPolSpinChange()
{
    // The horizontal ERP stays; the antenna input and the TPO follow the new split.
    ShowBalance(BalanceForRatio(balance_, Chain()), false);
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
    if (const auto tpo = TpoAtLineLimit(TLine().GetPowerRating(), Sys().GetPower())) {
        ShowWarning(TLineWarn, kTLineMessage);
        NumEdit4->SetValue(*tpo);
        return false;
    }
    ClearWarning(TLineWarn);
    return true;
}

bool Tfrm5::TestAntInput()
{
    if (const auto tpo = TpoAtAntennaLimit(balance_, Ant().MaxInputPower, TLine().TotalLoss)) {
        ShowWarning(AntWarn, kAntMessage);
        NumEdit4->SetValue(*tpo);
        return false;
    }
    ClearWarning(AntWarn);
    return true;
}

bool Tfrm5::TestERPMax()
{
    if (const auto tpo = TpoAtErpLimit(balance_, Sys().MaxERP, TLine().TotalLoss)) {
        ShowWarning(ERPWarn, kERPMessage);
        NumEdit4->SetValue(*tpo);
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
