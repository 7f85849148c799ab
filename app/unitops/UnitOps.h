#pragma once
// The unit operations the main window dispatches. Each runs on the frame's shared state and
// talks to the unit through a Comm of its own.
#include <QString>

class MainState;

namespace unitops {

// Short exchanges with the unit.
QString ReadUnitVersion(bool firmware);
bool DetectUnit();
bool IsPropulsionUnit();

// The setup transfer dialog, modal over the main window: commType 1 receives, 0 transmits.
// True when every step succeeded (on a receive the image is then loaded into the setup).
// firmware: the version the caller read for this command (the transmit's image was built for it);
// a unit that then reports another version gets nothing.
bool RunSetupTransfer(MainState& state, int commType, const QString& firmware = QString());

// The transmit command: page check, confirmations, firmware gates, the transfer and what follows.
bool DoFileTransmit(MainState& state);

// Raw setup log files.
bool OpenSetupLog(MainState& state, bool swapWords);
bool SaveSetupLog(MainState& state);

// Service commands.
void CmdDeleteLog(MainState& state, bool askPassword);
void CmdResetCounters(MainState& state, bool askPassword);
void CmdCounters(MainState& state, bool askPassword);
void CmdClock(MainState& state);
void CmdOptions(MainState& state);
void CmdBackupSystemSettings(MainState& state);
void CmdRetrieveLog(MainState& state);
// Closes the log download window at shut-down.
void CloseRetrieveLog();

} // namespace unitops
