// Keys both ways between Qt and the virtual-key codes that recorded key events carry, with the
// text a played key types under the modifiers held (a US keyboard's layout).
#pragma once

#include <QString>
#include <Qt>
#include <cstdint>

// Virtual-key codes of the keys that are not letters or digits.
enum : uint8_t {
    VK_CANCEL = 0x03,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_DELETE = 0x2E,
    VK_NUMPAD0 = 0x60,
    VK_F1 = 0x70,
};

// The key a key event stands for: its Qt key, or for a key that Qt leaves without a code (0)
// the key of its native key symbol. An X server sends Ctrl+Pause as the Break symbol, which
// Qt does not map: it is the cancel key (VK_CANCEL).
int KeyOfEvent(int qtKey, quint32 nativeVirtualKey);

// The virtual key of a Qt key (keypad keys carry Qt::KeypadModifier); 0 when it has none.
uint8_t VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);

// A virtual key as Qt gives it with these modifiers: the key code, and the text it types
// (none while Ctrl or Alt is held). Keypad keys add Qt::KeypadModifier to `keypad`.
struct TQtKey {
    int key = 0;   // 0: no such key
    QString text;
    bool keypad = false;
};
TQtKey QtKeyOf(uint8_t vk, Qt::KeyboardModifiers modifiers);
