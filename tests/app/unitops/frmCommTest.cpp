// The setup transfer dialog against the simulated unit: sizes, faults, cancel and the mends.
#include "tests/app/unitops/UnitOpsTestSupport.h"

#include "datamodel/XelMain.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/cSpeedRelay.h"
#include "tools/ecxsim/PtyServer.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>

namespace unitops_test {
namespace {

using Steps = QVector<int>;
constexpr int N = -1; // no mark
const Steps kAllDone{1, 1, 1, 1, 1};

class TransferTest : public UnitOpsTest {
protected:
    std::unique_ptr<frmComm> dialog;

    // Shows the dialog and waits until its transfer has ended (no exec, no user).
    frmComm& Run(int commType, const QString& firmware = {})
    {
        dialog = std::make_unique<frmComm>(state);
        dialog->SetCommType(qint16(commType));
        dialog->SetXelObject(setup.get());
        dialog->SetFirmware(firmware);
        dialog->show();
        QElapsedTimer guard;
        guard.start();
        while (!dialog->Finished() && guard.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        EXPECT_TRUE(dialog->Finished());
        return *dialog;
    }
    Steps StepsOf(const frmComm& d) const
    {
        Steps s;
        for (int i = 0; i < 5; ++i)
            s << d.StepState(i);
        return s;
    }
    QString Summary() const { return dialog->findChild<QPlainTextEdit*>("txtCommSummary")->toPlainText(); }
    // The image the document would send to a unit of this firmware, as register words.
    QVector<qint32> Image(const QString& firmware)
    {
        EXPECT_TRUE(setup->CreateSetup(firmware));
        QVector<qint32> words;
        setup->GetSetup(words);
        return words;
    }
    // The highest register a register read or write of the transfer reached, +1.
    int RegistersMoved(char type) const
    {
        int top = 0;
        for (const QByteArray& w : wire->writes) {
            if (w.size() < 11 || w[4] != type)
                continue;
            const int address = (w.mid(5, 4).toInt(nullptr, 16) - 0x4000) / 16;
            if (address >= 2816)
                continue; // service registers
            int count = w.mid(9, 2).toInt(nullptr, 16) / 2;
            if (count == 0)
                count = 128;
            top = qMax(top, address + count);
        }
        return top;
    }
    bool SetupUnchanged() { return !setup->Changed(); }
};

TEST_F(TransferTest, TransmitMovesTheSizeOfTheFirmwareAndVerifies)
{
    struct Case {
        const char* firmware;
        int registers;
    } cases[] = {{"4.5", 1536}, {"4.6", 1538}, {"4.19", 1538}, {"4.20", 1540}, {"4.33", 1540}, {"4.34", 1792}, {"4.47", 1792}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firmware);
        ASSERT_TRUE(unit.SetFirmwareVersion(QString(c.firmware)));
        unit.SetRegister(c.registers, 0xBEEF); // just past the transfer
        wire = Bind(unit);
        const QVector<qint32> image = Image(c.firmware);
        frmComm& d = Run(0, c.firmware);
        EXPECT_TRUE(d.Success());
        EXPECT_EQ(StepsOf(d), kAllDone);
        for (int r = 1; r < c.registers; ++r)
            ASSERT_EQ(unit.Register(r), quint16(image[r])) << r;
        EXPECT_EQ(unit.Register(c.registers), 0xBEEF);
        EXPECT_EQ(unit.Register(0), 0); // relocked
        EXPECT_EQ(RegistersMoved('0'), c.registers);
        EXPECT_EQ(d.findChild<QPushButton*>("cmdOK")->text(), "OK");
        EXPECT_EQ(setup->Main()->Firmware().trimmed(), c.firmware);
        EXPECT_EQ(setup->Main()->FirmwareDirection(), 1);
        EXPECT_EQ(d.windowTitle(), "Transmitting Data...");
        EXPECT_EQ(d.findChild<QLabel*>("lblAction_2")->text(), "Transmitting Data...");
    }
}

TEST_F(TransferTest, ReceiveReadsTheSizeOfTheFirmwareAndLoads)
{
    struct Case {
        const char* firmware;
        int registers;
    } cases[] = {{"4.5", 1536}, {"4.19", 1538}, {"4.20", 1540}, {"4.34", 1792}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firmware);
        ASSERT_TRUE(unit.SetFirmwareVersion(QString(c.firmware)));
        // The unit holds the image of a setup with another nominal speed.
        setup->SpeedSensor()->SetNomSpeed(1234);
        const QVector<qint32> image = Image(c.firmware);
        for (int r = 1; r < c.registers; ++r)
            unit.SetRegister(r, quint16(image[r]));
        setup = CreateDefaultSetupDocument();
        state.SetXelObject(setup.get());
        ASSERT_NE(setup->SpeedSensor()->NomSpeed(), 1234);

        frmComm& d = Run(1);
        EXPECT_TRUE(d.Success());
        EXPECT_EQ(StepsOf(d), kAllDone);
        EXPECT_EQ(RegistersMoved('2'), c.registers);
        EXPECT_EQ(setup->SpeedSensor()->NomSpeed(), 1234);
        EXPECT_EQ(setup->Main()->FirmwareDirection(), 0);
        EXPECT_EQ(d.windowTitle(), "Receiving Data...");
        EXPECT_EQ(d.HelpContextID(), 18);
        EXPECT_EQ(unit.Register(0), 0);
    }
}

TEST_F(TransferTest, SummaryListsTheTransmittedSetup)
{
    setup->Main()->SetOperationMode(2);
    setup->Main()->SetAckOnWarning(true);
    setup->Main()->SetCAN(true);
    setup->SpeedSensor()->SetNomSpeed(1500);
    for (XelSpeedRelay* r : setup->SpeedRelays()->NewEnum())
        r->SetInUse(false);
    setup->SpeedRelays()->Item(1)->SetInUse(true);
    Image("4.47");
    Run(0, "4.47");
    const QStringList lines = Summary().split('\n');
    ASSERT_EQ(lines.size(), 11) << Summary().toStdString();
    EXPECT_EQ(lines[0], "Quarno Version: " + setup->Version());
    EXPECT_EQ(lines[1], "Control Unit Version: 4.47");
    EXPECT_EQ(lines[2], "Operation Mode Propulsion");
    EXPECT_EQ(lines[3], "J1939 CAN / J1587 Support");
    EXPECT_EQ(lines[4], "Warning Requires Acknowledge");
    EXPECT_EQ(lines[5], " Engine Manufacturer ");
    EXPECT_TRUE(lines[6].endsWith(" Switch Inputs") || lines[6] == "No Switch Inputs" || lines[6] == "1 Switch Input");
    EXPECT_TRUE(lines[7].endsWith(" Analog Inputs") || lines[7] == "No Analog Inputs" || lines[7] == "1 Analog Input");
    EXPECT_EQ(lines[8], "Nominal/Max Speed 1500 RPM");
    EXPECT_EQ(lines[9], "1 Speed Relays");
    EXPECT_TRUE(lines[10].endsWith(" Relays")) << lines[10].toStdString();
}

struct FaultCase {
    const char* name;
    std::function<void(Unit&)> arrange;
    Steps steps;
    bool success;
    bool message114 = false;
    bool q3Message = false;
};

TEST_F(TransferTest, TransmitFaults)
{
    const QString q3 = "Quarno Q2 will only work on Q1/Q2 Control Units.\nIt appears as if you are connected to a Q3 "
                       "Control Unit!";
    const FaultCase cases[] = {
        {"silence", [](Unit& u) { u.SetFault(Unit::Fault::Silence); }, {1, 2, N, N, N}, false},
        {"bad block check", [](Unit& u) { u.SetFault(Unit::Fault::BadBlockCheck); }, {1, 2, N, N, N}, false},
        {"wrong third character", [](Unit& u) { u.SetFault(Unit::Fault::WrongThirdCharacter); }, {1, 2, N, N, N}, false},
        {"split replies", [](Unit& u) { u.SetFault(Unit::Fault::SplitReply); u.SetSplit(3); }, kAllDone, true},
        {"stray bytes", [](Unit& u) { u.SetFault(Unit::Fault::StrayBytes); }, kAllDone, true},
        {"stop after 10 packages", [](Unit& u) { u.SetStopAfter(10); }, {1, 1, 2, N, N}, false},
        {"one word corrupted on read-back",
         [](Unit& u) { u.SetFault(Unit::Fault::CorruptReadBack, 1); u.SetCorruptRegister(700); },
         {1, 1, 1, 2, 1}, false},
        {"engine running", [](Unit& u) { u.SetEngineRunning(true); }, {1, 2, N, N, N}, false, true},
        {"Q3 unit", [](Unit& u) { u.SetQ3(true); }, {1, 2, N, N, N}, false, false, true},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        Unit fresh;
        wire = Bind(fresh);
        c.arrange(fresh);
        doubles.presenter.shown.clear();
        Image("4.47");
        setup->Main()->RecordTransfer(MainFirmwareDirection::FromECX, "old", {});
        frmComm& d = Run(0);
        EXPECT_EQ(StepsOf(d), c.steps);
        EXPECT_EQ(d.Success(), c.success);
        EXPECT_EQ(Shown(114), c.message114);
        int q3Shown = 0;
        for (const auto& s : doubles.presenter.shown)
            q3Shown += s.text == q3 ? 1 : 0;
        EXPECT_EQ(q3Shown, c.q3Message ? 1 : 0);
        EXPECT_EQ(d.findChild<QPushButton*>("cmdOK")->text(), "OK");
        // The transfer is stamped into the document only when verified.
        EXPECT_EQ(setup->Main()->FirmwareDirection() == 1, c.success);
        EXPECT_EQ(setup->Main()->Firmware().trimmed(), c.success ? "4.47" : "old");
        if (fresh.PackagesAnswered() > 0 && c.name != std::string("stop after 10 packages"))
            EXPECT_EQ(fresh.Register(0), 0);
        EXPECT_FALSE(fresh.Unlocked() && c.name != std::string("stop after 10 packages"));
        // Every path that wrote register 0 ends its writes there with the relock.
        QByteArray lastRegister0;
        for (const QByteArray& w : wire->writes)
            if (w.size() > 13 && w[4] == '0' && w.mid(5, 4) == "4000")
                lastRegister0 = w.mid(11, 2);
        if (!lastRegister0.isEmpty())
            EXPECT_EQ(lastRegister0, QByteArray(2, '\0'));
    }
}

TEST_F(TransferTest, VerificationFailureIsNoSuccess)
{
    unit.SetFault(Unit::Fault::CorruptReadBack, 1);
    unit.SetCorruptRegister(1000);
    Image("4.47");
    frmComm& d = Run(0, "4.47");
    EXPECT_FALSE(d.Success());
    EXPECT_EQ(StepsOf(d), (Steps{1, 1, 1, 2, 1}));
    EXPECT_TRUE(Summary().contains("Verification failed")) << Summary().toStdString();
    EXPECT_FALSE(Summary().contains("Nominal/Max Speed"));
    EXPECT_EQ(unit.Register(0), 0);
    EXPECT_FALSE(unit.Unlocked());
}

TEST_F(TransferTest, ReceiveFaultsLeaveTheDocumentAsItWas)
{
    const FaultCase cases[] = {
        {"silence after the version", [](Unit& u) { u.SetStopAfter(1); }, {1, 2, N, N, N}, false},
        {"stop during the image", [](Unit& u) { u.SetStopAfter(8); }, {1, 1, 2, N, N}, false},
        {"second read differs", [](Unit& u) { u.SetFault(Unit::Fault::CorruptReadBack, 1); u.SetCorruptRegister(321); },
         {1, 1, 1, 2, N}, false},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        Unit fresh;
        FillRegisters(1, 1791, 11);
        for (int r = 1; r < 1792; ++r)
            fresh.SetRegister(r, unit.Register(r));
        wire = Bind(fresh);
        c.arrange(fresh);
        const qint16 speed = setup->SpeedSensor()->NomSpeed();
        frmComm& d = Run(1);
        EXPECT_EQ(StepsOf(d), c.steps);
        EXPECT_FALSE(d.Success());
        EXPECT_TRUE(SetupUnchanged());
        EXPECT_EQ(setup->SpeedSensor()->NomSpeed(), speed);
    }
}

TEST_F(TransferTest, ImageWhoseBuildFailedIsNotSent)
{
    setup->SpeedSensor()->SetSpeeding(-1);
    EXPECT_FALSE(setup->CreateSetup("4.47"));
    unit.SetRegister(5, 77);
    frmComm& d = Run(0, "4.47");
    EXPECT_FALSE(d.Success());
    EXPECT_EQ(StepsOf(d), (Steps{1, 1, 2, N, N}));
    EXPECT_TRUE(Summary().endsWith("SpeedSensor: Speeding"));
    EXPECT_EQ(unit.Register(5), 77);
    EXPECT_EQ(unit.Register(0), 0);
}

TEST_F(TransferTest, AnotherFirmwareThanTheImageWasBuiltForGetsNothing)
{
    Image("4.19");
    unit.SetRegister(5, 77);
    frmComm& d = Run(0, "4.19"); // the unit says 4.47
    EXPECT_FALSE(d.Success());
    EXPECT_EQ(StepsOf(d), (Steps{2, N, N, N, N}));
    EXPECT_EQ(unit.PackagesReceived(), 1); // the version read alone
    EXPECT_EQ(unit.Register(5), 77);
    ASSERT_EQ(ShownCount(), 1);
    EXPECT_TRUE(doubles.presenter.shown[0].text.contains("(4.47)"));
}

TEST_F(TransferTest, UnreadableVersionOfAnAnsweringUnitGetsNothing)
{
    unit.SetFault(Unit::Fault::Silence, 1); // the version read goes unanswered
    Image("4.47");
    unit.SetRegister(5, 77);
    frmComm& d = Run(0);
    EXPECT_FALSE(d.Success());
    EXPECT_EQ(StepsOf(d), (Steps{1, 2, N, N, N}));
    EXPECT_EQ(unit.Register(5), 77);
    EXPECT_EQ(unit.Register(0), 0);
    EXPECT_EQ(ShownCount(), 1);
}

TEST_F(TransferTest, CancelDuringTheUnitCheckStopsAfterIt)
{
    Image("4.47");
    unit.SetRegister(5, 77);
    dialog = std::make_unique<frmComm>(state);
    dialog->SetCommType(0);
    dialog->SetXelObject(setup.get());
    QTimer poke;
    int closeTries = 0;
    QObject::connect(&poke, &QTimer::timeout, [&] {
        if (dialog->StepState(1) != 0)
            return;
        // Escape and the close box do nothing while busy; showing again starts nothing.
        dialog->reject();
        dialog->close();
        dialog->hide();
        dialog->show();
        ++closeTries;
        dialog->findChild<QPushButton*>("cmdOK")->click();
        EXPECT_TRUE(dialog->findChild<QLabel*>("lblComm")->isVisible());
        poke.stop();
    });
    poke.start(0);
    dialog->show();
    QElapsedTimer guard;
    guard.start();
    while (!dialog->Finished() && guard.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(closeTries, 1);
    EXPECT_EQ(StepsOf(*dialog), (Steps{1, 1, N, N, N}));
    EXPECT_FALSE(dialog->Success());
    EXPECT_EQ(unit.Register(5), 77);
    EXPECT_EQ(unit.Register(0), 0);
    EXPECT_FALSE(dialog->findChild<QLabel*>("lblComm")->isVisible());
    const int packages = unit.PackagesReceived();
    QCoreApplication::processEvents();
    EXPECT_EQ(unit.PackagesReceived(), packages); // no second transfer was started
    // Idle now: OK closes.
    EXPECT_TRUE(dialog->isVisible());
    dialog->findChild<QPushButton*>("cmdOK")->click();
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(TransferTest, ModalRunReturnsTheDialogsResult)
{
    TransferDialogCloser closer;
    Image("4.47");
    EXPECT_TRUE(unitops::RunSetupTransfer(state, 2, "4.47")); // any type but 1 transmits
    ASSERT_EQ(closer.closed.size(), 1);
    EXPECT_EQ(closer.closed[0].steps, kAllDone);
    unit.SetFault(Unit::Fault::CorruptReadBack, 1);
    unit.SetCorruptRegister(500);
    EXPECT_FALSE(unitops::RunSetupTransfer(state, 0, "4.47"));
    EXPECT_EQ(closer.closed[1].steps, (Steps{1, 1, 1, 2, 1}));
}

TEST_F(TransferTest, DebugFlagsShowTheirMessagesAndOfferTheLog)
{
    state.DebugComm = true;
    frmComm& d = Run(1);
    EXPECT_TRUE(d.Success());
    ASSERT_EQ(ShownCount(), 2);
    EXPECT_EQ(doubles.presenter.shown[0].text, "Start Comm");
    EXPECT_EQ(doubles.presenter.shown[1].text, "Setup loaded from ECX");
}

TEST(TransferOverPty, ReceiveThroughTheRealPort)
{
    testing_doubles::PlatformDoubles doubles;
    ASSERT_TRUE(extra::LoadLanguageLibrary());
    Unit unit;
    ecxsim::PtyServer server(&unit);
    if (!server.Open())
        GTEST_SKIP() << "no pseudo-terminal: " << server.ErrorString().toStdString();
    XelCommTesting::SetMillisecondsPerSecond(250);
    doubles.settings->SetValue("Ports/COM7", server.SlavePath());
    modRegistry::SaveCommPort(7);
    auto setup = CreateDefaultSetupDocument();
    setup->SpeedSensor()->SetNomSpeed(987);
    ASSERT_TRUE(setup->CreateSetup("4.47"));
    QVector<qint32> image;
    setup->GetSetup(image);
    for (int r = 1; r < 1792; ++r)
        unit.SetRegister(r, quint16(image[r]));
    auto target = CreateDefaultSetupDocument();
    MainState state;
    state.SetXelObject(target.get());
    frmComm d(state);
    d.SetCommType(1);
    d.SetXelObject(target.get());
    d.show();
    QElapsedTimer guard;
    guard.start();
    while (!d.Finished() && guard.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_TRUE(d.Success());
    EXPECT_EQ(target->SpeedSensor()->NomSpeed(), 987);
    XelCommTesting::SetMillisecondsPerSecond(1000);
    extra::FreeLanguageLibrary();
}

} // namespace
} // namespace unitops_test
