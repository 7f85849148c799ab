// The main window's side of the unit transfers, printing, e-mail and the small dialogs.
#include "app/frame/frmMain.h"

#include "app/frame/frmAbout.h"
#include "app/frame/frmCommSetup.h"
#include "app/frame/frmOptions.h"
#include "app/frame/RunReason.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/general/frmBackupSystemSettings.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "app/services/modRegistry.h"
#include "app/unitops/UnitNotFound.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelEnums.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "platform/Display.h"
#include "platform/Mailer.h"
#include "platform/MessagePresenter.h"
#include "platform/SystemInfo.h"

#include <QAction>
#include <QFileInfo>

namespace {

const QString kProgramTitle = QStringLiteral("Quarno Q2");
const QString kDebugFirmware = QStringLiteral("4.47");

using namespace platform::MsgStyle;
using platform::MsgResult::Yes;

int Ask(const QString& text, int style)
{
    return platform::MessagePresenter::Instance().Show(text, style, kProgramTitle);
}

} // namespace

// ---- receive -------------------------------------------------------------------------

void frmMain::CmdLoad()
{
    if (!QuerySave())
        return;
    extra::ShowStatusMessage(220);
    if (!ReceiveSetupFromUnit()) {
        extra::ShowStatusMessage(224);
        return;
    }
    {
        pagecommon::ScopedFlag busy(m_windowBusy, true);
        pagecommon::ScopedFlag opening(m_state.OpeningSetup, true);
        UpdateCaption(QString());
        ShowSetup();
        if (m_state.mainPage)
            m_state.mainPage->SetLastKnownStatusText(m_state.mainPage->FormatLastKnownStatus());
    }
    extra::ShowStatusMessage(222);
}

bool frmMain::ReceiveSetupFromUnit()
{
    bool fromLog = false;
    bool swapWords = false;
    if (m_state.DebugInfo) {
        swapWords = modDiv::KeysDown(int('H'));
        fromLog = Ask(QStringLiteral("Read Log file, not Control Unit?"), YesNo | Question) == Yes;
    }
    // The unit's image goes into a document of its own; the open setup is replaced only by a
    // complete, verified receive.
    std::unique_ptr<::XelObject> doc = NewDefaultDocument();
    ::XelObject* previous = m_state.XelObject();
    bool received = false;
    {
        m_state.SetXelObject(doc.get());
        struct Restore {
            MainState& state;
            ::XelObject* previous;
            ~Restore() { state.SetXelObject(previous); }
        } restore{m_state, previous};
        if (fromLog) {
            received = m_ops.OpenSetupLog && m_ops.OpenSetupLog(m_state, swapWords);
        } else if (!m_ops.DetectUnit || !m_ops.DetectUnit()) {
            unitops::ShowUnitNotFound();
        } else if (modRegistry::GetCommPort() == 0 && ShowCommSetupCancelled()) {
            received = false;
        } else {
            received = m_ops.RunSetupTransfer && m_ops.RunSetupTransfer(m_state, 1, QString());
        }
    }
    if (received)
        ReplaceSetup(std::move(doc));
    if (m_state.DebugComm)
        Ask(QStringLiteral("FileLoad exit"), OKOnly);
    return received;
}

// ---- transmit ------------------------------------------------------------------------

bool frmMain::CheckChannelDescriptions()
{
    QStringList missing;
    for (XelDigitalIn* input : *m_setup->DigitalIn()) {
        if (input && input->Active() && input->Text().trimmed().isEmpty())
            missing << QStringLiteral("Digital Input ") + QString::number(input->Index());
    }
    for (XelAnalogIn* input : *m_setup->AnalogIn()) {
        if (input && input->Active() && input->Text().trimmed().isEmpty())
            missing << QStringLiteral("Analog Input ") + QString::number(input->Index());
    }
    if (missing.isEmpty())
        return true;
    return extra::LangMsgBox(131, YesNo | Question | DefaultButton2, {missing.join(QStringLiteral("\r\n"))}) == Yes;
}

bool frmMain::TransmitSetupToUnit() { return TransmitSetupToUnitFor(QString()); }

