#include "planner/ui/ExhibitPrinting.h"

#include "planner/engine/Exhibits.h"
#include "planner/ui/Wizard.h"
#include "platform/printing/QtPrinters.h"
#include "platform/ui/Dialogs.h"

#include <memory>
#include <vector>

void InstallExhibitPrinting()
{
    if (!PrinterInstalled()) InstallSystemPrinter();
    ExhibitBusyHook = [](bool busy) {
        // Nested stretches each put back the cursor they found.
        static std::vector<std::unique_ptr<THourGlass>> shown;
        if (busy) shown.push_back(std::make_unique<THourGlass>());
        else if (!shown.empty()) shown.pop_back();
    };
    WizardExhibits.PrintPatternExhibit = [](bool azimuth) { PrintPatternExhibit(azimuth); };
    WizardExhibits.PrintSystemExhibit = [] { PrintSystemExhibitDocument(Printer()); };
    WizardExhibits.ExecutePrintDialog = [](TPrintDialog& dialog) { return ExecutePrintDialog(dialog, Printer()); };
}
