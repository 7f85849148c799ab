// Package layouts, checks and decoding against hand-written bytes.
#include "seriallink/Package.h"
#include "seriallink/XelCommTesting.h"
#include "tests/seriallink/ScriptedPort.h"

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b += char(v);
    return b;
}

TEST(PackageFrame, WorkedFramesByteForByte)
{
    XelCommTesting::ResetPackageStamp();
    const QByteArray first = Package::BuildGetBit(240, 8);
    EXPECT_EQ(first[3], '0'); // the first package after loading

    EXPECT_EQ(Package::BuildGetRegisters(240, 0, 1),
              Bytes({0x02, 0x46, 0x30, 0x31, 0x32, 0x34, 0x30, 0x30, 0x30, 0x30, 0x32, 0x03, 0x70}));
    EXPECT_EQ(Package::BuildSetRegisters(240, 5, 1, Bytes({0x12, 0x34})),
              Bytes({0x02, 0x46, 0x30, 0x32, 0x30, 0x34, 0x30, 0x35, 0x30, 0x30, 0x32, 0x48, 0x2C, 0x03, 0x10}));
}

TEST(PackageFrame, StampRunsZeroThenOneTwo)
{
    XelCommTesting::ResetPackageStamp();
    QByteArray stamps;
    for (int i = 0; i < 5; ++i)
        stamps += Package::BuildGetBit(240, 0)[3];
    EXPECT_EQ(stamps, "01212");
}

TEST(PackageFrame, IdentityAndAddressFields)
{
    EXPECT_EQ(Package::BuildGetBit(10, 0).mid(1, 2), "0A");
    EXPECT_EQ(Package::BuildGetBit(247, 0).mid(1, 2), "F7");
    EXPECT_EQ(Package::BuildGetBit(1, 0).mid(1, 2), "01");
    EXPECT_EQ(Package::RegisterAddressField(0), "4000");
    EXPECT_EQ(Package::RegisterAddressField(5), "4050");
    EXPECT_EQ(Package::RegisterAddressField(3071), "FFF0");
    EXPECT_EQ(Package::BitAddressField(0), "0000");
    EXPECT_EQ(Package::BitAddressField(8), "0008");
    EXPECT_EQ(Package::BitAddressField(16383), "3FFF");
}

TEST(PackageFrame, EveryKindHasItsTypeSizeAndData)
{
    const QByteArray getRegs = Package::BuildGetRegisters(240, 3071, 32);
    EXPECT_EQ(getRegs.size(), 13);
    EXPECT_EQ(getRegs.mid(4, 7), "2FFF040");
    EXPECT_EQ(Package::ExpectedReplyLength(Package::GetRegistersKind, 32), 77);

    const QByteArray setBitTrue = Package::BuildSetBit(240, 16383, true);
    EXPECT_EQ(setBitTrue.mid(4, 8), "33FFF011");
    EXPECT_EQ(setBitTrue.size(), 14);
    EXPECT_EQ(Package::BuildSetBit(240, 1, false).mid(4, 8), "30001010");

    EXPECT_EQ(Package::BuildGetBit(240, 8).mid(4, 7), "4000800");
    EXPECT_EQ(Package::ExpectedReplyLength(Package::GetBitKind, 0), 14);

    // Packed bits travel as given, registers reversed.
    const QByteArray packed = Package::BuildSetPackedBits(240, 16, 2, Bytes({0x01, 0x80}));
    EXPECT_EQ(packed.mid(4, 7), "0001002");
    EXPECT_EQ(packed.mid(11, 2), Bytes({0x01, 0x80}));
    const QByteArray regs = Package::BuildSetRegisters(240, 0, 1, Bytes({0x00, 0x01}));
    EXPECT_EQ(regs.mid(11, 2), Bytes({0x00, 0x80}));

    EXPECT_EQ(Package::BuildGetPackedBits(240, 64, 64).mid(4, 7), "2004040");
    EXPECT_EQ(Package::ExpectedReplyLength(Package::GetPackedBitsKind, 64), 77);
    EXPECT_EQ(Package::ExpectedReplyLength(Package::SetPackedBitsKind, 64), 8);

    // An odd byte count gets a 0 in front.
    EXPECT_EQ(Package::BuildSetRegisters(240, 0, 1, Bytes({0x01})).mid(11, 2), Bytes({0x00, 0x80}));
}

