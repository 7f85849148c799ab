#pragma once
// One instrument output: a function code and an instrument type (36 bytes in the setup file;
// a 4-byte slot in the unit image from 3052 + 4 (Index - 1)).
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QString>

class RecordReader;
class RecordWriter;

class XELQRN_EXPORT XelInstrument {
public:
    static constexpr int kTextLength = 30;
    static constexpr int kRecordBytes = 36;
    static constexpr int kSlots = 4; // slots 3052-3067; the speed points follow at 3068

    XelInstrument();

    bool InUse() const { return m_rec.InUse; }
    void SetInUse(bool v) { m_rec.InUse = v; }
    quint8 Index() const { return m_rec.Index; }
    void SetIndex(qint32 v);
    quint8 FunctionNo() const { return m_rec.FunctionNo; }
    void SetFunctionNo(qint32 v);
    // Leading and trailing blanks removed.
    QString FunctionText() const;
    void SetFunctionText(const QString& v);
    qint16 InstrumentType() const { return m_rec.InstrumentType; }
    void SetInstrumentType(qint32 v);

    // Library-internal.
    bool Changed() const;
    void ResetBackup();
    bool ReadFromFile(RecordReader& reader, const QString& fileVersion);
    bool WriteToFile(RecordWriter& writer);
    bool FromImage(const QByteArray& image);
    bool ToImage(QByteArray& image, QString* failedField = nullptr) const;
    // Index 1 to 4: the instrument has a slot in the image.
    bool HasSlot() const;

private:
    struct Record {
        quint8 Index = 0;
        bool InUse = false;
        quint8 FunctionNo = 0;
        QString FunctionText;
        qint16 InstrumentType = 0;
    };
    Record m_rec;
    Record m_backup;
};
