#include "app/unitops/UnitRegisters.h"

#include "app/pages/PageApis.h"
#include "app/pages/common/PageCommon.h"
#include "extra/extra.h"
#include "app/services/modRegistry.h"
#include "app/unitops/UnitCommandStop.h"
#include "app/unitops/UnitOps.h"
#include "platform/TimeSource.h"
#include "seriallink/Comm.h"

#include <QApplication>
#include <QWidget>

#include <optional>

namespace unitops {

namespace {

FrameApi* g_frame = nullptr;

// One short link: configured and started on construction, relocked (when this link wrote the
// unlock code) and ended on destruction, whatever path left the operation.
// A stop signal drops the request under way, but never the relock; the unit is then locked
// again whatever the link did, and nothing else is sent.
class ShortLink {
public:
    ShortLink()
    {
        m_ok = ConfigureUnitLink(m_comm, 0, 1);
        if (m_ok)
            m_comm.StartComm(false);
    }
    ~ShortLink()
    {
        if (m_ok && (m_unlockWritten || StopRequested())) {
            m_relocking = true;
            bool relocked = false;
            try {
                relocked = m_comm.SetRegister(ServiceRegisters::WriteUnlockRegister, 0);
            } catch (const CommException&) {
            }
            NoteRelock(relocked);
        }
        m_comm.EndComm();
    }
    ShortLink(const ShortLink&) = delete;
    ShortLink& operator=(const ShortLink&) = delete;

    bool Ok() const { return m_ok; }

    bool Unlock()
    {
        // Written is enough to owe the relock: the unit may have taken it without a reply.
        m_unlockWritten = true;
        NoteUnlock();
        if (!Set(ServiceRegisters::WriteUnlockRegister, WriteUnlockCode))
            return false;
        const auto back = Get(ServiceRegisters::WriteUnlockRegister);
        return back && *back == WriteUnlockCode;
    }
    bool Set(qint16 address, qint32 value)
    {
        if (!Usable())
            return false;
        try {
            return m_comm.SetRegister(address, value);
        } catch (const CommException&) {
            return false;
        }
    }
    bool SetMany(qint16 address, const QVector<qint32>& values)
    {
        if (!Usable())
            return false;
        try {
            return m_comm.SetRegisters(address, values);
        } catch (const CommException&) {
            return false;
        }
    }
    std::optional<qint32> Get(qint16 address)
    {
        qint32 value = 0;
        if (!Usable())
            return std::nullopt;
        try {
            if (m_comm.GetRegister(address, value))
                return value;
        } catch (const CommException&) {
        }
        return std::nullopt;
    }
    std::optional<QVector<qint32>> GetMany(qint16 address, qint16 count)
    {
        QVector<qint32> values;
        if (!Usable())
            return std::nullopt;
        try {
            if (m_comm.GetRegisters(address, count, values) && values.size() == count)
                return values;
        } catch (const CommException&) {
        }
        return std::nullopt;
    }
    bool ReadBit(qint16 address)
    {
        bool value = false;
        if (!Usable())
            return false;
        try {
            return m_comm.GetBit(address, value);
        } catch (const CommException&) {
            return false;
        }
    }

private:
    bool Usable() const { return m_ok && !StopRequested(); }

    Comm m_comm;
    bool m_ok = false;
    bool m_unlockWritten = false;
    bool m_relocking = false;
    UnitLinkScope m_stop{[this] {
        if (!m_relocking)
            m_comm.Cancel();
    }};
};

// No port stored: the port dialog. False when it was cancelled (or cannot be shown).
bool PortChosen()
{
    if (modRegistry::GetCommPort() != 0)
        return true;
    FrameApi* frame = UnitLinkFrame();
    if (!frame)
        return false;
    return !frame->ShowCommSetupCancelled();
}

// The pattern of the three probes: status text, port, hourglass, one read.
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
        if (modRegistry::GetCommPort() != 0) {
            ShortLink link;
            result = read(link);
        }
    }
    extra::ShowStatusMessage(0);
    return result;
}

} // namespace

void SetUnitLinkFrame(FrameApi* frame) { g_frame = frame; }
FrameApi* UnitLinkFrame()
{
    if (g_frame)
        return g_frame;
    // The frame's receive asks for the unit before any command has installed the frame: the
    // main window is then found among the top-level windows, so the port can still be chosen.
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* frame = dynamic_cast<FrameApi*>(widget))
            return frame;
    return nullptr;
}

bool ConfigureUnitLink(Comm& comm, qint16 retries, qint16 timeOut)
{
    try {
        comm.SetSettings(QStringLiteral("9600,o,8,1"));
        comm.SetCommPort(modRegistry::GetCommPort());
        comm.SetIdentity(240);
        comm.SetRetries(retries);
        comm.SetTimeOut(timeOut);
        comm.SetIgnorenotToMaster(true);
    } catch (const CommException&) {
        return false;
    }
    return true;
}

QString FirmwareVersionText(qint32 value)
{
    value &= 0xFFFF;
    return QString::number(value / 256) + QLatin1Char('.') + QString::number(value % 256);
}

bool SendUnitCommand(quint8 command)
{
    if (!PortChosen())
        return false;
    ShortLink link;
    if (!link.Unlock())
        return false;
    const auto before = link.Get(ServiceRegisters::CommandRegister);
    if (!before)
        return false;
    QByteArray bytes;
    extra::WordToBytes(*before, bytes);
    bytes[1] = char(command);
    if (!link.Set(ServiceRegisters::CommandRegister, extra::BytesToWord(bytes)))
        return false;
    platform::TimeSource::Instance().Block(3000);
    const auto after = link.Get(ServiceRegisters::CommandRegister);
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
    if (!link.SetMany(ServiceRegisters::CounterBlock, pair))
        return false;
    platform::TimeSource::Instance().Block(500);
    const auto back = link.GetMany(ServiceRegisters::CounterBlock, 2);
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
    return link.SetMany(ServiceRegisters::ClockBlock, values);
}

bool DetectUnit()
{
    return Probe(240, [](ShortLink& link) { return link.ReadBit(ServiceRegisters::PresenceBit); });
}

bool EngineIsStopped()
{
    return Probe(241, [](ShortLink& link) {
        const auto v = link.Get(ServiceRegisters::EngineStatusRegister);
        return v && *v == 0;
    });
}

bool IsPropulsionUnit()
{
    return Probe(242, [](ShortLink& link) {
        const auto v = link.Get(ServiceRegisters::UnitTypeRegister);
        return v && *v == 1;
    });
}

QString ReadUnitVersion(bool firmware)
{
    if (modRegistry::GetCommPort() == 0)
        return QStringLiteral("N/A");
    ShortLink link;
    const auto v = link.Get(firmware ? ServiceRegisters::FirmwareVersionRegister
                                     : ServiceRegisters::HardwareVersionRegister);
    if (!v)
        return QStringLiteral("N/A");
    return firmware ? FirmwareVersionText(*v) : QString::number(*v & 0xFF);
}

} // namespace unitops
