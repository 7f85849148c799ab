#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "platform/FileAttributes.h"
#include "tests/app/services/RecentFileTools.h"
#include "tests/common/Doubles.h"
#include "tests/common/ServiceDoubles.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>
#include <QTextBrowser>
#include <QtTest/QTest>
#include <QApplication>
#include <gtest/gtest.h>

using namespace modDiv;

namespace {

class DivTest : public ::testing::Test {
protected:
    testing_doubles::PlatformDoubles platform;
    testing_doubles::ServiceDoubles services;
};

// ---- FilterTextKey ----------------------------------------------------------------------

QChar Filtered(QChar ch)
{
    FilterTextKey(ch);
    return ch;
}

TEST_F(DivTest, FilterPassesPrintableAsciiAndEditingKeys)
{
    for (ushort c : {8, 13, 32, 65, 126})
        EXPECT_EQ(Filtered(QChar(c)), QChar(c)) << c;
    for (ushort c : {0, 7, 9, 10, 27, 31, 127})
        EXPECT_EQ(Filtered(QChar(c)), QChar(0)) << c;
    EXPECT_EQ(platform.presenter.beeps, 7);
}

TEST_F(DivTest, FilterPassesTheUnitsOwnLetters)
{
    const QString unitLetters = QString::fromUtf8("ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥ƒ");
    ASSERT_EQ(unitLetters.size(), 31);
    for (QChar ch : unitLetters)
        EXPECT_EQ(Filtered(ch), ch) << QString(ch).toStdString();
    EXPECT_EQ(platform.presenter.beeps, 0);
}

TEST_F(DivTest, FilterMapsSlashedOAndDropsWhatTheUnitCannotShow)
{
    EXPECT_EQ(Filtered(QChar(u'ø')), QChar(u'ö'));
    EXPECT_EQ(Filtered(QChar(u'Ø')), QChar(u'Ö'));
    EXPECT_EQ(platform.presenter.beeps, 0);
    // Other-case forms of unit letters are not unit letters.
    for (char16_t c : {u'€', u'ß', u'Â', u'Ÿ', u'À', u'Ê', u'ñ', u'Ñ', u'¤', u'€', u'中'})
        EXPECT_EQ(Filtered(QChar(c)), QChar(0)) << int(c);
    EXPECT_EQ(platform.presenter.beeps, 11);
}

TEST_F(DivTest, FilterOnAnsiCodes)
{
    const struct {
        qint16 in, out;
    } cases[] = {{65, 65}, {0xE9, 0xE9}, {0xF8, 0xF6}, {0xD8, 0xD6}, {0x83, 0x83}, {128, 0}, {0xC2, 0}, {127, 0},
                 {300, 0}, {-5, 0}};
    for (const auto& c : cases) {
        qint16 key = c.in;
        FilterTextKey(key);
        EXPECT_EQ(key, c.out) << c.in;
    }
}

TEST_F(DivTest, EveryFilteredTextSurvivesTheUnitEncoding)
{
    for (ushort c = 1; c < 0x2200; ++c) {
        QChar ch(c);
        FilterTextKey(ch);
        if (ch.isNull() || ch.unicode() == 8 || ch.unicode() == 13)
            continue;
        const QString unit = extra::TextToUnit(QString(ch));
        EXPECT_EQ(extra::UnitToText(unit), QString(ch)) << c;
    }
}

// ---- keys, separators, formats ----------------------------------------------------------

TEST_F(DivTest, KeysDownNeedsEveryKey)
{
    EXPECT_TRUE(KeysDown({}));
    EXPECT_FALSE(KeysDown(VkShift));
    platform.keys.shift = true;
    EXPECT_TRUE(KeysDown(VkShift));
    EXPECT_FALSE(KeysDown(VkShift, VkControl));
    platform.keys.control = true;
    EXPECT_TRUE(KeysDown(VkShift, VkControl));
    EXPECT_FALSE(KeysDown(VkShift, 'B', 'N'));
    platform.keys.chars = "BN";
    EXPECT_TRUE(KeysDown(VkShift, 'B', 'N'));
    EXPECT_FALSE(KeysDown(VkMenu));
    EXPECT_FALSE(KeysDown(0x70)); // a key nobody reports
}

TEST_F(DivTest, LocaleSeparatorsAreCutAndTrimmed)
{
    services.locale.date = QString("/ ") + QChar(0) + "junk";
    services.locale.time = ". ";
    EXPECT_EQ(GetDateSeparator(), "/");
    EXPECT_EQ(GetTimeSeparator(), ".");
}

TEST_F(DivTest, DragFormatsAreStablePerName)
{
    const quint32 a = RegisterDragFormat("VIRUDIVIRU");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(RegisterDragFormat("virudiviru"), a);
    EXPECT_NE(RegisterDragFormat("OTHER"), a);
    EXPECT_EQ(RegisterDragFormat(""), 0u);
}

TEST_F(DivTest, BytesAndHex)
{
    EXPECT_EQ(HexByte(5), "05");
    EXPECT_EQ(HexByte(0), "00");
    EXPECT_EQ(HexByte(10), "0A");
    EXPECT_EQ(HexByte(150), "96");
    EXPECT_EQ(HexByte(255), "FF");
    EXPECT_EQ(HexByte(256), "100");
    EXPECT_EQ(HighByte(0x1234), 0x12);
    EXPECT_EQ(LowByte(0x1234), 0x34);
    EXPECT_EQ(HighByte(65535), 255);
    EXPECT_EQ(LowByte(255), 255);
    EXPECT_EQ(HighByte(255), 0);
    EXPECT_EQ(BoolText(true), "True");
    EXPECT_EQ(BoolText(false), "False");
}

// ---- GetSwitchCode ------------------------------------------------------------------------

class SwitchCodeTest : public DivTest {
protected:
    void SetUp() override
    {
        const char* table[] = {"0", "480", "670", "1025", "1370", "1670", "1720", "1760",
                               "1800", "1885", "2010", "2030", "2120", "2340", "2430", "2730"};
        for (int i = 0; i < 16; ++i)
            services.library.texts.insert(quint16(7000 + i), table[i]);
        ASSERT_TRUE(extra::LoadLanguageLibrary());
    }
    void TearDown() override { extra::FreeLanguageLibrary(); }
};

TEST_F(SwitchCodeTest, FirstPositionAtOrAboveTheValue)
{
    EXPECT_EQ(GetSwitchCode(0), "0");
    EXPECT_EQ(GetSwitchCode(-10), "0");
    EXPECT_EQ(GetSwitchCode(1), "1");
    EXPECT_EQ(GetSwitchCode(480), "1");
    EXPECT_EQ(GetSwitchCode(481), "2");
    EXPECT_EQ(GetSwitchCode(1800), "8");
    EXPECT_EQ(GetSwitchCode(2011), "B");
    EXPECT_EQ(GetSwitchCode(2730), "F");
    EXPECT_EQ(GetSwitchCode(2731), "F");
}

TEST_F(SwitchCodeTest, ReadsSixteenPositionsOnly)
{
    services.library.texts.insert(7016, "9999");
    EXPECT_EQ(GetSwitchCode(5000), "F");
}

TEST_F(SwitchCodeTest, MissingPositionsAreSkipped)
{
    services.library.texts.remove(7001);
    services.library.texts.insert(7002, "");
    EXPECT_EQ(GetSwitchCode(1), "3");
    services.library.texts.insert(7003, "1025.6 rpm");
    EXPECT_EQ(GetSwitchCode(1026), "3");
    extra::FreeLanguageLibrary();
    EXPECT_EQ(GetSwitchCode(1), "F");
}

// ---- recent files -------------------------------------------------------------------------

class RecentFileTest : public DivTest {
protected:
    testing_doubles::RecentFileTools tools;
};

TEST_F(RecentFileTest, FirstFileGoesToToolOne)
{
    AddRecentFile("C:\\a.qrn");
    EXPECT_EQ(tools.VisiblePaths(), QStringList({"C:\\a.qrn"}));
    EXPECT_EQ(tools.tools[1].caption, "&1 C:\\a.qrn");
    EXPECT_EQ(platform.settings->Value("FileList/1").value_or(""), "C:\\a.qrn");
    // A "&" of the path stays text in the menu; the path itself is kept as it is.
    AddRecentFile("/data/R&D.qrn");
    EXPECT_EQ(tools.tools[1].caption, "&1 /data/R&&D.qrn");
    EXPECT_EQ(tools.tools[1].path, "/data/R&D.qrn");
}

TEST_F(RecentFileTest, KnownPathMovesToTheTop)
{
    tools.Show({"p1", "p2", "p3", "p4"});
    AddRecentFile("p3");
    EXPECT_EQ(tools.VisiblePaths(), QStringList({"p3", "p1", "p2", "p4"}));
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(tools.tools[n].caption, QStringLiteral("&%1 %2").arg(n).arg(tools.tools[n].path));
    EXPECT_EQ(platform.settings->ChildKeys("FileList"), QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(platform.settings->Value("FileList/2").value_or(""), "p1");
}

TEST_F(RecentFileTest, NewPathPushesTheLastOneOff)
{
    tools.Show({"p1", "p2", "p3", "p4"});
    AddRecentFile("p5");
    EXPECT_EQ(tools.VisiblePaths(), QStringList({"p5", "p1", "p2", "p3"}));
    tools.Show({"p1", "p2"});
    AddRecentFile("P1"); // compared exactly
    EXPECT_EQ(tools.VisiblePaths(), QStringList({"P1", "p1", "p2"}));
    EXPECT_EQ(tools.tools[3].caption, "&3 p2");
    AddRecentFile("  ");
    EXPECT_EQ(tools.VisiblePaths(), QStringList({"P1", "p1", "p2"}));
}

// ---- help and web page --------------------------------------------------------------------

TEST_F(DivTest, HelpOpensBesideTheProgramOrByName)
{
    testing_doubles::RecentFileTools tools;
    QWidget window;
    tools.window = &window;
    services.program.folder = "D:\\";
    ShowHelp();
    services.attributes.files.insert("D:\\QUARNO.HLP", {});
    ShowHelp();
    EXPECT_EQ(services.shell.helpFiles, QStringList({"QUARNO.HLP", "D:\\QUARNO.HLP"}));
    EXPECT_EQ(services.shell.helpOwners.value(1), &window);
    ShowHelp(41);
    EXPECT_EQ(services.shell.helpTopics, QList<int>({0, 0, 41}));
}

// The help shipped next to the program has a topic for every page's context number.
TEST(ShippedHelp, EveryPageTopicOpensInTheHelpWindow)
{
    const QString path = QCoreApplication::applicationDirPath() + "/QUARNO.HLP";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QString html = QString::fromUtf8(file.readAll());
    for (int context : {26, 30, 41, 52, 59, 69, 72, 73})
        EXPECT_TRUE(html.contains(QStringLiteral("name=\"topic%1\"").arg(context))) << context;
    ASSERT_TRUE(platform::Shell::Instance().ShowHelpTopic(nullptr, path, 59));
    bool shown = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* browser = qobject_cast<QTextBrowser*>(w); browser && browser->isVisible()) {
            shown = browser->toPlainText().contains("Speed Sensor");
            QTest::keyClick(browser, Qt::Key_Escape);
            EXPECT_FALSE(browser->isVisible()) << "Escape closes the help";
        }
    EXPECT_TRUE(shown);
    EXPECT_FALSE(platform::Shell::Instance().ShowHelpTopic(nullptr, path + ".missing", 59));
}

// Where nothing opens, the status bar says why.
TEST_F(DivTest, HelpAndWebPageSayWhyNothingOpened)
{
    for (quint16 id : {262, 263, 264})
        services.library.texts.insert(id, QString::number(id) + " %1");
    ASSERT_TRUE(extra::LoadLanguageLibrary());
    services.program.folder = "D:\\";
    const struct Row {
        bool web, beside, opens;
        const char* status;
    } rows[] = {{false, true, true, ""},
                {true, false, true, ""},
                {false, false, false, "262 D:\\QUARNO.HLP"},
                {false, true, false, "263 D:\\QUARNO.HLP"},
                {true, false, false, "264 http://www.kelvaro.com/"}};
    for (const Row& row : rows) {
        services.attributes.files.remove("D:\\QUARNO.HLP");
        if (row.beside)
            services.attributes.files.insert("D:\\QUARNO.HLP", {});
        services.shell.opens = row.opens;
        row.web ? OpenWebSite() : ShowHelp(26);
        EXPECT_EQ(platform.status.text, row.status) << row.web << row.beside << row.opens;
    }
    extra::FreeLanguageLibrary();
}

TEST_F(DivTest, WebSiteFromSettingsOrBuiltIn)
{
    OpenWebSite();
    ASSERT_TRUE(platform.settings->SetValue("WebSite", " http://example.org/q2 "));
    OpenWebSite();
    ASSERT_EQ(services.shell.opened.size(), 2);
    EXPECT_EQ(services.shell.opened.at(0), QString::fromUtf16(kDefaultWebSite));
    EXPECT_EQ(services.shell.opened.at(1), "http://example.org/q2");
}

// ---- files and folders --------------------------------------------------------------------

TEST_F(DivTest, CanWriteFileLeavesAttributesAsFound)
{
    auto& files = services.attributes.files;
    files.insert("ro", {true, false});
    files.insert("ro-locked", {true, true});
    files.insert("locked", {false, true});
    files.insert("plain", {false, false});

    EXPECT_TRUE(CanWriteFile("missing"));
    EXPECT_TRUE(CanWriteFile("plain"));
    EXPECT_TRUE(CanWriteFile("ro"));
    EXPECT_TRUE(files["ro"].readOnly);
    EXPECT_FALSE(CanWriteFile("ro-locked"));
    EXPECT_TRUE(files["ro-locked"].readOnly);
    EXPECT_FALSE(CanWriteFile("locked"));
    EXPECT_FALSE(files["locked"].readOnly);
    EXPECT_FALSE(CanWriteFile(""));
    // The open was tried with the flag cleared each time.
    EXPECT_EQ(services.attributes.writableAtOpen, QList<bool>({true, true, true, true}));

    EXPECT_TRUE(FileIsReadOnly("ro"));
    EXPECT_FALSE(FileIsReadOnly("plain"));
    EXPECT_FALSE(FileIsReadOnly("missing"));
}

TEST_F(DivTest, CanWriteFileOnARealReadOnlyFile)
{
    platform::FileAttributes::SetInstance(nullptr);
    const QString path = platform.dir.filePath("setup.qrn");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("QRN");
    file.close();
    ASSERT_TRUE(platform::FileAttributes::Instance().SetReadOnly(path, true));
    EXPECT_TRUE(FileIsReadOnly(path));
    EXPECT_TRUE(CanWriteFile(path));
    EXPECT_TRUE(FileIsReadOnly(path));
    ASSERT_TRUE(platform::FileAttributes::Instance().SetReadOnly(path, false));
    EXPECT_FALSE(FileIsReadOnly(path));
    EXPECT_TRUE(CanWriteFile(path));
    EXPECT_FALSE(FileIsReadOnly(path));
    EXPECT_TRUE(CanWriteFile(platform.dir.filePath("new.qrn")));
    EXPECT_FALSE(FileIsReadOnly(platform.dir.filePath("new.qrn")));
}

TEST_F(DivTest, FolderPathLevels)
{
    EXPECT_EQ(FolderPathLevels("D:\\a\\b"), QStringList({"D:\\a\\", "D:\\a\\b\\"}));
    EXPECT_EQ(FolderPathLevels("D:\\a\\b\\"), QStringList({"D:\\a\\", "D:\\a\\b\\"}));
    EXPECT_EQ(FolderPathLevels("a\\b"), QStringList({"a\\", "a\\b\\"}));
    EXPECT_EQ(FolderPathLevels("\\\\srv\\share\\x"),
              QStringList({"\\\\srv\\", "\\\\srv\\share\\", "\\\\srv\\share\\x\\"}));
    EXPECT_EQ(FolderPathLevels("/tmp/x//y"), QStringList({"/tmp/", "/tmp/x/", "/tmp/x/y/"}));
    EXPECT_TRUE(FolderPathLevels("").isEmpty());
}

TEST_F(DivTest, CreateFolderPathCreatesEveryLevel)
{
    const QString base = platform.dir.path();
    ASSERT_TRUE(QDir(base).mkdir("a"));
    CreateFolderPath(base + "/a/b/c");
    EXPECT_TRUE(QFileInfo(base + "/a/b/c").isDir());
    CreateFolderPath(base + "/a/b/c"); // all there already
    EXPECT_TRUE(QFileInfo(base + "/a/b/c").isDir());
}

TEST_F(DivTest, BrowseForFolderTrimsStartAndAnswer)
{
    services.dialogs.folderAnswer = QString("C:\\Setups  ") + QChar(0) + "rest";
    EXPECT_EQ(BrowseForFolder(nullptr, "QRN File Open Folder", "C:\\Data\\"), "C:\\Setups");
    EXPECT_EQ(services.dialogs.folderStarts.value(0), "C:\\Data");
    EXPECT_EQ(services.dialogs.folderTitles.value(0), "QRN File Open Folder");
    services.dialogs.folderAnswer.clear();
    EXPECT_EQ(BrowseForFolder(nullptr, "t", "/home/u/"), QString());
    EXPECT_EQ(services.dialogs.folderStarts.value(1), "/home/u");
}

// ---- ports and controls -------------------------------------------------------------------

TEST_F(DivTest, CommPortComboListsTenPortsAndFoundOnes)
{
    services.ports.present = {1, 12};
    QComboBox combo;
    combo.addItem("stale");
    FillCommPortCombo(&combo);
    ASSERT_EQ(combo.count(), 11);
    EXPECT_EQ(combo.itemText(0), "COM1 (/dev/ttyS0)");
    EXPECT_EQ(combo.itemText(1), "COM2 (/dev/ttyS1)   - not detected");
    EXPECT_EQ(combo.itemText(9), "COM10 (/dev/ttyUSB5)   - not detected");
    EXPECT_EQ(combo.itemText(10), "COM12 (/dev/ttyUSB7)");
    EXPECT_EQ(combo.itemData(10).toInt(), 12);
    EXPECT_EQ(combo.itemData(0).toInt(), 1);

    platform.keys.shift = true;
    FillCommPortCombo(&combo);
    ASSERT_EQ(combo.count(), 32);
    EXPECT_EQ(combo.itemText(31), "COM32 (/dev/ttyACM11)   - not detected");
    EXPECT_EQ(combo.itemData(31).toInt(), 32);
    EXPECT_FALSE(PortExists(0));
    FillCommPortCombo(nullptr);
}

TEST_F(DivTest, FitComboDropDownShowsEveryItem)
{
    QComboBox combo;
    for (int i = 0; i < 25; ++i)
        combo.addItem(QString::number(i));
    FitComboDropDown(&combo);
    EXPECT_EQ(combo.maxVisibleItems(), 25);
    FitComboDropDown(nullptr);
}

TEST_F(DivTest, HitTestFindsTheRowUnderThePoint)
{
    QTreeWidget list;
    list.resize(300, 200);
    for (int i = 0; i < 3; ++i)
        list.addTopLevelItem(new QTreeWidgetItem(QStringList{QString::number(i)}));
    list.show();
    const QRect second = list.visualItemRect(list.topLevelItem(1));
    const QModelIndex hit = HitTestListViewAt(&list, list.viewport()->mapToGlobal(second.center()));
    ASSERT_TRUE(hit.isValid());
    EXPECT_EQ(hit.row(), 1);
    const QPoint below = list.viewport()->mapToGlobal(QPoint(5, list.viewport()->height() - 2));
    EXPECT_FALSE(HitTestListViewAt(&list, below).isValid());
    EXPECT_FALSE(HitTestListViewAt(nullptr, below).isValid());
}

// ---- sorted entries -----------------------------------------------------------------------

SortedEntry Entry(const QVariant& data, const QString& tag)
{
    return SortedEntry{{"DATA", data}, {"TAG", tag}};
}

QStringList Tags(const SortedEntries& list)
{
    QStringList tags;
    for (qint32 i = 1; i <= list.Count(); ++i)
        tags << list.Item(i)->value("TAG").toString();
    return tags;
}

TEST(SortedEntryTest, InsertsAfterEqualValues)
{
    std::unique_ptr<SortedEntries> list;
    ASSERT_TRUE(AddSortedEntry(list, Entry("b", "1"), "DATA", ""));
    ASSERT_TRUE(list);
    AddSortedEntry(list, Entry("a", "2"), "DATA", "");
    AddSortedEntry(list, Entry("b", "3"), "DATA", "k3");
    AddSortedEntry(list, Entry("B", "4"), "DATA", ""); // upper case sorts first
    AddSortedEntry(list, Entry("c", "5"), "DATA", "");
    EXPECT_EQ(Tags(*list), QStringList({"4", "2", "1", "3", "5"}));
    ASSERT_NE(list->Item("K3"), nullptr);
    EXPECT_EQ(list->Item("k3")->value("TAG").toString(), "3");
    EXPECT_EQ(list->Key(4), "k3");
    EXPECT_FALSE(AddSortedEntry(list, Entry("z", "6"), "DATA", "k3"));
    EXPECT_EQ(list->Count(), 5);
    EXPECT_EQ(list->Item(0), nullptr);
    EXPECT_EQ(list->Item(6), nullptr);
}

TEST(SortedEntryTest, NumbersSortByValue)
{
    std::unique_ptr<SortedEntries> list;
    AddSortedEntry(list, Entry(10, "ten"), "DATA", "");
    AddSortedEntry(list, Entry(9, "nine"), "DATA", "");
    AddSortedEntry(list, Entry(100, "hundred"), "DATA", "");
    EXPECT_EQ(Tags(*list), QStringList({"nine", "ten", "hundred"}));
}

} // namespace

// The long time as the system's clock shows it: the locale's pattern without a time zone.
TEST(LongTime, LocalePatternWithoutZone)
{
    struct { QLocale::Language language; QLocale::Territory territory; const char* text; } cases[] = {
        {QLocale::C, QLocale::AnyTerritory, "14:07:09"},
        {QLocale::German, QLocale::Germany, "14:07:09"},
        {QLocale::English, QLocale::UnitedStates, "2:07:09\u202fPM"},
    };
    for (const auto& c : cases) {
        QLocale::setDefault(QLocale(c.language, c.territory));
        const QString text = LongTimeText(QTime(14, 7, 9));
        EXPECT_FALSE(text.contains("UTC")) << text.toStdString();
        EXPECT_EQ(text.simplified(), QString::fromUtf8(c.text).simplified()) << text.toStdString();
    }
    QLocale::setDefault(QLocale::system());
}
