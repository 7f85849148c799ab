#include "platform/StopSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_before[3];
// Only a signal whose action was the default when the program started is ever caught: one
// ignored then (nohup) stays ignored.
bool g_catchable[3] = {};
bool g_installed[3] = {};
[[maybe_unused]] const bool g_startRead = [] {
    for (int i = 0; i < 3; ++i) {
        struct sigaction action {};
        g_catchable[i] = sigaction(kSignals[i], nullptr, &action) == 0 && !(action.sa_flags & SA_SIGINFO)
            && action.sa_handler == SIG_DFL;
    }
    return true;
}();
// The handler's only ways out: a byte into the pipe, or the default action for a later signal.
int g_pipe[2] = {-1, -1};
volatile sig_atomic_t g_pending = 0;
// `timeout` and a service manager signal the program and its process group, so one stop
// arrives twice within a millisecond; a signal this close to the caught one is that stop.
constexpr qint64 kSameStopMs = 1000;
std::atomic<qint64> g_caughtAt{0};
static_assert(std::atomic<qint64>::is_always_lock_free, "read and written in the signal handler");

qint64 MonotonicMs()
{
    struct timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now); // async-signal-safe
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}
std::atomic<StopSignals::HandlerClock> g_clock{&MonotonicMs};

void SetAction(int signal, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // The other stop signals wait while one is handled, so they never see it half noted.
    for (const int other : kSignals)
        sigaddset(&action.sa_mask, other);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

void OnStopSignal(int signal)
{
    const int saved = errno;
    const qint64 now = g_clock.load()();
    if (g_pending && now - g_caughtAt.load() < kSameStopMs) {
        // The same stop sent again (to the process and its group): it is being handled.
    } else if (g_pending) {
        // Asked again while the first is still being handled: this one ends the program now.
        for (int i = 0; i < 3; ++i)
            if (g_installed[i])
                SetAction(kSignals[i], SIG_DFL);
        raise(signal);
    } else {
        // The time first: a signal landing between the two must find it.
        g_caughtAt.store(now);
        g_pending = signal;
        const unsigned char byte = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
    }
    errno = saved;
}

} // namespace

StopSignals::StopSignals() = default;

StopSignals& StopSignals::Instance()
{
    static StopSignals* instance = new StopSignals; // lives as long as the handler may write
    return *instance;
}

StopSignals::Arm::Arm()
{
    StopSignals& s = Instance();
    if (s.m_depth++ == 0)
        s.Install();
}

StopSignals::Arm::~Arm()
{
    StopSignals& s = Instance();
    if (--s.m_depth == 0)
        s.Restore();
}

void StopSignals::Install()
{
    if (g_pipe[0] < 0 && pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_pipe[0] = g_pipe[1] = -1;
    if (g_pipe[0] < 0)
        return; // without the pipe the signals keep their action
    if (!m_notifier) {
        m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            if (Drain())
                emit Stop(m_caught);
        });
    }
    Drain();
    m_caught = 0;
    g_pending = 0;
    for (int i = 0; i < 3; ++i) {
        if (!g_catchable[i])
            continue;
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        for (int s : kSignals)
            sigaddset(&action.sa_mask, s);
        action.sa_flags = SA_RESTART;
        g_installed[i] = sigaction(kSignals[i], &action, &g_before[i]) == 0;
    }
    m_notifier->setEnabled(true);
}

void StopSignals::Restore()
{
    if (!m_notifier)
        return;
    for (int i = 0; i < 3; ++i) {
        if (g_installed[i])
            sigaction(kSignals[i], &g_before[i], nullptr);
        g_installed[i] = false;
    }
    // A signal caught just before: kept, though nobody is left to be told.
    Drain();
    m_notifier->setEnabled(false);
}

bool StopSignals::Drain()
{
    bool any = false;
    unsigned char byte = 0;
    while (g_pipe[0] >= 0 && read(g_pipe[0], &byte, 1) == 1) {
        if (!m_caught)
            m_caught = byte;
        any = true;
    }
    return any;
}

int StopSignals::Poll()
{
    if (m_depth > 0)
        Drain();
    return m_caught;
}

QString StopSignals::Name(int signal)
{
    switch (signal) {
    case SIGINT: return QStringLiteral("SIGINT");
    case SIGTERM: return QStringLiteral("SIGTERM");
    case SIGHUP: return QStringLiteral("SIGHUP");
    default: return QStringLiteral("signal %1").arg(signal);
    }
}

void StopSignals::SetHandlerClock(HandlerClock clock) { g_clock.store(clock ? clock : &MonotonicMs); }

void StopSignals::Redeliver(int signal)
{
    if (signal > 0)
        raise(signal);
}

void StopSignals::EndProcess(int status)
{
    std::fflush(nullptr);
    _exit(status);
}

void StopSignals::EndBySignal(int signal)
{
    std::fflush(nullptr);
    SetAction(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
    _exit(128 + signal);
}

} // namespace platform
