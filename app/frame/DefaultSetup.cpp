#include "app/frame/DefaultSetup.h"

#include "app/services/extra/extra.h"
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

void SetMainDefaults(XelObject& setup)
{
    XelMain* main = setup.Main();
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
    for (qint32 n = 1; n <= 11; ++n) {
        XelAnalogIn* channel = setup.AnalogIn()->Add(n, extra::GetLangString(quint16(920 + n)));
        if (!channel)
            continue;
        channel->SetSensorMin(0);
        channel->SetSensorMax(1000);
        channel->SetLimit(0, 0);
        channel->SetLimit(1, 0);
        channel->SetAction(0);
        channel->SetActionDirection(0);
        channel->SetOnRunOnly(false);
        channel->SetInitialDelay(0);
        channel->SetAlarmDelay(2);
        channel->SetInputType(0);
        channel->SetDoubleScale(false);
        channel->SetRPMLimit(0, 0);
        channel->SetRPMLimit(1, 0);
        channel->SetRPM(0, 600);
        channel->SetRPM(1, 1200);
        channel->SetText(QString());
        channel->SetUnits(QString());
        channel->SetJValues(JData());
    }
}

void SetStandbyOperationDefaults(XelObject& setup)
{
    XelStandbyOperation* standby = setup.StandbyOperation();
    standby->SetInitialStartDelay(1);
    standby->SetStartAttempts(3);
    standby->SetCrankingTime(7);
    standby->SetDelay(7);
    standby->SetGenBreakTimer(180);
    standby->SetCooling(3);
    standby->SetFuelConsumption(0);
}

void SetSpeedSensorDefaults(XelObject& setup)
{
    XelSpeedSensor* sensor = setup.SpeedSensor();
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
    setup.Main()->SetRunDelay(60);
}

void SetBatteryDefaults(XelObject& setup)
{
    XelBattery* battery = setup.Battery();
    battery->SetLowBatteryVoltage(25.5f);
    battery->SetDelay(60);
    battery->SetBatteryVoltage(24);
    battery->SetLowBatteryVoltageAlarm(true);
    battery->SetCANBatteryType(38);
}

void SetRelaysDefaults(XelObject& setup)
{
    for (qint32 n = 1; n <= 14; ++n)
        setup.Relay()->Add(n, QString());
}

// The two relays of the terminal card: K7 drives "Standby Mode", K9 the generator breaker.
void SetRelaysNewDefaults(XelObject& setup)
{
    cRelay* relays = setup.RelayNew();
    relays->Add(1, QString(), extra::GetLangString(6000));
    relays->Add(2, QString(), extra::GetLangString(6001));
    const quint8 codes[2] = {46, 66};
    for (qint32 i = 1; i <= 2; ++i) {
        if (XelRelay* relay = relays->Item(i)) {
            relay->SetFunctionNo(codes[i - 1]);
            relay->SetInUse(true);
        }
    }
}

void SetSpeedRelaysDefaults(XelObject& setup)
{
    for (qint32 n = 1; n <= 4; ++n) {
        const quint16 id = quint16(5157 + n);
        if (!extra::LangStringExists(id))
            continue;
        if (XelSpeedRelay* relay = setup.SpeedRelays()->Add(n, extra::GetLangString(id)))
            relay->SetFunctionNo(quint8(57 + n));
    }
}

void SetDigitalInAdditionalDefaults(XelObject& setup)
{
    for (qint32 i = 0; i <= 1; ++i)
        setup.DigitalInAdditional()->Add(i + 1, 61 + i);
}

void SetInfoDefaults(XelObject& setup) { setup.Info()->SetInfo(QString()); }

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
