#pragma once
// Shared pieces of the document, setup file and unit image tests: a fixture with the
// platform doubles and the language library, and a little-endian file builder for writing
// setup files by hand from the record tables.
#include "app/setupdefaults/DefaultSetup.h"
#include "extra/extra.h"
#include "datamodel/XelObject.h"
#include "tests/common/Doubles.h"

#include <QFile>
#include <gtest/gtest.h>

namespace doctest {

inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

inline bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Little-endian setup file bytes, one record field at a time.
class FileBuilder {
public:
    FileBuilder& Byte(int v)
    {
        m_bytes.append(char(quint8(v)));
        return *this;
    }
    FileBuilder& Int(int v) { return Byte(v & 0xFF).Byte((v >> 8) & 0xFF); }
    FileBuilder& Long(qint32 v) { return Int(v & 0xFFFF).Int((quint32(v) >> 16) & 0xFFFF); }
    FileBuilder& Bool(bool v) { return Int(v ? -1 : 0); }
    FileBuilder& Fixed(const QByteArray& text, int n)
    {
        m_bytes.append(text.left(n));
        m_bytes.append(QByteArray(n - qMin<int>(n, int(text.size())), ' '));
        return *this;
    }
    FileBuilder& Var(const QByteArray& text)
    {
        Int(int(text.size()));
        m_bytes.append(text);
        return *this;
    }
    FileBuilder& Zero(int n)
    {
        m_bytes.append(QByteArray(n, '\0'));
        return *this;
    }
    // JData: iTimeout, iMID, lPID, lPPID, iShr, iSub.
    FileBuilder& J(int timeout, int mid, qint32 pid, qint32 ppid, int shr, int sub)
    {
        return Byte(timeout).Byte(mid).Long(pid).Long(ppid).Byte(shr).Byte(sub);
    }
    FileBuilder& Header(int major, int minor) { return Raw("QRN").Int(major).Int(minor); }
    FileBuilder& Raw(const QByteArray& b)
    {
        m_bytes.append(b);
        return *this;
    }
    const QByteArray& Bytes() const { return m_bytes; }
    int Size() const { return int(m_bytes.size()); }

private:
    QByteArray m_bytes;
};

class DocumentFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(extra::LoadLanguageLibrary()) << "libXelLan.so not found next to the test"; }
    void TearDown() override { extra::FreeLanguageLibrary(); }

    QString PathOf(const QString& name) const { return doubles.dir.filePath(name); }

    // The whole file of a document, written without changing it.
    static QByteArray Snapshot(XelObject& doc, const QString& path)
    {
        if (!doc.CreateTempFile(path))
            return QByteArray();
        return ReadAll(path);
    }

    testing_doubles::PlatformDoubles doubles;
};

} // namespace doctest
