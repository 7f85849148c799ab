#include "app/reports/BackupSwitches.h"
#include "app/reports/Reports.h"

namespace reports {
BackupSwitchTexts BackupSwitches(const XelObject&) { return {}; }
void PrintSetup(MainState&, bool) {}
}
