// The demo recorder and player. It records the user's input as 20-byte event records, each
// with the identity of the window under the cursor, into a macro file, and plays a macro back
// at a chosen speed, re-aiming mouse events at the windows found again by their identity.
//
// The component knows no window system: the platform hands it real input (JournalRecord,
// CancelKey), calls PlayNext when a scheduled event is due, and answers the window questions
// of IWindowServices. Everything runs on the GUI thread.
#pragma once

#include "MacroFile.h"
#include "MacroRecords.h"
#include "platform/input/InputMessages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Vantrel {

using namespace InputMessages;

// State byte.
enum : uint8_t {
    vsRecording = 0x01,
    vsPlaying = 0x02,
    vsInfoBox = 0x08,
    vsIdle = 0x10,
    vsNoName = 0x20,
    vsHelpPlaying = 0x42,
};

inline constexpr int MaxRecordedEvents = 100000;
// A button press recorded over a window that is not there when it is due waits for that
// window, looking for it every WindowPollMs, for at most WindowWaitMs; then it plays where it
// was recorded. The events after it keep their recorded distance from it.
inline constexpr int WindowWaitMs = 10000;
inline constexpr int WindowPollMs = 20;

using THandle = std::uintptr_t;   // a window; 0 is none
struct TScreenPoint {
    int32_t x = 0, y = 0;
    friend bool operator==(const TScreenPoint&, const TScreenPoint&) = default;
};

// What the recorder asks about windows. A "control" is a window of this program that has a
// Tag; every window has a class name and a text.
class IWindowServices {
public:
    virtual ~IWindowServices() = default;
    virtual THandle WindowAt(TScreenPoint p) = 0;
    virtual std::string ClassName(THandle w) = 0;
    virtual std::string Text(THandle w) = 0;
    // Top-left corner of the window in screen coordinates; false when it cannot be read.
    virtual bool Origin(THandle w, TScreenPoint& origin) = 0;
    // The parent of a child window, the owner of a top-level one; 0 when none.
    virtual THandle Parent(THandle w) = 0;
    virtual bool IsControl(THandle w) = 0;
    virtual int32_t Tag(THandle w) = 0;
    // The child control of `control` at the point (disabled ones too), 0 when none.
    virtual THandle ControlAt(THandle control, TScreenPoint p) = 0;
    // A child control of `control` whose Tag is `tag`, 0 when none.
    virtual THandle ChildWithTag(THandle control, int32_t tag) = 0;
    virtual bool Exists(THandle w) = 0;
    // Appends the top-level windows, or every descendant of a window; false on failure.
    virtual bool TopLevelWindows(std::vector<THandle>& out) = 0;
    virtual bool ChildWindows(THandle w, std::vector<THandle>& out) = 0;
};

// What the recorder asks of the platform: clock, input hooks, the playback timer, injection
// and boxes.
class IRecorderHost {
public:
    virtual ~IRecorderHost() = default;
    virtual uint32_t TickCount() = 0;   // milliseconds
    virtual TScreenPoint CursorPos() = 0;
    // Real input of the program's windows goes to JournalRecord from now on / no longer.
    virtual void StartRecording() = 0;
    virtual void StopRecording() = 0;
    // Real input is swallowed from now on (the cancel keys still reach CancelKey) / no longer.
    virtual void StartPlayback() = 0;
    virtual void StopPlayback() = 0;
    // Calls PlayNext after ms milliseconds (0: as soon as pending messages have run); a new
    // call replaces the one pending. Must keep running inside modal loops.
    virtual void ScheduleIn(int ms) = 0;
    virtual void CancelSchedule() = 0;
    // Plays one event as input, marked as played so that it is never taken for real input.
    virtual void Inject(const TEventMsg& e) = 0;
    // Runs work once the pending messages have run (never nested in the caller).
    virtual void Defer(std::function<void()> work) = 0;
    virtual void Beep() = 0;
    virtual void ShowWarning(const std::string& text) = 0;
    virtual void ShowError(const std::string& text) = 0;
    virtual void SetCursorHidden(bool hidden) = 0;
    // Keeps the cursor inside the owner form while recording; a platform may not be able to.
    virtual void ConfineCursor(bool on) = 0;
    virtual void BringOwnerToFront() = 0;
};

enum class TCancelKey { CtrlEsc, CtrlBreak };

class TVantrel;
using TVantrelEvent = std::function<void(TVantrel& sender)>;
using TQGNotifyEvent = std::function<void(TVantrel& sender, int id)>;

class TVantrel {
public:
    // Only one recorder may exist at a time: a second one raises
    // "Only one instance of TVantrel is allowed at once.".
    TVantrel(IRecorderHost& host, IWindowServices& windows);
    // Ends what runs first: a recording is stopped and saved, a playback cancelled.
    ~TVantrel();
    TVantrel(const TVantrel&) = delete;
    TVantrel& operator=(const TVantrel&) = delete;

    static TVantrel* Instance();

