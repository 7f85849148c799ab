// The speed relays and the additional RUN detection list of the Speed Sensor page.
#include "tests/app/pages/general/SpeedSensorTestSupport.h"

#include "app/pages/PageApis.h"
#include "app/pages/common/PageCommon.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cSpeedRelay.h"
#include "tests/common/ServiceDoubles.h"

#include <QtTest/QTest>

using pagecommon::RowKey;
using pagecommon::RowPicture;

namespace {

class SpeedRelays : public SpeedSensorPageFixture {
protected:
    QTreeWidgetItem* Entry(int row) { return page->lvwSpeedRelays->topLevelItem(row); }
    XelSpeedRelay* Relay(int n) { return setup->SpeedRelays()->Item(pagecommon::ItemKey(n)); }
    // A click on an entry's check box: the check changes, then the click arrives.
    void ClickCheckBox(QTreeWidgetItem* entry)
    {
        entry->setCheckState(0, entry->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        emit page->lvwSpeedRelays->itemClicked(entry, 0);
    }
};

class RunDetection : public SpeedSensorPageFixture {};

} // namespace

TEST_F(SpeedRelays, NewSetupListsFourUncheckedRelays)
{
    ShowSetup();
    ASSERT_EQ(page->lvwSpeedRelays->topLevelItemCount(), 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(RowKey(Entry(i)), pagecommon::ItemKey(i + 1));
        EXPECT_EQ(Entry(i)->text(0), QString::number(i + 1));
        EXPECT_EQ(Entry(i)->text(1), "0 RPM");
        EXPECT_EQ(Entry(i)->checkState(0), Qt::Unchecked);
        EXPECT_EQ(RowPicture(Entry(i)), 4);
    }
    EXPECT_EQ(page->lvwSpeedRelays->currentItem(), Entry(0));
    EXPECT_FALSE(page->numSpeedRelaySpeed->isEnabled());
    EXPECT_FALSE(setup->Changed());
}

TEST_F(SpeedRelays, CheckingARelaySwitchesItOnAndTakesItsSpeed)
{
    ShowSetup();
    ClickCheckBox(Entry(1));
    EXPECT_EQ(page->lvwSpeedRelays->currentItem(), Entry(1));
    EXPECT_EQ(RowPicture(Entry(1)), 3);
    EXPECT_TRUE(page->numSpeedRelaySpeed->isEnabled());
    EXPECT_TRUE(Relay(2)->InUse());
    EXPECT_FALSE(Relay(1)->InUse());

    page->numSpeedRelaySpeed->SetValue(1500);
    EXPECT_EQ(Entry(1)->text(1), "1500 RPM");
    EXPECT_EQ(Relay(2)->RPM(), 1500);
    EXPECT_EQ(Relay(1)->RPM(), 0);

    // Double-clicking the checked relay switches it off again.
    emit page->lvwSpeedRelays->itemDoubleClicked(Entry(1), 0);
    EXPECT_EQ(Entry(1)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(RowPicture(Entry(1)), 4);
    EXPECT_FALSE(page->numSpeedRelaySpeed->isEnabled());
    EXPECT_FALSE(Relay(2)->InUse());
    EXPECT_EQ(Relay(2)->RPM(), 1500);
}

TEST_F(SpeedRelays, CtrlArrowsStepTheSelectedRelayWithinItsLimits)
{
    struct Case {
        bool inUse;
        int rpm;
        Qt::Key key;
        int expected;
        int beeps;
    } cases[] = {
        {true, 1500, Qt::Key_Up, 1550, 0},  {true, 1500, Qt::Key_Down, 1450, 0},
        {true, 6000, Qt::Key_Up, 6000, 1},  {true, 5980, Qt::Key_Up, 6000, 1},
        {true, 0, Qt::Key_Down, 0, 1},      {true, 25, Qt::Key_Down, 0, 1},
        {false, 1500, Qt::Key_Up, 1500, 0}, {false, 1500, Qt::Key_Down, 1500, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rpm * 10 + int(c.key == Qt::Key_Up));
        Relay(2)->SetInUse(c.inUse);
        Relay(2)->SetRPM(c.rpm);
        ShowSetup();
        page->lvwSpeedRelays->setCurrentItem(Entry(1));
        doubles.presenter.beeps = 0;
        QTest::keyClick(page->lvwSpeedRelays, c.key, Qt::ControlModifier);
        EXPECT_EQ(Relay(2)->RPM(), c.expected);
        EXPECT_EQ(doubles.presenter.beeps, c.beeps);
        EXPECT_EQ(page->lvwSpeedRelays->currentItem(), Entry(1)); // the key is used up
        if (c.inUse) {
            EXPECT_EQ(Entry(1)->text(1), QString::number(c.expected) + " RPM");
        }
    }
    // Without Ctrl the arrow moves the selection.
    QTest::keyClick(page->lvwSpeedRelays, Qt::Key_Down);
    EXPECT_EQ(page->lvwSpeedRelays->currentItem(), Entry(2));
}

TEST_F(SpeedRelays, DefaultsSkipAMissingNameWithoutRenumbering)
{
    extra::FreeLanguageLibrary();
    testing_doubles::ServiceDoubles services;
    services.library.texts = {{5158, "Speed Relay 1"}, {5159, "Speed Relay 2"}, {5161, "Speed Relay 4"}};
    ASSERT_TRUE(extra::LoadLanguageLibrary());
    XelObject empty;
    defaultsetup::SetSpeedRelaysDefaults(empty);
    ASSERT_EQ(empty.SpeedRelays()->Count(), 3);
    const int expected[3][2] = {{1, 58}, {2, 59}, {4, 61}};
    for (int i = 0; i < 3; ++i) {
        const XelSpeedRelay* r = empty.SpeedRelays()->Item(i + 1);
        EXPECT_EQ(r->Index(), expected[i][0]);
        EXPECT_EQ(r->FunctionNo(), expected[i][1]);
        EXPECT_FALSE(r->InUse());
        EXPECT_EQ(r->RPM(), 0);
    }
    EXPECT_EQ(empty.SpeedRelays()->Item("4*")->Descript().trimmed(), "Speed Relay 4");
    extra::FreeLanguageLibrary();
}

TEST_F(SpeedRelays, ARelayAfterAGapIsFoundByItsKey)
{
    ASSERT_TRUE(setup->SpeedRelays()->Remove("3*"));
    ShowSetup();
    ASSERT_EQ(page->lvwSpeedRelays->topLevelItemCount(), 3);
    EXPECT_EQ(Entry(2)->text(0), "4");
    ClickCheckBox(Entry(2));
    page->numSpeedRelaySpeed->SetValue(900);
    EXPECT_TRUE(Relay(4)->InUse());
    EXPECT_EQ(Relay(4)->RPM(), 900);
    EXPECT_FALSE(Relay(2)->InUse());
}

TEST_F(SpeedRelays, ViewingStoresNothing)
{
    // A speed above the field's limit is shown as it is and not clamped by viewing.
    Relay(1)->SetInUse(true);
    Relay(1)->SetRPM(7000);
    Relay(2)->SetInUse(true);
    Relay(2)->SetRPM(1500);
    setup->ResetBackup();
    ShowSetup();
    EXPECT_EQ(page->numSpeedRelaySpeed->Value(), 7000);
    EXPECT_EQ(Entry(0)->text(1), "7000 RPM");
    emit page->lvwSpeedRelays->itemClicked(Entry(0), 0);
    emit page->lvwSpeedRelays->itemClicked(Entry(1), 0);
    EXPECT_EQ(page->numSpeedRelaySpeed->Value(), 1500);
    // Filling again with relay 2 selected does not give it relay 1's speed.
    page->FillSpeedRelays();
    EXPECT_EQ(Relay(1)->RPM(), 7000);
    EXPECT_EQ(Relay(2)->RPM(), 1500);
    EXPECT_FALSE(setup->Changed());
}

TEST_F(SpeedRelays, NoSpeedRelaysLeaveTheFieldAsItWas)
{
    ShowSetup();
    ClickCheckBox(Entry(0));
    page->numSpeedRelaySpeed->SetValue(800);
    while (setup->SpeedRelays()->Count() > 0)
        setup->SpeedRelays()->Remove(1);
    page->FillSpeedRelays();
    EXPECT_EQ(page->lvwSpeedRelays->topLevelItemCount(), 0);
    EXPECT_EQ(page->numSpeedRelaySpeed->Value(), 800);
    EXPECT_TRUE(page->numSpeedRelaySpeed->isEnabled());
    page->numSpeedRelaySpeed->SetValue(900); // no selected entry: nothing to do
    QTest::keyClick(page->lvwSpeedRelays, Qt::Key_Up, Qt::ControlModifier);
}

// ---- additional RUN detection ----

namespace {

// Records the Switch and Analog In pages' row refreshes; the pictures come from the pages.
struct RecordingSwitchPage : SwitchPageApi {
    QList<int> updated;
    void SetDigitalDefaults() override {}
    void SetDigitalInAdditionalDefaults() override {}
    void LoadDigital() override {}
    bool ValidateDigital() override { return true; }
    void RefreshDigitalList() override {}
    void UpdateDigitalListItem(int index) override { updated << index; }
    void UpdateDigitalCount() override {}
    void ShowSelectedDigitalInput() override {}
    void SetDetailsEnabled(bool) override {}
    void FillDigitalInputTypeCombo(int, bool) override {}
    void DigitalOperationModeChanged(bool) override {}
    void RefreshDigitalInAdditional() override {}
    void FillDigitalInAdditionalCombo() override {}
    int DigitalPictureIndex(int index) override { return index == 2 ? 2 + 3 : 7; }
    void SetActiveCheckEnabled(bool) override {}
};

void Activate(XelDigitalIn* d, int switchType, int action, bool run)
{
    d->SetActive(true);
    d->SetSwitchType(switchType);
    d->SetAction(action);
    d->SetRUNAlsoDetectedBy(run);
}

void Activate(XelAnalogIn* a, int action, int direction, bool run)
{
    a->SetActive(true);
    a->SetAction(action);
    a->SetActionDirection(direction);
    a->SetRUNAlsoDetectedBy(run);
}

} // namespace

TEST_F(RunDetection, NoActiveInputsGiveAnEmptyList)
{
    ShowSetup();
    EXPECT_EQ(page->lvwAdditionalRunDetection->topLevelItemCount(), 0);
    EXPECT_EQ(page->lblAdditionalRUN->text(), "None Selected");
}

TEST_F(RunDetection, EntriesPicturesAndChoices)
{
    setup->DigitalIn()->Item("2*")->SetText("Oil");
    Activate(setup->DigitalIn()->Item("2*"), 0, 2, false); // NC alarm
    Activate(setup->DigitalIn()->Item("5*"), 1, 3, true);  // NO shutdown, RUN
    setup->DigitalIn()->Item("7*")->SetRUNAlsoDetectedBy(true); // inactive: neither listed nor counted
    Activate(setup->AnalogIn()->Item("3*"), 2, 0, false);  // alarm above
    Activate(setup->AnalogIn()->Item("4*"), 0, 0, true);   // no action: not listed
    Activate(setup->AnalogIn()->Item("6*"), 5, 1, true);   // warning-shutdown below, RUN
    setup->AnalogIn()->Item("6*")->SetText("Coolant");
    ShowSetup();

    struct Row {
        const char* key;
        const char* text;
        const char* description;
        bool checked;
        int picture;
    } expected[] = {
        // Switch pictures: p - 3 checked, p + 12 unchecked; analog: 24 + q - 13 / 24 + q + 26.
        {"SW2*", "SW 2", "Oil", false, 1 + 12},
        {"SW5*", "SW 5", "", true, 7 + 1 + 3 - 3},
        {"AI3*", "AI 3", "", false, 24 + 2 + 26},
        {"AI6*", "AI 6", "Coolant", true, 24 + 11 + 13 - 13},
    };
    QTreeWidget* list = page->lvwAdditionalRunDetection;
    ASSERT_EQ(list->topLevelItemCount(), 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        QTreeWidgetItem* e = list->topLevelItem(i);
        EXPECT_EQ(RowKey(e), QString::fromLatin1(expected[i].key));
        EXPECT_EQ(e->text(0), QString::fromLatin1(expected[i].text));
        EXPECT_EQ(e->text(1), QString::fromLatin1(expected[i].description));
        EXPECT_EQ(e->checkState(0) == Qt::Checked, expected[i].checked);
        EXPECT_EQ(RowPicture(e), expected[i].picture);
    }
    EXPECT_EQ(page->lblAdditionalRUN->text(), "2 Selected");

    RecordingSwitchPage switches;
    state.switchPage = &switches;
    list->topLevelItem(0)->setCheckState(0, Qt::Checked);
    EXPECT_TRUE(setup->DigitalIn()->Item("2*")->RUNAlsoDetectedBy());
    EXPECT_EQ(RowPicture(list->topLevelItem(0)), 1);
    EXPECT_EQ(switches.updated, QList<int>{2});
    EXPECT_EQ(list->currentItem(), list->topLevelItem(0));
    EXPECT_EQ(page->lblAdditionalRUN->text(), "3 Selected");

    list->topLevelItem(3)->setCheckState(0, Qt::Unchecked);
    EXPECT_FALSE(setup->AnalogIn()->Item("6*")->RUNAlsoDetectedBy());
    EXPECT_EQ(RowPicture(list->topLevelItem(3)), 24 + 11 + 26);
    EXPECT_EQ(page->lblAdditionalRUN->text(), "2 Selected");

    // A double click inverts the selected entry; the refill gives the same pictures.
    list->setCurrentItem(list->topLevelItem(2));
    emit list->itemDoubleClicked(list->topLevelItem(2), 0);
    EXPECT_TRUE(setup->AnalogIn()->Item("3*")->RUNAlsoDetectedBy());
    EXPECT_EQ(RowPicture(list->topLevelItem(2)), 24 + 2);
    state.switchPage = nullptr;
    page->FillAdditionalRunDetection();
    EXPECT_EQ(RowPicture(list->topLevelItem(0)), 1);
    EXPECT_EQ(RowPicture(list->topLevelItem(2)), 24 + 2);
    EXPECT_EQ(RowPicture(list->topLevelItem(3)), 24 + 11 + 26);
    EXPECT_EQ(page->lblAdditionalRUN->text(), "3 Selected");
}

TEST_F(RunDetection, PicturesFromTheSwitchPage)
{
    Activate(setup->DigitalIn()->Item("2*"), 0, 2, true);
    RecordingSwitchPage switches; // input 2 shows picture 5 with its RUN mark
    state.switchPage = &switches;
    ShowSetup();
    EXPECT_EQ(RowPicture(page->lvwAdditionalRunDetection->topLevelItem(0)), 2);
    state.switchPage = nullptr;
}

TEST_F(RunDetection, RunDetectionAvailable)
{
    struct Case {
        int pickupOne, pickupTwo;
        bool switchActive, switchRun, analogActive, analogRun;
        bool expected;
    } cases[] = {
        {1, 0, false, false, false, false, false},
        {1, 1, false, false, false, false, true},
        {2, 3, false, false, false, false, true},
        {0, 0, true, true, false, false, true},
        {1, 0, false, true, false, false, false}, // inactive switch input
        {1, 0, false, false, true, true, true},   // counted without an action
        {0, 1, false, false, false, true, false},
    };
    for (const Case& c : cases) {
        auto doc = CreateDefaultSetupDocument();
        doc->SpeedSensor()->SetPickupType(0, c.pickupOne);
        doc->SpeedSensor()->SetPickupType(1, c.pickupTwo);
        XelDigitalIn* d = doc->DigitalIn()->Item("4*");
        d->SetActive(c.switchActive);
        d->SetRUNAlsoDetectedBy(c.switchRun);
        XelAnalogIn* a = doc->AnalogIn()->Item("9*");
        a->SetActive(c.analogActive);
        a->SetRUNAlsoDetectedBy(c.analogRun);
        EXPECT_EQ(SpeedSensorPage::RunDetectionAvailable(*doc), c.expected);
    }
    EXPECT_FALSE(page->RunDetectionAvailable()); // the default setup: pickup one only
}
