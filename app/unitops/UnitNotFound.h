#pragma once
// What the user is told when no control unit answered.
#include <QString>

namespace unitops {

// The status text after a link found no unit: the port and the device tried, and why that
// failed (the system's reason when the port could not be opened, else that nothing answered).
QString UnitNotFoundStatus();

// Message 140, with that status text in the status bar.
void ShowUnitNotFound();

} // namespace unitops
