#include "tests/app/pages/general/SpeedSensorTestSupport.h"

#include "app/pages/PageApis.h"
#include "app/pages/common/PageCommon.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelSpeedSensor.h"

#include <QLineEdit>
#include <QtTest/QTest>

namespace {

using Fixture = SpeedSensorPageFixture;

// A value in a field as an edit leaves it; beyond the field's limit as well (a limit that
// came from a shown setup).
template <class Box, class V>
void Enter(Box* box, V value)
{
    const auto max = box->Max();
    if (value > max)
        box->SetMax(value);
    box->SetValue(value);
    box->SetMax(max);
}

} // namespace

TEST_F(Fixture, NewSetupShowsItsDefaultsAndStoresNothing)
{
    ShowSetup();
    EXPECT_EQ(page->cmbSpeedSensorNumberOfPickups[0]->currentText(), "Local at Terminal 5, 6");
    EXPECT_EQ(page->cmbSpeedSensorRPMSender[0]->currentText(), "Pickup At Flywheel");
    EXPECT_EQ(page->numSpeedSensorPulsesPerRevolution[0]->Value(), 150);
    EXPECT_EQ(page->cmbSpeedSensorNumberOfPickups[1]->currentText(), "Not used");
    EXPECT_FALSE(page->cmbSpeedSensorRPMSender[1]->isEnabled());
    EXPECT_TRUE(page->cmbSpeedSensorNumberOfPickups[1]->isEnabled());
    EXPECT_EQ(page->numSpeedSensorNomMax->Value(), 1500);
    EXPECT_EQ(page->numSpeedSensorSpeeding->Value(), 1725);
    EXPECT_EQ(page->lblSpeedSensorSpeeding->text(), "RPM (15.0%) after");
    EXPECT_EQ(page->numSpeedSensorSpeedingShutdown->Text(), "0.1");
    EXPECT_EQ(page->lblSpeedSensor[8]->text(), "Seconds");
    EXPECT_EQ(page->numSpeedSensorReadyToTakeLoad->Value(), 1410);
    EXPECT_EQ(page->numSpeedSensorRUNDetectedAt->Value(), 400);
    EXPECT_EQ(page->numSpeedSensorRUNDetectionDelay->Value(), 60);
    EXPECT_EQ(page->lblSpeedSensorPulses[0]->text(), "Pulses/Revolution");
    EXPECT_FALSE(page->Loading());
    EXPECT_FALSE(setup->Changed());
    EXPECT_TRUE(page->ValidateSpeedSensor());
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
}

TEST_F(Fixture, PickupSourcesEnableTheirGroups)
{
    ShowSetup();
    page->SetPickupEngineDataEntries(true);
    struct Case {
        int one, two;
        bool senderOne, groupTwo, senderTwo;
    } cases[] = {
        {0, 0, false, false, false}, {0, 1, false, false, false}, {1, 0, true, true, false},
        {1, 1, true, true, true},    {2, 1, false, true, true},   {3, 0, false, true, false},
        {1, 2, true, true, false},   {1, 3, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.one * 10 + c.two);
        page->cmbSpeedSensorNumberOfPickups[1]->setCurrentIndex(c.two);
        page->cmbSpeedSensorNumberOfPickups[0]->setCurrentIndex(c.one);
        EXPECT_EQ(page->cmbSpeedSensorRPMSender[0]->isEnabled(), c.senderOne);
        EXPECT_EQ(page->numSpeedSensorPulsesPerRevolution[0]->isEnabled(), c.senderOne);
        EXPECT_EQ(page->cmbSpeedSensorNumberOfPickups[1]->isEnabled(), c.groupTwo);
        EXPECT_EQ(page->cmbSpeedSensorRPMSender[1]->isEnabled(), c.senderTwo);
        EXPECT_EQ(setup->SpeedSensor()->PickupType(0), c.one);
        EXPECT_EQ(setup->SpeedSensor()->PickupType(1), c.two);
    }
}

TEST_F(Fixture, BusEntriesComeAndGoWithTheOption)
{
    ShowSetup();
    page->SetPickupEngineDataEntries(true);
    page->SetPickupEngineDataEntries(true); // only once
    QComboBox* one = page->cmbSpeedSensorNumberOfPickups[0];
    ASSERT_EQ(one->count(), 4);
    EXPECT_EQ(one->itemText(2), "Read From J1939");
    EXPECT_EQ(one->itemText(3), "Read From J1587");
    EXPECT_EQ(one->itemData(3).toInt(), 99);
    one->setCurrentIndex(3);
    EXPECT_EQ(setup->SpeedSensor()->PickupType(0), 3);

    page->SetPickupEngineDataEntries(false);
    EXPECT_EQ(one->count(), 2);
    EXPECT_EQ(one->currentIndex(), 0);
    EXPECT_EQ(setup->SpeedSensor()->PickupType(0), 0);
    EXPECT_EQ(page->cmbSpeedSensorNumberOfPickups[1]->count(), 2);
}

