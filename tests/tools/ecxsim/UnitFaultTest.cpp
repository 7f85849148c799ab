// Scripted faults of the simulated unit.
#include "UnitTestSupport.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace ecxsim_test;
using ecxsim::Unit;
using Fault = ecxsim::Unit::Fault;

namespace {

const char* kGetRegister0 = "02 46 30 31 32 34 30 30 30 30 32 03 70";
const char* kReply0 = "02 46 30 31 30 34 30 30 30 30 32 00 00 03 72";

char BccOf(const QByteArray& reply)
{
    char bcc = 0;
    for (int i = 1; i < reply.size() - 1; ++i)
        bcc = char(bcc ^ reply.at(i));
    return bcc;
}

TEST(UnitFaults, SilenceForACountThenAnswers)
{
    Unit unit;
    Line line(unit);
    unit.SetFault(Fault::Silence, 2);
    unit.Receive(SetRegisters(0, {Unit::WriteUnlockCode}));
    unit.Receive(Bytes(kGetRegister0));
    EXPECT_TRUE(line.Take().isEmpty());
    EXPECT_FALSE(unit.Unlocked()); // an unheard request does nothing
    EXPECT_EQ(unit.FaultCount(Fault::Silence), 0);
    unit.Receive(Bytes(kGetRegister0));
    EXPECT_EQ(HexOf(line.Take()), kReply0);
}

TEST(UnitFaults, AlwaysSilentUntilCleared)
{
    Unit unit;
    Line line(unit);
    unit.SetFault(Fault::Silence);
    for (int i = 0; i < 5; ++i)
        unit.Receive(Bytes(kGetRegister0));
    EXPECT_TRUE(line.Take().isEmpty());
    EXPECT_EQ(unit.PackagesReceived(), 5);
    unit.ClearFaults();
    unit.Receive(Bytes(kGetRegister0));
    EXPECT_EQ(HexOf(line.Take()), kReply0);
}

TEST(UnitFaults, BadBlockCheckSpoilsOnlyTheLastByte)
{
    Unit unit;
    Line line(unit);
    unit.SetFault(Fault::BadBlockCheck, 1);
    unit.Receive(Bytes(kGetRegister0));
    const QByteArray bad = line.Take();
    const QByteArray good = Bytes(kReply0);
    ASSERT_EQ(bad.size(), good.size());
    EXPECT_EQ(bad.left(14), good.left(14));
    EXPECT_NE(bad.at(14), good.at(14));
    unit.Receive(Bytes(kGetRegister0));
    EXPECT_EQ(HexOf(line.Take()), kReply0);
}

TEST(UnitFaults, WrongThirdCharacterKeepsTheBlockCheckRight)
{
    Unit unit;
    Line line(unit);
    unit.SetFault(Fault::WrongThirdCharacter, 1);
    unit.Receive(SetRegisters(0, {0}));
    const QByteArray reply = line.Take();
    ASSERT_EQ(reply.size(), 8);
    EXPECT_EQ(reply.at(0), '\x02');
    EXPECT_NE(reply.at(2), '0');
    EXPECT_EQ(reply.at(7), BccOf(reply));
}

TEST(UnitFaults, SplitReplyArrivesInPieces)
{
    Unit unit;
    Line line(unit);
    unit.SetSplit(4);
    unit.SetFault(Fault::SplitReply, 1);
    unit.Receive(Bytes(kGetRegister0));
    ASSERT_EQ(line.pieces.size(), 4);
    EXPECT_EQ(line.pieces.at(0).size(), 4);
    EXPECT_EQ(line.pieces.at(3).size(), 3);
    EXPECT_EQ(HexOf(line.Take()), kReply0);
}

TEST(UnitFaults, SplitReplyWithGapsStillArrivesWhole)
{
    Unit unit;
    Line line(unit);
    unit.SetSplit(6, 5);
    unit.SetFault(Fault::SplitReply, 1);
    QElapsedTimer clock;
    clock.start();
    QList<qint64> arrivals;
    QObject::connect(&unit, &Unit::Transmit, [&] { arrivals << clock.nsecsElapsed(); });
    unit.Receive(Bytes(kGetRegister0));
    EXPECT_TRUE(WaitFor([&] { return !unit.Sending(); }));
    ASSERT_EQ(line.pieces.size(), 3);
    // Each piece waits its gap after the one before; a busy machine only makes the gaps longer.
    EXPECT_GE(arrivals[1] - arrivals[0], 5000000);
    EXPECT_GE(arrivals[2] - arrivals[1], 5000000);
    EXPECT_EQ(HexOf(line.Take()), kReply0);
}

TEST(UnitFaults, StrayBytesBeforeTheReply)
{
    Unit unit;
    Line line(unit);
    unit.SetFault(Fault::StrayBytes, 1);
    unit.Receive(Bytes(kGetRegister0));
    const QByteArray withDefault = line.Take();
    EXPECT_GT(withDefault.size(), 15);
    EXPECT_EQ(HexOf(withDefault.right(15)), kReply0);

    unit.SetStrayBytes(Bytes("55 AA 02"));
    unit.SetFault(Fault::StrayBytes, 1);
    unit.Receive(Bytes(kGetRegister0));
    EXPECT_EQ(HexOf(line.Take()), QString("55 AA 02 ") + kReply0);
}

TEST(UnitFaults, StopAfterSomePackages)
{
    Unit unit;
    Line line(unit);
    unit.SetStopAfter(2);
    for (int i = 0; i < 4; ++i)
        unit.Receive(Bytes(kGetRegister0));
    EXPECT_EQ(unit.PackagesAnswered(), 2);
    EXPECT_EQ(line.Take().size(), 30);
    unit.SetStopAfter(-1);
    unit.Receive(Bytes(kGetRegister0));
    EXPECT_EQ(unit.PackagesAnswered(), 3);
}

TEST(UnitFaults, CorruptReadBackAltersOneWordOnce)
{
    Unit unit;
    Line line(unit);
    for (int r = 0; r < 8; ++r)
        unit.SetRegister(r, quint16(0x1000 + r));
    unit.SetCorruptRegister(5);
    unit.SetFault(Fault::CorruptReadBack, 1);

    unit.Receive(GetRegisters(0, 4)); // does not cover register 5: untouched, fault kept
    line.Take();
    EXPECT_EQ(unit.FaultCount(Fault::CorruptReadBack), 1);

    unit.Receive(GetRegisters(0, 8));
    const QByteArray first = line.Take();
    unit.Receive(GetRegisters(0, 8));
    const QByteArray second = line.Take();
    ASSERT_EQ(first.size(), 29);
    ASSERT_EQ(second.size(), 29);
    for (int r = 0; r < 8; ++r) {
        const int value = Reverse(quint8(second.at(11 + 2 * r))) * 256 + Reverse(quint8(second.at(12 + 2 * r)));
        EXPECT_EQ(value, 0x1000 + r);
        const int seen = Reverse(quint8(first.at(11 + 2 * r))) * 256 + Reverse(quint8(first.at(12 + 2 * r)));
        if (r == 5)
            EXPECT_NE(seen, value);
        else
            EXPECT_EQ(seen, value);
    }
    EXPECT_EQ(first.at(28), BccOf(first)); // corrupted data, sound frame
    EXPECT_EQ(unit.Register(5), 0x1005);   // storage untouched
}

TEST(UnitFaults, CorruptReadBackDefaultsToTheFirstWord)
{
    Unit unit;
    Line line(unit);
    unit.SetFault(Fault::CorruptReadBack, 1);
    unit.Receive(GetRegisters(40, 2));
    const QByteArray reply = line.Take();
    ASSERT_EQ(reply.size(), 17);
    EXPECT_NE(reply.mid(11, 2), QByteArray(2, '\0'));
    EXPECT_EQ(reply.mid(13, 2), QByteArray(2, '\0'));
}

} // namespace
