#pragma once
#include "datamodel/XelEnums.h"
#include "datamodel/RecordIO.h"
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class RecordReader;
class RecordWriter;

// The unit's general settings and the record of the last setup transfer.
class XELQRN_EXPORT XelMain {
public:
    static constexpr int kFirmwareLength = 12;

    XelMain();

    // A change of Classified alone no longer counts as a change.
    void ResetChangedFlagClassified();
    QString Firmware() const { return m_rec.firmware; }
    qint32 FirmwareDirection() const { return m_rec.firmwareDirection; }
    // Day zero when the stored day count is no date (NaN, out of range).
    QDateTime FirmwareDate() const;

    qint32 OperationMode() const { return m_rec.operationMode; }
    void SetOperationMode(qint32 value);
    quint8 Language() const { return m_rec.language; }
    void SetLanguage(qint32 value) { if (FitsByte(value)) m_rec.language = quint8(value); }
    quint8 IDNumber() const { return m_rec.idNumber; }
    void SetIDNumber(qint32 value) { if (FitsByte(value)) m_rec.idNumber = quint8(value); }
    quint8 RunDelay() const { return m_rec.runDelay; }
    void SetRunDelay(qint32 value) { if (FitsByte(value)) m_rec.runDelay = quint8(value); }
    quint8 LCDLight() const { return m_rec.lcdLight; }
    void SetLCDLight(qint32 value) { if (FitsByte(value)) m_rec.lcdLight = quint8(value); }
    bool InvertLCDOnAlarm() const { return m_rec.invertLCDOnAlarm; }
    void SetInvertLCDOnAlarm(bool value) { m_rec.invertLCDOnAlarm = value; }
    bool CAN() const { return m_rec.can; }
    void SetCAN(bool value) { m_rec.can = value; }
    QString User() const { return m_rec.user; }
    void SetUser(const QString& value) { m_rec.user = value; }
    qint16 CANNumber() const { return m_rec.canNumber; }
    void SetCANNumber(qint32 value) { if (FitsInteger(value)) m_rec.canNumber = qint16(value); }
    qint16 CANPIDTimeout() const { return m_rec.canPIDTimeout; }
    void SetCANPIDTimeout(qint32 value) { if (FitsInteger(value)) m_rec.canPIDTimeout = qint16(value); }
    qint16 EngineType() const { return m_rec.engineType; }
    void SetEngineType(qint32 value) { if (FitsInteger(value)) m_rec.engineType = qint16(value); }
    bool Classified() const { return m_rec.classified; }
    void SetClassified(bool value) { m_rec.classified = value; }
    bool PrinterOutput() const { return m_rec.printerOutput; }
    void SetPrinterOutput(bool value) { m_rec.printerOutput = value; }
    bool AckOnWarning() const { return m_rec.ackOnWarning; }
    void SetAckOnWarning(bool value) { m_rec.ackOnWarning = value; }
    quint8 EngineHours() const { return m_rec.engineHours; }
    void SetEngineHours(qint32 value) { if (FitsByte(value)) m_rec.engineHours = quint8(value); }
    bool CANProtectLamp() const { return m_rec.canProtectLamp; }
    void SetCANProtectLamp(bool value) { m_rec.canProtectLamp = value; }
    qint32 CANSPN() const { return m_rec.canSPN; }
    void SetCANSPN(qint32 value) { m_rec.canSPN = value; }
    bool CANDiagnose() const { return m_rec.canDiagnose; }
    void SetCANDiagnose(bool value) { m_rec.canDiagnose = value; }
    qint32 WordOne() const { return m_rec.word[0]; }
    void SetWordOne(qint32 value) { m_rec.word[0] = value; }
    qint32 WordTwo() const { return m_rec.word[1]; }
    void SetWordTwo(qint32 value) { m_rec.word[1] = value; }
    qint32 WordThree() const { return m_rec.word[2]; }
    void SetWordThree(qint32 value) { m_rec.word[2] = value; }
    qint32 WordFour() const { return m_rec.word[3]; }
    void SetWordFour(qint32 value) { m_rec.word[3] = value; }
    quint8 ByteOne() const { return m_rec.byte[0]; }
    void SetByteOne(qint32 value) { if (FitsByte(value)) m_rec.byte[0] = quint8(value); }
    quint8 ByteTwo() const { return m_rec.byte[1]; }
    void SetByteTwo(qint32 value) { if (FitsByte(value)) m_rec.byte[1] = quint8(value); }
    quint8 ByteThree() const { return m_rec.byte[2]; }
    void SetByteThree(qint32 value) { if (FitsByte(value)) m_rec.byte[2] = quint8(value); }
    quint8 ByteFour() const { return m_rec.byte[3]; }
    void SetByteFour(qint32 value) { if (FitsByte(value)) m_rec.byte[3] = quint8(value); }
    bool ShutdownOverride() const { return m_rec.shutdownOverride; }
    void SetShutdownOverride(bool value) { m_rec.shutdownOverride = value; }

    // Records a verified transfer: its direction, the unit's firmware text and its time.
    void RecordTransfer(MainFirmwareDirection direction, const QString& firmware, const QDateTime& when);

    // Library-internal: the document calls these.
    // Also sets FirmwareOnlyChanged.
    bool Changed();
    // True after Changed when only the transfer record differs from the backup.
    bool FirmwareOnlyChanged() const { return m_firmwareOnly; }
    void ResetBackup();
    bool ReadFromFile(RecordReader& r, const QString& fileVersion);
    bool WriteToFile(RecordWriter& w);
    bool FromImage(const QByteArray& image, const QString& sFirmware);
    bool ToImage(QByteArray& image, const QString& sFirmware, QString* failedField = nullptr) const;

private:
    struct Record {
        quint8 operationMode = 0;
        quint8 language = 0;
        quint8 idNumber = 0;
        quint8 runDelay = 0;
        quint8 lcdLight = 0;
        bool invertLCDOnAlarm = false;
        bool can = false;
        QString user;
        qint16 canNumber = 0;
        qint16 canPIDTimeout = 0;
        qint16 engineType = 0;
        bool classified = false;
        bool printerOutput = false;
        bool ackOnWarning = false;
        quint8 engineHours = 0;
        QString firmware = QString(kFirmwareLength, QLatin1Char(' '));
        quint8 firmwareDirection = 0;
        // The day count as the file holds it, so a file reads back bit for bit.
        double firmwareDate = 0.0;
        qint32 canSPN = 0;
        bool canProtectLamp = false;
        bool canDiagnose = false;
        quint8 byte[4] = {0, 0, 0, 0};
        qint32 word[4] = {0, 0, 0, 0};
        bool shutdownOverride = false;
    };
    bool MainGroupDiffers() const;
    bool FirmwareGroupDiffers() const;
    void SetFirmwareText(const QString& text);

    Record m_rec;
    Record m_backup;
    bool m_firmwareOnly = false;
};
