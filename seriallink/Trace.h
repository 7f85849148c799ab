#pragma once
// The library's trace: lines go to the trace window while the debug switch is on.
#include <QString>

namespace xelcomm {

bool DebugOn();
void SetDebugOn(bool on);
void Trace(const QString& line);
// Called by StartComm before its start lines: clears the window unless it appends.
void NewTrace();

} // namespace xelcomm
