#pragma once
// The port dialog: the serial port of the unit link, stored as CommPort on OK.
#include <QDialog>

class QComboBox;
class QPushButton;

class frmCommSetup : public QDialog {
    Q_OBJECT
public:
    explicit frmCommSetup(QWidget* parent = nullptr);
    bool Cancelled() const { return m_cancelled; }

private:
    QComboBox* m_combo = nullptr;
    QPushButton* m_ok = nullptr;
    // Only OK stores a port: Esc and the close box count as a cancel, so no caller goes on
    // without a port.
    bool m_cancelled = true;
};
