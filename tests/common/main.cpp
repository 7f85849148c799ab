// Shared test main: headless GUI application, so widgets and timers work in every test.
#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>

#include <memory>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The machine's own print server and default printer never take part: the print tests
    // start a server of their own, and all others behave as on a machine without one.
    qputenv("CUPS_SERVER", QDir::temp().filePath(QStringLiteral("quarno-test-no-print-server-%1.sock")
                                                     .arg(QCoreApplication::applicationPid())).toLocal8Bit());
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
