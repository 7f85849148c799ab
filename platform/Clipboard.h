#pragma once
#include "platform/PlatformExport.h"
#include <QString>

namespace platform {

// The desktop clipboard, for the texts the program copies (status line, user name, a log).
class PLATFORM_EXPORT Clipboard {
public:
    virtual ~Clipboard();
    // Replaces whatever the clipboard held by the text.
    virtual void SetText(const QString& text) = 0;

    static Clipboard& Instance();
    // nullptr restores the real clipboard.
    static void SetInstance(Clipboard* clipboard);
};

} // namespace platform
