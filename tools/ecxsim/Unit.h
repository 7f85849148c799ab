#pragma once
// The simulated ECX control unit: answers the package protocol and the
// log-download text requests over any byte pipe.
#include "tools/ecxsim/LineSender.h"
#include "tools/ecxsim/UnitFrame.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>
#include <array>

namespace ecxsim {

class Unit : public QObject {
    Q_OBJECT
public:
    static constexpr int RegisterCount = 3072;
    static constexpr int BitCount = 16384;
    static constexpr int Always = -1;

    // Service registers.
    static constexpr int WriteUnlockRegister = 0;
    static constexpr int CommandRegister = 2;
    static constexpr int CounterHighRegister = 1546;
    static constexpr int CounterLowRegister = 1547;
    static constexpr int EngineStatusRegister = 2816;
    static constexpr int ClockRegister = 2820; // minute, hour, day, month, year
    static constexpr int FirmwareVersionRegister = 2825;
    static constexpr int HardwareVersionRegister = 2826;
    static constexpr int UnitTypeRegister = 2827;
    static constexpr int LastLockedRegister = 2815;
    static constexpr int PresenceBit = 8;
    static constexpr quint16 WriteUnlockCode = 24873;
    static constexpr quint16 Q3ProbeCode = 24837;
    static constexpr quint8 DeleteLogCommand = 76;
    static constexpr quint8 ResetCountersCommand = 72;

    enum class Fault {
        Silence,             // the request is not heard: no reply, nothing done
        BadBlockCheck,       // the reply's last byte is wrong
        WrongThirdCharacter, // the reply's third character is not "0" (BCC still right)
        SplitReply,          // the reply goes out in pieces (SetSplit)
        StrayBytes,          // bytes go out before the reply (SetStrayBytes)
        CorruptReadBack,     // one word of a register read comes back altered
        DelayedReply,        // the reply goes out late (SetReplyDelay)
    };

    enum class LogSection { Information, Counters, Log };

    // The size field of a get-bit reply: the number of data bytes that follow ("01", as the
    // frame has it) or the request's own "00" echoed back, as some units do.
    enum class BitReplySize { DataBytes, Echo };

    explicit Unit(QObject* parent = nullptr);

    // Bytes from the master, split any way.
    void Receive(const QByteArray& bytes);

    // Identity the unit answers to (0..247, default 240).
    int Identity() const { return identity_; }
    void SetIdentity(int identity);

    // Memory, read and written directly (no lock, no side effects).
    quint16 Register(int address) const;
    void SetRegister(int address, quint16 value);
    bool Bit(int address) const;
    void SetBit(int address, bool value);
    bool Unlocked() const { return unlocked_; }

    // Service values.
    QString FirmwareVersion() const; // "major.minor"
    void SetFirmwareVersion(int major, int minor);
    bool SetFirmwareVersion(const QString& text); // "4.47"; false leaves it unchanged
    int HardwareVersion() const;
    void SetHardwareVersion(int version);
    quint16 UnitType() const;
    void SetUnitType(quint16 type);
    bool EngineRunning() const { return engineRunning_; }
    void SetEngineRunning(bool running);
    bool Q3() const { return q3_; }
    void SetQ3(bool q3);
    qint32 EngineHours() const; // from the counter registers
    void SetEngineHours(qint32 hours);

    // Delay before a delete-log or reset-counters command is carried out and
    // the command byte's low byte cleared (default 500 ms; 0: at once). The delay is elapsed
    // time of the program's time source, looked at whenever the unit is asked or read, so the
    // command is done even while nothing runs the event loop (a blocking wait).
    int CommandDelay() const { return commandDelayMs_; }
    void SetCommandDelay(int ms);
    // Commands carried out so far, in order.
    QVector<quint8> CommandsDone() const;

    // Log download: the text each section answers and how it is sent. Unless a text was set,
    // the counters section reads the engine-hour counter registers as they are now.
    QByteArray LogText(LogSection section) const;
    void SetLogText(LogSection section, const QByteArray& text);
    int LogBurstSize() const { return burstSize_; }
    int LogBurstInterval() const { return burstIntervalMs_; }
    void SetLogBurst(int bytes, int intervalMs);

    // Faults: count is how many replies (requests for Silence) it applies to,
    // Always for every one, 0 to switch it off.
    void SetFault(Fault fault, int count = Always);
    int FaultCount(Fault fault) const;
    void ClearFaults();
    void SetSplit(int pieceBytes, int gapMs = 0); // pieces of SplitReply
    void SetStrayBytes(const QByteArray& bytes);
    void SetCorruptRegister(int address); // the word CorruptReadBack alters; -1: the first one read
    void SetReplyDelay(int ms);           // DelayedReply: each reply goes out this much later
    // Answers this many more packages, then stays silent (-1: no limit).
    void SetStopAfter(int packages);
    // Goes dead just before the relock: the first write that would lock it again (register 0
    // set to anything but the unlock code while it is unlocked) is not heard, nor anything after.
    void SetDeadAtRelock(bool dead) { deadAtRelock_ = dead; }

    // Fields in which real units differ (the master must not rely on them).
    BitReplySize BitSize() const { return bitSize_; }
    void SetBitReplySize(BitReplySize size) { bitSize_ = size; }
    // The type character of every data reply; 0 (the default) answers "0" for registers and
    // packed bits and "3" for a bit.
    char DataReplyType() const { return dataType_; }
    void SetDataReplyType(char type) { dataType_ = type; }

    // Output at the line rate instead of at once.
    bool Paced() const { return sender_.Paced(); }
    void SetPaced(bool paced) { sender_.SetPaced(paced); }
    bool Sending() const { return sender_.Busy(); }

    // Statistics for tests.
    int PackagesReceived() const { return packagesReceived_; } // complete frames, good or not
    int PackagesAnswered() const { return packagesAnswered_; }
    qint64 BytesIn() const { return bytesIn_; }
    qint64 BytesOut() const { return bytesOut_; }
    void ResetStatistics();

signals:
    void Transmit(const QByteArray& bytes);
    // Everything queued has gone out.
    void Drained();

private:
    void Process();
    void Execute(const Request& request);
    void Reply(const QByteArray& reply);
    void AnswerLog(LogSection section);
    void WriteRegister(int address, quint16 value);
    void RunCommand();
    // Carries out a pending command whose delay has passed.
    void SettleCommand();
    bool TakeFault(Fault fault);

    std::array<quint16, RegisterCount> registers_{};
    QVector<bool> bits_;
    int identity_ = 240;
    bool unlocked_ = false;
    bool engineRunning_ = false;
    bool q3_ = false;

    int commandDelayMs_ = 500;
    bool commandPending_ = false;
    qint64 commandDueMs_ = 0;
    QVector<quint8> commandsDone_;

    std::array<QByteArray, 3> logText_;
    bool countersTextSet_ = false;
    int burstSize_ = 64;
    int burstIntervalMs_ = 100;

    std::array<int, 7> faults_{};
    BitReplySize bitSize_ = BitReplySize::DataBytes;
    char dataType_ = 0;
    int replyDelayMs_ = 0;
    int splitBytes_ = 4;
    int splitGapMs_ = 0;
    QByteArray strayBytes_;
    int corruptRegister_ = -1;
    int stopAfter_ = -1;
    bool deadAtRelock_ = false;

    QByteArray buffer_;
    LineSender sender_;

    int packagesReceived_ = 0;
    int packagesAnswered_ = 0;
    qint64 bytesIn_ = 0;
    qint64 bytesOut_ = 0;
};

} // namespace ecxsim
