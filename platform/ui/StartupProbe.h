// Start-up measurement for scripts/bench. With MW_FIRST_PAINT_PROBE set, the first paint of
// the window prints how long the process took to get there (from MW_LAUNCH_NS, the launch time
// in nanoseconds of the realtime clock, set by whoever starts it) and its resident memory,
// then quits. With MW_SCREENSHOT=<file>:<ms> the screen is saved to the PNG file that many
// milliseconds after the first paint, then the program quits (pictures of the running program
// on a display without a screen). Header only: the bare window it is compared with links
// nothing of ours.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

inline void InstallScreenshot(QWidget* window)
{
    const QByteArray spec = qgetenv("MW_SCREENSHOT");
    const qsizetype colon = spec.lastIndexOf(':');
    if (colon <= 0) return;
    const QString file = QString::fromLocal8Bit(spec.left(colon));
    const int ms = spec.mid(colon + 1).toInt();
    QTimer::singleShot(ms, window, [file] {
        if (QScreen* screen = QGuiApplication::primaryScreen()) screen->grabWindow(0).save(file, "PNG");
        QCoreApplication::quit();
    });
}

inline void InstallFirstPaintProbe(QWidget* window)
{
    InstallScreenshot(window);
    if (!qEnvironmentVariableIsSet("MW_FIRST_PAINT_PROBE")) return;
    class TProbe : public QObject {
    public:
        using QObject::QObject;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() != QEvent::Paint || seen_) return false;
            seen_ = true;
            QTimer::singleShot(0, this, [] {  // once the paint is done
                using namespace std::chrono;
                const long long now = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
                const long long launch = qEnvironmentVariableIsSet("MW_LAUNCH_NS")
                                             ? qgetenv("MW_LAUNCH_NS").toLongLong()
                                             : now;
                long rssKiB = 0;
                QFile status("/proc/self/status");
                if (status.open(QIODevice::ReadOnly))
                    for (const QByteArray& line : status.readAll().split('\n'))
                        if (line.startsWith("VmRSS:")) rssKiB = line.mid(6).trimmed().split(' ').front().toLong();
                std::printf("first-paint-ms %.1f rss-kib %ld\n", static_cast<double>(now - launch) / 1e6, rssKiB);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
            return false;
        }

    private:
        bool seen_ = false;
    };
    window->installEventFilter(new TProbe(window));
}
