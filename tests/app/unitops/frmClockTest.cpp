// The clock dialog: its boxes, the PC clock they follow, the checks on OK and the write.
#include "ServiceCommandsTestSupport.h"

#include "app/unitops/frmClock.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

using namespace unitopstest;
using ecxsim::Unit;

namespace {

class frmClockTest : public UnitFixture {
protected:
    QLineEdit* Box(frmClock& d, int i) { return d.findChild<QLineEdit*>(QStringLiteral("txtDate_%1").arg(i)); }
    void Enter(frmClock& d, const QStringList& values)
    {
        for (int i = 0; i < 5; ++i)
            Box(d, i)->setText(values[i]);
    }
    QVector<int> ClockRegisters() const
    {
        QVector<int> r;
        for (int a = 2820; a <= 2824; ++a)
            r << unit.Register(a);
        return r;
    }
};

TEST_F(frmClockTest, OpensWithThePCClockInUtcAndEditableBoxes)
{
    doubles.system.now = QDateTime(QDate(2026, 3, 1), QTime(1, 5), QTimeZone(7200));
    frmClock d;
    EXPECT_EQ(frmClock::PCClockText(), "28 02 2026 23 05");
    EXPECT_EQ(Box(d, 0)->text(), "28");
    EXPECT_EQ(Box(d, 1)->text(), "02");
    EXPECT_EQ(Box(d, 2)->text(), "2026");
    EXPECT_EQ(Box(d, 3)->text(), "23");
    EXPECT_EQ(Box(d, 4)->text(), "05");
    EXPECT_EQ(Box(d, 2)->maxLength(), 4);
    EXPECT_EQ(Box(d, 0)->maxLength(), 2);
    EXPECT_TRUE(d.findChild<QCheckBox*>("chkSync")->isChecked());
    EXPECT_FALSE(Box(d, 0)->isReadOnly());
}

TEST_F(frmClockTest, ANewMinuteReplacesTypedValuesUntilSyncIsSwitchedOff)
{
    frmClock d;
    d.show();
    Box(d, 3)->setText("07");
    doubles.system.now = doubles.system.now.addSecs(60);
    ASSERT_TRUE(RunUntil([&] { return Box(d, 3)->text() != "07"; }));
    EXPECT_EQ(Box(d, 4)->text(), doubles.system.NowUtc().toString("mm"));

    auto* sync = d.findChild<QCheckBox*>("chkSync");
    sync->click(); // off: editable, the clock no longer followed
    EXPECT_FALSE(Box(d, 3)->isReadOnly());
    Box(d, 3)->setText("07");
    doubles.system.now = doubles.system.now.addSecs(120);
    QTest::qWait(40);
    EXPECT_EQ(Box(d, 3)->text(), "07");

    sync->click(); // on again: filled at once and read-only
    EXPECT_TRUE(Box(d, 3)->isReadOnly());
    EXPECT_EQ(Box(d, 4)->text(), doubles.system.NowUtc().toString("mm"));
}

TEST_F(frmClockTest, OnlyDigitsBackspaceAndCtrlChordsAreTyped)
{
    const struct {
        const char* what;
        QString before;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString after;
    } cases[] = {
        {"digit", "1", Qt::Key_7, Qt::NoModifier, "17"},
        {"letter", "1", Qt::Key_A, Qt::NoModifier, "1"},
        {"point", "1", Qt::Key_Period, Qt::NoModifier, "1"},
        {"blank", "1", Qt::Key_Space, Qt::NoModifier, "1"},
        {"Backspace", "17", Qt::Key_Backspace, Qt::NoModifier, "1"},
        {"Ctrl+A selects all", "17", Qt::Key_A, Qt::ControlModifier, "17"},
    };
    const QVector<int> clock = ClockRegisters();
    for (const auto& c : cases) {
        frmClock d;
        d.show();
        QLineEdit* day = Box(d, 0);
        day->setText(c.before);
        day->setFocus();
        day->deselect();
        const int packages = unit.PackagesReceived();
        QTest::keyClick(day, c.key, c.modifiers);
        EXPECT_EQ(day->text(), c.after) << c.what;
        EXPECT_EQ(day->selectedText(), c.modifiers & Qt::ControlModifier ? c.before : QString()) << c.what;
        EXPECT_TRUE(d.isVisible()) << c.what;
        EXPECT_EQ(unit.PackagesReceived(), packages) << c.what;
    }
    EXPECT_EQ(ClockRegisters(), clock);
}

// Enter acts as OK wherever the focus is, on the check box (reached by Tab from the minute box)
// too, and presses Cancel when that has the focus. Escape cancels.
TEST_F(frmClockTest, EnterActsAsOKAndEscapeCancels)
{
    const struct {
        const char* focus;
        Qt::Key key;
        bool written;
        const char* day = nullptr; // typed with the clock not followed; OK refuses it
    } cases[] = {{"chkSync", Qt::Key_Return, true},   {"chkSync", Qt::Key_Enter, true},
                 {"txtDate_4", Qt::Key_Return, true}, {"cmdOK", Qt::Key_Return, true},
                 {"cmdCancel", Qt::Key_Enter, false}, {"chkSync", Qt::Key_Escape, false},
                 {"txtDate_0", Qt::Key_Return, false, "45"}, {"txtDate_0", Qt::Key_Enter, false, "45"}};
    for (const auto& c : cases) {
        frmClock d;
        d.show();
        Box(d, 4)->setFocus();
        QTest::keyClick(Box(d, 4), Qt::Key_Tab); // to the check box
        if (QLatin1String(c.focus) != "chkSync")
            d.findChild<QWidget*>(c.focus)->setFocus();
        ASSERT_EQ(d.focusWidget()->objectName(), c.focus);
        if (c.day) { // typed over the text the focus selected
            d.findChild<QCheckBox*>("chkSync")->click();
            Box(d, 0)->selectAll();
            QTest::keyClicks(d.focusWidget(), c.day);
        }
        unit.SetRegister(2824, 0); // the year: set again only by a write
        const int beeps = doubles.presenter.beeps;
        QTest::keyClick(d.focusWidget(), c.key);
        EXPECT_EQ(d.isVisible(), c.day != nullptr) << c.focus;
        EXPECT_EQ(unit.Register(2824) != 0, c.written) << c.focus;
        // A refused day as a click on OK refuses it: a beep, the day selected.
        EXPECT_EQ(doubles.presenter.beeps, beeps + (c.day ? 1 : 0)) << c.focus;
        EXPECT_TRUE(!c.day || (Box(d, 0)->hasFocus() && Box(d, 0)->selectedText() == c.day)) << c.focus;
    }
}

TEST_F(frmClockTest, InvalidEntriesBeepFocusTheBoxAndWriteNothing)
{
    const QVector<int> before = ClockRegisters();
    const struct {
        QStringList values; // day, month, year, hour, minute
        int focus;
    } cases[] = {
        {{"01", "06", "2026", "24", "00"}, 3}, {{"01", "06", "2026", "12", "60"}, 4},
        {{"32", "13", "2026", "25", "61"}, 0}, {{"30", "13", "2026", "12", "00"}, 1},
        {{"30", "02", "2026", "12", "00"}, 0}, {{"29", "02", "2027", "12", "00"}, 0},
        {{"01", "06", "1997", "12", "00"}, 2}, {{"", "06", "2026", "12", "00"}, 0},
        // An entry that makes no date goes by day, month, hour, minute, else the day: the
        // year's own check is for an otherwise valid entry.
        {{"01", "06", "0", "12", "00"}, 0},    {{"31", "04", "0000", "12", "00"}, 0},
        {{"32", "06", "0", "12", "00"}, 0},    {{"01", "06", "0", "24", "00"}, 3},
        {{"01", "13", "1997", "12", "00"}, 1},
    };
    for (const auto& c : cases) {
        const int beeps = doubles.presenter.beeps;
        frmClock d;
        d.show();
        d.findChild<QCheckBox*>("chkSync")->click(); // editable, not followed
        Enter(d, c.values);
        Click(&d, "cmdOK");
        EXPECT_TRUE(d.isVisible()) << c.values.join(' ').toStdString();
        EXPECT_EQ(doubles.presenter.beeps, beeps + 1);
        EXPECT_EQ(d.focusWidget(), Box(d, c.focus)) << c.values.join(' ').toStdString();
    }
    EXPECT_EQ(ClockRegisters(), before);
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(frmClockTest, AValidEntryIsWrittenInOneWriteAndTheDialogCloses)
{
    frmClock d;
    d.show();
    d.findChild<QCheckBox*>("chkSync")->click();
    Enter(d, {"29", "02", "2028", "23", "59"});
    const int packages = unit.PackagesReceived();
    Click(&d, "cmdOK");
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(ClockRegisters(), (QVector<int>{59, 23, 29, 2, 2028}));
    EXPECT_EQ(unit.PackagesReceived() - packages, 2); // the presence read and one write
}

TEST_F(frmClockTest, NoUnitKeepsTheDialogOpen)
{
    unit.SetFault(Unit::Fault::Silence);
    frmClock d;
    d.show();
    Click(&d, "cmdOK");
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(Shown(), QStringList{Message(140)});
}

TEST_F(frmClockTest, AFailedWriteSaysSoAndCloses)
{
    frmClock d;
    d.show();
    // The presence read is answered, the write is not.
    unit.SetStopAfter(1);
    Click(&d, "cmdOK");
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(Shown(), QStringList{Message(115)});
}

TEST_F(frmClockTest, NoPortAndTheChoiceCancelledClosesSilently)
{
    frmClock d;
    d.show();
    // The unit is found on the stored port; the port is gone when the write asks for it.
    bool cleared = false;
    QObject::connect(&unit, &Unit::Transmit, &d, [&] {
        if (!cleared) {
            cleared = true;
            modRegistry::SaveCommPort(0);
        }
    });
    Click(&d, "cmdOK");
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(frame.commSetupShown, 1);
    EXPECT_TRUE(Shown().isEmpty());
    EXPECT_EQ(unit.Register(2824), 2004);
}

TEST_F(frmClockTest, WhileTheWriteRunsTheDialogNeitherClosesNorWritesTwice)
{
    frmClock d;
    d.show();
    bool sawWriting = false, visible = false;
    QTimer::singleShot(0, &d, [&] {
        sawWriting = d.Writing();
        d.close();
        d.reject();
        visible = d.isVisible();
        Click(&d, "cmdOK");
    });
    const int packages = unit.PackagesReceived();
    Click(&d, "cmdOK");
    EXPECT_TRUE(sawWriting);
    EXPECT_TRUE(visible);
    EXPECT_EQ(unit.PackagesReceived() - packages, 2);
    EXPECT_FALSE(d.isVisible());
}

} // namespace
