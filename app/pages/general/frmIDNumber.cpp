#include "app/pages/general/frmIDNumber.h"

#include "app/pages/general/DialogHelpers.h"
#include "controls/Number.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "platform/DialogFrame.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace dialoghelpers;

frmIDNumber::frmIDNumber(QWidget* parent) : QDialog(parent)
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmIDNumber"));
    setWindowTitle(QStringLiteral("Select ID Number"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, QStringLiteral("lblIDNumber_0"), QStringLiteral("ID Number")));
    numIDNumber = MakeNumber(this, QStringLiteral("numIDNumber"), kMin, kMax);
    layout->addWidget(numIDNumber);
    layout->addWidget(MakeLabel(this, QStringLiteral("lblIDNumber_1"),
                                QStringLiteral("If communicating over a modem or network, please set the required "
                                               "id-number in the range 1-239")));
    layout->addWidget(MakeLabel(this, QStringLiteral("lblIDNumber_2"), QStringLiteral("Other communication parameters are:")));
    lblIDNumberSettings = MakeLabel(this, QStringLiteral("lblIDNumberSettings"), QString());
    layout->addWidget(lblIDNumberSettings);
    cmdOK = MakeButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdCancel = MakeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    AddButtonRow(layout, cmdOK, cmdCancel);
    connect(cmdOK, &QPushButton::clicked, this, &frmIDNumber::OnOK);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmIDNumber::SetXelObject(::XelObject* setup)
{
    m_setup = setup;
    if (!setup || !setup->Main())
        return;
    ShowValue(numIDNumber, setup->Main()->IDNumber(), kMin, kMax);
    lblIDNumberSettings->setText(QStringLiteral("9600,o,8,1"));
}

void frmIDNumber::OnOK()
{
    if (!AcceptEntry(numIDNumber, kMin, kMax))
        return;
    if (m_setup && m_setup->Main())
        m_setup->Main()->SetIDNumber(numIDNumber->Value());
    accept();
}
