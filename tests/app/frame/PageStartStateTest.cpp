// What every page shows when the program starts, the tool bar's own glyphs, and the
// classifiable mark of an opened setup through stores, save and reopen.
#include "tests/app/frame/FrameTestSupport.h"

#include "app/frame/StateIcons.h"
#include "controls/EntryBox.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

using namespace frametest;

namespace {

class PageStartState : public FrameTest {
protected:
    QWidget* Control(const char* name) const { return window->findChild<QWidget*>(QString::fromLatin1(name)); }
    template <class T>
    T* Find(const char* name) const
    {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
};

// The text a control shows; check boxes lead with their mark ("[x] ", "[ ] ").
QString ShownText(QWidget* w)
{
    if (auto* box = qobject_cast<QCheckBox*>(w))
        return (box->isChecked() ? QStringLiteral("[x] ") : QStringLiteral("[ ] ")) + box->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    if (auto* line = qobject_cast<QLineEdit*>(w))
        return line->text();
    if (auto* text = qobject_cast<QPlainTextEdit*>(w))
        return text->toPlainText();
    if (auto* entry = dynamic_cast<EntryBox*>(w))
        return entry->TextBox()->text();
    if (auto* list = qobject_cast<QTreeWidget*>(w))
        return QStringLiteral("%1 rows").arg(list->topLevelItemCount());
    return QString();
}

// A setup stored as classifiable whose switch input 2 shuts down without broken-wire
// detection, with J1939/J1587 support on.
void BlockedClassifiable(XelObject& d)
{
    d.Main()->SetClassified(true);
    XelDigitalIn* input = d.DigitalIn()->Item(2);
    input->SetActive(true);
    input->SetAction(3);
    input->SetBrokenWireDetection(false);
}

} // namespace

TEST_F(PageStartState, EveryPageAtStartUp)
{
    struct Row {
        int tab;
        const char* name;
        bool visible, enabled;
        const char* text; // nullptr: not compared
    } rows[] = {
        // Main
        {0, "fraMain", true, true, ""},
        {0, "cmbMainOperationMode", true, true, "Auxiliary"},
        {0, "txtMainDescription", true, true, nullptr},
        {0, "cmbMainLanguage", true, true, "English"},
        {0, "numMainLCDLightDelay", true, true, "3"},
        {0, "cmbMainLCDLightScale", true, true, "Hours"},
        {0, "chkMainInvertLCDOnAlarm", true, true, "[ ] Invert Display On Alarm"},
        {0, "chkMainAckOnWarning", true, true, "[ ] Warning Requires Acknowledge"},
        {0, "chkMainShutdownOverride", true, true, "[ ] Shutdown Override also overrides Overspeed"},
        {0, "chkMainClassified", true, true, "[x] Classifiable Project"},
        {0, "chkMainCAN", true, true, "[ ] J1939 CAN / J1587 Support"},
        {0, "conMainMID", false, true, ""},
        {0, "lblMainMID", false, false, "MID 171"},
        {0, "cmdMainMIDChange", false, false, "Change..."},
        {0, "conMainCANDiagnosis", true, true, ""},
        {0, "chkMainDiagnostics", true, true, "[ ] Enable Diagnostic"},
        {0, "cmdMainCANDiagnosis", false, false, "Diagnostic..."},
        {0, "lblMainComliID", true, true, "ID 1"},
        {0, "cmdMainComliIDChange", true, true, "Change..."},
        {0, "cmbMainEngineType", true, true, "Unknown"},
        {0, "cmbMainEngineHours", true, true, "Local"},
        {0, "cmbMainOutput", true, true, "Communication"},
        {0, "txtMainFirmware", true, true, ""},
        // Switch
        {1, "lvwDigital", true, true, "12 rows"},
        {1, "lblDigitalCount", true, true, "None Active"},
        {1, "chkDigitalActive", true, false, "[ ] Active"},
        {1, "picActionText_0", false, true, "(!) Not active"},
        {1, "conDigital", true, true, ""},
        {1, "cmbDigitalInputType", false, false, "Switch"},
        {1, "conDigitalPID", false, false, ""},
        {1, "cmbDigitalJ", false, false, ""},
        {1, "txtDigitalDescription", true, false, ""},
        {1, "cmbDigitalAction", true, false, "Warning"},
        {1, "numDigitalAlarmDelay", true, false, "2"},
        {1, "picActionText_4", false, false, "(!)"},
        {1, "cmbDigitalSwitchType", true, false, "Normally Closed"},
        {1, "chkDigitalAlarmOnRunOnly", true, false, "[ ] Warning on RUN Only"},
        {1, "picActionText_3", false, false, "(i)"},
        {1, "conDigitalInitialDelay", true, false, ""},
        {1, "numDigitalInitialDelay", true, false, "15"},
        {1, "conDigitalBrokenWireDetection", true, false, ""},
        {1, "chkDigitalBrokenWireDetection", true, false, "[ ] Broken Wire Detection"},
        {1, "chkDigitalAdditionalRunDetection", true, false, "[ ] Additional RUN Detection"},
        {1, "txtDigitalInfo", true, false, ""},
        {1, "conDigitalInAdditional", true, true, ""},
        {1, "cmbDigitalInAdditional_0", true, true, ""},
        {1, "cmbDigitalInAdditional_1", true, true, ""},
        // Analog In
        {2, "lvwAnalog", true, true, "11 rows"},
        {2, "lblAnalogCount", true, true, "None Active"},
        {2, "chkAnalogActive", true, false, "[ ] Active"},
        {2, "picActionText_1", false, true, ""},
        {2, "picActionText_2", false, true, ""},
        {2, "conAnalog", true, true, ""},
        {2, "txtAnalogDescription", true, false, ""},
        {2, "txtAnalogInfo", true, false, ""},
        {2, "cmbAnalogInputType", true, false, "4..20mA"},
        {2, "conAnalogPID", true, false, ""},
        {2, "cmbAnalogJ", true, false, ""},
        {2, "numAnalogSensorMin", true, false, "0.0"},
        {2, "numAnalogSensorMax", true, false, "100.0"},
        {2, "cmbAnalogUnits", true, false, ""},
        {2, "chkAnalogDoubleScale", true, false, "[ ] Double Scale"},
        {2, "cmbAnalogAction", true, false, "None"},
        {2, "conAnalogLimit", true, false, ""},
        {2, "conAnalogLimitWarning", true, false, ""},
        {2, "numAnalogLimit_1", true, false, "0.0"},
        {2, "conAnalogLimitAlarm", true, false, ""},
        {2, "numAnalogLimit_0", true, false, "0.0"},
        {2, "conAnalogAlarmSetpoint_0", false, false, ""},
        {2, "numAnalogLimitSetpoint_0", false, false, "0.0"},
        {2, "numAnalogSetpointRPM_0", false, false, "600"},
        {2, "conAnalogAlarmSetpoint_1", false, false, ""},
        {2, "numAnalogLimitSetpoint_1", false, false, "0.0"},
        {2, "numAnalogSetpointRPM_1", false, false, "1200"},
        {2, "conAnalogLimitShutdown", true, false, ""},
        {2, "numAnalogLimit_2", true, false, "0.0"},
        {2, "graRPMDependentAlarm", false, false, ""},
        {2, "conAnalogActionType", true, false, ""},
        {2, "chkAnalogAdditionalRunDetection", true, false, "[ ] Additional Run Detection"},
        {2, "chkAnalogAlarmOnRunOnly", true, false, "[ ] Action on RUN Only"},
        {2, "conAnalogInitialDelay", true, false, ""},
        {2, "numAnalogInitialDelay", true, false, "0"},
        {2, "picActionText_6", false, false, ""},
        {2, "conAnalogActionInfo", true, false, ""},
        {2, "cmbAnalogActionDirection", true, false, "when above limit"},
        {2, "numAnalogAlarmDelay", true, false, "2"},
        {2, "picActionText_5", false, false, ""},
        // Standby Operation
        {3, "conStandbyOperationStarting", true, true, ""},
        {3, "lblStandbyOperationPreheat", false, true, "(Preheat)"},
        {3, "numStandbyOperationInitial", true, true, "1"},
        {3, "numStandbyOperationCranking", true, true, "7"},
        {3, "conStandbyOperationStartingBottom", true, true, ""},
        {3, "numStandbyOperationAttempts", true, true, "3"},
        {3, "numStandbyOperationDelay", true, true, "7"},
        {3, "conStandbyOperationStopping", true, true, ""},
        {3, "numStandbyOperationGenBreak", true, true, "180"},
        {3, "numStandbyOperationCooling", true, true, "3"},
        {3, "conStandbyOperationFuel", false, true, ""},
        {3, "cmbStandbyOperationFuel", false, false, "None"},
        {3, "lblStandbyOperationFuelMessage", false, false, "Fuel consumption is not measured."},
        {3, "lblStandbyOperationPropulsion", false, true, "These settings are effective only when communicating to a Slave Panel"},
        // Speed Sensor
        {4, "conSpeedSensorSpeed", true, true, ""},
        {4, "cmbSpeedSensorNumberOfPickups_0", true, true, "Local at Terminal 5, 6"},
        {4, "conSpeedSensorPickup_0", true, true, ""},
        {4, "cmbSpeedSensorRPMSender_0", true, true, "Pickup At Flywheel"},
        {4, "numSpeedSensorPulsesPerRevolution_0", true, true, "150"},
        {4, "conSpeedSensorPickup2", true, true, ""},
        {4, "cmbSpeedSensorNumberOfPickups_1", true, true, "Not used"},
        {4, "conSpeedSensorPickup_1", true, true, ""},
        {4, "lblSpeedSensorPickup2", true, false, "Pickup Two RPM Sender"},
        {4, "cmbSpeedSensorRPMSender_1", true, false, "Pickup At Flywheel"},
        {4, "numSpeedSensorPulsesPerRevolution_1", true, false, "150"},
        {4, "lblSpeedSensorNomMax", true, true, "Nominal Speed"},
        {4, "numSpeedSensorNomMax", true, true, "1500"},
        {4, "numSpeedSensorSpeeding", true, true, "1725"},
        {4, "lblSpeedSensorSpeeding", true, true, "RPM (15.0%) after"},
        {4, "numSpeedSensorSpeedingShutdown", true, true, "0.1"},
        {4, "numSpeedSensorReadyToTakeLoad", true, true, "1410"},
        {4, "numSpeedSensorRUNDetectedAt", true, true, "400"},
        {4, "conSpeedSensorPickupAdd", true, true, ""},
        {4, "numSpeedSensorRUNDetectionDelay", true, true, "60"},
        {4, "conSpeedSensorSpeedRelays", true, true, ""},
        {4, "conSpeedRelayRPM", true, true, ""},
        {4, "numSpeedRelaySpeed", true, false, "0"},
        {4, "lvwSpeedRelays", true, true, "4 rows"},
        {4, "conSpeedSensorRUN", true, true, ""},
        {4, "lvwAdditionalRunDetection", true, true, "0 rows"},
        {4, "lblAdditionalRUN", true, true, "None Selected"},
        // Battery
        {5, "conBatteryAlarm", true, true, ""},
        {5, "cmbBatteryStartBatteryVoltage", true, true, "24 Volt"},
        {5, "numBatteryLowBatteryVAlarm", true, true, "25.5"},
        {5, "numBatteryDelay", true, true, "60"},
        {5, "conBatteryCANLocation", false, false, ""},
        {5, "cmbBatteryCANLocation", false, false, "Battery Voltage"},
        {5, "lblBatteryInfo", false, true, "Requires external DC/DC converter. Please consult the Installation Manual"},
        // Info.
        {6, "txtInfo_0", true, true, ""},
        {6, "txtInfo_1", false, true, ""},
        {6, "txtInfoWindow", true, true, ""},
        {6, "txtInfoText", true, true, ""},
        {6, "cmdInfoLoad", true, true, "Load Template..."},
        {6, "cmdInfoSave", true, true, "Save Template..."},
        // Relays
        {7, "lvwRelay", true, true, "14 rows"},
        {7, "lvwRelayNew", true, true, "2 rows"},
        {7, "cmdRelayAdd", true, true, "Add..."},
        {7, "cmdRelayRemove", true, false, "Remove"},
        {7, "cmdRelayNewAdd", true, true, "Add..."},
        {7, "cmdRelayNewRemove", true, false, "Remove"},
        {7, "chkRelaysT44", true, true, "[ ] Disable Broken Wire Alarm On Terminal 44"},
    };
    ASSERT_TRUE(Start());
    int shownTab = -1;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        if (r.tab != shownTab) {
            window->Tabs()->setCurrentIndex(r.tab);
            shownTab = r.tab;
            ASSERT_EQ(window->Tabs()->currentIndex(), r.tab);
        }
        QWidget* w = Control(r.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->isVisibleTo(window->Tabs()->widget(r.tab)), r.visible);
        EXPECT_EQ(w->isEnabled(), r.enabled);
        if (r.text)
            EXPECT_EQ(ShownText(w), QString::fromUtf8(r.text));
    }
    // The description of "Auxiliary", whatever its line ends.
    EXPECT_EQ(ShownText(Control("txtMainDescription")).remove('\r'), extra::GetLangString(11).remove('\r'));
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
    EXPECT_FALSE(window->XelObject()->Changed());
}

