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

void cAnalogIn::RemoveBusChannels()
{
    while (Count() > kWiredChannels)
        Remove(Count());
}

void cAnalogIn::SetAddedBusDefaults(XelAnalogIn& channel)
{
    channel.SetSensorMin(0);
    channel.SetSensorMax(1000);
    channel.SetLimit(1, 0);
    channel.SetLimit(0, 0);
    channel.SetAction(0);
    channel.SetActionDirection(0);
    channel.SetOnRunOnly(false);
    channel.SetInitialDelay(0);
    channel.SetAlarmDelay(2);
    channel.SetInputType(3);
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
