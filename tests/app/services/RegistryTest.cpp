#include "app/services/modRegistry.h"
#include "tests/app/services/RecentFileTools.h"
#include "tests/common/Doubles.h"
#include "tests/common/ServiceDoubles.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace modRegistry;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    testing_doubles::PlatformDoubles platform;
    testing_doubles::ServiceDoubles services;

    platform::SettingsStore& Store() { return *platform.settings; }
    QString Stored(const QString& key) { return Store().Value(key).value_or(QStringLiteral("<missing>")); }
    void Put(const QString& key, const QString& value) { ASSERT_TRUE(Store().SetValue(key, value)); }
};

TEST_F(RegistryTest, MissingValuesReadAsZeroOrEmpty)
{
    EXPECT_EQ(GetCommPort(), 0);
    EXPECT_EQ(GetMode(), 0);
    qint32 first = -1, second = -1;
    GetWindowPos(first, second);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(GetInfoTemplate(), QString());
    EXPECT_EQ(GetFileOpenLocation(), QString());
    EXPECT_EQ(GetFileSaveLocation(), QString());
    // Reading writes nothing.
    EXPECT_TRUE(Store().ChildKeys(QString()).isEmpty());
}

TEST_F(RegistryTest, NumbersAreStoredAsText)
{
    SaveCommPort(3);
    SaveMode(1);
    SaveWindowPos(120, -340);
    EXPECT_EQ(Stored("CommPort"), "3");
    EXPECT_EQ(Stored("Mode"), "1");
    EXPECT_EQ(Stored("Pos"), "120,-340");
    EXPECT_EQ(GetCommPort(), 3);
    EXPECT_EQ(GetMode(), 1);
    qint32 first = 0, second = 0;
    GetWindowPos(first, second);
    EXPECT_EQ(first, 120);
    EXPECT_EQ(second, -340);
}

TEST_F(RegistryTest, NumbersReadTheNumericPrefix)
{
    const struct {
        const char* text;
        qint16 port;
    } cases[] = {
        {"5abc", 5}, {" 7", 7}, {"abc", 0}, {"", 0}, {"2.5", 2}, {"3.5", 4}, {"12 COM", 12},
        {"70000", 0}, // does not fit a port number
    };
    for (const auto& c : cases) {
        Put("CommPort", c.text);
        EXPECT_EQ(GetCommPort(), c.port) << c.text;
    }
    Put("Mode", "-1");
    EXPECT_EQ(GetMode(), -1);
    Put("Mode", "9999999999");
    EXPECT_EQ(GetMode(), 0);
    Put("Mode", "1 Expert Mode!");
    EXPECT_EQ(GetMode(), 1);
}

TEST_F(RegistryTest, WindowPositionNeedsBothNumbers)
{
    qint32 first = -1, second = -1;
    Put("Pos", "120");
    GetWindowPos(first, second);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
    Put("Pos", "120,340");
    GetWindowPos(first, second);
    EXPECT_EQ(first, 120);
    EXPECT_EQ(second, 340);
    Put("Pos", "12.5,x,7");
    GetWindowPos(first, second);
    EXPECT_EQ(first, 12);
    EXPECT_EQ(second, 0);
}

TEST_F(RegistryTest, AlwaysFlagsFreezeTheFolders)
{
    SaveFileOpenLocation("C:\\open1");
    SaveFileSaveLocation("C:\\save1");
    EXPECT_EQ(Stored("FileOpenLocation"), "C:\\open1");
    EXPECT_EQ(Stored("FileSaveLocation"), "C:\\save1");

    Put("FileSaveLocationAlways", "1");
    Put("FileOpenLocationAlways", "0");
    SaveFileSaveLocation("C:\\save2");
    SaveFileOpenLocation("C:\\open2");
    EXPECT_EQ(Stored("FileSaveLocation"), "C:\\save1");
    EXPECT_EQ(Stored("FileOpenLocation"), "C:\\open2");

    Put("FileOpenLocationAlways", "1");
    SaveFileSaveLocation("C:\\save3");
    SaveFileOpenLocation("C:\\open3");
    EXPECT_EQ(Stored("FileSaveLocation"), "C:\\save1");
    EXPECT_EQ(Stored("FileOpenLocation"), "C:\\open2");

    // A flag without a number is no flag.
    Put("FileSaveLocationAlways", "yes");
    SaveFileSaveLocation("C:\\save4");
    EXPECT_EQ(Stored("FileSaveLocation"), "C:\\save4");
}

