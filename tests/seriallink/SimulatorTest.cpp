// Comm against the simulated unit: in-process and over a real pseudo-terminal through
// the real serial port.
#include "seriallink/Comm.h"
#include "seriallink/XelCommTesting.h"
#include "tests/common/Doubles.h"
#include "tools/ecxsim/PtyServer.h"
#include "tools/ecxsim/SimulatedPort.h"
#include "tools/ecxsim/Unit.h"

#include <gtest/gtest.h>

namespace {

using ecxsim::Unit;

constexpr qint32 kUnlock = 24873;

QVector<qint32> Pattern(int n, int seed)
{
    QVector<qint32> v;
    for (int i = 0; i < n; ++i)
        v << ((seed + i * 2654435761u) & 0xFFFF);
    return v;
}

class SimulatedUnit : public ::testing::Test {
protected:
    testing_doubles::PlatformDoubles doubles;
    Unit unit;
    ecxsim::SimulatedPort* port = nullptr;
    Comm comm;

    void SetUp() override
    {
        XelCommTesting::SetMillisecondsPerSecond(25);
        platform::SerialPort::SetFactory(ecxsim::SimulatedPort::FactoryFor(&unit, false, &port));
        comm.SetSettings("9600,o,8,1");
        comm.SetIdentity(240);
        comm.SetRetries(1);
        comm.SetTimeOut(1);
        comm.StartComm();
    }
    void TearDown() override
    {
        comm.EndComm();
        platform::SerialPort::SetFactory({});
        XelCommTesting::SetMillisecondsPerSecond(1000);
    }
};

TEST_F(SimulatedUnit, UnlockWriteAndReadBackSeventyRegisters)
{
    qint32 lock = 0;
    ASSERT_TRUE(comm.SetRegister(0, kUnlock));
    ASSERT_TRUE(comm.GetRegister(0, lock));
    EXPECT_EQ(lock, kUnlock);
    const QVector<qint32> values = Pattern(70, 7);
    ASSERT_TRUE(comm.SetRegistersEx(200, values));
    for (int i = 0; i < 70; ++i)
        ASSERT_EQ(unit.Register(200 + i), values[i]) << i;
    QVector<qint32> back;
    ASSERT_TRUE(comm.GetRegistersEx(200, 70, back));
    EXPECT_EQ(back, values);
    EXPECT_EQ(port->LastPortNumber(), 1);
}

TEST_F(SimulatedUnit, LateRepliesAreNotTakenForLaterPackages)
{
    // At the line rate a 64-register reply takes about 160 ms; the time-out is 250 ms. The
    // first reply comes 300 ms late, after the answer to the re-send, and so arrives while
    // the master waits for the next package, which asks for other registers.
    XelCommTesting::SetMillisecondsPerSecond(250);
    const QVector<qint32> values = Pattern(200, 5);
    for (int i = 0; i < 200; ++i)
        unit.SetRegister(100 + i, quint16(values[i]));
    unit.SetPaced(true);
    comm.SetRetries(3);
    unit.SetReplyDelay(300);
    unit.SetFault(Unit::Fault::DelayedReply, 1);
    QVector<qint32> back;
    ASSERT_TRUE(comm.GetRegistersEx(100, 200, back));
    EXPECT_EQ(back, values);
}

TEST_F(SimulatedUnit, LockedWriteTimesOut)
{
    EXPECT_FALSE(comm.SetRegister(5, 1));
    EXPECT_EQ(comm.CommError(), 1);
    EXPECT_EQ(port->Writes().size(), 2);
    EXPECT_EQ(unit.Register(5), 0);
}

TEST_F(SimulatedUnit, BitsRoundTrip)
{
    bool present = false;
    ASSERT_TRUE(comm.GetBit(8, present));
    QVector<bool> bits;
    for (int i = 0; i < 1100; ++i)
        bits << ((i * 7) % 3 == 0);
    ASSERT_TRUE(comm.SetBitsEx(1003, bits));
    for (int i = 0; i < 1100; ++i)
        ASSERT_EQ(unit.Bit(1003 + i), bits[i]) << i;
    QVector<bool> back;
    ASSERT_TRUE(comm.GetBitsEx(1003, 1100, back));
    EXPECT_EQ(back, bits);
    QVector<bool> few;
    ASSERT_TRUE(comm.GetBits(1005, 20, few));
    EXPECT_EQ(few, bits.mid(2, 20));
    ASSERT_TRUE(comm.SetBit(1003, !bits[0]));
    EXPECT_EQ(unit.Bit(1003), !bits[0]);
}

TEST_F(SimulatedUnit, PiecesAndStrayBytesStillGiveTheReply)
{
    // No time-out is expected here: a full second keeps a loaded machine's late pieces in time.
    XelCommTesting::SetMillisecondsPerSecond(1000);
    unit.SetRegister(2825, 0x042F);
    unit.SetFault(Unit::Fault::SplitReply);
    unit.SetSplit(3, 2);
    qint32 value = 0;
    ASSERT_TRUE(comm.GetRegister(2825, value));
    EXPECT_EQ(value, 0x042F);
    unit.ClearFaults();
    unit.SetStrayBytes(QByteArray("\x02\x02x", 3));
    unit.SetFault(Unit::Fault::StrayBytes);
    for (int i = 0; i < 3; ++i) {
        value = 0;
        ASSERT_TRUE(comm.GetRegister(2825, value)) << i;
        EXPECT_EQ(value, 0x042F);
    }
    EXPECT_EQ(port->Writes().size(), 4); // no re-sends were needed
}

TEST_F(SimulatedUnit, FaultsAndRetries)
{
    qint32 value = 0;
    unit.SetFault(Unit::Fault::BadBlockCheck, 1);
    EXPECT_TRUE(comm.GetRegister(2816, value));
    EXPECT_EQ(port->Writes().size(), 2);

    unit.SetFault(Unit::Fault::BadBlockCheck);
    EXPECT_FALSE(comm.GetRegister(2816, value));
    EXPECT_EQ(comm.CommError(), 1);
    unit.ClearFaults();

    unit.SetFault(Unit::Fault::WrongThirdCharacter);
    EXPECT_FALSE(comm.GetRegister(2816, value));
    unit.ClearFaults();

    comm.SetRetries(3);
    const int before = int(port->Writes().size());
    unit.SetFault(Unit::Fault::Silence);
    bool silent = false;
    EXPECT_FALSE(comm.GetBit(8, silent));
    EXPECT_EQ(port->Writes().size() - before, 4);
    unit.ClearFaults();
    bool bit = false;
    EXPECT_TRUE(comm.GetBit(8, bit));
}

TEST_F(SimulatedUnit, TwoLiveCommsKeepTheirOwnReplies)
{
    Unit second;
    second.SetRegister(2827, 1);
    unit.SetRegister(2827, 0);
    bool present = false;
    ASSERT_TRUE(comm.GetBit(8, present)); // comm's port is bound to the first unit
    // The next port made is bound to the second unit.
    platform::SerialPort::SetFactory(ecxsim::SimulatedPort::FactoryFor(&second));
    Comm other;
    other.SetIdentity(240);
    other.SetRetries(0);
    qint32 a = -1, b = -1;
    ASSERT_TRUE(other.GetRegister(2827, b));
    ASSERT_TRUE(comm.GetRegister(2827, a));
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    comm.EndComm();
    ASSERT_TRUE(other.GetRegister(2827, b));
    EXPECT_EQ(b, 1);
}

// ---- over a pseudo-terminal ------------------------------------------------------------

class PtyUnit : public ::testing::Test {
protected:
    testing_doubles::PlatformDoubles doubles;
    Unit unit;
    ecxsim::PtyServer server{&unit};
    Comm comm;

