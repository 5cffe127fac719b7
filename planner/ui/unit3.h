// The wizard's third page: the elevation patterns of the family, the chosen pattern's gains,
// beam width, tilt limits and maximum input power from its catalog row, the electrical beam
// tilt in quarter degrees within the row's limits, the tilted pattern on the screen and on
// the exhibit image, and the directivity toward the horizon. For another maker's antenna the
// numeric gains instead.
#pragma once

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "planner/controls/FSpin.h"
#include "planner/controls/NuvNumericEdit.h"
#include "planner/ui/AutoNb.h"
#include "planner/ui/PageControls.h"
#include "ui_frm3.h"

#include <cstdint>
#include <string>

// Limits of the chosen elevation pattern's tilt, degrees (catalog fields 8 and 9).
extern float MaximumTilt;
extern float MinimumTilt;

class Tfrm3 : public TChildForm, public Ui::frm3 {
public:
    explicit Tfrm3(QWidget* owner = nullptr);

    void PageShown() override;

    void HPolElClick(QObject* Sender);
    void NumEdit1Change(QObject* Sender);
    void SpinButton1UpClick(QObject* Sender);
    void SpinButton1DownClick(QObject* Sender);
    void SetElHorGain();
    void RadioGroup1Click(QObject* Sender);
    void RadioGroup3Click(QObject* Sender);
    void FSpinEdit1Change(QObject* Sender);
    void FSpinEdit2Change(QObject* Sender);

    int32_t Catalog() const { return catalog_; }
    // The hint of the tilt group: which limit was reached, "" when none.
    std::string TiltHint() const;

private:
    void Redraw();
    void SetTilt(float tilt);
    void ShowTiltHint(const char* text);
    void SelectRow(bool keepTilt);

    int32_t catalog_ = 0;
};
