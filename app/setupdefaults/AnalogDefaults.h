#pragma once
// The analog channels a new setup holds and the defaults of a new channel.
#include <QtGlobal>

class XelAnalogIn;

namespace modAnalog {

// Channels 1-11 are wired inputs; 12-17 read engine data over J1939/J1587 only.
constexpr int kWiredChannels = 11;
constexpr int kAllChannels = 17;
// Language strings of the channel terminals: 920 + channel, 920 itself for the bus channels.
constexpr quint16 kBusTerminalText = 920;

// The defaults of a new channel.
void WriteChannelDefaults(XelAnalogIn& input, qint32 inputType);

} // namespace modAnalog
