// The frame drives the pages only through their routines, in the fixed order of a new setup,
// a shown setup and a page refresh.
#include "tests/app/frame/FrameTestSupport.h"

#include "datamodel/XelMain.h"
#include "datamodel/cDigitalIn.h"

#include <QTabWidget>

using namespace frametest;

namespace {

QStringList g_log;
MainState* g_state = nullptr;

// The recording pages write their section's defaults as the real pages do.
#define DEFAULTS(name)                                      \
    {                                                       \
        LOG(#name);                                         \
        if (g_state && g_state->XelObject())                \
            defaultsetup::name(*g_state->XelObject());      \
    }

#define LOG(name) g_log << QStringLiteral(name)

class RecMain : public MainPageApi {
public:
    bool InitDatabaseCombos() override { LOG("InitDatabaseCombos"); return true; }
    void SetLanguageList(const QStringList& n) override { g_log << "SetLanguageList:" + QString::number(n.size()); }
    void SelectDefaultLCDLightScale() override { LOG("SelectDefaultLCDLightScale"); }
    void SetMainDefaults() override DEFAULTS(SetMainDefaults)
    void LoadMain() override { LOG("LoadMain"); }
    bool ValidateMain() override { LOG("ValidateMain"); return true; }
    void UpdateClassifiedInfo() override { LOG("UpdateClassifiedInfo"); }
    void UpdateClassifiedCheck(bool f) override { g_log << QStringLiteral("UpdateClassifiedCheck(%1)").arg(f); }
    bool ClassifiedChecked() override { return false; }
    QString ClassifiedTag() override { return {}; }
    void UpdateIDNumberLabel() override { LOG("UpdateIDNumberLabel"); }
    void UpdateMIDLabel() override { LOG("UpdateMIDLabel"); }
    void UpdateStandbyTab() override {}
    QString FormatLastKnownStatus() override { return "status"; }
    void SetLastKnownStatusText(const QString& t) override { g_log << "SetLastKnownStatusText:" + t; }
    QString LanguageText() override { return {}; }
    QString OperationModeText() override { return {}; }
    void SetClassifiedTag(const QString& t) override { g_log << "SetClassifiedTag:" + t; }
};

class RecSwitch : public SwitchPageApi {
public:
    void SetDigitalDefaults() override DEFAULTS(SetDigitalDefaults)
    void SetDigitalInAdditionalDefaults() override DEFAULTS(SetDigitalInAdditionalDefaults)
    void LoadDigital() override { LOG("LoadDigital"); }
    bool ValidateDigital() override { LOG("ValidateDigital"); return valid; }
    void RefreshDigitalList() override { LOG("RefreshDigitalList"); }
    void UpdateDigitalListItem(int) override {}
    void UpdateDigitalCount() override { LOG("UpdateDigitalCount"); }
    void ShowSelectedDigitalInput() override { LOG("ShowSelectedDigitalInput"); }
    void SetDetailsEnabled(bool e) override { g_log << QStringLiteral("Digital.SetDetailsEnabled(%1)").arg(e); }
    void FillDigitalInputTypeCombo(int l, bool f) override { g_log << QStringLiteral("FillDigitalInputTypeCombo(%1,%2)").arg(l).arg(f); }
    void DigitalOperationModeChanged(bool) override {}
    void RefreshDigitalInAdditional() override { LOG("RefreshDigitalInAdditional"); }
    void FillDigitalInAdditionalCombo() override {}
    int DigitalPictureIndex(int) override { return 0; }
    void SetActiveCheckEnabled(bool) override {}
    bool valid = true;
};

class RecAnalog : public AnalogPageApi {
public:
    void SetAnalogDefaults() override DEFAULTS(SetAnalogDefaults)
    void LoadAnalog() override { LOG("LoadAnalog"); }
    bool ValidateAnalog(int) override { LOG("ValidateAnalog"); return true; }
    void RefreshAnalogList() override { LOG("RefreshAnalogList"); }
    void UpdateAnalogListItem(int) override {}
    void UpdateAnalogCount() override { LOG("UpdateAnalogCount"); }
    void ShowSelectedAnalogInput() override { LOG("ShowSelectedAnalogInput"); }
    void SetDetailsEnabled(bool e) override { g_log << QStringLiteral("Analog.SetDetailsEnabled(%1)").arg(e); }
    void FillAnalogInputTypeCombo(int l, bool f) override { g_log << QStringLiteral("FillAnalogInputTypeCombo(%1,%2)").arg(l).arg(f); }
    void AnalogCANChanged(bool) override {}
    void AnalogOperationModeChanged(bool) override {}
    void SetSensorRangeLocked(bool l) override { g_log << QStringLiteral("SetSensorRangeLocked(%1)").arg(l); }
    int AnalogPictureIndex(int) override { return 0; }
    void LimitUnitsText(int n) override { g_log << QStringLiteral("LimitUnitsText(%1)").arg(n); }
    void SetActiveCheckEnabled(bool) override {}
};

class RecStandby : public StandbyPageApi {
public:
    void SetStandbyOperationDefaults() override DEFAULTS(SetStandbyOperationDefaults)
    void LoadStandbyOperation(bool p) override { g_log << QStringLiteral("LoadStandbyOperation(%1)").arg(p); }
    bool ValidateStandbyOperation() override { return true; }
    void ShowTabPage(bool preheat, bool p) override { g_log << QStringLiteral("Standby.ShowTabPage(%1,%2)").arg(preheat).arg(p); }
};

class RecSpeed : public SpeedSensorPageApi {
public:
    void SetSpeedSensorDefaults() override DEFAULTS(SetSpeedSensorDefaults)
    void SetSpeedRelaysDefaults() override DEFAULTS(SetSpeedRelaysDefaults)
    void LoadSpeedSensor() override { LOG("LoadSpeedSensor"); }
    void LoadSpeedRelays() override { LOG("LoadSpeedRelays"); }
    bool ValidateSpeedSensor() override { return true; }
    void UpdateSpeedingLabel() override {}
    void FillAdditionalRunDetection() override {}
    void FillSpeedRelays() override {}
    void SetPickupFramesEnabled(bool e) override { g_log << QStringLiteral("SetPickupFramesEnabled(%1)").arg(e); }
    void ShowTabPage() override { LOG("Speed.ShowTabPage"); }
    bool RunDetectionAvailable() override { return false; }
    QString RPMSenderName(int) override { return {}; }
    QString PulsesCaption(int) override { return {}; }
};

class RecBattery : public BatteryPageApi {
public:
    void SetBatteryDefaults() override DEFAULTS(SetBatteryDefaults)
    void LoadBattery() override { LOG("LoadBattery"); }
    bool ValidateBattery() override { return true; }
    QString StartBatteryVoltageText() override { return {}; }
};

class RecInfo : public InfoPageApi {
public:
    void SetInfoDefaults() override DEFAULTS(SetInfoDefaults)
    void LoadInfo() override { LOG("LoadInfo"); }
};

class RecRelays : public RelaysPageApi {
public:
    void SetRelaysDefaults() override DEFAULTS(SetRelaysDefaults)
    void SetRelaysNewDefaults() override DEFAULTS(SetRelaysNewDefaults)
    void LoadRelays() override { LOG("LoadRelays"); }
    void LoadRelaysNew() override { LOG("LoadRelaysNew"); }
    void RefreshRelayLists() override { LOG("RefreshRelayLists"); }
    void GhostRelaysForAnalogInputs() override { LOG("GhostRelaysForAnalogInputs"); }
    bool HasPreheatRelay() override { return true; }
    void UpdateRelayButtons() override { LOG("UpdateRelayButtons"); }
    void DisableRemoveButtons() override { LOG("DisableRemoveButtons"); }
    void FocusRelayNewList() override {}
    QString RelayRowText(int, const QString&) override { return {}; }
};

class PageOrder : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        g_log.clear();
        window = std::make_unique<frmMain>();
        InstallFakeUnit(*window, unit);
        window->SetPageInstaller([](frmMain&) {}); // the recording pages below stand in
        MainState& s = window->State();
        g_state = &s;
        s.mainPage = &main;
        s.switchPage = &sw;
        s.analogPage = &analog;
        s.standbyPage = &standby;
        s.speedSensorPage = &speed;
        s.batteryPage = &battery;
        s.infoPage = &info;
        s.relaysPage = &relays;
    }
    void TearDown() override
    {
        CloseWindow();
        g_state = nullptr;
        FrameTest::TearDown();
    }
    RecMain main;
    RecSwitch sw;
    RecAnalog analog;
    RecStandby standby;
    RecSpeed speed;
    RecBattery battery;
    RecInfo info;
    RecRelays relays;
};

