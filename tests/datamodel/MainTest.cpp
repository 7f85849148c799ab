#include "datamodel/XelMain.h"
#include "tests/common/Doubles.h"
#include "tests/datamodel/SettingsTestUtil.h"

#include <gtest/gtest.h>

using namespace settings_test;

namespace {

const QDateTime kNoonAfterZero(QDate(1899, 12, 31), QTime(12, 0)); // day count 1.5

void FillSample(XelMain& m)
{
    m.SetOperationMode(2);
    m.SetLanguage(3);
    m.SetIDNumber(5);
    m.SetRunDelay(10);
    m.SetLCDLight(61);
    m.SetInvertLCDOnAlarm(true);
    m.SetCAN(true);
    m.SetCANNumber(171);
    m.SetCANPIDTimeout(20);
    m.SetEngineType(-1);
    m.SetPrinterOutput(true);
    m.SetEngineHours(1);
    m.RecordTransfer(MainFirmwareDirection::ToECX, "4.47", kNoonAfterZero);
    m.SetCANSPN(0x12345);
    m.SetCANProtectLamp(true);
    m.SetByteOne(1);
    m.SetByteTwo(2);
    m.SetByteThree(3);
    m.SetByteFour(4);
    m.SetWordOne(0x1234);
    m.SetWordTwo(65535);
    m.SetWordFour(7);
    m.SetShutdownOverride(true);
}

// The sample record as written by user "tester": 75 bytes plus the user name.
QByteArray SampleRecord()
{
    return Bytes({2, 3, 5, 10, 61, 0xFF, 0xFF, 0xFF, 0xFF, 6, 0}) + "tester"
        + Bytes({0xAB, 0, 20, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0, 1}) + "4.47        "
        + Bytes({1, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F, 0x45, 0x23, 0x01, 0x00, 0xFF, 0xFF, 0, 0, 1, 2, 3, 4,
                 0x34, 0x12, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0xFF, 0xFF});
}

class MainTest : public ::testing::Test {
protected:
    testing_doubles::PlatformDoubles doubles;
};

} // namespace

TEST_F(MainTest, WritesTheCurrentRecordWithTheLoggedOnUser)
{
    XelMain m;
    FillSample(m);
    m.SetUser("someone else");
    bool ok = false;
    const QByteArray out = Written([&](RecordWriter& w) { return m.WriteToFile(w); }, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out.size(), 75 + 6);
    EXPECT_EQ(out, SampleRecord());
    EXPECT_EQ(m.User(), "tester");
    EXPECT_FALSE(m.Changed());
}

TEST_F(MainTest, ReadsTheCurrentRecordBack)
{
    XelMain m;
    qint64 used = 0;
    ASSERT_TRUE(ReadFrom(SampleRecord(), [&](RecordReader& r) { return m.ReadFromFile(r, "2.15"); }, &used));
    EXPECT_EQ(used, 81);
    EXPECT_EQ(m.OperationMode(), 2);
    EXPECT_EQ(m.User(), "tester");
    EXPECT_EQ(m.EngineType(), -1);
    EXPECT_EQ(m.Firmware(), "4.47        ");
    EXPECT_EQ(m.FirmwareDirection(), 1);
    EXPECT_EQ(m.FirmwareDate(), kNoonAfterZero);
    EXPECT_EQ(m.CANSPN(), 0x12345);
    EXPECT_FALSE(m.CANDiagnose());
    EXPECT_EQ(m.WordTwo(), 65535);
    EXPECT_TRUE(m.ShutdownOverride());
    EXPECT_FALSE(m.Changed());
}

TEST_F(MainTest, ATruncatedRecordFails)
{
    XelMain m;
    EXPECT_FALSE(ReadFrom(SampleRecord().left(50), [&](RecordReader& r) { return m.ReadFromFile(r, "2.15"); }));
}

