#pragma once
#include "app/reports/TextReport.h"

class XelObject;

namespace reports {
// The backup-system switch positions of a setup, as both reports print them.
BackupSwitchTexts BackupSwitches(const XelObject& setup);
}
