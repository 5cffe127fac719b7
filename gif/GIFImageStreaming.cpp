#include "gif/GIFImageStreaming.h"

#include "gif/GIFImage.h"

namespace GIFImage {

void DefineProperties(TGIFImage& control, TFiler& filer)
{
    filer.BinaryData(
        "Data", [&control] { return control.HasData(); }, [&control](TStream& s) { control.ReadData(s); },
        [&control](TStream& s) { control.WriteData(s); });
}

}  // namespace GIFImage
