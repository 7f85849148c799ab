#include "app/unitops/ServiceCommands.h"

#include "app/frame/MainState.h"
#include "app/pages/PageApis.h"
#include "app/pages/common/PageCommon.h"
#include "app/services/extra/extra.h"
#include "app/services/modDiv.h"
#include "app/services/modRegistry.h"
#include "app/unitops/frmClock.h"
#include "app/unitops/frmCounters.h"
#include "app/unitops/frmRetrieveLog.h"
#include "app/unitops/frmServicePassword.h"
#include "platform/MessagePresenter.h"
#include "platform/SystemInfo.h"
#include "platform/TimeSource.h"
#include "seriallink/Comm.h"

#include <QPointer>

#include <optional>

namespace unitops {

namespace {

constexpr qint16 kWriteUnlockRegister = 0;
constexpr qint16 kCommandRegister = 2;
constexpr qint16 kCounterBlock = 1546;
constexpr qint16 kEngineStatusRegister = 2816;
constexpr qint16 kClockBlock = 2820;
constexpr qint16 kFirmwareVersionRegister = 2825;
constexpr qint16 kHardwareVersionRegister = 2826;
constexpr qint16 kPresenceBit = 8;
constexpr qint32 kWriteUnlockCode = 24873;
constexpr quint8 kDeleteLogCommand = 76;
constexpr quint8 kResetCountersCommand = 72;
constexpr int kCommandWaitMs = 3000;
constexpr int kCounterWaitMs = 500;

FrameApi* g_frame = nullptr;

// A service command runs its links and dialogs to the end before another may start: the
// link's waits let events run, and with them a second tool click.
bool g_commandRunning = false;

// One short link: configured and started on construction; relocked when it wrote the unlock
// code, and ended, on destruction, whichever way the operation left.
class ShortLink {
public:
    ShortLink()
    {
        try {
            m_comm.SetSettings(QStringLiteral("9600,o,8,1"));
            m_comm.SetCommPort(modRegistry::GetCommPort());
            m_comm.SetIdentity(240);
            m_comm.SetRetries(0);
            m_comm.SetTimeOut(1);
            m_comm.SetIgnorenotToMaster(true);
            m_comm.StartComm(false);
            m_ok = true;
        } catch (const CommException&) {
            m_ok = false;
        }
    }
    ~ShortLink()
    {
        // A lost reply to the relock must not leave the unit open: one more try.
        if (m_unlockWritten && !Set(kWriteUnlockRegister, 0))
            Set(kWriteUnlockRegister, 0);
        m_comm.EndComm();
    }
    ShortLink(const ShortLink&) = delete;
    ShortLink& operator=(const ShortLink&) = delete;

