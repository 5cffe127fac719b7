// Mastwise: start-up of the planner.
#include "gif/GIFImg.h"
#include "planner/ui/AzPtrns.h"
#include "planner/ui/ExhibitPrinting.h"
#include "planner/ui/LOM.h"
#include "planner/ui/Main.h"
#include "planner/ui/Sysinfo.h"
#include "planner/ui/Wizard.h"
#include "planner/ui/frmPrinterOption.h"
#include "planner/ui/unit7.h"
#include "planner/ui/unit8.h"
#include "platform/ui/StartupProbe.h"

TFrmMain* FrmMain = nullptr;
TfrmLOM* frmLOM = nullptr;

int main(int argc, char** argv)
{
    TQtApplication app(argc, argv);
    QCoreApplication::setApplicationName("Mastwise");
    Application->Initialize();
    Application->SetTitle("Mastwise");
    GIFImg::RegisterGIFImage();  // GIF pictures of the windows decode through it
    RegisterWizardPages();
    InstallExhibitPrinting();
    // The start-up windows, in this order. Each window still to come joins here, and its
    // commands in the main window through Link():
    Application->CreateForm(FrmMain);  // the main window
    Application->CreateForm(frmSysInfo);  // never shown: a new design makes its own
    Application->CreateForm(frmLOM);
    //   TfrmRprt        report window
    //   TfrmPlaySpeed   playback-speed dialog     -> Settings, Playback Speed (PlaySpeed)
    //   TfrmMyDemos     custom-demos dialog       -> Demos, My own demos (MyDemos)
    //   TfrmStopDemo    stop-recording notice     -> Demos, My own demos (StopDemo)
    Application->CreateForm(frm8);
    InstallExhibitIdentifierDialog(frm8);
    Application->CreateForm(PrinterOption);
    Application->CreateForm(AzPats);
    // Made per use: the site dialog and the wizard of a new design, the beam-tilt calculator
    // (CreateBeamTiltCalc); the macro component (Vantrel1) enables the record, play and stop
    // buttons and the demos.
    TMainWindowLinks links;
    links.CreateSysInfo = [] { return std::unique_ptr<TForm>(CreateFormOnce<TfrmSysInfo>()); };
    links.CreateWizard = CreateDesignWizard;
    links.CreateBeamTiltCalc = CreateBeamTiltCalculator;
    links.AzPats = AzPats;
    FrmMain->Link(std::move(links));
    InstallFirstPaintProbe(FrmMain);
    return Application->Run();
}
