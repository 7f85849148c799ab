#pragma once
// Edits the J1939 diagnostic settings: the SPN the unit ignores and the Protect Lamp rule.
#include <QDialog>

class Number;
class XelObject;
class QCheckBox;
class QPushButton;

class frmCANDiagnosis : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMin = 0;
    static constexpr int kMax = 65535;

    explicit frmCANDiagnosis(QWidget* parent = nullptr);
    void SetXelObject(XelObject* setup);
    ::XelObject* XelObject() const { return m_setup; }

private:
    void OnOK();

    ::XelObject* m_setup = nullptr;
    Number* numCANSPN = nullptr;
    QCheckBox* chkCANProtectLamp = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
