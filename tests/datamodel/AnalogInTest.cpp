#include "PartTestSupport.h"
#include "datamodel/XelEnums.h"
#include "datamodel/cAnalogIn.h"

#include <gtest/gtest.h>
#include <functional>

using namespace parttest;

namespace {

void FillSample(XelAnalogIn& a)
{
    a.SetIndex(6);
    a.SetTerminal("AX-2:3-4");
    a.SetActive(true);
    a.SetText("Coolant temp");
    a.SetSensorMin(-40);
    a.SetSensorMax(150);
    a.SetUnits("C");
    a.SetAction(qint32(AnalogActionType::WarningShutdown));
    a.SetActionDirection(qint32(AnalogActionDirection::BelowLimit));
    a.SetOnRunOnly(true);
    a.SetLimit(0, 110);
    a.SetLimit(1, 95);
    a.SetInitialDelay(10);
    a.SetAlarmDelay(3);
    a.SetDoubleScale(true);
    a.SetInputType(qint32(AnalogInputType::mA0_20));
    JData j;
    j.iTimeout = 1;
    j.iMID = 2;
    j.lPID = 0x0102;
    j.lPPID = 0x0304;
    j.iShr = 5;
    j.iSub = 6;
    a.SetJValues(j);
    a.SetRPMLimit(0, 80);
    a.SetRPMLimit(1, 100);
    a.SetRPM(0, 600);
    a.SetRPM(1, 1200);
    a.SetInfo("n");
}

// The 71 base bytes shared by every layout.
QByteArray BaseRecord(int limit0 = 5)
{
    QByteArray limit(4, '\0');
    limit[0] = char(limit0 & 0xFF);
    limit[1] = char((limit0 >> 8) & 0xFF);
    limit[2] = char((limit0 >> 16) & 0xFF);
    limit[3] = char((limit0 >> 24) & 0xFF);
    return Bytes({2}) + Padded("21-22", 10) + Bytes({0xFF, 0xFF}) + Padded("Oil", 30)
        + Bytes({0, 0, 0, 0, 10, 0, 0, 0}) + QByteArray("bar ") + Bytes({2, 1, 0, 0}) + limit
        + Bytes({7, 0, 0, 0, 15, 2, 0, 0});
}

XelAnalogIn* Channel(cAnalogIn& c, int n) { return c.Item(QString::number(n) + "*"); }

} // namespace

TEST(AnalogInFile, CurrentRecordIs607GoldenBytes)
{
    XelAnalogIn a;
    FillSample(a);
    bool ok = false;
    const QByteArray out = WriteRecord(a, &ok);
    const QByteArray expected = Bytes({6}) + Padded("AX-2:3-4", 10) + Bytes({0xFF, 0xFF})
        + Padded("Coolant temp", 30) + Bytes({0xD8, 0xFF, 0xFF, 0xFF, 0x96, 0, 0, 0}) + Padded("C", 4)
        + Bytes({5, 1, 0xFF, 0xFF, 0x6E, 0, 0, 0, 0x5F, 0, 0, 0, 10, 3, 0, 0, 0xFF, 0xFF, 1, 0})
        + Bytes({1, 2, 2, 1, 0, 0, 4, 3, 0, 0, 5, 6}) + Bytes({0x50, 0, 0x64, 0, 0x58, 2, 0xB0, 4})
        + Padded("n", 512);
    EXPECT_TRUE(ok);
    ASSERT_EQ(out.size(), 607);
    EXPECT_EQ(out, expected);

    XelAnalogIn back;
    qint64 used = 0;
    ASSERT_TRUE(ReadRecord(back, out, "2.11", &used));
    EXPECT_EQ(used, 607);
    EXPECT_EQ(WriteRecord(back), expected);
}

