// Command dispatch and the document commands of the main window: new, open, save, recent files.
#include "app/frame/frmMain.h"

#include "app/frame/RunReason.h"
#include "app/frame/frmFileVersionConflict.h"
#include "app/pages/common/PageCommon.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "app/services/modRegistry.h"
#include "datamodel/XelObject.h"
#include "platform/FileDialogs.h"
#include "platform/FileIdentity.h"
#include "platform/MessagePresenter.h"
#include "platform/RegularFile.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>

#include <functional>

namespace {

const QString kProgramTitle = QStringLiteral("Quarno Q2");
const QString kFileFilter = QStringLiteral("Quarno Files (*.qrn)|*.qrn|All files (*.*)|*.*");
// A name typed without one gets it, so the Open dialog's filter shows the file.
const QString kFileSuffix = QStringLiteral("QRN");

using namespace platform::MsgStyle;
using platform::MsgResult::Cancel;
using platform::MsgResult::Yes;

bool ShiftHeld() { return modDiv::KeysDown(modDiv::VkShift); }

// "major.minor" of the library, without its revision.
QString LibraryVersion(const XelObject& setup) { return extra::BeforeLast(setup.Version(), QStringLiteral(".")); }

// The major number of a version text is above zero.
bool MajorAboveZero(const QString& version) { return extra::CompareVersions(version, QStringLiteral("1.0")) >= 0; }

QString FileNamePart(const QString& path) { return QFileInfo(path).fileName(); }

QString FolderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

// Two names the system opens as one file (through a link, say) are one file; names of no file
// yet are compared as the system would take them.
bool SameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    platform::FileStamp first, second;
    platform::FileIdentity& identity = platform::FileIdentity::Instance();
    if (identity.Stamp(a, first) && identity.Stamp(b, second))
        return first.device == second.device && first.inode == second.inode;
    return platform::FullFileName(a) == platform::FullFileName(b);
}

} // namespace

// ---- dispatch ------------------------------------------------------------------------

void frmMain::ToolClick(const QString& key)
{
    if (m_commandBusy) {
        platform::MessagePresenter::Instance().Beep();
        return;
    }
    extra::ShowStatusMessage(0);
    pagecommon::ScopedFlag busy(m_commandBusy, true);
    // A settings notice said while the command runs would be replaced at once by the
    // command's own status text: it follows that text instead.
    const QString noticeBefore = platform::SettingsStore::Instance().Notice();
    MainState& s = m_state;
    try {
        if (key == QLatin1String("new")) {
            CmdNew();
        } else if (key == QLatin1String("open")) {
            CmdOpen();
        } else if (key == QLatin1String("save")) {
            CmdSave(false);
        } else if (key == QLatin1String("saveas")) {
            CmdSave(true);
        } else if (key == QLatin1String("close")) {
            CmdClose();
        } else if (key == QLatin1String("email")) {
            CmdEmail();
        } else if (key == QLatin1String("exportastext")) {
            if (m_ops.CmdExportAsText)
                m_ops.CmdExportAsText(s);
        } else if (key == QLatin1String("print")) {
            CmdPrint(ShiftHeld());
        } else if (key.size() == 5 && key.startsWith(QLatin1String("file")) && key.at(4) >= QLatin1Char('1')
                   && key.at(4) <= QLatin1Char('4')) {
            const QString path = RecentFilePath(key.at(4).digitValue());
            if (!path.isEmpty() && !OpenSetupByName(path))
                RemoveRecentFile(key);
        } else if (key == QLatin1String("exit")) {
            pagecommon::ScopedFlag exiting(m_exitRequested, true);
            close();
        } else if (key == QLatin1String("load")) {
            CmdLoad();
        } else if (key == QLatin1String("transmit")) {
            if (m_ops.DoFileTransmit)
                m_ops.DoFileTransmit(s);
        } else if (key == QLatin1String("retrievelog")) {
            if (m_ops.CmdRetrieveLog)
                m_ops.CmdRetrieveLog(s);
        } else if (key == QLatin1String("commport")) {
            ShowCommSetupCancelled();
        } else if (key == QLatin1String("idnumber")) {
            if (s.mainPage) {
                s.mainPage->ShowIDNumber();
                s.mainPage->UpdateIDNumberLabel();
            }
        } else if (key == QLatin1String("clock")) {
            if (m_ops.CmdClock)
                m_ops.CmdClock(s);
        } else if (key == QLatin1String("options")) {
            if (m_ops.CmdOptions)
                m_ops.CmdOptions(s);
        } else if (key == QLatin1String("deletelog")) {
            if (m_ops.CmdDeleteLog)
                m_ops.CmdDeleteLog(s, true);
        } else if (key == QLatin1String("resetcounters")) {
            if (m_ops.CmdResetCounters)
                m_ops.CmdResetCounters(s, true);
        } else if (key == QLatin1String("counters")) {
            if (m_ops.CmdCounters)
                m_ops.CmdCounters(s, true);
        } else if (key == QLatin1String("backupsystemsettings")) {
            if (m_ops.CmdBackupSystemSettings)
                m_ops.CmdBackupSystemSettings(s);
        } else if (key == QLatin1String("contents")) {
            modDiv::ShowHelp();
        } else if (key == QLatin1String("web")) {
            modDiv::OpenWebSite();
        } else if (key == QLatin1String("about")) {
            CmdAbout();
        }
    } catch (const std::exception& e) {
        extra::ShowErrorMessage(QStringLiteral("Quarno"), 0, QString::fromLocal8Bit(e.what()),
                                QStringLiteral("actQuarno_ToolClick"), QStringLiteral("frmMain"));
    }
    ShowSettingsNotice(noticeBefore);
}

