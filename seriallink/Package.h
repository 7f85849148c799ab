#pragma once
// Building, checking and decoding the packages exchanged with the unit.
#include "seriallink/XelCommExport.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace Package {

inline constexpr char STX = 2;
inline constexpr char ETX = 3;

// What the master records with each request so the reply can be decoded.
enum RequestKind : qint16 {
    SetRegistersKind = 48,
    GetRegistersKind = 50,
    SetBitKind = 51,
    GetBitKind = 52,
    SetPackedBitsKind = 96,
    GetPackedBitsKind = 98,
};

// The six builders; each returns the whole package, block check included.
// values: 2n bytes, high then low per register, not yet reversed.
XELCOMM_EXPORT QByteArray BuildSetRegisters(quint8 identity, qint32 address, qint32 count, QByteArray values);
XELCOMM_EXPORT QByteArray BuildGetRegisters(quint8 identity, qint32 address, qint32 count);
XELCOMM_EXPORT QByteArray BuildSetBit(quint8 identity, qint32 address, bool value);
XELCOMM_EXPORT QByteArray BuildGetBit(quint8 identity, qint32 address);
XELCOMM_EXPORT QByteArray BuildSetPackedBits(quint8 identity, qint32 address, qint32 byteCount, const QByteArray& packed);
XELCOMM_EXPORT QByteArray BuildGetPackedBits(quint8 identity, qint32 address, qint32 byteCount);

// The reply length each request kind expects.
XELCOMM_EXPORT qint32 ExpectedReplyLength(qint16 kind, qint32 count);

// Address fields: 4000 + 16r for register r, the bit number itself for bits.
XELCOMM_EXPORT QString RegisterAddressField(qint32 address);
XELCOMM_EXPORT QString BitAddressField(qint32 address);

// Exclusive-or of every byte, as one byte.
XELCOMM_EXPORT char BCC(const QByteArray& text);
XELCOMM_EXPORT quint8 ReverseBits(quint8 byte);

XELCOMM_EXPORT bool LongToByteArray(qint32 value, QByteArray& bytes);
XELCOMM_EXPORT bool LongArrayToByteArray(const QVector<qint32>& values, QByteArray& bytes);
XELCOMM_EXPORT qint32 BytesToLong(quint8 high, quint8 low);
XELCOMM_EXPORT QVector<qint32> ByteArrayToLongArray(const QByteArray& bytes);

// The reply filter: a candidate addressed to the master starts with STX and has "0"
// as its third character.
XELCOMM_EXPORT bool PassesFilter(const QByteArray& candidate);
// The block check of a received candidate (a candidate of one byte or none passes).
XELCOMM_EXPORT bool CheckBlock(const QByteArray& candidate);
// Decodes an accepted reply by kind; false when the kind carries no data or the reply
// is too short to hold any.
XELCOMM_EXPORT bool DecodeReply(qint16 kind, const QByteArray& reply, QByteArray& data);

// The trace form of a package: each byte as two hex digits, one blank between.
XELCOMM_EXPORT QString HexBytes(const QByteArray& bytes);

} // namespace Package
