#include "platform/WholeFile.h"
#include "platform/WholeFileTesting.h"
#include <QSaveFile>

namespace platform {

namespace {

WholeFileTesting::Fault g_fault = WholeFileTesting::Fault::None;

bool Fail(QSaveFile& file, QString* reason, const QString& fallback)
{
    if (reason)
        *reason = file.error() == QFileDevice::NoError || file.errorString().isEmpty() ? fallback : file.errorString();
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
    const bool flushed = file.flush() && g_fault != WholeFileTesting::Fault::FlushFails;
    if (!flushed || file.error() != QFileDevice::NoError)
        return Fail(file, reason, QStringLiteral("Write failed"));
    const qint64 size = file.size() - (g_fault == WholeFileTesting::Fault::SizeDiffers ? 1 : 0);
    if (size != bytes.size())
        return Fail(file, reason, QStringLiteral("Short write"));
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

} // namespace platform
