// The Tab key walks every page and dialog in the order the user sees its controls.
#include "tests/app/frame/FrameTestSupport.h"

#include "app/reports/frmPrint.h"
#include "app/reports/frmPrintDialog.h"

#include <QTabBar>
#include <QTabWidget>
#include <QTest>

using namespace frametest;

namespace {

class TabOrderTest : public FrameTest {
protected:
    // The controls of `root` the Tab key reaches, in that order, walking on from `from` (a
    // page is entered from the tab strip): those on show, by name.
    static QStringList Chain(QWidget* root, QWidget* from = nullptr)
    {
        QStringList names;
        QWidget* start = from ? from : root;
        QWidget* w = start;
        for (int guard = 0; guard < 5000; ++guard) {
            w = w->nextInFocusChain();
            if (w == start)
                break;
            if (root->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(root)
                && !w->focusProxy() && !w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
                names << (w->objectName() == "txtNumber" ? w->parentWidget()->objectName() : w->objectName());
        }
        return names;
    }
};

} // namespace

// One row per page and dialog: the controls on show as the Tab key reaches them, which is the
// order they are seen in, rows from the top and left to right, a frame's controls together.
TEST_F(TabOrderTest, EveryPageAndDialogTabsInTheOrderItIsSeen)
{
    ASSERT_TRUE(Start());
    window->show();
    const QList<QStringList> pages = {
        {"cmbMainOperationMode", "txtMainDescription", "cmbMainLanguage", "numMainLCDLightDelay", "cmbMainLCDLightScale",
         "chkMainInvertLCDOnAlarm", "chkMainAckOnWarning", "chkMainShutdownOverride", "chkMainClassified", "chkMainCAN",
         "chkMainDiagnostics", "cmdMainComliIDChange", "cmbMainEngineType", "cmbMainEngineHours", "cmbMainOutput",
         "txtMainFirmware"},
        {"lvwDigital", "chkDigitalActive", "txtDigitalDescription", "cmbDigitalAction", "numDigitalAlarmDelay",
         "cmbDigitalSwitchType", "chkDigitalAlarmOnRunOnly", "numDigitalInitialDelay", "chkDigitalBrokenWireDetection",
         "chkDigitalAdditionalRunDetection", "txtDigitalInfo", "cmbDigitalInAdditional_0", "cmbDigitalInAdditional_1"},
        {"lvwAnalog", "chkAnalogActive", "txtAnalogDescription", "txtAnalogInfo", "cmbAnalogInputType", "cmbAnalogJ",
         "numAnalogSensorMin", "numAnalogSensorMax", "cmbAnalogUnits", "chkAnalogDoubleScale", "cmbAnalogAction",
         "numAnalogLimit_1", "numAnalogLimit_0", "numAnalogLimit_2", "chkAnalogAdditionalRunDetection",
         "chkAnalogAlarmOnRunOnly", "numAnalogInitialDelay", "cmbAnalogActionDirection", "numAnalogAlarmDelay"},
        {"numStandbyOperationInitial", "numStandbyOperationCranking", "numStandbyOperationAttempts",
         "numStandbyOperationDelay", "numStandbyOperationGenBreak", "numStandbyOperationCooling"},
        {"cmbSpeedSensorNumberOfPickups_0", "cmbSpeedSensorRPMSender_0", "numSpeedSensorPulsesPerRevolution_0",
         "cmbSpeedSensorNumberOfPickups_1", "cmbSpeedSensorRPMSender_1", "numSpeedSensorPulsesPerRevolution_1",
         "numSpeedSensorNomMax", "numSpeedSensorSpeeding", "numSpeedSensorSpeedingShutdown",
         "numSpeedSensorReadyToTakeLoad", "numSpeedSensorRUNDetectedAt", "numSpeedSensorRUNDetectionDelay",
         "lvwSpeedRelays", "numSpeedRelaySpeed", "lvwAdditionalRunDetection"},
        {"cmbBatteryStartBatteryVoltage", "numBatteryLowBatteryVAlarm", "numBatteryDelay"},
        {"txtInfo_0", "txtInfoText", "cmdInfoLoad", "cmdInfoSave"},
        {"lvwRelay", "lvwRelayNew", "cmdRelayAdd", "cmdRelayRemove", "cmdRelayNewAdd", "cmdRelayNewRemove",
         "chkRelaysT44"},
    };
    QTabWidget* tabs = window->Tabs();
    ASSERT_EQ(tabs->count(), pages.size());
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        EXPECT_EQ(Chain(tabs->widget(i), tabs->tabBar()), pages.at(i)) << "page " << i;
    }

    // The info text box lets the keys walk on: Tab to the next control, Ctrl+Tab to the next page.
    const int info = int(pages.indexOf(QStringList{"txtInfo_0", "txtInfoText", "cmdInfoLoad", "cmdInfoSave"}));
    tabs->setCurrentIndex(info);
    auto* text = tabs->widget(info)->findChild<QWidget*>("txtInfoText");
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Tab);
    EXPECT_EQ(window->focusWidget()->objectName(), "cmdInfoLoad");
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), info + 1);

    // A dialog: the windows get their order the same way when they are shown.
    frmPrint print(window->State());
    frmPrintDialog dialog(print);
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(Chain(&dialog), QStringList({"cmdSetup", "numCopies", "chkPreview", "cmdOK", "cmdCancel"}));
}
