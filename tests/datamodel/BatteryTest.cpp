#include "datamodel/XelBattery.h"
#include "tests/datamodel/SettingsTestUtil.h"

#include <gtest/gtest.h>

using namespace settings_test;

TEST(Battery, WritesTheNineByteRecord)
{
    XelBattery b;
    b.SetLowBatteryVoltage(11.5f);
    b.SetDelay(5);
    b.SetBatteryVoltage(12.0f);
    b.SetLowBatteryVoltageAlarm(true);
    b.SetCANBatteryType(38);
    const QByteArray out = Written([&](RecordWriter& w) { return b.WriteToFile(w); });
    EXPECT_EQ(out, Bytes({0x73, 0, 5, 12, 0, 0xFF, 0xFF, 38, 0}));

    XelBattery back;
    qint64 used = 0;
    ASSERT_TRUE(ReadFrom(out, [&](RecordReader& r) { return back.ReadFromFile(r, "2.13"); }, &used));
    EXPECT_EQ(used, 9);
    EXPECT_FLOAT_EQ(back.LowBatteryVoltage(), 11.5f);
    EXPECT_FLOAT_EQ(back.BatteryVoltage(), 12.0f);
    EXPECT_TRUE(back.LowBatteryVoltageAlarm());
    EXPECT_EQ(back.CANBatteryType(), 38);
}

TEST(Battery, OlderLayoutsAndTheirDefaults)
{
    const QByteArray file = Bytes({0xDC, 0, 9, 12, 0, 0, 0, 7, 0});
    {
        XelBattery b;
        b.SetCANBatteryType(5);
        qint64 used = 0;
        ASSERT_TRUE(ReadFrom(file, [&](RecordReader& r) { return b.ReadFromFile(r, "1.2"); }, &used));
        EXPECT_EQ(used, 3);
        EXPECT_FLOAT_EQ(b.LowBatteryVoltage(), 22.0f);
        EXPECT_EQ(b.Delay(), 9);
        EXPECT_FLOAT_EQ(b.BatteryVoltage(), 24.0f);
        EXPECT_TRUE(b.LowBatteryVoltageAlarm());
        EXPECT_EQ(b.CANBatteryType(), 5);
    }
    {
        XelBattery b;
        qint64 used = 0;
        ASSERT_TRUE(ReadFrom(file, [&](RecordReader& r) { return b.ReadFromFile(r, "2.0"); }, &used));
        EXPECT_EQ(used, 5);
        EXPECT_FLOAT_EQ(b.BatteryVoltage(), 12.0f);
        EXPECT_TRUE(b.LowBatteryVoltageAlarm());
    }
    {
        XelBattery b;
        qint64 used = 0;
        ASSERT_TRUE(ReadFrom(file, [&](RecordReader& r) { return b.ReadFromFile(r, "2.5"); }, &used));
        EXPECT_EQ(used, 7);
        EXPECT_FALSE(b.LowBatteryVoltageAlarm());
        EXPECT_EQ(b.CANBatteryType(), 38);
        EXPECT_FALSE(b.Changed());
    }
    {
        XelBattery b;
        b.SetDelay(3);
        qint64 used = -1;
        ASSERT_TRUE(ReadFrom(file, [&](RecordReader& r) { return b.ReadFromFile(r, "3.0"); }, &used));
        EXPECT_EQ(used, 0);
        EXPECT_EQ(b.Delay(), 3);
    }
    XelBattery b;
    EXPECT_FALSE(ReadFrom(file.left(8), [&](RecordReader& r) { return b.ReadFromFile(r, "2.15"); }));
}