void frmMain::BandOpen(const QString& band)
{
    if (band != QLatin1String("PopupSettings"))
        return;
    const bool chord = modDiv::KeysDown(modDiv::VkControl, modDiv::VkMenu);
    m_tools.value(QStringLiteral("service"))->setEnabled(chord || m_state.ExpertMode || m_state.DebugInfo);
}

// ---- save questions ------------------------------------------------------------------

bool frmMain::QuerySave()
{
    if (ShiftHeld() || !m_setup || !m_setup->Changed())
        return true;
    const int answer = m_setup->Initialized()
        ? extra::LangMsgBox(101, YesNoCancel | Question, {m_setup->FileTitle()})
        : extra::LangMsgBox(100, YesNoCancel | Question);
    if (answer == Yes)
        return CmdSave(false);
    return answer != Cancel;
}

bool frmMain::QuerySaveOnExit(bool& cancel)
{
    if (!m_setup || !m_setup->Changed())
        return true;
    const int answer = m_setup->Initialized()
        ? extra::LangMsgBox(103, YesNoCancel | Question, {m_setup->FileTitle()})
        : extra::LangMsgBox(102, YesNoCancel | Question);
    if (answer == Yes) {
        const bool saved = CmdSave(false);
        cancel = !saved;
        return saved;
    }
    if (answer == Cancel) {
        cancel = true;
        return false;
    }
    return true;
}

// ---- new, open -----------------------------------------------------------------------

void frmMain::CmdNew()
{
    if (!QuerySave())
        return;
    pagecommon::ScopedFlag busy(m_windowBusy, true);
    pagecommon::ScopedFlag opening(m_state.OpeningSetup, true);
    MainState& s = m_state;
    if (s.switchPage) {
        s.switchPage->SetDetailsEnabled(false);
        s.switchPage->FillDigitalInputTypeCombo(0, true);
    }
    if (s.analogPage) {
        s.analogPage->FillAnalogInputTypeCombo(0, true);
        s.analogPage->SetDetailsEnabled(false);
        s.analogPage->SetSensorRangeLocked(false);
    }
    CreateDefaultSetup();
}

void frmMain::CmdClose()
{
    // The save question reads the setup: the focused box commits first, as leaving it would.
    if (pagecommon::CommitFocusedEntry(this))
        return;
    CmdNew();
}

