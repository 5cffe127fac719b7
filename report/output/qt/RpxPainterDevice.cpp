#include "RpxPainterDevice.h"

#include "platform/graphics/Graphics.h"

#include "report/output/RpxOutput.h"

#include <QFontMetrics>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

QColor Colour(TRpxColor c) { return ToQColor(ColorToRGB(c)); }

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QRect ToQRect(const TRpxRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

// Coordinates far enough inside the int range that a rectangle's sides, ends and sizes all fit
// (a quarter of the range in either direction: billions of pixels, no page reaches it).
constexpr int kDrawableLimit = 1 << 29;
bool Drawable(TRpxPoint p) { return std::llabs(p.X) <= kDrawableLimit && std::llabs(p.Y) <= kDrawableLimit; }
bool Drawable(const TRpxRect& r) { return Drawable(TRpxPoint{r.Left, r.Top}) && Drawable(TRpxPoint{r.Right, r.Bottom}); }

// Qt's angle (sixteenths of a degree, counter-clockwise from three o'clock) of a radial.
int RadialAngle(const QRectF& box, TRpxPoint p)
{
    const double a = std::atan2(-(p.Y - box.center().y()) * box.width() / std::max(1.0, box.height()),
                                p.X - box.center().x());
    return static_cast<int>(std::lround(a * 180.0 / M_PI * 16));
}

} // namespace

TRpxPainterDevice::TRpxPainterDevice(QPainter* painter, const TRpxDeviceInfo& info) : painter_(painter), info_(info)
{
}

QFont TRpxPainterDevice::ToQFont(const TRpxLogFont& f)
{
    QFont q(QString::fromStdString(MapFontName(f.FaceName)));
    q.setPixelSize(std::max(1, std::abs(f.Height)));
    q.setWeight(f.Weight >= 600 ? QFont::Bold : QFont::Normal);
    q.setItalic(f.Italic);
    q.setUnderline(f.Underline);
    q.setStrikeOut(f.StrikeOut);
    // Text of the size a page shows at its own size or larger keeps hard pixels, as printed;
    // text a few pixels high (a whole page on the screen) is drawn with grey edges and
    // unhinted, so its letters keep their shape and place instead of running together.
    if (std::abs(f.Height) < kSmoothTextPixels) {
        q.setStyleStrategy(QFont::PreferAntialias);
        q.setHintingPreference(QFont::PreferNoHinting);
    } else {
        q.setStyleStrategy(QFont::NoAntialias);
    }
    return q;
}

namespace {

// The fields of a device font that make Qt's font (see ToQFont).
bool SameQtFont(const TRpxLogFont& a, const TRpxLogFont& b)
{
    return a.Height == b.Height && a.Weight == b.Weight && a.Italic == b.Italic && a.Underline == b.Underline &&
           a.StrikeOut == b.StrikeOut && a.FaceName == b.FaceName;
}

} // namespace

const TRpxPainterDevice::TQtFont& TRpxPainterDevice::CurrentQtFont()
{
    if (!qtFont_ || !SameQtFont(qtFont_->Of, Font())) {
        const QFont f = ToQFont(Font());
        qtFont_.emplace(TQtFont{Font(), f, QFontMetrics(f)});
    }
    return *qtFont_;
}

TRpxSize TRpxPainterDevice::TextExtent(std::string_view text)
{
    const QFontMetrics& m = CurrentQtFont().Metrics;
    return {m.horizontalAdvance(Text(text)), m.height()};
}

int TRpxPainterDevice::TextHeight() { return CurrentQtFont().Metrics.height(); }
int TRpxPainterDevice::TextAscent() { return CurrentQtFont().Metrics.ascent(); }

QPen TRpxPainterDevice::CurrentPen() const
{
    const TRpxLogPen& p = Pen();
    if (p.Style == rpsClear) return Qt::NoPen;
    QPen q(Colour(p.Color));
    q.setWidth(std::max(1, p.Width));
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                          Qt::DashDotDotLine, Qt::NoPen, Qt::SolidLine};
    q.setStyle(p.Style < 7 ? styles[p.Style] : Qt::SolidLine);
    q.setCapStyle(Qt::FlatCap);
    return q;
}

QBrush TRpxPainterDevice::CurrentBrush() const
{
    const TRpxLogBrush& b = Brush();
    static const Qt::BrushStyle styles[] = {Qt::SolidPattern, Qt::NoBrush, Qt::HorPattern, Qt::VerPattern,
                                            Qt::FDiagPattern, Qt::BDiagPattern, Qt::CrossPattern,
                                            Qt::DiagCrossPattern};
    return QBrush(Colour(b.Color), b.Style < 8 ? styles[b.Style] : Qt::SolidPattern);
}

void TRpxPainterDevice::DoText(int x, int y, std::string_view text, const TRpxRect* fill, const TRpxRect* clip)
{
    QPainter& p = *painter_;
    p.save();
    if (clip) p.setClipRect(ToQRect(*clip));
    if (fill) p.fillRect(ToQRect(*fill), Colour(BkColor()));
    const TQtFont& f = CurrentQtFont();
    p.setFont(f.Font);
    p.setPen(Colour(TextColor()));
    const int ascent = f.Metrics.ascent();
    if (Font().Escapement != 0) {
        p.translate(x, y);
        p.rotate(-Font().Escapement / 10.0);
        p.drawText(0, ascent, Text(text));
    } else {
        p.drawText(x, y + ascent, Text(text));
    }
    p.restore();
}

