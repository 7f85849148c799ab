#include "datamodel/XelSpeedSensor.h"

#include "extra/extra.h"
#include "datamodel/ImageAccess.h"
#include "datamodel/RecordIO.h"

#include <cmath>

using namespace ImageAccess;

namespace {

// Bus speed descriptors: the unit reads engine speed from J1939 (64) or J1587 (128).
const quint8 kJ1939Speed[8] = {2, 35, 4, 0, 12, 240, 64, 0};
const quint8 kJ1587Speed[8] = {2, 127, 0, 190, 0, 0, 128, 0};
const int kBusByte = 6;

struct Input {
    int kind;       // sender kind byte, written only
    int pulses;
    int sender;
    int descriptor; // 8 bytes
};
const Input kInputs[2] = {{649, 650, 651, 2916}, {2540, 2541, 2542, 3020}};

bool ValidIndex(qint16 i) { return i == 0 || i == 1; }

bool PutDescriptor(QByteArray& image, int at, const quint8* bytes)
{
    for (int k = 0; k < 8; ++k)
        if (!PutByte(image, at + k, bytes ? bytes[k] : 0))
            return false;
    return true;
}

// A word that does not fit an Integer field stops the decode.
bool GetIntegerWord(const QByteArray& image, int at, qint16& value)
{
    qint32 w;
    if (!GetWord(image, at, w) || w > 32767)
        return false;
    value = qint16(w);
    return true;
}

} // namespace

XelSpeedSensor::XelSpeedSensor() = default;

quint8 XelSpeedSensor::Sender(qint16 i) const { return ValidIndex(i) ? m_rec.sender[i] : 0; }
void XelSpeedSensor::SetSender(qint16 i, qint32 v)
{
    if (ValidIndex(i) && FitsByte(v))
        m_rec.sender[i] = quint8(v);
}
quint8 XelSpeedSensor::PulsesPerRevolution(qint16 i) const { return ValidIndex(i) ? m_rec.pulsesPerRevolution[i] : 0; }
void XelSpeedSensor::SetPulsesPerRevolution(qint16 i, qint32 v)
{
    if (ValidIndex(i) && FitsByte(v))
        m_rec.pulsesPerRevolution[i] = quint8(v);
}
quint8 XelSpeedSensor::PickupType(qint16 i) const { return ValidIndex(i) ? m_rec.pickupType[i] : 0; }
void XelSpeedSensor::SetPickupType(qint16 i, qint32 v)
{
    if (ValidIndex(i) && FitsByte(v))
        m_rec.pickupType[i] = quint8(v);
}

float XelSpeedSensor::SpeedingShutdown() const { return float(m_rec.speedingShutdown) / 10.0f; }

void XelSpeedSensor::SetSpeedingShutdown(float seconds)
{
    const double tenths = double(seconds) * 10.0;
    if (!(tenths > -1.0 && tenths < 256.0) || !FitsByte(extra::RoundHalfEven(tenths)))
        return;
    m_rec.speedingShutdown = quint8(extra::RoundHalfEven(tenths));
}

bool XelSpeedSensor::Changed() const { return !(m_rec == m_backup); }
void XelSpeedSensor::ResetBackup() { m_backup = m_rec; }

bool XelSpeedSensor::ReadFromFile(RecordReader& r, const QString& fileVersion)
{
    const FileVersion v = FileVersion::Parse(fileVersion);
    Record& d = m_rec;
    if (v.major < 2) {
        r.Byte(d.sender[0]);
        r.Byte(d.pulsesPerRevolution[0]);
        r.Integer(d.readyToTakeLoad);
        r.Integer(d.nomSpeed);
        r.Long(d.speeding);
        r.Byte(d.speedingShutdown);
        r.Integer(d.runDetectedAt);
        if (!r.Ok())
            return false;
        d.sender[1] = 1;
        d.pulsesPerRevolution[1] = 150;
        d.pickupType[0] = 1;
        d.pickupType[1] = 0;
    } else if (v.major == 2) {
        r.Byte(d.sender[0]);
        r.Byte(d.sender[1]);
        r.Byte(d.pulsesPerRevolution[0]);
        r.Byte(d.pulsesPerRevolution[1]);
        r.Integer(d.readyToTakeLoad);
        r.Integer(d.nomSpeed);
        r.Long(d.speeding);
        r.Byte(d.speedingShutdown);
        r.Integer(d.runDetectedAt);
        if (v.minor >= 11) {
            r.Byte(d.pickupType[0]);
            r.Byte(d.pickupType[1]);
            if (!r.Ok())
                return false;
        } else {
            // One pickup code for both inputs; from 2.8 on a flag says the second one counts pulses.
            quint8 code = 0;
            qint16 flag = 0;
            r.Byte(code);
            const bool withFlag = v.minor >= 8;
            if (withFlag)
                r.Integer(flag);
            if (!r.Ok())
                return false;
            switch (code) {
            case 0: d.pickupType[0] = 0; d.pickupType[1] = 0; break;
            case 1: d.pickupType[0] = 1; d.pickupType[1] = 0; break;
            case 2: d.pickupType[0] = 1; d.pickupType[1] = 1; break;
            case 3:
            case 4:
                d.pickupType[0] = code - 1;
                if (!withFlag)
                    d.pickupType[1] = 0;
                else if (flag != 0)
                    d.pickupType[1] = 1;
                break;
            default:
                break;
            }
        }
    }
    ResetBackup();
    return true;
}

