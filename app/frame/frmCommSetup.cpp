#include "app/frame/frmCommSetup.h"

#include "app/frame/PortCombo.h"
#include "app/pages/common/RowFit.h"
#include "extra/extra.h"
#include "app/services/modRegistry.h"
#include "platform/DialogFrame.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

frmCommSetup::frmCommSetup(QWidget* parent) : QDialog(parent)
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmCommSetup"));
    setWindowTitle(QStringLiteral("Communication Setup"));
    auto* grid = new QGridLayout(this);
    auto* label = new QLabel(QStringLiteral("COM Port"), this);
    label->setObjectName(QStringLiteral("lblCommSetup"));
    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("cmbCommPort"));
    // Device names make long entries: the list shows them whole, the box keeps its width.
    pagecommon::FitListOnly(m_combo);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    m_ok->setEnabled(false);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_combo, 0, 1, 1, 2);
    grid->addWidget(m_ok, 1, 1);
    grid->addWidget(cancel, 1, 2);

    // The stored port is listed and selected; no selection when none is stored.
    FillPortCombo(m_combo, int(modRegistry::GetCommPort()));
    m_ok->setEnabled(m_combo->currentIndex() >= 0);
    connect(m_combo, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_ok->setEnabled(index >= 0); });
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (m_combo->currentIndex() < 0)
            return;
        m_cancelled = false;
        modRegistry::SaveCommPort(qint16(m_combo->currentData().toInt()));
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_cancelled = true;
        reject();
    });
}
