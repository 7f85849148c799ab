#pragma once
// Raw setup log files: one register word a line, "index TAB : TAB value TAB high TAB low".
#include <QString>
#include <QVector>

class MainState;

namespace unitops {

// The file's text for the words, lines ended by CR LF.
QByteArray SetupLogText(const QVector<qint32>& words);
// Writes the whole file or nothing.
bool WriteSetupLog(const QString& path, const QVector<qint32>& words);
// Words of a log's text in line order. False for a value outside 0..65535.
bool ParseSetupLog(const QByteArray& text, QVector<qint32>& words);
// False when the file cannot be read or holds a value outside 0..65535.
bool ReadSetupLog(const QString& path, QVector<qint32>& words);

// word := low byte * 256 + high byte.
void SwapWordBytes(qint32& word);
// The words the swap touches lie below this index.
inline constexpr int kSwapImageWords = 1536;
// Swaps the bytes of the fixed word list; false (nothing changed) when words is too short.
bool SwapImageWords(QVector<qint32>& words);

// Asks for a file name and writes the words the transfer dialog moved.
bool SaveSetupLogFromComm(MainState& state, const QVector<qint32>& words);

} // namespace unitops
