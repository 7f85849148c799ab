#pragma once
// The service settings: four spare byte values and four spare word values of the setup.
#include <QDialog>

class Number;
class XelObject;
class QPushButton;

class frmSecretSettings : public QDialog {
    Q_OBJECT
public:
    explicit frmSecretSettings(QWidget* parent = nullptr);
    // Keeps the setup and shows its values at once.
    void SetXelObject(XelObject* setup);
    ::XelObject* XelObject() const { return m_setup; }
    void LoadServiceValues();
    void StoreServiceValues();

private:
    void OnClear();
    void OnOK();

    ::XelObject* m_setup = nullptr;
    Number* numByte[4] = {};
    Number* numWord[4] = {};
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
