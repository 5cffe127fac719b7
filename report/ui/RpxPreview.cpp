#include "report/ui/RpxPreview.h"

#include "report/output/qt/RpxPainterDevice.h"

#include "platform/runtime/SysUtils.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kZooms[] = {200, 150, 100, 75, 50, 25, 10};

int Round(double v) { return static_cast<int>(std::lround(v)); }

// A paper size the arithmetic can divide by.
double Inches(double v) { return std::isfinite(v) && v > 0.01 ? v : 0.01; }

}  // namespace

// --- TRpxPageBox -----------------------------------------------------------------------------

TRpxPageBox::TRpxPageBox(TRpxPreview& preview) : QWidget(&preview), preview_(preview)
{
    setObjectName("PageBox");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TRpxPageBox::paintEvent(QPaintEvent* event) { preview_.PaintPage(*this, event->rect()); }

// --- TRpxPreview -----------------------------------------------------------------------------

TRpxPreview::TRpxPreview(QWidget* parent)
    : QScrollArea(parent), printerSetup_(std::make_unique<TRpxPrinterSetup>()), pageBox_(new TRpxPageBox(*this))
{
    setWidget(pageBox_);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackgroundRole(QPalette::Button);  // the face colour around the page
    horizontalScrollBar()->setSingleStep(24);
    verticalScrollBar()->setSingleStep(24);
    pageBox_->resize(0, 0);
    pageBox_->installEventFilter(this);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { emit HorzScrolled(this); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { emit VertScrolled(this); });
}

TRpxPreview::~TRpxPreview() = default;

int TRpxPreview::ScreenPixelsPerInch()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int ppi = screen ? Round(screen->logicalDotsPerInchX()) : 96;
    return ppi > 0 ? ppi : 96;
}

void TRpxPreview::SetPrinterSetup(const TRpxPrinterSetup& setup) { printerSetup_->Assign(setup); }

std::string TRpxPreview::GetTitle() const { return filer_.Document ? filer_.Document->Title : std::string(); }

void TRpxPreview::ShowDocument(std::shared_ptr<TRpxRpxFile> document)
{
    if (!document) return;
    currentPage_ = 1;
    filer_.SetDocument(std::move(document));
    LoadPageSetup();
    SizePageBox();
}

void TRpxPreview::OpenFile(const std::string& fileName)
{
    const auto before = filer_.Document;
    try {
        filer_.LoadFromFile(fileName);
    } catch (...) {
        SizePageBox();
        pageBox_->update();
        throw;
    }
    if (!filer_.Document || filer_.Document == before)
        throw ERpxNotReport(fileName + " is not a report file.");
    currentPage_ = -1;
    GoToPage(1);
    if (currentPage_ != 1) {  // an empty report
        currentPage_ = 1;
        SizePageBox();
    }
}

void TRpxPreview::SaveFile(const std::string& fileName) { filer_.SaveToFile(fileName); }

void TRpxPreview::CloseDocument()
{
    filer_.SetDocument(nullptr);
    SizePageBox();
    pageBox_->update();
}

void TRpxPreview::GoToPage(int n)
{
    if (n == currentPage_ || !filer_.Document || n < 1 || n > PageCount()) return;
    currentPage_ = n;
    LoadPageSetup();
    SizePageBox();
}

// The page being recorded counts too: a report being generated shows "Page: 1/1" on its first page.
int TRpxPreview::PageCount() const { return filer_.Document ? filer_.Document->PageCount() : 0; }

void TRpxPreview::SetZoom(int percent)
{
    percent = std::max(percent, 1);
    if (percent == zoom_) return;
    zoom_ = percent;
    if (filer_.Document) filer_.Document->ZoomX = filer_.Document->ZoomY = zoom_;
    SizePageBox();
}

void TRpxPreview::SetZoomIndex(int index)
{
    if (index < 0 || index > 9) return;
    zoomIndex_ = index;
    if (index < 7) SetZoom(kZooms[index]);
    else FitZoom();
}

void TRpxPreview::FitZoom()
{
    const double ppi = ScreenPixelsPerInch();
    const double w = Inches(printerSetup_->PaperWidth), h = Inches(printerSetup_->PaperLength);
    const QSize area = viewport()->size();
    int index = zoomIndex_;
    if (index == 9) index = double(area.height()) / std::max(area.width(), 1) > h / w ? 7 : 8;
    const double fit = index == 7 ? area.width() * 100.0 / (w * ppi) : area.height() * 100.0 / (h * ppi);
    SetZoom(Round(fit) - 2);
}

void TRpxPreview::LoadPageSetup()
{
    if (filer_.Document && filer_.Document->ReadPageSetup(*printerSetup_, currentPage_))
        printerSetup_->ApplyToPrinter();
}

