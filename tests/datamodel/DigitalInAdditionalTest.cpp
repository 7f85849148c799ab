#include "PartTestSupport.h"
#include "datamodel/cDigitalInAdditional.h"

#include <gtest/gtest.h>

using namespace parttest;

TEST(DigitalInAdditional, RecordIs36Bytes)
{
    cDigitalInAdditional c;
    XelDigitalInAdditional* d = c.Add(2, 62);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Terminal(), 62);
    d->SetInUse(true);
    d->SetFunctionNo(3);
    d->SetText("  Standby  ");
    EXPECT_EQ(d->Text(), QStringLiteral("Standby"));
    const QByteArray expected = Bytes({2, 0xFF, 0xFF, 3, 62, 0}) + Padded("  Standby", 30);
    EXPECT_EQ(WriteRecord(*d), expected);

    XelDigitalInAdditional back;
    qint64 used = 0;
    ASSERT_TRUE(ReadRecord(back, expected, "4.0", &used)); // newer majors read the record too
    EXPECT_EQ(used, 36);
    EXPECT_EQ(back.FunctionNo(), 3);
    EXPECT_EQ(back.Terminal(), 62);
}

TEST(DigitalInAdditional, MajorOneHasNoRecord)
{
    XelDigitalInAdditional d;
    d.SetIndex(1);
    d.SetTerminal(61);
    d.SetInUse(true);
    d.SetFunctionNo(4);
    d.SetText("x");
    qint64 used = -1;
    ASSERT_TRUE(ReadRecord(d, Bytes({9, 9, 9}), "1.3", &used));
    EXPECT_EQ(used, 0);
    EXPECT_FALSE(d.InUse());
    EXPECT_EQ(d.FunctionNo(), 0);
    EXPECT_EQ(d.Text(), QString());
    EXPECT_EQ(d.Terminal(), 61);
    EXPECT_FALSE(d.Changed());
}

TEST(DigitalInAdditional, ChangeAndDroppedWrites)
{
    XelDigitalInAdditional d;
    d.SetIndex(2);
    EXPECT_FALSE(d.Changed());
    d.SetFunctionNo(256);
    d.SetTerminal(40000);
    EXPECT_FALSE(d.Changed());
    d.SetTerminal(62);
    EXPECT_TRUE(d.Changed());
    d.ResetBackup();
    d.SetText("t");
    EXPECT_TRUE(d.Changed());
}

TEST(DigitalInAdditional, ImageByte)
{
    cDigitalInAdditional c;
    c.Add(1, 61)->SetFunctionNo(0);
    XelDigitalInAdditional* two = c.Add(2, 62);
    two->SetFunctionNo(4);
    two->SetInUse(false);
    QByteArray image(8256, '\0');
    image[2538] = char(7);
    ASSERT_TRUE(c.ToImage(image));
    EXPECT_EQ(image.mid(2538, 2), Bytes({0, 4}));
    two->SetText("kept");
    ASSERT_TRUE(c.FromImage(image));
    EXPECT_FALSE(c.Item(1)->InUse());
    EXPECT_TRUE(two->InUse());
    EXPECT_EQ(two->Text(), QStringLiteral("kept"));

    QByteArray shortImage(2539, '\0');
    EXPECT_FALSE(c.FromImage(shortImage));
}

TEST(DigitalInAdditional, IndexFromADamagedFileTouchesNoOtherPart)
{
    // A record read whole from a file can carry any Index; 2537 + Index would land on the
    // LCD-invert byte (Index 0), the speed sensor's bytes (3 to 5) or an analog channel (47 on).
    const QByteArray rec0 = Bytes({0, 0xFF, 0xFF, 4, 61, 0}) + Padded("x", 30);
    for (int index : {0, 3, 47, 255}) {
        QByteArray rec = rec0;
        rec[0] = char(index);
        XelDigitalInAdditional d;
        ASSERT_TRUE(ReadRecord(d, rec, "2.15"));
        ASSERT_EQ(d.Index(), index);
        QByteArray image(8256, char(0xEE));
        EXPECT_FALSE(d.ToImage(image)) << index;
        EXPECT_EQ(image, QByteArray(8256, char(0xEE))) << index;
        EXPECT_FALSE(d.FromImage(image)) << index;
        EXPECT_TRUE(d.InUse()) << index; // nothing decoded
        EXPECT_EQ(d.FunctionNo(), 4) << index;
    }
}
