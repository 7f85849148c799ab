#pragma once
#include "platform/PlatformExport.h"
#include <QString>

namespace platform {

// Separators of the user's locale.
class PLATFORM_EXPORT Locale {
public:
    virtual ~Locale();
    virtual QString DateSeparator() = 0;
    virtual QString TimeSeparator() = 0;

    static Locale& Instance();
    static void SetInstance(Locale* locale);
};

} // namespace platform
