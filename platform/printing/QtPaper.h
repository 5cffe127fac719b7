// Internal to platform/printing: papers (tenths of a millimetre) as Qt's page sizes and back.
#pragma once

#include "platform/printing/PrinterCatalog.h"

class QPageSize;

// A size within a point of a standard paper is that paper, so a queue is asked for it by its
// name.
QPageSize QtPageSize(const TPrinterPaper& paper);
// The paper of a page size, under the printer's number for it.
TPrinterPaper QtPaper(const QPageSize& size, int16_t number);
