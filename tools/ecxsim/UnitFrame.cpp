#include "tools/ecxsim/UnitFrame.h"

namespace ecxsim {

namespace frame {

quint8 Reverse(quint8 byte)
{
    quint8 out = 0;
    for (int i = 0; i < 8; ++i) {
        if (byte & (1u << i))
            out |= quint8(0x80u >> i);
    }
    return out;
}

char BlockCheck(const QByteArray& bytes)
{
    char bcc = 0;
    for (char c : bytes)
        bcc = char(bcc ^ c);
    return bcc;
}

QByteArray Hex(int value, int digits)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(digits, '0');
}

int ParseHex(const QByteArray& digits)
{
    if (digits.isEmpty())
        return -1;
    int value = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return -1;
        value = value * 16 + d;
    }
    return value;
}

QByteArray Wrap(const QByteArray& body)
{
    QByteArray out;
    out.reserve(body.size() + 3);
    out.append(Stx);
    out.append(body);
    out.append(Etx);
    out.append(BlockCheck(out.mid(1)));
    return out;
}

} // namespace frame

namespace {

// Number of data bytes a header announces, -1 when the header is malformed.
int DataLength(char type, int address, int size)
{
    switch (type) {
    case '0':
        return size; // registers or packed bits, as many bytes as the size says
    case '3':
        return size == 1 && address < frame::RegisterBase ? 1 : -1;
    case '2':
    case '4':
        return 0;
    default:
        return -1;
    }
}

} // namespace

int Request::FrameLength(const QByteArray& buffer)
{
    if (buffer.isEmpty() || buffer.at(0) != frame::Stx)
        return -1;
    // Judge each field as soon as it is complete, so garbage is dropped early.
    if (buffer.size() >= 3 && frame::ParseHex(buffer.mid(1, 2)) < 0)
        return -1;
    if (buffer.size() >= 4) {
        char stamp = buffer.at(3);
        if (stamp < '0' || stamp > '2')
            return -1;
    }
    if (buffer.size() >= 5) {
        char type = buffer.at(4);
        if (type != '0' && type != '2' && type != '3' && type != '4')
            return -1;
    }
    if (buffer.size() >= 9 && frame::ParseHex(buffer.mid(5, 4)) < 0)
        return -1;
    if (buffer.size() < frame::HeaderLength)
        return 0;
    int size = frame::ParseHex(buffer.mid(9, 2));
    if (size < 0)
        return -1;
    int length = DataLength(buffer.at(4), frame::ParseHex(buffer.mid(5, 4)), size);
    if (length < 0)
        return -1;
    return frame::HeaderLength + length + 2;
}

bool Request::Parse(const QByteArray& frameBytes)
{
    int length = FrameLength(frameBytes);
    if (length <= 0 || length != frameBytes.size())
        return false;
    id = frameBytes.mid(1, 2);
    stamp = frameBytes.at(3);
    type = frameBytes.at(4);
    address = frameBytes.mid(5, 4);
    size = frameBytes.mid(9, 2);
    data = frameBytes.mid(frame::HeaderLength, length - frame::HeaderLength - 2);
    const int addr = frame::ParseHex(address);
    const int sz = frame::ParseHex(size);
    const bool isRegister = addr >= frame::RegisterBase;
    if (isRegister) {
        if ((addr - frame::RegisterBase) % 16 != 0)
            return false;
        start = (addr - frame::RegisterBase) / 16;
    } else {
        start = addr;
    }
    switch (type) {
    case '0':
    case '2':
        if (isRegister) {
            if (sz < 2 || sz > 64 || sz % 2 != 0)
                return false;
            count = sz / 2;
            if (start + count > frame::RegisterCount)
                return false;
            kind = type == '0' ? SetRegisters : GetRegisters;
        } else {
            if (sz < 1 || sz > 64 || start % 8 != 0 || start + 8 * sz > frame::BitCount)
                return false;
            count = sz;
            kind = type == '0' ? SetPackedBits : GetPackedBits;
        }
        return true;
    case '3':
        if (isRegister || sz != 1 || (data.at(0) != '0' && data.at(0) != '1'))
            return false;
        count = 1;
        kind = SetBit;
        return true;
    case '4':
        if (isRegister || sz != 0)
            return false;
        count = 1;
        kind = GetBit;
        return true;
    default:
        return false;
    }
}

} // namespace ecxsim
