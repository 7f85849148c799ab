#pragma once
// Start and stop timing of a standby engine: seven Byte fields (7 bytes in the setup file).
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QString>

class RecordReader;
class RecordWriter;

class XELQRN_EXPORT XelStandbyOperation {
public:
    static constexpr int kRecordBytes = 7;

    quint8 InitialStartDelay() const { return m_rec.InitialStartDelay; }
    void SetInitialStartDelay(qint32 v) { Store(m_rec.InitialStartDelay, v); }
    quint8 StartAttempts() const { return m_rec.StartAttempts; }
    void SetStartAttempts(qint32 v) { Store(m_rec.StartAttempts, v); }
    quint8 CrankingTime() const { return m_rec.CrankingTime; }
    void SetCrankingTime(qint32 v) { Store(m_rec.CrankingTime, v); }
    quint8 Delay() const { return m_rec.Delay; }
    void SetDelay(qint32 v) { Store(m_rec.Delay, v); }
    quint8 GenBreakTimer() const { return m_rec.GenBreakTimer; }
    void SetGenBreakTimer(qint32 v) { Store(m_rec.GenBreakTimer, v); }
    quint8 Cooling() const { return m_rec.Cooling; }
    void SetCooling(qint32 v) { Store(m_rec.Cooling, v); }
    quint8 FuelConsumption() const { return m_rec.FuelConsumption; }
    void SetFuelConsumption(qint32 v) { Store(m_rec.FuelConsumption, v); }

    // Library-internal.
    bool Changed() const { return !(m_rec == m_backup); }
    void ResetBackup() { m_backup = m_rec; }
    bool ReadFromFile(RecordReader& reader, const QString& fileVersion);
    bool WriteToFile(RecordWriter& writer);
    bool FromImage(const QByteArray& image, const QString& sFirmware);
    bool ToImage(QByteArray& image, QString* failedField = nullptr) const;

private:
    struct Record {
        quint8 InitialStartDelay = 0;
        quint8 CrankingTime = 0;
        quint8 Delay = 0;
        quint8 StartAttempts = 0;
        quint8 GenBreakTimer = 0;
        quint8 Cooling = 0;
        quint8 FuelConsumption = 0;
        friend bool operator==(const Record&, const Record&) = default;
    };
    static void Store(quint8& field, qint32 v)
    {
        if (v >= 0 && v <= 255)
            field = quint8(v);
    }
    Record m_rec;
    Record m_backup;
};
