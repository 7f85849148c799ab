#pragma once
class QApplication;

// Start-up and shut-down of the program; returns the exit code.
int RunQuarno(QApplication& app);
