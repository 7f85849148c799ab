#include "PartTestSupport.h"
#include "datamodel/XelSMS.h"
#include "datamodel/cInstrument.h"
#include "datamodel/cSMSNumber.h"

#include <gtest/gtest.h>

using namespace parttest;

TEST(Instrument, RecordAndOldFiles)
{
    cInstrument c;
    XelInstrument* i = c.Add(1, "Speed");
    ASSERT_NE(i, nullptr);
    i->SetInUse(true);
    i->SetFunctionNo(12);
    i->SetInstrumentType(-2);
    const QByteArray expected = Bytes({1, 0xFF, 0xFF, 12}) + Padded("Speed", 30) + Bytes({0xFE, 0xFF});
    EXPECT_EQ(WriteRecord(*i), expected);

    XelInstrument back;
    qint64 used = 0;
    ASSERT_TRUE(ReadRecord(back, expected, "2.15", &used));
    EXPECT_EQ(used, 36);
    EXPECT_EQ(back.FunctionText(), QStringLiteral("Speed"));
    ASSERT_TRUE(ReadRecord(back, expected, "1.2", &used));
    EXPECT_EQ(used, 0);
    EXPECT_FALSE(back.InUse());
    EXPECT_EQ(back.FunctionNo(), 0);
    EXPECT_EQ(back.InstrumentType(), 0);
    EXPECT_EQ(back.FunctionText(), QString());
}

TEST(Instrument, FunctionNoDoesNotCountAsChange)
{
    cInstrument c;
    XelInstrument* i = c.Add(2, "x");
    c.ResetBackup();
    i->SetFunctionNo(5);
    EXPECT_FALSE(c.Changed());
    i->SetInstrumentType(1);
    EXPECT_TRUE(c.Changed());
}

TEST(Instrument, ImageSlot)
{
    cInstrument c;
    XelInstrument* i = c.Add(2, "text");
    QByteArray image(8256, '\0');
    image[3056] = char(12);
    ASSERT_TRUE(c.FromImage(image));
    EXPECT_EQ(i->FunctionNo(), 12);
    EXPECT_TRUE(i->InUse());
    EXPECT_EQ(i->FunctionText(), QString());
    i->SetFunctionNo(9);
    ASSERT_TRUE(c.ToImage(image));
    EXPECT_EQ(image.mid(3052, 8), Bytes({0, 0, 0, 0, 9, 0, 0, 0}));
    // No slot past the fourth (or for index 0): neither written nor read, the rest goes on.
    XelInstrument* far = c.Add(5, "x");
    far->SetFunctionNo(1);
    XelInstrument* none = c.Add(0, "y");
    none->SetFunctionNo(2);
    XelInstrument* fourth = c.Add(4, "z");
    fourth->SetFunctionNo(7);
    image[3047] = char(99);
    ASSERT_TRUE(c.ToImage(image));
    EXPECT_EQ(image.mid(3047, 25), Bytes({99, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0}));
    image[3064] = char(3);
    ASSERT_TRUE(c.FromImage(image));
    EXPECT_EQ(fourth->FunctionNo(), 3);
    EXPECT_EQ(far->FunctionNo(), 1);
    EXPECT_EQ(none->FunctionNo(), 2);
    EXPECT_EQ(far->FunctionText(), QStringLiteral("x"));
}

TEST(Sms, NeverChangedAndNotInTheImage)
{
    XelSMS s;
    s.SetSend(true);
    EXPECT_FALSE(s.Changed());
    QByteArray image(8256, char(0xEE));
    EXPECT_TRUE(s.ToImage(image));
    EXPECT_TRUE(s.FromImage(image));
    EXPECT_TRUE(s.Send());
    EXPECT_EQ(image, QByteArray(8256, char(0xEE)));

    cSMSNumber c;
    XelSMSNumber* n = c.Add(3);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Index(), 3);
    EXPECT_FALSE(n->InUse());
    EXPECT_EQ(n->Number(), QString());
    EXPECT_EQ(c.Item("3*"), n);
    n->SetNumber(" +45 1234 ");
    EXPECT_EQ(n->Number(), QStringLiteral("+45 1234"));
    EXPECT_FALSE(c.Changed());
}

TEST(Sms, FileLayouts)
{
    XelSMS s;
    s.SetSend(true);
    s.SetSendToAll(true);
    EXPECT_EQ(WriteRecord(s), Bytes({0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF}));

    XelSMSNumber n;
    n.SetIndex(1);
    n.SetInUse(true);
    n.SetNumber("112");
    const QByteArray rec = Bytes({1, 0xFF, 0xFF}) + Padded("112", 60);
    EXPECT_EQ(WriteRecord(n), rec);

    qint64 used = -1;
    XelSMS old;
    old.SetCommonAlarm(true);
    ASSERT_TRUE(ReadRecord(old, Bytes({0xFF, 0xFF}), "2.5", &used));
    EXPECT_EQ(used, 0);
    EXPECT_FALSE(old.CommonAlarm());
    ASSERT_TRUE(ReadRecord(old, Bytes({0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "3.0", &used));
    EXPECT_EQ(used, 12);
    EXPECT_TRUE(old.CommonAlarm());

    XelSMSNumber back;
    back.SetIndex(4);
    back.SetNumber("x");
    ASSERT_TRUE(ReadRecord(back, rec, "2.5", &used));
    EXPECT_EQ(used, 0);
    EXPECT_EQ(back.Index(), 4);
    EXPECT_EQ(back.Number(), QString());
    ASSERT_TRUE(ReadRecord(back, rec, "2.6", &used));
    EXPECT_EQ(used, 63);
    EXPECT_EQ(back.Number(), QStringLiteral("112"));
    EXPECT_FALSE(ReadRecord(back, rec.left(20), "2.6"));
}