TEST(Battery, TheSelectionByteArrivesWithTwoThirteen)
{
    const QByteArray file = Bytes({0xDC, 0, 9, 24, 0, 0xFF, 0xFF, 7, 0});
    for (const auto& [version, bytes, type] : {std::tuple{"2.1", 7, 38}, std::tuple{"2.9", 7, 38},
                                               std::tuple{"2.12", 7, 38}, std::tuple{"2.13", 9, 7},
                                               std::tuple{"2.20", 9, 7}}) {
        SCOPED_TRACE(version);
        XelBattery b;
        qint64 used = 0;
        ASSERT_TRUE(ReadFrom(file, [&](RecordReader& r) { return b.ReadFromFile(r, version); }, &used));
        EXPECT_EQ(used, bytes);
        EXPECT_EQ(b.CANBatteryType(), type);
        EXPECT_TRUE(b.LowBatteryVoltageAlarm());
    }
}

TEST(Battery, AllFiveFieldsTakePartInChangeDetection)
{
    XelBattery b;
    EXPECT_FALSE(b.Changed());
    b.SetCANBatteryType(38);
    EXPECT_TRUE(b.Changed());
    b.ResetBackup();
    b.SetLowBatteryVoltage(0.1f);
    EXPECT_TRUE(b.Changed());
    b.SetLowBatteryVoltage(0.0f);
    EXPECT_FALSE(b.Changed());
}

TEST(Battery, WritesThatDoNotFitAreDropped)
{
    XelBattery b;
    b.SetLowBatteryVoltage(24.4f);
    b.SetLowBatteryVoltage(4000.0f);
    b.SetBatteryVoltage(24.0f);
    b.SetBatteryVoltage(40000.0f);
    EXPECT_FLOAT_EQ(b.LowBatteryVoltage(), 24.4f);
    EXPECT_FLOAT_EQ(b.BatteryVoltage(), 24.0f);
}

TEST(Battery, TwelveVoltLimitsAreDoubledInTheImage)
{
    XelBattery b;
    b.SetLowBatteryVoltage(11.5f);
    b.SetBatteryVoltage(12.0f);
    b.SetLowBatteryVoltageAlarm(true);
    b.SetDelay(4);
    QByteArray image = NewImage();
    image[2545] = 9;
    ASSERT_TRUE(b.ToImage(image));
    EXPECT_EQ(image.mid(663, 5), Bytes({1, 0, 4, 0, 230}));
    EXPECT_EQ(At(image, 2545), 0);

    XelBattery back;
    ASSERT_TRUE(back.FromImage(image, "4.47"));
    EXPECT_FLOAT_EQ(back.LowBatteryVoltage(), 11.5f);
    EXPECT_FLOAT_EQ(back.BatteryVoltage(), 12.0f);
    EXPECT_TRUE(back.LowBatteryVoltageAlarm());
    EXPECT_EQ(back.Delay(), 4);

    image[667] = char(231); // halves go to even: 115.5 -> 116
    ASSERT_TRUE(back.FromImage(image, "4.47"));
    EXPECT_FLOAT_EQ(back.LowBatteryVoltage(), 11.6f);

    image[666] = char(0x9C); // 40000 halves to 20000
    image[667] = 0x40;
    ASSERT_TRUE(back.FromImage(image, "4.47"));
    EXPECT_FLOAT_EQ(back.LowBatteryVoltage(), 2000.0f);

    image[666] = char(0xFF); // 65534 halves to 32767, the largest limit
    image[667] = char(0xFE);
    ASSERT_TRUE(back.FromImage(image, "4.47"));
    EXPECT_FLOAT_EQ(back.LowBatteryVoltage(), 3276.7f);
}

TEST(Battery, ATwelveVoltWordWhoseHalfDoesNotFitStopsTheDecode)
{
    QByteArray image = NewImage();
    image[663] = 1;
    image[665] = 8;
    image[666] = char(0xFF); // 65535 halves (to even) to 32768
    image[667] = char(0xFF);
    XelBattery b;
    b.SetLowBatteryVoltage(11.0f);
    b.SetDelay(2);
    EXPECT_FALSE(b.FromImage(image, "4.47"));
    EXPECT_FLOAT_EQ(b.LowBatteryVoltage(), 11.0f);
    EXPECT_EQ(b.Delay(), 2);
}

