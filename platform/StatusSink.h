#pragma once
#include "platform/PlatformExport.h"
#include <QString>

namespace platform {

// The main window's status text and the timer that restores the previous text.
// The main window installs itself; until then status texts go nowhere.
class PLATFORM_EXPORT StatusSink {
public:
    virtual ~StatusSink();
    virtual void StopRestoreTimer(int intervalMs) = 0;
    virtual void SetStatusText(const QString& text) = 0;
    // The text shown now.
    virtual QString StatusText() = 0;

    static StatusSink& Instance();
    static void SetInstance(StatusSink* sink);
};

} // namespace platform
