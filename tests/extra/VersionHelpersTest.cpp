#include "extra/extra.h"
#include "tests/common/Doubles.h"

#include <gtest/gtest.h>

using namespace extra;

TEST(VersionHelpers, CompareVersionsReadsMinorAsNumber)
{
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"4.20", "4.6", 1}, {"4.6", "4.06", 0}, {"3.9", "4", -1}, {"4", "4.0", 0},
        {"4.0", "4", 0},    {"4", "3.99", 1},  {"1.8", "1.10", -1}, {"2.9", "2.9", 0},
        {" 4.6 ", "4.6", 0}, {"4.20.1", "4.20", 1}, {"5", "4.99", 1}, {"N/A", "1.0", -1},
        {"10.0", "9.9", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareVersions(c.a, c.b), c.expected) << c.a << " vs " << c.b;
}

TEST(VersionHelpers, VersionToNumber)
{
    EXPECT_EQ(VersionToNumber("4.6"), 4006000);
    EXPECT_EQ(VersionToNumber("4"), 4000000);
    EXPECT_EQ(VersionToNumber("2.9"), 2009000);
    EXPECT_EQ(VersionToNumber("4.20.3"), 4020030);
    EXPECT_EQ(VersionToNumber(" 2.15 "), 2015000);
    EXPECT_EQ(VersionToNumber(""), 0);
    EXPECT_EQ(VersionToNumber("2147"), 2147000000);
    // Too large for 32 bits: still above every version that fits.
    EXPECT_EQ(VersionToNumber("3000.1"), 2147483647);
}

TEST(NumberHelpers, HexToValue)
{
    EXPECT_DOUBLE_EQ(HexToValue("1f"), 0.0);
    EXPECT_DOUBLE_EQ(HexToValue(" 1F "), 31.0);
    EXPECT_DOUBLE_EQ(HexToValue(""), 0.0);
    EXPECT_DOUBLE_EQ(HexToValue("FFFF"), 65535.0);
    EXPECT_DOUBLE_EQ(HexToValue("00FEF1"), 65265.0);
    EXPECT_DOUBLE_EQ(HexToValue("1G"), 0.0);
    EXPECT_DOUBLE_EQ(HexToValue("-1"), 0.0);
    EXPECT_DOUBLE_EQ(HexToValue(QString(300, 'F')), -1.0);
    // Blanks are trimmed, other white space is a bad character.
    EXPECT_DOUBLE_EQ(HexToValue("  FF  "), 255.0);
    EXPECT_DOUBLE_EQ(HexToValue("\t1F"), 0.0);
    EXPECT_DOUBLE_EQ(HexToValue("1F\r\n"), 0.0);
    EXPECT_DOUBLE_EQ(HexToValue("   "), 0.0);
}

TEST(NumberHelpers, ValueToHex)
{
    EXPECT_EQ(ValueToHex(255, 4), "00FF");
    EXPECT_EQ(ValueToHex(0, 4), "0000");
    EXPECT_EQ(ValueToHex(0, 0), "0");
    EXPECT_EQ(ValueToHex(-5, 3), "000");
    EXPECT_EQ(ValueToHex(1e16, 2), "00");
    EXPECT_EQ(ValueToHex(65265, 10), "000000FEF1");
    EXPECT_EQ(ValueToHex(0x123456, 2), "123456"); // never cut
    EXPECT_EQ(ValueToHex(9007199254740992.0, 0), "20000000000000");
    EXPECT_DOUBLE_EQ(HexToValue(ValueToHex(4027056128.0, 10)), 4027056128.0);
}

TEST(NumberHelpers, PowerOfTwo)
{
    EXPECT_EQ(PowerOfTwo(3, 4), 48);
    EXPECT_EQ(PowerOfTwo(1, 30), 1 << 30);
    EXPECT_EQ(PowerOfTwo(1, 31), 0);
    EXPECT_EQ(PowerOfTwo(-1, 31), INT32_MIN);
    EXPECT_EQ(PowerOfTwo(5, -1), 2); // 2.5 halves to even
    EXPECT_EQ(PowerOfTwo(0, 100), 0);
}

