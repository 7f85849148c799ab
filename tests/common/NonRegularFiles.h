#pragma once
// Names that are not regular files, for the roads that must refuse them without blocking.
#include <QFile>
#include <QString>
#include <sys/stat.h>

namespace testing_files {

// A named pipe: opening it for reading waits for a writer that never comes.
inline bool MakePipe(const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }

// A character device that every Linux machine has.
inline QString Device() { return QStringLiteral("/dev/zero"); }

} // namespace testing_files
