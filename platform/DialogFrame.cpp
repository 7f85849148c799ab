#include "platform/DialogFrame.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// Names the owner when the window is about to be mapped, so a box that is built early still
// belongs to the window on top when it shows. The owner is only named to the window manager:
// it does not own the dialog's lifetime.
class OwnerOnShow : public QObject {
public:
    explicit OwnerOnShow(QWidget* dialog) : QObject(dialog) { dialog->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = static_cast<QWidget*>(parent());
        if (watched == dialog && event->type() == QEvent::Show && !dialog->parentWidget() && dialog->windowHandle()) {
            QWidget* owner = DialogOwner();
            dialog->windowHandle()->setTransientParent(owner && owner != dialog ? owner->windowHandle() : nullptr);
        }
        return false;
    }
};

} // namespace

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

QWidget* DialogOwner(QWidget* opener)
{
    QWidget* window = opener ? opener->window() : nullptr;
    return window && window->isVisible() ? window : DialogOwner();
}

void SetSmallDialogFrame(QWidget* dialog)
{
    if (!dialog)
        return;
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowCloseButtonHint);
    new OwnerOnShow(dialog);
}

} // namespace platform
