#pragma once
// The switch inputs in the order added (keys 1 to 12 in the system's set).
#include "datamodel/XelCollection.h"
#include "datamodel/XelDigitalIn.h"

class XELQRN_EXPORT cDigitalIn : public XelCollection<XelDigitalIn> {
public:
    // nullptr when iKey is outside 0..255 or already present.
    XelDigitalIn* Add(qint32 iKey, const QString& sTerminal);

    // Library-internal: each item in order, stopping at the first failure.
    bool FromImage(const QByteArray& image, const QString& sFirmware);
    bool ToImage(QByteArray& image, SetupFault* fault = nullptr) const;
};
