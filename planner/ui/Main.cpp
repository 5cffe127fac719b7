#include "planner/ui/Main.h"

#include "platform/runtime/StrTable.h"
#include "planner/engine/ProjObj.h"
#include "planner/resources/PlannerPictures.h"
#include "planner/resources/glyphs/Pictures.h"
#include "planner/ui/DemoFolders.h"
#include "planner/ui/LOM.h"
#include "planner/ui/MainState.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>

MW_USE_STRING_TABLE(Planner);

namespace {

const char* const kMacroFilter = "Macro files (*.mcr)|*.MCR";

// One page of the beam-tilt tutorial: slide, slide size, presenter shown, memo paragraphs,
// Back enabled.
struct TTutorialPage {
    int frame;
    int width, height;
    bool presenter;
    std::vector<int> paragraphs;
    bool back;
};

const TTutorialPage kTutorial[5] = {
    {1, 175, 350, true, {19001, 19002}, false},
    {2, 350, 175, false, {19003, 19004}, true},
    {2, 350, 175, false, {19005, 19006}, true},
    {3, 175, 350, true, {19007, 19008, 19009, 19010}, true},
    {4, 175, 350, true, {19011, 19012}, true},
};

// Runs a menu command through the same guard as the controls' events.
void Bind(QAction* action, QObject* context, std::function<void(QObject*)> handler)
{
    QObject::connect(action, &QAction::triggered, context,
                     [action, handler = std::move(handler)] { CallEvent(handler, action); });
}

}  // namespace

TFrmMain::TFrmMain(QWidget* owner) : TForm(owner)
{
    setupUi(this);
    DrawPictures();
    BindEvents();
    FormCreate();
    FixBorder();
}

