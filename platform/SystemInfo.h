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

// The name of the account with that number, or the number itself when the system knows no name
// for it; never empty. The user name falls back on it for the program's own account.
PLATFORM_EXPORT QString AccountName(quint32 uid);

} // namespace platform
