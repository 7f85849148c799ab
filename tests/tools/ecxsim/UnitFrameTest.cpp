// Byte-exact replies of the simulated unit to hand-written request frames.
#include "UnitTestSupport.h"

#include <gtest/gtest.h>

using namespace ecxsim_test;
using ecxsim::Unit;

namespace {

const char* kGetRegister0 = "02 46 30 31 32 34 30 30 30 30 32 03 70";
const char* kUnlock = "02 46 30 30 30 34 30 30 30 30 32 86 94 03 61"; // register 0 := 24873, stamp "0"
const char* kSetRegister5 = "02 46 30 32 30 34 30 35 30 30 32 48 2C 03 10";

TEST(UnitFrames, WorkedFramesGetExactReplies)
{
    Unit unit;
    Line line(unit);

    unit.Receive(Bytes(kGetRegister0));
    EXPECT_EQ(HexOf(line.Take()), "02 46 30 31 30 34 30 30 30 30 32 00 00 03 72");

    unit.Receive(Bytes(kUnlock));
    EXPECT_EQ(HexOf(line.Take()), "02 46 30 30 30 06 03 73");

    unit.Receive(Bytes(kGetRegister0));
    EXPECT_EQ(HexOf(line.Take()), "02 46 30 31 30 34 30 30 30 30 32 86 94 03 60");

    unit.Receive(Bytes(kSetRegister5));
    EXPECT_EQ(HexOf(line.Take()), "02 46 30 32 30 06 03 71");
    EXPECT_EQ(unit.Register(5), 0x1234);
}

} // namespace
