#include "app/unitops/ServiceCommands.h"

#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/pages/common/PageCommon.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "app/services/modRegistry.h"
#include "app/unitops/frmClock.h"
#include "app/unitops/frmCounters.h"
#include "app/unitops/frmRetrieveLog.h"
#include "app/unitops/frmServicePassword.h"
#include "app/unitops/UnitCommandStop.h"
#include "app/unitops/UnitOps.h"
#include "app/unitops/UnitRegisters.h"
#include "app/unitops/UnitNotFound.h"
#include "platform/MessagePresenter.h"
#include "platform/SystemInfo.h"
#include "platform/TimeSource.h"
#include "seriallink/Comm.h"

#include <QPointer>

#include <optional>

namespace unitops {

namespace {

// A service command runs its links and dialogs to the end before another may start: the
// link's waits let events run, and with them a second tool click.
bool g_commandRunning = false;

QWidget* Owner(MainState& state) { return state.frame ? state.frame->MainWindow() : nullptr; }

// Refuses a second command while one runs; the guard frees the slot on every exit.
class CommandSlot {
public:
    CommandSlot() : m_taken(!g_commandRunning)
    {
        if (m_taken)
            g_commandRunning = true;
        else
            platform::MessagePresenter::Instance().Beep();
    }
    ~CommandSlot()
    {
        if (m_taken)
            g_commandRunning = false;
    }
    explicit operator bool() const { return m_taken; }

private:
    bool m_taken;
};

// Delete log and reset counters: unit, password, command, message.
void RunUnitCommand(MainState& state, bool askPassword, const QString& caption, quint8 command,
                    quint16 success, quint16 notDetected, quint16 engineRunning)
{
    CommandSlot slot;
    if (!slot)
        return;
    UnitCommandScope unitCommand(QStringLiteral("the %1 command").arg(caption));
    SetUnitLinkFrame(state.frame);
    if (!DetectUnit()) {
        ShowUnitNotFound();
        return;
    }
    if (askPassword) {
        frmServicePassword password(Owner(state), state.frame);
        password.SetDialogCaption(caption);
        password.ShowDialog();
        if (!password.OK())
            return;
    }
    bool done = false;
    {
        pagecommon::WaitCursor wait;
        done = SendUnitCommand(command);
    }
    const bool engineStopped = !done && !StopRequested() && EngineIsStopped();
    if (StopRequested())
        return; // the unit was locked again; the run ends with its own line
    WireWorkDone();
    if (done)
        extra::LangMsgBox(success, platform::MsgStyle::Information);
    else
        extra::LangMsgBox(engineStopped ? notDetected : engineRunning, platform::MsgStyle::Exclamation);
}

QPointer<frmRetrieveLog> g_retrieveLog;

} // namespace

QString ServiceCode(const QDate& today)
{
    return QString::number(today.day() * 7 + 31) + QStringLiteral("-KKK");
}

double FirmwareMajor(const QString& firmware)
{
    if (!firmware.contains(QLatin1Char('.')))
        return extra::NumericPrefix(firmware);
    return extra::NumericPrefix(extra::BeforeFirst(firmware, QStringLiteral(".")));
}

QVector<qint32> CounterWords(qint32 hours)
{
    hours = qBound(0, hours, 1000000);
    return {hours / 10000, hours % 10000};
}


// ---- the commands ---------------------------------------------------------------------------

void CmdDeleteLog(MainState& state, bool askPassword)
{
    RunUnitCommand(state, askPassword, QStringLiteral("Delete Log"), DeleteLogCommand, 117, 118, 119);
}

void CmdResetCounters(MainState& state, bool askPassword)
{
    RunUnitCommand(state, askPassword, QStringLiteral("Reset Counters"), ResetCountersCommand, 120, 121, 122);
}

void CmdCounters(MainState& state, bool askPassword)
{
    CommandSlot slot;
    if (!slot)
        return;
    UnitCommandScope unitCommand(QStringLiteral("the Counters command"));
    SetUnitLinkFrame(state.frame);
    const bool shift = modDiv::KeysDown(modDiv::VkShift);
    const bool unit = DetectUnit();
    if (!shift && !unit) {
        ShowUnitNotFound();
        return;
    }
    if (askPassword) {
        frmServicePassword password(Owner(state), state.frame);
        password.SetDialogCaption(QStringLiteral("Counters"));
        password.ShowDialog();
        if (!password.OK() && !state.DebugInfo)
            return;
    }
    frmCounters counters(Owner(state), state.frame);
    counters.exec();
}

void CmdClock(MainState& state)
{
    CommandSlot slot;
    if (!slot)
        return;
    UnitCommandScope unitCommand(QStringLiteral("the Clock command"));
    SetUnitLinkFrame(state.frame);
    QString firmware;
    {
        pagecommon::WaitCursor wait;
        extra::ShowStatusMessage(240);
        firmware = ReadUnitVersion(true);
    }
    if (firmware == QLatin1String("N/A")) {
        // The status text says which port failed and why: it stays for the user to read.
        ShowUnitNotFound();
        return;
    }
    if (FirmwareMajor(firmware) >= 4) {
        extra::LangMsgBox(129, platform::MsgStyle::Information);
    } else {
        frmClock clock(Owner(state), state.frame);
        clock.exec();
    }
    extra::ShowStatusMessage(0);
}

void CmdOptions(MainState& state)
{
    CommandSlot slot;
    if (!slot)
        return;
    if (state.frame)
        state.frame->ShowOptions();
    state.ExpertMode = modRegistry::GetMode() != 0;
    extra::ShowStatusMessage(0);
}

void CmdBackupSystemSettings(MainState& state)
{
    CommandSlot slot;
    if (!slot)
        return;
    SetUnitLinkFrame(state.frame);
    QString firmware;
    {
        pagecommon::WaitCursor wait;
        firmware = ReadUnitVersion(true);
    }
    if (firmware != QLatin1String("N/A") && extra::CompareVersions(firmware, QStringLiteral("4.00")) < 0) {
        extra::LangMsgBox(145, platform::MsgStyle::Information);
        return;
    }
    // Also without a unit: the settings are worked out from the setup alone.
    if (state.frame)
        state.frame->ShowBackupSystemSettings();
}

void CmdRetrieveLog(MainState& state)
{
    // Modal like every other dialog of a unit command: while its link polls and downloads, no
    // other command may open the port.
    CommandSlot slot;
    if (!slot)
        return;
    SetUnitLinkFrame(state.frame);
    frmRetrieveLog dialog(Owner(state), state.frame);
    g_retrieveLog = &dialog;
    dialog.exec();
}

void CloseRetrieveLog()
{
    if (g_retrieveLog)
        g_retrieveLog->close();
}

} // namespace unitops
