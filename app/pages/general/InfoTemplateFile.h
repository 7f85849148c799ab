#pragma once
// The info-window template: a plain text file, the engine name on its first line and the
// lines of the window text after it, each line ending in CR LF.
#include <QString>

namespace InfoTemplateFile {

constexpr int kWindowLines = 7;
constexpr int kLineLength = 38;
// A template is a few hundred bytes; anything far larger is no template.
constexpr qint64 kMaxFileBytes = 64 * 1024;

enum class ReadResult { Ok, CannotRead, Invalid };

struct Content {
    QString name;
    QString window; // lines joined with CR LF
};

// Reads and checks a template: at most kWindowLines window lines of at most kLineLength
// characters, each a character the unit can show (ø and Ø become ö and Ö).
ReadResult Read(const QString& path, Content& content);
// The window text with every character the unit can show, mapped; false when one cannot be.
bool FilterToUnit(QString& text);
// Writes name, CR LF, window text and a closing CR LF; the file is replaced only when all
// of it is written.
bool Write(const QString& path, const Content& content);

} // namespace InfoTemplateFile