TEST(PackageFrame, BlockCheckCoversIdThroughEtx)
{
    const QByteArray p = Package::BuildGetRegisters(240, 0, 1);
    char x = 0;
    for (int i = 1; i < p.size() - 1; ++i)
        x ^= p[i];
    EXPECT_EQ(p.back(), x);
    EXPECT_EQ(Package::BCC(Bytes({0x46, 0x30})), char(0x76));
    EXPECT_EQ(Package::BCC(QByteArray()), char(0));
}

TEST(PackageFrame, BitReversal)
{
    EXPECT_EQ(Package::ReverseBits(0x01), 0x80);
    EXPECT_EQ(Package::ReverseBits(0x12), 0x48);
    EXPECT_EQ(Package::ReverseBits(0x34), 0x2C);
    EXPECT_EQ(Package::ReverseBits(0xF0), 0x0F);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(Package::ReverseBits(Package::ReverseBits(quint8(b))), b);
}

TEST(PackageFrame, Conversions)
{
    QByteArray b;
    EXPECT_TRUE(Package::LongToByteArray(0x1234, b));
    EXPECT_EQ(b, Bytes({0x12, 0x34}));
    EXPECT_TRUE(Package::LongToByteArray(65535, b));
    EXPECT_FALSE(Package::LongToByteArray(65536, b));
    EXPECT_FALSE(Package::LongToByteArray(-1, b));

    EXPECT_TRUE(Package::LongArrayToByteArray({1, 0xABCD}, b));
    EXPECT_EQ(b, Bytes({0x00, 0x01, 0xAB, 0xCD}));
    EXPECT_FALSE(Package::LongArrayToByteArray({1, 70000, 2}, b));
    EXPECT_TRUE(b.isEmpty());

    EXPECT_EQ(Package::ByteArrayToLongArray(Bytes({0x12, 0x34, 0xFF, 0xFF})), (QVector<qint32>{0x1234, 65535}));
}

TEST(ReplyCheck, FilterAndBlockCheck)
{
    using seriallink_test::Framed;
    const QByteArray ack = Framed("F02" "0" "\x06");
    EXPECT_EQ(ack.size(), 8);
    EXPECT_TRUE(Package::PassesFilter(ack));
    EXPECT_TRUE(Package::CheckBlock(ack));

    EXPECT_FALSE(Package::PassesFilter(Framed("F12" "0" "\x06"))); // third character "1"
    EXPECT_FALSE(Package::PassesFilter(QByteArray("xF020") + char(3)));
    EXPECT_FALSE(Package::PassesFilter(QByteArray(1, char(2))));

    QByteArray bad = ack;
    bad.back() = char(bad.back() ^ 0x01);
    EXPECT_FALSE(Package::CheckBlock(bad));
    // One byte or none has nothing to compare.
    EXPECT_TRUE(Package::CheckBlock(QByteArray(1, 'x')));
    EXPECT_TRUE(Package::CheckBlock(QByteArray()));
}

TEST(ReplyCheck, DecodeByKind)
{
    using seriallink_test::Framed;
    QByteArray data;
    // Register 0x1234 comes back reversed as 48 2C.
    const QByteArray regs = Framed(QByteArray("F0124000" "02") + Bytes({0x48, 0x2C}));
    ASSERT_EQ(regs.size(), 15);
    ASSERT_TRUE(Package::DecodeReply(Package::GetRegistersKind, regs, data));
    EXPECT_EQ(data, Bytes({0x12, 0x34}));

    const QByteArray packed = Framed(QByteArray("F0120008" "01") + Bytes({0x01}));
    ASSERT_TRUE(Package::DecodeReply(Package::GetPackedBitsKind, packed, data));
    EXPECT_EQ(data, Bytes({0x01}));

    ASSERT_TRUE(Package::DecodeReply(Package::GetBitKind, Framed("F0130008" "01" "1"), data));
    EXPECT_EQ(data, Bytes({1}));
    ASSERT_TRUE(Package::DecodeReply(Package::GetBitKind, Framed("F0130008" "01" "0"), data));
    EXPECT_EQ(data, Bytes({0}));

    data = "old";
    EXPECT_FALSE(Package::DecodeReply(Package::SetRegistersKind, regs, data));
    EXPECT_FALSE(Package::DecodeReply(Package::GetRegistersKind, Framed("F0206"), data));
    EXPECT_EQ(data, "old");
}

TEST(ReplyCheck, TraceHexForm)
{
    EXPECT_EQ(Package::HexBytes(Bytes({0x02, 0x46, 0xAF})), "02 46 AF");
    EXPECT_EQ(Package::HexBytes(QByteArray()), "");
}

} // namespace
