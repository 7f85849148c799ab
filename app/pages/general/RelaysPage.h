#pragma once
// The "Relays" page: the optional relay card list (lvwRelay, channels 1 to 14) and the terminal
// card list (lvwRelayNew, K7 and K9), what drives each relay, and the terminal 44 option
// (modRelays and modRelaysNew).
#include "app/pages/PageApis.h"

#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

class MainState;
class QCheckBox;
class QMimeData;
class QPushButton;
class XelObject;
class XelRelay;
class cRelay;
class RelaysPage;

// One of the two relay lists: the list view with its drag and drop and its keys.
class RelayList : public QTreeWidget {
    Q_OBJECT
public:
    RelayList(RelaysPage& page, bool terminalCard, QWidget* parent);
    bool TerminalCard() const { return m_terminalCard; }
    // The row a hovering drag points at; kept apart from the selected row, which a move redraws.
    QTreeWidgetItem* DropHighlight() const { return m_dropHighlight; }
    void SetDropHighlight(QTreeWidgetItem* row);

    // What the drag events do, given the drag's own source list: the payload a drag from the
    // selected row carries (null without one), the effect of a hover at a viewport point, and
    // a drop there.
    QMimeData* SelectedRowPayload() const;
    Qt::DropAction HoverAt(const QObject* source, const QMimeData* data, const QPoint& pos, Qt::KeyboardModifiers keys);
    void DropAt(const QObject* source, const QMimeData* data, const QPoint& pos, Qt::KeyboardModifiers keys);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    RelaysPage& m_page;
    bool m_terminalCard;
    QTreeWidgetItem* m_dropHighlight = nullptr;
};

// A picture beside a relay list: while a relay drag hovers over it, the list scrolls one line
// every 100 ms (index 0 up, 1 down), also when the mouse is held still.
class RelayScrollPicture : public QLabel {
    Q_OBJECT
public:
    RelayScrollPicture(RelaysPage& page, bool terminalCard, bool down, QWidget* parent);
    // A drag from `source` enters or moves over the picture / leaves it or is dropped.
    void HoverFrom(const QObject* source);
    void Leave();
    bool Scrolling() const { return m_repeat.isActive(); }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    RelaysPage& m_page;
    bool m_terminalCard;
    bool m_down;
    const QObject* m_source = nullptr;
    QTimer m_repeat;
};

class RelaysPage : public QWidget, public RelaysPageApi {
    Q_OBJECT
public:
    RelaysPage(MainState& state, QWidget* parent = nullptr);

    // ---- RelaysPageApi ----
    void SetRelaysDefaults() override;
    void SetRelaysNewDefaults() override;
    void LoadRelays() override;
    void LoadRelaysNew() override;
    void RefreshRelayLists() override;
    void GhostRelaysForAnalogInputs() override;
    bool HasPreheatRelay() override;
    void UpdateRelayButtons() override;
    void DisableRemoveButtons() override;
    void FocusRelayNewList() override;
    QString RelayRowText(int list, const QString& key) override;
    bool RelayRowMarked(int list, const QString& key) override;
    void RelaySelected(bool bNew, const frmRelaySelection& picker) override;

    // Rows.
    QTreeWidget* List(bool terminalCard) const;
    static QString FunctionTextRule(const XelRelay& entry);
    int IconRule(const XelRelay& entry, bool* redFunction) const;
    void ShowRelayFunction(bool terminalCard, QTreeWidgetItem* row, XelRelay& entry);
    void ShowSelectedRelay(bool terminalCard, XelRelay& entry);
    void StoreRelays(bool terminalCard, XelRelay& source, XelRelay& target, bool move);
    void GhostRelayEntry(bool ghosted);
    static bool Ghosted(const QTreeWidgetItem* row);

    // Editing.
    void AddRelayEntry(bool terminalCard, QTreeWidgetItem* row);
    void RemoveRelayEntry(bool terminalCard);
    // Remove is enabled exactly when the list's selected entry is in use.
    void UpdateRemoveButton(bool terminalCard);
    void ItemClicked(bool terminalCard, QTreeWidgetItem* row);
    void MouseDown(Qt::MouseButton button);
    void DoubleClicked(bool terminalCard, QTreeWidgetItem* row);
    void KeyDown(bool terminalCard, int key);

    // Drag and drop: the effect a hover shows (none, copy or move) and the drop itself.
    Qt::DropAction HoverEffect(const QObject* source, QTreeWidgetItem* row, Qt::KeyboardModifiers keys) const;
    // Carries out a drop of the payload key from the list `source` onto `row` of `target`.
    void DropOnRow(const QObject* source, RelayList* target, QTreeWidgetItem* row, const QString& sourceKey,
                   Qt::KeyboardModifiers keys);
    // Scroll pictures beside a list: one line up or down while a relay drag hovers over them;
    // false (nothing scrolled) for any other drag.
    bool ScrollHover(bool terminalCard, bool down, const QObject* source);
    bool IsRelayList(const QObject* source) const;

private:
    void BuildControls();
    cRelay* Collection(bool terminalCard) const;
    XelRelay* EntryOf(bool terminalCard, const QTreeWidgetItem* row) const;
    void ClearRelays(bool terminalCard);
    void LoadList(bool terminalCard);
    void DrawRelayItem(bool terminalCard, XelRelay& entry, QTreeWidgetItem* row);
    void RefreshList(bool terminalCard);
    void OnT44Clicked(bool checked);
    // The function column's colour when nothing marks it: grey on a greyed row.
    static QColor NormalColour(const QTreeWidgetItem* row);

    MainState& m_state;
    QLabel* lblRelay_0 = nullptr;
    QLabel* lblRelay_1 = nullptr;
    RelayList* lvwRelay = nullptr;
    RelayList* lvwRelayNew = nullptr;
    QPushButton* cmdRelayAdd = nullptr;
    QPushButton* cmdRelayRemove = nullptr;
    QPushButton* cmdRelayNewAdd = nullptr;
    QPushButton* cmdRelayNewRemove = nullptr;
    QCheckBox* chkRelaysT44 = nullptr;
};
