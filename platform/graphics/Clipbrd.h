// Clipboard formats for pictures: formats registered by name, the picture classes that read a
// format, and the data a picture puts on or takes from the clipboard (one block of bytes per
// format, as the system clipboard holds them).
#pragma once

#include "platform/graphics/Graphics.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

using TClipboardFormat = uint32_t;
constexpr TClipboardFormat CF_BITMAP = 2;  // a bitmap file (BMP) in this data

// The format registered under name (the same number for the same name, from 0xC000 up).
TClipboardFormat RegisterClipboardFormat(const std::string& name);
// The name of a registered format; "" for another.
std::string ClipboardFormatName(TClipboardFormat format);

// What is on the clipboard: bytes per format.
struct TClipboardData {
    std::map<TClipboardFormat, std::vector<uint8_t>> Formats;
    bool HasFormat(TClipboardFormat f) const { return Formats.count(f) != 0; }
};

// Picture classes by clipboard format; a later registration of a format wins.
void RegisterPictureClipboardFormat(TClipboardFormat format, TGraphicClass cls, TGraphicFactory factory);
void UnregisterPictureClipboardFormats(TGraphicClass cls);
bool SupportsPictureClipboardFormat(TClipboardFormat format);
// A new graphic for the format, or null when no class reads it.
std::unique_ptr<TGraphic> CreateGraphicForClipboardFormat(TClipboardFormat format);
