#include "platform/DialogFrame.h"

#include <QApplication>
#include <QMainWindow>
#include <QWidget>

namespace platform {

QWidget* DialogOwner()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    // A hidden main window would only carry the box off screen with it.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (qobject_cast<QMainWindow*>(w) && w->isVisible())
            return w;
    return QApplication::activeWindow();
}

void SetSmallDialogFrame(QWidget* dialog)
{
    if (!dialog)
        return;
    const Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                  | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    QWidget* owner = dialog->parentWidget();
    if (!owner) {
        owner = DialogOwner();
        if (owner == dialog)
            owner = nullptr;
    }
    dialog->setParent(owner, flags);
}

} // namespace platform
