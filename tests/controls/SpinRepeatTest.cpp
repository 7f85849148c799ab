// A spin half held down keeps stepping after a first pause, stops at the limit, and stops
// on release, on leaving the half and on locking; the stepped clock makes the pauses short.
#include "controls/Float.h"
#include "controls/Number.h"
#include "EntryHarness.h"

#include <QLocale>
#include <QTimer>
#include <gtest/gtest.h>

using entrytest::Harness;

namespace {

QPoint Upper(QWidget* spin) { return {spin->width() / 2, 2}; }
QPoint Lower(QWidget* spin) { return {spin->width() / 2, spin->height() - 2}; }

// Lets the repeat timer run until the text reads `until` (or a generous bound passes).
template <class H>
bool RunUntil(H& h, const QString& until)
{
    return QTest::qWaitFor([&] { return h.text()->text() == until; }, 2000);
}

struct HoldCase {
    const char* name;
    int from, min, max, increment;
    bool up;
    QStringList changes; // every Change the hold raises, in order
};

void PrintTo(const HoldCase& c, std::ostream* os) { *os << c.name; }

class NumberHold : public ::testing::TestWithParam<HoldCase> {};

TEST_P(NumberHold, StepsUntilTheLimitAndRaisesChangeForEachStep)
{
    const HoldCase& c = GetParam();
    Harness<Number> h;
    h.box->SetMin(c.min);
    h.box->SetMax(c.max);
    h.box->SetIncrement(c.increment);
    h.start(QString::number(c.from));
    auto* spin = h.box->findChild<QWidget*>("spnNumber");
    ASSERT_NE(spin, nullptr);
    QTest::mousePress(spin, Qt::LeftButton, {}, c.up ? Upper(spin) : Lower(spin));
    ASSERT_TRUE(RunUntil(h, c.changes.last().mid(7)));
    // Held at the limit for many more repeats: nothing further happens.
    QTest::qWait(30);
    QTest::mouseRelease(spin, Qt::LeftButton, {}, c.up ? Upper(spin) : Lower(spin));
    EXPECT_EQ(h.log, c.changes);
    EXPECT_EQ(h.box->Value(), c.changes.last().mid(7).toInt());
    EXPECT_TRUE(h.text()->hasFocus());
    EXPECT_EQ(h.text()->selectedText(), h.text()->text());
    EXPECT_EQ(h.beeps(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, NumberHold,
    ::testing::Values(
        HoldCase{"UpToMax", 95, 0, 100, 1, true,
                 {"Change:96", "Change:97", "Change:98", "Change:99", "Change:100"}},
        HoldCase{"UpLandsOnMaxNotPastIt", 81, 0, 100, 7, true,
                 {"Change:88", "Change:95", "Change:100"}},
        HoldCase{"DownToMin", 3, -2, 100, 1, false,
                 {"Change:2", "Change:1", "Change:0", "Change:-1", "Change:-2"}},
        HoldCase{"DownFromMaxInLargeSteps", 100, 0, 100, 40, false,
                 {"Change:60", "Change:20", "Change:0"}}),
    [](const ::testing::TestParamInfo<HoldCase>& info) { return std::string(info.param.name); });

TEST(SpinRepeat, AClickStepsOnceAndReleaseEndsTheHold)
{
    Harness<Number> h;
    h.start("10");
    auto* spin = h.box->findChild<QWidget*>("spnNumber");
    QTest::mouseClick(spin, Qt::LeftButton, {}, Upper(spin));
    QTest::qWait(40); // ten times the scaled first pause
    EXPECT_EQ(h.log, QStringList{"Change:11"});

    QTest::mousePress(spin, Qt::LeftButton, {}, Lower(spin));
    ASSERT_TRUE(RunUntil(h, "8"));
    QTest::mouseRelease(spin, Qt::LeftButton, {}, Lower(spin));
    const QString stopped = h.text()->text();
    QTest::qWait(40);
    EXPECT_EQ(h.text()->text(), stopped);
}

TEST(SpinRepeat, PausesFirstThenRepeatsAtTheShorterInterval)
{
    Harness<Number> h;
    h.doubles.time.timerDivisor = 10;
    h.start("0");
    auto* spin = h.box->findChild<QWidget*>("spnNumber");
    QTest::mousePress(spin, Qt::LeftButton, {}, Upper(spin));
    auto* timer = spin->findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 40);
    EXPECT_EQ(h.text()->text(), "1");
    ASSERT_TRUE(RunUntil(h, "2"));
    EXPECT_EQ(timer->interval(), 5);
    QTest::mouseRelease(spin, Qt::LeftButton, {}, Upper(spin));
    EXPECT_FALSE(timer->isActive());
}

TEST(SpinRepeat, PointerOffTheHeldHalfPausesTheRepeat)
{
    Harness<Number> h;
    h.start("50");
    auto* spin = h.box->findChild<QWidget*>("spnNumber");
    QTest::mousePress(spin, Qt::LeftButton, {}, Upper(spin));
    ASSERT_TRUE(RunUntil(h, "52"));
    QTest::mouseMove(spin, Lower(spin));
    QApplication::processEvents();
    const QString paused = h.text()->text();
    QTest::qWait(40);
    EXPECT_EQ(h.text()->text(), paused);
    QTest::mouseMove(spin, Upper(spin));
    ASSERT_TRUE(RunUntil(h, QString::number(paused.toInt() + 2)));
    QTest::mouseRelease(spin, Qt::LeftButton, {}, Upper(spin));
}

TEST(SpinRepeat, LockingTheBoxEndsAHold)
{
    Harness<Number> h;
    h.start("50");
    auto* spin = h.box->findChild<QWidget*>("spnNumber");
    QTest::mousePress(spin, Qt::LeftButton, {}, Upper(spin));
    ASSERT_TRUE(RunUntil(h, "52"));
    h.box->SetLocked(true);
    const QString locked = h.text()->text();
    QTest::qWait(40);
    EXPECT_EQ(h.text()->text(), locked);
    EXPECT_FALSE(spin->findChild<QTimer*>()->isActive());
}

TEST(SpinRepeat, DecimalBoxHeldDownCountsTenthsToMin)
{
    QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    {
        Harness<Float> h;
        QStringList before;
        QObject::connect(h.box, &Float::BeforeChange, [&](float old) { before << QString::number(double(old), 'f', 1); });
        h.box->SetMin(0.5f);
        h.box->SetMax(10.0f);
        h.box->SetIncrement(0.2f);
        h.start("1.2");
        before.clear();
        auto* spin = h.box->findChild<QWidget*>("spnNumber");
        QTest::mousePress(spin, Qt::LeftButton, {}, Lower(spin));
        ASSERT_TRUE(RunUntil(h, "0.5"));
        QTest::qWait(30);
        QTest::mouseRelease(spin, Qt::LeftButton, {}, Lower(spin));
        EXPECT_EQ(h.log, (QStringList{"Change:1.0", "Change:0.8", "Change:0.6", "Change:0.5"}));
        EXPECT_EQ(before, (QStringList{"1.2", "1.0", "0.8", "0.6"}));
        EXPECT_FLOAT_EQ(h.box->Value(), 0.5f);
    }
    QLocale::setDefault(previous);
}

} // namespace
