#include "planner/resources/PlannerPictures.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

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
    const QByteArray bytes = PictureBytes(name);
    if (bytes.isEmpty()) return nullptr;
    try {
        return LoadPictureBitmap(bytes.constData(), static_cast<std::size_t>(bytes.size()), "gif");
    } catch (const Exception&) {
        return nullptr;
    }
}

std::vector<QImage> LoadPlannerAnimation(const std::string& name)
{
    QByteArray bytes = PictureBytes(name);
    std::vector<QImage> frames;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    while (frames.size() < 256 && reader.canRead()) {
        const QImage frame = reader.read();
        if (frame.isNull()) break;
        frames.push_back(frame.convertToFormat(QImage::Format_RGB32));
    }
    return frames;
}