TEST(Battery, ATwelveVoltLimitWhoseDoubleDoesNotFitFails)
{
    XelBattery b;
    b.SetLowBatteryVoltage(1700.0f);
    b.SetBatteryVoltage(12.0f);
    b.SetLowBatteryVoltageAlarm(true);
    b.SetDelay(4);
    QByteArray image = NewImage();
    EXPECT_FALSE(b.ToImage(image));
    EXPECT_EQ(At(image, 665), 0);
}

TEST(Battery, AlarmOffWritesAZeroLimit)
{
    XelBattery b;
    b.SetLowBatteryVoltage(22.0f);
    b.SetBatteryVoltage(24.0f);
    QByteArray image = NewImage();
    image[663] = 1;
    ASSERT_TRUE(b.ToImage(image));
    EXPECT_EQ(image.mid(663, 5), Bytes({0, 0, 0, 0, 0}));
    XelBattery back;
    back.SetLowBatteryVoltageAlarm(true);
    ASSERT_TRUE(back.FromImage(image, "4.47"));
    EXPECT_FALSE(back.LowBatteryVoltageAlarm());
    EXPECT_FLOAT_EQ(back.BatteryVoltage(), 24.0f);
}

TEST(Battery, BusSourcesCarryTheirDescriptor)
{
    XelBattery b;
    b.SetLowBatteryVoltage(22.0f);
    b.SetBatteryVoltage(1.0f);
    b.SetLowBatteryVoltageAlarm(true);
    b.SetCANBatteryType(38);
    QByteArray image = NewImage();
    ASSERT_TRUE(b.ToImage(image));
    EXPECT_EQ(At(image, 2545), 2);
    EXPECT_EQ(image.mid(666, 2), Bytes({0, 220}));
    EXPECT_EQ(image.mid(2900, 8), Bytes({20, 38, 247, 0, 24, 254, 64, 0}));
    XelBattery back;
    ASSERT_TRUE(back.FromImage(image, "4.47"));
    EXPECT_FLOAT_EQ(back.BatteryVoltage(), 1.0f);
    EXPECT_EQ(back.CANBatteryType(), 38);
    EXPECT_FLOAT_EQ(back.LowBatteryVoltage(), 22.0f);

    b.SetBatteryVoltage(2.0f);
    image = NewImage();
    ASSERT_TRUE(b.ToImage(image));
    EXPECT_EQ(image.mid(2900, 8), Bytes({20, 127, 158, 0, 0, 0, 128, 0}));
    ASSERT_TRUE(back.FromImage(image, "4.47"));
    EXPECT_FLOAT_EQ(back.BatteryVoltage(), 2.0f);

    b.SetCANBatteryType(300);
    b.SetBatteryVoltage(1.0f);
    EXPECT_FALSE(b.ToImage(image));
}

TEST(Battery, AnUnknownSourceWritesOnlyTheDelay)
{
    XelBattery b;
    b.SetBatteryVoltage(7.0f);
    b.SetDelay(6);
    b.SetLowBatteryVoltageAlarm(true);
    b.SetLowBatteryVoltage(10.0f);
    QByteArray image = NewImage();
    ASSERT_TRUE(b.ToImage(image));
    EXPECT_EQ(image.mid(663, 5), Bytes({0, 0, 6, 0, 0}));
}

TEST(Battery, OldFirmwareIgnoresTheBusAndTwelveVoltBytes)
{
    QByteArray image = NewImage();
    image[663] = 1;
    image[2545] = 2;
    image[2906] = 64;
    image[667] = 200;
    XelBattery b;
    ASSERT_TRUE(b.FromImage(image, "3.5"));
    EXPECT_FLOAT_EQ(b.BatteryVoltage(), 24.0f);
    EXPECT_FLOAT_EQ(b.LowBatteryVoltage(), 20.0f);

    image[666] = char(0x80); // 32768 does not fit
    b.SetDelay(1);
    EXPECT_FALSE(b.FromImage(image, "3.5"));
    EXPECT_EQ(b.Delay(), 1);
}
