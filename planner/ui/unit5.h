// The wizard's last page: the site and system summary, and the balance of transmitter power
// (TPO) against effective radiated power (ERP) through the line loss, the antenna's power
// split and its gains. The user types the TPO or the horizontal ERP, or steps the vertical
// to horizontal ratio; three checks cut the TPO back to the line's, the antenna's or the
// channel's limit and say which one was reached. Every value is written into its field and
// read back, so each step carries the field's decimals.
#pragma once

#include "platform/ui/StdCtrls.h"
#include "planner/controls/NuvNumericEdit.h"
#include "planner/engine/PowerBalance.h"
#include "planner/ui/AutoNb.h"
#include "planner/ui/PageControls.h"
#include "ui_frm5.h"

// Power at the antenna input, kW.
extern float AntennaInputPower;

class Tfrm5 : public TChildForm, public Ui::frm5 {
public:
    explicit Tfrm5(QWidget* owner = nullptr);

    void PageShown() override;

    void NTSCTPOtoERP();
    void NTSCERPtoTPO();
    void Recompute();
    bool TestTLineInput();
    bool TestAntInput();
    bool TestERPMax();
    void NumEdit4KeyUp(QObject* Sender);
    void NumEdit1KeyUp(QObject* Sender);
    void SpinButton3DownClick(QObject* Sender);
    void SpinButton3UpClick(QObject* Sender);
    void VPolSpinChange();
    void AntPartNumber();

    // The limit message in front, "" when no limit was reached.
    std::string Warning() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The three checks in order, each failure followed by Recompute.
    void RunChecks();
    // The design's chain, with the antenna's split computed for its ratio.
    TPowerChain Chain() const;
    // Shows a balance, writes it into the model and keeps it for the exhibits; from the TPO
    // the typed TPO stays and the ERP follows, else the typed ERP stays and the TPO follows.
    void ShowBalance(const TPowerBalance& b, bool fromTpo);
    // A power or gain of nothing: its dB field shows "---".
    void ShowAbsentLevels();
    void ShowWarning(TLabel* label, const char* text);
    void ClearWarning(TLabel* label);

    TPowerBalance balance_;  // the balance shown
};
