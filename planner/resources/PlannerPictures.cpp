#include "planner/resources/PlannerPictures.h"

#include "gif/GIFImg.h"

#include <QFile>
#include <QPainter>

namespace {

QByteArray PictureBytes(const std::string& name)
{
    QFile f(QStringLiteral(":/planner/pictures/") + QString::fromStdString(name) + QStringLiteral(".gif"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

}  // namespace

std::vector<uint8_t> PlannerPictureBytes(const std::string& name)
{
    const QByteArray bytes = PictureBytes(name);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::unique_ptr<TBitmap> LoadPlannerPicture(const std::string& name)
{
    GIFImg::RegisterGIFImage();
    const QByteArray bytes = PictureBytes(name);
    if (bytes.isEmpty()) return nullptr;
    try {
        return LoadPictureBitmap(bytes.constData(), static_cast<std::size_t>(bytes.size()), "gif");
    } catch (const Exception&) {
        return nullptr;
    }
}

// Each frame drawn over the screen as the one before left it: see-through pixels keep what lies
// beneath, and a frame that asks for it is cleared to the background (or restored) after it.
std::vector<QImage> LoadPlannerAnimation(const std::string& name)
{
    GIFImg::RegisterGIFImage();
    const QByteArray bytes = PictureBytes(name);
    std::vector<QImage> frames;
    if (bytes.isEmpty()) return frames;
    GIFImg::TGIFImage picture;
    try {
        TByteReader reader(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        picture.LoadFromBytes(reader);
    } catch (const Exception&) {
        if (picture.Images().Count() == 0) return frames;
    }
    const int width = picture.Width(), height = picture.Height();
    if (width <= 0 || height <= 0) return frames;
    TBitmap screen(width, height, pf32bit);
    const TRect whole = Rect(0, 0, width, height);
    for (int i = 0; i < picture.Images().Count() && frames.size() < 256; ++i) {
        GIFImg::TGIFSubImage& frame = *picture.Images().Items(i);
        if (frame.Empty()) continue;
        TBitmap previous;
        previous.Assign(screen);
        frame.Draw(screen.Canvas(), whole, false, true);
        screen.Canvas().Release();
        frames.push_back(screen.ToImage().convertToFormat(QImage::Format_RGB32));
        const int disposal = frame.GraphicControlExtension() ? frame.GraphicControlExtension()->Disposal() : 0;
        if (disposal == 2) {
            screen.Canvas().Brush.Color = clWhite;
            screen.Canvas().FillRect(Bounds(frame.Left(), frame.Top(), frame.Width(), frame.Height()));
            screen.Canvas().Release();
        } else if (disposal == 3) {
            screen.Assign(previous);
        }
    }
    return frames;
}
