#include "platform/printing/QtPrinters.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

TQtPrinter::TQtPrinter() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

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
    std::vector<std::string> names;
    for (const QString& n : QPrinterInfo::availablePrinterNames()) names.push_back(n.toStdString());
    return names;
}

int TQtPrinter::PrinterIndex() const
{
    if (!pdfFile_.empty()) return 0;
    const auto names = Printers();
    const std::string current = printer_->printerName().toStdString();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == current) return static_cast<int>(i);
    return -1;
}

void TQtPrinter::SetPrinterIndex(int index)
{
    if (Printing()) throw EPrinter("Printing in progress");
    if (!pdfFile_.empty()) return;
    const auto names = Printers();
    if (index < 0) {
        printer_->setPrinterName(QPrinterInfo::defaultPrinterName());
        return;
    }
    if (index >= static_cast<int>(names.size())) throw EPrinter("Printer selected is not valid");
    printer_->setPrinterName(QString::fromStdString(names[static_cast<size_t>(index)]));
}

QPagedPaintDevice& TQtPrinter::Device() { return *printer_; }

void TQtPrinter::ApplyOrientation(TPrinterOrientation o)
{
    printer_->setPageOrientation(o == TPrinterOrientation::poLandscape ? QPageLayout::Landscape
                                                                        : QPageLayout::Portrait);
}

void TQtPrinter::Prepare()
{
    printer_->setDocName(QString::fromStdString(Title));
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

void InstallSystemPrinter()
{
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
    return ok;
}
