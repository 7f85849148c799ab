#pragma once
// Edits the unit's ID number on its serial link.
#include <QDialog>

class Number;
class XelObject;
class QLabel;
class QPushButton;

class frmIDNumber : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMin = 1;
    static constexpr int kMax = 239;

    explicit frmIDNumber(QWidget* parent = nullptr);
    // The setup to edit; its value is shown at once.
    void SetXelObject(XelObject* setup);
    ::XelObject* XelObject() const { return m_setup; }

private:
    void OnOK();

    ::XelObject* m_setup = nullptr;
    Number* numIDNumber = nullptr;
    QLabel* lblIDNumberSettings = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
