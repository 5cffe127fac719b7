// The system printer over Qt's printer, and the print dialog that sets it up.
#pragma once

#include "platform/printing/Printers.h"
#include "platform/ui/Dialogs.h"

#include <memory>

class QPrinter;

// A system printer, or (with an output file name) Qt's own PDF output of the same printer.
class TQtPrinter : public TPrinter {
public:
    TQtPrinter();
    // Prints into the PDF file `pdfFileName` through Qt's printer.
    explicit TQtPrinter(const std::string& pdfFileName);
    ~TQtPrinter() override;

    QPrinter& QtPrinter() { return *printer_; }

    std::vector<std::string> Printers() const override;
    int PrinterIndex() const override;
    void SetPrinterIndex(int index) override;

protected:
    QPagedPaintDevice& Device() override;
    void ApplyOrientation(TPrinterOrientation o) override;
    void Prepare() override;
    void AbortDevice() override;
    void Deliver() override;
    void Discard() override;

private:
    std::unique_ptr<QPrinter> printer_;
    std::string pdfFile_;
};

// Installs the system printer as the program's printer; it is made (and the print system
// loaded) when first used.
void InstallSystemPrinter();

// Runs the print dialog for a printer: a Qt printer is set up by the dialog itself (printer,
// copies, range); others only get the answer.
bool ExecutePrintDialog(TPrintDialog& dialog, TPrinter& printer);
