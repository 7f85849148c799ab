// The content of the XelLan string table, read from the built library.
#include "LangTableData.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QVector>

#include <string>

using langtest::LibraryTexts;
using langtest::SplitDisplayText;
using langtest::UnitCanShow;

namespace {

int CountIn(int from, int to)
{
    const auto& t = LibraryTexts();
    int n = 0;
    for (auto it = t.lowerBound(quint16(from)); it != t.end() && it.key() <= to; ++it)
        ++n;
    return n;
}

bool Has(int id) { return LibraryTexts().contains(quint16(id)); }
QString Text(int id) { return LibraryTexts().value(quint16(id)); }

// Ids base + 1, base + 2, ... up to the first missing one, as the list and display readers go.
QVector<int> IdRun(int base)
{
    QVector<int> ids;
    for (int id = base + 1; Has(id); ++id)
        ids.append(id);
    return ids;
}

// The counts below are pinned on purpose: a text lost or added by mistake changes one.
std::string Pinned(const char* update)
{
    return std::string("\nThis count is pinned on purpose, to catch a text lost or added by mistake. After adding or "
                       "removing a text in resources/lang/tables/, update ")
        + update + ".";
}

const int kBlocks = 10;
int Base(int k) { return 10000 + 1000 * k; }

class StringTable : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(langtest::LibraryLoaded()) << "libXelLan.so not found next to the test"; }
};

} // namespace

TEST_F(StringTable, HoldsTheExpectedNumberOfTextsPerBlock)
{
    const std::string update = Pinned("the totals and the row of the text's range in this test (a new range gets a row)");
    EXPECT_EQ(LibraryTexts().size(), 899) << update;
    EXPECT_EQ(CountIn(0, 9999), 370) << update;
    EXPECT_EQ(CountIn(10000, 65535), 529) << update;

    struct Range { int from, to, count; };
    const Range ranges[] = {
        {10, 13, 4},     {94, 199, 93},   {201, 210, 7},   {220, 264, 35},  {301, 306, 6},
        {810, 852, 26},  {901, 936, 28},  {1000, 1394, 44}, {2001, 2313, 13}, {3001, 3002, 2},
        {4001, 4004, 4}, {5018, 5054, 33}, {5118, 5175, 49}, {6000, 6251, 10}, {7000, 7015, 16},
    };
    int sum = 0;
    for (const Range& r : ranges) {
        EXPECT_EQ(CountIn(r.from, r.to), r.count) << r.from << "-" << r.to << update;
        sum += r.count;
    }
    EXPECT_EQ(sum, 370) << "a program text lies outside the known ranges" << update;

    for (int k = 0; k < kBlocks; ++k)
        EXPECT_EQ(CountIn(Base(k), Base(k) + 999), k == 7 ? 52 : 53) << "block " << Base(k) << update;
}

TEST_F(StringTable, GapsInsideTheProgramRangesAreMissing)
{
    for (int id : {0, 9, 14, 93, 147, 150, 159, 200, 207, 209, 226, 228, 244, 249, 259, 812,
                   819, 830, 837, 847, 913, 914, 917, 932, 934, 1010, 1303, 2004, 2094, 4005, 5028,
                   5038, 5127, 5134, 5145, 5176, 7016, 9999, 20000})
        EXPECT_FALSE(Has(id)) << id;
    EXPECT_EQ(Text(5127), QString());
}

TEST_F(StringTable, ListBlocksEndAtTheFirstMissingId)
{
    struct Block { int base, items; };
    const Block blocks[] = {{1000, 9}, {1100, 9}, {1200, 6}, {1300, 2}, {1310, 4}, {1320, 2}, {1330, 3},
                            {1340, 5}, {1390, 4}, {2000, 3}, {2100, 3}, {2200, 2}, {2300, 1}, {2310, 3}};
    for (const Block& b : blocks) {
        const QVector<int> ids = IdRun(b.base);
        ASSERT_EQ(ids.size(), b.items) << "base " << b.base << Pinned("the block's row in this table");
        for (int id : ids) {
            // "value-item": a whole number before the first "-", an item after it.
            const QString s = Text(id);
            const int dash = s.indexOf('-');
            ASSERT_GT(dash, 0) << id;
            bool ok = false;
            s.left(dash).toInt(&ok);
            EXPECT_TRUE(ok) << id << " " << s.toStdString();
            EXPECT_FALSE(s.mid(dash + 1).isEmpty()) << id;
        }
    }
    // Items keep their own dashes after the first one.
    EXPECT_EQ(Text(1005), "3-Shutdown");
    EXPECT_EQ(Text(1302), "1-0..20mA / 0..5V");
    EXPECT_EQ(Text(4004), "2-Read From J1587");
    // The relay list blocks run on to their first gap as well.
    EXPECT_EQ(IdRun(6099).size(), 4);
    EXPECT_EQ(IdRun(6199).size(), 2);
}

