#include "launcher/graphics/ClipIcon.h"

#include "platform/graphics/Icon.h"

TClipboardFormat CF_ICON()
{
    static const TClipboardFormat format = RegisterClipboardFormat("Tasklander Icon");
    return format;
}

namespace {
// Registered at start, so that a picture knows icons on the clipboard.
struct TIconClipRegistration {
    TIconClipRegistration()
    {
        RegisterPictureClipboardFormat(CF_ICON(), typeid(TIcon), [] { return std::make_unique<TIcon>(); });
    }
    ~TIconClipRegistration() { UnregisterPictureClipboardFormats(typeid(TIcon)); }
};
const TIconClipRegistration kRegistration;
} // namespace
