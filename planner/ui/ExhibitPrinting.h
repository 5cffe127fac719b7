// Joins the printed exhibits to the program: the system printer, the print dialog that sets
// it up, the hourglass while an exhibit is drawn, and the wizard's print commands.
#pragma once

void InstallExhibitPrinting();
