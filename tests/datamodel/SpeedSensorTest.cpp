#include "datamodel/XelSpeedSensor.h"
#include "tests/datamodel/SettingsTestUtil.h"

#include <gtest/gtest.h>

using namespace settings_test;

namespace {

void FillSample(XelSpeedSensor& s)
{
    s.SetSender(0, 2);
    s.SetSender(1, 1);
    s.SetPulsesPerRevolution(0, 120);
    s.SetReadyToTakeLoad(1200);
    s.SetNomSpeed(1500);
    s.SetSpeeding(1725);
    s.SetSpeedingShutdown(0.5f);
    s.SetRunDetectedAt(400);
    s.SetPickupType(0, 1);
    s.SetPickupType(1, 2);
}

// The common part of the old layouts: both senders and pulse counts, speeds, shutdown time.
QByteArray OldTwoInputHead()
{
    return Bytes({2, 1, 120, 90, 0xB0, 0x04, 0xDC, 0x05, 0xBD, 0x06, 0, 0, 5, 0x90, 0x01});
}

} // namespace

TEST(SpeedSensor, WritesTheSeventeenByteRecord)
{
    XelSpeedSensor s;
    FillSample(s);
    bool ok = false;
    const QByteArray out = Written([&](RecordWriter& w) { return s.WriteToFile(w); }, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, Bytes({2, 1, 120, 0, 0xB0, 0x04, 0xDC, 0x05, 0xBD, 0x06, 0, 0, 5, 0x90, 0x01, 1, 2}));

    XelSpeedSensor back;
    qint64 used = 0;
    ASSERT_TRUE(ReadFrom(out, [&](RecordReader& r) { return back.ReadFromFile(r, "2.15"); }, &used));
    EXPECT_EQ(used, 17);
    EXPECT_EQ(back.Sender(0), 2);
    EXPECT_EQ(back.PulsesPerRevolution(0), 120);
    EXPECT_EQ(back.Speeding(), 1725);
    EXPECT_FLOAT_EQ(back.SpeedingShutdown(), 0.5f);
    EXPECT_EQ(back.RunDetectedAt(), 400);
    EXPECT_EQ(back.PickupType(1), 2);
    EXPECT_FALSE(back.Changed());
}

TEST(SpeedSensor, ReadsTheOneInputLayout)
{
    XelSpeedSensor s;
    qint64 used = 0;
    const QByteArray file = Bytes({2, 120, 0xB0, 0x04, 0xDC, 0x05, 0xBD, 0x06, 0, 0, 5, 0x90, 0x01, 0x77});
    ASSERT_TRUE(ReadFrom(file, [&](RecordReader& r) { return s.ReadFromFile(r, "1.9"); }, &used));
    EXPECT_EQ(used, 13);
    EXPECT_EQ(s.Sender(0), 2);
    EXPECT_EQ(s.PulsesPerRevolution(0), 120);
    EXPECT_EQ(s.NomSpeed(), 1500);
    EXPECT_EQ(s.RunDetectedAt(), 400);
    EXPECT_EQ(s.Sender(1), 1);
    EXPECT_EQ(s.PulsesPerRevolution(1), 150);
    EXPECT_EQ(s.PickupType(0), 1);
    EXPECT_EQ(s.PickupType(1), 0);
}

TEST(SpeedSensor, MapsTheOldPickupCode)
{
    struct Case {
        int code;
        int p0;
        int p1;
    };
    // Starting from 9, 9 so that "keeps its value" shows.
    for (const Case c : {Case{0, 0, 0}, Case{1, 1, 0}, Case{2, 1, 1}, Case{3, 2, 0}, Case{4, 3, 0}, Case{5, 9, 9}}) {
        SCOPED_TRACE(c.code);
        XelSpeedSensor s;
        s.SetPickupType(0, 9);
        s.SetPickupType(1, 9);
        qint64 used = 0;
        ASSERT_TRUE(ReadFrom(OldTwoInputHead() + Bytes({c.code}),
                             [&](RecordReader& r) { return s.ReadFromFile(r, "2.7"); }, &used));
        EXPECT_EQ(used, 16);
        EXPECT_EQ(s.PulsesPerRevolution(1), 90);
        EXPECT_EQ(s.PickupType(0), c.p0);
        EXPECT_EQ(s.PickupType(1), c.p1);
    }
}

