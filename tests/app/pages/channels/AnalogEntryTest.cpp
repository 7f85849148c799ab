// The page's entry handlers: numeric boxes, action and direction rules, Active, description.
#include "tests/app/pages/channels/AnalogPageFixture.h"

#include <functional>

using namespace analogtest;

namespace {
constexpr int kYes = 6;
constexpr int kNo = 7;
}

TEST_F(AnalogPageTest, NumericBoxesStoreTheirFieldInTenths)
{
    Input(2)->SetActive(true);
    Click(2);
    struct Case {
        const char* box;
        float value;
        std::function<qint32(XelAnalogIn*)> field;
        qint32 stored;
    } cases[] = {
        {"numAnalogLimit_0", 12.3f, [](XelAnalogIn* i) { return i->Limit(0); }, 123},
        {"numAnalogLimit_2", 45.6f, [](XelAnalogIn* i) { return i->Limit(0); }, 456},
        {"numAnalogLimit_1", -7.5f, [](XelAnalogIn* i) { return i->Limit(1); }, -75},
        {"numAnalogSensorMin", -5.5f, [](XelAnalogIn* i) { return i->SensorMin(); }, -55},
        {"numAnalogSensorMax", 250.0f, [](XelAnalogIn* i) { return i->SensorMax(); }, 2500},
        {"numAnalogLimitSetpoint_0", 2.5f, [](XelAnalogIn* i) { return i->RPMLimit(0); }, 25},
        {"numAnalogLimitSetpoint_1", 0.8f, [](XelAnalogIn* i) { return i->RPMLimit(1); }, 8},
    };
    for (const Case& c : cases) {
        Find<Float>(c.box)->SetValue(c.value);
        EXPECT_EQ(c.field(Input(2)), c.stored) << c.box;
    }
    Find<Number>("numAnalogSetpointRPM_0")->SetValue(800);
    Find<Number>("numAnalogSetpointRPM_1")->SetValue(1500);
    Find<Number>("numAnalogInitialDelay")->SetValue(15);
    Find<Number>("numAnalogAlarmDelay")->SetValue(1);
    EXPECT_EQ(Input(2)->RPM(0), 800);
    EXPECT_EQ(Input(2)->RPM(1), 1500);
    EXPECT_EQ(Input(2)->InitialDelay(), 15);
    EXPECT_EQ(Input(2)->AlarmDelay(), 1);
    EXPECT_EQ(page->lblAnalog[4]->text(), "Second");
    EXPECT_EQ(page->lblAnalog[2]->text(), "Seconds");
    EXPECT_FALSE(page->picActionText[5]->isVisibleTo(page.get()));
    Find<Number>("numAnalogAlarmDelay")->SetValue(0);
    EXPECT_TRUE(page->picActionText[5]->isVisibleTo(page.get()));
    // The sensor range stores nothing while a setup is being opened.
    state.OpeningSetup = true;
    Find<Float>("numAnalogSensorMax")->SetValue(300.0f);
    state.OpeningSetup = false;
    EXPECT_EQ(Input(2)->SensorMax(), 2500);
}

TEST_F(AnalogPageTest, SpinStepFollowsTheEnteredValue)
{
    Click(2);
    Float* box = page->numAnalogLimit[1];
    struct Case {
        float from, to, step;
    } cases[] = {{9.9f, 10.0f, 1.0f}, {10.0f, 11.0f, 1.0f}, {11.0f, 10.0f, 0.1f}, {10.0f, 9.9f, 0.1f}};
    for (const Case& c : cases) {
        box->SetValue(c.from);
        box->SetValue(c.to);
        EXPECT_FLOAT_EQ(box->Increment(), c.step) << c.from << "->" << c.to;
    }
}

