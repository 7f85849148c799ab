#include "seriallink/RequestEngine.h"
#include "seriallink/Package.h"
#include "seriallink/Trace.h"
#include "seriallink/XelCommTesting.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace {
int g_msPerSecond = 1000;
}

namespace XelCommTesting {
void SetMillisecondsPerSecond(int ms) { g_msPerSecond = ms > 0 ? ms : 1000; }
int MillisecondsPerSecond() { return g_msPerSecond; }
} // namespace XelCommTesting

namespace xelcomm {

RequestEngine::RequestEngine(LinkState& state)
    : s(state)
{
    timWait.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timWait, &QTimer::timeout, [this] { OnTick(); });
}

RequestEngine::~RequestEngine()
{
    timWait.stop();
    if (commControl)
        commControl->Close();
}

bool RequestEngine::Exchange(const QByteArray& package, int expected)
{
    // A request from inside this link's own wait would tangle two exchanges.
    if (m_waiting)
        return false;
    m_request = package;
    m_expected = expected;
    m_buffer.clear();
    s.lastReceived.clear();

    if (!commControl) {
        commControl = platform::SerialPort::Create();
        QObject::connect(commControl.get(), &platform::SerialPort::BytesArrived, commControl.get(),
                         [this] { OnBytesArrived(); });
    }
    // Without an event loop no reply could ever be seen.
    if (!QCoreApplication::instance() || !commControl->Open(s.portNumber, s.portSettings)) {
        const QString reason = commControl->OpenError();
        if (!reason.isEmpty())
            Trace(reason);
        s.commError = 1;
        s.commDone = true;
        return false;
    }
    commControl->DiscardInput();
    m_waiting = true;
    commControl->Write(m_request);

    if (!s.commDone) {
        m_resendCount = 0;
        timWait.setInterval(int(s.timeOut) * g_msPerSecond);
        timWait.start();
        while (!s.commDone)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    StopTimer();
    m_waiting = false;
    if (commControl->IsOpen())
        commControl->Close();
    m_buffer.clear();

    if (s.commError == 0) {
        s.byteCount += qint32(s.lastReceived.size());
        return true;
    }
    return false;
}

void RequestEngine::Stop()
{
    StopTimer();
    if (commControl)
        commControl->Close();
    m_buffer.clear();
}

void RequestEngine::StopTimer()
{
    timWait.stop();
    m_resendCount = 0;
}

void RequestEngine::OnBytesArrived()
{
    if (!commControl)
        return;
    m_buffer += commControl->ReadAll();
    if (!m_waiting || s.commDone) {
        m_buffer.clear();
        return;
    }
    // Join pieces into one reply of the expected length, starting at an STX; a rejected
    // candidate gives up only its first byte, so a stray byte cannot misalign the reply.
    for (;;) {
        const int stx = m_buffer.indexOf(Package::STX);
        if (stx < 0) {
            m_buffer.clear();
            return;
        }
        m_buffer.remove(0, stx);
        if (m_buffer.size() < m_expected)
            return;
        if (Receive(m_buffer.left(m_expected))) {
            m_buffer.clear();
            return;
        }
        m_buffer.remove(0, 1);
    }
}

bool RequestEngine::Receive(const QByteArray& candidate)
{
    if (s.ignoreNotToMaster && !Package::PassesFilter(candidate))
        return false;
    s.lastReceived = candidate;
    Trace("Package in : '" + Package::HexBytes(candidate) + "'");
    // Anything shorter than the request's reply cannot be its answer.
    if (candidate.size() < m_expected || !Package::CheckBlock(candidate)) {
        s.commError = 2;
        return false;
    }
    // A reply that arrives after its time-out belongs to an earlier package: the unit echoes
    // the stamp, and a data reply the address as well. Keep waiting for our own.
    if (!AnswersRequest(candidate)) {
        Trace("Reply to an earlier package discarded");
        return false;
    }
    s.commError = 0;
    s.commDone = true;
    StopTimer();
    QByteArray data;
    if (Package::DecodeReply(s.requestKind, candidate, data))
        s.replyData = data;
    return true;
}

bool RequestEngine::AnswersRequest(const QByteArray& candidate) const
{
    if (m_request.size() < 11 || candidate.size() < 8)
        return true;
    if (candidate[3] != m_request[3])
        return false;
    const bool dataReply = s.requestKind == Package::GetRegistersKind || s.requestKind == Package::GetBitKind
                        || s.requestKind == Package::GetPackedBitsKind;
    if (!dataReply)
        return true;
    // Units differ in the size and type they answer with (a bit's reply counts its data byte,
    // or echoes the request's "00"), so only the address is compared.
    return candidate.size() >= 9 && candidate.mid(5, 4) == m_request.mid(5, 4);
}

void RequestEngine::OnTick()
{
    if (m_resendCount < s.retries) {
        ++m_resendCount;
        m_buffer.clear();
        // A rejected reply belongs to the send before; the re-send starts clean.
        s.commError = 0;
        if (commControl && commControl->IsOpen()) {
            commControl->DiscardInput();
            commControl->Write(m_request);
        }
        Trace("Re-sending...");
        return;
    }
    timWait.stop();
    s.commError = 1;
    s.commDone = true;
}

} // namespace xelcomm
