#pragma once
// Asks whether the page on show may be left before a tab widget changes its page on a user's
// click, key or mnemonic. The check runs while the page is still shown and before its entry
// boxes lose the focus (which would correct what was typed); a refusal swallows the input, so
// the page and its focus stay.
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QWidget>

#include <functional>

class QAbstractItemView;
class QMouseEvent;
class QTabBar;
class QTabWidget;

class TabLeaveGuard : public QObject {
public:
    TabLeaveGuard(QTabWidget* tabs, std::function<bool()> mayLeave);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The page the input on the tab bar or the tab widget would show; -1 when it shows none
    // other than the current one.
    int TargetOf(QObject* watched, QEvent* event) const;
    // The enabled tab `step` tabs away from the current one, wrapping round or not; -1 when none.
    int Step(int step, bool wrap) const;

    QTabWidget* m_tabs;
    QTabBar* m_bar;
    std::function<bool()> m_mayLeave;
};

// The same for another row of a page's list, chosen by a click or a key: mayLeave runs before
// the row changes, and a refusal swallows the input, so the row shown stays. A refused press
// ends its whole gesture: nothing more of it (another button, the second press of a double
// click, a move with a button held, which would select or drag, the release) reaches the list,
// and the focus that a press of it moved to the list goes back.
class RowLeaveGuard : public QObject {
public:
    RowLeaveGuard(QAbstractItemView* list, std::function<bool()> mayLeave);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether a mouse event on the list or its viewport belongs to the refused gesture.
    bool InRefusedGesture(const QMouseEvent& mouse);

    QAbstractItemView* m_list;
    std::function<bool()> m_mayLeave;
    bool m_refused = false; // the last gesture the list saw was refused
    // Its first press, which a second press pairs with into a double click.
    bool m_pairable = false;
    Qt::MouseButton m_button = Qt::NoButton;
    quint64 m_pressTime = 0;
    QPointF m_pressAt;
    QPointer<QWidget> m_focusBefore; // where the focus was before the list last took it
};
