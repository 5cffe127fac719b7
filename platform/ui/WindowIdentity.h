// What a window of this program tells about itself to the demo recorder: the class name the
// program gives it, its text, its Tag, and where it is; and the windows at a point, under a
// window and at the top level. Windows are named by handles (the widget's address); a handle
// of a window that has gone is never dereferenced.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class QWidget;

// The class name of the program's class for the widget ("TFrmMain", "TBitBtn"), or of Qt's
// own class for widgets that have none of ours ("QPushButton" in a message box).
std::string ControlClassName(const QWidget* w);
// The caption of a window, the text of a button, label, edit or combo box; empty otherwise.
std::string ControlText(const QWidget* w);
// The "Tag" property when a layout sets one; otherwise a number drawn from the object names
// from the window down to the widget, so every named control has a distinct, stable Tag.
// Unnamed widgets have 0.
int32_t ControlTag(const QWidget* w);

class TWindowServices {
public:
    using THandle = std::uintptr_t;

    static THandle Handle(const QWidget* w) { return reinterpret_cast<THandle>(w); }
    // The widget of a handle while it exists, else nullptr.
    static QWidget* Widget(THandle h);

    THandle WindowAt(int x, int y) const;
    std::string ClassName(THandle h) const;
    std::string Text(THandle h) const;
    bool Origin(THandle h, int& x, int& y) const;   // screen position of the top-left corner
    THandle Parent(THandle h) const;                // parent, or owner of a window
    int32_t Tag(THandle h) const;
    THandle ControlAt(THandle h, int x, int y) const;
    THandle ChildWithTag(THandle h, int32_t tag) const;
    // The window exists and is shown.
    bool Exists(THandle h) const;
    // Only shown windows: hidden ones take no input.
    void TopLevelWindows(std::vector<THandle>& out) const;
    void ChildWindows(THandle h, std::vector<THandle>& out) const;
};
