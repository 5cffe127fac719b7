#include "planner/ui/Wizard.h"

#include "platform/runtime/NumText.h"
#include "platform/runtime/SysUtils.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/ui/MainState.h"
#include "planner/ui/frmPrinterOption.h"
#include "planner/ui/unit1.h"
#include "planner/ui/unit8.h"

#include <QCoreApplication>
#include <QKeyEvent>

TWizardExhibits WizardExhibits;

namespace {

const char* const kNext = "&Next";
const char* const kFinish = "&Finish";
const char* const kPatternFilter =
    "Pattern files (*.pat)|*.PAT|Data files (*.dat)|*.DAT|Text files (*.txt)|*.TXT|All files (*.*)|*.*";

bool RunPrintDialog(TPrintDialog& dialog)
{
    return WizardExhibits.ExecutePrintDialog ? WizardExhibits.ExecutePrintDialog(dialog) : dialog.Execute();
}
bool ExhibitsInstalled() { return WizardExhibits.PrintPatternExhibit && WizardExhibits.PrintSystemExhibit; }

}  // namespace

void RegisterWizardPages()
{
    RegisterFormClass<Tfrm1>("Tfrm1");
    RegisterFormClass<Tfrm8>("Tfrm8");
}

std::unique_ptr<TForm> CreateDesignWizard(int firstPage)
{
    auto wizard = CreateFormOnce<TfrmWizard>();
    wizard->nb->ActivatePage(firstPage);
    return wizard;
}

TfrmWizard::TfrmWizard(QWidget* owner) : TForm(owner)
{
    // The page classes must be known before the notebook reads its captions.
    RegisterWizardPages();
    setupUi(this);
    SaveDialog1.DefaultExt = "PAT";
    SaveDialog2.Filter = "PDF File   (*.pdf)|*.pdf|All Files  (*.*)|*.*";
    auto on = [this](void (TfrmWizard::*handler)(QObject*)) {
        return [this, handler](QObject* sender) { (this->*handler)(sender); };
    };
    BitBtnNext->OnClick = on(&TfrmWizard::BitBtnNextClick);
    BitBtnBack->OnClick = on(&TfrmWizard::BitBtnBackClick);
    BitBtnCancel->OnClick = on(&TfrmWizard::BitBtnCancelClick);
    btnPrint->OnClick = on(&TfrmWizard::btnPrintClick);
    nb->OnPageChanged = on(&TfrmWizard::nbPageChanged);
    setFixedSize(size());
    nb->Loaded();
    UpdatePrintButton();
    QCoreApplication::instance()->installEventFilter(this);
}

TfrmWizard::~TfrmWizard()
{
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

// --- Navigation ------------------------------------------------------------------------

void TfrmWizard::BitBtnNextClick(QObject*)
{
    const std::string caption = BitBtnNext->Caption();
    if (caption == kNext) {
        nb->ActivatePage(nb->GetPageIndex() + 1);
    } else if (caption == kFinish) {
        Close();
        SetModalResult(mrOk);
    } else {
        nb->NotifyAllPages();
    }
}

void TfrmWizard::BitBtnBackClick(QObject*)
{
    BitBtnNext->SetCaption(kNext);
    nb->ActivatePage(nb->GetPageIndex() - 1);
}

void TfrmWizard::BitBtnCancelClick(QObject*)
{
    if (MessageDlg("You are about to cancel a new system design. Are you sure?", TMsgDlgType::mtConfirmation,
                   mbYes | mbNo) == mrYes) {
        SetModalResult(mrCancel);
        nb->CancelAllPages();
    } else {
        SetModalResult(mrNone);
    }
}

void TfrmWizard::nbPageChanged(QObject*)
{
    const int page = nb->GetPageIndex();
    if (page == WizardLastPage) BitBtnNext->SetCaption(kFinish);
    BitBtnBack->setEnabled(WizardFirstPage < page);
    UpdatePrintButton();
}

void TfrmWizard::UpdatePrintButton()
{
    const int page = nb->GetPageIndex();
    btnPrint->setVisible(page == 2 || page == 3 || page == 5 || page == 8);
    btnPrint->setEnabled(ExhibitsInstalled());
}

// --- Printing ----------------------------------------------------------------------------

void TfrmWizard::btnPrintClick(QObject*)
{
    if (!ExhibitsInstalled()) return;
    switch (nb->GetPageIndex()) {
    case 2:
    case 3:
        // Creating a PDF takes the PDF export, which the print command does not offer yet.
        if (PrintOption == 3) return;
        if (PrintOption != 2) ShowExhibitIdentifierDialog();
        if (nb->GetPageIndex() == 2)
            Print2Click(btnPrint);
        else
            Print3Click(btnPrint);
        break;
    case 5:
        if (PrinterOption) {
            PrinterOption->ShowModal();
            if (PrinterOption->RadioGroup1->ItemIndex() == 1) return;
        }
        ShowExhibitIdentifierDialog();
        Print0Click(btnPrint);
        break;
    default: break;
    }
}

void TfrmWizard::Print0Click(QObject*)
{
    if (RunPrintDialog(PrintDialog1) && WizardExhibits.PrintSystemExhibit) WizardExhibits.PrintSystemExhibit();
}

void TfrmWizard::Print2Click(QObject*) { PrintPattern(true); }
void TfrmWizard::Print3Click(QObject*) { PrintPattern(false); }

void TfrmWizard::PrintPattern(bool azimuth)
{
    if (azimuth)
        StoreAzimuthPatternType();
    else
        StoreElevationPatternType();
    SaveDialog1.FileName = ExhibitPatternType;
    if (PrintOption == 2) {
        std::string& folder = azimuth ? AzimuthSaveFolder : ElevationSaveFolder;
        SaveDialog1.InitialDir = folder;
        SaveDialog1.Filter = kPatternFilter;
        if (!SaveDialog1.Execute()) return;
        // The file is written under exactly the name chosen; its folder is where the next
        // file of this kind is offered.
        PatternFileName = SaveDialog1.FileName;
        folder = ExtractFilePath(PatternFileName);
    } else if (!RunPrintDialog(PrintDialog1)) {
        return;
    }
    if (WizardExhibits.PrintPatternExhibit) WizardExhibits.PrintPatternExhibit(azimuth);
}

// --- Keys --------------------------------------------------------------------------------

void TfrmWizard::FormKeyDown(QObject*, int& Key, Qt::KeyboardModifiers Shift)
{
    // Only character keys: Qt's special keys share their low byte with letters.
    const int low = Key & 0xFF;
    if (Key >= 0x01000000 || !(Shift & Qt::ControlModifier) || (low != 74 && low != 106)) return;
    const TAntObj& ant = Ant();
    ShowMessage("The antenna's internal power split is as follows:\r\n\r\n  Horizontal = " +
                FloatToStrF(ant.HSplit * 100.0, TFloatFormat::ffGeneral, 4, 2) + "%" + "\r\n" + "  Vertical = " +
                FloatToStrF(ant.VSplit * 100.0, TFloatFormat::ffGeneral, 4, 2) + "%" + "\r\n");
    Key = 0;
}

bool TfrmWizard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    int code = key->key();
    Guarded([&] { FormKeyDown(this, code, key->modifiers()); });
    return code == 0;
}
