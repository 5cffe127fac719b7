// The window messages that recorded input events carry (no Qt here, so the recorder can use it).
#pragma once

#include <cstdint>

namespace InputMessages {
enum : uint32_t {
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_KEYLAST = 0x0108,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MOUSEWHEEL = 0x020A,
};
inline bool IsMouseMessage(uint32_t m) { return m >= WM_MOUSEMOVE && m <= WM_MOUSEWHEEL; }
inline bool IsKeyMessage(uint32_t m) { return m >= WM_KEYDOWN && m <= WM_KEYLAST; }
}  // namespace InputMessages
