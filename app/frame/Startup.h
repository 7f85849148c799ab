#pragma once
class QApplication;

// Before the application object exists: a run that shows nothing goes on without a display,
// on Qt's offscreen platform. Returns -1 to go on, or the exit status of a run that needs a
// window where there is no display (its line on standard error already written).
int PrepareDisplay(int argc, char** argv);

// Start-up and shut-down of the program; returns the exit code.
int RunQuarno(QApplication& app);
