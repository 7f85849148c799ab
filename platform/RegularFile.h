#pragma once
#include "platform/PlatformExport.h"
#include <QString>

namespace platform {

// True when path names an existing regular file (or a link to one). A named pipe, a
// directory, a device or a socket is not one: opening a pipe for reading waits for a writer,
// and a device may never end, so a road that reads a whole file asks this first.
PLATFORM_EXPORT bool IsRegularFile(const QString& path);

// The full name of the file the system opens for name, given relative to the current folder:
// the folder joined with the name. A folder part that climbs with ".." is resolved by the
// system, which follows a link before it climbs ("link/../x" is beside the link's target),
// so no later tidying of the text can lead elsewhere.
PLATFORM_EXPORT QString FullFileName(const QString& name);

} // namespace platform
