// Write-unlock, service registers and service commands of the simulated unit.
#include "UnitTestSupport.h"

#include <gtest/gtest.h>

using namespace ecxsim_test;
using ecxsim::Unit;

namespace {

constexpr int kAckLength = 8;

// Sends one package and returns the reply (empty when there is none).
QByteArray Exchange(Unit& unit, Line& line, const QByteArray& request)
{
    line.Take();
    unit.Receive(request);
    return line.Take();
}

// The register value in a one-register read reply.
int ValueOf(const QByteArray& reply)
{
    if (reply.size() != 15)
        return -1;
    return Reverse(quint8(reply.at(11))) * 256 + Reverse(quint8(reply.at(12)));
}

int Read(Unit& unit, Line& line, int address)
{
    return ValueOf(Exchange(unit, line, GetRegisters(address, 1)));
}

bool Write(Unit& unit, Line& line, int address, quint16 value)
{
    return Exchange(unit, line, SetRegisters(address, {value})).size() == kAckLength;
}

TEST(UnitUnlock, LockedWritesToTheImageGetNoReply)
{
    Unit unit;
    Line line(unit);
    for (int address : {1, 2, 5, 1546, 2815}) {
        EXPECT_FALSE(Write(unit, line, address, 77)) << address;
        EXPECT_EQ(unit.Register(address) == 77, false) << address;
    }
    // Reads never need the unlock.
    EXPECT_EQ(Read(unit, line, 2815), 0);
}

TEST(UnitUnlock, UnlockOpensWritesAndZeroClosesThem)
{
    Unit unit;
    Line line(unit);
    ASSERT_TRUE(Write(unit, line, 0, Unit::WriteUnlockCode));
    EXPECT_EQ(Read(unit, line, 0), 24873);
    EXPECT_TRUE(Write(unit, line, 1, 3));
    EXPECT_TRUE(Write(unit, line, 2815, 9));
    EXPECT_EQ(unit.Register(2815), 9);

    ASSERT_TRUE(Write(unit, line, 0, 0));
    EXPECT_EQ(Read(unit, line, 0), 0);
    EXPECT_FALSE(Write(unit, line, 1, 4));
    EXPECT_EQ(unit.Register(1), 3);
}

TEST(UnitUnlock, OtherValuesInRegisterZeroReadBackZero)
{
    Unit unit;
    Line line(unit);
    for (quint16 value : {quint16(1), quint16(24872), Unit::Q3ProbeCode, quint16(65535)}) {
        EXPECT_TRUE(Write(unit, line, 0, value)) << value;
        EXPECT_EQ(Read(unit, line, 0), 0) << value;
        EXPECT_FALSE(unit.Unlocked());
    }
}

TEST(UnitUnlock, ServiceBlockAndRegisterZeroNeedNoUnlock)
{
    Unit unit;
    Line line(unit);
    // Clock: five registers in one package.
    const QByteArray reply = Exchange(unit, line, SetRegisters(2820, {30, 14, 24, 12, 2023}));
    EXPECT_EQ(reply.size(), kAckLength);
    EXPECT_EQ(unit.Register(2820), 30);
    EXPECT_EQ(unit.Register(2824), 2023);
    EXPECT_TRUE(Write(unit, line, 3071, 5));
    EXPECT_EQ(unit.Register(3071), 5);
}

TEST(UnitUnlock, PackageSpanningTheLockedBlockIsRefusedWhole)
{
    Unit unit;
    Line line(unit);
    EXPECT_TRUE(Exchange(unit, line, SetRegisters(2814, {1, 2, 3, 4})).isEmpty());
    EXPECT_EQ(unit.Register(2814), 0);
    EXPECT_EQ(unit.Register(2817), 0);
}

TEST(UnitUnlock, ImageWriteFromRegisterZeroCarriesItsOwnUnlock)
{
    Unit unit;
    Line line(unit);
    QList<quint16> image(32, 0);
    image[0] = Unit::WriteUnlockCode;
    image[1] = 0x0300;
    image[31] = 0xBEEF;
    ASSERT_EQ(Exchange(unit, line, SetRegisters(0, image)).size(), kAckLength);
    EXPECT_EQ(unit.Register(1), 0x0300);
    EXPECT_EQ(unit.Register(31), 0xBEEF);
    EXPECT_TRUE(unit.Unlocked());
}

TEST(UnitUnlock, Q3UnitKeepsOnlyTheProbe)
{
    Unit unit;
    unit.SetQ3(true);
    Line line(unit);
    EXPECT_TRUE(Write(unit, line, 0, Unit::WriteUnlockCode));
    EXPECT_EQ(Read(unit, line, 0), 0);
    EXPECT_FALSE(Write(unit, line, 1, 1));
    EXPECT_TRUE(Write(unit, line, 0, Unit::Q3ProbeCode));
    EXPECT_EQ(Read(unit, line, 0), 24837);
    EXPECT_FALSE(Write(unit, line, 1, 1));
}

TEST(UnitUnlock, RunningEngineAcknowledgesTheUnlockButReadsZero)
{
    Unit unit;
    unit.SetEngineRunning(true);
    Line line(unit);
    EXPECT_NE(Read(unit, line, Unit::EngineStatusRegister), 0);
    EXPECT_TRUE(Write(unit, line, 0, Unit::WriteUnlockCode));
    EXPECT_EQ(Read(unit, line, 0), 0);
    EXPECT_FALSE(Write(unit, line, 2, 76));
    EXPECT_EQ(unit.Register(2), 0);

    // Starting the engine while unlocked locks at once.
    unit.SetEngineRunning(false);
    EXPECT_EQ(Read(unit, line, Unit::EngineStatusRegister), 0);
    ASSERT_TRUE(Write(unit, line, 0, Unit::WriteUnlockCode));
    unit.SetEngineRunning(true);
    EXPECT_EQ(Read(unit, line, 0), 0);
    EXPECT_FALSE(Write(unit, line, 1, 1));
}

TEST(UnitService, VersionsAndTypeRead)
{
    Unit unit;
    Line line(unit);
    EXPECT_TRUE(unit.SetFirmwareVersion(QStringLiteral("4.6")));
    EXPECT_EQ(Read(unit, line, 2825), 1030);
    EXPECT_TRUE(unit.SetFirmwareVersion(QStringLiteral("4")));
    EXPECT_EQ(unit.FirmwareVersion(), QStringLiteral("4.0"));
    EXPECT_FALSE(unit.SetFirmwareVersion(QStringLiteral("x.1")));
    EXPECT_FALSE(unit.SetFirmwareVersion(QStringLiteral("4.256")));
    EXPECT_FALSE(unit.SetFirmwareVersion(QStringLiteral("")));
    EXPECT_EQ(unit.FirmwareVersion(), QStringLiteral("4.0"));
    unit.SetFirmwareVersion(4, 47);
    EXPECT_EQ(Read(unit, line, 2825), 1071);

    unit.SetHardwareVersion(3);
    EXPECT_EQ(Read(unit, line, 2826) & 0xFF, 3);
    unit.SetUnitType(1);
    EXPECT_EQ(Read(unit, line, 2827), 1);
}

TEST(UnitService, ReadOnlyServiceRegistersAcknowledgeAndIgnore)
{
    Unit unit;
    Line line(unit);
    unit.SetFirmwareVersion(4, 20);
    for (int address : {2816, 2825, 2826, 2827}) {
        const quint16 before = unit.Register(address);
        EXPECT_TRUE(Write(unit, line, address, 0x5555)) << address;
        EXPECT_EQ(unit.Register(address), before) << address;
    }
    // Written together with the clock, only the clock changes.
    EXPECT_EQ(Exchange(unit, line, SetRegisters(2824, {1999, 7})).size(), kAckLength);
    EXPECT_EQ(unit.Register(2824), 1999);
    EXPECT_EQ(unit.FirmwareVersion(), QStringLiteral("4.20"));
}

TEST(UnitService, CounterRegistersSplitTheHours)
{
    Unit unit;
    Line line(unit);
    unit.SetEngineHours(23456);
    EXPECT_EQ(Read(unit, line, 1546), 2);
    EXPECT_EQ(Read(unit, line, 1547), 3456);
    ASSERT_TRUE(Write(unit, line, 0, Unit::WriteUnlockCode));
    EXPECT_EQ(Exchange(unit, line, SetRegisters(1546, {100, 0})).size(), kAckLength);
    EXPECT_EQ(unit.EngineHours(), 1000000);
}

TEST(UnitService, CommandByteClearsAtOnceWithoutDelay)
{
    Unit unit;
    unit.SetCommandDelay(0);
    unit.SetEngineHours(500);
    Line line(unit);
    ASSERT_TRUE(Write(unit, line, 0, Unit::WriteUnlockCode));
    ASSERT_TRUE(Write(unit, line, 2, 0x1200 | Unit::ResetCountersCommand));
    EXPECT_EQ(Read(unit, line, 2), 0x1200);
    EXPECT_EQ(unit.EngineHours(), 0);
    ASSERT_TRUE(Write(unit, line, 2, 0xAB00 | Unit::DeleteLogCommand));
    EXPECT_EQ(Read(unit, line, 2), 0xAB00);
    EXPECT_TRUE(unit.LogText(Unit::LogSection::Log).isEmpty());
    EXPECT_EQ(unit.CommandsDone(), (QVector<quint8>{72, 76}));
}

TEST(UnitService, CommandByteClearsAfterTheDelay)
{
    Unit unit;
    unit.SetCommandDelay(20);
    Line line(unit);
    ASSERT_TRUE(Write(unit, line, 0, Unit::WriteUnlockCode));
    ASSERT_TRUE(Write(unit, line, 2, 0x0100 | Unit::DeleteLogCommand));
    EXPECT_EQ(Read(unit, line, 2), 0x014C); // not done yet
    EXPECT_TRUE(WaitFor([&] { return unit.Register(2) == 0x0100; }));
    EXPECT_EQ(unit.CommandsDone().size(), 1);
}

TEST(UnitService, OtherCommandBytesStay)
{
    Unit unit;
    unit.SetCommandDelay(0);
    Line line(unit);
    ASSERT_TRUE(Write(unit, line, 0, Unit::WriteUnlockCode));
    ASSERT_TRUE(Write(unit, line, 2, 0x0041));
    EXPECT_EQ(Read(unit, line, 2), 0x0041);
    EXPECT_TRUE(unit.CommandsDone().isEmpty());
}

TEST(UnitService, DirectAccessIgnoresOutOfRange)
{
    Unit unit;
    unit.SetRegister(-1, 5);
    unit.SetRegister(3072, 5);
    unit.SetBit(16384, true);
    EXPECT_EQ(unit.Register(3072), 0);
    EXPECT_FALSE(unit.Bit(-3));
    EXPECT_TRUE(unit.Bit(Unit::PresenceBit));
    unit.SetIdentity(300);
    EXPECT_EQ(unit.Identity(), 247);
}

} // namespace
