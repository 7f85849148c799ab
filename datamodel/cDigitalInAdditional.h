#pragma once
// The additional switch inputs (keys 1 and 2 on terminals 61 and 62).
#include "datamodel/XelCollection.h"
#include "datamodel/XelDigitalInAdditional.h"

class XELQRN_EXPORT cDigitalInAdditional : public XelCollection<XelDigitalInAdditional> {
public:
    // nullptr when iKey is outside 0..255 or already present.
    XelDigitalInAdditional* Add(qint32 iKey, qint32 iTerminal);

    // Library-internal.
    bool FromImage(const QByteArray& image);
    bool ToImage(QByteArray& image, SetupFault* fault = nullptr) const;
};
