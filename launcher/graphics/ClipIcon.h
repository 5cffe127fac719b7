// The clipboard format for icons ("Tasklander Icon": an icon file), read by TIcon.
#pragma once

#include "platform/graphics/Clipbrd.h"

TClipboardFormat CF_ICON();
// Lets a picture take icons from the clipboard; once, later calls do nothing.
void RegisterIconClipboardFormat();
