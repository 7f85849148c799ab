// Delete log, reset counters, counters, clock, options and backup-system settings end to end
// against the simulated unit.
#include "ServiceCommandsTestSupport.h"

#include "app/unitops/frmClock.h"
#include "app/unitops/frmCounters.h"
#include "app/unitops/frmServicePassword.h"
#include "controls/Number.h"

#include <QLineEdit>
#include <functional>
#include <ostream>

using namespace unitopstest;
using ecxsim::Unit;

namespace {

class ServiceCommandsTest : public UnitFixture {
protected:
    // Types the entry and clicks OK in the next password dialog; Cancel when entry is null.
    void AnswerPassword(const char* text, int attempts = 1)
    {
        const bool cancel = text == nullptr;
        const QString entry = QString::fromUtf8(text);
        WhenModal<frmServicePassword>([this, cancel, entry, attempts](frmServicePassword* dialog) {
            passwordCaption = dialog->windowTitle();
            if (cancel) {
                Click(dialog, "cmdCancel");
                return;
            }
            auto* box = dialog->findChild<QLineEdit*>("txtServicePassword");
            for (int i = 0; i < attempts; ++i) {
                box->setText(entry);
                Click(dialog, "cmdOK");
            }
            if (dialog->isVisible())
                Click(dialog, "cmdCancel");
        });
    }
    QString passwordCaption;
};

TEST(ServiceCode, ChangesWithTheDayAndHasItsForm)
{
    const QString code = unitops::ServiceCode(QDate(2026, 12, 9));
    EXPECT_TRUE(QRegularExpression("^[0-9]+-([A-Z])\\1\\1$").match(code).hasMatch()) << code.toStdString();
    QSet<QString> codes;
    for (int day = 1; day <= 31; ++day)
        codes.insert(unitops::ServiceCode(QDate(2026, 1, day)));
    EXPECT_EQ(codes.size(), 31);
    EXPECT_EQ(unitops::ServiceCode(QDate(2026, 1, 9)), unitops::ServiceCode(QDate(2031, 7, 9)));
}

TEST_F(ServiceCommandsTest, PasswordEntriesAcceptedAndRefused)
{
    const QString code = Code();
    const struct {
        QString entry;
        bool accepted;
    } cases[] = {
        {code, true}, {code.toLower(), true}, {code + " ", false}, {code.left(code.size() - 1), false}, {"", false},
    };
    for (const auto& c : cases) {
        doubles.presenter.shown.clear();
        frmServicePassword dialog;
        dialog.SetDialogCaption("Delete Log");
        dialog.show();
        dialog.findChild<QLineEdit*>("txtServicePassword")->setText(c.entry);
        Click(&dialog, "cmdOK");
        EXPECT_EQ(dialog.OK(), c.accepted) << c.entry.toStdString();
        EXPECT_EQ(dialog.isVisible(), !c.accepted);
        EXPECT_EQ(Shown(), c.accepted ? QStringList() : QStringList{Message(116)});
        EXPECT_EQ(dialog.windowTitle(), "Delete Log");
    }
    frmServicePassword cancelled;
    cancelled.show();
    cancelled.findChild<QLineEdit*>("txtServicePassword")->setText(code);
    Click(&cancelled, "cmdCancel");
    EXPECT_FALSE(cancelled.OK());
}

struct CommandCase {
    const char* name;
    bool deleteLog;
    int command;
    quint16 success, notDetected, running;
};

// The case by its name, so the listed test names carry no raw bytes.
void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }

class UnitCommandTest : public ServiceCommandsTest, public ::testing::WithParamInterface<CommandCase> {
protected:
    void Run(bool askPassword)
    {
        if (GetParam().deleteLog)
            unitops::CmdDeleteLog(state, askPassword);
        else
            unitops::CmdResetCounters(state, askPassword);
    }
};

TEST_P(UnitCommandTest, WithTheRightPasswordTheCommandIsCarriedOutAndTheUnitRelocked)
{
    AnswerPassword(Code().toUtf8().constData());
    Run(true);
    EXPECT_EQ(passwordCaption, GetParam().deleteLog ? "Delete Log" : "Reset Counters");
    EXPECT_EQ(unit.CommandsDone(), QVector<quint8>{quint8(GetParam().command)});
    EXPECT_EQ(unit.Register(Unit::CommandRegister), 0x0100); // high byte written back as read
    EXPECT_TRUE(Relocked());
    EXPECT_EQ(Shown(), QStringList{Message(GetParam().success)});
    EXPECT_EQ(doubles.presenter.shown.last().style, platform::MsgStyle::Information);
    EXPECT_EQ(doubles.time.blocks, QList<int>{3000});
    EXPECT_TRUE(doubles.time.waits.isEmpty()); // the command wait lets no event run
}

