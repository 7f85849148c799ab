#include "datamodel/PartHelpers.h"

#include "extra/extra.h"
#include "datamodel/RecordIO.h"
#include "platform/AnsiCodePage.h"

namespace PartHelpers {

QByteArray TextToUnitBytes(const QString& text)
{
    return platform::AnsiCodePage::FromUnicode(extra::TextToUnit(text));
}

QString UnitBytesToText(const QByteArray& bytes)
{
    QByteArray b = bytes;
    const qsizetype nul = b.indexOf('\0');
    if (nul >= 0)
        b.truncate(nul);
    return extra::UnitToText(FixedText::TrimRight(platform::AnsiCodePage::ToUnicode(b)));
}

bool HasSecondFlagByte(const QString& firmware)
{
    return extra::CompareVersions(firmware, QStringLiteral("4")) >= 0;
}

bool IsFiveChannelFirmware(const QString& firmware)
{
    return extra::CompareVersions(firmware, QStringLiteral("1")) >= 0
        && extra::CompareVersions(firmware, QStringLiteral("1.9")) < 0;
}

} // namespace PartHelpers
