// The setup file: byte-exact header and layout of the current version, round trips, files
// of older versions written by hand from the record tables, and damaged or foreign files.
#include "DocumentTestSupport.h"

#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelBattery.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelSMS.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/XelStandbyOperation.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cDigitalInAdditional.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSpeedRelay.h"
#include "tests/common/NonRegularFiles.h"

#include <QDir>
#include <cstring>

using doctest::DocumentFixture;
using doctest::FileBuilder;
using doctest::ReadAll;
using doctest::WriteAll;

namespace {

class SetupFileTest : public DocumentFixture {};

QByteArray Le16(int v) { return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char((v >> 8) & 0xFF)); }

TEST_F(SetupFileTest, TheDefaultSetupFileHasTheHandComputedHeaderAndLayout)
{
    auto doc = CreateDefaultSetupDocument();
    const QString path = PathOf("default.QRN");
    ASSERT_TRUE(doc->SaveFile(path));
    const QByteArray f = ReadAll(path);
    // 7 header + Main 75 + "tester" + 12 x 579 + 11 x 607 + 7 + 17 + 318 + 9
    // + 14 x 74 + 2 + 4 x 36 + 2 x 74 + 2 + 2 x 36 + 12
    ASSERT_EQ(f.size(), 15480);
    EXPECT_EQ(f.left(7), QByteArray::fromHex("51524E02000F00"));
    EXPECT_EQ(doc->FileVersionType(), "QRN");
    EXPECT_EQ(doc->FileVersion(), "2.15");

    // Main: mode, language, id, run delay, light, invert, CAN, user, CAN number.
    EXPECT_EQ(f.mid(7, 23), QByteArray::fromHex("0000013C3F00000000") + Le16(6) + "tester" + Le16(171) + Le16(20)
                               + Le16(255));
    // Switch input 1 at 88: index, terminal "7", inactive, blank text, Alarm, NC, ...
    EXPECT_EQ(f.mid(88, 11), QByteArray("\x01") + "7         ");
    EXPECT_EQ(f.mid(88 + 43, 6), QByteArray::fromHex("0200 0000 0F02"));
    // Analog input 1 at 7036: index, terminal "19-20", SensorMax 1000 after SensorMin 0.
    EXPECT_EQ(f.mid(7036, 11), QByteArray("\x01") + "19-20     ");
    EXPECT_EQ(f.mid(7036 + 43, 8), QByteArray::fromHex("00000000E8030000"));
    // Standby operation at 13713, speed sensor at 13720.
    EXPECT_EQ(f.mid(13713, 7), QByteArray::fromHex("010707 03B40300"));
    EXPECT_EQ(f.mid(13720, 17), QByteArray::fromHex("0101 9696 8205 DC05 BD060000 01 9001 0100"));
    // Battery at 14055: 25.5 V, 60 s, 24 V, alarm on, type 38.
    EXPECT_EQ(f.mid(14055, 9), QByteArray::fromHex("FF00 3C 1800 FFFF 2600"));
    // Relay flag after the 14 relays, speed relay 1 at 15102, K7 at 15246.
    EXPECT_EQ(f.mid(15100, 2), QByteArray::fromHex("0000"));
    EXPECT_EQ(f.mid(15102, 6), QByteArray::fromHex("01 0000 0000 3A"));
    EXPECT_EQ(f.mid(15108, 13), QByteArray("Speed Relay 1"));
    EXPECT_EQ(f.mid(15246, 4), QByteArray::fromHex("01FFFF2E"));
    EXPECT_EQ(f.mid(15246 + 64, 10), QByteArray("K7        "));
    // Additional switch input 1 at 15396 (terminal 61), SMS at 15468.
    EXPECT_EQ(f.mid(15396, 6), QByteArray::fromHex("01 0000 00 3D00"));
    EXPECT_EQ(f.mid(15468), QByteArray(12, '\0'));
}

// A setup with a value in every part that differs from its default.
void Vary(XelObject& doc)
{
    doc.Main()->SetIDNumber(9);
    doc.Main()->SetEngineType(12);
    doc.Main()->SetShutdownOverride(true);
    doc.Main()->SetWordThree(4000);
    doc.DigitalIn()->Item(4)->SetActive(true);
    doc.DigitalIn()->Item(4)->SetText("Fire");
    doc.DigitalIn()->Item(11)->SetInputType(4);
    doc.DigitalIn()->Item(11)->SetJValues(JData{5, 0, 61444, 0, 3, 7});
    doc.AnalogIn()->Item(2)->SetActive(true);
    doc.AnalogIn()->Item(2)->SetSensorMin(-40);
    doc.AnalogIn()->Item(2)->SetUnits("bar");
    doc.AnalogIn()->Item(9)->SetInfo("Sensor on the gearbox");
    doc.StandbyOperation()->SetFuelConsumption(4);
    doc.SpeedSensor()->SetSpeedingShutdown(0.5f);
    doc.Info()->SetInfo("Line one\r\nLine two");
    doc.Battery()->SetBatteryVoltage(12);
    doc.Relay()->Item(3)->SetFunctionNo(75);
    doc.Relay()->Item(3)->SetInUse(true);
    doc.Relay()->SetRelayT44DisableBW(true);
    doc.SpeedRelays()->Item(2)->SetRPM(1200);
    doc.RelayNew()->SetRelayT44DisableBW(true);
    doc.DigitalInAdditional()->Item(1)->SetFunctionNo(2);
    doc.SMS()->SetCommonAlarm(true);
}

