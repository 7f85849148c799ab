#include "app/frame/Startup.h"

#include "app/frame/frmMain.h"
#include "app/unitops/UnitCommandStop.h"
#include "extra/extra.h"
#include "platform/Display.h"
#include "platform/KeyTracker.h"
#include "platform/SettingsStore.h"
#include "platform/StopSignals.h"

#include <QApplication>

#include <cstdio>

namespace {

QString ExitText(int code)
{
    switch (code) {
    case frmMain::ExitNoLanguage: return QStringLiteral("the language library could not be loaded");
    case frmMain::ExitFileNotLoadable: return QStringLiteral("the setup file could not be loaded");
    case frmMain::ExitTransmitFailed: return QStringLiteral("the setup was not transmitted");
    case frmMain::ExitPrintFailed: return QStringLiteral("the setup was not printed");
    case frmMain::ExitNoDatabase: return QStringLiteral("the reference database could not be opened");
    case frmMain::ExitStartupError: return QStringLiteral("an error stopped the start-up");
    default: return QStringLiteral("it failed");
    }
}

// A run without a window has no status bar to show the settings notice in: it goes on standard
// error, once, before the run's other lines.
bool g_saysNotice = false;

void SayNotice()
{
    if (!g_saysNotice)
        return;
    const QString notice = platform::SettingsStore::Instance().Notice();
    if (notice.isEmpty())
        return;
    g_saysNotice = false;
    std::fprintf(stderr, "Quarno: %s\n", notice.toLocal8Bit().constData());
    std::fflush(stderr);
}

// One line on standard error for a script: the exit status, what failed, and what ended the
// run (the message and the answer given).
int Finish(int code, const QString& reason)
{
    SayNotice();
    if (code != frmMain::ExitOk) {
        const QString what = ExitText(code);
        QString line = QStringLiteral("Quarno: exit %1, %2").arg(code).arg(what);
        // A status text that already says what failed ("The setup was not printed: ...") is
        // not said twice.
        QString why = reason;
        if (why.startsWith(what + QLatin1Char(':'), Qt::CaseInsensitive))
            why = why.mid(what.size() + 1).trimmed();
        line += why.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + why;
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
        std::fflush(stderr);
    }
    return code;
}

// Qt's notes about its platform are no line of the program's; a fatal one still says why the
// program ends.
void KeepQtNotesOff(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
}

} // namespace

CommandLine::CommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        m_args << QString::fromLocal8Bit(argv[i]);
    const QList<bool> taken = extra::TakenByValues(m_args);
    if (argc > 0)
        m_qtArgv.push_back(argv[0]);
    for (int i = 1; i < argc; ++i) {
        if (!taken.at(i - 1)) {
            m_qtArgv.push_back(argv[i]);
            m_qtArgs << m_args.at(i - 1);
        }
    }
    m_qtArgc = int(m_qtArgv.size());
    m_qtArgv.push_back(nullptr);
}

void CommandLine::NameQtPlatform(const QString& name)
{
    m_platform = name.toLocal8Bit();
    m_qtArgv.insert(m_qtArgv.end() - 1, {m_platformOption.data(), m_platform.data()});
    m_qtArgs << QString::fromLatin1(m_platformOption) << name;
    m_qtArgc = int(m_qtArgv.size()) - 1;
}

int PrepareDisplay(CommandLine& line)
{
    const QStringList& args = line.Arguments();
    const bool windowless = frmMain::RunsWithoutWindow(args);
    if (windowless && !extra::HasOption(args, QStringLiteral("-debug")) && !extra::HasOption(args, QStringLiteral("-debugcomm")))
        qInstallMessageHandler(KeepQtNotesOff);
    QString why, platform;
    const platform::Display::Kind display = platform::Display::Find(line.QtArguments(), &why, &platform);
    if (display == platform::Display::Kind::Present)
        line.NameQtPlatform(platform);
    if (display != platform::Display::Kind::Absent)
        return -1;
    if (frmMain::NeedsNoDisplay(args)) {
        platform::Display::UseOffscreen();
        return -1;
    }
    const QString what = windowless
        ? QStringLiteral("no display to ask the transmit's questions on (-q transmits without them)")
        : QStringLiteral("no display to show the window on");
    return Finish(frmMain::ExitStartupError, what + QStringLiteral(": ") + why);
}

int RunQuarno(QApplication& app, const QStringList& args)
{
    platform::KeyTracker::Install();
    // A signal that stopped a unit command ends the run once the unit is locked again: -t with
    // its transmit status and line, the window as the signal demands, after a line of its own.
    const bool windowless = frmMain::RunsWithoutWindow(args);
    // Read now, so that what is wrong with them is said first.
    g_saysNotice = windowless;
    SayNotice();
    // Where nobody sees the screen, a box of such a run would wait for ever.
    platform::Display::SetUnwatched(windowless && platform::Display::Screenless());
    unitops::SetStopEnd([windowless](int signal, const QString& reason) {
        if (windowless && unitops::StoppedAfterVerifiedTransmit()) {
            // The unit holds the verified setup and the transfer is recorded: a transmit done.
            SayNotice();
            std::fprintf(stderr, "Quarno: exit %d, %s\n", int(frmMain::ExitOk), reason.toLocal8Bit().constData());
            std::fflush(stderr);
            platform::StopSignals::EndProcess(frmMain::ExitOk);
        }
        if (windowless) {
            Finish(frmMain::ExitTransmitFailed, reason);
            platform::StopSignals::EndProcess(frmMain::ExitTransmitFailed);
        }
        std::fprintf(stderr, "Quarno: %s.\n", reason.toLocal8Bit().constData());
        platform::StopSignals::EndBySignal(signal);
    });
    frmMain window;
    if (!window.Form_Load(args))
        return windowless ? Finish(window.ExitStatus(), window.ExitReason()) : window.ExitStatus();
    window.show();
    QObject::connect(&window, &frmMain::Unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    app.exec();
    return window.ExitStatus();
}
