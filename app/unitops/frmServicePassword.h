#pragma once
// The service password, asked before a command that changes the unit's log or counters.
#include <QDialog>

class FrameApi;
class QLineEdit;
class QPushButton;

class frmServicePassword : public QDialog {
    Q_OBJECT
public:
    // frame gives the main window's icon; may be null.
    explicit frmServicePassword(QWidget* parent = nullptr, FrameApi* frame = nullptr);

    // True once the entered password was accepted; false after Cancel or any other close.
    bool OK() const { return m_ok; }
    // The name of the guarded operation, shown as the caption.
    void SetDialogCaption(const QString& caption) { setWindowTitle(caption); }
    void ShowDialog() { exec(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnOK();

    QLineEdit* m_txtServicePassword;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
    bool m_ok = false;
};
