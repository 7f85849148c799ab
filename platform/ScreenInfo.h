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
    // Asks the window manager to put the window's frame (title bar included) at a point. Before
    // the decorations are known the window manager places the frame itself; one that places
    // the client there instead is corrected by the caller once the decorations are known.
    virtual void MoveFrame(QWidget& window, const QPoint& frameTopLeft);

    static ScreenInfo& Instance();
    static void SetInstance(ScreenInfo* info);
};

} // namespace platform
