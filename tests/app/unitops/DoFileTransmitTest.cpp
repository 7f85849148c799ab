// The transmit command: confirmations, the firmware gates at their boundaries, the setup
// changes it makes, and that a stop writes nothing to the unit.
#include "tests/app/unitops/UnitOpsTestSupport.h"

#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelBattery.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelRelay.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/XelStandbyOperation.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cRelay.h"

#include <functional>

namespace unitops_test {
namespace {

using platform::MsgResult::Cancel;
using platform::MsgResult::No;
using platform::MsgResult::Yes;

class TransmitCommand : public UnitOpsTest {
protected:
    TransferDialogCloser closer;
    QVector<quint16> before;

    void SetUp() override
    {
        UnitOpsTest::SetUp();
        // A setup no gate objects to: both pickups, nothing active, K7/K9 as required.
        XelObject& s = *setup;
        s.SpeedSensor()->SetPickupType(0, 1);
        s.SpeedSensor()->SetPickupType(1, 1);
        for (XelAnalogIn* a : s.AnalogIn()->NewEnum())
            a->SetActive(false);
        for (XelDigitalIn* d : s.DigitalIn()->NewEnum())
            d->SetActive(false);
        for (cRelay* list : {s.Relay(), s.RelayNew()})
            for (XelRelay* r : list->NewEnum())
                if (r->FunctionNo() == 75)
                    r->SetInUse(false);
        s.RelayNew()->Item(1)->SetFunctionNo(46);
        s.RelayNew()->Item(2)->SetFunctionNo(66);
        s.Main()->SetAckOnWarning(false);
        s.Main()->SetPrinterOutput(false);
        s.Main()->SetShutdownOverride(false);
        s.Main()->SetCAN(false);
        s.Relay()->SetRelayT44DisableBW(false);
        s.RelayNew()->SetRelayT44DisableBW(false);
        FillRegisters(1, 2000, 9);
        before = Snapshot();
    }
    QVector<quint16> Snapshot() const
    {
        QVector<quint16> r;
        for (int i = 0; i < Unit::RegisterCount; ++i)
            r << unit.Register(i);
        return r;
    }
    bool UnitUntouched() const { return Snapshot() == before && !unit.Unlocked(); }
    bool Transmit(QList<int> answers)
    {
        doubles.presenter.answers = answers;
        return unitops::DoFileTransmit(state);
    }
    int StyleOf(quint16 id, const QVariantList& args = {}) const
    {
        const QString text = extra::FormatLangString(id, args);
        for (const auto& s : doubles.presenter.shown)
            if (s.text == text)
                return s.style;
        return -1;
    }
    XelAnalogIn* Analog(int i) const { return setup->AnalogIn()->Item(i); }
    XelDigitalIn* Digital(int i) const { return setup->DigitalIn()->Item(i); }
};

TEST_F(TransmitCommand, ConfirmedTransmitWritesAndVerifies)
{
    EXPECT_TRUE(Transmit({Yes}));
    EXPECT_EQ(StyleOf(130), 4 + 32 + 256 + 65536);
    EXPECT_EQ(ShownCount(), 1);
    EXPECT_EQ(frame.transmits, QStringList{"4.47"});
    ASSERT_EQ(closer.closed.size(), 1);
    EXPECT_TRUE(closer.closed[0].success);
    QVector<qint32> image;
    setup->GetSetup(image);
    for (int r = 1; r < 1792; ++r)
        ASSERT_EQ(unit.Register(r), quint16(image[r])) << r;
    EXPECT_EQ(unit.Register(0), 0);
    EXPECT_EQ(doubles.status.text, extra::FormatLangString(223));
    EXPECT_EQ(frame.backupWindows, 1);
    EXPECT_EQ(frame.channelChecks, 1);
}

TEST_F(TransmitCommand, ConfirmationsAndTheirSkips)
{
    struct Case {
        const char* name;
        bool shift, expert, runSignal;
        QList<int> answers;
        QList<quint16> asked;
        bool transmitted;
    } cases[] = {
        {"No to the confirmation", false, false, true, {No}, {130}, false},
        {"No to the run signal question", false, false, false, {Yes, No}, {130, 135}, false},
        {"both Yes", false, false, false, {Yes, Yes}, {130, 135}, true},
        {"Shift skips both", true, false, false, {}, {}, true},
        {"expert mode skips both", false, true, false, {}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doubles.presenter.shown.clear();
        frame.backupWindows = 0;
        doubles.keys.shift = c.shift;
        state.ExpertMode = c.expert;
        setup->SpeedSensor()->SetPickupType(1, c.runSignal ? 1 : 0);
        EXPECT_EQ(Transmit(c.answers), c.transmitted);
        for (quint16 id : c.asked)
            EXPECT_TRUE(Shown(id)) << id;
        EXPECT_EQ(ShownCount(), c.asked.size());
        EXPECT_EQ(frame.backupWindows, c.transmitted && !c.shift && !c.expert ? 1 : 0);
        if (!c.transmitted)
            EXPECT_TRUE(UnitUntouched());
    }
}

TEST_F(TransmitCommand, NoPickupAndNoRunSignalRefusedEvenWithShift)
{
    doubles.keys.shift = true;
    setup->SpeedSensor()->SetPickupType(0, 0);
    setup->SpeedSensor()->SetPickupType(1, 0);
    EXPECT_FALSE(Transmit({}));
    EXPECT_TRUE(Shown(142));
    EXPECT_EQ(StyleOf(142), 48 + 65536);
    EXPECT_EQ(unit.PackagesReceived(), 0);
    // An additional run signal is enough.
    Analog(2)->SetActive(true);
    Analog(2)->SetRUNAlsoDetectedBy(true);
    Analog(2)->SetText("Oil");
    EXPECT_TRUE(Transmit({}));
}

struct Msg {
    quint16 id;
    QVariantList args;
};

struct GateCase {
    const char* name;
    const char* firmware;
    std::function<void(XelObject&)> arrange;
    QList<int> answers;
    QList<Msg> shown;
    bool transmitted;
    std::function<void(XelObject&)> check = {};
};

void PrintTo(const GateCase& c, std::ostream* os) { *os << c.name; }

class TransmitGates : public TransmitCommand, public ::testing::WithParamInterface<GateCase> {};

TEST_P(TransmitGates, AtTheirBoundaries)
{
    const GateCase& c = GetParam();
    state.ExpertMode = true; // no confirmations: only the firmware messages
    ASSERT_TRUE(unit.SetFirmwareVersion(QString(c.firmware)));
    before = Snapshot();
    c.arrange(*setup);
    EXPECT_EQ(Transmit(c.answers), c.transmitted);
    for (const Msg& m : c.shown)
        EXPECT_TRUE(Shown(m.id, m.args)) << m.id;
    QStringList texts;
    for (const auto& s : doubles.presenter.shown)
        texts << s.text;
    EXPECT_EQ(ShownCount(), c.shown.size()) << texts.join("\n---\n").toStdString();
    if (!c.transmitted)
        EXPECT_TRUE(UnitUntouched());
    else
        EXPECT_EQ(frame.transmits, QStringList{c.firmware});
    if (c.check)
        c.check(*setup);
}

void Nothing(XelObject&) {}

const QString kVersion = XelObject().Version();

INSTANTIATE_TEST_SUITE_P(
    Firmware, TransmitGates,
    ::testing::Values(
        GateCase{"newer than supported", "4.48", Nothing, {}, {{99, {kVersion, "4.48", "4.47"}}}, true},
        GateCase{"4.47 itself", "4.47", Nothing, {}, {}, true},
        GateCase{"first generation asks nothing in expert mode and sets K7/K9", "3.9",
                 [](XelObject& s) { s.RelayNew()->Item(1)->SetFunctionNo(0); }, {}, {}, true,
                 [](XelObject& s) {
                     EXPECT_EQ(s.RelayNew()->Item(1)->FunctionNo(), 46);
                     EXPECT_TRUE(s.RelayNew()->Item(1)->InUse());
                     EXPECT_EQ(s.RelayNew()->Item(2)->FunctionNo(), 66);
                 }},
        GateCase{"T44 below 4.20, No", "4.19", [](XelObject& s) { s.Relay()->SetRelayT44DisableBW(true); }, {No},
                 {{169, {"4.19", "4.20"}}}, false},
        GateCase{"T44 at 4.20", "4.20", [](XelObject& s) { s.Relay()->SetRelayT44DisableBW(true); }, {}, {}, true},
        GateCase{"acknowledge below 4.20, Yes goes on", "4.8", [](XelObject& s) { s.Main()->SetAckOnWarning(true); },
                 {Yes}, {{167, {"4.8", "4.20"}}}, true},
        GateCase{"printer output below 4.20, No", "4.19", [](XelObject& s) { s.Main()->SetPrinterOutput(true); }, {No},
                 {{168, {"4.19", "4.20"}}}, false},
        GateCase{"common alarm below 4.20 removed on Yes", "4.19",
                 [](XelObject& s) {
                     s.Relay()->Item(1)->SetFunctionNo(75);
                     s.Relay()->Item(1)->SetInUse(true);
                 },
                 {Yes}, {{166, {"4.19", "4.20", "Common Alarm"}}}, true,
                 [](XelObject& s) {
                     EXPECT_EQ(s.Relay()->Item(1)->FunctionNo(), 0);
                     EXPECT_FALSE(s.Relay()->Item(1)->InUse());
                 }},
        GateCase{"common alarm below 4.20 kept on No", "4.19",
                 [](XelObject& s) {
                     s.RelayNew()->Item(2)->SetFunctionNo(75);
                     s.RelayNew()->Item(2)->SetInUse(true);
                 },
                 {No}, {{166, {"4.19", "4.20", "Common Alarm"}}}, false,
                 [](XelObject& s) { EXPECT_EQ(s.RelayNew()->Item(2)->FunctionNo(), 75); }},
        GateCase{"common alarm at 4.20", "4.20",
                 [](XelObject& s) {
                     s.Relay()->Item(1)->SetFunctionNo(75);
                     s.Relay()->Item(1)->SetInUse(true);
                 },
                 {}, {}, true},
        GateCase{"negative scaling at 4.10", "4.10",
                 [](XelObject& s) {
                     for (int i : {3, 7}) {
                         s.AnalogIn()->Item(i)->SetActive(true);
                         s.AnalogIn()->Item(i)->SetSensorMin(-5);
                     }
                 },
                 {}, {{163, {"4.10", "4.19", "3, 7"}}}, false},
        GateCase{"negative scaling at 4.19", "4.19",
                 [](XelObject& s) {
                     s.AnalogIn()->Item(3)->SetActive(true);
                     s.AnalogIn()->Item(3)->SetSensorMin(-5);
                 },
                 {}, {}, true},
        GateCase{"RPM dependent below 4.3", "4.2",
                 [](XelObject& s) {
                     s.AnalogIn()->Item(4)->SetActive(true);
                     s.AnalogIn()->Item(4)->SetAction(7);
                 },
                 {}, {{179, {"4.2", "4.3", "4"}}}, false},
        GateCase{"RPM dependent at 4.3", "4.3",
                 [](XelObject& s) {
                     s.AnalogIn()->Item(4)->SetActive(true);
                     s.AnalogIn()->Item(4)->SetAction(7);
                 },
                 {}, {}, true},
        GateCase{"bus switch input below 4.3", "4.2",
                 [](XelObject& s) {
                     s.Main()->SetCAN(true);
                     s.DigitalIn()->Item(2)->SetActive(true);
                     s.DigitalIn()->Item(2)->SetInputType(4);
                 },
                 {}, {{192, {"4.2", "4.3", "2"}}}, false},
        GateCase{"bus switch input below 4.3 without CAN", "4.2",
                 [](XelObject& s) {
                     s.DigitalIn()->Item(2)->SetActive(true);
                     s.DigitalIn()->Item(2)->SetInputType(4);
                 },
                 {}, {}, true},
        GateCase{"CAN without bus inputs below 4.3, Yes turns it off", "4.2",
                 [](XelObject& s) { s.Main()->SetCAN(true); }, {Yes}, {{187, {"4.2", "4.3"}}}, true,
                 [](XelObject& s) { EXPECT_FALSE(s.Main()->CAN()); }},
        GateCase{"bus battery voltage below 4.3", "4.2",
                 [](XelObject& s) {
                     s.Main()->SetCAN(true);
                     s.Battery()->SetBatteryVoltage(999.0f);
                 },
                 {}, {{186, {"4.2", "4.3", ""}}}, false},
        GateCase{"bus inputs without a signal at 4.3, Yes deactivates", "4.3",
                 [](XelObject& s) {
                     s.AnalogIn()->Item(5)->SetActive(true);
                     s.AnalogIn()->Item(5)->SetInputType(3);
                 },
                 {Yes}, {{193, {"5"}}}, true,
                 [](XelObject& s) { EXPECT_FALSE(s.AnalogIn()->Item(5)->Active()); }},
        GateCase{"bus inputs without a signal, both lists, No", "4.47",
                 [](XelObject& s) {
                     s.AnalogIn()->Item(5)->SetActive(true);
                     s.AnalogIn()->Item(5)->SetInputType(3);
                     s.DigitalIn()->Item(6)->SetActive(true);
                     s.DigitalIn()->Item(6)->SetInputType(4);
                 },
                 {No}, {{185, {"5", "6"}}}, false},
        GateCase{"fuel consumption below 4.8, No", "4.7",
                 [](XelObject& s) {
                     s.Main()->SetOperationMode(2);
                     s.StandbyOperation()->SetFuelConsumption(1);
                 },
                 {No}, {{188, {"4.7", "4.8"}}}, false},
        GateCase{"fuel consumption at 4.8", "4.8",
                 [](XelObject& s) {
                     s.Main()->SetOperationMode(2);
                     s.StandbyOperation()->SetFuelConsumption(1);
                 },
                 {}, {}, true},
        GateCase{"shutdown override below 4.40 only informs", "4.39",
                 [](XelObject& s) { s.Main()->SetShutdownOverride(true); }, {}, {{160, {"4.39", "4.47"}}}, true},
        GateCase{"shutdown override at 4.40", "4.40", [](XelObject& s) { s.Main()->SetShutdownOverride(true); }, {},
                 {}, true}),
    [](const ::testing::TestParamInfo<GateCase>& info) {
        std::string name;
        for (const char* p = info.param.name; *p; ++p)
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

TEST_F(TransmitCommand, FirstGenerationQuestions)
{
    unit.SetFirmwareVersion(3, 9);
    setup->RelayNew()->Item(2)->SetFunctionNo(0);
    before = Snapshot();
    // No to the new-features question.
    EXPECT_FALSE(Transmit({Yes, No}));
    EXPECT_TRUE(Shown(109, {"3.9", setup->Version()}));
    // Cancel to the relay question: the Relays tab, nothing sent.
    doubles.presenter.shown.clear();
    EXPECT_FALSE(Transmit({Yes, Yes, Cancel}));
    EXPECT_TRUE(Shown(144, {"3.9"}));
    EXPECT_EQ(frame.selectedTabs, QList<int>{TabRelays});
    EXPECT_EQ(setup->RelayNew()->Item(2)->FunctionNo(), 0);
    EXPECT_TRUE(UnitUntouched());
    // Yes fixes the relays and goes on; no backup window below 4.00.
    EXPECT_TRUE(Transmit({Yes, Yes, Yes}));
    EXPECT_EQ(setup->RelayNew()->Item(2)->FunctionNo(), 66);
    EXPECT_EQ(frame.backupWindows, 0);
}

TEST_F(TransmitCommand, UnknownFirmwareFiresNoGate)
{
    modRegistry::SaveCommPort(0);
    frame.runTransfer = false;
    state.ExpertMode = true;
    setup->Main()->SetShutdownOverride(true);
    setup->Main()->SetAckOnWarning(true);
    Analog(3)->SetActive(true);
    Analog(3)->SetSensorMin(-5);
    EXPECT_FALSE(Transmit({}));
    EXPECT_EQ(ShownCount(), 0);
    EXPECT_EQ(frame.transmits, QStringList{"N/A"});
    EXPECT_EQ(doubles.status.text, extra::FormatLangString(225));
    EXPECT_EQ(frame.backupWindows, 0);
}

TEST_F(TransmitCommand, FailedVerificationIsReportedAsNotTransmitted)
{
    state.ExpertMode = true;
    unit.SetFault(Unit::Fault::CorruptReadBack, 1);
    unit.SetCorruptRegister(42);
    EXPECT_FALSE(Transmit({}));
    EXPECT_EQ(doubles.status.text, extra::FormatLangString(225));
    EXPECT_EQ(frame.backupWindows, 0);
    EXPECT_EQ(unit.Register(0), 0);
}

TEST_F(TransmitCommand, ValueTheImageCannotCarryIsNamedAndNothingSent)
{
    state.ExpertMode = true;
    setup->SpeedSensor()->SetSpeeding(-1);
    EXPECT_FALSE(Transmit({}));
    ASSERT_EQ(ShownCount(), 1);
    EXPECT_TRUE(doubles.presenter.shown[0].text.contains("\nSpeedSensor: Speeding\n"));
    EXPECT_TRUE(frame.transmits.isEmpty());
    EXPECT_TRUE(UnitUntouched());
    EXPECT_EQ(doubles.status.text, "");
}

TEST_F(TransmitCommand, DescriptionQuestionEndsBeforeTheUnit)
{
    state.ExpertMode = true;
    frame.channelDescriptionsOk = false;
    EXPECT_FALSE(Transmit({}));
    EXPECT_TRUE(frame.transmits.isEmpty());
    EXPECT_EQ(unit.PackagesReceived(), 1); // the version read alone
    EXPECT_TRUE(UnitUntouched());
}

} // namespace
} // namespace unitops_test
