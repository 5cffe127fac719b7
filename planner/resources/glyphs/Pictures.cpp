#include "planner/resources/glyphs/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace {

const QColor kNavy(0x1f, 0x3a, 0x6e);
const QColor kSteel(0x6b, 0x76, 0x84);
const QColor kRadome(0xe8, 0xe4, 0xda);
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

// Sky, hills and a lattice tower of the given top; returns the tower's top centre.
QPointF Landscape(QPainter& p, QSizeF s, qreal towerX, qreal towerTop, bool drawTower = true)
{
    QLinearGradient sky(0, 0, 0, s.height());
    sky.setColorAt(0, QColor(0x8e, 0xc3, 0xea));
    sky.setColorAt(1, QColor(0xe6, 0xf2, 0xfb));
    p.fillRect(QRectF(QPointF(0, 0), s), sky);
    const qreal ground = s.height() * 0.86;
    QPainterPath hills;
    hills.moveTo(0, ground);
    hills.cubicTo(s.width() * 0.3, ground - 18, s.width() * 0.6, ground + 8, s.width(), ground - 10);
    hills.lineTo(s.width(), s.height());
    hills.lineTo(0, s.height());
    hills.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7d, 0xb0, 0x6a));
    p.drawPath(hills);
    if (drawTower) {
        const qreal base = ground + 4, half = 12;
        p.setPen(Pen(QColor(0xb0, 0x3a, 0x2e), 1.6));
        p.drawLine(QPointF(towerX - half, base), QPointF(towerX - 2.5, towerTop));
        p.drawLine(QPointF(towerX + half, base), QPointF(towerX + 2.5, towerTop));
        p.setPen(Pen(QColor(0xb0, 0x3a, 0x2e), 0.9));
        const int bays = 10;
        for (int i = 0; i < bays; ++i) {
            const qreal y0 = towerTop + (base - towerTop) * i / bays, y1 = towerTop + (base - towerTop) * (i + 1) / bays;
            const qreal w0 = 2.5 + (half - 2.5) * i / bays, w1 = 2.5 + (half - 2.5) * (i + 1) / bays;
            p.drawLine(QPointF(towerX - w0, y0), QPointF(towerX + w1, y1));
            p.drawLine(QPointF(towerX + w0, y0), QPointF(towerX - w1, y1));
            p.drawLine(QPointF(towerX - w1, y1), QPointF(towerX + w1, y1));
        }
    }
    return {towerX, towerTop};
}

// A slotted cylindrical antenna standing on `base`.
void Pylon(QPainter& p, QPointF base, qreal height, qreal width, const QColor& body)
{
    QLinearGradient g(base.x() - width / 2, 0, base.x() + width / 2, 0);
    g.setColorAt(0, body.darker(135));
    g.setColorAt(0.4, body.lighter(115));
    g.setColorAt(1, body.darker(150));
    p.setPen(Pen(body.darker(180), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(base.x() - width / 2, base.y() - height, width, height), width / 3, width / 3);
    p.setPen(Pen(body.darker(200), 1.4));
    for (qreal y = base.y() - height + 10; y < base.y() - 6; y += 14)
        p.drawLine(QPointF(base.x() - width / 6, y), QPointF(base.x() - width / 6, y + 7));
}

// A panel antenna with crossed dipoles facing the viewer.
void Panel(QPainter& p, QRectF r)
{
    p.setPen(Pen(kSteel.darker(140), 1.0));
    p.setBrush(kRadome);
    p.drawRoundedRect(r, 3, 3);
    p.setPen(Pen(kNavy, 1.6));
    const QPointF c = r.center();
    const qreal d = std::min(r.width(), r.height()) * 0.32;
    p.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
    p.drawLine(c + QPointF(d, -d), c + QPointF(-d, d));
}

void Label(QPainter& p, QRectF r, const QString& text, int px, const QColor& c = QColor(0x22, 0x2a, 0x36))
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(px);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, text);
}

