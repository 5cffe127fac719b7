// The recorder in the running program: TVantrel over the input journal and the window layer,
// owned by a form.
#pragma once

#include "demo/Vantrel.h"
#include "platform/input/InputJournal.h"
#include "platform/ui/WindowIdentity.h"

#include <QObject>
#include <QPointer>
#include <memory>

class TForm;

namespace Vantrel {

class TQtRecorderHost : public QObject, public IRecorderHost, public IWindowServices {
public:
    explicit TQtRecorderHost(TForm* owner);
    ~TQtRecorderHost() override;

    void Attach(TVantrel* component);   // the component the journal reports to
    TInputJournal& Journal() { return journal_; }
    // Called when a recording or a playback begins or ends (the journal's new mode).
    std::function<void(TInputJournal::TMode)> OnModeChanged;

    // IRecorderHost
    uint32_t TickCount() override { return journal_.TickCount(); }
    TScreenPoint CursorPos() override;
    void StartRecording() override;
    void StopRecording() override;
    void StartPlayback() override;
    void StopPlayback() override;
    void ScheduleIn(int ms) override;
    void CancelSchedule() override { journal_.CancelSchedule(); }
    void Inject(const TEventMsg& e) override;
    void Defer(std::function<void()> work) override;
    void Beep() override;
    void ShowWarning(const std::string& text) override;
    void ShowError(const std::string& text) override;
    void SetCursorHidden(bool hidden) override { journal_.SetCursorHidden(hidden); }
    void ConfineCursor(bool on) override { confine_ = on; }
    void BringOwnerToFront() override;

    // IWindowServices
    THandle WindowAt(TScreenPoint p) override { return windows_.WindowAt(p.x, p.y); }
    std::string ClassName(THandle w) override { return windows_.ClassName(w); }
    std::string Text(THandle w) override { return windows_.Text(w); }
    bool Origin(THandle w, TScreenPoint& o) override { return windows_.Origin(w, o.x, o.y); }
    THandle Parent(THandle w) override { return windows_.Parent(w); }
    bool IsControl(THandle w) override { return TWindowServices::Widget(w) != nullptr; }
    int32_t Tag(THandle w) override { return windows_.Tag(w); }
    THandle ControlAt(THandle c, TScreenPoint p) override { return windows_.ControlAt(c, p.x, p.y); }
    THandle ChildWithTag(THandle c, int32_t tag) override { return windows_.ChildWithTag(c, tag); }
    bool Exists(THandle w) override { return windows_.Exists(w); }
    bool TopLevelWindows(std::vector<THandle>& out) override;
    bool ChildWindows(THandle w, std::vector<THandle>& out) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetMode(TInputJournal::TMode mode);

    QPointer<TForm> owner_;
    TInputJournal journal_;
    TWindowServices windows_;
    TVantrel* component_ = nullptr;
    bool confine_ = false;
    bool starting_ = false;
};

// The component as a form owns it: `Vantrel1` of the main window.
class TQtVantrel {
public:
    explicit TQtVantrel(TForm* owner);
    ~TQtVantrel();
    TVantrel& Component() { return *component_; }
    TQtRecorderHost& Host() { return *host_; }

private:
    std::unique_ptr<TQtRecorderHost> host_;
    std::unique_ptr<TVantrel> component_;
};

}  // namespace Vantrel