bool frmMain::ShowOpenDialog(QString& path)
{
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Open setup file");
    request.filter = kFileFilter;
    request.flags = platform::FileDialogRequest::OverwritePrompt;
    request.initialFolder = modRegistry::GetFileOpenLocation();
    if (!platform::FileDialogs::Instance().ShowOpen(this, request) || request.fileName.isEmpty())
        return false;
    path = request.fileName;
    modRegistry::SaveFileOpenLocation(FolderOf(path));
    return true;
}

void frmMain::CmdOpen()
{
    if (!QuerySave())
        return;
    pagecommon::ScopedFlag opening(m_state.OpeningSetup, true);
    QString path;
    if (!ShowOpenDialog(path))
        return;
    OpenSetupFile(path, OpenRoad::Dialog);
}

bool frmMain::OpenSetupByName(const QString& path)
{
    if (!QuerySave())
        return true;
    pagecommon::ScopedFlag opening(m_state.OpeningSetup, true);
    return OpenSetupFile(path, OpenRoad::ByName);
}

// Every road that opens a setup file comes here. The file is read into a document of its
// own; the open setup, its file name and its changed state stay as they were unless the file
// loaded and is not newer than the program. A newer file is never shown: a save would write
// this program's defaults over it.
bool frmMain::OpenSetupFile(const QString& path, OpenRoad road)
{
    pagecommon::ScopedFlag busy(m_windowBusy, true);
    bool result = false;
    {
        pagecommon::WaitCursor wait;
        extra::ShowStatusMessage(230, {FileNamePart(path)});
        std::unique_ptr<::XelObject> doc = NewDefaultDocument();
        const bool loaded = !path.isEmpty() && doc->LoadFile(path);
        const QString fileVersion = doc->FileVersion();
        const QString library = LibraryVersion(*doc);
        // A file that did not load is newer only by its major number (a damaged 2.16 file is
        // just damaged); one that loaded, by major and minor. A foreign file has no version.
        auto major = [](const QString& version) {
            return extra::NumericPrefix(extra::BeforeFirst(version, QStringLiteral(".")));
        };
        const bool newer = doc->FileVersionType() == QLatin1String("QRN") && MajorAboveZero(fileVersion)
            && (loaded ? extra::CompareVersions(fileVersion, library) > 0 : major(fileVersion) > major(library));
        auto tell = [](const std::function<void()>& show) {
            QApplication::restoreOverrideCursor();
            show();
            QApplication::setOverrideCursor(Qt::WaitCursor);
        };
        if (loaded && !newer) {
            ReplaceSetup(std::move(doc));
            MainState& s = m_state;
            if (extra::CompareVersions(fileVersion, QStringLiteral("2.9")) < 0 && s.mainPage) {
                s.mainPage->SetClassifiedTag(QStringLiteral("0"));
                s.mainPage->UpdateClassifiedCheck(false);
            }
            QString title = m_setup->FileTitle();
            if (modDiv::FileIsReadOnly(m_setup->Filename()))
                title += QStringLiteral(" (Read-Only)");
            UpdateCaption(title);
            if (road == OpenRoad::Dialog) {
                const QString shown = m_setup->Filename().isEmpty() ? QStringLiteral("?") : FileNamePart(path);
                extra::ShowStatusMessage(229, {shown, fileVersion});
            }
            if (ShowSetup() && !m_setup->Filename().isEmpty()) {
                // A run without a window leaves the recent list alone.
                if (road != OpenRoad::Windowless)
                    AddRecent(m_setup->Filename());
                result = true;
                if (extra::CompareVersions(library, fileVersion) > 0)
                    extra::ShowStatusMessage(231, {FileNamePart(path), fileVersion});
                else
                    extra::ShowStatusMessage(232, {FileNamePart(path)});
            }
        } else if (newer) {
            const QString text = extra::GetLangString(199, {library, fileVersion});
            // A window of its own, not a message box: a run without a window names it.
            NoteRunEnd(RunReason::Quoted(text));
            tell([&] {
                frmFileVersionConflict notice(this);
                notice.Init(text);
                ShowModal(notice);
            });
            extra::ShowStatusMessage(233);
        } else if (road == OpenRoad::Dialog && doc->FileVersionType() != QLatin1String("QRN")) {
            tell([&] { extra::LangMsgBox(94, Exclamation, {path}); });
        } else {
            if (road != OpenRoad::Dialog)
                tell([&] { extra::LangMsgBox(104, Exclamation, {path}); });
            extra::ShowStatusMessage(233);
        }
    }
    if (m_state.mainPage) {
        m_state.mainPage->UpdateClassifiedInfo();
        m_state.mainPage->UpdateClassifiedCheck(false);
    }
    return result;
}

