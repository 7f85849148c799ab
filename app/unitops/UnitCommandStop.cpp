#include "app/unitops/UnitCommandStop.h"

#include "platform/StopSignals.h"

#include <QList>

#include <optional>

namespace unitops {
namespace {

struct StopState {
    int commands = 0;
    QString name;
    int signal = 0;
    bool ended = false;
    std::optional<bool> relocked; // the relock after the stop, acknowledged or not
    std::optional<bool> setupWritten; // a transmit's image: all written (unverified) or part of it
    QList<std::function<void()>*> cancels;
    std::optional<platform::StopSignals::Arm> arm;
    std::function<void(int, const QString&)> end;
};

StopState& State()
{
    static StopState state;
    return state;
}

void EndRun()
{
    StopState& s = State();
    if (s.ended || !s.signal)
        return;
    s.ended = true;
    if (s.end)
        s.end(s.signal, StopReason());
}

void OnStop(int signal)
{
    StopState& s = State();
    if (!s.commands || s.signal)
        return;
    s.signal = signal;
    if (s.cancels.isEmpty()) {
        EndRun(); // no link is open: the unit is locked
        return;
    }
    for (std::function<void()>* cancel : QList(s.cancels))
        (*cancel)();
}

} // namespace

UnitCommandScope::UnitCommandScope(const QString& name)
{
    StopState& s = State();
    if (s.commands++ > 0)
        return;
    s.name = name;
    s.signal = 0;
    s.ended = false;
    s.relocked.reset();
    s.setupWritten.reset();
    static const bool connected = [] {
        QObject::connect(&platform::StopSignals::Instance(), &platform::StopSignals::Stop, &OnStop);
        return true;
    }();
    Q_UNUSED(connected);
    s.arm.emplace();
}

UnitCommandScope::~UnitCommandScope()
{
    StopState& s = State();
    if (--s.commands > 0)
        return;
    // Disarming takes what the event loop has not seen yet: a signal that came in the last
    // moment still ends the run as one during the command.
    s.arm.reset();
    if (!s.signal)
        s.signal = platform::StopSignals::Instance().Caught();
    EndRun();
}

UnitLinkScope::UnitLinkScope(std::function<void()> cancel)
    : m_command(QStringLiteral("the unit command"))
    , m_cancel(std::move(cancel))
{
    State().cancels.append(&m_cancel);
}

UnitLinkScope::~UnitLinkScope()
{
    StopState& s = State();
    s.cancels.removeOne(&m_cancel);
    if (s.cancels.isEmpty())
        EndRun();
}

bool StopRequested()
{
    const StopState& s = State();
    return s.commands > 0 && s.signal != 0;
}

void NoteRelock(bool acknowledged)
{
    std::optional<bool>& relocked = State().relocked;
    relocked = relocked.value_or(true) && acknowledged;
}

void NoteSetupIncomplete(bool written) { State().setupWritten = written; }

QString StopReason()
{
    const StopState& s = State();
    if (!s.signal)
        return QString();
    QString line = QStringLiteral("a signal (%1) stopped %2").arg(platform::StopSignals::Name(s.signal), s.name);
    if (!s.relocked) // nothing had unlocked it
        line += QStringLiteral("; the Control Unit stays locked");
    else if (*s.relocked)
        line += QStringLiteral("; the Control Unit was locked again (0 written to register 0)");
    else
        line += QStringLiteral("; the Control Unit did not acknowledge the 0 written to register 0 and may still be "
                               "unlocked");
    if (s.setupWritten)
        line += *s.setupWritten ? QStringLiteral("; its setup was not verified and must be transmitted again")
                                : QStringLiteral("; its setup is incomplete and must be transmitted again");
    return line;
}

void SetStopEnd(std::function<void(int signal, const QString& reason)> end) { State().end = std::move(end); }

} // namespace unitops
