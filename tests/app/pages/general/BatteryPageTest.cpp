// The Battery page on its own: the start-voltage rule with its alarm ranges, validation and
// the engine-data entries the Main page adds.
#include "tests/app/pages/general/MainTestSupport.h"

#include "app/pages/general/BatteryPage.h"
#include "controls/Container.h"
#include "controls/Float.h"
#include "controls/Number.h"
#include "datamodel/XelBattery.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest/QTest>

using namespace generaltest;

namespace {

class BatteryPageTest : public PageFixture {
protected:
    void SetUp() override
    {
        PageFixture::SetUp();
        page = std::make_unique<BatteryPage>(state);
        state.batteryPage = page.get();
        page->LoadBattery();
        page->show();
    }
    void TearDown() override
    {
        page.reset();
        PageFixture::TearDown();
    }
    Float* Alarm() const { return page->findChild<Float*>("numBatteryLowBatteryVAlarm"); }
    Number* Delay() const { return page->findChild<Number*>("numBatteryDelay"); }
    QComboBox* Voltage() const { return page->findChild<QComboBox*>("cmbBatteryStartBatteryVoltage"); }
    QComboBox* Location() const { return page->findChild<QComboBox*>("cmbBatteryCANLocation"); }
    void Pick(int voltage) { Voltage()->setCurrentIndex(Voltage()->findData(voltage)); }
    XelBattery& Part() const { return *setup->Battery(); }
    void Reload(float voltage, float alarm)
    {
        Part().SetBatteryVoltage(voltage);
        Part().SetLowBatteryVoltage(alarm);
        setup->ResetBackup();
        page->LoadBattery();
        doubles.presenter.shown.clear();
    }

    std::unique_ptr<BatteryPage> page;
};

TEST_F(BatteryPageTest, DefaultsAndTheirDisplay)
{
    Part().SetDelay(5);
    Part().SetCANBatteryType(34);
    page->SetBatteryDefaults();
    EXPECT_FLOAT_EQ(Part().LowBatteryVoltage(), 25.5f);
    EXPECT_EQ(Part().Delay(), 60);
    EXPECT_FLOAT_EQ(Part().BatteryVoltage(), 24.0f);
    EXPECT_TRUE(Part().LowBatteryVoltageAlarm());
    EXPECT_EQ(Part().CANBatteryType(), 38);
    setup->ResetBackup();
    page->LoadBattery();
    EXPECT_EQ(Voltage()->currentText(), "24 Volt");
    EXPECT_FLOAT_EQ(Alarm()->Value(), 25.5f);
    EXPECT_FLOAT_EQ(Alarm()->Min(), 18.0f);
    EXPECT_FLOAT_EQ(Alarm()->Max(), 30.0f);
    EXPECT_EQ(Delay()->Value(), 60);
    EXPECT_EQ(Location()->currentText(), "Battery Voltage");
    EXPECT_TRUE(page->findChild<Container*>("conBatteryCANLocation")->isHidden());
    EXPECT_TRUE(page->findChild<QLabel*>("lblBatteryInfo")->isHidden());
    EXPECT_EQ(page->StartBatteryVoltageText(), "24 Volt");
    EXPECT_TRUE(page->ValidateBattery());
    EXPECT_FALSE(setup->Changed());
}

TEST_F(BatteryPageTest, StartVoltageChangesMoveTheAlarmRange)
{
    page->SetEngineDataEntries(true);
    struct Step {
        int pick;
        float value, min, max;
        int kind;
    } steps[] = {
        {12, 12.7f, 9.0f, 15.0f, BatteryPage::Range12V},   // halved, one decimal
        {24, 25.4f, 18.0f, 30.0f, BatteryPage::Range24V},  // doubled back
        {12, 12.7f, 9.0f, 15.0f, BatteryPage::Range12V},
        {2, 12.7f, 9.0f, 30.0f, BatteryPage::RangeEngineData}, // kept, widened
        {1, 12.7f, 9.0f, 30.0f, BatteryPage::RangeEngineData},
        {24, 12.7f, 18.0f, 30.0f, BatteryPage::Range24V},  // not doubled from engine data
    };
    Reload(24, 25.4f);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.pick);
        Pick(s.pick);
        EXPECT_FLOAT_EQ(Alarm()->Value(), s.value);
        EXPECT_FLOAT_EQ(Alarm()->Min(), s.min);
        EXPECT_FLOAT_EQ(Alarm()->Max(), s.max);
        EXPECT_EQ(page->RangeKindNow(), s.kind);
        EXPECT_FLOAT_EQ(Part().BatteryVoltage(), float(s.pick));
        EXPECT_FLOAT_EQ(Part().LowBatteryVoltage(), s.value);
        EXPECT_EQ(page->findChild<QLabel*>("lblBatteryInfo")->isHidden(), s.pick != 12);
        EXPECT_EQ(page->findChild<Container*>("conBatteryCANLocation")->isHidden(), s.pick != 1);
        EXPECT_EQ(Location()->isEnabled(), s.pick == 1);
    }
}

