#pragma once
// Binary field reader and writer for part records in the setup file.
//
// A record is written member after member, no padding: Byte 1, Integer 2 and Long 4 bytes
// signed little-endian, Single 4 / Double 8 IEEE little-endian, Date 8 (day count from
// 1899-12-30 as a Double), Boolean 2 (FF FF true, 00 00 false; any non-zero reads true),
// fixed text n bytes (Windows-1252, blank-padded, cut at n), variable text a 2-byte count
// then the bytes, JData 12 bytes (iTimeout, iMID, lPID, lPPID, iShr, iSub).
//
// Both classes are sticky: after the first failure every later call fails at once and leaves
// its target untouched, so a part can read/write all its fields and check Ok() at the end;
// the fields read before the failure keep their new values.
//
// Usage in a part:
//     bool XelFoo::ReadFromFile(RecordReader& r, const QString& fileVersion) {
//         const FileVersion v = FileVersion::Parse(fileVersion);
//         r.Byte(m_rec.Index); r.FixedText(m_rec.Text, 30); if (v.major >= 2) r.Boolean(...);
//         if (!r.Ok()) return false;
//         ResetBackup(); return true;
//     }
//     bool XelFoo::WriteToFile(RecordWriter& w) { w.Byte(m_rec.Index); ...; if (!w.Ok()) return false; ResetBackup(); return true; }
#include "datamodel/JData.h"
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class QIODevice;

// Major and minor of a version text such as "2.15": the numeric value of the text before
// the first "." and of the text after it (0 where a side does not start with a number).
struct XELQRN_EXPORT FileVersion {
    qint32 major = 0;
    qint32 minor = 0;
    static FileVersion Parse(const QString& text);
    // True when this version is at least major.minor (minor compared as a number).
    bool AtLeast(qint32 maj, qint32 min) const { return major > maj || (major == maj && minor >= min); }
};

// Fixed-length text helpers: the in-memory form of a fixed text field is its n characters.
namespace FixedText {
// text blank-padded or cut to n characters.
XELQRN_EXPORT QString Fit(const QString& text, int n);
// n blanks: a fixed text that was never assigned.
XELQRN_EXPORT QString Blank(int n);
// Trailing blanks removed.
XELQRN_EXPORT QString TrimRight(const QString& text);
// Leading and trailing blanks removed.
XELQRN_EXPORT QString TrimBoth(const QString& text);
// Cut at the first NUL (if any), trailing blanks removed, padded again to n.
XELQRN_EXPORT QString Normalise(const QString& text, int n);
} // namespace FixedText

// Range checks for the dropped-write rule: a write that does not fit its field is dropped.
inline bool FitsByte(qint64 v) { return v >= 0 && v <= 255; }
inline bool FitsInteger(qint64 v) { return v >= -32768 && v <= 32767; }

// Day count from 1899-12-30 (time of day as the fraction) and back. The date-time is taken
// as a plain calendar value; its time zone is not looked at.
XELQRN_EXPORT double DateToDouble(const QDateTime& value);
// false when the number is not a representable date.
XELQRN_EXPORT bool DoubleToDate(double days, QDateTime& value);

class XELQRN_EXPORT RecordReader {
public:
    explicit RecordReader(QIODevice* device);
    bool Ok() const { return m_ok; }

    bool Byte(quint8& v);
    bool Integer(qint16& v);
    bool Long(qint32& v);
    bool Single(float& v);
    bool Double(double& v);
    bool Date(QDateTime& v);
    bool Boolean(bool& v);
    // n bytes as n characters (blanks kept).
    bool FixedText(QString& v, int n);
    bool VarText(QString& v);
    bool Data(JData& v);
    // Reads and drops n bytes.
    bool Skip(int n);
    // Raw bytes; fails unless all n are there.
    bool Raw(QByteArray& v, int n);

private:
    bool Take(char* out, int n);
    QIODevice* m_dev;
    bool m_ok;
};

class XELQRN_EXPORT RecordWriter {
public:
    explicit RecordWriter(QIODevice* device);
    bool Ok() const { return m_ok; }
    // A writer that keeps backups asks the parts to write their records and change nothing
    // else: no ResetBackup, no stamped user kept.
    void SetKeepsBackup(bool keep) { m_keepsBackup = keep; }
    bool KeepsBackup() const { return m_keepsBackup; }

    bool Byte(quint8 v);
    bool Integer(qint16 v);
    bool Long(qint32 v);
    bool Single(float v);
    bool Double(double v);
    bool Date(const QDateTime& v);
    bool Boolean(bool v);
    // text blank-padded or cut to n bytes; characters outside the code page become '?'.
    bool FixedText(const QString& v, int n);
    // Fails for texts longer than 65535 characters.
    bool VarText(const QString& v);
    bool Data(const JData& v);
    bool Raw(const QByteArray& v);

private:
    bool Put(const char* data, int n);
    QIODevice* m_dev;
    bool m_ok;
    bool m_keepsBackup = false;
};