const QStringList kDefaults{
    "SetMainDefaults", "SetDigitalDefaults", "SetAnalogDefaults", "SetStandbyOperationDefaults",
    "SetSpeedSensorDefaults", "SetInfoDefaults", "SetBatteryDefaults", "SetRelaysDefaults",
    "SetRelaysNewDefaults", "SetSpeedRelaysDefaults", "SetDigitalInAdditionalDefaults"};

const QStringList kShowMainTab{
    "LoadMain", "LoadDigital", "LoadAnalog", "LoadStandbyOperation(0)", "LoadSpeedSensor", "LoadInfo",
    "LoadBattery", "LoadRelays", "LoadRelaysNew", "LoadSpeedRelays", "GhostRelaysForAnalogInputs",
    "Digital.SetDetailsEnabled(0)", "Analog.SetDetailsEnabled(0)", "SetSensorRangeLocked(1)",
    "SetPickupFramesEnabled(0)", "RefreshDigitalList", "RefreshAnalogList", "UpdateClassifiedInfo",
    "UpdateIDNumberLabel", "UpdateMIDLabel"};

} // namespace

TEST_F(PageOrder, StartUpRunsThePagesInTheFixedOrder)
{
    ASSERT_TRUE(window->Form_Load({}));
    QStringList expected{"SetLanguageList:10", "InitDatabaseCombos", "LimitUnitsText(4)"};
    expected << kDefaults << "SelectDefaultLCDLightScale" << kShowMainTab << "DisableRemoveButtons";
    EXPECT_EQ(g_log, expected);
    EXPECT_EQ(window->XelObject()->DigitalIn()->Count(), 12);
}

