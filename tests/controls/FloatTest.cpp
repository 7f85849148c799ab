// The decimal entry box under a point and a comma locale: typing, separators, decimals,
// the tenths of the spin part and the old value handed to BeforeChange.
#include "controls/Float.h"
#include "controls/Number.h"
#include "EntryHarness.h"

#include <QLocale>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>

using entrytest::Harness;

namespace {

// The user's locale for the boxes created while it lives.
struct LocaleScope {
    QLocale previous;
    explicit LocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(previous); }
};

struct FloatBox {
    LocaleScope locale;
    Harness<Float> h;
    QString sep;
    explicit FloatBox(const QLocale& l) : locale(l), sep(h.box->DecimalSeparator())
    {
        QObject::connect(h.box, &Float::BeforeChange,
                         [this](float old) { h.log << QString("BeforeChange:%1").arg(double(old)); });
    }
    // A text written with "." in the test, shown with the locale's separator.
    QString local(QString text) const { return text.replace('.', sep); }
    void type(const QString& keys) { h.type(local(keys)); }
};

class FloatLocales : public ::testing::TestWithParam<QLocale::Language> {
protected:
    QLocale locale() const
    {
        return GetParam() == QLocale::German ? QLocale(QLocale::German, QLocale::Germany)
                                             : QLocale(QLocale::English, QLocale::UnitedStates);
    }
};

INSTANTIATE_TEST_SUITE_P(PointAndComma, FloatLocales, ::testing::Values(QLocale::English, QLocale::German),
                         [](const auto& info) { return info.param == QLocale::German ? "Comma" : "Point"; });

TEST_P(FloatLocales, SeparatorComesFromTheLocale)
{
    FloatBox f(locale());
    EXPECT_EQ(f.sep, GetParam() == QLocale::German ? "," : ".");
}

struct TypingCase {
    const char* name;
    float min, max;
    const char* start; // "." is the locale's separator
    const char* keys;
    const char* text;
    int beeps;
};

TEST_P(FloatLocales, TypingSequences)
{
    const TypingCase cases[] = {
        {"digits and separator", 0, 100, "", "2.3", "2.3", 0},
        {"too many decimals", 0, 100, "2.3", "5", "2.3", 1},
        {"second separator", 0, 100, "2", "..", "2.", 1},
        {"above max with decimals", 0, 100, "100", ".9", "100.", 1},
        {"above max whole", 0, 100, "10", "1", "10", 1},
        {"minus with negative min", -10, 10, "", "-1.5", "-1.5", 0},
        {"minus dropped without negative min", 0, 10, "", "-", "0", 0},
        {"letter dropped", 0, 10, "1", "x", "1", 0},
        {"zero then decimals", 0, 10, "0", ".5", "0.5", 0},
    };
    for (const TypingCase& c : cases) {
        FloatBox f(locale());
        f.h.box->SetMin(c.min);
        f.h.box->SetMax(c.max);
        f.h.start(f.local(c.start));
        f.type(c.keys);
        EXPECT_EQ(f.h.text()->text(), f.local(c.text)) << c.name;
        EXPECT_EQ(f.h.beeps(), c.beeps) << c.name;
        EXPECT_FALSE(f.h.log.contains("ErrorValue")) << c.name;
        if (c.beeps) {
            EXPECT_EQ(f.h.text()->cursorPosition(), f.local(c.text).size()) << c.name;
        }
    }
}

TEST_P(FloatLocales, TheOtherSeparatorIsDroppedUnlessCtrlIsHeld)
{
    FloatBox f(locale());
    const char other = f.sep == "," ? '.' : ',';
    f.h.start("2");
    QTest::keyClick(f.h.text(), other);
    EXPECT_EQ(f.h.text()->text(), "2");
    EXPECT_EQ(f.h.beeps(), 0);
    EXPECT_FALSE(f.h.log.join(' ').contains("KeyPress"));
    // With Ctrl held it passes the filter, and the edit check refuses it as no number.
    f.h.doubles.keys.control = true;
    QTest::keyClick(f.h.text(), other);
    EXPECT_EQ(f.h.text()->text(), "2");
    EXPECT_TRUE(f.h.log.contains(QString("KeyPress:%1").arg(int(other))));
    EXPECT_EQ(f.h.beeps(), 1);
}

TEST_P(FloatLocales, ValueIsShownWithOneDecimalAndNoGrouping)
{
    FloatBox f(locale());
    f.h.box->SetMax(100000);
    f.h.box->SetValue(1234.5f);
    EXPECT_EQ(f.h.text()->text(), f.local("1234.5"));
    EXPECT_FLOAT_EQ(f.h.box->Value(), 1234.5f);
    f.h.box->SetValue(-0.04f);
    EXPECT_EQ(f.h.text()->text(), f.local("0.0"));
}