TEST_F(RegistryTest, FoldersThatNoLongerExistFallBack)
{
    QDir base(platform.dir.path());
    ASSERT_TRUE(base.mkpath("open"));
    ASSERT_TRUE(base.mkpath("save"));
    const QString open = base.filePath("open"), save = base.filePath("save");
    SaveFileOpenLocation(open);
    SaveFileSaveLocation(save);
    EXPECT_EQ(GetFileOpenLocation(), open);
    EXPECT_EQ(GetFileSaveLocation(), save);

    ASSERT_TRUE(base.rmdir("save"));
    EXPECT_EQ(GetFileSaveLocation(), open);
    SaveFileSaveLocation("");
    EXPECT_EQ(GetFileSaveLocation(), open);

    ASSERT_TRUE(base.rmdir("open"));
    EXPECT_EQ(GetFileOpenLocation(), QString());
    EXPECT_EQ(GetFileSaveLocation(), QString());
    // The stored texts stay as they were.
    EXPECT_EQ(Stored("FileOpenLocation"), open);
}

TEST_F(RegistryTest, StartedFromJoinsFolderAndProgramFile)
{
    services.program.folder = "D:\\";
    SaveStartedFrom();
    EXPECT_EQ(Stored("StartedFrom"), "D:\\Quarno.exe");
    services.program.folder = "C:\\Program Files\\Quarno";
    SaveStartedFrom();
    EXPECT_EQ(Stored("StartedFrom"), "C:\\Program Files\\Quarno\\Quarno.exe");
    services.program.folder = "/opt/quarno";
    services.program.fileName = "quarno";
    SaveStartedFrom();
    EXPECT_EQ(Stored("StartedFrom"), "/opt/quarno/quarno");
}

TEST_F(RegistryTest, InfoTemplateAndAwkwardTextsRoundTrip)
{
    const QString texts[] = {"C:\\a,b\\ü æ.txt", "120,340", "\"quoted\"", " lead and trail ", "a=b;c#d"};
    for (const QString& text : texts) {
        SaveInfoTemplate(text);
        EXPECT_EQ(GetInfoTemplate(), text);
    }
}

TEST_F(RegistryTest, FileListIsRewrittenWhole)
{
    testing_doubles::RecentFileTools tools;
    Put("FileList/1", "old1");
    Put("FileList/3", "old3");
    Put("FileList/4", "old4");
    tools.Show({"C:\\a.qrn", "C:\\b.qrn", "C:\\c.qrn"});
    tools.tools[3].visible = false; // hidden but still carrying its path
    SaveFileList();
    EXPECT_EQ(Store().ChildKeys("FileList"), QStringList({"1", "2"}));
    EXPECT_EQ(Stored("FileList/1"), "C:\\a.qrn");
    EXPECT_EQ(Stored("FileList/2"), "C:\\b.qrn");

    // A visible tool without a path ends the list too.
    tools.Show({"C:\\a.qrn", "", "C:\\c.qrn"});
    tools.tools[2].visible = true;
    SaveFileList();
    EXPECT_EQ(Store().ChildKeys("FileList"), QStringList({"1"}));
}

