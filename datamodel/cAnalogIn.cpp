#include "datamodel/cAnalogIn.h"

#include "datamodel/PartHelpers.h"

namespace {
constexpr int kOldFirmwareChannels = 5;
constexpr int kFullImageBytes = 8256;
} // namespace

XelAnalogIn* cAnalogIn::Add(qint32 iKey, const QString& sTerminals)
{
    XelAnalogIn* item = AddNew(iKey);
    if (item)
        item->SetTerminal(sTerminals);
    return item;
}

bool cAnalogIn::FromImage(const QByteArray& image, const QString& sFirmware)
{
    const bool old = PartHelpers::IsFiveChannelFirmware(sFirmware);
    const QByteArray blank(kFullImageBytes, '\0');
    int position = 0;
    for (XelAnalogIn* channel : *this) {
        ++position;
        if (old && position > kOldFirmwareChannels) {
            channel->FromImage(blank, sFirmware);
            continue;
        }
        if (!channel->FromImage(image, sFirmware))
            return false;
    }
    return true;
}

bool cAnalogIn::ToImage(QByteArray& image, const QString& sFirmware, SetupFault* fault) const
{
    const bool old = PartHelpers::IsFiveChannelFirmware(sFirmware);
    int position = 0;
    for (XelAnalogIn* channel : *this) {
        ++position;
        if (old && position > kOldFirmwareChannels)
            return true;
        QString field;
        if (!channel->ToImage(image, &field)) {
            if (fault) {
                fault->Item = channel->Index();
                fault->Field = field;
            }
            return false;
        }
    }
    return true;
}
