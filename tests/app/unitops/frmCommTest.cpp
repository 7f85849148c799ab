// The setup transfer dialog against the simulated unit: sizes, faults, cancel and the mends.
#include "tests/app/unitops/UnitOpsTestSupport.h"

#include "datamodel/XelMain.h"
#include "datamodel/XelSpeedSensor.h"
#include "tools/ecxsim/PtyServer.h"

#include "tests/common/ServiceDoubles.h"
#include "tests/common/WaitFor.h"

#include <QLabel>
#include <QTest>

namespace unitops_test {
namespace {

using Steps = QVector<int>;
constexpr int N = -1; // no mark
const Steps kAllDone{1, 1, 1, 1, 1};

class TransferTest : public UnitOpsTest {
protected:
    // One past the highest image register (below the service block) a request of type reached.
    int RegistersMoved(char type) const
    {
        int top = 0;
        for (const QByteArray& w : wire->writes) {
            const int address = (w.mid(5, 4).toInt(nullptr, 16) - 0x4000) / 16;
            if (w.size() > 11 && w[4] == type && address < 2816)
                top = qMax(top, address + (w.mid(9, 2).toInt(nullptr, 16) ?: 256) / 2);
        }
        return top;
    }
    // The setup's image for the firmware, put into the unit's registers 1 and up.
    void LoadUnitWith(const QString& firmware, int registers)
    {
        ASSERT_TRUE(setup->CreateSetup(firmware));
        QVector<qint32> image;
        setup->GetSetup(image);
        for (int r = 1; r < registers; ++r)
            unit.SetRegister(r, quint16(image[r]));
    }
};

TEST_F(TransferTest, BothWaysMoveTheSizeOfTheFirmware)
{
    for (auto [firmware, registers] : {std::pair{"4.5", 1536}, {"4.6", 1538}, {"4.19", 1538}, {"4.20", 1540},
                                       {"4.33", 1540}, {"4.34", 1792}, {"4.47", 1792}}) {
        SCOPED_TRACE(firmware);
        ASSERT_TRUE(unit.SetFirmwareVersion(QString(firmware)));
        unit.SetRegister(registers, 0xBEEF);
        setup->SpeedSensor()->SetNomSpeed(1234);
        ASSERT_TRUE(setup->CreateSetup(firmware));
        QVector<qint32> image;
        setup->GetSetup(image);
        wire = Bind(unit);
        auto d = RunDialog(0, firmware);
        EXPECT_TRUE(d->Success());
        EXPECT_EQ(Marks(*d), kAllDone);
        for (int r = 1; r < registers; ++r)
            ASSERT_EQ(unit.Register(r), quint16(image[r])) << r;
        EXPECT_EQ(unit.Register(registers), 0xBEEF);
        EXPECT_EQ(unit.Register(0), 0);
        EXPECT_EQ(RegistersMoved('0'), registers);
        EXPECT_EQ(setup->Main()->Firmware().trimmed(), firmware); // recorded once verified
        EXPECT_TRUE(Summary(*d).contains("\nNominal/Max Speed 1234 RPM\n"));

        setup = CreateDefaultSetupDocument();
        state.SetXelObject(setup.get());
        wire = Bind(unit);
        d = RunDialog(1);
        EXPECT_TRUE(d->Success());
        EXPECT_EQ(RegistersMoved('2'), registers);
        EXPECT_EQ(setup->SpeedSensor()->NomSpeed(), 1234);
        EXPECT_EQ(d->windowTitle(), "Receiving Data...");
        EXPECT_EQ(Summary(*d).section('\n', 1, 1), QString("Control Unit Version: ") + firmware);
    }
}

struct FaultCase {
    const char* name;
    std::function<void(Unit&)> arrange;
    Steps steps;
    bool success = false;
    const char* shows = ""; // a text the messages or the summary hold
    const char* reason = ""; // a text the line for a script holds
};

TEST_F(TransferTest, TransmitFaults)
{
    const FaultCase cases[] = {
        {"silence", [](Unit& u) { u.SetFault(Unit::Fault::Silence); }, {1, 2, N, N, N}, false, "",
         "the transfer stopped at \"Connecting to Control Unit\""},
        {"bad block check", [](Unit& u) { u.SetFault(Unit::Fault::BadBlockCheck); }, {1, 2, N, N, N}},
        {"wrong third character", [](Unit& u) { u.SetFault(Unit::Fault::WrongThirdCharacter); }, {1, 2, N, N, N}},
        {"split replies", [](Unit& u) { u.SetFault(Unit::Fault::SplitReply); u.SetSplit(3); }, kAllDone, true},
        {"stray bytes", [](Unit& u) { u.SetFault(Unit::Fault::StrayBytes); }, kAllDone, true},
        {"stop after 10 packages", [](Unit& u) { u.SetStopAfter(10); }, {1, 1, 2, N, N}},
        {"word corrupted on read-back", [](Unit& u) { u.SetFault(Unit::Fault::CorruptReadBack, 1); u.SetCorruptRegister(700); },
         {1, 1, 1, 2, 1}, false, "Verification failed",
         "the data read back from the Control Unit did not match what was sent (register 700 differs)"},
        {"engine running", [](Unit& u) { u.SetEngineRunning(true); }, {1, 2, N, N, N}, false, "not in Ready state"},
        {"Q3 unit", [](Unit& u) { u.SetQ3(true); }, {1, 2, N, N, N}, false, "connected to a Q3 Control Unit"},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        Unit fresh;
        wire = Bind(fresh);
        c.arrange(fresh);
        doubles.presenter.shown.clear();
        ASSERT_TRUE(setup->CreateSetup("4.47"));
        setup->Main()->RecordTransfer(MainFirmwareDirection::FromECX, "old", {});
        auto d = RunDialog(0);
        EXPECT_EQ(Marks(*d), c.steps);
        EXPECT_EQ(d->Success(), c.success);
        QString seen = Summary(*d);
        for (const auto& s : doubles.presenter.shown)
            seen += s.text;
        EXPECT_TRUE(seen.contains(c.shows));
        EXPECT_TRUE(d->FailureReason().contains(c.reason)) << d->FailureReason().toStdString();
        EXPECT_EQ(d->FailureReason().isEmpty(), c.success);
        EXPECT_EQ(ShownCount(), *c.shows && !QString(c.shows).startsWith("Verif") ? 1 : 0);
        EXPECT_EQ(setup->Main()->Firmware().trimmed(), c.success ? "4.47" : "old");
        // The last write to register 0 relocks it, on every path that wrote there.
        QByteArray lastRegister0;
        for (const QByteArray& w : wire->writes)
            if (w.size() > 13 && w[4] == '0' && w.mid(5, 4) == "4000")
                lastRegister0 = w.mid(11, 2);
        EXPECT_EQ(lastRegister0, QByteArray(2, '\0'));
        EXPECT_EQ(d->findChild<QPushButton*>("cmdOK")->text(), "OK");
    }
}

TEST_F(TransferTest, FailedReceiveLeavesTheDocumentAsItWas)
{
    const FaultCase cases[] = {
        {"silence after the version", [](Unit& u) { u.SetStopAfter(1); }, {1, 2, N, N, N}},
        {"stop during the image", [](Unit& u) { u.SetStopAfter(8); }, {1, 1, 2, N, N}},
        {"second read differs", [](Unit& u) { u.SetFault(Unit::Fault::CorruptReadBack, 1); u.SetCorruptRegister(321); },
         {1, 1, 1, 2, N}, false, "", "the setup read twice from the Control Unit differed (register 321)"},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        Unit fresh;
        for (int r = 1; r < 1792; ++r)
            fresh.SetRegister(r, quint16(r * 7));
        wire = Bind(fresh);
        c.arrange(fresh);
        auto d = RunDialog(1);
        EXPECT_EQ(Marks(*d), c.steps);
        EXPECT_FALSE(d->Success());
        EXPECT_TRUE(d->FailureReason().contains(c.reason)) << d->FailureReason().toStdString();
        EXPECT_FALSE(setup->Changed());
    }
}

TEST_F(TransferTest, NothingMovesForAnotherFirmwareOrAnUnbuildableImage)
{
    unit.SetRegister(5, 77);
    ASSERT_TRUE(setup->CreateSetup("4.19"));
    auto d = RunDialog(0, "4.19"); // the unit says 4.47
    EXPECT_EQ(Marks(*d), (Steps{2, N, N, N, N}));
    EXPECT_EQ(unit.PackagesReceived(), 1); // the version read alone
    unit.SetFault(Unit::Fault::Silence, 1); // the version read goes unanswered, the unit answers later
    ASSERT_TRUE(setup->CreateSetup("4.47"));
    d = RunDialog(0);
    EXPECT_EQ(Marks(*d), (Steps{2, N, N, N, N}));
    EXPECT_EQ(unit.Register(0), 0);
    setup->SpeedSensor()->SetSpeeding(-1);
    EXPECT_FALSE(setup->CreateSetup("4.47"));
    d = RunDialog(0, "4.47");
    EXPECT_EQ(Marks(*d), (Steps{1, 1, 2, N, N}));
    EXPECT_TRUE(Summary(*d).endsWith("SpeedSensor: Speeding"));
    EXPECT_FALSE(d->Success());
    EXPECT_EQ(unit.Register(5), 77);
    EXPECT_EQ(unit.Register(0), 0);
    EXPECT_EQ(ShownCount(), 2);
}

// Escape and the Cancel button ask for the cancel alike; the transfer stops before its next
// step, the steps not run keep no mark, and a receive loads nothing.
TEST_F(TransferTest, CancelStopsBeforeTheNextStep)
{
    const struct {
        const char* name;
        int commType;
        int duringStep; // asked for while this step is busy
        bool escape;
        Steps marks;
    } cases[] = {
        {"transmit, unit check, button", 0, 1, false, {1, 1, N, N, N}},
        {"transmit, unit check, Escape", 0, 1, true, {1, 1, N, N, N}},
        {"transmit, read-back, Escape", 0, 3, true, {1, 1, 1, 1, N}},
        {"receive, unit check, Escape", 1, 1, true, {1, 1, N, N, N}},
        {"receive, read-back, button", 1, 3, false, {1, 1, 1, 1, N}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Unit fresh;
        for (int r = 1; r < 1792; ++r)
            fresh.SetRegister(r, quint16(r * 3));
        wire = Bind(fresh);
        ASSERT_TRUE(setup->CreateSetup("4.47"));
        setup->ResetBackup();
        auto d = std::make_unique<frmComm>(state);
        d->SetCommType(qint16(c.commType));
        d->SetXelObject(setup.get());
        bool asked = false;
        QTimer poke;
        QObject::connect(&poke, &QTimer::timeout, [&] {
            if (d->StepState(c.duringStep) != frmComm::Busy)
                return;
            poke.stop();
            // The close box does nothing while busy; showing again starts nothing.
            d->close();
            d->hide();
            d->show();
            if (c.escape)
                QTest::keyClick(d.get(), Qt::Key_Escape);
            else
                d->findChild<QPushButton*>("cmdOK")->click();
            asked = d->findChild<QLabel*>("lblComm")->isVisible();
        });
        poke.start(0);
        d->show();
        ASSERT_TRUE(testing_doubles::RunEventsUntil([&] { return d->Finished(); })) << "the transfer did not end";
        EXPECT_TRUE(asked);
        EXPECT_EQ(Marks(*d), c.marks);
        EXPECT_FALSE(d->Success());
        EXPECT_FALSE(setup->Changed());
        if (c.duringStep < 2)
            EXPECT_EQ(fresh.Register(5), 15); // nothing written
        EXPECT_EQ(fresh.Register(0), 0);
        const int packages = fresh.PackagesReceived();
        QCoreApplication::processEvents();
        EXPECT_EQ(fresh.PackagesReceived(), packages);
        // Idle: Escape no longer cancels or closes anything; OK closes.
        QTest::keyClick(d.get(), Qt::Key_Escape);
        EXPECT_TRUE(d->isVisible());
        d->findChild<QPushButton*>("cmdOK")->click();
        EXPECT_FALSE(d->isVisible());
    }
}

TEST_F(TransferTest, F1OpensTheTopicOfTheDirection)
{
    testing_doubles::ServiceDoubles services;
    for (auto [commType, topic] : {std::pair{1, 18}, {0, 19}}) {
        auto d = RunDialog(commType, "4.47");
        d->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
        services.shell.helpTopics.clear();
        QTest::keyClick(d.get(), Qt::Key_F1);
        EXPECT_EQ(services.shell.helpTopics, QList<int>{topic}) << commType;
        ASSERT_FALSE(services.shell.helpFiles.isEmpty()) << commType;
        EXPECT_TRUE(services.shell.helpFiles.last().endsWith("QUARNO.HLP", Qt::CaseInsensitive));
    }
}

TEST_F(TransferTest, ReceiveThroughThePseudoTerminal)
{
    ecxsim::PtyServer server(&unit);
    if (!server.Open())
        GTEST_SKIP() << "no pseudo-terminal: " << server.ErrorString().toStdString();
    platform::SerialPort::SetFactory({});
    XelCommTesting::SetMillisecondsPerSecond(250);
    doubles.settings->SetValue("Ports/COM7", server.SlavePath());
    modRegistry::SaveCommPort(7);
    setup->SpeedSensor()->SetNomSpeed(987);
    LoadUnitWith("4.47", 1792);
    setup = CreateDefaultSetupDocument();
    state.SetXelObject(setup.get());
    auto d = RunDialog(1);
    EXPECT_TRUE(d->Success());
    EXPECT_EQ(setup->SpeedSensor()->NomSpeed(), 987);
}

} // namespace
} // namespace unitops_test
