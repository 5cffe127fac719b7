// The component stream reader on arbitrary text, reading report definitions into an owner
// form. Whatever it reads must write back as text that reads and writes again unchanged.
#include "report/generate/DaxReport.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace {

// A report that does not run by itself once loaded: the target tests the reader, not a run.
class TQuietReport : public TDaxReport {
public:
    using TDaxReport::TDaxReport;
    void Loaded() override
    {
        AutoRun = false;
        TDaxReport::Loaded();
    }
};

const TStreamEvents& Events()
{
    static const TStreamEvents events = [] {
        TStreamEvents e;
        e.Add<TDaxReportPage::TNotify>("ReportPageDataStart", [](TDaxReportPage& p) { p.DataFinished = true; });
        e.Add<TDaxReportPage::TNotify>("ReportPageDataSkip", [](TDaxReportPage& p) { p.DataFinished = true; });
        e.Add<TDaxBand::TPrintEvent>("PageHeaderBandSubBeforePrint", [](TDaxBand&) {});
        e.Add<TDaxReport::TPrintEvent>("ReportBefore", [](TDaxReport&) {});
        e.Add<TDaxLabel::TPrintWhenEvent>("LabelWhen", [](TDaxLabel&, bool& r) { r = true; });
        return e;
    }();
    return events;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool registered = [] {
        RegisterDaxClass("TDaxReport", [](TDaxComponent* owner) -> TDaxComponent* { return new TQuietReport(owner); },
                         nullptr);
        return true;
    }();
    (void)registered;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TDaxComponent form;
    form.SetName("Form");
    auto* existing = new TDaxLevel(&form);
    existing->SetName("FormLevel");
    std::unique_ptr<IStreamComponent> read;
    try {
        read = ReadComponentText(text, &form, &Events());
    } catch (const std::exception&) {
        if (form.ComponentCount() != 1 || form.Components(0) != existing) __builtin_trap();
        return 0;
    }
    std::string first;
    try {
        first = WriteComponentText(*read);
    } catch (const std::exception&) {
        __builtin_trap();   // what was read must write
    }
    read.reset();
    std::string second;
    try {
        second = WriteComponentText(*ReadComponentText(first, &form, &Events()));
    } catch (const std::exception&) {
        __builtin_trap();   // what was written must read
    }
    if (second != first) __builtin_trap();
    return 0;
}
