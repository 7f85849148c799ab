#include "PartTestSupport.h"
#include "datamodel/XelEnums.h"
#include "datamodel/cDigitalIn.h"

#include <gtest/gtest.h>
#include <functional>

using namespace parttest;

namespace {

JData BusParameter()
{
    JData d;
    d.iTimeout = 5;
    d.iMID = 0;
    d.lPID = 61444;
    d.lPPID = 0;
    d.iShr = 3;
    d.iSub = 7;
    return d;
}

void FillSample(XelDigitalIn& d)
{
    d.SetIndex(3);
    d.SetTerminal("9");
    d.SetActive(true);
    d.SetText("Oil pressure");
    d.SetAction(qint32(DigitalActionType::Shutdown));
    d.SetSwitchType(qint32(DigitalSwitchTypeType::NormallyOpen));
    d.SetOnRunOnly(true);
    d.SetInitialDelay(15);
    d.SetDelay(2);
    d.SetBrokenWireDetection(true);
    d.SetJValues(BusParameter());
    d.SetInputType(qint32(DigitalInputType::CAN));
    d.SetInfo("note");
}

// The 51 bytes of a record from a file before 2.0.
QByteArray OldRecord()
{
    return Bytes({5}) + Padded("11", 10) + Bytes({0xFF, 0xFF}) + Padded("Fuel", 30)
        + Bytes({1, 0, 0, 0, 10, 3, 0xFF, 0xFF});
}

} // namespace

TEST(DigitalInFile, CurrentRecordIs579GoldenBytes)
{
    XelDigitalIn d;
    FillSample(d);
    bool ok = false;
    const QByteArray out = WriteRecord(d, &ok);
    const QByteArray expected = Bytes({3}) + Padded("9", 10) + Bytes({0xFF, 0xFF})
        + Padded("Oil pressure", 30) + Bytes({3, 1, 0xFF, 0xFF, 15, 2, 0, 0, 0xFF, 0xFF})
        + Bytes({5, 0, 0x04, 0xF0, 0, 0, 0, 0, 0, 0, 3, 7}) + Bytes({4, 0}) + Padded("note", 512);
    EXPECT_TRUE(ok);
    ASSERT_EQ(out.size(), 579);
    EXPECT_EQ(out, expected);

    XelDigitalIn back;
    qint64 used = 0;
    ASSERT_TRUE(ReadRecord(back, out, "2.15", &used));
    EXPECT_EQ(used, 579);
    EXPECT_EQ(WriteRecord(back), expected);
    EXPECT_FALSE(back.Changed());
}

TEST(DigitalInFile, NewItemWritesBlankTexts)
{
    XelDigitalIn d;
    const QByteArray out = WriteRecord(d);
    ASSERT_EQ(out.size(), 579);
    EXPECT_EQ(out.mid(1, 10), Blanks(10));
    EXPECT_EQ(out.mid(13, 30), Blanks(30));
    EXPECT_EQ(out.mid(67), Blanks(512));
}

TEST(DigitalInFile, OlderLayoutsGetDefaults)
{
    XelDigitalIn d;
    FillSample(d);
    qint64 used = 0;
    ASSERT_TRUE(ReadRecord(d, OldRecord() + Bytes({0xAA}), "1.5", &used));
    EXPECT_EQ(used, 51);
    EXPECT_EQ(d.Index(), 5);
    EXPECT_EQ(d.Terminal(), QStringLiteral("11        "));
    EXPECT_TRUE(d.Active());
    EXPECT_EQ(d.Text(), QStringLiteral("Fuel"));
    EXPECT_EQ(d.Action(), 1);
    EXPECT_EQ(d.SwitchType(), 0);
    EXPECT_FALSE(d.OnRunOnly());
    EXPECT_EQ(d.InitialDelay(), 10);
    EXPECT_EQ(d.Delay(), 3);
    EXPECT_TRUE(d.RUNAlsoDetectedBy());
    EXPECT_FALSE(d.BrokenWireDetection());
    EXPECT_EQ(d.InputType(), 0);
    EXPECT_EQ(d.Info(), QString(512, ' '));
    EXPECT_EQ(d.JValues(), BusParameter()); // kept
    EXPECT_FALSE(d.Changed());

    XelDigitalIn d25;
    d25.SetInputType(4);
    ASSERT_TRUE(ReadRecord(d25, OldRecord() + Bytes({0xFF, 0xFF, 0xAA}), "2.5", &used));
    EXPECT_EQ(used, 53);
    EXPECT_TRUE(d25.BrokenWireDetection());
    EXPECT_EQ(d25.InputType(), 0);

    XelDigitalIn d29;
    d29.SetJValues(BusParameter());
    const QByteArray rec29 = OldRecord() + Bytes({0, 0}) + Bytes({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9})
        + Bytes({3, 0});
    ASSERT_TRUE(ReadRecord(d29, rec29 + Bytes({0xAA}), "2.9", &used));
    EXPECT_EQ(used, 67);
    EXPECT_EQ(d29.InputType(), 3);
    EXPECT_EQ(d29.JValues(), BusParameter()); // not taken from older files
}