void TRpxPreview::SizePageBox()
{
    if (printingNow_) return;
    QSize size(0, 0);
    if (filer_.Document) {
        const double ppi = ScreenPixelsPerInch();
        size = QSize(Round(ppi * Inches(printerSetup_->PaperWidth) * zoom_ / 100.0),
                     Round(ppi * Inches(printerSetup_->PaperLength) * zoom_ / 100.0));
    }
    if (size != pageBox_->size()) pageBox_->resize(size);
    pageBox_->update();
}

void TRpxPreview::PaintPage(QWidget& box, const QRect& area)
{
    QPainter painter(&box);
    painter.fillRect(area, Qt::white);
    if (painting_ || printingNow_ || !filer_.Document) return;
    painting_ = true;
    try {
        auto& doc = *filer_.Document;
        doc.ZoomX = doc.ZoomY = zoom_;
        painter.setClipRect(area);
        TRpxDeviceInfo info;
        info.LogPixelsX = info.LogPixelsY = ScreenPixelsPerInch();
        info.PhysicalWidth = info.HorzRes = box.width();
        info.PhysicalHeight = info.VertRes = box.height();
        TRpxPainterDevice device(&painter, info);
        TRpxDeviceContext target;
        target.SetTargetDC(&device);
        if (PageCount() > 0) filer_.SendPage(target, currentPage_);
    } catch (...) {
        // A page that cannot be played shows as far as it got; painting never throws.
    }
    painting_ = false;
}

void TRpxPreview::PrintPages(int first, int last)
{
    if (printingNow_) throw EInvalidOperation("Printing in progress.");
    printingNow_ = true;
    const auto document = filer_.Document;  // kept alive for the whole print
    struct TDone {
        TRpxPreview& p;
        TRpxRpxFile* document;
        ~TDone()
        {
            if (document) document->UserSetup = false;
            p.printingNow_ = false;
            p.printer_ = nullptr;
            p.PrintProgress = nullptr;
            p.pageBox_->update();
        }
    } done{*this, document.get()};
    if (!document) return;
    if (!RpxPrintDeviceFactory) throw EInvalidOperation("There is no printer to print the report on");
    auto device = RpxPrintDeviceFactory();
    if (!device) throw EInvalidOperation("There is no printer to print the report on");
    TRpxPrinter printer(*device);
    // The printer reads the choice from the document it prints.
    printer.UserSetup = document->UserSetup = UserSetup;
    document->PrinterSetup->Assign(*printerSetup_);
    if (last <= 0) last = PageCount();
    if (first <= 0) first = 1;
    printer.OnProgress = PrintProgress;
    printer.ProcessMessages = [] { QCoreApplication::processEvents(); };
    printer_ = &printer;
    filer_.SendRange(printer, first, last);
}

void TRpxPreview::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (zoomIndex_ >= 7) FitZoom();
}

void TRpxPreview::mousePressEvent(QMouseEvent* event)
{
    emit Clicked(this);
    QScrollArea::mousePressEvent(event);
}

bool TRpxPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pageBox_ && event->type() == QEvent::MouseButtonPress) emit Clicked(this);
    return QScrollArea::eventFilter(watched, event);
}

// --- TRpxMeter -------------------------------------------------------------------------------

TRpxMeter::TRpxMeter(QWidget* parent) : QWidget(parent) {}

void TRpxMeter::SetMeterColor(const QColor& c) { Store(meterColor_, c); }
void TRpxMeter::SetBackGroundColor(const QColor& c) { Store(backColor_, c); }
void TRpxMeter::SetBorderStyle(TBorderStyle s) { Store(borderStyle_, s); }
void TRpxMeter::SetStyle(int s) { Store(style_, s); }
void TRpxMeter::SetMin(int v) { Store(min_, v); }
void TRpxMeter::SetMax(int v) { Store(max_, v); }
void TRpxMeter::SetProgress(int v) { Store(progress_, v); }
void TRpxMeter::SetShowText(bool v) { Store(showText_, v); }

double TRpxMeter::Fraction() const
{
    if (progress_ <= min_ || min_ >= max_) return 0;
    if (progress_ >= max_) return 1;
    return double(progress_ - min_) / (max_ - min_);
}

QString TRpxMeter::Text() const { return QString::number(Fraction() * 100, 'f', 1) + "%"; }

void TRpxMeter::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (borderStyle_ == bsSingle) {
        p.setPen(Qt::black);
        p.setBrush(backColor_);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    } else {
        p.fillRect(rect(), backColor_);
    }
    if (style_ == 0 && progress_ > min_) {
        const int right = Round(width() * Fraction()) - 1;
        if (right > 1) p.fillRect(QRect(QPoint(1, 1), QPoint(right - 1, height() - 2)), meterColor_);
    }
    if (showText_) {
        p.setPen(Qt::black);
        p.drawText(rect(), Qt::AlignCenter, Text());
    }
}
