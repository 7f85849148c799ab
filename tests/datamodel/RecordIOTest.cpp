#include "datamodel/ImageAccess.h"
#include "datamodel/RecordIO.h"

#include <QBuffer>

#include <cstring>
#include <limits>
#include <gtest/gtest.h>

namespace {

QByteArray Bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(quint8(v)));
    return b;
}

QByteArray Write(const std::function<void(RecordWriter&)>& body, bool* ok = nullptr)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    RecordWriter w(&buf);
    body(w);
    if (ok)
        *ok = w.Ok();
    return out;
}

} // namespace

TEST(RecordIO, FieldsFollowEachOtherWithoutPadding)
{
    const QByteArray out = Write([](RecordWriter& w) {
        w.Byte(7);
        w.Integer(-2);
        w.Long(0x01020304);
        w.Boolean(true);
        w.Boolean(false);
    });
    EXPECT_EQ(out, Bytes({7, 0xFE, 0xFF, 4, 3, 2, 1, 0xFF, 0xFF, 0, 0}));
}

TEST(RecordIO, FixedTextIsPaddedWithBlanksAndCut)
{
    const QByteArray out = Write([](RecordWriter& w) {
        w.FixedText(QStringLiteral("4.47"), 12);
        w.FixedText(QStringLiteral("abcdef"), 3);
        w.FixedText(QString::fromUtf8("\xC3\x86\xE2\x82\xAC"), 2); // Æ €
    });
    EXPECT_EQ(out, QByteArray("4.47        abc") + Bytes({0xC6, 0x80}));
}

TEST(RecordIO, VariableTextAndJData)
{
    JData d;
    d.iTimeout = 5;
    d.iMID = 128;
    d.lPID = 61444;
    d.lPPID = -1;
    d.iShr = 3;
    d.iSub = 9;
    const QByteArray out = Write([&](RecordWriter& w) {
        w.VarText(QStringLiteral("ab"));
        w.Data(d);
    });
    EXPECT_EQ(out, Bytes({2, 0, 'a', 'b', 5, 128, 0x04, 0xF0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 3, 9}));

    QBuffer in;
    in.setData(out);
    in.open(QIODevice::ReadOnly);
    RecordReader r(&in);
    QString s;
    JData back;
    EXPECT_TRUE(r.VarText(s));
    EXPECT_TRUE(r.Data(back));
    EXPECT_EQ(s, QStringLiteral("ab"));
    EXPECT_EQ(back, d);
}

