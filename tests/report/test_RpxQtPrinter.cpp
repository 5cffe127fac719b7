// The Qt printer layer against a real spooler: the private cupsd that the test set-up
// starts, with a PDF queue (the default) and a laser queue with trays.
#include "report/DaxPageSetup.h"
#include "report/qt/RpxQtPrinter.h"

#include "platform/printing/Printers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <sys/stat.h>

namespace {

class QtPrinterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* server = std::getenv("CUPS_SERVER");
        struct stat st {};
        if (!server || stat(server, &st) != 0 || !S_ISSOCK(st.st_mode))
            FAIL() << "CUPS_SERVER does not name a running scheduler's socket; run this test through ctest, "
                      "whose set-up test starts a private cupsd";
        // Only the private scheduler decides the default queue: no user or system
        // lpoptions, no LPDEST or PRINTER.
        static const bool isolated = [server] {
            const std::string dir = std::string(server).substr(0, std::string(server).rfind('/'));
            ::unsetenv("LPDEST");
            ::unsetenv("PRINTER");
            ::setenv("HOME", dir.c_str(), 1);
            ::setenv("CUPS_SERVERROOT", (dir + "/etc").c_str(), 1);
            return true;
        }();
        (void)isolated;
        backend = std::make_shared<TRpxQtPrinterBackend>();
        SetPrinterBackend(backend);
    }
    void TearDown() override { SetPrinterBackend(nullptr); }
    void Select(const std::string& name)
    {
        const auto list = backend->Printers();
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] == name) backend->SetPrinterIndex(int(i));
        ASSERT_EQ(list[size_t(backend->PrinterIndex())], name);
    }
    std::shared_ptr<TRpxQtPrinterBackend> backend;
};

TEST_F(QtPrinterTest, TheSpoolersQueuesAndTheirPapers)
{
    const auto list = backend->Printers();
    EXPECT_EQ(std::set<std::string>(list.begin(), list.end()), (std::set<std::string>{"MwLaser", "MwPdf"}));
    EXPECT_EQ(backend->DefaultPrinter(), "MwPdf");
    EXPECT_EQ(PrinterCount(), 2);

    TRpxPrinterInfo info;
    EXPECT_EQ(info.PrinterName, "MwPdf");
    info.Lock(false);
    EXPECT_EQ(info.Device, "MwPdf");
    EXPECT_EQ(info.Port, "file:///dev/null");
    EXPECT_NE(info.Driver.find("CUPS-PDF"), std::string::npos);
    info.Unlock();
    struct Case { int number; int width, length; };
    for (const Case c : {Case{9, 2100, 2970}, Case{1, 2159, 2794}, Case{8, 2970, 4200}, Case{5, 2159, 3556}}) {
        SCOPED_TRACE(c.number);
        const TRpxPaper* p = info.PaperByNumber(c.number);
        ASSERT_NE(p, nullptr);
        EXPECT_NEAR(p->Width, c.width, 1);
        EXPECT_NEAR(p->Length, c.length, 1);
    }
    // Papers without a standard number get numbers of their own, each once.
    std::set<int> numbers;
    for (const auto& p : info.Papers) EXPECT_TRUE(numbers.insert(p->Number).second) << p->Name;
    EXPECT_GT(*numbers.rbegin(), DMPAPER_USER);
    std::set<int> resolutions;
    for (const auto& r : info.Resolutions) resolutions.insert(r->X);
    EXPECT_TRUE(resolutions.count(300));
    EXPECT_TRUE(resolutions.count(600));
    // The device mode names its form, as on the NT family.
    EXPECT_TRUE(info.Settings.Given[13]);
    EXPECT_EQ(info.Settings.FormName, info.PaperByNumber(info.Settings.Values[1])->Name);
}

