#include "platform/AnsiCodePage.h"

#include <gtest/gtest.h>

using platform::AnsiCodePage;

TEST(AnsiCodePage, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = AnsiCodePage::ToUnicode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(AnsiCodePage::FromUnicode(text), all);
}

TEST(AnsiCodePage, MapsTheWindows1252Block)
{
    EXPECT_EQ(AnsiCodePage::ToChar(0x80), QChar(0x20AC)); // euro sign
    EXPECT_EQ(AnsiCodePage::ToChar(0x92), QChar(0x2019));
    EXPECT_EQ(AnsiCodePage::ToChar(0xC6), QChar(0x00C6)); // AE
    EXPECT_EQ(AnsiCodePage::FromUnicode(QString::fromUtf8("Æø€")), QByteArray("\xC6\xF8\x80"));
}

TEST(AnsiCodePage, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(AnsiCodePage::FromUnicode(QString::fromUtf8("a\u0416b")), QByteArray("a?b"));
    EXPECT_FALSE(AnsiCodePage::CanEncode(QString::fromUtf8("\u0416")));
    EXPECT_TRUE(AnsiCodePage::CanEncode(QString::fromUtf8("Ærø")));
}
