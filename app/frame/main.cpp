#include "app/frame/Startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    CommandLine line(argc, argv);
    if (const int refused = PrepareDisplay(line); refused >= 0)
        return refused;
    QApplication app(line.QtArgc(), line.QtArgv());
    QApplication::setOrganizationName("Kelvaro");
    QApplication::setApplicationName("Quarno");
    return RunQuarno(app, line.Arguments());
}
