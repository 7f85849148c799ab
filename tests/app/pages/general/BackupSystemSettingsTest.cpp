#include "app/setupdefaults/DefaultSetup.h"
#include "app/pages/MainState.h"
#include "app/pages/general/frmBackupSystemSettings.h"
#include "extra/extra.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/cDigitalIn.h"
#include "tests/common/Doubles.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

class BackupSystem : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(extra::LoadLanguageLibrary());
        setup = CreateDefaultSetupDocument();
    }
    void TearDown() override { extra::FreeLanguageLibrary(); }
    testing_doubles::PlatformDoubles doubles;
    std::unique_ptr<XelObject> setup;
};

} // namespace

TEST_F(BackupSystem, PulseSwitchesFromPickupOne)
{
    struct Case {
        int type, pulses, sender;
        const char* s1;
        const char* s2;
    } cases[] = {
        {1, 150, 1, "9", "6"}, {1, 150, 2, "4", "B"}, {1, 9, 1, "0", "9"},  {1, 255, 1, "F", "F"},
        {1, 255, 2, "7", "F"}, {1, 1, 2, "0", "0"},   {1, 0, 1, "0", "0"},  {1, 16, 3, "1", "0"},
        {0, 150, 1, "0", "0"}, {2, 150, 1, "0", "0"}, {3, 150, 2, "0", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type * 10000 + c.pulses * 10 + c.sender);
        XelSpeedSensor* s = setup->SpeedSensor();
        s->SetPickupType(0, c.type);
        s->SetPulsesPerRevolution(0, c.pulses);
        s->SetSender(0, c.sender);
        // Pickup two never counts.
        s->SetPickupType(1, 1);
        s->SetPulsesPerRevolution(1, 200);
        const BackupSwitchPositions pos = BackupSwitchSettings(*setup);
        EXPECT_EQ(pos.S1, QString::fromLatin1(c.s1));
        EXPECT_EQ(pos.S2, QString::fromLatin1(c.s2));
    }
}

TEST_F(BackupSystem, OverspeedSwitchAtEveryTableBoundary)
{
    struct Case {
        int speed;
        const char* s3;
    } cases[] = {
        {-5, "0"},   {0, "0"},    {1, "1"},    {480, "1"},  {481, "2"},  {670, "2"},  {671, "3"},
        {1025, "3"}, {1026, "4"}, {1370, "4"}, {1371, "5"}, {1670, "5"}, {1671, "6"}, {1720, "6"},
        {1725, "7"}, {1760, "7"}, {1761, "8"}, {1800, "8"}, {1885, "9"}, {1886, "A"}, {2010, "A"},
        {2030, "B"}, {2120, "C"}, {2340, "D"}, {2430, "E"}, {2431, "F"}, {2730, "F"}, {2731, "F"},
        {99999, "F"},
    };
    for (const Case& c : cases) {
        setup->SpeedSensor()->SetSpeeding(c.speed);
        EXPECT_EQ(BackupSwitchSettings(*setup).S3, QString::fromLatin1(c.s3)) << c.speed;
    }
}

TEST_F(BackupSystem, ShutdownLeversFollowSwitchInputsOneToSix)
{
    struct In {
        int n;
        bool active;
        int action;
    } inputs[] = {
        {1, true, 3}, {2, true, 2}, {3, true, 3}, {4, false, 3}, {5, true, 1}, {6, false, 2}, {7, true, 3},
    };
    for (const In& in : inputs) {
        XelDigitalIn* d = setup->DigitalIn()->Item(cDigitalIn::KeyText(in.n));
        d->SetActive(in.active);
        d->SetAction(in.action);
    }
    const std::array<bool, 6> expected{true, false, true, false, false, false};
    EXPECT_EQ(BackupSwitchSettings(*setup).S4, expected);

    // A setup that lacks input 2 still sets the levers by input number.
    ASSERT_TRUE(setup->DigitalIn()->Remove("2*"));
    EXPECT_EQ(BackupSwitchSettings(*setup).S4, expected);
}

TEST_F(BackupSystem, WindowDrawsThePositionsAndChangesNothing)
{
    setup->SpeedSensor()->SetSender(0, 2);
    setup->SpeedSensor()->SetSpeeding(1670);
    XelDigitalIn* d6 = setup->DigitalIn()->Item("6*");
    d6->SetActive(true);
    d6->SetAction(3);
    setup->ResetBackup();

    MainState state;
    state.SetXelObject(setup.get());
    frmBackupSystemSettings window(state);
    window.InitSettings();
    window.show();
    EXPECT_EQ(window.windowTitle(), "Backup System Settings");
    EXPECT_EQ(window.findChild<QLabel*>("lblSwitch_0")->text(), "4");
    EXPECT_EQ(window.findChild<QLabel*>("lblSwitch_1")->text(), "B");
    EXPECT_EQ(window.findChild<QLabel*>("lblSwitch_2")->text(), "5");
    for (int lever = 1; lever <= 6; ++lever)
        EXPECT_EQ(window.LeverOn(lever), lever == 6) << lever;
    EXPECT_FALSE(window.LeverOn(0));
    EXPECT_FALSE(window.LeverOn(7));
    EXPECT_EQ(window.findChild<QLabel*>("lblDescription_2")->text(), "S3 = Overspeed");
    EXPECT_FALSE(setup->Changed());
    QTest::mouseClick(window.findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}
