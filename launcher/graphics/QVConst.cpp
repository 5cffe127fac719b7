#include "launcher/graphics/QVConst.h"

#include "platform/ui/Cursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <mutex>

const TCursor crQvHand = static_cast<TCursor>(14000);
const TCursor crQvDrag = static_cast<TCursor>(14001);

namespace {

// A hand of four fingers and a thumb in 32 x 32, black outline on white; closed when dragging.
QCursor HandCursor(bool closed)
{
    QPixmap p(32, 32);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setPen(QPen(Qt::black, 1));
    g.setBrush(Qt::white);
    const int fingerTop = closed ? 12 : 4;
    for (int i = 0; i < 4; ++i) g.drawRoundedRect(QRectF(8 + i * 4, fingerTop + (i == 0 || i == 3 ? 2 : 0), 4, 14), 2, 2);
    g.drawRoundedRect(QRectF(8, 14, 16, 12), 3, 3);
    g.drawRoundedRect(QRectF(3, 15, 7, 4), 2, 2);  // thumb
    if (closed) {
        g.setPen(QPen(Qt::black, 1, Qt::DotLine));
        g.setBrush(Qt::NoBrush);
        g.drawRect(20, 2, 10, 8);  // what is dragged
    }
    g.end();
    return QCursor(p, closed ? 14 : 10, closed ? 12 : 4);
}

}  // namespace

void RegisterQvCursors()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterScreenCursor(crQvHand, [] { return HandCursor(false); });
        RegisterScreenCursor(crQvDrag, [] { return HandCursor(true); });
    });
}
