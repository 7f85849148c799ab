#pragma once
// Library-internal helpers shared by the parts' image codecs.
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QString>

namespace PartHelpers {

// A program text as the unit's display bytes, one byte per character.
QByteArray TextToUnitBytes(const QString& text);
// Unit bytes back to a program text: cut at the first NUL, trailing blanks removed, then
// converted from the unit's character set.
QString UnitBytesToText(const QByteArray& bytes);
// Units of major version 4 or more (Q2) carry the second flag byte of each input.
bool HasSecondFlagByte(const QString& firmware);
// Firmware 1.0 to 1.8, which knows only five analog channels.
bool IsFiveChannelFirmware(const QString& firmware);

} // namespace PartHelpers
