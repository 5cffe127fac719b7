// Writes planner/resources/streams/frmRprt.stream under the source root (the first argument,
// else the tree this tool was built from).
#include "LineReport.h"

#include "platform/runtime/FileSave.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    const std::string root = argc > 1 ? argv[1] : MW_SOURCE_DIR;
    const std::string path = root + "/planner/resources/streams/frmRprt.stream";
    try {
        SaveFileAtomically(path, LineReportStream());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "report_stream_gen: %s\n", e.what());
        return 1;
    }
    std::printf("%s\n", path.c_str());
    return 0;
}
