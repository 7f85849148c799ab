// Byte-exact replies of the simulated unit to hand-written request frames.
#include "UnitTestSupport.h"

#include <gtest/gtest.h>

using namespace ecxsim_test;
using ecxsim::Unit;

namespace {

const char* kGetRegister0 = "02 46 30 31 32 34 30 30 30 30 32 03 70";
const char* kUnlock = "02 46 30 30 30 34 30 30 30 30 32 86 94 03 61"; // register 0 := 24873, stamp "0"
const char* kSetRegister5 = "02 46 30 32 30 34 30 35 30 30 32 48 2C 03 10";
const char* kReply0Locked = "02 46 30 31 30 34 30 30 30 30 32 00 00 03 72";
const char* kAck0 = "02 46 30 30 30 06 03 73";

TEST(UnitFrames, WorkedFramesGetExactReplies)
{
    Unit unit;
    Line line(unit);

    unit.Receive(Bytes(kGetRegister0));
    EXPECT_EQ(HexOf(line.Take()), kReply0Locked);

    unit.Receive(Bytes(kUnlock));
    EXPECT_EQ(HexOf(line.Take()), kAck0);

    unit.Receive(Bytes(kGetRegister0));
    EXPECT_EQ(HexOf(line.Take()), "02 46 30 31 30 34 30 30 30 30 32 86 94 03 60");

    unit.Receive(Bytes(kSetRegister5));
    EXPECT_EQ(HexOf(line.Take()), "02 46 30 32 30 06 03 71");
    EXPECT_EQ(unit.Register(5), 0x1234);
}

TEST(UnitFrames, FirmwareRegisterTravelsReversed)
{
    Unit unit;
    Line line(unit);
    unit.SetFirmwareVersion(4, 47);
    unit.Receive(Bytes("02 46 30 31 32 46 30 39 30 30 32 03 0B"));
    EXPECT_EQ(HexOf(line.Take()), "02 46 30 31 30 46 30 39 30 30 32 20 F4 03 DD");
}

TEST(UnitFrames, BitRequests)
{
    Unit unit;
    Line line(unit);

    // Presence bit 8 reads "1" with type "3" and size "01", the one data byte that follows.
    unit.Receive(Bytes("02 46 30 31 34 30 30 30 38 30 30 03 78"));
    EXPECT_EQ(HexOf(line.Take()), "02 46 30 31 33 30 30 30 38 30 31 31 03 4F");

    // Set bit 100 (needs no unlock).
    unit.Receive(Bytes("02 46 30 32 33 30 30 36 34 30 31 31 03 46"));
    EXPECT_EQ(HexOf(line.Take()), "02 46 30 32 33 06 03 72");
    EXPECT_TRUE(unit.Bit(100));

    // Packed bits are not reversed: 01 80 at bit 16 sets bits 16 and 31.
    unit.Receive(Bytes("02 46 30 31 30 30 30 31 30 30 32 01 80 03 F6"));
    EXPECT_EQ(HexOf(line.Take()), "02 46 30 31 30 06 03 72");
    EXPECT_TRUE(unit.Bit(16));
    EXPECT_TRUE(unit.Bit(31));
    EXPECT_FALSE(unit.Bit(17));
    EXPECT_FALSE(unit.Bit(30));

    unit.Receive(Bytes("02 46 30 32 32 30 30 31 30 30 32 03 76"));
    EXPECT_EQ(HexOf(line.Take()), "02 46 30 32 30 30 30 31 30 30 32 01 80 03 F5");
}

TEST(UnitFrames, DataRepliesOfTheUnitVariants)
{
    // What units differ in: the size of a bit's reply and the type character of data replies.
    // Acknowledgements stay as they are.
    struct Variant {
        const char* name;
        Unit::BitReplySize size;
        char type;
        const char* bit;       // reply to get bit 8
        const char* registers; // reply to get register 0
        const char* packed;    // reply to get packed bits at 16 (bits 16 and 31 set)
    };
    const Variant variants[] = {
        {"as the frame", Unit::BitReplySize::DataBytes, 0, "02 46 30 31 33 30 30 30 38 30 31 31 03 4F",
         kReply0Locked, "02 46 30 32 30 30 30 31 30 30 32 01 80 03 F5"},
        {"size echoed", Unit::BitReplySize::Echo, 0, "02 46 30 31 33 30 30 30 38 30 30 31 03 4E", kReply0Locked,
         "02 46 30 32 30 30 30 31 30 30 32 01 80 03 F5"},
        {"type Z", Unit::BitReplySize::DataBytes, 'Z', "02 46 30 31 5A 30 30 30 38 30 31 31 03 26",
         "02 46 30 31 5A 34 30 30 30 30 32 00 00 03 18", "02 46 30 32 5A 30 30 31 30 30 32 01 80 03 9F"},
    };
    for (const Variant& v : variants) {
        Unit unit;
        Line line(unit);
        unit.SetBitReplySize(v.size);
        unit.SetDataReplyType(v.type);
        unit.SetBit(16, true);
        unit.SetBit(31, true);
        unit.Receive(Bytes("02 46 30 31 34 30 30 30 38 30 30 03 78"));
        EXPECT_EQ(HexOf(line.Take()), v.bit) << v.name;
        unit.Receive(Bytes(kGetRegister0));
        EXPECT_EQ(HexOf(line.Take()), v.registers) << v.name;
        unit.Receive(Bytes("02 46 30 32 32 30 30 31 30 30 32 03 76"));
        EXPECT_EQ(HexOf(line.Take()), v.packed) << v.name;
        unit.Receive(Bytes(kUnlock));
        EXPECT_EQ(HexOf(line.Take()), kAck0) << v.name;
    }
}

TEST(UnitFrames, LastRegisterAndBlockCheckThatLooksLikeStx)
{
    Unit unit;
    Line line(unit);
    // Register 3071: address "FFF0"; this request's BCC happens to be 02.
    unit.Receive(Bytes("02 46 30 31 32 46 46 46 30 30 32 03 02"));
    EXPECT_EQ(HexOf(line.Take()), "02 46 30 31 30 46 46 46 30 30 32 00 00 03 00");
    EXPECT_EQ(unit.PackagesAnswered(), 1);
}

TEST(UnitFrames, ThirtyTwoRegistersMakeA77ByteReply)
{
    Unit unit;
    Line line(unit);
    for (int r = 0; r < 32; ++r)
        unit.SetRegister(100 + r, quint16(0x0101 * r));
    unit.Receive(GetRegisters(100, 32));
    const QByteArray reply = line.Take();
    ASSERT_EQ(reply.size(), 77);
    EXPECT_EQ(reply.mid(9, 2), QByteArray("40"));
    for (int r = 0; r < 32; ++r) {
        EXPECT_EQ(quint8(reply.at(11 + 2 * r)), Reverse(quint8(r)));
        EXPECT_EQ(quint8(reply.at(12 + 2 * r)), Reverse(quint8(r)));
    }
}

TEST(UnitFrames, AnySplitOfTheInputIsParsed)
{
    const QByteArray stream = Bytes(kGetRegister0) + Bytes(kUnlock) + Bytes(kGetRegister0);
    for (int piece = 1; piece <= 7; ++piece) {
        Unit unit;
        Line line(unit);
        for (int at = 0; at < stream.size(); at += piece)
            unit.Receive(stream.mid(at, piece));
        EXPECT_EQ(unit.PackagesAnswered(), 3) << "piece " << piece;
        EXPECT_EQ(HexOf(line.Take()), QString(kReply0Locked) + " " + kAck0 + " "
                      + "02 46 30 31 30 34 30 30 30 30 32 86 94 03 60");
        EXPECT_EQ(unit.BytesIn(), stream.size());
    }
}

TEST(UnitFrames, GarbageAndFalseStartsAreSkipped)
{
    Unit unit;
    Line line(unit);
    // Noise, a lone STX, an STX with a broken header, then a good frame.
    unit.Receive(Bytes("FF 00 41 02 02 46 5A") + Bytes(kGetRegister0));
    EXPECT_EQ(HexOf(line.Take()), kReply0Locked);
    // A frame whose ETX is missing is dropped; the next one still counts.
    QByteArray noEtx = Bytes(kGetRegister0);
    noEtx[11] = 'X';
    unit.Receive(noEtx + Bytes(kGetRegister0));
    EXPECT_EQ(HexOf(line.Take()), kReply0Locked);
}

TEST(UnitFrames, BadRequestsGetNoReply)
{
    const QList<QByteArray> bad = {
        Bytes(kGetRegister0).remove(6, 1),         // lost a byte: no ETX where expected
        Frame("f0124000" "02"),                    // lower-case ID
        Frame("F0124000002"),                      // address too short: ETX not in place
        Frame("F0324000002"),                      // stamp "3"
        Frame("F0154000002"),                      // type "5"
        Frame("F012400a02"),                       // lower-case hex
        Frame("F0124008" "02"),                    // register address not on a 16 boundary
        Frame("F0124000" "03"),                    // odd size for registers
        Frame("F0124000" "42"),                    // 33 registers
        Frame("F012FFF0" "04"),                    // runs past register 3071
        Frame("F0140008" "01"),                    // get bit with size "01"
        Frame("F0133FFF" "01" "2"),                // set bit to "2"
        Frame("F0104000" "02"),                    // set registers without data
        Frame("F0123FF8" "02"),                    // packed bits past bit 16383
        Frame("F0120004" "01"),                    // packed bits not on a byte boundary
        Frame("F1124000" "02"),                    // foreign ID
    };
    for (const QByteArray& request : bad) {
        Unit unit;
        Line line(unit);
        unit.Receive(request);
        unit.Receive(Bytes(kGetRegister0));
        EXPECT_EQ(HexOf(line.Take()), kReply0Locked) << request.toHex(' ').constData();
    }
}

TEST(UnitFrames, BadBlockCheckGetsNoReplyAndDoesNothing)
{
    Unit unit;
    Line line(unit);
    QByteArray unlock = Bytes(kUnlock);
    unlock[unlock.size() - 1] = char(0x62);
    unit.Receive(unlock);
    EXPECT_TRUE(line.Take().isEmpty());
    EXPECT_FALSE(unit.Unlocked());
    EXPECT_EQ(unit.PackagesReceived(), 1);
    EXPECT_EQ(unit.PackagesAnswered(), 0);
}

TEST(UnitFrames, EchoesIdStampAndIdentity)
{
    Unit unit;
    unit.SetIdentity(10);
    Line line(unit);
    unit.Receive(GetRegisters(0, 1, '0', "0A"));
    const QByteArray reply = line.Take();
    ASSERT_EQ(reply.size(), 15);
    EXPECT_EQ(reply.mid(1, 3), QByteArray("0A0"));
    unit.Receive(GetRegisters(0, 1, '1', "F0"));
    EXPECT_TRUE(line.Take().isEmpty());
}

TEST(UnitFrames, ResentPackageIsExecutedAgain)
{
    Unit unit;
    Line line(unit);
    unit.Receive(Bytes(kUnlock));
    line.Take();
    const QByteArray add = SetRegisters(7, {41}, '1');
    unit.Receive(add);
    unit.Receive(add);
    EXPECT_EQ(line.Take().size(), 16);
    EXPECT_EQ(unit.PackagesAnswered(), 3);
    EXPECT_EQ(unit.Register(7), 41);
}

TEST(UnitFrames, StatisticsCountBothDirections)
{
    Unit unit;
    Line line(unit);
    unit.Receive(Bytes("FF") + Bytes(kGetRegister0));
    EXPECT_EQ(unit.BytesIn(), 14);
    EXPECT_EQ(unit.BytesOut(), 15);
    EXPECT_EQ(unit.PackagesReceived(), 1);
    unit.ResetStatistics();
    EXPECT_EQ(unit.BytesIn(), 0);
    EXPECT_EQ(unit.BytesOut(), 0);
    EXPECT_EQ(unit.PackagesAnswered(), 0);
}

} // namespace
