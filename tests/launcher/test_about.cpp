// The About box's hidden credits and the link label.
#include "launcher/graphics/GifTestSupport.h"
#include "launcher/Pictures.h"
#include "launcher/URLLabel.h"
#include "launcher/Usplash.h"
#include "launcher/about.h"
#include "platform/services/Shell.h"
#include "support/WaitFor.h"
#include "ui_Usplash.h"
#include "ui_about.h"

#include <QAbstractButton>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Types keys through the window system, so that access keys are looked up as for a user.
void Type(QWidget& w, const std::string& keys, Qt::KeyboardModifiers mods)
{
    for (char c : keys) {
        QTest::keyClick(w.windowHandle(), static_cast<Qt::Key>(Qt::Key_A + (c - 'A')), mods);
        QCoreApplication::processEvents();
    }
    // An access key presses its button and clicks it once a short animation has run.
    for (QAbstractButton* button : w.findChildren<QAbstractButton*>())
        EXPECT_TRUE(mwtest::WaitFor([&] { return !button->isDown(); }, "the access key's click"));
    QCoreApplication::processEvents();
}

}  // namespace

TEST(About, TheCodeTypedWithAltShowsTheCreditsAndOkDoesNotEatIt)
{
    struct Case { const char* keys; Qt::KeyboardModifiers mods; bool shown; bool open; };
    const Case cases[] = {
        {"QUOX", Qt::AltModifier, true, true},     // Alt+O within the code is no access key
        {"QUOX", Qt::NoModifier, false, true},
        {"QUQUOX", Qt::AltModifier, true, true},   // a wrong letter restarts the match from it
        {"QXUOX", Qt::AltModifier, false, true},
        {"O", Qt::AltModifier, false, false},      // on its own Alt+O is "&OK"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.keys) + (c.mods ? " with Alt" : ""));
        TfrmAbout about;
        about.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
        about.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
        about.ui->BitBtn1->setFocus();
        Type(about, c.keys, c.mods);
        EXPECT_EQ(about.ui->pnlEaster->isVisible(), c.shown);
        EXPECT_EQ(about.isVisible(), c.open);
    }
}

TEST(About, OkHidesTheCreditsAgain)
{
    TfrmAbout about;
    EXPECT_EQ(about.windowTitle(), "About Tasklander");
    EXPECT_EQ(about.size(), QSize(278, 169));
    EXPECT_EQ(about.ui->BitBtn1->text(), "&OK");
    about.show();
    about.FormKeyUp(Qt::Key_Q, Qt::AltModifier);
    about.FormKeyUp(Qt::Key_U, Qt::AltModifier);
    about.FormKeyUp(Qt::Key_Alt, Qt::AltModifier);  // releasing Alt itself is no letter
    about.FormKeyUp(Qt::Key_O, Qt::AltModifier);
    about.FormKeyUp(Qt::Key_X, Qt::AltModifier);
    EXPECT_TRUE(about.ui->pnlEaster->isVisible());
    EXPECT_EQ(about.Typed(), "");
    about.ui->BitBtn1->click();
    EXPECT_FALSE(about.ui->pnlEaster->isVisible());
    EXPECT_FALSE(about.isVisible());
}

TEST(URLLabel, OpensItsAddressOnAClickInsideAndShowsItsColours)
{
    std::vector<std::string> opened;
    TUrlOpener previous = SetUrlOpener([&](const std::string& url) { opened.push_back(url); return true; });
    TURLLabel label;
    EXPECT_EQ(label.Caption(), "Click me!");
    EXPECT_EQ(label.URL(), kBelvorURL);
    EXPECT_TRUE(label.font().underline());
    label.SetColorNormal(clNavy);
    label.SetColorMoveOver(clGreen);
    label.resize(100, 20);
    label.show();

    struct Step { const char* what; std::function<void()> act; TColor color; size_t opened; };
    const Step steps[] = {
        {"enter", [&] { QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5)); QCoreApplication::sendEvent(&label, &e); }, clGreen, 0},
        {"press", [&] { QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5)); }, clRed, 0},
        {"release inside", [&] { QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(5, 5)); }, clGreen, 1},
        {"press again", [&] { QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5)); }, clRed, 1},
        {"release outside", [&] { QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(150, 5)); }, clNavy, 1},
        {"leave", [&] { QEvent e(QEvent::Leave); QCoreApplication::sendEvent(&label, &e); }, clNavy, 1},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(label.FontColor(), s.color);
        EXPECT_EQ(opened.size(), s.opened);
    }
    label.SetURL("");
    label.SetCaption("http://example.invalid/caption");
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
    SetUrlOpener(previous);
    EXPECT_EQ(opened, (std::vector<std::string>{kBelvorURL, "http://example.invalid/caption"}));
}

TEST(Splash, ShowsThePicture)
{
    const QPixmap picture = SplashPicture();
    ASSERT_FALSE(picture.isNull()) << "the splash picture is not compiled in or cannot be read";
    EXPECT_EQ(picture.size(), QSize(407, 243));
    TfSplash splash;
    EXPECT_EQ(splash.size(), QSize(407, 243));
    EXPECT_EQ(splash.ui->Image1->pixmap().size(), QSize(407, 243));
}

// The splash is decoded by the launcher's own GIF reader: its pixels are giflib's.
TEST(Splash, PixelsAreGiflibs)
{
    QFile f(":/launcher/Splash.gif");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray data = f.readAll();
    const gift::Bytes gif(data.begin(), data.end());
    const gift::Pixels expected = gift::GiflibDecode(gif);
    const QImage shown = SplashPicture().toImage().convertToFormat(QImage::Format_RGB32);
    gift::Pixels got{shown.width(), shown.height(), {}};
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) got.Rgb.push_back(shown.pixel(x, y) & 0xFFFFFF);
    EXPECT_EQ(got, expected);
}
