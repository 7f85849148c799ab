#pragma once
// SIGINT, SIGTERM and SIGHUP while the program talks to the unit. Armed, such a signal does not
// end the program at once: it reaches the event loop as Stop, so the command can drop its link
// and lock the unit again first. A signal within a second of the caught one is the same stop
// (sent to the process and its group); a later one ends the program at once. Unarmed, the
// three keep the action they had. A signal ignored when the program started (nohup) is
// never caught.
#include "platform/PlatformExport.h"

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace platform {

class PLATFORM_EXPORT StopSignals : public QObject {
    Q_OBJECT
public:
    static StopSignals& Instance();

    // Armed while at least one lives; the outermost forgets the signal of an earlier arming.
    class PLATFORM_EXPORT Arm {
    public:
        Arm();
        ~Arm();
        Arm(const Arm&) = delete;
        Arm& operator=(const Arm&) = delete;
    };

    // The signal caught while armed; 0 when none came.
    int Caught() const { return m_caught; }
    // Caught(), with a signal that came since the event loop last ran: for a wait that runs no
    // event loop.
    int Poll();
    // "SIGINT", "SIGTERM", "SIGHUP" (or "signal n").
    static QString Name(int signal);

    // The handler's clock, in milliseconds; it must be async-signal-safe. nullptr: the system's
    // monotonic clock. Tests step their own.
    using HandlerClock = qint64 (*)();
    static void SetHandlerClock(HandlerClock clock);

    // Raises a signal caught too late for its arming again, to meet the action it has now.
    static void Redeliver(int signal);

    // Ends the program at once, without unwinding: with this exit status, or by the signal's
    // default action (so the parent sees the signal).
    [[noreturn]] static void EndProcess(int status);
    [[noreturn]] static void EndBySignal(int signal);

signals:
    // Once per arming, in the event loop, for the first signal caught.
    void Stop(int signal);

private:
    StopSignals();
    void Install();
    void Restore();
    // Takes what the handler wrote; true when a signal was waiting.
    bool Drain();

    int m_depth = 0;
    int m_caught = 0;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace platform
