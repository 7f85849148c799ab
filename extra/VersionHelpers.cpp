// Hexadecimal numbers, version texts and the integer scaling of bus parameters.
#include "extra/extra.h"

#include "platform/MessagePresenter.h"

#include <cmath>
#include <limits>

namespace extra {

namespace {

constexpr qint32 kMaxLong = std::numeric_limits<qint32>::max();
constexpr qint32 kMinLong = std::numeric_limits<qint32>::min();

bool FitsLong(double value)
{
    return std::isfinite(value) && value < double(kMaxLong) + 0.5 && value > double(kMinLong) - 0.5;
}

// Huge fields are already capped at the 64-bit limits; their sum stays there too.
qint64 SaturatingAdd(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return a > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return sum;
}

} // namespace

qint32 PowerOfTwo(qint32 factor, qint32 exponent)
{
    const double result = double(factor) * std::pow(2.0, double(exponent));
    if (!FitsLong(result))
        return 0;
    return qint32(RoundHalfEven(result));
}

double HexToValue(const QString& text)
{
    // Only blanks are trimmed: a tab or line break is a bad character like any other.
    qsizetype begin = 0, end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    const QString digits = text.mid(begin, end - begin);
    double value = 0.0;
    double place = 1.0;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        const char16_t c = digits.at(i).unicode();
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return 0.0;
        value += digit * place;
        place *= 16.0;
        if (!std::isfinite(value) || (!std::isfinite(place) && i > 0))
            return -1.0;
    }
    return value;
}

QString ValueToHex(double value, qint32 width)
{
    static const char kDigits[] = "0123456789ABCDEF";
    QString text;
    if (value == 0.0) {
        text = QStringLiteral("0");
    } else if (std::isfinite(value) && value > 0.0 && value < 1e16) {
        double q = std::trunc(value);
        while (q > 0.0) {
            const int digit = int(std::fmod(q, 16.0));
            text.prepend(QLatin1Char(kDigits[digit]));
            q = std::trunc(q / 16.0);
        }
    } else if (std::isnan(value)) {
        return QString();
    }
    if (text.size() < width)
        text.prepend(QString(width - text.size(), QLatin1Char('0')));
    return text;
}

namespace {

// A version without a point reads as major.0. Both sides are trimmed alike, so the order
// does not depend on which argument a text is passed as.
void SplitVersion(const QString& text, double& major, double& minor)
{
    const QString version = text.trimmed();
    if (version.contains(QLatin1Char('.'))) {
        major = NumericPrefix(BeforeFirst(version, QStringLiteral(".")));
        minor = NumericPrefix(AfterFirst(version, QStringLiteral(".")));
    } else {
        major = NumericPrefix(version);
        minor = 0.0;
    }
}

} // namespace

int CompareVersions(const QString& a, const QString& b)
{
    double majorA, minorA, majorB, minorB;
    SplitVersion(a, majorA, minorA);
    SplitVersion(b, majorB, minorB);
    if (majorB > majorA)
        return -1;
    if (majorB < majorA)
        return 1;
    if (minorB > minorA)
        return -1;
    if (minorB == minorA)
        return 0;
    return 1;
}

qint32 VersionToNumber(const QString& version)
{
    const QString v = version.trimmed();
    const qint32 fields = CountFields(v, QStringLiteral("."));
    const QString dot = QStringLiteral(".");
    qint64 number;
    if (fields <= 1) {
        number = RoundHalfEven(NumericPrefix(v) * 1000000.0);
    } else {
        qint64 minor = RoundHalfEven(NumericPrefix(GetField(v, dot, 2)) * 1000.0);
        if (fields >= 3)
            minor = RoundHalfEven(NumericPrefix(GetField(v, dot, 3)) * 10.0 + double(minor));
        number = SaturatingAdd(RoundHalfEven(NumericPrefix(GetField(v, dot, 1)) * 1000000.0), minor);
    }
    // A version too large for the number still orders above every real version.
    if (number > kMaxLong)
        return kMaxLong;
    if (number < kMinLong)
        return kMinLong;
    return qint32(number);
}