TEST_F(MainTest, OldLayoutsReadTheirFieldsAndDefaultTheRest)
{
    // 1.x: four bytes.
    {
        XelMain m;
        FillSample(m);
        qint64 used = 0;
        ASSERT_TRUE(ReadFrom(Bytes({1, 2, 3, 4, 99}), [&](RecordReader& r) { return m.ReadFromFile(r, "1.3"); }, &used));
        EXPECT_EQ(used, 4);
        EXPECT_EQ(m.OperationMode(), 1);
        EXPECT_EQ(m.RunDelay(), 4);
        EXPECT_EQ(m.LCDLight(), 61);
        EXPECT_FALSE(m.InvertLCDOnAlarm());
        EXPECT_FALSE(m.CAN());
        EXPECT_EQ(m.CANNumber(), 171);
        EXPECT_EQ(m.CANPIDTimeout(), 20);
        EXPECT_EQ(m.EngineType(), 255);
        EXPECT_FALSE(m.CANDiagnose());
        EXPECT_EQ(m.ByteOne(), 1); // kept
    }
    // 2.8: up to EngineType.
    {
        XelMain m;
        FillSample(m);
        m.SetClassified(true);
        const QByteArray file = Bytes({0, 1, 2, 3, 50, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0}) + "ab"
            + Bytes({0x20, 0, 30, 0, 7, 0, 0xEE});
        qint64 used = 0;
        ASSERT_TRUE(ReadFrom(file, [&](RecordReader& r) { return m.ReadFromFile(r, "2.8"); }, &used));
        EXPECT_EQ(used, 19);
        EXPECT_EQ(m.User(), "ab");
        EXPECT_EQ(m.CANNumber(), 0x20);
        EXPECT_EQ(m.EngineType(), 7);
        EXPECT_FALSE(m.Classified());
        EXPECT_FALSE(m.PrinterOutput());
        EXPECT_EQ(m.EngineHours(), 0);
        EXPECT_EQ(m.Firmware(), Blanks(12));
        EXPECT_EQ(m.CANSPN(), 0);
        EXPECT_FALSE(m.CANProtectLamp());
        EXPECT_TRUE(m.CANDiagnose()); // follows CAN
        EXPECT_FALSE(m.ShutdownOverride());
        EXPECT_EQ(m.FirmwareDirection(), 1); // kept
        EXPECT_EQ(m.WordOne(), 0x1234);      // kept
        EXPECT_FALSE(m.Changed());
    }
}

TEST_F(MainTest, OldLayoutsReadPastTheTransferDirectionDateAndDiagnoseFlag)
{
    const QDateTime before(QDate(2020, 1, 2), QTime(3, 4));
    // 2.12: through FirmwareDate.
    {
        XelMain m;
        m.RecordTransfer(MainFirmwareDirection::ToECX, "x", before);
        const QByteArray file = Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}) + "3.10        "
            + Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0});
        qint64 used = 0;
        ASSERT_TRUE(ReadFrom(file, [&](RecordReader& r) { return m.ReadFromFile(r, "2.12"); }, &used));
        EXPECT_EQ(used, 45);
        EXPECT_EQ(m.EngineHours(), 2);
        EXPECT_EQ(m.Firmware(), "3.10        ");
        EXPECT_EQ(m.FirmwareDirection(), 1);
        EXPECT_EQ(m.FirmwareDate(), before);
    }
    // 2.14: everything but ShutdownOverride; the diagnose flag on disk is not taken.
    {
        XelMain m;
        m.SetShutdownOverride(true);
        QByteArray file = SampleRecord();
        file[5] = 0; // InvertLCDOnAlarm
        file.chop(2);
        file[51] = char(0xFF); // CANSPN 65535 (bytes 51..54 after a 6-letter user)
        file[52] = char(0xFF);
        file[53] = 0;
        file[54] = 0;
        file[57] = char(0xFF); // CANDiagnose on disk
        file[58] = char(0xFF);
        qint64 used = 0;
        ASSERT_TRUE(ReadFrom(file, [&](RecordReader& r) { return m.ReadFromFile(r, "2.14"); }, &used));
        EXPECT_EQ(used, 79);
        EXPECT_EQ(m.CANSPN(), 65535);
        EXPECT_FALSE(m.CANDiagnose());
        EXPECT_FALSE(m.ShutdownOverride());
        EXPECT_EQ(m.WordFour(), 7);
        EXPECT_EQ(m.FirmwareDirection(), 0); // kept from the new object
    }
}

TEST_F(MainTest, AFileOfMajorThreeReadsNothing)
{
    XelMain m;
    FillSample(m);
    qint64 used = -1;
    ASSERT_TRUE(ReadFrom(SampleRecord(), [&](RecordReader& r) { return m.ReadFromFile(r, "3.0"); }, &used));
    EXPECT_EQ(used, 0);
    EXPECT_EQ(m.OperationMode(), 2);
    EXPECT_EQ(m.CANSPN(), 0x12345);
    EXPECT_FALSE(m.Changed());
}

