// The printer: one document at a time, drawn through a canvas whose coordinates are the
// device pixels of the page's printable area. Orientation is chosen before the document; a
// page format (PrinterCatalog.h) may change paper and orientation between its pages.
//
// A document runs BeginDoc, drawing (NewPage between pages), EndDoc. Abort ends a document
// without delivering it; a failure while a document is open must abort it, which
// TPrintJob does on every path. The process-wide printer is whatever the program (or a
// test) installed: the system printer over Qt's printer (QtPrinters.h) or a PDF file.
#pragma once

#include "platform/graphics/Graphics.h"
#include "platform/printing/PrinterCatalog.h"
#include "platform/runtime/SysUtils.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPagedPaintDevice;

MW_DECLARE_EXCEPTION(EPrinter, Exception);

class TPrinter {
public:
    TPrinter();
    virtual ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    TPrinterOrientation Orientation() const { return orientation_; }
    // EPrinter "Printing in progress" while a document is open.
    void SetOrientation(TPrinterOrientation o);

    // The settings given so far, merged: paper, orientation, duplex, copies, collation,
    // resolution, colour, source. Between documents they hold for the next one; while a
    // document is open the paper and orientation take effect from its next page, and the
    // settings of the whole job stay as the document began.
    void SetPageFormat(const TPrinterPageFormat& format);
    const TPrinterPageFormat& PageFormat() const { return format_; }

    // The printer's settings as they stand, its device's own included: a document that brings
    // a format of its own (a report) puts the printer back afterwards, so that the next
    // document (an exhibit) is not printed on the report's paper or sides.
    class TSavedDevice {
    public:
        virtual ~TSavedDevice() = default;
    };
    struct TSavedFormat {
        TPrinterPageFormat format;
        TPrinterOrientation orientation = TPrinterOrientation::poPortrait;
        std::shared_ptr<const TSavedDevice> device;
    };
    TSavedFormat SaveFormat();
    // EPrinter "Printing in progress" while a document is open.
    void RestoreFormat(const TSavedFormat& saved);

    // The printable area of a page in device pixels, for the current orientation.
    int PageWidth();
    int PageHeight();
    // Device pixels per inch.
    int Resolution();
    // The whole sheet and its printable area, in device pixels from the sheet's corner.
    QRect SheetRect();
    QRect PrintableRect();
    // The painter of the open document (null when none is open), for engines that draw
    // through a device layer of their own; its origin is the printable area's corner.
    QPainter* DocumentPainter();

    // The canvas of the open document (EPrinter "Printer is not currently printing" when none
    // is open). Its font measures points at the printer's resolution.
    TCanvas& Canvas();

    // EPrinter "Printing in progress" when a document is already open; EPrinter when the
    // device cannot start one (the printer or the file is not available).
    void BeginDoc();
    // Ends the document and delivers it; a delivery failure raises (after the document has
    // been closed).
    void EndDoc();
    // Ends the document without delivering it; nothing when none is open.
    void Abort();
    void NewPage();

    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    // Pages begun in the current (or last) document.
    int PageNumber() const { return pageNumber_; }

    // The document's name in the print queue.
    std::string Title;

    // The printers known (names); the index selects one (-1: the default).
    virtual std::vector<std::string> Printers() const = 0;
    virtual int PrinterIndex() const = 0;
    virtual void SetPrinterIndex(int index) = 0;
    std::string PrinterName() const;

protected:
    // The device drawn on; it takes the orientation before BeginDoc.
    virtual QPagedPaintDevice& Device() = 0;
    virtual void ApplyOrientation(TPrinterOrientation o) = 0;
    // Gives the device the format; inDocument: a document is open (only its paper and
    // orientation may change). A device without more than an orientation takes that.
    virtual void ApplyPageFormat(const TPrinterPageFormat& format, bool inDocument);
    // Called at EndDoc while the painter is still open, after the last page.
    virtual void FinishDevice() {}
    // The device's own settings for SaveFormat, and putting them back; a device that keeps
    // nothing but the orientation needs neither.
    virtual std::shared_ptr<const TSavedDevice> SaveDevice() { return nullptr; }
    virtual void RestoreDevice(const TSavedDevice* saved);
    // Records settings the device took by itself (a dialog set it up), without applying them.
    void NoteDeviceFormat(const TPrinterPageFormat& format);
    // Called after the painter was closed: deliver (EndDoc) or discard (Abort) the output.
    virtual void Deliver() {}
    virtual void Discard() {}
    // Called before the painter opens on the device.
    virtual void Prepare() {}
    // Called on Abort while the painter is still open.
    virtual void AbortDevice() {}

private:
    void Close();

    TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
    TPrinterPageFormat format_;
    bool printing_ = false;
    bool aborted_ = false;
    int pageNumber_ = 0;
    struct TDoc;
    std::unique_ptr<TDoc> doc_;
};

// Prints into a PDF file: US Letter with quarter-inch margins (a printable area of 8 x 10.5
// inches) at `dpi`, or the paper of the page format. The document is assembled in memory and
// written at EndDoc in one piece: a file that cannot be written raises EFCreateError or
// EWriteError, and Abort leaves no file.
class TPdfPrinter : public TPrinter {
public:
    explicit TPdfPrinter(std::string fileName, int dpi = 300);
    ~TPdfPrinter() override;

    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string f) { fileName_ = std::move(f); }

    std::vector<std::string> Printers() const override { return {"PDF file"}; }
    int PrinterIndex() const override { return 0; }
    void SetPrinterIndex(int) override {}

protected:
    QPagedPaintDevice& Device() override;
    void ApplyOrientation(TPrinterOrientation o) override;
    void ApplyPageFormat(const TPrinterPageFormat& format, bool inDocument) override;
    std::shared_ptr<const TSavedDevice> SaveDevice() override;
    void RestoreDevice(const TSavedDevice* saved) override;
    void Prepare() override;
    void Deliver() override;
    void Discard() override;

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
    std::string fileName_;
};

// The process-wide printer: the one installed last; EPrinter "There is no default printer
// currently selected" when none is.
TPrinter& Printer();
bool PrinterInstalled();
// Installs a printer for the rest of the run (the program's system printer).
void InstallPrinter(std::unique_ptr<TPrinter> printer);
// Installs the maker of that printer instead: it is made when Printer() is first asked for, so
// a program that prints nothing never loads the print system.
void InstallPrinterFactory(std::function<std::unique_ptr<TPrinter>()> make);

// Puts another printer in force while it lives (tests, the PDF path).
class TPrinterScope {
public:
    explicit TPrinterScope(TPrinter& printer);
    ~TPrinterScope();
    TPrinterScope(const TPrinterScope&) = delete;
    TPrinterScope& operator=(const TPrinterScope&) = delete;

private:
    TPrinter* previous_;
};

// One document: BeginDoc now, EndDoc by Finish; leaving the scope without Finish (an
// exception while drawing) aborts the document.
class TPrintJob {
public:
    explicit TPrintJob(TPrinter& printer);
    ~TPrintJob();
    TPrintJob(const TPrintJob&) = delete;
    TPrintJob& operator=(const TPrintJob&) = delete;

    TCanvas& Canvas() { return printer_.Canvas(); }
    void Finish();

private:
    TPrinter& printer_;
    bool done_ = false;
};