TEST_F(StringTable, KeepsTheTextsExactly)
{
    EXPECT_EQ(Text(201), "%1 must be between %2 and %3!");
    EXPECT_EQ(Text(12), "The Control Unit switches between Emergency and Auxiliary operation mode depending on "
                        "the state of the Standby button as follows:\n\nStandby mode:\tEmergency operation "
                        "mode\nManual mode:\tAuxiliary operation mode");
    EXPECT_EQ(Text(306), "You are not allowed to copy data with Action type \"%1\". There can be only one %2 "
                         "with Action type \"%1\" in a Control Unit setup.\nDo you want to move the content of "
                         "%2 %3 into %1 %4 instead?");
    EXPECT_EQ(Text(99), "You are using version %1 of the Quarno Q2.\n\nThis version of Quarno Q2 supports Control "
                        "Unit firmware versions up to - and including - %3. The version of the connected Control "
                        "Unit is %2. \n\nAn updated version of Quarno Q2 may be available for download on the "
                        "Internet. Select 'Help' and then 'Quarno Website...' from the main menu.");
    // Typos are the system's own.
    EXPECT_TRUE(Text(141).contains("38 charcters each"));
    EXPECT_TRUE(Text(160).contains("S'hutdown Override also overrides Overspeed' is not supported"));
    EXPECT_TRUE(Text(131).startsWith("These Switch and Analog Channels does not have a description:\n%1\n\n"));
    EXPECT_EQ(Text(103), "The file %1 has changed.\nDo you want to save the changes?.");
    EXPECT_EQ(Text(140), "Error! Unable to find Control Unit!\n- Cable connected?\n- Correct communication port in Quarno?");
    EXPECT_EQ(Text(925), "27-28 (AX-2:1-2)");
    EXPECT_EQ(Text(2093), "%1 on RUN Only");
    EXPECT_EQ(Text(5166), "Disc. Gen Breaker Relay Activated");
    EXPECT_EQ(Text(5175), "Common Alarm");
    EXPECT_EQ(Text(6001), "K9");
    EXPECT_EQ(Text(7000), "0");
    EXPECT_EQ(Text(7015), "2730");
    EXPECT_EQ(Text(10047), "38-New parameters - %u");
    EXPECT_EQ(Text(10015), "12-Shutdown Ovrd");
    EXPECT_EQ(Text(10999), "20-Configuration    :");
    EXPECT_EQ(Text(11999), "20-Konfigurasjon    :");
    EXPECT_EQ(Text(17999), "20-configurazione   :");

    // The longest text, with its two line feeds.
    int longest = 0;
    for (auto it = LibraryTexts().begin(); it != LibraryTexts().end(); ++it)
        longest = std::max(longest, int(it.value().size()));
    EXPECT_EQ(longest, 403);
    EXPECT_EQ(Text(108).size(), 403);
    EXPECT_EQ(Text(108).count('\n'), 2);
}

TEST_F(StringTable, TextsSurviveTheLookupUnchanged)
{
    // The lookup trims blanks at the right and knows no carriage returns or empty texts,
    // so no text may rely on them.
    int lineFeeds = 0;
    for (auto it = LibraryTexts().begin(); it != LibraryTexts().end(); ++it) {
        const QString& s = it.value();
        EXPECT_FALSE(s.isEmpty()) << it.key();
        EXPECT_FALSE(s.endsWith(' ')) << it.key();
        EXPECT_FALSE(s.contains('\r')) << it.key();
        EXPECT_FALSE(s.contains(QChar(0xFFFD))) << it.key() << " is not clean UTF-8";
        if (s.contains('\n'))
            ++lineFeeds;
        if (it.key() >= 10000) {
            EXPECT_FALSE(s.contains('\n') || s.contains('\t')) << it.key();
        }
    }
    EXPECT_GT(lineFeeds, 60);
}

