#include "app/setupdefaults/DefaultSetup.h"

#include "app/setupdefaults/AnalogDefaults.h"
#include "app/setupdefaults/RelayDefaults.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelBattery.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelEnums.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelRelay.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/XelStandbyOperation.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cDigitalInAdditional.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSpeedRelay.h"

namespace defaultsetup {

void SetMainDefaults(XelObject& setup)
{
    XelMain* main = setup.Main();
    if (!main)
        return;
    main->SetOperationMode(0);
    main->SetLanguage(0);
    main->SetIDNumber(1);
    main->SetRunDelay(8);
    main->SetLCDLight(63);
    main->SetInvertLCDOnAlarm(false);
    main->SetCAN(false);
    main->SetUser(QString());
    main->SetCANNumber(171);
    main->SetCANPIDTimeout(20);
    main->SetEngineType(255);
    main->SetClassified(true);
    main->SetAckOnWarning(false);
    main->SetPrinterOutput(false);
    main->SetEngineHours(0);
}

void SetDigitalDefaults(XelObject& setup)
{
    for (qint32 n = 1; n <= 12; ++n) {
        XelDigitalIn* input = setup.DigitalIn()->Add(n, extra::GetLangString(quint16(900 + n)));
        if (!input)
            continue;
        input->SetDelay(2);
        input->SetInitialDelay(15);
        input->SetAction(2);
    }
}

void SetAnalogDefaults(XelObject& setup)
{
    for (int n = 1; n <= modAnalog::kWiredChannels; ++n) {
        XelAnalogIn* input = setup.AnalogIn()->Add(n, extra::GetLangString(quint16(modAnalog::kBusTerminalText + n)));
        if (input)
            modAnalog::WriteChannelDefaults(*input, qint32(AnalogInputType::mA4_20));
    }
}

void SetStandbyOperationDefaults(XelObject& setup)
{
    XelStandbyOperation* part = setup.StandbyOperation();
    if (!part)
        return;
    part->SetInitialStartDelay(1);
    part->SetStartAttempts(3);
    part->SetCrankingTime(7);
    part->SetDelay(7);
    part->SetGenBreakTimer(180);
    part->SetCooling(3);
    part->SetFuelConsumption(0);
}

void SetSpeedSensorDefaults(XelObject& setup)
{
    XelSpeedSensor* sensor = setup.SpeedSensor();
    if (!sensor)
        return;
    sensor->SetSender(0, 1);
    sensor->SetSender(1, 1);
    sensor->SetPulsesPerRevolution(0, 150);
    sensor->SetPulsesPerRevolution(1, 150);
    sensor->SetPickupType(0, 1);
    sensor->SetPickupType(1, 0);
    sensor->SetReadyToTakeLoad(1410);
    sensor->SetNomSpeed(1500);
    sensor->SetSpeeding(1725);
    sensor->SetSpeedingShutdown(0.1f);
    sensor->SetRunDetectedAt(400);
    if (setup.Main())
        setup.Main()->SetRunDelay(60);
}

void SetBatteryDefaults(XelObject& setup)
{
    XelBattery* part = setup.Battery();
    if (!part)
        return;
    part->SetLowBatteryVoltage(25.5f);
    part->SetDelay(60);
    part->SetBatteryVoltage(24);
    part->SetLowBatteryVoltageAlarm(true);
    part->SetCANBatteryType(38);
}

void SetRelaysDefaults(XelObject& setup)
{
    for (int n = 1; n <= 14; ++n)
        setup.Relay()->Add(n, QString());
}

// The two relays of the terminal card: K7 drives "Standby Mode", K9 the generator breaker.
void SetRelaysNewDefaults(XelObject& setup)
{
    cRelay* relays = setup.RelayNew();
    relays->Add(1, QString(), extra::GetLangString(6000));
    relays->Add(2, QString(), extra::GetLangString(6001));
    const int codes[2] = {RelayFunction::kStandbyMode, RelayFunction::kDiscGenBreaker};
    for (int i = 1; i <= 2; ++i) {
        if (XelRelay* relay = relays->Item(i)) {
            relay->SetFunctionNo(codes[i - 1]);
            relay->SetInUse(true);
        }
    }
}

void SetSpeedRelaysDefaults(XelObject& setup)
{
    cSpeedRelay* relays = setup.SpeedRelays();
    if (!relays)
        return;
    for (int n = 1; n <= 4; ++n) {
        const quint16 id = quint16(5157 + n);
        // A missing name leaves that speed relay out; the others keep their numbers.
        if (!extra::LangStringExists(id))
            continue;
        if (XelSpeedRelay* relay = relays->Add(n, extra::GetLangString(id)))
            relay->SetFunctionNo(57 + n);
    }
}

void SetDigitalInAdditionalDefaults(XelObject& setup)
{
    for (qint32 i = 0; i <= 1; ++i)
        setup.DigitalInAdditional()->Add(i + 1, 61 + i);
    // The combos are left alone here: a new document is also built to read a file or the unit
    // into, and when that fails the open setup stays. Every setup shown refills them.
}

void SetInfoDefaults(XelObject& setup)
{
    if (setup.Info())
        setup.Info()->SetInfo(QString());
}

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
