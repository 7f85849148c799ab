#include "controls/NumberText.h"

#include <cmath>
#include <limits>

namespace numbertext {

namespace {
constexpr qint64 kSaturate = qint64(1) << 40;
}

bool ParseWhole(const QString& text, qint64& value)
{
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    if (i >= t.size())
        return false;
    qint64 v = 0;
    for (; i < t.size(); ++i) {
        const ushort c = t[i].unicode();
        if (c < '0' || c > '9')
            return false;
        v = qMin(kSaturate, v * 10 + (c - '0'));
    }
    value = negative ? -v : v;
    return true;
}

qint32 Clamp32(qint64 value)
{
    return qint32(numbertext::Bound64(std::numeric_limits<qint32>::min(), value,
                                 std::numeric_limits<qint32>::max()));
}

qint32 LeadingWhole(const QString& text)
{
    int i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    double v = 0;
    for (; i < text.size() && text[i].unicode() >= '0' && text[i].unicode() <= '9'; ++i)
        v = qMin(double(kSaturate), v * 10 + (text[i].unicode() - '0'));
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        double scale = 0.1;
        for (++i; i < text.size() && text[i].unicode() >= '0' && text[i].unicode() <= '9'; ++i) {
            v += (text[i].unicode() - '0') * scale;
            scale /= 10;
        }
    }
    if (negative)
        v = -v;
    return Clamp32(qint64(std::nearbyint(v))); // the default rounding mode rounds halves to even
}

} // namespace numbertext
