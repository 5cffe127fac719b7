// Writes planner/resources/streams/frmRprt.stream under the source root (the first argument,
// else the tree this tool was built from).
#include "LineReport.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    std::string root = argc > 1 ? argv[1] : MW_SOURCE_DIR;
    std::string path = root + "/planner/resources/streams/frmRprt.stream";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << LineReportStream();
    out.close();
    if (!out) {
        std::fprintf(stderr, "report_stream_gen: cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("%s\n", path.c_str());
    return 0;
}
