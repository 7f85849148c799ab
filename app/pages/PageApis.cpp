#include "app/pages/PageApis.h"

#include "app/pages/MainState.h"

bool ValidateCurrentPage(MainState& state, int tab)
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
