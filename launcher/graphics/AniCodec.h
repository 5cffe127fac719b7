// The reader of animated cursor files (RIFF form "ACON"), graphics library, no Qt. It yields
// the header, the texts, the icon files and the steps; AniFile.h makes icons of them.
//
// Every chunk size, list size, count and icon image offset is checked against the bytes there
// are; anything that does not fit raises EReadError ("Stream read error").
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace QvGIF {

// The "anih" chunk: 36 bytes as stored.
struct TAniHeader {
    uint32_t HeaderSize = 0;
    uint32_t Frames = 0;       // images in the file
    uint32_t Steps = 0;        // steps of the animation
    uint32_t Width = 0, Height = 0, BitCount = 0, Planes = 0;
    uint32_t DisplayRate = 0;  // default rate, jiffies (1/60 s)
    uint32_t Flags = 0;        // bit 0: the frames are icon or cursor files; bit 1: a "seq " chunk
};

// One "icon" chunk: an icon file (a cursor's type word made 1, so that it reads as an icon).
struct TAniImage {
    std::vector<uint8_t> IconFile;
    bool IsIcon = true;     // stored as an icon, not a cursor
    int32_t Size = 0;       // size of the chunk
    int HotX = 0, HotY = 0; // a cursor's hot spot (its directory's last entry)
};

struct TAniStep {
    int Image = -1;     // index into the images
    int32_t Rate = 0;   // jiffies
    int Sequence = 0;   // the image the step shows; -1 for images beyond the header's count
};

struct TAniFile {
    TAniHeader Header;
    std::string Title, Creator;  // "INAM", "IART"
    std::vector<TAniImage> Images;
    std::vector<TAniStep> Steps;
    uint16_t FileColors = 0;  // the largest colour count (2, 16, 256) of any image; 0 for deeper
};

// Parses a whole animated cursor file into out (EReadError for a damaged one).
void ParseAnimatedCursor(std::span<const uint8_t> bytes, TAniFile& out);

} // namespace QvGIF
