#include "RpxText.h"

#include <cstdint>

namespace {

// 0x80..0x9F of Windows-1252; 0 marks the undefined bytes.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

} // namespace

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t NextUtf8(std::string_view s, size_t& i)
{
    const auto b = static_cast<unsigned char>(s[i]);
    const int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= s.size()) {
        ++i;
        return kUtf8Damaged;
    }
    char32_t c = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const auto n = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
        if ((n & 0xC0) != 0x80) {
            ++i;
            return kUtf8Damaged;
        }
        c = (c << 6) | (n & 0x3F);
    }
    i += static_cast<size_t>(extra) + 1;
    return c;
}

int CharToCp1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] && kHigh[i] == c) return 0x80 + i;
    if (c >= 0x80 && c < 0xA0 && !kHigh[c - 0x80]) return static_cast<int>(c);
    return -1;
}

char32_t Cp1252ToChar(uint8_t b) { return b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] ? kHigh[b - 0x80] : b; }

std::string Utf8ToCp1252(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const char32_t c = NextUtf8(s, i);
        const int b = c == kUtf8Damaged ? -1 : CharToCp1252(c);
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (char ch : s) AppendUtf8(out, Cp1252ToChar(static_cast<unsigned char>(ch)));
    return out;
}
