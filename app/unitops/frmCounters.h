#pragma once
// The engine-hour reading written into the unit's counter block.
#include <QDialog>

class FrameApi;
class Number;
class QPushButton;

class frmCounters : public QDialog {
    Q_OBJECT
public:
    explicit frmCounters(QWidget* parent = nullptr, FrameApi* frame = nullptr);

    Number* numHours() const { return m_numHours; }
    // True while the write runs: the buttons are disabled and the dialog does not close.
    bool Writing() const { return m_writing; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnOK();
    // True when the dialog may close.
    bool WriteCounters();

    Number* m_numHours;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
    bool m_writing = false;
};
