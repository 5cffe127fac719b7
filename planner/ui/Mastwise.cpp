// Mastwise: start-up of the planner.
#include "planner/ui/LOM.h"
#include "planner/ui/Main.h"

TFrmMain* FrmMain = nullptr;
TfrmLOM* frmLOM = nullptr;

int main(int argc, char** argv)
{
    TQtApplication app(argc, argv);
    QCoreApplication::setApplicationName("Mastwise");
    Application->Initialize();
    Application->SetTitle("Mastwise");
    // The start-up windows, in this order. Each window still to come joins here, and its
    // commands in the main window through Link():
    Application->CreateForm(FrmMain);  // the main window
    //   TfrmSysInfo     site-information dialog   -> New design (CreateSysInfo)
    Application->CreateForm(frmLOM);
    //   TfrmRprt        report window
    //   TfrmPlaySpeed   playback-speed dialog     -> Settings, Playback Speed (PlaySpeed)
    //   TfrmMyDemos     custom-demos dialog       -> Demos, My own demos (MyDemos)
    //   TfrmStopDemo    stop-recording notice     -> Demos, My own demos (StopDemo)
    //   Tfrm8           exhibit-identifier dialog
    //   TPrinterOption  printer-option dialog
    //   TAzPats         azimuth-pattern window    -> comparison button (AzPats)
    // Made per use: the wizard (CreateWizard), the beam-tilt calculator (CreateBeamTiltCalc);
    // the macro component (Vantrel1) enables the record, play and stop buttons and the demos.
    FrmMain->Link(TMainWindowLinks{});
    return Application->Run();
}
