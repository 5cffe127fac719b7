#include "planner/resources/glyphs/AntennaPictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kSkyTop(0xbf, 0xd9, 0xf0);
const QColor kSkyLow(0xee, 0xf5, 0xfb);
const QColor kGround(0x7d, 0x9a, 0x5c);
const QColor kSteel(0x5d, 0x66, 0x72);
const QColor kTowerRed(0xc8, 0x3c, 0x2e);
const QColor kRadome(0xef, 0xec, 0xe4);
const QColor kNavy(0x1f, 0x3a, 0x6e);
const QColor kText(0x22, 0x2a, 0x36);

constexpr int kCaption = 34;  // caption strip at the bottom

QPen Pen(const QColor& c, qreal w) { return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// Sky, ground and the caption strip; returns the ground line.
qreal Scene(QPainter& p, QSizeF s, const QString& caption)
{
    const qreal ground = s.height() - kCaption - 14;
    QLinearGradient sky(0, 0, 0, ground);
    sky.setColorAt(0, kSkyTop);
    sky.setColorAt(1, kSkyLow);
    p.fillRect(QRectF(0, 0, s.width(), ground), sky);
    p.fillRect(QRectF(0, ground, s.width(), 14), kGround);
    p.fillRect(QRectF(0, s.height() - kCaption, s.width(), kCaption), Qt::white);
    p.setPen(Pen(QColor(0xa0, 0xa8, 0xb4), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, s.width() - 1, s.height() - 1));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(kText);
    p.drawText(QRectF(2, s.height() - kCaption, s.width() - 4, kCaption), Qt::AlignCenter | Qt::TextWordWrap, caption);
    return ground;
}

// A tapering lattice tower from the ground up to `top`, centred on x; painted in bands.
void Tower(QPainter& p, qreal x, qreal ground, qreal top, qreal baseHalf, qreal topHalf)
{
    const qreal h = ground - top;
    const int bays = std::max(3, static_cast<int>(h / 22));
    auto half = [&](qreal y) { return topHalf + (baseHalf - topHalf) * (y - top) / h; };
    for (int i = 0; i < bays; ++i) {
        const qreal y0 = top + h * i / bays, y1 = top + h * (i + 1) / bays;
        p.setPen(Pen(i % 2 ? kTowerRed : QColor(0xf4, 0xf4, 0xf4).darker(110), 1.1));
        p.drawLine(QPointF(x - half(y0), y0), QPointF(x + half(y1), y1));
        p.drawLine(QPointF(x + half(y0), y0), QPointF(x - half(y1), y1));
        p.setPen(Pen(kSteel, 1));
        p.drawLine(QPointF(x - half(y1), y1), QPointF(x + half(y1), y1));
    }
    p.setPen(Pen(kSteel, 1.8));
    p.drawLine(QPointF(x - topHalf, top), QPointF(x - baseHalf, ground));
    p.drawLine(QPointF(x + topHalf, top), QPointF(x + baseHalf, ground));
}

// A vertical radome with its slots, standing on `bottom`.
void Cylinder(QPainter& p, qreal x, qreal top, qreal bottom, qreal width, const QColor& body)
{
    QLinearGradient g(x - width / 2, 0, x + width / 2, 0);
    g.setColorAt(0, body.darker(130));
    g.setColorAt(0.45, body.lighter(110));
    g.setColorAt(1, body.darker(145));
    p.setPen(Pen(body.darker(190), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(x - width / 2, top, width, bottom - top), width / 2.5, width / 2.5);
    p.setPen(Pen(kNavy, 1.3));
    for (qreal y = top + 9; y < bottom - 8; y += 13) p.drawLine(QPointF(x - width / 6, y), QPointF(x - width / 6, y + 6));
}

// Brackets from the tower leg at legX to an antenna body at bodyX.
void Brackets(QPainter& p, qreal legX, qreal bodyX, qreal top, qreal bottom, int count)
{
    p.setPen(Pen(kSteel, 1.6));
    for (int i = 0; i < count; ++i) {
        const qreal y = top + (bottom - top) * (i + 0.5) / count;
        p.drawLine(QPointF(legX, y), QPointF(bodyX, y));
    }
}

}  // namespace

QPixmap AntennaPicture(TAntennaPicture picture, QSize size)
{
    QPixmap pm(size);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QSizeF s = size;
    const qreal cx = s.width() / 2;
    switch (picture) {
    case TAntennaPicture::TopMounted: {
        const qreal ground = Scene(p, s, QStringLiteral("Top mount"));
        const qreal towerTop = ground * 0.48;
        Tower(p, cx, ground, towerTop, 22, 7);
        p.setPen(Pen(kSteel, 2));
        p.drawLine(QPointF(cx - 10, towerTop), QPointF(cx + 10, towerTop));
        Cylinder(p, cx, ground * 0.07, towerTop, 16, kRadome);
        break;
    }
    case TAntennaPicture::SideMountedHighPower: {
        const qreal ground = Scene(p, s, QStringLiteral("Side mount"));
        const qreal towerX = cx - 14;
        Tower(p, towerX, ground, ground * 0.05, 20, 8);
        // A column of panels on brackets off the tower's right face.
        const qreal top = ground * 0.12, bottom = ground * 0.52;
        const int panels = 4;
        Brackets(p, towerX + 9, cx + 16, top, bottom, panels);
        for (int i = 0; i < panels; ++i) {
            const qreal h = (bottom - top) / panels;
            const QRectF r(cx + 12, top + i * h + 2, 18, h - 4);
            p.setPen(Pen(kSteel.darker(140), 1));
            p.setBrush(kRadome);
            p.drawRoundedRect(r, 3, 3);
            p.setPen(Pen(kNavy, 1.4));
            const QPointF c = r.center();
            p.drawLine(c + QPointF(-5, -5), c + QPointF(5, 5));
            p.drawLine(c + QPointF(5, -5), c + QPointF(-5, 5));
        }
        break;
    }
    case TAntennaPicture::SideMountedLowPower: {
        const qreal ground = Scene(p, s, QStringLiteral("Side mount"));
        const qreal towerX = cx - 14;
        Tower(p, towerX, ground, ground * 0.05, 20, 8);
        // A slim slotted pipe held off the tower's right face.
        const qreal top = ground * 0.16, bottom = ground * 0.44;
        Brackets(p, towerX + 9, cx + 18, top, bottom, 3);
        Cylinder(p, cx + 20, top, bottom, 9, QColor(0xd9, 0xd9, 0xd2));
        break;
    }
    case TAntennaPicture::OtherMake: {
        const qreal ground = Scene(p, s, QStringLiteral("Other make"));
        const qreal towerTop = ground * 0.48;
        Tower(p, cx, ground, towerTop, 22, 7);
        // An outline antenna: the shape of one, no maker's detail.
        const QRectF body(cx - 9, ground * 0.10, 18, towerTop - ground * 0.10);
        QPen dashed = Pen(kSteel, 1.6);
        dashed.setStyle(Qt::DashLine);
        p.setPen(dashed);
        p.setBrush(QColor(0xff, 0xff, 0xff, 150));
        p.drawRoundedRect(body, 7, 7);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(22);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kNavy);
        p.drawText(body, Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    }
    return pm;
}
