#include "report/ui/RpxDialogs.h"

#include "report/ui/RpxPreview.h"
#include "ui_DaxReportDestination.h"
#include "ui_FormPrintStatus.h"
#include "ui_RpxAbortReport.h"
#include "ui_RpxGotoPage.h"
#include "ui_RpxPreviewStatus.h"
#include "ui_RpxPrintDestination.h"

#include "platform/printing/QtPrinters.h"
#include "platform/runtime/StrTable.h"
#include "platform/ui/Dialogs.h"

#include <QCloseEvent>
#include <QPointer>
#include <QWindow>

#include <cmath>

std::function<int(QDialog& dialog)> RpxModalAnswerer;

int RpxAsk(QDialog& dialog) { return RpxModalAnswerer ? RpxModalAnswerer(dialog) : dialog.exec(); }

bool RpxPrinterSetupDialog()
{
    TPrintDialog d;
    return PrinterInstalled() ? ExecutePrintDialog(d, Printer()) : d.Execute();
}

bool RpxPrinterSetupBelow(std::initializer_list<QWidget*> windows)
{
    // A stay-on-top window would hide the printer dialog. Only the window system's on-top
    // state is lowered: changing the widget's own flags would hide and re-create a shown
    // window, which ends the modal loop of a dialog that is waiting for its answer.
    std::vector<QPointer<QWindow>> lowered;
    for (QWidget* w : windows) {
        QWindow* handle = w ? w->windowHandle() : nullptr;
        if (!handle || !(w->windowFlags() & Qt::WindowStaysOnTopHint)) continue;
        handle->setFlag(Qt::WindowStaysOnTopHint, false);
        lowered.emplace_back(handle);
    }
    struct Raise {
        std::vector<QPointer<QWindow>>& windows;
        ~Raise()
        {
            for (QWindow* w : windows)
                if (w) w->setFlag(Qt::WindowStaysOnTopHint, true);
        }
    } raise{lowered};
    return RpxPrinterSetupDialog();
}

int RpxNumberText(const QString& text, int fallback)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return 0;
    bool ok = false;
    const int v = t.toInt(&ok);
    return ok ? v : fallback;
}

namespace {

QString Str(int32_t id) { return QString::fromStdString(LoadStr(id)); }

// Copies: a whole number of at least 1.
int CopiesText(const QString& text)
{
    const int v = RpxNumberText(text, 1);
    return v < 1 ? 1 : v;
}

}  // namespace

// --- TRpxGotoPage ----------------------------------------------------------------------------

