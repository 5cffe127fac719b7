// The report's page preview and progress meter (report/ui): a scrolling control that plays
// one page of a report document at a zoom, and the bar the viewer and status windows show
// progress in.
#pragma once

#include "report/output/RpxFile.h"
#include "report/output/RpxPrint.h"

#include <QColor>
#include <QScrollArea>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class TRpxPreview;

// The page box: as large as the page at the preview's zoom; the scroll area scrolls over it.
class TRpxPageBox : public QWidget {
    Q_OBJECT
public:
    explicit TRpxPageBox(TRpxPreview& preview);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TRpxPreview& preview_;
};

class TRpxPreview : public QScrollArea {
    Q_OBJECT
public:
    explicit TRpxPreview(QWidget* parent = nullptr);
    ~TRpxPreview() override;

    // The screen's pixels per inch that page sizes are computed at.
    static int ScreenPixelsPerInch();

    void SetPrinterSetup(const TRpxPrinterSetup& setup);
    TRpxPrinterSetup& GetPrinterSetup() { return *printerSetup_; }
    std::string GetTitle() const;

    // Shows document from its first page (nothing for none).
    void ShowDocument(std::shared_ptr<TRpxRpxFile> document);
    // Opens a ".rpx" file. A file that is not a report raises ERpxNotReport and changes
    // nothing; a damaged one raises EReadError and leaves the preview empty.
    void OpenFile(const std::string& fileName);
    void SaveFile(const std::string& fileName);
    // Lets go of the document (it lives on while another preview shows it).
    void CloseDocument();

    // Numbers outside 1..the page count, and the page shown, are ignored.
    virtual void GoToPage(int n);
    void NextPage() { GoToPage(currentPage_ + 1); }
    void PriorPage() { GoToPage(currentPage_ - 1); }
    void FirstPage() { GoToPage(1); }
    void LastPage() { GoToPage(PageCount()); }
    int PageCount() const;
    int CurrentPage() const { return currentPage_; }

    // Percent, at least 1.
    void SetZoom(int percent);
    int Zoom() const { return zoom_; }
    // 0-6: 200 % to 10 %; 7 page width, 8 page height, 9 whole page.
    void SetZoomIndex(int index);
    int ZoomIndex() const { return zoomIndex_; }

    // Prints pages first..last (0 or less: from the first, to the last) on the printer the
    // report's print-device factory gives. EInvalidOperation "Printing in progress." while
    // a print runs.
    void PrintPages(int first, int last);
    bool PrintingNow() const { return printingNow_; }
    // The printer of the print in progress (none otherwise).
    TRpxPrinter* Printer() const { return printer_; }

    const std::shared_ptr<TRpxRpxFile>& Document() const { return filer_.Document; }
    TRpxPageBox* PageBox() const { return pageBox_; }

    bool UserSetup = false;
    // Called after every printed page; forgotten after the print.
    std::function<void(TRpxPrinter&)> PrintProgress;

signals:
    void Clicked(TRpxPreview* sender);
    void HorzScrolled(TRpxPreview* sender);
    void VertScrolled(TRpxPreview* sender);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TRpxPageBox;
    void PaintPage(QWidget& box, const QRect& area);
    void LoadPageSetup();
    void SizePageBox();
    void FitZoom();

    std::unique_ptr<TRpxPrinterSetup> printerSetup_;
    TRpxFiler filer_;
    TRpxPageBox* pageBox_;
    int currentPage_ = 1;
    int zoom_ = 100;
    int zoomIndex_ = 2;
    bool printingNow_ = false;
    TRpxPrinter* printer_ = nullptr;
    bool painting_ = false;
};

// A progress bar with its percentage.
class TRpxMeter : public QWidget {
    Q_OBJECT
public:
    explicit TRpxMeter(QWidget* parent = nullptr);

    enum TBorderStyle { bsNone, bsSingle };

    QColor MeterColor() const { return meterColor_; }
    void SetMeterColor(const QColor& c);
    QColor BackGroundColor() const { return backColor_; }
    void SetBackGroundColor(const QColor& c);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);
    int Style() const { return style_; }
    void SetStyle(int s);
    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    int Progress() const { return progress_; }
    void SetProgress(int v);
    bool ShowText() const { return showText_; }
    void SetShowText(bool v);

    // The fraction of the bar filled, 0..1.
    double Fraction() const;
    // The text shown, e.g. "42.0%".
    QString Text() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    template <class T>
    void Store(T& field, const T& v)
    {
        if (field == v) return;
        field = v;
        update();
    }

    QColor meterColor_ = QColor(255, 0, 0);
    QColor backColor_ = Qt::white;
    TBorderStyle borderStyle_ = bsSingle;
    int style_ = 0;
    int min_ = 0, max_ = 100, progress_ = 0;
    bool showText_ = true;
};

// Raised when a file opened in a preview is not a report file.
class ERpxNotReport : public Exception {
public:
    using Exception::Exception;
};