TEST_P(UnitCommandTest, AWrongPasswordThenCancelWritesNothing)
{
    AnswerPassword("12-XXX", 2);
    Run(true);
    EXPECT_EQ(Shown(), (QStringList{Message(116), Message(116)}));
    EXPECT_TRUE(unit.CommandsDone().isEmpty());
    EXPECT_EQ(unit.Register(Unit::CommandRegister), 0x0100);
    EXPECT_FALSE(unit.Unlocked());
}

TEST_P(UnitCommandTest, CancelAtThePasswordWritesNothingAndSaysNothing)
{
    AnswerPassword(nullptr);
    Run(true);
    EXPECT_TRUE(Shown().isEmpty());
    EXPECT_TRUE(unit.CommandsDone().isEmpty());
    EXPECT_EQ(unit.Register(Unit::CommandRegister), 0x0100);
}

TEST_P(UnitCommandTest, TheShortcutAsksNoPasswordButLooksForTheUnit)
{
    Run(false);
    EXPECT_TRUE(passwordCaption.isEmpty());
    EXPECT_EQ(unit.CommandsDone(), QVector<quint8>{quint8(GetParam().command)});
    EXPECT_EQ(Shown(), QStringList{Message(GetParam().success)});

    doubles.presenter.shown.clear();
    unit.SetFault(Unit::Fault::Silence);
    Run(false);
    EXPECT_EQ(Shown(), QStringList{Message(140)});
    EXPECT_EQ(doubles.presenter.shown.last().style, platform::MsgStyle::Critical);
}

TEST_P(UnitCommandTest, ARunningEngineRefusesAndIsReported)
{
    unit.SetEngineRunning(true);
    AnswerPassword(Code().toUtf8().constData());
    Run(true);
    EXPECT_TRUE(unit.CommandsDone().isEmpty());
    EXPECT_EQ(unit.Register(Unit::CommandRegister), 0x0100);
    EXPECT_TRUE(Relocked());
    EXPECT_EQ(Shown(), QStringList{Message(GetParam().running)});
    EXPECT_EQ(doubles.presenter.shown.last().style, platform::MsgStyle::Exclamation);
}

TEST_P(UnitCommandTest, AUnitSlowerThanTheWaitFailsAndIsRelocked)
{
    unit.SetCommandDelay(5000);
    Run(false);
    EXPECT_TRUE(Relocked());
    EXPECT_EQ(Shown(), QStringList{Message(GetParam().notDetected)});
    // It carries the command out later all the same, as a real unit would.
    doubles.time.now += 5000;
    EXPECT_EQ(unit.CommandsDone(), QVector<quint8>{quint8(GetParam().command)});
}