TEST(SpeedSensor, TheFlagOfTheEighteenByteLayoutAddsAPulseInput)
{
    struct Case {
        int code;
        int flag;
        int p0;
        int p1;
    };
    for (const Case c : {Case{3, 0, 2, 9}, Case{3, 1, 2, 1}, Case{4, 0, 3, 9}, Case{4, 0x100, 3, 1}, Case{2, 0, 1, 1}}) {
        SCOPED_TRACE(c.code * 1000 + c.flag);
        XelSpeedSensor s;
        s.SetPickupType(1, 9);
        qint64 used = 0;
        ASSERT_TRUE(ReadFrom(OldTwoInputHead() + Bytes({c.code, c.flag & 0xFF, c.flag >> 8}),
                             [&](RecordReader& r) { return s.ReadFromFile(r, "2.9"); }, &used));
        EXPECT_EQ(used, 18);
        EXPECT_EQ(s.PickupType(0), c.p0);
        EXPECT_EQ(s.PickupType(1), c.p1);
        EXPECT_FALSE(s.Changed());
    }
}

TEST(SpeedSensor, MajorThreeReadsNothingAndShortFilesFail)
{
    XelSpeedSensor s;
    FillSample(s);
    qint64 used = -1;
    ASSERT_TRUE(ReadFrom(QByteArray(20, '\0'), [&](RecordReader& r) { return s.ReadFromFile(r, "3.1"); }, &used));
    EXPECT_EQ(used, 0);
    EXPECT_EQ(s.NomSpeed(), 1500);
    EXPECT_FALSE(ReadFrom(QByteArray(10, '\0'), [&](RecordReader& r) { return s.ReadFromFile(r, "2.15"); }));
}

TEST(SpeedSensor, SpeedingShutdownIsKeptInTenths)
{
    XelSpeedSensor s;
    s.SetSpeedingShutdown(0.5f);
    EXPECT_FLOAT_EQ(s.SpeedingShutdown(), 0.5f);
    s.SetSpeedingShutdown(0.25f); // 2.5 tenths: halves go to even
    EXPECT_FLOAT_EQ(s.SpeedingShutdown(), 0.2f);
    s.SetSpeedingShutdown(25.5f);
    EXPECT_FLOAT_EQ(s.SpeedingShutdown(), 25.5f);
    s.SetSpeedingShutdown(25.6f);
    s.SetSpeedingShutdown(-1.0f);
    s.SetSpeedingShutdown(1e30f);
    EXPECT_FLOAT_EQ(s.SpeedingShutdown(), 25.5f);
}

TEST(SpeedSensor, IndexesOutsideTheTwoInputsAreIgnored)
{
    XelSpeedSensor s;
    s.SetSender(2, 5);
    s.SetPickupType(-1, 5);
    EXPECT_EQ(s.Sender(2), 0);
    EXPECT_EQ(s.PickupType(-1), 0);
    EXPECT_FALSE(s.Changed());
    s.SetPulsesPerRevolution(1, 3);
    EXPECT_TRUE(s.Changed());
}

TEST(SpeedSensor, EncodesPulseAndBusInputs)
{
    XelSpeedSensor s;
    FillSample(s);
    QByteArray image = NewImage();
    image.replace(2916, 8, QByteArray(8, char(0xAA)));
    ASSERT_TRUE(s.ToImage(image));
    EXPECT_EQ(image.mid(649, 12), Bytes({2, 120, 2, 0x05, 0xDC, 0x06, 0xBD, 0x01, 0x90, 0x04, 0xB0, 5}));
    EXPECT_EQ(image.mid(2540, 3), Bytes({0, 0, 1}));
    EXPECT_EQ(image.mid(2916, 8), QByteArray(8, '\0'));
    EXPECT_EQ(image.mid(3020, 8), Bytes({2, 35, 4, 0, 12, 240, 64, 0}));

    s.SetPickupType(0, 3);
    s.SetPickupType(1, 0);
    s.SetPulsesPerRevolution(1, 77);
    image = NewImage();
    ASSERT_TRUE(s.ToImage(image));
    EXPECT_EQ(image.mid(649, 3), Bytes({0, 0, 2}));
    EXPECT_EQ(image.mid(2916, 8), Bytes({2, 127, 0, 190, 0, 0, 128, 0}));
    EXPECT_EQ(image.mid(2540, 3), Bytes({1, 0, 1}));
    EXPECT_EQ(image.mid(3020, 8), QByteArray(8, '\0'));
}

