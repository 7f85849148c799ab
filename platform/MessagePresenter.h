#pragma once
#include "platform/PlatformExport.h"
#include <QString>

namespace platform {

// Style bits of a message box, as the program's callers pass them.
namespace MsgStyle {
enum : int {
    OKOnly = 0, OKCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5,
    Critical = 16, Question = 32, Exclamation = 48, Information = 64,
    DefaultButton1 = 0, DefaultButton2 = 256, DefaultButton3 = 512,
};
}

// Buttons a message box returns.
namespace MsgResult {
enum : int { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
}

// Shows a modal message box and returns the button pressed.
class PLATFORM_EXPORT MessagePresenter {
public:
    virtual ~MessagePresenter();
    virtual int Show(const QString& text, int style, const QString& caption) = 0;
    // A short beep (second click while busy).
    virtual void Beep();

    static MessagePresenter& Instance();
    static void SetInstance(MessagePresenter* presenter);
};

} // namespace platform
