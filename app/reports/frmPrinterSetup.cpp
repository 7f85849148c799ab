#include "app/reports/frmPrinterSetup.h"

#include "platform/DialogFrame.h"
#include "platform/Printers.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

// What a PDF file, or a printer that names no sizes, is offered.
QList<QPageSize> CommonSizes()
{
    return {QPageSize(QPageSize::A4), QPageSize(QPageSize::Letter), QPageSize(QPageSize::Legal), QPageSize(QPageSize::A3),
            QPageSize(QPageSize::A5)};
}

} // namespace

frmPrinterSetup::frmPrinterSetup(const QStringList& printers, const QString& printer, const QPageSize& paper, QWidget* parent)
    : QDialog(parent)
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmPrinterSetup"));
    setWindowTitle(QStringLiteral("Print Setup"));
    setModal(true);

    auto* grid = new QGridLayout(this);
    lblPrinter = new QLabel(QStringLiteral("&Printer:"), this);
    lblPrinter->setObjectName(QStringLiteral("lblPrinter"));
    cmbPrinter = new QComboBox(this);
    cmbPrinter->setObjectName(QStringLiteral("cmbPrinter"));
    lblPrinter->setBuddy(cmbPrinter);
    lblPaper = new QLabel(QStringLiteral("Paper &size:"), this);
    lblPaper->setObjectName(QStringLiteral("lblPaper"));
    cmbPaper = new QComboBox(this);
    cmbPaper->setObjectName(QStringLiteral("cmbPaper"));
    lblPaper->setBuddy(cmbPaper);
    lblState = new QLabel(this);
    lblState->setObjectName(QStringLiteral("lblState"));
    lblState->setTextFormat(Qt::PlainText);
    lblState->setWordWrap(true);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    grid->addWidget(lblPrinter, 0, 0);
    grid->addWidget(cmbPrinter, 0, 1);
    grid->addWidget(lblPaper, 1, 0);
    grid->addWidget(cmbPaper, 1, 1);
    grid->addWidget(lblState, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 3, 0, 1, 2);

    cmbPrinter->addItems(printers);
    const int at = cmbPrinter->findText(platform::Printers::Canonical(printer));
    cmbPrinter->setCurrentIndex(at >= 0 ? at : 0);
    PrinterChosen();
    if (paper.isValid()) {
        const int size = cmbPaper->findText(paper.name());
        if (size >= 0)
            cmbPaper->setCurrentIndex(size);
    }
    // A user's choice only: the printer's question is asked once for each.
    connect(cmbPrinter, &QComboBox::activated, this, &frmPrinterSetup::PrinterChosen);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    cmdOK->setEnabled(cmbPrinter->count() > 0);
}

void frmPrinterSetup::PrinterChosen()
{
    cmbPaper->clear();
    lblState->clear();
    m_queue = platform::CupsAnswer();
    if (cmbPrinter->count() == 0)
        return;
    const platform::PrintCheck check = platform::Printers::Instance().Queue(Printer(), m_queue);
    if (check.answer != platform::PrintCheck::Yes)
        lblState->setText(check.reason + QLatin1Char('.'));
    const QList<QPageSize> sizes = m_queue.offered.isEmpty() ? CommonSizes() : m_queue.offered;
    for (const QPageSize& size : sizes)
        cmbPaper->addItem(size.name(), QVariant::fromValue(size));
    // A printer that names no paper of its own prints on the system's.
    const QPageSize first = m_queue.paper.isValid() ? m_queue.paper : platform::CupsApi::SystemPaper();
    int at = -1;
    for (int i = 0; i < cmbPaper->count() && at < 0; ++i)
        if (cmbPaper->itemData(i).value<QPageSize>().isEquivalentTo(first))
            at = i;
    if (at < 0) {
        cmbPaper->insertItem(0, first.name(), QVariant::fromValue(first));
        at = 0;
    }
    cmbPaper->setCurrentIndex(at);
}

QString frmPrinterSetup::Printer() const { return cmbPrinter->currentText(); }

QPageSize frmPrinterSetup::Paper() const { return cmbPaper->currentData().value<QPageSize>(); }
