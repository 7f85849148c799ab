#pragma once
// Bounds-checked access to the unit memory image: register r at bytes 2r (high) and 2r + 1
// (low). Every call returns false when it would touch a byte outside the image; a part's
// FromImage/ToImage stops at the first false and returns false itself, so a short image
// (an older unit sends fewer registers) leaves the later fields as they were.
//
// Usage:
//     quint8 f;
//     if (!ImageAccess::GetByte(image, b, f)) return false;
//     if (!ImageAccess::PutWord(image, p + 2, ImageAccess::SignedToWord(SensorMin()))) return false;
#include "datamodel/JData.h"

#include <QByteArray>
#include <QString>

namespace ImageAccess {

// Names the field an encoder could not write and gives false, so an encoder can end with
// `return Refuse(field, "SensorMax");`. field may be nullptr.
inline bool Refuse(QString* field, const QString& name)
{
    if (field)
        *field = name;
    return false;
}

inline bool InImage(const QByteArray& image, qsizetype index)
{
    return index >= 0 && index < image.size();
}

inline bool GetByte(const QByteArray& image, qsizetype index, quint8& value)
{
    if (!InImage(image, index))
        return false;
    value = quint8(image.at(index));
    return true;
}

inline bool PutByte(QByteArray& image, qsizetype index, qint64 value)
{
    if (!InImage(image, index) || value < 0 || value > 255)
        return false;
    image[index] = char(quint8(value));
    return true;
}

// Ors bits into a byte already in the image.
inline bool OrByte(QByteArray& image, qsizetype index, quint8 bits)
{
    if (!InImage(image, index))
        return false;
    image[index] = char(quint8(image.at(index)) | bits);
    return true;
}

// Word at index (high byte) and index + 1 (low byte).
inline bool GetWord(const QByteArray& image, qsizetype index, qint32& value)
{
    quint8 hi, lo;
    if (!GetByte(image, index, hi) || !GetByte(image, index + 1, lo))
        return false;
    value = qint32(hi) * 256 + lo;
    return true;
}

// value \ 256 into index, value Mod 256 into index + 1; fails for a value outside 0..65535
// (nothing written) or when a byte lies outside the image (the high byte may be written).
inline bool PutWord(QByteArray& image, qsizetype index, qint64 value)
{
    if (value < 0 || value > 65535)
        return false;
    if (!PutByte(image, index, value / 256))
        return false;
    return PutByte(image, index + 1, value % 256);
}

// Copies bytes from start on; false at the first byte outside the image (those before it stay).
inline bool PutBytes(QByteArray& image, qsizetype start, const QByteArray& bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (!InImage(image, start + i))
            return false;
        image[start + i] = bytes.at(i);
    }
    return true;
}

// count bytes from start; false when the run leaves the image (bytes untouched then).
inline bool GetBytes(const QByteArray& image, qsizetype start, qsizetype count, QByteArray& bytes)
{
    if (count < 0 || start < 0 || start + count > image.size())
        return false;
    bytes = image.mid(start, count);
    return true;
}

// The image's signed word form (not two's complement): v < 0 travels as 65535 + v, a word of
// 32767 or more reads as w - 65535. Values -32768..32766 are the ones that read back unchanged.
constexpr qint32 kSignedWordMin = -32768;
constexpr qint32 kSignedWordMax = 32766;
inline bool SignedWordFits(qint64 v) { return v >= kSignedWordMin && v <= kSignedWordMax; }
inline qint64 SignedToWord(qint64 v) { return v < 0 ? 65535 + v : v; }
inline qint32 WordToSigned(qint32 w) { return w >= 32767 ? w - 65535 : w; }

// J-parameter block of 8 bytes at j: iTimeout, iMID, lPID word, lPPID word, iShr, last.
// Byte j + 6 is iShr as stored; callers Or in the bus bits (64 CAN, 128 J1587) afterwards.
// Fails when lPID or lPPID is outside 0..65535 or the block leaves the image (bytes before stay).
inline bool PutJBlock(QByteArray& image, qsizetype j, const JData& d, quint8 last)
{
    return PutByte(image, j, d.iTimeout) && PutByte(image, j + 1, d.iMID)
        && PutWord(image, j + 2, d.lPID) && PutWord(image, j + 4, d.lPPID)
        && PutByte(image, j + 6, d.iShr) && PutByte(image, j + 7, last);
}

// Reads the block into d (iShr gets byte j + 6 whole, iSub byte j + 7); d untouched on failure.
inline bool GetJBlock(const QByteArray& image, qsizetype j, JData& d)
{
    QByteArray b;
    if (!GetBytes(image, j, 8, b))
        return false;
    d.iTimeout = quint8(b.at(0));
    d.iMID = quint8(b.at(1));
    d.lPID = qint32(quint8(b.at(2))) * 256 + quint8(b.at(3));
    d.lPPID = qint32(quint8(b.at(4))) * 256 + quint8(b.at(5));
    d.iShr = quint8(b.at(6));
    d.iSub = quint8(b.at(7));
    return true;
}

} // namespace ImageAccess
