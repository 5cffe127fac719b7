// The design wizard: the planning pages in an auto-creating notebook, Next, Back, Finish and
// Cancel over the page range that the main window chose, the print command of the printable
// pages, and Ctrl+J for the antenna's power split.
#pragma once

#include "platform/ui/Buttons.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "planner/ui/AutoNb.h"
#include "ui_frmWizard.h"

#include <functional>
#include <memory>

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
};
extern TWizardExhibits WizardExhibits;

// Registers the wizard's page forms with the notebook. Safe to call more than once.
void RegisterWizardPages();

// A wizard made for one run, its notebook already on page firstPage.
std::unique_ptr<TForm> CreateDesignWizard(int firstPage);
