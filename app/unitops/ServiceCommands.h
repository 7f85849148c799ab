#pragma once
// The service commands of the main window (delete log, reset counters, counters, clock,
// options, backup-system settings, log download), declared in UnitOps.h, and what their
// dialogs share: the service password rule and the short register links they run.
#include "app/unitops/UnitOps.h"

#include <QDate>
#include <QString>
#include <QVector>

class FrameApi;

namespace unitops {

// The password of the day: a number made from the day of the month, a hyphen and three
// copies of one letter ("94-KKK" on the 9th). Never stored; it changes every day.
QString ServiceCode(const QDate& today);

// Stand-ins for the unit service register operations, with the same names and meaning,
// used by the service commands and their dialogs until those operations are shared.
// The waits after a command (3000 ms) and after a counter write (500 ms) block without
// letting events run. Every link that wrote the unlock code relocks the unit (register 0
// back to 0) on every way out, failures included.
namespace interim {

// Where the short links ask for a port when none is stored; null: no port can be chosen.
void SetUnitLinkFrame(FrameApi* frame);
FrameApi* UnitLinkFrame();

bool DetectUnit();
bool EngineIsStopped();
QString ReadUnitVersion(bool firmware);
// True when the unit has carried out the command (76 delete log, 72 reset counters).
bool SendUnitCommand(quint8 command);
// Both counter words (hours / 10000 and hours mod 10000); true when both read back equal.
bool WriteCounterRegisters(const QVector<qint32>& values);
// The five clock words from register 2820 in one write (the clock needs no unlock).
// False when the port was not chosen (nothing written, portCancelled set) or the write failed.
bool WriteClockRegisters(const QVector<qint32>& values, bool& portCancelled);

} // namespace interim

// The major version of a firmware text: the number before its first "." (the whole text's
// leading number when it has no point).
double FirmwareMajor(const QString& firmware);

// The engine-hour reading as the two counter words: 23456 gives 2 and 3456.
QVector<qint32> CounterWords(qint32 hours);

} // namespace unitops