TEST_P(FloatLocales, UpArrowStopsAtMax)
{
    FloatBox f(locale());
    f.h.box->SetMax(10);
    f.h.box->SetIncrement(0.5f);
    f.h.box->SetValue(9.9f);
    f.h.key(Qt::Key_Up);
    EXPECT_EQ(f.h.text()->text(), f.local("10.0"));
    EXPECT_EQ(f.h.text()->selectedText(), f.local("10.0"));
    f.h.key(Qt::Key_Up);
    EXPECT_EQ(f.h.text()->text(), f.local("10.0"));
}

TEST_P(FloatLocales, ArrowsFromATypedValue)
{
    // Limits -10..10 or 1..10, the typed text replaces the shown value 5.0 or 1.0.
    const struct {
        float min, increment;
        const char* typed;
        Qt::Key key;
        const char* text;
    } cases[] = {
        {1, 0.5f, "3.2", Qt::Key_Down, "2.7"},
        {1, 0.5f, "1.2", Qt::Key_Down, "1.0"},      // lands on Min
        {-10, 0.1f, "-", Qt::Key_Down, "4.9"},      // from the last good value
        {-10, 0.1f, "-", Qt::Key_Up, "0.1"},        // from the zero "-" reads as
    };
    for (const auto& c : cases) {
        FloatBox f(locale());
        f.h.box->SetMin(c.min);
        f.h.box->SetMax(10);
        f.h.box->SetIncrement(c.increment);
        f.h.box->SetValue(c.min < 0 ? 5 : 1);
        f.h.text()->selectAll();
        f.type(c.typed);
        f.h.key(c.key);
        EXPECT_EQ(f.h.text()->text(), f.local(c.text)) << c.typed << " " << c.key;
    }
}

TEST_P(FloatLocales, ArrowAfterTypingASeparatorStillSteps)
{
    FloatBox f(locale());
    f.h.start("");
    f.type("2.");
    f.h.key(Qt::Key_Up);
    EXPECT_EQ(f.h.text()->text(), f.local("2.1"));
    f.type("");
    f.h.text()->setCursorPosition(3);
    f.h.key(Qt::Key_Backspace);
    f.h.key(Qt::Key_Down);
    EXPECT_EQ(f.h.text()->text(), f.local("1.9"));
}

TEST_P(FloatLocales, TenthsStepWithoutDrift)
{
    FloatBox f(locale());
    f.h.box->SetMin(-10);
    f.h.box->SetMax(10);
    f.h.box->SetIncrement(0.1f);
    f.h.box->SetValue(-10);
    for (int k = -99; k <= 100; ++k) {
        f.h.key(Qt::Key_Up);
        ASSERT_EQ(f.h.text()->text(), f.local(QString::number(k / 10.0, 'f', 1))) << k;
        ASSERT_EQ(f.h.box->Value(), float(k / 10.0)) << k;
    }
    for (int k = 99; k >= -100; --k) {
        f.h.key(Qt::Key_Down);
        ASSERT_EQ(f.h.text()->text(), f.local(QString::number(qMax(k, -100) / 10.0, 'f', 1))) << k;
    }
    EXPECT_EQ(f.h.box->Value(), -10.0f);
}

TEST_P(FloatLocales, LeavingRewritesWithOneDecimal)
{
    FloatBox f(locale());
    f.h.focusBox();
    f.h.start("");
    f.type("7");
    f.h.leaveBox();
    EXPECT_EQ(f.h.text()->text(), f.local("7.0"));
    EXPECT_TRUE(f.h.other->hasFocus());
    EXPECT_FALSE(f.h.log.contains("ErrorValue"));
}

TEST_P(FloatLocales, LeavingBelowMinRaisesToMinAndKeepsTheFocus)
{
    FloatBox f(locale());
    f.h.box->SetMin(1);
    f.h.box->SetMax(10);
    f.h.focusBox();
    f.h.start("");
    f.type("0.5");
    ASSERT_EQ(f.h.text()->text(), f.local("0.5"));
    f.h.leaveBox();
    EXPECT_EQ(f.h.log.count("ErrorValue"), 1);
    EXPECT_EQ(f.h.text()->text(), f.local("1.0"));
    EXPECT_FLOAT_EQ(f.h.box->Value(), 1.0f);
    EXPECT_TRUE(f.h.text()->hasFocus());
}

TEST_P(FloatLocales, ClearingWritesZeroAndReportsTheOldValue)
{
    FloatBox f(locale());
    f.h.box->SetMax(1000);
    f.h.box->SetValue(5.5f);
    f.h.start(f.local("5.5"));
    f.h.text()->selectAll();
    f.h.key(Qt::Key_Backspace);
    EXPECT_EQ(f.h.text()->text(), f.local("0.0"));
    EXPECT_TRUE(f.h.log.contains("BeforeChange:5.5"));
    EXPECT_TRUE(f.h.log.contains("Change:" + f.local("0.0")));
}