TEST(DigitalInFile, NewerMajorReadsNothing)
{
    XelDigitalIn d;
    FillSample(d);
    d.SetDelay(9);
    qint64 used = -1;
    EXPECT_TRUE(ReadRecord(d, OldRecord(), "3.0", &used));
    EXPECT_EQ(used, 0);
    EXPECT_EQ(d.Delay(), 9);
    EXPECT_FALSE(d.Changed());
}

TEST(DigitalInFile, ShortRecordFailsKeepingWhatWasRead)
{
    XelDigitalIn d;
    d.SetText("kept");
    const QByteArray shortRec = Bytes({7}) + Padded("x", 10) + Bytes({0xFF, 0xFF}) + QByteArray("partial");
    EXPECT_FALSE(ReadRecord(d, shortRec, "2.15"));
    EXPECT_EQ(d.Index(), 7);
    EXPECT_TRUE(d.Active());
    EXPECT_EQ(d.Text(), QStringLiteral("kept"));
    EXPECT_TRUE(d.Changed()); // backup not reset
}

TEST(DigitalInProperties, WritesThatDoNotFitAreDropped)
{
    XelDigitalIn d;
    d.SetDelay(4);
    d.SetDelay(256);
    d.SetDelay(-1);
    EXPECT_EQ(d.Delay(), 4);
    d.SetInitialDelay(300);
    EXPECT_EQ(d.InitialDelay(), 0);
    d.SetAction(2);
    d.SetAction(256);
    EXPECT_EQ(d.Action(), 2);
    d.SetSwitchType(-1);
    EXPECT_EQ(d.SwitchType(), 0);
    d.SetInputType(40000);
    EXPECT_EQ(d.InputType(), 0);
    d.SetInputType(-5); // fits an Integer: no enumeration check
    EXPECT_EQ(d.InputType(), -5);
    d.SetIndex(256);
    EXPECT_EQ(d.Index(), 0);
}

TEST(DigitalInProperties, TextsAreFixedLength)
{
    XelDigitalIn d;
    d.SetTerminal("27-28 (AX-2:1-2)");
    EXPECT_EQ(d.Terminal(), QStringLiteral("27-28 (AX-"));
    d.SetText("Text  ");
    EXPECT_EQ(d.Text(), QStringLiteral("Text"));
    d.SetInfo("i");
    EXPECT_EQ(d.Info().size(), 512);
}

