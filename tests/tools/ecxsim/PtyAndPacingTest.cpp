// The unit over a pseudo-terminal, and output paced at the line rate.
#include "UnitTestSupport.h"

#include "tools/ecxsim/LineSender.h"
#include "tools/ecxsim/PtyServer.h"

#include <QSerialPort>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace ecxsim_test;
using ecxsim::Unit;

namespace {

const char* kGetRegister0 = "02 46 30 31 32 34 30 30 30 30 32 03 70";
const char* kReply0 = "02 46 30 31 30 34 30 30 30 30 32 00 00 03 72";

TEST(UnitPty, RequestAndReplyThroughTheSlave)
{
    Unit unit;
    ecxsim::PtyServer server(&unit);
    ASSERT_TRUE(server.Open()) << server.ErrorString().toStdString();
    EXPECT_TRUE(server.SlavePath().startsWith(QStringLiteral("/dev/")));

    const int fd = ::open(server.SlavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios tio {};
    ASSERT_EQ(tcgetattr(fd, &tio), 0);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);

    const QByteArray request = Bytes(kGetRegister0);
    ASSERT_EQ(::write(fd, request.constData(), size_t(request.size())), request.size());
    EXPECT_EQ(HexOf(ReadSome(fd, 15)), kReply0);

    unit.SetLogBurst(8, 1);
    unit.SetLogText(Unit::LogSection::Counters, "Engine hours 1234\r\n");
    ASSERT_EQ(::write(fd, "\x1b" "C", 2), 2);
    EXPECT_EQ(ReadSome(fd, 19), QByteArray("Engine hours 1234\r\n"));
    ::close(fd);

    // A second client after the first went away is served as well.
    const int again = ::open(server.SlavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(again, 0);
    ASSERT_EQ(::write(again, request.constData(), size_t(request.size())), request.size());
    EXPECT_EQ(HexOf(ReadSome(again, 15)), kReply0);
    ::close(again);
    EXPECT_EQ(unit.PackagesAnswered(), 2);
}

TEST(UnitPty, SerialPortClientSeesTheUnit)
{
    Unit unit;
    ecxsim::PtyServer server(&unit);
    ASSERT_TRUE(server.Open());
    QSerialPort port(server.SlavePath());
    port.setBaudRate(9600);
    port.setParity(QSerialPort::OddParity);
    port.setDataBits(QSerialPort::Data8);
    port.setStopBits(QSerialPort::OneStop);
    ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << port.errorString().toStdString();
    port.write(Bytes(kGetRegister0));
    QByteArray got;
    WaitFor([&] {
        got.append(port.readAll());
        return got.size() >= 15;
    });
    EXPECT_EQ(HexOf(got), kReply0);
}

TEST(UnitPty, ClosedServerIgnoresOutput)
{
    Unit unit;
    ecxsim::PtyServer server(&unit);
    ASSERT_TRUE(server.Open());
    server.Close();
    EXPECT_FALSE(server.IsOpen());
    unit.Receive(Bytes(kGetRegister0)); // nowhere to go, and no harm
    EXPECT_EQ(unit.PackagesAnswered(), 1);
}

TEST(UnitPacing, CharacterTimeIsElevenBitsAt9600)
{
    EXPECT_EQ(ecxsim::LineSender::CharacterNs(), 1145833);
}

TEST(UnitPacing, PacedReplyLeavesLaterAndWhole)
{
    Unit unit;
    unit.SetPaced(true);
    Line line(unit);
    unit.SetLogBurst(7, 3);
    unit.SetLogText(Unit::LogSection::Information, "0123456789ABCDEFGHIJ");
    unit.Receive(Bytes(kGetRegister0) + "\x1bI");
    EXPECT_LT(line.all.size(), 15 + 20); // not all at once
    EXPECT_TRUE(unit.Sending());
    EXPECT_TRUE(WaitFor([&] { return !unit.Sending(); }));
    EXPECT_EQ(line.all, Bytes(kReply0) + "0123456789ABCDEFGHIJ");
    EXPECT_EQ(unit.BytesOut(), 35);
}

TEST(UnitPacing, SenderKeepsOrderAcrossGapsAndClear)
{
    ecxsim::LineSender sender;
    QByteArray out;
    int drained = 0;
    QObject::connect(&sender, &ecxsim::LineSender::Output, [&](const QByteArray& b) { out += b; });
    QObject::connect(&sender, &ecxsim::LineSender::Drained, [&] { ++drained; });
    sender.Send("ab");
    sender.Send("cd", 2);
    sender.Send("ef");
    EXPECT_EQ(out, QByteArray("ab"));
    EXPECT_TRUE(WaitFor([&] { return !sender.Busy(); }));
    EXPECT_EQ(out, QByteArray("abcdef"));
    EXPECT_GE(drained, 1);

    sender.SetPaced(true);
    sender.Send(QByteArray(200, 'x'));
    sender.Clear();
    EXPECT_FALSE(sender.Busy());
    sender.Send("z");
    EXPECT_TRUE(WaitFor([&] { return !sender.Busy(); }));
    EXPECT_TRUE(out.endsWith('z'));
    EXPECT_LT(out.count('x'), 200);
}

} // namespace