TEST(SpeedSensor, ANegativeSpeedStopsTheEncoder)
{
    XelSpeedSensor s;
    s.SetNomSpeed(-1);
    s.SetSpeedingShutdown(3.0f);
    QByteArray image = NewImage();
    EXPECT_FALSE(s.ToImage(image));
    EXPECT_EQ(At(image, 660), 0);
}

TEST(SpeedSensor, DecodesOneInputForOldFirmware)
{
    QByteArray image = NewImage();
    image[651] = 0;
    image[650] = 60;
    image[2542] = 2;
    image[2541] = 44;
    image[2922] = 64;
    for (const char* fw : {"3.9", "N/A"}) {
        SCOPED_TRACE(fw);
        XelSpeedSensor s;
        ASSERT_TRUE(s.FromImage(image, fw));
        EXPECT_EQ(s.Sender(0), 1);
        EXPECT_EQ(s.PulsesPerRevolution(0), 60);
        EXPECT_EQ(s.PickupType(0), 1);
        EXPECT_EQ(s.PickupType(1), 0);
        EXPECT_EQ(s.Sender(1), 1);
        EXPECT_EQ(s.PulsesPerRevolution(1), 150);
    }
}

TEST(SpeedSensor, DecodesPickupTypesForQ2Firmware)
{
    QByteArray image = NewImage();
    image[651] = 2;
    image[652] = 0x05;
    image[653] = char(0xDC);
    image[654] = char(0x9C); // 40000 fits the Long
    image[655] = 0x40;
    image[660] = 7;
    XelSpeedSensor s;
    ASSERT_TRUE(s.FromImage(image, "4.3"));
    EXPECT_EQ(s.PickupType(0), 0);
    EXPECT_EQ(s.PickupType(1), 0);
    EXPECT_EQ(s.PulsesPerRevolution(1), 150);
    EXPECT_EQ(s.Sender(1), 1);
    EXPECT_EQ(s.NomSpeed(), 1500);
    EXPECT_EQ(s.Speeding(), 40000);
    EXPECT_FLOAT_EQ(s.SpeedingShutdown(), 0.7f);

    image[650] = 100;
    image[2922] = 64;
    image[2541] = 30;
    image[3026] = char(128);
    ASSERT_TRUE(s.FromImage(image, "4.40"));
    EXPECT_EQ(s.PickupType(0), 2);
    EXPECT_EQ(s.PickupType(1), 3);
    EXPECT_EQ(s.PulsesPerRevolution(1), 30);

    image[2922] = 0;
    image[3026] = 0;
    ASSERT_TRUE(s.FromImage(image, "4.8"));
    EXPECT_EQ(s.PickupType(0), 1);
    EXPECT_EQ(s.PickupType(1), 1);

    XelSpeedSensor bare; // a version without a point is major.0
    ASSERT_TRUE(bare.FromImage(image, "4"));
    EXPECT_EQ(bare.PulsesPerRevolution(1), 30);
}

TEST(SpeedSensor, AWordTooBigForAnIntegerStopsTheDecoder)
{
    QByteArray image = NewImage();
    image[658] = char(0x80); // ReadyToTakeLoad 32768
    image[652] = 0x01;
    XelSpeedSensor s;
    s.SetNomSpeed(9);
    EXPECT_FALSE(s.FromImage(image, "4.47"));
    EXPECT_EQ(s.NomSpeed(), 9);
    EXPECT_FALSE(s.FromImage(image.left(655), "4.47"));
}

TEST(SpeedSensor, ByteAndIntegerWritesThatDoNotFitAreDropped)
{
    XelSpeedSensor s;
    s.SetPulsesPerRevolution(0, 60);
    s.SetPulsesPerRevolution(0, 256);
    s.SetPickupType(1, -1);
    s.SetNomSpeed(1500);
    s.SetNomSpeed(40000);
    EXPECT_EQ(s.PulsesPerRevolution(0), 60);
    EXPECT_EQ(s.PickupType(1), 0);
    EXPECT_EQ(s.NomSpeed(), 1500);
}
