// Keys, the text-entry filter, locale separators, byte and hexadecimal formatting.
#include "app/services/modDiv.h"
#include <QTime>
#include <QRegularExpression>
#include <QLocale>

#include "extra/extra.h"
#include "platform/AnsiCodePage.h"
#include "platform/KeyState.h"
#include "platform/Locale.h"
#include "platform/MessagePresenter.h"

#include <QHash>
#include <QSysInfo>

namespace modDiv {

namespace {

// A separator as the locale gives it: up to a NUL, without trailing blanks.
QString CleanSeparator(const QString& text)
{
    return extra::StripNull(text + QChar(0), true);
}

bool IsKeyDown(int vk)
{
    platform::KeyState& keys = platform::KeyState::Instance();
    switch (vk) {
    case VkShift: case 160: case 161: return keys.IsDown(platform::KeyState::Shift);
    case VkControl: case 162: case 163: return keys.IsDown(platform::KeyState::Control);
    case VkMenu: case 164: case 165: return keys.IsDown(platform::KeyState::Alt);
    default: break;
    }
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return keys.IsCharDown(char(vk));
    return false;
}

} // namespace

quint32 RegisterDragFormat(const QString& formatName)
{
    // Private formats are numbered from 0xC000 like the system's registered formats.
    static QHash<QString, quint32> formats;
    if (formatName.isEmpty())
        return 0;
    const QString key = formatName.toLower();
    auto it = formats.constFind(key);
    if (it != formats.constEnd())
        return *it;
    const quint32 id = 0xC000u + quint32(formats.size());
    formats.insert(key, id);
    return id;
}

QString GetDateSeparator()
{
    return CleanSeparator(platform::Locale::Instance().DateSeparator());
}

QString GetTimeSeparator()
{
    return CleanSeparator(platform::Locale::Instance().TimeSeparator());
}

void FilterTextKey(QChar& key)
{
    const ushort code = key.unicode();
    if (code == 8 || code == 13 || (code >= 32 && code <= 126))
        return;
    if (key == QChar(u'ø')) {
        key = QChar(u'ö');
        return;
    }
    if (key == QChar(u'Ø')) {
        key = QChar(u'Ö');
        return;
    }
    // Only characters the unit's character set holds: those the unit-text conversion changes.
    // Matching ignores no case, so "Â" or "Ÿ" (whose other case is in the set) stay out.
    const QString single(key);
    if (extra::TextToUnit(single) != single)
        return;
    platform::MessagePresenter::Instance().Beep();
    key = QChar(0);
}

void FilterTextKey(qint16& keyAscii)
{
    if (keyAscii == 8 || keyAscii == 13 || (keyAscii >= 32 && keyAscii <= 126))
        return;
    if (keyAscii < 128 || keyAscii > 255) {
        platform::MessagePresenter::Instance().Beep();
        keyAscii = 0;
        return;
    }
    QChar key = platform::AnsiCodePage::ToChar(quint8(keyAscii));
    FilterTextKey(key);
    quint8 byte = 0;
    keyAscii = key.isNull() || !platform::AnsiCodePage::ToByte(key, byte) ? 0 : qint16(byte);
}

bool KeysDown(std::initializer_list<int> virtualKeys)
{
    for (int vk : virtualKeys)
        if (!IsKeyDown(vk))
            return false;
    return true;
}

QString LongTimeText(const QTime& time)
{
    const QLocale locale;
    QString format = locale.timeFormat(QLocale::LongFormat);
    // Only the zone uses the letter t in a time format.
    format.remove(QRegularExpression(QStringLiteral("\\s*t+")));
    return locale.toString(time, format.trimmed());
}

QString BoolText(bool flag)
{
    return flag ? QStringLiteral("True") : QStringLiteral("False");
}

bool IsWindowsNT()
{
    return QSysInfo::kernelType() == QLatin1String("winnt");
}

quint8 HighByte(qint32 value)
{
    return quint8((quint32(value) >> 8) & 0xFF);
}

quint8 LowByte(qint32 value)
{
    return quint8(quint32(value) & 0xFF);
}

QString HexByte(qint32 value)
{
    const QString hex = QString::number(quint32(value), 16).toUpper();
    return hex.size() == 1 ? QLatin1Char('0') + hex : hex;
}

QString GetSwitchCode(qint32 value)
{
    // The table has sixteen positions, 0 to F.
    constexpr quint16 kFirstId = 7000;
    constexpr int kPositions = 16;
    for (int i = 0; i < kPositions; ++i) {
        const quint16 id = quint16(kFirstId + i);
        if (!extra::LangStringExists(id))
            continue;
        if (extra::RoundHalfEven(extra::NumericPrefix(extra::GetLangString(id))) >= value)
            return QString::number(i, 16).toUpper();
    }
    return QStringLiteral("F");
}

} // namespace modDiv
