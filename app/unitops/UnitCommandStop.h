#pragma once
// SIGINT, SIGTERM or SIGHUP during a unit command's work on the wire is that command's Cancel:
// the package on the wire is dropped, 0 goes to register 0 and the run ends with a line that
// says so. The relock itself is never cut short. Once the command's work on the wire is over
// (for a verified transmit: once its transfer is recorded), and outside a unit command, the
// signals keep the action they had.
#include <QString>

#include <functional>

namespace unitops {

// Arms the stop signals while a unit command runs. Nested commands keep the outermost name
// ("the transmit").
class UnitCommandScope {
public:
    explicit UnitCommandScope(const QString& name);
    ~UnitCommandScope();
    UnitCommandScope(const UnitCommandScope&) = delete;
    UnitCommandScope& operator=(const UnitCommandScope&) = delete;
};

// A link open on the unit. A stop calls cancel, which drops the request under way (but not the
// relock); the link then locks the unit again as it closes, and the last link closed ends the
// run. A link outside any command, or after its command's work on the wire, is armed on its own.
class UnitLinkScope {
public:
    explicit UnitLinkScope(std::function<void()> cancel);
    ~UnitLinkScope();
    UnitLinkScope(const UnitLinkScope&) = delete;
    UnitLinkScope& operator=(const UnitLinkScope&) = delete;

private:
    UnitCommandScope m_command;
    std::function<void()> m_cancel;
};

// A stop signal came during the running unit command: no further request goes out but the one
// that locks the unit again.
bool StopRequested();
// The stop came once the transmitted setup was verified: the unit holds it, so the command ends
// as a verified transmit (recorded, its status that of success) once its scope closes.
bool StoppedAfterVerifiedTransmit();

// The running command is done with the unit and has locked it again: what follows (a result
// message, a window, a save) is no longer covered. A signal caught but not yet seen meets the
// action it has from now on. After a verified transmit the cover lasts until TransferRecorded().
void WireWorkDone();
// The verified transmit's record is saved (or left to the user): the stop covers no more.
void TransferRecorded();

// What the links did, for the line. A relock that went unanswered is kept for the whole run,
// until a later one is acknowledged.
void NoteUnlock();
void NoteRelock(bool acknowledged);
enum class SetupSent { Begun, Written, Verified };
void NoteSetupSent(SetupSent sent);
// "a signal (SIGTERM) stopped the transmit; the Control Unit was locked again; ..."
QString StopReason();

// How the run ends once the unit is locked again; the program installs it at start-up. Without
// one (in tests) the command simply ends as cancelled.
void SetStopEnd(std::function<void(int signal, const QString& reason)> end);

} // namespace unitops