TEST_F(SetupFileTest, SavedLoadedAndSavedAgainGivesTheSameBytes)
{
    auto doc = CreateDefaultSetupDocument();
    Vary(*doc);
    const QString first = PathOf("first.QRN");
    ASSERT_TRUE(doc->SaveFile(first));
    EXPECT_FALSE(doc->Changed());

    auto fresh = CreateDefaultSetupDocument();
    ASSERT_TRUE(fresh->LoadFile(first));
    EXPECT_FALSE(fresh->Changed());
    EXPECT_EQ(fresh->FileVersion(), "2.15");
    EXPECT_EQ(fresh->FileTitle(), "first.QRN");
    EXPECT_EQ(fresh->DigitalIn()->Item(4)->Text(), "Fire");
    EXPECT_EQ(fresh->AnalogIn()->Item(2)->SensorMin(), -40);
    EXPECT_TRUE(fresh->RelayNew()->RelayT44DisableBW());
    EXPECT_TRUE(fresh->SMS()->CommonAlarm());
    const QString second = PathOf("second.QRN");
    ASSERT_TRUE(fresh->SaveFile(second));
    EXPECT_EQ(ReadAll(second), ReadAll(first));
}

TEST_F(SetupFileTest, BytesAfterTheLastSectionAreIgnored)
{
    auto doc = CreateDefaultSetupDocument();
    const QString path = PathOf("tail.QRN");
    ASSERT_TRUE(doc->SaveFile(path));
    ASSERT_TRUE(WriteAll(path, ReadAll(path) + "trailing bytes"));
    auto fresh = CreateDefaultSetupDocument();
    EXPECT_TRUE(fresh->LoadFile(path));
}

// The document tells whether the file held bytes it did not read (a rewrite would drop
// them): records it has no items for, such as an SMS number, or anything past the cap.
TEST_F(SetupFileTest, TheDocumentKnowsWhetherTheFileHeldBytesItDidNotRead)
{
    auto doc = CreateDefaultSetupDocument();
    const QString path = PathOf("unread.QRN");
    ASSERT_TRUE(doc->SaveFile(path));
    const QByteArray whole = ReadAll(path);
    struct Row {
        const char* name;
        QByteArray tail;
        bool unread;
    };
    const Row rows[] = {
        {"nothing more", QByteArray(), false},
        {"one byte", QByteArray(1, '\0'), true},
        {"an SMS number record", QByteArray("\x01\x00\x0b\x00+4712345678", 15), true},
        {"more than the reader takes in", QByteArray(1100 * 1024, 'x'), true},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(WriteAll(path, whole + row.tail)) << row.name;
        auto fresh = CreateDefaultSetupDocument();
        ASSERT_TRUE(fresh->LoadFile(path)) << row.name;
        EXPECT_EQ(fresh->HoldsUnreadBytes(), row.unread) << row.name;
        // A damaged file does not change what the document knows.
        ASSERT_TRUE(WriteAll(PathOf("cut.QRN"), whole.left(100)));
        EXPECT_FALSE(fresh->LoadFile(PathOf("cut.QRN"))) << row.name;
        EXPECT_EQ(fresh->HoldsUnreadBytes(), row.unread) << row.name;
        // Once saved, the file holds only what the document wrote.
        ASSERT_TRUE(fresh->SaveFile(PathOf("saved.QRN"))) << row.name;
        EXPECT_FALSE(fresh->HoldsUnreadBytes()) << row.name;
        EXPECT_EQ(ReadAll(PathOf("saved.QRN")), whole) << row.name;
    }
}

TEST_F(SetupFileTest, ADocumentWithoutItsItemsReadsNothing)
{
    auto doc = CreateDefaultSetupDocument();
    const QString path = PathOf("items.QRN");
    ASSERT_TRUE(doc->SaveFile(path));
    XelObject empty;
    const qint32 cranking = empty.StandbyOperation()->CrankingTime();
    EXPECT_FALSE(empty.LoadFile(path));
    EXPECT_EQ(empty.StandbyOperation()->CrankingTime(), cranking);
    EXPECT_EQ(empty.Filename(), "");
}

// ---- files of older versions, written from the layout tables ---------------------------

struct Version {
    int major;
    int minor;
    bool AtLeast(int maj, int min) const { return major > maj || (major == maj && minor >= min); }
};

std::ostream& operator<<(std::ostream& os, const Version& v) { return os << v.major << "." << v.minor; }

QByteArray Num(const char* prefix, int n) { return QByteArray(prefix) + QByteArray::number(n); }

