// Shared set-up of the report window tests: recorded documents, scripted boxes, a PDF printer.
#pragma once

#include "report/output/RpxOutput.h"
#include "report/output/qt/RpxPlatformPrinter.h"
#include "report/ui/RpxDialogs.h"
#include "report/ui/RpxViewer.h"

#include "platform/printing/Printers.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ScriptedUi.h"

#include "support/PopplerTools.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QRadioButton>
#include <QTest>

#include <memory>
#include <string>

namespace mwtest {

// A Letter document of `pages` pages, each reading "Line report page <n>".
inline std::shared_ptr<TRpxRpxFile> RecordedDocument(int pages, const std::string& title = "Line report")
{
    TRpxOutput out;
    out.SetOutputMode(1);
    out.Title = title;
    out.BeginOutput();
    TRpxFont f;
    f.Name = "Arial";
    f.Size = 14;
    out.Canvas().SetFont(f);
    for (int i = 1; i <= pages; ++i) {
        if (i > 1) out.AdvancePage();
        out.Canvas().TextOut(96, 96, "Line report page " + std::to_string(i));
    }
    out.EndOutput();
    out.Document->Progress = 100;
    return out.Document;
}

// Lets posted events (deferred deletes among them) run.
inline void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// Answers modal dialogs with `answer` while it lives; every dialog asked is shown (not run
// modally) so that the answer can send it input.
class TModalScope {
public:
    explicit TModalScope(std::function<int(QDialog&)> answer)
    {
        RpxModalAnswerer = [this, answer](QDialog& d) {
            ++Asked;
            d.show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&d));
            return answer(d);
        };
    }
    ~TModalScope() { RpxModalAnswerer = nullptr; }
    int Asked = 0;
};

// A click in the middle of a widget; on a radio button or check box, on its indicator.
inline void Click(QWidget* w, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
{
    const bool indicator = qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w);
    QTest::mouseClick(w, b, m, indicator ? QPoint(8, w->height() / 2) : w->rect().center());
}

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << "unexpected " << what; };
        viewer = new TRpxViewer;
        viewer->resize(900, 700);
        viewer->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer));
    }
    void TearDown() override
    {
        if (viewer) viewer->close();
        Settle();
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " scripted answers left";
        RpxPrintDeviceFactory = nullptr;
    }
    TScriptedUiServices ui;
    TUiServicesScope scope{ui};
    TempDir dir;
    QPointer<TRpxViewer> viewer;
};

}  // namespace mwtest
