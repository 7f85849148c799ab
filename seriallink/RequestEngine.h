#pragma once
// Carries one package to the unit and brings back its reply: opens the port, empties
// stale input, writes, waits while the event loop runs, re-sends on the reply timer and
// closes the port again. Each Comm has its own engine and port.
#include "platform/SerialPort.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <memory>

namespace xelcomm {

// The fields of a Comm that the engine reads and writes.
struct LinkState {
    qint16 retries = 3;
    qint16 timeOut = 1;
    bool ignoreNotToMaster = true;
    bool commDone = false;
    qint16 commError = 0;
    qint32 byteCount = 0;
    qint16 requestKind = 0;
    QByteArray replyData;
    QByteArray lastReceived;
    // What is put on the port: number and settings text.
    int portNumber = 1;
    QString portSettings = QStringLiteral("9600,n,8,1");
};

class RequestEngine {
public:
    explicit RequestEngine(LinkState& state);
    ~RequestEngine();

    // Sends package and waits for a reply of expected bytes; true when one was accepted.
    bool Exchange(const QByteArray& package, int expected);
    // Stops the timer and closes the port (the wait, if any, ends at the next turn).
    void Stop();
    bool Waiting() const { return m_waiting; }

private:
    void OnBytesArrived();
    bool Receive(const QByteArray& candidate);
    // The candidate carries this request's stamp (and for data its address).
    bool AnswersRequest(const QByteArray& candidate) const;
    void OnTick();
    void StopTimer();

    LinkState& s;
    std::unique_ptr<platform::SerialPort> commControl;
    QTimer timWait;
    int m_resendCount = 0;
    QByteArray m_request;
    QByteArray m_buffer;
    int m_expected = 0;
    bool m_waiting = false;
};

} // namespace xelcomm
