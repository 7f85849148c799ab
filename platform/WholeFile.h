#pragma once
#include "platform/PlatformExport.h"
#include <QByteArray>
#include <QString>

namespace platform {

// Writes bytes to a file so that the file is either the new bytes in full or left exactly as
// it was: the bytes go to a temporary file beside it, every write and the final flush are
// checked, and only a complete temporary file replaces the old one. A full disk or a file-size
// limit therefore never leaves an empty or cut file behind. A name that holds anything but a
// regular file (a pipe, a device, a folder, a link that leads nowhere) or a read-only file is
// refused and left as it is; a link to a regular file writes that file. On failure `reason`
// (when given) receives the words for what went wrong.
PLATFORM_EXPORT bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* reason = nullptr);

} // namespace platform
