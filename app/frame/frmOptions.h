#pragma once
// The Options dialog: program mode, default folders for opening and saving setup files, and
// the serial port. It stores its settings itself on OK.
#include <QDialog>
#include <QVector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(QWidget* parent = nullptr);

    void LoadOptions();
    void LoadFolderSettings();
    void SaveOptions();
    void SaveFolderSettings();
    void UpdateFolderWarnings();
    bool PortListFilled() const { return m_portListFilled; }

private:
    void TabClick(int previousTab);
    void Browse(QLineEdit* text);
    void UpdateFolderFrames();

    QTabWidget* m_tabs = nullptr;
    QVector<QWidget*> m_conOptions;
    QComboBox* m_mode = nullptr;
    QCheckBox* m_chkOpen = nullptr;
    QCheckBox* m_chkSave = nullptr;
    QWidget* m_conOpen = nullptr;
    QWidget* m_conSave = nullptr;
    QLineEdit* m_txtOpen = nullptr;
    QLineEdit* m_txtSave = nullptr;
    QWidget* m_warnOpen = nullptr;
    QWidget* m_warnSave = nullptr;
    QComboBox* m_port = nullptr;
    QWidget* m_commMessage = nullptr;
    int m_previousTab = 0;
    bool m_portListFilled = false;
};
