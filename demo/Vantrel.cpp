#include "Vantrel.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace Vantrel {
namespace {

TVantrel* gInstance = nullptr;

constexpr const char* CapacityText = "You have reached the maximum recording capacity !\rRecording has stopped.";
constexpr const char* NoContainerText =
    "The specified Quillpage file is corrupted or could not be found.\rIf this keeps occuring, contact your vendor.";
constexpr const char* NoEntryText =
    "The requested Quillpage entry could not be found.\rIf this problem keeps occuring, contact your vendor.";

// Identity texts hold at most 39 and 79 characters.
std::string Cut(std::string s, std::size_t n)
{
    if (s.size() > n) s.resize(n);
    return s;
}

}  // namespace

TVantrel::TVantrel(IRecorderHost& host, IWindowServices& windows)
    : host_(host), windows_(windows), alive_(std::make_shared<bool>(true))
{
    if (gInstance) throw Exception("Only one instance of TVantrel is allowed at once.");
    gInstance = this;
}

TVantrel::~TVantrel()
{
    // No hook, timer or hidden cursor may outlive the component.
    try {
        if (state_ & vsRecording) EndRecording(false);
    } catch (...) {
        // A failed save has nobody left to tell.
    }
    if (state_ & vsPlaying) EndPlayback(true);
    *alive_ = false;
    gInstance = nullptr;
}

TVantrel* TVantrel::Instance() { return gInstance; }

// --- Properties --------------------------------------------------------------

void TVantrel::SetMacroName(const std::string& name)
{
    if (state_ != vsIdle && state_ != vsNoName) return;
    if (name.empty()) {
        macroName_.clear();
        state_ = vsNoName;
    } else if (name != macroName_) {
        macroName_ = name;
        state_ = vsIdle;
    }
}

void TVantrel::SetPlaySpeed(int speed)
{
    const int p = std::clamp(speed, 1, 9);
    timeFactor_ = p <= 5 ? 5.0f / static_cast<float>(p) : static_cast<float>(10 - p) * 0.2f;
}

int TVantrel::PlaySpeed() const
{
    const double f = timeFactor_;
    if (f >= 1.0) return static_cast<int>(5.0 / f);
    return 10 - static_cast<int>(5.0 * f);
}

void TVantrel::SetQGFilename(const std::string& name)
{
    qgFilename_ = name.empty() ? std::string() : ChangeFileExt(name, ".qgf");
}

// --- Events --------------------------------------------------------------------
// Each event is fired once the pending messages have run, never nested in the caller.

void TVantrel::Fire(const TVantrelEvent& event)
{
    if (!event) return;
    host_.Defer([alive = alive_, this, event] {
        if (*alive) event(*this);
    });
}

void TVantrel::FireHelp(const TQGNotifyEvent& event)
{
    if (!event) return;
    host_.Defer([alive = alive_, this, event, id = helpId_] {
        if (*alive) event(*this, id);
    });
}

void TVantrel::DoBeforePlay()
{
    state_ = vsPlaying;
    Fire(BeforePlay);
}
void TVantrel::DoPlay() { Fire(OnPlay); }
void TVantrel::DoPlayEnded()
{
    if (LoopPlayback) {
        RestartPlayback();
        return;
    }
    EndPlayback(false);
}
void TVantrel::DoPlayCancelled() { EndPlayback(true); }
void TVantrel::DoBeforeRecord()
{
    state_ = static_cast<uint8_t>((state_ & ~0x11) | vsRecording);
    Fire(BeforeRecord);
}
void TVantrel::DoRecord()
{
    if (LockCursor) host_.ConfineCursor(true);
    Fire(OnRecord);
}
void TVantrel::DoRecordEnded() { EndRecording(false); }
void TVantrel::DoRecordCancelled() { EndRecording(true); }
void TVantrel::DoShowInfoBox()
{
    state_ |= vsInfoBox;
    Fire(OnShowInfoBox);
}
void TVantrel::DoCloseInfoBox()
{
    state_ &= static_cast<uint8_t>(~vsInfoBox);
    Fire(OnCloseInfoBox);
}
void TVantrel::DoBeforeQuillpage()
{
    state_ = vsHelpPlaying;
    FireHelp(BeforeQuillpage);
}
void TVantrel::DoQuillpage() { FireHelp(OnQuillpage); }
void TVantrel::DoQuillpageEnded() { FireHelp(OnQuillpageEnded); }
void TVantrel::DoQuillpageCancelled() { FireHelp(OnQuillpageCancelled); }
void TVantrel::DoProgress(int percent)
{
    if (OnProgress) OnProgress(percent);
}

