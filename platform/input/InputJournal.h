// The program's input journal: records the real mouse and keyboard input of this program's
// windows (an X11 program sees no other input) as window messages, and plays such messages
// back as input that Qt routes exactly like real input: to popups, grabs, the focus window and
// through the modal loops of dialogs and message boxes. Played input is marked, so "real"
// means "not sent by the player". While playing, real input is swallowed except the cancel
// keys Ctrl+Esc and Ctrl+Break. A timer that keeps running inside modal loops schedules the
// playback.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWindow>
#include <QTimer>
#include <Qt>
#include <cstdint>
#include <functional>

class QInputDevice;
class QKeyEvent;
class QPointingDevice;
class QWindow;

struct TJournalEvent {
    uint32_t message = 0;   // WM_KEYDOWN, WM_LBUTTONDOWN, ...
    uint32_t paramL = 0;    // mouse: screen x; keys: virtual key | scan code << 8
    uint32_t paramH = 0;    // mouse: screen y; keys: repeat count
    uint32_t time = 0;      // tick count (ms) when it happened
};

// Sends window messages as input through Qt's window-system queue: the event reaches the
// program on the next turn of the event loop and is routed as input from the window system
// is. Buttons and modifiers follow the events sent. The journal's player marks what it sends;
// a sender without marks sends what the program takes for the user's own input (tools that
// drive the program use that).
class TInputSender {
public:
    // device: the pointer the mouse events come from (nullptr: the window system's own);
    // keyMark: or-ed into the native modifiers of key events.
    explicit TInputSender(const QPointingDevice* device = nullptr, quint32 keyMark = 0);

    void Send(const TJournalEvent& e);
    void Reset();
    QPoint LastPosition() const { return position_; }

private:
    void SendMouse(const TJournalEvent& e);
    void SendKey(const TJournalEvent& e);

    const QPointingDevice* device_;
    quint32 keyMark_;
    Qt::MouseButtons buttons_;
    Qt::KeyboardModifiers modifiers_;
    QPointer<QWindow> pressWindow_;
    QPoint position_{-1000000, -1000000};
};

class TInputJournal : public QObject {
public:
    enum class TMode { Off, Record, Play };

    TInputJournal();
    ~TInputJournal() override;

    TMode Mode() const { return mode_; }
    void SetMode(TMode mode);

    uint32_t TickCount() const;
    // Where the pointer was last seen over one of the program's windows.
    QPoint CursorPos() const { return cursor_; }

    // Real input while recording.
    std::function<void(const TJournalEvent&)> OnRecord;
    // A real cancel key while recording or playing (true: Ctrl+Break, false: Ctrl+Esc).
    std::function<void(bool ctrlBreak)> OnCancelKey;

    // Plays one event; it reaches the program on the next turn of the event loop.
    void Play(const TJournalEvent& e);
    // Forgets the buttons and modifiers that played events hold.
    void ResetPlayedState();

    // Calls OnDue after ms milliseconds; a new call replaces the pending one.
    void ScheduleIn(int ms);
    void CancelSchedule() { timer_.stop(); }
    std::function<void()> OnDue;

    void SetCursorHidden(bool hidden);

    // The event was sent by the player.
    bool IsPlayed(const QEvent* e) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Translate(const QEvent* e, TJournalEvent& out) const;
    static bool IsCancelKey(const QKeyEvent* k, bool& ctrlBreak);

    TMode mode_ = TMode::Off;
    QElapsedTimer clock_;
    QPoint cursor_;
    QTimer timer_;
    QPointingDevice* mouse_ = nullptr;
    TInputSender player_;
    bool cursorHidden_ = false;
    int pressRecordedKey_ = 0;   // a key press recorded from its shortcut check
};
