#include "app/frame/Startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Kelvaro");
    QApplication::setApplicationName("Quarno");
    return RunQuarno(app);
}
