#include "app/pages/general/frmBackupSystemSettings.h"

#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/services/modDiv.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelEnums.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/cDigitalIn.h"
#include "platform/DialogFrame.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

int BackupPulseNumber(const XelObject& setup)
{
    const XelSpeedSensor* sensor = setup.SpeedSensor();
    if (!sensor || sensor->PickupType(0) != 1)
        return 0;
    int p = sensor->PulsesPerRevolution(0);
    // A teeth count at the timing gear turns twice per engine revolution.
    if (sensor->Sender(0) == 2)
        p /= 2;
    return p;
}

BackupSwitchPositions BackupSwitchSettings(const XelObject& setup)
{
    BackupSwitchPositions pos;
    const QString hex = modDiv::HexByte(BackupPulseNumber(setup));
    pos.S1 = hex.left(1);
    pos.S2 = hex.mid(1, 1);
    if (const XelSpeedSensor* sensor = setup.SpeedSensor())
        pos.S3 = modDiv::GetSwitchCode(sensor->Speeding());
    if (const cDigitalIn* inputs = setup.DigitalIn()) {
        // Lever n follows switch input n, found by its key.
        for (int n = 1; n <= 6; ++n) {
            const XelDigitalIn* d = inputs->Item(cDigitalIn::KeyText(n));
            pos.S4[size_t(n - 1)] =
                d && d->Active() && d->Action() == qint32(DigitalActionType::Shutdown);
        }
    }
    return pos;
}

// Six levers side by side, lever 1 leftmost, each up (ON) or down (OFF).
class LeverSwitch : public QFrame {
public:
    explicit LeverSwitch(QWidget* parent) : QFrame(parent)
    {
        setFrameShape(QFrame::Box);
        setMinimumSize(6 * 22 + 8, 70);
    }
    std::array<bool, 6> on{};

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QFrame::paintEvent(event);
        QPainter p(this);
        const int w = (width() - 8) / 6;
        const int slotH = height() - 12;
        for (int i = 0; i < 6; ++i) {
            const QRect slot(4 + i * w + w / 4, 6, w / 2, slotH);
            p.setPen(palette().color(QPalette::WindowText));
            p.setBrush(palette().color(QPalette::Base));
            p.drawRect(slot);
            const QRect lever(slot.left(), on[size_t(i)] ? slot.top() : slot.top() + slotH / 2,
                              slot.width(), slotH / 2);
            p.setBrush(palette().color(QPalette::WindowText));
            p.drawRect(lever);
        }
    }
};

frmBackupSystemSettings::frmBackupSystemSettings(MainState& state, QWidget* parent)
    : QDialog(parent), m_setup(state.XelObject())
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmBackupSystemSettings"));
    setWindowTitle(QStringLiteral("Backup System Settings"));
    if (state.frame)
        setWindowIcon(state.frame->WindowIcon());

    static const char* const kCaptions[4] = {"S1", "S2", "S3", "S4"};
    static const char* const kDescriptions[4] = {
        "S1 = Pulses/Revolution (Most Significant)", "S2 = Pulses/Revolution (Least Significant)",
        "S3 = Overspeed", "S4 = Shutdowns"};

    auto* grid = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        auto* caption = new QLabel(QString::fromLatin1(kCaptions[i]), this);
        caption->setObjectName(QStringLiteral("lblSwitchCaption_%1").arg(i));
        grid->addWidget(caption, 0, i, Qt::AlignHCenter);

        auto* pic = i < 3 ? new QFrame(this) : nullptr;
        if (pic) {
            pic->setObjectName(QStringLiteral("picSwitch_%1").arg(i));
            pic->setFrameShape(QFrame::Box);
            pic->setMinimumSize(48, 48);
            auto* inner = new QVBoxLayout(pic);
            lblSwitch[i] = new QLabel(QStringLiteral("0"), pic);
            lblSwitch[i]->setObjectName(QStringLiteral("lblSwitch_%1").arg(i));
            lblSwitch[i]->setAlignment(Qt::AlignCenter);
            QFont f = lblSwitch[i]->font();
            f.setPointSize(f.pointSize() + 6);
            f.setBold(true);
            lblSwitch[i]->setFont(f);
            inner->addWidget(lblSwitch[i]);
            grid->addWidget(pic, 1, i, Qt::AlignHCenter);
        } else {
            auto* box = new QWidget(this);
            auto* row = new QHBoxLayout(box);
            row->setContentsMargins(0, 0, 0, 0);
            m_levers = new LeverSwitch(box);
            m_levers->setObjectName(QStringLiteral("picSwitch_3"));
            auto* onOff = new QVBoxLayout;
            auto* on = new QLabel(QStringLiteral("ON"), box);
            on->setObjectName(QStringLiteral("lblOnOff_0"));
            auto* off = new QLabel(QStringLiteral("OFF"), box);
            off->setObjectName(QStringLiteral("lblOnOff_1"));
            onOff->addWidget(on, 0, Qt::AlignTop);
            onOff->addStretch();
            onOff->addWidget(off, 0, Qt::AlignBottom);
            row->addWidget(m_levers);
            row->addLayout(onOff);
            grid->addWidget(box, 1, i);
        }
    }

    auto* descriptions = new QVBoxLayout;
    for (int i = 0; i < 4; ++i) {
        auto* d = new QLabel(QString::fromLatin1(kDescriptions[i]), this);
        d->setObjectName(QStringLiteral("lblDescription_%1").arg(i));
        descriptions->addWidget(d);
    }
    auto* lblLabel = new QLabel(
        QStringLiteral("Please adjust switches on the Control Unit back-panel according to this figure."),
        this);
    lblLabel->setObjectName(QStringLiteral("lblLabel"));
    lblLabel->setWordWrap(true);

    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblLabel);
    layout->addLayout(grid);
    layout->addLayout(descriptions);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);
}

void frmBackupSystemSettings::InitSettings()
{
    m_positions = m_setup ? BackupSwitchSettings(*m_setup) : BackupSwitchPositions();
    lblSwitch[0]->setText(m_positions.S1);
    lblSwitch[1]->setText(m_positions.S2);
    lblSwitch[2]->setText(m_positions.S3);
    m_levers->on = m_positions.S4;
    m_levers->update();
}

QString frmBackupSystemSettings::SwitchText(int i) const
{
    return i >= 0 && i < 3 ? lblSwitch[i]->text() : QString();
}

bool frmBackupSystemSettings::LeverOn(int lever) const
{
    return lever >= 1 && lever <= 6 && m_levers->on[size_t(lever - 1)];
}
