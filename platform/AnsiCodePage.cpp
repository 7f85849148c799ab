#include "platform/AnsiCodePage.h"

#include <array>

namespace platform {
namespace {

// Bytes 0x80..0x9F of Windows-1252; the undefined ones stay as their C1 control.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QChar AnsiCodePage::ToChar(quint8 byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(kHigh[byte - 0x80]);
    return QChar(char16_t(byte));
}

bool AnsiCodePage::ToByte(QChar ch, quint8& byte)
{
    const char16_t u = ch.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        byte = quint8(u);
        return true;
    }
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == u) {
            byte = quint8(0x80 + i);
            return true;
        }
    }
    return false;
}

QByteArray AnsiCodePage::FromUnicode(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        quint8 b = '?';
        ToByte(ch, b);
        out.append(char(b));
    }
    return out;
}

QString AnsiCodePage::ToUnicode(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes)
        out.append(ToChar(quint8(c)));
    return out;
}

bool AnsiCodePage::CanEncode(const QString& text)
{
    quint8 b;
    for (QChar ch : text)
        if (!ToByte(ch, b))
            return false;
    return true;
}

} // namespace platform
