// TCanvas: the class library's drawing model over a QPainter.
#include "Graphics.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainterPath>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
// Our strings are UTF-8; bytes that are not valid UTF-8 are taken as Latin-1 (old data files).
QString ToQString(const std::string& s)
{
    QStringDecoder dec(QStringDecoder::Utf8);
    QString out = dec(QByteArrayView(s.data(), static_cast<qsizetype>(s.size())));
    if (dec.hasError()) return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
    return out;
}

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// The outline rectangle of a shape whose right and bottom edges lie outside it.
QRect OutlineRect(int x1, int y1, int x2, int y2)
{
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    return QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
}

void SetUnsmoothed(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
}
} // namespace

TCanvas::TCanvas() = default;

TCanvas::TCanvas(QPaintDevice* device) : device_(device) {}

TCanvas::TCanvas(QPainter& painter) : external_(&painter) {}

std::weak_ptr<const void> TCanvas::Lifetime()
{
    if (!life_) life_ = std::make_shared<char>(0);
    return life_;
}

TCanvas::~TCanvas() { Release(); }

void TCanvas::Release()
{
    if (!own_) return;
    own_->end();
    own_.reset();
    painter_ = nullptr;
    DeviceReleased();
}

QPainter* TCanvas::Painter()
{
    if (painter_) return painter_;
    if (external_) {
        painter_ = external_;
    } else {
        QPaintDevice* dev = AcquireDevice();
        if (!dev || dev->width() <= 0 || dev->height() <= 0) return nullptr;
        own_ = std::make_unique<QPainter>();
        if (!own_->begin(dev)) {
            own_.reset();
            DeviceReleased();
            return nullptr;
        }
        painter_ = own_.get();
    }
    SetUnsmoothed(*painter_);
    if (clipped_) painter_->setClipRect(ToQRect(clip_));
    return painter_;
}

TRect TCanvas::DeviceBounds()
{
    QPaintDevice* dev = painter_ ? painter_->device() : (external_ ? external_->device() : device_);
    return dev ? Rect(0, 0, dev->width(), dev->height()) : TRect{};
}

QImage* TCanvas::ReadableImage()
{
    QPaintDevice* dev = external_ ? external_->device() : device_;
    if (dev && dev->devType() == QInternal::Image) return static_cast<QImage*>(dev);
    return nullptr;
}

void TCanvas::ApplyPen(QPainter& p)
{
    if (Pen.Style == psClear) {
        p.setPen(Qt::NoPen);
        return;
    }
    QPen pen(ToQColor(Pen.Color));
    if (Pen.Width <= 1) {
        pen.setWidth(0);  // one pixel, whatever the transformation
        pen.setCapStyle(Qt::FlatCap);  // a line leaves out its last pixel
        switch (Pen.Style) {
        case psDash: pen.setStyle(Qt::DashLine); break;
        case psDot: pen.setStyle(Qt::DotLine); break;
        case psDashDot: pen.setStyle(Qt::DashDotLine); break;
        case psDashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
        default: pen.setStyle(Qt::SolidLine); break;
        }
    } else {
        // Wide pens are solid with round ends, whatever their style.
        pen.setWidth(Pen.Width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    p.setPen(pen);
}

void TCanvas::ApplyBrush(QPainter& p)
{
    if (Brush.Style == bsClear)
        p.setBrush(Qt::NoBrush);
    else
        p.setBrush(ToQColor(Brush.Color));
}

void TCanvas::ApplyFont(QPainter& p) { p.setFont(Font.ToQFont()); }

void TCanvas::MoveTo(int x, int y) { penPos_ = {x, y}; }

void TCanvas::LineTo(int x, int y)
{
    if (QPainter* p = Painter()) {
        ApplyPen(*p);
        p->drawLine(QPoint(penPos_.X, penPos_.Y), QPoint(x, y));
    }
    penPos_ = {x, y};
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    QPainter* p = Painter();
    if (!p) return;
    ApplyPen(*p);
    ApplyBrush(*p);
    p->drawRect(OutlineRect(x1, y1, x2, y2));
}

void TCanvas::FillRect(const TRect& r)
{
    if (Brush.Style == bsClear) return;
    if (QPainter* p = Painter()) p->fillRect(ToQRect(r), ToQColor(Brush.Color));
}

void TCanvas::FrameRect(const TRect& r)
{
    if (Brush.Style == bsClear || r.Width() <= 0 || r.Height() <= 0) return;
    QPainter* p = Painter();
    if (!p) return;
    const QColor c = ToQColor(Brush.Color);
    p->fillRect(QRect(r.Left, r.Top, r.Width(), 1), c);
    p->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), c);
    p->fillRect(QRect(r.Left, r.Top, 1, r.Height()), c);
    p->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), c);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    QPainter* p = Painter();
    if (!p) return;
    ApplyPen(*p);
    ApplyBrush(*p);
    p->drawEllipse(OutlineRect(x1, y1, x2, y2));
}

