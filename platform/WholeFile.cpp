#include "platform/WholeFile.h"
#include "platform/RegularFile.h"
#include "platform/WholeFileTesting.h"
#include <QFileInfo>
#include <QSaveFile>

namespace platform {

namespace {

WholeFileTesting::Fault g_fault = WholeFileTesting::Fault::None;
std::function<void(const QString&)> g_beforeReplace;

bool Fail(QSaveFile& file, QString* reason, const QString& fallback)
{
    if (reason)
        *reason = file.error() == QFileDevice::NoError || file.errorString().isEmpty() ? fallback : file.errorString();
    file.cancelWriting();
    return false;
}

// What stands at the name now. The write renames a new file over it, which would put a regular
// file in place of a pipe or a device (/dev/null, for root) or create whatever a dangling link
// points at; and root would overwrite a read-only file unasked. A link to a regular file is
// written through to that file.
bool Refused(const QString& path, QString* reason)
{
    const QFileInfo info(path);
    QString refusal;
    if (!info.exists())
        refusal = info.isSymLink() ? QStringLiteral("The link leads to no file") : QString();
    else if (!IsRegularFile(path))
        refusal = QStringLiteral("Not a regular file");
    else if (!(info.permissions() & QFileDevice::WriteOwner))
        refusal = QStringLiteral("The file is read-only");
    if (reason && !refusal.isEmpty())
        *reason = refusal;
    return !refusal.isEmpty();
}

} // namespace

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* reason)
{
    if (path.isEmpty()) {
        if (reason)
            *reason = QStringLiteral("No file name");
        return false;
    }
    if (Refused(path, reason))
        return false;
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
    const bool flushed = file.flush() && g_fault != WholeFileTesting::Fault::FlushFails;
    if (!flushed || file.error() != QFileDevice::NoError)
        return Fail(file, reason, QStringLiteral("Write failed"));
    const qint64 size = file.size() - (g_fault == WholeFileTesting::Fault::SizeDiffers ? 1 : 0);
    if (size != bytes.size())
        return Fail(file, reason, QStringLiteral("Short write"));
    // Looked at again just before the rename: a pipe or a device may have been put there while
    // the bytes were written.
    if (g_beforeReplace)
        g_beforeReplace(path);
    if (Refused(path, reason)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return true;
}

void WholeFileTesting::SetFault(Fault fault)
{
    g_fault = fault;
}

void WholeFileTesting::SetBeforeReplace(std::function<void(const QString&)> action)
{
    g_beforeReplace = std::move(action);
}

} // namespace platform
