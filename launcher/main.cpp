// Tasklander: the splash, the main window and the About box, then the message loop.
#include "launcher/StartUp.h"
#include "launcher/about.h"
#include "launcher/uMain.h"
#include "platform/services/Shell.h"
#include "platform/ui/Forms.h"

#include <QDesktopServices>
#include <QUrl>

int main(int argc, char** argv)
{
    TQtApplication app(argc, argv);
    QCoreApplication::setApplicationName("Tasklander");
    SetUrlOpener([](const std::string& url) { return QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(url))); });
    Application->Initialize();
    if (!StartTasklander()) return 0;
    const int rc = Application->Run();
    frmMainForm = nullptr;
    frmAbout = nullptr;
    return rc;
}