void TCanvas::Polyline(std::span<const TPoint> points)
{
    if (points.size() < 2) return;
    QPainter* p = Painter();
    if (!p) return;
    ApplyPen(*p);
    QPolygon poly;
    for (const TPoint& pt : points) poly << QPoint(pt.X, pt.Y);
    p->drawPolyline(poly);
}

void TCanvas::Polygon(std::span<const TPoint> points)
{
    if (points.size() < 2) return;
    QPainter* p = Painter();
    if (!p) return;
    ApplyPen(*p);
    ApplyBrush(*p);
    QPolygon poly;
    for (const TPoint& pt : points) poly << QPoint(pt.X, pt.Y);
    p->drawPolygon(poly, Qt::OddEvenFill);
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    QPainter* p = Painter();
    if (!p) return;
    ApplyPen(*p);
    const QRect box = OutlineRect(x1, y1, x2, y2);
    const double cx = (x1 + x2) / 2.0, cy = (y1 + y2) / 2.0;
    const double rx = std::max(1.0, std::abs(x2 - x1) / 2.0), ry = std::max(1.0, std::abs(y2 - y1) / 2.0);
    // Angles of the points where the radials meet the ellipse, in the ellipse's own parameter
    // (what Qt's arc angles are), counter-clockwise with y pointing down on the device.
    auto angle = [&](int x, int y) {
        return std::atan2(-(y - cy) / ry, (x - cx) / rx) * 180.0 / std::numbers::pi;
    };
    const double a3 = angle(x3, y3);
    double span = angle(x4, y4) - a3;
    while (span <= 0) span += 360.0;
    if (span > 360.0) span -= 360.0;
    p->drawArc(box, static_cast<int>(std::lround(a3 * 16)), static_cast<int>(std::lround(span * 16)));
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    QPainter* p = Painter();
    if (!p) return;
    ApplyFont(*p);
    const QString s = ToQString(text);
    const QFontMetrics fm = p->fontMetrics();
    const int w = fm.horizontalAdvance(s);
    if (Brush.Style != bsClear) p->fillRect(QRect(x, y, w, fm.height()), ToQColor(Brush.Color));
    p->setPen(ToQColor(Font.Color));
    p->drawText(QPoint(x, y + fm.ascent()), s);
    penPos_ = {x + w, y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text)
{
    QPainter* p = Painter();
    if (!p) return;
    ApplyFont(*p);
    p->save();
    if (Brush.Style != bsClear) p->fillRect(ToQRect(r), ToQColor(Brush.Color));
    p->setClipRect(ToQRect(r), clipped_ ? Qt::IntersectClip : Qt::ReplaceClip);
    p->setPen(ToQColor(Font.Color));
    p->drawText(QPoint(x, y + p->fontMetrics().ascent()), ToQString(text));
    p->restore();
}

int TCanvas::TextWidth(const std::string& text)
{
    if (QPainter* p = Painter()) {
        ApplyFont(*p);
        return p->fontMetrics().horizontalAdvance(ToQString(text));
    }
    return QFontMetrics(Font.ToQFont()).horizontalAdvance(ToQString(text));
}

int TCanvas::TextHeight(const std::string&)
{
    if (QPainter* p = Painter()) {
        ApplyFont(*p);
        return p->fontMetrics().height();
    }
    return QFontMetrics(Font.ToQFont()).height();
}

TColor TCanvas::Pixels(int x, int y)
{
    QImage* img = ReadableImage();
    if (!img || x < 0 || y < 0 || x >= img->width() || y >= img->height()) return -1;
    return FromQRgb(img->pixel(x, y));
}

void TCanvas::SetPixel(int x, int y, TColor c)
{
    QPainter* p = Painter();
    if (!p) return;
    p->setPen(QPen(ToQColor(c), 0));
    p->drawPoint(x, y);
}

void TCanvas::Draw(int x, int y, TGraphic& graphic)
{
    if (graphic.Empty()) return;
    graphic.Draw(*this, Bounds(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::StretchDraw(const TRect& r, TGraphic& graphic)
{
    if (graphic.Empty()) return;
    graphic.Draw(*this, r);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect)
{
    QImage* img = source.ReadableImage();
    if (!img) return;
    // A copy, so that copying within one canvas reads the pixels as they were.
    const QImage part = img->copy(ToQRect(sourceRect));
    DrawImage(dest, part, part.rect());
}

void TCanvas::DrawImage(const TRect& dest, const QImage& image, const QRect& source)
{
    if (QPainter* p = Painter()) p->drawImage(ToQRect(dest), image, source);
}

TRect TCanvas::ClipRect() const
{
    if (clipped_) return clip_;
    return const_cast<TCanvas*>(this)->DeviceBounds();
}

void TCanvas::SetClipRect(const TRect& r)
{
    clipped_ = true;
    clip_ = r;
    if (painter_) painter_->setClipRect(ToQRect(r));
}

void TCanvas::ResetClip()
{
    clipped_ = false;
    if (painter_) painter_->setClipping(false);
}
