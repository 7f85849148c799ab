#pragma once
// Text, byte, version and language helpers shared by XelQrn and the program.
// Texts are 1-based where positions matter; numbers read from texts take their numeric prefix.
#include "extra/ExtraExport.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

EXTRA_EXPORT_BEGIN
namespace extra {

// ---- texts ----------------------------------------------------------------------------
QString ReplaceAll(const QString& text, const QString& find, const QString& replacement);
QString BeforeFirst(const QString& text, const QString& delimiter);
QString AfterFirst(const QString& text, const QString& delimiter);
QString BeforeLast(const QString& text, const QString& delimiter);
QString AfterLast(const QString& text, const QString& delimiter);
qint32 CountFields(const QString& text, const QString& delimiter);
QString GetField(const QString& text, const QString& delimiter, qint32 n);
QString StripNull(const QString& text, bool rightOnly);
// Value of the longest leading decimal number, blanks before it skipped; 0 when none.
double NumericPrefix(const QString& text);
// Whole number, halves to the even neighbour.
qint64 RoundHalfEven(double value);
// A tool tip that shows text as it is: Qt shows a tip that looks like markup as markup, so a
// name such as "<b>x.QRN" goes in escaped.
QString PlainTip(const QString& text);

// ---- command line: the arguments as the shell split them, program name not included ------
// An option counts only as a whole argument of its own ("-q", "-t", "-p", "-f", "-debug",
// "-debugcomm"), so no file name can start a command. Its value is the arguments after it up
// to the next option, joined by blanks and trimmed: a file name with blanks needs no quotes.
bool HasOption(const QStringList& args, const QString& option);
QString GetOptionValue(const QStringList& args, const QString& option);
// For each argument, whether it belongs to the value of -f, -t or -p.
QList<bool> TakenByValues(const QStringList& args);

// ---- bytes ----------------------------------------------------------------------------
void StringToBytes(const QString& text, QByteArray& bytes);
QString BytesToString(const QByteArray& bytes);
// Two bytes, high first; only the low 16 bits of value are kept.
void WordToBytes(qint32 value, QByteArray& bytes);
// Missing bytes read as 0.
qint32 BytesToWord(const QByteArray& bytes);

// ---- system ----------------------------------------------------------------------------
QString GetWindowsUserName();

// ---- numbers and versions -------------------------------------------------------------
qint32 PowerOfTwo(qint32 factor, qint32 exponent);
double HexToValue(const QString& text);
QString ValueToHex(double value, qint32 width);
// A version without a point reads as major.0.
int CompareVersions(const QString& a, const QString& b);
// A major part too large for 32 bits gives the largest number.
qint32 VersionToNumber(const QString& version);
// False with errorCode -1 (resolution 0), -2 (too many bits) or -23 (arithmetic failure,
// reported in a message box).
bool ComputeScaling(qint32 size, double resolution, double offset, double maximum,
                    qint32& minimumX10, qint32& maximumX10, quint8& shiftCode,
                    quint8& subtractValue, qint32& errorCode);

// ---- language library -----------------------------------------------------------------
bool LoadLanguageLibrary();
void FreeLanguageLibrary();
bool LanguageLibraryLoaded();
// A hold keeps the library loaded until it is released (the first hold loads it, the last
// release frees it unless LoadLanguageLibrary loaded it). false, and no hold taken, when it
// cannot be loaded.
bool AcquireLanguageLibrary();
void ReleaseLanguageLibrary();
bool LangStringExists(quint16 id);
QString GetLangString(quint16 id, const QVariantList& args = {});
QString FormatLangString(quint16 id, const QVariantList& args = {});
int LangMsgBox(quint16 id, int style, const QVariantList& args = {});
void ShowStatusMessage(quint16 id, const QVariantList& args = {});
// One entry of a list-text block.
struct LangListItem {
    qint32 value;
    QString text;
};
QVector<LangListItem> LangListBlock(quint16 base);
// Names of the unit display languages, probing 10000 + 1000 k.
QStringList LanguageNames();
void ShowErrorMessage(const QString& source, qint32 number, const QString& description,
                      const QString& procedure, const QString& module);

// ---- unit image words, unit text (XelQrn's own helpers) ---------------------------------
// Register words to image bytes, high byte first; a word outside 0..65535 stops the conversion
// and shows the error report box.
void LA2BA(const QVector<qint32>& words, QByteArray& bytes);
void BA2LA(const QByteArray& bytes, QVector<qint32>& words);
// Copies bytes into the image from start; false at the first index outside the image
// (what fitted before it is written).
bool PutBytes(QByteArray& image, const QByteArray& bytes, qint32 start);
// count bytes from start; false when the run leaves the image.
bool GetBytes(const QByteArray& image, qint32 start, qint32 count, QByteArray& bytes);
bool FileExists(const QString& path);
// Program text <-> unit display text (the unit's one-byte character set).
QString TextToUnit(const QString& text);
QString UnitToText(const QString& text);
QString GetWindowsComputerName();

} // namespace extra
EXTRA_EXPORT_END