void TRpxPainterDevice::DoLine(int x1, int y1, int x2, int y2)
{
    if (Pen().Style == rpsClear) return;
    painter_->save();
    painter_->setPen(CurrentPen());
    if (Pen().Mode == rpmXor || Pen().Mode == rpmNot)
        painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter_->drawLine(x1, y1, x2, y2);
    painter_->restore();
}

void TRpxPainterDevice::DoShape(const ShapeArgs& a)
{
    // A damaged document can place a shape near the ends of the int range, where the
    // rectangle's own arithmetic would overflow: such a shape covers no page and is not drawn.
    const bool polygonal = a.Kind == Shape::Polygon || a.Kind == Shape::Polyline;
    if (!polygonal && !Drawable(a.Box)) return;
    if (polygonal && !std::all_of(a.Points.begin(), a.Points.end(), [](TRpxPoint q) { return Drawable(q); })) return;
    const int w = a.Box.Right - a.Box.Left - 1, h = a.Box.Bottom - a.Box.Top - 1;
    QPainter& p = *painter_;
    p.save();
    p.setPen(CurrentPen());
    p.setBrush(a.Kind == Shape::Arc || a.Kind == Shape::Polyline ? QBrush(Qt::NoBrush) : CurrentBrush());
    const QRect box = polygonal ? QRect() : QRect(a.Box.Left, a.Box.Top, w, h);
    switch (a.Kind) {
    case Shape::Rectangle: p.drawRect(box); break;
    case Shape::RoundRect: p.drawRoundedRect(box, a.CornerW / 2.0, a.CornerH / 2.0); break;
    case Shape::Ellipse: p.drawEllipse(box); break;
    case Shape::Arc:
    case Shape::Chord:
    case Shape::Pie: {
        const int start = RadialAngle(box, a.Start);
        int span = RadialAngle(box, a.End) - start;
        if (span <= 0) span += 360 * 16;
        if (a.Kind == Shape::Arc) p.drawArc(box, start, span);
        else if (a.Kind == Shape::Chord) p.drawChord(box, start, span);
        else p.drawPie(box, start, span);
        break;
    }
    case Shape::Polygon:
    case Shape::Polyline: {
        QPolygon poly;
        for (const auto& pt : a.Points) poly << QPoint(pt.X, pt.Y);
        if (a.Kind == Shape::Polygon) p.drawPolygon(poly);
        else p.drawPolyline(poly);
        break;
    }
    }
    p.restore();
}

void TRpxPainterDevice::DoFill(const TRpxRect& r, const TRpxLogBrush& b)
{
    if (!Drawable(r)) return;
    const TRpxLogBrush saved = Brush();
    SelectBrush(b);
    painter_->fillRect(ToQRect(r), CurrentBrush());
    SelectBrush(saved);
}

void TRpxPainterDevice::DoPattern(const TRpxRect& r, const uint8_t rows[8])
{
    if (!Drawable(r)) return;
    QImage tile(8, 8, QImage::Format_RGB32);
    const QRgb set = Colour(BkColor()).rgb(), clear = Colour(TextColor()).rgb();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) tile.setPixel(x, y, (rows[y] >> (7 - x)) & 1 ? set : clear);
    painter_->save();
    painter_->setBrushOrigin(0, 0);
    painter_->fillRect(ToQRect(r), QBrush(tile));
    painter_->restore();
}

void TRpxPainterDevice::DoImage(const TRpxRect& dest, const TRpxImage& image)
{
    if (!Drawable(dest)) return;
    const QImage q(reinterpret_cast<const uchar*>(image.Pixels.data()), image.Width, image.Height,
                   image.Width * 4, QImage::Format_ARGB32);
    painter_->drawImage(ToQRect(dest), q);
}

TRpxImageDevice::TRpxImageDevice(int width, int height, int ppiX, int ppiY)
    : TRpxPainterDevice(nullptr, {}), image_(std::max(1, width), std::max(1, height), QImage::Format_RGB32)
{
    image_.fill(Qt::white);
    image_.setDotsPerMeterX(static_cast<int>(std::lround(ppiX / 0.0254)));
    image_.setDotsPerMeterY(static_cast<int>(std::lround(ppiY / 0.0254)));
    painter_ = std::make_unique<QPainter>(&image_);
    SetPainter(painter_.get());
    TRpxDeviceInfo info;
    info.LogPixelsX = ppiX;
    info.LogPixelsY = ppiY;
    info.PhysicalWidth = info.HorzRes = width;
    info.PhysicalHeight = info.VertRes = height;
    info.Technology = DT_RASDISPLAY;
    SetInfo(info);
}

TRpxImageDevice::~TRpxImageDevice() = default;

const QImage& TRpxImageDevice::Image()
{
    if (painter_ && painter_->isActive()) painter_->end();
    return image_;
}

void InstallRpxQtMeasuring()
{
    RpxMeasuringDeviceFactory = [] { return std::make_unique<TRpxImageDevice>(1, 1); };
}
