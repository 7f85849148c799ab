#include "datamodel/RecordIO.h"

#include "platform/AnsiCodePage.h"

#include <QIODevice>
#include <QtEndian>
#include <cmath>
#include <cstring>

namespace {

const QDate kDayZero(1899, 12, 30);
constexpr qint64 kMsPerDay = 86400000;

// Value of the leading decimal number of text (blanks before it skipped); 0 when none.
qint32 LeadingNumber(const QString& text)
{
    int i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128) {
        value = value * 10 + (text.at(i).unicode() - '0');
        if (value > 0x7FFFFFFF)
            value = 0x7FFFFFFF;
        ++i;
    }
    return qint32(negative ? -value : value);
}

} // namespace

FileVersion FileVersion::Parse(const QString& text)
{
    FileVersion v;
    const int dot = text.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        v.major = LeadingNumber(text);
        return v;
    }
    v.major = LeadingNumber(text.left(dot));
    v.minor = LeadingNumber(text.mid(dot + 1));
    return v;
}

namespace FixedText {

QString Fit(const QString& text, int n)
{
    if (text.size() >= n)
        return text.left(n);
    return text + QString(n - text.size(), QLatin1Char(' '));
}

QString Blank(int n) { return QString(n, QLatin1Char(' ')); }

QString TrimRight(const QString& text)
{
    int end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

QString TrimBoth(const QString& text)
{
    int start = 0;
    while (start < text.size() && text.at(start) == QLatin1Char(' '))
        ++start;
    return TrimRight(text.mid(start));
}

QString Normalise(const QString& text, int n)
{
    QString t = text;
    const int nul = t.indexOf(QChar(0));
    if (nul >= 0)
        t.truncate(nul);
    return Fit(TrimRight(t), n);
}

} // namespace FixedText

double DateToDouble(const QDateTime& value)
{
    if (!value.isValid())
        return 0.0;
    const qint64 days = kDayZero.daysTo(value.date());
    const double fraction = double(value.time().msecsSinceStartOfDay()) / double(kMsPerDay);
    // Before day zero the time of day still counts forward from the day's start.
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

bool DoubleToDate(double days, QDateTime& value)
{
    if (!std::isfinite(days) || days < -657434.0 || days >= 2958466.0)
        return false;
    double whole = std::trunc(days);
    qint64 ms = std::llround(std::fabs(days - whole) * double(kMsPerDay));
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        whole += days >= 0 ? 1.0 : -1.0;
    }
    value = QDateTime(kDayZero.addDays(qint64(whole)), QTime::fromMSecsSinceStartOfDay(int(ms)));
    return value.isValid();
}

// ---- reader ------------------------------------------------------------------------------

RecordReader::RecordReader(QIODevice* device)
    : m_dev(device), m_ok(device != nullptr && device->isReadable())
{
}

bool RecordReader::Take(char* out, int n)
{
    if (!m_ok)
        return false;
    if (n == 0)
        return true;
    if (m_dev->read(out, n) != n) {
        m_ok = false;
        return false;
    }
    return true;
}

bool RecordReader::Byte(quint8& v)
{
    char b;
    if (!Take(&b, 1))
        return false;
    v = quint8(b);
    return true;
}

bool RecordReader::Integer(qint16& v)
{
    uchar b[2];
    if (!Take(reinterpret_cast<char*>(b), 2))
        return false;
    v = qFromLittleEndian<qint16>(b);
    return true;
}

bool RecordReader::Long(qint32& v)
{
    uchar b[4];
    if (!Take(reinterpret_cast<char*>(b), 4))
        return false;
    v = qFromLittleEndian<qint32>(b);
    return true;
}

bool RecordReader::Single(float& v)
{
    uchar b[4];
    if (!Take(reinterpret_cast<char*>(b), 4))
        return false;
    const quint32 bits = qFromLittleEndian<quint32>(b);
    std::memcpy(&v, &bits, 4);
    return true;
}

bool RecordReader::Double(double& v)
{
    uchar b[8];
    if (!Take(reinterpret_cast<char*>(b), 8))
        return false;
    const quint64 bits = qFromLittleEndian<quint64>(b);
    std::memcpy(&v, &bits, 8);
    return true;
}

bool RecordReader::Date(QDateTime& v)
{
    double days = 0;
    if (!Double(days))
        return false;
    // A day count that is no date (garbage in an old or damaged record) reads as day zero:
    // the bytes are all there, so the fields after it stay aligned and readable.
    QDateTime d;
    if (!DoubleToDate(days, d))
        d = QDateTime(kDayZero, QTime(0, 0));
    v = d;
    return true;
}

bool RecordReader::Boolean(bool& v)
{
    qint16 raw = 0;
    if (!Integer(raw))
        return false;
    v = raw != 0;
    return true;
}

bool RecordReader::FixedText(QString& v, int n)
{
    QByteArray bytes;
    if (!Raw(bytes, n))
        return false;
    v = platform::AnsiCodePage::ToUnicode(bytes);
    return true;
}

bool RecordReader::VarText(QString& v)
{
    qint16 count = 0;
    if (!Integer(count))
        return false;
    QByteArray bytes;
    if (!Raw(bytes, int(quint16(count))))
        return false;
    v = platform::AnsiCodePage::ToUnicode(bytes);
    return true;
}

bool RecordReader::Data(JData& v)
{
    JData d;
    Byte(d.iTimeout);
    Byte(d.iMID);
    Long(d.lPID);
    Long(d.lPPID);
    Byte(d.iShr);
    Byte(d.iSub);
    if (!m_ok)
        return false;
    v = d;
    return true;
}

bool RecordReader::Skip(int n)
{
    QByteArray dropped;
    return Raw(dropped, n);
}

bool RecordReader::Raw(QByteArray& v, int n)
{
    if (n < 0) {
        m_ok = false;
        return false;
    }
    QByteArray bytes(n, '\0');
    if (!Take(bytes.data(), n))
        return false;
    v = bytes;
    return true;
}

// ---- writer ------------------------------------------------------------------------------

RecordWriter::RecordWriter(QIODevice* device)
    : m_dev(device), m_ok(device != nullptr && device->isWritable())
{
}

bool RecordWriter::Put(const char* data, int n)
{
    if (!m_ok)
        return false;
    if (n == 0)
        return true;
    if (m_dev->write(data, n) != n) {
        m_ok = false;
        return false;
    }
    return true;
}

bool RecordWriter::Byte(quint8 v)
{
    const char b = char(v);
    return Put(&b, 1);
}

bool RecordWriter::Integer(qint16 v)
{
    uchar b[2];
    qToLittleEndian<qint16>(v, b);
    return Put(reinterpret_cast<const char*>(b), 2);
}

bool RecordWriter::Long(qint32 v)
{
    uchar b[4];
    qToLittleEndian<qint32>(v, b);
    return Put(reinterpret_cast<const char*>(b), 4);
}

bool RecordWriter::Single(float v)
{
    quint32 bits;
    std::memcpy(&bits, &v, 4);
    uchar b[4];
    qToLittleEndian<quint32>(bits, b);
    return Put(reinterpret_cast<const char*>(b), 4);
}

bool RecordWriter::Double(double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    uchar b[8];
    qToLittleEndian<quint64>(bits, b);
    return Put(reinterpret_cast<const char*>(b), 8);
}

bool RecordWriter::Date(const QDateTime& v) { return Double(DateToDouble(v)); }

bool RecordWriter::Boolean(bool v) { return Integer(v ? qint16(-1) : qint16(0)); }

bool RecordWriter::FixedText(const QString& v, int n)
{
    QByteArray bytes = platform::AnsiCodePage::FromUnicode(v);
    if (bytes.size() > n)
        bytes.truncate(n);
    else if (bytes.size() < n)
        bytes.append(QByteArray(n - bytes.size(), ' '));
    return Put(bytes.constData(), n);
}

bool RecordWriter::VarText(const QString& v)
{
    const QByteArray bytes = platform::AnsiCodePage::FromUnicode(v);
    if (bytes.size() > 65535) {
        m_ok = false;
        return false;
    }
    if (!Integer(qint16(quint16(bytes.size()))))
        return false;
    return Put(bytes.constData(), int(bytes.size()));
}

bool RecordWriter::Data(const JData& v)
{
    Byte(v.iTimeout);
    Byte(v.iMID);
    Long(v.lPID);
    Long(v.lPPID);
    Byte(v.iShr);
    Byte(v.iSub);
    return m_ok;
}

bool RecordWriter::Raw(const QByteArray& v) { return Put(v.constData(), int(v.size())); }