// --- Recording -----------------------------------------------------------------

void TVantrel::RecordMacro()
{
    if (state_ != vsIdle) return;
    DoBeforeRecord();
    try {
        events_.assign(MaxMacroRecords, TEventMsg{});
        identities_.assign(MaxMacroRecords, TWindowIdentity{});
    } catch (...) {
        events_.clear();
        identities_.clear();
        state_ = vsIdle;
        throw;
    }
    count_ = 0;
    startTick_ = host_.TickCount();
    host_.StartRecording();
    DoRecord();
}

void TVantrel::StopMacro()
{
    if (state_ & vsRecording) DoRecordEnded();
}

void TVantrel::JournalRecord(TEventMsg e)
{
    if (!(state_ & vsRecording)) return;
    Guard([&] {
        e.time = static_cast<int32_t>(static_cast<uint32_t>(e.time) - startTick_);
        events_[static_cast<std::size_t>(count_)] = e;
        identities_[static_cast<std::size_t>(count_)] = BuildIdentity(host_.CursorPos());
        if (count_ == MaxRecordedEvents) {
            host_.Beep();
            StopMacro();
            host_.ShowWarning(CapacityText);
        } else {
            ++count_;
        }
    });
}

TWindowIdentity TVantrel::BuildIdentity(TScreenPoint cursor)
{
    TWindowIdentity id;
    const THandle w = windows_.WindowAt(cursor);
    if (!w) return id;
    SetText(id.className, Cut(windows_.ClassName(w), 39));
    SetText(id.windowText, Cut(windows_.Text(w), 79));
    TScreenPoint origin;
    if (windows_.Origin(w, origin)) {
        id.originX = origin.x;
        id.originY = origin.y;
    }
    const THandle parent = windows_.Parent(w);
    TScreenPoint parentOrigin;
    if (parent) {
        SetText(id.parentClassName, Cut(windows_.ClassName(parent), 39));
        SetText(id.parentText, Cut(windows_.Text(parent), 79));
        if (windows_.Origin(parent, parentOrigin)) {
            id.parentOriginX = parentOrigin.x;
            id.parentOriginY = parentOrigin.y;
        }
    }
    if (windows_.IsControl(w)) {
        id.ownerTag = windows_.Tag(w);
        if (const THandle child = windows_.ControlAt(w, cursor)) {
            id.childTag = windows_.Tag(child);
            TScreenPoint c;
            if (windows_.Origin(child, c)) {
                id.originX = c.x;
                id.originY = c.y;
            }
        }
    } else if (parent && windows_.IsControl(parent)) {
        id.originX = id.parentOriginX;
        id.originY = id.parentOriginY;
    }
    return id;
}

void TVantrel::EndRecording(bool cancelled)
{
    if (!(state_ & vsRecording)) return;
    host_.StopRecording();
    host_.ConfineCursor(false);
    state_ = vsIdle;
    std::vector<TEventMsg> events;
    std::vector<TWindowIdentity> identities;
    events.swap(events_);
    identities.swap(identities_);
    TMacroFile file(macroName_);
    file.OnProgress = [this](int percent) { DoProgress(percent); };
    file.SaveMacro(events, identities, count_);
    count_ = 0;
    Fire(cancelled ? OnRecordCancelled : OnRecordEnded);
}

// --- Playing -----------------------------------------------------------------

