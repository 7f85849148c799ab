#pragma once
#include "platform/PlatformExport.h"
#include <QString>
#include <QtGlobal>

namespace platform {

// What tells the file the program read apart from any later one at the same path: the file
// itself (device and inode, so a file replaced by a rename differs), its size and its
// last-write time to the nanosecond.
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 writeSeconds = 0;
    qint64 writeNanoseconds = 0;

    bool IsValid() const { return size >= 0; }
    bool operator==(const FileStamp&) const = default;
};

class PLATFORM_EXPORT FileIdentity {
public:
    virtual ~FileIdentity();
    // The stamp of the file a path names (a link is followed); false and an invalid stamp
    // when there is no such file.
    virtual bool Stamp(const QString& path, FileStamp& stamp) = 0;
    // Sets the last-write time to the one in stamp, nanoseconds and all; the file's other
    // times stay as they are.
    virtual bool SetLastWriteTime(const QString& path, const FileStamp& stamp) = 0;

    static FileIdentity& Instance();
    static void SetInstance(FileIdentity* identity);
};

} // namespace platform
