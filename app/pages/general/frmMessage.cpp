#include "app/pages/general/frmMessage.h"

#include "app/pages/common/PageCommon.h"
#include "platform/DialogFrame.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

using pagecommon::Twips;

namespace {

QFrame* MakeShape(QWidget* parent, const QString& name, int left, int top, int width, int height,
                  const QString& style)
{
    auto* shape = new QFrame(parent);
    shape->setObjectName(name);
    shape->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
    shape->setStyleSheet(style);
    return shape;
}

} // namespace

frmMessage::frmMessage(QWidget* parent) : QDialog(parent)
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmMessage"));
    setWindowTitle(QStringLiteral("Quarno Q2"));
    setModal(true);
    setFixedSize(Twips(6015), Twips(3120));

    imgImfo = new QLabel(this);
    imgImfo->setObjectName(QStringLiteral("imgImfo"));
    imgImfo->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    imgImfo->setGeometry(Twips(240), Twips(240), Twips(480), Twips(480));

    const QString texts[3] = {
        QStringLiteral("For a 0..10V input channel, in the Control Unit remember to set Jumper J12 as follows:"),
        QStringLiteral("For a 0..20mA/4..20mA input channel, in the Control Unit remember to set Jumper J12 as follows:"),
        QStringLiteral("For more details, please consult the User's Manual."),
    };
    const int tops[3] = {240, 240, 1920};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(texts[i], this);
        label->setObjectName(QStringLiteral("lblLabel_%1").arg(i));
        label->setWordWrap(true);
        label->setGeometry(Twips(960), Twips(tops[i]), Twips(4815), Twips(600));
        lblLabel.append(label);
    }
    // Both setting texts share one place; the setting decides which one shows.
    lblLabel[0]->setVisible(false);
    lblLabel[1]->setVisible(false);

    lblPin = new QLabel(QStringLiteral("J12"), this);
    lblPin->setObjectName(QStringLiteral("lblPin"));
    lblPin->setGeometry(Twips(2400), Twips(960), Twips(1200), Twips(240));
    lblPin->setAlignment(Qt::AlignCenter);

    // Five pins in a row. The last two are always drawn; the setting shows which of the
    // first three carry the jumper.
    const QString marker = QStringLiteral("background-color: rgb(0, 0, 0);");
    for (int i = 0; i < 5; ++i) {
        QFrame* pin = MakeShape(this, QStringLiteral("shpPin_%1").arg(i), 2160 + i * 360, 1320, 240, 240,
                                marker);
        pin->setVisible(i >= 3);
        shpPin.append(pin);
    }
    // The connector housing drawn over the row of pins.
    const QString outline = QStringLiteral("border: 1px solid rgb(0, 0, 0); background: transparent;");
    MakeShape(this, QStringLiteral("shpConnector_0"), 2040, 1200, 1920, 480, outline);
    MakeShape(this, QStringLiteral("shpConnector_1"), 2100, 1260, 1800, 360, outline);
    MakeShape(this, QStringLiteral("shpConnector_2"), 2880, 1680, 240, 120, outline);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setGeometry(0, Twips(2520), Twips(1215), Twips(375));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    CenterOK();
}

void frmMessage::SetDIPSetting(qint16 setting)
{
    const bool voltage = setting == 1;
    const bool current = setting == 2;
    lblLabel[0]->setVisible(voltage);
    lblLabel[1]->setVisible(current);
    shpPin[0]->setVisible(current);
    shpPin[1]->setVisible(current);
    shpPin[2]->setVisible(voltage);
}

void frmMessage::showEvent(QShowEvent* event)
{
    if (QWidget* owner = parentWidget())
        setWindowIcon(owner->window()->windowIcon());
    CenterOK();
    QDialog::showEvent(event);
}

void frmMessage::resizeEvent(QResizeEvent* event)
{
    CenterOK();
    QDialog::resizeEvent(event);
}

void frmMessage::CenterOK()
{
    if (cmdOK)
        cmdOK->move(width() / 2 - cmdOK->width() / 2, cmdOK->y());
}
