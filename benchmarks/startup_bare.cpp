// The yardstick of Mastwise's start-up: a bare Qt Widgets window of the main window's size,
// timed to its first paint like Mastwise (scripts/bench).
#include "platform/ui/StartupProbe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(620, 470);
    InstallFirstPaintProbe(&window);
    window.show();
    return app.exec();
}
