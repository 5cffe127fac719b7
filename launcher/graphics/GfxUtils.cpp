#include "launcher/graphics/GfxUtils.h"

#include "launcher/graphics/QvGConst.h"
#include "platform/ui/Dialogs.h"

void StretchTransparentBitmap(TCanvas& canvas, TBitmap& bitmap, TColor transparentColor, int dx, int dy, int dw,
                              int dh, int sx, int sy, int sw, int sh)
{
    if (bitmap.Empty()) return;
    if (dw < 1) dw = bitmap.Width();
    if (dh < 1) dh = bitmap.Height();
    if (sw < 1 || sh < 1) {
        sx = sy = 0;
        sw = bitmap.Width();
        sh = bitmap.Height();
    }
    // The bitmap is read as it is: its own transparency plays no part here.
    const bool wasTransparent = bitmap.Transparent();
    bitmap.SetTransparent(false);
    QImage image = bitmap.ToImage();
    bitmap.SetTransparent(wasTransparent);
    if (transparentColor != clNone) {
        const TColor mask = transparentColor == clDefault ? FromQRgb(image.pixel(0, image.height() - 1))
                                                          : ColorToRGB(transparentColor);
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb see = qRgb(GetRValue(mask), GetGValue(mask), GetBValue(mask));
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (line[x] == see) line[x] = 0;
        }
    }
    canvas.DrawImage(Bounds(dx, dy, dw, dh), image, QRect(sx, sy, sw, sh));
}

void NotImplementedError()
{
    SetScreenCursor(crDefault);
    MessageDlg(QvGIF::GIFText(QvGIF::sNotImplemented), TMsgDlgType::mtInformation, mbOK);
    Abort();
}
