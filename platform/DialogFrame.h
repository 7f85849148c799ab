#pragma once
#include "platform/PlatformExport.h"

class QWidget;

namespace platform {

// The window a new message box or dialog belongs to: the modal window on top, else the
// program's main window once it is shown, else the active window; none without any.
PLATFORM_EXPORT QWidget* DialogOwner();
// The window a dialog opened from opener belongs to: the opener's window while it is on show,
// else DialogOwner(). A window never shown is no owner: the window manager ignores it, so a
// dialog transient for it could be minimised alone and leave a window that takes no input.
PLATFORM_EXPORT QWidget* DialogOwner(QWidget* opener);

// Message boxes and small dialogs: a title and a close button only, and an owner. Some window
// managers ignore the missing minimise button; a window that is transient for its owner stays
// above it and is minimised only together with it, so a modal box can never be lost from view.
// A dialog without a parent is transient for DialogOwner() as it first shows (never for itself
// nor a window it owns), and stays so when it is restored or shown again; one with a parent,
// for its parent's window.
PLATFORM_EXPORT void SetSmallDialogFrame(QWidget* dialog);

} // namespace platform
