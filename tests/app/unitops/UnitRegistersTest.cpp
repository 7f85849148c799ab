// The short links to the unit's service registers.
#include "tests/app/unitops/UnitOpsTestSupport.h"

namespace unitops_test {
namespace {

using namespace unitops;

TEST_F(UnitOpsTest, FirmwareAndHardwareVersionTexts)
{
    struct Case {
        quint16 reg;
        const char* firmware;
    } cases[] = {{1030, "4.6"}, {1071, "4.47"}, {0x0314, "3.20"}, {0, "0.0"}, {0xFFFF, "255.255"}};
    for (const Case& c : cases) {
        unit.SetRegister(Unit::FirmwareVersionRegister, c.reg);
        EXPECT_EQ(ReadUnitVersion(true), c.firmware) << c.reg;
    }
    unit.SetRegister(Unit::HardwareVersionRegister, 0x0207);
    EXPECT_EQ(ReadUnitVersion(false), "7");
}

TEST_F(UnitOpsTest, VersionIsNotReadWithoutPortOrAnswer)
{
    modRegistry::SaveCommPort(0);
    EXPECT_EQ(ReadUnitVersion(true), "N/A");
    EXPECT_EQ(frame.portDialogs, 0); // no port dialog for the version
    EXPECT_EQ(unit.PackagesReceived(), 0);
    modRegistry::SaveCommPort(1);
    unit.SetFault(Unit::Fault::Silence);
    EXPECT_EQ(ReadUnitVersion(true), "N/A");
    EXPECT_EQ(ReadUnitVersion(false), "N/A");
}

TEST_F(UnitOpsTest, ProbesWithoutPortAskForOneAndStopWhenCancelled)
{
    modRegistry::SaveCommPort(0);
    EXPECT_FALSE(DetectUnit());
    EXPECT_FALSE(EngineIsStopped());
    EXPECT_FALSE(IsPropulsionUnit());
    EXPECT_FALSE(SendUnitCommand(DeleteLogCommand));
    EXPECT_FALSE(WriteCounterRegisters({1, 2}));
    EXPECT_EQ(frame.portDialogs, 5);
    EXPECT_EQ(unit.PackagesReceived(), 0);
    // A port chosen in the dialog is used at once.
    frame.portDialogCancelled = false;
    EXPECT_TRUE(DetectUnit());
    EXPECT_EQ(wire->portNumber, 1);
    EXPECT_EQ(wire->settings, "9600,o,8,1");
}

TEST_F(UnitOpsTest, ProbesReadTheirRegisters)
{
    unit.SetBit(Unit::PresenceBit, false);
    EXPECT_TRUE(DetectUnit()); // the bit's value is not looked at
    EXPECT_EQ(doubles.status.text, ""); // status text cleared afterwards
    EXPECT_TRUE(EngineIsStopped());
    unit.SetEngineRunning(true);
    EXPECT_FALSE(EngineIsStopped());
    EXPECT_FALSE(IsPropulsionUnit());
    unit.SetUnitType(1);
    EXPECT_TRUE(IsPropulsionUnit());
    unit.SetUnitType(2);
    EXPECT_FALSE(IsPropulsionUnit());

    unit.SetEngineRunning(false);
    unit.SetFault(Unit::Fault::Silence);
    EXPECT_FALSE(DetectUnit());
    EXPECT_FALSE(EngineIsStopped()); // unreadable counts as running
    EXPECT_FALSE(IsPropulsionUnit());
}

TEST_F(UnitOpsTest, CommandKeepsTheHighByteAndRelocks)
{
    unit.SetRegister(Unit::CommandRegister, 0x5A00);
    EXPECT_TRUE(SendUnitCommand(ResetCountersCommand));
    EXPECT_EQ(unit.CommandsDone(), QVector<quint8>{ResetCountersCommand});
    EXPECT_EQ(unit.Register(Unit::CommandRegister), 0x5A00);
    EXPECT_EQ(unit.Register(0), 0);
    EXPECT_FALSE(unit.Unlocked());
    EXPECT_EQ(doubles.time.blocks, QList<int>{3000});
}

TEST_F(UnitOpsTest, CommandNotCarriedOutIsReported)
{
    unit.SetCommandDelay(60000); // the unit never gets to it within the wait
    unit.SetRegister(Unit::CommandRegister, 0x1200);
    EXPECT_FALSE(SendUnitCommand(DeleteLogCommand));
    EXPECT_EQ(unit.Register(Unit::CommandRegister), 0x1200 + DeleteLogCommand);
    EXPECT_EQ(unit.Register(0), 0);
}

TEST_F(UnitOpsTest, RefusedUnlockWritesNothingAndStillRelocks)
{
    struct Case {
        const char* name;
        bool running, q3;
    } cases[] = {{"engine running", true, false}, {"Q3 unit", false, true}};
    for (const Case& c : cases) {
        Unit fresh;
        fresh.SetCommandDelay(0);
        fresh.SetEngineRunning(c.running);
        fresh.SetQ3(c.q3);
        SCOPED_TRACE(c.name);
        wire = Bind(fresh);
        EXPECT_FALSE(SendUnitCommand(DeleteLogCommand));
        EXPECT_FALSE(WriteCounterRegisters({7, 8}));
        EXPECT_TRUE(fresh.CommandsDone().isEmpty());
        EXPECT_EQ(fresh.Register(Unit::CommandRegister), 0);
        EXPECT_EQ(fresh.EngineHours(), 1234);
        EXPECT_EQ(fresh.Register(0), 0);
        // Unlock written, read back, then 0 written: nothing else reached the unit.
        QList<QByteArray> writes = wire->writes;
        ASSERT_GE(writes.size(), 3);
        EXPECT_EQ(writes.last().mid(4, 5), QByteArray("04000")) << writes.last().toStdString();
    }
}

TEST_F(UnitOpsTest, CounterWordsWrittenTogetherAndReadBack)
{
    EXPECT_TRUE(WriteCounterRegisters({2, 3456}));
    EXPECT_EQ(unit.Register(1546), 2);
    EXPECT_EQ(unit.Register(1547), 3456);
    EXPECT_EQ(unit.Register(0), 0);
    EXPECT_EQ(doubles.time.blocks, QList<int>{500});
    // A read-back that differs fails.
    unit.SetFault(Unit::Fault::CorruptReadBack, 1);
    unit.SetCorruptRegister(1547);
    EXPECT_FALSE(WriteCounterRegisters({100, 0}));
    EXPECT_EQ(unit.Register(0), 0);
}

} // namespace
} // namespace unitops_test
