#pragma once
#include <QByteArray>
#include <QStringList>

#include <vector>

class QApplication;

// The command line as given, read before the application object exists. Qt takes its own
// options ("-reverse", "-style X", ...) out of what it is handed, so it is handed only the
// arguments that no value of -f, -t or -p takes: a name holding such words stays whole.
class CommandLine {
public:
    CommandLine(int argc, char** argv);
    // Without the program name.
    const QStringList& Arguments() const { return m_args; }
    const QStringList& QtArguments() const { return m_qtArgs; }
    // For the application object, which keeps both for its lifetime.
    int& QtArgc() { return m_qtArgc; }
    char** QtArgv() { return m_qtArgv.data(); }
    // Tells Qt which platform to use, as "-platform name" would.
    void NameQtPlatform(const QString& name);

private:
    QStringList m_args, m_qtArgs;
    std::vector<char*> m_qtArgv;
    int m_qtArgc = 0;
    QByteArray m_platformOption = "-platform", m_platform;
};

// Before the application object exists: a run that shows nothing goes on without a display,
// on Qt's offscreen platform, and a windowless run keeps Qt's notes off standard error.
// Returns -1 to go on, or the exit status of a run that needs a window where there is no
// display that answers (its line on standard error already written).
int PrepareDisplay(CommandLine& line);

// Start-up and shut-down of the program; returns the exit code.
int RunQuarno(QApplication& app, const QStringList& args);
