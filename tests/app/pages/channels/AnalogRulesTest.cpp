// The page rules that need no controls: pictures, terminal texts, lists, tenths, steps, scale.
#include "app/pages/channels/AnalogRules.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "tests/common/Doubles.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace modAnalog;

namespace {

class AnalogRulesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(extra::LoadLanguageLibrary()); }
    testing_doubles::PlatformDoubles doubles;
};

XelAnalogIn MakeInput(int index, bool active, qint32 action, qint32 direction, bool run, qint32 type = 0)
{
    XelAnalogIn input;
    input.SetIndex(index);
    input.SetActive(active);
    input.SetAction(action);
    input.SetActionDirection(direction);
    input.SetRUNAlsoDetectedBy(run);
    input.SetInputType(type);
    return input;
}

} // namespace

TEST_F(AnalogRulesTest, StatePictureFollowsActionDirectionRunAndActive)
{
    struct Case {
        bool active;
        qint32 action, direction;
        bool run;
        int picture;
    } cases[] = {
        {true, 0, 0, false, 1},  {true, 0, 1, false, 1},  {false, 0, 1, false, 27}, {true, 2, 0, false, 2},
        {true, 2, 1, false, 3},  {true, 3, 0, false, 4},  {true, 1, 1, false, 7},   {true, 4, 0, false, 8},
        {true, 5, 1, true, 24},  {false, 5, 1, true, 50}, {true, 6, 0, false, 12},  {true, 7, 1, false, 13},
        {true, 8, 0, true, 25},  {false, 8, 1, true, 52}, {true, 99, 1, false, 1},  {false, 0, 0, true, 40},
    };
    for (const Case& c : cases) {
        const XelAnalogIn input = MakeInput(1, c.active, c.action, c.direction, c.run);
        EXPECT_EQ(StatePicture(input), c.picture) << c.action << "/" << c.direction << "/" << c.run;
    }
}

TEST_F(AnalogRulesTest, TerminalTextByTypeAndPosition)
{
    struct Case {
        int position;
        qint32 type;
        QString terminal, expected;
    } cases[] = {
        {1, 0, "19-20", "19-20"},
        {5, 0, "whatever", "27-28 (AX-2:1-2)"},
        {5, 3, "27-28", "J1587"},
        {6, 2, "AX-2:3-4", "AX-2:3-4"},
        {12, 4, "J1939/J1587", "J1939"},
        {12, 0, "J1939/J1587", "J1939/J1587"},
    };
    for (const Case& c : cases) {
        XelAnalogIn input = MakeInput(c.position, true, 0, 0, false, c.type);
        input.SetTerminal(c.terminal);
        EXPECT_EQ(TerminalText(input, c.position), c.expected) << c.position;
    }
}