TEST_F(PageOrder, ShowSetupRefreshesTheCurrentPage)
{
    ASSERT_TRUE(window->Form_Load({}));
    struct Row {
        int tab;
        QStringList refresh;
    };
    const Row rows[] = {
        {1, {"RefreshDigitalInAdditional", "UpdateDigitalCount", "ShowSelectedDigitalInput"}},
        {2, {"ShowSelectedAnalogInput", "UpdateAnalogCount"}},
        {4, {"Speed.ShowTabPage"}},
        {7, {"UpdateRelayButtons", "RefreshRelayLists"}},
        {5, {}},
    };
    for (const Row& row : rows) {
        window->Tabs()->setCurrentIndex(row.tab);
        g_log.clear();
        window->ShowSetup();
        QStringList expected = kShowMainTab.mid(0, 15);
        expected << row.refresh << kShowMainTab.mid(15);
        EXPECT_EQ(g_log, expected) << row.tab;
    }
}

TEST_F(PageOrder, PageChangeValidatesTheLeftPageAndRefreshesTheNewOne)
{
    ASSERT_TRUE(window->Form_Load({}));
    window->Tabs()->setCurrentIndex(1);
    g_log.clear();
    sw.valid = false;
    window->Tabs()->setCurrentIndex(3);
    EXPECT_EQ(g_log, QStringList{"ValidateDigital"});
    EXPECT_EQ(window->Tabs()->currentIndex(), 1);
    sw.valid = true;
    g_log.clear();
    window->State().PROPULSION = true;
    window->Tabs()->setCurrentIndex(3);
    EXPECT_EQ(g_log, (QStringList{"ValidateDigital", "Standby.ShowTabPage(1,1)"}));
    g_log.clear();
    window->Tabs()->setCurrentIndex(0);
    EXPECT_EQ(g_log, QStringList{"UpdateClassifiedCheck(0)"});
}

TEST_F(PageOrder, NewAndReceiveAndOpenDriveThePages)
{
    ASSERT_TRUE(window->Form_Load({}));
    g_log.clear();
    window->ToolClick("new");
    QStringList expected{"Digital.SetDetailsEnabled(0)", "FillDigitalInputTypeCombo(0,1)",
                         "FillAnalogInputTypeCombo(0,1)", "Analog.SetDetailsEnabled(0)", "SetSensorRangeLocked(0)"};
    expected << kDefaults << "SelectDefaultLCDLightScale" << kShowMainTab << "DisableRemoveButtons";
    EXPECT_EQ(g_log, expected);

    doubles.settings->SetValue("CommPort", "1");
    g_log.clear();
    window->ToolClick("load");
    expected = kDefaults;
    expected << kShowMainTab << "SetLastKnownStatusText:status";
    EXPECT_EQ(g_log, expected);

    // An open shows the file in the pages, then re-checks the classifiable state.
    const QString path = WriteSetup("p.QRN");
    g_log.clear();
    EXPECT_TRUE(window->OpenSetupByName(path));
    expected = kDefaults;
    expected << kShowMainTab << "UpdateClassifiedInfo" << "UpdateClassifiedCheck(0)";
    EXPECT_EQ(g_log, expected);
}
