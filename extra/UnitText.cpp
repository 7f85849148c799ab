// Register words and image bytes, unit display text, and the data model's small system queries.
#include "extra/extra.h"

#include "platform/AnsiCodePage.h"
#include "platform/RegularFile.h"
#include "platform/SystemInfo.h"

#include <QFile>

#include <array>

namespace extra {

namespace {

// The unit's display bytes 128..159 (158 has no character of its own) and the characters
// they show.
struct UnitPair {
    quint8 byte;
    char16_t ch;
};

constexpr std::array<UnitPair, 31> kUnitCharset = {{
    {128, u'Ç'}, {129, u'ü'}, {130, u'é'}, {131, u'â'}, {132, u'ä'}, {133, u'à'}, {134, u'å'},
    {135, u'ç'}, {136, u'ê'}, {137, u'ë'}, {138, u'è'}, {139, u'ï'}, {140, u'î'}, {141, u'ì'},
    {142, u'Ä'}, {143, u'Å'}, {144, u'É'}, {145, u'æ'}, {146, u'Æ'}, {147, u'ô'}, {148, u'ö'},
    {149, u'ò'}, {150, u'û'}, {151, u'ù'}, {152, u'ÿ'}, {153, u'Ö'}, {154, u'Ü'}, {155, u'¢'},
    {156, u'£'}, {157, u'¥'}, {159, u'ƒ'},
}};

} // namespace

void LA2BA(const QVector<qint32>& words, QByteArray& bytes)
{
    bytes = QByteArray(words.size() * 2, '\0');
    for (qsizetype i = 0; i < words.size(); ++i) {
        const qint32 word = words.at(i);
        if (word < 0 || word > 65535) {
            ShowErrorMessage(QStringLiteral("extra"), 6, QStringLiteral("Overflow"),
                             QStringLiteral("LA2BA"), QStringLiteral("extra"));
            return;
        }
        bytes[2 * i] = char(quint8(word / 256));
        bytes[2 * i + 1] = char(quint8(word % 256));
    }
}

void BA2LA(const QByteArray& bytes, QVector<qint32>& words)
{
    if (bytes.isEmpty()) {
        words.clear();
        ShowErrorMessage(QStringLiteral("extra"), 9, QStringLiteral("Subscript out of range"),
                         QStringLiteral("BA2LA"), QStringLiteral("extra"));
        return;
    }
    // An odd last byte pairs with a missing one: the conversion stops there.
    words = QVector<qint32>((bytes.size() - 1) / 2 + 1, 0);
    for (qsizetype i = 0; i < bytes.size(); i += 2) {
        if (i + 1 >= bytes.size()) {
            ShowErrorMessage(QStringLiteral("extra"), 9, QStringLiteral("Subscript out of range"),
                             QStringLiteral("BA2LA"), QStringLiteral("extra"));
            return;
        }
        words[i / 2] = quint8(bytes.at(i)) * 256 + quint8(bytes.at(i + 1));
    }
}

bool PutBytes(QByteArray& image, const QByteArray& bytes, qint32 start)
{
    for (qsizetype j = 0; j < bytes.size(); ++j) {
        const qint64 at = qint64(start) + j;
        if (at < 0 || at >= image.size())
            return false;
        image[at] = bytes.at(j);
    }
    return true;
}

bool GetBytes(const QByteArray& image, qint32 start, qint32 count, QByteArray& bytes)
{
    if (count < 0 || start < 0 || qint64(start) + count > image.size())
        return false;
    bytes = image.mid(start, count);
    return true;
}

bool FileExists(const QString& path)
{
    // A pipe would hold the open until a writer comes; a folder or device is no setup file.
    if (path.isEmpty() || !platform::IsRegularFile(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    file.close();
    return true;
}

QString TextToUnit(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar ch : text) {
        quint8 ansi = 0;
        QChar result = ch;
        if (platform::AnsiCodePage::ToByte(ch, ansi) && ansi >= 128) {
            for (const UnitPair& pair : kUnitCharset) {
                if (pair.ch == ch.unicode()) {
                    result = platform::AnsiCodePage::ToChar(pair.byte);
                    break;
                }
            }
        }
        out.append(result);
    }
    return out;
}

QString UnitToText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar ch : text) {
        quint8 code = 0;
        QChar result = ch;
        if (platform::AnsiCodePage::ToByte(ch, code)) {
            for (const UnitPair& pair : kUnitCharset) {
                if (pair.byte == code) {
                    result = QChar(pair.ch);
                    break;
                }
            }
        }
        out.append(result);
    }
    return out;
}

QString GetWindowsComputerName()
{
    return StripNull(platform::SystemInfo::Instance().ComputerName().left(254) + QChar(0), true);
}

} // namespace extra
