// The system printer over Qt's printer, and the print dialog that sets it up. Its printers
// are those of the printer catalog (PrinterCatalog()).
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
    // Takes what the print dialog set on Qt's printer (paper, orientation, duplex, copies,
    // collation) as the printer's page format.
    void TakeDialogSettings();

    std::vector<std::string> Printers() const override;
    int PrinterIndex() const override;
    void SetPrinterIndex(int index) override;

protected:
    QPagedPaintDevice& Device() override;
    void ApplyOrientation(TPrinterOrientation o) override;
    void ApplyPageFormat(const TPrinterPageFormat& format, bool inDocument) override;
    void FinishDevice() override;
    std::shared_ptr<const TSavedDevice> SaveDevice() override;
    void RestoreDevice(const TSavedDevice* saved) override;
    void Prepare() override;
    void AbortDevice() override;
    void Deliver() override;
    void Discard() override;

private:
    void Select(const std::string& name);

    std::unique_ptr<QPrinter> printer_;
    std::string name_;
    std::string pdfFile_;
    struct TJob;
    std::unique_ptr<TJob> job_;
};

// Installs the system printer as the program's printer and the system's printers as the
// printer catalog (unless one is installed); each is made (and the print system loaded) when
// first used.
void InstallSystemPrinter();
// Installs the system's printers as the printer catalog, made when first used.
void InstallSystemPrinterCatalog();

// Runs the print dialog for a printer: a Qt printer is set up by the dialog itself (printer,
// copies, range) and keeps its settings as its page format; others only get the answer. A
// printer chosen there that the printer's list holds becomes the printer's own choice.
bool ExecutePrintDialog(TPrintDialog& dialog, TPrinter& printer);
