#pragma once
// Helpers for the byte-exact tests of the settings parts.
#include "datamodel/RecordIO.h"

#include <QBuffer>
#include <QByteArray>
#include <functional>
#include <initializer_list>

namespace settings_test {

inline QByteArray Bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(quint8(v)));
    return b;
}

inline QByteArray Blanks(int n) { return QByteArray(n, ' '); }

// What a part writes through a record writer.
inline QByteArray Written(const std::function<bool(RecordWriter&)>& write, bool* ok = nullptr)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    RecordWriter w(&buf);
    const bool result = write(w);
    if (ok)
        *ok = result;
    return out;
}

// Reads from bytes; consumed receives how many bytes the part took.
inline bool ReadFrom(const QByteArray& bytes, const std::function<bool(RecordReader&)>& read,
                     qint64* consumed = nullptr)
{
    QByteArray data = bytes;
    QBuffer buf(&data);
    buf.open(QIODevice::ReadOnly);
    RecordReader r(&buf);
    const bool ok = read(r);
    if (consumed)
        *consumed = buf.pos();
    return ok;
}

// A fresh unit image as the document builds it.
inline QByteArray NewImage() { return QByteArray(8256, '\0'); }

inline int At(const QByteArray& image, int i) { return quint8(image.at(i)); }

} // namespace settings_test