// The default setup's item set, with values that tell every field apart.
QByteArray BuildFile(Version v)
{
    const bool m1 = v.major < 2;
    FileBuilder f;
    f.Header(v.major, v.minor);
    // Main.
    f.Byte(0).Byte(2).Byte(7).Byte(33);
    if (!m1) {
        f.Byte(44).Bool(true);
        if (v.AtLeast(2, 1))
            f.Bool(false).Var("engineer").Int(99).Int(25);
        if (v.AtLeast(2, 7))
            f.Int(12);
        if (v.AtLeast(2, 9))
            f.Bool(true).Bool(true).Bool(false);
        if (v.AtLeast(2, 11))
            f.Byte(2);
        if (v.AtLeast(2, 12)) {
            f.Fixed("4.47", 12).Byte(1);
            double days = 45356.5;
            char raw[8];
            std::memcpy(raw, &days, 8);
            f.Raw(QByteArray(raw, 8));
        }
        if (v.AtLeast(2, 13))
            f.Long(1234).Bool(true);
        if (v.AtLeast(2, 14))
            f.Bool(true).Byte(1).Byte(2).Byte(3).Byte(4).Long(10).Long(20).Long(30).Long(40);
        if (v.AtLeast(2, 15))
            f.Bool(true);
    }
    // Switch inputs.
    for (int n = 1; n <= 12; ++n) {
        f.Byte(n).Fixed(Num("T", n), 10).Bool(n % 2 == 1).Fixed(Num("Switch ", n), 30).Byte(3).Byte(1).Bool(true);
        f.Byte(20 + n).Byte(n).Bool(false);
        if (!m1)
            f.Bool(true);
        if (v.AtLeast(2, 8) && !v.AtLeast(2, 11))
            f.J(9, 9, 9, 9, 9, 9).Int(4);
        if (v.AtLeast(2, 11))
            f.J(5, 0, 61444, 0, 3, 7).Int(4).Fixed(Num("note ", n), 512);
    }
    // Analog inputs: five in files 1.0 to 1.3.
    const int analog = v.major == 1 && v.minor < 4 ? 5 : 11;
    for (int n = 1; n <= analog; ++n) {
        f.Byte(n).Fixed(Num("A", n), 10).Bool(true).Fixed(Num("Analog ", n), 30).Long(-10 * n).Long(100 * n);
        f.Fixed("bar", 4).Byte(2).Byte(1).Bool(true).Long(n).Long(2 * n).Byte(3).Byte(4).Bool(false);
        if (v.major == 2 && v.minor == 0)
            f.Zero(2);
        else if (v.AtLeast(2, 1) && !v.AtLeast(2, 5))
            f.Zero(2).Int(1).Zero(6).Int(700 + n).Int(1300 + n).Zero(45);
        else if (v.AtLeast(2, 5) && !v.AtLeast(2, 11))
            f.Bool(true).Int(1).J(9, 9, 9, 9, 9, 9).Zero(4).Int(700 + n).Int(1300 + n);
        else if (v.AtLeast(2, 11))
            f.Bool(true).Int(1).J(1, 2, 3, 4, 5, 6).Int(n + 5).Int(n + 6).Int(700 + n).Int(1300 + n).Fixed("info", 512);
    }
    // Standby operation.
    f.Byte(2).Byte(9).Byte(8).Byte(4).Byte(100).Byte(5);
    if (v.AtLeast(2, 6))
        f.Byte(6);
    // Speed sensor.
    if (m1)
        f.Byte(2).Byte(120).Int(1400).Int(1800).Long(2000).Byte(3).Int(450);
    else if (!v.AtLeast(2, 11)) {
        f.Byte(2).Byte(1).Byte(120).Byte(130).Int(1400).Int(1800).Long(2000).Byte(3).Int(450).Byte(2);
        if (v.AtLeast(2, 8))
            f.Int(0);
    } else {
        f.Byte(2).Byte(1).Byte(120).Byte(130).Int(1400).Int(1800).Long(2000).Byte(3).Int(450).Byte(1).Byte(1);
    }
    // Info.
    f.Fixed("Hello\r\nWorld", 318);
    // Battery.
    f.Int(240).Byte(30);
    if (!m1)
        f.Int(12);
    if (v.AtLeast(2, 1))
        f.Bool(false);
    if (v.AtLeast(2, 13))
        f.Int(40);
    // Relay outputs and their flag.
    for (int n = 1; n <= 14; ++n) {
        const int code = n == 1 ? 40 : n;
        if (m1)
            f.Byte(n).Bool(true).Int(0).Byte(code).Fixed(Num("Func ", n), 30);
        else if (!v.AtLeast(2, 7))
            f.Byte(n).Bool(true).Byte(code).Fixed(Num("Func ", n), 30).Fixed(Num("R", n), 10);
        else
            f.Byte(n).Bool(true).Byte(code).Fixed(Num("Func ", n), 60).Fixed(Num("R", n), 10);
    }
    if (v.AtLeast(2, 9))
        f.Bool(true);
    // Speed relays: the last section of a 1.x file ends with the sentinel.
    for (int n = 1; n <= 4; ++n)
        f.Byte(n).Bool(true).Int(1000 + n).Byte(57 + n).Fixed(m1 && n == 4 ? "SENTINEL" : Num("Speed ", n), 30);
    if (m1)
        return f.Bytes();
    // Second relay set and its flag.
    for (int n = 1; n <= 2; ++n) {
        if (!v.AtLeast(2, 7))
            f.Byte(n).Bool(true).Byte(70 + n).Fixed("", 30).Fixed(n == 1 ? "K7" : "K9", 10);
        else
            f.Byte(n).Bool(true).Byte(70 + n).Fixed("", 60).Fixed(n == 1 ? "K7" : "K9", 10);
    }
    if (v.AtLeast(2, 10))
        f.Bool(true);
    // Additional switch inputs; up to 2.5 the last section, so input 2 carries the sentinel.
    for (int n = 1; n <= 2; ++n)
        f.Byte(n).Bool(n == 2).Byte(n == 2 ? 3 : 0).Int(60 + n).Fixed(n == 2 ? "SENTINEL" : "first", 30);
    // SMS settings from 2.6 on: sent to all is the last field of the file.
    if (v.AtLeast(2, 6))
        f.Bool(true).Bool(false).Bool(false).Bool(false).Bool(false).Bool(true);
    return f.Bytes();
}