TEST_F(QtPrinterTest, TheLaserQueuesTraysMatchByNumberAndName)
{
    Select("MwLaser");
    TRpxPrinterInfo info;
    ASSERT_FALSE(info.Bins.empty());
    const TRpxBinInfo* manual = info.BinByNumberOrName(4);
    ASSERT_NE(manual, nullptr);
    EXPECT_EQ(manual->Number, 4);
    const TRpxBinInfo* envelope = info.BinByNumberOrName(5);
    ASSERT_NE(envelope, nullptr);
    EXPECT_NE(info.BinByWords("Tray 2"), nullptr);

    TRpxPrinterSettings s;
    s.SetValueAt(6, 4);
    s.WriteToPrinter();
    TRpxDevMode dm;
    ASSERT_TRUE(backend->GetDevMode(dm));
    EXPECT_TRUE(dm.Fields & DM_DEFAULTSOURCE);
    EXPECT_EQ(dm.DefaultSource, 4);
}

TEST_F(QtPrinterTest, PageSetupGoesToThePrinterAndComesBack)
{
    TDaxPageSetup ps;
    ASSERT_TRUE(ps.PrinterAvailable());
    ps.SetSize(psA3);
    ps.SetOrientation(poLandscape);
    ps.SetPrintQuality(pqDraft);   // a DMRES code reaches the device mode; dots per inch do not
    ps.ApplyToPrinter();
    TRpxDevMode dm;
    ASSERT_TRUE(backend->GetDevMode(dm));
    EXPECT_EQ(dm.PaperSize, 8);
    EXPECT_EQ(dm.Orientation, 2);

    const TRpxPrinterSetup& s = ps.PrinterSetup();
    EXPECT_EQ(s.PaperSize, 8);
    EXPECT_NEAR(s.PaperLength, 297 / 25.4, 0.005);   // landscape: the short side
    EXPECT_NEAR(s.PaperWidth, 420 / 25.4, 0.005);
    // The queue's printable area gives a border on each side, under an inch.
    for (double o : {s.LeftOffset, s.TopOffset, s.RightOffset, s.BottomOffset}) {
        EXPECT_GE(o, 0);
        EXPECT_LT(o, 1);
    }
    EXPECT_GT(s.LeftOffset + s.TopOffset, 0);
    EXPECT_EQ(ps.Size(), psA3);
    EXPECT_NEAR(ps.Width(), 420 / 25.4, 0.005);

    TRpxDeviceMetrics m;
    ASSERT_TRUE(backend->Metrics(m));
    EXPECT_GT(m.LogPixelsX, 0);
    // Qt lays pages out in whole points.
    EXPECT_NEAR(m.PhysicalWidth, 420 / 25.4 * m.LogPixelsX, m.LogPixelsX / 72.0 + 1);
    EXPECT_NEAR(m.PhysicalHeight, 297 / 25.4 * m.LogPixelsY, m.LogPixelsY / 72.0 + 1);
}

} // namespace

namespace {

// A program printer listing the spooler's queues, as the system printer does.
class TListPrinter : public TPrinter {
public:
    explicit TListPrinter(std::vector<std::string> names) : names_(std::move(names)) {}
    std::vector<std::string> Printers() const override { return names_; }
    int PrinterIndex() const override { return index_; }
    void SetPrinterIndex(int i) override { index_ = i; }

protected:
    QPagedPaintDevice& Device() override { throw EPrinter("not a device"); }
    void ApplyOrientation(TPrinterOrientation) override {}

private:
    std::vector<std::string> names_;
    int index_ = -1;
};

} // namespace

TEST_F(QtPrinterTest, TheProgramsPrinterAndTheReportsAreOneSelection)
{
    const auto list = backend->Printers();
    TListPrinter program({"MwPdf", "Other", "MwLaser"});
    TPrinterScope scope(program);
    Select("MwLaser");
    EXPECT_EQ(program.PrinterName(), "MwLaser");
    program.SetPrinterIndex(0);
    EXPECT_EQ(list[size_t(backend->PrinterIndex())], "MwPdf");
    TRpxPrinterInfo info;
    EXPECT_EQ(info.PrinterName, "MwPdf");
}
