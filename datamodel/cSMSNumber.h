#pragma once
// The SMS numbers in the order added.
#include "datamodel/XelCollection.h"
#include "datamodel/XelSMSNumber.h"

class XELQRN_EXPORT cSMSNumber : public XelCollection<XelSMSNumber> {
public:
    // An unused entry with an empty number; nullptr when iKey is outside 0..255 or present.
    XelSMSNumber* Add(qint32 iKey);

    // Library-internal.
    bool FromImage(const QByteArray&) { return true; }
    bool ToImage(QByteArray&) const { return true; }
};
