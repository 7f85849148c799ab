#include "app/pages/PageApis.h"

#include "app/pages/MainState.h"
#include "app/pages/common/PageCommon.h"

namespace {

bool PagePasses(MainState& state, int tab)
{
    switch (tab) {
    case TabMain: return !state.mainPage || state.mainPage->ValidateMain();
    case TabSwitch: return !state.switchPage || state.switchPage->ValidateDigital();
    case TabAnalogIn: return !state.analogPage || state.analogPage->ValidateAnalog(0);
    case TabStandbyOperation: return !state.standbyPage || state.standbyPage->ValidateStandbyOperation();
    case TabSpeedSensor:
        if (!state.speedSensorPage)
            return true;
        if (!state.speedSensorPage->ValidateSpeedSensor())
            return false;
        state.speedSensorPage->UpdateSpeedingLabel();
        return true;
    case TabBattery: return !state.batteryPage || state.batteryPage->ValidateBattery();
    // "Info.", "Relays" and any other page have no checks.
    default: return true;
    }
}

} // namespace

bool ValidateCurrentPage(MainState& state, int tab)
{
    if (!PagePasses(state, tab))
        return false;
    // The page's checks read the entries as typed and name their own limits. A box they do not
    // cover then commits as leaving it would, before the caller reads the setup; a value it had
    // to correct stops the caller, so the user sees the limit before it is saved, sent or left.
    return !state.frame || !pagecommon::CommitFocusedEntry(state.frame->MainWindow());
}
