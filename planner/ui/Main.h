// The main window: tool bar, design-step column, status panel, menus, the antenna showcase
// and the beam-tilt tutorial, the start of a new design and the demonstration commands.
#pragma once

#include "gif/GIFImage.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "planner/ui/MacroRecorder.h"
#include "ui_FrmMain.h"

#include <functional>
#include <memory>

// The windows the main window opens, joined in as each is built. A command whose window is
// missing stays disabled.
struct TMainWindowLinks {
    // Site-information dialog of a new design, made for one use.
    std::function<std::unique_ptr<TForm>()> CreateSysInfo;
    // The design wizard, made for one use, its notebook already on page `firstPage`.
    std::function<std::unique_ptr<TForm>(int firstPage)> CreateWizard;
    // Beam-tilt calculator, made for one use.
    std::function<std::unique_ptr<TForm>()> CreateBeamTiltCalc;
    // Start-up windows shown modally.
    TForm* AzPats = nullptr;
    TForm* PlaySpeed = nullptr;
    TForm* MyDemos = nullptr;
    TForm* StopDemo = nullptr;
    // The macro component.
    IMacroRecorder* Vantrel1 = nullptr;
};

class TFrmMain : public TForm, public Ui::FrmMain {
public:
    explicit TFrmMain(QWidget* owner = nullptr);

    void Link(TMainWindowLinks links);
    const TMainWindowLinks& Links() const { return links_; }

    void FormCreate();
    void EnableDesignSteps(bool enabled);
    // The site dialog, then the wizard; false when the dialog was cancelled (no wizard ran).
    bool RunNewDesign();
    void RunDesignWizard();
    void ShowWizardAtPage();
    void LoopWarning();
    // The tutorial panel lies in front of the showcase.
    bool TutorialOpen() const;

    void New1Click(QObject* Sender);
    void sb1Click(QObject* Sender);
    void sb2Click(QObject* Sender);
    void sb3Click(QObject* Sender);
    void sb4Click(QObject* Sender);
    void sb5Click(QObject* Sender);
    void sb6Click(QObject* Sender);
    void sb7Click(QObject* Sender);
    void sbForm4Click(QObject* Sender);
    void sbForm2Click(QObject* Sender);
    void SpeedButton1Click(QObject* Sender);
    void SpeedButton2Click(QObject* Sender);
    void bbNextClick(QObject* Sender);
    void bbBackClick(QObject* Sender);
    void bbCloseClick(QObject* Sender);
    void GIFImage1Change(QObject* Sender);
    void sbLOMClick(QObject* Sender);
    void SpeedButton6Click(QObject* Sender);
    void Exit1Click(QObject* Sender);
    void MacroRecordClick(QObject* Sender);
    void MacroStopClick(QObject* Sender);
    void MacroPlayClick(QObject* Sender);
    void MacroRecordMouseMove(QObject* Sender);
    void MacroStopMouseMove(QObject* Sender);
    void MacroPlayMouseMove(QObject* Sender);
    void PlaybackSpeed1Click(QObject* Sender);
    void LoopPlayback1Click(QObject* Sender);
    void HPolNTSC1Click(QObject* Sender);
    void VPolNTSC1Click(QObject* Sender);
    void HPolDTV1Click(QObject* Sender);
    void EPolDTV2Click(QObject* Sender);
    void TxLineTable1Click(QObject* Sender);
    void Myowndemos1Click(QObject* Sender);

    TOpenDialog OpenDialog1;
    TSaveDialog SaveDialog1;

private:
    void BindEvents();
    void DrawPictures();
    void UpdateCommands();
    void ShowTutorialPage(int page);
    void PlayBuiltInDemo(const char* file);
    void StepClick(int page);

    TMainWindowLinks links_;
};
