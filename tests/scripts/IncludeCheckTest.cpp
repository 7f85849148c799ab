// The build's check that refuses includes climbing with "../".
#include "platform/ProgramOutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>

TEST(IncludeCheck, RefusesClimbingIncludesWithTheirPlace)
{
    const QString script = QStringLiteral(QUARNO_TEST_DATA "/../../scripts/check-includes.sh");
    const struct {
        const char* file;
        const char* text;
        const char* reported; // "": accepted
    } rows[] = {
        {"datamodel/a.cpp", "#include \"datamodel/a.h\"\n#include \"../app/frame/x.h\"\n", "datamodel/a.cpp:2"},
        {"app/b.h", "#pragma once\n  #  include <../x.h>\n", "app/b.h:2"},
        {"app/c.cpp", "#include \"app/../datamodel/x.h\"\n", "app/c.cpp:1"},
        {"app/d.cpp", "#include \"d.h\"\n// #include \"../x.h\" is no include\n", ""},
        {"build/e.cpp", "#include \"../../app/e.h\"\n", ""}, // a build tree's generated source
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        for (const auto& [name, text] : {std::pair{row.file, row.text}, std::pair{"build/CMakeCache.txt", ""}}) {
            ASSERT_TRUE(QDir(dir.path()).mkpath(QFileInfo(dir.filePath(name)).path()));
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::Append));
            file.write(text);
        }
        const platform::ProgramOutput out = platform::RunProgram("bash", {script, dir.path()});
        EXPECT_EQ(out.exitCode, *row.reported ? 1 : 0) << out.errors.toStdString();
        EXPECT_EQ(out.output.section(':', 0, 1), row.reported);
        EXPECT_EQ(out.output.count('\n'), *row.reported ? 1 : 0) << out.output.toStdString();
    }
}
