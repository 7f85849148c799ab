// The ecxsim executable: device line, options, clean stop on SIGTERM.
#include "UnitTestSupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace ecxsim_test;

namespace {

QString SimulatorPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/ecxsim");
}

TEST(UnitExecutable, PrintsTheDeviceAndAnswersWithItsOptions)
{
    if (!QFileInfo::exists(SimulatorPath()))
        GTEST_SKIP() << "ecxsim not built";
    // The unit variants are options of the executable too.
    struct Run {
        QStringList variant;
        char registerType, bitType;
        QByteArray bitSize;
    };
    const Run runs[] = {{{}, '0', '3', "01"},
                        {{"--bit-size", "00"}, '0', '3', "00"},
                        {{"--bit-size", "01", "--data-type", "Z"}, 'Z', 'Z', "01"}};
    for (const Run& run : runs) {
        QProcess sim;
        sim.start(SimulatorPath(), QStringList{"--firmware", "4.20", "--unit-type", "1", "--hours", "4321"} + run.variant);
        ASSERT_TRUE(sim.waitForStarted());
        ASSERT_TRUE(WaitFor([&] { return sim.canReadLine(); }));
        const QString first = QString::fromLocal8Bit(sim.readLine()).trimmed();
        ASSERT_TRUE(first.startsWith(QStringLiteral("ecxsim: listening on /dev/"))) << first.toStdString();
        const QByteArray device = first.mid(first.lastIndexOf(QLatin1Char(' ')) + 1).toLocal8Bit();

        const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        termios tio {};
        tcgetattr(fd, &tio);
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
        const auto exchange = [fd](const QByteArray& request, int replyLength) {
            EXPECT_EQ(::write(fd, request.constData(), size_t(request.size())), request.size());
            return ReadSome(fd, replyLength);
        };
        const QByteArray got = exchange(GetRegisters(2825, 3), 19); // firmware, hardware, unit type
        const QByteArray bit = exchange(Frame("F024" "0008" "00"), 14);
        const QByteArray counters = exchange("\x1b" "C", 24);
        ::close(fd);
        EXPECT_EQ(counters.left(24), QByteArray("Engine hours      4321\r\n"));
        ASSERT_EQ(got.size(), 19);
        EXPECT_EQ(got.at(4), run.registerType);
        EXPECT_EQ(Reverse(quint8(got.at(11))), 4);
        EXPECT_EQ(Reverse(quint8(got.at(12))), 20);
        EXPECT_EQ(Reverse(quint8(got.at(16))), 1);
        ASSERT_EQ(bit.size(), 14);
        EXPECT_EQ(bit.at(4), run.bitType);
        EXPECT_EQ(bit.mid(9, 3), run.bitSize + "1");

        ::kill(pid_t(sim.processId()), SIGTERM);
        ASSERT_TRUE(sim.waitForFinished(5000));
        EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(sim.exitCode(), 0);
    }
}

TEST(UnitExecutable, RefusesBadOptions)
{
    if (!QFileInfo::exists(SimulatorPath()))
        GTEST_SKIP() << "ecxsim not built";
    for (const QStringList& args : {QStringList{QStringLiteral("--firmware"), QStringLiteral("four")},
                                    QStringList{QStringLiteral("--stop-after"), QStringLiteral("x")},
                                    QStringList{QStringLiteral("--bit-size"), QStringLiteral("1")},
                                    QStringList{QStringLiteral("--data-type"), QStringLiteral("02")}}) {
        QProcess sim;
        sim.start(SimulatorPath(), args);
        ASSERT_TRUE(sim.waitForFinished(5000));
        EXPECT_EQ(sim.exitCode(), 2);
        EXPECT_TRUE(sim.readAllStandardOutput().isEmpty());
    }
}

} // namespace
