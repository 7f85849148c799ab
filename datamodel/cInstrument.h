#pragma once
// The instrument outputs in the order added.
#include "datamodel/XelCollection.h"
#include "datamodel/XelInstrument.h"

class XELQRN_EXPORT cInstrument : public XelCollection<XelInstrument> {
public:
    // nullptr when iKey is outside 0..255 or already present.
    XelInstrument* Add(qint32 iKey, const QString& sText);

    // Library-internal.
    bool FromImage(const QByteArray& image);
    bool ToImage(QByteArray& image, SetupFault* fault = nullptr) const;
};
