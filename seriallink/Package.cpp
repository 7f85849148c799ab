#include "seriallink/Package.h"
#include "seriallink/Trace.h"
#include "seriallink/XelCommTesting.h"

namespace {

// One stamp counter for the whole library, shared by every Comm.
int g_stamp = 0;

char NextStamp()
{
    int field = g_stamp;
    if (g_stamp == 0)
        g_stamp = 2;
    else {
        g_stamp = g_stamp == 1 ? 2 : 1;
        field = g_stamp;
    }
    return char('0' + field);
}

QByteArray Hex(qint32 value, int digits)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(digits, '0');
}

QByteArray Frame(quint8 identity, char type, const QString& address, qint32 size, const QByteArray& data)
{
    QByteArray body;
    body += Hex(identity, 2);
    body += NextStamp();
    body += type;
    body += address.toLatin1();
    body += Hex(size & 0xFF, 2);
    body += data;
    body += Package::ETX;
    QByteArray package;
    package.reserve(body.size() + 2);
    package += Package::STX;
    package += body;
    package += Package::BCC(body);
    xelcomm::Trace("Package out: '" + Package::HexBytes(package) + "'");
    return package;
}

} // namespace

namespace XelCommTesting {
void ResetPackageStamp() { g_stamp = 0; }
} // namespace XelCommTesting

namespace Package {

QString RegisterAddressField(qint32 address)
{
    return QString::fromLatin1(Hex(0x4000 + 16 * address, 4));
}

QString BitAddressField(qint32 address) { return QString::fromLatin1(Hex(address, 4)); }

QByteArray BuildSetRegisters(quint8 identity, qint32 address, qint32 count, QByteArray values)
{
    if (values.size() % 2 != 0)
        values.prepend('\0');
    for (char& c : values)
        c = char(ReverseBits(quint8(c)));
    return Frame(identity, '0', RegisterAddressField(address), 2 * count, values);
}

QByteArray BuildGetRegisters(quint8 identity, qint32 address, qint32 count)
{
    return Frame(identity, '2', RegisterAddressField(address), 2 * count, {});
}

QByteArray BuildSetBit(quint8 identity, qint32 address, bool value)
{
    return Frame(identity, '3', BitAddressField(address), 1, value ? "1" : "0");
}

QByteArray BuildGetBit(quint8 identity, qint32 address)
{
    return Frame(identity, '4', BitAddressField(address), 0, {});
}

QByteArray BuildSetPackedBits(quint8 identity, qint32 address, qint32 byteCount, const QByteArray& packed)
{
    return Frame(identity, '0', BitAddressField(address), byteCount, packed);
}

QByteArray BuildGetPackedBits(quint8 identity, qint32 address, qint32 byteCount)
{
    return Frame(identity, '2', BitAddressField(address), byteCount, {});
}

qint32 ExpectedReplyLength(qint16 kind, qint32 count)
{
    switch (kind) {
    case GetRegistersKind: return 13 + 2 * count;
    case GetBitKind: return 14;
    case GetPackedBitsKind: return 13 + count;
    default: return 8;
    }
}

char BCC(const QByteArray& text)
{
    char x = 0;
    for (char c : text)
        x ^= c;
    return x;
}

quint8 ReverseBits(quint8 byte)
{
    quint8 r = 0;
    for (int i = 0; i < 8; ++i)
        if (byte & (1 << i))
            r |= quint8(0x80 >> i);
    return r;
}

bool LongToByteArray(qint32 value, QByteArray& bytes)
{
    bytes = QByteArray(2, '\0');
    if (value > 65535 || value < 0)
        return false;
    bytes[0] = char(value / 256);
    bytes[1] = char(value % 256);
    return true;
}

bool LongArrayToByteArray(const QVector<qint32>& values, QByteArray& bytes)
{
    bytes.clear();
    bytes.reserve(values.size() * 2);
    for (qint32 v : values) {
        if (v > 65535 || v < 0) {
            bytes.clear();
            return false;
        }
        bytes += char(v / 256);
        bytes += char(v % 256);
    }
    return true;
}

qint32 BytesToLong(quint8 high, quint8 low) { return qint32(high) * 256 + low; }

QVector<qint32> ByteArrayToLongArray(const QByteArray& bytes)
{
    QVector<qint32> values;
    values.reserve(bytes.size() / 2);
    for (int i = 0; i + 1 < bytes.size(); i += 2)
        values.append(BytesToLong(quint8(bytes[i]), quint8(bytes[i + 1])));
    return values;
}

bool PassesFilter(const QByteArray& candidate)
{
    return candidate.size() >= 3 && candidate[0] == STX && candidate[2] == '0';
}

bool CheckBlock(const QByteArray& candidate)
{
    const int l = candidate.size();
    if (l <= 1)
        return true;
    return BCC(candidate.mid(1, l - 2)) == candidate[l - 1];
}

bool DecodeReply(qint16 kind, const QByteArray& reply, QByteArray& data)
{
    const int l = reply.size();
    if (l < 13)
        return false;
    switch (kind) {
    case GetRegistersKind:
        data = reply.mid(11, l - 13);
        for (char& c : data)
            c = char(ReverseBits(quint8(c)));
        return true;
    case GetBitKind: {
        const char c = reply[11];
        data = QByteArray(1, char(c >= '0' && c <= '9' ? c - '0' : 0));
        return true;
    }
    case GetPackedBitsKind:
        data = reply.mid(11, l - 13);
        return true;
    default:
        return false;
    }
}

QString HexBytes(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size() * 3);
    for (int i = 0; i < bytes.size(); ++i) {
        if (i)
            out += ' ';
        out += QString::fromLatin1(Hex(quint8(bytes[i]), 2));
    }
    return out;
}

} // namespace Package
