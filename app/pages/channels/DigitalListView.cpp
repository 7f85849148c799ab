#include "app/pages/channels/DigitalListView.h"

#include "app/pages/MainState.h"
#include "app/pages/channels/SwitchPage.h"
#include "app/pages/common/PageCommon.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

DigitalListView::DigitalListView(SwitchPage& page, MainState& state, QWidget* parent)
    : QTreeWidget(parent), m_page(page), m_state(state)
{
    setObjectName(QStringLiteral("lvwDigital"));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("No."), QStringLiteral("Terminal"), QStringLiteral("Description")});
    // Room for the state picture and a two-digit input number.
    setColumnWidth(0, 64);
    setColumnWidth(1, 60);
}

int DigitalListView::DragKeyBits(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0);
}

void DigitalListView::SetDropHighlight(QTreeWidgetItem* row) { pagecommon::SetDropHighlight(this, m_dropHighlight, row); }

void DigitalListView::mousePressEvent(QMouseEvent* event)
{
    m_page.SetDigitalActionFocus(false);
    switch (event->button()) {
    case Qt::LeftButton: m_state.LastMouseButton = 1; break;
    case Qt::RightButton: m_state.LastMouseButton = 2; break;
    case Qt::MiddleButton: m_state.LastMouseButton = 4; break;
    default: m_state.LastMouseButton = 0; break;
    }
    QTreeWidgetItem* before = currentItem();
    QTreeWidget::mousePressEvent(event);
    // The press already makes the row current; a drag that follows never ends in a click, and
    // the page would go on showing one input while its handlers store into another.
    if (currentItem() && currentItem() != before)
        m_page.ShowDigitalChannel(currentItem());
}

void DigitalListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_page.SetDigitalActionFocus(false);
    QTreeWidget::mouseDoubleClickEvent(event);
    m_page.lvwDigital_DblClick(itemAt(event->position().toPoint()));
}

void DigitalListView::keyPressEvent(QKeyEvent* event)
{
    m_page.SetDigitalActionFocus(false);
    switch (event->key()) {
    case Qt::Key_Space: m_page.lvwDigital_KeyDown(32); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: m_page.lvwDigital_KeyDown(13); return;
    case Qt::Key_Delete: m_page.lvwDigital_KeyDown(46); return;
    default: break;
    }
    // Moving through the list by keys selects the input as a click does.
    QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    if (currentItem() && currentItem() != before)
        m_page.ShowDigitalChannel(currentItem());
}

void DigitalListView::focusInEvent(QFocusEvent* event)
{
    m_page.SetDigitalActionFocus(false);
    QTreeWidget::focusInEvent(event);
}

void DigitalListView::startDrag(Qt::DropActions /*supportedActions*/)
{
    pagecommon::ExecPayloadDrag(this, m_page.DigitalDragPayload());
    SetDropHighlight(nullptr); // a drag given up over the list leaves no mark behind
}

void DigitalListView::dragEnterEvent(QDragEnterEvent* event)
{
    QString key;
    if (event->source() == this && pagecommon::ReadDragPayload(event->mimeData(), key))
        event->acceptProposedAction();
    else
        event->ignore();
}

void DigitalListView::dragMoveEvent(QDragMoveEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int effect = m_page.DigitalDragOver(event->mimeData(), itemAt(pos), DragKeyBits(event->modifiers()),
                                              event->source());
    if (effect == 0) {
        event->ignore();
        return;
    }
    event->setDropAction(effect == 1 ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

void DigitalListView::dragLeaveEvent(QDragLeaveEvent* event)
{
    SetDropHighlight(nullptr);
    event->accept();
}

void DigitalListView::dropEvent(QDropEvent* event)
{
    const QPoint pos = event->position().toPoint();
    m_page.DigitalDragDrop(event->mimeData(), itemAt(pos), DragKeyBits(event->modifiers()), event->source());
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}

DigitalListScrollStrip::DigitalListScrollStrip(SwitchPage& page, int index, QWidget* parent)
    : QWidget(parent), m_page(page), m_index(index)
{
    setObjectName(QStringLiteral("picDigitalListScroll_%1").arg(index));
    setAcceptDrops(true);
}

void DigitalListScrollStrip::dragEnterEvent(QDragEnterEvent* event)
{
    QString key;
    if (pagecommon::ReadDragPayload(event->mimeData(), key))
        event->accept();
}

void DigitalListScrollStrip::dragMoveEvent(QDragMoveEvent* event)
{
    m_page.ScrollStripDragOver(m_index);
    // Nothing can be dropped here.
    event->ignore();
}
