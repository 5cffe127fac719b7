#include "planner/resources/glyphs/Pictures.h"

#include "planner/resources/PlannerPictures.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <functional>
#include <map>

namespace {

const QColor kNavy(0x1f, 0x3a, 0x6e);
const QColor kSteel(0x6b, 0x76, 0x84);
const QColor kBeam(0xf2, 0x9e, 0x2c);

constexpr int kGlyph = 24;

QPixmap Canvas(int w, int h)
{
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
}

void Begin(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

QPen Pen(const QColor& c, qreal w) { return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void DrawGlyph(QPainter& p, TGlyph g)
{
    switch (g) {
    case TGlyph::New: {  // a sheet with a folded corner and a star
        QPainterPath sheet;
        sheet.moveTo(5, 2.5);
        sheet.lineTo(14.5, 2.5);
        sheet.lineTo(19.5, 7.5);
        sheet.lineTo(19.5, 21.5);
        sheet.lineTo(5, 21.5);
        sheet.closeSubpath();
        p.setPen(Pen(kSteel, 1.2));
        p.setBrush(Qt::white);
        p.drawPath(sheet);
        p.drawPolyline(QPolygonF({QPointF(14.5, 2.5), QPointF(14.5, 7.5), QPointF(19.5, 7.5)}));
        p.setPen(Pen(kBeam, 1.6));
        p.drawLine(QPointF(12, 11), QPointF(12, 18));
        p.drawLine(QPointF(8.5, 14.5), QPointF(15.5, 14.5));
        break;
    }
    case TGlyph::Open:
        p.setPen(Pen(QColor(0x9a, 0x6b, 0x1e), 1.2));
        p.setBrush(QColor(0xf4, 0xc9, 0x5d));
        p.drawPolygon(QPolygonF({QPointF(2.5, 6), QPointF(9, 6), QPointF(11, 8), QPointF(21.5, 8), QPointF(21.5, 19.5),
                                 QPointF(2.5, 19.5)}));
        break;
    case TGlyph::ListOfMaterials:
        p.setPen(Pen(kSteel, 1.2));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(4.5, 2.5, 15, 19), 1.5, 1.5);
        p.setPen(Pen(kNavy, 1.4));
        for (int i = 0; i < 4; ++i) p.drawLine(QPointF(8, 7.5 + 4 * i), QPointF(16, 7.5 + 4 * i));
        break;
    case TGlyph::Exit: {  // a door with an arrow leaving it
        p.setPen(Pen(QColor(0x7a, 0x4a, 0x22), 1.2));
        p.setBrush(QColor(0xc8, 0x8a, 0x4e));
        p.drawRect(QRectF(3.5, 3.5, 10, 17));
        p.setBrush(QColor(0x7a, 0x4a, 0x22));
        p.drawEllipse(QPointF(11.2, 12.5), 0.9, 0.9);
        p.setPen(Pen(QColor(0xc0, 0x30, 0x30), 2.0));
        p.drawLine(QPointF(12, 12), QPointF(21, 12));
        p.drawPolyline(QPolygonF({QPointF(17.5, 8.5), QPointF(21, 12), QPointF(17.5, 15.5)}));
        break;
    }
    case TGlyph::Save:
        p.setPen(Pen(kNavy.darker(130), 1.2));
        p.setBrush(kNavy);
        p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3.5, 10, 6));
        p.setBrush(QColor(0xd0, 0xd6, 0xe0));
        p.drawRect(QRectF(6.5, 13, 11, 7.5));
        break;
    case TGlyph::Record: {
        QRadialGradient gr(QPointF(10, 10), 9);
        gr.setColorAt(0, QColor(0xff, 0x6b, 0x6b));
        gr.setColorAt(1, QColor(0xc0, 0x16, 0x16));
        p.setPen(Pen(QColor(0x8a, 0x10, 0x10), 1.0));
        p.setBrush(gr);
        p.drawEllipse(QPointF(12, 12), 7.5, 7.5);
        break;
    }
    case TGlyph::Stop:
        p.setPen(Pen(QColor(0x20, 0x24, 0x2a), 1.0));
        p.setBrush(QColor(0x44, 0x4c, 0x56));
        p.drawRoundedRect(QRectF(5.5, 5.5, 13, 13), 1.5, 1.5);
        break;
    case TGlyph::Play:
        p.setPen(Pen(QColor(0x1b, 0x6e, 0x2a), 1.0));
        p.setBrush(QColor(0x2e, 0xa4, 0x45));
        p.drawPolygon(QPolygonF({QPointF(7, 4.5), QPointF(19.5, 12), QPointF(7, 19.5)}));
        break;
    case TGlyph::LineUtility: {  // a coaxial line in section
        p.setPen(Pen(QColor(0x8a, 0x55, 0x1a), 1.2));
        p.setBrush(QColor(0xd9, 0x8c, 0x3a));
        p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
        p.setBrush(QColor(0xf5, 0xf1, 0xe6));
        p.drawEllipse(QPointF(12, 12), 6.5, 6.5);
        p.setBrush(QColor(0xd9, 0x8c, 0x3a));
        p.drawEllipse(QPointF(12, 12), 2.5, 2.5);
        break;
    }
    case TGlyph::AzimuthCompare: {  // polar grid with two patterns
        p.setPen(Pen(QColor(0xa8, 0xb0, 0xbc), 0.9));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 12), 10, 10);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(12, 12), 5, 5);
        p.drawLine(QPointF(2, 12), QPointF(22, 12));
        p.drawLine(QPointF(12, 2), QPointF(12, 22));
        auto lobe = [&](double dir, double width, QColor c) {
            QPainterPath path;
            for (int a = 0; a <= 360; a += 6) {
                const double t = a * M_PI / 180.0;
                const double r = 2.5 + 7 * std::pow(std::max(0.0, std::cos((t - dir) / 2)), width);
                const QPointF pt(12 + r * std::sin(t), 12 - r * std::cos(t));
                if (a == 0) path.moveTo(pt);
                else path.lineTo(pt);
            }
            path.closeSubpath();
            p.setPen(Pen(c, 1.5));
            p.drawPath(path);
        };
        lobe(0.0, 4, QColor(0xc0, 0x30, 0x30));
        lobe(M_PI * 0.6, 6, kNavy);
        break;
    }
    case TGlyph::Tutorial: {  // an open book with a tilted beam
        p.setPen(Pen(kNavy, 1.2));
        p.setBrush(Qt::white);
        QPainterPath left, right;
        left.moveTo(12, 6);
        left.cubicTo(9, 4, 5, 4, 2.5, 5);
        left.lineTo(2.5, 19);
        left.cubicTo(5, 18, 9, 18, 12, 20);
        left.closeSubpath();
        right.moveTo(12, 6);
        right.cubicTo(15, 4, 19, 4, 21.5, 5);
        right.lineTo(21.5, 19);
        right.cubicTo(19, 18, 15, 18, 12, 20);
        right.closeSubpath();
        p.drawPath(left);
        p.drawPath(right);
        p.setPen(Pen(kBeam, 1.6));
        p.drawLine(QPointF(14, 9), QPointF(20, 12));
        p.drawLine(QPointF(14, 12), QPointF(20, 15));
        p.setPen(Pen(kSteel, 1.2));
        p.drawLine(QPointF(5, 9), QPointF(10, 9));
        p.drawLine(QPointF(5, 12), QPointF(10, 12));
        p.drawLine(QPointF(5, 15), QPointF(9, 15));
        break;
    }
    case TGlyph::Calculator:
        p.setPen(Pen(QColor(0x30, 0x36, 0x40), 1.2));
        p.setBrush(QColor(0x55, 0x5f, 0x6d));
        p.drawRoundedRect(QRectF(4.5, 2.5, 15, 19), 2, 2);
        p.setBrush(QColor(0xc8, 0xe6, 0xc9));
        p.drawRect(QRectF(7, 5, 10, 4));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) p.drawRect(QRectF(7 + c * 3.6, 11 + r * 3.4, 2.6, 2.4));
        break;
    case TGlyph::Print:
        p.setPen(Pen(kSteel.darker(130), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 2.5, 10, 7));
        p.setBrush(kSteel);
        p.drawRoundedRect(QRectF(3, 9, 18, 8), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 14, 10, 7.5));
        break;
    case TGlyph::Close:
        p.setPen(Pen(QColor(0xc0, 0x30, 0x30), 2.4));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
        break;
    }
}

