#include "app/pages/general/frmCANSettings.h"

#include "app/pages/general/DialogHelpers.h"
#include "controls/Number.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "platform/DialogFrame.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace dialoghelpers;

frmCANSettings::frmCANSettings(QWidget* parent) : QDialog(parent)
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmCANSettings"));
    setWindowTitle(QStringLiteral("CAN/J1587 Settings"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, QStringLiteral("lblCANUART_0"), QStringLiteral("MID Number")));
    numCANUARTNumber = MakeNumber(this, QStringLiteral("numCANUARTNumber"), kMin, kMax);
    numCANUARTNumber->SetValue(171);
    layout->addWidget(numCANUARTNumber);
    layout->addWidget(MakeLabel(this, QStringLiteral("lblCANUART_1"),
                                QStringLiteral("Specify the MID number that identifies the Control Unit when using CAN/J1587")));
    cmdOK = MakeButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdCancel = MakeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    AddButtonRow(layout, cmdOK, cmdCancel);
    connect(cmdOK, &QPushButton::clicked, this, &frmCANSettings::OnOK);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmCANSettings::SetXelObject(::XelObject* setup)
{
    m_setup = setup;
    if (setup && setup->Main())
        ShowValue(numCANUARTNumber, setup->Main()->CANNumber(), kMin, kMax);
}

void frmCANSettings::OnOK()
{
    if (!AcceptEntry(numCANUARTNumber, kMin, kMax))
        return;
    if (m_setup && m_setup->Main())
        m_setup->Main()->SetCANNumber(numCANUARTNumber->Value());
    accept();
}
