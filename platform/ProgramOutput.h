#pragma once
#include "platform/PlatformExport.h"
#include <QString>
#include <QStringList>

namespace platform {

// What a small command-line program said when asked something.
struct ProgramOutput {
    bool started = false;  // false: the program is not installed or could not run
    bool finished = false; // false: it did not end within the time allowed (and was stopped)
    int exitCode = -1;
    QString output; // standard output
    QString errors; // standard error
    bool Succeeded() const { return started && finished && exitCode == 0; }
};

// Runs a program with its arguments (never through a shell) and waits for it to end, at most
// timeoutMs. It runs in the C locale, so its words can be read whatever the user's language.
PLATFORM_EXPORT ProgramOutput RunProgram(const QString& program, const QStringList& arguments, int timeoutMs = 10000);

} // namespace platform
