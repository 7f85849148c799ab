#include "platform/FileAttributes.h"
#include "platform/Locale.h"
#include "platform/PortList.h"
#include "platform/ProgramLocation.h"
#include "platform/SettingsStore.h"
#include "platform/StatusSink.h"
#include "tests/common/Doubles.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/NonRegularFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRect>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <map>
#include <future>
#include <memory>
#include <optional>
#include <sys/sysmacros.h>
#include <thread>
#include <vector>
#include <unistd.h>

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

    // Whatever way of writing it Qt reads whole is read so; a byte-order mark is taken off.
    const std::pair<QByteArray, QString> spellings[] = {
        {"[General]\r\nCommPort=3\r\n\r\n[Ports]\r\nCOM1=/dev/ttyS0\r\n", "/dev/ttyS0"},
        {"; Quarno\n[General]\n  ; the adapter\nCommPort=3 ; USB\n\n\n[Ports] ; by hand\nCOM1=/dev/ttyS1\n", "/dev/ttyS1"},
        {"[General]\nCommPort = 3\n[Ports]\n COM1\t=\t/dev/ttyS2 \n", "/dev/ttyS2"},
        {"[General]\nCommPort=3\n[Ports]\nCOM1=\"/dev/a b;c=\\\"d\\\"\\\\e\"\n", "/dev/a b;c=\"d\"\\e"},
        {"[General]\nCommPort=3\n[Ports]\nCOM1=/dev/jürgen/模板\n", QString::fromUtf8("/dev/jürgen/模板")},
        {"\xEF\xBB\xBF[General]\nCommPort=3\n[Ports]\nCOM1=/dev/ttyUSB0\n", "/dev/ttyUSB0"},
    };
    for (const auto& [text, device] : spellings) {
        SCOPED_TRACE(text.toStdString());
        editOutside(text);
        EXPECT_EQ(store.Value("CommPort"), "3");
        EXPECT_EQ(store.Value("Ports/COM1"), device);
    }
    EXPECT_EQ(store.Notice(), QString());

    // A write after an outside edit, with no read between, keeps what the edit brought.
    editOutside("[General]\nCommPort=1\n\n[Ports]\nCOM1=/dev/pts/4\n");
    ASSERT_TRUE(store.SetValue("Mode", "1"));
    const QSettings file(ini, QSettings::IniFormat);
    EXPECT_EQ(file.value("Ports/COM1").toString(), "/dev/pts/4");
    EXPECT_EQ(file.value("CommPort").toString(), "1");
    EXPECT_EQ(file.value("Mode").toString(), "1");
    EXPECT_FALSE(store.Value("Ports/COM2").has_value());
}

class CountingStatus : public testing_doubles::RecordingStatus {
public:
    QStringList texts;
    void SetStatusText(const QString& t) override { texts << t; }
};

// What is at path and beside it, to tell that both were left alone.
QString Snapshot(const QString& path)
{
    const QFileInfo info(path);
    QFile file(path);
    const QByteArray bytes = info.isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return QString::number(info.isFile()) + QString::number(info.isDir()) + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()
        + QDir(info.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).join(',');
}

QByteArray RandomBytes(int count)
{
    QRandomGenerator random(40);
    QByteArray bytes;
    while (bytes.size() < count)
        bytes.append(char(random.bounded(256)));
    return bytes;
}

