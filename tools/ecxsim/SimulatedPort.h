#pragma once
// A serial port bound in-process to a simulated unit: what the master writes goes to
// the unit, what the unit transmits waits in the port until read. Optionally the
// master's bytes take the line time too (11 bits a character at the port's baud rate).
#include "platform/SerialPort.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QTimer>

#include <deque>

namespace ecxsim {

class Unit;

class SimulatedPort : public platform::SerialPort {
public:
    explicit SimulatedPort(Unit* unit, bool pacedWrites = false);
    ~SimulatedPort() override;

    bool Open(int portNumber, const QString& settings) override;
    void Close() override;
    bool IsOpen() const override { return m_open; }
    bool Write(const QByteArray& bytes) override;
    QByteArray ReadAll() override;
    void DiscardInput() override;

    // Every write in order, and the port number and settings of the last open.
    QList<QByteArray> Writes() const { return m_writes; }
    int OpenCount() const { return m_opens; }
    int LastPortNumber() const { return m_portNumber; }
    QString LastSettings() const { return m_settings; }

    // A factory that makes ports bound to unit; each port it makes is also reported
    // through made (when given) so a test can look at its writes.
    static platform::SerialPort::Factory FactoryFor(Unit* unit, bool pacedWrites = false,
                                                    SimulatedPort** made = nullptr);

private:
    void OnTransmit(const QByteArray& bytes);
    void DeliverDue();

    QPointer<Unit> m_unit;
    bool m_pacedWrites;
    bool m_open = false;
    bool m_notifyQueued = false;
    qint64 m_charNs = 0;
    QByteArray m_input;
    QList<QByteArray> m_writes;
    int m_opens = 0;
    int m_portNumber = 0;
    QString m_settings;

    struct Pending {
        QByteArray bytes;
        qint64 dueNs;
    };
    std::deque<Pending> m_outgoing;
    QElapsedTimer m_clock;
    qint64 m_lineFreeNs = 0;
    QTimer m_lineTimer;
};

} // namespace ecxsim
