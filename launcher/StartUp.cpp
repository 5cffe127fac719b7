#include "launcher/StartUp.h"

#include "launcher/Usplash.h"
#include "launcher/about.h"
#include "launcher/graphics/ClipIcon.h"
#include "launcher/graphics/QVConst.h"
#include "launcher/graphics/QvGIF.h"
#include "launcher/uMain.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <mutex>

namespace {

// Serves the window system for ms milliseconds.
void ServeFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

void RegisterLauncherUnits()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QvGIF::RegisterGIFImage();
        RegisterIconClipboardFormat();
        RegisterQvCursors();
    });
}

bool StartTasklander(const std::function<void(int ms)>& wait)
{
    RegisterLauncherUnits();
    auto splash = std::make_unique<TfSplash>();
    splash->ShowAndPaint();
    Application->SetTitle("Tasklander - For Telecommunications System Planning");

    const QByteArray shot = qgetenv("MW_SCREENSHOT");
    if (const qsizetype colon = shot.lastIndexOf(':'); colon > 0) {
        if (const int ms = shot.mid(colon + 1).toInt(); ms > 0) ServeFor(ms);
        if (QScreen* screen = QGuiApplication::primaryScreen())
            screen->grabWindow(0).save(QString::fromLocal8Bit(shot.left(colon)), "PNG");
        return false;
    }

    if (wait) wait(500);
    else ServeFor(500);
    Application->CreateForm(frmMainForm);
    Application->CreateForm(frmAbout);
    splash->hide();
    splash.reset();
    return true;
}
