#include "platform/printing/QtPrinters.h"

#include "platform/printing/QtPageFormat.h"
#include "platform/printing/QtPaper.h"
#include "platform/printing/QtPrinterCatalog.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrintEngine>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>

// --- Page formats on Qt's printer ---------------------------------------------

namespace {

// The CUPS print engine's list of extra job options (name, value, name, value...).
constexpr auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

void SetCupsOption(QPrinter& printer, const QString& name, const QString& value)
{
    QPrintEngine* engine = printer.printEngine();
    if (!engine) return;
    QStringList options = engine->property(CupsOptionsKey).toStringList();
    const auto at = options.indexOf(name);
    if (at >= 0 && at % 2 == 0 && at + 1 < options.size()) options[at + 1] = value;
    else options << name << value;
    engine->setProperty(CupsOptionsKey, options);
}

}  // namespace

void ApplyQtPageFormat(QPrinter& printer, const TPrinterPageFormat& f, bool inDocument)
{
    if (f.Paper && f.Paper->Width > 0 && f.Paper->Length > 0) printer.setPageSize(QtPageSize(*f.Paper));
    if (f.Orientation)
        printer.setPageOrientation(*f.Orientation == TPrinterOrientation::poLandscape ? QPageLayout::Landscape
                                                                                      : QPageLayout::Portrait);
    if (inDocument) return;
    if (f.Duplex) {
        switch (*f.Duplex) {
        case TPrinterDuplex::pdSimplex: printer.setDuplex(QPrinter::DuplexNone); break;
        case TPrinterDuplex::pdLongEdge: printer.setDuplex(QPrinter::DuplexLongSide); break;
        case TPrinterDuplex::pdShortEdge: printer.setDuplex(QPrinter::DuplexShortSide); break;
        }
    }
    if (f.Copies && *f.Copies > 0) printer.setCopyCount(*f.Copies);
    if (f.Collate) printer.setCollateCopies(*f.Collate);
    if (f.Resolution && *f.Resolution > 0) printer.setResolution(*f.Resolution);
    if (f.Color) printer.setColorMode(*f.Color ? QPrinter::Color : QPrinter::GrayScale);
    if (f.Source && !f.Source->empty() && printer.outputFormat() == QPrinter::NativeFormat)
        SetCupsOption(printer, "media-source", QString::fromStdString(*f.Source));
}

TPrinterPageMetrics QtPageMetrics(QPrinter& printer)
{
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    TPrinterPageMetrics m;
    m.Resolution = printer.resolution();
    m.SheetWidth = qRound(paper.width());
    m.SheetHeight = qRound(paper.height());
    m.PrintableLeft = qRound(page.left() - paper.left());
    m.PrintableTop = qRound(page.top() - paper.top());
    m.PrintableWidth = qRound(page.width());
    m.PrintableHeight = qRound(page.height());
    return m;
}

// --- The system printer --------------------------------------------------------

// The layout a document began with: the job's own settings (its paper and orientation in the
// queue) are those of its first page.
struct TQtPrinter::TJob {
    QPageLayout first;
};

TQtPrinter::TQtPrinter() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    if (!PrinterCatalogInstalled()) InstallSystemPrinterCatalog();
    Select(PrinterCatalog().DefaultName());
}

TQtPrinter::TQtPrinter(const std::string& pdfFileName)
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)), pdfFile_(pdfFileName)
{
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(QFile::decodeName(QByteArray::fromStdString(pdfFileName)));
    printer_->setPageSize(QPageSize(QPageSize::Letter));
    printer_->setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
}

TQtPrinter::~TQtPrinter()
{
    if (Printing()) {
        try {
            Abort();
        } catch (...) {
        }
    }
}

std::vector<std::string> TQtPrinter::Printers() const
{
    if (!pdfFile_.empty()) return {"PDF file"};
    return PrinterCatalog().Names();
}

int TQtPrinter::PrinterIndex() const
{
    if (!pdfFile_.empty()) return 0;
    const auto names = Printers();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name_) return static_cast<int>(i);
    return -1;
}

void TQtPrinter::SetPrinterIndex(int index)
{
    if (Printing()) throw EPrinter("Printing in progress");
    if (!pdfFile_.empty()) return;
    const auto names = Printers();
    if (index < 0) {
        Select(PrinterCatalog().DefaultName());
        return;
    }
    if (index >= static_cast<int>(names.size())) throw EPrinter("Printer selected is not valid");
    Select(names[static_cast<size_t>(index)]);
}

void TQtPrinter::Select(const std::string& name)
{
    // The choice is the catalog's name, kept even where Qt knows the queue by no such name.
    name_ = name;
    if (!name.empty()) printer_->setPrinterName(QString::fromStdString(name));
}

QPagedPaintDevice& TQtPrinter::Device() { return *printer_; }

void TQtPrinter::ApplyOrientation(TPrinterOrientation o)
{
    printer_->setPageOrientation(o == TPrinterOrientation::poLandscape ? QPageLayout::Landscape
                                                                        : QPageLayout::Portrait);
}

void TQtPrinter::ApplyPageFormat(const TPrinterPageFormat& format, bool inDocument)
{
    // A source may be given by the name the catalog shows; the queue wants its keyword.
    TPrinterPageFormat f = format;
    if (f.Source && pdfFile_.empty())
        if (const TPrinterCapabilities* caps = PrinterCatalog().Capabilities(name_))
            for (const TPrinterBin& b : caps->Bins)
                if (b.Name == *f.Source) f.Source = b.Keyword;
    ApplyQtPageFormat(*printer_, f, inDocument);
}