TEST(AnalogInFile, OlderLayoutsGetDefaults)
{
    qint64 used = 0;
    for (const char* version : {"1.2", "2.0"}) {
        XelAnalogIn a;
        FillSample(a);
        const QByteArray rec = BaseRecord() + (QString(version) == "2.0" ? Bytes({9, 9}) : QByteArray());
        ASSERT_TRUE(ReadRecord(a, rec + Bytes({0xAA}), version, &used)) << version;
        EXPECT_EQ(used, rec.size()) << version;
        EXPECT_EQ(a.Index(), 2);
        EXPECT_EQ(a.Text(), QStringLiteral("Oil"));
        EXPECT_EQ(a.SensorMax(), 10);
        EXPECT_EQ(a.Units(), QStringLiteral("bar"));
        EXPECT_EQ(a.Action(), 2);
        EXPECT_EQ(a.ActionDirection(), 1);
        EXPECT_EQ(a.Limit(0), 5);
        EXPECT_EQ(a.Limit(1), 7);
        EXPECT_EQ(a.InitialDelay(), 15);
        EXPECT_EQ(a.AlarmDelay(), 2);
        EXPECT_EQ(a.InputType(), 0);
        EXPECT_FALSE(a.DoubleScale());
        EXPECT_EQ(a.RPMLimit(0), 0);
        EXPECT_EQ(a.RPMLimit(1), 0);
        EXPECT_EQ(a.RPM(0), 600);
        EXPECT_EQ(a.RPM(1), 1200);
        EXPECT_EQ(a.Info(), QString());
        EXPECT_EQ(a.JValues().iSub, 6); // kept
    }

    XelAnalogIn a23;
    a23.SetDoubleScale(true);
    const QByteArray rec23 = BaseRecord() + Bytes({9, 9, 2, 0, 9, 9, 9, 9, 9, 9, 0xBC, 2, 0xDC, 5})
        + QByteArray(45, 'x');
    ASSERT_EQ(rec23.size(), 130);
    ASSERT_TRUE(ReadRecord(a23, rec23 + Bytes({0xAA}), "2.3", &used));
    EXPECT_EQ(used, 130);
    EXPECT_EQ(a23.InputType(), 2);
    EXPECT_FALSE(a23.DoubleScale());
    EXPECT_EQ(a23.RPM(0), 700);
    EXPECT_EQ(a23.RPM(1), 1500);
    EXPECT_EQ(a23.RPMLimit(0), 5);
    EXPECT_EQ(a23.RPMLimit(1), 7);

    XelAnalogIn a27;
    const QByteArray rec27 = BaseRecord() + Bytes({0xFF, 0xFF, 1, 0}) + QByteArray(12, '\x09')
        + Bytes({9, 9, 9, 9, 0xBC, 2, 0xDC, 5});
    ASSERT_EQ(rec27.size(), 95);
    ASSERT_TRUE(ReadRecord(a27, rec27 + Bytes({0xAA}), "2.7", &used));
    EXPECT_EQ(used, 95);
    EXPECT_TRUE(a27.DoubleScale());
    EXPECT_EQ(a27.InputType(), 1);
    EXPECT_EQ(a27.JValues(), JData());
    EXPECT_EQ(a27.RPMLimit(0), 5);
    EXPECT_EQ(a27.RPM(1), 1500);
    EXPECT_FALSE(a27.Changed());
}

