#include "app/pages/common/TabOrder.h"

#include <QApplication>
#include <QEvent>
#include <QList>
#include <QRect>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>

namespace taborder {

namespace {

struct Item {
    QWidget* widget;
    QRect rect; // in the coordinates of the frame being ordered
};

bool IsTabStop(const QWidget* w)
{
    return !w->isWindow() && (w->focusProxy() != nullptr || (w->focusPolicy() & Qt::TabFocus) != 0);
}

bool HasTabStops(const QWidget* w)
{
    for (const QObject* child : w->children()) {
        const auto* c = qobject_cast<const QWidget*>(child);
        if (c && !c->isWindow() && (IsTabStop(c) || HasTabStops(c)))
            return true;
    }
    return false;
}

QList<Item> ItemsOf(QWidget* frame)
{
    // A scrolled page is ordered as the page itself: its viewport only carries it.
    if (auto* scroll = qobject_cast<QScrollArea*>(frame); scroll && scroll->widget())
        frame = scroll->widget();
    QList<Item> items;
    for (QObject* child : frame->children()) {
        auto* c = qobject_cast<QWidget*>(child);
        if (c && !c->isWindow() && (IsTabStop(c) || HasTabStops(c)))
            items.append({c, c->geometry()});
    }
    return items;
}

void Order(QList<Item> items, QList<QWidget*>& chain);

void Emit(const Item& item, QList<QWidget*>& chain)
{
    QWidget* w = item.widget;
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        // The tab strip, then each page's controls.
        chain.append(tabs);
        for (int i = 0; i < tabs->count(); ++i)
            Order(ItemsOf(tabs->widget(i)), chain);
    } else if (auto* stack = qobject_cast<QStackedWidget*>(w)) {
        for (int i = 0; i < stack->count(); ++i)
            Order(ItemsOf(stack->widget(i)), chain);
    } else if (auto* scroll = qobject_cast<QScrollArea*>(w); scroll && scroll->widget()) {
        Order(ItemsOf(scroll), chain);
    } else if (IsTabStop(w)) {
        chain.append(w);
    } else {
        Order(ItemsOf(w), chain);
    }
}

// Splits the items into bands that no item crosses, along y (rows) or along x (columns).
QList<QList<Item>> Bands(QList<Item> items, bool rows)
{
    auto start = [rows](const Item& i) { return rows ? i.rect.top() : i.rect.left(); };
    auto end = [rows](const Item& i) { return rows ? i.rect.top() + i.rect.height() : i.rect.left() + i.rect.width(); };
    std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) { return start(a) < start(b); });
    QList<QList<Item>> bands;
    int reach = 0;
    constexpr int kSlack = 2; // neighbours drawn a pixel or two into each other
    for (const Item& item : items) {
        if (bands.isEmpty() || start(item) >= reach - kSlack) {
            bands.append({item});
            reach = end(item);
        } else {
            bands.last().append(item);
            reach = std::max(reach, end(item));
        }
    }
    return bands;
}

void Order(QList<Item> items, QList<QWidget*>& chain)
{
    if (items.size() > 1) {
        for (bool rows : {true, false}) {
            const QList<QList<Item>> bands = Bands(items, rows);
            if (bands.size() > 1) {
                for (const QList<Item>& band : bands)
                    Order(band, chain);
                return;
            }
        }
        // Overlapping controls: top first, then left.
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
            return a.rect.top() != b.rect.top() ? a.rect.top() < b.rect.top() : a.rect.left() < b.rect.left();
        });
    }
    for (const Item& item : items)
        Emit(item, chain);
}

// Shown windows and pages take the order of their controls as they stand then.
class Watcher : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w && (w->isWindow() || qobject_cast<QStackedWidget*>(w->parentWidget())))
                SetVisualTabOrder(w);
        }
        return false;
    }
};

} // namespace

QList<QWidget*> VisualChain(QWidget* root)
{
    QList<QWidget*> chain;
    if (root)
        Order(ItemsOf(root), chain);
    return chain;
}

void SetVisualTabOrder(QWidget* root)
{
    const QList<QWidget*> chain = VisualChain(root);
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain.at(i - 1), chain.at(i));
}

void FollowVisualOrder(QObject* owner)
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(new Watcher(owner));
}

} // namespace taborder