// The main beam of an antenna at `origin`, tilted down by `tiltDeg`, with a faint side lobe.
void Beam(QPainter& p, QPointF origin, qreal length, qreal tiltDeg, qreal spreadDeg, qreal dir = 1)
{
    const qreal t = tiltDeg * M_PI / 180, s = spreadDeg * M_PI / 180;
    QPainterPath lobe;
    lobe.moveTo(origin);
    lobe.cubicTo(origin + QPointF(dir * length * 0.5 * std::cos(t - s), length * 0.5 * std::sin(t - s)),
                 origin + QPointF(dir * length * std::cos(t - s / 3), length * std::sin(t - s / 3)),
                 origin + QPointF(dir * length * std::cos(t), length * std::sin(t)));
    lobe.cubicTo(origin + QPointF(dir * length * std::cos(t + s / 3), length * std::sin(t + s / 3)),
                 origin + QPointF(dir * length * 0.5 * std::cos(t + s), length * 0.5 * std::sin(t + s)), origin);
    QColor fill = kBeam;
    fill.setAlpha(110);
    p.setPen(Pen(kBeam.darker(120), 1.2));
    p.setBrush(fill);
    p.drawPath(lobe);
}

}  // namespace

QIcon ToolGlyph(TGlyph glyph)
{
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm = Canvas(kGlyph * scale, kGlyph * scale);
        QPainter p(&pm);
        Begin(p);
        p.scale(scale, scale);
        DrawGlyph(p, glyph);
        p.end();
        pm.setDevicePixelRatio(scale);
        icon.addPixmap(pm);
    }
    // Disabled: a light grey version of the same drawing.
    QPixmap dim = Canvas(kGlyph, kGlyph);
    {
        QPainter p(&dim);
        Begin(p);
        p.setOpacity(0.35);
        DrawGlyph(p, glyph);
    }
    icon.addPixmap(dim, QIcon::Disabled);
    return icon;
}

QIcon StepGlyph(int step)
{
    QPixmap pm = Canvas(20, 20);
    QPainter p(&pm);
    Begin(p);
    p.setPen(Pen(kNavy.darker(130), 1.0));
    p.setBrush(kNavy);
    p.drawEllipse(QRectF(1.5, 1.5, 17, 17));
    Label(p, QRectF(0, 0, 20, 20), QString::number(step), 11, Qt::white);
    p.end();
    QIcon icon(pm);
    QPixmap dim = Canvas(20, 20);
    QPainter d(&dim);
    Begin(d);
    d.setPen(Pen(QColor(0xa0, 0xa6, 0xb0), 1.0));
    d.setBrush(QColor(0xd8, 0xdc, 0xe2));
    d.drawEllipse(QRectF(1.5, 1.5, 17, 17));
    Label(d, QRectF(0, 0, 20, 20), QString::number(step), 11, QColor(0x90, 0x96, 0xa0));
    d.end();
    icon.addPixmap(dim, QIcon::Disabled);
    return icon;
}

QPixmap ShowcaseFrame(int frame, QSize size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    Begin(p);
    const QSizeF s = size;
    const qreal cx = s.width() / 2;
    switch (frame) {
    case 1: {  // low-power slotted cylinder on a short tower
        const QPointF top = Landscape(p, s, cx, s.height() * 0.45);
        Pylon(p, top + QPointF(0, 2), s.height() * 0.36, 16, QColor(0xd8, 0xd8, 0xd2));
        break;
    }
    case 2: {  // elliptically polarized: a tall radome with helical windings
        const QPointF top = Landscape(p, s, cx, s.height() * 0.52);
        const QRectF body(cx - 13, s.height() * 0.06, 26, top.y() - s.height() * 0.06 + 2);
        QLinearGradient g(body.left(), 0, body.right(), 0);
        g.setColorAt(0, kRadome.darker(125));
        g.setColorAt(0.45, Qt::white);
        g.setColorAt(1, kRadome.darker(140));
        p.setPen(Pen(kSteel, 1.0));
        p.setBrush(g);
        p.drawRoundedRect(body, 10, 10);
        p.setPen(Pen(kNavy, 1.3));
        for (qreal y = body.top() + 12; y < body.bottom() - 8; y += 11)
            p.drawLine(QPointF(body.left() + 3, y + 5), QPointF(body.right() - 3, y));
        break;
    }
    case 3: {  // side mounted: panels on the side of a tall tower
        Landscape(p, s, cx - 40, s.height() * 0.08);
        for (int i = 0; i < 4; ++i) {
            const QRectF r(cx - 26, s.height() * 0.14 + i * 30, 22, 26);
            p.setPen(Pen(kSteel, 1.2));
            p.drawLine(QPointF(cx - 38, r.center().y()), QPointF(r.left(), r.center().y()));
            Panel(p, r);
        }
        break;
    }
    default: {  // stacked array: a VHF batwing section below a UHF cylinder
        const QPointF top = Landscape(p, s, cx, s.height() * 0.60);
        const qreal vhfTop = top.y() - s.height() * 0.22;
        p.setPen(Pen(kSteel.darker(120), 3));
        p.drawLine(QPointF(cx, top.y()), QPointF(cx, vhfTop));
        p.setPen(Pen(kSteel, 2));
        for (int i = 0; i < 3; ++i) {
            const qreal y = vhfTop + 10 + i * (s.height() * 0.06);
            p.drawLine(QPointF(cx - 34, y), QPointF(cx + 34, y));
            p.drawLine(QPointF(cx - 34, y), QPointF(cx - 24, y + 12));
            p.drawLine(QPointF(cx + 34, y), QPointF(cx + 24, y + 12));
        }
        Pylon(p, QPointF(cx, vhfTop + 1), s.height() * 0.30, 14, QColor(0xd8, 0xd8, 0xd2));
        break;
    }
    }
    return pm;
}

