#include "app/reports/frmPrintDialog.h"

#include "app/reports/frmPrint.h"
#include "extra/extra.h"
#include "app/pages/common/PageCommon.h"
#include "app/services/modRegistry.h"
#include "controls/Number.h"
#include "platform/DialogFrame.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

const QString kPrinterDevice = QStringLiteral("PrinterDevice");

} // namespace

frmPrintDialog::frmPrintDialog(frmPrint& print, QWidget* parent) : QDialog(parent), m_print(print)
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmPrintDialog"));
    setWindowTitle(QStringLiteral("Print"));
    setModal(true);
    setWindowIcon(print.windowIcon());

    auto* grid = new QGridLayout(this);
    lblPrinterCaption = new QLabel(QStringLiteral("Printer:"), this);
    lblPrinterCaption->setObjectName(QStringLiteral("lblPrinterCaption"));
    lblPrinter = new QLabel(this);
    lblPrinter->setObjectName(QStringLiteral("lblPrinter"));
    lblPrinter->setTextFormat(Qt::PlainText); // a printer's name, as the print server gives it
    lblCopies = new QLabel(QStringLiteral("Number of copies"), this);
    lblCopies->setObjectName(QStringLiteral("lblCopies"));
    numCopies = new Number(this);
    numCopies->setObjectName(QStringLiteral("numCopies"));
    numCopies->SetMin(1);
    numCopies->SetMax(9999);
    numCopies->SetValue(1);
    chkPreview = new QCheckBox(QStringLiteral("P&rint Preview"), this);
    chkPreview->setObjectName(QStringLiteral("chkPreview"));
    cmdSetup = new QPushButton(QStringLiteral("&Setup..."), this);
    cmdSetup->setObjectName(QStringLiteral("cmdSetup"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    // A click leaves the focus in the copies box, so that OK commits it as every command does.
    cmdOK->setFocusPolicy(Qt::TabFocus);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    grid->addWidget(lblPrinterCaption, 0, 0);
    grid->addWidget(lblPrinter, 0, 1, 1, 2);
    grid->addWidget(cmdSetup, 0, 3);
    grid->addWidget(lblCopies, 1, 0);
    grid->addWidget(numCopies, 1, 1);
    grid->addWidget(chkPreview, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 3, 0, 1, 4);

    connect(cmdSetup, &QPushButton::clicked, this, &frmPrintDialog::SetupClicked);
    connect(cmdOK, &QPushButton::clicked, this, &frmPrintDialog::OKClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPrintDialog::CancelClicked);
    ShowPrinter();
}

void frmPrintDialog::ShowPrinter()
{
    const modRegistry::RegKey key =
        modRegistry::OpenRegKey(modRegistry::HKeyCurrentUser, modRegistry::ProgramKeyPath(), true);
    const QString stored = modRegistry::GetRegValue(key, kPrinterDevice);
    modRegistry::CloseRegKey(key);
    if (!m_print.SetDevice(stored)) {
        extra::LangMsgBox(180, 64, {stored, m_print.Device()});
        SavePrinter();
    } else if (stored.isEmpty() && !m_print.Device().isEmpty()) {
        SavePrinter();
    }
    lblPrinter->setText(m_print.Device().isEmpty() ? QStringLiteral("No printer found!") : m_print.Device());
    // The box starts at the printer's saved copies; what it shows at OK goes with the job.
    if (m_copiesOf != m_print.Device()) {
        m_copiesOf = m_print.Device();
        numCopies->SetValue(m_print.SavedCopies());
    }
}

void frmPrintDialog::SavePrinter()
{
    const modRegistry::RegKey key =
        modRegistry::OpenRegKey(modRegistry::HKeyCurrentUser, modRegistry::ProgramKeyPath(), true);
    modRegistry::SetRegValue(key, kPrinterDevice, m_print.Device());
    modRegistry::CloseRegKey(key);
}

void frmPrintDialog::SetupClicked()
{
    m_print.ShowPrinterSetup();
    SavePrinter();
    ShowPrinter();
}

void frmPrintDialog::OKClicked()
{
    // The copies box commits first: a number it had to change stops OK, its text selected.
    if (pagecommon::CommitFocusedEntry(this))
        return;
    // The preview needs no printer: its print tool asks for one.
    if (!m_print.Device().isEmpty() || chkPreview->isChecked()) {
        m_print.Preview = chkPreview->isChecked();
        m_print.Copies = numCopies->Value();
        m_print.SetContinue(true);
        accept();
        return;
    }
    OKWithoutPrinter = true;
    m_print.ShowPrinterSetup();
    ShowPrinter();
    reject();
}

void frmPrintDialog::CancelClicked()
{
    m_print.SetContinue(false);
    reject();
}
