#pragma once
// SIGINT, SIGTERM or SIGHUP during a unit command is that command's Cancel: the package on the
// wire is dropped, 0 goes to register 0 and the run ends with a line that says so. Outside a
// unit command the signals keep their default action.
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

// A link open on the unit. A stop calls cancel, which drops the request under way; the link
// then locks the unit again as it closes, and the last link closed ends the run. A link outside
// any command is a unit command of its own.
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
// What the links did after the stop, for the line.
void NoteRelock(bool acknowledged);
void NoteSetupIncomplete(bool written);
// "a signal (SIGTERM) stopped the transmit; the Control Unit was locked again; ..."
QString StopReason();

// How the run ends once the unit is locked again; the program installs it at start-up. Without
// one (in tests) the command simply ends as cancelled.
void SetStopEnd(std::function<void(int signal, const QString& reason)> end);

} // namespace unitops
