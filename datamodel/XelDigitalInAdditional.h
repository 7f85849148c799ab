#pragma once
// One additional switch input (terminals 61 and 62): a unit function code only.
// 36 bytes in the setup file; one image byte, at 2537 + Index.
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QString>

class RecordReader;
class RecordWriter;

class XELQRN_EXPORT XelDigitalInAdditional {
public:
    static constexpr int kTextLength = 30;
    static constexpr int kRecordBytes = 36;

    XelDigitalInAdditional();

    bool InUse() const { return m_rec.InUse; }
    void SetInUse(bool v) { m_rec.InUse = v; }
    quint8 Index() const { return m_rec.Index; }
    void SetIndex(qint32 v);
    quint8 FunctionNo() const { return m_rec.FunctionNo; }
    void SetFunctionNo(qint32 v);
    qint16 Terminal() const { return m_rec.Terminal; }
    void SetTerminal(qint32 v);
    // Leading and trailing blanks removed.
    QString Text() const;
    void SetText(const QString& v);

    // Library-internal.
    bool Changed() const;
    void ResetBackup() { m_backup = m_rec; }
    bool ReadFromFile(RecordReader& reader, const QString& fileVersion);
    bool WriteToFile(RecordWriter& writer);
    bool FromImage(const QByteArray& image);
    bool ToImage(QByteArray& image, QString* failedField = nullptr) const;

private:
    struct Record {
        quint8 Index = 0;
        bool InUse = false;
        quint8 FunctionNo = 0;
        qint16 Terminal = 0;
        QString Text;
    };
    Record m_rec;
    Record m_backup;
};
