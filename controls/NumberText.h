#pragma once
#include <QString>

// Reading whole numbers from an entry box's text.
namespace numbertext {

// Blanks, an optional sign and at least one digit, then blanks. A number too long for
// 64 bits saturates, so it still compares above or below any 32-bit limit.
bool ParseWhole(const QString& text, qint64& value);
// The leading decimal number of a text ("12abc" 12, "-" 0, "" 0), rounded half to even
// and held within the 32-bit range.
qint32 LeadingWhole(const QString& text);
qint32 Clamp32(qint64 value);
inline qint64 Bound64(qint64 lo, qint64 v, qint64 hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

} // namespace numbertext
