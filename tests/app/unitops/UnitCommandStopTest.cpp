// A stop signal in the middle of a unit command: the request under way is dropped, 0 goes to
// register 0, nothing else reaches the unit, and the line says what became of it. Once the unit
// is locked again the signal is no longer the command's.
#include "tests/app/unitops/UnitOpsTestSupport.h"

#include "app/unitops/UnitCommandStop.h"
#include "app/unitops/frmClock.h"
#include "app/unitops/frmServicePassword.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelSpeedSensor.h"

#include <csignal>

namespace unitops_test {
namespace {

class CommandStop : public UnitOpsTest {
protected:
    // The value a package writes to register 0; empty for any other package.
    static QByteArray Register0Value(const QByteArray& w)
    {
        return w.size() > 13 && w[4] == '0' && w.mid(5, 4) == "4000" ? w.mid(11, 2) : QByteArray();
    }
};

// A signal that reaches the test's own action: the program's handler was not armed.
volatile sig_atomic_t g_unarmedSignals = 0;
void CountUnarmed(int) { g_unarmedSignals = g_unarmedSignals + 1; }

TEST_F(CommandStop, ASignalMidCommandRelocksTheUnitAndSaysSo)
{
    const QByteArray zero(2, '\0');
    struct Row {
        const char* name;
        int signal;
        bool onlyUnlocked; // count the unit's replies only while it is unlocked
        int atReply;       // raise the signal as this reply goes out; 0: as the relock goes out to
                           // a unit dead from then on; -1: in the Backup System Settings window;
                           // kOnWrite: as a package atWrite picks goes out; kByRun: the run raises it
        std::function<void()> run;
        int relocks; // packages writing 0 to register 0
        QStringList says;
        QString never; // the line does not hold this
        bool leftUnlocked = false; // register 0 keeps the unlock code (always so for atReply 0)
        std::function<bool(const QByteArray&)> atWrite = {};
    };
    constexpr int kOnWrite = 1 << 20, kByRun = 1 << 21;
    std::function<void()> stopNow; // for a run that raises the signal itself
    auto transfer = [this](int commType, bool success = false, int silentAfter = -1) {
        return [this, commType, success, silentAfter] {
            ASSERT_TRUE(setup->CreateSetup("4.47"));
            unit.SetStopAfter(silentAfter);
            unitops::UnitCommandScope command(commType == 1 ? "the receive" : "the transmit");
            auto d = RunDialog(commType);
            EXPECT_EQ(d->Success(), success);
        };
    };
    auto deleteLog = [this] { unitops::CmdDeleteLog(state, false); };
    auto transmitCommand = [this](int backupWindows) {
        return [this, backupWindows] {
            setup->SpeedSensor()->SetPickupType(0, 1);
            setup->SpeedSensor()->SetPickupType(1, 1);
            doubles.presenter.answers = {platform::MsgResult::Yes};
            frame.backupWindows = 0;
            TransferDialogCloser closer;
            EXPECT_TRUE(unitops::DoFileTransmit(state));
            EXPECT_EQ(frame.backupWindows, backupWindows);
            doubles.presenter.shown.clear(); // the confirmation
        };
    };
    // Delete Log loses its relock on the line (and another one may relock since); Reset
    // Counters is then stopped in its password dialog, before it writes register 0.
    auto deleteLogThenResetCounters = [&, this](bool relockedSince) { return [&, this, relockedSince] {
        unit.SetDeadAtRelock(true);
        unitops::CmdDeleteLog(state, false);
        unit.ClearFaults();
        if (relockedSince)
            unitops::CmdDeleteLog(state, false);
        doubles.presenter.shown.clear(); // Delete Log's success, as the unit reported it
        using testing_doubles::WhenModal;
        WhenModal<frmServicePassword>([&](frmServicePassword* d) {
            stopNow();
            EXPECT_TRUE(testing_doubles::RunEventsUntil([] { return unitops::StopRequested(); }));
            d->findChild<QPushButton*>("cmdCancel")->click();
        });
        unitops::CmdResetCounters(state, true);
    }; };
    auto clock = [this] {
        unit.SetFirmwareVersion("3.2");
        testing_doubles::WhenModal<frmClock>([](frmClock* d) { d->findChild<QPushButton*>("cmdOK")->click(); });
        unitops::CmdClock(state);
        unit.SetFirmwareVersion("4.47");
    };
    auto recorded = [&] { frame.onRecord = stopNow; transmitCommand(0)(); frame.onRecord = {}; };
    auto resent = [last = QByteArray()](const QByteArray& w) mutable { return std::exchange(last, w) == w; };
    auto relockWrite = [](const QByteArray& w) { return Register0Value(w) == QByteArray(2, '\0'); };
    auto clockWrite = [](const QByteArray& w) { return w.size() > 9 && w.mid(5, 4) == "F040"; };
    const Row rows[] = {
        {"transmit, image half written", SIGTERM, true, 10, transfer(0), 1,
         {"a signal (SIGTERM) stopped the transmit", "locked again", "its setup is incomplete and must be transmitted again"},
         "verified"},
        {"transmit, during the read-back", SIGINT, true, 64, transfer(0), 1,
         {"a signal (SIGINT) stopped the transmit", "locked again", "its setup was not verified"}, "incomplete"},
        {"receive, image half read", SIGHUP, false, 10, transfer(1), 1,
         {"a signal (SIGHUP) stopped the receive", "locked again"}, "transmitted again"},
        {"Delete Log right after the unlock", SIGTERM, true, 1, deleteLog, 1,
         {"a signal (SIGTERM) stopped the Delete Log command", "locked again"}, "setup"},
        // Locked again after a verified transmit: the signal is no longer the command's.
        {"in the Backup window after a verified transmit", SIGTERM, false, -1, transmitCommand(1), 1, {}, "stopped"},
        // The relock keeps all its re-sends; unanswered, nobody claims the unit locked. The unit
        // holds the verified setup: a transmit done, with its lock in doubt.
        {"transmit, unit dead at the relock", SIGINT, false, 0, transfer(0, true), 4,
         {"a signal (SIGINT) came as the transmit ended; the setup was transmitted and verified",
          "did not confirm the 0 written to register 0", "may still be unlocked"},
         "locked again"},
        {"transmit command, stopped at its relock", SIGTERM, false, kOnWrite, transmitCommand(0), 1,
         {"came as the transmit ended; the setup was transmitted and verified", "locked again"}, "stopped", false,
         relockWrite},
        {"transmit command, stopped as it records the transfer", SIGTERM, false, kByRun, recorded, 1,
         {"came as the transmit ended; the setup was transmitted and verified", "locked again"}, "stopped"},
        {"Delete Log, unit dead at the relock", SIGTERM, false, 0, deleteLog, 1,
         {"a signal (SIGTERM) stopped the Delete Log command", "may still be unlocked"}, "stays locked"},
        // The short link's relock is not cut short by the stop that comes as it goes out.
        {"Delete Log, stopped as its relock goes out", SIGHUP, false, kOnWrite, deleteLog, 1,
         {"a signal (SIGHUP) stopped the Delete Log command", "locked again"}, "may still be", false, relockWrite},
        // A link that wrote no unlock still sends its one relock try after a stop.
        {"clock, stopped as it writes", SIGTERM, false, kOnWrite, clock, 1,
         {"a signal (SIGTERM) stopped the Clock command", "locked again"}, "may still be", false, clockWrite},
        // The one try left after an unanswered request gets every re-send once a stop came.
        {"transmit, unit silent mid-image, stopped at the relock", SIGINT, false, 0, transfer(0, false, 12), 4,
         {"a signal (SIGINT) stopped the transmit", "may still be unlocked", "incomplete"}, "locked again"},
        {"transmit, stopped as an unanswered package is sent again", SIGINT, false, kOnWrite, transfer(0, false, 12), 4,
         {"a signal (SIGINT) stopped the transmit", "may still be unlocked", "incomplete"}, "locked again", true, resent},
        // The unit's lock as the run saw it: an earlier relock went unanswered.
        {"Reset Counters stopped in its password dialog after Delete Log lost its relock", SIGTERM, false, kByRun,
         deleteLogThenResetCounters(false), 1,
         {"a signal (SIGTERM) stopped the Reset Counters command; it did not unlock the Control Unit",
          "may still be unlocked"},
         "stays locked", true},
        {"... and a later Delete Log confirmed its relock", SIGTERM, false, kByRun, deleteLogThenResetCounters(true), 2,
         {"a signal (SIGTERM) stopped the Reset Counters command; it did not unlock the Control Unit"}, "may still be"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        unit.SetRegister(0, 0);
        for (int r = 1; r < 1792; ++r)
            unit.SetRegister(r, quint16(r * 3));
        unit.ClearFaults();
        unit.SetDeadAtRelock(row.atReply == 0);
        wire = Bind(unit);
        doubles.presenter.shown.clear();
        const auto before = std::signal(row.signal, CountUnarmed);
        g_unarmedSignals = 0;
        int replies = 0;
        bool raised = false;
        auto raise = [&](bool now) {
            if (now && !raised)
                raised = true, std::raise(row.signal); // armed: the command hears of it in its own wait
        };
        const auto connection = QObject::connect(&unit, &Unit::Transmit, [&] {
            raise(row.atReply > 0 && (unit.Unlocked() || !row.onlyUnlocked) && ++replies >= row.atReply);
        });
        wire->onWrite = [&](const QByteArray& w) {
            raise((row.atReply == 0 && Register0Value(w) == zero) || (row.atReply == kOnWrite && row.atWrite(w)));
        };
        stopNow = [&] { raise(row.atReply == kByRun); };
        frame.onBackupWindow = [&] { raise(row.atReply == -1); };
        row.run();
        QObject::disconnect(connection);
        frame.onBackupWindow = {};
        std::signal(row.signal, before);
        ASSERT_TRUE(raised);
        EXPECT_EQ(g_unarmedSignals, row.atReply == -1 ? 1 : 0);
        QList<QByteArray> register0;
        for (const QByteArray& w : wire->writes)
            if (!Register0Value(w).isEmpty())
                register0 << Register0Value(w);
        EXPECT_EQ(register0.value(register0.size() - 1), zero);
        EXPECT_EQ(register0.count(zero), row.relocks);
        const bool leftUnlocked = row.atReply == 0 || row.leftUnlocked;
        EXPECT_EQ(unit.Register(0), leftUnlocked ? 24873 : 0);
        EXPECT_EQ(unit.Unlocked(), leftUnlocked);
        if (row.atReply > 0 && row.atReply < 56) // the rest of the image never went
            EXPECT_EQ(unit.Register(1700), quint16(1700 * 3));
        EXPECT_EQ(ShownCount(), 0); // nobody is asked once stopped
        const QString line = unitops::StopReason();
        for (const QString& part : row.says)
            EXPECT_TRUE(line.contains(part)) << line.toStdString();
        EXPECT_FALSE(line.contains(row.never)) << line.toStdString();
        // Nothing more goes out once the command has ended.
        const int packages = unit.PackagesReceived();
        QCoreApplication::processEvents();
        EXPECT_EQ(unit.PackagesReceived(), packages);
    }
}

// A signal the event loop has not seen yet when the command ends still ends the run.
TEST_F(CommandStop, ASignalInTheLastMomentIsNotLost)
{
    QList<int> ended;
    unitops::SetStopEnd([&](int signal, const QString&) { ended << signal; });
    {
        unitops::UnitCommandScope command("the Clock command");
        std::raise(SIGTERM);
    }
    unitops::SetStopEnd({});
    EXPECT_EQ(ended, QList<int>{SIGTERM});
}

} // namespace
} // namespace unitops_test
