#include "launcher/Usplash.h"

#include "launcher/Pictures.h"
#include "ui_Usplash.h"

#include <QGuiApplication>
#include <QScreen>

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