void TVantrel::PlayMacro()
{
    if (state_ != vsIdle) return;
    DoBeforePlay();
    try {
        if (!FileExists(macroName_)) throw ENoSuchMacro("File not found: " + macroName_);
        TMacroFile file(macroName_);
        file.OnProgress = [this](int percent) { DoProgress(percent); };
        file.OpenMacro();
        count_ = file.EventCount();
        events_.assign(static_cast<std::size_t>(count_), TEventMsg{});
        identities_.assign(static_cast<std::size_t>(count_), TWindowIdentity{});
        file.LoadMacro(events_, identities_, count_);
        PreparePlayback();
    } catch (...) {
        events_.clear();
        identities_.clear();
        count_ = 0;
        state_ = vsIdle;
        throw;
    }
}

void TVantrel::PlayQuillpage(int id)
{
    if (state_ != vsIdle && state_ != vsNoName) return;
    if (qgFilename_.empty()) throw ENoSuchQGFile("No QGFilename specified !");
    helpId_ = id;
    helpStartState_ = state_;
    DoBeforeQuillpage();
    try {
        TQGFile file(qgFilename_);
        file.OnProgress = [this](int percent) { DoProgress(percent); };
        file.LoadEntry(id, events_, count_, identities_);
        PreparePlayback();
    } catch (...) {
        events_.clear();
        identities_.clear();
        count_ = 0;
        state_ = helpStartState_;   // a failed help play leaves the component as it was
        throw;
    }
}

bool TVantrel::CommandMessage(int32_t wParam, int32_t lParam)
{
    if ((state_ & (vsRecording | vsPlaying)) || lParam != 0 || wParam > -1000) return false;
    host_.BringOwnerToFront();
    try {
        PlayQuillpage(wParam);
    } catch (const ENoSuchQGFile&) {
        host_.Beep();
        host_.ShowError(NoContainerText);
    } catch (const ENoSuchMacro&) {
        host_.Beep();
        host_.ShowError(NoEntryText);
    }
    return true;
}

int64_t TVantrel::ScaledTime(int32_t time, float factor)
{
    return static_cast<int64_t>(std::nearbyint(static_cast<double>(time) * static_cast<double>(factor)));
}

void TVantrel::RemoveEvents(std::vector<TEventMsg>& events, std::vector<TWindowIdentity>& identities,
                            const std::function<bool(const TEventMsg&)>& drop)
{
    int64_t shift = 0;
    std::size_t kept = 0;
    int32_t previous = 0;   // the shifted time of the event before
    for (std::size_t i = 0; i < events.size(); ++i) {
        TEventMsg e = events[i];
        const bool removed = drop(e);
        if (removed) shift = int64_t{e.time} - (i == 0 ? 0 : previous);
        e.time = static_cast<int32_t>(e.time - shift);
        previous = e.time;
        if (!removed) {
            events[kept] = e;
            if (kept != i) identities[kept] = identities[i];
            ++kept;
        }
    }
    events.resize(kept);
    identities.resize(std::min(identities.size(), kept));
}

void TVantrel::PreparePlayback()
{
    events_.resize(static_cast<std::size_t>(count_));
    identities_.resize(static_cast<std::size_t>(count_));
    if (!ShowMouseMovements && !TextOnly) {
        RemoveEvents(events_, identities_, [](const TEventMsg& e) { return e.message == WM_MOUSEMOVE; });
        host_.SetCursorHidden(true);
        cursorHidden_ = true;
    }
    if (TextOnly) RemoveEvents(events_, identities_, [](const TEventMsg& e) { return !IsKeyMessage(e.message); });
    count_ = static_cast<int>(events_.size());
    windowList_.clear();
    if (RelativeJournaling && !TextOnly) BuildWindowList();
    if (count_ == 0) {
        const bool help = state_ == vsHelpPlaying;
        if (help) {
            EndPlayback(false);
        } else {
            DoPlayEnded();   // with LoopPlayback a restart: BeforePlay and OnPlay once more
            if (state_ & vsPlaying) EndPlayback(false);
        }
        return;
    }
    host_.StartPlayback();
    StartPass();
}