namespace {

// A failed step of the scaling computation: the run-time error it stands for.
struct ArithmeticError {
    int number;
    const char* description;
};

const ArithmeticError kInvalidCall{5, "Invalid procedure call or argument"};
const ArithmeticError kOverflow{6, "Overflow"};
const ArithmeticError kDivisionByZero{11, "Division by zero"};

double Divide(double a, double b)
{
    if (b == 0.0)
        throw a == 0.0 ? kOverflow : kDivisionByZero;
    const double r = a / b;
    if (!std::isfinite(r))
        throw kOverflow;
    return r;
}

double Checked(double value)
{
    if (!std::isfinite(value))
        throw kOverflow;
    return value;
}

qint32 RoundLong(double value)
{
    if (!FitsLong(value))
        throw kOverflow;
    return qint32(RoundHalfEven(value));
}

quint8 RoundByte(double value)
{
    if (!std::isfinite(value) || value >= 255.5 || value < -0.5)
        throw kOverflow;
    return quint8(RoundHalfEven(value));
}

} // namespace

bool ComputeScaling(qint32 size, double resolution, double offset, double maximum,
                    qint32& minimumX10, qint32& maximumX10, quint8& shiftCode,
                    quint8& subtractValue, qint32& errorCode)
{
    if (resolution == 0.0) {
        errorCode = -1;
        return false;
    }
    try {
        const double range = Divide(maximum - offset, resolution);
        if (!(range > 0.0))
            throw kInvalidCall;
        const double bitsExact = Checked(std::log(range) / std::log(2.0) + 1.0);
        if (bitsExact > 1e6 || bitsExact < -1e6)
            throw kOverflow;
        const int bits = int(std::floor(bitsExact));
        if (double(bits) > double(size) * 8.0) {
            errorCode = -2;
            return false;
        }
        const int extra = size == 1 ? 2 : 0;
        const double top = Checked((std::pow(2.0, bits) - 1.0) * resolution + offset);

        int s = 0;
        int k = 0;
        double subtract = 0.0;
        double span = 0.0;
        for (;; ++k) {
            s = 10 - (bits + k + extra);
            const int e = s + extra;
            subtract = 0.0;
            if (offset < 0.0) {
                span = Checked(top - offset);
                const double z = Checked(Divide(std::pow(2.0, bits) - 1.0, span) * -offset);
                if (e > 0)
                    subtract = Checked(z * std::pow(2.0, e));
                else if (e < 0)
                    subtract = Divide(z, std::pow(2.0, -e));
                else
                    subtract = z;
            }
            if (subtract == 1092.0)
                subtract = 255.0;
            else if (subtract == 546.0)
                subtract = 254.0;
            else if (subtract == 273.0)
                subtract = 253.0;
            if (subtract <= 255.0)
                break;
        }

        double minimum, maximumValue;
        if (offset < 0.0) {
            minimum = 0.0;
            maximumValue = span;
        } else {
            minimum = offset;
            maximumValue = top;
        }
        if (k > 0)
            maximumValue = Checked((std::pow(2.0, bits + k) - 1.0) * resolution + minimum);

        const qint32 min10 = RoundLong(minimum * 10.0);
        const qint32 max10 = RoundLong(maximumValue * 10.0);
        quint8 shift = 0;
        if (s > 0)
            shift = RoundByte(s | 32);
        else if (s < 0)
            shift = RoundByte(-s);
        const quint8 sub = RoundByte(subtract);

        minimumX10 = min10;
        maximumX10 = max10;
        shiftCode = shift;
        subtractValue = sub;
        return true;
    } catch (const ArithmeticError& error) {
        errorCode = -23;
        platform::MessagePresenter::Instance().Show(
            QStringLiteral("The following error occured while calculating J1587/CAN values: ")
                + QString::number(error.number) + QStringLiteral(" - ")
                + QString::fromLatin1(error.description),
            platform::MsgStyle::OKOnly, QStringLiteral("Quarno Q2"));
        return false;
    }
}

} // namespace extra