class OlderVersionTest : public DocumentFixture, public ::testing::WithParamInterface<Version> {};

TEST_P(OlderVersionTest, LoadsWithTheRightValuesAndAlignment)
{
    const Version v = GetParam();
    const bool m1 = v.major < 2;
    const QByteArray bytes = BuildFile(v);
    const QString path = PathOf("old.QRN");
    ASSERT_TRUE(WriteAll(path, bytes));
    auto doc = CreateDefaultSetupDocument();
    ASSERT_TRUE(doc->LoadFile(path));
    EXPECT_EQ(doc->FileVersion(), QStringLiteral("%1.%2").arg(v.major).arg(v.minor));
    EXPECT_FALSE(doc->Changed());

    // The sentinel in the last section proves that every section before it was aligned.
    if (m1)
        EXPECT_EQ(doc->SpeedRelays()->Item(4)->Descript(), "SENTINEL");
    else
        EXPECT_EQ(doc->DigitalInAdditional()->Item(2)->Text(), "SENTINEL");
    if (v.AtLeast(2, 6)) {
        EXPECT_TRUE(doc->SMS()->Send());
        EXPECT_TRUE(doc->SMS()->SendToAll());
    }

    const XelMain* main = doc->Main();
    EXPECT_EQ(main->Language(), 2);
    EXPECT_EQ(main->IDNumber(), 7);
    EXPECT_EQ(main->RunDelay(), 33);
    EXPECT_EQ(main->LCDLight(), m1 ? 61 : 44);
    EXPECT_EQ(main->CANNumber(), v.AtLeast(2, 1) ? 99 : 171);
    EXPECT_EQ(main->EngineType(), v.AtLeast(2, 7) ? 12 : 255);
    EXPECT_EQ(main->Classified(), v.AtLeast(2, 9));
    EXPECT_EQ(main->EngineHours(), v.AtLeast(2, 11) ? 2 : 0);
    EXPECT_EQ(main->Firmware().trimmed(), v.AtLeast(2, 12) ? "4.47" : "");
    EXPECT_EQ(main->FirmwareDirection(), v.AtLeast(2, 15) ? 1 : 0);
    EXPECT_EQ(main->CANSPN(), v.AtLeast(2, 13) ? 1234 : 0);
    EXPECT_EQ(main->CANDiagnose(), v.AtLeast(2, 15));
    EXPECT_EQ(main->ByteTwo(), v.AtLeast(2, 14) ? 2 : 0);
    EXPECT_EQ(main->WordFour(), v.AtLeast(2, 14) ? 40 : 0);
    EXPECT_EQ(main->ShutdownOverride(), v.AtLeast(2, 15));

    for (int n : {1, 10, 12}) {
        const XelDigitalIn* d = doc->DigitalIn()->Item(n);
        EXPECT_EQ(d->Text(), QString(Num("Switch ", n))) << n;
        EXPECT_EQ(d->Active(), n % 2 == 1);
        EXPECT_EQ(d->Action(), 3);
        EXPECT_EQ(d->InitialDelay(), 20 + n);
        EXPECT_EQ(d->Delay(), n);
        EXPECT_EQ(d->BrokenWireDetection(), !m1);
        EXPECT_EQ(d->InputType(), v.AtLeast(2, 8) ? 4 : 0);
        EXPECT_EQ(d->JValues().lPID, v.AtLeast(2, 11) ? 61444 : 0);
        EXPECT_EQ(d->Info().trimmed(), v.AtLeast(2, 11) ? QString(Num("note ", n)) : QString());
    }

    const int analog = v.major == 1 && v.minor < 4 ? 5 : 11;
    ASSERT_EQ(doc->AnalogIn()->Count(), 11);
    for (int n = 1; n <= 11; ++n) {
        const XelAnalogIn* a = doc->AnalogIn()->Item(n);
        if (n > analog) {
            EXPECT_EQ(a->Text(), "") << n;
            EXPECT_EQ(a->SensorMax(), 1000);
            continue;
        }
        EXPECT_EQ(a->Text(), QString(Num("Analog ", n))) << n;
        EXPECT_EQ(a->SensorMin(), -10 * n);
        EXPECT_EQ(a->SensorMax(), 100 * n);
        EXPECT_EQ(a->Units(), "bar");
        EXPECT_EQ(a->Limit(0), n);
        EXPECT_EQ(a->Limit(1), 2 * n);
        EXPECT_EQ(a->AlarmDelay(), 4);
        EXPECT_EQ(a->InputType(), v.AtLeast(2, 1) ? 1 : 0);
        EXPECT_EQ(a->DoubleScale(), v.AtLeast(2, 5));
        EXPECT_EQ(a->RPM(0), v.AtLeast(2, 1) ? 700 + n : 600);
        EXPECT_EQ(a->RPM(1), v.AtLeast(2, 1) ? 1300 + n : 1200);
        EXPECT_EQ(a->RPMLimit(0), v.AtLeast(2, 11) ? n + 5 : v.AtLeast(2, 1) ? n : 0);
        EXPECT_EQ(a->JValues().lPID, v.AtLeast(2, 11) ? 3 : 0);
    }

    EXPECT_EQ(doc->StandbyOperation()->CrankingTime(), 9);
    EXPECT_EQ(doc->StandbyOperation()->Cooling(), 5);
    EXPECT_EQ(doc->StandbyOperation()->FuelConsumption(), v.AtLeast(2, 6) ? 6 : 0);
    const XelSpeedSensor* s = doc->SpeedSensor();
    EXPECT_EQ(s->Sender(0), 2);
    EXPECT_EQ(s->PulsesPerRevolution(0), 120);
    EXPECT_EQ(s->PulsesPerRevolution(1), m1 ? 150 : 130);
    EXPECT_EQ(s->NomSpeed(), 1800);
    EXPECT_EQ(s->Speeding(), 2000);
    EXPECT_EQ(s->RunDetectedAt(), 450);
    EXPECT_EQ(s->PickupType(1), m1 ? 0 : 1);
    EXPECT_EQ(doc->Info()->Info(), "Hello\r\nWorld");
    const XelBattery* b = doc->Battery();
    EXPECT_FLOAT_EQ(b->LowBatteryVoltage(), 24.0f);
    EXPECT_EQ(b->Delay(), 30);
    EXPECT_EQ(b->BatteryVoltage(), m1 ? 24 : 12);
    EXPECT_EQ(b->LowBatteryVoltageAlarm(), !v.AtLeast(2, 1));
    EXPECT_EQ(b->CANBatteryType(), v.AtLeast(2, 13) ? 40 : 38);

    // Old relay codes were 7 lower; the flag is on disk from 2.9, the second from 2.10.
    EXPECT_EQ(doc->Relay()->Item(1)->FunctionNo(), m1 ? 47 : 40);
    EXPECT_EQ(doc->Relay()->Item(14)->FunctionNo(), 14);
    EXPECT_EQ(doc->Relay()->Item(14)->FunctionText(), "Func 14");
    EXPECT_EQ(doc->Relay()->Item(14)->RelayText(), m1 ? "" : "R14");
    EXPECT_EQ(doc->Relay()->RelayT44DisableBW(), v.AtLeast(2, 9));
    EXPECT_EQ(doc->SpeedRelays()->Item(3)->RPM(), 1003);
    EXPECT_EQ(doc->SpeedRelays()->Item(3)->FunctionNo(), 60);
    EXPECT_EQ(doc->RelayNew()->Item(1)->FunctionNo(), m1 ? 63 : 71);
    EXPECT_EQ(doc->RelayNew()->Item(2)->FunctionNo(), m1 ? 66 : 72);
    EXPECT_EQ(doc->RelayNew()->Item(2)->RelayText(), "K9");
    EXPECT_EQ(doc->RelayNew()->RelayT44DisableBW(), v.AtLeast(2, 10));
    EXPECT_EQ(doc->DigitalInAdditional()->Item(2)->FunctionNo(), m1 ? 0 : 3);
    EXPECT_EQ(doc->DigitalInAdditional()->Item(2)->InUse(), !m1);

    // One byte less and the file no longer holds its last section.
    ASSERT_TRUE(WriteAll(path, bytes.left(bytes.size() - 1)));
    auto other = CreateDefaultSetupDocument();
    EXPECT_FALSE(other->LoadFile(path));
}

