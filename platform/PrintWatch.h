#pragma once
#include "platform/PlatformExport.h"

#include <QString>

#include <functional>
#include <mutex>

namespace platform {

// What a print's worker and the thread that waits for it share: the silence bound, the step the
// worker waits on, and the stop. A stop (Cancel, a closed window, a stop signal) ends the wait
// the worker is in at once; a silence ends it from inside the worker.
class PLATFORM_EXPORT PrintWatch {
public:
    explicit PrintWatch(int silenceMs) : m_silenceMs(silenceMs) {}

    int SilenceMs() const { return m_silenceMs; }

    // The waiting side.
    void Stop();
    bool Stopped() const;
    QString Step() const;

    // The worker.
    void SetStep(const QString& step);
    // No byte came for the bound: the print is given up.
    void SetSilent();
    bool Silent() const;
    // Whether the worker must not go on: stopped or silent.
    bool GivenUp() const;
    // What a stop does to the wait under way (shut its connection down); empty when a stop
    // must only be noted, because cutting now could make the library try again on its own.
    void SetInterrupt(std::function<void()> interrupt);
    // The flag a connection attempt watches.
    int* CancelFlag() { return &m_cancel; }

private:
    mutable std::mutex m_lock;
    int m_silenceMs;
    bool m_stopped = false;
    bool m_silent = false;
    int m_cancel = 0;
    QString m_step;
    std::function<void()> m_interrupt;
};

} // namespace platform
