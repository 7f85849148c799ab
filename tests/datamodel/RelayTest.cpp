#include "datamodel/cRelay.h"
#include "tests/datamodel/SettingsTestUtil.h"

#include <gtest/gtest.h>

using namespace settings_test;

namespace {

QByteArray Text(const char* s, int n) { return QByteArray(s).leftJustified(n, ' '); }

// Reads one item the way the document does.
bool ReadItem(XelRelay& item, const QByteArray& file, const QString& version, bool bNew, qint32 mode,
              qint64* used = nullptr)
{
    return ReadFrom(file, [&](RecordReader& r) { return item.ReadFromFile(r, version, bNew, mode); }, used);
}

} // namespace

TEST(Relay, WritesTheSeventyFourByteRecord)
{
    cRelay relays;
    XelRelay* r = relays.Add(3, "Standby Mode", "K7");
    ASSERT_NE(r, nullptr);
    r->SetInUse(true);
    r->SetFunctionNo(46);
    const QByteArray out = Written([&](RecordWriter& w) { return r->WriteToFile(w); });
    EXPECT_EQ(out, Bytes({3, 0xFF, 0xFF, 46}) + Text("Standby Mode", 60) + Text("K7", 10));

    XelRelay back;
    qint64 used = 0;
    ASSERT_TRUE(ReadItem(back, out, "2.7", false, 0, &used));
    EXPECT_EQ(used, 74);
    EXPECT_EQ(back.Index(), 3);
    EXPECT_TRUE(back.InUse());
    EXPECT_EQ(back.FunctionNo(), 46);
    EXPECT_EQ(back.FunctionText(), "Standby Mode");
    EXPECT_EQ(back.RelayText(), "K7");
    EXPECT_FALSE(ReadItem(back, out.left(73), "2.15", false, 0));
}

TEST(Relay, ReadsTheFirstLayoutAndShiftsOldCodes)
{
    struct Case {
        const char* version;
        int stored;
        int read;
    };
    for (const Case c : {Case{"1.5", 40, 47}, Case{"1.9", 40, 40}, Case{"1.5", 30, 30}, Case{"1.5", 31, 38},
                         Case{"1.8", 248, 255}, Case{"1.8", 249, 249}}) {
        SCOPED_TRACE(std::string(c.version) + " " + std::to_string(c.stored));
        const QByteArray file = Bytes({2, 0xFF, 0xFF, 99, 0, c.stored}) + Text("Common alarm", 30) + "next";
        XelRelay r;
        r.SetRelayText("K1");
        qint64 used = 0;
        ASSERT_TRUE(ReadItem(r, file, c.version, false, 0, &used));
        EXPECT_EQ(used, 36);
        EXPECT_EQ(r.Index(), 2);
        EXPECT_TRUE(r.InUse());
        EXPECT_EQ(r.FunctionNo(), c.read);
        EXPECT_EQ(r.FunctionText(), "Common alarm");
        EXPECT_EQ(r.RelayText(), "");
    }
}

TEST(Relay, TerminalCardOutputsOfFirstFilesTakeTheFixedFunctions)
{
    struct Case {
        qint32 mode;
        int index;
        int code;
    };
    for (const Case c : {Case{2, 1, 0}, Case{2, 2, 57}, Case{2, 3, 0}, Case{0, 1, 63}, Case{1, 2, 66}, Case{3, 3, 0}}) {
        SCOPED_TRACE(c.mode * 10 + c.index);
        cRelay set;
        XelRelay* r = set.Add(c.index, "x");
        r->SetFunctionNo(12);
        r->SetInUse(c.code == 0);
        qint64 used = -1;
        ASSERT_TRUE(ReadItem(*r, QByteArray(80, 'q'), "1.9", true, c.mode, &used));
        EXPECT_EQ(used, 0);
        EXPECT_EQ(r->FunctionNo(), c.code);
        EXPECT_EQ(r->InUse(), c.code != 0);
        EXPECT_FALSE(r->Changed());
    }
}

