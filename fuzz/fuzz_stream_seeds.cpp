// Writes the seed corpus of the component stream target into <dir>/streams: the planner's
// line report as committed and as it writes back once read, and small definitions.
#include "report/generate/DaxReport.h"
#include "tools/report_stream_gen/LineReport.h"

#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    const std::filesystem::path dir = std::filesystem::path(argv[1]) / "streams";
    std::filesystem::create_directories(dir);
    auto put = [&dir](const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
    };
    const std::string line = LineReportStream();
    put("linereport", line);
    TStreamEvents events;
    for (const char* name : {"ReportPageDataStart", "ReportPageDataSkip"})
        events.Add<TDaxReportPage::TNotify>(name, [](TDaxReportPage&) {});
    events.Add<TDaxBand::TPrintEvent>("PageHeaderBandSubBeforePrint", [](TDaxBand&) {});
    put("linereport-read", WriteComponentText(*ReadComponentText(line, nullptr, &events)));
    put("small", "R : TDaxReport {\n  P : TDaxGrouppage {\n    PageSetup = { Units = unitMiliMeters LeftMargin = 12.7 }\n"
                 "    Detail = @B\n    B : TDaxBand {\n      Height = 20\n      Updatelevel = @FormLevel\n"
                 "      T : TDaxTextLabel {\n        Caption = \"a\\tb\"\n        Lines = (\"x\", \"y\")\n"
                 "        Font = { Style = [fsBold] }\n      }\n    }\n    V : TDaxExprVar {\n"
                 "      DataType = dtypeString\n      ID = VIDEXPRVAR\n    }\n  }\n}\n");
    put("image", "R : TDaxReport {\n  P : TDaxGrouppage {\n    B : TDaxBand {\n      I : TDaxImageLabel {\n"
                 "        Picture = { Data = <424D0000> Kind = 1 }\n      }\n    }\n  }\n}\n");
    return 0;
}