TRpxGotoPage::TRpxGotoPage(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::RpxGotoPage>())
{
    ui_->setupUi(this);
    connect(ui_->btnGo, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}
TRpxGotoPage::~TRpxGotoPage() = default;
QLineEdit* TRpxGotoPage::PageNum() const { return ui_->PageNum; }
int TRpxGotoPage::Page() const { return RpxNumberText(ui_->PageNum->text()); }

// --- TRpxAbortReport -------------------------------------------------------------------------

TRpxAbortReport::TRpxAbortReport(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::RpxAbortReport>())
{
    ui_->setupUi(this);
    connect(ui_->btnYes, &QPushButton::clicked, this, [this] { done(arYes); });
    connect(ui_->btnNo, &QPushButton::clicked, this, [this] { done(arNo); });
    connect(ui_->btnCancel, &QPushButton::clicked, this, [this] { done(arCancel); });
}
TRpxAbortReport::~TRpxAbortReport() = default;

QPushButton* TRpxAbortReport::Button(TAnswer a) const
{
    return a == arYes ? ui_->btnYes : a == arNo ? ui_->btnNo : ui_->btnCancel;
}

// --- TRpxPreviewStatus -----------------------------------------------------------------------

TRpxPreviewStatus::TRpxPreviewStatus(TRpxPreview& preview, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::RpxPreviewStatus>()), preview_(preview)
{
    ui_->setupUi(this);
    connect(ui_->btnAbort, &QPushButton::clicked, this, &TRpxPreviewStatus::AbortClick);
}
TRpxPreviewStatus::~TRpxPreviewStatus() = default;
QLabel* TRpxPreviewStatus::PageNumber() const { return ui_->PageNumber; }
QPushButton* TRpxPreviewStatus::AbortButton() const { return ui_->btnAbort; }

void TRpxPreviewStatus::ShowPage(TRpxPrinter& printer) { ui_->PageNumber->setText(QString::number(printer.CurrentPage)); }

void TRpxPreviewStatus::AbortClick()
{
    TRpxAbortReport question(this);
    const int answer = RpxAsk(question);
    TRpxPrinter* printer = preview_.Printer();
    if (!printer) return;
    if (answer == TRpxAbortReport::arYes) printer->Stopped = printer->Aborted = true;
    else if (answer == TRpxAbortReport::arNo) printer->Stopped = true;
}

// --- TRpxPrintDestination --------------------------------------------------------------------

TRpxPrintDestination::TRpxPrintDestination(TRpxPreview* preview, TRpxPrinterSetup& setup, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::RpxPrintDestination>()),
      preview_(preview),
      setup_(setup)
{
    ui_->setupUi(this);
    for (auto* b : {ui_->rbAll, ui_->rbCurrent, ui_->rbPages})
        connect(b, &QRadioButton::clicked, this, &TRpxPrintDestination::RangeClick);
    connect(ui_->btnPrint, &QPushButton::clicked, this, &TRpxPrintDestination::PrintClick);
    connect(ui_->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->btnSetup, &QPushButton::clicked, this, [this] { RpxPrinterSetupBelow({parentWidget(), this}); });
}
TRpxPrintDestination::~TRpxPrintDestination() = default;

void TRpxPrintDestination::showEvent(QShowEvent* event)
{
    ui_->StartRange->clear();
    ui_->EndRange->clear();
    ui_->Copies->setText(QString::number(setup_.Copies));
    ui_->Collate->setChecked(setup_.Collate != 0);
    rangeStart_ = rangeEnd_ = 0;
    QDialog::showEvent(event);
}

void TRpxPrintDestination::RangeClick()
{
    const bool pages = ui_->rbPages->isChecked();
    ui_->StartRange->setEnabled(pages);
    ui_->EndRange->setEnabled(pages);
    if (pages && preview_) {
        ui_->StartRange->setText("1");
        ui_->EndRange->setText(QString::number(preview_->PageCount()));
    } else {
        ui_->StartRange->clear();
        ui_->EndRange->clear();
    }
}

void TRpxPrintDestination::PrintClick()
{
    setup_.ReadFromPrinter();
    setup_.SetCollate(ui_->Collate->isChecked() ? 1 : 0);
    setup_.SetCopies(CopiesText(ui_->Copies->text()));
    setup_.ApplyToPrinter();
    if (ui_->rbAll->isChecked()) {
        rangeStart_ = rangeEnd_ = 0;
    } else if (ui_->rbCurrent->isChecked()) {
        rangeStart_ = rangeEnd_ = preview_ ? preview_->CurrentPage() : 0;
    } else {
        rangeStart_ = RpxNumberText(ui_->StartRange->text());
        rangeEnd_ = RpxNumberText(ui_->EndRange->text());
    }
    accept();
}

// --- TDaxReportDestination -------------------------------------------------------------------

TDaxReportDestination::TDaxReportDestination(TDaxPageSetup& setup, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::DaxReportDestination>()),
      setup_(setup)
{
    ui_->setupUi(this);
    for (auto* b : {ui_->rangeAll, ui_->rangePages})
        connect(b, &QRadioButton::clicked, this, &TDaxReportDestination::RangeClick);
    connect(ui_->btnPrint, &QPushButton::clicked, this, &TDaxReportDestination::PrintClick);
    connect(ui_->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->printersetup, &QPushButton::clicked, this, [this] { RpxPrinterSetupBelow({this}); });
}
TDaxReportDestination::~TDaxReportDestination() = default;

void TDaxReportDestination::showEvent(QShowEvent* event)
{
    setWindowTitle(Str(56426));
    ui_->destgroup->setTitle(Str(56429));
    ui_->goPrinter->setText(Str(56430));
    ui_->goScreen->setText(Str(56431));
    ui_->rangegroup->setTitle(Str(56428));
    ui_->rangeAll->setText(Str(56432));
    ui_->rangePages->setText(Str(56433));
    ui_->lbFrom->setText(Str(56434));
    ui_->lbTo->setText(Str(56435));
    ui_->btnPrint->setText(Str(56436));
    ui_->btnCancel->setText(Str(56437));
    ui_->printersetup->setText(Str(56438));
    ui_->lbCopies->setText(Str(56439));

    const bool printer = setup_.PrinterAvailable();
    ui_->goPrinter->setEnabled(printer);
    ui_->printersetup->setEnabled(printer);
    (setup_.Destination == destScreen ? ui_->goScreen : ui_->goPrinter)->setChecked(true);
    const bool pages = setup_.RangeStart > 0 || setup_.RangeEnd > 0;
    ui_->StartRange->setText(setup_.RangeStart > 0 ? QString::number(setup_.RangeStart) : QString());
    ui_->EndRange->setText(setup_.RangeEnd > 0 ? QString::number(setup_.RangeEnd) : QString());
    (pages ? ui_->rangePages : ui_->rangeAll)->setChecked(true);
    ui_->StartRange->setEnabled(pages);
    ui_->EndRange->setEnabled(pages);
    ui_->Copies->setText(QString::number(setup_.Copies()));
    ui_->Collate->setChecked(setup_.CollatedCopies);
    if (printer) setup_.ApplyToPrinter();
    QDialog::showEvent(event);
}

void TDaxReportDestination::RangeClick()
{
    const bool pages = ui_->rangePages->isChecked();
    ui_->StartRange->setEnabled(pages);
    ui_->EndRange->setEnabled(pages);
    if (pages) {
        if (ui_->StartRange->text().isEmpty()) ui_->StartRange->setText("1");
        if (ui_->EndRange->text().isEmpty()) ui_->EndRange->setText("0");
    } else {
        ui_->StartRange->clear();
        ui_->EndRange->clear();
    }
}

void TDaxReportDestination::PrintClick()
{
    setup_.Destination = ui_->goPrinter->isChecked() ? destPrinter : destScreen;
    if (ui_->rangeAll->isChecked()) {
        setup_.RangeStart = setup_.RangeEnd = 0;
    } else {
        setup_.RangeStart = std::max(RpxNumberText(ui_->StartRange->text()), 0);
        setup_.RangeEnd = std::max(RpxNumberText(ui_->EndRange->text()), 0);
    }
    const bool printer = setup_.PrinterAvailable();
    if (printer) setup_.ReadFromPrinter();
    setup_.SetCopies(static_cast<TDaxPaperCopies>(std::min(CopiesText(ui_->Copies->text()), 0xFFFF)));
    setup_.CollatedCopies = ui_->Collate->isChecked();
    if (printer) setup_.ApplyToPrinter();
    accept();
}

bool RpxAskReportDestination(TDaxPageSetup& setup, QWidget* parent)
{
    TDaxReportDestination dialog(setup, parent);
    return RpxAsk(dialog) == QDialog::Accepted;
}

// --- TFormPrintStatus ------------------------------------------------------------------------

TFormPrintStatus::TFormPrintStatus(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::FormPrintStatus>())
{
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Str(56460));
    ui_->lbWait->setText(Str(56441));
    ui_->lbPage->setText(Str(56442));
    ui_->abortbutton->setText(Str(56443));
    ui_->LoadMeter->SetMin(0);
    ui_->LoadMeter->SetMax(100);
    connect(ui_->abortbutton, &QPushButton::clicked, this, [this] { AskAbort(); });
}
TFormPrintStatus::~TFormPrintStatus() = default;

