#include "launcher/Usplash.h"

#include "launcher/Pictures.h"
#include "ui_Usplash.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

TfSplash::TfSplash(QWidget* owner) : TForm(owner), ui(std::make_unique<Ui::TfSplash>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setFixedSize(407, 243);
    ui->Image1->setPixmap(SplashPicture());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfSplash::~TfSplash() = default;

void TfSplash::ShowAndPaint()
{
    show();
    // A window is mapped by the window system in its own time; painted before that, nothing
    // reaches the screen. Serve the window system until the window is exposed, then paint.
    const QDeadlineTimer deadline(5000);
    auto exposed = [this] { return windowHandle() && windowHandle()->isExposed(); };
    if (!exposed()) {
        QEventLoop loop;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, &loop, [&] {
            if (exposed() || deadline.hasExpired()) loop.quit();
        });
        look.start(5);
        loop.exec();
    }
    repaint();
    QCoreApplication::processEvents();
}