void Label(QPainter& p, QRectF r, const QString& text, int px, const QColor& c = QColor(0x22, 0x2a, 0x36))
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(px);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, text);
}

}  // namespace

namespace {

// A glyph drawn in one mode at one scale.
QPixmap DrawToolGlyph(TGlyph glyph, bool disabled, int scale)
{
    QPixmap pm = Canvas(kGlyph * scale, kGlyph * scale);
    QPainter p(&pm);
    Begin(p);
    p.scale(scale, scale);
    if (disabled) p.setOpacity(0.35);  // a light grey version of the same drawing
    DrawGlyph(p, glyph);
    p.end();
    pm.setDevicePixelRatio(scale);
    return pm;
}

QPixmap DrawStepGlyph(int step, bool disabled, int scale)
{
    QPixmap pm = Canvas(20 * scale, 20 * scale);
    QPainter p(&pm);
    Begin(p);
    p.scale(scale, scale);
    p.setPen(Pen(disabled ? QColor(0xa0, 0xa6, 0xb0) : kNavy.darker(130), 1.0));
    p.setBrush(disabled ? QColor(0xd8, 0xdc, 0xe2) : kNavy);
    p.drawEllipse(QRectF(1.5, 1.5, 17, 17));
    Label(p, QRectF(0, 0, 20, 20), QString::number(step), 11, disabled ? QColor(0x90, 0x96, 0xa0) : QColor(Qt::white));
    p.end();
    pm.setDevicePixelRatio(scale);
    return pm;
}

// Draws a glyph only when a button first paints it, in the mode and at the scale asked for,
// and keeps each drawing; a glyph on a hidden button is never drawn.
class TGlyphEngine : public QIconEngine {
public:
    using TDraw = std::function<QPixmap(bool disabled, int scale)>;
    TGlyphEngine(TDraw draw, int side) : draw_(std::move(draw)), side_(side) {}

