// Real mail program and screen work area.
#include "platform/InstanceSlot.h"
#include "platform/Mailer.h"
#include "platform/ScreenInfo.h"
#include "platform/TimeSource.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <QWindow>

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

// The mail program has this long to fail. One still running then has taken the message: some
// keep running until the user closes their mail window, which may take hours.
constexpr int kMailerMomentMs = 2000;

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

class XdgMailer : public Mailer {
public:
    bool Available() override { return !QStandardPaths::findExecutable(QStringLiteral("xdg-email")).isEmpty(); }

    bool Compose(const MailMessage& message) override
    {
#ifdef Q_OS_UNIX
        const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
        if (program.isEmpty())
            return false;
        // Arguments go as a list, never through a shell, so no file name can inject a command.
        QList<QByteArray> args{"--utf8", "--subject", message.subject.toUtf8(), "--body", message.body.toUtf8()};
        if (!message.attachmentPath.isEmpty())
            args << "--attach" << QFile::encodeName(message.attachmentPath);
        const int statusFd = StartWatched(QFile::encodeName(program), args);
        if (statusFd < 0)
            return false;
        // xdg-email says by its exit status whether a mail program took the message. The window
        // takes its input at once meanwhile: nothing is held back to be carried out later.
        if (!Readable(statusFd)) {
            QEventLoop loop;
            QSocketNotifier ended(statusFd, QSocketNotifier::Read);
            QObject::connect(&ended, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
            QTimer::singleShot(TimeSource::Instance().TimerInterval(kMailerMomentMs), &loop, &QEventLoop::quit);
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
        Q_UNUSED(message);
        return false;
#endif
    }
};

class RealScreenInfo : public ScreenInfo {
public:
    QRect WorkArea() override
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            if (QScreen* screen = QGuiApplication::primaryScreen())
                return screen->availableGeometry();
        }
        return QRect(0, 0, 1024, 768);
    }
};

InstanceSlot<Mailer, XdgMailer> g_mailer;
InstanceSlot<ScreenInfo, RealScreenInfo> g_screen;

} // namespace

Mailer::~Mailer() = default;
Mailer& Mailer::Instance() { return g_mailer.get(); }
void Mailer::SetInstance(Mailer* mailer) { g_mailer.current = mailer; }

ScreenInfo::~ScreenInfo() = default;
QMargins ScreenInfo::FrameMargins(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}
void ScreenInfo::MoveFrame(QWidget& window, const QPoint& frameTopLeft)
{
    // A top-level move is frame-inclusive: the window system asks for the frame's position.
    window.move(frameTopLeft);
}
ScreenInfo& ScreenInfo::Instance() { return g_screen.get(); }
void ScreenInfo::SetInstance(ScreenInfo* info) { g_screen.current = info; }

} // namespace platform