TEST_F(AnalogPageTest, OutOfRangeEntriesPutTheirMessageOnTheStatusBar)
{
    Click(2);
    page->numAnalogSensorMin->SetValue(-5.0f);
    page->numAnalogSensorMax->SetValue(250.0f);
    struct Case {
        std::function<void()> raise;
        QString text;
    } cases[] = {
        {[&] { emit page->numAnalogLimit[0]->ErrorValue(); }, "Both Limit values must be inside the Sensor Range (-5 - 250)!"},
        {[&] { emit page->numAnalogLimitSetpoint[1]->ErrorValue(); },
         "Both Lower and Upper Setpoint values must be inside the Sensor Range (-5 - 250)!"},
        {[&] { emit page->numAnalogSetpointRPM[0]->ErrorValue(); },
         "Both Lower and Upper Setpoint RPM values must be inside the range (100 - 6000)!"},
        {[&] { emit page->numAnalogSensorMax->ErrorValue(); }, "Sensor Range Max must be between Sensor Range Min (-5) and 3000!"},
        {[&] { emit page->numAnalogSensorMin->ErrorValue(); }, "Sensor Range Min must be less than Sensor Range Max (250)!"},
    };
    for (const Case& c : cases) {
        c.raise();
        EXPECT_EQ(doubles.status.text, c.text);
    }
    // Leaving a box whose value is back in range clears the message.
    emit page->numAnalogSensorMin->LostFocus();
    EXPECT_EQ(doubles.status.text, "");
    doubles.status.text = "x";
    page->numAnalogLimitSetpoint[0]->SetValue(5.0f);
    page->numAnalogLimitSetpoint[1]->SetValue(2.0f);
    emit page->numAnalogLimitSetpoint[0]->LostFocus();
    EXPECT_EQ(doubles.status.text, "x");
}

TEST_F(AnalogPageTest, UpperSetpointScalesTheGraph)
{
    Input(2)->SetActive(true);
    Input(2)->SetAction(6);
    Click(2);
    TarnGraph* graph = page->graRPMDependentAlarm;
    struct Case {
        float v;
        int steps, step, every;
    } cases[] = {{25.0f, 10, 3, 2}, {4.0f, 5, 1, 1}, {8.0f, 10, 1, 2}, {-3.0f, 10, 1, 2}};
    for (const Case& c : cases) {
        page->numAnalogLimitSetpoint[1]->SetValue(c.v);
        EXPECT_EQ(graph->YSteps(), c.steps) << c.v;
        EXPECT_EQ(graph->YStep(), c.step) << c.v;
        EXPECT_EQ(graph->YStepMarkEvery(), c.every) << c.v;
    }
    EXPECT_EQ(graph->XSteps(), 8);
    // The X scale follows the upper speeds of the whole setup, and a new setup starts narrow.
    struct RpmCase {
        const char* what;
        std::function<void()> act;
        int steps;
    } rpmCases[] = {
        {"typed 2500", [&] { page->numAnalogSetpointRPM[1]->SetValue(2500); }, 12},
        {"another input shown", [&] { Click(3); }, 12},
        {"typed back to 2000", [&] { Click(2); page->numAnalogSetpointRPM[1]->SetValue(2000); }, 8},
        {"stored 2001 elsewhere", [&] { Input(5)->SetRPM(1, 2001); Click(3); }, 12},
        {"new setup", [&] {
             auto fresh = CreateDefaultSetupDocument();
             state.SetXelObject(fresh.get());
             page->LoadAnalog();
             doc = std::move(fresh);
         }, 8},
    };
    for (const RpmCase& c : rpmCases) {
        c.act();
        EXPECT_EQ(graph->XSteps(), c.steps) << c.what;
        // Whatever the scale, the page graph's labels keep apart.
        EXPECT_GE(graph->XLabelEvery(), graph->XStepMarkEvery()) << c.what;
    }
}

