// The start of Mastwise: the start-up windows in their order, the macro component, and the
// commands of the main window joined to the windows they open.
#pragma once

#include "platform/ui/Forms.h"
#include "planner/ui/Vantrel1.h"

#include <memory>

class TFrmMain;
extern TFrmMain* FrmMain;  // the main window, made by StartMastwise

// Creates the start-up windows (owned by the application) and returns the main window's macro
// component.
std::unique_ptr<TMacroComponent> StartMastwise();