TEST(AnalogInFile, StoredLimitBeyondIntegerFailsOldLayouts)
{
    XelAnalogIn a;
    const QByteArray rec = BaseRecord(40000) + Bytes({0xFF, 0xFF, 1, 0}) + QByteArray(12, '\0')
        + Bytes({0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(ReadRecord(a, rec, "2.7"));
    EXPECT_EQ(a.Limit(0), 40000); // read before the failure
    EXPECT_TRUE(a.Changed());
}

TEST(AnalogInFile, NewerMajorReadsNothing)
{
    XelAnalogIn a;
    a.SetAlarmDelay(9);
    qint64 used = -1;
    EXPECT_TRUE(ReadRecord(a, BaseRecord(), "3.1", &used));
    EXPECT_EQ(used, 0);
    EXPECT_EQ(a.AlarmDelay(), 9);
    EXPECT_FALSE(a.Changed());
}

TEST(AnalogInProperties, DroppedWritesAndIndexes)
{
    XelAnalogIn a;
    a.SetAlarmDelay(3);
    a.SetAlarmDelay(256);
    a.SetAlarmDelay(-1);
    EXPECT_EQ(a.AlarmDelay(), 3);
    a.SetAction(256);
    EXPECT_EQ(a.Action(), 0);
    a.SetLimit(2, 5);
    EXPECT_EQ(a.Limit(2), 0);
    a.SetRPM(0, 40000);
    EXPECT_EQ(a.RPM(0), 0);
    a.SetRPMLimit(-1, 3);
    EXPECT_EQ(a.RPMLimit(0), 0);
    a.SetInputType(-40000);
    EXPECT_EQ(a.InputType(), 0);
    // Only values the image word carries unchanged are taken.
    a.SetLimit(0, 32766);
    a.SetLimit(0, 32767);
    EXPECT_EQ(a.Limit(0), 32766);
    a.SetLimit(1, -32768);
    a.SetLimit(1, -32769);
    EXPECT_EQ(a.Limit(1), -32768);
    a.SetSensorMax(70000);
    EXPECT_EQ(a.SensorMax(), 0);
}

TEST(AnalogInChange, ComparedFieldsAndIgnoredOnes)
{
    const std::vector<std::pair<const char*, std::function<void(XelAnalogIn&)>>> compared = {
        {"Active", [](XelAnalogIn& a) { a.SetActive(true); }},
        {"Text", [](XelAnalogIn& a) { a.SetText("x"); }},
        {"SensorMin", [](XelAnalogIn& a) { a.SetSensorMin(-1); }},
        {"SensorMax", [](XelAnalogIn& a) { a.SetSensorMax(1); }},
        {"Units", [](XelAnalogIn& a) { a.SetUnits("x"); }},
        {"OnRunOnly", [](XelAnalogIn& a) { a.SetOnRunOnly(true); }},
        {"Action", [](XelAnalogIn& a) { a.SetAction(1); }},
        {"ActionDirection", [](XelAnalogIn& a) { a.SetActionDirection(1); }},
        {"Limit0", [](XelAnalogIn& a) { a.SetLimit(0, 1); }},
        {"Limit1", [](XelAnalogIn& a) { a.SetLimit(1, 1); }},
        {"InputType", [](XelAnalogIn& a) { a.SetInputType(2); }},
        {"RUNAlsoDetectedBy", [](XelAnalogIn& a) { a.SetRUNAlsoDetectedBy(true); }},
        {"AlarmDelay", [](XelAnalogIn& a) { a.SetAlarmDelay(1); }},
        {"InitialDelay", [](XelAnalogIn& a) { a.SetInitialDelay(1); }},
        {"RPMLimit0", [](XelAnalogIn& a) { a.SetRPMLimit(0, 1); }},
        {"RPMLimit1", [](XelAnalogIn& a) { a.SetRPMLimit(1, 1); }},
        {"RPM0", [](XelAnalogIn& a) { a.SetRPM(0, 1); }},
        {"RPM1", [](XelAnalogIn& a) { a.SetRPM(1, 1); }},
        {"DoubleScale", [](XelAnalogIn& a) { a.SetDoubleScale(true); }},
        {"JValues.iTimeout", [](XelAnalogIn& a) { JData j; j.iTimeout = 1; a.SetJValues(j); }},
        {"JValues.lPPID", [](XelAnalogIn& a) { JData j; j.lPPID = 1; a.SetJValues(j); }},
        {"JValues.iSub", [](XelAnalogIn& a) { JData j; j.iSub = 1; a.SetJValues(j); }},
        {"Info", [](XelAnalogIn& a) { a.SetInfo("x"); }},
    };
    for (const auto& [name, change] : compared) {
        XelAnalogIn a;
        change(a);
        EXPECT_TRUE(a.Changed()) << name;
        a.ResetBackup();
        EXPECT_FALSE(a.Changed()) << name;
    }
    XelAnalogIn a;
    a.SetIndex(3);
    a.SetTerminal("19-20");
    EXPECT_FALSE(a.Changed());
}

TEST(AnalogInImage, ChannelPlacement)
{
    EXPECT_EQ(XelAnalogIn::ImageBase(1), 414);
    EXPECT_EQ(XelAnalogIn::ImageBase(5), 598);
    EXPECT_EQ(XelAnalogIn::ImageBase(6), 2062);
    EXPECT_EQ(XelAnalogIn::ImageBase(12), 2584);
    EXPECT_EQ(XelAnalogIn::ImageBase(17), 2814);
    EXPECT_EQ(XelAnalogIn::ImageBase(18), -1);
    EXPECT_EQ(XelAnalogIn::BlockBase(5), 2892);
    EXPECT_EQ(XelAnalogIn::BlockBase(6), 2924);
    EXPECT_EQ(XelAnalogIn::BlockBase(17), 3012);
}

TEST(AnalogInImage, WorkedFlagExampleRoundTrips)
{
    QByteArray image(8256, '\0');
    XelAnalogIn a;
    FillSample(a);
    ASSERT_TRUE(a.ToImage(image));
    const int p = 2062;
    EXPECT_EQ(quint8(image.at(p)), 149);
    EXPECT_EQ(quint8(image.at(p + 1)), 136);
    EXPECT_EQ(image.mid(p + 2, 10), Bytes({255, 215, 0, 150, 0, 95, 0, 110, 10, 3}));
    EXPECT_EQ(image.mid(p + 12, 13), QByteArray("Coolant temp") + Bytes({0}));
    EXPECT_EQ(image.mid(p + 42, 2), Bytes({'C', 0}));

    XelAnalogIn back;
    back.SetIndex(6);
    ASSERT_TRUE(back.FromImage(image, "4.47"));
    EXPECT_EQ(back.Action(), 5);
    EXPECT_EQ(back.ActionDirection(), 1);
    EXPECT_TRUE(back.OnRunOnly());
    EXPECT_EQ(back.InputType(), 1);
    EXPECT_TRUE(back.DoubleScale());
    EXPECT_EQ(back.SensorMin(), -40);
    EXPECT_EQ(back.Limit(0), 110);
    EXPECT_EQ(back.Limit(1), 95);
    EXPECT_EQ(back.Text(), QStringLiteral("Coolant temp"));
    EXPECT_EQ(back.Units(), QStringLiteral("C"));
}

TEST(AnalogInImage, EveryAcceptedLimitRoundTrips)
{
    for (qint32 v : {-32768, -32767, -40, -1, 0, 1, 32765, 32766}) {
        QByteArray image(8256, '\0');
        XelAnalogIn a;
        a.SetIndex(1);
        a.SetActive(true);
        a.SetAction(4);
        a.SetLimit(0, v);
        a.SetLimit(1, v);
        a.SetSensorMin(v);
        a.SetSensorMax(v);
        ASSERT_TRUE(a.ToImage(image)) << v;
        XelAnalogIn back;
        back.SetIndex(1);
        ASSERT_TRUE(back.FromImage(image, "4.47"));
        EXPECT_EQ(back.Limit(0), v);
        EXPECT_EQ(back.Limit(1), v);
        EXPECT_EQ(back.SensorMin(), v);
        EXPECT_EQ(back.SensorMax(), v);
    }
}

TEST(AnalogInImage, SignedWordEdges)
{
    QByteArray image(8256, '\0');
    const int p = 414;
    image[p] = char(1 | 8);
    image[p + 2] = char(0x7F);
    image[p + 3] = char(0xFF); // 32767
    image[p + 4] = char(0xFF);
    image[p + 5] = char(0xFF); // 65535
    XelAnalogIn a;
    a.SetIndex(1);
    ASSERT_TRUE(a.FromImage(image, "4.47"));
    EXPECT_EQ(a.SensorMin(), -32768);
    EXPECT_EQ(a.SensorMax(), 0);
    QByteArray out(8256, '\0');
    ASSERT_TRUE(a.ToImage(out));
    EXPECT_EQ(out.mid(p + 2, 4), Bytes({0x7F, 0xFF, 0, 0}));

    // A damaged file can hold a value the word cannot carry: the encoder refuses it.
    XelAnalogIn bad;
    QByteArray rec = BaseRecord(40000) + Bytes({0, 0, 0, 0}) + QByteArray(12, '\0')
        + QByteArray(8, '\0') + Blanks(512);
    ASSERT_TRUE(ReadRecord(bad, rec, "2.15"));
    bad.SetIndex(1);
    EXPECT_FALSE(bad.ToImage(out));
}

TEST(AnalogInImage, SpeedDependentWarning)
{
    QByteArray image(8256, '\0');
    XelAnalogIn a;
    a.SetIndex(2);
    a.SetActive(true);
    a.SetAction(7);
    a.SetLimit(1, 55);
    a.SetRPM(0, 600);
    a.SetRPM(1, 1200);
    a.SetRPMLimit(0, 80);
    a.SetRPMLimit(1, 100);
    ASSERT_TRUE(a.ToImage(image));
    const int p = 460;
    EXPECT_EQ(quint8(image.at(p)), 1 + 2 + 128);
    EXPECT_EQ(quint8(image.at(p + 1)), 32);
    EXPECT_EQ(image.mid(p + 6, 4), Bytes({0, 100, 0, 80}));
    EXPECT_EQ(image.mid(3068, 4), Bytes({0x02, 0x58, 0x04, 0xB0}));

    XelAnalogIn back;
    back.SetIndex(2);
    back.SetLimit(1, 3);
    ASSERT_TRUE(back.FromImage(image, "4.47"));
    EXPECT_EQ(back.Action(), 7);
    EXPECT_EQ(back.RPMLimit(0), 80);
    EXPECT_EQ(back.RPMLimit(1), 100);
    EXPECT_EQ(back.RPM(0), 600);
    EXPECT_EQ(back.RPM(1), 1200);
    EXPECT_EQ(back.Limit(1), 3); // kept
}

TEST(AnalogInImage, SharedSpeedPointsComeFromTheLaterChannel)
{
    cAnalogIn c;
    for (int k = 1; k <= 11; ++k)
        c.Add(k, "t");
    for (int k : {1, 2}) {
        XelAnalogIn* a = Channel(c, k);
        a->SetActive(true);
        a->SetAction(6);
        a->SetRPM(0, k * 100);
        a->SetRPM(1, k * 1000);
    }
    QByteArray image(8256, '\0');
    ASSERT_TRUE(c.ToImage(image, "4.47"));
    EXPECT_EQ(image.mid(3068, 4), Bytes({0, 200, 0x07, 0xD0}));
    ASSERT_TRUE(c.FromImage(image, "4.47"));
    EXPECT_EQ(Channel(c, 1)->RPM(0), 200);
    EXPECT_EQ(Channel(c, 2)->RPM(1), 2000);
}

TEST(AnalogInImage, WarningThatDetectsRunFillsBothLimitSlots)
{
    QByteArray image(8256, '\0');
    XelAnalogIn a;
    a.SetIndex(3);
    a.SetActive(true);
    a.SetAction(1);
    a.SetRUNAlsoDetectedBy(true);
    a.SetLimit(1, 50);
    ASSERT_TRUE(a.ToImage(image));
    EXPECT_EQ(image.mid(506 + 6, 4), Bytes({0, 50, 0, 50}));
}

TEST(AnalogInImage, InactiveWritesOnlyItsFlagBytes)
{
    QByteArray image(8256, char(0xEE));
    XelAnalogIn a;
    FillSample(a);
    a.SetActive(false);
    ASSERT_TRUE(a.ToImage(image));
    EXPECT_EQ(image.mid(2062, 3), Bytes({0, 0, 0xEE}));
    EXPECT_EQ(image.mid(2924, 8), QByteArray(8, char(0xEE)));
}

TEST(AnalogInImage, BusBlock)
{
    QByteArray image(8256, '\0');
    XelAnalogIn a;
    a.SetIndex(6);
    a.SetActive(true);
    a.SetAction(2);
    a.SetInputType(3);
    JData j;
    j.iTimeout = 10;
    j.iMID = 128;
    j.lPID = 0x1234;
    j.lPPID = 0x00FF;
    j.iShr = 2;
    j.iSub = 8;
    a.SetJValues(j);
    ASSERT_TRUE(a.ToImage(image));
    EXPECT_EQ(quint8(image.at(2063)), 14);
    EXPECT_EQ(image.mid(2924, 8), Bytes({10, 128, 0x12, 0x34, 0x00, 0xFF, 130, 8}));
    XelAnalogIn back;
    back.SetIndex(6);
    ASSERT_TRUE(back.FromImage(image, "4.47"));
    EXPECT_EQ(back.InputType(), 3);
    EXPECT_EQ(back.JValues(), j);

    a.SetInputType(4);
    ASSERT_TRUE(a.ToImage(image));
    EXPECT_EQ(quint8(image.at(2924 + 6)), 66);
}

TEST(AnalogInImage, InputTypeCodes)
{
    const int codes[] = {0, 8, 72, 14, 14, 0};
    for (int t = 0; t <= 5; ++t) {
        QByteArray image(8256, '\0');
        XelAnalogIn a;
        a.SetIndex(1);
        a.SetActive(true);
        a.SetInputType(t);
        ASSERT_TRUE(a.ToImage(image));
        EXPECT_EQ(quint8(image.at(415)), codes[t]) << t;
    }
}

TEST(AnalogInImage, DoubleScaleOnlySetByFlagByteB)
{
    struct Row { quint8 b; const char* firmware; bool before; bool after; int inputType; };
    const Row rows[] = {
        {8, "4.47", true, true, 1},         // a clear bit leaves it on
        {8, "4.47", false, false, 1},
        {8 | 128, "4.47", false, true, 1},  // a set bit turns it on
        {8 | 128, "3.2", false, false, 0},  // older unit: no flag byte B
        {8, "3.2", true, true, 0},
    };
    for (const Row& r : rows) {
        QByteArray image(8256, '\0');
        image[414] = char(1 | 8);
        image[415] = char(r.b);
        XelAnalogIn a;
        a.SetIndex(1);
        a.SetDoubleScale(r.before);
        ASSERT_TRUE(a.FromImage(image, r.firmware));
        EXPECT_EQ(a.DoubleScale(), r.after) << int(r.b) << r.firmware << r.before;
        EXPECT_EQ(a.InputType(), r.inputType) << int(r.b) << r.firmware;
    }
}

TEST(AnalogInImage, InactiveDecodeDefaults)
{
    QByteArray image(8256, '\0');
    XelAnalogIn a;
    FillSample(a);
    ASSERT_TRUE(a.FromImage(image, "4.47"));
    EXPECT_FALSE(a.Active());
    EXPECT_EQ(a.Action(), 0);
    EXPECT_EQ(a.ActionDirection(), 0);
    EXPECT_EQ(a.SensorMin(), 0);
    EXPECT_EQ(a.SensorMax(), 100);
    EXPECT_EQ(a.AlarmDelay(), 2);
    EXPECT_EQ(a.InitialDelay(), 0);
    EXPECT_EQ(a.Limit(0), 0);
    EXPECT_EQ(a.Text(), QString());
    EXPECT_EQ(a.InputType(), 1);  // kept
    EXPECT_TRUE(a.DoubleScale()); // kept
    EXPECT_EQ(a.RPM(1), 1200);    // kept
}

TEST(AnalogInCollection, FiveChannelFirmware)
{
    cAnalogIn c;
    for (int k = 1; k <= 11; ++k) {
        XelAnalogIn* a = c.Add(k, "t");
        a->SetActive(true);
        a->SetAction(2);
        a->SetAlarmDelay(9);
    }
    QByteArray image(8256, char(0xEE));
    ASSERT_TRUE(c.ToImage(image, "1.8"));
    EXPECT_EQ(quint8(image.at(414)), 1 + 2 + 8);
    EXPECT_EQ(image.mid(2062, 46 * 6), QByteArray(46 * 6, char(0xEE)));

    QByteArray unit(3072, '\0');
    ASSERT_TRUE(c.ToImage(unit, "1.9"));
    EXPECT_EQ(quint8(unit.at(2062)), 1 + 2 + 8);
    ASSERT_TRUE(c.FromImage(unit, "1.8"));
    EXPECT_TRUE(Channel(c, 5)->Active());
    EXPECT_FALSE(Channel(c, 6)->Active());
    EXPECT_EQ(Channel(c, 6)->SensorMax(), 100);
    EXPECT_EQ(Channel(c, 11)->AlarmDelay(), 2);
    ASSERT_TRUE(c.FromImage(unit, "1.9"));
    EXPECT_TRUE(Channel(c, 6)->Active());
}

TEST(AnalogInCollection, ShortImageStopsWithoutTouchingLaterChannels)
{
    cAnalogIn c;
    for (int k = 1; k <= 3; ++k)
        c.Add(k, "t")->SetAlarmDelay(99);
    QByteArray image(470, '\0'); // ends inside channel 2 (460..505)
    image[414] = char(1 | 8);
    image[414 + 11] = char(4);
    image[460] = char(1 | 8);
    EXPECT_FALSE(c.FromImage(image, "4.47"));
    EXPECT_EQ(Channel(c, 1)->AlarmDelay(), 4);
    EXPECT_EQ(Channel(c, 3)->AlarmDelay(), 99);
    EXPECT_FALSE(Channel(c, 3)->Active());
}

TEST(AnalogInCollection, AddCutsTerminal)
{
    cAnalogIn c;
    XelAnalogIn* a = c.Add(5, "27-28 (AX-2:1-2)");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Terminal(), QStringLiteral("27-28 (AX-"));
    EXPECT_EQ(c.Item("5*"), a);
    EXPECT_EQ(c.Item(1), a);
    EXPECT_TRUE(c.Remove("5*"));
    EXPECT_FALSE(c.Remove("5*"));
}

TEST(AnalogInImage, OlderUnitHasNoSpeedDependence)
{
    QByteArray image(8256, '\0');
    const int p = 414;
    image[p] = char(1 | 8);
    image[p + 1] = char(32 | 2 | 4 | 8 | 64 | 128); // ignored below firmware 4
    image[p + 8] = char(0x01);
    image[p + 9] = char(0x2C); // 300
    image[3068] = char(0x02);
    image[3069] = char(0x58);
    XelAnalogIn a;
    a.SetIndex(1);
    a.SetRPM(0, 7);
    a.SetRPMLimit(0, 8);
    a.SetInputType(4);
    ASSERT_TRUE(a.FromImage(image, "3.2"));
    EXPECT_EQ(a.Action(), 2);
    EXPECT_EQ(a.Limit(0), 300);
    EXPECT_EQ(a.RPM(0), 7);
    EXPECT_EQ(a.RPMLimit(0), 8);
    EXPECT_EQ(a.InputType(), 0);
    ASSERT_TRUE(a.FromImage(image, "4.0"));
    EXPECT_EQ(a.Action(), 6);
    EXPECT_EQ(a.RPM(0), 600);
    EXPECT_EQ(a.RPMLimit(0), 300);
}
