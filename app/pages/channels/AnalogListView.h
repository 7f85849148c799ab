#pragma once
// The list of analog inputs with its mouse, key and drag events handed to the page, and the two
// thin strips above and below it that scroll the list while something is dragged over them.
#include <QTreeWidget>
#include <QWidget>

#include <functional>

class QMimeData;

class AnalogListView : public QTreeWidget {
    Q_OBJECT
public:
    explicit AnalogListView(QWidget* parent = nullptr);

    // Set by the page. Shift bits: 1 Shift, 2 Ctrl, 4 Alt.
    std::function<void(QTreeWidgetItem*)> ItemClick;      // clicked or reached by the keys
    std::function<void(int button)> MouseDown;
    std::function<void()> DblClick;
    std::function<void(int keyCode)> KeyDown;
    std::function<QMimeData*()> StartDrag;               // nullptr: nothing to drag
    std::function<int(const QMimeData*, QTreeWidgetItem*, int shift)> DragOver; // 0 none, 1 copy, 2 move
    std::function<void(const QMimeData*, QTreeWidgetItem*, int shift)> DragDrop;

    static int ShiftBits(Qt::KeyboardModifiers modifiers);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// A drop-free strip: while a drag rests on it the list scrolls one line up (strip 0) or down
// (strip 1) about ten times a second.
class AnalogScrollStrip : public QWidget {
    Q_OBJECT
public:
    AnalogScrollStrip(int index, QTreeWidget* list, QWidget* parent);
    // One scroll step and its pause; what a drag over the strip repeats.
    void ScrollOnce();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;

private:
    int m_index;
    QTreeWidget* m_list;
};
