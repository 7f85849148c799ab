#include "datamodel/cSpeedRelay.h"
#include "tests/datamodel/SettingsTestUtil.h"

#include <gtest/gtest.h>

using namespace settings_test;

TEST(SpeedRelay, WritesTheThirtySixByteRecord)
{
    cSpeedRelay set;
    XelSpeedRelay* s = set.Add(1, "Overspeed");
    ASSERT_NE(s, nullptr);
    s->SetInUse(true);
    s->SetRPM(1500);
    s->SetFunctionNo(58);
    const QByteArray out = Written([&](RecordWriter& w) { return s->WriteToFile(w); });
    EXPECT_EQ(out, Bytes({1, 0xFF, 0xFF, 0xDC, 0x05, 58}) + QByteArray("Overspeed").leftJustified(30, ' '));

    XelSpeedRelay back;
    qint64 used = 0;
    ASSERT_TRUE(ReadFrom(out, [&](RecordReader& r) { return back.ReadFromFile(r, "1.0"); }, &used));
    EXPECT_EQ(used, 36);
    EXPECT_EQ(back.Index(), 1);
    EXPECT_TRUE(back.InUse());
    EXPECT_EQ(back.RPM(), 1500);
    EXPECT_EQ(back.FunctionNo(), 58);
    EXPECT_EQ(back.Descript(), "Overspeed");
    EXPECT_FALSE(ReadFrom(out.left(35), [&](RecordReader& r) { return back.ReadFromFile(r, "2.15"); }));
}

TEST(SpeedRelay, FilesAndImagesCarryOldCodesSevenHigher)
{
    for (const auto& [stored, read] : {std::pair{51, 58}, std::pair{58, 58}, std::pair{0, 7}, std::pair{57, 64}}) {
        SCOPED_TRACE(stored);
        XelSpeedRelay s;
        const QByteArray file = Bytes({2, 0, 0, 0, 0, stored}) + QByteArray(30, ' ');
        ASSERT_TRUE(ReadFrom(file, [&](RecordReader& r) { return s.ReadFromFile(r, "2.15"); }));
        EXPECT_EQ(s.FunctionNo(), read);

        XelSpeedRelay fromUnit;
        fromUnit.SetIndex(2);
        fromUnit.SetFunctionNo(quint8(stored));
        ASSERT_TRUE(fromUnit.FromImage(NewImage()));
        EXPECT_EQ(fromUnit.FunctionNo(), read);
    }
}

TEST(SpeedRelay, ImageWordsAndARepeatedReceive)
{
    cSpeedRelay set;
    XelSpeedRelay* a = set.Add(1, "a");
    XelSpeedRelay* d = set.Add(4, "d");
    a->SetRPM(1500);
    a->SetInUse(false);
    d->SetRPM(700);
    d->SetInUse(true);
    d->SetFunctionNo(51);
    QByteArray image = NewImage();
    image[2054] = 9;
    ASSERT_TRUE(set.ToImage(image));
    EXPECT_EQ(image.mid(2054, 8), Bytes({0, 0, 0, 0, 0, 0, 0x02, 0xBC}));

    ASSERT_TRUE(set.FromImage(image));
    ASSERT_TRUE(set.FromImage(image));
    EXPECT_FALSE(a->InUse());
    EXPECT_EQ(a->RPM(), 0);
    EXPECT_TRUE(d->InUse());
    EXPECT_EQ(d->RPM(), 700);
    EXPECT_EQ(d->FunctionNo(), 58); // carried once, then already current

    image[2055] = 1;
    ASSERT_TRUE(a->FromImage(image));
    EXPECT_TRUE(a->InUse());
    EXPECT_EQ(a->RPM(), 1);
}

TEST(SpeedRelay, BadWordsAndIndexesFail)
{
    cSpeedRelay set;
    XelSpeedRelay* s = set.Add(5, "beyond");
    s->SetInUse(true);
    s->SetRPM(1000);
    QByteArray image = NewImage();
    EXPECT_FALSE(set.ToImage(image));
    EXPECT_EQ(image, NewImage()); // the first analog channel's bytes stay as they are

    XelSpeedRelay zero;
    zero.SetInUse(true);
    zero.SetRPM(10);
    EXPECT_FALSE(zero.ToImage(image));
    EXPECT_EQ(image, NewImage());

    XelSpeedRelay neg;
    neg.SetIndex(2);
    neg.SetInUse(true);
    neg.SetRPM(-5);
    EXPECT_FALSE(neg.ToImage(image));

    image[2056] = char(0x80); // 32768 does not fit RPM
    neg.SetRPM(3);
    EXPECT_FALSE(neg.FromImage(image));
    EXPECT_EQ(neg.RPM(), 3);
}

TEST(SpeedRelay, ACollectionDecodeStopsWhereTheImageEnds)
{
    cSpeedRelay set;
    for (int k = 1; k <= 3; ++k)
        set.Add(k, "")->SetRPM(99);
    QByteArray image = NewImage().left(2057);
    image[2055] = 20;
    EXPECT_FALSE(set.FromImage(image));
    EXPECT_EQ(set.Item(1)->RPM(), 20);
    EXPECT_EQ(set.Item(2)->RPM(), 99);
    EXPECT_EQ(set.Item(3)->RPM(), 99);
}

TEST(SpeedRelay, OnlyInUseAndRPMCountAsChanges)
{
    cSpeedRelay set;
    XelSpeedRelay* s = set.Add(2, "Run");
    set.ResetBackup();
    s->SetDescript("other");
    s->SetFunctionNo(60);
    s->SetIndex(3);
    EXPECT_FALSE(set.Changed());
    s->SetRPM(1);
    EXPECT_TRUE(set.Changed());
    s->SetRPM(0);
    s->SetInUse(true);
    EXPECT_TRUE(set.Changed());
    EXPECT_EQ(set.Item("2*"), s);
    EXPECT_EQ(set.Item(1), s);
}