TEST_F(RegistryTest, FileListReadStopsAtTheFirstBlankValue)
{
    testing_doubles::RecentFileTools tools;
    Put("FileList/1", "C:\\one.qrn");
    Put("FileList/2", "   ");
    Put("FileList/3", "C:\\three.qrn");
    GetFileList();
    EXPECT_TRUE(tools.tools[1].visible);
    EXPECT_EQ(tools.tools[1].path, "C:\\one.qrn");
    EXPECT_EQ(tools.tools[1].caption, "&1 C:\\one.qrn");
    EXPECT_FALSE(tools.tools[2].visible);
    EXPECT_FALSE(tools.tools[3].visible);
}

TEST_F(RegistryTest, FileListRoundTripsThroughTheTools)
{
    QStringList paths{"C:\\a.qrn", "D:\\x\\b.qrn", "/home/u/c.qrn", "\\\\srv\\share\\d.qrn"};
    {
        testing_doubles::RecentFileTools tools;
        tools.Show(paths);
        SaveFileList();
    }
    testing_doubles::RecentFileTools fresh;
    GetFileList();
    EXPECT_EQ(fresh.VisiblePaths(), paths);
    EXPECT_EQ(fresh.tools[4].caption, "&4 \\\\srv\\share\\d.qrn");
}

TEST_F(RegistryTest, FileListWithoutMainWindowIsLeftAlone)
{
    Put("FileList/1", "C:\\keep.qrn");
    SaveFileList();
    EXPECT_EQ(Stored("FileList/1"), "C:\\keep.qrn");
}

TEST_F(RegistryTest, PrimitivesRefuseWhatTheyCannotHold)
{
    EXPECT_EQ(OpenRegKey(HKeyCurrentUser, "Software\\Other\\Program", true), 0u);
    EXPECT_EQ(OpenRegKey(12345, "FileList", true), 0u);
    EXPECT_EQ(SetRegValue(0, "CommPort", "1"), RegInvalidHandle);
    EXPECT_EQ(GetRegValue(0, "CommPort"), QString());

    const RegKey key = OpenRegKey(HKeyCurrentUser, "software\\kelvaro\\quarno", false);
    ASSERT_NE(key, 0u);
    EXPECT_EQ(SetRegValue(key, "a/b", "1"), RegInvalidParameter);
    EXPECT_EQ(SetRegValue(key, "", "1"), RegInvalidParameter);
    EXPECT_EQ(SetRegValue(key, "CommPort", "4"), RegSuccess);
    EXPECT_EQ(GetRegValue(key, "CommPort"), "4");
    CloseRegKey(key);
    EXPECT_EQ(GetRegValue(key, "CommPort"), QString());
}

TEST_F(RegistryTest, SubkeysOpenOnlyWhenThereOrCreated)
{
    const QString sub = ProgramKeyPath() + "\\Extra";
    EXPECT_EQ(OpenRegKey(HKeyCurrentUser, sub, false), 0u);
    const RegKey created = OpenRegKey(HKeyCurrentUser, sub, true);
    ASSERT_NE(created, 0u);
    EXPECT_EQ(SetRegValue(created, "Value", "x"), RegSuccess);
    CloseRegKey(created);
    EXPECT_EQ(Stored("Extra/Value"), "x");

    const RegKey program = OpenRegKey(HKeyCurrentUser, ProgramKeyPath(), false);
    const RegKey nested = CreateRegKey(program, "Extra\\Deeper");
    ASSERT_NE(nested, 0u);
    SetRegValue(nested, "N", "1");
    EXPECT_EQ(Stored("Extra/Deeper/N"), "1");
    CloseRegKey(nested);
    CloseRegKey(program);
}

} // namespace

namespace {

TEST_F(RegistryTest, HandEditedListValueReadsAsText)
{
    const QString path = platform.dir.filePath("edited.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nPos=120,340\nCommPort=2\n");
    file.close();
    platform::QtSettingsStore edited(path);
    platform::SettingsStore::SetInstance(&edited);
    qint32 first = 0, second = 0;
    GetWindowPos(first, second);
    EXPECT_EQ(GetCommPort(), 2);
    platform::SettingsStore::SetInstance(platform.settings.get());
    EXPECT_EQ(first, 120);
    EXPECT_EQ(second, 340);
}

} // namespace
