#include "ViewerFixture.h"

#include "ui_RpxViewer.h"

#include "report/FakePrinters.h"
#include "support/WaitFor.h"

#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include <fstream>

using namespace mwtest;

namespace {

// Opens a menu of the viewer with a click on the menu bar and picks an item by its
// accelerator key.
void MenuKey(QMainWindow* window, QMenu* menu, Qt::Key, Qt::Key itemKey)
{
    QMenuBar* bar = window->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    ASSERT_TRUE(mwtest::WaitFor([&] { return menu->isVisible(); }, "the menu to open"));
    QTest::keyClick(menu, itemKey);
    ASSERT_TRUE(mwtest::WaitFor([&] { return !menu->isVisible(); }, "the menu to close"));
}

}  // namespace

TEST_F(ViewerTest, PagingUpdatesThePageNumberAndTheCaption)
{
    viewer->SetDocument(RecordedDocument(3, "Transmission line"));
    auto& f = viewer->Form();
    EXPECT_EQ(viewer->windowTitle(), "Transmission line");
    EXPECT_EQ(f.PageNum->text(), "Page: 1/3");
    EXPECT_FALSE(viewer->Generating());   // the document was complete
    Click(f.NextPage);
    EXPECT_EQ(f.PageNum->text(), "Page: 2/3");
    Click(f.LastPage);
    Click(f.NextPage);   // past the end: ignored
    EXPECT_EQ(f.PageNum->text(), "Page: 3/3");
    Click(f.PreviousPage);
    EXPECT_EQ(f.PageNum->text(), "Page: 2/3");
    Click(f.firstpage);
    EXPECT_EQ(f.PageNum->text(), "Page: 1/3");
    Click(f.PreviousPage);
    EXPECT_EQ(f.PageNum->text(), "Page: 1/3");
}

TEST_F(ViewerTest, GoToPageTakesOnlyPagesOfTheReport)
{
    viewer->SetDocument(RecordedDocument(3));
    struct {
        const char* typed;
        int page;
    } const cases[] = {{"2", 2}, {"3", 3}, {"9", 3}, {"0", 3}, {"", 3}, {"1", 1}, {"000002", 2}, {"1234567", 2}};
    for (const auto& c : cases) {
        TModalScope answer([&](QDialog& d) {
            auto* edit = static_cast<TRpxGotoPage&>(d).PageNum();
            edit->setFocus();
            QTest::keyClicks(edit, c.typed);
            QTest::keyClick(edit, Qt::Key_Return);   // "&Go" is the default button
            return d.result();
        });
        MenuKey(viewer, viewer->Form().Navigate1, Qt::Key_N, Qt::Key_G);
        EXPECT_EQ(answer.Asked, 1) << c.typed;
        EXPECT_EQ(viewer->ActivePreview()->CurrentPage(), c.page) << c.typed;
        EXPECT_EQ(viewer->Form().PageNum->text(), QString("Page: %1/3").arg(c.page));
    }
    TModalScope cancel([](QDialog& d) {
        auto* edit = static_cast<TRpxGotoPage&>(d).PageNum();
        QTest::keyClicks(edit, "1");
        QTest::keyClick(edit, Qt::Key_Escape);
        return d.result();
    });
    MenuKey(viewer, viewer->Form().Navigate1, Qt::Key_N, Qt::Key_G);
    EXPECT_EQ(viewer->ActivePreview()->CurrentPage(), 2);
}

