// TPicture and the registry of picture formats by file extension.
#include "Graphics.h"

#include <QBuffer>
#include <QImageReader>

#include <filesystem>
#include <mutex>

namespace {
constexpr std::uintmax_t kMaxPictureFileSize = std::uintmax_t(256) << 20;

struct FileFormat {
    std::string ext;  // lower case, without the dot
    std::string description;
    TGraphicClass cls;
    TGraphicFactory factory;
};

struct Registry {
    std::mutex lock;
    std::vector<FileFormat> formats;  // searched from the back: the latest registration wins
    Registry() { formats.push_back({"bmp", "Bitmaps", typeid(TBitmap), [] { return std::make_unique<TBitmap>(); }}); }
};

Registry& TheRegistry()
{
    static Registry r;
    return r;
}

std::string NormalExt(std::string_view ext)
{
    if (!ext.empty() && ext.front() == '.') ext.remove_prefix(1);
    return LowerCase(ext);
}

bool QtReads(const std::string& ext)
{
    if (ext.empty()) return false;
    const QByteArray e = QByteArray::fromStdString(ext);
    return QImageReader::supportedImageFormats().contains(e);
}

[[noreturn]] void UnknownExtension(const std::string& ext)
{
    throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
}

// A picture in a format we have no class for, read by Qt into a bitmap.
std::unique_ptr<TGraphic> ReadWithQt(TStream& stream, const std::string& ext)
{
    const int64_t size = stream.Size() - stream.Position();
    QByteArray data(static_cast<qsizetype>(std::max<int64_t>(size, 0)), '\0');
    if (size > 0) stream.ReadBuffer(data.data(), size);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, QByteArray::fromStdString(ext));
    const QImage img = reader.read();
    if (img.isNull()) throw EInvalidGraphic("Invalid image");
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->AssignImage(img);
    return bitmap;
}
} // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::SetGraphic(std::unique_ptr<TGraphic> g)
{
    graphic_ = std::move(g);
    if (OnChange) OnChange(*this);
}

TBitmap& TPicture::Bitmap()
{
    if (!dynamic_cast<TBitmap*>(graphic_.get())) SetGraphic(std::make_unique<TBitmap>());
    return static_cast<TBitmap&>(*graphic_);
}

std::unique_ptr<TGraphic> TPicture::CreateGraphic(const std::string& ext)
{
    const std::string e = NormalExt(ext);
    Registry& r = TheRegistry();
    TGraphicFactory factory;
    {
        std::lock_guard<std::mutex> g(r.lock);
        for (auto it = r.formats.rbegin(); it != r.formats.rend(); ++it)
            if (it->ext == e) {
                factory = it->factory;
                break;
            }
    }
    return factory ? factory() : nullptr;
}

void TPicture::RegisterFileFormat(const std::string& ext, const std::string& description, TGraphicClass cls,
                                  TGraphicFactory factory)
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    r.formats.push_back({NormalExt(ext), description, cls, std::move(factory)});
}

void TPicture::UnregisterGraphicClass(TGraphicClass cls)
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    std::erase_if(r.formats, [&](const FileFormat& f) { return f.cls == cls; });
}

void TPicture::LoadFromStream(TStream& stream, const std::string& ext)
{
    const std::string e = NormalExt(ext);
    std::unique_ptr<TGraphic> g = CreateGraphic(e);
    if (g) {
        g->LoadFromStream(stream);
    } else {
        if (!QtReads(e)) UnknownExtension(e);
        g = ReadWithQt(stream, e);
    }
    // Only a picture that loaded replaces the one held.
    SetGraphic(std::move(g));
}

void TPicture::LoadFromFile(const std::string& fileName)
{
    const std::string e = NormalExt(ExtractFileExt(fileName));
    // The extension decides before the file is opened.
    if (!CreateGraphic(e) && !QtReads(e)) UnknownExtension(e);
    // A pipe would wait for a writer and a device may never end: only plain files are read.
    std::error_code ec;
    const auto type = std::filesystem::status(fileName, ec).type();
    if (!ec && type != std::filesystem::file_type::regular)
        throw EFOpenError("Cannot open file \"" + fileName + "\". Not a file");
    // No picture that can be decoded comes from a file this large (decoded images are limited
    // far below it), so it is refused before it is read into memory.
    if (!ec && std::filesystem::file_size(fileName, ec) > kMaxPictureFileSize && !ec)
        throw EInvalidGraphic("Picture file too large: " + fileName);
    TMemoryStream m;
    m.LoadFromFile(fileName);
    m.SetPosition(0);
    LoadFromStream(m, e);
}

void TPicture::SaveToFile(const std::string& fileName)
{
    if (graphic_) graphic_->SaveToFile(fileName);
}

std::unique_ptr<TBitmap> LoadPictureBitmap(const void* data, std::size_t size, const std::string& ext)
{
    TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<int64_t>(size));
    stream.SetPosition(0);
    TPicture picture;
    picture.LoadFromStream(stream, ext);
    if (!picture.Graphic() || picture.Graphic()->Empty()) throw EInvalidGraphic("Invalid image");
    auto bitmap = std::make_unique<TBitmap>();
    picture.Graphic()->AssignTo(*bitmap);
    return bitmap;
}
