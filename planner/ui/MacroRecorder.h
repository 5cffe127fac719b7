// What the main window asks of its macro component: a macro file name, the playback speed
// and loop flag, and record, play and stop. The component itself implements it.
#pragma once

#include <functional>
#include <string>

// What the recorder is doing, for the main window's status panel.
enum class TMacroActivity { Inactive, Recording, Playing };

class IMacroRecorder {
public:
    virtual ~IMacroRecorder() = default;
    virtual void SetMacroName(const std::string& fileName) = 0;
    virtual void SetPlaySpeed(int speed) = 0;  // 1..9
    virtual bool LoopPlayback() const = 0;
    virtual void SetLoopPlayback(bool on) = 0;
    virtual void RecordMacro() = 0;
    virtual void PlayMacro() = 0;
    virtual void StopMacro() = 0;
    // Called whenever a recording or a playback begins or ends.
    virtual void SetActivityListener(std::function<void(TMacroActivity)> listener) { (void)listener; }
};