TEST_F(AnalogRulesTest, TenthsRoundHalvesToEven)
{
    struct Case {
        float shown;
        double offset;
        qint32 tenths;
    } cases[] = {
        {12.3f, 0, 123}, {12.3f, -40, 523}, {0.25f, 0, 2},   {0.35f, 0, 4},     {1.15f, 0, 12},
        {-0.25f, 0, -2}, {-12.3f, 0, -123}, {100.0f, 0, 1000}, {80.0f, -40, 1200}, {0.0f, 0.05, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToTenths(c.shown, c.offset), c.tenths) << c.shown << " " << c.offset;
    EXPECT_EQ(ToTenths(std::nanf("")), 0);
}

TEST_F(AnalogRulesTest, SpinStepFromOldAndNewValue)
{
    struct Case {
        float oldValue, value, step;
    } cases[] = {
        {9.9f, 10.0f, 1.0f}, {10.0f, 11.0f, 1.0f}, {11.0f, 10.0f, 0.1f}, {10.0f, 9.9f, 0.1f},
        {5.0f, 9.9f, 0.1f},  {-9.0f, -12.0f, 1.0f}, {-12.0f, -10.0f, 0.1f}, {20.0f, 10.1f, 1.0f},
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(StepFor(c.oldValue, c.value), c.step) << c.oldValue << "->" << c.value;
}

TEST_F(AnalogRulesTest, VerticalScaleOfTheUpperSetpointNeverLosesItsStep)
{
    struct Case {
        float v;
        YScale scale;
    } cases[] = {
        {0.0f, {5, 1, 1}},   {4.0f, {5, 1, 1}},   {5.0f, {5, 1, 1}},  {8.0f, {10, 1, 2}}, {10.0f, {10, 1, 2}},
        {25.0f, {10, 3, 2}}, {15.0f, {10, 2, 2}}, {100.0f, {10, 10, 2}},
        // Below zero the formula gives 0 or less: the graph keeps a step of 1.
        {-3.0f, {10, 1, 2}}, {-25.0f, {10, 1, 2}},
    };
    for (const Case& c : cases) {
        const YScale s = ScaleForUpperSetpoint(c.v);
        EXPECT_EQ(s.steps, c.scale.steps) << c.v;
        EXPECT_EQ(s.step, c.scale.step) << c.v;
        EXPECT_EQ(s.markEvery, c.scale.markEvery) << c.v;
    }
}

TEST_F(AnalogRulesTest, ListsByChannelModeAndSupport)
{
    struct Case {
        int position;
        bool can;
        int list;
    } cases[] = {{1, false, 0}, {1, true, 1}, {2, false, 2}, {11, true, 3}, {12, true, 4}, {12, false, -1}, {0, true, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(InputTypeListForPosition(c.position, c.can), c.list) << c.position << c.can;
    EXPECT_EQ(ActionBlockForMode(2).base, 1100);
    EXPECT_EQ(ActionBlockForMode(3).count, 6);
    EXPECT_EQ(ActionBlockForMode(1).base, 1000);
    EXPECT_EQ(InputTypeBlock(5).count, 0);
    const qint32 lowered[9] = {0, 1, 2, 2, 4, 4, 6, 7, 6};
    const qint32 busKept[9] = {0, 1, 2, 0, 4, 0, 0, 0, 0};
    for (qint32 a = 0; a <= 8; ++a) {
        EXPECT_EQ(EmergencyAction(a), lowered[a]) << a;
        EXPECT_EQ(BusListAction(a), busKept[a]) << a;
    }
}

TEST_F(AnalogRulesTest, CurveRunsFlatRisesAndStaysFlat)
{
    const QVector<QPointF> points = CurvePoints(2.0f, 4.0f, 600, 1200);
    const QVector<QPointF> expected{{100, 2}, {600, 2}, {1200, 4}, {3000, 4}};
    EXPECT_EQ(points, expected);
    const QVector<QPointF> step = CurvePoints(1.0f, 3.0f, 900, 900);
    EXPECT_EQ(step[1].x(), step[2].x());
}

TEST_F(AnalogRulesTest, CopyMoveAndClearTouchTheirFieldsOnly)
{
    XelAnalogIn source = MakeInput(14, true, 4, 1, true, 4);
    source.SetText("Coolant");
    source.SetUnits("bar");
    source.SetSensorMin(-400);
    source.SetSensorMax(2100);
    source.SetLimit(0, 30);
    source.SetLimit(1, 20);
    source.SetRPMLimit(1, 7);
    source.SetRPM(0, 700);
    source.SetInfo("info");
    JData j;
    j.iMID = 16;
    j.lPID = 0xEE00;
    source.SetJValues(j);
    XelAnalogIn target = MakeInput(2, false, 0, 0, false, 0);
    target.SetTerminal("21-22");

    CopySettings(source, target);
    EXPECT_EQ(target.Index(), 2);
    EXPECT_EQ(target.Terminal().trimmed(), "21-22");
    EXPECT_TRUE(target.Active());
    EXPECT_EQ(target.Text(), "Coolant");
    EXPECT_EQ(target.SensorMin(), -400);
    EXPECT_EQ(target.Limit(0), 30);
    EXPECT_EQ(target.RPM(0), 700);
    EXPECT_EQ(target.JValues(), j);
    EXPECT_EQ(target.Info(), "info");

    ResetMovedInput(source);
    EXPECT_FALSE(source.Active());
    EXPECT_EQ(source.InputType(), 4); // a bus-only channel stays J1939
    EXPECT_EQ(source.SensorMax(), 100);
    EXPECT_EQ(source.RPM(1), 1200);
    EXPECT_EQ(source.JValues(), JData());
    ResetMovedInput(target);
    EXPECT_EQ(target.InputType(), 0);

    XelAnalogIn cleared = MakeInput(3, true, 5, 1, true, 2);
    cleared.SetDoubleScale(true);
    cleared.SetRPM(0, 900);
    cleared.SetInfo("kept");
    cleared.SetText("gone");
    ClearSettings(cleared);
    EXPECT_FALSE(cleared.Active());
    EXPECT_EQ(cleared.Action(), 0);
    EXPECT_EQ(cleared.Text(), "");
    EXPECT_EQ(cleared.SensorMax(), 100);
    EXPECT_EQ(cleared.InputType(), 2);
    EXPECT_TRUE(cleared.DoubleScale());
    EXPECT_EQ(cleared.RPM(0), 900);
    EXPECT_EQ(cleared.Info(), "kept");
}