TEST_F(ViewerTest, TwoPreviewsShareOneDocumentAndFreeItOnce)
{
    std::weak_ptr<TRpxRpxFile> shown;
    {
        auto doc = RecordedDocument(2);
        shown = doc;
        viewer->SetDocument(doc);
    }
    const std::string other = dir.File("other.rpx");
    RecordedDocument(4, "Other")->SaveToFile(other);

    auto& f = viewer->Form();
    MenuKey(viewer, f.Options1, Qt::Key_O, Qt::Key_P);   // "Two &Pages"
    ASSERT_TRUE(viewer->RightPreview()->isVisible());
    EXPECT_EQ(viewer->RightPreview()->Document(), viewer->LeftPreview()->Document());

    // Opening in the right preview detaches only it.
    Click(viewer->RightPreview()->viewport());
    ASSERT_EQ(viewer->ActivePreview(), viewer->RightPreview());
    ui.ExpectOpen(other);
    MenuKey(viewer, f.File1, Qt::Key_F, Qt::Key_O);
    EXPECT_EQ(viewer->RightPreview()->PageCount(), 4);
    EXPECT_EQ(viewer->windowTitle(), "Other");
    EXPECT_EQ(viewer->LeftPreview()->Document(), shown.lock());
    EXPECT_FALSE(shown.expired());

    // "&Close" in the right preview frees its own document, not the left one's.
    MenuKey(viewer, f.File1, Qt::Key_F, Qt::Key_C);
    EXPECT_EQ(viewer->RightPreview()->PageCount(), 0);
    EXPECT_EQ(viewer->Form().PageNum->text(), "Page: 1/0");
    EXPECT_FALSE(shown.expired());

    viewer->close();   // the close box
    Settle();
    EXPECT_TRUE(viewer.isNull());
    EXPECT_TRUE(shown.expired());
}

