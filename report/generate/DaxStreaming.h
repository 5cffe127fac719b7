// Registration of a report definition's classes for component streams.
#pragma once

// Registers every class of a report definition for component streams (and the report core's
// levels and variables): once, before a definition is read or written; later calls do nothing.
void RegisterDaxReportClasses();
