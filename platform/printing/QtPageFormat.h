// Internal to platform/printing: a page format on Qt's printer, and the sheet it gives.
#pragma once

#include "platform/printing/PrinterCatalog.h"

class QPrinter;

// inDocument: only the paper and orientation change (from the next page on).
void ApplyQtPageFormat(QPrinter& printer, const TPrinterPageFormat& format, bool inDocument);
TPrinterPageMetrics QtPageMetrics(QPrinter& printer);
