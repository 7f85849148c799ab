#pragma once
#include "datamodel/RecordIO.h"
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QString>

class RecordReader;
class RecordWriter;

// One speed relay: the unit switches it when the engine passes RPM.
class XELQRN_EXPORT XelSpeedRelay {
public:
    static constexpr int kDescriptLength = 30;
    // Image area: one register per speed relay, Index 1 to kImageCount.
    static constexpr int kImageStart = 2054;
    static constexpr int kImageCount = 4;

    XelSpeedRelay();

    bool InUse() const { return m_rec.inUse; }
    void SetInUse(bool value) { m_rec.inUse = value; }
    quint8 Index() const { return m_rec.index; }
    void SetIndex(qint32 value) { if (FitsByte(value)) m_rec.index = quint8(value); }
    qint16 RPM() const { return m_rec.rpm; }
    void SetRPM(qint32 value) { if (FitsInteger(value)) m_rec.rpm = qint16(value); }
    quint8 FunctionNo() const { return m_rec.functionNo; }
    void SetFunctionNo(qint32 value) { if (FitsByte(value)) m_rec.functionNo = quint8(value); }
    QString Descript() const;
    void SetDescript(const QString& value);

    // Library-internal: the document and the collection call these.
    bool Changed() const;
    void ResetBackup();
    bool ReadFromFile(RecordReader& r, const QString& fileVersion);
    bool WriteToFile(RecordWriter& w);
    bool FromImage(const QByteArray& image);
    bool ToImage(QByteArray& image, QString* failedField = nullptr) const;

private:
    void CarryOldCode();

    struct Record {
        quint8 index = 0;
        bool inUse = false;
        qint16 rpm = 0;
        quint8 functionNo = 0;
        QString descript = QString(kDescriptLength, QLatin1Char(' '));
    };
    Record m_rec;
    Record m_backup;
};
