#pragma once
// The unit's side of the package layout: request parsing and reply building.
#include <QByteArray>
#include <QtGlobal>

namespace ecxsim {

namespace frame {

constexpr char Stx = 2;
constexpr char Etx = 3;
constexpr char Ack = 6;
constexpr char Esc = 27;
constexpr int HeaderLength = 11; // STX, ID, stamp, type, address, size
constexpr int RegisterBase = 0x4000;
constexpr int RegisterCount = 3072;
constexpr int BitCount = 16384;

// Swaps bit 0 with 7, 1 with 6 and so on: register bytes travel this way.
quint8 Reverse(quint8 byte);

// Exclusive-or of every byte.
char BlockCheck(const QByteArray& bytes);

// Upper-case hexadecimal of value, left-padded with "0" to digits.
QByteArray Hex(int value, int digits);

// Value of upper-case hexadecimal digits, -1 when any character is not one.
int ParseHex(const QByteArray& digits);

// Frames body (ID through data): STX body ETX BCC.
QByteArray Wrap(const QByteArray& body);

} // namespace frame

// One request as the unit reads it.
struct Request {
    enum Kind { SetRegisters, GetRegisters, SetBit, GetBit, SetPackedBits, GetPackedBits };
    Kind kind = GetRegisters;
    QByteArray id;      // the two ID characters as received
    char stamp = '0';
    char type = '2';
    QByteArray address; // the four address characters as received
    QByteArray size;    // the two size characters as received
    int start = 0;      // register or bit address
    int count = 0;      // registers, bits (1 for one bit) or packed bytes
    QByteArray data;    // data bytes as they travelled

    // Checks the header of a candidate that starts with STX. Returns the frame
    // length when the header is well formed (so far as available), 0 when
    // more bytes are needed to judge and -1 when it is malformed.
    static int FrameLength(const QByteArray& buffer);

    // Reads a complete frame of FrameLength() bytes whose ETX and BCC are
    // already checked. False for a malformed layout.
    bool Parse(const QByteArray& frame);
};

} // namespace ecxsim
