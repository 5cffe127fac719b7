// The report's small windows (report/ui): go to page, the abort question, the viewer's
// print dialog and printing status, the run's destination dialog and its status window.
// Every modal question goes through RpxModalAnswerer, so that tests answer it without a
// modal loop.
#pragma once

#include "report/DaxPageSetup.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class RpxGotoPage;
class RpxAbortReport;
class RpxPreviewStatus;
class RpxPrintDestination;
class DaxReportDestination;
class FormPrintStatus;
}  // namespace Ui

class TRpxPreview;
class TRpxPrinter;
class TRpxMeter;
class QLabel;
class QLineEdit;
class QPushButton;

// Runs a modal dialog and gives its result (QDialog::Accepted / Rejected). The default runs
// the dialog's own modal loop; a test puts a function in place that sends input instead.
extern std::function<int(QDialog& dialog)> RpxModalAnswerer;
int RpxAsk(QDialog& dialog);

// The printer-setup dialog on the program's printer (through the program's UI services, so
// a script answers it in tests). True when the user confirmed it.
bool RpxPrinterSetupDialog();

// Runs the printer-setup dialog with the given stay-on-top windows lowered meanwhile.
bool RpxPrinterSetupBelow(std::initializer_list<QWidget*> windows);

// An entered number: blanks count as 0, anything else that is not a whole number gives
// fallback.
int RpxNumberText(const QString& text, int fallback = 0);

class TRpxGotoPage : public QDialog {
    Q_OBJECT
public:
    explicit TRpxGotoPage(QWidget* parent = nullptr);
    ~TRpxGotoPage() override;
    QLineEdit* PageNum() const;
    // The number entered; 0 when none.
    int Page() const;

private:
    std::unique_ptr<Ui::RpxGotoPage> ui_;
};

// "Abort Report": Yes aborts the print job, No stops after the page being printed.
class TRpxAbortReport : public QDialog {
    Q_OBJECT
public:
    enum TAnswer { arCancel = 0, arYes = 1, arNo = 2 };
    explicit TRpxAbortReport(QWidget* parent = nullptr);
    ~TRpxAbortReport() override;
    QPushButton* Button(TAnswer a) const;

private:
    std::unique_ptr<Ui::RpxAbortReport> ui_;
};

// "Printing": the page being printed and an "Abort" button, over the preview's printer.
class TRpxPreviewStatus : public QDialog {
    Q_OBJECT
public:
    explicit TRpxPreviewStatus(TRpxPreview& preview, QWidget* parent = nullptr);
    ~TRpxPreviewStatus() override;
    // The progress callback: shows the printer's current page.
    void ShowPage(TRpxPrinter& printer);
    QLabel* PageNumber() const;
    QPushButton* AbortButton() const;

private:
    void AbortClick();

    std::unique_ptr<Ui::RpxPreviewStatus> ui_;
    TRpxPreview& preview_;
};

// "Print Preview": the viewer's print dialog over a preview and its printer setup.
class TRpxPrintDestination : public QDialog {
    Q_OBJECT
public:
    TRpxPrintDestination(TRpxPreview* preview, TRpxPrinterSetup& setup, QWidget* parent = nullptr);
    ~TRpxPrintDestination() override;

    // The range chosen on "&Print" (0..0: all pages).
    int RangeStart() const { return rangeStart_; }
    int RangeEnd() const { return rangeEnd_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void RangeClick();
    void PrintClick();

    std::unique_ptr<Ui::RpxPrintDestination> ui_;
    TRpxPreview* preview_;
    TRpxPrinterSetup& setup_;
    int rangeStart_ = 0, rangeEnd_ = 0;
};

// "Report Destination": printer or screen, page range and copies of a report run.
class TDaxReportDestination : public QDialog {
    Q_OBJECT
public:
    explicit TDaxReportDestination(TDaxPageSetup& setup, QWidget* parent = nullptr);
    ~TDaxReportDestination() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void RangeClick();
    void PrintClick();

    std::unique_ptr<Ui::DaxReportDestination> ui_;
    TDaxPageSetup& setup_;
};

// Asks the run's destination: true when the user chose "&Print" (the setup then holds the
// choice).
bool RpxAskReportDestination(TDaxPageSetup& setup, QWidget* parent = nullptr);

// "Print Status": shown while a report is generated or printed. The run reports through
// StatusUpdate and hears the user's answer to the abort question through OnDiscard and
// OnEndOfData; OnDetach removes the window as the run's status callback.
class TFormPrintStatus : public QDialog {
    Q_OBJECT
public:
    // The status kinds of a run.
    enum TStatus { stStarted = 0, stPassFinished = 1, stPrinting = 2, stPrintingNull = 3, stGenerating = 4 };

    explicit TFormPrintStatus(QWidget* parent = nullptr);
    ~TFormPrintStatus() override;

    void StatusUpdate(int currentPage, double percentDone, int kind);
    bool Finished() const { return finished_; }
    // The abort question; true unless the user cancelled it.
    bool AskAbort();

    std::function<void()> OnDetach;
    std::function<void()> OnDiscard;
    std::function<void()> OnEndOfData;

    QLabel* Wait() const;
    QLabel* PageNumber() const;
    TRpxMeter* Meter() const;
    QPushButton* AbortButton() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    std::unique_ptr<Ui::FormPrintStatus> ui_;
    bool finished_ = false;
};
