// Tasklander's start-up: what the program's units register, then the splash, the main window
// and the About box, as main runs them before its message loop.
#pragma once

#include <functional>

// The registrations of the launcher's graphics library (GIF pictures for "gif" and the
// "GIF Image" clipboard format, icons on the clipboard, the hand cursors 14000 and 14001)
// and of the windows' streams. Once; later calls do nothing.
void RegisterLauncherUnits();

// Registers the units, shows the splash and has it painted on the screen before anything
// else runs, sets the title, waits half a second (serving the window system, so the splash
// stays painted), creates the main window and the About box, then hides and frees the splash.
// With MW_SCREENSHOT=<file>:<ms> the screen is saved to that PNG file <ms> milliseconds after
// the splash was painted and start-up ends there: false, and the program should end.
// wait: stands in for the half-second wait (a test's own).
bool StartTasklander(const std::function<void(int ms)>& wait = {});