    void SetUp() override
    {
        if (!server.Open())
            GTEST_SKIP() << "no pseudo-terminal: " << server.ErrorString().toStdString();
        XelCommTesting::SetMillisecondsPerSecond(250);
        // Port 7 points at the simulator through the settings store.
        doubles.settings->SetValue("Ports/COM7", server.SlavePath());
        comm.SetSettings("9600,o,8,1");
        comm.SetCommPort(7);
        comm.SetIdentity(240);
        comm.SetRetries(3);
        comm.SetTimeOut(1);
        comm.StartComm();
    }
    void TearDown() override
    {
        comm.EndComm();
        XelCommTesting::SetMillisecondsPerSecond(1000);
    }
};

TEST_F(PtyUnit, WriteAndReadBackThroughTheRealPort)
{
    qint32 lock = 0;
    ASSERT_TRUE(comm.SetRegister(0, kUnlock));
    ASSERT_TRUE(comm.GetRegister(0, lock));
    EXPECT_EQ(lock, kUnlock);
    const QVector<qint32> values = Pattern(70, 3);
    ASSERT_TRUE(comm.SetRegistersEx(1000, values));
    QVector<qint32> back;
    ASSERT_TRUE(comm.GetRegistersEx(1000, 70, back));
    EXPECT_EQ(back, values);
    bool present = false;
    EXPECT_TRUE(comm.GetBit(8, present));
    EXPECT_EQ(comm.CommError(), 0);
}

TEST_F(PtyUnit, SplitAndStrayRepliesThroughTheRealPort)
{
    unit.SetRegister(2825, 0x0414);
    unit.SetFault(Unit::Fault::SplitReply);
    unit.SetSplit(2, 3);
    qint32 value = 0;
    ASSERT_TRUE(comm.GetRegister(2825, value));
    EXPECT_EQ(value, 0x0414);
    unit.ClearFaults();
    unit.SetStrayBytes(QByteArray("\x02z", 2));
    unit.SetFault(Unit::Fault::StrayBytes);
    value = 0;
    ASSERT_TRUE(comm.GetRegister(2825, value));
    EXPECT_EQ(value, 0x0414);
}

TEST_F(PtyUnit, SilentUnitIsAskedOncePlusRetries)
{
    unit.SetFault(Unit::Fault::Silence);
    unit.ResetStatistics();
    bool bit = false;
    EXPECT_FALSE(comm.GetBit(8, bit));
    EXPECT_EQ(comm.CommError(), 1);
    EXPECT_EQ(unit.PackagesReceived(), 4);
}

TEST(SerialPortStandIn, SettingsTextAndDeviceMapping)
{
    testing_doubles::PlatformDoubles doubles;
    platform::SerialSettings s;
    ASSERT_TRUE(platform::ParseSerialSettings("9600,o,8,1", s));
    EXPECT_EQ(s.baud, 9600);
    EXPECT_EQ(s.parity, 'o');
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.stopBitsTimesTwo, 2);
    ASSERT_TRUE(platform::ParseSerialSettings("19200,N,7,1.5", s));
    EXPECT_EQ(s.parity, 'n');
    EXPECT_EQ(s.stopBitsTimesTwo, 3);
    for (const char* bad : {"", "9600", "9600,o,8", "fast,o,8,1", "9600,x,8,1", "9600,o,9,1", "9600,o,8,3",
                            "-9600,o,8,1", "9600,o,8,1,1", "0,o,8,1"})
        EXPECT_FALSE(platform::ParseSerialSettings(bad, s)) << bad;
    EXPECT_EQ(s.baud, 19200); // untouched by the bad ones

    EXPECT_EQ(platform::SerialDevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(platform::SerialDevicePath(4), "/dev/ttyS3");
    EXPECT_EQ(platform::SerialDevicePath(5), "/dev/ttyUSB0");
    EXPECT_EQ(platform::SerialDevicePath(20), "/dev/ttyUSB15");
    EXPECT_EQ(platform::SerialDevicePath(21), "/dev/ttyACM0");
    EXPECT_EQ(platform::SerialDevicePath(0), "");
    doubles.settings->SetValue("Ports/COM1", "/dev/pts/9");
    EXPECT_EQ(platform::SerialDevicePath(1), "/dev/pts/9");
}

TEST(SerialPortStandIn, MissingDeviceFailsTheRequest)
{
    testing_doubles::PlatformDoubles doubles;
    doubles.settings->SetValue("Ports/COM3", "/nonexistent/port");
    Comm comm;
    comm.SetCommPort(3);
    comm.SetSettings("9600,o,8,1");
    EXPECT_FALSE(comm.SetRegister(0, 1));
    EXPECT_EQ(comm.CommError(), 1);
    comm.SetSettings("garbage");
    doubles.settings->Remove("Ports/COM3");
    EXPECT_FALSE(comm.SetRegister(0, 1));
}

} // namespace
