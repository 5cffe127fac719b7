// demo_record [source-root] [file ...]: records the built-in demonstrations (all, or the files
// named) into <source-root>/planner/resources/Data by driving Mastwise with a user's input
// while its recorder records. Runs without a display (offscreen) unless QT_QPA_PLATFORM says
// otherwise.
#include "DemoWalks.h"

#include "planner/engine/ProjObj.h"
#include "planner/ui/Main.h"
#include "planner/ui/StartUp.h"

#include <cstdio>
#include <filesystem>
#include <set>

extern TFrmMain* FrmMain;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    TQtApplication app(argc, argv);
    const std::string root = argc > 1 ? argv[1] : MW_SOURCE_DIR;
    const std::set<std::string> wanted(argv + std::min(argc, 2), argv + argc);
    const std::filesystem::path out = std::filesystem::path(root) / "planner/resources/Data";
    std::filesystem::create_directories(out);

    auto Vantrel1 = StartMastwise();
    FrmMain->show();
    FrmMain->activateWindow();
    int failures = 0;
    for (const TDemoDesign& d : BuiltInDemos()) {
        if (!wanted.empty() && !wanted.count(d.file)) continue;
        CreateProjectObjects();   // every demonstration starts from the program as it starts
        TInputScript script;
        AddDemoWalk(script, *FrmMain, d);
        Vantrel::TVantrel& recorder = Vantrel1->Component();
        recorder.SetMacroName((out / d.file).string());
        recorder.RecordMacro();
        const bool ok = script.Run();
        recorder.StopMacro();
        if (!ok) {
            std::filesystem::remove(out / d.file);   // no half demonstration is kept
            std::fprintf(stderr, "%s: %s\n", d.file, script.Failure().c_str());
            ++failures;
            continue;
        }
        std::printf("%s: %s: %s\n", d.file, d.what, DesignSummary().c_str());
    }
    Vantrel1.reset();
    Application->DestroyForms();
    return failures ? 1 : 0;
}
