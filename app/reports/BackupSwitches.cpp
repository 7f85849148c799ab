#include "app/reports/BackupSwitches.h"

#include "app/pages/general/frmBackupSystemSettings.h"

namespace reports {

BackupSwitchTexts BackupSwitches(const XelObject& setup)
{
    const BackupSwitchPositions p = BackupSwitchSettings(setup);
    BackupSwitchTexts t{p.S1, p.S2, p.S3, QString()};
    for (bool on : p.S4)
        t.s4 += on ? QLatin1Char('1') : QLatin1Char('0');
    return t;
}

} // namespace reports
