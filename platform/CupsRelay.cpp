// The relay between Qt's libcups calls and the print server.
#include "platform/CupsRelay.h"

#include <QDir>

#include <cups/cups.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <list>
#include <mutex>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// What one side may have waiting for the other before the relay stops reading it.
constexpr size_t kBufferCap = 256 * 1024;

// The connection to the server, made on a thread of its own: a name lookup has no time-out.
struct Upstream {
    std::mutex lock;
    http_t* http = nullptr;
    bool abandoned = false; // the relay stopped waiting: whatever comes is closed at once
    int ready[2] = {-1, -1}; // a byte on it says the attempt is over
    ~Upstream()
    {
        for (int fd : ready)
            if (fd >= 0)
                ::close(fd);
    }
};

// libcups names the server of a socket "localhost" in each request's Host line; a server on
// the network refuses a request meant for another host, so it is given its own name, as libcups
// would give it. Lines are rewritten only while they are plain text: a Host line is held back
// until it is whole, any other byte passes at once.
class HostLine {
public:
    explicit HostLine(std::string value = {}) : m_value(std::move(value)) {}
    std::string Feed(const std::string& bytes)
    {
        if (m_value.empty())
            return bytes;
        static const std::string key = "Host: ";
        std::string out;
        for (const char c : bytes) {
            if (!m_lineStart) {
                out += c;
                m_lineStart = c == '\n';
                continue;
            }
            m_line += c;
            const bool keyPart = m_line.size() <= key.size();
            if (keyPart ? key.compare(0, m_line.size(), m_line) != 0 : m_line.size() > 1024) {
                out += m_line;
                m_line.clear();
                m_lineStart = c == '\n';
            } else if (!keyPart && c == '\n') {
                out += key + m_value + "\r\n";
                m_line.clear();
            }
        }
        return out;
    }

private:
    std::string m_value;
    std::string m_line; // the start of a line that may be the Host line
    bool m_lineStart = false;
};

// The Host line libcups would send to the server http is connected to; "" for a local socket.
std::string HostValue(http_t* http)
{
    http_addr_t* address = httpGetAddress(http);
    if (!address || httpAddrFamily(address) == AF_LOCAL)
        return {};
    char name[256];
    std::string host = httpAddrLocalhost(address) ? "localhost" : httpGetHostname(http, name, sizeof name);
    if (host.find(':') != std::string::npos && host[0] != '[')
        host = '[' + host + ']';
    return host + ':' + std::to_string(httpAddrPort(address));
}

int MillisecondsLeft(Clock::time_point since, int boundMs)
{
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
    return int(qMax<qint64>(0, boundMs - spent));
}

