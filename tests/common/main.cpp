// Shared test main: headless GUI application, so widgets and timers work in every test.
#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

// A stop signal ignored when the program started is never caught: a test run started so (nohup,
// a background job) begins again with the default actions. A death test's child keeps its own.
void StartWithDefaultStopSignals(char** argv)
{
    for (char** a = argv; *a; ++a)
        if (std::strstr(*a, "gtest_internal_run_death_test"))
            return;
    bool ignored = false;
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        ignored = std::signal(s, SIG_DFL) == SIG_IGN || ignored;
    if (ignored)
        execv("/proc/self/exe", argv);
}

} // namespace

int main(int argc, char** argv)
{
    StartWithDefaultStopSignals(argv);
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
