#include "app/pages/common/RowFit.h"

#include "controls/Container.h"
#include "controls/EntryBox.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace pagecommon {

namespace {

// Free space a grown frame keeps at its right edge.
constexpr int kFrameMargin = 6;

// A control whose width follows what it shows; 0 for anything else.
int NeededWidth(QWidget* w)
{
    if (auto* box = qobject_cast<EntryBox*>(w))
        return box->minimumSizeHint().width();
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->count() == 0)
            return 0;
        // The combo's own size hint would also resize it by itself; the width is worked
        // out here so that the fit moves its neighbours along.
        const QFontMetrics fm(combo->font());
        int text = 0;
        bool icons = false;
        for (int i = 0; i < combo->count(); ++i) {
            text = std::max(text, fm.horizontalAdvance(combo->itemText(i)));
            icons = icons || !combo->itemIcon(i).isNull();
        }
        if (icons)
            text += combo->iconSize().width() + 4;
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        option.frame = combo->hasFrame();
        // Two pixels a side where the style draws the text inside its field.
        return combo->style()->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text + 4, fm.height()), combo).width();
    }
    return 0;
}

// A widget that places its children itself and may grow for them.
bool IsFrame(const QWidget* w)
{
    if (qobject_cast<const Container*>(w) || qobject_cast<const QGroupBox*>(w))
        return true;
    // Plain holders only: controls with children of their own (lists, combos, boxes) lay
    // those out themselves.
    return w->metaObject() == &QWidget::staticMetaObject;
}

QList<QWidget*> ChildWidgets(const QWidget* parent)
{
    QList<QWidget*> children;
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && !w->isWindow())
            children << w;
    }
    return children;
}

bool SameRow(const QRect& a, const QRect& b)
{
    return a.top() < b.y() + b.height() && b.top() < a.y() + a.height();
}

// Moves what stood right of `before` (the widget's old place) on its row by `shift`.
void PushRow(QWidget* w, const QRect& before, int shift)
{
    QWidget* parent = w->parentWidget();
    if (!parent || shift <= 0)
        return;
    const int oldRight = before.x() + before.width();
    for (QWidget* s : ChildWidgets(parent)) {
        // A neighbour may touch or overlap the old edge by a pixel or two.
        if (s != w && s->x() >= oldRight - 2 && SameRow(before, s->geometry()))
            s->move(s->x() + shift, s->y());
    }
}

// Set when a fit grew anything.
bool g_grew = false;

void Grow(QWidget* w, int width, QWidget* root)
{
    g_grew = true;
    const QRect before = w->geometry();
    w->resize(width, w->height());
    if (w != root)
        PushRow(w, before, width - before.width());
}

// Frames first from the innermost, so a grown inner frame is seen by the one around it.
void FitFrames(QWidget* w, QWidget* root)
{
    for (QWidget* child : ChildWidgets(w)) {
        if (IsFrame(child))
            FitFrames(child, root);
    }
    // A frame in a layout, or with one of its own, is sized by that layout.
    if (w == root || !IsFrame(w) || w->layout() || (w->parentWidget() && w->parentWidget()->layout()))
        return;
    int right = 0;
    for (QWidget* child : ChildWidgets(w))
        right = std::max(right, child->x() + child->width());
    // Only contents that run into the frame's edge make it grow.
    if (right > w->width() - 2)
        Grow(w, right + kFrameMargin, root);
}

void FitControls(QWidget* w, QWidget* root)
{
    // A Qt layout places its widgets from their size hints itself.
    const bool laidOut = w->layout() != nullptr;
    for (QWidget* child : ChildWidgets(w)) {
        const int needed = NeededWidth(child);
        if (laidOut) {
            // The layout reads the combo's hint, which then follows its entries, and keeps
            // a box at least as wide as its values need even where a width was fixed.
            if (auto* combo = qobject_cast<QComboBox*>(child))
                combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            if (qobject_cast<EntryBox*>(child)) {
                if (child->minimumWidth() > 0)
                    child->setMinimumWidth(std::max(child->minimumWidth(), needed));
                child->setMaximumWidth(std::max(child->maximumWidth(), needed));
            }
        } else if (needed > child->width()) {
            Grow(child, needed, root);
        }
        if (IsFrame(child))
            FitControls(child, root);
    }
}

// Runs the fit for its page on the events that can change what the page must show.
class RowFitter : public QObject {
public:
    explicit RowFitter(QWidget* page) : QObject(page), m_page(page) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if ((event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest) && !m_fitting) {
            m_fitting = true;
            FitRows(m_page);
            m_fitting = false;
        }
        return QObject::eventFilter(watched, event);
    }

    void FitSoon()
    {
        if (m_pending)
            return;
        m_pending = true;
        QTimer::singleShot(0, this, [this] {
            m_pending = false;
            FitRows(m_page);
        });
    }

private:
    QWidget* m_page;
    bool m_fitting = false;
    bool m_pending = false;
};

void WatchFrames(QWidget* w, RowFitter* fitter)
{
    w->installEventFilter(fitter);
    for (QWidget* child : ChildWidgets(w)) {
        if (IsFrame(child))
            WatchFrames(child, fitter);
    }
}

} // namespace

void KeepRowsFitted(QWidget* page)
{
    if (!page)
        return;
    FitRows(page);
    auto* fitter = new RowFitter(page);
    WatchFrames(page, fitter);
    // New entries in a combo: one fit once the filling is over.
    for (QComboBox* combo : page->findChildren<QComboBox*>()) {
        QAbstractItemModel* model = combo->model();
        const auto later = [fitter] { fitter->FitSoon(); };
        QObject::connect(model, &QAbstractItemModel::rowsInserted, fitter, later);
        QObject::connect(model, &QAbstractItemModel::modelReset, fitter, later);
        QObject::connect(model, &QAbstractItemModel::dataChanged, fitter, later);
    }
}

void FitRows(QWidget* root)
{
    if (!root)
        return;
    g_grew = false;
    FitControls(root, root);
    FitFrames(root, root);
    // A page placed by hand asks its tab for the room its grown contents take.
    if (g_grew && !root->layout()) {
        QRect used;
        for (QWidget* child : ChildWidgets(root))
            used |= child->geometry();
        root->setMinimumSize(root->minimumSize().expandedTo(QSize(used.right() + 1 + kFrameMargin, used.bottom() + 1 + kFrameMargin)));
    }
}

} // namespace pagecommon
