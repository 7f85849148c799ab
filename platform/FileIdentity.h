#pragma once
#include "platform/PlatformExport.h"
#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace platform {

// What tells the file the program read apart from any later one at the same path: the file
// itself (device and inode, so a file replaced by a rename differs), its size, its last-write
// time to the nanosecond, and its change time, which no program can set back: a rewrite of the
// same size with its old last-write time put back still moves it.
struct PLATFORM_EXPORT FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 writeSeconds = 0;
    qint64 writeNanoseconds = 0;
    qint64 changeSeconds = 0;
    qint64 changeNanoseconds = 0;

    bool IsValid() const { return size >= 0; }
    bool operator==(const FileStamp&) const = default;

    // The last-write time in local time, to the millisecond.
    QDateTime LastWriteTime() const;
};

// Stats a file and restores its last-write time; the one seam for file times, so tests can pin
// the times a report prints or change a file at a chosen moment.
class PLATFORM_EXPORT FileIdentity {
public:
    virtual ~FileIdentity();
    // The stamp of the file a path names (a link is followed); false and an invalid stamp
    // when there is no such file.
    virtual bool Stamp(const QString& path, FileStamp& stamp) = 0;
    // Sets the last-write time to the one in stamp, nanoseconds and all; the file's other
    // times stay as they are (but for the change time, which any such change moves).
    virtual bool SetLastWriteTime(const QString& path, const FileStamp& stamp) = 0;

    // The last-write time alone, through Stamp.
    bool LastWriteTime(const QString& path, QDateTime& time);

    static FileIdentity& Instance();
    static void SetInstance(FileIdentity* identity);
};

} // namespace platform
