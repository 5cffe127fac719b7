// The animated GIF control in a window's component stream (gif, Qt Widgets): its "Data"
// property, the bytes of ReadData/WriteData as a binary value.
#pragma once

#include "platform/streaming/ComponentStream.h"

namespace GIFImage {

class TGIFImage;

// Defines "Data": written only when the control holds data; the reader calls Loaded after
// the whole window has been read, which shows the picture.
void DefineProperties(TGIFImage& control, TFiler& filer);

}  // namespace GIFImage