TEST_P(FloatLocales, BeforeChangeCarriesTheOldValueWhileValueReadsTheNew)
{
    FloatBox f(locale());
    QList<QPair<float, float>> seen;
    f.h.start("1");
    QObject::connect(f.h.box, &Float::BeforeChange, [&](float old) { seen.append({old, f.h.box->Value()}); });
    f.type(".5");
    f.h.text()->selectAll();
    f.type("7");
    const QList<QPair<float, float>> expected{{1.0f, 1.0f}, {1.0f, 1.5f}, {1.5f, 7.0f}};
    EXPECT_EQ(seen, expected);
}

TEST(Float, NewBoxHasItsDefaults)
{
    testing_doubles::PlatformDoubles doubles;
    Float f;
    EXPECT_FLOAT_EQ(f.Min(), 0);
    EXPECT_FLOAT_EQ(f.Max(), 10);
    EXPECT_FLOAT_EQ(f.Increment(), 0.1f);
    EXPECT_EQ(f.NumberOfDecimals(), 1);
    EXPECT_FLOAT_EQ(f.Value(), 0);
}

TEST(Float, MoreDecimalsLeaveTheLimitsAlone)
{
    LocaleScope scope(QLocale::c());
    Harness<Float> h;
    h.box->SetMax(10);
    h.box->SetNumberOfDecimals(2);
    EXPECT_FLOAT_EQ(h.box->Max(), 10.0f);
    h.start("");
    h.type("2.35");
    EXPECT_EQ(h.text()->text(), "2.35");
    EXPECT_FLOAT_EQ(h.box->Value(), 2.35f);
    h.type("1");
    EXPECT_EQ(h.text()->text(), "2.35");
    EXPECT_EQ(h.beeps(), 1);
}

TEST(Float, StoredPropertiesAlwaysHoldTheIncrement)
{
    LocaleScope scope(QLocale::c());
    testing_doubles::PlatformDoubles doubles;
    Float f;
    const QVariantMap bag = f.WriteProperties();
    EXPECT_TRUE(bag.contains("Increment"));
    EXPECT_EQ(bag.value("Max").toFloat(), 10.0f);
    EXPECT_FALSE(bag.contains("Value"));
    Float loaded;
    loaded.ReadProperties(QVariantMap{{"Min", 2.5f}});
    // The stored default of Max is 100, not the 10 of a newly placed box.
    EXPECT_FLOAT_EQ(loaded.Max(), 100.0f);
    EXPECT_FLOAT_EQ(loaded.Min(), 2.5f);
    EXPECT_FLOAT_EQ(loaded.Value(), 2.5f);
}

TEST(Float, LockedBoxDisablesTheSpinPartAndTakesNoEntry)
{
    LocaleScope scope(QLocale::c());
    Harness<Float> h;
    h.box->SetValue(3);
    h.box->SetLocked(true);
    h.start("3.0");
    h.type("5");
    h.key(Qt::Key_Up);
    EXPECT_EQ(h.text()->text(), "3.0");
    EXPECT_TRUE(h.log.isEmpty());
    EXPECT_FALSE(h.box->findChild<QWidget*>("spnNumber")->isEnabled());
}

TEST(Float, ToolTipGoesToBothParts)
{
    testing_doubles::PlatformDoubles doubles;
    Float f;
    f.SetToolTipTextExt("Limit in bar");
    EXPECT_EQ(f.ToolTipTextExt(), "Limit in bar");
    EXPECT_EQ(f.findChild<QWidget*>("spnNumber")->toolTip(), "Limit in bar");
}

} // namespace

// A command commits the focused box as leaving it would; only a corrected entry stops it.
TEST(EntryBox, CommitTellsWhetherTheLeaveRuleChangedTheEntry)
{
    const LocaleScope english(QLocale(QLocale::English, QLocale::UnitedStates));
    const struct { bool decimal; const char *typed, *shown; bool changed; } cases[] = {
        {false, "0", "1", true}, {false, "50", "50", false}, {true, "7", "7.0", false}};
    for (const auto& c : cases) {
        auto commit = [&c](auto&& h) {
            h.box->SetMin(1);
            h.focusBox();
            h.start("");
            h.type(c.typed);
            EXPECT_EQ(h.box->CommitEntry(), c.changed) << c.typed;
            EXPECT_EQ(h.text()->text(), c.shown);
            EXPECT_EQ(h.log.count("ErrorValue"), c.changed ? 1 : 0);
        };
        c.decimal ? commit(Harness<Float>()) : commit(Harness<Number>());
    }
}