INSTANTIATE_TEST_SUITE_P(Versions, OlderVersionTest,
                         ::testing::Values(Version{1, 3}, Version{1, 5}, Version{2, 0}, Version{2, 3}, Version{2, 5},
                                           Version{2, 8}, Version{2, 9}, Version{2, 10}, Version{2, 12},
                                           Version{2, 14}, Version{2, 15}),
                         [](const auto& info) {
                             return QStringLiteral("V%1_%2").arg(info.param.major).arg(info.param.minor).toStdString();
                         });

// ---- damaged and foreign files ------------------------------------------------------------

TEST_F(SetupFileTest, ATruncatedFileFailsAtEveryCutAndLeavesTheDocumentAsItWas)
{
    auto doc = CreateDefaultSetupDocument();
    Vary(*doc);
    const QString own = PathOf("own.QRN");
    ASSERT_TRUE(doc->SaveFile(own));
    doc->DigitalIn()->Item(2)->SetText("Unsaved edit");
    ASSERT_TRUE(doc->Changed());
    const QString snapshotPath = PathOf("snapshot.QRN");
    const QByteArray before = Snapshot(*doc, snapshotPath);
    ASSERT_FALSE(before.isEmpty());

    const QString cut = PathOf("cut.QRN");
    for (Version v : {Version{1, 3}, Version{2, 5}, Version{2, 15}}) {
        const QByteArray whole = BuildFile(v);
        // Every cut in the header and near the end, a spread of cuts in between.
        QList<int> cuts;
        for (int size = 0; size < whole.size(); size += size < 16 ? 1 : 11)
            cuts << size;
        for (int back = 1; back <= 40; ++back)
            cuts << int(whole.size()) - back;
        for (int size : cuts) {
            ASSERT_TRUE(WriteAll(cut, whole.left(size)));
            ASSERT_FALSE(doc->LoadFile(cut)) << v << " cut at " << size;
        }
    }
    EXPECT_EQ(Snapshot(*doc, snapshotPath), before);
    EXPECT_EQ(doc->Filename(), own);
    EXPECT_EQ(doc->DigitalIn()->Item(2)->Text(), "Unsaved edit");
    EXPECT_TRUE(doc->Changed());
    doc->DigitalIn()->Item(2)->SetText("");
    EXPECT_FALSE(doc->Changed()); // the backups are those of the last save
}

