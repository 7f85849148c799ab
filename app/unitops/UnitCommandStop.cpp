#include "app/unitops/UnitCommandStop.h"

#include "platform/StopSignals.h"

#include <QList>

#include <optional>

namespace unitops {
namespace {

// What the command did to register 0, as far as the unit confirmed it.
enum class Lock { Untouched, Unlocked, Relocked };

struct StopState {
    int commands = 0;
    QString name;
    int signal = 0;
    bool ended = false;
    bool wireDone = false;
    // A verified transmit's stop covers the save that records the transfer too.
    bool recordDue = false;
    Lock lock = Lock::Untouched;
    // For the whole run: a relock went unanswered and none was acknowledged since.
    bool lockInDoubt = false;
    std::optional<SetupSent> setup;
    QList<std::function<void()>*> cancels;
    std::optional<platform::StopSignals::Arm> arm;
    std::function<void(int, const QString&)> end;
};

StopState& State()
{
    static StopState state;
    return state;
}

// The unit holds a verified setup: the command runs on to record it and ends as a transmit.
bool KeepsVerifiedSetup(const StopState& s) { return s.setup == SetupSent::Verified; }

void EndRun()
{
    StopState& s = State();
    if (s.ended || !s.signal || (s.commands > 0 && KeepsVerifiedSetup(s)))
        return;
    s.ended = true;
    if (s.end)
        s.end(s.signal, StopReason());
}

// Disarming takes what the event loop has not seen yet. Caught during the command's work on
// the wire, it ends the run as one seen then; once that work is over, it meets the action the
// signal has now.
void Disarm(bool stopsTheCommand)
{
    StopState& s = State();
    if (!s.arm)
        return;
    s.arm.reset();
    const int late = platform::StopSignals::Instance().Caught();
    if (s.signal || !late)
        return;
    if (stopsTheCommand) {
        s.signal = late;
        EndRun();
    } else {
        platform::StopSignals::Redeliver(late);
    }
}

void OnStop(int signal)
{
    StopState& s = State();
    if (!s.commands || !s.arm || s.signal)
        return;
    s.signal = signal;
    if (s.cancels.isEmpty()) {
        EndRun(); // no link is open: the unit is as the last link left it
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
    s.wireDone = false;
    s.recordDue = false;
    s.lock = Lock::Untouched;
    s.setup.reset();
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
    Disarm(true);
    EndRun();
}

UnitLinkScope::UnitLinkScope(std::function<void()> cancel)
    : m_command(QStringLiteral("the unit command"))
    , m_cancel(std::move(cancel))
{
    StopState& s = State();
    s.cancels.append(&m_cancel);
    if (!s.arm && !s.signal)
        s.arm.emplace(); // a link after the command's work on the wire is covered on its own
}

UnitLinkScope::~UnitLinkScope()
{
    StopState& s = State();
    s.cancels.removeOne(&m_cancel);
    if (!s.cancels.isEmpty())
        return;
    EndRun();
    if (s.wireDone && !s.recordDue)
        Disarm(false);
}

bool StoppedAfterVerifiedTransmit()
{
    const StopState& s = State();
    return s.signal != 0 && KeepsVerifiedSetup(s);
}

bool StopRequested()
{
    const StopState& s = State();
    return s.commands > 0 && s.signal != 0;
}

void WireWorkDone()
{
    StopState& s = State();
    if (!s.commands || s.signal)
        return;
    s.wireDone = true;
    s.recordDue = KeepsVerifiedSetup(s);
    if (s.cancels.isEmpty() && !s.recordDue)
        Disarm(false);
}

void TransferRecorded()
{
    StopState& s = State();
    if (!s.recordDue)
        return;
    s.recordDue = false;
    // A signal caught until now is the transmit's: it ends as the verified transmit it is.
    if (s.cancels.isEmpty())
        Disarm(true);
}

void NoteUnlock() { State().lock = Lock::Unlocked; }

void NoteRelock(bool acknowledged)
{
    StopState& s = State();
    s.lock = acknowledged ? Lock::Relocked : Lock::Unlocked;
    s.lockInDoubt = !acknowledged;
}

void NoteSetupSent(SetupSent sent) { State().setup = sent; }

QString StopReason()
{
    const StopState& s = State();
    if (!s.signal)
        return QString();
    const QString signal = platform::StopSignals::Name(s.signal);
    QString line = KeepsVerifiedSetup(s)
        ? QStringLiteral("a signal (%1) came as %2 ended; the setup was transmitted and verified").arg(signal, s.name)
        : QStringLiteral("a signal (%1) stopped %2").arg(signal, s.name);
    switch (s.lock) {
    case Lock::Untouched:
        // Register 0 was never written: the unit is as earlier commands left it.
        line += QStringLiteral("; it did not unlock the Control Unit");
        if (s.lockInDoubt)
            line += QStringLiteral("; an earlier 0 written to register 0 was not confirmed, so the Control Unit may "
                                   "still be unlocked");
        break;
    case Lock::Relocked: line += QStringLiteral("; the Control Unit was locked again (0 written to register 0)"); break;
    case Lock::Unlocked:
        line += QStringLiteral("; the Control Unit did not confirm the 0 written to register 0 and may still be "
                               "unlocked");
        break;
    }
    if (s.setup == SetupSent::Begun)
        line += QStringLiteral("; its setup is incomplete and must be transmitted again");
    else if (s.setup == SetupSent::Written)
        line += QStringLiteral("; its setup was not verified and must be transmitted again");
    return line;
}

void SetStopEnd(std::function<void(int signal, const QString& reason)> end) { State().end = std::move(end); }

} // namespace unitops
