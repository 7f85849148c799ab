#pragma once
// The printer set-up dialog: the printers and instances the print server lists, the PDF file
// output, and the paper sizes of the printer chosen. The report prints every page, as many
// times as the print dialog's copies box says: no page range and no copies here.
#include "platform/CupsApi.h"

#include <QDialog>
#include <QPageSize>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

class frmPrinterSetup : public QDialog {
    Q_OBJECT
public:
    // printers: the names to offer; printer and paper: the choice to open on (an invalid paper
    // takes the printer's own default).
    frmPrinterSetup(const QStringList& printers, const QString& printer, const QPageSize& paper, QWidget* parent = nullptr);

    // After OK: the printer, its paper and the edges it cannot print on (points).
    QString Printer() const;
    QPageSize Paper() const;
    QMarginsF Unprintable() const { return m_queue.EdgesOf(Paper()); }

    QLabel* lblPrinter = nullptr;
    QComboBox* cmbPrinter = nullptr;
    QLabel* lblPaper = nullptr;
    QComboBox* cmbPaper = nullptr;
    QLabel* lblState = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    // Asks the print seam for the printer's paper and state, and offers its sizes.
    void PrinterChosen();

    platform::CupsAnswer m_queue;
};
