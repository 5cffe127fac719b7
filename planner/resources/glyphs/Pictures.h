// The planner's tool-bar glyphs, drawn by code so they stay sharp at any scale (each drawing is
// made when a button first paints it, once for the run), and the main window's pictures,
// taken from the program's compiled-in GIF pictures.
#pragma once

#include <QIcon>
#include <QPixmap>

enum class TGlyph {
    New, Open, ListOfMaterials, Exit, Save,
    Record, Stop, Play,
    LineUtility, AzimuthCompare, Tutorial, Calculator,
    Print, Close,
};

QIcon ToolGlyph(TGlyph glyph);
// A numbered design step, 1 to 7.
QIcon StepGlyph(int step);

// The presenter's portrait.
QPixmap PresenterPhoto(QSize size);
