#include "app/frame/PageSetup.h"

#include "app/frame/frmMain.h"
#include "app/pages/channels/AnalogInPage.h"
#include "app/pages/channels/SwitchPage.h"
#include "app/pages/general/BatteryPage.h"
#include "app/pages/general/InfoPage.h"
#include "app/pages/general/MainPage.h"
#include "app/pages/general/RelaysPage.h"
#include "app/pages/general/SpeedSensorPage.h"
#include "app/pages/general/StandbyOperationPage.h"

#include <QWidget>

void InstallPages(frmMain& window)
{
    MainState& state = window.State();
    auto* main = new MainPage(state);
    state.mainPage = main;
    window.SetPage(TabMain, main);

    auto* digital = new SwitchPage(state);
    state.switchPage = digital;
    window.SetPage(TabSwitch, digital);

    auto* analog = new AnalogInPage(state);
    state.analogPage = analog;
    window.SetPage(TabAnalogIn, analog);

    auto* standby = new StandbyOperationPage(state);
    state.standbyPage = standby;
    window.SetPage(TabStandbyOperation, standby);

    auto* speed = new SpeedSensorPage(state);
    state.speedSensorPage = speed;
    window.SetPage(TabSpeedSensor, speed);

    auto* battery = new BatteryPage(state);
    state.batteryPage = battery;
    window.SetPage(TabBattery, battery);

    auto* info = new InfoPage(state);
    state.infoPage = info;
    window.SetPage(TabInfo, info);

    auto* relays = new RelaysPage(state);
    state.relaysPage = relays;
    window.SetPage(TabRelays, relays);
}
