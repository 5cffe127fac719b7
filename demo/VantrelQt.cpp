#include "demo/VantrelQt.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"

#include <QEvent>

#include <algorithm>
#include <QTimer>
#include <QWindowStateChangeEvent>

namespace Vantrel {

TQtRecorderHost::TQtRecorderHost(TForm* owner) : owner_(owner)
{
    if (owner) owner->installEventFilter(this);
}

TQtRecorderHost::~TQtRecorderHost()
{
    if (owner_) owner_->removeEventFilter(this);
}

void TQtRecorderHost::Attach(TVantrel* component)
{
    component_ = component;
    journal_.OnRecord = [this](const TJournalEvent& e) {
        if (component_) component_->JournalRecord({e.message, e.paramL, e.paramH, static_cast<int32_t>(e.time), 0});
    };
    journal_.OnCancelKey = [this](bool ctrlBreak) {
        if (component_) component_->CancelKey(ctrlBreak ? TCancelKey::CtrlBreak : TCancelKey::CtrlEsc);
    };
    journal_.OnDue = [this] {
        if (component_) component_->PlayNext();
    };
}

TScreenPoint TQtRecorderHost::CursorPos()
{
    const QPoint p = journal_.CursorPos();
    return {p.x(), p.y()};
}

void TQtRecorderHost::SetMode(TInputJournal::TMode mode)
{
    const bool changed = mode != journal_.Mode();
    journal_.SetMode(mode);
    if (changed && OnModeChanged) OnModeChanged(mode);
}

void TQtRecorderHost::StartRecording() { SetMode(TInputJournal::TMode::Record); }
void TQtRecorderHost::StopRecording() { SetMode(TInputJournal::TMode::Off); }

void TQtRecorderHost::StartPlayback()
{
    starting_ = true;
    journal_.ResetPlayedState();
    SetMode(TInputJournal::TMode::Play);
}

// A playback is mostly started by a click (a menu item, a button) whose handling Qt finishes
// after the handler returns (the menu closes, the windows change activation): the first event
// waits until that is done. Later passes of a loop start at once.
void TQtRecorderHost::ScheduleIn(int ms)
{
    constexpr int kSettleMs = 100;
    if (starting_) ms = std::max(ms, kSettleMs);
    starting_ = false;
    journal_.ScheduleIn(ms);
}

void TQtRecorderHost::StopPlayback()
{
    journal_.CancelSchedule();
    SetMode(TInputJournal::TMode::Off);
}

void TQtRecorderHost::Inject(const TEventMsg& e) { journal_.Play({e.message, e.paramL, e.paramH, 0}); }

void TQtRecorderHost::Defer(std::function<void()> work)
{
    QTimer::singleShot(0, this, [work = std::move(work)] { Guarded(work); });
}

void TQtRecorderHost::Beep() { ::Beep(); }

// Boxes wait for the event loop, so no modal loop ever runs inside the input filter.
void TQtRecorderHost::ShowWarning(const std::string& text)
{
    Defer([text] { MessageBox(text, "", MB_OK | MB_ICONWARNING); });
}

void TQtRecorderHost::ShowError(const std::string& text)
{
    Defer([text] { MessageBox(text, "", MB_OK | MB_ICONERROR); });
}

void TQtRecorderHost::BringOwnerToFront()
{
    if (!owner_) return;
    owner_->raise();
    owner_->activateWindow();
}

bool TQtRecorderHost::TopLevelWindows(std::vector<THandle>& out)
{
    windows_.TopLevelWindows(out);
    return true;
}

bool TQtRecorderHost::ChildWindows(THandle w, std::vector<THandle>& out)
{
    windows_.ChildWindows(w, out);
    return true;
}

// A form being recorded with LockCursor is not minimised. (An X11 program cannot keep the
// pointer inside its window; only this half of the lock exists here.)
bool TQtRecorderHost::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == owner_ && event->type() == QEvent::WindowStateChange && confine_ && owner_->isMinimized()) {
        QTimer::singleShot(0, owner_, [owner = owner_] {
            if (owner) owner->setWindowState(owner->windowState() & ~Qt::WindowMinimized);
        });
    }
    return false;
}

TQtVantrel::TQtVantrel(TForm* owner) : host_(std::make_unique<TQtRecorderHost>(owner))
{
    component_ = std::make_unique<TVantrel>(*host_, *host_);
    host_->Attach(component_.get());
}

TQtVantrel::~TQtVantrel()
{
    component_.reset();   // stops first, while the journal is still there
    host_->Attach(nullptr);
}

}  // namespace Vantrel
