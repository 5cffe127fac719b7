// The start of Mastwise.
#include "planner/ui/StartUp.h"
#include "gif/GIFImg.h"
#include "planner/ui/AzPtrns.h"
#include "planner/ui/ExhibitPrinting.h"
#include "planner/ui/LOM.h"
#include "planner/ui/Main.h"
#include "planner/ui/Rprtfrm.h"
#include "planner/ui/Sysinfo.h"
#include "planner/ui/Vantrel1.h"
#include "planner/ui/Wizard.h"
#include "planner/ui/frmPrinterOption.h"
#include "planner/ui/unit7.h"
#include "planner/ui/unit10.h"
#include "planner/ui/unit11.h"
#include "planner/ui/unit12.h"
#include "planner/ui/unit4.h"
#include "planner/ui/unit8.h"
#include "report/RpxPrinter.h"
#include "report/generate/DaxStreaming.h"
#include "report/output/qt/RpxPainterDevice.h"
#include "report/output/qt/RpxPlatformPrinter.h"
#include "report/qt/RpxQtPrinter.h"
#include "report/rtf/qt/RpxRtfDraw.h"
#include "report/ui/RpxViewer.h"

TFrmMain* FrmMain = nullptr;
TfrmLOM* frmLOM = nullptr;

std::unique_ptr<TMacroComponent> StartMastwise()
{
    QCoreApplication::setApplicationName("Mastwise");
    Application->Initialize();
    Application->SetTitle("Mastwise");
    GIFImg::RegisterGIFImage();  // GIF pictures of the windows decode through it
    RegisterDaxReportClasses();  // the report windows read their definitions as streams
    RegisterWizardPages();
    InstallExhibitPrinting();
    // The report engine: its printers, text measuring, viewer and RTF drawing.
    SetPrinterBackend(std::make_shared<TRpxQtPrinterBackend>());  // reads the printers on first use
    InstallRpxPlatformPrinting();
    InstallRpxQtMeasuring();
    InstallRpxViewer();
    InstallRpxRtfDraw();
    InstallReportWindows();
    PrintLineTable = TfrmRprt::PrintOnce;  // page 4's Print
    // The start-up windows, in this order. Each window still to come joins here, and its
    // commands in the main window through Link():
    Application->CreateForm(FrmMain);  // the main window
    Application->CreateForm(frmSysInfo);  // never shown: a new design makes its own
    Application->CreateForm(frmLOM);
    Application->CreateForm(frmRprt);  // never used: each print makes its own
    Application->CreateForm(frmPlaySpeed);
    Application->CreateForm(frmMyDemos);
    Application->CreateForm(frmStopDemo);
    Application->CreateForm(frm8);
    InstallExhibitIdentifierDialog(frm8);
    Application->CreateForm(PrinterOption);
    Application->CreateForm(AzPats);
    // Made per use: the site dialog and the wizard of a new design, the beam-tilt calculator
    // (CreateBeamTiltCalc). The macro component Vantrel1 belongs to the main window.
    auto Vantrel1 = std::make_unique<TMacroComponent>(FrmMain);
    TMainWindowLinks links;
    links.PlaySpeed = frmPlaySpeed;
    links.MyDemos = frmMyDemos;
    links.StopDemo = frmStopDemo;
    links.Vantrel1 = Vantrel1.get();
    links.CreateSysInfo = [] { return std::unique_ptr<TForm>(CreateFormOnce<TfrmSysInfo>()); };
    links.CreateWizard = CreateDesignWizard;
    links.CreateBeamTiltCalc = CreateBeamTiltCalculator;
    links.AzPats = AzPats;
    FrmMain->Link(std::move(links));
    return Vantrel1;
}
