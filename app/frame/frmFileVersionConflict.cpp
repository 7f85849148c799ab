#include "app/frame/frmFileVersionConflict.h"

#include "app/services/modDiv.h"
#include "platform/DialogFrame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmFileVersionConflict::frmFileVersionConflict(QWidget* parent) : QDialog(parent)
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmFileVersionConflict"));
    setWindowTitle(QStringLiteral("Quarno Q2 - File Version Conflict"));
    if (parent)
        setWindowIcon(parent->windowIcon());
    m_message = new QLabel(QStringLiteral("Your copy of Quarno is too old to open this file!"), this);
    m_message->setObjectName(QStringLiteral("lblMessage"));
    m_message->setTextFormat(Qt::PlainText); // the versions come from the file
    m_message->setWordWrap(true);
    auto* web = new QLabel(QStringLiteral("Please download the latest version from the Quarno website"), this);
    web->setObjectName(QStringLiteral("lblWeb"));
    auto* cmdWeb = new QPushButton(QStringLiteral("Quarno Web..."), this);
    cmdWeb->setObjectName(QStringLiteral("cmdWeb"));
    auto* cmdCancel = new QPushButton(QStringLiteral("Close"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(web);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdWeb);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        m_cancelled = true;
        reject();
    });
    connect(cmdWeb, &QPushButton::clicked, this, [this] {
        modDiv::OpenWebSite();
        m_cancelled = false;
        accept();
    });
}

void frmFileVersionConflict::Init(const QString& message) { m_message->setText(message); }
