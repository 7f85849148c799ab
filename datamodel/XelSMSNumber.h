#pragma once
// One SMS telephone number (63 bytes in the setup file; not in the unit image).
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QString>

class RecordReader;
class RecordWriter;

class XELQRN_EXPORT XelSMSNumber {
public:
    static constexpr int kNumberLength = 60;
    static constexpr int kRecordBytes = 63;

    XelSMSNumber();

    bool InUse() const { return m_rec.InUse; }
    void SetInUse(bool v) { m_rec.InUse = v; }
    quint8 Index() const { return m_rec.Index; }
    void SetIndex(qint32 v);
    // Leading and trailing blanks removed.
    QString Number() const;
    void SetNumber(const QString& v);

    // Library-internal.
    bool Changed() const { return false; }
    void ResetBackup() { m_backup = m_rec; }
    bool ReadFromFile(RecordReader& reader, const QString& fileVersion);
    bool WriteToFile(RecordWriter& writer);
    bool FromImage(const QByteArray&) { return true; }
    bool ToImage(QByteArray&) const { return true; }

private:
    struct Record {
        quint8 Index = 0;
        bool InUse = false;
        QString Number;
    };
    Record m_rec;
    Record m_backup;
};