QPixmap TutorialFrame(int frame)
{
    const bool wide = frame == 2;
    const QSize size = wide ? QSize(350, 175) : QSize(175, 350);
    QPixmap pm(size);
    QPainter p(&pm);
    Begin(p);
    const QSizeF s = size;
    if (wide) {  // side view: the beam tilted down toward the coverage area
        const QPointF top = Landscape(p, s, 30, s.height() * 0.25);
        Beam(p, top, s.width() - 50, 8, 7);
        p.setPen(Pen(QColor(0x40, 0x48, 0x55), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawLine(top, top + QPointF(s.width() - 60, 0));
        p.drawArc(QRectF(top.x() - 80, top.y() - 80, 160, 160), 0, -8 * 16);
        Label(p, QRectF(top.x() + 84, top.y() - 2, 70, 16), QStringLiteral("tilt"), 11);
        Label(p, QRectF(0, s.height() - 22, s.width(), 20), QStringLiteral("Beam tilt aims the main beam below the horizon"),
              11, Qt::white);
        return pm;
    }
    const qreal tilt = frame == 1 ? 0 : frame == 3 ? 6 : 3;
    const QPointF top = Landscape(p, s, 40, s.height() * 0.30);
    Beam(p, top, s.width() - 50, tilt, 9);
    p.setPen(Pen(QColor(0x40, 0x48, 0x55), 1.0));
    p.drawLine(top, top + QPointF(s.width() - 48, 0));
    const QString caption = frame == 1   ? QStringLiteral("No tilt: the beam passes over the nearby viewers")
                            : frame == 3 ? QStringLiteral("Too much tilt: the distant viewers lose signal")
                                         : QStringLiteral("The right tilt covers near and far");
    Label(p, QRectF(6, 8, s.width() - 12, 60), caption, 12);
    return pm;
}

QPixmap PresenterPhoto(QSize size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    Begin(p);
    QLinearGradient bg(0, 0, 0, size.height());
    bg.setColorAt(0, QColor(0xd5, 0xdf, 0xea));
    bg.setColorAt(1, QColor(0x9f, 0xb3, 0xc9));
    p.fillRect(pm.rect(), bg);
    const qreal w = size.width(), h = size.height();
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);  // jacket
    p.drawEllipse(QRectF(w * 0.08, h * 0.66, w * 0.84, h * 0.7));
    p.setBrush(Qt::white);  // collar
    p.drawPolygon(QPolygonF({QPointF(w * 0.38, h * 0.68), QPointF(w * 0.5, h * 0.84), QPointF(w * 0.62, h * 0.68)}));
    p.setBrush(QColor(0xe3, 0xb8, 0x94));  // face and neck
    p.drawRect(QRectF(w * 0.42, h * 0.52, w * 0.16, h * 0.18));
    p.drawEllipse(QRectF(w * 0.3, h * 0.18, w * 0.4, h * 0.42));
    p.setBrush(QColor(0x4a, 0x36, 0x28));  // hair
    p.drawChord(QRectF(w * 0.28, h * 0.14, w * 0.44, h * 0.34), 0, 180 * 16);
    p.setPen(Pen(QColor(0x7a, 0x86, 0x96), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    return pm;
}