namespace {

struct Scaling {
    bool ok = false;
    qint32 min10 = -99, max10 = -99, error = 7;
    quint8 shift = 99, sub = 99;
};

Scaling Compute(qint32 size, double resolution, double offset, double maximum)
{
    Scaling r;
    r.ok = ComputeScaling(size, resolution, offset, maximum, r.min10, r.max10, r.shift, r.sub, r.error);
    return r;
}

} // namespace

TEST(ComputeScaling, NegativeOffsetWorkedCase)
{
    testing_doubles::PlatformDoubles doubles;
    const Scaling r = Compute(2, 1, -273, 1000);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.min10, 0);
    EXPECT_EQ(r.max10, 20470);
    EXPECT_EQ(r.shift, 1);
    EXPECT_EQ(r.sub, 136);
    EXPECT_EQ(r.error, 7); // left as it was
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
}

TEST(ComputeScaling, PositiveOffsetAndOneByteParameters)
{
    testing_doubles::PlatformDoubles doubles;
    // 0..250 at 1 per count: 8 bits, size 1 adds 2 to the shift exponent.
    Scaling r = Compute(1, 1, 0, 250);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.min10, 0);
    EXPECT_EQ(r.max10, 2550);
    EXPECT_EQ(r.shift, 0); // 10 - (8 + 0 + 2)
    EXPECT_EQ(r.sub, 0);

    // 0.5 per count from 10: range 180 -> 8 bits, s = 2 -> 2 OR 32.
    r = Compute(2, 0.5, 10, 100);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.min10, 100);
    EXPECT_EQ(r.max10, 1375); // (255 * 0.5 + 10) * 10
    EXPECT_EQ(r.shift, 34);
    EXPECT_EQ(r.sub, 0);
}

TEST(ComputeScaling, LargeSubtractGrowsTheBitCount)
{
    testing_doubles::PlatformDoubles doubles;
    // 1 bit of range with a large negative offset: z = 1000, e = 9 -> the loop runs until
    // the subtract value fits a byte.
    const Scaling r = Compute(2, 1, -1000, -999);
    ASSERT_TRUE(r.ok);
    // k = 11: e = -2, 1000 / 4 = 250.
    EXPECT_EQ(r.sub, 250);
    EXPECT_EQ(r.shift, 2);
    EXPECT_EQ(r.min10, 0);
    EXPECT_EQ(r.max10, 40950); // (2^12 - 1) * 1 + 0
}

TEST(ComputeScaling, FixedSubtractCodes)
{
    testing_doubles::PlatformDoubles doubles;
    // z = 273 and e = 0 keep 273, which becomes the code 253.
    const Scaling r = Compute(2, 1, -273, 750);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.shift, 0);
    EXPECT_EQ(r.sub, 253);
}

TEST(ComputeScaling, ErrorCodes)
{
    testing_doubles::PlatformDoubles doubles;
    Scaling r = Compute(2, 0, 0, 100);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, -1);
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());

    r = Compute(1, 1, 0, 1000); // 10 bits do not fit one byte
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, -2);
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
    EXPECT_EQ(r.min10, -99); // outputs untouched

    r = Compute(2, 1, 100, 100); // no range: logarithm undefined
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, -23);
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_EQ(doubles.presenter.shown[0].text,
              "The following error occured while calculating J1587/CAN values: 5 - Invalid procedure call or argument");
    EXPECT_EQ(doubles.presenter.shown[0].style, platform::MsgStyle::OKOnly);

    r = Compute(2, 1, 100, 50);
    EXPECT_EQ(r.error, -23);
    EXPECT_EQ(doubles.presenter.shown.size(), 2);

    r = Compute(2, 1, std::nan(""), 50);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, -23);
}

TEST(ComputeScaling, TinyRangeNeverHangsOrWraps)
{
    testing_doubles::PlatformDoubles doubles;
    // A range below one count gives a negative bit count and a large shift exponent.
    Scaling r = Compute(2, 1, 0, 0.25);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.shift, 43); // s = 11, OR 32
    r = Compute(2, 1, 0, 1e-300);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, -23);
    EXPECT_EQ(doubles.presenter.shown.size(), 1);
    r = Compute(4, 1e-300, -1e300, 1e300);
    EXPECT_FALSE(r.ok);
}
