// The whole-number entry box: what typing accepts, how arrows and the spin part step,
// when Min is enforced and which events come in which order.
#include "controls/Number.h"
#include "EntryHarness.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <ostream>

using entrytest::Harness;

namespace {

struct TypingCase {
    const char* name;
    qint32 min, max;
    bool allowBlank;
    const char* start;  // shown text, caret at its end
    const char* keys;   // typed characters
    const char* text;   // shown afterwards
    int caret;
    int beeps;
    QStringList log;
};

// The case by its name, so the listed test names carry no raw bytes.
void PrintTo(const TypingCase& c, std::ostream* os) { *os << c.name; }

class NumberTyping : public ::testing::TestWithParam<TypingCase> {};

TEST_P(NumberTyping, TextCaretAndEvents)
{
    const TypingCase& c = GetParam();
    Harness<Number> h;
    h.box->SetMin(c.min);
    h.box->SetMax(c.max);
    h.box->SetAllowBlank(c.allowBlank);
    h.start(c.start);
    h.type(c.keys);
    EXPECT_EQ(h.text()->text(), c.text);
    EXPECT_EQ(h.text()->cursorPosition(), c.caret);
    EXPECT_EQ(h.beeps(), c.beeps);
    EXPECT_EQ(h.log, c.log);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, NumberTyping,
    ::testing::Values(
        TypingCase{"DigitWithEveryEvent", 0, 600, false, "1", "5", "15", 2, 0,
                   {"KeyDown:53", "KeyPress:53", "Change:15", "KeyUp:53"}},
        TypingCase{"BelowMinWhileTyping", 10, 600, false, "", "5", "5", 1, 0,
                   {"KeyDown:53", "KeyPress:53", "Change:5", "KeyUp:53"}},
        TypingCase{"AboveMaxRestoresWithError", 0, 600, false, "60", "01", "600", 3, 1,
                   {"KeyDown:48", "KeyPress:48", "Change:600", "KeyUp:48", "KeyDown:49", "KeyPress:49",
                    "ErrorValue", "KeyUp:49"}},
        TypingCase{"MinusDroppedWithoutNegativeMin", 0, 100, false, "5", "-", "5", 1, 0,
                   {"KeyDown:189", "KeyUp:189"}},
        TypingCase{"MinusShownWithNegativeMin", -10, 100, false, "", "-", "-", 1, 0,
                   {"KeyDown:189", "KeyPress:45", "Change:-", "KeyUp:189"}},
        TypingCase{"NegativeNumber", -10, 100, false, "-", "7", "-7", 2, 0,
                   {"KeyDown:55", "KeyPress:55", "Change:-7", "KeyUp:55"}},
        TypingCase{"LetterDropped", 0, 100, false, "12", "a", "12", 2, 0, {"KeyDown:65", "KeyUp:65"}},
        TypingCase{"AmpersandPassesFilterThenRefused", 0, 100, false, "12", "&", "12", 2, 1,
                   {"KeyDown:0", "KeyPress:38", "KeyUp:0"}},
        TypingCase{"ParenthesisPassesFilterThenRefused", 0, 100, false, "12", "(", "12", 2, 1,
                   {"KeyDown:0", "KeyPress:40", "KeyUp:0"}},
        TypingCase{"LeadingZeroDropped", 0, 100, false, "0", "7", "7", 1, 0,
                   {"KeyDown:55", "KeyPress:55", "Change:7", "KeyUp:55"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Number, RefusedDigitOverASelectionPutsTheCaretAtTheSelectionStart)
{
    Harness<Number> h;
    h.box->SetMax(600);
    h.start("500");
    h.text()->setSelection(0, 1);
    h.type("9");
    EXPECT_EQ(h.text()->text(), "500");
    EXPECT_EQ(h.text()->cursorPosition(), 0);
    EXPECT_TRUE(h.log.contains("ErrorValue"));
}

TEST(Number, NewBoxHasItsDefaults)
{
    testing_doubles::PlatformDoubles doubles;
    Number n;
    EXPECT_EQ(n.Min(), 0);
    EXPECT_EQ(n.Max(), 100);
    EXPECT_EQ(n.Increment(), 1);
    EXPECT_EQ(n.Value(), 0);
    EXPECT_FALSE(n.AllowBlank());
    EXPECT_FALSE(n.Locked());
    EXPECT_TRUE(n.Enabled());
    EXPECT_EQ(n.TextBox()->objectName(), "txtNumber");
    EXPECT_NE(n.findChild<QWidget*>("spnNumber"), nullptr);
}

struct ClearCase {
    qint32 min, max;
    bool allowBlank;
    const char* text;
};

TEST(Number, ClearingTheBoxWritesTheReplacement)
{
    const ClearCase cases[] = {
        {50, 600, false, "50"}, {0, 100, false, "0"}, {-20, -5, false, "-20"}, {-5, 10, false, "0"}, {0, 100, true, ""},
    };
    for (const ClearCase& c : cases) {
        Harness<Number> h;
        h.box->SetMin(c.min);
        h.box->SetMax(c.max);
        h.box->SetAllowBlank(c.allowBlank);
        h.start("7");
        h.text()->selectAll();
        h.key(Qt::Key_Backspace);
        EXPECT_EQ(h.text()->text(), c.text) << c.min << " " << c.max;
        EXPECT_TRUE(h.log.contains(QString("Change:") + c.text));
        EXPECT_EQ(h.beeps(), 0);
    }
}

TEST(Number, MinusAloneCountsAsZero)
{
    Harness<Number> h;
    h.box->SetMin(-10);
    h.start("");
    h.type("-");
    EXPECT_EQ(h.text()->text(), "-");
    EXPECT_EQ(h.box->Value(), 0);
    // The last good text is that zero too, so an arrow steps from it.
    h.key(Qt::Key_Down);
    EXPECT_EQ(h.text()->text(), "-1");
}

struct ArrowCase {
    const char* name;
    qint32 min, max, increment;
    qint32 shown;
    Qt::Key key;
    const char* text;
};

TEST(Number, ArrowKeysStepWithinTheLimits)
{
    const ArrowCase cases[] = {
        {"down above max stops at max", 0, 600, 1, 700, Qt::Key_Down, "600"},
        {"up below min stops at min", 10, 600, 1, 3, Qt::Key_Up, "10"},
        {"up near max lands on max", 0, 100, 10, 95, Qt::Key_Up, "100"},
        {"down near min lands on min", 5, 100, 10, 9, Qt::Key_Down, "5"},
        {"up by increment", 0, 100, 5, 20, Qt::Key_Up, "25"},
        {"down by increment", 0, 100, 5, 20, Qt::Key_Down, "15"},
        {"up at max stays", 0, 100, 1, 100, Qt::Key_Up, "100"},
        {"down at min stays", 0, 100, 1, 0, Qt::Key_Down, "0"},
        {"down from min of negative range", -50, 50, 25, -40, Qt::Key_Down, "-50"},
    };
    for (const ArrowCase& c : cases) {
        Harness<Number> h;
        h.box->SetMin(c.min);
        h.box->SetMax(qMax(c.max, c.shown));
        h.box->SetIncrement(c.increment);
        h.box->SetValue(c.shown);
        h.box->SetMax(c.max);
        h.log.clear();
        h.key(c.key);
        EXPECT_EQ(h.text()->text(), c.text) << c.name;
        // The text is selected and the key code is cleared after the host saw it.
        EXPECT_EQ(h.text()->selectedText(), c.text) << c.name;
        EXPECT_TRUE(h.log.contains(QString("KeyDown:%1").arg(c.key == Qt::Key_Up ? 38 : 40))) << c.name;
    }
}

TEST(Number, BeforeChangeComesFirstOnEveryKeyDown)
{
    Harness<Number> h;
    QObject::connect(h.box, &Number::BeforeChange, [&] { h.log << "BeforeChange"; });
    h.start("5");
    h.key(Qt::Key_Up);
    h.key(Qt::Key_Left);
    ASSERT_GE(h.log.size(), 4);
    EXPECT_EQ(h.log.first(), "BeforeChange");
    EXPECT_EQ(h.log.mid(0, 3), (QStringList{"BeforeChange", "Change:6", "KeyDown:38"}));
    EXPECT_EQ(h.log.at(3), "KeyUp:38");
    EXPECT_EQ(h.log.at(4), "BeforeChange");
}

TEST(Number, SpinPartStepsFromTheShownTextAndGivesTheFocusBack)
{
    Harness<Number> h;
    h.box->SetMax(100);
    h.box->SetIncrement(10);
    h.start("95");
    auto* spin = h.box->findChild<QWidget*>("spnNumber");
    ASSERT_NE(spin, nullptr);
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, 2));
    EXPECT_EQ(h.text()->text(), "100");
    EXPECT_TRUE(h.text()->hasFocus());
    EXPECT_EQ(h.text()->selectedText(), "100");
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, 2));
    EXPECT_EQ(h.text()->text(), "100");
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, spin->height() - 2));
    EXPECT_EQ(h.text()->text(), "90");
}

