// The registry of clipboard formats and of the picture classes that read them.
#include "platform/graphics/Clipbrd.h"

#include <mutex>

namespace {
struct PictureFormat {
    TClipboardFormat format;
    TGraphicClass cls;
    TGraphicFactory factory;
};

struct Registry {
    std::mutex lock;
    std::vector<std::string> names;  // format 0xC000 + i
    std::vector<PictureFormat> pictures;
};

Registry& TheRegistry()
{
    static Registry r;
    return r;
}

constexpr TClipboardFormat kFirstRegistered = 0xC000;
} // namespace

TClipboardFormat RegisterClipboardFormat(const std::string& name)
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    for (size_t i = 0; i < r.names.size(); ++i)
        if (SameText(r.names[i], name)) return kFirstRegistered + static_cast<TClipboardFormat>(i);
    r.names.push_back(name);
    return kFirstRegistered + static_cast<TClipboardFormat>(r.names.size() - 1);
}

std::string ClipboardFormatName(TClipboardFormat format)
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    if (format < kFirstRegistered || format - kFirstRegistered >= r.names.size()) return {};
    return r.names[format - kFirstRegistered];
}

void RegisterPictureClipboardFormat(TClipboardFormat format, TGraphicClass cls, TGraphicFactory factory)
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    r.pictures.push_back({format, cls, std::move(factory)});
}

void UnregisterPictureClipboardFormats(TGraphicClass cls)
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    std::erase_if(r.pictures, [&](const PictureFormat& p) { return p.cls == cls; });
}

bool SupportsPictureClipboardFormat(TClipboardFormat format)
{
    if (format == CF_BITMAP) return true;
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    for (const PictureFormat& p : r.pictures)
        if (p.format == format) return true;
    return false;
}

std::unique_ptr<TGraphic> CreateGraphicForClipboardFormat(TClipboardFormat format)
{
    TGraphicFactory factory;
    {
        Registry& r = TheRegistry();
        std::lock_guard<std::mutex> g(r.lock);
        for (auto it = r.pictures.rbegin(); it != r.pictures.rend(); ++it)
            if (it->format == format) {
                factory = it->factory;
                break;
            }
    }
    if (factory) return factory();
    if (format == CF_BITMAP) return std::make_unique<TBitmap>();
    return nullptr;
}
