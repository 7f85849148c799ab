#include "platform/WholeFile.h"
#include "platform/WholeFileTesting.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/NonRegularFiles.h"

#include <QDir>
#include <optional>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray Bytes(int n)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char(i * 7);
    return b;
}

} // namespace

// Each row: bytes already in the file (-1: none), bytes written, the file-size cap (0: none),
// and a check made to fail on its own. A write that cannot land whole must leave the old file
// byte for byte, and no stray file.
TEST(WholeFile, EitherTheNewBytesInFullOrTheOldFileUntouched)
{
    using Fault = platform::WholeFileTesting::Fault;
    struct Row {
        int oldSize;
        int newSize;
        rlim_t cap;
        bool ok;
        Fault fault = Fault::None;
        const char* reason = nullptr; // the words of the check that caught it
    };
    const Row rows[] = {
        {4000, 15000, 0, false, Fault::FlushFails, "Write failed"},
        {-1, 15000, 0, false, Fault::FlushFails, "Write failed"},
        {4000, 15000, 0, false, Fault::SizeDiffers, "Short write"},
        {-1, 0, 0, false, Fault::SizeDiffers, "Short write"},
        {-1, 15000, 0, true},
        {4000, 15000, 0, true},
        {4000, 0, 0, true},
        {4000, 15000, 8192, false},   // refused while still in the device's buffer
        {4000, 200000, 65536, false}, // refused in the middle of a large write
        {-1, 15000, 8192, false},
        {4000, 8192, 8192, true},     // exactly at the cap
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.oldSize << " -> " << row.newSize << " cap " << row.cap);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("b.QRN"));
        const QByteArray old = Bytes(row.oldSize < 0 ? 0 : row.oldSize).append("old");
        if (row.oldSize >= 0) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        QString reason;
        bool ok = false;
        {
            std::optional<FileSizeLimit> limit;
            if (row.cap)
                limit.emplace(row.cap);
            platform::WholeFileTesting::SetFault(row.fault);
            ok = platform::WriteWholeFile(path, Bytes(row.newSize), &reason);
            platform::WholeFileTesting::SetFault(Fault::None);
        }
        if (row.reason)
            EXPECT_EQ(reason, row.reason);
        EXPECT_EQ(ok, row.ok) << reason.toStdString();
        if (row.ok)
            EXPECT_EQ(ReadAll(path), Bytes(row.newSize));
        else if (row.oldSize >= 0)
            EXPECT_EQ(ReadAll(path), old);
        else
            EXPECT_FALSE(QFile::exists(path));
        if (!row.ok)
            EXPECT_FALSE(reason.isEmpty());
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), QFile::exists(path) ? 1 : 0);
    }
}

TEST(WholeFile, NoNameOrNoFolderIsAFailureWithAReason)
{
    QTemporaryDir dir;
    for (const QString& path : {QString(), dir.filePath(QStringLiteral("missing/b.QRN"))}) {
        QString reason;
        EXPECT_FALSE(platform::WriteWholeFile(path, "x", &reason)) << path.toStdString();
        EXPECT_FALSE(reason.isEmpty());
    }
}

// A name that holds no regular file is refused and stays what it was: the write never replaces
// a pipe or a device (/dev/null only ever as a name that must be refused), never creates what a
// dangling link points at, and leaves a read-only file alone. A link to a regular file is
// written through to that file and stays a link. What stands at the name is looked at again
// just before the rename, so a pipe put there while the bytes are written stays too.
TEST(WholeFile, OnlyARegularWritableFileOrNoneIsReplaced)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto at = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    for (const char* name : {"old.txt", "target.txt", "ro.txt", "rotarget.txt", "swapped.txt"})
        ASSERT_TRUE(platform::WriteWholeFile(at(name), "old"));
    ASSERT_TRUE(QFile::setPermissions(at("ro.txt"), QFile::ReadOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::setPermissions(at("rotarget.txt"), QFile::ReadOwner));
    ASSERT_TRUE(testing_files::MakePipe(at("pipe.txt")));
    ASSERT_TRUE(QFile::link(at("pipe.txt"), at("pipelink.txt")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), at("devlink.txt")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.txt"));
    ASSERT_TRUE(QFile::link(at("nowhere.txt"), at("dangling.txt")));
    ASSERT_TRUE(QFile::link(at("target.txt"), at("link.txt")));
    ASSERT_TRUE(QFile::link(at("rotarget.txt"), at("rolink.txt")));
    auto entries = [&] {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    };
    const QStringList made = entries();
    struct Row {
        QString path;
        bool ok;
        char kind;        // what stands at the name afterwards
        QString holder;   // the regular file that holds the bytes afterwards, "" none
        QByteArray bytes; // what it holds
        const char* reason = nullptr;
        bool pipeMeanwhile = false; // a pipe takes the name while the bytes are written
    };
    const Row rows[] = {
        {at("new.txt"), true, 'f', at("new.txt"), "new"},
        {at("old.txt"), true, 'f', at("old.txt"), "new"},
        {at("pipe.txt"), false, 'p', "", "", "Not a regular file"},
        {at("pipelink.txt"), false, 'l', "", "", "Not a regular file"},
        {QStringLiteral("/dev/null"), false, 'c', "", "", "Not a regular file"},
        {at("devlink.txt"), false, 'l', "", "", "Not a regular file"},
        {at("folder.txt"), false, 'd', "", "", "Not a regular file"},
        {at("dangling.txt"), false, 'l', "", "", "The link leads to no file"},
        {at("ro.txt"), false, 'f', at("ro.txt"), "old", "The file is read-only"},
        {at("rolink.txt"), false, 'l', at("rotarget.txt"), "old", "The file is read-only"},
        {at("link.txt"), true, 'l', at("target.txt"), "new"},
        {at("swapped.txt"), false, 'p', "", "", "Not a regular file", true},
    };
    for (const Row& row : rows) {
        const std::string name = row.path.toStdString();
        if (row.pipeMeanwhile)
            platform::WholeFileTesting::SetBeforeReplace([](const QString& p) {
                QFile::remove(p);
                testing_files::MakePipe(p);
            });
        QString reason;
        {
            const testing_files::Deadline deadline("WriteWholeFile(" + name + ")");
            EXPECT_EQ(platform::WriteWholeFile(row.path, "new", &reason), row.ok) << name;
        }
        platform::WholeFileTesting::SetBeforeReplace({});
        EXPECT_EQ(reason, row.reason ? QString::fromLatin1(row.reason) : QString()) << name;
        EXPECT_EQ(testing_files::KindAt(row.path), row.kind) << name;
        if (!row.holder.isEmpty())
            EXPECT_EQ(ReadAll(row.holder), row.bytes) << name;
    }
    EXPECT_EQ(testing_files::KindAt(at("pipe.txt")), 'p');
    EXPECT_EQ(testing_files::KindAt(QStringLiteral("/dev/null")), 'c');
    EXPECT_FALSE(QFile::permissions(at("ro.txt")) & QFile::WriteOwner);
    // Nothing left beside them, nor where the dangling link points.
    QStringList expected = made + QStringList{"new.txt"};
    expected.sort();
    EXPECT_EQ(entries(), expected);
}
