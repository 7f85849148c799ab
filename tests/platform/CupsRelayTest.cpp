// The relay between Qt's libcups calls and the print server, against servers of the test's own.
#include "platform/CupsRelay.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace {

// Every wait has this deadline; no test waits for it to pass.
constexpr int kDeadlineMs = 20000;
constexpr int kBoundMs = 100;

// A server on a socket path, or on a loopback port when the path is empty: it echoes every
// byte, or takes them and says nothing. At its deadline it closes every connection.
class Upstream : public QThread {
public:
    Upstream(const QString& path, bool silent) : m_path(path), m_silent(silent) {}
    ~Upstream() override
    {
        quit();
        wait();
    }
    // The name to give the relay; empty when it could not listen.
    QString Listen()
    {
        start();
        m_ready.acquire();
        return m_name;
    }
    std::atomic<int> received{0};

protected:
    void run() override
    {
        QLocalServer local;
        QTcpServer tcp;
        auto serve = [this](QIODevice* socket) {
            connect(socket, &QIODevice::readyRead, socket, [this, socket] {
                const QByteArray bytes = socket->readAll();
                received += int(bytes.size());
                if (!m_silent)
                    socket->write(bytes);
            });
        };
        if (m_path.isEmpty()) {
            if (tcp.listen(QHostAddress::LocalHost))
                m_name = QStringLiteral("127.0.0.1:%1").arg(tcp.serverPort());
            connect(&tcp, &QTcpServer::newConnection, &tcp, [&] {
                while (QTcpSocket* socket = tcp.nextPendingConnection())
                    serve(socket);
            });
        } else {
            QLocalServer::removeServer(m_path);
            if (local.listen(m_path))
                m_name = m_path;
            connect(&local, &QLocalServer::newConnection, &local, [&] {
                while (QLocalSocket* socket = local.nextPendingConnection())
                    serve(socket);
            });
        }
        QTimer::singleShot(kDeadlineMs, this, [this] { exit(); });
        m_ready.release();
        if (!m_name.isEmpty())
            exec();
    }

private:
    QString m_path;
    bool m_silent;
    QString m_name;
    QSemaphore m_ready;
};

// Sends bytes through the relay and reads until wanted bytes came back, the relay closed, or
// the deadline.
QByteArray Exchange(QLocalSocket& client, const QByteArray& sent, qsizetype wanted)
{
    client.write(sent);
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (got.size() < wanted && client.state() == QLocalSocket::ConnectedState && clock.elapsed() < kDeadlineMs) {
        client.waitForReadyRead(50);
        got += client.readAll();
    }
    return got;
}

TEST(CupsRelay, PassesBytesUnchangedAndCutsASilentOrMissingServer)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Upstream echo(dir.filePath("echo.sock"), false), silent(dir.filePath("silent.sock"), true), tcp({}, false);
    const QString echoName = echo.Listen(), silentName = silent.Listen(), tcpName = tcp.Listen();
    ASSERT_FALSE(echoName.isEmpty());
    ASSERT_FALSE(silentName.isEmpty());
    ASSERT_FALSE(tcpName.isEmpty());
    QByteArray every;
    for (int i = 0; i < 256; ++i)
        every.append(char(i));
    const QByteArray request = "POST / HTTP/1.1\r\nHost: localhost\r\nContent-Length: 0\r\n\r\n";
    struct Row {
        const char* what;
        QString server;
        QByteArray sent;
        bool answered; // else the relay closes the client and counts a cut
        QByteArray back = {}; // what comes back, when not the bytes sent
    } rows[] = {
        {"every byte value", echoName, every, true},
        {"more than the relay holds at once", echoName, every.repeated(4096), true},
        // A server on the network is named in the Host line as libcups names it.
        {"a server named by address and port", tcpName, request, true,
         QByteArray(request).replace("localhost", "localhost:" + tcpName.section(':', 1).toUtf8())},
        {"a server that takes the request and says nothing", silentName, request, false},
        {"no server on the socket", dir.filePath("none.sock"), request, false},
        {"no server on the port", "127.0.0.1:1", request, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        platform::CupsRelay relay(kBoundMs, row.server);
        ASSERT_FALSE(relay.Socket().isEmpty());
        QLocalSocket client;
        client.connectToServer(relay.Socket());
        ASSERT_TRUE(client.waitForConnected(kDeadlineMs));
        const QByteArray back = row.back.isEmpty() ? row.sent : row.back;
        const QByteArray got = Exchange(client, row.sent, back.size());
        if (row.answered) {
            EXPECT_TRUE(got == back) << got.left(200).toStdString();
            EXPECT_EQ(client.state(), QLocalSocket::ConnectedState);
            EXPECT_FALSE(relay.Cut());
            continue;
        }
        EXPECT_TRUE(got.isEmpty());
        EXPECT_TRUE(client.state() == QLocalSocket::UnconnectedState || client.waitForDisconnected(kDeadlineMs));
        EXPECT_TRUE(relay.Cut());
        // Until the server answers again, the next connection is closed without a word.
        QLocalSocket next;
        next.connectToServer(relay.Socket());
        EXPECT_TRUE(next.state() == QLocalSocket::UnconnectedState || next.waitForDisconnected(kDeadlineMs));
        relay.Rearm(kBoundMs);
        EXPECT_FALSE(relay.Cut());
    }
}

// The program ends while Qt's connection still waits on the server: the relay closes it and
// stops at once, whatever the bound.
TEST(CupsRelay, StopsWithAConnectionOpen)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Upstream silent(dir.filePath("silent.sock"), true);
    ASSERT_FALSE(silent.Listen().isEmpty());
    QLocalSocket client;
    QString socket;
    {
        platform::CupsRelay relay(kDeadlineMs * 10, dir.filePath("silent.sock"));
        socket = relay.Socket();
        client.connectToServer(socket);
        ASSERT_TRUE(client.waitForConnected(kDeadlineMs));
        client.write("POST / HTTP/1.1\r\n\r\n");
        QElapsedTimer clock;
        clock.start();
        while (silent.received == 0 && clock.elapsed() < kDeadlineMs)
            client.waitForBytesWritten(50);
        ASSERT_GT(silent.received, 0);
    }
    EXPECT_TRUE(client.state() == QLocalSocket::UnconnectedState || client.waitForDisconnected(kDeadlineMs));
    // Its socket and folder go with it.
    EXPECT_FALSE(QFileInfo::exists(socket));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(socket).path()));
}

} // namespace