TEST(DigitalInChange, ComparedFieldsAndIgnoredOnes)
{
    const std::vector<std::pair<const char*, std::function<void(XelDigitalIn&)>>> compared = {
        {"Active", [](XelDigitalIn& d) { d.SetActive(true); }},
        {"Text", [](XelDigitalIn& d) { d.SetText("x"); }},
        {"Action", [](XelDigitalIn& d) { d.SetAction(3); }},
        {"SwitchType", [](XelDigitalIn& d) { d.SetSwitchType(1); }},
        {"OnRunOnly", [](XelDigitalIn& d) { d.SetOnRunOnly(true); }},
        {"InitialDelay", [](XelDigitalIn& d) { d.SetInitialDelay(1); }},
        {"Delay", [](XelDigitalIn& d) { d.SetDelay(1); }},
        {"RUNAlsoDetectedBy", [](XelDigitalIn& d) { d.SetRUNAlsoDetectedBy(true); }},
        {"BrokenWireDetection", [](XelDigitalIn& d) { d.SetBrokenWireDetection(true); }},
        {"InputType", [](XelDigitalIn& d) { d.SetInputType(3); }},
        {"Info", [](XelDigitalIn& d) { d.SetInfo("x"); }},
        {"JValues", [](XelDigitalIn& d) { d.SetJValues(BusParameter()); }},
    };
    for (const auto& [name, change] : compared) {
        XelDigitalIn d;
        EXPECT_FALSE(d.Changed()) << name;
        change(d);
        EXPECT_TRUE(d.Changed()) << name;
        d.ResetBackup();
        EXPECT_FALSE(d.Changed()) << name;
    }
    XelDigitalIn d;
    d.SetIndex(4);
    d.SetTerminal("8");
    EXPECT_FALSE(d.Changed());
    d.SetDelay(5);
    d.SetDelay(0);
    EXPECT_FALSE(d.Changed());
}

TEST(DigitalInChange, ResetBackupCutsTextAtNul)
{
    XelDigitalIn d;
    d.SetText(QString("abc") + QChar(0) + "junk");
    d.ResetBackup();
    EXPECT_EQ(d.Text(), QStringLiteral("abc"));
    EXPECT_EQ(WriteRecord(d).mid(13, 30), Padded("abc", 30));
}

TEST(DigitalInImage, WorkedFlagExample)
{
    QByteArray image(8256, char(0xEE));
    XelDigitalIn d;
    d.SetIndex(3);
    d.SetActive(true);
    d.SetSwitchType(1);
    d.SetAction(3);
    d.SetOnRunOnly(true);
    d.SetInitialDelay(15);
    d.SetDelay(2);
    d.SetText("Oil pressure");
    ASSERT_TRUE(d.ToImage(image));
    EXPECT_EQ(image.mid(74, 4), Bytes({23, 15, 2, 0}));
    EXPECT_EQ(image.mid(78, 12), QByteArray("Oil pressure"));
    EXPECT_EQ(image.mid(90, 18), QByteArray(18, char(0xEE))); // rest of the text field untouched
    EXPECT_EQ(image.at(73), char(0xEE));
    EXPECT_EQ(image.at(108), char(0xEE));
}

TEST(DigitalInImage, ActionAndRunBits)
{
    QByteArray image(8256, '\0');
    XelDigitalIn d;
    d.SetIndex(1);
    d.SetActive(true);
    d.SetAction(1);
    d.SetRUNAlsoDetectedBy(true);
    ASSERT_TRUE(d.ToImage(image));
    EXPECT_EQ(quint8(image.at(6)), 1 + 128 + 32);
    d.SetAction(2);
    ASSERT_TRUE(d.ToImage(image));
    EXPECT_EQ(quint8(image.at(6)), 1 + 8 + 32);
    d.SetAction(9); // no action bit
    ASSERT_TRUE(d.ToImage(image));
    EXPECT_EQ(quint8(image.at(6)), 1 + 32);
}

TEST(DigitalInImage, InactiveWritesOnlyItsFlagBytes)
{
    QByteArray image(8256, char(0xEE));
    XelDigitalIn d;
    d.SetIndex(2);
    d.SetText("ignored");
    d.SetDelay(7);
    ASSERT_TRUE(d.ToImage(image));
    EXPECT_EQ(image.mid(40, 4), Bytes({0, 0xEE, 0xEE, 0}));
    EXPECT_EQ(image.mid(44, 30), QByteArray(30, char(0xEE)));
}

