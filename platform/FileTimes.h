#pragma once
#include "platform/PlatformExport.h"
#include <QDateTime>
#include <QString>

namespace platform {

// Last-write time of a file, read and set.
class PLATFORM_EXPORT FileTimes {
public:
    virtual ~FileTimes();
    virtual bool LastWriteTime(const QString& path, QDateTime& time) = 0;
    virtual bool SetLastWriteTime(const QString& path, const QDateTime& time) = 0;

    static FileTimes& Instance();
    static void SetInstance(FileTimes* times);
};

} // namespace platform
