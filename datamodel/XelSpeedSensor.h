#pragma once
#include "datamodel/RecordIO.h"
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QString>

class RecordReader;
class RecordWriter;

// How the unit measures engine speed (two inputs) and the speed thresholds it acts on.
class XELQRN_EXPORT XelSpeedSensor {
public:
    XelSpeedSensor();

    quint8 Sender(qint16 iIndex) const;
    void SetSender(qint16 iIndex, qint32 value);
    quint8 PulsesPerRevolution(qint16 iIndex) const;
    void SetPulsesPerRevolution(qint16 iIndex, qint32 value);
    qint16 ReadyToTakeLoad() const { return m_rec.readyToTakeLoad; }
    void SetReadyToTakeLoad(qint32 value) { if (FitsInteger(value)) m_rec.readyToTakeLoad = qint16(value); }
    qint16 NomSpeed() const { return m_rec.nomSpeed; }
    void SetNomSpeed(qint32 value) { if (FitsInteger(value)) m_rec.nomSpeed = qint16(value); }
    qint32 Speeding() const { return m_rec.speeding; }
    void SetSpeeding(qint32 value) { m_rec.speeding = value; }
    // Seconds; stored in tenths of a second as one byte.
    float SpeedingShutdown() const;
    void SetSpeedingShutdown(float seconds);
    qint16 RunDetectedAt() const { return m_rec.runDetectedAt; }
    void SetRunDetectedAt(qint32 value) { if (FitsInteger(value)) m_rec.runDetectedAt = qint16(value); }
    quint8 PickupType(qint16 iIndex) const;
    void SetPickupType(qint16 iIndex, qint32 value);

    // Library-internal: the document calls these.
    bool Changed() const;
    void ResetBackup();
    bool ReadFromFile(RecordReader& r, const QString& fileVersion);
    bool WriteToFile(RecordWriter& w);
    bool FromImage(const QByteArray& image, const QString& sFirmware);
    bool ToImage(QByteArray& image, QString* failedField = nullptr) const;

private:
    struct Record {
        quint8 sender[2] = {0, 0};
        quint8 pulsesPerRevolution[2] = {0, 0};
        qint16 readyToTakeLoad = 0;
        qint16 nomSpeed = 0;
        qint32 speeding = 0;
        quint8 speedingShutdown = 0; // tenths of a second
        qint16 runDetectedAt = 0;
        quint8 pickupType[2] = {0, 0};
        bool operator==(const Record&) const = default;
    };
    Record m_rec;
    Record m_backup;
};
