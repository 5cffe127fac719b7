// The planner's tool-bar glyphs, drawn by code at start-up so they stay sharp at any scale,
// and the main window's pictures, taken from the program's compiled-in GIF pictures.
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

// Showcase frame 1..4: the antenna named by the showcase caption of that frame. A frame
// outside the picture gives a null pixmap.
QPixmap ShowcaseFrame(int frame, QSize size);
// Tutorial slide 1..4 at its own size (175 x 350, slide 2 350 x 175).
QPixmap TutorialFrame(int frame);
// The presenter's portrait.
QPixmap PresenterPhoto(QSize size);
