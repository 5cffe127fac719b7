#include "platform/printing/Printers.h"

#include "platform/printing/QtPaper.h"

#include "platform/runtime/FileSave.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <exception>
#include <optional>

// --- Papers -----------------------------------------------------------------

QPageSize QtPageSize(const TPrinterPaper& paper)
{
    return QPageSize(QSizeF(paper.Width / 10.0, paper.Length / 10.0), QPageSize::Millimeter, QString(),
                     QPageSize::FuzzyMatch);
}

TPrinterPaper QtPaper(const QPageSize& size, int16_t number)
{
    // Millimetres keep the exact size of papers defined in millimetres or inches.
    const QSizeF mm = size.size(QPageSize::Millimeter);
    const auto tenths = [](double v) { return static_cast<int32_t>(std::lround(v * 10.0)); };
    return {number, size.name().toStdString(), tenths(mm.width()), tenths(mm.height())};
}

// --- TPrinter ----------------------------------------------------------------

struct TPrinter::TDoc {
    QPainter painter;
    std::unique_ptr<TCanvas> canvas;
};

TPrinter::TPrinter() = default;

TPrinter::~TPrinter()
{
    // A document still open when the printer goes is never delivered.
    if (printing_) {
        try {
            Abort();
        } catch (...) {
        }
    }
}

void TPrinter::SetOrientation(TPrinterOrientation o)
{
    if (printing_) throw EPrinter("Printing in progress");
    orientation_ = o;
    format_.Orientation = o;
    ApplyOrientation(o);
}

void TPrinter::SetPageFormat(const TPrinterPageFormat& format)
{
    format_.Merge(format);
    if (format.Orientation) orientation_ = *format.Orientation;
    ApplyPageFormat(format_, printing_);
}

void TPrinter::ApplyPageFormat(const TPrinterPageFormat&, bool) { ApplyOrientation(orientation_); }

TPrinter::TSavedFormat TPrinter::SaveFormat() { return {format_, orientation_, SaveDevice()}; }

void TPrinter::RestoreFormat(const TSavedFormat& saved)
{
    if (printing_) throw EPrinter("Printing in progress");
    format_ = saved.format;
    orientation_ = saved.orientation;
    RestoreDevice(saved.device.get());
}

void TPrinter::RestoreDevice(const TSavedDevice*) { ApplyOrientation(orientation_); }

void TPrinter::NoteDeviceFormat(const TPrinterPageFormat& format)
{
    format_.Merge(format);
    if (format.Orientation) orientation_ = *format.Orientation;
}

int TPrinter::PageWidth() { return Device().width(); }
int TPrinter::PageHeight() { return Device().height(); }
int TPrinter::Resolution() { return Device().logicalDpiY(); }

QRect TPrinter::SheetRect() { return Device().pageLayout().fullRectPixels(Resolution()); }
QRect TPrinter::PrintableRect() { return Device().pageLayout().paintRectPixels(Resolution()); }

QPainter* TPrinter::DocumentPainter() { return printing_ && doc_ ? &doc_->painter : nullptr; }

TCanvas& TPrinter::Canvas()
{
    if (!printing_ || !doc_) throw EPrinter("Printer is not currently printing");
    return *doc_->canvas;
}

std::string TPrinter::PrinterName() const
{
    const auto names = Printers();
    const int i = PrinterIndex();
    if (i >= 0 && i < static_cast<int>(names.size())) return names[static_cast<size_t>(i)];
    return names.empty() ? std::string() : names.front();
}

void TPrinter::BeginDoc()
{
    if (printing_) throw EPrinter("Printing in progress");
    aborted_ = false;
    pageNumber_ = 0;
    format_.Orientation = orientation_;
    ApplyPageFormat(format_, false);
    Prepare();
    auto doc = std::make_unique<TDoc>();
    QPagedPaintDevice& device = Device();
    if (!doc->painter.begin(&device)) {
        Discard();
        throw EPrinter("Unable to start printing on " + PrinterName());
    }
    doc->canvas = std::make_unique<TCanvas>(doc->painter);
    doc->canvas->Font.PixelsPerInch = device.logicalDpiY();
    doc->canvas->Font.SetSize(10);
    doc_ = std::move(doc);
    printing_ = true;
    pageNumber_ = 1;
}

void TPrinter::Close()
{
    printing_ = false;
    if (doc_) {
        doc_->canvas.reset();
        if (doc_->painter.isActive()) doc_->painter.end();
        doc_.reset();
    }
}

void TPrinter::EndDoc()
{
    if (!printing_) throw EPrinter("Printer is not currently printing");
    FinishDevice();
    Close();
    Deliver();
}

void TPrinter::Abort()
{
    if (!printing_) return;
    aborted_ = true;
    AbortDevice();
    Close();
    Discard();
}

void TPrinter::NewPage()
{
    if (!printing_ || !doc_) throw EPrinter("Printer is not currently printing");
    if (!Device().newPage()) throw EPrinter("Unable to start a new page on " + PrinterName());
    ++pageNumber_;
}

// --- The PDF printer ---------------------------------------------------------

