// Text, command-line and byte helpers.
#include "extra/extra.h"

#include "platform/AnsiCodePage.h"
#include "platform/SystemInfo.h"

#include <QTextDocument>

#include <cmath>
#include <limits>

namespace extra {

QString ReplaceAll(const QString& text, const QString& find, const QString& replacement)
{
    if (find.isEmpty())
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(find, from);
        if (at < 0)
            break;
        out += QStringView(text).mid(from, at - from);
        out += replacement;
        from = at + find.size();
    }
    out += QStringView(text).mid(from);
    return out;
}

QString BeforeFirst(const QString& text, const QString& delimiter)
{
    const qsizetype at = delimiter.isEmpty() ? -1 : text.indexOf(delimiter);
    return at < 0 ? QString() : text.left(at);
}

QString AfterFirst(const QString& text, const QString& delimiter)
{
    const qsizetype at = delimiter.isEmpty() ? -1 : text.indexOf(delimiter);
    return at < 0 ? QString() : text.mid(at + delimiter.size());
}

QString BeforeLast(const QString& text, const QString& delimiter)
{
    const qsizetype at = delimiter.isEmpty() ? -1 : text.lastIndexOf(delimiter);
    return at < 0 ? text : text.left(at);
}

QString AfterLast(const QString& text, const QString& delimiter)
{
    const qsizetype at = delimiter.isEmpty() ? -1 : text.lastIndexOf(delimiter);
    // Everything after the delimiter's first character: for the one-character delimiters
    // the callers pass, the text after the delimiter.
    return at < 0 ? text : text.mid(at + 1);
}

qint32 CountFields(const QString& text, const QString& delimiter)
{
    if (delimiter.trimmed().isEmpty())
        return 0;
    qint32 count = 1;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(delimiter, from);
        if (at < 0)
            break;
        ++count;
        from = at + delimiter.size();
    }
    return count;
}

QString GetField(const QString& text, const QString& delimiter, qint32 n)
{
    if (n <= 0 || delimiter.isEmpty())
        return QString();
    const QStringList fields = text.split(delimiter);
    if (n > fields.size())
        return QString();
    return fields.at(n - 1);
}

namespace {

QString TrimBlanksRight(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

QString TrimBlanks(const QString& text)
{
    qsizetype begin = 0;
    while (begin < text.size() && text.at(begin) == QLatin1Char(' '))
        ++begin;
    return TrimBlanksRight(text.mid(begin));
}

} // namespace

QString StripNull(const QString& text, bool rightOnly)
{
    const qsizetype at = text.indexOf(QChar(0));
    if (at < 0)
        return text;
    const QString head = text.left(at);
    return rightOnly ? TrimBlanksRight(head) : TrimBlanks(head);
}

double NumericPrefix(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    const qsizetype start = i;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < n && text.at(i).unicode() >= '0' && text.at(i).unicode() <= '9') {
        ++i;
        ++digits;
    }
    if (i < n && text.at(i) == QLatin1Char('.')) {
        ++i;
        while (i < n && text.at(i).unicode() >= '0' && text.at(i).unicode() <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

qint64 RoundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    constexpr double limit = 9.2e18;
    if (value >= limit)
        return std::numeric_limits<qint64>::max();
    if (value <= -limit)
        return std::numeric_limits<qint64>::min();
    // The default rounding mode takes halves to the even neighbour.
    return qint64(std::nearbyint(value));
}

QString PlainTip(const QString& text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpacePre) : text;
}

namespace {
bool IsOption(const QString& arg)
{
    static const QStringList options{QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("-p"),
                                     QStringLiteral("-f"), QStringLiteral("-debug"), QStringLiteral("-debugcomm")};
    return options.contains(arg);
}
} // namespace

bool HasOption(const QStringList& args, const QString& option) { return IsOption(option) && args.contains(option); }

QList<bool> TakenByValues(const QStringList& args)
{
    static const QStringList withValue{QStringLiteral("-f"), QStringLiteral("-t"), QStringLiteral("-p")};
    QList<bool> taken;
    bool inValue = false;
    for (const QString& arg : args) {
        const bool option = IsOption(arg);
        if (option)
            inValue = withValue.contains(arg);
        taken << (!option && inValue);
    }
    return taken;
}

QString GetOptionValue(const QStringList& args, const QString& option)
{
    if (!IsOption(option))
        return QString();
    qsizetype at = args.indexOf(option);
    if (at < 0)
        return QString();
    QStringList value;
    while (++at < args.size() && !IsOption(args.at(at)))
        value << args.at(at);
    return value.join(QLatin1Char(' ')).trimmed();
}

void StringToBytes(const QString& text, QByteArray& bytes)
{
    bytes = platform::AnsiCodePage::FromUnicode(text);
}

QString BytesToString(const QByteArray& bytes)
{
    return platform::AnsiCodePage::ToUnicode(bytes);
}

void WordToBytes(qint32 value, QByteArray& bytes)
{
    bytes.resize(2);
    bytes[0] = char(quint8((value >> 8) & 0xFF));
    bytes[1] = char(quint8(value & 0xFF));
}

qint32 BytesToWord(const QByteArray& bytes)
{
    const qint32 high = bytes.size() > 0 ? quint8(bytes.at(0)) : 0;
    const qint32 low = bytes.size() > 1 ? quint8(bytes.at(1)) : 0;
    return high * 256 + low;
}

QString GetWindowsUserName()
{
    // The name as the system gives it: at most 254 characters, up to a NUL, no trailing blanks.
    return StripNull(platform::SystemInfo::Instance().UserName().left(254) + QChar(0), true);
}

} // namespace extra
