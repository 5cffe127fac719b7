#include "platform/input/KeyTable.h"

#include <array>

namespace {

// One key: its virtual key, the Qt key and text without and with Shift.
struct TKeyRow {
    uint8_t vk;
    int key, shiftedKey;
    const char* text;
    const char* shiftedText;
};

// Letters and digits are added by the functions below; these are the rest.
constexpr TKeyRow kKeys[] = {
    {VK_CANCEL, Qt::Key_Cancel, Qt::Key_Cancel, "", ""},
    {VK_BACK, Qt::Key_Backspace, Qt::Key_Backspace, "\b", "\b"},
    {VK_TAB, Qt::Key_Tab, Qt::Key_Backtab, "\t", ""},
    {VK_RETURN, Qt::Key_Return, Qt::Key_Return, "\r", "\r"},
    {VK_SHIFT, Qt::Key_Shift, Qt::Key_Shift, "", ""},
    {VK_CONTROL, Qt::Key_Control, Qt::Key_Control, "", ""},
    {VK_MENU, Qt::Key_Alt, Qt::Key_Alt, "", ""},
    {VK_PAUSE, Qt::Key_Pause, Qt::Key_Pause, "", ""},
    {VK_CAPITAL, Qt::Key_CapsLock, Qt::Key_CapsLock, "", ""},
    {VK_ESCAPE, Qt::Key_Escape, Qt::Key_Escape, "\x1b", "\x1b"},
    {VK_SPACE, Qt::Key_Space, Qt::Key_Space, " ", " "},
    {0x21, Qt::Key_PageUp, Qt::Key_PageUp, "", ""},
    {0x22, Qt::Key_PageDown, Qt::Key_PageDown, "", ""},
    {0x23, Qt::Key_End, Qt::Key_End, "", ""},
    {0x24, Qt::Key_Home, Qt::Key_Home, "", ""},
    {0x25, Qt::Key_Left, Qt::Key_Left, "", ""},
    {0x26, Qt::Key_Up, Qt::Key_Up, "", ""},
    {0x27, Qt::Key_Right, Qt::Key_Right, "", ""},
    {0x28, Qt::Key_Down, Qt::Key_Down, "", ""},
    {0x2D, Qt::Key_Insert, Qt::Key_Insert, "", ""},
    {VK_DELETE, Qt::Key_Delete, Qt::Key_Delete, "\x7f", "\x7f"},
    {0xBA, Qt::Key_Semicolon, Qt::Key_Colon, ";", ":"},
    {0xBB, Qt::Key_Equal, Qt::Key_Plus, "=", "+"},
    {0xBC, Qt::Key_Comma, Qt::Key_Less, ",", "<"},
    {0xBD, Qt::Key_Minus, Qt::Key_Underscore, "-", "_"},
    {0xBE, Qt::Key_Period, Qt::Key_Greater, ".", ">"},
    {0xBF, Qt::Key_Slash, Qt::Key_Question, "/", "?"},
    {0xC0, Qt::Key_QuoteLeft, Qt::Key_AsciiTilde, "`", "~"},
    {0xDB, Qt::Key_BracketLeft, Qt::Key_BraceLeft, "[", "{"},
    {0xDC, Qt::Key_Backslash, Qt::Key_Bar, "\\", "|"},
    {0xDD, Qt::Key_BracketRight, Qt::Key_BraceRight, "]", "}"},
    {0xDE, Qt::Key_Apostrophe, Qt::Key_QuoteDbl, "'", "\""},
};

// Shifted digits on a US keyboard: ) ! @ # $ % ^ & * (
constexpr std::array<int, 10> kShiftedDigitKeys = {Qt::Key_ParenRight, Qt::Key_Exclam, Qt::Key_At,
                                                   Qt::Key_NumberSign, Qt::Key_Dollar, Qt::Key_Percent,
                                                   Qt::Key_AsciiCircum, Qt::Key_Ampersand, Qt::Key_Asterisk,
                                                   Qt::Key_ParenLeft};
constexpr const char* kShiftedDigits = ")!@#$%^&*(";

// Keypad keys besides the digits.
struct TPadRow {
    uint8_t vk;
    int key;
    const char* text;
};
constexpr TPadRow kPad[] = {{0x6A, Qt::Key_Asterisk, "*"}, {0x6B, Qt::Key_Plus, "+"}, {0x6D, Qt::Key_Minus, "-"},
                            {0x6E, Qt::Key_Period, "."},   {0x6F, Qt::Key_Slash, "/"},  {VK_RETURN, Qt::Key_Enter, "\r"}};

// X key symbols that Qt gives no key code.
struct TNativeRow {
    quint32 keysym;
    int key;
};
constexpr TNativeRow kNative[] = {{0xff6b, Qt::Key_Cancel}};   // Break

bool Typing(Qt::KeyboardModifiers m) { return !(m & (Qt::ControlModifier | Qt::AltModifier)); }

}  // namespace

int KeyOfEvent(int qtKey, quint32 nativeVirtualKey)
{
    if (qtKey != 0) return qtKey;
    for (const auto& n : kNative)
        if (n.keysym == nativeVirtualKey) return n.key;
    return 0;
}

uint8_t VirtualKeyOf(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<uint8_t>(VK_NUMPAD0 + (key - Qt::Key_0));
        for (const auto& p : kPad)
            if (p.key == key) return p.vk;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint8_t>(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<uint8_t>(key);
    for (int d = 0; d < 10; ++d)
        if (kShiftedDigitKeys[static_cast<std::size_t>(d)] == key) return static_cast<uint8_t>('0' + d);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<uint8_t>(VK_F1 + (key - Qt::Key_F1));
    if (key == Qt::Key_Enter) return VK_RETURN;
    for (const auto& k : kKeys)
        if (k.key == key || k.shiftedKey == key) return k.vk;
    return 0;
}

TQtKey QtKeyOf(uint8_t vk, Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool typing = Typing(modifiers);
    TQtKey out;
    if (vk >= 'A' && vk <= 'Z') {
        out.key = vk;
        if (typing) out.text = QChar(shift ? vk : vk + ('a' - 'A'));
    } else if (vk >= '0' && vk <= '9') {
        out.key = shift ? kShiftedDigitKeys[vk - '0'] : vk;
        if (typing) out.text = QChar(shift ? kShiftedDigits[vk - '0'] : static_cast<char>(vk));
    } else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) {
        out.key = Qt::Key_0 + (vk - VK_NUMPAD0);
        out.keypad = true;
        if (typing) out.text = QChar('0' + (vk - VK_NUMPAD0));
    } else if (vk >= VK_F1 && vk < VK_F1 + 24) {
        out.key = Qt::Key_F1 + (vk - VK_F1);
    } else {
        for (const auto& p : kPad)
            if (p.vk == vk && vk != VK_RETURN) {
                out.key = p.key;
                out.keypad = true;
                if (typing) out.text = QString::fromLatin1(p.text);
                return out;
            }
        for (const auto& k : kKeys)
            if (k.vk == vk) {
                out.key = shift ? k.shiftedKey : k.key;
                if (typing) out.text = QString::fromLatin1(shift ? k.shiftedText : k.text);
                return out;
            }
    }
    return out;
}
