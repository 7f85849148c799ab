#include "app/frame/PageSetup.h"

#include "app/frame/frmMain.h"

#include <QWidget>

void InstallPages(frmMain& window)
{
    // Plain pages until each page's own class is put here; the frame calls a page's routines
    // only through its pointer in the state, which stays null meanwhile.
    static const char* names[8] = {"MainPage",     "SwitchPage",      "AnalogInPage", "StandbyOperationPage",
                                   "SpeedSensorPage", "BatteryPage", "InfoPage",     "RelaysPage"};
    for (int tab = 0; tab < 8; ++tab) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(names[tab]));
        window.SetPage(tab, page);
    }
}
