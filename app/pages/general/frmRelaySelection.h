#pragma once
// The relay function picker: lists what can drive a relay output in the open setup, preselects
// the relay's current function and reports the accepted entry. The caller sets the inputs,
// calls InitEntries, shows the window modally and reads InUse, FunctionNo and FunctionText;
// on accept the picker calls RelaySelected of the Relays page itself before it closes.
#include <QDialog>
#include <QIcon>
#include <QString>
#include <QVector>
#include <QtGlobal>

class MainState;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class XelObject;

class frmRelaySelection : public QDialog {
    Q_OBJECT
public:
    explicit frmRelaySelection(MainState& state, QWidget* parent = nullptr);

    // The document whose inputs and speed relays are offered; the open setup by default.
    void SetXelObject(::XelObject* setup) { m_setup = setup; }
    ::XelObject* XelObject() const { return m_setup; }
    // 0: the optional relay card (lvwRelay); any other value: the terminal card.
    qint16 RelayType() const { return m_relayType; }
    void SetRelayType(qint16 type) { m_relayType = type; }
    qint32 ItemCount() const;
    qint32 ItemHeight() const;
    // Results.
    bool InUse() const { return m_inUse; }
    quint8 FunctionNo() const { return m_functionNo; }
    QString FunctionText() const { return m_functionText; }
    // True once the window closed without an accepted entry.
    bool Cancelled() const { return m_cancelled; }

    // Builds the list and preselects the entry of the code (0: none).
    void InitEntries(qint16 functionNo);

    // Accepts a row of the list (nullptr: nothing) and closes the window.
    void AcceptEntry(QTreeWidgetItem* row);

signals:
    // After the results are set, before the window closes; bNew: the terminal card.
    void RelaySelected(bool bNew);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void AddEntry(const QString& key, const QString& text, int picture);
    void OnOK();

    MainState& m_state;
    ::XelObject* m_setup = nullptr;
    qint16 m_relayType = 0;
    bool m_inUse = false;
    quint8 m_functionNo = 0;
    QString m_functionText;
    bool m_cancelled = false;
    int m_lastButton = 0;
    QVector<QIcon> m_imlRelay;

    QTreeWidget* lvwRelaySelection = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
