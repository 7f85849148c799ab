#pragma once
#include "datamodel/RecordIO.h"
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QString>

class RecordReader;
class RecordWriter;

// Start battery supervision: the measured battery, its low-voltage limit and alarm.
class XELQRN_EXPORT XelBattery {
public:
    XelBattery();

    // Volts; stored in tenths of a volt.
    float LowBatteryVoltage() const;
    void SetLowBatteryVoltage(float volts);
    quint8 Delay() const { return m_rec.delay; }
    void SetDelay(qint32 value) { if (FitsByte(value)) m_rec.delay = quint8(value); }
    // 12 or 24: a battery the unit measures; 1: read from J1939; 2: read from J1587; 999: an
    // external source, also on the engine bus.
    float BatteryVoltage() const;
    void SetBatteryVoltage(float value);
    // True when the voltage comes over J1939/J1587 rather than from the unit's own terminals.
    bool BatteryFromEngineBus() const { return m_rec.batteryVoltage == 1 || m_rec.batteryVoltage == 2 || m_rec.batteryVoltage == 999; }
    bool LowBatteryVoltageAlarm() const { return m_rec.lowBatteryVoltageAlarm; }
    void SetLowBatteryVoltageAlarm(bool value) { m_rec.lowBatteryVoltageAlarm = value; }
    qint16 CANBatteryType() const { return m_rec.canBatteryType; }
    void SetCANBatteryType(qint32 value) { if (FitsInteger(value)) m_rec.canBatteryType = qint16(value); }

    // Library-internal: the document calls these.
    bool Changed() const;
    void ResetBackup();
    bool ReadFromFile(RecordReader& r, const QString& fileVersion);
    bool WriteToFile(RecordWriter& w);
    bool FromImage(const QByteArray& image, const QString& sFirmware);
    bool ToImage(QByteArray& image, QString* failedField = nullptr) const;

private:
    struct Record {
        qint16 lowBatteryVoltage = 0; // tenths of a volt
        quint8 delay = 0;
        qint16 batteryVoltage = 0;
        bool lowBatteryVoltageAlarm = false;
        qint16 canBatteryType = 0;
        bool operator==(const Record&) const = default;
    };
    Record m_rec;
    Record m_backup;
};
