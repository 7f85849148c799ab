// The log-download text protocol of the simulated unit.
#include "UnitTestSupport.h"

#include <gtest/gtest.h>

using namespace ecxsim_test;
using ecxsim::Unit;
using Section = ecxsim::Unit::LogSection;

namespace {

TEST(UnitLog, EachSectionAnswersItsTextInBursts)
{
    Unit unit;
    Line line(unit);
    unit.SetLogBurst(10, 0);
    unit.SetLogText(Section::Information, "Information text of 35 characters.");
    unit.SetLogText(Section::Counters, "Hours 12");
    unit.SetLogText(Section::Log, QByteArray("line 1\r\nline 2\r\n\x00\xFF", 18));

    unit.Receive("\x1bI");
    EXPECT_EQ(line.pieces.size(), 4);
    EXPECT_EQ(line.Take(), QByteArray("Information text of 35 characters."));
    unit.Receive("\x1b");
    EXPECT_TRUE(line.all.isEmpty());
    unit.Receive("C");
    EXPECT_EQ(line.Take(), QByteArray("Hours 12"));
    unit.Receive("\x1bL");
    EXPECT_EQ(line.Take(), QByteArray("line 1\r\nline 2\r\n\x00\xFF", 18));
    EXPECT_EQ(unit.PackagesAnswered(), 0);
}

TEST(UnitLog, BurstsComeAtTheirInterval)
{
    Unit unit;
    Line line(unit);
    unit.SetLogBurst(4, 10);
    unit.SetLogText(Section::Counters, "0123456789AB");
    unit.Receive("\x1b" "C");
    EXPECT_EQ(line.all, QByteArray("0123")); // only the first burst at once
    EXPECT_TRUE(unit.Sending());
    EXPECT_TRUE(WaitFor([&] { return !unit.Sending(); }));
    EXPECT_EQ(line.pieces, (QList<QByteArray>{"0123", "4567", "89AB"}));
}

TEST(UnitLog, UnknownLettersAndNoiseAreIgnored)
{
    Unit unit;
    Line line(unit);
    unit.SetLogBurst(64, 0);
    unit.SetLogText(Section::Log, "log");
    unit.Receive("\x1bX\x1b\x1bQ");
    EXPECT_TRUE(line.all.isEmpty());
    unit.Receive("zz\x1bL");
    EXPECT_EQ(line.Take(), QByteArray("log"));
}

TEST(UnitLog, RequestsMixWithPackages)
{
    Unit unit;
    Line line(unit);
    unit.SetLogBurst(64, 0);
    unit.SetLogText(Section::Information, "info");
    unit.Receive(QByteArray("\x1bI") + GetRegisters(0, 1) + "\x1bI");
    const QByteArray out = line.Take();
    EXPECT_EQ(out.left(4), QByteArray("info"));
    EXPECT_EQ(out.mid(4, 15).size(), 15);
    EXPECT_EQ(out.right(4), QByteArray("info"));
}

TEST(UnitLog, DeletedLogAnswersNothing)
{
    Unit unit;
    unit.SetCommandDelay(0);
    Line line(unit);
    unit.Receive(SetRegisters(0, {Unit::WriteUnlockCode}));
    unit.Receive(SetRegisters(2, {Unit::DeleteLogCommand}));
    line.Take();
    unit.Receive("\x1bL");
    EXPECT_TRUE(line.Take().isEmpty());
}

TEST(UnitLog, SilentUnitAnswersNoLogEither)
{
    Unit unit;
    Line line(unit);
    unit.SetFault(Unit::Fault::Silence, 1);
    unit.Receive("\x1bI");
    EXPECT_TRUE(line.Take().isEmpty());
    unit.SetLogBurst(1000, 0);
    unit.Receive("\x1bI");
    EXPECT_EQ(line.Take(), unit.LogText(Section::Information));
}

} // namespace
