#include "planner/ui/unit11.h"

#include "planner/ui/DemoFolders.h"
#include "planner/ui/MainState.h"

#include <QCoreApplication>

TfrmMyDemos* frmMyDemos = nullptr;

namespace {
const char* const kMacroFilter = "Macro files (*.mcr)|*.MCR";
}

TfrmMyDemos::TfrmMyDemos(QWidget* owner) : TForm(owner)
{
    setupUi(this);
    BitBtn1->SetKind(TBitBtnKind::bkCancel);
    Button1->OnClick = [this](QObject* s) { Button1Click(s); };
    Button2->OnClick = [this](QObject* s) { Button2Click(s); };
    Button3->OnClick = [this](QObject* s) { Button3Click(s); };
    Button4->OnClick = [this](QObject* s) { Button4Click(s); };
    BitBtn1->OnClick = [this](QObject* s) { BitBtn1Click(s); };
    OnShow = [this](QObject*) { FormActivate(); };
    FixBorder();
}

// Every opening starts undecided, so closing the window by its close box plays or records
// nothing (not the file of the last time).
void TfrmMyDemos::FormActivate()
{
    programFolder_ = IncludeTrailingPathDelimiter(QCoreApplication::applicationDirPath().toStdString());
    PlayDemoFlag = false;
    RecordDemoFlag = false;
}

void TfrmMyDemos::SetUpFileDialog(TOpenDialog& dialog)
{
    dialog.InitialDir = MacroFolder();
    dialog.DefaultExt = "mcr";
    dialog.Filter = kMacroFilter;
}

void TfrmMyDemos::Button3Click(QObject*)
{
    SetUpFileDialog(OpenDialog1);
    OpenDialog1.Execute();   // a cancel keeps the name chosen before
    DemoFileName = OpenDialog1.FileName;
    Edit1->SetText(DemoFileName);
    Button1->setEnabled(true);
    Button2->setEnabled(true);
}

void TfrmMyDemos::Button1Click(QObject*)
{
    const std::string name = OpenDialog1.FileName;
    if (name.empty()) return;   // nothing chosen, nothing to erase
    if (MessageDlg("Erase " + name + "?", TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes) return;
    if (!DeleteFile(name)) throw EInOutError("Unable to erase " + name + ".");
    Edit1->SetText("");
    Button1->setEnabled(false);
    Button2->setEnabled(false);
}

void TfrmMyDemos::Button2Click(QObject*)
{
    PlayDemoFlag = true;
    RecordDemoFlag = false;
    Close();
}

void TfrmMyDemos::Button4Click(QObject*)
{
    SetUpFileDialog(SaveDialog1);
    SaveDialog1.OverwritePrompt = true;
    // A cancelled save dialog records nothing: the dialog stays open for another choice.
    if (!SaveDialog1.Execute()) return;
    DemoFileName = SaveDialog1.FileName;
    RecordDemoFlag = true;
    PlayDemoFlag = false;
    Close();
}

void TfrmMyDemos::BitBtn1Click(QObject*)
{
    PlayDemoFlag = false;
    RecordDemoFlag = false;
}
