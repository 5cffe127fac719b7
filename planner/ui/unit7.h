// The beam-tilt calculator: the tilt that puts 0.9 of the field on the radio horizon, from the
// antenna's elevation gain and its height above average terrain. It writes the design's family
// and elevation row as the user picks them.
#pragma once

#include "platform/ui/Buttons.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "planner/controls/NuvNumericEdit.h"
#include "ui_frmBTCalc.h"

#include <cstdint>
#include <memory>

// Kept between openings: the HAAT in feet (0 until first set), the gain of the last
// calculation and its result in degrees.
extern int32_t BeamTiltHaat;
extern float BeamTiltGain;
extern float BeamTiltResult;

class TfrmBTCalc : public TForm, public Ui::frmBTCalc {
public:
    explicit TfrmBTCalc(QWidget* owner = nullptr);

    void FormCreate();
    void Refresh();
    void RadioGroup1Click(QObject* Sender);
    void ListBox1Click(QObject* Sender);
    void NumEdit1Change(QObject* Sender);
    void NumEdit1InvalidEntry(QObject* Sender);
    void Optimize();

    int32_t Catalog() const { return catalog_; }

private:
    int32_t catalog_ = 10000;
    int32_t last_ = 10000;
};

// A calculator made for one use (the main window's beam-tilt button).
std::unique_ptr<TForm> CreateBeamTiltCalculator();