TEST(DigitalInImage, BusBlockOfInput10)
{
    QByteArray image(8256, '\0');
    XelDigitalIn d;
    d.SetIndex(10);
    d.SetActive(true);
    d.SetAction(2);
    d.SetBrokenWireDetection(true);
    d.SetInputType(4);
    d.SetJValues(BusParameter());
    ASSERT_TRUE(d.ToImage(image));
    const int b = 6 + 34 * 9;
    EXPECT_EQ(quint8(image.at(b + 3)), 3);
    EXPECT_EQ(image.mid(3028, 8), Bytes({5, 0, 240, 4, 0, 0, 67, 9}));

    XelDigitalIn back;
    back.SetIndex(10);
    ASSERT_TRUE(back.FromImage(image, "4.47"));
    EXPECT_EQ(back.InputType(), 4);
    EXPECT_EQ(back.JValues().iShr, 3);
    EXPECT_EQ(back.JValues().iSub, 9);
    EXPECT_EQ(back.JValues().lPID, 61444);
    EXPECT_TRUE(back.BrokenWireDetection());

    // J1587 sets bit 7 instead.
    d.SetIndex(12);
    d.SetInputType(3);
    ASSERT_TRUE(d.ToImage(image));
    EXPECT_EQ(image.mid(3044, 8), Bytes({5, 0, 240, 4, 0, 0, 131, 11}));
}

TEST(DigitalInImage, LowInputsWithBusTypeHaveNoBlock)
{
    QByteArray image(8256, char(0xEE));
    XelDigitalIn d;
    d.SetIndex(9);
    d.SetActive(true);
    d.SetInputType(4);
    d.SetJValues(BusParameter());
    ASSERT_TRUE(d.ToImage(image));
    EXPECT_EQ(quint8(image.at(6 + 34 * 8 + 3)), 2);
    EXPECT_EQ(image.mid(2860, 192), QByteArray(192, char(0xEE)));

    XelDigitalIn back;
    back.SetIndex(9);
    back.SetInputType(3);
    ASSERT_TRUE(back.FromImage(image, "4.47"));
    EXPECT_EQ(back.InputType(), 3);
    EXPECT_EQ(back.JValues(), JData());
}

TEST(DigitalInImage, PidOutsideAWordFails)
{
    QByteArray image(8256, '\0');
    XelDigitalIn d;
    d.SetIndex(11);
    d.SetActive(true);
    d.SetInputType(4);
    JData j = BusParameter();
    j.lPID = 70000;
    d.SetJValues(j);
    EXPECT_FALSE(d.ToImage(image));
}

TEST(DigitalInImage, DecodeFlags)
{
    QByteArray image(8256, '\0');
    XelDigitalIn d;
    d.SetIndex(1);
    d.SetAction(3);
    image[6] = char(1 | 8 | 128);
    ASSERT_TRUE(d.FromImage(image, "4.0"));
    EXPECT_EQ(d.Action(), 2);
    image[6] = char(1);
    d.SetAction(3);
    ASSERT_TRUE(d.FromImage(image, "4.0"));
    EXPECT_EQ(d.Action(), 3); // no action bit: kept
    image[6] = char(1 | 2 | 128 | 16 | 32);
    image[7] = char(20);
    image[8] = char(4);
    image[10] = char(146); // unit byte for Æ
    image[11] = 'b';
    ASSERT_TRUE(d.FromImage(image, "4.0"));
    EXPECT_EQ(d.Action(), 1);
    EXPECT_EQ(d.SwitchType(), 1);
    EXPECT_TRUE(d.OnRunOnly());
    EXPECT_TRUE(d.RUNAlsoDetectedBy());
    EXPECT_EQ(d.InitialDelay(), 20);
    EXPECT_EQ(d.Delay(), 4);
    EXPECT_EQ(d.Text(), QString::fromUtf8("\xC3\x86" "b"));
}

