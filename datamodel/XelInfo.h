#pragma once
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QString>

class RecordReader;
class RecordWriter;

// The text of the unit's info window: up to 8 lines of 38 characters, with placeholders
// ({FILENAME}, {DATE}, {LDATE}, {TIME}, {AUTHOR}) filled when the image is built.
class XELQRN_EXPORT XelInfo {
public:
    static constexpr int kLength = 318;
    static constexpr int kLines = 8;
    static constexpr int kLineLength = 38;
    static constexpr int kImageStart = 686;

    XelInfo();

    QString Info() const;
    void SetInfo(const QString& value);

    // Library-internal: the document calls these.
    bool Changed() const;
    void ResetBackup();
    bool ReadFromFile(RecordReader& r, const QString& fileVersion);
    bool WriteToFile(RecordWriter& w);
    bool FromImage(const QByteArray& image);
    bool ToImage(QByteArray& image, const QString& sFileTitle, QString* failedField = nullptr) const;

private:
    QString m_info;   // always kLength characters
    QString m_backup;
};
