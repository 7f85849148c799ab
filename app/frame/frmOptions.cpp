#include "app/frame/frmOptions.h"

#include "app/frame/PortCombo.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/common/RowFit.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "app/services/modRegistry.h"
#include "platform/MessagePresenter.h"
#include "platform/TimeSource.h"
#include "platform/DialogFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

using modRegistry::RegKey;

bool FolderExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

QWidget* WarningBox(QWidget* parent, int index)
{
    auto* box = new QWidget(parent);
    box->setObjectName(QStringLiteral("picActionText_%1").arg(index));
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* icon = new QLabel(box);
    icon->setObjectName(QStringLiteral("imgActionText_%1").arg(index));
    icon->setPixmap(box->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16));
    layout->addWidget(icon);
    layout->addWidget(new QLabel(QStringLiteral("Selected Folder does not exist"), box), 1);
    box->setVisible(false);
    return box;
}

} // namespace

frmOptions::frmOptions(QWidget* parent) : QDialog(parent)
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    pagecommon::WaitCursor wait;
    if (parent)
        setWindowIcon(parent->windowIcon());
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabOptions"));
    layout->addWidget(m_tabs);
    for (int i = 0; i < 3; ++i) {
        auto* con = new QWidget;
        con->setObjectName(QStringLiteral("conOptions_%1").arg(i));
        con->setEnabled(i == 0);
        m_conOptions << con;
    }
    // Preferences
    {
        auto* grid = new QGridLayout(m_conOptions[0]);
        auto* label = new QLabel(QStringLiteral("Quarno Mode"));
        label->setObjectName(QStringLiteral("lblPreferences"));
        m_mode = new QComboBox;
        m_mode->setObjectName(QStringLiteral("cmbQRNMode"));
        m_mode->addItems({QStringLiteral("Normal Mode"), QStringLiteral("Expert Mode!")});
        auto* description = new QLabel;
        description->setObjectName(QStringLiteral("lblModeDescription"));
        grid->addWidget(label, 0, 0);
        grid->addWidget(m_mode, 0, 1);
        grid->addWidget(description, 1, 0, 1, 2);
        grid->setRowStretch(2, 1);
    }
    // File Open / Save
    {
        auto* grid = new QGridLayout(m_conOptions[1]);
        auto folderRow = [&](int row, const QString& caption, const QString& suffix, QCheckBox*& chk,
                             QWidget*& con, QLineEdit*& text, QWidget*& warning, int index) {
            chk = new QCheckBox(caption);
            chk->setObjectName(QStringLiteral("chkQRNDir") + suffix);
            con = new QWidget;
            con->setObjectName(QStringLiteral("conQRNDir") + suffix);
            auto* h = new QHBoxLayout(con);
            h->setContentsMargins(0, 0, 0, 0);
            text = new QLineEdit;
            text->setObjectName(QStringLiteral("txtQRNDir") + suffix);
            auto* browse = new QPushButton(QStringLiteral("Browse..."));
            browse->setObjectName(QStringLiteral("cmdQRNDir") + suffix);
            h->addWidget(text, 1);
            h->addWidget(browse);
            warning = WarningBox(m_conOptions[1], index);
            grid->addWidget(chk, row, 0);
            grid->addWidget(con, row + 1, 0);
            grid->addWidget(warning, row + 2, 0);
            QLineEdit* edit = text;
            connect(browse, &QPushButton::clicked, this, [this, edit] { Browse(edit); });
            connect(chk, &QCheckBox::toggled, this, [this] {
                UpdateFolderFrames();
                UpdateFolderWarnings();
            });
        };
        folderRow(0, QStringLiteral("Default File Open Folder"), QStringLiteral("Open"), m_chkOpen, m_conOpen,
                  m_txtOpen, m_warnOpen, 0);
        folderRow(3, QStringLiteral("Default File Save Folder"), QStringLiteral("Save"), m_chkSave, m_conSave,
                  m_txtSave, m_warnSave, 1);
        grid->setRowStretch(6, 1);
    }
    // Commport
    {
        auto* grid = new QGridLayout(m_conOptions[2]);
        auto* label = new QLabel(QStringLiteral("Quarno Q2 COM Port"));
        label->setObjectName(QStringLiteral("lblCommSetup"));
        m_port = new QComboBox;
        m_port->setObjectName(QStringLiteral("cmbCommPort"));
        // Device names make long entries: the list shows them whole, the box keeps its width.
        pagecommon::FitListOnly(m_port);
        m_commMessage = new QWidget;
        m_commMessage->setObjectName(QStringLiteral("picCommMessage"));
        auto* h = new QHBoxLayout(m_commMessage);
        auto* message = new QLabel(QStringLiteral(
            "Quarno is reading communication information from your computer. Please wait...."));
        message->setObjectName(QStringLiteral("lblCommMessage"));
        message->setWordWrap(true);
        h->addWidget(message);
        m_commMessage->setVisible(false);
        grid->addWidget(label, 0, 0);
        grid->addWidget(m_port, 0, 1);
        grid->addWidget(m_commMessage, 1, 0, 1, 2);
        grid->setRowStretch(2, 1);
    }
    m_tabs->addTab(m_conOptions[0], QStringLiteral("Preferences"));
    m_tabs->addTab(m_conOptions[1], QStringLiteral("File Open / Save"));
    m_tabs->addTab(m_conOptions[2], QStringLiteral("Commport"));
    // Every tab caption readable: the dialog grows to the tab bar instead of scrolling it.
    m_tabs->setUsesScrollButtons(false);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int) {
        const int previous = m_previousTab;
        m_previousTab = m_tabs->currentIndex();
        TabClick(previous);
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] {
        SaveOptions();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    LoadOptions();
    UpdateFolderFrames();
}