TEST(RecordIO, DateIsDayCountFrom1899)
{
    // 2000-01-01 12:00 = 36526.5 days
    const QByteArray out = Write([](RecordWriter& w) {
        w.Date(QDateTime(QDate(2000, 1, 1), QTime(12, 0)));
    });
    EXPECT_EQ(out, Bytes({0, 0, 0, 0, 0xD0, 0xD5, 0xE1, 0x40}));
    QDateTime back;
    ASSERT_TRUE(DoubleToDate(-1.25, back));
    EXPECT_EQ(back, QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
    EXPECT_DOUBLE_EQ(DateToDouble(back), -1.25);
}

TEST(RecordIO, ReaderIsStickyAfterShortData)
{
    QBuffer in;
    in.setData(Bytes({1, 0xFF, 0x7F, 9}));
    in.open(QIODevice::ReadOnly);
    RecordReader r(&in);
    quint8 b = 0;
    qint16 i = 0;
    qint32 l = 42;
    bool flag = false;
    EXPECT_TRUE(r.Byte(b));
    EXPECT_TRUE(r.Integer(i));
    EXPECT_FALSE(r.Long(l)); // only one byte left
    EXPECT_FALSE(r.Boolean(flag));
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(b, 1);
    EXPECT_EQ(i, 32767);
    EXPECT_EQ(l, 42);
}

TEST(RecordIO, BooleanReadsTrueForAnyNonZero)
{
    QBuffer in;
    in.setData(Bytes({1, 0, 0, 0, 0xFF, 0xFF}));
    in.open(QIODevice::ReadOnly);
    RecordReader r(&in);
    bool a = false, b = true, c = false;
    r.Boolean(a);
    r.Boolean(b);
    r.Boolean(c);
    EXPECT_TRUE(a);
    EXPECT_FALSE(b);
    EXPECT_TRUE(c);
}

TEST(RecordIO, VersionSplit)
{
    EXPECT_EQ(FileVersion::Parse("2.15").major, 2);
    EXPECT_EQ(FileVersion::Parse("2.15").minor, 15);
    EXPECT_EQ(FileVersion::Parse("2.9").minor, 9);
    EXPECT_EQ(FileVersion::Parse("4").major, 4);
    EXPECT_EQ(FileVersion::Parse("4").minor, 0);
    EXPECT_EQ(FileVersion::Parse("x.y").major, 0);
    EXPECT_TRUE(FileVersion::Parse("2.10").AtLeast(2, 9));
    EXPECT_FALSE(FileVersion::Parse("2.9").AtLeast(2, 10));
}

TEST(RecordIO, FixedTextHelpers)
{
    EXPECT_EQ(FixedText::Normalise(QString("ab") + QChar(0) + "xyz", 5), QStringLiteral("ab   "));
    EXPECT_EQ(FixedText::TrimBoth(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    EXPECT_EQ(FixedText::TrimRight(QStringLiteral(" a  ")), QStringLiteral(" a"));
}

TEST(ImageAccess, BoundsAndWords)
{
    QByteArray image(4, '\0');
    EXPECT_TRUE(ImageAccess::PutWord(image, 0, 0x1234));
    EXPECT_FALSE(ImageAccess::PutWord(image, 2, 65536));
    EXPECT_FALSE(ImageAccess::PutWord(image, 3, 0xABCD)); // high byte fits, low does not
    EXPECT_EQ(image, Bytes({0x12, 0x34, 0, 0xAB}));
    qint32 w = -7;
    EXPECT_FALSE(ImageAccess::GetWord(image, 3, w));
    EXPECT_EQ(w, -7);
    EXPECT_FALSE(ImageAccess::PutBytes(image, 2, QByteArray("xyz")));
    EXPECT_EQ(image.mid(2), QByteArray("xy"));
    quint8 b;
    EXPECT_FALSE(ImageAccess::GetByte(image, -1, b));
}

TEST(ImageAccess, SignedWordRoundTripsItsRange)
{
    EXPECT_EQ(ImageAccess::SignedToWord(-40), 65495);
    EXPECT_EQ(ImageAccess::WordToSigned(65495), -40);
    EXPECT_EQ(ImageAccess::WordToSigned(32767), -32768);
    EXPECT_EQ(ImageAccess::WordToSigned(65535), 0);
    for (qint32 v : {-32768, -1, 0, 1, 32766})
        EXPECT_EQ(ImageAccess::WordToSigned(qint32(ImageAccess::SignedToWord(v))), v) << v;
    EXPECT_FALSE(ImageAccess::SignedWordFits(32767));
    EXPECT_FALSE(ImageAccess::SignedWordFits(-32769));
}

TEST(RecordIO, ADateThatIsNoDateReadsAsDayZeroAndKeepsTheRecordAligned)
{
    QByteArray bytes;
    const double garbage = std::numeric_limits<double>::quiet_NaN();
    const double huge = 1e300;
    for (double d : {garbage, huge}) {
        char raw[8];
        std::memcpy(raw, &d, 8); // little-endian machine, as the file
        bytes.append(raw, 8);
    }
    bytes.append(char(0x2A));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    RecordReader r(&buffer);
    QDateTime first, second;
    quint8 after = 0;
    EXPECT_TRUE(r.Date(first));
    EXPECT_TRUE(r.Date(second));
    EXPECT_TRUE(r.Byte(after));
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(first, QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    EXPECT_EQ(second, first);
    EXPECT_EQ(after, 0x2A);
}
