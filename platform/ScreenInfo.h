#pragma once
#include "platform/PlatformExport.h"
#include <QRect>

namespace platform {

// The screen's work area (the desktop without its panels), in logical pixels.
class PLATFORM_EXPORT ScreenInfo {
public:
    virtual ~ScreenInfo();
    virtual QRect WorkArea() = 0;

    static ScreenInfo& Instance();
    static void SetInstance(ScreenInfo* info);
};

} // namespace platform