TEST_F(Fixture, ListResetWhileASetupIsShownStoresNothing)
{
    setup->Main()->SetCAN(true);
    setup->SpeedSensor()->SetPickupType(0, 2);
    page->SetPickupEngineDataEntries(true);
    ShowSetup();
    EXPECT_EQ(page->cmbSpeedSensorNumberOfPickups[0]->currentText(), "Read From J1939");
    {
        pagecommon::ScopedFlag opening(state.OpeningSetup);
        page->SetPickupEngineDataEntries(false);
        page->SetPickupEngineDataEntries(true);
    }
    EXPECT_EQ(setup->SpeedSensor()->PickupType(0), 2);
    page->SetSpeedSensorLoading(true);
    page->SetPickupEngineDataEntries(false);
    page->SetSpeedSensorLoading(false);
    EXPECT_EQ(setup->SpeedSensor()->PickupType(0), 2);
}

TEST_F(Fixture, TimingGearSenderIsATeethCount)
{
    ShowSetup();
    page->cmbSpeedSensorRPMSender[0]->setCurrentIndex(1);
    EXPECT_EQ(setup->SpeedSensor()->Sender(0), 2);
    EXPECT_EQ(page->lblSpeedSensorPulses[0]->text(), "Teeth Count");
    EXPECT_EQ(page->PulsesCaption(0), "Teeth Count");
    EXPECT_EQ(page->RPMSenderName(0), "Pickup At Timing Gear");
    page->cmbSpeedSensorRPMSender[0]->setCurrentIndex(0);
    EXPECT_EQ(page->lblSpeedSensorPulses[0]->text(), "Pulses/Revolution");
}

TEST_F(Fixture, IndexesOutsideTheListsShowNoEntryAndAreKept)
{
    XelSpeedSensor* s = setup->SpeedSensor();
    s->SetPickupType(0, 7);
    s->SetPickupType(1, 1);
    s->SetSender(0, 3); // falls back to the timing gear
    s->SetSender(1, 9); // no entry
    setup->ResetBackup();
    ShowSetup();
    EXPECT_FALSE(page->Loading());
    EXPECT_EQ(page->cmbSpeedSensorNumberOfPickups[0]->currentIndex(), -1);
    EXPECT_EQ(page->cmbSpeedSensorRPMSender[0]->currentIndex(), 1);
    EXPECT_EQ(page->cmbSpeedSensorRPMSender[1]->currentIndex(), -1);
    EXPECT_EQ(page->lblSpeedSensorPulses[1]->text(), "Pulses/Revolution");
    EXPECT_EQ(page->RPMSenderName(1), "");
    EXPECT_FALSE(setup->Changed());

    // An edit elsewhere stores its own field and leaves the unshowable ones alone.
    page->numSpeedSensorReadyToTakeLoad->SetValue(1300);
    EXPECT_EQ(s->ReadyToTakeLoad(), 1300);
    EXPECT_EQ(s->PickupType(0), 7);
    EXPECT_EQ(s->Sender(1), 9);
    EXPECT_EQ(s->Sender(0), 2); // what the list shows: the timing gear
}

TEST_F(Fixture, ZeroSenderShowsNoEntry)
{
    setup->SpeedSensor()->SetSender(0, 0);
    setup->SpeedSensor()->SetSender(1, 0);
    ShowSetup();
    EXPECT_EQ(page->cmbSpeedSensorRPMSender[0]->currentIndex(), -1);
    EXPECT_EQ(page->cmbSpeedSensorRPMSender[1]->currentIndex(), -1);
    EXPECT_EQ(page->lblSpeedSensorPulses[0]->text(), "Pulses/Revolution");
}

