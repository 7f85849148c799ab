#pragma once
#include "platform/PlatformExport.h"
#include <QMargins>
#include <QRect>

class QWidget;

namespace platform {

// The screen's work area (the desktop without its panels), in logical pixels.
class PLATFORM_EXPORT ScreenInfo {
public:
    virtual ~ScreenInfo();
    virtual QRect WorkArea() = 0;
    // The window manager's decorations around a top-level window (title bar and borders), as
    // far as it has told them; none before the window was first shown.
    virtual QMargins FrameMargins(const QWidget& window);

    static ScreenInfo& Instance();
    static void SetInstance(ScreenInfo* info);
};

} // namespace platform