// ---- save ----------------------------------------------------------------------------

void frmMain::SetUserPanel()
{
    const QString user = extra::GetWindowsUserName();
    SetPanelText(QStringLiteral("USER"), QStringLiteral("  ") + user);
    SetPanelVisible(QStringLiteral("USER"), !user.isEmpty());
}

bool frmMain::CmdSave(bool saveAs)
{
    pagecommon::ScopedFlag busy(m_windowBusy, true);
    if (!ValidateCurrentPage(m_state, CurrentTab()))
        return false;
    if (saveAs) {
        if (!ShowSaveAsDialog()) {
            extra::ShowStatusMessage(260);
            return false;
        }
        AddRecent(m_setup->Filename());
        extra::ShowStatusMessage(234, {m_setup->FileTitle()});
        SetUserPanel();
        return true;
    }
    if (!ConfirmNewFormat())
        return false;
    if (!WriteSetupFile()) {
        extra::ShowStatusMessage(260);
        return false;
    }
    AddRecent(m_setup->Filename());
    extra::ShowStatusMessage(261, {m_setup->FileTitle()});
    SetUserPanel();
    return true;
}

bool frmMain::ConfirmNewFormat()
{
    const QString fileVersion = m_setup->FileVersion();
    if (MajorAboveZero(fileVersion) && extra::CompareVersions(fileVersion, LibraryVersion(*m_setup)) < 0)
        return extra::LangMsgBox(196, OKCancel | Question, {fileVersion}) != Cancel;
    return true;
}

bool frmMain::ConfirmDroppingUnreadData()
{
    if (!m_setup->HoldsUnreadBytes())
        return true;
    return extra::LangMsgBox(197, YesNo | Question | DefaultButton2, {m_setup->FileTitle()}) == Yes;
}

bool frmMain::WriteSetupFile()
{
    bool result = false;
    if (m_setup->Initialized()) {
        // Looked at before anything here touches the file (clearing its read-only flag moves its
        // change time): another window's save is never replaced without a word.
        if (m_setup->FileChangedElsewhere()
            && extra::LangMsgBox(146, YesNo | Question | DefaultButton2, {m_setup->FileTitle()}) != Yes)
            return false;
        int answer = Yes;
        const QString path = m_setup->Filename();
        if (!modDiv::ClearReadOnlyAsked(path, m_setup->FileTitle()))
            answer = platform::MsgResult::No;
        if (!ShiftHeld() && !m_state.ExpertMode
            && extra::CompareVersions(m_setup->FileVersion(), QStringLiteral("2.0")) < 0) {
            answer = extra::LangMsgBox(106, YesNoCancel | Question, {m_setup->FileVersion()});
        }
        if (answer == Cancel)
            return false;
        if (answer != Yes) {
            // The user keeps the original file: the new name must not be that file.
            result = ShowSaveAsDialog(true);
        } else if (ConfirmDroppingUnreadData() && modDiv::CanWriteFile(path)) {
            pagecommon::WaitCursor wait;
            result = m_setup->SaveFile(QString());
        }
    } else {
        platform::FileDialogRequest request;
        request.title = QStringLiteral("Save ") + kProgramTitle + QStringLiteral(" File");
        request.filter = kFileFilter;
        request.flags = platform::FileDialogRequest::OverwritePrompt;
        request.defaultSuffix = kFileSuffix;
        request.initialFolder = modRegistry::GetFileSaveLocation();
        if (!platform::FileDialogs::Instance().ShowSave(this, request) || request.fileName.isEmpty())
            return false;
        const QString path = request.fileName;
        if (!modDiv::ClearReadOnlyAsked(path, path) || !modDiv::CanWriteFile(path))
            return false;
        {
            pagecommon::WaitCursor wait;
            result = m_setup->SaveFile(path);
        }
        modRegistry::SaveFileSaveLocation(FolderOf(path));
    }
    if (result)
        UpdateCaption(m_setup->FileTitle());
    return result;
}