TEST_F(StringTable, FindsTenDisplayLanguagesByTheirNames)
{
    QStringList names;
    for (int k = 0; Has(Base(k)); ++k)
        names << Text(Base(k));
    EXPECT_EQ(names, QStringList({"English", "Norsk", "Svenska", "Dutch", "Francais", QString::fromUtf8("Español"),
                                  "German", "Italiano", "Dansk", QString::fromUtf8("Portuguésa")}));
}

TEST_F(StringTable, DisplayBlocksHoldTheSameEntriesAsTheEnglishOne)
{
    const QVector<int> english = IdRun(Base(0));
    ASSERT_EQ(english.size(), 51) << Pinned("the entries of every display block and this count");
    for (int k = 0; k < kBlocks; ++k) {
        QVector<int> expected;
        for (int n = 1; n <= 51; ++n)
            if (!(k == 7 && n == 12))
                expected.append(n);
        expected.append(999);
        QVector<int> got;
        for (int id = Base(k) + 1; id < Base(k) + 1000; ++id)
            if (Has(id))
                got.append(id - Base(k));
        EXPECT_EQ(got, expected) << "block " << Base(k);
    }
    // The Italian block stops its reader after entry 11.
    EXPECT_EQ(IdRun(Base(7)).size(), 11);
}

TEST_F(StringTable, DisplayTextsFitTheirFieldsAndTheUnitCharacterSet)
{
    for (int k = 0; k < kBlocks; ++k) {
        for (int n = 1; n <= 999; ++n) {
            const int id = Base(k) + n;
            if (!Has(id))
                continue;
            int width = 0, englishWidth = 0;
            QString text, englishText;
            ASSERT_TRUE(SplitDisplayText(Text(id), width, text)) << id;
            ASSERT_TRUE(SplitDisplayText(Text(Base(0) + n), englishWidth, englishText)) << n;
            EXPECT_EQ(width, englishWidth) << id << ": every language has the same fields";
            // English "Shutdown Ovrd" is the one text the table itself lets run one place over.
            if (id != 10015) {
                EXPECT_LE(text.size(), width) << id << " " << text.toStdString();
            }
            EXPECT_FALSE(text.isEmpty()) << id;
            for (QChar ch : text)
                EXPECT_TRUE(UnitCanShow(ch)) << id << " " << text.toStdString();
            // Only the "new parameters" entry carries the user name mark; nothing else uses "%".
            EXPECT_EQ(text.count("%u"), n == 47 ? 1 : 0) << id;
            EXPECT_EQ(text.count('%'), n == 47 ? 1 : 0) << id;
            // Labels followed by a value keep their colon in the English column.
            if (englishText.endsWith(':') && width == 20) {
                EXPECT_EQ(text.size(), englishText.size()) << id;
                EXPECT_TRUE(text.endsWith(':')) << id;
            }
        }
    }
    int width = 0;
    QString text;
    ASSERT_TRUE(SplitDisplayText(Text(10015), width, text));
    EXPECT_EQ(text.size(), width + 1);
}

TEST_F(StringTable, DisplayFieldsLandWhereTheImageExpectsThem)
{
    // The writer's walk: fields back to back from byte 990, with gaps before 44, 47 and 51.
    const QVector<QPair<int, int>> starts = {{1, 990},   {9, 1104},  {22, 1278}, {35, 1772},
                                             {36, 1784}, {40, 1864}, {44, 2018}, {45, 2030},
                                             {46, 2042}, {47, 2384}, {48, 2422}, {51, 2546}};
    for (int k = 0; k < kBlocks; ++k) {
        QMap<int, int> start;
        int pos = 0;
        for (int n = 1; Has(Base(k) + n); ++n) {
            if (n == 44)
                pos += 2;
            else if (n == 47)
                pos += 330;
            else if (n == 51)
                pos += 10;
            start[n] = 990 + pos;
            int width = 0;
            QString text;
            ASSERT_TRUE(SplitDisplayText(Text(Base(k) + n), width, text));
            pos += width;
        }
        if (k == 7) {
            EXPECT_EQ(start.size(), 11);
            EXPECT_EQ(start.value(11), 1146);
            continue;
        }
        for (const auto& [n, byte] : starts)
            EXPECT_EQ(start.value(n), byte) << "block " << Base(k) << " entry " << n;
        EXPECT_EQ(990 + pos - 1, 2583) << "block " << Base(k);
    }
}