TEST_F(MainTest, ChangeDetectionAndTheFirmwareOnlyFlag)
{
    XelMain m;
    FillSample(m);
    m.ResetBackup();
    EXPECT_FALSE(m.Changed());

    m.SetUser("other");
    m.SetByteOne(200);
    m.SetWordThree(9);
    EXPECT_FALSE(m.Changed());

    m.SetCANPIDTimeout(21);
    EXPECT_TRUE(m.Changed());
    m.SetCANPIDTimeout(20);
    EXPECT_FALSE(m.Changed());
    m.SetShutdownOverride(false);
    EXPECT_TRUE(m.Changed());
    m.SetShutdownOverride(true);

    m.RecordTransfer(MainFirmwareDirection::FromECX, "4.8", kNoonAfterZero);
    EXPECT_TRUE(m.Changed());
    EXPECT_TRUE(m.FirmwareOnlyChanged());

    m.SetLanguage(4);
    EXPECT_TRUE(m.Changed());
    EXPECT_FALSE(m.FirmwareOnlyChanged());

    m.ResetBackup();
    m.SetClassified(true);
    EXPECT_TRUE(m.Changed());
    m.ResetChangedFlagClassified();
    EXPECT_FALSE(m.Changed());
}

TEST_F(MainTest, OperationModeOutsideAByteIsDropped)
{
    XelMain m;
    m.SetOperationMode(3);
    m.SetOperationMode(256);
    m.SetOperationMode(-1);
    EXPECT_EQ(m.OperationMode(), 3);
}

TEST_F(MainTest, ImageBytesByFirmware)
{
    XelMain m;
    FillSample(m);
    for (const char* fw : {"3.9", "4.3", "4.39", "4.40", "4.8"}) {
        SCOPED_TRACE(fw);
        QByteArray image = NewImage();
        ASSERT_TRUE(m.ToImage(image, fw));
        EXPECT_EQ(At(image, 669), 2);
        EXPECT_EQ(At(image, 3), 3 + 128);
        EXPECT_EQ(At(image, 3073), 255);
        EXPECT_EQ(image.mid(2908, 8), Bytes({20, 64, 229, 0, 24, 254, 64, 0}));
        EXPECT_EQ(At(image, 4), 5);
        EXPECT_EQ(At(image, 668), 10);
        EXPECT_EQ(At(image, 2017), 61);
        EXPECT_EQ(At(image, 2537), 1);
        EXPECT_EQ(At(image, 2543), 171);
        EXPECT_EQ(At(image, 3075), 1);
        EXPECT_EQ(At(image, 3078), 0);
        EXPECT_EQ(image.mid(3096, 3), Bytes({0xFF, 0xFF, 1}));
        EXPECT_EQ(image.mid(3100, 12), Bytes({1, 2, 3, 4, 0x12, 0x34, 0xFF, 0xFF, 0, 0, 0, 7}));
        // Minor versions compare as numbers: 4.8 is before 4.40.
        const bool gate = QString(fw) == "4.40";
        EXPECT_EQ(At(image, 3113), gate ? 90 : 0);
    }
}

TEST_F(MainTest, BuildingTheImageRecordsNoTransfer)
{
    XelMain m;
    FillSample(m);
    m.ResetBackup();
    QByteArray image = NewImage();
    ASSERT_TRUE(m.ToImage(image, "4.8"));
    EXPECT_EQ(m.Firmware(), "4.47        ");
    EXPECT_EQ(m.FirmwareDirection(), 1);
    EXPECT_EQ(m.FirmwareDate(), kNoonAfterZero);
    EXPECT_FALSE(m.Changed());
}

TEST_F(MainTest, ImageLanguageByteAndBusSources)
{
    XelMain m;
    m.SetLanguage(3);
    m.SetClassified(true);
    m.SetCAN(true);
    m.SetEngineHours(2);
    m.SetCANDiagnose(true);
    m.SetCANSPN(0x1234);
    QByteArray image = NewImage();
    ASSERT_TRUE(m.ToImage(image, "4.47"));
    EXPECT_EQ(At(image, 3), 147);
    EXPECT_EQ(image.mid(2908, 8), Bytes({0, 127, 247, 0, 0, 0, 128, 0}));
    EXPECT_EQ(image.mid(3096, 2), Bytes({0x12, 0x34}));

    m.SetCAN(false); // no bus, no engine-hour source
    image = NewImage();
    image[2910] = 9;
    ASSERT_TRUE(m.ToImage(image, "4.47"));
    EXPECT_EQ(At(image, 3), 19);
    EXPECT_EQ(image.mid(2908, 8), QByteArray(8, '\0'));
}

