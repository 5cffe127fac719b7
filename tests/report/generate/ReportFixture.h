// A small report over a recording output for the generator's tests: fake windows that log
// what the run asks of them, rows of text as the data, and the recorded pages played back
// onto a recording device, read as the texts and fills each page drew.
#pragma once

#include "report/generate/DaxBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

using namespace DaxBuild;

struct FakeViewer : TDaxViewer {
    explicit FakeViewer(std::vector<std::string>& t) : trace(t) {}
    void SetDocument(std::shared_ptr<TRpxRpxFile> d) override { document = std::move(d); }
    void SetCloseCallback(std::function<void()> cb) override { close = std::move(cb); }
    void SetGenerating(bool g) override { trace.push_back(g ? "viewer generating" : "viewer ended"); }
    void Show() override { trace.push_back("viewer shown"); }
    void ShowModal() override { trace.push_back("viewer modal"); }
    std::vector<std::string>& trace;
    std::shared_ptr<TRpxRpxFile> document;
    std::function<void()> close;
};

struct FakeStatus : TDaxStatusWindow {
    explicit FakeStatus(std::vector<std::string>& t) : trace(t) {}
    void Show() override { trace.push_back("status shown"); }
    void Status(TDaxReportPage&, TDaxStatus s) override { trace.push_back("status window " + std::to_string(s)); }
    std::vector<std::string>& trace;
};

struct FakeWindows : TDaxReportWindows {
    explicit FakeWindows(std::vector<std::string>& t) : trace(t) {}
    bool PromptDestination(TDaxPageSetup&) override
    {
        trace.push_back("dialog");
        return answer;
    }
    std::unique_ptr<TDaxStatusWindow> CreateStatusWindow(TDaxReport&) override { return std::make_unique<FakeStatus>(trace); }
    std::shared_ptr<TDaxViewer> CreateViewer(TDaxReportPage&) override
    {
        viewer = std::make_shared<FakeViewer>(trace);
        return viewer;
    }
    std::vector<std::string>& trace;
    bool answer = true;
    std::shared_ptr<FakeViewer> viewer;
};

// Catches what reaches the application's exception handler while it lives.
struct CaughtErrors {
    CaughtErrors()
    {
        saved = ApplicationExceptionHandler();
        ApplicationExceptionHandler() = [this](std::exception_ptr e, TDaxComponent*) {
            try {
                std::rethrow_exception(e);
            } catch (const std::exception& x) {
                messages.push_back(x.what());
            }
        };
    }
    ~CaughtErrors() { ApplicationExceptionHandler() = saved; }
    CaughtErrors(const CaughtErrors&) = delete;
    CaughtErrors& operator=(const CaughtErrors&) = delete;
    TDaxExceptionHandler saved;
    std::vector<std::string> messages;
};

// Page: 4 inches high, half-inch margins at 96 pixels per inch: the printable area runs from
// y 48 to 336 (288 pixels); every fixed band is 20 pixels high.
class ReportFixture : public ::testing::Test {
protected:
    ReportFixture() : page(Page(report, "ReportPage"))
    {
        DefaultBands(page, 20);
        page.PageSetup.SetHeight(4.0);
        report.Prompt = false;
        windows = std::make_shared<FakeWindows>(trace);
        report.ReportWindows = windows;
        value = &ExprVar(page, "Value", dtypeString);
        value->OnGetData = [this](TDaxVar& v) { v.SetAsString(row >= 0 && row < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(row)] : ""); };
        page.OnDataStart = [this](TDaxReportPage& p) {
            row = 0;
            p.DataFinished = rows.empty();
        };
        page.OnDataSkip = [this](TDaxReportPage& p) {
            if (++row >= static_cast<int>(rows.size())) p.DataFinished = true;
        };
        Top(VarLabel(*page.Detail, "DetailValue", *value, 0, 0));
        Top(Text(*page.PageHead, "PageTitle", "Title", 0, 0));
        Top(Text(*page.PageFoot, "PageEnd", "End", 0, 0));
    }

    static TDaxLabel& Top(TDaxLabel& l)
    {
        l.AlignVertical = laTop;
        return l;
    }

    std::shared_ptr<TRpxRpxFile> Document() const { return windows->viewer ? windows->viewer->document : nullptr; }

    // Each recorded page as "text@y" for its texts, in drawing order.
    std::vector<std::vector<std::string>> Pages(bool fills = false) const
    {
        std::vector<std::vector<std::string>> pages;
        auto doc = Document();
        if (!doc) return pages;
        static const std::regex text(R"(^text (-?\d+),(-?\d+) '([^']*)')");
        static const std::regex fill(R"(^fill (-?\d+),(-?\d+),(-?\d+),(-?\d+) s0)");
        for (int n = 1; n <= doc->PageCount(); ++n) {
            TRpxRecordingDevice dev;
            doc->PlayPage(dev, n);
            std::vector<std::string> p;
            for (const auto& c : dev.Calls) {
                std::smatch m;
                if (std::regex_search(c, m, text)) p.push_back(m[3].str() + "@" + m[2].str());
                else if (fills && std::regex_search(c, m, fill))
                    p.push_back("fill " + m[1].str() + "," + m[2].str() + "," + m[3].str() + "," + m[4].str());
            }
            pages.push_back(p);
        }
        return pages;
    }

    // Texts only, without the y.
    std::vector<std::string> Texts(const std::vector<std::string>& page) const
    {
        std::vector<std::string> r;
        for (const auto& s : page) r.push_back(s.substr(0, s.find('@')));
        return r;
    }

    void Rows(int n, const std::string& prefix = "r")
    {
        rows.clear();
        for (int i = 0; i < n; ++i) rows.push_back(prefix + std::to_string(i));
    }

    TDaxReport report;
    TDaxReportPage& page;
    std::vector<std::string> trace;
    std::shared_ptr<FakeWindows> windows;
    TDaxExprVar* value = nullptr;
    std::vector<std::string> rows;
    int row = -1;
};
