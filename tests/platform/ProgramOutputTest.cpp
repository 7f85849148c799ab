// Running a small program and reading what it said.
#include "platform/ProgramOutput.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramOutput, WhatTheProgramSaidInTheCLocale)
{
    struct Case {
        const char* program;
        QStringList arguments;
        bool started;
        int exitCode;
        const char* output;
        const char* errors;
    } cases[] = {
        {"no-such-program-here", {}, false, -1, "", ""},
        {"sh", {"-c", "echo $LC_ALL $LANG; echo oops >&2; exit 3"}, true, 3, "C C\n", "oops\n"},
        {"sh", {"-c", "printf accepting"}, true, 0, "accepting", ""},
    };
    for (const Case& c : cases) {
        const platform::ProgramOutput out = platform::RunProgram(c.program, c.arguments);
        EXPECT_EQ(out.started, c.started) << c.program;
        EXPECT_EQ(out.finished, c.started) << c.program;
        EXPECT_EQ(out.exitCode, c.exitCode) << c.program;
        EXPECT_EQ(out.output.toStdString(), c.output) << c.program;
        EXPECT_EQ(out.errors.toStdString(), c.errors) << c.program;
        EXPECT_EQ(out.Succeeded(), c.started && c.exitCode == 0) << c.program;
    }
}

} // namespace