bool frmMain::TransmitSetupToUnitFor(const QString& firmwareRead)
{
    QString firmware = firmwareRead;
    if (m_state.DebugInfo)
        firmware = kDebugFirmware;
    else if (firmware.isEmpty())
        firmware = m_ops.ReadUnitVersion ? m_ops.ReadUnitVersion(true) : QStringLiteral("N/A");
    if (!m_setup->CreateSetup(firmware)) {
        NoteRunEnd(QStringLiteral("the unit image could not be built: ") + m_setup->SetupError());
        return false;
    }
    if (m_state.DebugInfo && extra::LangMsgBox(178, YesNo | Question, {kProgramTitle}) == Yes && m_ops.SaveSetupLog)
        m_ops.SaveSetupLog(m_state);
    if (modRegistry::GetCommPort() == 0 && ShowCommSetupCancelled()) {
        NoteRunEnd(RunReason::PortDialogCancelled());
        return false;
    }
    if (!m_ops.DetectUnit || !m_ops.DetectUnit()) {
        // The port and device tried go with message 140.
        NoteRunEnd(unitops::UnitNotFoundStatus());
        unitops::ShowUnitNotFound();
        return false;
    }
    if (!modDiv::KeysDown(modDiv::VkShift, int('B'), int('N'))) {
        const bool propulsionUnit = m_ops.IsPropulsionUnit && m_ops.IsPropulsionUnit();
        if (propulsionUnit != m_state.PROPULSION) {
            extra::LangMsgBox(m_state.PROPULSION ? 125 : 124, Exclamation);
            return false;
        }
    }
    extra::ShowStatusMessage(221);
    const bool hadUnsavedChanges = m_setup->Changed();
    m_transferEnd.clear();
    const int shownBefore = m_runReason ? m_runReason->Shown() : 0;
    const bool sent = m_ops.RunSetupTransfer && m_ops.RunSetupTransfer(m_state, 0, firmware);
    if (!sent) {
        // The dialog tells most failures in its own summary, not in a box.
        if (m_runReason && m_runReason->Shown() == shownBefore)
            NoteRunEnd(m_transferEnd.isEmpty() ? QStringLiteral("the transfer ended without success") : m_transferEnd);
        return false;
    }
    // Only a verified transmit is recorded; a file holding nothing else unsaved keeps the record
    // and its modification time. A file of an older format is left to the user's save, which
    // asks before converting it, and so is a file with bytes this program did not read or one
    // changed on disk since it was read (another window's save would be lost unseen).
    m_setup->Main()->RecordTransfer(MainFirmwareDirection::ToECX, firmware, platform::SystemInfo::Instance().Now());
    if (!hadUnsavedChanges && m_setup->TransferRecordSavable() && modDiv::CanWriteFile(m_setup->Filename())
        && !m_setup->SaveKeepingFileTime()) {
        // The transmit's own status follows: the failed save needs a message of its own. The
        // setup stays changed, so Exit asks.
        extra::LangMsgBox(190, Exclamation, {m_setup->FileTitle(), m_setup->Filename()});
    }
    return true;
}

// ---- print ---------------------------------------------------------------------------

void frmMain::CmdPrint(bool direct, bool* printed)
{
    // The report checks the page on show, refreshes the relay lists and says what it printed.
    const bool done = m_ops.PrintSetup && m_ops.PrintSetup(m_state, direct);
    if (printed)
        *printed = done;
}

// ---- e-mail --------------------------------------------------------------------------

void frmMain::CheckMailProfile()
{
    m_tools.value(QStringLiteral("email"))->setEnabled(platform::Mailer::Instance().Available());
}

bool frmMain::CmdEmail()
{
    // The mail takes the setup out of the program: the page is checked first, as for Save.
    if (!ValidateCurrentPage(m_state, CurrentTab()))
        return false;
    if (m_setup->Initialized()) {
        if (m_setup->Changed()
            && extra::LangMsgBox(133, YesNo | Question, {m_setup->FileTitle()}) != Yes)
            return false;
    } else if (extra::LangMsgBox(132, YesNo | Question) != Yes) {
        return false;
    }
    // The attachment is the file saved now: an older file is converted only when the user agrees.
    if (m_setup->Initialized() && !ConfirmNewFormat())
        return false;
    extra::ShowStatusMessage(250);
    bool saved = false;
    {
        pagecommon::WaitCursor wait;
        saved = WriteSetupFile();
    }
    if (!saved) {
        extra::ShowStatusMessage(251);
        return false;
    }
    pagecommon::WaitCursor wait;
    extra::ShowStatusMessage(252);
    platform::MailMessage message;
    message.subject = kProgramTitle + QStringLiteral(" Project");
    message.body = kProgramTitle + QStringLiteral(" Project file attached");
    message.attachmentPath = m_setup->Filename();
    message.attachmentName = QFileInfo(m_setup->Filename()).fileName();
    extra::ShowStatusMessage(257);
    if (!platform::Mailer::Instance().Compose(message)) {
        extra::ShowStatusMessage(254);
        QApplication::restoreOverrideCursor();
        extra::LangMsgBox(174, Exclamation);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return false;
    }
    extra::ShowStatusMessage(253);
    return true;
}

// ---- small dialogs -------------------------------------------------------------------

void frmMain::CmdAbout()
{
    frmAbout about(nullptr);
    {
        pagecommon::WaitCursor wait;
        about.SetQRNVersion(m_setup->Version());
        if (m_ops.ReadUnitVersion)
            about.SetVersionReader(m_ops.ReadUnitVersion);
    }
    about.setWindowIcon(WindowIcon());
    about.exec();
}

bool frmMain::ShowCommSetupCancelled()
{
    if (platform::Display::Unwatched())
        return true;
    frmCommSetup dialog(nullptr);
    dialog.setWindowIcon(WindowIcon());
    dialog.exec();
    return dialog.Cancelled();
}

int frmMain::ShowModal(QDialog& dialog)
{
    // Where nobody sees the screen, a window would wait for ever: it counts as closed at once.
    if (platform::Display::Unwatched())
        return QDialog::Rejected;
    return dialog.exec();
}

void frmMain::ShowBackupSystemSettings()
{
    frmBackupSystemSettings dialog(m_state, this);
    dialog.SetXelObject(m_setup.get());
    dialog.InitSettings();
    dialog.setWindowIcon(WindowIcon());
    ShowModal(dialog);
}

void frmMain::ShowOptions()
{
    frmOptions dialog(this);
    dialog.setWindowIcon(WindowIcon());
    dialog.exec();
}
