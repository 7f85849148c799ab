#include "platform/RegularFile.h"
#include "tests/common/NonRegularFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The check itself must never open the name: a pipe would hold it until the deadline ends the run.
TEST(RegularFile, OnlyARegularFileOrALinkToOneCounts)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("setup.QRN");
    const QString pipe = dir.filePath("pipe.QRN");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(testing_files::MakePipe(pipe));
    ASSERT_TRUE(QFile::link(file, dir.filePath("link.QRN")));
    ASSERT_TRUE(QFile::link(pipe, dir.filePath("pipelink.QRN")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.QRN"));
    const struct {
        QString path;
        bool regular;
    } rows[] = {
        {file, true},
        {dir.filePath("link.QRN"), true},
        {pipe, false},
        {dir.filePath("pipelink.QRN"), false},
        {dir.filePath("folder.QRN"), false},
        {testing_files::Device(), false},
        {QStringLiteral("/dev/null"), false},
        {dir.filePath("none.QRN"), false},
        {QString(), false},
    };
    for (const auto& row : rows) {
        const testing_files::Deadline deadline("IsRegularFile(" + row.path.toStdString() + ")");
        EXPECT_EQ(platform::IsRegularFile(row.path), row.regular) << row.path.toStdString();
    }
}
