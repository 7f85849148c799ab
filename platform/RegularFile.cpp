#include "platform/RegularFile.h"

#include <QFileInfo>

namespace platform {

bool IsRegularFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    // QFileInfo follows links and tells a regular file from every other kind of entry.
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

} // namespace platform
