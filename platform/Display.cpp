#include "platform/Display.h"

#include <QGuiApplication>

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <tuple>

#include <QDir>
#include <QLibraryInfo>

#include <dlfcn.h>
#include <poll.h>
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
constexpr std::chrono::milliseconds kAnswerBound(1000);
using Clock = std::chrono::steady_clock;

// An answer asked for on a thread of its own: a host that swallows packets must not hold the
// start-up. A late answer is dropped.
struct Answer {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    bool yes = false;
};

std::shared_ptr<Answer> Ask(std::function<bool()> ask)
{
    auto answer = std::make_shared<Answer>();
    std::thread([answer, ask = std::move(ask)] {
        const bool yes = ask();
        const std::lock_guard<std::mutex> guard(answer->lock);
        answer->yes = yes;
        answer->finished = true;
        answer->done.notify_all();
    }).detach();
    return answer;
}

bool Await(Answer& answer, Clock::time_point deadline)
{
    std::unique_lock<std::mutex> guard(answer.lock);
    answer.done.wait_until(guard, deadline, [&] { return answer.finished; });
    return answer.finished && answer.yes;
}

// The X server greets a client as it greets Qt's: libxcb (which Qt's X platform is built on)
// connects with the session's credentials, over whatever the name says (a local socket,
// TCP, ssh's forwarding). Without libxcb Qt cannot use X either.
std::shared_ptr<Answer> AskX(const QString& name)
{
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    static void* const library = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    const auto connect = library ? reinterpret_cast<Connect>(::dlsym(library, "xcb_connect")) : nullptr;
    const auto hasError = library ? reinterpret_cast<HasError>(::dlsym(library, "xcb_connection_has_error")) : nullptr;
    const auto disconnect = library ? reinterpret_cast<Disconnect>(::dlsym(library, "xcb_disconnect")) : nullptr;
    return Ask([=, display = name.toLocal8Bit()] {
        if (!connect || !hasError || !disconnect)
            return false;
        int screen = 0;
        void* connection = connect(display.constData(), &screen);
        const bool greeted = connection && hasError(connection) == 0;
        if (connection)
            disconnect(connection);
        return greeted;
    });
}

// A compositor answers the round trip Qt's Wayland platform starts with: the registry asked
// for and a sync, whose callback says done. A socket that only accepts (a compositor that
// hangs) would hold Qt for ever.
bool WaylandAnswers(const QString& name, Clock::time_point deadline)
{
    QString path = name;
    if (!path.startsWith(QLatin1Char('/'))) {
        const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (folder.isEmpty())
            return false;
        path = folder + QLatin1Char('/') + path;
    }
    const QByteArray native = path.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (std::size_t(native.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, native.constData(), std::size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const std::unique_ptr<const int, void (*)(const int*)> closer(&fd, [](const int* f) { ::close(*f); });
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return false;
    // wl_display is object 1: get_registry (opcode 1) makes object 2, sync (opcode 0) object 3.
    // Each message: object, size << 16 | opcode, its argument.
    const std::uint32_t request[] = {1, 12u << 16 | 1u, 2, 1, 12u << 16 | 0u, 3};
    if (::send(fd, request, sizeof request, MSG_NOSIGNAL) != ssize_t(sizeof request))
        return false;
    QByteArray received;
    for (;;) {
        while (received.size() >= 8) {
            std::uint32_t header[2];
            std::memcpy(header, received.constData(), sizeof header);
            const std::uint32_t size = header[1] >> 16, opcode = header[1] & 0xFFFFu;
            if (size < 8)
                return false;
            if (std::uint32_t(received.size()) < size)
                break;
            if (header[0] == 3 && opcode == 0)
                return true; // wl_callback.done
            if (header[0] == 1 && opcode == 0)
                return false; // wl_display.error
            received.remove(0, size);
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd readable{fd, POLLIN, 0};
        const int ready = left > 0 ? ::poll(&readable, 1, int(left)) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char buffer[4096];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got <= 0)
            return false;
        received.append(buffer, got);
    }
}

// Whether Qt has the platform plugin, looked for where Qt looks, without starting Qt.
bool QtHasPlatform(const QString& plugin)
{
    QStringList folders = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString& folder : qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts))
        folders << folder + QStringLiteral("/platforms");
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    for (const QString& folder : folders) {
        if (!QDir(folder).entryList({QStringLiteral("*%1*").arg(plugin)}, QDir::Files).isEmpty())
            return true;
    }
    return false;
}
#endif
} // namespace

Display::Kind Display::Find(const QStringList& qtArgs, QString* why, QString* platform)
{
    if (Named("QT_QPA_PLATFORM") || HasArgument(qtArgs, "platform"))
        return Kind::Chosen;
#ifdef QUARNO_PROBES_DISPLAY
    bool displayGiven = false;
    const QString x = ArgumentValue(qtArgs, "display", &displayGiven);
    const QString xName = displayGiven ? x : qEnvironmentVariable("DISPLAY").trimmed();
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY").trimmed();
    const QString xSaid = (displayGiven ? QStringLiteral("-display ") : QStringLiteral("DISPLAY=")) + xName;
    const QString waylandSaid = QStringLiteral("WAYLAND_DISPLAY=") + wayland;
    const bool xPlatform = !xName.isEmpty() && QtHasPlatform(QStringLiteral("qxcb"));
    const bool waylandPlatform = !wayland.isEmpty() && QtHasPlatform(QStringLiteral("qwayland-generic"));
    // Both asked at once, each within the bound.
    const Clock::time_point deadline = Clock::now() + kAnswerBound;
    const std::shared_ptr<Answer> xAnswer = xPlatform ? AskX(xName) : nullptr;
    const bool waylandAnswers = waylandPlatform && WaylandAnswers(wayland, deadline);
    const bool xAnswers = xAnswer && Await(*xAnswer, deadline);
    // Qt's own choice, by the session's kind, where both answer.
    const bool waylandSession = qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
    if (xAnswers || waylandAnswers) {
        if (platform)
            *platform = waylandAnswers && (waylandSession || !xAnswers) ? QStringLiteral("wayland") : QStringLiteral("xcb");
        return Kind::Present;
    }
    QStringList silent, unusable;
    for (const auto& [named, said, usable] :
         {std::tuple(!xName.isEmpty(), xSaid, xPlatform), std::tuple(!wayland.isEmpty(), waylandSaid, waylandPlatform)}) {
        if (named)
            (usable ? silent : unusable) << said;
    }
    if (why) {
        QStringList clauses;
        if (silent.size() == 1)
            clauses << silent.constFirst() + QStringLiteral(" does not answer");
        else if (silent.size() == 2)
            clauses << QStringLiteral("neither %1 nor %2 answers").arg(silent.at(0), silent.at(1));
        for (const QString& said : unusable)
            clauses << QStringLiteral("Qt has no platform plugin for %1").arg(said);
        *why = clauses.isEmpty() ? QStringLiteral("neither DISPLAY nor WAYLAND_DISPLAY is set") : clauses.join(QStringLiteral("; "));
    }
    return Kind::Absent;
#else
    Q_UNUSED(why);
    Q_UNUSED(platform);
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
