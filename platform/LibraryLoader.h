#pragma once
#include "platform/PlatformExport.h"
#include <QString>
#include <optional>

namespace platform {

// Loading a library by file name and reading its numbered strings.
// Handles are opaque; 0 means "not loaded".
class PLATFORM_EXPORT LibraryLoader {
public:
    virtual ~LibraryLoader();
    // fileName as the program names it ("XELLAN.DLL"); looked up next to the program first.
    virtual quintptr Load(const QString& fileName) = 0;
    virtual void Free(quintptr handle) = 0;
    // The string with that id, or nothing when the library has none.
    virtual std::optional<QString> String(quintptr handle, quint16 id) = 0;

    static LibraryLoader& Instance();
    // nullptr restores the real loader.
    static void SetInstance(LibraryLoader* loader);
};

} // namespace platform
