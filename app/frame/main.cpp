#include "app/frame/Startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (const int refused = PrepareDisplay(argc, argv); refused >= 0)
        return refused;
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Kelvaro");
    QApplication::setApplicationName("Quarno");
    return RunQuarno(app);
}
