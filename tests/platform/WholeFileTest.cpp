#include "platform/WholeFile.h"
#include "platform/WholeFileTesting.h"
#include "tests/common/FileSizeLimit.h"

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
