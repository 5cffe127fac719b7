// The built-in demonstrations as walks through the program: each adds to a script the clicks
// and keys a user makes to show one design, starting at the main window.
#pragma once

#include "DemoScript.h"

#include <string>
#include <vector>

class TFrmMain;

struct TDemoDesign {
    const char* file;       // under Data/
    const char* what;
    bool lineUtility;       // the transmission-line table alone (line utility)
    int channel;
    int standard;           // 0 NTSC, 1 DTV
    bool elliptical;
    const char* linePart;   // the line chosen on page 4
    const char* tpo;        // transmitter power typed on page 5 (kW)
};

// The five built-in demonstrations.
const std::vector<TDemoDesign>& BuiltInDemos();

// From the main window: a new design through the site dialog and the five pages (with a
// cancel question answered No on the way), or the line utility alone.
void AddDemoWalk(TInputScript& script, TFrmMain& main, const TDemoDesign& d);

// The design the data model holds, as one line ("channel 32, NTSC, horizontal, ...").
std::string DesignSummary();
