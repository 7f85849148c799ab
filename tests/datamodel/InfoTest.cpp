#include "datamodel/XelInfo.h"
#include "platform/AnsiCodePage.h"
#include "tests/common/Doubles.h"
#include "tests/datamodel/SettingsTestUtil.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace settings_test;

namespace {

const int kStart = 686;

QByteArray Nuls(int n) { return QByteArray(n, '\0'); }

// The fixed clock of the doubles reads 2024-03-05 14:07:09.
class InfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_locale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { QLocale::setDefault(m_locale); }

    QByteArray Encode(const QString& text, const QString& title = QString())
    {
        XelInfo info;
        info.SetInfo(text);
        QByteArray image = NewImage();
        EXPECT_TRUE(info.ToImage(image, title));
        return image;
    }
    QByteArray Line(const QByteArray& image, int n) { return image.mid(kStart + 38 * (n - 1), 38); }

    testing_doubles::PlatformDoubles doubles;

private:
    QLocale m_locale;
};

} // namespace

TEST_F(InfoTest, KeepsAFixedRecordOf318Characters)
{
    XelInfo info;
    EXPECT_EQ(info.Info(), "");
    info.SetInfo("  Hello  ");
    EXPECT_EQ(info.Info(), "  Hello");
    EXPECT_TRUE(info.Changed());
    const QByteArray out = Written([&](RecordWriter& w) { return info.WriteToFile(w); });
    EXPECT_EQ(out, "  Hello" + Blanks(311));
    EXPECT_FALSE(info.Changed());

    XelInfo back;
    qint64 used = 0;
    ASSERT_TRUE(ReadFrom(out + "xyz", [&](RecordReader& r) { return back.ReadFromFile(r, "1.0"); }, &used));
    EXPECT_EQ(used, 318);
    EXPECT_EQ(back.Info(), "  Hello");
    EXPECT_FALSE(ReadFrom(out.left(317), [&](RecordReader& r) { return back.ReadFromFile(r, "2.15"); }));

    info.SetInfo(QString(400, 'a'));
    EXPECT_EQ(info.Info().size(), 318);
}

TEST_F(InfoTest, ADateFillsItsPlaceholder)
{
    const QByteArray image = Encode("Engine{DATE}\r\nsecond");
    EXPECT_EQ(Line(image, 1), "Engine2024-03-05" + Nuls(22));
    EXPECT_EQ(Line(image, 2), "second" + Nuls(32));
}

TEST_F(InfoTest, LongDateTimeAndAuthor)
{
    const QByteArray image = Encode("{LDATE}\r\n{TIME}\r\nby {AUTHOR}\r\nby {author}");
    EXPECT_EQ(Line(image, 1), "2024-MAR-05" + Nuls(27));
    EXPECT_EQ(Line(image, 2), "14:07" + Nuls(33));
    EXPECT_EQ(Line(image, 3), "by TESTER" + Nuls(29));
    EXPECT_EQ(Line(image, 4), "by {author}" + Nuls(27)); // found, but replaced only in upper case
}

// A German "DEZ." would cut the day off a full line; "DÉC." or "ŞUB" the unit cannot show.
TEST_F(InfoTest, TheLongDateHasTheEnglishMonthInEveryLocale)
{
    const QString months = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC", own(27, 'X');
    for (const char* locale : {"de_DE", "fr_FR", "tr_TR", "en_US"})
        for (int m = 1; m <= 12; ++m) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            doubles.system.now = QDateTime(QDate(2026, m, 9), QTime(10, 0));
            EXPECT_EQ(Line(Encode(own + "{LDATE}"), 1).toStdString(),
                      (own + "2026-" + months.mid(3 * m - 3, 3) + "-09").toStdString()) << locale;
        }
}

TEST_F(InfoTest, TheAuthorFallsBackToTheComputerNameAndThenNA)
{
    doubles.system.user = "";
    EXPECT_EQ(Line(Encode("{AUTHOR}"), 1), "BENCH-PC" + Nuls(30));
    doubles.system.computer = "";
    EXPECT_EQ(Line(Encode("{AUTHOR}"), 1), "N/A" + Nuls(35));
}

TEST_F(InfoTest, AValueIsCutToTheRoomTheLineLeaves)
{
    const QString own = "ABCDEFGHIJKLMNOPQRSTUVWXY"; // 25 characters
    const QByteArray image = Encode(own + "{FILENAME}", "averyveryverylongfilename.QRN");
    EXPECT_EQ(Line(image, 1), own.toLatin1() + "averyveryvery");
    EXPECT_EQ(Line(image, 2), Nuls(38));

    const QByteArray date = Encode(QString(30, 'X') + "{DATE}");
    EXPECT_EQ(Line(date, 1), QByteArray(30, 'X') + "2024-03-");
}

TEST_F(InfoTest, LaterPlaceholdersDoNotCountForEarlierOnes)
{
    const QByteArray image = Encode(QString(24, 'X') + "{DATE}{TIME}");
    EXPECT_EQ(Line(image, 1), QByteArray(24, 'X') + "2024-03-05" + "14:0");
}

TEST_F(InfoTest, AFullLineLeavesNoRoom)
{
    const QByteArray image = Encode(QString(38, 'Y') + "{AUTHOR}\r\nnext");
    EXPECT_EQ(Line(image, 1), QByteArray(38, 'Y'));
    EXPECT_EQ(Line(image, 2), "next" + Nuls(34));
}

TEST_F(InfoTest, TextGoesIntoTheUnitCharacterSet)
{
    const QByteArray image = Encode(QString::fromUtf8("Æble ø"));
    EXPECT_EQ(Line(image, 1), Bytes({146}) + "ble " + Bytes({0xF8}) + Nuls(32));
    XelInfo back;
    ASSERT_TRUE(back.FromImage(image));
    EXPECT_EQ(back.Info(), QString::fromUtf8("Æble ø"));
}

TEST_F(InfoTest, ThreeLinesWriteFiveEmptyLinesAndDecodeBack)
{
    QByteArray image = NewImage();
    image.replace(kStart, 304, QByteArray(304, 'z'));
    XelInfo info;
    info.SetInfo("one\r\ntwo\r\nthree");
    ASSERT_TRUE(info.ToImage(image, QString()));
    for (int n = 4; n <= 8; ++n)
        EXPECT_EQ(Line(image, n), Nuls(38)) << n;
    XelInfo back;
    ASSERT_TRUE(back.FromImage(image));
    EXPECT_EQ(back.Info(), "one\r\ntwo\r\nthree");
}

TEST_F(InfoTest, DecodeKeepsInnerEmptyLinesAndTrims)
{
    QByteArray image = NewImage();
    image.replace(kStart, 8, "first   ");
    image.replace(kStart + 76, 5, "third");
    image.replace(kStart + 114, 3, "   ");
    XelInfo info;
    ASSERT_TRUE(info.FromImage(image));
    EXPECT_EQ(info.Info(), "first\r\n\r\nthird");
}

TEST_F(InfoTest, AnEmptyAreaDecodesToEmptyAndAShortImageFails)
{
    XelInfo info;
    info.SetInfo("old");
    ASSERT_TRUE(info.FromImage(NewImage()));
    EXPECT_EQ(info.Info(), "");
    info.SetInfo("old");
    EXPECT_FALSE(info.FromImage(NewImage().left(989)));
    EXPECT_EQ(info.Info(), "old");
}
