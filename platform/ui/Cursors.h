// The screen's table of cursors beyond the built-in ones, as the class library's
// Screen.Cursors[n]: a program registers a cursor under a number and sets it like any other.
#pragma once

#include <QCursor>

#include <functional>
#include <optional>

// The cursor is made on first use (a cursor needs the application object).
void RegisterScreenCursor(int id, std::function<QCursor()> make);
void UnregisterScreenCursor(int id);
// The registered cursor of id; none for a number nothing was registered under.
std::optional<QCursor> ScreenCursorImage(int id);
