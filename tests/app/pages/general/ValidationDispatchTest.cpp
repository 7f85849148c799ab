#include "tests/app/pages/general/SpeedSensorTestSupport.h"

#include "app/pages/PageApis.h"
#include "tests/common/QuietMainPage.h"
#include "datamodel/XelSpeedSensor.h"

#include <QStringList>

namespace {

// Each fake records the routine called on it in one shared journal and answers `result`.
struct Journal {
    QStringList calls;
};

// The Main page records its validation in the journal too.
struct FakeMain : QuietMainPage {
    Journal& j;
    explicit FakeMain(Journal& journal) : j(journal) {}
    bool ValidateMain() override { j.calls << "ValidateMain"; return QuietMainPage::ValidateMain(); }
};

struct FakeSwitch : SwitchPageApi {
    Journal& j;
    bool result = true;
    explicit FakeSwitch(Journal& journal) : j(journal) {}
    void SetDigitalDefaults() override {}
    void SetDigitalInAdditionalDefaults() override {}
    void LoadDigital() override {}
    bool ValidateDigital() override { j.calls << "ValidateDigital"; return result; }
    void RefreshDigitalList() override {}
    void UpdateDigitalListItem(int) override {}
    void UpdateDigitalCount() override {}
    void ShowSelectedDigitalInput() override {}
    void SetDetailsEnabled(bool) override {}
    void FillDigitalInputTypeCombo(int, bool) override {}
    void DigitalOperationModeChanged(bool) override {}
    void RefreshDigitalInAdditional() override {}
    void FillDigitalInAdditionalCombo() override {}
    int DigitalPictureIndex(int) override { return 0; }
    void SetActiveCheckEnabled(bool) override {}
};

struct FakeAnalog : AnalogPageApi {
    Journal& j;
    bool result = true;
    explicit FakeAnalog(Journal& journal) : j(journal) {}
    void SetAnalogDefaults() override {}
    void LoadAnalog() override {}
    bool ValidateAnalog(int mode) override { j.calls << QStringLiteral("ValidateAnalog(%1)").arg(mode); return result; }
    void RefreshAnalogList() override {}
    void UpdateAnalogListItem(int) override {}
    void UpdateAnalogCount() override {}
    void ShowSelectedAnalogInput() override {}
    void SetDetailsEnabled(bool) override {}
    void FillAnalogInputTypeCombo(int, bool) override {}
    void AnalogCANChanged(bool) override {}
    void AnalogOperationModeChanged(bool) override {}
    void SetSensorRangeLocked(bool) override {}
    int AnalogPictureIndex(int) override { return 0; }
    void LimitUnitsText(int) override {}
    void SetActiveCheckEnabled(bool) override {}
};

struct FakeStandby : StandbyPageApi {
    Journal& j;
    bool result = true;
    explicit FakeStandby(Journal& journal) : j(journal) {}
    void SetStandbyOperationDefaults() override {}
    void LoadStandbyOperation(bool) override {}
    bool ValidateStandbyOperation() override { j.calls << "ValidateStandbyOperation"; return result; }
    void ShowTabPage(bool, bool) override {}
};

struct FakeSpeedSensor : SpeedSensorPageApi {
    Journal& j;
    bool result = true;
    explicit FakeSpeedSensor(Journal& journal) : j(journal) {}
    void SetSpeedSensorDefaults() override {}
    void SetSpeedRelaysDefaults() override {}
    void LoadSpeedSensor() override {}
    void LoadSpeedRelays() override {}
    bool ValidateSpeedSensor() override { j.calls << "ValidateSpeedSensor"; return result; }
    void UpdateSpeedingLabel() override { j.calls << "UpdateSpeedingLabel"; }
    void FillAdditionalRunDetection() override {}
    void FillSpeedRelays() override {}
    void SetPickupFramesEnabled(bool) override {}
    void ShowTabPage() override {}
    bool RunDetectionAvailable() override { return true; }
    QString RPMSenderName(int) override { return {}; }
    QString PulsesCaption(int) override { return {}; }
};

struct FakeBattery : BatteryPageApi {
    Journal& j;
    bool result = true;
    explicit FakeBattery(Journal& journal) : j(journal) {}
    void SetBatteryDefaults() override {}
    void LoadBattery() override {}
    bool ValidateBattery() override { j.calls << "ValidateBattery"; return result; }
    QString StartBatteryVoltageText() override { return {}; }
};

} // namespace

TEST(ValidationDispatch, EachTabRunsItsOwnCheck)
{
    struct Case {
        int tab;
        bool pass;
        QStringList calls;
    } cases[] = {
        {0, true, {"ValidateMain"}},
        {0, false, {"ValidateMain"}},
        {1, false, {"ValidateDigital"}},
        {2, true, {"ValidateAnalog(0)"}},
        {3, false, {"ValidateStandbyOperation"}},
        {4, true, {"ValidateSpeedSensor", "UpdateSpeedingLabel"}},
        {4, false, {"ValidateSpeedSensor"}},
        {5, false, {"ValidateBattery"}},
        {6, false, {}},
        {7, false, {}},
        {8, false, {}},
        {-1, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab * 10 + int(c.pass));
        Journal journal;
        FakeMain main(journal);
        FakeSwitch sw(journal);
        FakeAnalog analog(journal);
        FakeStandby standby(journal);
        FakeSpeedSensor speed(journal);
        FakeBattery battery(journal);
        main.valid = sw.result = analog.result = standby.result = speed.result = battery.result = c.pass;
        MainState state;
        state.mainPage = &main;
        state.switchPage = &sw;
        state.analogPage = &analog;
        state.standbyPage = &standby;
        state.speedSensorPage = &speed;
        state.batteryPage = &battery;
        // Pages without checks always pass.
        const bool expected = c.calls.isEmpty() ? true : c.pass;
        EXPECT_EQ(ValidateCurrentPage(state, c.tab), expected);
        EXPECT_EQ(journal.calls, c.calls);
    }
}

TEST(ValidationDispatch, AbsentPagesPass)
{
    MainState state;
    for (int tab = -1; tab <= 8; ++tab)
        EXPECT_TRUE(ValidateCurrentPage(state, tab)) << tab;
}

using ValidationWithSpeedSensorPage = SpeedSensorPageFixture;

TEST_F(ValidationWithSpeedSensorPage, OverspeedBelowNominalKeepsThePage)
{
    ShowSetup();
    page->numSpeedSensorSpeeding->SetValue(1400); // the user's entry
    EXPECT_FALSE(ValidateCurrentPage(state, TabSpeedSensor));
    EXPECT_EQ(LastMessage(), "Overspeed must be greater than Nominal/Max (1500) but not greater than 7500 RPM!");
    EXPECT_EQ(page->lblSpeedSensorSpeeding->text(), "RPM after");

    doubles.presenter.shown.clear();
    EXPECT_TRUE(ValidateCurrentPage(state, TabInfo));
    EXPECT_TRUE(ValidateCurrentPage(state, TabRelays));
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());

    page->numSpeedSensorSpeeding->SetValue(1650);
    EXPECT_TRUE(ValidateCurrentPage(state, TabSpeedSensor));
    EXPECT_EQ(page->lblSpeedSensorSpeeding->text(), "RPM (10.0%) after");
    EXPECT_EQ(setup->SpeedSensor()->Speeding(), 1650);
}
