#include "app/pages/general/frmSecretSettings.h"

#include "app/pages/general/DialogHelpers.h"
#include "controls/Number.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "platform/DialogFrame.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace dialoghelpers;

namespace {
constexpr int kByteMax = 255;
constexpr int kWordMax = 65535;
} // namespace

frmSecretSettings::frmSecretSettings(QWidget* parent) : QDialog(parent)
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmSecretSettings"));
    setWindowTitle(QStringLiteral("Secret settings"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(MakeLabel(this, QStringLiteral("lblSecret_%1").arg(i), QStringLiteral("Byte %1").arg(i + 1)), i, 0);
        numByte[i] = MakeNumber(this, QStringLiteral("numByte_%1").arg(i), 0, kByteMax);
        grid->addWidget(numByte[i], i, 1);
        grid->addWidget(MakeLabel(this, QStringLiteral("lblSecret_%1").arg(i + 4), QStringLiteral("Word %1").arg(i + 1)), i, 2);
        numWord[i] = MakeNumber(this, QStringLiteral("numWord_%1").arg(i), 0, kWordMax);
        grid->addWidget(numWord[i], i, 3);
    }
    layout->addLayout(grid);
    cmdClear = MakeButton(this, QStringLiteral("cmdClear"), QStringLiteral("Clear all"));
    layout->addWidget(cmdClear);
    cmdOK = MakeButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdCancel = MakeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    AddButtonRow(layout, cmdOK, cmdCancel);
    connect(cmdClear, &QPushButton::clicked, this, &frmSecretSettings::OnClear);
    connect(cmdOK, &QPushButton::clicked, this, &frmSecretSettings::OnOK);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmSecretSettings::SetXelObject(::XelObject* setup)
{
    m_setup = setup;
    LoadServiceValues();
}

void frmSecretSettings::LoadServiceValues()
{
    if (!m_setup || !m_setup->Main())
        return;
    const XelMain& main = *m_setup->Main();
    const int bytes[4] = {main.ByteOne(), main.ByteTwo(), main.ByteThree(), main.ByteFour()};
    const qint32 words[4] = {main.WordOne(), main.WordTwo(), main.WordThree(), main.WordFour()};
    for (int i = 0; i < 4; ++i) {
        ShowValue(numByte[i], bytes[i], 0, kByteMax);
        ShowValue(numWord[i], words[i], 0, kWordMax);
    }
}

void frmSecretSettings::StoreServiceValues()
{
    if (!m_setup || !m_setup->Main())
        return;
    XelMain& main = *m_setup->Main();
    main.SetByteOne(numByte[0]->Value());
    main.SetByteTwo(numByte[1]->Value());
    main.SetByteThree(numByte[2]->Value());
    main.SetByteFour(numByte[3]->Value());
    main.SetWordOne(numWord[0]->Value());
    main.SetWordTwo(numWord[1]->Value());
    main.SetWordThree(numWord[2]->Value());
    main.SetWordFour(numWord[3]->Value());
}

void frmSecretSettings::OnClear()
{
    for (int i = 0; i < 4; ++i) {
        numByte[i]->SetValue(0);
        numWord[i]->SetValue(0);
    }
}

void frmSecretSettings::OnOK()
{
    // A value the unit cannot hold is refused before anything is written.
    for (int i = 0; i < 4; ++i)
        if (!AcceptEntry(numByte[i], 0, kByteMax))
            return;
    for (int i = 0; i < 4; ++i)
        if (!AcceptEntry(numWord[i], 0, kWordMax))
            return;
    StoreServiceValues();
    accept();
}
