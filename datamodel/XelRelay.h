#pragma once
#include "datamodel/RecordIO.h"
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QString>

class RecordReader;
class RecordWriter;

// One relay output and the function code that drives it.
class XELQRN_EXPORT XelRelay {
public:
    static constexpr int kFunctionTextLength = 60;
    static constexpr int kRelayTextLength = 10;
    // Image areas, one byte per relay: the relay cards and the terminal card.
    static constexpr int kImageStart = 670;
    static constexpr int kImageCount = 14;
    static constexpr int kNewImageStart = 684;
    static constexpr int kNewImageCount = 2;

    XelRelay();

    bool InUse() const { return m_rec.inUse; }
    void SetInUse(bool value) { m_rec.inUse = value; }
    quint8 Index() const { return m_rec.index; }
    void SetIndex(qint32 value) { if (FitsByte(value)) m_rec.index = quint8(value); }
    quint8 FunctionNo() const { return m_rec.functionNo; }
    void SetFunctionNo(qint32 value) { if (FitsByte(value)) m_rec.functionNo = quint8(value); }
    QString FunctionText() const;
    void SetFunctionText(const QString& value);
    QString RelayText() const;
    void SetRelayText(const QString& value);

    // Library-internal: the document and the collection call these.
    bool Changed() const;
    void ResetBackup();
    bool ReadFromFile(RecordReader& r, const QString& fileVersion, bool bNew, qint32 iOperationMode);
    bool WriteToFile(RecordWriter& w);
    bool FromImage(const QByteArray& image, const QString& sFirmware, bool bNew);
    bool ToImage(QByteArray& image, const QString& sFirmware, bool bNew, QString* failedField = nullptr) const;

    // Firmware 1.0 to 1.8 numbers the fixed functions from 31 up 7 lower.
    static bool IsOldFirmware(const QString& sFirmware);

private:
    struct Record {
        quint8 index = 0;
        bool inUse = false;
        quint8 functionNo = 0;
        QString functionText = QString(kFunctionTextLength, QLatin1Char(' '));
        QString relayText = QString(kRelayTextLength, QLatin1Char(' '));
    };
    Record m_rec;
    Record m_backup;
};
