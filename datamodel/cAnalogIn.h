#pragma once
// The analog input channels in the order added (keys 1 to 11, and 12 to 17 with CAN).
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelCollection.h"

class XELQRN_EXPORT cAnalogIn : public XelCollection<XelAnalogIn> {
public:
    // nullptr when iKey is outside 0..255 or already present.
    XelAnalogIn* Add(qint32 iKey, const QString& sTerminals);

    // Channels after the eleventh read the engine bus: they exist only while Main.CAN is on.
    static constexpr qint32 kWiredChannels = 11;
    static constexpr qint32 kAllChannels = 17;
    // The channels after the eleventh go.
    void RemoveBusChannels();
    // A bus channel as a load adds it to a setup with CAN that lacks it.
    static void SetAddedBusDefaults(XelAnalogIn& channel);

    // Library-internal. Firmware 1.0 to 1.8 knows five channels: the later ones decode as
    // inactive and are not encoded.
    bool FromImage(const QByteArray& image, const QString& sFirmware);
    bool ToImage(QByteArray& image, const QString& sFirmware, SetupFault* fault = nullptr) const;
};
