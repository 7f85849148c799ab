#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/unitops/UnitCommandStop.h"
#include "app/unitops/UnitOps.h"
#include "app/unitops/UnitRegisters.h"
#include "app/unitops/frmComm.h"

namespace unitops {

bool RunSetupTransfer(MainState& state, int commType, const QString& firmware)
{
    UnitCommandScope unitCommand(commType == 1 ? QStringLiteral("the receive") : QStringLiteral("the transmit"));
    if (state.frame)
        SetUnitLinkFrame(state.frame);
    frmComm dialog(state, state.frame ? state.frame->MainWindow() : nullptr);
    dialog.SetCommType(qint16(commType));
    dialog.SetXelObject(state.XelObject());
    dialog.SetFirmware(firmware);
    dialog.exec();
    return dialog.Success();
}

} // namespace unitops
