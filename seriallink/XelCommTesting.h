#pragma once
// Hooks for tests and benchmarks only; the program never calls them.
#include "seriallink/XelCommExport.h"

namespace XelCommTesting {

// Milliseconds the reply timer counts for one second of TimeOut (1000 unless changed).
XELCOMM_EXPORT void SetMillisecondsPerSecond(int ms);
XELCOMM_EXPORT int MillisecondsPerSecond();
// Starts the package stamp run again, as after loading the library.
XELCOMM_EXPORT void ResetPackageStamp();

} // namespace XelCommTesting
