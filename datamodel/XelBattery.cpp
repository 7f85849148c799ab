#include "datamodel/XelBattery.h"

#include "extra/extra.h"
#include "datamodel/ImageAccess.h"
#include "datamodel/RecordIO.h"

#include <cmath>

using namespace ImageAccess;

namespace {

const int kTwelveVolt = 663;
const int kDelay = 665;
const int kLowWord = 666;
const int kBusSource = 2545;
const int kDescriptor = 2900;
const quint8 kJ1587Battery[8] = {20, 127, 158, 0, 0, 0, 128, 0};

// Whole number with halves to even; false when it does not fit an Integer.
bool ToInteger(double value, qint16& out)
{
    if (!(value > -32769.0 && value < 32768.0) || !FitsInteger(extra::RoundHalfEven(value)))
        return false;
    out = qint16(extra::RoundHalfEven(value));
    return true;
}

} // namespace

XelBattery::XelBattery() = default;

float XelBattery::LowBatteryVoltage() const { return float(m_rec.lowBatteryVoltage) / 10.0f; }

void XelBattery::SetLowBatteryVoltage(float volts)
{
    qint16 v;
    if (ToInteger(double(volts) * 10.0, v))
        m_rec.lowBatteryVoltage = v;
}

float XelBattery::BatteryVoltage() const { return float(m_rec.batteryVoltage); }

void XelBattery::SetBatteryVoltage(float value)
{
    qint16 v;
    if (ToInteger(double(value), v))
        m_rec.batteryVoltage = v;
}

// The bus selection byte counts as a setting of its own.
bool XelBattery::Changed() const { return !(m_rec == m_backup); }
void XelBattery::ResetBackup() { m_backup = m_rec; }

bool XelBattery::ReadFromFile(RecordReader& r, const QString& fileVersion)
{
    const FileVersion v = FileVersion::Parse(fileVersion);
    Record& d = m_rec;
    if (v.major < 3) {
        r.Integer(d.lowBatteryVoltage);
        r.Byte(d.delay);
        if (v.AtLeast(2, 0))
            r.Integer(d.batteryVoltage);
        if (v.AtLeast(2, 1))
            r.Boolean(d.lowBatteryVoltageAlarm);
        if (v.AtLeast(2, 13))
            r.Integer(d.canBatteryType);
        if (!r.Ok())
            return false;
        if (!v.AtLeast(2, 0))
            d.batteryVoltage = 24;
        if (!v.AtLeast(2, 1))
            d.lowBatteryVoltageAlarm = true;
        else if (!v.AtLeast(2, 13))
            d.canBatteryType = 38;
    }
    ResetBackup();
    return true;
}

bool XelBattery::WriteToFile(RecordWriter& w)
{
    w.Integer(m_rec.lowBatteryVoltage);
    w.Byte(m_rec.delay);
    w.Integer(m_rec.batteryVoltage);
    w.Boolean(m_rec.lowBatteryVoltageAlarm);
    w.Integer(m_rec.canBatteryType);
    if (!w.Ok())
        return false;
    if (!w.KeepsBackup())
        ResetBackup();
    return true;
}

bool XelBattery::ToImage(QByteArray& image, QString* failedField) const
{
    const QString voltageField = QStringLiteral("LowBatteryVoltage");
    const qint32 limit = m_rec.lowBatteryVoltageAlarm ? m_rec.lowBatteryVoltage : 0;
    switch (m_rec.batteryVoltage) {
    case 12:
        if (!PutByte(image, kBusSource, 0) || !PutByte(image, kTwelveVolt, 1))
            return Refuse(failedField, QStringLiteral("BatteryVoltage"));
        // The unit counts a 12 V battery in twentieths of a volt.
        if (limit * 2 > 32767 || !PutWord(image, kLowWord, limit * 2))
            return Refuse(failedField, voltageField);
        break;
    case 24:
        if (!PutByte(image, kBusSource, 0) || !PutByte(image, kTwelveVolt, 0))
            return Refuse(failedField, QStringLiteral("BatteryVoltage"));
        if (!PutWord(image, kLowWord, limit))
            return Refuse(failedField, voltageField);
        break;
    case 1: {
        if (!PutByte(image, kBusSource, 2) || !PutByte(image, kTwelveVolt, 0))
            return Refuse(failedField, QStringLiteral("BatteryVoltage"));
        if (!PutWord(image, kLowWord, limit))
            return Refuse(failedField, voltageField);
        const qint32 j1939[8] = {20, m_rec.canBatteryType, 247, 0, 24, 254, 64, 0};
        for (int k = 0; k < 8; ++k)
            if (!PutByte(image, kDescriptor + k, j1939[k]))
                return Refuse(failedField, QStringLiteral("CANBatteryType"));
        break;
    }
    case 2:
        if (!PutByte(image, kBusSource, 2) || !PutByte(image, kTwelveVolt, 0))
            return Refuse(failedField, QStringLiteral("BatteryVoltage"));
        if (!PutWord(image, kLowWord, limit))
            return Refuse(failedField, voltageField);
        for (int k = 0; k < 8; ++k)
            if (!PutByte(image, kDescriptor + k, kJ1587Battery[k]))
                return Refuse(failedField, QStringLiteral("BatteryVoltage"));
        break;
    default:
        break;
    }
    if (!PutByte(image, kDelay, m_rec.delay))
        return Refuse(failedField, QStringLiteral("Delay"));
    return true;
}

bool XelBattery::FromImage(const QByteArray& image, const QString& sFirmware)
{
    quint8 b = 0;
    qint32 word = 0;
    qint32 stored = 0;
    if (extra::CompareVersions(sFirmware, QStringLiteral("4")) < 0) {
        m_rec.batteryVoltage = 24;
        if (!GetWord(image, kLowWord, word) || word > 32767)
            return false;
        stored = word;
    } else {
        if (!GetByte(image, kBusSource, b))
            return false;
        if (b != 0) {
            quint8 bus = 0;
            if (!GetByte(image, kDescriptor + 6, bus))
                return false;
            if (bus == 64) {
                quint8 type = 0;
                if (!GetByte(image, kDescriptor + 1, type))
                    return false;
                m_rec.batteryVoltage = 1;
                m_rec.canBatteryType = type;
            } else {
                m_rec.batteryVoltage = 2;
            }
            if (!GetWord(image, kLowWord, word) || word > 32767)
                return false;
            stored = word;
        } else {
            if (!GetByte(image, kTwelveVolt, b))
                return false;
            if (b != 0) {
                m_rec.batteryVoltage = 12;
                // The halved word must fit the field: 65535 rounds up to 32768.
                if (!GetWord(image, kLowWord, word))
                    return false;
                stored = qint32(extra::RoundHalfEven(word / 2.0));
                if (stored > 32767)
                    return false;
            } else {
                m_rec.batteryVoltage = 24;
                if (!GetWord(image, kLowWord, word) || word > 32767)
                    return false;
                stored = word;
            }
        }
    }
    m_rec.lowBatteryVoltage = qint16(stored);
    if (!GetByte(image, kDelay, b))
        return false;
    m_rec.delay = b;
    // The image keeps no switch of its own: the encoder writes a limit of 0 for "off".
    m_rec.lowBatteryVoltageAlarm = stored != 0;
    return true;
}
