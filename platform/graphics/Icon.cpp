// Icons read by Qt's ICO reader.
#include "platform/graphics/Icon.h"

#include <QBuffer>
#include <QImageReader>

TIcon::TIcon() { SetTransparent(true); }

void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::Draw(TCanvas& canvas, const TRect& rect)
{
    if (!Empty()) canvas.DrawImage(rect, image_, image_.rect());
}

void TIcon::LoadFromBytes(std::vector<uint8_t> bytes)
{
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QImage img = reader.read();
    if (img.isNull()) throw EInvalidGraphic("Icon image is not valid");
    image_ = img.convertToFormat(QImage::Format_ARGB32);
    bytes_ = std::move(bytes);
    Changed();
}

void TIcon::LoadFromStream(TStream& stream)
{
    const int64_t size = stream.Size() - stream.Position();
    std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(size, 0)));
    if (size > 0) stream.ReadBuffer(bytes.data(), size);
    LoadFromBytes(std::move(bytes));
}

void TIcon::SaveToStream(TStream& stream)
{
    if (!bytes_.empty()) stream.WriteBuffer(bytes_.data(), static_cast<int64_t>(bytes_.size()));
}

void TIcon::Assign(const TIcon& source)
{
    if (&source == this) return;
    bytes_ = source.bytes_;
    image_ = source.image_;
    Changed();
}
