#pragma once
// The jumper-setting reminder shown when an analog input changes between a voltage and a
// current input: a drawing of jumper J12 with the pins the new input type needs.
#include <QDialog>
#include <QVector>

class QFrame;
class QLabel;
class QPushButton;

class frmMessage : public QDialog {
    Q_OBJECT
public:
    explicit frmMessage(QWidget* parent = nullptr);

    // 1 a 0..10V input, 2 a 0..20mA or 4..20mA input; any other value shows no setting.
    void SetDIPSetting(qint16 setting);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CenterOK();

    QLabel* imgImfo = nullptr;
    QVector<QLabel*> lblLabel;
    QLabel* lblPin = nullptr;
    QVector<QFrame*> shpPin;
    QPushButton* cmdOK = nullptr;
};
