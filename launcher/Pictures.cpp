#include "launcher/Pictures.h"

#include "launcher/graphics/QvGIF.h"
#include "platform/graphics/Graphics.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QPixmap Blank(int w, int h)
{
    QPixmap p(w, h);
    p.fill(Qt::transparent);
    return p;
}

const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);

}  // namespace

QPixmap SplashPicture()
{
    QFile f(":/launcher/Splash.gif");
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = f.readAll();
    try {
        TMemoryStream stream;
        stream.WriteBuffer(bytes.constData(), bytes.size());
        stream.SetPosition(0);
        QvGIF::TGIFImage gif;
        gif.LoadFromStream(stream);
        TBitmap bitmap;
        gif.AssignTo(bitmap);
        return QPixmap::fromImage(bitmap.ToImage());
    } catch (const Exception&) {
        return {};  // a damaged picture: the splash shows without it
    }
}

QPixmap MainIconPicture()
{
    QPixmap p = Blank(32, 32);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    // A mast with two beams: the launcher of the planning tools.
    g.setPen(QPen(kNavy, 2));
    g.drawLine(16, 30, 16, 6);
    g.drawLine(8, 30, 16, 14);
    g.drawLine(24, 30, 16, 14);
    g.setPen(QPen(QColor(200, 0, 0), 2));
    g.setBrush(Qt::NoBrush);
    g.drawArc(QRect(6, 0, 20, 14), 30 * 16, 120 * 16);
    g.drawArc(QRect(1, -4, 30, 20), 35 * 16, 110 * 16);
    g.setBrush(QColor(200, 0, 0));
    g.setPen(Qt::NoPen);
    g.drawEllipse(QPoint(16, 6), 3, 3);
    return p;
}

QPixmap GripPicture()
{
    QPixmap p(6, 100);
    p.fill(QColor(212, 208, 200));
    QPainter g(&p);
    for (int y = 4; y < 96; y += 4) {
        g.setPen(Qt::white);
        g.drawPoint(1, y);
        g.drawPoint(3, y + 2);
        g.setPen(QColor(128, 128, 128));
        g.drawPoint(2, y + 1);
        g.drawPoint(4, y + 3);
    }
    return p;
}

QIcon DesktopIcon()
{
    QPixmap p = Blank(16, 16);
    QPainter g(&p);
    g.setPen(QColor(64, 64, 64));
    g.setBrush(kTeal);
    g.drawRect(1, 2, 13, 9);
    g.setBrush(QColor(192, 192, 192));
    g.drawRect(5, 12, 5, 2);
    return QIcon(p);
}

QIcon GroupIcon()
{
    QPixmap p = Blank(16, 16);
    QPainter g(&p);
    g.setPen(QColor(128, 96, 0));
    g.setBrush(QColor(255, 216, 96));
    g.drawRect(1, 4, 14, 10);
    g.drawRect(1, 2, 6, 2);
    return QIcon(p);
}

QPixmap LogoPicture()
{
    QPixmap p = Blank(48, 48);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(Qt::NoPen);
    g.setBrush(kNavy);
    g.drawEllipse(2, 2, 44, 44);
    g.setPen(QPen(Qt::white, 3));
    QFont f("Tahoma");
    f.setPixelSize(26);
    f.setBold(true);
    g.setFont(f);
    g.drawText(QRect(2, 2, 44, 44), Qt::AlignCenter, "B");
    return p;
}

QPixmap WelcomePicture()
{
    QPixmap p(220, 160);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 160);
    sky.setColorAt(0, QColor(70, 110, 180));
    sky.setColorAt(1, QColor(200, 220, 240));
    g.fillRect(p.rect(), sky);
    g.setBrush(QColor(90, 130, 70));
    g.setPen(Qt::NoPen);
    QPainterPath hill;
    hill.moveTo(0, 160);
    hill.cubicTo(60, 110, 140, 120, 220, 135);
    hill.lineTo(220, 160);
    g.drawPath(hill);
    // A lattice mast on the hill, with its beams.
    g.setPen(QPen(QColor(60, 60, 60), 2));
    g.drawLine(110, 125, 100, 30);
    g.drawLine(110, 125, 120, 30);
    for (int y = 40; y < 125; y += 12) g.drawLine(100 + (y - 30) / 10, y, 120 - (y - 30) / 10, y);
    g.setPen(QPen(QColor(255, 255, 255, 160), 2));
    for (int r = 20; r <= 60; r += 20) g.drawArc(QRect(110 - r, 30 - r / 2, 2 * r, r), 20 * 16, 140 * 16);
    g.setBrush(QColor(220, 0, 0));
    g.setPen(Qt::NoPen);
    g.drawEllipse(QPoint(110, 28), 4, 4);
    return p;
}

QPixmap WebPicture()
{
    QPixmap p = Blank(32, 32);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(Qt::white, 2));
    g.setBrush(QColor(40, 90, 170));
    g.drawEllipse(3, 3, 26, 26);
    g.setBrush(Qt::NoBrush);
    g.drawEllipse(10, 3, 12, 26);
    g.drawLine(3, 16, 29, 16);
    g.drawLine(6, 9, 26, 9);
    g.drawLine(6, 23, 26, 23);
    return p;
}
