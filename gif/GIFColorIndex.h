// Up to 256 colours in order of first appearance, indexed through a hash of their 24-bit values,
// so that turning a frame's pixels into indexes does not search the table for every pixel.
// Shared by the GIF writer and the picture library's bitmap import.
#pragma once

#include <array>
#include <cstdint>

namespace GIFImg {

struct TGIFColorIndex {
    std::array<uint8_t, 256 * 3> rgb{};  // red, green, blue per entry
    int count = 0;
    bool overflowed = false;                  // a 257th colour was met
    static constexpr uint32_t kSlots = 1024;  // open addressing, at most a quarter full
    std::array<int32_t, kSlots> keys;         // colour 0xRRGGBB, or -1 when empty
    std::array<uint8_t, kSlots> indexes{};
    TGIFColorIndex() { keys.fill(-1); }
    void Clear()
    {
        count = 0;
        overflowed = false;
        keys.fill(-1);
    }
    // The colour's index, appended when new; -1 when the table is full.
    int IndexOf(uint8_t r, uint8_t g, uint8_t b)
    {
        const int32_t key = (r << 16) | (g << 8) | b;
        uint32_t slot = (static_cast<uint32_t>(key) * 2654435761u) >> 22;
        while (keys[slot] != -1) {
            if (keys[slot] == key) return indexes[slot];
            slot = (slot + 1) & (kSlots - 1);
        }
        if (count == 256) return -1;
        keys[slot] = key;
        indexes[slot] = static_cast<uint8_t>(count);
        rgb[3 * count] = r;
        rgb[3 * count + 1] = g;
        rgb[3 * count + 2] = b;
        return count++;
    }
};

} // namespace GIFImg
