#include "extra/extra.h"
#include "platform/AnsiCodePage.h"
#include "tests/common/Doubles.h"
#include "tests/common/NonRegularFiles.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace extra;

namespace {

QString UnitByte(quint8 b)
{
    return QString(platform::AnsiCodePage::ToChar(b));
}

} // namespace

TEST(UnitText, AllPairsBothWays)
{
    const char16_t chars[] = u"ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥";
    for (int i = 0; i < 30; ++i) {
        const QString program(QChar(chars[i]));
        const QString unit = UnitByte(quint8(128 + i));
        EXPECT_EQ(TextToUnit(program), unit) << i;
        EXPECT_EQ(UnitToText(unit), program) << i;
    }
    EXPECT_EQ(TextToUnit(QString::fromUtf8("ƒ")), UnitByte(159));
    EXPECT_EQ(UnitToText(UnitByte(159)), QString::fromUtf8("ƒ"));
}

TEST(UnitText, OtherCharactersPassUnchanged)
{
    // Byte 158 has no character of its own.
    EXPECT_EQ(UnitToText(UnitByte(158)), UnitByte(158));
    EXPECT_EQ(TextToUnit(UnitByte(158)), UnitByte(158));

    const QString danish = QString::fromUtf8("Kølevæske Æble");
    const QString expected = QString::fromUtf8("Kølev") + UnitByte(145) + "ske " + UnitByte(146) + "ble";
    EXPECT_EQ(TextToUnit(danish), expected);
    EXPECT_EQ(UnitToText(expected), danish);

    EXPECT_EQ(TextToUnit(QString::fromUtf8("Straße ø")), QString::fromUtf8("Straße ø"));
    EXPECT_EQ(TextToUnit("Oil pressure %u"), "Oil pressure %u");
    EXPECT_EQ(TextToUnit(""), "");
    // Not in the code page at all.
    EXPECT_EQ(TextToUnit(QString::fromUtf8("Ω")), QString::fromUtf8("Ω"));
}

TEST(WordArrays, RoundTripHighByteFirst)
{
    testing_doubles::PlatformDoubles doubles;
    QByteArray bytes;
    LA2BA({0x1234, 0x00FF}, bytes);
    EXPECT_EQ(bytes, QByteArray("\x12\x34\x00\xFF", 4));
    QVector<qint32> words;
    BA2LA(bytes, words);
    EXPECT_EQ(words, (QVector<qint32>{0x1234, 0x00FF}));

    LA2BA(QVector<qint32>(1536, 65535), bytes);
    EXPECT_EQ(bytes.size(), 3072);
    BA2LA(QByteArray(8256, '\x01'), words);
    EXPECT_EQ(words.size(), 4128);
    EXPECT_EQ(words.last(), 0x0101);
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
}

TEST(WordArrays, WordOutOfRangeStopsAndReports)
{
    testing_doubles::PlatformDoubles doubles;
    QByteArray bytes;
    LA2BA({1, 2, 3, 65536, 5}, bytes);
    EXPECT_EQ(bytes, QByteArray("\x00\x01\x00\x02\x00\x03\x00\x00\x00\x00", 10));
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_TRUE(doubles.presenter.shown[0].text.contains("(Procedure LA2BA ; Module extra)"));
    EXPECT_EQ(doubles.presenter.shown[0].style & 0xF0, platform::MsgStyle::Critical);

    LA2BA({-1}, bytes);
    EXPECT_EQ(bytes, QByteArray(2, '\0'));
    EXPECT_EQ(doubles.presenter.shown.size(), 2);
}

TEST(WordArrays, EmptyOrOddByteArrays)
{
    testing_doubles::PlatformDoubles doubles;
    QVector<qint32> words{9, 9};
    BA2LA(QByteArray(), words);
    EXPECT_TRUE(words.isEmpty());
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_TRUE(doubles.presenter.shown[0].text.contains("(Procedure BA2LA ; Module extra)"));

    // What was converted before the lone last byte stays.
    BA2LA(QByteArray("\x01\x02\x03", 3), words);
    ASSERT_GE(words.size(), 1);
    EXPECT_EQ(words[0], 0x0102);
    EXPECT_EQ(doubles.presenter.shown.size(), 2);

    QByteArray bytes("junk");
    LA2BA({}, bytes);
    EXPECT_TRUE(bytes.isEmpty());
}

TEST(ImageBytes, PutBytesWritesWhatFits)
{
    QByteArray image(8256, '\0');
    EXPECT_FALSE(PutBytes(image, QByteArray("\x0A\x0B\x0C", 3), 8254));
    EXPECT_EQ(image.size(), 8256);
    EXPECT_EQ(quint8(image[8254]), 0x0A);
    EXPECT_EQ(quint8(image[8255]), 0x0B);

    EXPECT_TRUE(PutBytes(image, QByteArray("\x01\x02", 2), 0));
    EXPECT_EQ(image.left(3), QByteArray("\x01\x02\x00", 3));
    EXPECT_FALSE(PutBytes(image, QByteArray("\x07", 1), -1));
    EXPECT_EQ(quint8(image[0]), 0x01);
    EXPECT_TRUE(PutBytes(image, QByteArray(), 9000)); // nothing to write
}

TEST(ImageBytes, GetBytesOnlyInsideTheImage)
{
    QByteArray image(16, '\0');
    for (int i = 0; i < 16; ++i)
        image[i] = char(i);
    QByteArray bytes;
    EXPECT_TRUE(GetBytes(image, 14, 2, bytes));
    EXPECT_EQ(bytes, QByteArray("\x0E\x0F", 2));
    bytes = "keep";
    EXPECT_FALSE(GetBytes(image, 15, 2, bytes));
    EXPECT_FALSE(GetBytes(image, -1, 1, bytes));
    EXPECT_EQ(bytes, "keep");
    EXPECT_TRUE(GetBytes(image, 16, 0, bytes));
    EXPECT_TRUE(bytes.isEmpty());
}

TEST(Files, FileExists)
{
    testing_doubles::PlatformDoubles doubles;
    const QString path = doubles.dir.filePath("a.qrn");
    EXPECT_FALSE(FileExists(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(FileExists(path));
    EXPECT_FALSE(FileExists(doubles.dir.path() + "/missing/b.qrn"));
    EXPECT_FALSE(FileExists(""));
    const QString pipe = doubles.dir.filePath("pipe.qrn");
    ASSERT_TRUE(testing_files::MakePipe(pipe));
    for (const QString& notAFile : {pipe, doubles.dir.path(), testing_files::Device()}) {
        const testing_files::Deadline deadline("FileExists(" + notAFile.toStdString() + ")");
        EXPECT_FALSE(FileExists(notAFile)) << notAFile.toStdString();
    }
}
