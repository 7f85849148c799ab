#pragma once
#include "platform/PlatformExport.h"
#include <QDateTime>
#include <QString>

namespace platform {

// User and computer name and the clock; replaced in tests so bytes are reproducible.
class PLATFORM_EXPORT SystemInfo {
public:
    virtual ~SystemInfo();
    virtual QString UserName() = 0;
    virtual QString ComputerName() = 0;
    virtual QDateTime Now() = 0;     // local time
    virtual QDateTime NowUtc() = 0;
    virtual quint32 TickCount() = 0; // milliseconds since an arbitrary start

    static SystemInfo& Instance();
    static void SetInstance(SystemInfo* info);
};

} // namespace platform