TEST_F(BatteryPageTest, HalvingTo12VoltRoundsHalfTenthsToEven)
{
    const std::pair<float, float> cases[] = {{24.5f, 12.2f}, {24.7f, 12.4f}, {24.1f, 12.0f}, {25.4f, 12.7f}};
    for (const auto& [from, halved] : cases) {
        Reload(24, from);
        Pick(12);
        EXPECT_FLOAT_EQ(Part().LowBatteryVoltage(), halved) << from;
    }
}

TEST_F(BatteryPageTest, LimitsFollowTheStoredVoltageWhenShown)
{
    struct Case {
        float voltage, alarm, min, max;
    } cases[] = {{12, 12.5f, 9, 15}, {24, 25.5f, 18, 30}, {1, 20.0f, 9, 30}, {2, 12.0f, 9, 30}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.voltage);
        page->SetEngineDataEntries(true);
        Reload(c.voltage, c.alarm);
        EXPECT_FLOAT_EQ(Alarm()->Value(), c.alarm);
        EXPECT_FLOAT_EQ(Alarm()->Min(), c.min);
        EXPECT_FLOAT_EQ(Alarm()->Max(), c.max);
        EXPECT_FALSE(setup->Changed());
    }
    // A 12 V setup takes a typed value at once and doubles on the way to 24 V.
    Reload(12, 12.5f);
    Alarm()->TextBox()->selectAll();
    QTest::keyClicks(Alarm()->TextBox(), "11.5");
    EXPECT_FLOAT_EQ(Part().LowBatteryVoltage(), 11.5f);
    Pick(24);
    EXPECT_FLOAT_EQ(Part().LowBatteryVoltage(), 23.0f);
}

TEST_F(BatteryPageTest, AnUnlistedVoltageIsShownWithoutChoiceAndKept)
{
    Part().SetBatteryVoltage(999);
    setup->ResetBackup();
    page->SetEngineDataEntries(true);
    page->LoadBattery();
    EXPECT_EQ(Voltage()->currentIndex(), -1);
    EXPECT_FLOAT_EQ(Alarm()->Min(), 9.0f);
    Delay()->SetValue(30); // a store of the whole page
    EXPECT_FLOAT_EQ(Part().BatteryVoltage(), 999.0f);
    EXPECT_EQ(Part().Delay(), 30);
    EXPECT_TRUE(page->ValidateBattery());
}

