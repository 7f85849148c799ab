#pragma once
// Small helpers for the part tests: byte arrays from lists and record I/O over memory.
#include "datamodel/RecordIO.h"

#include <QBuffer>
#include <functional>
#include <initializer_list>

namespace parttest {

inline QByteArray Bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(quint8(v)));
    return b;
}

inline QByteArray Blanks(int n) { return QByteArray(n, ' '); }

// text followed by blanks up to n bytes.
inline QByteArray Padded(const char* text, int n)
{
    QByteArray b(text);
    return b + Blanks(n - int(b.size()));
}

// Writes with a fresh writer over memory and returns the bytes.
template <class Part>
QByteArray WriteRecord(Part& part, bool* ok = nullptr)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    RecordWriter w(&buf);
    const bool result = part.WriteToFile(w);
    if (ok)
        *ok = result;
    return out;
}

// Reads from bytes with the given version; consumed = bytes taken.
template <class Part>
bool ReadRecord(Part& part, const QByteArray& bytes, const QString& version, qint64* consumed = nullptr)
{
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    RecordReader r(&buf);
    const bool result = part.ReadFromFile(r, version);
    if (consumed)
        *consumed = buf.pos();
    return result;
}

} // namespace parttest
