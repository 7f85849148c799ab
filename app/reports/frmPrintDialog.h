#pragma once
// The print dialog: the printer, the number of copies and whether to preview. It works on the
// preview window it was opened for and keeps the chosen printer in the settings.
#include <QDialog>

class frmPrint;
class Number;
class QCheckBox;
class QLabel;
class QPushButton;

class frmPrintDialog : public QDialog {
    Q_OBJECT
public:
    frmPrintDialog(frmPrint& print, QWidget* parent = nullptr);

    void ShowPrinter();
    void SavePrinter();
    // OK was pressed with no printer to print on and no preview: nothing will be printed.
    bool OKWithoutPrinter = false;

    QLabel* lblPrinterCaption = nullptr;
    QLabel* lblPrinter = nullptr;
    QLabel* lblCopies = nullptr;
    Number* numCopies = nullptr;
    QCheckBox* chkPreview = nullptr;
    QPushButton* cmdSetup = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void SetupClicked();
    void OKClicked();
    void CancelClicked();

    frmPrint& m_print;
    QString m_copiesOf; // the printer whose saved copies the box started at
};
