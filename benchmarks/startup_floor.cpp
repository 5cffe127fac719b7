// The floor under Mastwise's start-up: the bare window of startup_bare given what any window
// of Mastwise's kind pays before its first paint and that our code cannot take away: the
// libraries Mastwise is linked with (Qt's print support and CUPS, loaded and relocated at
// launch though nothing is printed), a menu bar and a line of text (which load the style's
// icons and the font database). scripts/startup-times times it beside the other two.
#include "platform/ui/StartupProbe.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPrinterInfo>
#include <QVBoxLayout>
#include <QWidget>

#include <cups/cups.h>

int main(int argc, char** argv)
{
    // Referenced, never called: the linker keeps both libraries among those loaded at launch.
    static const char* (*volatile cupsDefault)() = &cupsGetDefault;
    static QStringList (*volatile printerNames)() = &QPrinterInfo::availablePrinterNames;
    (void)cupsDefault;
    (void)printerNames;

    QApplication app(argc, argv);
    QWidget window;
    window.resize(620, 470);
    auto* layout = new QVBoxLayout(&window);
    auto* menu = new QMenuBar(&window);
    menu->addMenu("&File");
    layout->setMenuBar(menu);
    layout->addWidget(new QLabel("Equipment Selection", &window));
    InstallFirstPaintProbe(&window);
    window.show();
    return app.exec();
}
