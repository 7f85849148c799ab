#pragma once
#include "platform/PlatformExport.h"
#include <QString>

namespace platform {

// Where the program file lies.
class PLATFORM_EXPORT ProgramLocation {
public:
    virtual ~ProgramLocation();
    // The program's folder in native form ("D:\" at a drive root, no trailing separator otherwise).
    virtual QString Folder() = 0;
    // The program file's name as it is on disk ("Quarno.exe" on Windows).
    virtual QString FileName() = 0;

    // A file in the program's folder: folder, separator, name; no second separator when the
    // folder already ends with one (a drive root).
    QString PathOf(const QString& fileName);

    static ProgramLocation& Instance();
    static void SetInstance(ProgramLocation* location);
};

} // namespace platform
