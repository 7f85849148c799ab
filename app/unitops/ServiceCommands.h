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


// The major version of a firmware text: the number before its first "." (the whole text's
// leading number when it has no point).
double FirmwareMajor(const QString& firmware);

// The engine-hour reading as the two counter words: 23456 gives 2 and 3456.
QVector<qint32> CounterWords(qint32 hours);

} // namespace unitops
