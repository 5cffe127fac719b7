// Any bytes as a picture in a drawing record: recognised and decoded, and as a BMP file.
#include "report/output/RpxPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    TRpxRecordingDevice dev;
    if (auto picture = GraphicFromBytes(bytes)) picture->Draw(dev, {0, 0, 10, 10});
    TRpxBitmap bmp;
    bmp.LoadFromBytes(bytes);
    bmp.DesignResolution = 0;
    bmp.Draw(dev, 0, 0);
    bmp.StretchDraw(dev, {0, 0, 5, 5});
    return 0;
}
