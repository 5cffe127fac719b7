// Alignment of selected label controls at design time (report/design, no Qt): the first
// control of the list is the reference the others are aligned to. Each operation ends by
// telling the designer that the form was modified.
#pragma once

#include "DaxDesigner.h"

#include "report/generate/DaxReport.h"

#include <vector>

class TRpxAlign {
public:
    std::vector<TDaxLabel*> Controls;
    TDaxDesigner* Designer = nullptr;

    // Every other control's left := the first's left.
    void AlignLefts();
    // Every other control's right edge := the first's right edge.
    void AlignRights();
    // Every other control's middle := the first's middle (whole pixels, halves truncated).
    void AlignCenters();
    // One control: its middle goes to x. Several: the controls are grouped by parent (a group
    // takes every remaining control with the parent of the first one left), and each group
    // moves as a block so that the middle of its span lies at x.
    void CenterAtX(int x);

private:
    void Modified();
};

// The one alignment tool of the program, made on first use and freed at exit.
TRpxAlign& RpxAlign();
