#include "platform/WholeFile.h"
#include <QSaveFile>

namespace platform {

namespace {

bool Fail(QSaveFile& file, QString* reason, const QString& fallback)
{
    if (reason)
        *reason = file.errorString().isEmpty() ? fallback : file.errorString();
    file.cancelWriting();
    return false;
}

} // namespace

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* reason)
{
    if (path.isEmpty()) {
        if (reason)
            *reason = QStringLiteral("No file name");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size())
        return Fail(file, reason, QStringLiteral("Short write"));
    // The device buffers: a write the disk refuses fails only here, and commit() alone would
    // not notice it and would put the cut temporary file in place of the old one.
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return Fail(file, reason, QStringLiteral("Write failed"));
    if (file.size() != bytes.size())
        return Fail(file, reason, QStringLiteral("Short write"));
    if (!file.commit()) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace platform
