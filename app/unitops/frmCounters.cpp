#include "app/unitops/frmCounters.h"

#include "app/pages/PageApis.h"
#include "app/pages/common/PageCommon.h"
#include "extra/extra.h"
#include "app/unitops/ServiceCommands.h"
#include "app/unitops/UnitCommandStop.h"
#include "app/unitops/UnitOps.h"
#include "app/unitops/UnitRegisters.h"
#include "controls/Number.h"
#include "platform/MessagePresenter.h"
#include "platform/DialogFrame.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr qint32 kMaxHours = 1000000;
const QString kCounterFirmware = QStringLiteral("4.33");
} // namespace

frmCounters::frmCounters(QWidget* parent, FrameApi* frame) : QDialog(parent)
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmCounters"));
    setWindowTitle(QStringLiteral("Counters"));
    if (frame)
        setWindowIcon(frame->WindowIcon());

    m_numHours = new Number(this);
    m_numHours->setObjectName(QStringLiteral("numHours"));
    m_numHours->SetMin(0);
    m_numHours->SetMax(kMaxHours);
    m_numHours->SetValue(0);
    auto* label = new QLabel(QStringLiteral("New engine hour reading"), this);
    auto* note = new QLabel(QStringLiteral("Changes made here will be active after next Control Unit power on."), this);
    note->setWordWrap(true);
    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_numHours, 0, 1);
    grid->addWidget(note, 1, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    grid->addLayout(buttons, 2, 0, 1, 2);

    connect(m_cmdOK, &QPushButton::clicked, this, &frmCounters::OnOK);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmCounters::reject);
}

void frmCounters::OnOK()
{
    if (m_writing)
        return;
    bool close = false;
    {
        pagecommon::ScopedFlag writing(m_writing);
        m_cmdOK->setEnabled(false);
        m_cmdCancel->setEnabled(false);
        close = WriteCounters();
        m_cmdOK->setEnabled(true);
        m_cmdCancel->setEnabled(true);
    }
    if (close)
        accept();
}

bool frmCounters::WriteCounters()
{
    const QString firmware = unitops::ReadUnitVersion(true);
    if (firmware != QLatin1String("N/A") && extra::CompareVersions(firmware, kCounterFirmware) < 0) {
        raise();
        activateWindow();
        extra::LangMsgBox(175, platform::MsgStyle::Information, {firmware, kCounterFirmware});
        return false;
    }
    // Split as whole numbers: hours / 10000 and the last four decimal digits.
    const QVector<qint32> values = unitops::CounterWords(m_numHours->Value());
    const bool written = unitops::WriteCounterRegisters(values);
    unitops::WireWorkDone();
    raise();
    activateWindow();
    if (written)
        extra::LangMsgBox(177, platform::MsgStyle::Information);
    else
        extra::LangMsgBox(176, platform::MsgStyle::Exclamation);
    return true;
}

void frmCounters::reject()
{
    if (m_writing)
        return;
    QDialog::reject();
}

void frmCounters::closeEvent(QCloseEvent* event)
{
    if (m_writing) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