TEST_F(MainTest, ImageValuesThatDoNotFitStopTheBuild)
{
    XelMain m;
    m.SetEngineType(300);
    m.SetIDNumber(9);
    QByteArray image = NewImage();
    EXPECT_FALSE(m.ToImage(image, "4.47"));
    EXPECT_EQ(At(image, 3073), 0);
    EXPECT_EQ(At(image, 4), 0);

    XelMain n;
    n.SetCANNumber(256);
    n.SetPrinterOutput(true);
    image = NewImage();
    EXPECT_FALSE(n.ToImage(image, "4.47"));
    EXPECT_EQ(At(image, 3075), 0);

    XelMain w;
    w.SetWordTwo(70000);
    image = NewImage();
    EXPECT_FALSE(w.ToImage(image, "4.47"));
    EXPECT_EQ(At(image, 3113), 0);
}

TEST_F(MainTest, DecodesTheLanguageByte)
{
    struct Case {
        int b;
        int language;
        bool can;
        bool classified;
    };
    for (const Case c : {Case{147, 3, true, true}, Case{104, 4, true, false}, Case{7, 7, false, false},
                         Case{0x85, 5, true, false}, Case{0x23, 3, false, false}}) {
        SCOPED_TRACE(c.b);
        XelMain m;
        QByteArray image = NewImage();
        image[3] = char(c.b);
        image[2543] = 171;
        ASSERT_TRUE(m.FromImage(image, "4.47"));
        EXPECT_EQ(m.Language(), c.language);
        EXPECT_EQ(m.CAN(), c.can);
        EXPECT_EQ(m.Classified(), c.classified);
    }
}

TEST_F(MainTest, DecodeRecordsTheReceiveAndAppliesFirmwareGates)
{
    QByteArray image = NewImage();
    image[669] = 2;
    image[3] = char(147);
    image[3073] = 12;
    image[4] = 8;
    image[2017] = 40;
    image[2537] = 1;
    image[2543] = 200;
    image[2914] = char(128);
    image[3096] = 0;
    image[3097] = 100;
    image[3113] = 90;

    XelMain m;
    ASSERT_TRUE(m.FromImage(image, "4.47"));
    EXPECT_EQ(m.Firmware(), "4.47        ");
    EXPECT_EQ(m.FirmwareDirection(), 0);
    EXPECT_EQ(m.FirmwareDate(), doubles.system.now);
    EXPECT_EQ(m.OperationMode(), 2);
    EXPECT_EQ(m.EngineType(), 12);
    EXPECT_EQ(m.IDNumber(), 8);
    EXPECT_EQ(m.LCDLight(), 40);
    EXPECT_TRUE(m.InvertLCDOnAlarm());
    EXPECT_EQ(m.CANNumber(), 200);
    EXPECT_EQ(m.EngineHours(), 2);
    EXPECT_EQ(m.CANSPN(), 100);
    EXPECT_TRUE(m.CANDiagnose());
    EXPECT_TRUE(m.ShutdownOverride());

    XelMain old;
    ASSERT_TRUE(old.FromImage(image, "4.2"));
    EXPECT_EQ(old.CANNumber(), 171);
    EXPECT_FALSE(old.CAN());
    EXPECT_FALSE(old.CANDiagnose());
    ASSERT_TRUE(old.FromImage(image, "3.9"));
    EXPECT_EQ(old.LCDLight(), 61);
    EXPECT_FALSE(old.InvertLCDOnAlarm());
    ASSERT_TRUE(old.FromImage(image, "2.0"));
    EXPECT_EQ(old.LCDLight(), 63);

    image[3096] = char(0xFF);
    image[3097] = char(0xFF);
    ASSERT_TRUE(m.FromImage(image, "4.47"));
    EXPECT_FALSE(m.CANDiagnose());
}

