#include "app/unitops/frmServicePassword.h"

#include "app/pages/PageApis.h"
#include "extra/extra.h"
#include "app/unitops/ServiceCommands.h"
#include "platform/MessagePresenter.h"
#include "platform/SystemInfo.h"
#include "platform/DialogFrame.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

frmServicePassword::frmServicePassword(QWidget* parent, FrameApi* frame) : QDialog(parent)
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmServicePassword"));
    setWindowTitle(QStringLiteral("Enter Service Password"));
    if (frame)
        setWindowIcon(frame->WindowIcon());

    auto* text = new QLabel(QStringLiteral("In order to complete this operation you need to enter the Service Password."), this);
    text->setWordWrap(true);
    m_txtServicePassword = new QLineEdit(this);
    m_txtServicePassword->setObjectName(QStringLiteral("txtServicePassword"));
    m_txtServicePassword->setEchoMode(QLineEdit::Password);
    m_txtServicePassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    m_txtServicePassword->installEventFilter(this);
    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(m_txtServicePassword);
    layout->addLayout(buttons);

    connect(m_cmdOK, &QPushButton::clicked, this, &frmServicePassword::OnOK);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmServicePassword::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_txtServicePassword && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_txtServicePassword, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

void frmServicePassword::OnOK()
{
    // Taken at the moment of the click, so the code of the day is the one that counts.
    const QString code = unitops::ServiceCode(platform::SystemInfo::Instance().Now().date());
    if (m_txtServicePassword->text().toUpper() == code.toUpper()) {
        m_ok = true;
        accept();
        return;
    }
    extra::LangMsgBox(116, platform::MsgStyle::Exclamation);
    m_txtServicePassword->selectAll();
    m_txtServicePassword->setFocus();
}
