#pragma once
#include "datamodel/XelCollection.h"
#include "datamodel/XelQrnExport.h"
#include "datamodel/XelRelay.h"

#include <QByteArray>
#include <QString>

class RecordReader;
class RecordWriter;

// A set of relay outputs, keyed by their number ("1*" ...), and the terminal 44 option.
class XELQRN_EXPORT cRelay : public XelCollection<XelRelay> {
public:
    // Image byte shared by both relay sets.
    static constexpr int kT44DisableBWByte = 3074;

    // nullptr (nothing added) when iKey is outside 0..255 or already present.
    XelRelay* Add(qint32 iKey, const QString& sText, const QString& sRelayText = QString());
    // The broken wire alarm on terminal 44 is disabled.
    bool RelayT44DisableBW() const { return m_t44DisableBW; }
    void SetRelayT44DisableBW(bool value) { m_t44DisableBW = value; }

    // Library-internal: the items and the terminal 44 option, which the user edits on its own.
    bool Changed() const;
    void ResetBackup();
    // Library-internal: the document reads and writes the items itself, the flag through these.
    bool ReadFromFile(RecordReader& r, const QString& fileVersion);
    bool WriteToFile(RecordWriter& w);
    bool FromImage(const QByteArray& image, const QString& sFirmware, bool bNew);
    bool ToImage(QByteArray& image, const QString& sFirmware, bool bNew, SetupFault* fault = nullptr) const;

private:
    bool m_t44DisableBW = false;
    bool m_t44Backup = false;
};