// Sends what it can without waiting; false when the peer is gone.
bool SendSome(int fd, std::string& pending)
{
    const ssize_t sent = ::send(fd, pending.data(), pending.size(), MSG_NOSIGNAL);
    if (sent < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    pending.erase(0, size_t(sent));
    return true;
}

// Reads what is there; false at the end of the stream or an error.
bool ReadSome(int fd, std::string& into)
{
    char chunk[16 * 1024];
    const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
    if (got < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    into.append(chunk, size_t(got));
    return got > 0;
}

} // namespace

struct CupsRelay::State {
    std::string server;
    std::atomic<int> boundMs{0};
    std::atomic<bool> cut{false};
    std::string folder;
    std::string socket;
    int listener = -1;
    int wake[2] = {-1, -1}; // written once at the end: every poll of the relay then returns
    std::thread acceptor;
    std::mutex lock;
    struct Connection {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::list<Connection> connections;

    void Accept();
    void Pump(int client);
    std::shared_ptr<Upstream> Connect() const;
};

std::shared_ptr<Upstream> CupsRelay::State::Connect() const
{
    auto up = std::make_shared<Upstream>();
    if (::pipe2(up->ready, O_CLOEXEC | O_NONBLOCK) != 0)
        return nullptr;
    std::thread([up, server = server, msec = boundMs.load()] {
        // A fresh thread reads the user's server; a named one is set for this thread alone.
        if (!server.empty())
            cupsSetServer(server.c_str());
        http_t* http =
            httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER, 1, qMax(1, msec), nullptr);
        const std::lock_guard<std::mutex> guard(up->lock);
        if (up->abandoned) {
            if (http)
                httpClose(http);
            return;
        }
        up->http = http;
        const char said = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(up->ready[1], &said, 1);
    }).detach();
    return up;
}

void CupsRelay::State::Accept()
{
    for (;;) {
        pollfd fds[2] = {{listener, POLLIN, 0}, {wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        const int client = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client < 0)
            continue;
        if (cut) {
            // The server went silent: libcups is told at once.
            ::close(client);
            continue;
        }
        const std::lock_guard<std::mutex> guard(lock);
        for (auto it = connections.begin(); it != connections.end();) {
            if (*it->done) {
                it->thread.join();
                it = connections.erase(it);
            } else {
                ++it;
            }
        }
        auto done = std::make_shared<std::atomic<bool>>(false);
        connections.push_back({std::thread([this, client, done] {
                                   Pump(client);
                                   *done = true;
                               }),
                               done});
    }
}

void CupsRelay::State::Pump(int client)
{
    std::shared_ptr<Upstream> up = Connect();
    http_t* http = nullptr;
    int server = -1;
    bool serverDone = false; // the server closed: what it sent goes to the client, then the end
    std::string early, toServer, toClient; // early: what came before the server was there
    HostLine host;
    const Clock::time_point started = Clock::now();
    Clock::time_point asked, heard = started;
    bool waiting = false; // the client sent bytes the server has not answered yet
    bool silent = !up;
    while (!silent && !(serverDone && toClient.empty())) {
        const int timeout = MillisecondsLeft(server < 0 ? started : waiting && !serverDone ? asked : heard, boundMs);
        if (timeout == 0) {
            // An idle connection, or an answer that stopped halfway, is closed as the server
            // closes one kept alive (libcups connects again); a question left unanswered is a cut.
            silent = server < 0 || (waiting && !serverDone);
            break;
        }
        short clientEvents = toServer.size() + early.size() < kBufferCap && !serverDone ? POLLIN : 0;
        if (!toClient.empty())
            clientEvents |= POLLOUT;
        // Until the server is there, the third look is at the end of the attempt to reach it.
        pollfd fds[3] = {{wake[0], POLLIN, 0}, {client, clientEvents, 0}, {up->ready[0], POLLIN, 0}};
        if (server >= 0) {
            fds[2].fd = server;
            fds[2].events = !serverDone && toClient.size() < kBufferCap ? POLLIN : 0;
            if (!toServer.empty())
                fds[2].events |= POLLOUT;
        }
        if (::poll(fds, 3, timeout) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents)
            break;
        if (server < 0 && fds[2].revents) {
            {
                const std::lock_guard<std::mutex> guard(up->lock);
                http = up->http;
            }
            if (!http) {
                silent = true; // the server cannot be reached
                break;
            }
            server = httpGetFd(http);
            ::fcntl(server, F_SETFL, ::fcntl(server, F_GETFL) | O_NONBLOCK);
            host = HostLine(HostValue(http));
            toServer = host.Feed(early);
            early.clear();
            continue;
        }
        if (fds[1].revents & POLLIN) {
            std::string got;
            if (!ReadSome(client, got))
                break; // the client is done
            if (server < 0)
                early += got;
            else
                toServer += host.Feed(got);
            if (!got.empty() && !waiting) {
                waiting = true;
                asked = Clock::now();
            }
        } else if (fds[1].revents & (POLLHUP | POLLERR)) {
            break;
        }
        if ((fds[1].revents & POLLOUT) && !SendSome(client, toClient))
            break;
        if (server < 0)
            continue;
        if (fds[2].revents & POLLIN) {
            const size_t had = toClient.size();
            serverDone = !ReadSome(server, toClient);
            if (toClient.size() > had) {
                waiting = false;
                heard = Clock::now();
            }
        } else if (fds[2].revents & (POLLHUP | POLLERR)) {
            serverDone = true;
        }
        if ((fds[2].revents & POLLOUT) && !SendSome(server, toServer))
            serverDone = true;
    }
    if (silent)
        cut = true;
    ::close(client);
    if (http) {
        httpClose(http);
    } else if (up) {
        const std::lock_guard<std::mutex> guard(up->lock);
        up->abandoned = true;
        if (up->http)
            httpClose(up->http);
    }
}

CupsRelay::CupsRelay(int boundMs, const QString& server) : m_state(std::make_shared<State>())
{
    State& s = *m_state;
    s.server = server.toStdString();
    s.boundMs = boundMs;
    // A folder only this user can enter, so that no one else talks to the server as the program.
    std::string folder = QDir::tempPath().toStdString() + "/quarno-cups-XXXXXX";
    if (!::mkdtemp(folder.data()))
        return;
    s.folder = folder;
    ::chmod(folder.c_str(), S_IRWXU);
    const std::string path = folder + "/cups.sock";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path || ::pipe2(s.wake, O_CLOEXEC) != 0)
        return;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    s.listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s.listener < 0 || ::bind(s.listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(s.listener, 16) != 0)
        return;
    s.socket = path;
    s.acceptor = std::thread([state = m_state.get()] { state->Accept(); });
}

CupsRelay::~CupsRelay()
{
    State& s = *m_state;
    if (s.wake[1] >= 0) {
        const char stop = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(s.wake[1], &stop, 1);
    }
    if (s.acceptor.joinable())
        s.acceptor.join();
    {
        const std::lock_guard<std::mutex> guard(s.lock);
        for (State::Connection& connection : s.connections)
            connection.thread.join();
        s.connections.clear();
    }
    for (int fd : {s.listener, s.wake[0], s.wake[1]})
        if (fd >= 0)
            ::close(fd);
    if (!s.socket.empty())
        ::unlink(s.socket.c_str());
    if (!s.folder.empty())
        ::rmdir(s.folder.c_str());
}

QString CupsRelay::Socket() const { return QString::fromStdString(m_state->socket); }

bool CupsRelay::Cut() const { return m_state->cut; }

void CupsRelay::Rearm(int boundMs)
{
    m_state->boundMs = boundMs;
    m_state->cut = false;
}

} // namespace platform
