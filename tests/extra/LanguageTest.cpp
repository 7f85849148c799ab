#include "extra/extra.h"
#include "platform/LibraryLoader.h"
#include "tests/common/Doubles.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace extra;

namespace {

// Numbered texts held in memory; records what was loaded and freed.
class TableLoader : public platform::LibraryLoader {
public:
    QMap<quint16, QString> texts;
    bool available = true;
    QStringList loaded;
    QList<quintptr> freed;
    quintptr next = 40;

    quintptr Load(const QString& fileName) override
    {
        loaded << fileName;
        return available ? ++next : 0;
    }
    void Free(quintptr handle) override { freed << handle; }
    std::optional<QString> String(quintptr handle, quint16 id) override
    {
        if (handle != next || !texts.contains(id))
            return std::nullopt;
        return texts.value(id);
    }
};

class Language : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::LibraryLoader::SetInstance(&loader);
        loader.texts = {
            {201, "%1 must be between %2 and %3!"},
            {220, "Ready"},
            {300, "   leading kept, trailing cut   "},
            {301, "ten: %10, one: %1"},
            {302, "%1 then %2"},
            {303, QString("cut here") + QChar(0) + "hidden"},
            {304, ""},
            {1001, "0-None"},
            {1002, "1-Alarm"},
            {1003, "2-Alarm - shutdown"},
            {1004, "  17-Wide"},
            {1005, "noseparator"},
            {1007, "9-After the gap"},
            {10000, "English"},
            {11000, "Norsk"},
            {12000, "Deutsch"},
            {14000, "Svenska"},
        };
        ASSERT_TRUE(LoadLanguageLibrary());
    }
    void TearDown() override
    {
        FreeLanguageLibrary();
        platform::LibraryLoader::SetInstance(nullptr);
    }
    testing_doubles::PlatformDoubles doubles;
    TableLoader loader;
};

} // namespace

TEST_F(Language, LoadsByFileNameAndFreesTheOldHandle)
{
    EXPECT_EQ(loader.loaded, QStringList{"XELLAN.DLL"});
    EXPECT_TRUE(LanguageLibraryLoaded());
    const quintptr first = loader.next;
    ASSERT_TRUE(LoadLanguageLibrary());
    EXPECT_EQ(loader.freed, QList<quintptr>{first});
    FreeLanguageLibrary();
    EXPECT_FALSE(LanguageLibraryLoaded());
    FreeLanguageLibrary(); // nothing left to free
    EXPECT_EQ(loader.freed.size(), 2);
    EXPECT_EQ(GetLangString(220), "");
    EXPECT_FALSE(LangStringExists(220));

    loader.available = false;
    EXPECT_FALSE(LoadLanguageLibrary());
    EXPECT_FALSE(LanguageLibraryLoaded());
}

TEST_F(Language, PlaceholdersFilledPerArgumentInOrder)
{
    EXPECT_EQ(GetLangString(201, {"Speed", 0, 100}), "Speed must be between 0 and 100!");
    EXPECT_EQ(FormatLangString(201, {"Level", 0.5, 2.25}), "Level must be between 0.5 and 2.25!");
    EXPECT_EQ(FormatLangString(201, {"Temp", -273.0, 1e6}), "Temp must be between -273 and 1000000!");
    EXPECT_EQ(FormatLangString(201, {"Gain", 0.1f, true}), "Gain must be between 0.1 and True!");
    // Missing arguments leave their placeholders.
    EXPECT_EQ(GetLangString(201, {"X"}), "X must be between %2 and %3!");
    EXPECT_EQ(GetLangString(201), "%1 must be between %2 and %3!");
    // "%1" is also found at the start of "%10".
    EXPECT_EQ(GetLangString(301, {"A"}), "ten: A0, one: A");
    // An argument holding a later placeholder is replaced again in the later pass.
    EXPECT_EQ(GetLangString(302, {"%2", "B"}), "B then B");
    EXPECT_EQ(GetLangString(302, {"x", "%1"}), "x then %1");
}

TEST_F(Language, TextsTrimmedAtTheRightAndCutAtNul)
{
    EXPECT_EQ(GetLangString(300), "   leading kept, trailing cut");
    EXPECT_EQ(GetLangString(303), "cut here");
    loader.texts[305] = QString(9100, 'a') + "tail";
    EXPECT_EQ(GetLangString(305).size(), 9095);
}

TEST_F(Language, MissingAndEmptyIds)
{
    EXPECT_FALSE(LangStringExists(999));
    EXPECT_FALSE(LangStringExists(304)); // empty text counts as missing
    EXPECT_TRUE(LangStringExists(220));
    EXPECT_EQ(GetLangString(999, {"a"}), "");
    EXPECT_EQ(FormatLangString(0, {"a"}), "");
    EXPECT_EQ(FormatLangString(999), "");
}

