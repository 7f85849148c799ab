// A stop signal in the middle of a unit command: the request under way is dropped, 0 goes to
// register 0, nothing else reaches the unit, and the line says what became of it.
#include "tests/app/unitops/UnitOpsTestSupport.h"

#include "app/unitops/UnitCommandStop.h"
#include "datamodel/XelMain.h"

#include <csignal>

namespace unitops_test {
namespace {

class CommandStop : public UnitOpsTest {
protected:
    // The value of the last write to register 0 that went out, as the package carries it.
    QByteArray LastRegister0Write() const
    {
        QByteArray last;
        for (const QByteArray& w : wire->writes)
            if (w.size() > 13 && w[4] == '0' && w.mid(5, 4) == "4000")
                last = w.mid(11, 2);
        return last;
    }
};

TEST_F(CommandStop, ASignalMidCommandRelocksTheUnitAndSaysSo)
{
    struct Row {
        const char* name;
        int signal;
        bool onlyUnlocked; // count the unit's replies only while it is unlocked
        int atReply;       // raise the signal as this reply goes out
        std::function<void()> run;
        QStringList says;
        QString never; // the line does not hold this
    };
    auto transfer = [this](int commType) {
        return [this, commType] {
            ASSERT_TRUE(setup->CreateSetup("4.47"));
            unitops::UnitCommandScope command(commType == 1 ? "the receive" : "the transmit");
            auto d = RunDialog(commType);
            EXPECT_FALSE(d->Success());
        };
    };
    const Row rows[] = {
        {"transmit, image half written", SIGTERM, true, 10, transfer(0),
         {"a signal (SIGTERM) stopped the transmit", "locked again", "its setup is incomplete and must be transmitted again"},
         "verified"},
        {"transmit, during the read-back", SIGINT, true, 64, transfer(0),
         {"a signal (SIGINT) stopped the transmit", "locked again", "its setup was not verified"}, "incomplete"},
        {"receive, image half read", SIGHUP, false, 10, transfer(1),
         {"a signal (SIGHUP) stopped the receive", "locked again"}, "transmitted again"},
        {"Delete Log right after the unlock", SIGTERM, true, 1,
         [this] { unitops::CmdDeleteLog(state, false); },
         {"a signal (SIGTERM) stopped the Delete Log command", "locked again"}, "setup"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        unit.SetRegister(0, 0);
        for (int r = 1; r < 1792; ++r)
            unit.SetRegister(r, quint16(r * 3));
        wire = Bind(unit);
        doubles.presenter.shown.clear();
        int replies = 0;
        bool raised = false;
        const auto connection = QObject::connect(&unit, &Unit::Transmit, [&] {
            if (raised || (row.onlyUnlocked && !unit.Unlocked()) || ++replies < row.atReply)
                return;
            raised = true;
            std::raise(row.signal); // armed: the command hears of it in its own wait
        });
        row.run();
        QObject::disconnect(connection);
        ASSERT_TRUE(raised);
        EXPECT_EQ(LastRegister0Write(), QByteArray(2, '\0'));
        EXPECT_EQ(unit.Register(0), 0);
        EXPECT_FALSE(unit.Unlocked());
        if (row.atReply < 56) // the rest of the image never went
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