void TQtPrinter::TakeDialogSettings()
{
    if (Printing()) return;
    TPrinterPageFormat f;
    f.Orientation = printer_->pageLayout().orientation() == QPageLayout::Landscape ? TPrinterOrientation::poLandscape
                                                                                   : TPrinterOrientation::poPortrait;
    TPrinterPaper paper = QtPaper(printer_->pageLayout().pageSize(), 0);
    // The printer's own number for a paper it lists.
    if (const TPrinterCapabilities* caps = pdfFile_.empty() ? PrinterCatalog().Capabilities(name_) : nullptr)
        for (const TPrinterPaper& p : caps->Papers)
            if (p.Number != PrinterCustomPaper && std::abs(p.Width - paper.Width) <= 10 && std::abs(p.Length - paper.Length) <= 10) {
                paper = p;
                break;
            }
    f.Paper = paper;
    switch (printer_->duplex()) {
    case QPrinter::DuplexLongSide: f.Duplex = TPrinterDuplex::pdLongEdge; break;
    case QPrinter::DuplexShortSide: f.Duplex = TPrinterDuplex::pdShortEdge; break;
    default: f.Duplex = TPrinterDuplex::pdSimplex; break;
    }
    f.Copies = printer_->copyCount();
    f.Collate = printer_->collateCopies();
    NoteDeviceFormat(f);
}

void TQtPrinter::FinishDevice()
{
    // Qt gives the queue the layout in force when the document ends; the job's settings are
    // those it began with, whatever the later pages changed.
    if (job_) printer_->setPageLayout(job_->first);
}

namespace {
// Qt's printer as a job leaves it: its layout and the settings of the whole job.
struct TQtSavedDevice : TPrinter::TSavedDevice {
    QPageLayout layout;
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
    int copies = 1;
    bool collate = true;
    int resolution = 0;
    QPrinter::ColorMode color = QPrinter::Color;
    QVariant cupsOptions;
};
}  // namespace

std::shared_ptr<const TPrinter::TSavedDevice> TQtPrinter::SaveDevice()
{
    auto saved = std::make_shared<TQtSavedDevice>();
    saved->layout = printer_->pageLayout();
    saved->duplex = printer_->duplex();
    saved->copies = printer_->copyCount();
    saved->collate = printer_->collateCopies();
    saved->resolution = printer_->resolution();
    saved->color = printer_->colorMode();
    if (QPrintEngine* engine = printer_->printEngine()) saved->cupsOptions = engine->property(CupsOptionsKey);
    return saved;
}

void TQtPrinter::RestoreDevice(const TSavedDevice* saved)
{
    const auto* qt = dynamic_cast<const TQtSavedDevice*>(saved);
    if (!qt) return TPrinter::RestoreDevice(saved);
    printer_->setPageLayout(qt->layout);
    printer_->setDuplex(qt->duplex);
    printer_->setCopyCount(qt->copies);
    printer_->setCollateCopies(qt->collate);
    if (qt->resolution > 0) printer_->setResolution(qt->resolution);
    printer_->setColorMode(qt->color);
    if (QPrintEngine* engine = printer_->printEngine()) engine->setProperty(CupsOptionsKey, qt->cupsOptions);
}

void TQtPrinter::Prepare()
{
    printer_->setDocName(QString::fromStdString(Title));
    job_ = std::make_unique<TJob>();
    job_->first = printer_->pageLayout();
    if (!pdfFile_.empty()) DeleteFile(pdfFile_);
}

void TQtPrinter::AbortDevice()
{
    if (pdfFile_.empty()) printer_->abort();
}

void TQtPrinter::Deliver()
{
    if (!pdfFile_.empty()) {
        const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(pdfFile_)));
        if (!info.exists() || info.size() == 0) {
            DeleteFile(pdfFile_);
            throw EWriteError("Unable to write the file " + pdfFile_);
        }
        return;
    }
    if (printer_->printerState() == QPrinter::Error)
        throw EPrinter("Printing on " + PrinterName() + " failed");
}

void TQtPrinter::Discard()
{
    if (!pdfFile_.empty()) DeleteFile(pdfFile_);
}

void InstallSystemPrinterCatalog()
{
    InstallPrinterCatalogFactory([] { return std::make_shared<TQtPrinterCatalog>(); });
}

void InstallSystemPrinter()
{
    if (!PrinterCatalogInstalled()) InstallSystemPrinterCatalog();
    InstallPrinterFactory([] { return std::make_unique<TQtPrinter>(); });
}

bool ExecutePrintDialog(TPrintDialog& dialog, TPrinter& printer)
{
    auto* qt = dynamic_cast<TQtPrinter*>(&printer);
    QPrinter* saved = dialog.Printer;
    dialog.Printer = qt ? &qt->QtPrinter() : nullptr;
    bool ok = false;
    try {
        ok = dialog.Execute();
    } catch (...) {
        dialog.Printer = saved;
        throw;
    }
    dialog.Printer = saved;
    if (ok && !dialog.PrinterName.empty() && printer.PrinterName() != dialog.PrinterName) {
        const auto names = printer.Printers();
        const auto it = std::find(names.begin(), names.end(), dialog.PrinterName);
        if (it != names.end()) printer.SetPrinterIndex(static_cast<int>(it - names.begin()));
    }
    if (ok && qt) qt->TakeDialogSettings();
    return ok;
}
