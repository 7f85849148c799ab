#include "tools/ecxsim/Unit.h"

#include "platform/TimeSource.h"

namespace ecxsim {

namespace {

int FaultIndex(Unit::Fault fault)
{
    return static_cast<int>(fault);
}

int SectionIndex(Unit::LogSection section)
{
    return static_cast<int>(section);
}

bool IsReadOnlyService(int address)
{
    return address == Unit::EngineStatusRegister || address == Unit::FirmwareVersionRegister
        || address == Unit::HardwareVersionRegister || address == Unit::UnitTypeRegister;
}

} // namespace

Unit::Unit(QObject* parent)
    : QObject(parent)
    , bits_(BitCount, false)
{
    bits_[PresenceBit] = true;
    SetFirmwareVersion(4, 47);
    SetHardwareVersion(2);
    registers_[ClockRegister + 0] = 0;    // minute
    registers_[ClockRegister + 1] = 12;   // hour
    registers_[ClockRegister + 2] = 1;    // day
    registers_[ClockRegister + 3] = 1;    // month
    registers_[ClockRegister + 4] = 2004; // year
    SetEngineHours(1234);
    logText_[0] = "ECX Control Unit\r\nSerial number 000001\r\n";
    logText_[2] = "001 01.01.04 12:00 Power on\r\n";

    connect(&sender_, &LineSender::Output, this, [this](const QByteArray& bytes) {
        bytesOut_ += bytes.size();
        emit Transmit(bytes);
    });
    connect(&sender_, &LineSender::Drained, this, &Unit::Drained);
}

void Unit::SetIdentity(int identity)
{
    identity_ = qBound(0, identity, 247);
}

quint16 Unit::Register(int address) const
{
    if (address < 0 || address >= RegisterCount)
        return 0;
    // Time has passed for the unit too: a due command is done before anyone looks.
    const_cast<Unit*>(this)->SettleCommand();
    return registers_[size_t(address)];
}

void Unit::SetRegister(int address, quint16 value)
{
    if (address < 0 || address >= RegisterCount)
        return;
    registers_[size_t(address)] = value;
}

bool Unit::Bit(int address) const
{
    if (address < 0 || address >= BitCount)
        return false;
    return bits_[address];
}

void Unit::SetBit(int address, bool value)
{
    if (address < 0 || address >= BitCount)
        return;
    bits_[address] = value;
}

QString Unit::FirmwareVersion() const
{
    const quint16 v = registers_[FirmwareVersionRegister];
    return QString::number(v / 256) + QLatin1Char('.') + QString::number(v % 256);
}

void Unit::SetFirmwareVersion(int major, int minor)
{
    registers_[FirmwareVersionRegister] = quint16(qBound(0, major, 255) * 256 + qBound(0, minor, 255));
}

bool Unit::SetFirmwareVersion(const QString& text)
{
    const QString t = text.trimmed();
    const int point = t.indexOf(QLatin1Char('.'));
    bool okMajor = false;
    bool okMinor = true;
    const int major = (point < 0 ? t : t.left(point)).toInt(&okMajor);
    const int minor = point < 0 ? 0 : t.mid(point + 1).toInt(&okMinor);
    if (!okMajor || !okMinor || major < 0 || major > 255 || minor < 0 || minor > 255)
        return false;
    SetFirmwareVersion(major, minor);
    return true;
}

int Unit::HardwareVersion() const
{
    return registers_[HardwareVersionRegister] & 0xFF;
}

void Unit::SetHardwareVersion(int version)
{
    registers_[HardwareVersionRegister] = quint16(qBound(0, version, 255));
}

quint16 Unit::UnitType() const
{
    return registers_[UnitTypeRegister];
}

void Unit::SetUnitType(quint16 type)
{
    registers_[UnitTypeRegister] = type;
}

void Unit::SetEngineRunning(bool running)
{
    engineRunning_ = running;
    registers_[EngineStatusRegister] = running ? 1 : 0;
    if (running) {
        // A running engine never stays unlocked.
        unlocked_ = false;
        registers_[WriteUnlockRegister] = 0;
    }
}

void Unit::SetQ3(bool q3)
{
    q3_ = q3;
}

qint32 Unit::EngineHours() const
{
    return qint32(registers_[CounterHighRegister]) * 10000 + registers_[CounterLowRegister];
}

void Unit::SetEngineHours(qint32 hours)
{
    hours = qBound<qint32>(0, hours, 65535 * 10000 + 9999);
    registers_[CounterHighRegister] = quint16(hours / 10000);
    registers_[CounterLowRegister] = quint16(hours % 10000);
}

void Unit::SetCommandDelay(int ms)
{
    commandDelayMs_ = qMax(0, ms);
}

QVector<quint8> Unit::CommandsDone() const
{
    const_cast<Unit*>(this)->SettleCommand();
    return commandsDone_;
}

void Unit::SettleCommand()
{
    if (commandPending_ && platform::TimeSource::Instance().Milliseconds() >= commandDueMs_) {
        commandPending_ = false;
        RunCommand();
    }
}

QByteArray Unit::LogText(LogSection section) const
{
    if (section == LogSection::Counters && !countersTextSet_)
        return "Engine hours" + QByteArray::number(EngineHours()).rightJustified(10) + "\r\nStarts               0\r\n";
    return logText_[size_t(SectionIndex(section))];
}

void Unit::SetLogText(LogSection section, const QByteArray& text)
{
    logText_[size_t(SectionIndex(section))] = text;
    if (section == LogSection::Counters)
        countersTextSet_ = true;
}

void Unit::SetLogBurst(int bytes, int intervalMs)
{
    burstSize_ = qMax(1, bytes);
    burstIntervalMs_ = qMax(0, intervalMs);
}

void Unit::SetFault(Fault fault, int count)
{
    faults_[size_t(FaultIndex(fault))] = count < 0 ? Always : count;
}

int Unit::FaultCount(Fault fault) const
{
    return faults_[size_t(FaultIndex(fault))];
}

void Unit::ClearFaults()
{
    faults_.fill(0);
    stopAfter_ = -1;
    deadAtRelock_ = false;
}

void Unit::SetSplit(int pieceBytes, int gapMs)
{
    splitBytes_ = qMax(1, pieceBytes);
    splitGapMs_ = qMax(0, gapMs);
}

void Unit::SetStrayBytes(const QByteArray& bytes)
{
    strayBytes_ = bytes;
}

void Unit::SetCorruptRegister(int address)
{
    corruptRegister_ = address < 0 || address >= RegisterCount ? -1 : address;
}

void Unit::SetReplyDelay(int ms)
{
    replyDelayMs_ = qMax(0, ms);
}

void Unit::SetStopAfter(int packages)
{
    stopAfter_ = packages < 0 ? -1 : packages;
}

void Unit::ResetStatistics()
{
    packagesReceived_ = 0;
    packagesAnswered_ = 0;
    bytesIn_ = 0;
    bytesOut_ = 0;
}

bool Unit::TakeFault(Fault fault)
{
    int& n = faults_[size_t(FaultIndex(fault))];
    if (n == 0)
        return false;
    if (n > 0)
        --n;
    return true;
}

void Unit::Receive(const QByteArray& bytes)
{
    bytesIn_ += bytes.size();
    buffer_.append(bytes);
    Process();
}

void Unit::Process()
{
    SettleCommand();
    while (!buffer_.isEmpty()) {
        const char first = buffer_.at(0);
        if (first == frame::Stx) {
            const int length = Request::FrameLength(buffer_);
            if (length < 0) {
                buffer_.remove(0, 1); // not a frame after all: look for the next start
                continue;
            }
            if (length == 0 || buffer_.size() < length)
                return; // wait for the rest
            if (buffer_.at(length - 2) != frame::Etx) {
                buffer_.remove(0, 1);
                continue;
            }
            const QByteArray candidate = buffer_.left(length);
            buffer_.remove(0, length);
            ++packagesReceived_;
            if (frame::BlockCheck(candidate.mid(1, length - 2)) != candidate.at(length - 1))
                continue;
            Request request;
            if (!request.Parse(candidate))
                continue;
            if (frame::ParseHex(request.id) != identity_)
                continue;
            Execute(request);
        } else if (first == frame::Esc) {
            if (buffer_.size() < 2)
                return;
            const char letter = buffer_.at(1);
            if (letter == 'I' || letter == 'C' || letter == 'L') {
                buffer_.remove(0, 2);
                AnswerLog(letter == 'I' ? LogSection::Information
                                        : letter == 'C' ? LogSection::Counters : LogSection::Log);
            } else {
                buffer_.remove(0, 1);
            }
        } else {
            // Line noise: skip to the next byte that can start something.
            int next = 1;
            while (next < buffer_.size() && buffer_.at(next) != frame::Stx && buffer_.at(next) != frame::Esc)
                ++next;
            buffer_.remove(0, next);
        }
    }
}

void Unit::Execute(const Request& request)
{
    if (stopAfter_ == 0)
        return;
    if (TakeFault(Fault::Silence))
        return;

    const QByteArray head = request.id + request.stamp;
    const QByteArray ack = head + request.type + frame::Ack;
    const auto dataHead = [&](char type, const QByteArray& size) {
        return head + (dataType_ ? dataType_ : type) + request.address + size;
    };

    switch (request.kind) {
    case Request::SetRegisters: {
        QVector<quint16> values;
        for (int i = 0; i < request.count; ++i) {
            values.append(quint16(frame::Reverse(quint8(request.data.at(2 * i))) * 256
                                  + frame::Reverse(quint8(request.data.at(2 * i + 1)))));
        }
        // Register 0 comes first in the package, so its new value decides the lock
        // for the rest.
        bool unlockedAfter = unlocked_;
        if (request.start == WriteUnlockRegister)
            unlockedAfter = !engineRunning_ && !q3_ && values.at(0) == WriteUnlockCode;
        if (deadAtRelock_ && unlocked_ && !unlockedAfter) {
            stopAfter_ = 0;
            return;
        }
        const int last = request.start + request.count - 1;
        const bool touchesLocked = last >= 1 && request.start <= LastLockedRegister;
        if (touchesLocked && !unlockedAfter)
            return; // a locked write is not answered
        for (int i = 0; i < request.count; ++i)
            WriteRegister(request.start + i, values.at(i));
        Reply(frame::Wrap(ack));
        return;
    }
    case Request::GetRegisters: {
        int corrupt = -1;
        if (FaultCount(Fault::CorruptReadBack) != 0) {
            const int target = corruptRegister_ < 0 ? request.start : corruptRegister_;
            if (target >= request.start && target < request.start + request.count
                && TakeFault(Fault::CorruptReadBack))
                corrupt = target;
        }
        QByteArray data;
        for (int i = 0; i < request.count; ++i) {
            const int address = request.start + i;
            quint16 value = registers_[size_t(address)];
            if (address == corrupt)
                value ^= 0x0001;
            data.append(char(frame::Reverse(quint8(value >> 8))));
            data.append(char(frame::Reverse(quint8(value & 0xFF))));
        }
        Reply(frame::Wrap(dataHead('0', request.size) + data));
        return;
    }
    case Request::SetBit:
        bits_[request.start] = request.data.at(0) == '1';
        Reply(frame::Wrap(ack));
        return;
    case Request::GetBit:
        Reply(frame::Wrap(dataHead('3', bitSize_ == BitReplySize::Echo ? request.size : QByteArray("01"))
                          + (bits_[request.start] ? '1' : '0')));
        return;
    case Request::SetPackedBits:
        for (int i = 0; i < request.count; ++i) {
            const quint8 byte = quint8(request.data.at(i));
            for (int j = 0; j < 8; ++j)
                bits_[request.start + 8 * i + j] = (byte >> j) & 1;
        }
        Reply(frame::Wrap(ack));
        return;
    case Request::GetPackedBits: {
        QByteArray data;
        for (int i = 0; i < request.count; ++i) {
            quint8 byte = 0;
            for (int j = 0; j < 8; ++j) {
                if (bits_[request.start + 8 * i + j])
                    byte |= quint8(1u << j);
            }
            data.append(char(byte));
        }
        Reply(frame::Wrap(dataHead('0', request.size) + data));
        return;
    }
    }
}

void Unit::WriteRegister(int address, quint16 value)
{
    if (address == WriteUnlockRegister) {
        if (engineRunning_) {
            unlocked_ = false;
            registers_[0] = 0;
        } else if (q3_) {
            unlocked_ = false;
            registers_[0] = value == Q3ProbeCode ? Q3ProbeCode : 0;
        } else {
            unlocked_ = value == WriteUnlockCode;
            registers_[0] = unlocked_ ? WriteUnlockCode : 0;
        }
        return;
    }
    if (IsReadOnlyService(address))
        return;
    registers_[size_t(address)] = value;
    if (address == CommandRegister) {
        const quint8 command = quint8(value & 0xFF);
        if (command == DeleteLogCommand || command == ResetCountersCommand) {
            commandPending_ = false;
            if (commandDelayMs_ == 0) {
                RunCommand();
            } else {
                commandPending_ = true;
                commandDueMs_ = platform::TimeSource::Instance().Milliseconds() + commandDelayMs_;
            }
        }
    }
}

void Unit::RunCommand()
{
    const quint8 command = quint8(registers_[CommandRegister] & 0xFF);
    if (command == ResetCountersCommand) {
        registers_[CounterHighRegister] = 0;
        registers_[CounterLowRegister] = 0;
    } else if (command == DeleteLogCommand) {
        logText_[size_t(SectionIndex(LogSection::Log))].clear();
    } else {
        return;
    }
    commandsDone_.append(command);
    registers_[CommandRegister] &= 0xFF00;
}

void Unit::Reply(const QByteArray& replyFrame)
{
    QByteArray reply = replyFrame;
    if (TakeFault(Fault::WrongThirdCharacter)) {
        reply[2] = reply.at(2) == '1' ? '2' : '1'; // never the "0" the master filters on
        reply[reply.size() - 1] = frame::BlockCheck(reply.mid(1, reply.size() - 2));
    }
    if (TakeFault(Fault::BadBlockCheck))
        reply[reply.size() - 1] = char(reply.at(reply.size() - 1) ^ 0x55);
    if (TakeFault(Fault::StrayBytes))
        reply.prepend(strayBytes_.isEmpty() ? QByteArray("\xFF\x00", 2) : strayBytes_);
    ++packagesAnswered_;
    if (stopAfter_ > 0)
        --stopAfter_;
    if (TakeFault(Fault::DelayedReply)) {
        // A slow unit: later requests are answered meanwhile, so a late reply can land in
        // the master's wait for another package.
        QTimer::singleShot(replyDelayMs_, this, [this, reply] { sender_.Send(reply); });
        return;
    }
    if (TakeFault(Fault::SplitReply)) {
        for (int at = 0; at < reply.size(); at += splitBytes_)
            sender_.Send(reply.mid(at, splitBytes_), at == 0 ? 0 : splitGapMs_);
        return;
    }
    sender_.Send(reply);
}

void Unit::AnswerLog(LogSection section)
{
    if (TakeFault(Fault::Silence))
        return;
    const QByteArray text = LogText(section);
    for (int at = 0; at < text.size(); at += burstSize_)
        sender_.Send(text.mid(at, burstSize_), at == 0 ? 0 : burstIntervalMs_);
}

} // namespace ecxsim
