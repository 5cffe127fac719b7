// The two records a demonstration is made of, and their little-endian file layout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Vantrel {

// One journal event (20 bytes in a file).
struct TEventMsg {
    uint32_t message = 0;   // WM_KEYDOWN, WM_MOUSEMOVE, ...
    uint32_t paramL = 0;    // mouse: screen x; keys: virtual key and scan code
    uint32_t paramH = 0;    // mouse: screen y; keys: repeat count and flags
    int32_t time = 0;       // milliseconds since the recording started
    uint32_t hwnd = 0;      // window handle as recorded; not used on playback

    friend bool operator==(const TEventMsg&, const TEventMsg&) = default;
};

// The window an event was aimed at (272 bytes in a file). Texts are zero-terminated; the last
// byte of every text array is always zero, so a text holds at most 40 or 80 characters.
struct TWindowIdentity {
    char className[41] = {};        // window under the cursor (at most 39 characters recorded)
    char windowText[81] = {};       // its text (at most 79)
    int32_t ownerTag = 0;           // Tag of the application's control owning that window, or 0
    int32_t childTag = 0;           // Tag of that control's child under the cursor, or 0
    int32_t originX = 0;            // screen position of the window (or child, or parent)
    int32_t originY = 0;
    char parentClassName[41] = {};  // the window's parent or owner; empty when none
    char parentText[81] = {};
    int32_t parentOriginX = 0;
    int32_t parentOriginY = 0;

    friend bool operator==(const TWindowIdentity&, const TWindowIdentity&) = default;
};

inline constexpr int EventRecordSize = 20;
inline constexpr int IdentityRecordSize = 272;
inline constexpr int MacroRecordSize = EventRecordSize + IdentityRecordSize;   // 292
// The most records a macro or a container entry holds.
inline constexpr int MaxMacroRecords = 100001;

void StoreEvent(const TEventMsg& e, uint8_t* out);            // writes 20 bytes
TEventMsg LoadEvent(const uint8_t* in);                        // reads 20 bytes
void StoreIdentity(const TWindowIdentity& w, uint8_t* out);   // writes 272 bytes, padding zero
TWindowIdentity LoadIdentity(const uint8_t* in);               // reads 272 bytes

// Sets a text array, cutting the value to fit (the last byte stays zero).
template <std::size_t N>
void SetText(char (&field)[N], std::string_view value)
{
    const std::size_t n = value.size() < N - 1 ? value.size() : N - 1;
    for (std::size_t i = 0; i < N; ++i) field[i] = i < n ? value[i] : '\0';
}
template <std::size_t N>
std::string GetText(const char (&field)[N])
{
    std::size_t n = 0;
    while (n < N && field[n] != '\0') ++n;
    return std::string(field, n);
}

}  // namespace Vantrel
