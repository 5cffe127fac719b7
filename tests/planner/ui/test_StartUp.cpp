// The start of Mastwise: its first painted main window does not wait for the print system,
// which the report engine loads when it first asks for the printers.
#include "planner/ui/Main.h"
#include "planner/ui/StartUp.h"
#include "platform/streaming/ComponentStream.h"
#include "report/RpxPrinter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLibraryInfo>
#include <gtest/gtest.h>

namespace {

// A shared object of Qt's print support plugins is in this process's memory map.
bool PrintPluginMapped()
{
    QFile maps("/proc/self/maps");
    if (!maps.open(QIODevice::ReadOnly)) return false;
    return maps.readAll().contains("/printsupport/");
}

struct TPaintSeen : QObject {
    bool seen = false;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) seen = true;
        return false;
    }
};

}  // namespace

TEST(StartUp, ThePrintSystemLoadsWhenTheReportEngineFirstAsksForPrinters)
{
    const QDir plugins(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/printsupport");
    if (plugins.entryList({"*.so"}, QDir::Files).isEmpty()) GTEST_SKIP() << "no print support plugin installed";
    ASSERT_FALSE(PrintPluginMapped());  // this test runs in a process of its own

    auto vantrel = StartMastwise();
    // The report engine's stream classes are registered by the start itself, before any
    // report window reads its definition.
    for (const char* name : {"TDaxReport", "TDaxGrouppage", "TDaxBand", "TDaxTextLabel", "TDaxLevel", "TDaxTotalvar"})
        EXPECT_TRUE(StreamClassRegistered(name)) << name;
    TPaintSeen paint;
    FrmMain->installEventFilter(&paint);
    FrmMain->show();
    QElapsedTimer t;
    t.start();
    while (!paint.seen && t.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(paint.seen);
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    EXPECT_FALSE(PrintPluginMapped());

    PrinterCount();  // what a report's page setup asks first
    EXPECT_TRUE(PrintPluginMapped());

    FrmMain->removeEventFilter(&paint);
    vantrel.reset();
    Application->DestroyForms();
}
