// The launcher's graphics components in a window's component stream (graphics library, Qt
// Gui): the binary properties of the GIF picture ("Data") and the icon list ("Icons").
#pragma once

#include "platform/streaming/ComponentStream.h"

class TIconList;
namespace QvGIF {
class TGIFImage;
}

// "Data": ReadData/WriteData's bytes (an int32 byte count, then the GIF file), written when
// the picture is not empty.
void DefineProperties(QvGIF::TGIFImage& picture, TFiler& filer);
// "Icons": ReadIcons/WriteIcons's bytes, written when the list stores them against its
// ancestor's list (nil: none).
void DefineProperties(TIconList& icons, TFiler& filer, const TIconList* ancestor = nullptr);
