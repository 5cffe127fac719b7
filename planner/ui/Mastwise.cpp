// Mastwise: the planner.
#include "planner/ui/StartUp.h"

int main(int argc, char** argv)
{
    TQtApplication app(argc, argv);
    const auto Vantrel1 = StartMastwise();
    return Application->Run();
}
