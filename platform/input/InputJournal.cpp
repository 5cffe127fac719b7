#include "platform/input/InputJournal.h"

#include "platform/input/InputMessages.h"
#include "platform/input/KeyTable.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QWidget>
#include <qpa/qwindowsysteminterface.h>

using namespace InputMessages;

namespace {

// Played key events carry this in their native modifiers (an X server's modifier state never
// reaches bit 30), which survives into the shortcut check that Qt makes before a key press.
constexpr quint32 kPlayedKey = 0x40000000u;

bool IsMouse(QEvent::Type t)
{
    return t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease || t == QEvent::MouseMove ||
           t == QEvent::MouseButtonDblClick || t == QEvent::Wheel;
}
bool IsKey(QEvent::Type t) { return t == QEvent::KeyPress || t == QEvent::KeyRelease; }

uint32_t ButtonMessage(Qt::MouseButton b, bool down)
{
    switch (b) {
    case Qt::LeftButton: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case Qt::RightButton: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case Qt::MiddleButton: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default: return 0;
    }
}

Qt::KeyboardModifier ModifierOf(uint8_t vk)
{
    switch (vk) {
    case VK_SHIFT: case 0xA0: case 0xA1: return Qt::ShiftModifier;
    case VK_CONTROL: case 0xA2: case 0xA3: return Qt::ControlModifier;
    case VK_MENU: case 0xA4: case 0xA5: return Qt::AltModifier;
    default: return Qt::NoModifier;
    }
}

}  // namespace

TInputJournal::TInputJournal()
{
    clock_.start();
    cursor_ = QCursor::pos();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (OnDue) OnDue();
    });
    // The window system's own pointer is registered first, so that it stays the primary one
    // that real input comes from.
    (void)QPointingDevice::primaryPointingDevice();
    mouse_ = new QPointingDevice("Mastwise demo player", 0x4d57, QInputDevice::DeviceType::Mouse,
                                 QPointingDevice::PointerType::Generic,
                                 QInputDevice::Capability::Position | QInputDevice::Capability::Scroll, 1, 3,
                                 QString(), QPointingDeviceUniqueId(), this);
    QWindowSystemInterface::registerInputDevice(mouse_);
    player_ = TInputSender(mouse_, kPlayedKey);
    qApp->installEventFilter(this);
}

TInputJournal::~TInputJournal()
{
    qApp->removeEventFilter(this);
    SetCursorHidden(false);
}

void TInputJournal::SetMode(TMode mode)
{
    mode_ = mode;
    pressRecordedKey_ = 0;
}

uint32_t TInputJournal::TickCount() const { return static_cast<uint32_t>(clock_.elapsed()); }

void TInputJournal::ScheduleIn(int ms) { timer_.start(std::max(ms, 0)); }

void TInputJournal::SetCursorHidden(bool hidden)
{
    if (hidden == cursorHidden_) return;
    cursorHidden_ = hidden;
    if (hidden) QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    else QGuiApplication::restoreOverrideCursor();
}

bool TInputJournal::IsPlayed(const QEvent* e) const
{
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease || e->type() == QEvent::ShortcutOverride)
        return static_cast<const QKeyEvent*>(e)->nativeModifiers() & kPlayedKey;
    if (IsMouse(e->type())) return static_cast<const QInputEvent*>(e)->device() == mouse_;
    return false;
}

bool TInputJournal::IsCancelKey(const QKeyEvent* k, bool& ctrlBreak)
{
    if (!(k->modifiers() & Qt::ControlModifier)) return false;
    const int key = KeyOfEvent(k->key(), k->nativeVirtualKey());
    if (key == Qt::Key_Escape) {
        ctrlBreak = false;
        return true;
    }
    // Ctrl+Break: the Break key itself, or Pause with Ctrl as a keyboard without Break has it.
    if (key == Qt::Key_Pause || key == Qt::Key_Cancel) {
        ctrlBreak = true;
        return true;
    }
    return false;
}

bool TInputJournal::Translate(const QEvent* e, TJournalEvent& out) const
{
    out.time = TickCount();
    if (e->type() == QEvent::Wheel) return false;   // a wheel carries no delta in a recorded event
    if (IsMouse(e->type())) {
        const auto* m = static_cast<const QMouseEvent*>(e);
        const QPoint g = m->globalPosition().toPoint();
        out.paramL = static_cast<uint32_t>(g.x());
        out.paramH = static_cast<uint32_t>(g.y());
        switch (e->type()) {
        case QEvent::MouseMove: out.message = WM_MOUSEMOVE; break;
        case QEvent::MouseButtonPress: out.message = ButtonMessage(m->button(), true); break;
        case QEvent::MouseButtonRelease: out.message = ButtonMessage(m->button(), false); break;
        default: return false;   // double clicks come from the presses again
        }
        return out.message != 0;
    }
    const auto* k = static_cast<const QKeyEvent*>(e);
    const uint8_t vk = VirtualKeyOf(KeyOfEvent(k->key(), k->nativeVirtualKey()), k->modifiers());
    if (!vk) return false;
    const bool down = e->type() != QEvent::KeyRelease;
    const bool sys = (k->modifiers() & Qt::AltModifier) || vk == VK_MENU;
    out.message = sys ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    out.paramL = vk | (k->nativeScanCode() & 0xFFu) << 8;
    out.paramH = 1;
    return true;
}

