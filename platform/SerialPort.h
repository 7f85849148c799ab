#pragma once
#include "platform/PlatformExport.h"
#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace platform {

// A serial settings text such as "9600,o,8,1": baud rate, parity (n, o, e, m, s),
// data bits (5 to 8) and stop bits (1, 1.5 or 2).
struct SerialSettings {
    qint32 baud = 9600;
    char parity = 'n';
    int dataBits = 8;
    // Stop bits times two, so 1.5 is exact: 2, 3 or 4.
    int stopBitsTimesTwo = 2;
};

// False (and settings untouched) for a text that does not name a usable setting.
PLATFORM_EXPORT bool ParseSerialSettings(const QString& text, SerialSettings& settings);

// The device a port number stands for. The settings value "Ports/COM<n>" names it when
// present; otherwise on Linux COM1..COM4 are the built-in ports /dev/ttyS0../dev/ttyS3,
// COM5..COM20 the USB adapters /dev/ttyUSB0../dev/ttyUSB15 and COM21..COM32 the
// modem-class adapters /dev/ttyACM0../dev/ttyACM11. Empty for a number outside 1..32.
PLATFORM_EXPORT QString SerialDevicePath(int portNumber);

// Why the latest attempt to open a port failed: the number, the device it stands for and
// the system's reason. An empty reason when the latest open succeeded.
struct PortOpenFailure {
    int portNumber = 0;
    QString device;
    QString reason;
};

// True for a pseudo-terminal: it passes bytes but has no line, so it keeps no parity.
PLATFORM_EXPORT bool IsPseudoTerminal(const QString& devicePath);

// One serial port, opened by number and settings text. Bytes that arrive wait in the
// port until read; BytesArrived tells that some have come (on the event loop).
class PLATFORM_EXPORT SerialPort : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<std::unique_ptr<SerialPort>()>;

    ~SerialPort() override;
    virtual bool Open(int portNumber, const QString& settings) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual bool Write(const QByteArray& bytes) = 0;
    // Everything that has arrived and was not read yet.
    virtual QByteArray ReadAll() = 0;
    // Drops whatever has arrived and not been read.
    virtual void DiscardInput() = 0;
    // Why the last Open failed ("" when it did not).
    virtual QString OpenError() const { return QString(); }
    // The failure of the latest Open of a real port since the latest Create (one link),
    // kept after that port is gone so that the user can be told what to fix.
    static PortOpenFailure LastOpenFailure();

    // A new port from the current factory (the real one unless a test replaced it).
    static std::unique_ptr<SerialPort> Create();
    // An empty factory restores the real port.
    static void SetFactory(Factory factory);

signals:
    void BytesArrived();
};

} // namespace platform
