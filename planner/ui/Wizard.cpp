#include "planner/ui/Wizard.h"

#include "platform/runtime/NumText.h"
#include "platform/runtime/SysUtils.h"
#include "platform/ui/StdCtrls.h"
#include "planner/controls/NuvNumericEdit.h"
#include "planner/engine/Exhibits.h"
#include "planner/engine/PDFUnit.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/ui/AzPtrns.h"
#include "planner/ui/MainState.h"
#include "planner/ui/PageControls.h"
#include "planner/ui/frmPrinterOption.h"
#include "planner/ui/unit1.h"
#include "planner/ui/unit2.h"
#include "planner/ui/unit3.h"
#include "planner/ui/unit4.h"
#include "planner/ui/unit5.h"
#include "planner/ui/unit8.h"

#include <QCoreApplication>
#include <QKeyEvent>

TWizardExhibits WizardExhibits;

namespace {

const char* const kNext = "&Next";
const char* const kFinish = "&Finish";
const char* const kPatternFilter =
    "Pattern files (*.pat)|*.PAT|Data files (*.dat)|*.DAT|Text files (*.txt)|*.TXT|All files (*.*)|*.*";

bool ExhibitsInstalled() { return WizardExhibits.PrintPatternExhibit && WizardExhibits.PrintSystemExhibit; }

// A control of a page form by name. The form's panel lives in the notebook page, so the page
// is searched, not the form.
template <class T>
T* PageControl(const TAutoNotebook* nb, int page, const char* name)
{
    QWidget* w = nb->PageObject(page);
    return w ? w->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

std::string EditText(const TAutoNotebook* nb, int page, const char* name)
{
    const TEdit* e = PageControl<TEdit>(nb, page, name);
    return e ? e->Text() : std::string();
}

// The plot-type texts of the PDF pages, by the page's plot-type group.
std::string PlotTypeText(const TAutoNotebook* nb, int page)
{
    const TRadioGroup* g = PageControl<TRadioGroup>(nb, page, "RadioGroup1");
    return g && g->ItemIndex() == 1 ? "Decibel" : "Relative Field";
}

}  // namespace

bool RunPrintDialog(TPrintDialog& dialog)
{
    return WizardExhibits.ExecutePrintDialog ? WizardExhibits.ExecutePrintDialog(dialog) : dialog.Execute();
}

void MakeExhibitPdf(TBitmap& page, const std::string& fileName)
{
    const TPdfConverter converter =
        WizardExhibits.PdfConverter ? WizardExhibits.PdfConverter() : HtmlDocConverter(ProgramFolder);
    std::vector<std::string> errors;
    {
        TExhibitBusy busy;
        MakePdfFile(page, fileName, converter, [&](const std::string& e) { errors.push_back(e); });
    }
    for (const std::string& e : errors) MessageDlg(e, TMsgDlgType::mtError, mbOK);
}

void RegisterWizardPages()
{
    RegisterFormClass<Tfrm1>("Tfrm1");
    RegisterFormClass<Tfrm2>("Tfrm2");
    RegisterFormClass<Tfrm3>("Tfrm3");
    RegisterFormClass<Tfrm4>("Tfrm4");
    RegisterFormClass<Tfrm5>("Tfrm5");
    RegisterFormClass<Tfrm8>("Tfrm8");
    RegisterFormClass<TAzPats>("TAzPats");
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
    SaveDialog1.OverwritePrompt = true;
    SaveDialog2.Filter = "PDF File   (*.pdf)|*.pdf|All Files  (*.*)|*.*";
    SaveDialog2.DefaultExt = "pdf";
    SaveDialog2.OverwritePrompt = true;
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
        if (PrintOption == poPdf) {
            PatternPdf(nb->GetPageIndex());
            return;
        }
        if (PrintOption != 2 && !ShowExhibitIdentifierDialog()) return;
        if (nb->GetPageIndex() == 2)
            Print2Click(btnPrint);
        else
            Print3Click(btnPrint);
        break;
    case 5:
        if (PrinterOption) {
            // Closed by its close box rather than OK: the user cancelled.
            if (PrinterOption->ShowModal() != mrOk) return;
            if (PrinterOption->RadioGroup1->ItemIndex() == 1) {
                SystemPdf();
                return;
            }
        }
        if (!ShowExhibitIdentifierDialog()) return;
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

// --- PDF -----------------------------------------------------------------------------------

TImage* TfrmWizard::PageImage(int page) const { return PageControl<TImage>(nb, page, "PDFImage"); }

void TfrmWizard::PatternPdf(int page)
{
    TImage* image = PageImage(page);
    if (!image || !SaveDialog2.Execute()) return;
    if (page == 2) {
        AzimuthPdfText.NumericGain = EditText(nb, page, "Edit1");
        AzimuthPdfText.PowerGainDb = EditText(nb, page, "Edit2");
        AzimuthPdfText.Polarization = EditText(nb, page, "Edit4");
        AzimuthPdfText.RotationAngle = EditText(nb, page, "Edit3");
        AzimuthPdfText.PlotType = PlotTypeText(nb, page);
    } else {
        ElevationPdfText.MainLobeGain = EditText(nb, page, "Edit1");
        ElevationPdfText.MainLobeGainDb = EditText(nb, page, "Edit2");
        ElevationPdfText.HorizontalGain = EditText(nb, page, "Edit4");
        ElevationPdfText.HorizontalGainDb = EditText(nb, page, "Edit5");
        ElevationPdfText.BeamWidthText = EditText(nb, page, "Edit3");
        ElevationPdfText.PlotType = PlotTypeText(nb, page);
        const TNuvNumericEdit* tilt = PageControl<TNuvNumericEdit>(nb, page, "NumEdit1");
        ElevationPdfText.BeamTiltText = tilt ? tilt->Text() : std::string();
    }
    MakePdf(image, SaveDialog2.FileName);
}

void TfrmWizard::SystemPdf()
{
    TImage* image = PageImage(5);
    if (!image || !SaveDialog2.Execute()) return;
    if (!ShowExhibitIdentifierDialog()) return;
    TBitmap& page = image->Picture();
    page.Canvas().Brush.Color = clWhite;
    page.Canvas().Brush.Style = bsSolid;
    page.Canvas().FillRect(Rect(0, 0, page.Width(), page.Height()));
    DrawSystemExhibitPage(page.Canvas());
    MakePdf(image, SaveDialog2.FileName);
}

void TfrmWizard::MakePdf(TImage* Image, const std::string& FileName)
{
    const int page = nb->GetPageIndex();
    if (page != 5 && !ShowExhibitIdentifierDialog()) return;
    // The exhibit goes on a copy: the page's image keeps only its plot, so a later export
    // (another exhibit identifier, say) does not draw over this one.
    TBitmap exhibit;
    exhibit.Assign(Image->Picture());
    if (page == 2) DrawAzimuthExhibitPage(exhibit.Canvas());
    else if (page == 3) DrawElevationExhibitPage(exhibit.Canvas());
    MakeExhibitPdf(exhibit, FileName);
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
