#pragma once
#include "platform/PlatformExport.h"
#include <QString>

namespace platform {

// True when path names an existing regular file (or a link to one). A named pipe, a
// directory, a device or a socket is not one: opening a pipe for reading waits for a writer,
// and a device may never end, so a road that reads a whole file asks this first.
PLATFORM_EXPORT bool IsRegularFile(const QString& path);

} // namespace platform