INSTANTIATE_TEST_SUITE_P(Commands, UnitCommandTest,
                         ::testing::Values(CommandCase{"DeleteLog", true, 76, 117, 118, 119},
                                           CommandCase{"ResetCounters", false, 72, 120, 121, 122}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- counters ----------------------------------------------------------------------------

TEST(CounterWords, SplitAsWholeNumbers)
{
    const struct {
        qint32 hours, high, low;
    } cases[] = {{0, 0, 0}, {1234, 0, 1234}, {9999, 0, 9999}, {10000, 1, 0}, {23456, 2, 3456}, {1000000, 100, 0}, {-5, 0, 0}, {2000000, 100, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(unitops::CounterWords(c.hours), (QVector<qint32>{c.high, c.low})) << c.hours;
}

class CountersTest : public ServiceCommandsTest {};

TEST_F(CountersTest, TheReadingTypedLandsInTheCounterRegisters)
{
    const struct {
        qint32 hours, high, low;
    } cases[] = {{1234, 0, 1234}, {23456, 2, 3456}, {1000000, 100, 0}};
    for (const auto& c : cases) {
        doubles.presenter.shown.clear();
        frmCounters dialog;
        dialog.show();
        EXPECT_EQ(dialog.numHours()->Max(), 1000000);
        dialog.numHours()->SetValue(c.hours);
        Click(&dialog, "cmdOK");
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(unit.Register(Unit::CounterHighRegister), c.high) << c.hours;
        EXPECT_EQ(unit.Register(Unit::CounterLowRegister), c.low) << c.hours;
        EXPECT_EQ(Shown(), QStringList{Message(177)});
        EXPECT_TRUE(Relocked());
    }
    EXPECT_EQ(doubles.time.blocks, (QList<int>{500, 500, 500}));
}

TEST_F(CountersTest, FirmwareBefore433IsRefusedAndTheDialogStays)
{
    for (const char* firmware : {"4.32", "3.9"}) {
        doubles.presenter.shown.clear();
        unit.SetFirmwareVersion(QString(firmware));
        frmCounters dialog;
        dialog.show();
        dialog.numHours()->SetValue(777);
        Click(&dialog, "cmdOK");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(Shown(), QStringList{Message(175, {firmware, "4.33"})});
        EXPECT_EQ(unit.EngineHours(), 1234);
    }
    unit.SetFirmwareVersion(QStringLiteral("4.33"));
    frmCounters dialog;
    dialog.show();
    dialog.numHours()->SetValue(777);
    Click(&dialog, "cmdOK");
    EXPECT_EQ(unit.EngineHours(), 777);
}

TEST_F(CountersTest, AFailedWriteSaysSoAndCloses)
{
    unit.SetEngineRunning(true); // the unlock reads back 0: nothing is written
    frmCounters dialog;
    dialog.show();
    dialog.numHours()->SetValue(4321);
    Click(&dialog, "cmdOK");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Shown(), QStringList{Message(176)});
    EXPECT_EQ(unit.EngineHours(), 1234);
    EXPECT_TRUE(Relocked());
}

TEST_F(CountersTest, WhileTheWriteRunsTheDialogNeitherClosesNorWritesTwice)
{
    frmCounters dialog;
    dialog.show();
    dialog.numHours()->SetValue(5000);
    bool sawWriting = false;
    bool visibleAfterClose = false;
    // Runs inside the write, while the link waits for a reply.
    QTimer::singleShot(0, &dialog, [&] {
        sawWriting = dialog.Writing();
        dialog.close();
        dialog.reject();
        visibleAfterClose = dialog.isVisible();
        EXPECT_FALSE(dialog.findChild<QPushButton*>("cmdOK")->isEnabled());
        Click(&dialog, "cmdOK");
    });
    Click(&dialog, "cmdOK");
    EXPECT_TRUE(sawWriting);
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_EQ(doubles.time.blocks.size(), 1);
    EXPECT_EQ(unit.EngineHours(), 5000);
    EXPECT_EQ(Shown(), QStringList{Message(177)});
}

TEST_F(CountersTest, TheCommandAsksForUnitAndPasswordFirst)
{
    WhenModal<frmServicePassword>([](frmServicePassword* d) { Click(d, "cmdCancel"); });
    unitops::CmdCounters(state, true);
    EXPECT_FALSE(QApplication::activeModalWidget());

    // The debug flag opens the dialog whatever the password answer.
    state.DebugInfo = true;
    bool countersShown = false;
    WhenModal<frmServicePassword>([&](frmServicePassword* d) {
        WhenModal<frmCounters>([&](frmCounters* c) {
            countersShown = true;
            c->numHours()->SetValue(42);
            Click(c, "cmdOK");
        });
        Click(d, "cmdCancel");
    });
    unitops::CmdCounters(state, true);
    EXPECT_TRUE(countersShown);
    EXPECT_EQ(unit.EngineHours(), 42);

    // No unit and no Shift: message 140 and nothing else.
    doubles.presenter.shown.clear();
    unit.SetFault(Unit::Fault::Silence);
    unitops::CmdCounters(state, false);
    EXPECT_EQ(Shown(), QStringList{Message(140)});
}

TEST_F(CountersTest, WithShiftTheDialogOpensWithoutAUnitAndTheWriteFails)
{
    unit.SetFault(Unit::Fault::Silence);
    doubles.keys.shift = true;
    WhenModal<frmCounters>([](frmCounters* c) {
        c->numHours()->SetValue(10);
        Click(c, "cmdOK");
    });
    unitops::CmdCounters(state, false);
    EXPECT_EQ(Shown(), QStringList{Message(176)});
}

// ---- clock, options, backup-system settings -----------------------------------------------

class ClockCommandTest : public ServiceCommandsTest {};

TEST_F(ClockCommandTest, OnlyFirstGenerationUnitsGetTheClockDialog)
{
    const struct {
        const char* firmware;
        bool dialog;
        int message;
    } cases[] = {{"3.9", true, 0}, {"1.5", true, 0}, {"4.0", false, 129}, {"10.2", false, 129}};
    for (const auto& c : cases) {
        doubles.presenter.shown.clear();
        unit.SetFirmwareVersion(QString(c.firmware));
        bool opened = false;
        if (c.dialog)
            WhenModal<frmClock>([&](frmClock* d) {
                opened = true;
                Click(d, "cmdCancel");
            });
        unitops::CmdClock(state);
        EXPECT_EQ(opened, c.dialog) << c.firmware;
        EXPECT_EQ(Shown(), c.message ? QStringList{Message(c.message)} : QStringList()) << c.firmware;
        EXPECT_EQ(doubles.status.text, "");
    }
}

// Every command that finds no unit leaves the port, the device and the reason in the status bar.
TEST_F(ClockCommandTest, ANotFoundUnitLeavesItsReasonInTheStatusBar)
{
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"clock", [&] { unitops::CmdClock(state); }},
        {"counters", [&] { unitops::CmdCounters(state, false); }},
        {"delete log", [&] { unitops::CmdDeleteLog(state, false); }},
        {"reset counters", [&] { unitops::CmdResetCounters(state, false); }},
    };
    unit.SetFault(Unit::Fault::Silence);
    for (const auto& [name, run] : commands) {
        doubles.presenter.shown.clear();
        doubles.status.text.clear();
        run();
        EXPECT_EQ(Shown(), QStringList{Message(140)}) << name;
        EXPECT_TRUE(doubles.status.text.contains(QStringLiteral("no Control Unit answered")))
            << name << ": " << doubles.status.text.toStdString();
    }
}

TEST_F(ClockCommandTest, TheClockIsWrittenInUtcAcrossTheYearBoundary)
{
    unit.SetFirmwareVersion(QStringLiteral("3.2"));
    // 00:30 on New Year's Day at UTC+1 is still the last day of the old year in UTC.
    doubles.system.now = QDateTime(QDate(2027, 1, 1), QTime(0, 30, 45), QTimeZone(3600));
    WhenModal<frmClock>([](frmClock* d) { Click(d, "cmdOK"); });
    unitops::CmdClock(state);
    EXPECT_EQ(unit.Register(2820), 30);
    EXPECT_EQ(unit.Register(2821), 23);
    EXPECT_EQ(unit.Register(2822), 31);
    EXPECT_EQ(unit.Register(2823), 12);
    EXPECT_EQ(unit.Register(2824), 2026);
    EXPECT_TRUE(Shown().isEmpty());
    EXPECT_FALSE(unit.Unlocked()); // the clock needs no unlock
}

TEST_F(ServiceCommandsTest, OptionsTakeTheModeBackIntoExpertMode)
{
    modRegistry::SaveMode(1);
    unitops::CmdOptions(state);
    EXPECT_EQ(frame.optionsShown, 1);
    EXPECT_TRUE(state.ExpertMode);
    modRegistry::SaveMode(0);
    unitops::CmdOptions(state);
    EXPECT_FALSE(state.ExpertMode);
}

TEST_F(ServiceCommandsTest, BackupSystemSettingsOpenWithoutAUnitButNotForAQ1Unit)
{
    const struct {
        const char* firmware;
        bool silent;
        bool opens;
    } cases[] = {{"3.99", false, false}, {"4.0", false, true}, {"4.1", false, true}, {"4.47", true, true}};
    for (const auto& c : cases) {
        doubles.presenter.shown.clear();
        frame.backupShown = 0;
        unit.SetFirmwareVersion(QString(c.firmware));
        unit.SetFault(Unit::Fault::Silence, c.silent ? Unit::Always : 0);
        unitops::CmdBackupSystemSettings(state);
        EXPECT_EQ(frame.backupShown, c.opens ? 1 : 0) << c.firmware;
        EXPECT_EQ(Shown(), c.opens ? QStringList() : QStringList{Message(145)}) << c.firmware;
    }
}

TEST_F(ServiceCommandsTest, NoPortAndTheChoiceCancelledTouchesNoUnit)
{
    modRegistry::SaveCommPort(0);
    unitops::CmdDeleteLog(state, false);
    EXPECT_EQ(frame.commSetupShown, 1);
    EXPECT_EQ(Shown(), QStringList{Message(140)});
    EXPECT_EQ(unit.PackagesReceived(), 0);
}

} // namespace