TEST(Number, LeavingBelowMinRaisesToMinAndKeepsTheFocus)
{
    Harness<Number> h;
    h.box->SetMin(10);
    h.box->SetMax(600);
    QSignalSpy changes(h.box, &Number::Change);
    h.focusBox();
    h.start("");
    h.type("5");
    h.leaveBox();
    EXPECT_EQ(h.log.count("ErrorValue"), 1);
    EXPECT_EQ(h.beeps(), 1);
    EXPECT_EQ(h.text()->text(), "10");
    EXPECT_EQ(h.box->Value(), 10);
    EXPECT_TRUE(h.text()->hasFocus());
    EXPECT_EQ(h.text()->selectedText(), "10");
}

TEST(Number, LeavingAnEmptyBoxWritesZeroFirst)
{
    Harness<Number> h;
    h.box->SetAllowBlank(true);
    h.focusBox();
    h.start("5");
    h.key(Qt::Key_Backspace);
    ASSERT_EQ(h.text()->text(), "");
    h.leaveBox();
    EXPECT_EQ(h.text()->text(), "0");
    EXPECT_TRUE(h.log.contains("Change:0"));
    EXPECT_FALSE(h.log.contains("ErrorValue"));
    EXPECT_TRUE(h.other->hasFocus());
}

TEST(Number, LeavingWithALoneMinusReturnsToTheLastGoodValue)
{
    Harness<Number> h;
    h.box->SetMin(-10);
    h.focusBox();
    h.start("4");
    h.text()->selectAll();
    h.type("-");
    ASSERT_EQ(h.text()->text(), "-");
    h.leaveBox();
    EXPECT_EQ(h.log.count("ErrorValue"), 1);
    EXPECT_EQ(h.text()->text(), "0");
    EXPECT_TRUE(h.text()->hasFocus());
}

