// Planner state shared between the main window, the wizard and its pages: what the next
// wizard run shows, the page marks of a design, the customer-defined line, the save folders,
// the tutorial page and the demonstration choices.
#pragma once

#include "platform/runtime/SysUtils.h"

#include <string>

// Starts with the values a new design restores, so the line utility used before any
// design shows a usable customer row, not one of 0 dB and 0 kW.
struct TCustomLine {
    ShortString<35> Description = "Customer Defined Transmission Line";
    float Attenuation = 0.15f;  // dB per 100 feet
    float MaxPower = 60.0f;     // maximum average power, kW
};

extern std::string ProgramFolder;  // with its trailing "/"
extern int MacroPlaySpeed;         // 1..9
extern int WizardFirstPage;
extern int WizardLastPage;
extern bool LineUtilityMode;
extern bool Page1Visited, Page5Visited;
extern bool Page2Fresh, Page3Fresh, Page4Fresh;
extern TCustomLine CustomLine;
extern std::string AzimuthSaveFolder, ElevationSaveFolder;
extern int TutorialStep;  // 1..5
extern std::string DemoFileName;
extern bool PlayDemoFlag, RecordDemoFlag;
