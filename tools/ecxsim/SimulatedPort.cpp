#include "tools/ecxsim/SimulatedPort.h"
#include "tools/ecxsim/Unit.h"

#include <QMetaObject>

namespace ecxsim {

SimulatedPort::SimulatedPort(Unit* unit, bool pacedWrites)
    : m_unit(unit)
    , m_pacedWrites(pacedWrites)
{
    m_clock.start();
    m_lineTimer.setSingleShot(true);
    m_lineTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_lineTimer, &QTimer::timeout, this, [this] { DeliverDue(); });
    if (unit)
        QObject::connect(unit, &Unit::Transmit, this, [this](const QByteArray& b) { OnTransmit(b); });
}

SimulatedPort::~SimulatedPort() = default;

bool SimulatedPort::Open(int portNumber, const QString& settings)
{
    platform::SerialSettings s;
    if (!m_unit || !platform::ParseSerialSettings(settings, s))
        return false;
    const int bitsPerChar = 1 + s.dataBits + (s.parity == 'n' ? 0 : 1) + (s.stopBitsTimesTwo + 1) / 2;
    m_charNs = qint64(bitsPerChar) * 1000000000LL / s.baud;
    m_open = true;
    ++m_opens;
    m_portNumber = portNumber;
    m_settings = settings;
    return true;
}

void SimulatedPort::Close()
{
    // Bytes already on the line still reach the unit; what arrives later is lost.
    m_open = false;
    m_input.clear();
}

bool SimulatedPort::Write(const QByteArray& bytes)
{
    if (!m_open || !m_unit)
        return false;
    m_writes.append(bytes);
    if (!m_pacedWrites) {
        m_unit->Receive(bytes);
        return true;
    }
    // The unit sees the bytes once their last character has crossed the line.
    const qint64 now = m_clock.nsecsElapsed();
    const qint64 start = qMax(now, m_lineFreeNs);
    m_lineFreeNs = start + m_charNs * bytes.size();
    m_outgoing.push_back({bytes, m_lineFreeNs});
    DeliverDue();
    return true;
}

void SimulatedPort::DeliverDue()
{
    const qint64 now = m_clock.nsecsElapsed();
    while (!m_outgoing.empty() && m_outgoing.front().dueNs <= now) {
        const QByteArray bytes = m_outgoing.front().bytes;
        m_outgoing.pop_front();
        if (m_unit)
            m_unit->Receive(bytes);
    }
    if (!m_outgoing.empty()) {
        const qint64 waitNs = m_outgoing.front().dueNs - now;
        m_lineTimer.start(int((waitNs + 999999) / 1000000));
    }
}

QByteArray SimulatedPort::ReadAll()
{
    QByteArray out;
    out.swap(m_input);
    return out;
}

void SimulatedPort::DiscardInput() { m_input.clear(); }

void SimulatedPort::OnTransmit(const QByteArray& bytes)
{
    if (!m_open)
        return;
    m_input += bytes;
    // Arrival is told on the event loop, as a real port does.
    if (m_notifyQueued)
        return;
    m_notifyQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_notifyQueued = false;
            if (!m_input.isEmpty())
                emit BytesArrived();
        },
        Qt::QueuedConnection);
}

platform::SerialPort::Factory SimulatedPort::FactoryFor(Unit* unit, bool pacedWrites, SimulatedPort** made)
{
    return [unit, pacedWrites, made]() -> std::unique_ptr<platform::SerialPort> {
        auto port = std::make_unique<SimulatedPort>(unit, pacedWrites);
        if (made)
            *made = port.get();
        return port;
    };
}

} // namespace ecxsim
