#include "launcher/graphics/ClipIcon.h"

#include "platform/graphics/Icon.h"

#include <mutex>

TClipboardFormat CF_ICON()
{
    static const TClipboardFormat format = RegisterClipboardFormat("Tasklander Icon");
    return format;
}

void RegisterIconClipboardFormat()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterPictureClipboardFormat(CF_ICON(), typeid(TIcon), [] { return std::make_unique<TIcon>(); });
    });
}