TEST(Relay, ReadsTheShortTextLayoutAndNothingFromMajorThree)
{
    const QByteArray file = Bytes({4, 0, 0, 75}) + Text("Common Alarm", 30) + Text("K9", 10) + "zz";
    XelRelay r;
    qint64 used = 0;
    ASSERT_TRUE(ReadItem(r, file, "2.6", false, 0, &used));
    EXPECT_EQ(used, 44);
    EXPECT_EQ(r.Index(), 4);
    EXPECT_FALSE(r.InUse());
    EXPECT_EQ(r.FunctionNo(), 75);
    EXPECT_EQ(r.FunctionText(), "Common Alarm");
    EXPECT_EQ(r.RelayText(), "K9");

    used = -1;
    ASSERT_TRUE(ReadItem(r, file, "3.0", false, 0, &used));
    EXPECT_EQ(used, 0);
    EXPECT_EQ(r.FunctionNo(), 75);
}

TEST(Relay, TheCollectionFlagIsInFilesFromTwoNine)
{
    cRelay relays;
    relays.SetRelayT44DisableBW(true);
    const QByteArray out = Written([&](RecordWriter& w) { return relays.WriteToFile(w); });
    EXPECT_EQ(out, Bytes({0xFF, 0xFF}));

    qint64 used = -1;
    ASSERT_TRUE(ReadFrom(out, [&](RecordReader& r) { return relays.ReadFromFile(r, "2.8"); }, &used));
    EXPECT_EQ(used, 0);
    EXPECT_FALSE(relays.RelayT44DisableBW());
    ASSERT_TRUE(ReadFrom(out, [&](RecordReader& r) { return relays.ReadFromFile(r, "2.9"); }, &used));
    EXPECT_EQ(used, 2);
    EXPECT_TRUE(relays.RelayT44DisableBW());
    EXPECT_FALSE(ReadFrom(QByteArray(1, '\1'), [&](RecordReader& r) { return relays.ReadFromFile(r, "2.10"); }));
}

TEST(Relay, ChangeDetectionAndTextCleanUp)
{
    cRelay relays;
    XelRelay* r = relays.Add(1, "first", "K1");
    relays.ResetBackup();
    r->SetFunctionText("other text");
    EXPECT_FALSE(relays.Changed());
    // The terminal 44 option alone is an edit to keep.
    relays.SetRelayT44DisableBW(true);
    EXPECT_TRUE(relays.Changed());
    relays.SetRelayT44DisableBW(false);
    EXPECT_FALSE(relays.Changed());
    relays.SetRelayT44DisableBW(true);
    EXPECT_TRUE(ReadFrom(Bytes({0xFF, 0xFF}), [&](RecordReader& rd) { return relays.ReadFromFile(rd, "2.9"); }));
    EXPECT_FALSE(relays.Changed());
    r->SetRelayText("K2");
    EXPECT_TRUE(relays.Changed());
    r->SetRelayText(QString("K7") + QChar(0) + "junk");
    r->ResetBackup();
    EXPECT_EQ(r->RelayText(), "K7");
    r->SetRelayText("K7");
    EXPECT_FALSE(r->Changed());
    r->SetFunctionNo(5);
    EXPECT_TRUE(relays.Changed());
}

TEST(Relay, OldFirmwareShiftsCodesBothWays)
{
    cRelay relays;
    XelRelay* a = relays.Add(1, "");
    XelRelay* b = relays.Add(2, "");
    a->SetFunctionNo(38);
    b->SetFunctionNo(37);
    QByteArray image = NewImage();
    ASSERT_TRUE(relays.ToImage(image, "1.5", false));
    EXPECT_EQ(image.mid(670, 2), Bytes({31, 37}));
    ASSERT_TRUE(relays.ToImage(image, "4.47", false));
    EXPECT_EQ(image.mid(670, 2), Bytes({38, 37}));

    struct Case {
        const char* fw;
        int stored;
        int code;
    };
    for (const Case c : {Case{"1.5", 31, 38}, Case{"1.5", 38, 0}, Case{"1.5", 30, 30}, Case{"1.5", 45, 52},
                         Case{"1.9", 31, 31}, Case{"1", 31, 38}, Case{"4.47", 38, 38}, Case{"2.5", 31, 31}}) {
        SCOPED_TRACE(std::string(c.fw) + " " + std::to_string(c.stored));
        image[670] = char(c.stored);
        a->SetFunctionText("kept?");
        ASSERT_TRUE(a->FromImage(image, c.fw, false));
        EXPECT_EQ(a->FunctionNo(), c.code);
        EXPECT_EQ(a->InUse(), c.code != 0);
        EXPECT_EQ(a->FunctionText(), "");
    }
    // No room for the shift: the byte is taken as it is, the relay stays unused.
    image[670] = char(250);
    a->SetInUse(true);
    EXPECT_FALSE(a->FromImage(image, "1.2", false));
    EXPECT_EQ(a->FunctionNo(), 250);
    EXPECT_FALSE(a->InUse());
}

