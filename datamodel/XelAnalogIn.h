#pragma once
// One analog input channel: its record (also its 607-byte form in the setup file) and its
// bytes in the unit image (46 bytes per channel, an 8-byte J-parameter block, and the
// engine-speed points shared by all channels at bytes 3068-3071).
#include "datamodel/JData.h"
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QString>

class RecordReader;
class RecordWriter;

class XELQRN_EXPORT XelAnalogIn {
public:
    static constexpr int kTerminalLength = 10;
    static constexpr int kTextLength = 30;
    static constexpr int kUnitsLength = 4;
    static constexpr int kInfoLength = 512;
    static constexpr int kRecordBytes = 607;

    XelAnalogIn();

    bool Active() const { return m_rec.Active; }
    void SetActive(bool v) { m_rec.Active = v; }
    quint8 Index() const { return m_rec.Index; }
    void SetIndex(qint32 v);
    // All 10 characters, blank-padded.
    QString Terminal() const { return m_rec.Terminal; }
    void SetTerminal(const QString& v);
    // Sensor range and limits travel as the image's signed word, so only values that read
    // back unchanged (-32768..32766) are taken; others are dropped.
    qint32 SensorMin() const { return m_rec.SensorMin; }
    void SetSensorMin(qint32 v);
    qint32 SensorMax() const { return m_rec.SensorMax; }
    void SetSensorMax(qint32 v);
    // Trailing blanks removed.
    QString Text() const;
    void SetText(const QString& v);
    QString Units() const;
    void SetUnits(const QString& v);
    quint8 InitialDelay() const { return m_rec.InitialDelay; }
    void SetInitialDelay(qint32 v);
    quint8 AlarmDelay() const { return m_rec.AlarmDelay; }
    void SetAlarmDelay(qint32 v);
    // iIndex 0 (alarm or shutdown) or 1 (warning); another index reads 0 and drops writes.
    qint32 Limit(qint32 iIndex) const;
    void SetLimit(qint32 iIndex, qint32 v);
    qint32 Action() const { return m_rec.Action; }
    void SetAction(qint32 v);
    qint32 ActionDirection() const { return m_rec.ActionDirection; }
    void SetActionDirection(qint32 v);
    bool OnRunOnly() const { return m_rec.OnRunOnly; }
    void SetOnRunOnly(bool v) { m_rec.OnRunOnly = v; }
    bool RUNAlsoDetectedBy() const { return m_rec.RUNAlsoDetectedBy; }
    void SetRUNAlsoDetectedBy(bool v) { m_rec.RUNAlsoDetectedBy = v; }
    qint32 InputType() const { return m_rec.InputType; }
    void SetInputType(qint32 v);
    bool DoubleScale() const { return m_rec.DoubleScale; }
    void SetDoubleScale(bool v) { m_rec.DoubleScale = v; }
    JData JValues() const { return m_rec.JValues; }
    void SetJValues(const JData& v) { m_rec.JValues = v; }
    qint32 RPMLimit(qint32 iIndex) const;
    void SetRPMLimit(qint32 iIndex, qint32 v);
    qint32 RPM(qint32 iIndex) const;
    void SetRPM(qint32 iIndex, qint32 v);
    // Trailing blanks removed.
    QString Info() const;
    void SetInfo(const QString& v);

    // Library-internal: the document and the collection call these.
    bool Changed() const;
    void ResetBackup();
    bool ReadFromFile(RecordReader& reader, const QString& fileVersion);
    bool WriteToFile(RecordWriter& writer);
    bool FromImage(const QByteArray& image, const QString& sFirmware);
    // failedField (when given) names the field that could not be written.
    bool ToImage(QByteArray& image, QString* failedField = nullptr) const;

    // First image byte of channel n and of its J-parameter block; -1 outside 1..17.
    static int ImageBase(int n);
    static int BlockBase(int n);

private:
    struct Record {
        quint8 Index = 0;
        QString Terminal;
        bool Active = false;
        QString Text;
        qint32 SensorMin = 0;
        qint32 SensorMax = 0;
        QString Units;
        quint8 Action = 0;
        quint8 ActionDirection = 0;
        bool OnRunOnly = false;
        qint32 Limit[2] = {0, 0};
        quint8 InitialDelay = 0;
        quint8 AlarmDelay = 0;
        bool RUNAlsoDetectedBy = false;
        bool DoubleScale = false;
        qint16 InputType = 0;
        JData JValues;
        qint16 RPMLimit[2] = {0, 0};
        qint16 RPM[2] = {0, 0};
        QString Info;
    };
    static bool SameRecord(const Record& a, const Record& b);
    bool ReadBase(RecordReader& reader);

    // The signed image word of a field; false when it does not fit.
    bool PutSignedWord(QByteArray& image, int index, qint32 value) const;
    bool GetSignedWord(const QByteArray& image, int index, qint32& value) const;

    Record m_rec;
    Record m_backup;
};
