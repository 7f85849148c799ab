// The serial port stand-in: QSerialPort behind the port interface.
#include "platform/SerialPort.h"

#include <QFileInfo>
#include "platform/SettingsStore.h"

#include <optional>

#include <QSerialPort>
#include <QStringList>

namespace platform {

bool ParseSerialSettings(const QString& text, SerialSettings& settings)
{
    const QStringList parts = text.split(',');
    if (parts.size() != 4)
        return false;
    SerialSettings s;
    bool ok = false;
    const QString baud = parts[0].trimmed();
    s.baud = baud.toInt(&ok);
    if (!ok || s.baud <= 0 || baud.startsWith('+'))
        return false;
    const QString parity = parts[1].trimmed().toLower();
    if (parity.size() != 1 || !QString("noems").contains(parity))
        return false;
    s.parity = char(parity[0].unicode());
    const QString data = parts[2].trimmed();
    s.dataBits = data.toInt(&ok);
    if (!ok || data.size() != 1 || s.dataBits < 5 || s.dataBits > 8)
        return false;
    const QString stop = parts[3].trimmed();
    if (stop == "1")
        s.stopBitsTimesTwo = 2;
    else if (stop == "1.5")
        s.stopBitsTimesTwo = 3;
    else if (stop == "2")
        s.stopBitsTimesTwo = 4;
    else
        return false;
    settings = s;
    return true;
}

QString SerialDevicePath(int portNumber)
{
    if (portNumber < 1)
        return {};
    const auto mapped = SettingsStore::Instance().Value(QString("Ports/COM%1").arg(portNumber));
    if (mapped && !mapped->trimmed().isEmpty())
        return mapped->trimmed();
#if defined(Q_OS_WIN)
    return QString("COM%1").arg(portNumber);
#else
    if (portNumber <= 4)
        return QString("/dev/ttyS%1").arg(portNumber - 1);
    if (portNumber <= 20)
        return QString("/dev/ttyUSB%1").arg(portNumber - 5);
    if (portNumber <= 32)
        return QString("/dev/ttyACM%1").arg(portNumber - 21);
    return {};
#endif
}

bool IsPseudoTerminal(const QString& devicePath)
{
    const QString real = QFileInfo(devicePath).canonicalFilePath();
    return real.startsWith(QLatin1String("/dev/pts/")) || real == QLatin1String("/dev/ptmx");
}

SerialPort::~SerialPort() = default;

namespace {

PortOpenFailure g_lastFailure;

// The system's reason in words a user can act on.
QString ReasonText(QSerialPort::SerialPortError error, const QString& systemText)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError: return QStringLiteral("the device does not exist");
    case QSerialPort::PermissionError:
        return QStringLiteral("permission denied (the device is in use or the user may not open it)");
    default: return systemText;
    }
}

void Record(int portNumber, const QString& device, const QString& reason)
{
    g_lastFailure = PortOpenFailure{portNumber, device, reason};
}

class QtSerialPort : public SerialPort {
public:
    QtSerialPort()
    {
        QObject::connect(&m_port, &QSerialPort::readyRead, this, &SerialPort::BytesArrived);
    }

    bool Open(int portNumber, const QString& settings) override
    {
        Close();
        m_openError.clear();
        SerialSettings s;
        const QString device = DeviceFor(portNumber);
        if (!ParseSerialSettings(settings, s)) {
            m_openError = QStringLiteral("Invalid port settings '%1'").arg(settings);
            Record(portNumber, device, m_openError);
            return false;
        }
        if (device.isEmpty()) {
            m_openError = QStringLiteral("No device for port %1").arg(portNumber);
            Record(portNumber, device, QStringLiteral("no device for this port number"));
            return false;
        }
        m_port.setPortName(device);
        if (!m_port.open(QIODevice::ReadWrite)) {
            m_openError = QStringLiteral("Port %1 (%2) could not be opened: %3").arg(portNumber).arg(device, m_port.errorString());
            Record(portNumber, device, ReasonText(m_port.error(), m_port.errorString()));
            return false;
        }
        QSerialPort::Parity parity = QSerialPort::NoParity;
        switch (s.parity) {
        case 'o': parity = QSerialPort::OddParity; break;
        case 'e': parity = QSerialPort::EvenParity; break;
        case 'm': parity = QSerialPort::MarkParity; break;
        case 's': parity = QSerialPort::SpaceParity; break;
        default: break;
        }
        const auto stop = s.stopBitsTimesTwo == 4   ? QSerialPort::TwoStop
                          : s.stopBitsTimesTwo == 3 ? QSerialPort::OneAndHalfStop
                                                    : QSerialPort::OneStop;
        // A real line that does not take the settings would only deliver garbled replies.
        bool accepted = m_port.setBaudRate(s.baud);
        accepted = m_port.setParity(parity) && accepted;
        accepted = m_port.setDataBits(QSerialPort::DataBits(s.dataBits)) && accepted;
        accepted = m_port.setStopBits(stop) && accepted;
        accepted = m_port.setFlowControl(QSerialPort::NoFlowControl) && accepted;
        if (!accepted && !IsPseudoTerminal(device)) {
            m_openError = QStringLiteral("Port %1 (%2) refused the line settings '%3': %4")
                              .arg(portNumber)
                              .arg(device, settings, m_port.errorString());
            Record(portNumber, device, QStringLiteral("the line refused the settings %1").arg(settings));
            m_port.close();
            return false;
        }
        g_lastFailure = PortOpenFailure{portNumber, device, QString()};
        return true;
    }

    QString OpenError() const override { return m_openError; }

    void Close() override
    {
        if (m_port.isOpen())
            m_port.close();
    }

    bool IsOpen() const override { return m_port.isOpen(); }

    bool Write(const QByteArray& bytes) override
    {
        if (!m_port.isOpen())
            return false;
        if (m_port.write(bytes) != bytes.size())
            return false;
        m_port.flush();
        return true;
    }

    QByteArray ReadAll() override { return m_port.isOpen() ? m_port.readAll() : QByteArray(); }

    void DiscardInput() override
    {
        if (!m_port.isOpen())
            return;
        m_port.readAll();
        m_port.clear(QSerialPort::Input);
    }

private:
    // A link opens its port for every package: it looks the mapping up once, at its first open,
    // and the next link sees an edited mapping.
    QString DeviceFor(int portNumber)
    {
        if (!m_deviceOf || *m_deviceOf != portNumber) {
            m_device = SerialDevicePath(portNumber);
            m_deviceOf = portNumber;
        }
        return m_device;
    }

    QString m_openError;
    QSerialPort m_port;
    std::optional<int> m_deviceOf;
    QString m_device;
};

SerialPort::Factory& CurrentFactory()
{
    static SerialPort::Factory factory;
    return factory;
}

} // namespace

PortOpenFailure SerialPort::LastOpenFailure() { return g_lastFailure; }

std::unique_ptr<SerialPort> SerialPort::Create()
{
    // A new link: what an earlier one ran into no longer says anything.
    g_lastFailure = PortOpenFailure{};
    if (CurrentFactory())
        if (auto port = CurrentFactory()())
            return port;
    return std::make_unique<QtSerialPort>();
}

void SerialPort::SetFactory(Factory factory) { CurrentFactory() = std::move(factory); }

} // namespace platform
