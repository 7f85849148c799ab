#include "platform/FileAttributes.h"
#include "platform/Locale.h"
#include "platform/PortList.h"
#include "platform/ProgramLocation.h"
#include "platform/SettingsStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class AtFolder : public platform::ProgramLocation {
public:
    QString folder;
    QString Folder() override { return folder; }
    QString FileName() override { return QStringLiteral("Quarno.exe"); }
};

TEST(ProgramLocationTest, PathOfAddsOneSeparator)
{
    AtFolder at;
    at.folder = "D:\\";
    EXPECT_EQ(at.PathOf("QUARNO.HLP"), "D:\\QUARNO.HLP");
    at.folder = "C:\\Programs\\Quarno";
    EXPECT_EQ(at.PathOf("QUARNO.HLP"), "C:\\Programs\\Quarno\\QUARNO.HLP");
    at.folder = "/opt/quarno";
    EXPECT_EQ(at.PathOf("QUARNO.HLP"), "/opt/quarno/QUARNO.HLP");
    at.folder = "/";
    EXPECT_EQ(at.PathOf("QUARNO.HLP"), "/QUARNO.HLP");
}

TEST(ProgramLocationTest, RealProgramHasAFolderAndName)
{
    EXPECT_FALSE(platform::ProgramLocation::Instance().Folder().isEmpty());
    EXPECT_FALSE(platform::ProgramLocation::Instance().FileName().isEmpty());
}

TEST(LocaleTest, SeparatorsAreSingleNonLetters)
{
    for (const QString& sep : {platform::Locale::Instance().DateSeparator(), platform::Locale::Instance().TimeSeparator()}) {
        ASSERT_EQ(sep.size(), 1);
        EXPECT_FALSE(sep.at(0).isLetterOrNumber());
    }
}

TEST(PortListTest, NumbersWithoutADeviceDoNotExist)
{
    QTemporaryDir dir;
    platform::QtSettingsStore store(dir.filePath("s.ini"));
    platform::SettingsStore::SetInstance(&store);
    EXPECT_FALSE(platform::PortList::Instance().PortExists(0));
    EXPECT_FALSE(platform::PortList::Instance().PortExists(-3));
    // A number mapped to something that is no serial port.
    ASSERT_TRUE(store.SetValue("Ports/COM7", dir.filePath("nothing")));
    EXPECT_FALSE(platform::PortList::Instance().PortExists(7));
    platform::SettingsStore::SetInstance(nullptr);
}

// A user edits the file while the program runs (a new simulator device, say).
TEST(SettingsStoreTest, ReadsAndWritesSeeEditsMadeOutside)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("s.ini");
    const auto editOutside = [&](const QByteArray& text) {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };
    platform::QtSettingsStore store(ini);
    ASSERT_TRUE(store.SetValue("Ports/COM1", "/dev/pts/3"));
    EXPECT_EQ(store.Value("Ports/COM1"), "/dev/pts/3");

    editOutside("[General]\nCommPort=1\n\n[Ports]\nCOM1=/dev/pts/17\nCOM2=/dev/ttyUSB0\n");
    EXPECT_EQ(store.Value("Ports/COM1"), "/dev/pts/17");
    EXPECT_EQ(store.ChildKeys("Ports"), QStringList({"COM1", "COM2"}));

    // A write after an outside edit, with no read between, keeps what the edit brought.
    editOutside("[General]\nCommPort=1\n\n[Ports]\nCOM1=/dev/pts/4\n");
    ASSERT_TRUE(store.SetValue("Mode", "1"));
    const QSettings file(ini, QSettings::IniFormat);
    EXPECT_EQ(file.value("Ports/COM1").toString(), "/dev/pts/4");
    EXPECT_EQ(file.value("CommPort").toString(), "1");
    EXPECT_EQ(file.value("Mode").toString(), "1");
    EXPECT_FALSE(store.Value("Ports/COM2").has_value());
}

TEST(FileAttributesTest, ReadOnlyFlagRoundTrips)
{
    QTemporaryDir dir;
    platform::FileAttributes& files = platform::FileAttributes::Instance();
    const QString path = dir.filePath("f.qrn");
    EXPECT_FALSE(files.Exists(path));
    EXPECT_FALSE(files.IsReadOnly(path));
    EXPECT_FALSE(files.SetReadOnly(path, true));
    EXPECT_FALSE(files.TryOpenExclusive(path));
    EXPECT_FALSE(files.Exists(dir.path())); // a folder is no file
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(files.Exists(path));
    EXPECT_TRUE(files.TryOpenExclusive(path));
    ASSERT_TRUE(files.SetReadOnly(path, true));
    EXPECT_TRUE(files.IsReadOnly(path));
    ASSERT_TRUE(files.SetReadOnly(path, false));
    EXPECT_FALSE(files.IsReadOnly(path));
    // The open leaves the content alone.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("QRN");
    file.close();
    EXPECT_TRUE(files.TryOpenExclusive(path));
    EXPECT_EQ(QFileInfo(path).size(), 3);
}

} // namespace
