// The edit context menu of our controls, built by us so that each command goes through the
// control's own rules instead of QLineEdit's slots.
#pragma once

#include <QPoint>
#include <functional>

class QWidget;

struct TEditMenuCommand {
    std::function<void()> Run;
    bool Enabled = false;
};

struct TEditMenu {
    TEditMenuCommand Undo, Cut, Copy, Paste, Delete, SelectAll;
};

void ShowEditMenu(QWidget* owner, const QPoint& globalPos, const TEditMenu& menu);
