// The Standby Operation page on its own, in its standby and its propulsion shape.
#include "tests/app/pages/general/MainTestSupport.h"

#include "app/pages/common/PageCommon.h"
#include "app/pages/general/StandbyOperationPage.h"
#include "controls/Container.h"
#include "controls/Number.h"
#include "datamodel/XelStandbyOperation.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest/QTest>

using namespace generaltest;

namespace {

class StandbyPageTest : public PageFixture {
protected:
    void SetUp() override
    {
        PageFixture::SetUp();
        page = std::make_unique<StandbyOperationPage>(state);
        state.standbyPage = page.get();
        page->FillFuelConsumptionCombo();
        page->LoadStandbyOperation(false);
        page->show();
    }
    void TearDown() override
    {
        page.reset();
        PageFixture::TearDown();
    }
    Number* Box(const char* name) const
    {
        auto* box = page->findChild<Number*>(QString::fromLatin1(name));
        EXPECT_NE(box, nullptr) << name;
        return box;
    }
    QLabel* Label(int i) const { return page->findChild<QLabel*>(QStringLiteral("lblStandbyOperation_%1").arg(i)); }
    QComboBox* Fuel() const { return page->findChild<QComboBox*>("cmbStandbyOperationFuel"); }
    XelStandbyOperation& Part() const { return *setup->StandbyOperation(); }

    std::unique_ptr<StandbyOperationPage> page;
};

TEST_F(StandbyPageTest, DefaultsAndTheirDisplay)
{
    Part().SetCooling(20);
    page->SetStandbyOperationDefaults();
    EXPECT_EQ(Part().InitialStartDelay(), 1);
    EXPECT_EQ(Part().StartAttempts(), 3);
    EXPECT_EQ(Part().CrankingTime(), 7);
    EXPECT_EQ(Part().Delay(), 7);
    EXPECT_EQ(Part().GenBreakTimer(), 180);
    EXPECT_EQ(Part().Cooling(), 3);
    EXPECT_EQ(Part().FuelConsumption(), 0);
    setup->ResetBackup();
    page->LoadStandbyOperation(false);
    EXPECT_EQ(Box("numStandbyOperationInitial")->Value(), 1);
    EXPECT_EQ(Box("numStandbyOperationAttempts")->Value(), 3);
    EXPECT_EQ(Box("numStandbyOperationGenBreak")->Value(), 180);
    EXPECT_EQ(Label(4)->text(), "Second");
    EXPECT_EQ(Label(11)->text(), "Minutes");
    EXPECT_EQ(Fuel()->currentText(), "None");
    EXPECT_EQ(page->findChild<QLabel*>("lblStandbyOperationFuelMessage")->text(), "Fuel consumption is not measured.");
    EXPECT_TRUE(page->ValidateStandbyOperation());
    EXPECT_FALSE(setup->Changed());
    // The boxes of the three frames stand in one column.
    page->resize(800, 500);
    QApplication::processEvents();
    const int column = Box("numStandbyOperationInitial")->mapTo(page.get(), QPoint()).x();
    for (const char* name : {"numStandbyOperationAttempts", "numStandbyOperationDelay", "numStandbyOperationCooling"})
        EXPECT_EQ(Box(name)->mapTo(page.get(), QPoint()).x(), column) << name;
}

TEST_F(StandbyPageTest, EditsStoreAndUnitLabelsFollowTheValue)
{
    struct Case {
        const char* box;
        int value;
        int label; // -1: none
        const char* unit;
        quint8 (XelStandbyOperation::*get)() const;
    } cases[] = {
        {"numStandbyOperationInitial", 1, 4, "Second", &XelStandbyOperation::InitialStartDelay},
        {"numStandbyOperationInitial", 30, 4, "Seconds", &XelStandbyOperation::InitialStartDelay},
        {"numStandbyOperationGenBreak", 1, 10, "Second", &XelStandbyOperation::GenBreakTimer},
        {"numStandbyOperationGenBreak", 90, 10, "Seconds", &XelStandbyOperation::GenBreakTimer},
        {"numStandbyOperationCooling", 1, 11, "Minute", &XelStandbyOperation::Cooling},
        {"numStandbyOperationCooling", 0, 11, "Minutes", &XelStandbyOperation::Cooling},
        {"numStandbyOperationAttempts", 12, -1, "", &XelStandbyOperation::StartAttempts},
        {"numStandbyOperationCranking", 200, -1, "", &XelStandbyOperation::CrankingTime},
        {"numStandbyOperationDelay", 45, -1, "", &XelStandbyOperation::Delay},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.box).arg(c.value).toStdString());
        Number* box = Box(c.box);
        box->TextBox()->selectAll();
        QTest::keyClicks(box->TextBox(), QString::number(c.value));
        EXPECT_EQ(box->Value(), c.value);
        EXPECT_EQ((Part().*c.get)(), c.value);
        if (c.label >= 0)
            EXPECT_EQ(Label(c.label)->text(), QString::fromLatin1(c.unit));
    }
}

