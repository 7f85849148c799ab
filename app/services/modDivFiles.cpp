// Recent files, help, web page, file attributes and folders.
#include "app/services/modDiv.h"

#include "app/services/MainWindowServices.h"
#include "extra/extra.h"
#include "app/services/modRegistry.h"
#include "platform/FileAttributes.h"
#include "platform/FileDialogs.h"
#include "platform/MessagePresenter.h"
#include "platform/ProgramLocation.h"
#include "platform/Shell.h"

#include <QDir>

namespace modDiv {

namespace {

const QString kHelpFile = QStringLiteral("QUARNO.HLP");

bool IsSeparator(QChar ch)
{
    return ch == QLatin1Char('\\') || ch == QLatin1Char('/');
}

// The separator a path is written with: "/" only when it holds no "\".
QChar SeparatorOf(const QString& path)
{
    return path.contains(QLatin1Char('/')) && !path.contains(QLatin1Char('\\')) ? QLatin1Char('/') : QLatin1Char('\\');
}

} // namespace

// ---- recent files ---------------------------------------------------------------------

QString RecentFileCaption(int n, const QString& path)
{
    // A "&" in a path is text, not an access key.
    return QLatin1Char('&') + QString::number(n) + QLatin1Char(' ') + QString(path).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void AddRecentFile(const QString& path)
{
    MainWindowServices* window = MainWindowServices::Instance();
    if (!window || path.trimmed().isEmpty())
        return;
    QStringList paths;
    for (int n = 1; n <= MainWindowServices::RecentFileCount; ++n)
        if (window->RecentFileVisible(n))
            paths << window->RecentFilePath(n);
    // An entry already listed moves to the top; otherwise the last one falls off.
    paths.removeOne(path);
    paths.prepend(path);
    while (paths.size() > MainWindowServices::RecentFileCount)
        paths.removeLast();
    for (int n = 1; n <= paths.size(); ++n) {
        window->SetRecentFilePath(n, paths.at(n - 1));
        window->SetRecentFileCaption(n, RecentFileCaption(n, paths.at(n - 1)));
        window->SetRecentFileVisible(n, true);
    }
    modRegistry::SaveFileList();
}

// ---- help and web page ----------------------------------------------------------------

void ShowHelp(int context)
{
    MainWindowServices* window = MainWindowServices::Instance();
    QWidget* owner = window ? window->MainWindow() : nullptr;
    const QString beside = platform::ProgramLocation::Instance().PathOf(kHelpFile);
    // Not beside the program: the platform looks for it.
    const bool there = platform::FileAttributes::Instance().Exists(beside);
    const QString file = there ? beside : kHelpFile;
    const bool shown = context > 0 ? platform::Shell::Instance().ShowHelpTopic(owner, file, context)
                                   : platform::Shell::Instance().ShowHelpIndex(owner, file);
    // Nothing else would tell the user why no help came.
    if (!shown)
        extra::ShowStatusMessage(there ? 263 : 262, {QDir::toNativeSeparators(beside)});
}

void OpenWebSite()
{
    QString address;
    const modRegistry::RegKey key =
        modRegistry::OpenRegKey(modRegistry::HKeyCurrentUser, modRegistry::ProgramKeyPath(), false);
    if (key != 0) {
        address = modRegistry::GetRegValue(key, QStringLiteral("WebSite")).trimmed();
        modRegistry::CloseRegKey(key);
    }
    if (address.isEmpty())
        address = QString::fromUtf16(kDefaultWebSite);
    if (!platform::Shell::Instance().OpenDocument(address))
        extra::ShowStatusMessage(264, {address});
}

// ---- files and folders ----------------------------------------------------------------

bool FileIsReadOnly(const QString& path)
{
    return !path.isEmpty() && platform::FileAttributes::Instance().IsReadOnly(path);
}

bool CanWriteFile(const QString& path)
{
    if (path.trimmed().isEmpty())
        return false;
    platform::FileAttributes& files = platform::FileAttributes::Instance();
    if (!files.Exists(path))
        return true;
    const bool readOnly = files.IsReadOnly(path);
    if (readOnly)
        files.SetReadOnly(path, false);
    const bool canWrite = files.TryOpenExclusive(path);
    // The check leaves the file as it found it, whatever its outcome.
    if (readOnly)
        files.SetReadOnly(path, true);
    return canWrite;
}

bool ClearReadOnlyAsked(const QString& path, const QString& shown)
{
    platform::FileAttributes& files = platform::FileAttributes::Instance();
    if (!files.Exists(path) || !files.IsReadOnly(path))
        return true;
    using namespace platform::MsgStyle;
    if (extra::LangMsgBox(189, YesNo | Question | DefaultButton2, {shown}) != platform::MsgResult::Yes)
        return false;
    files.SetReadOnly(path, false);
    return true;
}

QString BrowseForFolder(QWidget* owner, const QString& title, const QString& startFolder)
{
    QString start = startFolder;
    if (start.endsWith(QLatin1Char('\\')))
        start = extra::BeforeLast(start, QStringLiteral("\\"));
    else if (start.size() > 1 && start.endsWith(QLatin1Char('/')))
        start.chop(1);
    const QString chosen = platform::FileDialogs::Instance().BrowseForFolder(owner, title, start);
    return extra::StripNull(chosen + QChar(0), true);
}

QStringList FolderPathLevels(const QString& path)
{
    QStringList levels;
    if (path.trimmed().isEmpty())
        return levels;
    const QChar sep = SeparatorOf(path);
    QString start;
    QString rest = path;
    if (path.contains(QLatin1Char(':'))) {
        // The drive part up to and including its separator is taken over unchanged.
        qsizetype i = 0;
        while (i < path.size() && !IsSeparator(path.at(i)))
            ++i;
        start = path.left(i + 1);
        if (i >= path.size())
            start += sep;
        rest = path.mid(i + 1);
    } else {
        // A root or network path keeps its leading separators.
        qsizetype i = 0;
        while (i < path.size() && IsSeparator(path.at(i)))
            ++i;
        start = path.left(i);
        rest = path.mid(i);
    }
    QString level = start;
    QString part;
    for (qsizetype i = 0; i <= rest.size(); ++i) {
        if (i == rest.size() || IsSeparator(rest.at(i))) {
            if (!part.isEmpty()) {
                level += part + sep;
                levels << level;
            }
            part.clear();
        } else {
            part += rest.at(i);
        }
    }
    return levels;
}

void CreateFolderPath(const QString& path)
{
    // A level that exists already simply fails and the walk goes on.
    QDir dir;
    for (const QString& level : FolderPathLevels(path))
        dir.mkdir(level);
}

} // namespace modDiv
