#pragma once
// The switch input list: a tree widget that passes its mouse, key and drag events to the
// Switch page, which does the work.
#include <QTreeWidget>

class MainState;
class SwitchPage;

class DigitalListView : public QTreeWidget {
    Q_OBJECT
public:
    DigitalListView(SwitchPage& page, MainState& state, QWidget* parent);

    // Key bits of a drag from the keyboard modifiers: 1 Shift, 2 Ctrl.
    static int DragKeyBits(Qt::KeyboardModifiers modifiers);
    // The row a hovering drag would drop on (none: null), marked apart from the selected row.
    QTreeWidgetItem* DropHighlight() const { return m_dropHighlight; }
    void SetDropHighlight(QTreeWidgetItem* row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    SwitchPage& m_page;
    MainState& m_state;
    QTreeWidgetItem* m_dropHighlight = nullptr;
};

// A strip above or below the list that scrolls it while something is dragged over it.
class DigitalListScrollStrip : public QWidget {
    Q_OBJECT
public:
    DigitalListScrollStrip(SwitchPage& page, int index, QWidget* parent);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;

private:
    SwitchPage& m_page;
    int m_index;
};
