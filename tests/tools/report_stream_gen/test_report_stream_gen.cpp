#include "tools/report_stream_gen/LineReport.h"

#include "report/generate/DaxReport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Committed()
{
    std::ifstream in(MW_SOURCE_DIR "/planner/resources/streams/frmRprt.stream", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ReportStreamGen, TheCommittedLineReportIsWhatTheGeneratorWrites)
{
    EXPECT_EQ(Committed(), LineReportStream()) << "run report_stream_gen and commit its output";
}

// Read as the report window reads it, the definition writes back as it stands, but for the
// default levels that loading gives the date-time and page variables.
TEST(ReportStreamGen, TheLineReportReadsBackToTheSameDefinition)
{
    TStreamEvents events;
    for (const char* name : {"ReportPageDataStart", "ReportPageDataSkip"})
        events.Add<TDaxReportPage::TNotify>(name, [](TDaxReportPage&) {});
    events.Add<TDaxBand::TPrintEvent>("PageHeaderBandSubBeforePrint", [](TDaxBand&) {});
    RegisterDaxReportClasses();
    auto report = ReadComponentTextAs<TDaxReport>(Committed(), nullptr, &events);
    auto built = BuildLineReport();
    TDaxReportPage* page = built->Pages().at(0);
    dynamic_cast<TDaxVar*>(page->FindComponent("DaxDateTimeVar1"))->SetUpdateLevel(page->Head->Updatelevel);
    dynamic_cast<TDaxVar*>(page->FindComponent("DaxPageVar1"))->SetUpdateLevel(page->PageHead->Updatelevel);
    EXPECT_EQ(WriteComponentText(*report), WriteComponentText(*built));
    EXPECT_TRUE(report->Prompt);
    EXPECT_FALSE(report->AutoRun);
    ASSERT_EQ(report->Pages().size(), 1u);
    EXPECT_EQ(report->Pages()[0]->Name(), "ReportPage");
    EXPECT_TRUE(report->Pages()[0]->OnDataStart);
    EXPECT_TRUE(report->Pages()[0]->OnDataSkip);
}

}  // namespace