TEST(Relay, TheTerminalCardIsNeverConvertedOnWrite)
{
    cRelay relayNew;
    relayNew.Add(1, "", "K7")->SetFunctionNo(46);
    relayNew.Add(2, "", "K9")->SetFunctionNo(66);
    QByteArray image = NewImage();
    ASSERT_TRUE(relayNew.ToImage(image, "1.5", true));
    EXPECT_EQ(image.mid(684, 2), Bytes({46, 66}));
    EXPECT_EQ(At(image, 670), 0);

    image[685] = 31; // decoding converts in both areas
    ASSERT_TRUE(relayNew.FromImage(image, "1.5", true));
    EXPECT_EQ(relayNew.Item(2)->FunctionNo(), 38);
}

TEST(Relay, AnIndexOutsideItsAreaFailsWithoutTouchingOtherBytes)
{
    cRelay relays;
    relays.Add(1, "")->SetFunctionNo(5);
    relays.Add(15, "")->SetFunctionNo(6);
    relays.Add(3, "")->SetFunctionNo(7);
    QByteArray image = NewImage();
    EXPECT_FALSE(relays.ToImage(image, "4.47", false));
    EXPECT_EQ(At(image, 670), 5);
    EXPECT_EQ(At(image, 672), 0); // the loop stopped
    EXPECT_EQ(At(image, 684), 0);

    cRelay relayNew;
    relayNew.Add(3, "")->SetFunctionNo(9);
    relayNew.Add(0, "")->SetFunctionNo(9);
    image = NewImage();
    EXPECT_FALSE(relayNew.Item(1)->ToImage(image, "4.47", true));
    EXPECT_FALSE(relayNew.Item(2)->ToImage(image, "4.47", true));
    EXPECT_EQ(image, NewImage());

    cRelay full;
    full.Add(14, "")->SetFunctionNo(9);
    ASSERT_TRUE(full.ToImage(image, "4.47", false));
    EXPECT_EQ(At(image, 683), 9);
}

TEST(Relay, BothSetsShareTheTerminal44Byte)
{
    cRelay relays;
    cRelay relayNew;
    relayNew.SetRelayT44DisableBW(true);
    QByteArray image = NewImage();
    ASSERT_TRUE(relays.ToImage(image, "4.47", false));
    ASSERT_TRUE(relayNew.ToImage(image, "4.47", true));
    EXPECT_EQ(At(image, 3074), 1);
    ASSERT_TRUE(relays.FromImage(image, "4.47", false));
    EXPECT_TRUE(relays.RelayT44DisableBW());

    // Too short for the flag: it keeps its value and nothing fails.
    relays.SetRelayT44DisableBW(false);
    relays.Add(1, "");
    QByteArray shortImage = NewImage().left(3072);
    EXPECT_TRUE(relays.FromImage(shortImage, "4.47", false));
    EXPECT_FALSE(relays.RelayT44DisableBW());
    EXPECT_TRUE(relayNew.ToImage(shortImage, "4.47", true));
    EXPECT_EQ(shortImage.size(), 3072);
}

TEST(Relay, KeysAndPositions)
{
    cRelay relays;
    relays.Add(2, "b");
    relays.Add(3, "c");
    EXPECT_EQ(relays.Add(3, "again"), nullptr);
    EXPECT_EQ(relays.Count(), 2);
    EXPECT_EQ(relays.Item("3*")->FunctionText(), "c");
    EXPECT_EQ(relays.Item(1)->Index(), 2);
    EXPECT_EQ(relays.Item(3), nullptr);
}
