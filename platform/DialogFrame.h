#pragma once
#include <QWidget>

namespace platform {

// Message boxes and small dialogs: a title and a close button only. The window manager is
// told so, so that it adds no minimise or maximise button of its own.
inline void SetSmallDialogFrame(QWidget* dialog)
{
    if (dialog)
        dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                               | Qt::WindowCloseButtonHint);
}

} // namespace platform
