#include "app/frame/TabLeaveGuard.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleHints>
#include <QTabBar>
#include <QTabWidget>
#include <QWheelEvent>

TabLeaveGuard::TabLeaveGuard(QTabWidget* tabs, std::function<bool()> mayLeave)
    : QObject(tabs), m_tabs(tabs), m_bar(tabs->tabBar()), m_mayLeave(std::move(mayLeave))
{
    // Key presses the focused page does not take travel up to the tab widget (Ctrl+Tab);
    // clicks, the wheel, arrow keys and mnemonics go to the tab bar.
    m_tabs->installEventFilter(this);
    m_bar->installEventFilter(this);
}

int TabLeaveGuard::Step(int step, bool wrap) const
{
    const int count = m_bar->count();
    int at = m_bar->currentIndex();
    for (int pass = 1; pass < count; ++pass) {
        at += step;
        if (wrap)
            at = (at + count) % count;
        else if (at < 0 || at >= count)
            return -1;
        if (m_bar->isTabEnabled(at))
            return at;
    }
    return -1;
}

int TabLeaveGuard::TargetOf(QObject* watched, QEvent* event) const
{
    int target = -1;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == m_bar && mouse->button() == Qt::LeftButton)
            target = m_bar->tabAt(mouse->position().toPoint());
        break;
    }
    case QEvent::Wheel: {
        // As the bar takes it: a wheel that steps changes the page, a touch pad's pixel scroll
        // only moves the strip.
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint delta = wheel->angleDelta();
        const int along = qAbs(delta.y()) > qAbs(delta.x()) ? delta.y() : delta.x();
        const bool steps = m_bar->style()->styleHint(QStyle::SH_TabBar_AllowWheelScrolling, nullptr, m_bar)
                           && !wheel->device()->capabilities().testFlag(QInputDevice::Capability::PixelScroll);
        if (watched == m_bar && steps && along != 0)
            target = Step(along > 0 ? -1 : 1, false);
        break;
    }
    case QEvent::Shortcut: {
        // The tab strip's own shortcuts are the mnemonics of its captions.
        const QKeySequence key = static_cast<QShortcutEvent*>(event)->key();
        if (watched == m_bar)
            for (int i = 0; i < m_bar->count() && target < 0; ++i)
                if (QKeySequence::mnemonic(m_bar->tabText(i)) == key)
                    target = i;
        break;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
        const bool back = key->key() == Qt::Key_Backtab || key->modifiers().testFlag(Qt::ShiftModifier);
        if (watched == m_tabs && ctrl && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab))
            target = Step(back ? -1 : 1, true);
        else if (watched == m_bar && (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right))
            target = Step((key->key() == Qt::Key_Left) != m_bar->isRightToLeft() ? -1 : 1, false);
        break;
    }
    default:
        break;
    }
    const bool other = target >= 0 && target != m_bar->currentIndex() && m_bar->isTabEnabled(target);
    return other ? target : -1;
}

bool TabLeaveGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (TargetOf(watched, event) < 0 || !m_mayLeave || m_mayLeave())
        return QObject::eventFilter(watched, event);
    event->accept();
    return true;
}

RowLeaveGuard::RowLeaveGuard(QAbstractItemView* list, std::function<bool()> mayLeave)
    : QObject(list), m_list(list), m_mayLeave(std::move(mayLeave))
{
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (now == m_list)
            m_focusBefore = old;
    });
}

bool RowLeaveGuard::InRefusedGesture(const QMouseEvent& mouse)
{
    switch (mouse.type()) {
    case QEvent::MouseButtonPress: {
        if (!m_refused)
            return false;
        // Another button while one is down, or the press the window system pairs with the
        // refused one into a double click (once, as it does).
        const QStyleHints* hints = QGuiApplication::styleHints();
        const QPointF moved = mouse.globalPosition() - m_pressAt;
        const bool paired = m_pairable && mouse.button() == m_button
                            && mouse.timestamp() - m_pressTime < quint64(hints->mouseDoubleClickInterval())
                            && qAbs(moved.x()) <= hints->mouseDoubleClickDistance()
                            && qAbs(moved.y()) <= hints->mouseDoubleClickDistance();
        if (paired)
            m_pairable = false;
        return paired || (mouse.buttons() & ~mouse.button()) != Qt::NoButton;
    }
    case QEvent::MouseMove: return m_refused && mouse.buttons() != Qt::NoButton;
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: return m_refused;
    default: return false;
    }
}

bool RowLeaveGuard::eventFilter(QObject* watched, QEvent* event)
{
    bool refused = false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        // The rows take the mouse on the viewport; what they leave goes on to the list itself.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        refused = InRefusedGesture(*mouse);
        const bool starts = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
        // The press has already moved the focus to the list; the rest of a refused gesture
        // gives it back.
        if (refused && starts && QApplication::focusWidget() == m_list && m_focusBefore)
            m_focusBefore->setFocus(Qt::OtherFocusReason);
        if (refused || !starts)
            break;
        m_refused = watched == m_list->viewport() && m_mayLeave && !m_mayLeave();
        refused = m_refused;
        if (event->type() == QEvent::MouseButtonPress) {
            m_pairable = m_refused;
            m_button = mouse->button();
            m_pressTime = mouse->timestamp();
            m_pressAt = mouse->globalPosition();
        }
        break;
    }
    case QEvent::KeyPress: refused = watched == m_list && m_mayLeave && !m_mayLeave(); break;
    default: break;
    }
    if (!refused)
        return QObject::eventFilter(watched, event);
    event->accept();
    return true;
}
