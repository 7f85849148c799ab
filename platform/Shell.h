#pragma once
#include "platform/PlatformExport.h"
#include <QString>

class QWidget;

namespace platform {

// The desktop shell: opening a document or web address, and the help viewer.
class PLATFORM_EXPORT Shell {
public:
    virtual ~Shell();
    // Opens a web address or document with the desktop's "Open" action; false when that failed.
    virtual bool OpenDocument(const QString& address) = 0;
    // Opens a help file at its index. A bare file name is looked for by the platform.
    virtual bool ShowHelpIndex(QWidget* owner, const QString& helpFile) = 0;
    // Opens the help file at a topic (its context number); the index when the topic is 0.
    virtual bool ShowHelpTopic(QWidget* owner, const QString& helpFile, int context)
    {
        Q_UNUSED(context);
        return ShowHelpIndex(owner, helpFile);
    }

    static Shell& Instance();
    // nullptr restores the real shell.
    static void SetInstance(Shell* shell);
};

} // namespace platform