TEST_F(PageStartState, PrintAndHelpButtonsShowTheProgramsGlyphs)
{
    ASSERT_TRUE(Start());
    auto* bar = Find<QToolBar>("Toolbar");
    ASSERT_NE(bar, nullptr);
    struct Row {
        const char* tool;
        const char* glyph;
        QPoint at;
        QRgb colour; // 0: see-through
    } rows[] = {
        {"print", "PRINT", {7, 3}, qRgb(255, 255, 255)},  // the sheet going in
        {"print", "PRINT", {12, 8}, qRgb(0, 150, 0)},     // the power light
        {"print", "PRINT", {7, 13}, qRgb(96, 96, 96)},    // a printed line
        {"print", "PRINT", {0, 0}, 0},
        {"contents", "HELP", {7, 8}, qRgb(255, 255, 255)}, // the question mark
        {"contents", "HELP", {3, 7}, qRgb(30, 90, 200)},   // the disc
        {"contents", "HELP", {0, 0}, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(QStringLiteral("%1 at %2,%3").arg(r.tool).arg(r.at.x()).arg(r.at.y()).toStdString());
        const QImage glyph = StateIcons::ToolGlyph(QString::fromLatin1(r.glyph)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(glyph.size(), QSize(16, 16));
        if (r.colour == 0)
            EXPECT_EQ(qAlpha(glyph.pixel(r.at)), 0);
        else
            EXPECT_EQ(glyph.pixel(r.at), r.colour | 0xFF000000u);
        QAction* action = window->Tool(QString::fromLatin1(r.tool));
        ASSERT_TRUE(bar->actions().contains(action));
        const QImage shown = action->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(shown.pixel(r.at), glyph.pixel(r.at));
    }
    EXPECT_TRUE(StateIcons::ToolGlyph("NOSUCH").isNull());
}

// A setup stored as classifiable with an input that blocks it: the box, the stored mark and
// the status panel agree after opening and after every store, and the saved file differs from
// the opened one only by the user's edit.
TEST_F(PageStartState, ClassifiableMarkOfAnOpenedSetupSurvivesStoresAndSave)
{
    struct Case {
        const char* what;
        std::function<void(XelObject&)> stored;
        std::function<void()> edit;
        std::function<void(XelObject&)> same; // the edit made in the data model
        bool classified;
    } cases[] = {
        {"J1939 switched off",
         [](XelObject& d) {
             d.Main()->SetCAN(true);
             for (int n = 12; n <= 17; ++n) // the bus channels of a setup with J1939/J1587
                 d.AnalogIn()->Add(n, extra::GetLangString(quint16(920 + n)));
         },
         [this] { Find<QCheckBox>("chkMainCAN")->setChecked(false); },
         [](XelObject& d) {
             d.Main()->SetCAN(false);
             while (d.AnalogIn()->Count() > 11)
                 d.AnalogIn()->Remove(d.AnalogIn()->Count());
         },
         true},
        {"display inverted on alarm", [](XelObject&) {},
         [this] { Find<QCheckBox>("chkMainInvertLCDOnAlarm")->setChecked(true); },
         [](XelObject& d) { d.Main()->SetInvertLCDOnAlarm(true); }, true},
        {"another unit language", [](XelObject&) {},
         [this] { Find<QComboBox>("cmbMainLanguage")->setCurrentIndex(2); },
         [](XelObject& d) { d.Main()->SetLanguage(2); }, true},
        {"the user clears the mark", [](XelObject&) {},
         [this] { Find<QCheckBox>("chkMainClassified")->setChecked(false); },
         [](XelObject& d) { d.Main()->SetClassified(false); }, false},
        {"another page is shown and the Main page again", [](XelObject&) {},
         [this] {
             window->Tabs()->setCurrentIndex(TabSwitch);
             window->Tabs()->setCurrentIndex(TabMain);
         },
         [](XelObject&) {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Start());
        const QString path = WriteSetup("blocked.QRN", [&](XelObject& d) {
            BlockedClassifiable(d);
            c.stored(d);
        });
        dialogs.answers = {path};
        window->ToolClick("open");
        auto* box = Find<QCheckBox>("chkMainClassified");
        auto agree = [&](bool classified) {
            EXPECT_EQ(window->XelObject()->Main()->Classified(), classified);
            EXPECT_EQ(box->isChecked(), classified);
            EXPECT_EQ(!window->Panel("CLASSIFIABLE")->isHidden(), classified);
        };
        agree(true);
        EXPECT_TRUE(box->isEnabled()) << "a stored mark can be cleared";
        EXPECT_EQ(box->toolTip(), "Stored as classifiable; blocked by Switch Input Channel 2");
        EXPECT_FALSE(window->XelObject()->Changed());

        c.edit();
        agree(c.classified);
        EXPECT_EQ(box->isEnabled(), c.classified) << "blocked and cleared: it cannot be ticked";
        EXPECT_EQ(box->toolTip(), (c.classified ? "Stored as classifiable; blocked by " : "Disabled due to ")
                                      + QString("Switch Input Channel 2"));
        window->ToolClick("save");
        EXPECT_FALSE(window->XelObject()->Changed());

        const QString expected = WriteSetup("expected.QRN", [&](XelObject& d) {
            BlockedClassifiable(d);
            c.stored(d);
            c.same(d);
        });
        EXPECT_EQ(Bytes(path), Bytes(expected));
        auto reread = CreateDefaultSetupDocument();
        ASSERT_TRUE(reread->LoadFile(path));
        EXPECT_EQ(reread->Main()->Classified(), c.classified);
        EXPECT_TRUE(doubles.presenter.shown.isEmpty()) << Shown().join("|").toStdString();
        CloseWindow();
    }
}

