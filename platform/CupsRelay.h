#pragma once
#include "platform/PlatformExport.h"

#include <QString>

#include <memory>

namespace platform {

// A socket of the program's own between libcups and the print server: Qt's print support asks
// through it, with no time-out of its own. The relay passes the bytes both ways on a thread of
// its own, and closes a connection whose request the server leaves unanswered for the bound, or
// whose server cannot be reached, so that libcups fails at once instead of waiting minutes.
// After such a cut every new connection is closed at once until Rearm: the server is taken as
// silent until it answers a bounded question again.
class PLATFORM_EXPORT CupsRelay {
public:
    // server: a socket path or host[:port]; empty takes the one libcups names for a fresh
    // thread, read again for each connection.
    explicit CupsRelay(int boundMs, const QString& server = {});
    // Closes every connection and waits for the relay's threads; never for the server.
    ~CupsRelay();
    CupsRelay(const CupsRelay&) = delete;
    CupsRelay& operator=(const CupsRelay&) = delete;

    // The socket to point libcups at; empty when the relay could not listen.
    QString Socket() const;
    // Whether a connection was cut since the last Rearm.
    bool Cut() const;
    // The server answered again: connections pass, bounded by boundMs from now on.
    void Rearm(int boundMs);

private:
    struct State;
    std::shared_ptr<State> m_state;
};

} // namespace platform