void TVantrel::StartPass()
{
    position_ = 0;
    buttonsHeld_ = 0;
    waitingSince_.reset();
    startTick_ = host_.TickCount();
    if (state_ == vsHelpPlaying) DoQuillpage();
    else DoPlay();
    if (count_ > 0) host_.ScheduleIn(0);   // the first event of a pass plays at once
}

void TVantrel::RestartPlayback()
{
    if (!(state_ & vsPlaying)) return;
    DoBeforePlay();
    StartPass();
}

void TVantrel::ScheduleCurrent()
{
    const int64_t due = int64_t{startTick_} + ScaledTime(events_[static_cast<std::size_t>(position_)].time, timeFactor_);
    const int64_t wait = due - int64_t{host_.TickCount()};
    // Tick counts wrap; a wait is never longer than the recording allows.
    host_.ScheduleIn(static_cast<int>(std::clamp<int64_t>(wait, 0, INT32_MAX)));
}

void TVantrel::PlayNext()
{
    if (!(state_ & vsPlaying) || position_ >= count_) return;
    Guard([&] {
        const auto i = static_cast<std::size_t>(position_);
        TEventMsg e = events_[i];
        // Re-aimed from the recorded values each time, just before it plays, when the windows
        // the previous events opened are up.
        if (RelativeJournaling && !TextOnly && IsMouseMessage(e.message)) {
            const uint32_t now = host_.TickCount();
            const bool mayWait = !waitingSince_ || now - *waitingSince_ < static_cast<uint32_t>(WindowWaitMs);
            if (!AimMouse(e, identities_[i], mayWait)) {
                if (!waitingSince_) waitingSince_ = now;
                host_.ScheduleIn(WindowPollMs);
                return;
            }
            if (waitingSince_) {
                startTick_ += now - *waitingSince_;
                waitingSince_.reset();
            }
        }
        host_.Inject(e);
        if (!(state_ & vsPlaying)) return;
        ++position_;
        if (position_ >= count_) DoPlayEnded();
        else ScheduleCurrent();
    });
}

void TVantrel::CancelKey(TCancelKey key)
{
    Guard([&] {
        if (state_ & vsRecording) {
            if (key == TCancelKey::CtrlEsc) {
                host_.Beep();
                DoRecordCancelled();
            } else {
                DoRecordEnded();
            }
        } else if (state_ & vsPlaying) {
            if (key == TCancelKey::CtrlEsc) host_.Beep();
            DoPlayCancelled();
        }
    });
}

void TVantrel::EndPlayback(bool cancelled)
{
    const bool help = state_ == vsHelpPlaying;
    host_.CancelSchedule();
    host_.StopPlayback();
    events_.clear();
    identities_.clear();
    count_ = 0;
    position_ = 0;
    waitingSince_.reset();
    if (cursorHidden_) {
        host_.SetCursorHidden(false);
        cursorHidden_ = false;
    }
    windowList_.clear();
    state_ = help ? helpStartState_ : uint8_t{vsIdle};
    if (help) {
        if (cancelled) DoQuillpageCancelled();
        else DoQuillpageEnded();
    } else {
        Fire(cancelled ? OnPlayCancelled : OnPlayEnded);
    }
}

// --- Re-aiming -----------------------------------------------------------------

bool TVantrel::BuildWindowList()
{
    std::unordered_set<THandle> listed;
    for (const auto& entry : windowList_) listed.insert(entry.window);
    auto add = [&](const std::vector<THandle>& found) {
        for (THandle w : found) {
            if (!w || !listed.insert(w).second) continue;
            windowList_.push_back({w, Cut(windows_.ClassName(w), 39), Cut(windows_.Text(w), 79),
                                   windows_.IsControl(w) ? windows_.Tag(w) : 0});
        }
    };
    std::vector<THandle> top;
    if (!windows_.TopLevelWindows(top)) {
        windowList_.clear();
        return false;
    }
    add(top);
    for (THandle w : top) {
        std::vector<THandle> children;
        if (!windows_.ChildWindows(w, children)) {
            windowList_.clear();
            return false;
        }
        add(children);
    }
    return true;
}

void TVantrel::PruneWindowList()
{
    std::erase_if(windowList_, [this](const TWindowEntry& e) { return !windows_.Exists(e.window); });
}