TEST_F(ViewerTest, AFileThatCannotBeShownIsReported)
{
    const std::string text = dir.File("notes.rpx");
    std::ofstream(text) << "These are not the pages you are looking for.\n";
    const std::string good = dir.File("good.rpx");
    RecordedDocument(3)->SaveToFile(good);
    std::string bytes;
    {
        std::ifstream in(good, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string damaged = dir.File("damaged.rpx");
    std::ofstream(damaged, std::ios::binary) << bytes.substr(0, 140);

    ui.ExpectOpen(text);
    ui.ExpectMessage(mrOk, "is not a report file");
    MenuKey(viewer, viewer->Form().File1, Qt::Key_F, Qt::Key_O);
    EXPECT_EQ(viewer->ActivePreview()->PageCount(), 0);

    ui.ExpectOpen(damaged);
    ui.ExpectMessage(mrOk, "damaged");
    MenuKey(viewer, viewer->Form().File1, Qt::Key_F, Qt::Key_O);
    EXPECT_EQ(viewer->ActivePreview()->PageCount(), 0);
    EXPECT_EQ(viewer->ActivePreview()->PageBox()->size(), QSize(0, 0));

    ui.ExpectOpen(dir.File("gone.rpx"));
    ui.ExpectMessage(mrOk, "gone.rpx could not be opened");
    MenuKey(viewer, viewer->Form().File1, Qt::Key_F, Qt::Key_O);

    ui.ExpectOpen(good);
    MenuKey(viewer, viewer->Form().File1, Qt::Key_F, Qt::Key_O);
    EXPECT_EQ(viewer->ActivePreview()->PageCount(), 3);

    // A file that is not a report leaves the report shown as it was.
    ui.ExpectOpen(text);
    ui.ExpectMessage(mrOk, "is not a report file");
    MenuKey(viewer, viewer->Form().File1, Qt::Key_F, Qt::Key_O);
    EXPECT_EQ(viewer->ActivePreview()->PageCount(), 3);
    EXPECT_EQ(viewer->Form().PageNum->text(), "Page: 1/3");
}

TEST_F(ViewerTest, SavedReportOpensWithTheSamePages)
{
    viewer->SetDocument(RecordedDocument(2));
    const std::string file = dir.File("saved.rpx");
    ui.ExpectSave(file);
    MenuKey(viewer, viewer->Form().File1, Qt::Key_F, Qt::Key_S);
    auto again = std::make_shared<TRpxRpxFile>();
    again->LoadFromFile(file);
    EXPECT_EQ(again->PageCount(), 2);
    EXPECT_EQ(again->Title, "Line report");
}

TEST_F(ViewerTest, StopAndClosingWhileGeneratingCallTheRunsAbortOnce)
{
    auto doc = RecordedDocument(2);
    doc->Progress = 40;
    viewer->SetDocument(doc);
    auto& f = viewer->Form();
    EXPECT_TRUE(viewer->Generating());
    EXPECT_TRUE(f.Stop->isEnabled());
    EXPECT_FALSE(f.File1->menuAction()->isEnabled());
    EXPECT_TRUE(f.ToolBar->isEnabled());
    int aborts = 0;
    viewer->OnAbort = [&](TRpxViewer&) {
        ++aborts;
        throw Exception("the run could not stop");
    };
    ui.ExpectMessage(mrOk, "the run could not stop");   // shown; the viewer goes on
    Click(f.Stop);
    EXPECT_EQ(aborts, 1);
    EXPECT_FALSE(viewer->Generating());
    EXPECT_FALSE(f.Stop->isEnabled());
    EXPECT_TRUE(f.File1->menuAction()->isEnabled());
    Click(f.Stop);
    EXPECT_EQ(aborts, 1);

    viewer->SetDocument(doc);
    viewer->OnAbort = [&](TRpxViewer&) { ++aborts; };
    doc->Progress = 100;
    viewer->UpdateStatus();   // the run finished: the viewer leaves the generating state
    EXPECT_FALSE(viewer->Generating());
    viewer->SetGenerating(true);
    viewer->close();
    Settle();
    EXPECT_EQ(aborts, 2);
}

TEST_F(ViewerTest, ToolBarHintsShowNoAccelerator)
{
    for (auto* button : viewer->Form().ToolBar->findChildren<QToolButton*>()) {
        EXPECT_FALSE(button->toolTip().isEmpty()) << button->objectName().toStdString();
        EXPECT_FALSE(button->toolTip().contains('&')) << button->toolTip().toStdString();
    }
}

TEST_F(ViewerTest, CtrlClickOnTheToolBarShowsTheVersion)
{
    ui.ExpectMessage(mrOk, "Rpx Reporter Version 1.20");
    auto* bar = viewer->Form().ToolBar;
    QTest::mouseClick(bar, Qt::LeftButton, Qt::ControlModifier, QPoint(bar->width() - 5, bar->height() / 2));
}

TEST_F(ViewerTest, OutputsForTheScreenShowTheirReportInAViewer)
{
    viewer->close();
    Settle();
    InstallRpxViewer();
    TRpxOutput out;
    out.SetOutputMode(2);
    out.Title = "Generated";
    out.BeginOutput();
    auto* link = dynamic_cast<TRpxViewerLink*>(out.Viewer.get());
    ASSERT_NE(link, nullptr);
    viewer = link->Viewer();
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->Generating());
    // The page being recorded is counted while the report is generated.
    out.Canvas().TextOut(96, 96, "First");
    viewer->UpdateStatus();
    EXPECT_EQ(viewer->Form().PageNum->text(), "Page: 1/1");
    out.AdvancePage();
    out.Canvas().TextOut(96, 96, "Second");
    viewer->UpdateStatus();
    EXPECT_EQ(viewer->Form().PageNum->text(), "Page: 1/2");
    out.EndOutput();
    viewer->UpdateStatus();
    EXPECT_FALSE(viewer->Generating());
    EXPECT_EQ(viewer->windowTitle(), "Generated");
    EXPECT_EQ(viewer->Form().PageNum->text(), "Page: 1/2");
    RpxViewerFactory = nullptr;
}

TEST_F(ViewerTest, APageChangeSendsThatPagesSetupToThePrinter)
{
    TFakePrinters printers;
    TRpxOutput out;
    out.SetOutputMode(1);
    out.BeginOutput();
    out.Canvas().TextOut(96, 96, "Upright");
    out.PrinterSetup->SetOrientation(2);
    out.AdvancePage();
    out.Canvas().TextOut(96, 96, "Sideways");
    out.PrinterSetup->SetOrientation(1);
    out.AdvancePage();
    out.Canvas().TextOut(96, 96, "Upright again");
    out.EndOutput();

    viewer->SetDocument(out.Document);
    const int orientations[] = {2, 1};
    for (int expected : orientations) {
        Click(viewer->Form().NextPage);
        EXPECT_EQ(printers.Current().Current.Orientation, expected);
        EXPECT_EQ(viewer->ActivePreview()->GetPrinterSetup().Orientation, expected);
    }
}

TEST_F(ViewerTest, PrinterSetupRunsThePrintDialogFromTheMenuAndThePrintDialog)
{
    viewer->SetDocument(RecordedDocument(1));
    ui.ExpectPrint(true);
    MenuKey(viewer, viewer->Form().File1, Qt::Key_F, Qt::Key_U);   // "Print Set&up"
    ui.ExpectPrint(false);
    TModalScope answer([&](QDialog& d) {
        QTest::mouseClick(d.findChild<QPushButton*>("btnSetup"), Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());   // back at the print dialog
        QTest::mouseClick(d.findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
        return d.result();
    });
    Click(viewer->Form().sendprinter);
    EXPECT_EQ(answer.Asked, 1);
}

TEST_F(ViewerTest, DividerDragSizesTheRightPreviewAndSynchronizedZoomFollows)
{
    viewer->SetDocument(RecordedDocument(2));
    auto& f = viewer->Form();
    MenuKey(viewer, f.Options1, Qt::Key_O, Qt::Key_P);   // "Two &Pages"
    Settle();
    ASSERT_TRUE(f.Divider->isVisible());
    auto* area = f.PreviewArea;
    const QPoint start = f.Divider->rect().center();
    QTest::mousePress(f.Divider, Qt::LeftButton, {}, start);
    EXPECT_TRUE(f.CursorPosition->isVisible());
    const int target = 300;
    QMouseEvent move(QEvent::MouseMove, f.Divider->mapFrom(area, QPoint(target, 10)),
                     f.Divider->mapToGlobal(f.Divider->mapFrom(area, QPoint(target, 10))), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(f.Divider, &move);
    QTest::mouseRelease(f.Divider, Qt::LeftButton, {}, f.Divider->mapFrom(area, QPoint(target, 10)));
    Settle();
    EXPECT_FALSE(f.CursorPosition->isVisible());
    EXPECT_EQ(viewer->RightPreview()->width(), area->width() - target);

    MenuKey(viewer, f.Options1, Qt::Key_O, Qt::Key_S);   // "&Synchronized"
    ASSERT_TRUE(f.Synchronized->isChecked());
    f.ZoomValues->setFocus();
    QTest::keyClick(f.ZoomValues, Qt::Key_Down);   // 75 %
    EXPECT_EQ(viewer->LeftPreview()->Zoom(), 75);
    EXPECT_EQ(viewer->RightPreview()->Zoom(), 75);
}

TEST_F(ViewerTest, AModalViewerReturnsWhenClosed)
{
    QTimer::singleShot(0, viewer, [this] { Click(viewer->Form().btnClose); });
    RpxShowViewerModal(*viewer);
    Settle();
    EXPECT_TRUE(viewer.isNull());
}

TEST_F(ViewerTest, SynchronizedPreviewsScrollTogether)
{
    viewer->SetDocument(RecordedDocument(2));
    auto& f = viewer->Form();
    MenuKey(viewer, f.Options1, Qt::Key_O, Qt::Key_P);   // "Two &Pages"
    MenuKey(viewer, f.Options1, Qt::Key_O, Qt::Key_S);   // "&Synchronized"
    ASSERT_TRUE(f.Synchronized->isChecked());
    f.ZoomValues->setFocus();
    for (int i = 0; i < 4; ++i) QTest::keyClick(f.ZoomValues, Qt::Key_Up);   // larger than the window
    Settle();
    QScrollBar* left = viewer->LeftPreview()->verticalScrollBar();
    QScrollBar* right = viewer->RightPreview()->verticalScrollBar();
    ASSERT_GT(left->maximum(), 0);
    ASSERT_GT(right->maximum(), 0);
    // A click in the left bar's trough, below its handle, moves it a page; the right one follows.
    auto pageDown = [&] { QTest::mouseClick(left, Qt::LeftButton, {}, QPoint(left->width() / 2, left->height() - left->width() - 3)); };
    pageDown();
    ASSERT_GT(left->value(), 0);
    EXPECT_EQ(right->value(), left->value());

    MenuKey(viewer, f.Options1, Qt::Key_O, Qt::Key_S);   // off again
    ASSERT_FALSE(f.Synchronized->isChecked());
    const int before = right->value();
    pageDown();
    EXPECT_GT(left->value(), before);
    EXPECT_EQ(right->value(), before);
}
