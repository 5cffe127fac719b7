// Mastwise: the planner.
#include "planner/ui/Main.h"
#include "planner/ui/StartUp.h"
#include "platform/ui/StartupProbe.h"

int main(int argc, char** argv)
{
    TQtApplication app(argc, argv);
    const auto Vantrel1 = StartMastwise();
    InstallFirstPaintProbe(FrmMain);
    return Application->Run();
}