int TVantrel::FindRecordedWindow(const TWindowIdentity& id)
{
    const std::string className = GetText(id.className);
    const std::string parentClass = GetText(id.parentClassName);
    const std::string text = GetText(id.windowText);
    for (std::size_t i = 0; i < windowList_.size(); ++i) {
        const TWindowEntry& entry = windowList_[i];
        if (entry.className != className) continue;
        const bool control = windows_.IsControl(entry.window);
        if (control && id.ownerTag != 0) {
            if (entry.tag == id.ownerTag) return static_cast<int>(i);
            continue;
        }
        const THandle parent = windows_.Parent(entry.window);
        const std::string entryParentClass = parent ? Cut(windows_.ClassName(parent), 39) : std::string();
        if (entryParentClass != parentClass) continue;
        if (!control) {
            if (parent && windows_.IsControl(parent)) {
                for (std::size_t j = 0; j < windowList_.size(); ++j)
                    if (windowList_[j].window == parent) return static_cast<int>(j);
            }
            return -2;
        }
        if (entry.text == text) return static_cast<int>(i);
    }
    return -1;
}

bool TVantrel::ReAim(TEventMsg& e, const TWindowIdentity& id)
{
    PruneWindowList();
    int found = FindRecordedWindow(id);
    if (found == -1) {
        if (!BuildWindowList()) return true;
        found = FindRecordedWindow(id);
    }
    // Recorded over no window at all, or over one the list cannot tell (-2): as recorded.
    if (found == -1) return GetText(id.className).empty();
    if (found < 0) return true;
    const THandle w = windowList_[static_cast<std::size_t>(found)].window;
    TScreenPoint origin;
    bool known = false;
    if (id.childTag != 0) {
        if (const THandle child = windows_.ChildWithTag(w, id.childTag)) known = windows_.Origin(child, origin);
    }
    if (!known && !windows_.Origin(w, origin)) return true;
    e.paramL = static_cast<uint32_t>(static_cast<int32_t>(e.paramL) + (origin.x - id.originX));
    e.paramH = static_cast<uint32_t>(static_cast<int32_t>(e.paramH) + (origin.y - id.originY));
    return true;
}

// A press is aimed at its own window; the moves and the release that follow it, while a button
// is held, keep their distance from the press whatever window the cursor was over (a popup the
// press opened, placed by its own rules). Only a press waits for its window: moves and releases
// act on no window by themselves.
bool TVantrel::AimMouse(TEventMsg& e, const TWindowIdentity& id, bool mayWait)
{
    const bool down = e.message == WM_LBUTTONDOWN || e.message == WM_RBUTTONDOWN || e.message == WM_MBUTTONDOWN;
    const bool up = e.message == WM_LBUTTONUP || e.message == WM_RBUTTONUP || e.message == WM_MBUTTONUP;
    if (buttonsHeld_ > 0 && e.message != WM_MOUSEWHEEL) {
        e.paramL = static_cast<uint32_t>(static_cast<int32_t>(e.paramL) + heldShiftX_);
        e.paramH = static_cast<uint32_t>(static_cast<int32_t>(e.paramH) + heldShiftY_);
        if (down) ++buttonsHeld_;
        if (up) --buttonsHeld_;
        return true;
    }
    const TEventMsg recorded = e;
    if (!ReAim(e, id) && down && mayWait) return false;
    if (!down) return true;
    heldShiftX_ = static_cast<int32_t>(e.paramL) - static_cast<int32_t>(recorded.paramL);
    heldShiftY_ = static_cast<int32_t>(e.paramH) - static_cast<int32_t>(recorded.paramH);
    buttonsHeld_ = 1;
    return true;
}

// Errors met while handling input or the playback timer end the operation and are shown;
// they never reach the event loop.
template <class F>
void TVantrel::Guard(F&& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        if (state_ & vsRecording) {
            try {
                EndRecording(true);
            } catch (...) {
            }
        }
        if (state_ & vsPlaying) EndPlayback(true);
        host_.ShowError(e.what());
    }
}

}  // namespace Vantrel
