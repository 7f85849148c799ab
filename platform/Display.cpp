#include "platform/Display.h"

#include <QGuiApplication>

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#define QUARNO_PROBES_DISPLAY 1
#endif

namespace platform {

namespace {
bool g_unwatched = false;

bool Named(const char* variable) { return !qEnvironmentVariable(variable).trimmed().isEmpty(); }

// The value after Qt's option "-name" (or "--name"); isNull when the option is not given.
QString ArgumentValue(const QStringList& args, const char* name, bool* given = nullptr)
{
    const QString single = QLatin1Char('-') + QLatin1String(name);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == single || args.at(i) == QLatin1Char('-') + single) {
            if (given)
                *given = true;
            return args.value(i + 1, QStringLiteral(""));
        }
    }
    return QString();
}

bool HasArgument(const QStringList& args, const char* name)
{
    bool given = false;
    ArgumentValue(args, name, &given);
    return given;
}

#ifdef QUARNO_PROBES_DISPLAY
// Long enough for a display across ssh, short enough for the start-up.
constexpr int kAnswerBoundMs = 1000;

// Runs ask on a thread of its own and waits for its answer at most the bound: a host that
// swallows packets must not hold the start-up. A late answer is dropped.
bool AnswersWithinBound(std::function<bool()> ask)
{
    struct Answer {
        std::mutex lock;
        std::condition_variable done;
        bool finished = false;
        bool yes = false;
    };
    auto answer = std::make_shared<Answer>();
    std::thread([answer, ask = std::move(ask)] {
        const bool yes = ask();
        const std::lock_guard<std::mutex> guard(answer->lock);
        answer->yes = yes;
        answer->finished = true;
        answer->done.notify_all();
    }).detach();
    std::unique_lock<std::mutex> guard(answer->lock);
    answer->done.wait_for(guard, std::chrono::milliseconds(kAnswerBoundMs), [&] { return answer->finished; });
    return answer->finished && answer->yes;
}

// The X server greets a client as it greets Qt's: libxcb (which Qt's X platform is built on)
// connects with the session's credentials, over whatever the name says (a local socket,
// TCP, ssh's forwarding). Without libxcb Qt cannot use X either.
bool XAnswers(const QString& name)
{
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    static void* const library = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return false;
    const auto connect = reinterpret_cast<Connect>(::dlsym(library, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(::dlsym(library, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(::dlsym(library, "xcb_disconnect"));
    if (!connect || !hasError || !disconnect)
        return false;
    return AnswersWithinBound([=, display = name.toLocal8Bit()] {
        int screen = 0;
        void* connection = connect(display.constData(), &screen);
        const bool greeted = connection && hasError(connection) == 0;
        if (connection)
            disconnect(connection);
        return greeted;
    });
}

// Nothing but a listener on the socket; a stale socket file refuses at once.
bool LocalSocketAnswers(const QByteArray& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || std::size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 || errno == EAGAIN;
    ::close(fd);
    return connected;
}

// A compositor listens on WAYLAND_DISPLAY, a path or a name in XDG_RUNTIME_DIR.
bool WaylandAnswers(const QString& name)
{
    QString path = name.trimmed();
    if (!path.startsWith(QLatin1Char('/'))) {
        const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (folder.isEmpty())
            return false;
        path = folder + QLatin1Char('/') + path;
    }
    return LocalSocketAnswers(path.toLocal8Bit());
}
#endif
} // namespace

Display::Kind Display::Find(const QStringList& qtArgs, QString* why)
{
    if (Named("QT_QPA_PLATFORM") || HasArgument(qtArgs, "platform"))
        return Kind::Chosen;
#ifdef QUARNO_PROBES_DISPLAY
    bool displayGiven = false;
    const QString x = ArgumentValue(qtArgs, "display", &displayGiven);
    const QString xName = displayGiven ? x : qEnvironmentVariable("DISPLAY").trimmed();
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY").trimmed();
    QStringList silent;
    if (!xName.isEmpty()) {
        if (XAnswers(xName))
            return Kind::Present;
        silent << (displayGiven ? QStringLiteral("-display ") : QStringLiteral("DISPLAY=")) + xName;
    }
    if (!wayland.isEmpty()) {
        if (WaylandAnswers(wayland))
            return Kind::Present;
        silent << QStringLiteral("WAYLAND_DISPLAY=") + wayland;
    }
    if (why) {
        if (silent.isEmpty())
            *why = QStringLiteral("neither DISPLAY nor WAYLAND_DISPLAY is set");
        else if (silent.size() == 1)
            *why = silent.constFirst() + QStringLiteral(" does not answer");
        else
            *why = QStringLiteral("neither %1 nor %2 answers").arg(silent.at(0), silent.at(1));
    }
    return Kind::Absent;
#else
    Q_UNUSED(why);
    return Kind::Present;
#endif
}

void Display::UseOffscreen() { qputenv("QT_QPA_PLATFORM", "offscreen"); }

bool Display::Screenless()
{
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

void Display::SetUnwatched(bool unwatched) { g_unwatched = unwatched; }

bool Display::Unwatched() { return g_unwatched; }

} // namespace platform
