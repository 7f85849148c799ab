// The table files themselves, and the generator that turns them into the library.
#include "LangTableData.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

struct Line {
    QString file;
    int id;
    QString text;
};

// Reads "id "text"" lines; escapes \n \t \" \\. Failures are reported through ok.
QList<Line> ReadTables(bool& ok, QString& problem)
{
    ok = true;
    QList<Line> lines;
    const QDir dir(XELLAN_TABLE_DIR);
    const QStringList files = dir.entryList({"*.txt"}, QDir::Files, QDir::Name);
    static const QRegularExpression form(R"re(^(\d+)\s+"((?:[^"\\]|\\[nt"\\])*)"\s*$)re");
    for (const QString& name : files) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) {
            ok = false;
            problem = name + ": cannot open";
            return lines;
        }
        const QStringList raw = QString::fromUtf8(f.readAll()).split('\n');
        for (int i = 0; i < raw.size(); ++i) {
            const QString l = raw[i].trimmed();
            if (l.isEmpty() || l.startsWith('#'))
                continue;
            const auto m = form.match(l);
            if (!m.hasMatch()) {
                ok = false;
                problem = QString("%1:%2: %3").arg(name).arg(i + 1).arg(l);
                return lines;
            }
            QString text;
            const QString q = m.captured(2);
            for (int j = 0; j < q.size(); ++j) {
                if (q[j] == '\\') {
                    const QChar e = q[++j];
                    text += e == 'n' ? QChar('\n') : e == 't' ? QChar('\t') : e;
                } else {
                    text += q[j];
                }
            }
            lines.append({name, m.captured(1).toInt(), text});
        }
    }
    return lines;
}

} // namespace

TEST(TableFiles, MatchTheBuiltLibraryOneToOne)
{
    ASSERT_TRUE(langtest::LibraryLoaded());
    bool ok = false;
    QString problem;
    const QList<Line> lines = ReadTables(ok, problem);
    ASSERT_TRUE(ok) << problem.toStdString();
    QMap<quint16, QString> fromFiles;
    for (const Line& l : lines) {
        EXPECT_FALSE(fromFiles.contains(quint16(l.id))) << l.id << " twice (" << l.file.toStdString() << ")";
        fromFiles.insert(quint16(l.id), l.text);
    }
    EXPECT_EQ(fromFiles, langtest::LibraryTexts());
}

TEST(TableFiles, KeepOneBlockOrLanguageAFile)
{
    bool ok = false;
    QString problem;
    const QList<Line> lines = ReadTables(ok, problem);
    ASSERT_TRUE(ok) << problem.toStdString();
    for (const Line& l : lines) {
        if (l.id < 10000) {
            EXPECT_TRUE(l.file.startsWith("program-")) << l.id;
        } else {
            const int base = l.id / 1000 * 1000;
            EXPECT_TRUE(l.file.startsWith(QString("display-%1-").arg(base))) << l.id << " in " << l.file.toStdString();
        }
    }
}

// ---- the generator ----------------------------------------------------------------------

namespace {

class Generator : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString Write(const QString& name, const QByteArray& content)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }
    // Runs the generator; the generated source on success, the error text in `error`.
    bool Run(const QStringList& tables, QByteArray& output, QString& error)
    {
        const QString out = dir.filePath("out.cpp");
        QFile::remove(out);
        QProcess p;
        p.start(LANC_PATH, QStringList{out} + tables);
        if (!p.waitForFinished(30000))
            return false;
        error = QString::fromUtf8(p.readAllStandardError());
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return false;
        QFile f(out);
        if (!f.open(QIODevice::ReadOnly))
            return false;
        output = f.readAll();
        return true;
    }
};

} // namespace

TEST_F(Generator, WritesEscapesAndCountsAsCSource)
{
    const QString t = Write("a.txt", "# comment\n\n  12 \"a\\tb\\nc \\\"q\\\" \\\\\"  \r\n"
                                     "7 \"\xC3\xA9\"\n");
    QByteArray out;
    QString error;
    ASSERT_TRUE(Run({t}, out, error)) << error.toStdString();
    // Sorted by id; UTF-8 bytes as octal escapes.
    const int seven = out.indexOf("{7, \"\\303\\251\"}");
    const int twelve = out.indexOf("{12, \"a\\tb\\nc \\\"q\\\" \\\\\"}");
    EXPECT_GE(seven, 0) << out.toStdString();
    EXPECT_GT(twelve, seven) << out.toStdString();
    EXPECT_TRUE(out.contains("QuarnoStringCount = 2;"));
}

TEST_F(Generator, AcceptsAByteOrderMark)
{
    const QString t = Write("bom.txt", "\xEF\xBB\xBF# table\n5 \"x\"\n");
    QByteArray out;
    QString error;
    ASSERT_TRUE(Run({t}, out, error)) << error.toStdString();
    EXPECT_TRUE(out.contains("{5, \"x\"}"));
}

TEST_F(Generator, RefusesBadTables)
{
    struct Case {
        const char* content;
        const char* message;
    };
    const Case cases[] = {
        {"10 \"a\"\n10 \"b\"\n", "given twice"},
        {"10 \"a\\x\"\n", "unknown escape"},
        {"10 \"open\n", "missing closing quote"},
        {"10 \"a\" b\n", "text after closing quote"},
        {"\"no id\"\n", "missing id"},
        {"10 text\n", "missing opening quote"},
        {"65536 \"a\"\n", "above 65535"},
        // Would wrap round to id 0 or 10000 if taken modulo 2^32.
        {"4294967296 \"a\"\n", "above 65535"},
        {"4294977296 \"a\"\n", "above 65535"},
        {"10 \"caf\xE9\"\n", "not UTF-8"},
        {"10 \"\xC3\"\n", "not UTF-8"},
    };
    for (const Case& c : cases) {
        const QString t = Write("bad.txt", c.content);
        QByteArray out;
        QString error;
        EXPECT_FALSE(Run({t}, out, error)) << c.content;
        EXPECT_TRUE(error.contains(c.message)) << c.content << " -> " << error.toStdString();
        EXPECT_TRUE(error.contains("bad.txt:")) << error.toStdString();
    }
    // Leading zeros are still the same small id.
    const QString t = Write("zeros.txt", "000000010 \"a\"\n");
    QByteArray out;
    QString error;
    ASSERT_TRUE(Run({t}, out, error)) << error.toStdString();
    EXPECT_TRUE(out.contains("{10, \"a\"}"));
}

TEST_F(Generator, RefusesAnIdGivenInTwoFiles)
{
    const QString a = Write("a.txt", "10 \"a\"\n");
    const QString b = Write("b.txt", "11 \"b\"\n10 \"c\"\n");
    QByteArray out;
    QString error;
    EXPECT_FALSE(Run({a, b}, out, error));
    EXPECT_TRUE(error.contains("b.txt:2: id 10 given twice")) << error.toStdString();
}