void TFrmMain::FormCreate()
{
    ProgramFolder = IncludeTrailingPathDelimiter(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    EnableDesignSteps(false);
    // The design objects live for the whole run; a second main window (tests) shares them.
    if (!SysObj) CreateProjectObjects();
    Application->SetHintPause(100);
    MacroPlaySpeed = 5;
    UpdateCommands();
}

void TFrmMain::DrawPictures()
{
    const std::pair<TSpeedButton*, TGlyph> tools[] = {
        {sbNew, TGlyph::New},           {sbOpen, TGlyph::Open},
        {sbLOM, TGlyph::ListOfMaterials}, {SpeedButton6, TGlyph::Exit},
        {sbSave, TGlyph::Save},         {MacroRecord, TGlyph::Record},
        {MacroStop, TGlyph::Stop},      {MacroPlay, TGlyph::Play},
        {sbForm4, TGlyph::LineUtility}, {sbForm2, TGlyph::AzimuthCompare},
        {SpeedButton1, TGlyph::Tutorial}, {SpeedButton2, TGlyph::Calculator},
        {sbLOM2, TGlyph::ListOfMaterials}, {sbSave2, TGlyph::Save},
    };
    for (const auto& [button, glyph] : tools) button->setIcon(ToolGlyph(glyph));
    TSpeedButton* const steps[] = {sb1, sb2, sb3, sb4, sb5, sb6, sb7};
    for (int i = 0; i < 7; ++i) steps[i]->setIcon(StepGlyph(i + 1));
    BitBtnStart->setIcon(ToolGlyph(TGlyph::New));

    // The showcase animates by itself; the tutorial's slides are chosen by page. Properties
    // first, as a window resource sets them before its pictures load.
    GIFImage1->SetAnimate(true);
    GIFImage1->SetSpeed(10);
    GIFImage1->SetStretch(true);
    GIFImage1->SetAutoSize(true);
    GIFImage1->LoadGIFBytes(PlannerPictureBytes("Showcase"));
    BeamTilt->LoadGIFBytes(PlannerPictureBytes("BeamTilt"));
    Panel4->raise();  // the tutorial starts behind the showcase
}

void TFrmMain::BindEvents()
{
    auto on = [this](void (TFrmMain::*handler)(QObject*)) {
        return [this, handler](QObject* sender) { (this->*handler)(sender); };
    };
    sbNew->OnClick = on(&TFrmMain::New1Click);
    BitBtnStart->OnClick = on(&TFrmMain::New1Click);
    Bind(New1, this, on(&TFrmMain::New1Click));
    sb1->OnClick = lbl1->OnClick = on(&TFrmMain::sb1Click);
    sb2->OnClick = lbl2->OnClick = on(&TFrmMain::sb2Click);
    sb3->OnClick = lbl3->OnClick = on(&TFrmMain::sb3Click);
    sb4->OnClick = lbl4->OnClick = on(&TFrmMain::sb4Click);
    sb5->OnClick = lbl5->OnClick = on(&TFrmMain::sb5Click);
    sb6->OnClick = lbl6->OnClick = on(&TFrmMain::sb6Click);
    sb7->OnClick = lbl7->OnClick = on(&TFrmMain::sb7Click);
    sbForm4->OnClick = on(&TFrmMain::sbForm4Click);
    sbForm2->OnClick = on(&TFrmMain::sbForm2Click);
    SpeedButton1->OnClick = on(&TFrmMain::SpeedButton1Click);
    SpeedButton2->OnClick = on(&TFrmMain::SpeedButton2Click);
    bbNext->OnClick = on(&TFrmMain::bbNextClick);
    bbBack->OnClick = on(&TFrmMain::bbBackClick);
    bbClose->SetKind(TBitBtnKind::bkCancel);
    bbClose->OnClick = on(&TFrmMain::bbCloseClick);
    GIFImage1->OnChange = on(&TFrmMain::GIFImage1Change);
    sbLOM->OnClick = sbLOM2->OnClick = lblLOM->OnClick = on(&TFrmMain::sbLOMClick);
    SpeedButton6->OnClick = on(&TFrmMain::SpeedButton6Click);
    Bind(Exit1, this, on(&TFrmMain::Exit1Click));
    MacroRecord->OnClick = on(&TFrmMain::MacroRecordClick);
    MacroStop->OnClick = on(&TFrmMain::MacroStopClick);
    MacroPlay->OnClick = on(&TFrmMain::MacroPlayClick);
    MacroRecord->OnMouseMove = on(&TFrmMain::MacroRecordMouseMove);
    MacroStop->OnMouseMove = on(&TFrmMain::MacroStopMouseMove);
    MacroPlay->OnMouseMove = on(&TFrmMain::MacroPlayMouseMove);
    Bind(PlaybackSpeed1, this, on(&TFrmMain::PlaybackSpeed1Click));
    Bind(LoopPlayback1, this, on(&TFrmMain::LoopPlayback1Click));
    Bind(HPolNTSC1, this, on(&TFrmMain::HPolNTSC1Click));
    Bind(VPolNTSC1, this, on(&TFrmMain::VPolNTSC1Click));
    Bind(HPolDTV1, this, on(&TFrmMain::HPolDTV1Click));
    Bind(EPolDTV2, this, on(&TFrmMain::EPolDTV2Click));
    Bind(TxLineTable1, this, on(&TFrmMain::TxLineTable1Click));
    Bind(Myowndemos1, this, on(&TFrmMain::Myowndemos1Click));
}

void TFrmMain::Link(TMainWindowLinks links)
{
    links_ = std::move(links);
    UpdateCommands();
    // The status panel shows what the recorder does.
    if (links_.Vantrel1)
        links_.Vantrel1->SetActivityListener([panel = QPointer<TPanel>(pnlState)](TMacroActivity a) {
            if (!panel) return;
            panel->SetCaption(a == TMacroActivity::Recording ? "Recording" : a == TMacroActivity::Playing ? "Playing" : "Inactive");
        });
}

// A command is enabled once the window it opens has joined the program.
void TFrmMain::UpdateCommands()
{
    const bool design = links_.CreateSysInfo && links_.CreateWizard;
    sbNew->setEnabled(design);
    BitBtnStart->setEnabled(design);
    New1->setEnabled(design);
    sbForm4->setEnabled(static_cast<bool>(links_.CreateWizard));
    sbForm2->setEnabled(links_.AzPats != nullptr);
    SpeedButton2->setEnabled(static_cast<bool>(links_.CreateBeamTiltCalc));
    const bool macros = links_.Vantrel1 != nullptr;
    for (QWidget* w : std::initializer_list<QWidget*>{MacroRecord, MacroStop, MacroPlay}) w->setEnabled(macros);
    for (QAction* a : {LoopPlayback1, HPolNTSC1, VPolNTSC1, HPolDTV1, EPolDTV2, TxLineTable1}) a->setEnabled(macros);
    PlaybackSpeed1->setEnabled(links_.PlaySpeed != nullptr);
    Myowndemos1->setEnabled(macros && links_.MyDemos && links_.StopDemo);
}

// --- Design steps --------------------------------------------------------------

void TFrmMain::EnableDesignSteps(bool enabled)
{
    for (TSpeedButton* b : {sb1, sb2, sb3, sb4, sb5}) b->setEnabled(enabled);
    sb6->setEnabled(false);
    sb7->setEnabled(false);
    for (TSpeedButton* b : {sbLOM, sbLOM2, sbSave, sbSave2}) b->setEnabled(enabled);
    // Our classes carry no meta-object of their own, so findChildren would match every QLabel.
    for (QLabel* q : findChildren<QLabel*>())
        if (auto* l = dynamic_cast<TLabel*>(q)) l->setEnabled(enabled);
    for (TLabel* l : {Label1, Label2, Label3}) l->setEnabled(true);
    lbl6->setEnabled(false);
    lbl7->setEnabled(false);
}

namespace {

// What Start New Design resets before its site dialog: given back when the dialog is
// cancelled, so the finished design stays as it was (the dialog keeps the title block typed
// into it, whichever way it closes).
struct TDesignBeforeNew {
    TAntObj ant = Ant();
    TSysObj sys = Sys();
    bool lineUtility = LineUtilityMode;
    bool fresh2 = Page2Fresh, fresh3 = Page3Fresh, fresh4 = Page4Fresh;
    bool visited1 = Page1Visited, visited5 = Page5Visited;
    TCustomLine custom = CustomLine;
    std::string azFolder = AzimuthSaveFolder, elFolder = ElevationSaveFolder;

    void Restore() const
    {
        Ant() = ant;
        Sys() = sys;
        LineUtilityMode = lineUtility;
        Page2Fresh = fresh2;
        Page3Fresh = fresh3;
        Page4Fresh = fresh4;
        Page1Visited = visited1;
        Page5Visited = visited5;
        CustomLine = custom;
        AzimuthSaveFolder = azFolder;
        ElevationSaveFolder = elFolder;
    }
};

}  // namespace

void TFrmMain::New1Click(QObject*)
{
    const TDesignBeforeNew before;
    const bool steps = sb1->isEnabled();
    Ant().HRotation = 0;
    Ant().VRotation = 0;
    Sys().AuralPercent = 10.0f;
    LineUtilityMode = false;
    Page2Fresh = Page3Fresh = Page4Fresh = true;
    Page1Visited = Page5Visited = false;
    CustomLine = TCustomLine();
    AzimuthSaveFolder = ProgramFolder;
    ElevationSaveFolder = ProgramFolder;
    EnableDesignSteps(false);
    if (RunNewDesign()) return;
    before.Restore();
    EnableDesignSteps(steps);
}

bool TFrmMain::RunNewDesign()
{
    WizardFirstPage = 1;
    WizardLastPage = 5;
    if (!links_.CreateSysInfo) return false;
    auto sysInfo = links_.CreateSysInfo();
    if (sysInfo->ShowModal() != mrOk) return false;
    RunDesignWizard();
    return true;
}

void TFrmMain::RunDesignWizard()
{
    if (!links_.CreateWizard) return;
    auto wizard = links_.CreateWizard(WizardFirstPage);
    EnableDesignSteps(wizard->ShowModal() == mrOk);
}

void TFrmMain::ShowWizardAtPage()
{
    if (!links_.CreateWizard) return;
    auto wizard = links_.CreateWizard(WizardFirstPage);
    wizard->ShowModal();
}

void TFrmMain::StepClick(int page)
{
    WizardFirstPage = WizardLastPage = page;
    ShowWizardAtPage();
}

void TFrmMain::sb1Click(QObject*) { StepClick(1); }
void TFrmMain::sb2Click(QObject*) { StepClick(2); }
void TFrmMain::sb3Click(QObject*) { StepClick(3); }
void TFrmMain::sb4Click(QObject*) { StepClick(4); }
void TFrmMain::sb5Click(QObject*) { StepClick(5); }
void TFrmMain::sb6Click(QObject*) {}
void TFrmMain::sb7Click(QObject*) {}

void TFrmMain::sbForm4Click(QObject*)
{
    // The utility works on a copy of the channel, service, line and runs: whatever it is set
    // to, the open design keeps its own, so its antenna and exhibits stay consistent.
    const TSysObj sys = Sys();
    const TTLineObj line = TLine();
    const TCustomLine custom = CustomLine;
    const bool fresh = Page4Fresh;
    LineUtilityMode = true;
    WizardFirstPage = WizardLastPage = 4;
    ShowWizardAtPage();
    LineUtilityMode = false;
    Sys() = sys;
    TLine() = line;
    CustomLine = custom;
    Page4Fresh = fresh;
}

void TFrmMain::sbForm2Click(QObject*)
{
    if (links_.AzPats) links_.AzPats->ShowModal();
}

void TFrmMain::SpeedButton2Click(QObject*)
{
    if (!links_.CreateBeamTiltCalc) return;
    auto calc = links_.CreateBeamTiltCalc();
    calc->ShowModal();
}

void TFrmMain::sbLOMClick(QObject*)
{
    auto lom = CreateFormOnce<TfrmLOM>();
    lom->ShowModal();
}

void TFrmMain::SpeedButton6Click(QObject*) { Close(); }
void TFrmMain::Exit1Click(QObject*) { Close(); }

// --- Tutorial and showcase ---------------------------------------------------------

bool TFrmMain::TutorialOpen() const
{
    const auto& order = ClientArea->children();
    return order.indexOf(Panel3) > order.indexOf(Panel4);
}

void TFrmMain::ShowTutorialPage(int page)
{
    const TTutorialPage& p = kTutorial[page - 1];
    Memo1->Clear();
    BeamTilt->SetCurrentFrame(p.frame);
    BeamTilt->resize(p.width, p.height);
    Image5->setVisible(p.presenter);
    Label1->setVisible(p.presenter);
    Label2->setVisible(p.presenter);
    bbBack->setEnabled(p.back);
    TStringList lines;
    for (std::size_t i = 0; i < p.paragraphs.size(); ++i) {
        if (i) lines.Add("\r");
        lines.Add(LoadStr(p.paragraphs[i]));
    }
    Memo1->SetLines(lines);
}

void TFrmMain::SpeedButton1Click(QObject*)
{
    // The presenter's photo is read when the tutorial first opens, not at start-up.
    if (Image5->pixmap().isNull()) Image5->setPixmap(PresenterPhoto(Image5->size()));
    Panel3->raise();
    TutorialStep = 1;
    ShowTutorialPage(1);
    bbNext->SetCaption("Next");
}

void TFrmMain::bbNextClick(QObject*)
{
    if (TutorialStep >= 5) {
        Panel3->lower();
        bbNext->SetCaption("Next");
        Memo1->Clear();
        return;
    }
    ShowTutorialPage(++TutorialStep);
    if (TutorialStep == 5) bbNext->SetCaption("Finish");
}

void TFrmMain::bbBackClick(QObject*)
{
    if (TutorialStep <= 1) return;
    if (TutorialStep == 5) bbNext->SetCaption("Next");
    ShowTutorialPage(--TutorialStep);
}

void TFrmMain::bbCloseClick(QObject*) { Panel3->lower(); }

void TFrmMain::GIFImage1Change(QObject*)
{
    static const char* const captions[] = {
        "Zek-series UHF Antenna",
        "Zorvan Elliptically Polarized UHF Antenna",
        "Zorvan Side Mounted UHF Antenna",
        "Zorvan VHF/UHF Stacked Antenna Array",
    };
    const int frame = GIFImage1->CurrentFrame();
    if (frame >= 1 && frame <= 4) Edit1->SetText(captions[frame - 1]);
}

// --- Demonstrations ------------------------------------------------------------------

void TFrmMain::MacroRecordClick(QObject*)
{
    if (!links_.Vantrel1) return;
    SaveDialog1.InitialDir = MacroFolder();
    SaveDialog1.DefaultExt = "mcr";
    SaveDialog1.Filter = kMacroFilter;
    SaveDialog1.OverwritePrompt = true;
    // Cancel records nothing (and never overwrites the macro chosen last time).
    if (!SaveDialog1.Execute()) return;
    links_.Vantrel1->SetMacroName(SaveDialog1.FileName);
    links_.Vantrel1->RecordMacro();
}

void TFrmMain::MacroStopClick(QObject*)
{
    if (links_.Vantrel1) links_.Vantrel1->StopMacro();
}

void TFrmMain::MacroPlayClick(QObject*)
{
    if (!links_.Vantrel1) return;
    OpenDialog1.InitialDir = MacroFolder();
    OpenDialog1.DefaultExt = "mcr";
    OpenDialog1.Filter = kMacroFilter;
    if (!OpenDialog1.Execute()) return;
    DemoFileName = OpenDialog1.FileName;
    links_.Vantrel1->SetMacroName(DemoFileName);
    links_.Vantrel1->SetPlaySpeed(MacroPlaySpeed);
    links_.Vantrel1->PlayMacro();
}

void TFrmMain::MacroRecordMouseMove(QObject*) { MacroRecord->SetHint("Start\r\nrecording\r\na macro"); }
void TFrmMain::MacroStopMouseMove(QObject*) { MacroStop->SetHint("Stop\r\nrecording\r\na macro"); }
void TFrmMain::MacroPlayMouseMove(QObject*) { MacroPlay->SetHint("Play a\r\nrecorded\r\nmacro"); }

void TFrmMain::PlaybackSpeed1Click(QObject*)
{
    if (links_.PlaySpeed) links_.PlaySpeed->ShowModal();
}

void TFrmMain::LoopPlayback1Click(QObject*)
{
    // Qt ticks a checkable item before the handler runs; the new state is already there.
    if (links_.Vantrel1) links_.Vantrel1->SetLoopPlayback(LoopPlayback1->isChecked());
}

void TFrmMain::LoopWarning()
{
    ShowMessage("You are about to play a demonstration macro in continuous loop mode (great for trade show "
                "demonstrations).  If you need to BREAK OUT of the continuous loop press \r\n\r\n"
                "             Ctrl-Esc\r\n\r\nto discontinue the demonstration loop.");
}

void TFrmMain::PlayBuiltInDemo(const char* file)
{
    if (!links_.Vantrel1) return;
    links_.Vantrel1->SetMacroName(ProgramFolder + file);
    links_.Vantrel1->SetPlaySpeed(MacroPlaySpeed);
    if (links_.Vantrel1->LoopPlayback()) LoopWarning();
    links_.Vantrel1->PlayMacro();
}

void TFrmMain::HPolNTSC1Click(QObject*) { PlayBuiltInDemo("Data/hpntsc.dms"); }
void TFrmMain::VPolNTSC1Click(QObject*) { PlayBuiltInDemo("Data/epntsc.dms"); }
void TFrmMain::HPolDTV1Click(QObject*) { PlayBuiltInDemo("Data/hpdtv.dms"); }
void TFrmMain::EPolDTV2Click(QObject*) { PlayBuiltInDemo("Data/epdtv.dms"); }
void TFrmMain::TxLineTable1Click(QObject*) { PlayBuiltInDemo("Data/txtable.dms"); }

void TFrmMain::Myowndemos1Click(QObject*)
{
    if (!links_.Vantrel1 || !links_.MyDemos || !links_.StopDemo) return;
    links_.MyDemos->ShowModal();
    if (PlayDemoFlag) {
        links_.Vantrel1->SetMacroName(DemoFileName);
        links_.Vantrel1->SetPlaySpeed(MacroPlaySpeed);
        if (links_.Vantrel1->LoopPlayback()) LoopWarning();
        links_.Vantrel1->PlayMacro();
    }
    if (RecordDemoFlag) {
        links_.Vantrel1->SetMacroName(DemoFileName);
        links_.StopDemo->ShowModal();
        links_.Vantrel1->RecordMacro();
    }
}
