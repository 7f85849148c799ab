#pragma once
// Edits the MID by which the unit names itself on CAN and J1587.
#include <QDialog>

class Number;
class XelObject;
class QPushButton;

class frmCANSettings : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMin = 0;
    static constexpr int kMax = 255;

    explicit frmCANSettings(QWidget* parent = nullptr);
    void SetXelObject(XelObject* setup);
    ::XelObject* XelObject() const { return m_setup; }

private:
    void OnOK();

    ::XelObject* m_setup = nullptr;
    Number* numCANUARTNumber = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
