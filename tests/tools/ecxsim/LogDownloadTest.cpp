// The log-download text protocol of the simulated unit.
#include "UnitTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

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

// Unless a text is given, the counters section reads the counter registers as they are when
// asked: set by the test, written by the master, or cleared by the reset command.
TEST(UnitLog, CountersFollowTheCounterRegisters)
{
    const struct {
        const char* what;
        std::function<void(Unit&)> arrange;
        QByteArray firstLine;
    } cases[] = {
        {"as made", [](Unit&) {}, "Engine hours      1234\r\n"},
        {"set", [](Unit& u) { u.SetEngineHours(56789); }, "Engine hours     56789\r\n"},
        {"written by the master",
         [](Unit& u) {
             u.Receive(SetRegisters(0, {Unit::WriteUnlockCode}));
             u.Receive(SetRegisters(Unit::CounterHighRegister, {2, 3456}));
         },
         "Engine hours     23456\r\n"},
        {"reset",
         [](Unit& u) {
             u.Receive(SetRegisters(0, {Unit::WriteUnlockCode}));
             u.Receive(SetRegisters(2, {Unit::ResetCountersCommand}));
         },
         "Engine hours         0\r\n"},
        {"a text given",
         [](Unit& u) {
             u.SetLogText(Section::Counters, "Hours 7\r\n");
             u.SetEngineHours(99);
         },
         "Hours 7\r\n"},
    };
    for (const auto& c : cases) {
        Unit unit;
        unit.SetCommandDelay(0);
        unit.SetLogBurst(1000, 0);
        Line line(unit);
        c.arrange(unit);
        line.Take();
        unit.Receive("\x1b" "C");
        const QByteArray text = line.Take();
        EXPECT_EQ(text.left(text.indexOf('\n') + 1), c.firstLine) << c.what;
    }
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