bool frmMain::ShowSaveAsDialog(bool keepOriginal)
{
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Save ") + kProgramTitle + QStringLiteral(" File As");
    request.filter = kFileFilter;
    request.flags = platform::FileDialogRequest::OverwritePrompt;
    request.defaultSuffix = kFileSuffix;
    request.fileName = m_setup->Filename();
    request.initialFolder = modRegistry::GetFileSaveLocation();
    if (!platform::FileDialogs::Instance().ShowSave(this, request) || request.fileName.isEmpty())
        return false;
    const QString path = request.fileName;
    if (keepOriginal && SameFile(path, m_setup->Filename()))
        return false;
    if (SameFile(path, m_setup->Filename()) && !ConfirmDroppingUnreadData())
        return false;
    if (!modDiv::ClearReadOnlyAsked(path, path) || !modDiv::CanWriteFile(path))
        return false;
    const bool saved = m_setup->SaveFile(path);
    if (saved)
        UpdateCaption(m_setup->FileTitle());
    modRegistry::SaveFileSaveLocation(FolderOf(path));
    return saved;
}

// ---- recent files and caption --------------------------------------------------------

QString frmMain::FullPath(const QString& typed) { return platform::FullFileName(typed); }

void frmMain::AddRecent(const QString& typed)
{
    // A name relative to the folder of this start ("-f x.QRN") would fail from any other.
    const QString path = FullPath(typed);
    // Already first: nothing to rewrite in the settings.
    if (RecentFileVisible(1) && RecentFilePath(1) == path)
        return;
    modDiv::AddRecentFile(path);
}

void frmMain::RemoveRecentFile(const QString& key)
{
    const int n = key.right(1).toInt();
    if (n < 1 || n > 4)
        return;
    int last = n;
    for (int i = n; i <= 3; ++i) {
        if (!RecentFileVisible(i + 1))
            break;
        SetRecentFilePath(i, RecentFilePath(i + 1));
        SetRecentFileCaption(i, modDiv::RecentFileCaption(i, RecentFilePath(i + 1)));
        last = i + 1;
    }
    SetRecentFileVisible(last, false);
    SetRecentFilePath(last, QString());
    SetRecentFileCaption(last, QString());
    modRegistry::SaveFileList();
}

QString frmMain::RecentFileCaption(int n) const
{
    const QAction* tool = m_tools.value(QStringLiteral("file%1").arg(n));
    return tool ? tool->text() : QString();
}

void frmMain::SetRecentFileCaption(int n, const QString& caption)
{
    if (QAction* tool = m_tools.value(QStringLiteral("file%1").arg(n)))
        tool->setText(caption);
}

QString frmMain::RecentFilePath(int n) const
{
    return n >= 1 && n <= 4 ? m_recentPaths.at(n - 1) : QString();
}

void frmMain::SetRecentFilePath(int n, const QString& path)
{
    if (n >= 1 && n <= 4)
        m_recentPaths[n - 1] = path;
}

bool frmMain::RecentFileVisible(int n) const
{
    const QAction* tool = m_tools.value(QStringLiteral("file%1").arg(n));
    return tool && tool->isVisible();
}

void frmMain::SetRecentFileVisible(int n, bool visible)
{
    if (QAction* tool = m_tools.value(QStringLiteral("file%1").arg(n)))
        tool->setVisible(visible);
}

void frmMain::UpdateCaption(const QString& title)
{
    if (title.isEmpty()) {
        setWindowTitle(kProgramTitle);
        SetPanelVisible(QStringLiteral("RO"), false);
    } else {
        setWindowTitle(kProgramTitle + QStringLiteral(" - ") + title);
        SetPanelVisible(QStringLiteral("RO"), m_setup && modDiv::FileIsReadOnly(m_setup->Filename()));
    }
    m_tools.value(QStringLiteral("close"))->setEnabled(!title.trimmed().isEmpty());
}
