#include "platform/HandOver.h"
#include "platform/TimeSource.h"

#include <QEventLoop>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#endif

namespace platform {

namespace {

#ifdef Q_OS_UNIX
// Between fork and exec only async-signal-safe calls: the program has other threads.
void SetSignal(int signal, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
}

// Starts the program in a session of its own, as the child of a watcher that the system adopts:
// it outlives this program, and neither it nor the watcher is ever left as a zombie of ours.
// The watcher writes the program's wait status into the descriptor returned (-1: nothing
// started) when the program ends; whoever still listens then reads it.
int StartWatched(const QByteArray& program, const QList<QByteArray>& args)
{
    std::vector<char*> argv{const_cast<char*>(program.constData())};
    for (const QByteArray& arg : args)
        argv.push_back(const_cast<char*>(arg.constData()));
    argv.push_back(nullptr);
    const long openMax = ::sysconf(_SC_OPEN_MAX);
    const int fdLimit = openMax > 0 && openMax < 65536 ? int(openMax) : 65536;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    const pid_t first = ::fork();
    if (first < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return -1;
    }
    if (first == 0) {
        ::setsid();
        // The status goes out on descriptor 3; nothing else of the program's (the serial port,
        // a file being written) stays open in a process that may run for hours.
        if (fds[1] != 3)
            ::dup2(fds[1], 3);
        const int null = ::open("/dev/null", O_RDWR);
        for (int fd = 0; null >= 0 && fd <= 2; ++fd)
            ::dup2(null, fd);
        if (::close_range(4, ~0U, 0) != 0)
            for (int fd = 4; fd < fdLimit; ++fd)
                ::close(fd);
        const pid_t watcher = ::_Fork(); // no fork handlers: their locks may be held by threads gone here
        if (watcher != 0)
            ::_exit(watcher < 0 ? 1 : 0);
        // The program's own handlers (the stop signals) mean nothing here.
        for (int sig = 1; sig < NSIG; ++sig) {
            struct sigaction old {};
            if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler != SIG_IGN && old.sa_handler != SIG_DFL)
                SetSignal(sig, SIG_DFL);
        }
        SetSignal(SIGCHLD, SIG_DFL);
        SetSignal(SIGPIPE, SIG_IGN); // the program may have stopped listening long ago
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        const pid_t mail = ::_Fork();
        if (mail == 0) {
            ::close(3);
            SetSignal(SIGPIPE, SIG_DFL);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        int status = 127 << 8; // as "exit 127": it never ran
        while (mail > 0 && ::waitpid(mail, &status, 0) < 0 && errno == EINTR) {
        }
        [[maybe_unused]] const ssize_t written = ::write(3, &status, sizeof status);
        ::_exit(0);
    }
    ::close(fds[1]);
    int status = -1;
    while (::waitpid(first, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ::close(fds[0]);
        return -1;
    }
    return fds[0];
}

bool Readable(int fd)
{
    pollfd look{fd, POLLIN, 0};
    return ::poll(&look, 1, 0) > 0;
}
#endif

} // namespace

bool HandOver(const QString& program, const QList<QByteArray>& args, int momentMs)
{
#ifdef Q_OS_UNIX
    const int statusFd = StartWatched(QFile::encodeName(program), args);
    if (statusFd < 0)
        return false;
    if (!Readable(statusFd)) {
        QEventLoop loop;
        QSocketNotifier ended(statusFd, QSocketNotifier::Read);
        QObject::connect(&ended, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
        QTimer::singleShot(TimeSource::Instance().TimerInterval(momentMs), &loop, &QEventLoop::quit);
        loop.exec();
    }
    bool failed = false;
    if (Readable(statusFd)) {
        int wait = 0;
        ssize_t got = 0;
        while ((got = ::read(statusFd, &wait, sizeof wait)) < 0 && errno == EINTR) {
        }
        failed = got != ssize_t(sizeof wait) || !WIFEXITED(wait) || WEXITSTATUS(wait) != 0;
    }
    ::close(statusFd);
    return !failed;
#else
    Q_UNUSED(program);
    Q_UNUSED(args);
    Q_UNUSED(momentMs);
    return false;
#endif
}

} // namespace platform
