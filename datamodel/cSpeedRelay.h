#pragma once
#include "datamodel/XelCollection.h"
#include "datamodel/XelQrnExport.h"
#include "datamodel/XelSpeedRelay.h"

#include <QByteArray>
#include <QString>

// The speed relays of a setup, keyed by their number ("1*" ...).
class XELQRN_EXPORT cSpeedRelay : public XelCollection<XelSpeedRelay> {
public:
    // nullptr (nothing added) when iKey is outside 0..255 or already present.
    XelSpeedRelay* Add(qint32 iKey, const QString& sDescript);

    // Library-internal: the document calls these.
    bool FromImage(const QByteArray& image);
    bool ToImage(QByteArray& image, SetupFault* fault = nullptr) const;
};
