#pragma once
#include "platform/PlatformExport.h"
#include <QString>

namespace platform {

// The read-only flag of a file and whether another program holds it.
class PLATFORM_EXPORT FileAttributes {
public:
    virtual ~FileAttributes();
    virtual bool Exists(const QString& path) = 0;
    // False also when the file does not exist.
    virtual bool IsReadOnly(const QString& path) = 0;
    // False when the flag could not be changed.
    virtual bool SetReadOnly(const QString& path, bool readOnly) = 0;
    // Opens the existing file for appending with read-write access and a lock against other
    // programs, and closes it again; false when that fails (another program holds the file).
    virtual bool TryOpenExclusive(const QString& path) = 0;

    static FileAttributes& Instance();
    static void SetInstance(FileAttributes* attributes);
};

} // namespace platform