void frmOptions::LoadOptions()
{
    const qint32 mode = modRegistry::GetMode();
    m_mode->setCurrentIndex(mode >= 0 && mode < m_mode->count() ? int(mode) : 0);
    LoadFolderSettings();
}

void frmOptions::LoadFolderSettings()
{
    const RegKey key = modRegistry::OpenRegKey(modRegistry::HKeyCurrentUser, modRegistry::ProgramKeyPath(), false);
    if (!key)
        return;
    m_chkOpen->setChecked(extra::NumericPrefix(modRegistry::GetRegValue(key, QStringLiteral("FileOpenLocationAlways"))) != 0);
    m_txtOpen->setText(modRegistry::GetRegValue(key, QStringLiteral("FileOpenLocation")));
    m_chkSave->setChecked(extra::NumericPrefix(modRegistry::GetRegValue(key, QStringLiteral("FileSaveLocationAlways"))) != 0);
    m_txtSave->setText(modRegistry::GetRegValue(key, QStringLiteral("FileSaveLocation")));
    modRegistry::CloseRegKey(key);
}

void frmOptions::UpdateFolderFrames()
{
    const bool folderTab = m_tabs->currentIndex() == 1;
    m_conOpen->setEnabled(m_chkOpen->isChecked() && folderTab);
    m_conSave->setEnabled(m_chkSave->isChecked() && folderTab);
}

void frmOptions::TabClick(int previousTab)
{
    pagecommon::WaitCursor wait;
    const int current = m_tabs->currentIndex();
    if (previousTab >= 0 && previousTab < m_conOptions.size())
        m_conOptions[previousTab]->setEnabled(false);
    m_conOptions[current]->setEnabled(true);
    UpdateFolderFrames();
    if (current == 1) {
        UpdateFolderWarnings();
    } else if (current == 2) {
        if (modDiv::KeysDown(modDiv::VkShift))
            m_port->clear();
        if (m_port->count() == 0) {
            m_commMessage->setVisible(true);
            repaint();
            platform::TimeSource::Instance().ProcessEvents();
            const int stored = int(modRegistry::GetCommPort());
            FillPortCombo(m_port, stored);
            // With no port stored nothing is chosen, as the unit commands say; a stored port
            // the list lacks falls back to the first entry.
            if (stored > 0 && m_port->currentIndex() < 0 && m_port->count() > 0)
                m_port->setCurrentIndex(0);
            m_commMessage->setVisible(false);
        }
        m_portListFilled = true;
    }
}

void frmOptions::Browse(QLineEdit* text)
{
    const QString folder = modDiv::BrowseForFolder(this, QStringLiteral("QRN File Open Folder"), text->text());
    if (!folder.isEmpty())
        text->setText(folder);
    UpdateFolderWarnings();
}

void frmOptions::UpdateFolderWarnings()
{
    auto update = [](QCheckBox* chk, QLineEdit* text, QWidget* warning) {
        const bool missing = chk->isChecked() && !FolderExists(text->text());
        warning->setVisible(missing);
        QPalette palette = text->palette();
        palette.setColor(QPalette::Text, missing ? QColor(255, 0, 0) : text->style()->standardPalette().color(QPalette::Text));
        text->setPalette(palette);
    };
    update(m_chkOpen, m_txtOpen, m_warnOpen);
    update(m_chkSave, m_txtSave, m_warnSave);
}

void frmOptions::SaveOptions()
{
    if (m_portListFilled && m_port->currentIndex() >= 0)
        modRegistry::SaveCommPort(qint16(m_port->currentData().toInt()));
    SaveFolderSettings();
    modRegistry::SaveMode(m_mode->currentIndex());
}

void frmOptions::SaveFolderSettings()
{
    const RegKey key = modRegistry::OpenRegKey(modRegistry::HKeyCurrentUser, modRegistry::ProgramKeyPath(), true);
    if (!key)
        return;
    auto flag = [](QCheckBox* chk) { return chk->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); };
    modRegistry::SetRegValue(key, QStringLiteral("FileOpenLocationAlways"), flag(m_chkOpen));
    if (!m_txtOpen->text().isEmpty())
        modRegistry::SetRegValue(key, QStringLiteral("FileOpenLocation"), m_txtOpen->text());
    const QString save = m_txtSave->text();
    if (!save.isEmpty()) {
        bool store = FolderExists(save);
        if (!store && extra::LangMsgBox(95, platform::MsgStyle::YesNo | platform::MsgStyle::Question, {save})
                          == platform::MsgResult::Yes) {
            modDiv::CreateFolderPath(save);
            store = FolderExists(save);
            if (!store)
                extra::LangMsgBox(96, platform::MsgStyle::Exclamation, {save});
        }
        if (store) {
            modRegistry::SetRegValue(key, QStringLiteral("FileSaveLocationAlways"), flag(m_chkSave));
            modRegistry::SetRegValue(key, QStringLiteral("FileSaveLocation"), save);
        }
    } else {
        modRegistry::SetRegValue(key, QStringLiteral("FileSaveLocationAlways"), QStringLiteral("0"));
        modRegistry::SetRegValue(key, QStringLiteral("FileSaveLocation"), QString());
    }
    modRegistry::CloseRegKey(key);
}