TEST_F(SetupFileTest, ForeignFilesAreRefusedAndTheirHeaderIsReported)
{
    auto doc = CreateDefaultSetupDocument();
    const QString own = PathOf("own.QRN");
    ASSERT_TRUE(doc->SaveFile(own));
    const QByteArray good = ReadAll(own);
    const QString path = PathOf("foreign.QRN");

    ASSERT_TRUE(WriteAll(path, "QRM" + good.mid(3)));
    EXPECT_FALSE(doc->LoadFile(path));
    EXPECT_EQ(doc->FileVersionType(), "QRM");
    EXPECT_EQ(doc->FileVersion(), "2.15");

    ASSERT_TRUE(WriteAll(path, FileBuilder().Header(10, 0).Bytes() + good.mid(7)));
    EXPECT_FALSE(doc->LoadFile(path));
    EXPECT_EQ(doc->FileVersionType(), "QRN");
    EXPECT_EQ(doc->FileVersion(), "10.0");

    ASSERT_TRUE(WriteAll(path, FileBuilder().Header(2, 100).Bytes() + good.mid(7)));
    EXPECT_FALSE(doc->LoadFile(path));

    for (const QByteArray& junk : {QByteArray(), QByteArray("QRN\x02"), QByteArray("Not a setup file at all, just text.\r\n")}) {
        ASSERT_TRUE(WriteAll(path, junk));
        EXPECT_FALSE(doc->LoadFile(path));
    }
    EXPECT_FALSE(doc->LoadFile(PathOf("missing.QRN")));
    EXPECT_FALSE(doc->LoadFile(doubles.dir.path()));
    EXPECT_FALSE(doc->LoadFile(QString()));
    EXPECT_EQ(doc->Filename(), own);
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
}

// A newer major version passes the header check; only the sections that read every version
// take bytes: the info text, both relay flags, the speed relays, the additional inputs, SMS.
TEST_F(SetupFileTest, AFileOfMajorVersion3IsReadByTheSectionsThatKnowNoVersion)
{
    FileBuilder f;
    f.Header(3, 0).Fixed("From a newer program", 318).Bool(true);
    for (int n = 1; n <= 4; ++n)
        f.Byte(n).Bool(true).Int(1000 + n).Byte(57 + n).Fixed(Num("Speed ", n), 30);
    f.Bool(true);
    for (int n = 1; n <= 2; ++n)
        f.Byte(n).Bool(true).Byte(3).Int(60 + n).Fixed(Num("Extra ", n), 30);
    f.Bool(true).Bool(false).Bool(false).Bool(false).Bool(false).Bool(true);
    const QString path = PathOf("newer.QRN");

    auto doc = CreateDefaultSetupDocument();
    doc->Main()->SetIDNumber(9);
    ASSERT_TRUE(WriteAll(path, f.Bytes().left(f.Size() - 1)));
    EXPECT_FALSE(doc->LoadFile(path));
    ASSERT_TRUE(WriteAll(path, f.Bytes()));
    ASSERT_TRUE(doc->LoadFile(path));
    EXPECT_EQ(doc->FileVersion(), "3.0");
    EXPECT_EQ(doc->Filename(), path);
    EXPECT_EQ(doc->Main()->IDNumber(), 9);
    EXPECT_EQ(doc->DigitalIn()->Item(1)->Delay(), 2);
    EXPECT_EQ(doc->Info()->Info(), "From a newer program");
    EXPECT_TRUE(doc->Relay()->RelayT44DisableBW());
    EXPECT_TRUE(doc->RelayNew()->RelayT44DisableBW());
    EXPECT_EQ(doc->SpeedRelays()->Item(4)->RPM(), 1004);
    EXPECT_EQ(doc->DigitalInAdditional()->Item(2)->Text(), "Extra 2");
    EXPECT_TRUE(doc->SMS()->SendToAll());
}