bool XelSpeedSensor::WriteToFile(RecordWriter& w)
{
    const Record& d = m_rec;
    w.Byte(d.sender[0]);
    w.Byte(d.sender[1]);
    w.Byte(d.pulsesPerRevolution[0]);
    w.Byte(d.pulsesPerRevolution[1]);
    w.Integer(d.readyToTakeLoad);
    w.Integer(d.nomSpeed);
    w.Long(d.speeding);
    w.Byte(d.speedingShutdown);
    w.Integer(d.runDetectedAt);
    w.Byte(d.pickupType[0]);
    w.Byte(d.pickupType[1]);
    if (!w.Ok())
        return false;
    if (!w.KeepsBackup())
        ResetBackup();
    return true;
}

bool XelSpeedSensor::ToImage(QByteArray& image, QString* failedField) const
{
    using ImageAccess::Refuse;
    const Record& d = m_rec;
    const QString sender = QStringLiteral("Sender");
    if (!PutByte(image, kInputs[0].sender, d.sender[0]) || !PutByte(image, kInputs[1].sender, d.sender[1]))
        return Refuse(failedField, sender);
    if (!PutDescriptor(image, kInputs[0].descriptor, nullptr) || !PutDescriptor(image, kInputs[1].descriptor, nullptr))
        return Refuse(failedField, sender);
    if (!PutByte(image, kInputs[0].kind, d.sender[0] == 2 ? 2 : 1)
        || !PutByte(image, kInputs[1].kind, d.sender[1] == 2 ? 2 : 1))
        return Refuse(failedField, sender);
    for (int n = 0; n < 2; ++n) {
        const Input& in = kInputs[n];
        if (!PutByte(image, in.pulses, 0))
            return Refuse(failedField, QStringLiteral("PulsesPerRevolution(%1)").arg(n));
        switch (d.pickupType[n]) {
        case 1:
            if (!PutByte(image, in.pulses, d.pulsesPerRevolution[n]))
                return Refuse(failedField, QStringLiteral("PulsesPerRevolution(%1)").arg(n));
            break;
        case 2:
        case 3:
            if (!PutDescriptor(image, in.descriptor, d.pickupType[n] == 2 ? kJ1939Speed : kJ1587Speed)
                || !PutByte(image, in.kind, 0))
                return Refuse(failedField, QStringLiteral("PickupType(%1)").arg(n));
            break;
        default:
            break;
        }
    }
    if (!PutWord(image, 658, d.readyToTakeLoad))
        return Refuse(failedField, QStringLiteral("ReadyToTakeLoad"));
    if (!PutWord(image, 652, d.nomSpeed))
        return Refuse(failedField, QStringLiteral("NomSpeed"));
    if (!PutWord(image, 654, d.speeding))
        return Refuse(failedField, QStringLiteral("Speeding"));
    if (!PutWord(image, 656, d.runDetectedAt))
        return Refuse(failedField, QStringLiteral("RunDetectedAt"));
    if (!PutByte(image, 660, d.speedingShutdown))
        return Refuse(failedField, QStringLiteral("SpeedingShutdown"));
    return true;
}

bool XelSpeedSensor::FromImage(const QByteArray& image, const QString& sFirmware)
{
    quint8 b = 0;
    if (!GetByte(image, kInputs[0].sender, b))
        return false;
    SetSender(0, b == 0 ? 1 : b);
    if (!GetByte(image, kInputs[0].pulses, b))
        return false;
    SetPulsesPerRevolution(0, b);
    if (extra::CompareVersions(sFirmware, QStringLiteral("4")) < 0) {
        // A unit with one speed input.
        SetPickupType(0, 1);
        SetPickupType(1, 0);
        SetSender(1, 1);
        SetPulsesPerRevolution(1, 150);
    } else {
        if (!GetByte(image, kInputs[1].sender, b))
            return false;
        SetSender(1, b == 0 ? 1 : b);
        quint8 p1 = 0;
        if (!GetByte(image, kInputs[1].pulses, p1))
            return false;
        SetPulsesPerRevolution(1, p1 == 0 ? 150 : p1);
        if (!GetByte(image, kInputs[0].pulses, b))
            return false;
        SetPickupType(0, b != 0 ? 1 : 0);
        SetPickupType(1, p1 != 0 ? 1 : 0);
        for (int n = 0; n < 2; ++n) {
            if (!GetByte(image, kInputs[n].descriptor + kBusByte, b))
                return false;
            if (b == 64)
                SetPickupType(n, 2);
            else if (b == 128)
                SetPickupType(n, 3);
        }
    }
    qint16 v = 0;
    if (!GetIntegerWord(image, 658, v))
        return false;
    SetReadyToTakeLoad(v);
    if (!GetIntegerWord(image, 652, v))
        return false;
    SetNomSpeed(v);
    qint32 speeding = 0;
    if (!GetWord(image, 654, speeding))
        return false;
    SetSpeeding(speeding);
    if (!GetByte(image, 660, b))
        return false;
    m_rec.speedingShutdown = b;
    if (!GetIntegerWord(image, 656, v))
        return false;
    SetRunDetectedAt(v);
    return true;
}
