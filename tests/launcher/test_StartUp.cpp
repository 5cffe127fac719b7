// Tasklander's start-up as the program runs it: the splash is on the screen, painted, before
// the start-up wait; the windows come after it; the units' registrations are made by the start
// itself. Once in this process (offscreen), and once as the real program under an X server.
#include "LauncherFixture.h"
#include "launcher/Pictures.h"
#include "launcher/StartUp.h"
#include "launcher/Usplash.h"
#include "launcher/about.h"
#include "launcher/graphics/QvGIF.h"
#include "launcher/uMain.h"
#include "platform/graphics/Clipbrd.h"
#include "platform/graphics/Graphics.h"
#include "platform/ui/Cursors.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QWindow>

namespace {

TfSplash* ShownSplash()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = dynamic_cast<TfSplash*>(w); s && s->isVisible()) return s;
    return nullptr;
}

// The share of a grid of the splash picture's pixels that the screen shows at `at`.
double SplashShownAt(const QImage& screen, QPoint at)
{
    const QImage picture = SplashPicture().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage shown = screen.convertToFormat(QImage::Format_RGB32);
    int same = 0, all = 0;
    for (int y = 5; y < picture.height(); y += 11)
        for (int x = 5; x < picture.width(); x += 13, ++all)
            if (shown.valid(at.x() + x, at.y() + y) && shown.pixel(at.x() + x, at.y() + y) == picture.pixel(x, y)) ++same;
    return all ? double(same) / all : 0;
}

class TasklanderStart : public LauncherFixture {};

}  // namespace

TEST_F(TasklanderStart, TheSplashIsPaintedBeforeTheWaitAndTheWindowsComeAfterIt)
{
    ASSERT_FALSE(SplashPicture().isNull());
    qputenv("MW_REGISTRY_FILE", QByteArray::fromStdString(registry));
    const QString settings = QCoreApplication::applicationDirPath() + "/Tasklander.ini";
    QFile::remove(settings);
    bool waited = false;
    ASSERT_TRUE(StartTasklander([&](int ms) {
        waited = true;
        EXPECT_EQ(ms, 500);
        EXPECT_EQ(frmMainForm, nullptr);
        TfSplash* splash = ShownSplash();
        ASSERT_NE(splash, nullptr);
        ASSERT_TRUE(splash->windowHandle() && splash->windowHandle()->isExposed());
        const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        EXPECT_GT(SplashShownAt(screen, splash->geometry().topLeft()), 0.95);
    }));
    qunsetenv("MW_REGISTRY_FILE");
    EXPECT_TRUE(waited);
    EXPECT_NE(frmMainForm, nullptr);
    EXPECT_NE(frmAbout, nullptr);
    EXPECT_EQ(ShownSplash(), nullptr);

    // What the windows' pictures, the clipboard and the cursors need was registered on the way.
    EXPECT_NE(dynamic_cast<QvGIF::TGIFImage*>(TPicture::CreateGraphic("gif").get()), nullptr);
    EXPECT_TRUE(SupportsPictureClipboardFormat(RegisterClipboardFormat("GIF Image")));
    EXPECT_TRUE(SupportsPictureClipboardFormat(RegisterClipboardFormat("Tasklander Icon")));
    EXPECT_TRUE(ScreenCursorImage(14000).has_value());
    EXPECT_TRUE(ScreenCursorImage(14001).has_value());

    Application->DestroyForms();
    frmMainForm = nullptr;
    frmAbout = nullptr;
    QFile::remove(settings);
}

// An X server of the test's own with a window manager, which maps windows in its own time
// (as a desktop does): the display's name once the manager runs, else empty.
class TXServer {
public:
    // home: a folder of the test's own for the window manager's settings and caches, so that
    // managers started side by side never share a file.
    explicit TXServer(const QString& home)
    {
        for (const char* tool : {"Xvfb", "openbox", "xprop"})
            if (QStandardPaths::findExecutable(tool).isEmpty()) missing_ = tool;
        if (!missing_.isEmpty()) return;
        server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        const QDeadlineTimer deadline(30000);
        while (!server_.canReadLine() && server_.state() != QProcess::NotRunning && !deadline.hasExpired())
            server_.waitForReadyRead(1000);
        const QString number = QString::fromLatin1(server_.readLine()).trimmed();
        if (number.isEmpty()) return;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", ":" + number);
        QProcessEnvironment managerEnv = env;
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
            managerEnv.insert(name, home);
        manager_.setProcessEnvironment(managerEnv);
        manager_.setProcessChannelMode(QProcess::MergedChannels);
        manager_.start("openbox", {"--sm-disable"});
        // Ready once the manager has announced itself on the root window.
        while (!deadline.hasExpired() && manager_.state() != QProcess::NotRunning) {
            QProcess probe;
            probe.setProcessEnvironment(env);
            probe.start("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
            probe.waitForFinished(10000);
            if (probe.readAll().contains("window id")) {
                display_ = ":" + number;
                break;
            }
        }
    }
    ~TXServer()
    {
        for (QProcess* p : {&manager_, &server_}) {
            p->terminate();
            if (!p->waitForFinished(10000)) p->kill();
            p->waitForFinished(10000);
        }
    }
    QString Missing() const { return missing_; }
    QString Display() const { return display_; }
    // What the server and the manager said, for a start that failed.
    std::string Said() { return (server_.readAllStandardError() + manager_.readAll()).toStdString(); }

private:
    QProcess server_, manager_;
    QString missing_, display_;
};

// The program itself under an X server with a window manager: the screen at the start of the
// wait shows the splash.
TEST_F(TasklanderStart, TheProgramShowsItsSplashUnderAnXServer)
{
    TXServer x(QString::fromStdString(root));
    if (!x.Missing().isEmpty()) GTEST_SKIP() << x.Missing().toStdString() << " is not installed";
    // The machine could not give the test a desktop: nothing of the program's is known then.
    if (x.Display().isEmpty()) GTEST_SKIP() << "the X server or its window manager did not start: " << x.Said();
    const QString shot = QString::fromStdString(root + "/shot.png");
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", x.Display());
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("MW_SCREENSHOT", shot + ":0");
    env.insert("MW_REGISTRY_FILE", QString::fromStdString(registry));
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(MW_TASKLANDER, QStringList{});
    ASSERT_TRUE(program.waitForStarted(30000));
    ASSERT_TRUE(program.waitForFinished(25000)) << "Tasklander did not end after its screenshot";
    const std::string output = program.readAll().toStdString();
    EXPECT_EQ(program.exitCode(), 0) << output;
    const QImage screen(shot);
    ASSERT_FALSE(screen.isNull()) << output;
    ASSERT_EQ(screen.size(), QSize(1024, 768));
    // Centred on the screen, as the window layout places it.
    const QPoint at = QRect(0, 0, 1024, 768).center() - QRect(0, 0, 407, 243).center();
    EXPECT_GT(SplashShownAt(screen, at), 0.95);
}