TEST(DigitalInImage, OldFirmwareHasNoExtraFlagByte)
{
    QByteArray image(8256, '\0');
    const int b = 6 + 34 * 9;
    image[b] = char(1 | 8);
    image[b + 3] = char(3);
    image[3028 + 6] = char(64);
    XelDigitalIn d;
    d.SetIndex(10);
    d.SetBrokenWireDetection(true);
    d.SetInputType(3);
    ASSERT_TRUE(d.FromImage(image, "3.9"));
    EXPECT_FALSE(d.BrokenWireDetection());
    EXPECT_EQ(d.InputType(), 3);
    ASSERT_TRUE(d.FromImage(image, "4"));
    EXPECT_TRUE(d.BrokenWireDetection());
    EXPECT_EQ(d.InputType(), 4);
}

TEST(DigitalInImage, InactiveDecodeSetsDefaultsByOperationMode)
{
    QByteArray image(8256, '\0');
    XelDigitalIn d;
    d.SetIndex(4);
    d.SetText("old");
    d.SetInfo("keep");
    d.SetBrokenWireDetection(true);
    ASSERT_TRUE(d.FromImage(image, "4.47"));
    EXPECT_EQ(d.Action(), 2);
    EXPECT_EQ(d.Delay(), 2);
    EXPECT_EQ(d.InitialDelay(), 15);
    EXPECT_EQ(d.Text(), QString());
    EXPECT_TRUE(d.BrokenWireDetection());
    EXPECT_TRUE(d.Info().startsWith("keep"));
    image[669] = char(2);
    ASSERT_TRUE(d.FromImage(image, "4.47"));
    EXPECT_EQ(d.Action(), 1);
}

TEST(DigitalInCollection, ShortImageStopsWithoutTouchingLaterItems)
{
    cDigitalIn c;
    for (int k = 1; k <= 12; ++k)
        c.Add(k, QString::number(6 + k))->SetDelay(99);
    QByteArray image(50, '\0'); // ends inside the second input's text
    image[6] = char(1 | 8);
    image[8] = char(3);
    image[40] = char(1 | 4);
    EXPECT_FALSE(c.FromImage(image, "4.47"));
    EXPECT_TRUE(c.Item(1)->Active());
    EXPECT_EQ(c.Item(1)->Delay(), 3);
    EXPECT_TRUE(c.Item(2)->Active()); // decoded up to the failure
    EXPECT_EQ(c.Item(3)->Delay(), 99);
    EXPECT_FALSE(c.Item(3)->Active());
}

TEST(DigitalInCollection, AddSetsIndexAndTerminal)
{
    cDigitalIn c;
    XelDigitalIn* d = c.Add(3, "9");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Index(), 3);
    EXPECT_EQ(d->Terminal(), QStringLiteral("9         "));
    EXPECT_EQ(c.Add(3, "x"), nullptr);
    EXPECT_EQ(c.Add(256, "x"), nullptr);
    EXPECT_EQ(c.Item("3*"), d);
    d->SetDelay(4);
    EXPECT_TRUE(c.Changed());
    c.ResetBackup();
    EXPECT_FALSE(c.Changed());
}

TEST(DigitalInImage, BusBlockDecodeByBusBit)
{
    QByteArray image(8256, '\0');
    const int b = 6 + 34 * 10; // input 11
    image[b] = char(1 | 8);
    image[b + 3] = char(2);
    const QByteArray block = Bytes({7, 128, 0xFE, 0xCA, 0x01, 0x02, 128 + 5, 33});
    image.replace(3036, 8, block);
    XelDigitalIn d;
    d.SetIndex(11);
    ASSERT_TRUE(d.FromImage(image, "4.47"));
    EXPECT_EQ(d.InputType(), 3);
    const JData j = d.JValues();
    EXPECT_EQ(j.iTimeout, 7);
    EXPECT_EQ(j.iMID, 128);
    EXPECT_EQ(j.lPID, 0xFECA);
    EXPECT_EQ(j.lPPID, 0x0102);
    EXPECT_EQ(j.iShr, 5);
    EXPECT_EQ(j.iSub, 33);

    image[3036 + 6] = char(5); // neither bus bit: type kept, shift code 0
    ASSERT_TRUE(d.FromImage(image, "4.47"));
    EXPECT_EQ(d.InputType(), 3);
    EXPECT_EQ(d.JValues().iShr, 0);
    EXPECT_EQ(d.JValues().iTimeout, 7);
}
