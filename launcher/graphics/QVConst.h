// The graphics library's two screen cursors: a hand (14000) and a dragging hand (14001),
// registered in the screen's cursor table at start (RegisterQvCursors).
#pragma once

#include "platform/ui/Dialogs.h"

extern const TCursor crQvHand;
extern const TCursor crQvDrag;
// Puts both cursors in the screen's cursor table; once, later calls do nothing.
void RegisterQvCursors();
