// Shared test main: headless GUI application, so widgets and timers work in every test.
#include "platform/FileAttributes.h"
#include "platform/FileDialogs.h"
#include "platform/FileIdentity.h"
#include "platform/KeyState.h"
#include "platform/LibraryLoader.h"
#include "platform/Locale.h"
#include "platform/Mailer.h"
#include "platform/MessagePresenter.h"
#include "platform/ProgramLocation.h"
#include "platform/ScreenInfo.h"
#include "platform/Shell.h"
#include "platform/StatusSink.h"
#include "platform/SystemInfo.h"
#include "platform/TimeSource.h"

#include <QApplication>
#include <QDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <memory>
#include <vector>
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

// What a test leaves behind meets the tests after it in the same process, which CTest's one test
// a process hides: a window, or a double still set in place of a platform service (pointing at
// the test's own object, gone by then). Each test must end without either.
class LeftBehindCheck : public ::testing::EmptyTestEventListener {
public:
    LeftBehindCheck() : m_services(Services()) {}

    void OnTestEnd(const ::testing::TestInfo&) override
    {
        // What the test asked to be deleted goes now, as its own event loop would have done.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QStringList windows;
        for (const QWidget* window : QApplication::topLevelWidgets())
            windows << QString::fromLatin1(window->metaObject()->className()) + QLatin1Char(' ') + window->objectName();
        EXPECT_TRUE(windows.isEmpty()) << "windows left behind: " << windows.join(QStringLiteral(", ")).toStdString();
        EXPECT_TRUE(Services() == m_services) << "a double left set in place of a platform service";
    }

private:
    // The services whose real form is harmless to make up front; the settings, printers and
    // clipboard are left out, so no test run reads the user's own.
    static std::vector<const void*> Services()
    {
        return {&platform::FileAttributes::Instance(), &platform::FileDialogs::Instance(),
                &platform::FileIdentity::Instance(),   &platform::KeyState::Instance(),
                &platform::LibraryLoader::Instance(),  &platform::Locale::Instance(),
                &platform::Mailer::Instance(),         &platform::MessagePresenter::Instance(),
                &platform::ProgramLocation::Instance(), &platform::ScreenInfo::Instance(),
                &platform::Shell::Instance(),          &platform::StatusSink::Instance(),
                &platform::SystemInfo::Instance(),     &platform::TimeSource::Instance()};
    }

    const std::vector<const void*> m_services;
};

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
    ::testing::UnitTest::GetInstance()->listeners().Append(new LeftBehindCheck);
    return RUN_ALL_TESTS();
}
