#include "app/frame/PageSetup.h"

#include "app/frame/TabLeaveGuard.h"
#include "app/frame/frmMain.h"
#include "app/pages/channels/AnalogInPage.h"
#include "app/pages/channels/SwitchPage.h"
#include "app/pages/general/BatteryPage.h"
#include "app/pages/general/InfoPage.h"
#include "app/pages/general/MainPage.h"
#include "app/pages/general/RelaysPage.h"
#include "app/pages/general/SpeedSensorPage.h"
#include "app/pages/general/StandbyOperationPage.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/common/RowFit.h"
#include "controls/EntryBox.h"

#include <QTreeWidget>

namespace {

// Builds one page on its tab and publishes its routines in the state.
template <class Page, class Api>
void Install(frmMain& window, int tab, Api*& routines)
{
    auto* page = new Page(window.State());
    routines = page;
    // Every value and entry the page can show must fit in its box, whatever the font.
    pagecommon::KeepRowsFitted(page);
    // Another row of a list is left as the page is: the entry box with the focus commits first,
    // and a box taking the focus back keeps the row.
    for (QTreeWidget* list : page->template findChildren<QTreeWidget*>())
        new RowLeaveGuard(list, [&window] {
            return !EntryBox::FocusReturnPending() && !pagecommon::CommitFocusedEntry(&window);
        });
    window.SetPage(tab, page);
}

} // namespace

void InstallPages(frmMain& window)
{
    MainState& state = window.State();
    Install<MainPage>(window, TabMain, state.mainPage);
    Install<SwitchPage>(window, TabSwitch, state.switchPage);
    Install<AnalogInPage>(window, TabAnalogIn, state.analogPage);
    Install<StandbyOperationPage>(window, TabStandbyOperation, state.standbyPage);
    Install<SpeedSensorPage>(window, TabSpeedSensor, state.speedSensorPage);
    Install<BatteryPage>(window, TabBattery, state.batteryPage);
    Install<InfoPage>(window, TabInfo, state.infoPage);
    Install<RelaysPage>(window, TabRelays, state.relaysPage);
}