TEST_F(AnalogPageTest, ClassifiableSetupRefusesShutdownBelowTheLimit)
{
    doc->Main()->SetClassified(true);
    Input(2)->SetActive(true);
    Input(2)->SetAction(2);
    Input(2)->SetActionDirection(1);
    Click(2);
    pagecommon::SelectByItemData(page->cmbAnalogAction, 3);
    ASSERT_EQ(Messages(), 1);
    EXPECT_TRUE(LastMessage().startsWith("This project is marked as a Classifiable Project."));
    EXPECT_EQ(doubles.presenter.shown.last().style, 48);
    EXPECT_EQ(Input(2)->Action(), 2);
    EXPECT_EQ(page->cmbAnalogAction->currentData().toInt(), 2);
    // Above the limit the choice is stored.
    page->cmbAnalogActionDirection->setCurrentIndex(0);
    EXPECT_EQ(Input(2)->ActionDirection(), 0);
    pagecommon::SelectByItemData(page->cmbAnalogAction, 3);
    EXPECT_EQ(Input(2)->Action(), 3);
    // An active shutdown input cannot go below the limit.
    page->cmbAnalogActionDirection->setCurrentIndex(1);
    EXPECT_EQ(Messages(), 2);
    EXPECT_EQ(Input(2)->ActionDirection(), 0);
    EXPECT_EQ(page->cmbAnalogActionDirection->currentIndex(), 0);
    // An inactive one can.
    page->chkAnalogActive->setChecked(false);
    page->cmbAnalogActionDirection->setCurrentIndex(1);
    EXPECT_EQ(Input(2)->ActionDirection(), 1);
    EXPECT_EQ(pagecommon::RowPicture(Row(2)), 5 + 26);
}

TEST_F(AnalogPageTest, ActionNoneOnARunSignalAsksFirst)
{
    struct Case {
        bool shift, expert;
        QList<int> answers;
        int questions;
        qint32 action;
        bool run;
    } cases[] = {
        {false, false, {kNo}, 1, 2, true},
        {false, false, {kYes}, 1, 0, false},
        {true, false, {}, 0, 0, false},
        {false, true, {}, 0, 0, false},
    };
    for (const Case& c : cases) {
        Input(4)->SetActive(true);
        Input(4)->SetAction(2);
        Input(4)->SetRUNAlsoDetectedBy(true);
        Click(4);
        doubles.presenter.shown.clear();
        doubles.presenter.answers = c.answers;
        doubles.keys.shift = c.shift;
        state.ExpertMode = c.expert;
        pagecommon::SelectByItemData(page->cmbAnalogAction, 0);
        EXPECT_EQ(Messages(), c.questions);
        if (c.questions) {
            EXPECT_TRUE(LastMessage().startsWith("This input channel is used to detect an Additional RUN Signal."));
        }
        EXPECT_EQ(Input(4)->Action(), c.action);
        EXPECT_EQ(Input(4)->RUNAlsoDetectedBy(), c.run);
        EXPECT_EQ(page->chkAnalogAdditionalRunDetection->isChecked(), c.run);
        doubles.keys.shift = false;
        state.ExpertMode = false;
    }
}

TEST_F(AnalogPageTest, ActiveBoxWithShiftAndOnBusOnlyChannels)
{
    Click(3);
    doubles.keys.shift = true;
    page->chkAnalogActive->setChecked(true);
    EXPECT_TRUE(Input(3)->Active());
    EXPECT_EQ(Input(3)->Text(), "Analog Input 3");
    EXPECT_EQ(Row(3)->text(2), "Analog Input 3");
    EXPECT_TRUE(page->conAnalog->ChildrenEnabled());
    EXPECT_EQ(Find<QLabel>("lblAnalogCount")->text(), "1 Active");
    page->chkAnalogActive->setChecked(false);
    EXPECT_EQ(Input(3)->Text(), "");
    doubles.keys.shift = false;
    EXPECT_GE(relays.ghosted, 2);
    // Entry 12 of a setup whose support is off only beeps.
    SetCAN(true);
    doc->Main()->SetCAN(false);
    Click(12);
    page->chkAnalogActive->setChecked(true);
    EXPECT_FALSE(page->chkAnalogActive->isChecked());
    EXPECT_FALSE(Input(12)->Active());
    EXPECT_EQ(doubles.presenter.beeps, 1);
}

