#include "app/pages/common/RowFit.h"
#include "app/pages/common/PageCommon.h"

#include "extra/extra.h"
#include "controls/Container.h"
#include "controls/EntryBox.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMap>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace pagecommon {

namespace {

// Free space a grown frame keeps at its right edge.
constexpr int kFrameMargin = 6;

// Properties kept on the controls between two fits.
const char* const kListOnly = "rowFitListOnly";
const char* const kBase = "rowFitBase"; // the place the page gave the control
const char* const kLeft = "rowFitLeft"; // the place the last fit left it at
const char* const kBaseMinimum = "rowFitBaseMinimum";
const char* const kBaseTitleRoom = "rowFitBaseTitleRoom";

int WidestEntry(const QComboBox* combo, const QFontMetrics& fm, bool* icons = nullptr)
{
    int text = 0;
    for (int i = 0; i < combo->count(); ++i) {
        text = std::max(text, fm.horizontalAdvance(combo->itemText(i)));
        if (icons)
            *icons = *icons || !combo->itemIcon(i).isNull();
    }
    return text;
}

// A control whose width follows what it shows; 0 for anything else.
int NeededWidth(QWidget* w)
{
    if (auto* box = qobject_cast<EntryBox*>(w))
        return box->minimumSizeHint().width();
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->count() == 0 || combo->property(kListOnly).toBool())
            return 0;
        // The combo's own size hint would also resize it by itself; the width is worked
        // out here so that the fit moves its neighbours along.
        const QFontMetrics fm(combo->font());
        bool icons = false;
        int text = WidestEntry(combo, fm, &icons);
        if (icons)
            text += combo->iconSize().width() + 4;
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        option.frame = combo->hasFrame();
        // Two pixels a side where the style draws the text inside its field.
        return combo->style()->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text + 4, fm.height()), combo).width();
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        // Pictures and wrapped texts keep the box they were given.
        if (label->text().isEmpty() || label->wordWrap())
            return 0;
        return label->sizeHint().width();
    }
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))
        return qobject_cast<QAbstractButton*>(w)->text().isEmpty() ? 0 : w->sizeHint().width();
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