    bool Unlock()
    {
        // Written is enough to owe the relock: the unit may have taken it without a reply.
        m_unlockWritten = true;
        if (!Set(kWriteUnlockRegister, kWriteUnlockCode))
            return false;
        const std::optional<qint32> back = Get(kWriteUnlockRegister);
        return back && *back == kWriteUnlockCode;
    }
    bool Set(qint16 address, qint32 value)
    {
        try {
            return m_ok && m_comm.SetRegister(address, value);
        } catch (const CommException&) {
            return false;
        }
    }
    bool SetMany(qint16 address, const QVector<qint32>& values)
    {
        try {
            return m_ok && m_comm.SetRegisters(address, values);
        } catch (const CommException&) {
            return false;
        }
    }
    std::optional<qint32> Get(qint16 address)
    {
        qint32 value = 0;
        try {
            if (m_ok && m_comm.GetRegister(address, value))
                return value;
        } catch (const CommException&) {
        }
        return std::nullopt;
    }
    std::optional<QVector<qint32>> GetMany(qint16 address, qint16 count)
    {
        QVector<qint32> values;
        try {
            if (m_ok && m_comm.GetRegisters(address, count, values) && values.size() == count)
                return values;
        } catch (const CommException&) {
        }
        return std::nullopt;
    }
    bool ReadBit(qint16 address)
    {
        bool value = false;
        try {
            return m_ok && m_comm.GetBit(address, value);
        } catch (const CommException&) {
            return false;
        }
    }

private:
    Comm m_comm;
    bool m_ok = false;
    bool m_unlockWritten = false;
};

// No port stored: the port dialog; false when it was cancelled or cannot be shown.
bool PortChosen()
{
    if (modRegistry::GetCommPort() != 0)
        return true;
    return g_frame && !g_frame->ShowCommSetupCancelled() && modRegistry::GetCommPort() != 0;
}

template <class Read>
bool Probe(quint16 statusId, Read read)
{
    extra::ShowStatusMessage(statusId);
    if (modRegistry::GetCommPort() == 0) {
        extra::ShowStatusMessage(0);
        if (!PortChosen())
            return false;
    }
    bool result = false;
    {
        pagecommon::WaitCursor wait;
        ShortLink link;
        result = read(link);
    }
    extra::ShowStatusMessage(0);
    return result;
}

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
    interim::SetUnitLinkFrame(state.frame);
    if (!interim::DetectUnit()) {
        extra::LangMsgBox(140, platform::MsgStyle::Critical);
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
        done = interim::SendUnitCommand(command);
    }
    if (done) {
        extra::LangMsgBox(success, platform::MsgStyle::Information);
        return;
    }
    const bool stopped = interim::EngineIsStopped();
    extra::LangMsgBox(stopped ? notDetected : engineRunning, platform::MsgStyle::Exclamation);
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

// ---- interim register operations ----------------------------------------------------------

namespace interim {

void SetUnitLinkFrame(FrameApi* frame) { g_frame = frame; }
FrameApi* UnitLinkFrame() { return g_frame; }

bool DetectUnit()
{
    return Probe(240, [](ShortLink& link) { return link.ReadBit(kPresenceBit); });
}

bool EngineIsStopped()
{
    return Probe(241, [](ShortLink& link) {
        const std::optional<qint32> v = link.Get(kEngineStatusRegister);
        return v && *v == 0;
    });
}

QString ReadUnitVersion(bool firmware)
{
    if (modRegistry::GetCommPort() == 0)
        return QStringLiteral("N/A");
    ShortLink link;
    const std::optional<qint32> v = link.Get(firmware ? kFirmwareVersionRegister : kHardwareVersionRegister);
    if (!v)
        return QStringLiteral("N/A");
    const qint32 word = *v & 0xFFFF;
    return firmware ? QString::number(word / 256) + QLatin1Char('.') + QString::number(word % 256)
                    : QString::number(word & 0xFF);
}

bool SendUnitCommand(quint8 command)
{
    if (!PortChosen())
        return false;
    ShortLink link;
    if (!link.Unlock())
        return false;
    const std::optional<qint32> before = link.Get(kCommandRegister);
    if (!before)
        return false;
    // The high byte goes back as it was read.
    const qint32 word = (*before & 0xFF00) | command;
    if (!link.Set(kCommandRegister, word))
        return false;
    platform::TimeSource::Instance().Block(kCommandWaitMs);
    const std::optional<qint32> after = link.Get(kCommandRegister);
    return after && (*after & 0xFF) == 0;
}

bool WriteCounterRegisters(const QVector<qint32>& values)
{
    if (values.size() < 2 || !PortChosen())
        return false;
    ShortLink link;
    if (!link.Unlock())
        return false;
    const QVector<qint32> pair{values[0], values[1]};
    if (!link.SetMany(kCounterBlock, pair))
        return false;
    platform::TimeSource::Instance().Block(kCounterWaitMs);
    const std::optional<QVector<qint32>> back = link.GetMany(kCounterBlock, 2);
    return back && (*back)[0] == pair[0] && (*back)[1] == pair[1];
}

bool WriteClockRegisters(const QVector<qint32>& values, bool& portCancelled)
{
    portCancelled = false;
    if (!PortChosen()) {
        portCancelled = true;
        return false;
    }
    ShortLink link;
    return link.SetMany(kClockBlock, values);
}

} // namespace interim

// ---- the commands ---------------------------------------------------------------------------

void CmdDeleteLog(MainState& state, bool askPassword)
{
    RunUnitCommand(state, askPassword, QStringLiteral("Delete Log"), kDeleteLogCommand, 117, 118, 119);
}

void CmdResetCounters(MainState& state, bool askPassword)
{
    RunUnitCommand(state, askPassword, QStringLiteral("Reset Counters"), kResetCountersCommand, 120, 121, 122);
}

void CmdCounters(MainState& state, bool askPassword)
{
    CommandSlot slot;
    if (!slot)
        return;
    interim::SetUnitLinkFrame(state.frame);
    const bool shift = modDiv::KeysDown(modDiv::VkShift);
    const bool unit = interim::DetectUnit();
    if (!shift && !unit) {
        extra::LangMsgBox(140, platform::MsgStyle::Critical);
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
    interim::SetUnitLinkFrame(state.frame);
    QString firmware;
    {
        pagecommon::WaitCursor wait;
        extra::ShowStatusMessage(240);
        firmware = interim::ReadUnitVersion(true);
    }
    if (firmware == QLatin1String("N/A")) {
        extra::LangMsgBox(140, platform::MsgStyle::Critical);
    } else if (FirmwareMajor(firmware) >= 4) {
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
    interim::SetUnitLinkFrame(state.frame);
    QString firmware;
    {
        pagecommon::WaitCursor wait;
        firmware = interim::ReadUnitVersion(true);
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
    interim::SetUnitLinkFrame(state.frame);
    // A window that was closed is not used again: every opening starts afresh.
    if (g_retrieveLog && !g_retrieveLog->isVisible())
        delete g_retrieveLog.data();
    if (!g_retrieveLog) {
        g_retrieveLog = new frmRetrieveLog(Owner(state), state.frame);
        g_retrieveLog->setAttribute(Qt::WA_DeleteOnClose);
    }
    g_retrieveLog->show();
    g_retrieveLog->raise();
    g_retrieveLog->activateWindow();
}

void CloseRetrieveLog()
{
    if (g_retrieveLog)
        g_retrieveLog->close();
}

} // namespace unitops
