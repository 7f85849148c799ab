#include "app/pages/general/frmCANDiagnosis.h"

#include "app/pages/general/DialogHelpers.h"
#include "controls/Number.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "platform/DialogFrame.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace dialoghelpers;

frmCANDiagnosis::frmCANDiagnosis(QWidget* parent) : QDialog(parent)
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmCANDiagnosis"));
    setWindowTitle(QStringLiteral("J1939 CAN Diagnostic"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, QStringLiteral("lblCANSPN_0"), QStringLiteral("Diagnostic SPN")));
    numCANSPN = MakeNumber(this, QStringLiteral("numCANSPN"), kMin, kMax);
    layout->addWidget(numCANSPN);
    layout->addWidget(MakeLabel(this, QStringLiteral("lblCANSPN_1"), QStringLiteral("to be ignored.  Default is zero")));
    chkCANProtectLamp = new QCheckBox(QStringLiteral("\"Protect Lamp\" gives Warning only"), this);
    chkCANProtectLamp->setObjectName(QStringLiteral("chkCANProtectLamp"));
    layout->addWidget(chkCANProtectLamp);
    cmdOK = MakeButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdCancel = MakeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    AddButtonRow(layout, cmdOK, cmdCancel);
    connect(cmdOK, &QPushButton::clicked, this, &frmCANDiagnosis::OnOK);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmCANDiagnosis::SetXelObject(::XelObject* setup)
{
    m_setup = setup;
    if (!setup || !setup->Main())
        return;
    ShowValue(numCANSPN, setup->Main()->CANSPN(), kMin, kMax);
    chkCANProtectLamp->setChecked(setup->Main()->CANProtectLamp());
}

void frmCANDiagnosis::OnOK()
{
    if (!AcceptEntry(numCANSPN, kMin, kMax))
        return;
    if (m_setup && m_setup->Main()) {
        m_setup->Main()->SetCANSPN(numCANSPN->Value());
        m_setup->Main()->SetCANProtectLamp(chkCANProtectLamp->isChecked());
    }
    accept();
}
