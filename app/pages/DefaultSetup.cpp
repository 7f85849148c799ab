#include "app/pages/DefaultSetup.h"

#include "app/pages/channels/SwitchPage.h"

#include "app/pages/channels/AnalogInPage.h"
#include "app/pages/general/BatteryPage.h"
#include "app/pages/general/InfoPage.h"
#include "app/pages/general/MainPage.h"
#include "app/pages/general/RelaysPage.h"
#include "app/pages/general/SpeedSensorPage.h"
#include "app/pages/general/StandbyOperationPage.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelBattery.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/XelStandbyOperation.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cDigitalInAdditional.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSpeedRelay.h"

namespace defaultsetup {

void SetMainDefaults(XelObject& setup) { MainPage::SetMainDefaults(setup); }

void SetDigitalDefaults(XelObject& setup) { SwitchPage::SetDigitalDefaults(setup); }

void SetAnalogDefaults(XelObject& setup) { AnalogInPage::SetAnalogDefaults(setup); }

void SetStandbyOperationDefaults(XelObject& setup) { StandbyOperationPage::SetStandbyOperationDefaults(setup); }

void SetSpeedSensorDefaults(XelObject& setup) { SpeedSensorPage::SetSpeedSensorDefaults(setup); }

void SetBatteryDefaults(XelObject& setup) { BatteryPage::SetBatteryDefaults(setup); }

void SetRelaysDefaults(XelObject& setup) { RelaysPage::SetRelaysDefaults(setup); }

// The two relays of the terminal card: K7 drives "Standby Mode", K9 the generator breaker.
void SetRelaysNewDefaults(XelObject& setup) { RelaysPage::SetRelaysNewDefaults(setup); }

void SetSpeedRelaysDefaults(XelObject& setup) { SpeedSensorPage::SetSpeedRelaysDefaults(setup); }

void SetDigitalInAdditionalDefaults(XelObject& setup) { SwitchPage::SetDigitalInAdditionalDefaults(setup); }

void SetInfoDefaults(XelObject& setup) { InfoPage::SetInfoDefaults(setup); }

} // namespace defaultsetup

void FillDefaultSetup(XelObject& setup)
{
    using namespace defaultsetup;
    if (!setup.Main())
        return;
    SetMainDefaults(setup);
    SetDigitalDefaults(setup);
    SetAnalogDefaults(setup);
    SetStandbyOperationDefaults(setup);
    SetSpeedSensorDefaults(setup);
    SetInfoDefaults(setup);
    SetBatteryDefaults(setup);
    SetRelaysDefaults(setup);
    SetRelaysNewDefaults(setup);
    SetSpeedRelaysDefaults(setup);
    SetDigitalInAdditionalDefaults(setup);
    setup.ResetBackup();
}

std::unique_ptr<XelObject> CreateDefaultSetupDocument()
{
    auto setup = std::make_unique<XelObject>();
    FillDefaultSetup(*setup);
    return setup;
}