TEST(Number, TwoRefusingBoxesNeverPassTheFocusBackAndForth)
{
    testing_doubles::PlatformDoubles doubles;
    QWidget window;
    auto* a = new Number(&window);
    auto* b = new Number(&window);
    b->move(0, 40);
    for (Number* n : {a, b}) {
        n->SetMin(10);
        n->SetMax(20);
    }
    // Both show a value below Min, as a program may set it.
    a->SetValue(1);
    b->SetValue(2);
    int errorsA = 0, errorsB = 0;
    QObject::connect(a, &Number::ErrorValue, [&] { ++errorsA; });
    QObject::connect(b, &Number::ErrorValue, [&] { ++errorsB; });
    window.show();
    window.activateWindow();
    (void)QTest::qWaitForWindowActive(&window);
    a->TextBox()->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    b->TextBox()->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 50; ++i)
        QApplication::processEvents();
    EXPECT_EQ(errorsA, 1);
    EXPECT_EQ(errorsB, 0);
    EXPECT_TRUE(a->TextBox()->hasFocus());
    EXPECT_EQ(a->Value(), 10);
}

TEST(Number, FocusLostToAnotherWindowOrPopupRunsNoLeaveCheck)
{
    for (Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
        Harness<Number> h;
        h.box->SetMin(10);
        h.focusBox();
        h.start("");
        h.type("5");
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(h.text(), &out);
        QApplication::processEvents();
        EXPECT_FALSE(h.log.contains("ErrorValue"));
        EXPECT_EQ(h.text()->text(), "5");
        EXPECT_EQ(h.beeps(), 0);
    }
}

