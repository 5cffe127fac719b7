// Prints a recorded report to a PDF file through the program's printer, as the viewer's print
// button does (kept apart from the report definitions, whose colour names the graphics layer
// also defines).
#pragma once

#include <memory>
#include <string>

class TRpxRpxFile;

void PrintRpxToPdf(TRpxRpxFile& document, const std::string& pdfFile);
