#pragma once
#include "platform/PlatformExport.h"
#include <QtGlobal>

namespace platform {

// The one clock of the program's waits, pauses and timer intervals. Tests replace it with a
// clock they step, so no test waits the real time of a pause.
class PLATFORM_EXPORT TimeSource {
public:
    virtual ~TimeSource();
    // Milliseconds since an arbitrary start; never goes backwards.
    virtual qint64 Milliseconds() = 0;
    // Waits ms while keeping the windows alive (the event loop runs meanwhile).
    virtual void Wait(int ms) = 0;
    // Waits ms without letting any event run: the fixed waits after a unit command, during
    // which nothing else may reach the window or the link.
    virtual void Block(int ms);
    // Lets pending events run once, as a pause loop does between two looks at the clock.
    virtual void ProcessEvents() = 0;
    // The interval to give a QTimer for a program interval of ms.
    virtual int TimerInterval(int ms) = 0;

    static TimeSource& Instance();
    static void SetInstance(TimeSource* source);
};

} // namespace platform
