// The short links to the unit's service registers.
#include "tests/app/unitops/UnitOpsTestSupport.h"

namespace unitops_test {
namespace {

using namespace unitops;

TEST_F(UnitOpsTest, VersionTexts)
{
    for (auto [reg, text] : {std::pair{1030, "4.6"}, {1071, "4.47"}, {0x0314, "3.20"}, {0xFFFF, "255.255"}}) {
        unit.SetRegister(Unit::FirmwareVersionRegister, quint16(reg));
        EXPECT_EQ(ReadUnitVersion(true), text) << reg;
    }
    unit.SetRegister(Unit::HardwareVersionRegister, 0x0207);
    EXPECT_EQ(ReadUnitVersion(false), "7");
    unit.SetFault(Unit::Fault::Silence);
    EXPECT_EQ(ReadUnitVersion(true), "N/A");
    modRegistry::SaveCommPort(0);
    EXPECT_EQ(ReadUnitVersion(true), "N/A");
    EXPECT_EQ(frame.portDialogs, 0); // the version read never asks for a port
}

TEST_F(UnitOpsTest, ProbesWithoutPortAskForOne)
{
    modRegistry::SaveCommPort(0);
    EXPECT_FALSE(DetectUnit());
    EXPECT_FALSE(EngineIsStopped());
    EXPECT_FALSE(SendUnitCommand(DeleteLogCommand));
    EXPECT_FALSE(WriteCounterRegisters({1, 2}));
    EXPECT_EQ(frame.portDialogs, 4);
    EXPECT_EQ(unit.PackagesReceived(), 0);
    frame.portDialogCancelled = false; // a port chosen is used at once
    unit.SetBit(Unit::PresenceBit, false); // the bit's value is not looked at
    EXPECT_TRUE(DetectUnit());
    EXPECT_EQ(wire->settings, "9600,o,8,1");
    unit.SetUnitType(1);
    EXPECT_TRUE(IsPropulsionUnit());
    unit.SetEngineRunning(true);
    EXPECT_FALSE(EngineIsStopped());
    unit.SetEngineRunning(false);
    unit.SetFault(Unit::Fault::Silence);
    EXPECT_FALSE(EngineIsStopped()); // unreadable counts as running
}

// The main window as the only frame there is: no command has installed it yet.
class WindowFrame : public QWidget, public FakeFrame {
public:
    explicit WindowFrame(MainState& state) : FakeFrame(state) {}
};

TEST_F(UnitOpsTest, BeforeAnyCommandTheMainWindowStillOffersThePort)
{
    SetUnitLinkFrame(nullptr);
    modRegistry::SaveCommPort(0);
    EXPECT_FALSE(DetectUnit()); // no window: nobody to ask
    WindowFrame window(state);
    window.portDialogCancelled = false;
    EXPECT_TRUE(DetectUnit());
    EXPECT_EQ(window.portDialogs, 1);
    EXPECT_EQ(frame.portDialogs, 0);
}

TEST_F(UnitOpsTest, CommandKeepsTheHighByteAndRelocks)
{
    unit.SetCommandDelay(0);
    unit.SetRegister(Unit::CommandRegister, 0x5A00);
    EXPECT_TRUE(SendUnitCommand(ResetCountersCommand));
    EXPECT_EQ(unit.Register(Unit::CommandRegister), 0x5A00);
    EXPECT_EQ(unit.Register(0), 0);
    EXPECT_EQ(doubles.time.blocks, QList<int>{3000});
    EXPECT_TRUE(WriteCounterRegisters({2, 3456}));
    EXPECT_EQ(unit.EngineHours(), 23456);
    EXPECT_EQ(unit.Register(0), 0);
}

TEST_F(UnitOpsTest, RefusedUnlockWritesNothingAndRelocks)
{
    for (bool q3 : {false, true}) {
        Unit fresh;
        fresh.SetCommandDelay(0);
        q3 ? fresh.SetQ3(true) : fresh.SetEngineRunning(true);
        wire = Bind(fresh);
        EXPECT_FALSE(SendUnitCommand(DeleteLogCommand));
        EXPECT_FALSE(WriteCounterRegisters({7, 8}));
        EXPECT_TRUE(fresh.CommandsDone().isEmpty());
        EXPECT_EQ(fresh.EngineHours(), 1234);
        EXPECT_EQ(fresh.Register(0), 0);
        EXPECT_EQ(wire->writes.last().mid(4, 5), QByteArray("04000")); // the relock came last
    }
}

} // namespace
} // namespace unitops_test