TEST_F(StandbyPageTest, ValidationStopsAtTheFirstBadBox)
{
    struct Case {
        QList<std::pair<const char*, int>> values;
        bool propulsion;
        int message;
        int min, max;
        const char* focus;
    } cases[] = {
        {{{"numStandbyOperationAttempts", 0}, {"numStandbyOperationCooling", 40}}, false, 831, 1, 20,
         "numStandbyOperationAttempts"},
        {{{"numStandbyOperationCooling", 40}}, false, 832, 0, 30, "numStandbyOperationCooling"},
        {{{"numStandbyOperationCranking", 1}, {"numStandbyOperationInitial", 0}}, false, 833, 2, 255,
         "numStandbyOperationCranking"},
        {{{"numStandbyOperationDelay", 61}}, false, 834, 2, 60, "numStandbyOperationDelay"},
        {{{"numStandbyOperationInitial", 0}}, false, 835, 1, 255, "numStandbyOperationInitial"},
        {{{"numStandbyOperationGenBreak", 0}}, false, 836, 1, 255, "numStandbyOperationGenBreak"},
        // The groups hidden in Propulsion mode are not checked there.
        {{{"numStandbyOperationAttempts", 0}, {"numStandbyOperationGenBreak", 0}}, true, 0, 0, 0, ""},
        {{{"numStandbyOperationAttempts", 0}, {"numStandbyOperationInitial", 0}}, true, 835, 1, 255,
         "numStandbyOperationInitial"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        NewSetup();
        page->LoadStandbyOperation(c.propulsion);
        doubles.presenter.shown.clear();
        for (const auto& [name, value] : c.values) {
            Number* box = Box(name);
            box->SetMin(qMin(box->Min(), value));
            box->SetMax(qMax(box->Max(), value));
            box->SetValue(value);
        }
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
        EXPECT_EQ(page->ValidateStandbyOperation(), c.message == 0);
        if (c.message == 0) {
            EXPECT_TRUE(Messages().isEmpty());
            continue;
        }
        ASSERT_EQ(Messages().size(), 1);
        EXPECT_EQ(Messages().first(), Lang(quint16(c.message), {c.min, c.max}));
        EXPECT_EQ(doubles.presenter.shown.first().style, 48);
        EXPECT_EQ(QApplication::focusWidget(), Box(c.focus)->TextBox()) << "focus on " << c.focus;
    }
}

TEST_F(StandbyPageTest, ErrorValueShowsTheRangeInTheStatusBar)
{
    Number* attempts = Box("numStandbyOperationAttempts");
    emit attempts->ErrorValue();
    EXPECT_EQ(doubles.status.text, Lang(831, {1, 20}));
    emit Box("numStandbyOperationCooling")->ErrorValue();
    EXPECT_EQ(doubles.status.text, Lang(832, {0, 30}));
    EXPECT_TRUE(doubles.status.timerStopped);
}

TEST_F(StandbyPageTest, PropulsionShapeShowsAndStoresOnlyItsOwnGroups)
{
    Part().SetFuelConsumption(3);
    Part().SetStartAttempts(9);
    setup->ResetBackup();
    page->LoadStandbyOperation(true);
    EXPECT_TRUE(page->findChild<Container*>("conStandbyOperationStopping")->isHidden());
    EXPECT_TRUE(page->findChild<Container*>("conStandbyOperationStartingBottom")->isHidden());
    EXPECT_FALSE(page->findChild<Container*>("conStandbyOperationFuel")->isHidden());
    EXPECT_FALSE(page->findChild<QLabel*>("lblStandbyOperationPropulsion")->isHidden());
    EXPECT_EQ(Fuel()->currentText(), "J1939 Total Fuel Used");
    EXPECT_TRUE(page->findChild<QLabel*>("lblStandbyOperationFuelMessage")->text().contains("PGN 65257"));
    EXPECT_EQ(Box("numStandbyOperationAttempts")->Value(), 9) << "the stored value, not another setup's";

    Fuel()->setCurrentIndex(Fuel()->findData(1));
    EXPECT_EQ(Part().FuelConsumption(), 1);
    Box("numStandbyOperationAttempts")->SetValue(15); // hidden: not written back
    Box("numStandbyOperationCranking")->SetValue(9);
    EXPECT_EQ(Part().StartAttempts(), 9);
    EXPECT_EQ(Part().CrankingTime(), 9);

    {
        pagecommon::ScopedFlag showing(state.Loading);
        page->ApplyOperationShape(false);
    }
    EXPECT_EQ(Fuel()->currentIndex(), 0);
    EXPECT_EQ(Part().FuelConsumption(), 1) << "shaping the page for a shown setup stores nothing";
    Box("numStandbyOperationDelay")->SetValue(20);
    EXPECT_EQ(Part().Delay(), 20);
    EXPECT_EQ(Part().FuelConsumption(), 1) << "the hidden fuel type is not written back";

    page->ApplyOperationShape(true);
    page->ApplyOperationShape(false); // the user leaves Propulsion
    EXPECT_EQ(Part().FuelConsumption(), 0);
}

TEST_F(StandbyPageTest, ShowingASecondSetupShowsItsOwnValuesInEveryBox)
{
    Part().SetCooling(25);
    Part().SetGenBreakTimer(99);
    page->LoadStandbyOperation(false);
    auto second = CreateDefaultSetupDocument();
    state.SetXelObject(second.get());
    page->LoadStandbyOperation(true);
    EXPECT_EQ(Box("numStandbyOperationCooling")->Value(), 3);
    EXPECT_EQ(Box("numStandbyOperationGenBreak")->Value(), 180);
    page->LoadStandbyOperation(false);
    Box("numStandbyOperationInitial")->SetValue(5);
    EXPECT_EQ(second->StandbyOperation()->Cooling(), 3) << "nothing of the first setup leaks in";
    EXPECT_EQ(second->StandbyOperation()->GenBreakTimer(), 180);
}

TEST_F(StandbyPageTest, StoredValuesOutsideTheRangesAreShownAndPassUntilEdited)
{
    Part().SetDelay(100);
    Part().SetStartAttempts(0);
    setup->ResetBackup();
    page->LoadStandbyOperation(false);
    EXPECT_EQ(Box("numStandbyOperationDelay")->Value(), 100);
    EXPECT_EQ(Box("numStandbyOperationAttempts")->Value(), 0);
    EXPECT_FALSE(setup->Changed());
    EXPECT_TRUE(page->ValidateStandbyOperation()) << "an unchanged setup from a file or a unit can be saved";
    Box("numStandbyOperationDelay")->SetValue(99);
    EXPECT_FALSE(page->ValidateStandbyOperation());
    EXPECT_EQ(Messages(), QStringList{Lang(834, {2, 60})});
    EXPECT_EQ(Part().Delay(), 99) << "an edit stores as it is typed";
    page->LoadStandbyOperation(false); // a reload puts the entry ranges back
    EXPECT_EQ(Box("numStandbyOperationDelay")->Max(), 99);
    Part().SetDelay(7);
    page->LoadStandbyOperation(false);
    EXPECT_EQ(Box("numStandbyOperationDelay")->Max(), 60);
}

TEST_F(StandbyPageTest, FuelTypeWithoutEntryKeepsTheSelection)
{
    page->LoadStandbyOperation(true);
    Fuel()->setCurrentIndex(2);
    Part().SetFuelConsumption(42);
    setup->ResetBackup();
    page->ShowStandbyOperation(Part());
    EXPECT_EQ(Fuel()->currentIndex(), 2);
    EXPECT_EQ(Part().FuelConsumption(), 42);
    EXPECT_FALSE(setup->Changed());
    Box("numStandbyOperationCranking")->SetValue(9);
    EXPECT_EQ(Part().FuelConsumption(), 42) << "an edit of another box keeps the unlisted type";
    Fuel()->activated(2); // the user picks the entry the list shows
    EXPECT_EQ(Part().FuelConsumption(), 2);
}

TEST_F(StandbyPageTest, TabRefreshShowsThePreheatMarkAndEnablesTheModesFields)
{
    page->ShowTabPage(true, false);
    EXPECT_FALSE(page->findChild<QLabel*>("lblStandbyOperationPreheat")->isHidden());
    EXPECT_TRUE(Box("numStandbyOperationAttempts")->isEnabled());
    EXPECT_FALSE(Fuel()->isEnabled());
    page->ShowTabPage(false, true);
    EXPECT_TRUE(page->findChild<QLabel*>("lblStandbyOperationPreheat")->isHidden());
    EXPECT_FALSE(Box("numStandbyOperationAttempts")->isEnabled());
    EXPECT_TRUE(Fuel()->isEnabled());
}

} // namespace
