#pragma once
// Helpers shared by the simulated unit's tests.
#include "tools/ecxsim/Unit.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QList>
#include <QString>

namespace ecxsim_test {

// "02 46 30" -> bytes; hand-written frames read best this way.
inline QByteArray Bytes(const char* hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

inline QString HexOf(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ')).toUpper();
}

// Collects what the unit transmits.
struct Line {
    explicit Line(ecxsim::Unit& unit)
    {
        QObject::connect(&unit, &ecxsim::Unit::Transmit, [this](const QByteArray& b) {
            pieces.append(b);
            all.append(b);
        });
    }
    QByteArray Take()
    {
        QByteArray out = all;
        all.clear();
        pieces.clear();
        return out;
    }
    QList<QByteArray> pieces;
    QByteArray all;
};

// Runs the event loop until done() or the deadline; returns done().
template <typename F>
bool WaitFor(F done, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// Master-side frames built by hand from the layout, for tests that need many.
QByteArray Frame(const QByteArray& body);
QByteArray GetRegisters(int start, int count, char stamp = '1', const QByteArray& id = "F0");
QByteArray SetRegisters(int start, const QList<quint16>& values, char stamp = '2', const QByteArray& id = "F0");
quint8 Reverse(quint8 b);

// Reads from a non-blocking descriptor while the event loop runs, until count bytes.
QByteArray ReadSome(int fd, int count);

} // namespace ecxsim_test