TEST_F(AnalogPageTest, DescriptionOutsideTheUnitCharacterSetIsRefusedWhole)
{
    Click(2);
    page->txtAnalogDescription->setText("Oil");
    EXPECT_EQ(Input(2)->Text(), "Oil");
    page->txtAnalogDescription->setText(QString::fromUtf8("Oil \u20ac"));
    EXPECT_EQ(Input(2)->Text(), "Oil");
    EXPECT_EQ(page->txtAnalogDescription->text(), "Oil");
    page->txtAnalogInfo->setText("free text \u20ac");
    EXPECT_EQ(Input(2)->Info(), QString::fromUtf8("free text \u20ac"));
    page->chkAnalogDoubleScale->setChecked(true);
    EXPECT_TRUE(Input(2)->DoubleScale());
    page->chkAnalogAdditionalRunDetection->setChecked(true);
    EXPECT_EQ(pagecommon::RowPicture(Row(2)), 1 + 13 + 26);
}

TEST_F(AnalogPageTest, TypeChangeBetweenVoltageAndCurrentShowsTheJumper)
{
    Input(1)->SetActive(true);
    Click(1);
    pagecommon::SelectByItemData(page->cmbAnalogInputType, 2);
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows[0].name, "frmMessage");
    EXPECT_TRUE(windows[0].visibleLabels.contains("lblLabel_0"));
    EXPECT_FALSE(windows[0].visibleLabels.contains("lblLabel_1"));
    EXPECT_EQ(Input(1)->InputType(), 2);
    pagecommon::SelectByItemData(page->cmbAnalogInputType, 0);
    ASSERT_EQ(windows.size(), 2);
    EXPECT_TRUE(windows[1].visibleLabels.contains("lblLabel_1"));
    pagecommon::SelectByItemData(page->cmbAnalogInputType, 1);
    EXPECT_EQ(windows.size(), 2);
    doubles.keys.shift = true;
    pagecommon::SelectByItemData(page->cmbAnalogInputType, 2);
    EXPECT_EQ(windows.size(), 2);
    EXPECT_EQ(Input(1)->InputType(), 2);
}

TEST_F(AnalogPageTest, ArrowKeysSpinInTenthsBelowTenAndWholeUnitsAbove)
{
    Input(2)->SetActive(true);
    Input(2)->SetAction(1);
    Click(2);
    Float* box = page->numAnalogLimit[1];
    box->SetValue(9.9f);
    QLineEdit* text = box->TextBox();
    text->setFocus();
    const float up[2] = {10.0f, 11.0f};
    for (float expected : up) {
        QTest::keyClick(text, Qt::Key_Up);
        EXPECT_FLOAT_EQ(box->Value(), expected);
    }
    const float down[2] = {10.0f, 9.9f};
    for (float expected : down) {
        QTest::keyClick(text, Qt::Key_Down);
        EXPECT_FLOAT_EQ(box->Value(), expected);
    }
    EXPECT_EQ(Input(2)->Limit(1), 99);
}

TEST_F(AnalogPageTest, EnterInTheParameterComboCopiesItsText)
{
    SetCAN(true);
    Input(12)->SetActive(true);
    Click(12);
    ASSERT_GT(page->cmbAnalogJ->count(), 0);
    page->cmbAnalogJ->setEditable(false);
    {
        const QSignalBlocker blocker(page->cmbAnalogJ);
        page->cmbAnalogJ->setCurrentIndex(0);
    }
    page->cmbAnalogJ_KeyDown(13);
    EXPECT_EQ(page->txtAnalogDescription->text(), page->cmbAnalogJ->itemText(0));
    EXPECT_EQ(Input(12)->Text(), page->cmbAnalogJ->itemText(0));
}