TEST_F(BatteryPageTest, ValidationMessagesFollowTheChosenVoltage)
{
    struct Case {
        float voltage, alarm;
        int delay;
        QString message;
        const char* focus;
    } cases[] = {
        {12, 8.9f, 60, Lang(851, {9, 15}), "numBatteryLowBatteryVAlarm"},
        {12, 15.0f, 60, "", ""},
        {24, 17.9f, 60, Lang(851, {18, 30}), "numBatteryLowBatteryVAlarm"},
        {2, 12.0f, 60, Lang(851, {18, 30}), "numBatteryLowBatteryVAlarm"},
        {24, 25.0f, 0, Lang(852, {1, 255}), "numBatteryDelay"},
        {24, 30.0f, 255, "", ""},
    };
    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        page->SetEngineDataEntries(true);
        Part().SetDelay(60);
        Reload(c.voltage, c.voltage == 12 ? 12.0f : 25.0f);
        Alarm()->SetValue(c.alarm); // the user's entries
        Delay()->SetValue(c.delay);
        EXPECT_EQ(page->ValidateBattery(), c.message.isEmpty());
        EXPECT_EQ(Messages().join(""), c.message);
        if (!c.message.isEmpty() && !doubles.presenter.shown.isEmpty()) {
            EXPECT_EQ(doubles.presenter.shown.first().style, 48);
            auto* box = page->findChild<EntryBox*>(QString::fromLatin1(c.focus));
            EXPECT_EQ(QApplication::focusWidget(), box->TextBox());
        }
    }
}

TEST_F(BatteryPageTest, StoredValuesOutsideTheRangesPassUntilEdited)
{
    Part().SetDelay(0);
    Reload(12, 20.0f); // as a unit may hold them
    EXPECT_FLOAT_EQ(Alarm()->Value(), 20.0f);
    EXPECT_EQ(Delay()->Value(), 0);
    EXPECT_TRUE(page->ValidateBattery());
    Alarm()->SetValue(16.0f); // the user's own entry is checked
    EXPECT_FALSE(page->ValidateBattery());
    EXPECT_EQ(Messages(), QStringList{Lang(851, {9, 15})});
}

TEST_F(BatteryPageTest, DelayAndErrorValueMessages)
{
    Delay()->SetValue(1);
    EXPECT_EQ(page->findChild<QLabel*>("lblBattery_2")->text(), "Second");
    EXPECT_EQ(Part().Delay(), 1);
    Delay()->SetValue(2);
    EXPECT_EQ(page->findChild<QLabel*>("lblBattery_2")->text(), "Seconds");
    emit Delay()->ErrorValue();
    EXPECT_EQ(doubles.status.text, Lang(852, {1, 255}));
    Pick(12);
    emit Alarm()->ErrorValue();
    EXPECT_EQ(doubles.status.text, Lang(851, {9, 15}));
    Pick(24);
    emit Alarm()->ErrorValue();
    EXPECT_EQ(doubles.status.text, Lang(851, {18, 30}));
}

TEST_F(BatteryPageTest, J1939LocationIsStoredOnlyFromItsList)
{
    page->SetEngineDataEntries(true);
    Pick(1);
    Location()->setCurrentIndex(Location()->findData(36));
    EXPECT_EQ(Part().CANBatteryType(), 36);
    Pick(24);
    EXPECT_TRUE(page->findChild<Container*>("conBatteryCANLocation")->isHidden());
    EXPECT_EQ(Part().CANBatteryType(), 36) << "the hidden location keeps its value";
}

TEST_F(BatteryPageTest, EngineDataEntriesComeAndGo)
{
    page->SetEngineDataEntries(true);
    page->SetEngineDataEntries(true);
    EXPECT_EQ(Voltage()->count(), 4);
    Pick(1);
    page->SetEngineDataEntries(false);
    EXPECT_EQ(Voltage()->count(), 2);
    EXPECT_EQ(Voltage()->currentText(), "24 Volt");
    EXPECT_FLOAT_EQ(Part().BatteryVoltage(), 24.0f);
    Pick(12);
    page->SetEngineDataEntries(false);
    EXPECT_EQ(Voltage()->currentText(), "12 Volt") << "a measured battery stays chosen";
}

} // namespace
