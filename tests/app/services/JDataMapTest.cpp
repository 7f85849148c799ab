#include "app/services/clsJData.h"

#include <gtest/gtest.h>

namespace {

TEST(JDataMap, HexKeyMatchesOnlyAsWritten)
{
    clsJData map;
    ASSERT_TRUE(map.AddJDataHex("00F0040003", 2));
    EXPECT_DOUBLE_EQ(map.GetJData(2), 4026793987.0);
    EXPECT_EQ(map.GetJDataPosition(4026793987.0), 2);
    EXPECT_EQ(map.GetJDataPositionHex("00F0040003"), 2);
    EXPECT_EQ(map.GetJDataPositionHex("F0040003"), -1);
    EXPECT_EQ(map.GetJDataHex(2, 10), "00F0040003");
    EXPECT_EQ(map.GetJDataHex(2, 4), "F0040003");
}

TEST(JDataMap, NumericIdIsKeyedWithTenDigits)
{
    clsJData map;
    ASSERT_TRUE(map.AddJData(33748992.0, 0)); // MID 128, PID 190
    EXPECT_EQ(map.GetJDataPositionHex("000202F800"), 0);
    EXPECT_EQ(map.GetJDataPositionHex("202F800"), -1);
    EXPECT_EQ(map.GetJDataPosition(33748992.0), 0);
    EXPECT_DOUBLE_EQ(map.GetJData(0), 33748992.0);
    EXPECT_EQ(map.GetJDataHex(0, 10), "000202F800");
}

TEST(JDataMap, MissingEntriesGiveNeutralAnswers)
{
    clsJData map;
    EXPECT_DOUBLE_EQ(map.GetJData(0), 0.0);
    EXPECT_EQ(map.GetJDataHex(0, 10), "");
    EXPECT_EQ(map.GetJDataPosition(33748992.0), -1);
    EXPECT_EQ(map.GetJDataPositionHex(""), -1);
    map.AddJData(5, 3);
    EXPECT_DOUBLE_EQ(map.GetJData(-1), 0.0);
    EXPECT_EQ(map.GetJDataPosition(6), -1);
}

TEST(JDataMap, DuplicateIndexOrIdIsRefusedWithoutChange)
{
    clsJData map;
    ASSERT_TRUE(map.AddJData(1000, 1));
    // Same index, new id: neither key may be half added.
    EXPECT_FALSE(map.AddJData(2000, 1));
    EXPECT_EQ(map.GetJDataPosition(2000), -1);
    EXPECT_DOUBLE_EQ(map.GetJData(1), 1000.0);
    // Same id, new index.
    EXPECT_FALSE(map.AddJData(1000, 2));
    EXPECT_DOUBLE_EQ(map.GetJData(2), 0.0);
    EXPECT_EQ(map.GetJDataPosition(1000), 1);
    // The numeric and the text form of one id share the by-id key.
    EXPECT_FALSE(map.AddJDataHex("00000003E8", 4));
    EXPECT_DOUBLE_EQ(map.GetJData(4), 0.0);
}

TEST(JDataMap, BadHexTextStoresZeroButKeepsItsTextKey)
{
    clsJData map;
    // Lower case is no hexadecimal digit here.
    ASSERT_TRUE(map.AddJDataHex("00f0040003", 0));
    EXPECT_DOUBLE_EQ(map.GetJData(0), 0.0);
    EXPECT_EQ(map.GetJDataPositionHex("00f0040003"), 0);
    EXPECT_EQ(map.GetJDataPositionHex("00F0040003"), -1);
}

} // namespace