// The user name's count is unsigned: 0xFFFF announces 65535 bytes, which the file must hold.
TEST_F(SetupFileTest, AHugeUserNameCountIsReadOnlyWhenTheFileHoldsTheName)
{
    auto doc = CreateDefaultSetupDocument();
    const QString own = PathOf("own.QRN");
    ASSERT_TRUE(doc->SaveFile(own));
    const QByteArray good = ReadAll(own);
    ASSERT_EQ(good.mid(16, 8), QByteArray("\x06\x00tester", 8));
    const QByteArray head = good.left(16) + QByteArray("\xFF\xFF", 2);
    const QByteArray rest = good.mid(24);
    const QString path = PathOf("huge.QRN");

    ASSERT_TRUE(WriteAll(path, head + rest));
    EXPECT_FALSE(doc->LoadFile(path));
    EXPECT_EQ(doc->Filename(), own);

    ASSERT_TRUE(WriteAll(path, head + QByteArray(65535, 'n') + rest));
    ASSERT_TRUE(doc->LoadFile(path));
    EXPECT_EQ(doc->Main()->User().size(), 65535);
    EXPECT_EQ(doc->Main()->CANNumber(), 171);
    EXPECT_EQ(doc->RelayNew()->Item(2)->RelayText(), "K9");
}

// A pipe would hold the open until a writer comes and a device may never end: a name that is
// no regular file is refused before anything is read, and the document stays as it was.
TEST_F(SetupFileTest, ANameThatIsNoRegularFileIsRefusedAtOnce)
{
    auto doc = CreateDefaultSetupDocument();
    const QString own = PathOf("own.QRN");
    ASSERT_TRUE(doc->SaveFile(own));
    const QString pipe = PathOf("pipe.QRN");
    ASSERT_TRUE(testing_files::MakePipe(pipe));
    ASSERT_TRUE(QDir(doubles.dir.path()).mkdir("folder.QRN"));
    for (const QString& path : {pipe, PathOf("folder.QRN"), testing_files::Device()}) {
        const testing_files::Deadline deadline("LoadFile(" + path.toStdString() + ")");
        EXPECT_FALSE(doc->LoadFile(path)) << path.toStdString();
        EXPECT_EQ(doc->FileVersionType(), "QRN") << path.toStdString();
        EXPECT_EQ(doc->FileVersion(), "2.15") << path.toStdString();
        EXPECT_EQ(doc->Filename(), own) << path.toStdString();
        EXPECT_EQ(doc->AnalogIn()->Count(), 11) << path.toStdString();
    }
}

TEST_F(SetupFileTest, TheAnalogCountFollowsCAN)
{
    auto withCan = CreateDefaultSetupDocument();
    withCan->Main()->SetCAN(true);
    for (int key = 12; key <= 17; ++key)
        withCan->AnalogIn()->Add(key, "J1939")->SetText(Num("Bus ", key));
    const QString canPath = PathOf("can.QRN");
    ASSERT_TRUE(withCan->SaveFile(canPath));

    auto doc = CreateDefaultSetupDocument();
    ASSERT_TRUE(doc->LoadFile(canPath));
    ASSERT_EQ(doc->AnalogIn()->Count(), 17);
    EXPECT_EQ(doc->AnalogIn()->Item("17*")->Text(), "Bus 17");

    withCan->Main()->SetCAN(false);
    const QString plainPath = PathOf("plain.QRN");
    ASSERT_TRUE(withCan->SaveFile(plainPath)); // the 11 records a reader reads
    ASSERT_TRUE(doc->LoadFile(plainPath));
    EXPECT_EQ(doc->AnalogIn()->Count(), 11);
}

// A collection short of channels is written with the records a reader with the program's
// channels reads (17 with CAN, 11 without): every later part reads back in its place.
TEST_F(SetupFileTest, AShortAnalogCollectionIsWrittenWithTheRecordsTheReaderReads)
{
    const struct Row { bool can; int keep; int records; } rows[] = {{true, 11, 17}, {false, 5, 11}, {true, 0, 17}};
    for (const Row& row : rows) {
        auto source = CreateDefaultSetupDocument();
        source->Main()->SetCAN(row.can);
        while (source->AnalogIn()->Count() > row.keep)
            source->AnalogIn()->Remove(source->AnalogIn()->Count());
        source->Info()->SetInfo("Bridge");
        source->DigitalInAdditional()->Item(2)->SetText("Last");
        ASSERT_TRUE(source->SaveFile(PathOf("short.QRN")));
        auto doc = CreateDefaultSetupDocument();
        ASSERT_TRUE(doc->LoadFile(PathOf("short.QRN")));
        EXPECT_EQ(doc->AnalogIn()->Count(), row.records) << row.keep;
        EXPECT_EQ(doc->Info()->Info(), "Bridge") << row.keep;
        EXPECT_EQ(doc->DigitalInAdditional()->Item(2)->Text(), "Last") << row.keep;
        EXPECT_FALSE(doc->HoldsUnreadBytes()) << row.keep;
    }
}