TEST_F(Fixture, ChecksRunInOrderWithTheirMessagesAndFocus)
{
    struct Case {
        const char* what;
        int ready, nominal, speeding, shutdownTenths, runAt;
        const char* message; // "" passes
        const char* focus;
    } cases[] = {
        {"valid", 1410, 1500, 1725, 1, 400, "", ""},
        {"overspeed equal to nominal", 1500, 1500, 1500, 10, 600, "", ""},
        {"ready below", 50, 1500, 1725, 1, 400,
         "Ready To Take Load must be between 100 and Nominal/Max value (1500)!", "numSpeedSensorReadyToTakeLoad"},
        {"ready above before nominal", 50, 7000, 7200, 1, 400,
         "Ready To Take Load must be between 100 and Nominal/Max value (7000)!", "numSpeedSensorReadyToTakeLoad"},
        {"nominal above", 1410, 7000, 7200, 1, 400, "Nominal/Max must be between 100 and 6000 RPM!",
         "numSpeedSensorNomMax"},
        {"nominal below", 100, 90, 1725, 1, 400, "Nominal/Max must be between 100 and 6000 RPM!",
         "numSpeedSensorNomMax"},
        {"ready above nominal", 1600, 1500, 1725, 1, 400,
         "Ready To Take Load must be between 100 and Nominal/Max value (1500)!", "numSpeedSensorReadyToTakeLoad"},
        {"overspeed below nominal", 1410, 1500, 1400, 1, 400,
         "Overspeed must be greater than Nominal/Max (1500) but not greater than 7500 RPM!", "numSpeedSensorSpeeding"},
        {"overspeed above", 1410, 1500, 8000, 1, 400,
         "Overspeed must be greater than Nominal/Max (1500) but not greater than 7500 RPM!", "numSpeedSensorSpeeding"},
        {"shutdown zero", 1410, 1500, 1725, 0, 400, "Speeding Shutdown must be between 0.1 and 1 seconds!",
         "numSpeedSensorSpeedingShutdown"},
        {"shutdown above", 1410, 1500, 1725, 15, 400, "Speeding Shutdown must be between 0.1 and 1 seconds!",
         "numSpeedSensorSpeedingShutdown"},
        {"run below", 1410, 1500, 1725, 1, 40, "Run Detected At must be between 50 and 600 RPM!",
         "numSpeedSensorRUNDetectedAt"},
        {"run above", 1410, 1500, 1725, 1, 700, "Run Detected At must be between 50 and 600 RPM!",
         "numSpeedSensorRUNDetectedAt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        XelSpeedSensor* s = setup->SpeedSensor();
        defaultsetup::SetSpeedSensorDefaults(*setup);
        ShowSetup();
        // The user's entries, in the order the page shows them.
        Enter(page->numSpeedSensorReadyToTakeLoad, c.ready);
        Enter(page->numSpeedSensorNomMax, c.nominal);
        Enter(page->numSpeedSensorSpeeding, c.speeding);
        Enter(page->numSpeedSensorSpeedingShutdown, c.shutdownTenths / 10.0f);
        Enter(page->numSpeedSensorRUNDetectedAt, c.runAt);
        doubles.presenter.shown.clear();
        const bool ok = page->ValidateSpeedSensor();
        EXPECT_EQ(ok, *c.message == 0);
        if (*c.message == 0) {
            EXPECT_TRUE(doubles.presenter.shown.isEmpty());
            continue;
        }
        ASSERT_EQ(doubles.presenter.shown.size(), 1);
        EXPECT_EQ(LastMessage(), QString::fromLatin1(c.message));
        EXPECT_EQ(doubles.presenter.shown.last().style, 48);
        auto* field = page->findChild<QWidget*>(QString::fromLatin1(c.focus));
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(page->focusWidget(), field->focusProxy() ? field->focusProxy() : field);
        // The entries were stored at once, the bad ones too; the check only keeps the page.
        EXPECT_EQ(s->NomSpeed(), c.nominal);
        EXPECT_EQ(s->Speeding(), c.speeding);
    }
}

TEST_F(Fixture, OverspeedLabelAndShutdownFieldPlace)
{
    ShowSetup();
    struct Case {
        int nominal, speeding;
        const char* text;
    } cases[] = {
        {1500, 1725, "RPM (15.0%) after"}, {1500, 1500, "RPM (0.0%) after"}, {1000, 1500, "RPM (50.0%) after"},
        {3000, 3001, "RPM (0.0%) after"},  {1500, 1400, "RPM after"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        setup->SpeedSensor()->SetNomSpeed(c.nominal);
        setup->SpeedSensor()->SetSpeeding(c.speeding);
        page->LoadSpeedSensor();
        page->UpdateSpeedingLabel();
        EXPECT_EQ(page->lblSpeedSensorSpeeding->text(), QString::fromLatin1(c.text));
        QLabel* label = page->lblSpeedSensorSpeeding;
        EXPECT_EQ(page->numSpeedSensorSpeedingShutdown->x(), label->x() + label->width() + 5);
        EXPECT_EQ(page->lblSpeedSensor[8]->x(),
                  page->numSpeedSensorSpeedingShutdown->x() + page->numSpeedSensorSpeedingShutdown->width() + 5);
    }
}

TEST_F(Fixture, RaisingTheNominalPullsTheOverspeedUp)
{
    ShowSetup();
    page->numSpeedSensorNomMax->SetValue(1800);
    EXPECT_EQ(page->numSpeedSensorSpeeding->Value(), 1800);
    EXPECT_EQ(page->numSpeedSensorSpeeding->Min(), 1800);
    EXPECT_EQ(page->lblSpeedSensorSpeeding->text(), "RPM (0.0%) after");
    EXPECT_EQ(setup->SpeedSensor()->NomSpeed(), 1800);
    EXPECT_EQ(setup->SpeedSensor()->Speeding(), 1800);
    EXPECT_TRUE(page->ValidateSpeedSensor());
    EXPECT_EQ(page->NomMaxValue(), 1800);
    EXPECT_EQ(page->SpeedingValue(), 1800);
}

TEST_F(Fixture, EditsAreStoredAtOnce)
{
    ShowSetup();
    XelSpeedSensor* s = setup->SpeedSensor();
    page->numSpeedSensorPulsesPerRevolution[0]->SetValue(120);
    page->numSpeedSensorSpeedingShutdown->SetValue(1.0f);
    page->numSpeedSensorRUNDetectedAt->SetValue(450);
    page->numSpeedSensorRUNDetectionDelay->SetValue(30);
    EXPECT_EQ(s->PulsesPerRevolution(0), 120);
    EXPECT_FLOAT_EQ(s->SpeedingShutdown(), 1.0f);
    EXPECT_EQ(page->lblSpeedSensor[8]->text(), "Second");
    EXPECT_EQ(s->RunDetectedAt(), 450);
    EXPECT_EQ(setup->Main()->RunDelay(), 30);
}

TEST_F(Fixture, ATypedValueAboveTheLimitPutsTheRangeIntoTheStatusBar)
{
    ShowSetup();
    struct Case {
        const char* field;
        const char* typed;
        const char* status;
    } cases[] = {
        {"numSpeedSensorNomMax", "9", "Nominal/Max must be between 100 and 6000 RPM!"},
        {"numSpeedSensorSpeeding", "9", "Overspeed must be greater than Nominal/Max (1500) but not greater than 7500 RPM!"},
        {"numSpeedSensorPulsesPerRevolution_0", "9", "Pulses/Revolution must be between 0 and 255!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        doubles.status.text.clear();
        auto* box = Find<Number>(c.field);
        const qint32 before = box->Value();
        box->TextBox()->setCursorPosition(box->TextBox()->text().size());
        QTest::keyClicks(box->TextBox(), QString::fromLatin1(c.typed));
        EXPECT_EQ(doubles.status.text, QString::fromLatin1(c.status));
        EXPECT_EQ(box->Value(), before);
    }
    EXPECT_FALSE(setup->Changed());
}

TEST_F(Fixture, DefaultsOfANewSetup)
{
    XelObject empty;
    defaultsetup::SetSpeedSensorDefaults(empty);
    const XelSpeedSensor* s = empty.SpeedSensor();
    EXPECT_EQ(s->Sender(0), 1);
    EXPECT_EQ(s->Sender(1), 1);
    EXPECT_EQ(s->PulsesPerRevolution(0), 150);
    EXPECT_EQ(s->PulsesPerRevolution(1), 150);
    EXPECT_EQ(s->PickupType(0), 1);
    EXPECT_EQ(s->PickupType(1), 0);
    EXPECT_EQ(s->ReadyToTakeLoad(), 1410);
    EXPECT_EQ(s->NomSpeed(), 1500);
    EXPECT_EQ(s->Speeding(), 1725);
    EXPECT_FLOAT_EQ(s->SpeedingShutdown(), 0.1f);
    EXPECT_EQ(s->RunDetectedAt(), 400);
    EXPECT_EQ(empty.Main()->RunDelay(), 60);
}

TEST_F(Fixture, NomMaxCaptionFromTheMainPage)
{
    page->SetNomMaxCaption("Maximum");
    EXPECT_EQ(page->lblSpeedSensorNomMax->text(), "Maximum");
}

// A setup as a unit or a file holds it passes until the user edits a value; from the first
// edit the checks apply (the three speeds together, as they bound each other).
TEST_F(Fixture, ValuesAsReceivedPassUntilEdited)
{
    enum Field { Ready, Nominal, Speeding, Shutdown, RunAt };
    struct Case {
        const char* what;
        int ready, nominal, speeding, shutdownTenths, runAt; // as held by the setup
        Field edited;
        double value;
        const char* message; // after the edit; "" passes
        const char* focus;
    } cases[] = {
        {"zero image, ready typed", 0, 0, 0, 0, 0, Ready, 1000, "Nominal/Max must be between 100 and 6000 RPM!",
         "numSpeedSensorNomMax"},
        {"zero image, nominal typed", 0, 0, 0, 0, 0, Nominal, 1500,
         "Ready To Take Load must be between 100 and Nominal/Max value (1500)!", "numSpeedSensorReadyToTakeLoad"},
        {"ready above nominal, overspeed typed", 1600, 1500, 1725, 1, 400, Speeding, 1800,
         "Ready To Take Load must be between 100 and Nominal/Max value (1500)!", "numSpeedSensorReadyToTakeLoad"},
        {"ready above nominal, fixed", 1600, 1500, 1725, 1, 400, Ready, 1450, "", ""},
        {"shutdown zero, speeds typed", 1410, 1500, 1725, 0, 400, Nominal, 1600, "", ""},
        {"shutdown zero, typed", 1410, 1500, 1725, 0, 400, Shutdown, 1.5,
         "Speeding Shutdown must be between 0.1 and 1 seconds!", "numSpeedSensorSpeedingShutdown"},
        {"run above, typed", 1410, 1500, 1725, 1, 700, RunAt, 650, "Run Detected At must be between 50 and 600 RPM!",
         "numSpeedSensorRUNDetectedAt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        XelSpeedSensor* s = setup->SpeedSensor();
        s->SetReadyToTakeLoad(c.ready);
        s->SetNomSpeed(c.nominal);
        s->SetSpeeding(c.speeding);
        s->SetSpeedingShutdown(c.shutdownTenths / 10.0f);
        s->SetRunDetectedAt(c.runAt);
        ShowSetup();
        doubles.presenter.shown.clear();
        EXPECT_TRUE(ValidateCurrentPage(state, TabSpeedSensor));
        EXPECT_TRUE(doubles.presenter.shown.isEmpty());
        EXPECT_EQ(s->NomSpeed(), c.nominal);
        EXPECT_EQ(s->ReadyToTakeLoad(), c.ready);

        switch (c.edited) {
        case Ready: Enter(page->numSpeedSensorReadyToTakeLoad, int(c.value)); break;
        case Nominal: Enter(page->numSpeedSensorNomMax, int(c.value)); break;
        case Speeding: Enter(page->numSpeedSensorSpeeding, int(c.value)); break;
        case Shutdown: Enter(page->numSpeedSensorSpeedingShutdown, float(c.value)); break;
        case RunAt: Enter(page->numSpeedSensorRUNDetectedAt, int(c.value)); break;
        }
        EXPECT_EQ(page->ValidateSpeedSensor(), *c.message == 0);
        EXPECT_EQ(LastMessage(), QString::fromLatin1(c.message));
        if (*c.focus) {
            auto* field = page->findChild<QWidget*>(QString::fromLatin1(c.focus));
            ASSERT_NE(field, nullptr);
            EXPECT_EQ(page->focusWidget(), field->focusProxy() ? field->focusProxy() : field);
        }
    }
}

TEST_F(Fixture, AllZeroUnitImageCanLeaveThePageUnchanged)
{
    ShowSetup(); // the default setup first: overspeed 15.0% above nominal
    auto received = std::make_unique<XelObject>();
    ASSERT_TRUE(received->LoadSetup(QVector<qint32>(XelObject::kImageBytes / 2, 0), QStringLiteral("4.47")));
    state.SetXelObject(received.get());
    ShowSetup();
    doubles.presenter.shown.clear();
    EXPECT_TRUE(ValidateCurrentPage(state, TabSpeedSensor));
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
    EXPECT_EQ(received->SpeedSensor()->NomSpeed(), 0);
    EXPECT_EQ(received->SpeedSensor()->ReadyToTakeLoad(), 0);
    EXPECT_EQ(received->Main()->RunDelay(), 0);
    // No nominal speed, no percentage: the previous setup's 15.0% is gone.
    EXPECT_EQ(page->lblSpeedSensorSpeeding->text(), "RPM after");
    state.SetXelObject(setup.get());
}