QLabel* TFormPrintStatus::Wait() const { return ui_->lbWait; }
QLabel* TFormPrintStatus::PageNumber() const { return ui_->pagenumber; }
TRpxMeter* TFormPrintStatus::Meter() const { return ui_->LoadMeter; }
QPushButton* TFormPrintStatus::AbortButton() const { return ui_->abortbutton; }

void TFormPrintStatus::StatusUpdate(int currentPage, double percentDone, int kind)
{
    if (kind == stPrinting) ui_->lbWait->setText("Printing, Please Wait.");
    else if (kind == stGenerating) ui_->lbWait->setText("Generating, Please Wait.");
    ui_->pagenumber->setText(QString::number(currentPage));
    ui_->LoadMeter->SetProgress(std::isfinite(percentDone) ? static_cast<int>(std::lround(percentDone)) : 0);
    if (kind == stPassFinished) {
        if (OnDetach) OnDetach();
        finished_ = true;
        close();  // frees the window
    }
}

bool TFormPrintStatus::AskAbort()
{
    const std::string text = LoadStr(56462) + "\r" + LoadStr(56463) + "\r" + LoadStr(56464);
    const int answer = MessageBox(text, LoadStr(56465), MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES) {
        if (OnDiscard) OnDiscard();
        if (OnEndOfData) OnEndOfData();
    } else if (answer == IDNO) {
        if (OnEndOfData) OnEndOfData();
    }
    return answer == IDYES || answer == IDNO;
}

void TFormPrintStatus::closeEvent(QCloseEvent* event)
{
    if (finished_) {
        event->accept();
        return;
    }
    AskAbort();
    event->ignore();
}

// Escape closes nothing while the run goes on.
void TFormPrintStatus::reject()
{
    if (finished_) QDialog::reject();
    else AskAbort();
}
