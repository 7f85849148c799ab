// The stop signals: armed, the first reaches the event loop and the program lives on, and so does
// its repeat within a second; a later one, or any signal unarmed, ends the program as the
// signal's default action does; one ignored at start stays ignored.
#include "platform/StopSignals.h"

#include "tests/common/WaitFor.h"

#include <QCoreApplication>
#include <csignal>
#include <gtest/gtest.h>

namespace {

using platform::StopSignals;

qint64 g_handlerMs = 0; // the handler's clock, stepped: no test waits the real second

class StopSignalsTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_P(StopSignalsTest, ArmedTheFirstIsToldOnceAndTheProgramLivesOn)
{
    const int signal = GetParam();
    QList<int> told;
    const auto connection = QObject::connect(&StopSignals::Instance(), &StopSignals::Stop, [&](int s) { told << s; });
    {
        StopSignals::Arm outer;
        StopSignals::Arm inner; // nested: one arming
        std::raise(signal);
        EXPECT_TRUE(testing_doubles::RunEventsUntil([&] { return !told.isEmpty(); }));
        QCoreApplication::processEvents();
        EXPECT_EQ(told, QList<int>{signal});
        EXPECT_EQ(StopSignals::Instance().Caught(), signal);
    }
    // A new arming starts without the old signal.
    StopSignals::Arm again;
    EXPECT_EQ(StopSignals::Instance().Caught(), 0);
    QObject::disconnect(connection);
}

TEST_P(StopSignalsTest, UnarmedOrASecondSignalEndsTheProgramAtOnceUnlessIgnoredAtStart)
{
    const int signal = GetParam();
    // Ignored when the program started (nohup): never caught, armed or not. The child process
    // inherits the ignored signal; this case comes first, so it runs nothing before.
    std::signal(signal, SIG_IGN);
    EXPECT_EXIT(
        {
            { StopSignals::Arm arm; std::raise(signal); }
            std::raise(signal);
            std::_Exit(StopSignals::Instance().Caught() == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    std::signal(signal, SIG_DFL);
    EXPECT_EXIT(std::raise(signal), ::testing::KilledBySignal(signal), "");
    // While the first is still being handled: sent again at once (to the process and its
    // group) it is the same stop; a second later someone asks again.
    for (const int laterMs : {0, 999, 1000})
        EXPECT_EXIT(
            {
                StopSignals::SetHandlerClock([] { return g_handlerMs; });
                StopSignals::Arm arm;
                std::raise(signal);
                g_handlerMs += laterMs;
                std::raise(signal);
                std::_Exit(0);
            },
            [&](int status) { return laterMs < 1000 ? status == 0 : ::testing::KilledBySignal(signal)(status); }, "")
            << laterMs;
    EXPECT_EXIT(
        {
            { StopSignals::Arm arm; }
            std::raise(signal); // the arming has ended: the action it had before
            std::_Exit(0);
        },
        ::testing::KilledBySignal(signal), "");
    EXPECT_EXIT(StopSignals::EndBySignal(signal), ::testing::KilledBySignal(signal), "");
    EXPECT_EXIT(StopSignals::EndProcess(3), ::testing::ExitedWithCode(3), "");
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalsTest, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& info) { return StopSignals::Name(info.param).toStdString(); });

} // namespace
