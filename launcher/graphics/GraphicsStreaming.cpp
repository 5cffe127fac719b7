#include "launcher/graphics/GraphicsStreaming.h"

#include "launcher/graphics/IcoList.h"
#include "launcher/graphics/QvGIF.h"

void DefineProperties(QvGIF::TGIFImage& picture, TFiler& filer)
{
    filer.BinaryData(
        "Data", [&picture] { return !picture.Empty(); }, [&picture](TStream& s) { picture.ReadData(s); },
        [&picture](TStream& s) { picture.WriteData(s); });
}

void DefineProperties(TIconList& icons, TFiler& filer, const TIconList* ancestor)
{
    filer.BinaryData(
        "Icons", [&icons, ancestor] { return icons.StoresIcons(ancestor); },
        [&icons](TStream& s) { icons.ReadIcons(s); }, [&icons](TStream& s) { icons.WriteIcons(s); });
}
