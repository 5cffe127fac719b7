#include "planner/ui/MainState.h"

std::string ProgramFolder;
int MacroPlaySpeed = 5;
int WizardFirstPage = 1;
int WizardLastPage = 5;
bool LineUtilityMode = false;
bool Page1Visited = false, Page5Visited = false;
bool Page2Fresh = true, Page3Fresh = true, Page4Fresh = true;
TCustomLine CustomLine;
std::string AzimuthSaveFolder, ElevationSaveFolder;
int TutorialStep = 1;
std::string DemoFileName;
bool PlayDemoFlag = false, RecordDemoFlag = false;
