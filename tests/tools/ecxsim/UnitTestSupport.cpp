#include "UnitTestSupport.h"

#include <unistd.h>

namespace ecxsim_test {

// Written independently of the unit's own helpers so a shared mistake shows.
quint8 Reverse(quint8 b)
{
    static const quint8 nibble[16] = {0x0, 0x8, 0x4, 0xC, 0x2, 0xA, 0x6, 0xE,
                                      0x1, 0x9, 0x5, 0xD, 0x3, 0xB, 0x7, 0xF};
    return quint8((nibble[b & 0xF] << 4) | nibble[b >> 4]);
}

QByteArray Frame(const QByteArray& body)
{
    QByteArray f;
    f.append('\x02');
    f.append(body);
    f.append('\x03');
    char bcc = 0;
    for (int i = 1; i < f.size(); ++i)
        bcc = char(bcc ^ f.at(i));
    f.append(bcc);
    return f;
}

static QByteArray Hex(int v, int digits)
{
    return QByteArray::number(v, 16).toUpper().rightJustified(digits, '0');
}

QByteArray GetRegisters(int start, int count, char stamp, const QByteArray& id)
{
    return Frame(id + stamp + '2' + Hex(0x4000 + 16 * start, 4) + Hex(2 * count, 2));
}

QByteArray SetRegisters(int start, const QList<quint16>& values, char stamp, const QByteArray& id)
{
    QByteArray data;
    for (quint16 v : values) {
        data.append(char(Reverse(quint8(v >> 8))));
        data.append(char(Reverse(quint8(v & 0xFF))));
    }
    return Frame(id + stamp + '0' + Hex(0x4000 + 16 * start, 4) + Hex(2 * int(values.size()), 2) + data);
}

QByteArray ReadSome(int fd, int count)
{
    QByteArray got;
    WaitFor([&] {
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, int(n));
        return got.size() >= count;
    });
    return got;
}

} // namespace ecxsim_test
