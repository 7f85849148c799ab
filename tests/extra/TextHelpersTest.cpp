#include "extra/extra.h"
#include "tests/common/Doubles.h"

#include <QTextDocument>
#include <gtest/gtest.h>

using namespace extra;

TEST(TextHelpers, FieldsAndDelimiters)
{
    EXPECT_EQ(GetField("a,b", ",", 3), "");
    EXPECT_EQ(GetField("a,b", ",", 1), "a");
    EXPECT_EQ(GetField("a,b", ",", 2), "b");
    EXPECT_EQ(GetField("a,b", ",", 0), "");
    EXPECT_EQ(GetField("a,b", "", 1), "");
    EXPECT_EQ(GetField("a,,c", ",", 2), "");
    EXPECT_EQ(CountFields("", ","), 1);
    EXPECT_EQ(CountFields("a", " "), 0);
    EXPECT_EQ(CountFields("a", ""), 0);
    EXPECT_EQ(CountFields("4.20.1", "."), 3);
    EXPECT_EQ(CountFields("aaaa", "aa"), 3); // occurrences do not overlap

    EXPECT_EQ(AfterLast("C:\\dir\\file.qrn", "\\"), "file.qrn");
    EXPECT_EQ(AfterLast("file", "."), "file");
    EXPECT_EQ(BeforeLast("file", "."), "file");
    EXPECT_EQ(BeforeLast("a.b.c", "."), "a.b");
    EXPECT_EQ(BeforeFirst("a.b.c", "."), "a");
    EXPECT_EQ(BeforeFirst("abc", "."), "");
    EXPECT_EQ(AfterFirst("a-b-c", "-"), "b-c");
    EXPECT_EQ(AfterFirst("abc", "-"), "");
    EXPECT_EQ(AfterFirst("key::value", "::"), "value");
}

TEST(TextHelpers, ReplaceAllNeverSearchesItsReplacement)
{
    EXPECT_EQ(ReplaceAll("%1", "%1", "x%1"), "x%1");
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceAll("abab", "ab", ""), "");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("", "a", "x"), "");
}

TEST(TextHelpers, StripNullTrimsOnlyWhenNulPresent)
{
    const QString withNul = QString("ab  ") + QChar(0) + "x";
    EXPECT_EQ(StripNull(withNul, true), "ab");
    EXPECT_EQ(StripNull(QString(" ab ") + QChar(0), true), " ab");
    EXPECT_EQ(StripNull(QString(" ab ") + QChar(0), false), "ab");
    EXPECT_EQ(StripNull(" ab ", true), " ab ");
    EXPECT_EQ(StripNull(QString(QChar(0)), true), "");
}

TEST(TextHelpers, NumericPrefix)
{
    EXPECT_DOUBLE_EQ(NumericPrefix("4.20"), 4.2);
    EXPECT_DOUBLE_EQ(NumericPrefix("20abc"), 20.0);
    EXPECT_DOUBLE_EQ(NumericPrefix(""), 0.0);
    EXPECT_DOUBLE_EQ(NumericPrefix("abc"), 0.0);
    EXPECT_DOUBLE_EQ(NumericPrefix("  7 x"), 7.0);
    EXPECT_DOUBLE_EQ(NumericPrefix("-12.5V"), -12.5);
    EXPECT_DOUBLE_EQ(NumericPrefix(".5"), 0.5);
    EXPECT_DOUBLE_EQ(NumericPrefix("."), 0.0);
    EXPECT_DOUBLE_EQ(NumericPrefix("06"), 6.0);
}

TEST(TextHelpers, RoundHalfEven)
{
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(136.5), 136);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.500001), 3);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
}

// A tip that looks like markup still shows the name as it stands.
TEST(TextHelpers, PlainTipShowsTheTextAsItStands)
{
    for (const QString text : {"Engine 1.QRN", "<h1><u>BIG x.QRN", "a <b>b</b>  &amp; c\nd", "<i>"}) {
        const QString tip = PlainTip(text);
        QTextDocument shown;
        if (Qt::mightBeRichText(tip))
            shown.setHtml(tip);
        else
            shown.setPlainText(tip);
        EXPECT_EQ(shown.toPlainText(), text) << tip.toStdString();
    }
}

TEST(TextHelpers, OptionsAreWholeArguments)
{
    struct Row {
        QStringList args; // as the shell split them
        const char* option;
        bool present;
        const char* value;
    };
    const Row rows[] = {
        // The arguments up to the next option are the value: a name with blanks needs no quotes.
        {{"-f", "/path/my", "file.QRN"}, "-f", true, "/path/my file.QRN"},
        {{"-f", "/path/my file.QRN"}, "-f", true, "/path/my file.QRN"},
        {{"-q", "-f", "  a.qrn "}, "-f", true, "a.qrn"},
        {{"-q", "-f", "a.qrn"}, "-q", true, ""},
        {{"-f", "a.qrn", "-debug"}, "-f", true, "a.qrn"},
        {{"-p", "b.qrn", "-t", "c.qrn"}, "-p", true, "b.qrn"},
        // An option text inside a name, quoted or not, is part of the name.
        {{"-f", "/path/Ship -test.QRN"}, "-t", false, ""},
        {{"-f", "/path/Ship", "-test.QRN"}, "-f", true, "/path/Ship -test.QRN"},
        {{"-f", "/home/u/setups", "-q/a.qrn"}, "-q", false, ""},
        {{"-debugcomm"}, "-debug", false, ""},
        {{"-debug"}, "-debugcomm", false, ""},
        {{"-debug"}, "-debug", true, ""},
        {{}, "-q", false, ""},
        {{"-p", "b.qrn"}, "-t", false, ""},
        {{"-f", "x.qrn"}, "", false, ""},
        {{"-x", "a.qrn"}, "-x", false, ""},
    };
    for (const Row& row : rows) {
        const std::string line = row.args.join(' ').toStdString();
        EXPECT_EQ(HasOption(row.args, row.option), row.present) << line << " " << row.option;
        EXPECT_EQ(GetOptionValue(row.args, row.option), QString::fromUtf8(row.value)) << line << " " << row.option;
    }
}

TEST(ByteHelpers, WordsAndTexts)
{
    QByteArray bytes;
    WordToBytes(0x1234, bytes);
    ASSERT_EQ(bytes.size(), 2);
    EXPECT_EQ(quint8(bytes[0]), 0x12);
    EXPECT_EQ(quint8(bytes[1]), 0x34);
    EXPECT_EQ(BytesToWord(bytes), 0x1234);
    WordToBytes(65535, bytes);
    EXPECT_EQ(BytesToWord(bytes), 65535);
    EXPECT_EQ(BytesToWord(QByteArray()), 0);

    StringToBytes(QString::fromUtf8("A€é"), bytes);
    EXPECT_EQ(bytes, QByteArray("\x41\x80\xE9"));
    EXPECT_EQ(BytesToString(bytes), QString::fromUtf8("A€é"));
    EXPECT_EQ(BytesToString(QByteArray("\x92\x9E", 2)), QString::fromUtf8("\u2019\u017E"));
}

TEST(ByteHelpers, UserAndComputerNameCutAtNulAndRightTrimmed)
{
    testing_doubles::PlatformDoubles doubles;
    doubles.system.user = QString("  anna  ") + QChar(0) + "junk";
    doubles.system.computer = "BENCH-PC   ";
    EXPECT_EQ(GetWindowsUserName(), "  anna");
    EXPECT_EQ(GetWindowsComputerName(), "BENCH-PC");
}
