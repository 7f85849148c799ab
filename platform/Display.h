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
        Present, // the session names a display that answers
        Absent,  // no display at all (a service script, a login without X forwarding), or one
                 // that does not answer (a stale DISPLAY over ssh) or Qt cannot use
    };
    // From the arguments Qt reads and the environment. A named display counts only when Qt has
    // a platform for it and it answers within a second: an X server must greet a connection as
    // it would greet Qt's, a Wayland compositor must answer a round trip.
    // why: for Absent, what is missing or does not answer. platform: for Present, the Qt
    // platform of the display that answered (Qt's own choice would try one that does not).
    static Kind Find(const QStringList& qtArgs, QString* why = nullptr, QString* platform = nullptr);
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
