// The main window's macro component Vantrel1: the demo recorder behind the interface the main
// window calls.
#pragma once

#include "demo/VantrelQt.h"
#include "planner/ui/MacroRecorder.h"

class TForm;

class TMacroComponent : public IMacroRecorder {
public:
    explicit TMacroComponent(TForm* owner) : recorder_(owner) {}

    void SetMacroName(const std::string& fileName) override { Component().SetMacroName(fileName); }
    void SetPlaySpeed(int speed) override { Component().SetPlaySpeed(speed); }
    bool LoopPlayback() const override { return recorder_.Component().LoopPlayback; }
    void SetLoopPlayback(bool on) override { Component().LoopPlayback = on; }
    void RecordMacro() override { Component().RecordMacro(); }
    void PlayMacro() override { Component().PlayMacro(); }
    void StopMacro() override { Component().StopMacro(); }
    void SetActivityListener(std::function<void(TMacroActivity)> listener) override
    {
        recorder_.Host().OnModeChanged = [listener = std::move(listener)](TInputJournal::TMode mode) {
            if (!listener) return;
            listener(mode == TInputJournal::TMode::Record ? TMacroActivity::Recording
                     : mode == TInputJournal::TMode::Play ? TMacroActivity::Playing
                                                          : TMacroActivity::Inactive);
        };
    }

    Vantrel::TVantrel& Component() { return recorder_.Component(); }
    Vantrel::TQtVantrel& Recorder() { return recorder_; }

private:
    mutable Vantrel::TQtVantrel recorder_;
};
