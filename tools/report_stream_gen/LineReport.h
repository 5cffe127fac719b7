// The transmission-line report's definition in code, as the planner's report window holds it
// in its stream resource (planner/resources/streams/frmRprt.stream).
#pragma once

#include <memory>
#include <string>

class TDaxReport;

// The report with its events bound to do-nothing handlers under the window's handler names.
std::unique_ptr<TDaxReport> BuildLineReport();
// The stream text of that definition, with the resource's header comment.
std::string LineReportStream();
