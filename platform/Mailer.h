#pragma once
#include "platform/PlatformExport.h"
#include <QString>

namespace platform {

// A new e-mail with one attached file.
struct MailMessage {
    QString subject;
    QString body;
    QString attachmentPath;
    QString attachmentName;
};

// The desktop's mail program. It opens a message for the user to address and send; whether
// the user then sends it is not known to the caller.
class PLATFORM_EXPORT Mailer {
public:
    virtual ~Mailer();
    // True when a mail program can be started (xdg-email is there).
    virtual bool Available() = 0;
    // Hands the message to the mail program and gives it a moment to fail; false when it could
    // not be started or ended within that moment with a failure (exit status not 0). One still
    // running then has the message and runs on by itself, past the program's own end.
    virtual bool Compose(const MailMessage& message) = 0;

    static Mailer& Instance();
    static void SetInstance(Mailer* mailer);
};

} // namespace platform
