#include "PartTestSupport.h"
#include "datamodel/XelStandbyOperation.h"

#include <gtest/gtest.h>

using namespace parttest;

namespace {
void Fill(XelStandbyOperation& s)
{
    s.SetInitialStartDelay(1);
    s.SetCrankingTime(2);
    s.SetDelay(3);
    s.SetStartAttempts(4);
    s.SetGenBreakTimer(5);
    s.SetCooling(6);
    s.SetFuelConsumption(7);
}
} // namespace

TEST(StandbyOperation, NewObjectIsZeroAndUnchanged)
{
    XelStandbyOperation s;
    EXPECT_EQ(s.InitialStartDelay() + s.StartAttempts() + s.CrankingTime() + s.Delay()
                  + s.GenBreakTimer() + s.Cooling() + s.FuelConsumption(),
              0);
    EXPECT_FALSE(s.Changed());
}

TEST(StandbyOperation, FileLayoutsByVersion)
{
    XelStandbyOperation s;
    Fill(s);
    EXPECT_EQ(WriteRecord(s), Bytes({1, 2, 3, 4, 5, 6, 7}));

    const QByteArray file = Bytes({11, 12, 13, 14, 15, 16, 17, 18});
    qint64 used = 0;
    XelStandbyOperation a;
    a.SetFuelConsumption(9);
    ASSERT_TRUE(ReadRecord(a, file, "2.5", &used));
    EXPECT_EQ(used, 6);
    EXPECT_EQ(a.InitialStartDelay(), 11);
    EXPECT_EQ(a.CrankingTime(), 12);
    EXPECT_EQ(a.Delay(), 13);
    EXPECT_EQ(a.StartAttempts(), 14);
    EXPECT_EQ(a.GenBreakTimer(), 15);
    EXPECT_EQ(a.Cooling(), 16);
    EXPECT_EQ(a.FuelConsumption(), 0);

    ASSERT_TRUE(ReadRecord(a, file, "1.9", &used));
    EXPECT_EQ(used, 6);
    ASSERT_TRUE(ReadRecord(a, file, "2.6", &used));
    EXPECT_EQ(used, 7);
    EXPECT_EQ(a.FuelConsumption(), 17);

    Fill(a);
    ASSERT_TRUE(ReadRecord(a, file, "3.0", &used));
    EXPECT_EQ(used, 0);
    EXPECT_EQ(a.Cooling(), 6);
    EXPECT_FALSE(a.Changed());

    EXPECT_FALSE(ReadRecord(a, Bytes({1, 2}), "2.15"));
}

TEST(StandbyOperation, EveryFieldCountsAsChangeAndWritesDrop)
{
    void (XelStandbyOperation::*setters[])(qint32) = {
        &XelStandbyOperation::SetInitialStartDelay, &XelStandbyOperation::SetStartAttempts,
        &XelStandbyOperation::SetCrankingTime,      &XelStandbyOperation::SetDelay,
        &XelStandbyOperation::SetGenBreakTimer,     &XelStandbyOperation::SetCooling,
        &XelStandbyOperation::SetFuelConsumption,
    };
    for (auto set : setters) {
        XelStandbyOperation s;
        (s.*set)(256);
        (s.*set)(-1);
        EXPECT_FALSE(s.Changed());
        (s.*set)(255);
        EXPECT_TRUE(s.Changed());
    }
}

TEST(StandbyOperation, ImageBytesAndFuelGate)
{
    XelStandbyOperation s;
    Fill(s);
    QByteArray image(8256, '\0');
    ASSERT_TRUE(s.ToImage(image));
    EXPECT_EQ(image.mid(645, 4), Bytes({1, 4, 2, 3}));
    EXPECT_EQ(image.mid(661, 2), Bytes({5, 6}));
    EXPECT_EQ(quint8(image.at(3072)), 7);
    EXPECT_EQ(quint8(image.at(3088)), 255);

    XelStandbyOperation zero;
    QByteArray image2(8256, '\0');
    ASSERT_TRUE(zero.ToImage(image2));
    EXPECT_EQ(quint8(image2.at(3088)), 255);

    XelStandbyOperation back;
    back.SetFuelConsumption(3);
    ASSERT_TRUE(back.FromImage(image, "4.7"));
    EXPECT_EQ(back.StartAttempts(), 4);
    EXPECT_EQ(back.Cooling(), 6);
    EXPECT_EQ(back.FuelConsumption(), 0);
    ASSERT_TRUE(back.FromImage(image, "4.8"));
    EXPECT_EQ(back.FuelConsumption(), 7);
    back.SetFuelConsumption(0);
    ASSERT_TRUE(back.FromImage(image, "4.10"));
    EXPECT_EQ(back.FuelConsumption(), 7);
}

TEST(StandbyOperation, ShortImages)
{
    XelStandbyOperation s;
    Fill(s);
    QByteArray unit(3072, '\0');
    EXPECT_FALSE(s.ToImage(unit)); // no room for byte 3072
    EXPECT_EQ(quint8(unit.at(662)), 6);

    unit[646] = char(9);
    XelStandbyOperation back;
    EXPECT_FALSE(back.FromImage(unit, "4.8"));
    EXPECT_EQ(back.StartAttempts(), 9);
    EXPECT_TRUE(back.FromImage(unit, "4.7")); // below 4.8 byte 3072 is not read
}