// An emptied analog collection with CAN on gets the bus channels 12 to 17 and reads their six
// records; the sections after them stay aligned.
TEST_F(SetupFileTest, AnEmptiedAnalogCollectionGetsTheBusChannelsOnly)
{
    auto source = CreateDefaultSetupDocument();
    source->Main()->SetCAN(true);
    while (source->AnalogIn()->Count() > 0)
        source->AnalogIn()->Remove(1);
    for (int key = 12; key <= 17; ++key)
        source->AnalogIn()->Add(key, "J1939")->SetText(Num("Bus ", key));
    source->DigitalInAdditional()->Item(2)->SetText("Last");
    const QString path = PathOf("bus.QRN");
    ASSERT_TRUE(source->SaveFile(path));
    // The writer fills in channels 1 to 11; a file that holds the six bus records alone.
    QByteArray bytes = ReadAll(path);
    const qsizetype first = bytes.indexOf(QByteArray("\x01" "19-20     "));
    ASSERT_GT(first, 0);
    ASSERT_TRUE(WriteAll(path, bytes.remove(first, 11 * 607)));

    auto doc = CreateDefaultSetupDocument();
    while (doc->AnalogIn()->Count() > 0)
        doc->AnalogIn()->Remove(1);
    ASSERT_TRUE(doc->LoadFile(path));
    ASSERT_EQ(doc->AnalogIn()->Count(), 6);
    EXPECT_EQ(doc->AnalogIn()->Item(1)->Index(), 12);
    EXPECT_EQ(doc->AnalogIn()->Item("17*")->Text(), "Bus 17");
    EXPECT_EQ(doc->DigitalInAdditional()->Item(2)->Text(), "Last");
}

TEST_F(SetupFileTest, SpeedRelaysFromAFileWithoutNumbersAreNumbered)
{
    auto source = CreateDefaultSetupDocument();
    for (int n = 1; n <= 4; ++n) {
        source->SpeedRelays()->Item(n)->SetIndex(0);
        source->SpeedRelays()->Item(n)->SetFunctionNo(0);
    }
    const QString path = PathOf("speed.QRN");
    ASSERT_TRUE(source->SaveFile(path));
    auto doc = CreateDefaultSetupDocument();
    ASSERT_TRUE(doc->LoadFile(path));
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(doc->SpeedRelays()->Item(n)->Index(), n);
        EXPECT_EQ(doc->SpeedRelays()->Item(n)->FunctionNo(), 57 + n);
    }
}

TEST_F(SetupFileTest, CreateTempFileWritesTheSetupAndChangesNothing)
{
    doubles.system.user = "owner";
    auto doc = CreateDefaultSetupDocument();
    const QString own = PathOf("own.QRN");
    ASSERT_TRUE(doc->SaveFile(own));
    doc->Main()->SetUser("someone else");
    doc->AnalogIn()->Item(3)->SetText("Edited");
    ASSERT_TRUE(doc->Changed());

    doubles.system.user = "mailer";
    const QString temp = PathOf("temp.QRN");
    ASSERT_TRUE(doc->CreateTempFile(temp));
    EXPECT_TRUE(doc->Changed());
    EXPECT_EQ(doc->Main()->User(), "someone else");
    EXPECT_EQ(doc->Filename(), own);
    EXPECT_EQ(doc->FileTitle(), "own.QRN");
    EXPECT_EQ(ReadAll(temp).mid(16, 8), QByteArray("\x06\x00mailer", 8));

    auto copy = CreateDefaultSetupDocument();
    ASSERT_TRUE(copy->LoadFile(temp));
    EXPECT_EQ(copy->AnalogIn()->Item(3)->Text(), "Edited");
    EXPECT_FALSE(doc->CreateTempFile(PathOf("no/such/folder/t.QRN")));
}

TEST_F(SetupFileTest, ASaveWithNoNameNeedsAFileAndAFailedSaveChangesNothing)
{
    auto doc = CreateDefaultSetupDocument();
    EXPECT_FALSE(doc->SaveFile());
    doc->DigitalIn()->Item(1)->SetActive(true);
    EXPECT_FALSE(doc->SaveFile(PathOf("no/such/folder/x.QRN")));
    EXPECT_TRUE(doc->Changed());
    EXPECT_FALSE(doc->Initialized());
    EXPECT_EQ(doc->Main()->User(), "");
}

// The target cannot be replaced: the save fails and what stands there stays as it was.
TEST_F(SetupFileTest, ASaveThatCannotReplaceTheTargetLeavesItAndTheDocumentAlone)
{
    auto doc = CreateDefaultSetupDocument();
    const QString own = PathOf("own.QRN");
    ASSERT_TRUE(doc->SaveFile(own));
    doc->DigitalIn()->Item(1)->SetActive(true);
    ASSERT_TRUE(QDir(doubles.dir.path()).mkpath("taken.QRN/inside"));
    EXPECT_FALSE(doc->SaveFile(PathOf("taken.QRN")));
    EXPECT_TRUE(QDir(PathOf("taken.QRN/inside")).exists());
    EXPECT_EQ(doc->Filename(), own);
    EXPECT_TRUE(doc->Changed());
    QStringList left = QDir(doubles.dir.path()).entryList(QDir::Files);
    left.removeAll("settings.ini");
    EXPECT_EQ(left, QStringList({"own.QRN"})); // no temporary file left behind
}

} // namespace