// The room a frame's title takes: its width from the left edge and its height.
QSize TitleRoom(const QWidget* w)
{
    const auto* frame = qobject_cast<const Container*>(w);
    if (!frame || frame->Caption().isEmpty())
        return {};
    const QRect text = frame->fontMetrics().boundingRect(QRect(), Qt::TextShowMnemonic, frame->Caption());
    // The title is drawn 6 pixels in, on a patch 2 pixels wider than its text.
    return {6 + text.width() + 2 + kFrameMargin, frame->fontMetrics().height()};
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

bool SameColumn(const QRect& a, const QRect& b)
{
    return a.left() < b.x() + b.width() && b.left() < a.x() + a.width();
}

// Set when a fit grew anything, and the frames in which something moved down.
bool g_grew = false;
QSet<QWidget*> g_movedDown;

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

// Moves what stood below `before` in its column down by `shift`.
void PushColumn(QWidget* w, const QRect& before, int shift)
{
    QWidget* parent = w->parentWidget();
    if (!parent || shift <= 0)
        return;
    const int oldBottom = before.y() + before.height();
    for (QWidget* s : ChildWidgets(parent)) {
        if (s != w && s->y() >= oldBottom - 2 && SameColumn(before, s->geometry()))
            s->move(s->x(), s->y() + shift);
    }
    g_movedDown << parent;
}

void Grow(QWidget* w, int width, QWidget* root)
{
    g_grew = true;
    const QRect before = w->geometry();
    w->resize(width, w->height());
    if (w != root)
        PushRow(w, before, width - before.width());
}

void GrowDown(QWidget* w, int height)
{
    g_grew = true;
    const QRect before = w->geometry();
    w->resize(w->width(), height);
    PushColumn(w, before, height - before.height());
}

bool PlacedByHand(const QWidget* w, const QWidget* root)
{
    return w != root && w->parentWidget() && !w->parentWidget()->layout();
}

// Controls that started at one left edge keep sharing it: a row moved along by a wide label
// takes the other rows of its column with it.
void AlignColumns(QWidget* frame)
{
    QMap<int, QList<QWidget*>> columns;
    for (QWidget* child : ChildWidgets(frame)) {
        const QVariant base = child->property(kBase);
        if (base.isValid())
            columns[base.toRect().x()] << child;
    }
    for (auto it = columns.cbegin(); it != columns.cend(); ++it) {
        int left = 0;
        for (QWidget* w : it.value())
            left = std::max(left, w->x());
        for (QWidget* w : it.value()) {
            if (w->x() >= left)
                continue;
            const QRect before = w->geometry();
            w->move(left, w->y());
            PushRow(w, before, left - before.x());
        }
    }
}

// Moves down what a control above now runs into: a larger font makes rows taller.
void SeparateRows(QWidget* frame)
{
    QList<QWidget*> shown;
    for (QWidget* child : ChildWidgets(frame)) {
        if (!child->isHidden())
            shown << child;
    }
    std::sort(shown.begin(), shown.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
    for (qsizetype i = 0; i < shown.size(); ++i) {
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
            QWidget* a = shown[i];
            QWidget* b = shown[j];
            // Groups that take turns at one place stay together.
            if (a->pos() == b->pos() || b->y() <= a->y() || !SameColumn(a->geometry(), b->geometry()))
                continue;
            const int overlap = a->y() + a->height() - b->y();
            if (overlap <= 0)
                continue;
            const QRect column = b->geometry();
            for (QWidget* s : ChildWidgets(frame)) {
                if (s != a && s->y() >= column.y() && SameColumn(column, s->geometry()))
                    s->move(s->x(), s->y() + overlap);
            }
            g_grew = true;
            g_movedDown << frame;
        }
    }
}

// A frame laid out by a layout keeps its title's room above the contents.
void KeepTitleRoom(QWidget* frame)
{
    const int title = frame->fontMetrics().height();
    QLayout* layout = frame->layout();
    QMargins m = layout->contentsMargins();
    if (!frame->property(kBaseTitleRoom).isValid())
        frame->setProperty(kBaseTitleRoom, m.top());
    m.setTop(std::max(frame->property(kBaseTitleRoom).toInt(), title));
    if (m != layout->contentsMargins())
        layout->setContentsMargins(m);
}

// Frames first from the innermost, so a grown inner frame is seen by the one around it.
void FitFrames(QWidget* w, QWidget* root)
{
    for (QWidget* child : ChildWidgets(w)) {
        if (IsFrame(child))
            FitFrames(child, root);
    }
    if (w->layout()) {
        if (!TitleRoom(w).isEmpty())
            KeepTitleRoom(w);
        return;
    }
    AlignColumns(w);
    SeparateRows(w);
    // A frame in a layout is sized by that layout.
    if (!IsFrame(w) || !PlacedByHand(w, root))
        return;
    const QList<QWidget*> children = ChildWidgets(w);
    const QSize title = TitleRoom(w);
    if (!children.isEmpty() && title.height() > 0) {
        int top = w->height();
        for (QWidget* child : children)
            top = std::min(top, child->y());
        // A title taller than the room above the contents would cover their first row.
        if (const int shift = title.height() - top; shift > 0) {
            for (QWidget* child : children)
                child->move(child->x(), child->y() + shift);
            GrowDown(w, w->height() + shift);
        }
    }
    int right = title.width();
    int bottom = 0;
    for (QWidget* child : children) {
        right = std::max(right, child->x() + child->width());
        bottom = std::max(bottom, child->y() + child->height());
    }
    // Only contents that run into the frame's edge make it grow.
    if (right > w->width() - 2)
        Grow(w, right + kFrameMargin, root);
    if (g_movedDown.contains(w) && bottom > w->height() - 2)
        GrowDown(w, bottom + kFrameMargin);
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
            if (auto* combo = qobject_cast<QComboBox*>(child); combo && !combo->property(kListOnly).toBool())
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

// Calls `visit` for every control the fit may move: those placed by hand under `root`.
template <typename Visit>
void EachPlaced(QWidget* w, QWidget* root, Visit visit)
{
    for (QWidget* child : ChildWidgets(w)) {
        if (PlacedByHand(child, root))
            visit(child);
        if (IsFrame(child))
            EachPlaced(child, root, visit);
    }
}

// Puts every control back at the place the page gave it. Whatever the page itself changed
// since the last fit (a row moved, a label resized for a new text) is the new place.
void BackToBase(QWidget* w)
{
    const QRect now = w->geometry();
    const QVariant leftAt = w->property(kLeft);
    QRect base = now;
    if (leftAt.isValid()) {
        const QRect left = leftAt.toRect();
        const QRect was = w->property(kBase).toRect();
        base = QRect(now.x() == left.x() ? was.x() : now.x(), now.y() == left.y() ? was.y() : now.y(),
                     now.width() == left.width() ? was.width() : now.width(),
                     now.height() == left.height() ? was.height() : now.height());
    }
    w->setProperty(kBase, base);
    if (base != now)
        w->setGeometry(base);
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

void WidenList(QComboBox* combo)
{
    QAbstractItemView* view = combo->view();
    const int text = WidestEntry(combo, view->fontMetrics());
    // Room for the item's margins, the frame and a scroll bar the list may show.
    const int extra = 2 * view->frameWidth() + view->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                      2 * view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 12;
    view->setMinimumWidth(combo->count() > 0 ? text + extra : 0);
}

} // namespace

void FitListOnly(QComboBox* combo)
{
    if (!combo || combo->property(kListOnly).toBool())
        return;
    combo->setProperty(kListOnly, true);
    // In a layout the box asks for the width of a short entry, whatever its list holds.
    if (combo->sizeAdjustPolicy() == QComboBox::AdjustToContents)
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (combo->minimumContentsLength() == 0)
        combo->setMinimumContentsLength(12);
    const auto refresh = [combo] {
        WidenList(combo);
        combo->setToolTip(extra::PlainTip(combo->currentText()));
    };
    QAbstractItemModel* model = combo->model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, combo, refresh);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, combo, refresh);
    QObject::connect(model, &QAbstractItemModel::modelReset, combo, refresh);
    QObject::connect(model, &QAbstractItemModel::dataChanged, combo, refresh);
    QObject::connect(combo, &QComboBox::currentIndexChanged, combo, refresh);
    QObject::connect(combo, &QComboBox::currentTextChanged, combo, refresh);
    refresh();
}

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
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, fitter, later);
        QObject::connect(model, &QAbstractItemModel::modelReset, fitter, later);
        QObject::connect(model, &QAbstractItemModel::dataChanged, fitter, later);
    }
}

void FitRows(QWidget* root)
{
    if (!root)
        return;
    g_grew = false;
    g_movedDown.clear();
    EachPlaced(root, root, [](QWidget* w) { BackToBase(w); });
    if (!root->layout()) {
        if (!root->property(kBaseMinimum).isValid())
            root->setProperty(kBaseMinimum, root->minimumSize());
    }
    FitControls(root, root);
    FitFrames(root, root);
    EachPlaced(root, root, [](QWidget* w) { w->setProperty(kLeft, w->geometry()); });
    // A page placed by hand asks its tab for the room its grown contents take, and no more
    // than it asked for at first once they have shrunk back.
    if (!root->layout()) {
        QSize wanted = root->property(kBaseMinimum).toSize();
        if (g_grew) {
            QRect used;
            for (QWidget* child : ChildWidgets(root))
                used |= child->geometry();
            wanted = wanted.expandedTo(QSize(used.right() + 1 + kFrameMargin, used.bottom() + 1 + kFrameMargin));
        }
        if (root->minimumSize() != wanted)
            root->setMinimumSize(wanted);
    }
    g_movedDown.clear();
}

} // namespace pagecommon
