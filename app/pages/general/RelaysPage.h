#pragma once
// The "Relays" page: the optional relay card list (lvwRelay, channels 1 to 14) and the terminal
// card list (lvwRelayNew, K7 and K9), what drives each relay, and the terminal 44 option
// (modRelays and modRelaysNew).
#include "app/pages/PageApis.h"

#include <QTreeWidget>
#include <QWidget>

class MainState;
class QCheckBox;
class QLabel;
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

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    RelaysPage& m_page;
    bool m_terminalCard;
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

    // Defaults of a new setup, without a page.
    static void SetRelaysDefaults(XelObject& setup);
    static void SetRelaysNewDefaults(XelObject& setup);

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
    void ItemClicked(bool terminalCard, QTreeWidgetItem* row);
    void MouseDown(Qt::MouseButton button);
    void DoubleClicked(bool terminalCard, QTreeWidgetItem* row);
    void KeyDown(bool terminalCard, int key);

    // Drag and drop: the effect a hover shows (none, copy or move) and the drop itself.
    Qt::DropAction HoverEffect(const QObject* source, QTreeWidgetItem* row, Qt::KeyboardModifiers keys) const;
    // Carries out a drop of the payload key from the list `source` onto `row` of `target`.
    void DropOnRow(const QObject* source, RelayList* target, QTreeWidgetItem* row, const QString& sourceKey,
                   Qt::KeyboardModifiers keys);
    // Scroll pictures beside a list while a relay drag hovers over them.
    void ScrollHover(bool terminalCard, bool down, const QObject* source);

private:
    void BuildControls();
    cRelay* Collection(bool terminalCard) const;
    XelRelay* EntryOf(bool terminalCard, const QTreeWidgetItem* row) const;
    void ClearRelays(bool terminalCard);
    void LoadList(bool terminalCard);
    void DrawRelayItem(bool terminalCard, XelRelay& entry, QTreeWidgetItem* row);
    void RefreshList(bool terminalCard);
    void OnT44Clicked(bool checked);
    bool IsRelayList(const QObject* source) const;

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
