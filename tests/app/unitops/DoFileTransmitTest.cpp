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

namespace unitops_test {
namespace {

using platform::MsgResult::Cancel;
using platform::MsgResult::No;
using platform::MsgResult::Yes;
using Arrange = std::function<void(XelObject&)>;

class TransmitCommand : public UnitOpsTest {
protected:
    TransferDialogCloser closer;
    QVector<quint16> before;

    void SetUp() override
    {
        UnitOpsTest::SetUp();
        // A setup no gate objects to: both pickups, no input active, K7 and K9 as required.
        XelObject& s = *setup;
        s.SpeedSensor()->SetPickupType(0, 1);
        s.SpeedSensor()->SetPickupType(1, 1);
        for (XelAnalogIn* a : s.AnalogIn()->NewEnum())
            a->SetActive(false);
        for (XelDigitalIn* d : s.DigitalIn()->NewEnum())
            d->SetActive(false);
        for (cRelay* list : {s.Relay(), s.RelayNew()})
            for (XelRelay* r : list->NewEnum())
                r->SetInUse(r->InUse() && r->FunctionNo() != 75);
        s.RelayNew()->Item(1)->SetFunctionNo(46);
        s.RelayNew()->Item(2)->SetFunctionNo(66);
        for (int r = 1; r < 2000; ++r)
            unit.SetRegister(r, quint16(r * 3));
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
};

TEST_F(TransmitCommand, ConfirmationsAndTheirSkips)
{
    struct Case {
        bool shift, expert, runSignal;
        QList<int> answers;
        QList<quint16> asked;
        bool transmitted;
    } cases[] = {
        {false, false, true, {No}, {130}, false},
        {false, false, false, {Yes, No}, {130, 135}, false},
        {false, false, false, {Yes, Yes}, {130, 135}, true},
        {true, false, false, {}, {}, true},
        {false, true, false, {}, {}, true},
    };
    for (const Case& c : cases) {
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
        EXPECT_EQ(doubles.status.text, c.transmitted ? extra::FormatLangString(223) : QString());
        if (!c.transmitted) {
            EXPECT_TRUE(UnitUntouched());
        }
    }
    QVector<qint32> image;
    setup->GetSetup(image);
    for (int r = 1; r < 1792; ++r)
        ASSERT_EQ(unit.Register(r), quint16(image[r])) << r;
    EXPECT_EQ(unit.Register(0), 0);
}

TEST_F(TransmitCommand, NoPickupAndNoRunSignalRefusedEvenWithShift)
{
    doubles.keys.shift = true;
    setup->SpeedSensor()->SetPickupType(0, 0);
    setup->SpeedSensor()->SetPickupType(1, 0);
    EXPECT_FALSE(Transmit({}));
    ASSERT_TRUE(Shown(142));
    EXPECT_EQ(doubles.presenter.shown[0].style, 48 + 65536);
    EXPECT_EQ(unit.PackagesReceived(), 0);
}

struct GateCase {
    const char* name;
    const char* firmware;
    Arrange arrange;
    QList<int> answers;
    quint16 shown; // 0: nothing shown
    QVariantList args;
    bool transmitted;
    Arrange check = {};
};
void PrintTo(const GateCase& c, std::ostream* os) { *os << c.name; }

Arrange Analog(int i, std::function<void(XelAnalogIn*)> f)
{
    return [=](XelObject& s) { s.AnalogIn()->Item(i)->SetActive(true), f(s.AnalogIn()->Item(i)); };
}
Arrange Relay(bool relayNew, int i, int function)
{
    return [=](XelObject& s) {
        XelRelay* r = (relayNew ? s.RelayNew() : s.Relay())->Item(i);
        r->SetFunctionNo(function);
        r->SetInUse(true);
    };
}
const Arrange kNothing = [](XelObject&) {};
const Arrange kT44 = [](XelObject& s) { s.Relay()->SetRelayT44DisableBW(true); };
const Arrange kFuel = [](XelObject& s) { s.Main()->SetOperationMode(2), s.StandbyOperation()->SetFuelConsumption(1); };
const Arrange kOverride = [](XelObject& s) { s.Main()->SetShutdownOverride(true); };
const Arrange kRpm = Analog(4, [](XelAnalogIn* a) { a->SetAction(7); });
const Arrange kNegative = [](XelObject& s) {
    Analog(3, [](XelAnalogIn* a) { a->SetSensorMin(-5); })(s);
    Analog(7, [](XelAnalogIn* a) { a->SetSensorMin(-1); })(s);
};
const Arrange kBusSwitch = [](XelObject& s) {
    s.Main()->SetCAN(true);
    s.DigitalIn()->Item(2)->SetActive(true);
    s.DigitalIn()->Item(2)->SetInputType(4);
};

// J1939/J1587 on with its bus channels, none in use.
const Arrange kBusChannels = [](XelObject& s) {
    for (int n = 12; n <= 17; ++n)
        s.Main()->SetCAN(true), s.AnalogIn()->Add(n, "J1939");
};

// J1939/J1587 on, no input on the bus, the two pickups from these sources.
Arrange BusPickups(int one, int two)
{
    return [=](XelObject& s) {
        s.Main()->SetCAN(true);
        s.SpeedSensor()->SetPickupType(0, quint8(one));
        s.SpeedSensor()->SetPickupType(1, quint8(two));
    };
}
Arrange KeepsBus(int one, int two)
{
    return [=](XelObject& s) {
        EXPECT_TRUE(s.Main()->CAN());
        EXPECT_EQ(s.SpeedSensor()->PickupType(0), one);
        EXPECT_EQ(s.SpeedSensor()->PickupType(1), two);
    };
}

class TransmitGates : public TransmitCommand, public ::testing::WithParamInterface<GateCase> {};

TEST_P(TransmitGates, AtTheirBoundaries)
{
    const GateCase& c = GetParam();
    state.ExpertMode = true; // no confirmations: only the firmware messages
    ASSERT_TRUE(unit.SetFirmwareVersion(QString(c.firmware)));
    before = Snapshot();
    c.arrange(*setup);
    EXPECT_EQ(Transmit(c.answers), c.transmitted);
    EXPECT_EQ(ShownCount(), c.shown ? 1 : 0);
    if (c.shown) {
        EXPECT_TRUE(Shown(c.shown, c.args)) << doubles.presenter.shown.value(0).text.toStdString();
    }
    if (!c.transmitted)
        EXPECT_TRUE(UnitUntouched());
    else
        EXPECT_EQ(frame.transmits, QStringList{c.firmware});
    if (c.check)
        c.check(*setup);
}

INSTANTIATE_TEST_SUITE_P(
    Firmware, TransmitGates,
    ::testing::Values(
        GateCase{"newer", "4.48", kNothing, {}, 99, {XelObject().Version(), "4.48", "4.47"}, true},
        GateCase{"newest", "4.47", kNothing, {}, 0, {}, true},
        GateCase{"K7K9SetWithoutAsking", "3.9", Relay(true, 1, 0), {}, 0, {}, true,
                 [](XelObject& s) { EXPECT_EQ(s.RelayNew()->Item(1)->FunctionNo(), 46); }},
        GateCase{"T44No", "4.19", kT44, {No}, 169, {"4.19", "4.20"}, false},
        GateCase{"T44At420", "4.20", kT44, {}, 0, {}, true},
        GateCase{"AckYes", "4.8", [](XelObject& s) { s.Main()->SetAckOnWarning(true); }, {Yes}, 167, {"4.8", "4.20"}, true},
        GateCase{"PrinterNo", "4.19", [](XelObject& s) { s.Main()->SetPrinterOutput(true); }, {No}, 168, {"4.19", "4.20"}, false},
        GateCase{"CommonAlarmYes", "4.19", Relay(false, 1, 75), {Yes}, 166, {"4.19", "4.20", "Common Alarm"}, true,
                 [](XelObject& s) { EXPECT_FALSE(s.Relay()->Item(1)->InUse() || s.Relay()->Item(1)->FunctionNo()); }},
        GateCase{"CommonAlarmNo", "4.19", Relay(true, 2, 75), {No}, 166, {"4.19", "4.20", "Common Alarm"}, false},
        GateCase{"CommonAlarmAt420", "4.20", Relay(false, 1, 75), {}, 0, {}, true},
        GateCase{"Negative", "4.10", kNegative, {}, 163, {"4.10", "4.19", "3, 7"}, false},
        GateCase{"NegativeAt419", "4.19", kNegative, {}, 0, {}, true},
        GateCase{"Rpm", "4.2", kRpm, {}, 179, {"4.2", "4.3", "4"}, false},
        GateCase{"RpmAt43", "4.3", kRpm, {}, 0, {}, true},
        GateCase{"BusSwitch", "4.2", kBusSwitch, {}, 192, {"4.2", "4.3", "2"}, false},
        GateCase{"BusSwitchWithoutCAN", "4.2", [](XelObject& s) { kBusSwitch(s), s.Main()->SetCAN(false); }, {}, 0, {}, true},
        GateCase{"CANOffOnYes", "4.2", [](XelObject& s) { s.Main()->SetCAN(true); }, {Yes}, 187, {"4.2", "4.3"}, true,
                 [](XelObject& s) { EXPECT_FALSE(s.Main()->CAN()); }},
        GateCase{"CANOffTakesTheBusChannels", "3.9", kBusChannels, {Yes}, 187, {"3.9", "4.3"}, true,
                 [](XelObject& s) {
                     EXPECT_FALSE(s.Main()->CAN());
                     EXPECT_EQ(s.AnalogIn()->Count(), 11);
                 }},
        GateCase{"BusBattery", "4.2", [](XelObject& s) { s.Main()->SetCAN(true), s.Battery()->SetBatteryVoltage(999.0f); },
                 {}, 186, {"4.2", "4.3", "External Source (J1939 / J1587)"}, false},
        GateCase{"J1939Battery", "4.2", [](XelObject& s) { s.Main()->SetCAN(true), s.Battery()->SetBatteryVoltage(1.0f); },
                 {}, 186, {"4.2", "4.3", "Read From J1939"}, false},
        GateCase{"J1587Battery", "3.9", [](XelObject& s) { s.Main()->SetCAN(true), s.Battery()->SetBatteryVoltage(2.0f); },
                 {}, 186, {"3.9", "4.3", "Read From J1587"}, false},
        // A pickup that reads the bus keeps it on: refused, the setup as it was.
        GateCase{"J1939Pickup", "4.2", BusPickups(2, 2), {}, 198, {"4.2", "4.3", "Read From J1939"}, false, KeepsBus(2, 2)},
        GateCase{"J1587Pickup", "3.9", BusPickups(3, 0), {}, 198, {"3.9", "4.3", "Read From J1587"}, false, KeepsBus(3, 0)},
        GateCase{"LocalAndBusPickup", "4.2", BusPickups(1, 3), {}, 198, {"4.2", "4.3", "Read From J1587"}, false,
                 KeepsBus(1, 3)},
        GateCase{"NoSignalYes", "4.3", Analog(5, [](XelAnalogIn* a) { a->SetInputType(3); }), {Yes}, 193, {"5"}, true,
                 [](XelObject& s) { EXPECT_FALSE(s.AnalogIn()->Item(5)->Active()); }},
        GateCase{"NoSignalBothNo", "4.47",
                 [](XelObject& s) {
                     Analog(5, [](XelAnalogIn* a) { a->SetInputType(3); })(s);
                     s.DigitalIn()->Item(6)->SetActive(true);
                     s.DigitalIn()->Item(6)->SetInputType(4);
                 },
                 {No}, 185, {"5", "6"}, false},
        GateCase{"FuelNo", "4.7", kFuel, {No}, 188, {"4.7", "4.8"}, false},
        GateCase{"FuelAt48", "4.8", kFuel, {}, 0, {}, true},
        GateCase{"Override", "4.39", kOverride, {}, 160, {"4.39", "4.47"}, true},
        GateCase{"OverrideAt440", "4.40", kOverride, {}, 0, {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransmitCommand, FirstGenerationQuestions)
{
    unit.SetFirmwareVersion(3, 9);
    before = Snapshot();
    setup->RelayNew()->Item(2)->SetFunctionNo(0);
    EXPECT_FALSE(Transmit({Yes, No}));
    EXPECT_TRUE(Shown(109, {"3.9", setup->Version()}));
    EXPECT_FALSE(Transmit({Yes, Yes, Cancel}));
    EXPECT_TRUE(Shown(144, {"3.9"}));
    EXPECT_EQ(frame.selectedTabs, QList<int>{TabRelays});
    EXPECT_EQ(setup->RelayNew()->Item(2)->FunctionNo(), 0);
    EXPECT_TRUE(UnitUntouched());
    EXPECT_TRUE(Transmit({Yes, Yes, Yes}));
    EXPECT_EQ(setup->RelayNew()->Item(2)->FunctionNo(), 66);
    EXPECT_EQ(frame.backupWindows, 0); // not below 4.00
}

TEST_F(TransmitCommand, UnknownFirmwareFiresNoGateAndUnbuildableImageIsNamed)
{
    modRegistry::SaveCommPort(0);
    frame.runTransfer = false;
    state.ExpertMode = true;
    kOverride(*setup);
    kNegative(*setup);
    EXPECT_FALSE(Transmit({}));
    EXPECT_EQ(ShownCount(), 0);
    EXPECT_EQ(frame.transmits, QStringList{"N/A"});
    EXPECT_EQ(doubles.status.text, extra::FormatLangString(225));

    modRegistry::SaveCommPort(1);
    setup->SpeedSensor()->SetSpeeding(-1);
    EXPECT_FALSE(Transmit({}));
    ASSERT_EQ(ShownCount(), 1);
    EXPECT_TRUE(doubles.presenter.shown[0].text.contains("\nSpeedSensor: Speeding\n"));
    EXPECT_EQ(frame.transmits.size(), 1);
    EXPECT_TRUE(UnitUntouched());
}

} // namespace
} // namespace unitops_test
