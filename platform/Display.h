#pragma once
// The screen the program shows itself on, decided before the application object exists (Qt
// ends the program when it cannot reach the display it was told to use).
#include "platform/PlatformExport.h"

#include <QStringList>

namespace platform {

class PLATFORM_EXPORT Display {
public:
    enum class Kind {
        Chosen,  // Qt is told which platform to use (QT_QPA_PLATFORM, -platform): that holds
        Present, // the session names a display
        Absent,  // no display at all (a service script, a login without X forwarding)
    };
    // From the arguments and the environment alone: no connection is tried, so it costs nothing.
    static Kind Find(const QStringList& args);
    // Qt's offscreen platform, which needs no display; before the application object exists.
    static void UseOffscreen();
    // After the application object exists: whether its platform has no screen anybody sees.
    static bool Screenless();
    // A run that shows no window, on a screenless platform: its boxes and dialogs close at once
    // unanswered, as if closed, since nobody could ever answer them.
    static void SetUnwatched(bool unwatched);
    static bool Unwatched();
};

} // namespace platform
