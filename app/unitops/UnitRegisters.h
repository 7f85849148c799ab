#pragma once
// The unit's service registers and the short links that read and write them. Every operation
// opens a link of its own, does its work and ends the link before it returns.
#include <QString>
#include <QVector>
#include <QtGlobal>

class Comm;
class FrameApi;

namespace unitops {

namespace ServiceRegisters {
enum : qint16 {
    WriteUnlockRegister = 0,
    CommandRegister = 2,
    CounterBlock = 1546, // two words: hours / 10000, hours mod 10000
    EngineStatusRegister = 2816,
    ClockBlock = 2820, // five words
    FirmwareVersionRegister = 2825,
    HardwareVersionRegister = 2826,
    UnitTypeRegister = 2827,
    PresenceBit = 8,
};
}

// Written to register 0 before any other write; 0 relocks.
inline constexpr qint32 WriteUnlockCode = 24873;
// A Q3 unit keeps this value in register 0; a Q1/Q2 unit reads it back as 0.
inline constexpr qint32 Q3ProbeCode = 24837;
inline constexpr quint8 DeleteLogCommand = 76;
inline constexpr quint8 ResetCountersCommand = 72;

// Short links ask the frame for a port when none is stored. The frame installs itself at
// start-up; without a frame no port can be chosen and the operations fail.
void SetUnitLinkFrame(FrameApi* frame);
FrameApi* UnitLinkFrame();

// The fixed link parameters; the port is read from the settings every time.
// False when the stored port is not a usable number (the Comm is then left unconfigured).
bool ConfigureUnitLink(Comm& comm, qint16 retries, qint16 timeOut);

// "major.minor" of a firmware register value: 1030 -> "4.6", 1071 -> "4.47".
QString FirmwareVersionText(qint32 value);

// True when the unit has carried out the command (76 delete log, 72 reset counters).
bool SendUnitCommand(quint8 command);
// Writes both counter words (indexes 0 and 1); true when both read back equal.
bool WriteCounterRegisters(const QVector<qint32>& values);
// The five clock words from register 2820 in one write (the clock needs no unlock).
// False when the port was not chosen (nothing written, portCancelled set) or the write failed.
bool WriteClockRegisters(const QVector<qint32>& values, bool& portCancelled);
// True when the engine status reads 0; an unreadable status counts as running.
bool EngineIsStopped();

} // namespace unitops
