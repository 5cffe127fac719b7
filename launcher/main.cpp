// Tasklander: the splash, the main window and the About box, then the message loop.
#include "launcher/Usplash.h"
#include "launcher/about.h"
#include "launcher/uMain.h"
#include "platform/services/Shell.h"

#include <QDesktopServices>
#include <QThread>
#include <QUrl>

int main(int argc, char** argv)
{
    TQtApplication app(argc, argv);
    QCoreApplication::setApplicationName("Tasklander");
    SetUrlOpener([](const std::string& url) { return QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(url))); });
    Application->Initialize();

    auto splash = std::make_unique<TfSplash>();
    splash->show();
    splash->repaint();
    Application->ProcessMessages();
    Application->SetTitle("Tasklander - For Telecommunications System Planning");
    QThread::msleep(500);
    Application->CreateForm(frmMainForm);
    Application->CreateForm(frmAbout);
    splash->hide();
    splash.reset();
    const int rc = Application->Run();
    frmMainForm = nullptr;
    frmAbout = nullptr;
    return rc;
}