bool TInputJournal::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    const bool shortcutCheck = t == QEvent::ShortcutOverride;
    if (!shortcutCheck && !IsMouse(t) && !IsKey(t)) return false;
    // Input reaches a window first and is then handed to its widgets: take it once, there.
    // Qt checks a key press for shortcuts (at the window first) before the window sees the
    // press itself, so presses are taken from that check (a shortcut would swallow them).
    if (!watched->isWindowType()) return false;
    // Buttons, moves and wheels all have one point.
    if (IsMouse(t)) cursor_ = static_cast<QSinglePointEvent*>(event)->globalPosition().toPoint();
    if (mode_ == TMode::Off || IsPlayed(event)) return false;

    if (shortcutCheck || IsKey(t)) {
        auto* k = static_cast<QKeyEvent*>(event);
        bool ctrlBreak = false;
        if (t != QEvent::KeyRelease && IsCancelKey(k, ctrlBreak)) {
            const int key = KeyOfEvent(k->key(), k->nativeVirtualKey());
            if (shortcutCheck) {
                event->accept();   // no shortcut of the program takes it
                pressRecordedKey_ = key;
                if (OnCancelKey) OnCancelKey(ctrlBreak);
                return true;
            }
            if (pressRecordedKey_ == key) {
                pressRecordedKey_ = 0;
                return true;
            }
            if (OnCancelKey) OnCancelKey(ctrlBreak);
            return true;
        }
    }
    if (mode_ == TMode::Play) {
        if (shortcutCheck) event->accept();   // nor does it run a shortcut
        return true;
    }

    // Recording: real input passes on.
    if (shortcutCheck) {
        TJournalEvent e;
        if (Translate(event, e) && OnRecord) OnRecord(e);
        pressRecordedKey_ = static_cast<QKeyEvent*>(event)->key();
        return false;
    }
    if (t == QEvent::KeyPress && pressRecordedKey_ == static_cast<QKeyEvent*>(event)->key()) {
        pressRecordedKey_ = 0;
        return false;
    }
    TJournalEvent e;
    if (Translate(event, e) && OnRecord) OnRecord(e);
    return false;
}

void TInputJournal::ResetPlayedState() { player_.Reset(); }

void TInputJournal::Play(const TJournalEvent& e) { player_.Send(e); }

TInputSender::TInputSender(const QPointingDevice* device, quint32 keyMark)
    : device_(device ? device : QPointingDevice::primaryPointingDevice()), keyMark_(keyMark)
{
}

void TInputSender::Reset()
{
    buttons_ = Qt::NoButton;
    modifiers_ = Qt::NoModifier;
    pressWindow_ = nullptr;
}

void TInputSender::Send(const TJournalEvent& e)
{
    if (IsMouseMessage(e.message)) SendMouse(e);
    else if (IsKeyMessage(e.message)) SendKey(e);
}

void TInputSender::SendMouse(const TJournalEvent& e)
{
    const QPoint g(static_cast<int32_t>(e.paramL), static_cast<int32_t>(e.paramH));
    QEvent::Type type = QEvent::MouseMove;
    Qt::MouseButton button = Qt::NoButton;
    switch (e.message) {
    case WM_LBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::LeftButton; break;
    case WM_LBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::LeftButton; break;
    case WM_RBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::RightButton; break;
    case WM_RBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::RightButton; break;
    case WM_MBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::MiddleButton; break;
    case WM_MBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::MiddleButton; break;
    case WM_MOUSEMOVE: break;
    default: return;
    }
    // While a button is held the window it went down in keeps the mouse, as a real grab does;
    // otherwise the window under the point takes it (Qt hands it on to an open popup).
    QWindow* window = buttons_ != Qt::NoButton && pressWindow_ ? pressWindow_.data() : QGuiApplication::topLevelAt(g);
    if (!window) {
        if (QWidget* popup = QApplication::activePopupWidget()) window = popup->windowHandle();
    }
    const Qt::MouseButtons before = buttons_;
    if (type == QEvent::MouseButtonPress) buttons_ |= button;
    if (type == QEvent::MouseButtonRelease) buttons_ &= ~button;
    if (!window) return;   // nothing of this program there
    pressWindow_ = buttons_ != Qt::NoButton ? window : nullptr;
    const QPointF local(window->mapFromGlobal(g));
    // Qt makes up a move of its own when a button changes at another place than the last
    // move: the sender moves there first.
    if (type != QEvent::MouseMove && g != position_) {
        QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
            window, device_, local, QPointF(g), before, Qt::NoButton, QEvent::MouseMove, modifiers_);
    }
    position_ = g;
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        window, device_, local, QPointF(g), buttons_, button, type, modifiers_);
}

void TInputSender::SendKey(const TJournalEvent& e)
{
    const auto vk = static_cast<uint8_t>(e.paramL & 0xFF);
    const bool down = e.message == WM_KEYDOWN || e.message == WM_SYSKEYDOWN;
    const bool up = e.message == WM_KEYUP || e.message == WM_SYSKEYUP;
    if (!down && !up) return;
    // Modifiers follow the keys sent, so Shift and A type "A".
    if (const Qt::KeyboardModifier m = ModifierOf(vk); m != Qt::NoModifier) {
        if (down) modifiers_ |= m;
        else modifiers_ &= ~m;
    }
    const TQtKey k = QtKeyOf(vk, modifiers_);
    if (!k.key) return;
    Qt::KeyboardModifiers mods = modifiers_;
    if (k.keypad) mods |= Qt::KeypadModifier;
    // Keys go to the window that has the focus when Qt takes them from its queue (a dialog
    // opened by the events before is active by then), as the keyboard's keys do. The shortcut
    // check runs then too, not here: a shortcut that opens a dialog must not run inside the
    // caller (the playback's timer).
    QWindowSystemInterface::handleExtendedKeyEvent(nullptr, down ? QEvent::KeyPress : QEvent::KeyRelease, k.key, mods, 0, 0,
                                                   keyMark_, k.text, false, 1, false);
}
