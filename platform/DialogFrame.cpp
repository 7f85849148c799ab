#include "platform/DialogFrame.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// No chain of owners is longer than this; one that seems to be has a loop.
constexpr int kOwnerSteps = 32;

// The window that owns window: its parent's window, else the window it is transient for.
QWidget* OwnerOf(const QWidget* window)
{
    if (QWidget* parent = window->parentWidget())
        return parent->window();
    QWindow* handle = window->windowHandle();
    QWindow* owner = handle ? handle->transientParent() : nullptr;
    if (!owner)
        return nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (w->windowHandle() == owner)
            return w;
    return nullptr;
}

// True when candidate is dialog or one of the windows dialog owns. A chain that does not end
// within the bound counts as owned: joining it would close a loop.
bool OwnedBy(QWidget* candidate, const QWidget* dialog)
{
    QWidget* w = candidate;
    for (int step = 0; step < kOwnerSteps; ++step) {
        if (!w)
            return false;
        if (w == dialog)
            return true;
        w = OwnerOf(w);
    }
    return true;
}

// The window on top that may own dialog: never dialog itself nor one it owns (that makes a
// loop the window system walks forever), else the main window on show.
QWidget* OwnerFor(QWidget* dialog)
{
    if (QWidget* owner = DialogOwner(); owner && !OwnedBy(owner, dialog))
        return owner;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (qobject_cast<QMainWindow*>(w) && w->isVisible() && !OwnedBy(w, dialog))
            return w;
    return nullptr;
}

// Names the owner when the dialog first maps, so a box that is built early still belongs to
// the window on top when it opens. The owner is fixed then: a restore from the task bar also
// shows the dialog, when the window on top may be one the dialog opened itself. The owner is
// only named to the window manager: it does not own the dialog's lifetime.
class OwnerOnShow : public QObject {
public:
    explicit OwnerOnShow(QWidget* dialog) : QObject(dialog) { dialog->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = static_cast<QWidget*>(parent());
        if (m_fixed || watched != dialog || event->type() != QEvent::Show || dialog->parentWidget()
            || !dialog->windowHandle())
            return false;
        m_fixed = true;
        QWidget* owner = OwnerFor(dialog);
        dialog->windowHandle()->setTransientParent(owner ? owner->windowHandle() : nullptr);
        return false;
    }

private:
    bool m_fixed = false;
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