// A settings file that cannot be read or kept: the store never blocks, starts on the defaults
// (keeps the run's values once a write failed), says so once naming the file, leaves it alone.
TEST(SettingsStoreTest, BadFilesAreLeftAloneAndSaidOnce)
{
    const auto write = [](const QByteArray& text) {
        return [text](const QString& p) { QFile f(p); return f.open(QIODevice::WriteOnly) && f.write(text) > 0; };
    };
    // A device node of its own where root may make one, so nothing of the system is at stake.
    const auto device = [](const QString& p) {
        return ::mknod(QFile::encodeName(p).constData(), S_IFCHR | 0600, makedev(1, 5)) == 0
            || QFile::link(testing_files::Device(), p);
    };
    const auto good = write("[General]\nCommPort=3\n");
    struct Row {
        const char* name;
        std::function<bool(const QString&)> make;
        const char* said;
        std::optional<QString> port; // what the first read finds
        rlim_t writeCap;             // writes fail past this size, as on a full disk
    } rows[] = {
        {"pipe", testing_files::MakePipe, "is not a regular file", {}, 0},
        {"folder", [](const QString& p) { return QDir().mkdir(p); }, "is not a regular file", {}, 0},
        {"device", device, "is not a regular file", {}, 0},
        {"unreadable", [&](const QString& p) { return good(p) && QFile::setPermissions(p, {}); }, "could not be read", {}, 0},
        // A sound file with no room for the copy Qt's reader judges it by is not unreadable.
        {"no temporary copy", [&](const QString& p) { return good(p) && qputenv("TMPDIR", QFile::encodeName(p)); },
         "could not be checked, since no temporary copy of it could be made", {}, 0},
        {"damaged", write("[General\nCommPort=3\n"), "is damaged", {}, 0},
        // Read as far as it parses; the file would be rewritten without the rest.
        {"a line without =", write("[General]\nCommPort=3\n\n[Ports]\nCOM1 /dev/ttyUSB0\n"), "is damaged", "3", 0},
        {"random bytes", write(RandomBytes(4096)), "is damaged", {}, 0},
        {"NUL bytes", write(QByteArray("[General]\nCommPort=3\nMode=1\0\0\n", 30)), "is damaged", "3", 0},
        {"invalid UTF-8", write("[General]\nCommPort=3\nInfoTemplate=/home/\xFF\xFEq.txt\n"), "is damaged", "3", 0},
        // Lines Qt reads otherwise than they stand: it drops, merges or cannot name them.
        {"= only in quotes", write("[General]\nCommPort=3\n\n[Ports]\n\"COM3=/dev/ttyS0\"\n"), "is damaged", "3", 0},
        {"open quote", write("[General]\nCommPort=3\nInfoTemplate=\"/home/a.txt\nMode=1\n"), "is damaged", "3", 0},
        {"a key twice", write("[General]\nCommPort=3\nMode=0\nMode=1\n"), "is damaged", "3", 0},
        {"no key", write("[General]\nCommPort=3\n=x\n"), "is damaged", "3", 0},
        {"two headers on a line", write("[General]\nCommPort=3\n[Old][Ports]\nCOM1=/dev/ttyS0\n"), "is damaged", "3", 0},
        // A line Qt runs on into the next (the keys still count right), or files under no section.
        {"last backslash above a header", write("[General]\nCommPort=3\nFileSaveLocation=C:\\Setups\\\n[Ports]\nCOM1=/dev/ttyS0\n"), "is damaged", "3", 0},
        {"last backslash above a header, CRLF", write("[General]\r\nCommPort=3\r\nFileSaveLocation=C:\\Setups\\\r\n[Ports]\r\nCOM1=/dev/ttyS0\r\n"), "is damaged", "3", 0},
        {"open quote over a header", write("[General]\nCommPort=3\nInfoTemplate=\"/home/a.txt\n[Ports]\n; by hand \"\nCOM1=/dev/ttyS0\n"), "is damaged", "3", 0},
        {"open quote over a header, CRLF", write("[General]\r\nCommPort=3\r\nInfoTemplate=\"/home/a.txt\r\n[Ports]\r\n; by hand \"\r\nCOM1=/dev/ttyS0\r\n"), "is damaged", "3", 0},
        {"open quote on the last line", write("[General]\nCommPort=3\nInfoTemplate=\"/home/a.txt\n"), "is damaged", "3", 0},
        {"open quote on the last line, CRLF", write("[General]\r\nCommPort=3\r\nInfoTemplate=\"/home/a.txt\r\n"), "is damaged", "3", 0},
        {"empty header", write("[General]\nCommPort=3\n[]\nMode=1\n"), "is damaged", "3", 0},
        {"empty header, CRLF", write("[General]\r\nCommPort=3\r\n[]\r\nMode=1\r\n"), "is damaged", "3", 0},
        {"no key in a section", write("[General]\nCommPort=3\n[Ports]\n=x\n"), "is damaged", "3", 0},
        {"no key in a section, CRLF", write("[General]\r\nCommPort=3\r\n[Ports]\r\n=x\r\n"), "is damaged", "3", 0},
        {"over 16 MB", write("[General]\nCommPort=3\nJunk=" + QByteArray(16 << 20, 'x') + "\n"), "is damaged", {}, 0},
        {"disk full", good, "could not be saved", "3", 64},
        // The byte-order mark is taken off by a write, which a read-only file refuses.
        {"read-only with a byte-order mark", [&](const QString& p) { return write("\xEF\xBB\xBF[General]\nCommPort=3\n")(p) && QFile::setPermissions(p, QFile::ReadOwner); },
         "could not be saved", "3", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const struct KeepTmp {
            QByteArray was = qgetenv("TMPDIR");
            ~KeepTmp() { was.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", was); }
        } keepTmp;
        const QString path = dir.filePath("s.ini"), big(200, QLatin1Char('x'));
        ASSERT_TRUE(row.make(path));
        if (QString(row.name) == "unreadable" && QFileInfo(path).isReadable())
            continue; // root reads the unreadable file all the same; the damaged row stands in
        const QString before = Snapshot(path);
        CountingStatus status;
        platform::StatusSink::SetInstance(&status);
        platform::QtSettingsStore* store = nullptr;
        std::optional<QString> port;
        bool kept = true;
        // On a thread with a deadline: a store that blocks on the pipe fails instead of hanging.
        std::packaged_task<void()> task([&] {
            store = new platform::QtSettingsStore(path);
            port = store->Value("CommPort");
            std::optional<FileSizeLimit> cap;
            if (row.writeCap)
                cap.emplace(row.writeCap);
            kept = store->SetValue("Ports/COM2", big);
        });
        std::future<void> done = task.get_future();
        std::thread worker(std::move(task));
        const bool inTime = done.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
        while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
            ::close(::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK)); // a writer ends the wait
        worker.join();
        ASSERT_TRUE(inTime) << "blocked on the file";
        std::unique_ptr<platform::QtSettingsStore> owned(store);
        EXPECT_EQ(port, row.port);
        EXPECT_FALSE(kept);
        EXPECT_EQ(store->Value("Ports/COM2"), big); // the run goes on with what it set
        EXPECT_EQ(store->ChildKeys("Ports"), QStringList{"COM2"});
        EXPECT_EQ(status.texts, QStringList{store->Notice()});
        EXPECT_TRUE(store->Notice().contains(row.said) && store->Notice().contains(path)) << store->Notice().toStdString();
        EXPECT_EQ(Snapshot(path), before);
        platform::StatusSink::SetInstance(nullptr);
    }
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whatever Qt writes, the program's own store included, reads whole: quoting and escapes,
// variants, a group named General, nested keys, "%" and non-ASCII in keys and values.
TEST(SettingsStoreTest, EveryFileQtWritesIsReadWhole)
{
    const std::pair<QString, QVariant> values[] = {
        {"CommPort", "3"},
        {"Pos", "120,340"},
        {"FileList/1", "/home/a b/Engine 1.QRN"},
        {"FileList/2", "C:\\Setups\\Ship;1,2=3 [x].QRN"},
        {"General/Mode", "1"},
        {"a/b/c", "deep"},
        {"100%/x y=z", "percent, blank and = in keys"},
        {QString::fromUtf8("Ünï/ключ"), QString::fromUtf8("värde € \U0001F600")},
        {"Quoted", " lead and trail "},
        {"Escapes", QString::fromUtf8("tab\tnew\nline\r\"quote\" \\back\\ \x01\x7f\u00a0;")},
        {"At", "@Variant(not one)"},
        {"Empty", ""},
        {"Rect", QRect(1, 2, 3, 4)},
        {"Bytes", QByteArray("a\0b\n", 4)},
        {"List", QStringList{"a", "b c"}},
    };
    QTemporaryDir dir;
    CountingStatus status;
    platform::StatusSink::SetInstance(&status);
    for (const bool byStore : {false, true}) {
        SCOPED_TRACE(byStore ? "written by the store" : "written by Qt");
        const QString ini = dir.filePath(byStore ? "store.ini" : "qt.ini");
        if (byStore) {
            platform::QtSettingsStore store(ini);
            for (const auto& [key, value] : values)
                ASSERT_TRUE(store.SetValue(key, value.toString()));
        } else {
            QSettings qt(ini, QSettings::IniFormat);
            for (const auto& [key, value] : values)
                qt.setValue(key, value);
        }
        const QByteArray before = Bytes(ini);
        platform::QtSettingsStore store(ini);
        const QSettings qt(ini, QSettings::IniFormat);
        for (const auto& [key, value] : values) {
            if (value.typeId() == QMetaType::QString)
                EXPECT_EQ(store.Value(key), value.toString()) << key.toStdString();
            EXPECT_EQ(store.Value(key).has_value(), qt.contains(key)) << key.toStdString();
        }
        EXPECT_EQ(store.ChildKeys("FileList"), QStringList({"1", "2"}));
        EXPECT_EQ(store.Notice(), QString()) << before.toStdString();
        EXPECT_EQ(Bytes(ini), before);
    }
    EXPECT_EQ(status.texts, QStringList());
    platform::StatusSink::SetInstance(nullptr);
}

// Every key Qt's own reader finds in the bytes, with its value as text.
std::map<QString, QString> ReadIni(const QByteArray& bytes)
{
    QTemporaryFile file;
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return {{"unwritten", ""}};
    const QSettings qt(file.fileName(), QSettings::IniFormat);
    std::map<QString, QString> values;
    for (const QString& key : qt.allKeys())
        values[key] = qt.value(key).toStringList().join(',');
    return values;
}

// Hand-edited files put together from the lines that trouble Qt's reader: every file the store
// reads whole reads, line by line under its header, as Qt reads the whole file.
TEST(SettingsStoreTest, AFileReadWholeReadsLineByLine)
{
    const char* headers[] = {"[General]", "[Ports]", "[Ports] ; by hand", "[FileList]", "[]", "[ ]", "[%General]", "[a/]"};
    const char* others[] = {"", "  ", "; note", "; \"open", "; ends\\"};
    const char* keys[] = {"CommPort", "Mode", "COM1", "1", "a\\b", "", " Pos ", "\"k"};
    const char* tricky[] = {"C:\\Setups\\", "\"", "\"x y\"", " ;c", "\\\\", "\\\"", ",", "\\", "%", "="};
    const char* plain[] = {"3", "/dev/ttyS0", "a b"};
    QRandomGenerator random(52);
    CountingStatus status;
    platform::StatusSink::SetInstance(&status);
    int whole = 0, damaged = 0;
    for (int n = 0; n < 500; ++n) {
        QByteArray text, header = "[General]";
        const QByteArray end = random.bounded(3) == 0 ? "\r\n" : "\n";
        std::vector<std::pair<QByteArray, QByteArray>> entries; // each key line under its header
        for (int lines = 1 + random.bounded(7); lines > 0; --lines) {
            QByteArray line;
            if (const int kind = random.bounded(10); kind == 0) {
                header = line = headers[random.bounded(int(std::size(headers)))];
            } else if (kind == 1) {
                line = others[random.bounded(int(std::size(others)))];
            } else {
                line = QByteArray(keys[random.bounded(int(std::size(keys)))]) + '=';
                for (int p = random.bounded(3); p > 0; --p)
                    line += random.bounded(2) ? plain[random.bounded(int(std::size(plain)))] : tricky[random.bounded(int(std::size(tricky)))];
                entries.emplace_back(header, line);
            }
            text += line + (lines > 1 || random.bounded(2) ? end : QByteArray());
        }
        SCOPED_TRACE(text.toStdString());
        QTemporaryDir dir;
        const QString path = dir.filePath("s.ini");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        file.close();
        status.texts.clear();
        if (!platform::QtSettingsStore(path).Notice().isEmpty()) {
            ++damaged;
            continue;
        }
        ++whole;
        std::map<QString, QString> byLine;
        for (const auto& [above, line] : entries) {
            const std::map<QString, QString> alone = ReadIni(above + '\n' + line);
            ASSERT_EQ(alone.size(), 1u) << line.toStdString();
            byLine.insert(*alone.begin());
        }
        EXPECT_EQ(byLine, ReadIni(text));
        EXPECT_EQ(status.texts, QStringList());
    }
    // Both kinds are met often enough for the rule to be tried.
    EXPECT_GT(whole, 80);
    EXPECT_GT(damaged, 80);
    platform::StatusSink::SetInstance(nullptr);
}

// The file is looked at before each read: damaged while the program runs (a hand edit), or
// replaced by something that is no regular file, it is seen at the next read, said once, and
// never written again.
TEST(SettingsStoreTest, AFileDamagedWhileInUseIsSeenAtTheNextRead)
{
    const QByteArray edited("[General]\nCommPort=4\n\n[Ports]\nCOM1 /dev/ttyUSB0\nCOM2=/dev/ttyS1\n");
    struct Row {
        const char* name;
        std::function<bool(const QString&)> spoil;
        const char* said;
        std::optional<QString> port; // what the next read finds
        QStringList ports;
    } rows[] = {
        {"a line without =", [&](const QString& p) { QFile f(p); return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(edited) == edited.size(); },
         "is damaged", "4", {"COM2"}},
        {"a folder", [](const QString& p) { return QFile::remove(p) && QDir().mkdir(p); }, "is not a regular file", {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString ini = dir.filePath("s.ini");
        CountingStatus status;
        platform::StatusSink::SetInstance(&status);
        platform::QtSettingsStore store(ini);
        ASSERT_TRUE(store.SetValue("CommPort", "3"));
        EXPECT_EQ(store.Value("CommPort"), "3");
        ASSERT_TRUE(row.spoil(ini));
        const QString before = Snapshot(ini);
        EXPECT_EQ(store.Value("CommPort"), row.port);
        ASSERT_EQ(status.texts, QStringList{store.Notice()});
        EXPECT_TRUE(store.Notice().contains(row.said) && store.Notice().contains(ini)) << store.Notice().toStdString();
        EXPECT_EQ(store.ChildKeys("Ports"), row.ports);
        EXPECT_FALSE(store.SetValue("Ports/COM1", "/dev/ttyUSB1"));
        store.Remove("Ports/COM2");
        EXPECT_EQ(store.Value("Ports/COM1"), "/dev/ttyUSB1");
        EXPECT_EQ(store.ChildKeys("Ports"), QStringList{"COM1"});
        EXPECT_EQ(Snapshot(ini), before);
        EXPECT_EQ(status.texts.size(), 1);
        platform::StatusSink::SetInstance(nullptr);
    }
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