namespace {

// A full image with every field of the general settings set to something recognisable.
QByteArray FilledMainImage()
{
    QByteArray image = NewImage();
    image[669] = 1;              // Combi
    image[3] = char(128 + 16 + 6);
    image[4] = 9;
    image[668] = 15;
    image[2017] = 44;
    image[2537] = 1;
    image[2543] = 172;
    image[2914] = char(128);     // engine hours from the second source
    image[3073] = 33;
    image[3075] = 1;
    image[3078] = 1;
    image[3096] = 0x01;
    image[3097] = 0x02;
    image[3098] = 1;
    image[3100] = 5;
    image[3106] = 0x03;
    image[3107] = 0x04;
    image[3113] = 90;
    return image;
}

// What a short image's decode must leave alone: each differs from FilledMainImage.
void FillUntouched(XelMain& m)
{
    m.SetOperationMode(3);
    m.SetLanguage(2);
    m.SetCAN(false);
    m.SetClassified(false);
    m.SetEngineType(77);
    m.SetIDNumber(3);
    m.SetLCDLight(10);
    m.SetInvertLCDOnAlarm(false);
    m.SetCANNumber(100);
    m.SetRunDelay(1);
    m.SetPrinterOutput(false);
    m.SetAckOnWarning(false);
    m.SetEngineHours(0);
    m.SetCANSPN(5);
    m.SetCANDiagnose(false);
    m.SetCANProtectLamp(false);
    m.SetByteOne(6);
    m.SetWordTwo(7);
    m.SetShutdownOverride(false);
}

} // namespace

TEST_F(MainTest, AShortImageStopsTheDecodeAtItsFirstMissingByte)
{
    // The fields in decode order.
    const auto fields = [](const XelMain& m) {
        return QList<qint64>{m.OperationMode(), m.Language(),    m.CAN(),           m.Classified(),
                             m.EngineType(),    m.IDNumber(),    m.LCDLight(),      m.InvertLCDOnAlarm(),
                             m.CANNumber(),     m.RunDelay(),    m.PrinterOutput(), m.AckOnWarning(),
                             m.EngineHours(),   m.CANSPN(),      m.CANProtectLamp(), m.CANDiagnose(),
                             m.ByteOne(),       m.WordTwo(),     m.ShutdownOverride()};
    };
    XelMain untouched, full;
    FillUntouched(untouched);
    ASSERT_TRUE(full.FromImage(FilledMainImage(), "4.47"));
    const QList<qint64> before = fields(untouched), after = fields(full);
    for (int i = 0; i < before.size(); ++i)
        ASSERT_NE(before[i], after[i]) << "field " << i;
    // Image lengths as units of each firmware send them; the last row is a built image.
    const int all = int(before.size());
    const struct {
        int bytes;
        const char* firmware;
        int decodedFields;
    } rows[] = {{3, "4.47", 0},     {3072, "4.5", 4},    {3072, "3.2", 4},  {3076, "4.19", 11},
                {3080, "4.33", 13}, {3584, "4.47", all}, {8256, "4.47", all}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.bytes << " bytes, firmware " << row.firmware);
        XelMain m;
        FillUntouched(m);
        EXPECT_EQ(m.FromImage(FilledMainImage().left(row.bytes), row.firmware), row.decodedFields == all);
        EXPECT_EQ(m.Firmware().trimmed(), row.firmware);
        EXPECT_EQ(m.FirmwareDirection(), 0);
        const QList<qint64> got = fields(m);
        for (int i = 0; i < all; ++i)
            EXPECT_EQ(got[i], i < row.decodedFields ? after[i] : before[i]) << "field " << i;
    }
}

TEST_F(MainTest, WritesThatDoNotFitTheirFieldAreDropped)
{
    XelMain m;
    m.SetLanguage(4);
    m.SetLanguage(256);
    m.SetIDNumber(7);
    m.SetIDNumber(-1);
    m.SetCANNumber(171);
    m.SetCANNumber(40000);
    m.SetEngineType(-32769);
    EXPECT_EQ(m.Language(), 4);
    EXPECT_EQ(m.IDNumber(), 7);
    EXPECT_EQ(m.CANNumber(), 171);
    EXPECT_EQ(m.EngineType(), 0);
}

TEST_F(MainTest, EachFileVersionReadsItsOwnRecordLength)
{
    // A two-letter user; every other byte 0 (a zero date is day 0).
    const QByteArray file = QByteArray(9, '\0') + Bytes({2, 0}) + "ab" + QByteArray(80, '\0');
    const struct {
        const char* version;
        qint64 bytes;
    } cases[] = {{"1.9", 4},   {"2.0", 7},   {"2.1", 17},  {"2.6", 17},  {"2.7", 19},
                 {"2.8", 19},  {"2.9", 25},  {"2.10", 25}, {"2.11", 26}, {"2.12", 47},
                 {"2.13", 53}, {"2.14", 75}, {"2.15", 77}, {"2.20", 77}, {"3.0", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        XelMain m;
        qint64 used = -1;
        ASSERT_TRUE(ReadFrom(file, [&](RecordReader& r) { return m.ReadFromFile(r, c.version); }, &used));
        EXPECT_EQ(used, c.bytes);
    }
}