    // --- properties
    const std::string& MacroName() const { return macroName_; }
    void SetMacroName(const std::string& name);
    bool LoopPlayback = false;
    bool RelativeJournaling = true;
    bool TextOnly = false;
    bool ShowMouseMovements = true;
    int PlaySpeed() const;
    void SetPlaySpeed(int speed);   // 1..9 (outside values are taken as the nearest)
    float TimeFactor() const { return timeFactor_; }
    const std::string& QGFilename() const { return qgFilename_; }
    void SetQGFilename(const std::string& name);
    bool LockCursor = true;
    uint8_t State() const { return state_; }
    int HelpId() const { return helpId_; }

    TVantrelEvent BeforePlay, OnPlay, OnPlayEnded, OnPlayCancelled;
    TVantrelEvent BeforeRecord, OnRecord, OnRecordEnded, OnRecordCancelled;
    TVantrelEvent OnShowInfoBox, OnCloseInfoBox;
    TQGNotifyEvent BeforeQuillpage, OnQuillpage, OnQuillpageEnded, OnQuillpageCancelled;
    TProgressEvent OnProgress;

    // --- operations
    void PlayMacro();
    void PlayQuillpage(int id);
    void RecordMacro();
    void StopMacro();
    void RestartPlayback();
    // The owner's command message: a command of -1000 or less plays that help entry when
    // neither recording nor playing, answering a missing container or entry with its error
    // box. True when the command was taken.
    bool CommandMessage(int32_t wParam, int32_t lParam);

    // --- from the platform (never raise: an error ends the operation and shows its message)
    // A real input event; its time is the tick count when it happened.
    void JournalRecord(TEventMsg e);
    // A real cancel key.
    void CancelKey(TCancelKey key);
    // The scheduled event is due.
    void PlayNext();

    // The events of the playback under way (after removals), and its position.
    const std::vector<TEventMsg>& PlaybackEvents() const { return events_; }
    int Position() const { return position_; }

    // Scheduled time of an event of the playback: its time x the factor, halves to even.
    static int64_t ScaledTime(int32_t time, float factor);
    // Removes the events for which `drop` holds, shifting the times of the rest so that the
    // pause before a kept event counts from the last removed event before it.
    static void RemoveEvents(std::vector<TEventMsg>& events, std::vector<TWindowIdentity>& identities,
                             const std::function<bool(const TEventMsg&)>& drop);

    // Window list of the playback (for re-aiming).
    struct TWindowEntry {
        THandle window = 0;
        std::string className, text;
        int32_t tag = 0;
    };
    const std::vector<TWindowEntry>& WindowList() const { return windowList_; }
    // Index of the recorded window in the list, -1 none found, -2 give up.
    int FindRecordedWindow(const TWindowIdentity& id);
    bool BuildWindowList();
    TWindowIdentity BuildIdentity(TScreenPoint cursor);

protected:
    virtual void DoBeforePlay();
    virtual void DoPlay();
    virtual void DoPlayEnded();
    virtual void DoPlayCancelled();
    virtual void DoBeforeRecord();
    virtual void DoRecord();
    virtual void DoRecordEnded();
    virtual void DoRecordCancelled();
    virtual void DoShowInfoBox();
    virtual void DoCloseInfoBox();
    virtual void DoBeforeQuillpage();
    virtual void DoQuillpage();
    virtual void DoQuillpageEnded();
    virtual void DoQuillpageCancelled();
    virtual void DoProgress(int percent);

private:
    void Fire(const TVantrelEvent& event);
    void FireHelp(const TQGNotifyEvent& event);
    void PreparePlayback();
    void StartPass();
    void ScheduleCurrent();
    void EndPlayback(bool cancelled);
    void EndRecording(bool cancelled);
    // False when the recorded window is not there (the event is then left as recorded).
    bool ReAim(TEventMsg& e, const TWindowIdentity& id);
    // False, with nothing changed, when the event is a press whose window is not there and
    // mayWait holds.
    bool AimMouse(TEventMsg& e, const TWindowIdentity& id, bool mayWait);
    void PruneWindowList();
    template <class F>
    void Guard(F&& f);

    IRecorderHost& host_;
    IWindowServices& windows_;
    std::shared_ptr<bool> alive_;
    std::string macroName_;
    std::string qgFilename_;
    uint8_t state_ = vsNoName;
    uint8_t helpStartState_ = vsIdle;
    float timeFactor_ = 1.0f;
    int helpId_ = 0;

    std::vector<TEventMsg> events_;
    std::vector<TWindowIdentity> identities_;
    int count_ = 0;
    int position_ = 0;
    uint32_t startTick_ = 0;
    bool cursorHidden_ = false;
    std::vector<TWindowEntry> windowList_;
    // While a button is held the pointer belongs to the window that took the press: the moves
    // and the release are shifted as the press was.
    int buttonsHeld_ = 0;
    int32_t heldShiftX_ = 0, heldShiftY_ = 0;
    // Since when the current event waits for its window.
    std::optional<uint32_t> waitingSince_;
};

}  // namespace Vantrel