TEST_F(Language, MessageBoxes)
{
    doubles.presenter.answers = {platform::MsgResult::No};
    EXPECT_EQ(LangMsgBox(0, platform::MsgStyle::YesNo), 0);
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());

    const int style = platform::MsgStyle::YesNo | platform::MsgStyle::Question;
    EXPECT_EQ(LangMsgBox(201, style, {"Speed", 1, 2}), platform::MsgResult::No);
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_EQ(doubles.presenter.shown[0].text, "Speed must be between 1 and 2!");
    EXPECT_EQ(doubles.presenter.shown[0].style, style);
    EXPECT_EQ(doubles.presenter.shown[0].caption, "Quarno Q2");

    // A missing id still shows its (empty) box.
    EXPECT_EQ(LangMsgBox(999, 0), platform::MsgResult::OK);
    EXPECT_EQ(doubles.presenter.shown.size(), 2);
    EXPECT_EQ(doubles.presenter.shown[1].text, "");
}

TEST_F(Language, StatusMessages)
{
    ShowStatusMessage(220);
    EXPECT_EQ(doubles.status.text, "Ready");
    EXPECT_TRUE(doubles.status.timerStopped);
    EXPECT_EQ(doubles.status.interval, 5000);

    ShowStatusMessage(201, {"Speed", 0, 100});
    EXPECT_EQ(doubles.status.text, "Speed must be between 0 and 100!");

    doubles.status.timerStopped = false;
    ShowStatusMessage(0);
    EXPECT_EQ(doubles.status.text, "");
    EXPECT_TRUE(doubles.status.timerStopped);

    ShowStatusMessage(220);
    ShowStatusMessage(999);
    EXPECT_EQ(doubles.status.text, "");
}

TEST_F(Language, ListBlockEndsAtTheFirstGap)
{
    const QVector<LangListItem> items = LangListBlock(1000);
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0].value, 0);
    EXPECT_EQ(items[0].text, "None");
    EXPECT_EQ(items[1].value, 1);
    EXPECT_EQ(items[1].text, "Alarm");
    EXPECT_EQ(items[2].value, 2);
    EXPECT_EQ(items[2].text, "Alarm - shutdown");
    EXPECT_EQ(items[3].value, 17);
    EXPECT_EQ(items[3].text, "Wide");
    EXPECT_EQ(items[4].value, 0);
    EXPECT_EQ(items[4].text, "");
    EXPECT_TRUE(LangListBlock(1007).isEmpty()); // the base itself is never read
    EXPECT_TRUE(LangListBlock(65535).isEmpty());
}

TEST_F(Language, LanguageNamesStopAtTheFirstMissingBlock)
{
    EXPECT_EQ(LanguageNames(), (QStringList{"English", "Norsk", "Deutsch"}));
    FreeLanguageLibrary();
    EXPECT_TRUE(LanguageNames().isEmpty());
}

TEST(ErrorReport, NonZeroNumber)
{
    testing_doubles::PlatformDoubles doubles;
    ShowErrorMessage("Quarno", 53, "File not found", "Form_Load", "frmMain at position 7");
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    const auto& shown = doubles.presenter.shown[0];
    EXPECT_EQ(shown.text,
              "An error occurred in Quarno(Procedure Form_Load ; Module frmMain at position 7).\r\n\r\n"
              "Windows reported the error to be:\r\nError number: 53 File not found");
    EXPECT_EQ(shown.style, platform::MsgStyle::Critical | platform::MsgStyle::OKOnly);
    EXPECT_EQ(shown.caption, "Quarno Q2 run-time error");
}

TEST(ErrorReport, NumberZeroNamesTheRunTimeSystem)
{
    testing_doubles::PlatformDoubles doubles;
    ShowErrorMessage("Quarno", 0, "ignored", "DoFileTransmit", "frmMain");
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_EQ(doubles.presenter.shown[0].text,
              "An error occurred in Quarno(Procedure DoFileTransmit ; Module frmMain).\r\n\r\n"
              "The run-time system reported the error.\r\n");
    EXPECT_EQ(doubles.presenter.shown[0].style, platform::MsgStyle::Critical);
}

// The real loader finds the built XelLan next to the test program.
TEST(LanguageLibrary, RealLibraryLoads)
{
    ASSERT_TRUE(LoadLanguageLibrary());
    EXPECT_EQ(GetLangString(201, {"Speed", 0, 100}), "Speed must be between 0 and 100!");
    FreeLanguageLibrary();
    EXPECT_FALSE(LanguageLibraryLoaded());
}
