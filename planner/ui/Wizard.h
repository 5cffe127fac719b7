// The design wizard: the planning pages in an auto-creating notebook, Next, Back, Finish and
// Cancel over the page range that the main window chose, the print command of the printable
// pages, and Ctrl+J for the antenna's power split.
#pragma once

#include "platform/ui/Buttons.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "planner/engine/PdfExport.h"
#include "planner/ui/AutoNb.h"
#include "ui_frmWizard.h"

#include <functional>
#include <memory>
#include <string>

class TImage;

class TfrmWizard : public TForm, public Ui::frmWizard {
public:
    explicit TfrmWizard(QWidget* owner = nullptr);
    ~TfrmWizard() override;

    void BitBtnNextClick(QObject* Sender);
    void BitBtnBackClick(QObject* Sender);
    void BitBtnCancelClick(QObject* Sender);
    void nbPageChanged(QObject* Sender);
    void UpdatePrintButton();
    void btnPrintClick(QObject* Sender);
    void Print0Click(QObject* Sender);
    void Print2Click(QObject* Sender);
    void Print3Click(QObject* Sender);
    // The PDF export of the current page (2, 3 or 5): the page's exhibit drawn on a copy of
    // Image (page 5's caller has drawn it on Image itself), written to exactly FileName.
    void MakePdf(TImage* Image, const std::string& FileName);
    // Key is set to 0 when the form used the key.
    void FormKeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift);

    TSaveDialog SaveDialog1;  // Print to Disk
    TPrintDialog PrintDialog1;
    TSaveDialog SaveDialog2;  // PDF

protected:
    // The form sees every key of its controls first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PrintPattern(bool azimuth);
    // "Create PDF" on pages 2 and 3: the save dialog, the page's texts, MakePdf.
    void PatternPdf(int page);
    // "Create PDF" on page 5.
    void SystemPdf();
    TImage* PageImage(int page) const;
};

// The exhibits that the print command draws. The wizard's print command stays disabled
// until they are installed.
struct TWizardExhibits {
    // A pattern exhibit (azimuth or elevation) as PrintOption says: graph, data table or
    // the pattern file PatternFileName.
    std::function<void(bool azimuth)> PrintPatternExhibit;
    // The system summary on the printer.
    std::function<void()> PrintSystemExhibit;
    // Runs the print dialog so that it sets up the printer the exhibits print on.
    std::function<bool(TPrintDialog&)> ExecutePrintDialog;
    // The HTML-to-PDF converter; by default htmldoc from the program folder or the PATH.
    std::function<TPdfConverter()> PdfConverter;
};
extern TWizardExhibits WizardExhibits;

// The print dialog of the exhibits: it sets up the printer they print on.
bool RunPrintDialog(TPrintDialog& dialog);
// Writes page as exactly the PDF fileName through the converter of WizardExhibits, with the
// hourglass; problems show in error boxes.
void MakeExhibitPdf(TBitmap& page, const std::string& fileName);

// Registers the wizard's page forms with the notebook. Safe to call more than once.
void RegisterWizardPages();

// A wizard made for one run, its notebook already on page firstPage.
std::unique_ptr<TForm> CreateDesignWizard(int firstPage);