struct TPdfPrinter::TImpl {
    int dpi = 300;
    TPrinterOrientation orientation = TPrinterOrientation::poPortrait;
    std::optional<TPrinterPaper> paper;
    std::unique_ptr<QBuffer> buffer;
    std::unique_ptr<QPdfWriter> writer;

    void Make()
    {
        writer.reset();
        buffer = std::make_unique<QBuffer>();
        buffer->open(QIODevice::WriteOnly);
        writer = std::make_unique<QPdfWriter>(buffer.get());
        writer->setResolution(dpi);
        writer->setCreator("Mastwise");
        Layout();
    }
    void Layout()
    {
        const auto o = orientation == TPrinterOrientation::poLandscape ? QPageLayout::Landscape
                                                                        : QPageLayout::Portrait;
        const QPageSize size =
            paper && paper->Width > 0 && paper->Length > 0 ? QtPageSize(*paper) : QPageSize(QPageSize::Letter);
        writer->setPageLayout(QPageLayout(size, o, QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch));
    }
};

TPdfPrinter::TPdfPrinter(std::string fileName, int dpi) : impl_(std::make_unique<TImpl>()), fileName_(std::move(fileName))
{
    impl_->dpi = dpi > 0 ? dpi : 300;
    impl_->Make();
}

TPdfPrinter::~TPdfPrinter()
{
    if (Printing()) {
        try {
            Abort();
        } catch (...) {
        }
    }
}

QPagedPaintDevice& TPdfPrinter::Device() { return *impl_->writer; }

void TPdfPrinter::ApplyOrientation(TPrinterOrientation o)
{
    impl_->orientation = o;
    impl_->Layout();
}

void TPdfPrinter::ApplyPageFormat(const TPrinterPageFormat& format, bool)
{
    // A PDF page takes any sheet; the rest of the format means nothing to a file.
    if (format.Paper) impl_->paper = format.Paper;
    if (format.Orientation) impl_->orientation = *format.Orientation;
    impl_->Layout();
}

namespace {
struct TPdfSavedDevice : TPrinter::TSavedDevice {
    TPrinterOrientation orientation = TPrinterOrientation::poPortrait;
    std::optional<TPrinterPaper> paper;
};
}  // namespace

std::shared_ptr<const TPrinter::TSavedDevice> TPdfPrinter::SaveDevice()
{
    auto saved = std::make_shared<TPdfSavedDevice>();
    saved->orientation = impl_->orientation;
    saved->paper = impl_->paper;
    return saved;
}

void TPdfPrinter::RestoreDevice(const TSavedDevice* saved)
{
    const auto* pdf = dynamic_cast<const TPdfSavedDevice*>(saved);
    if (!pdf) return TPrinter::RestoreDevice(saved);
    impl_->orientation = pdf->orientation;
    impl_->paper = pdf->paper;
    impl_->Layout();
}

void TPdfPrinter::Prepare()
{
    // A fresh document in memory for every job.
    impl_->Make();
    impl_->writer->setTitle(QString::fromStdString(Title));
}

void TPdfPrinter::Deliver()
{
    // The writer finishes the file when the painter ends; it is complete in the buffer now.
    const QByteArray data = impl_->buffer->data();
    impl_->Make();
    if (data.isEmpty()) throw EPrinter("The PDF document is empty");
    // Replaces an earlier document only once the new one is complete (EFCreateError,
    // EWriteError); a short file is never left behind.
    SaveFileAtomically(fileName_, data.constData(), data.size());
}

void TPdfPrinter::Discard() { impl_->Make(); }

// --- The printer in force ----------------------------------------------------

namespace {
std::unique_ptr<TPrinter>& Installed()
{
    static std::unique_ptr<TPrinter> printer;
    return printer;
}
std::function<std::unique_ptr<TPrinter>()>& Factory()
{
    static std::function<std::unique_ptr<TPrinter>()> make;
    return make;
}
TPrinter* current = nullptr;
}  // namespace

TPrinter& Printer()
{
    if (current) return *current;
    if (!Installed() && Factory()) Installed() = Factory()();
    if (Installed()) return *Installed();
    throw EPrinter("There is no default printer currently selected");
}

bool PrinterInstalled() { return current != nullptr || Installed() != nullptr || static_cast<bool>(Factory()); }

void InstallPrinter(std::unique_ptr<TPrinter> printer) { Installed() = std::move(printer); }

void InstallPrinterFactory(std::function<std::unique_ptr<TPrinter>()> make)
{
    Installed().reset();
    Factory() = std::move(make);
}

TPrinterScope::TPrinterScope(TPrinter& printer) : previous_(current) { current = &printer; }
TPrinterScope::~TPrinterScope() { current = previous_; }

// --- One document ------------------------------------------------------------

TPrintJob::TPrintJob(TPrinter& printer) : printer_(printer) { printer_.BeginDoc(); }

TPrintJob::~TPrintJob()
{
    if (!done_) {
        try {
            printer_.Abort();
        } catch (...) {
        }
    }
}

void TPrintJob::Finish()
{
    done_ = true;
    printer_.EndDoc();
}