TEST(Number, PastedTextIsCheckedWhole)
{
    struct PasteCase {
        const char* clip;
        const char* text;
        int beeps;
        bool error;
    };
    const PasteCase cases[] = {
        {"abc", "42", 1, false},
        {"007", "7", 0, false},
        {"99999999999", "42", 1, true},
        {"-99999999999", "42", 1, true},
        {"2147483648", "42", 1, true},
        {"12.5", "42", 1, false},
    };
    for (const PasteCase& c : cases) {
        Harness<Number> h;
        h.box->SetMin(-100);
        h.box->SetMax(2147483647);
        h.start("42");
        h.text()->selectAll();
        QGuiApplication::clipboard()->setText(c.clip);
        h.key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(h.text()->text(), c.text) << c.clip;
        EXPECT_EQ(h.beeps(), c.beeps) << c.clip;
        EXPECT_EQ(h.log.contains("ErrorValue"), c.error) << c.clip;
    }
}

TEST(Number, ValueSetByTheProgramRaisesChange)
{
    testing_doubles::PlatformDoubles doubles;
    Number n;
    n.SetMax(600);
    QSignalSpy change(&n, &Number::Change);
    n.SetValue(250);
    EXPECT_EQ(n.Text(), "250");
    EXPECT_EQ(n.Value(), 250);
    EXPECT_EQ(change.count(), 1);
    n.SetValue(250);
    EXPECT_EQ(change.count(), 1);
}

TEST(Number, LockedBoxTakesNoEntryAndRaisesNoKeyEvents)
{
    Harness<Number> h;
    h.box->SetMin(10);
    h.box->SetLocked(true);
    h.focusBox();
    h.start("50");
    h.type("7");
    h.key(Qt::Key_Up);
    EXPECT_EQ(h.text()->text(), "50");
    EXPECT_TRUE(h.log.isEmpty());
    EXPECT_FALSE(h.box->findChild<QWidget*>("spnNumber")->isEnabled());
    h.box->SetLocked(false);
    EXPECT_TRUE(h.box->findChild<QWidget*>("spnNumber")->isEnabled());
}

TEST(Number, HostMayReplaceOrDropTheTypedCharacter)
{
    Harness<Number> h;
    QObject::connect(h.box, &Number::KeyPress, [](qint16& ascii) {
        if (ascii == '1')
            ascii = '2';
        else if (ascii == '3')
            ascii = 0;
    });
    h.start("");
    h.type("13");
    EXPECT_EQ(h.text()->text(), "2");
}

TEST(Number, StoredPropertiesOmitDefaultsAndValueAtMin)
{
    testing_doubles::PlatformDoubles doubles;
    Number n;
    n.SetMin(5);
    n.SetMax(300);
    n.SetValue(5);
    const QVariantMap bag = n.WriteProperties();
    EXPECT_EQ(bag.value("Min").toInt(), 5);
    EXPECT_EQ(bag.value("Max").toInt(), 300);
    EXPECT_FALSE(bag.contains("Value"));
    EXPECT_FALSE(bag.contains("Increment"));
    Number loaded;
    loaded.ReadProperties(bag);
    EXPECT_EQ(loaded.Value(), 5);
    EXPECT_EQ(loaded.Min(), 5);
    EXPECT_EQ(loaded.Max(), 300);
    EXPECT_EQ(Number().WriteProperties().keys(), QStringList());
}

} // namespace

namespace {

TEST(Number, FocusSelectsTheTextAndARefusedLeaveKeepsTheHostsFocusEvents)
{
    Harness<Number> h;
    h.box->SetMin(10);
    h.box->SetValue(50);
    int got = 0, lost = 0;
    QObject::connect(h.box, &Number::GotFocus, [&] { ++got; });
    QObject::connect(h.box, &Number::LostFocus, [&] { ++lost; });
    h.focusBox();
    EXPECT_EQ(h.text()->selectedText(), "50");
    EXPECT_EQ(got, 1);
    h.type("5");
    h.leaveBox();
    // Refused: the box never lost the focus as far as the host is concerned.
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(got, 1);
    h.type("20");
    h.leaveBox();
    EXPECT_EQ(h.text()->text(), "20");
    EXPECT_EQ(lost, 1);
    EXPECT_TRUE(h.other->hasFocus());
}

} // namespace