    QIconEngine* clone() const override { return new TGlyphEngine(*this); }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        return QSize(side_, side_).boundedTo(size);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        const bool disabled = mode == QIcon::Disabled;
        const int s = scale > 1.0 ? 2 : 1;
        QPixmap& pm = drawn_[disabled][s - 1];
        if (pm.isNull()) pm = draw_(disabled, s);
        const QSize want = size * s;
        if (pm.size() == want || want.isEmpty()) return pm;
        QPixmap fitted = pm.scaled(want, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        fitted.setDevicePixelRatio(s);
        return fitted;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, dpr));
    }

private:
    TDraw draw_;
    int side_;
    QPixmap drawn_[2][2];  // [disabled][scale - 1]
};

// One icon per glyph for the whole run: buttons showing the same glyph share its drawings.
template <class Key>
QIcon CachedIcon(std::map<Key, QIcon>& cache, Key key, const std::function<QIcon()>& make)
{
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.emplace(key, make()).first;
    return it->second;
}

}  // namespace

QIcon ToolGlyph(TGlyph glyph)
{
    static std::map<TGlyph, QIcon> cache;
    return CachedIcon(cache, glyph, [glyph] {
        return QIcon(new TGlyphEngine([glyph](bool disabled, int scale) { return DrawToolGlyph(glyph, disabled, scale); },
                                      kGlyph));
    });
}

QIcon StepGlyph(int step)
{
    static std::map<int, QIcon> cache;
    return CachedIcon(cache, step, [step] {
        return QIcon(new TGlyphEngine([step](bool disabled, int scale) { return DrawStepGlyph(step, disabled, scale); }, 20));
    });
}

QPixmap PresenterPhoto(QSize size)
{
    const std::unique_ptr<TBitmap> photo = LoadPlannerPicture("Presenter");
    if (!photo) return {};
    const QImage img = photo->ToImage();
    return QPixmap::fromImage(img.size() == size ? img : img.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}
