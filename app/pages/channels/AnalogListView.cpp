#include "app/pages/channels/AnalogListView.h"

#include "app/pages/common/PageCommon.h"
#include "platform/TimeSource.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

AnalogListView::AnalogListView(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
}

int AnalogListView::ShiftBits(Qt::KeyboardModifiers modifiers)
{
    int bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= 1;
    if (modifiers & Qt::ControlModifier)
        bits |= 2;
    if (modifiers & Qt::AltModifier)
        bits |= 4;
    return bits;
}

void AnalogListView::mousePressEvent(QMouseEvent* event)
{
    if (MouseDown) {
        const Qt::MouseButton b = event->button();
        MouseDown(b == Qt::LeftButton ? 1 : b == Qt::RightButton ? 2 : b == Qt::MiddleButton ? 4 : 0);
    }
    QTreeWidget::mousePressEvent(event);
    QTreeWidgetItem* row = itemAt(event->position().toPoint());
    if (row && event->button() == Qt::LeftButton && ItemClick)
        ItemClick(row);
}

void AnalogListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeWidget::mouseDoubleClickEvent(event);
    if (DblClick)
        DblClick();
}

void AnalogListView::keyPressEvent(QKeyEvent* event)
{
    QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    if (currentItem() && currentItem() != before && ItemClick)
        ItemClick(currentItem());
    if (KeyDown)
        KeyDown(event->key() == Qt::Key_Space    ? 32
                : event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ? 13
                : event->key() == Qt::Key_Delete ? 46
                                                 : 0);
}

void AnalogListView::startDrag(Qt::DropActions)
{
    // The list moves or copies the settings itself; the drag never removes a row.
    pagecommon::ExecPayloadDrag(this, StartDrag ? StartDrag() : nullptr);
}

void AnalogListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->source() == this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void AnalogListView::dragMoveEvent(QDragMoveEvent* event)
{
    // Only rows of this list can be dropped here.
    if (event->source() != this || !DragOver) {
        event->ignore();
        return;
    }
    const QPoint pos = event->position().toPoint();
    const int effect = DragOver(event->mimeData(), itemAt(pos), ShiftBits(event->modifiers()));
    if (effect == 0) {
        setCurrentIndex(currentIndex());
        event->ignore();
        return;
    }
    event->setDropAction(effect == 1 ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

void AnalogListView::dropEvent(QDropEvent* event)
{
    if (event->source() != this || !DragDrop) {
        event->ignore();
        return;
    }
    DragDrop(event->mimeData(), itemAt(event->position().toPoint()), ShiftBits(event->modifiers()));
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}

AnalogScrollStrip::AnalogScrollStrip(int index, QTreeWidget* list, QWidget* parent)
    : QWidget(parent), m_index(index), m_list(list)
{
    setAcceptDrops(true);
}

void AnalogScrollStrip::ScrollOnce()
{
    if (!m_list || (m_index != 0 && m_index != 1))
        return;
    QScrollBar* bar = m_list->verticalScrollBar();
    bar->triggerAction(m_index == 0 ? QAbstractSlider::SliderSingleStepSub
                                    : QAbstractSlider::SliderSingleStepAdd);
    platform::TimeSource::Instance().Wait(100);
}

void AnalogScrollStrip::dragEnterEvent(QDragEnterEvent* event)
{
    event->accept(); // keeps the move events coming; nothing can be dropped here
    event->setDropAction(Qt::IgnoreAction);
}

void AnalogScrollStrip::dragMoveEvent(QDragMoveEvent* event)
{
    ScrollOnce();
    event->setDropAction(Qt::IgnoreAction);
    event->ignore();
}
