#include "app/services/modRegistry.h"
#include "app/services/modDiv.h"

#include "app/services/MainWindowServices.h"
#include "extra/extra.h"
#include "platform/ProgramLocation.h"
#include "platform/SettingsStore.h"

#include <QFileInfo>
#include <QSet>
#include <QStringList>

#include <functional>
#include <limits>
#include <map>

namespace modRegistry {

namespace {

const QString kFileListKey = QStringLiteral("FileList");

// Open keys: handle -> the key's path inside the settings store ("" is the program's key,
// "FileList" its subkey).
std::map<RegKey, QString>& OpenKeys()
{
    static std::map<RegKey, QString> keys;
    return keys;
}

RegKey g_nextHandle = 1;

// Keys created during this run that hold no value yet; the store only knows keys by their values.
// They belong to the store they were created in.
QSet<QString>& CreatedKeys()
{
    static QSet<QString> keys;
    static const platform::SettingsStore* owner = nullptr;
    const platform::SettingsStore* current = &platform::SettingsStore::Instance();
    if (current != owner) {
        keys.clear();
        owner = current;
    }
    return keys;
}

QString StoreName(const QString& keyPath, const QString& name)
{
    return keyPath.isEmpty() ? name : keyPath + QLatin1Char('/') + name;
}

// The store path of root + path; false for a key outside the program's key or a name the
// store cannot hold.
bool Resolve(RegKey root, const QString& path, QString& storePath)
{
    QStringList parts;
    for (const QString& part : path.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        if (part.contains(QLatin1Char('/')))
            return false;
        parts << part;
    }
    if (root == HKeyCurrentUser) {
        const QStringList program = ProgramKeyPath().split(QLatin1Char('\\'));
        if (parts.size() < program.size())
            return false;
        for (qsizetype i = 0; i < program.size(); ++i)
            if (parts.at(i).compare(program.at(i), Qt::CaseInsensitive) != 0)
                return false;
        parts = parts.mid(program.size());
        storePath = parts.join(QLatin1Char('/'));
        return true;
    }
    const auto it = OpenKeys().find(root);
    if (it == OpenKeys().end())
        return false;
    QStringList all;
    if (!it->second.isEmpty())
        all << it->second;
    all << parts;
    storePath = all.join(QLatin1Char('/'));
    return true;
}

bool KeyExists(const QString& storePath)
{
    if (storePath.isEmpty() || CreatedKeys().contains(storePath.toLower()))
        return true;
    return !platform::SettingsStore::Instance().ChildKeys(storePath).isEmpty();
}

RegKey NewHandle(const QString& storePath)
{
    RegKey handle = g_nextHandle++;
    if (handle == HKeyCurrentUser || handle == 0)
        handle = g_nextHandle++;
    OpenKeys().emplace(handle, storePath);
    return handle;
}

bool ValidValueName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

// The key's subkey with every value in it.
void DeleteSubKey(RegKey key, const QString& subKey)
{
    const auto it = OpenKeys().find(key);
    if (it == OpenKeys().end() || !ValidValueName(subKey))
        return;
    const QString path = StoreName(it->second, subKey);
    platform::SettingsStore::Instance().Remove(path);
    CreatedKeys().remove(path.toLower());
}

// Runs work with the program's key open and closes it again.
void WithProgramKey(bool create, const std::function<void(RegKey)>& work)
{
    const RegKey key = OpenRegKey(HKeyCurrentUser, ProgramKeyPath(), create);
    work(key);
    CloseRegKey(key);
}

QString ReadProgramValue(const QString& name)
{
    QString text;
    WithProgramKey(true, [&](RegKey key) { text = GetRegValue(key, name); });
    return text;
}

void WriteProgramValue(const QString& name, const QString& value)
{
    WithProgramKey(true, [&](RegKey key) { SetRegValue(key, name, value); });
}

// The text's numeric prefix rounded to a whole number; 0 when it does not fit between lo and hi.
qint64 WholeNumber(const QString& text, qint64 lo, qint64 hi)
{
    const qint64 value = extra::RoundHalfEven(extra::NumericPrefix(text));
    return value < lo || value > hi ? 0 : value;
}

bool FolderExists(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

} // namespace

// ---- primitives -----------------------------------------------------------------------

RegKey CreateRegKey(RegKey root, const QString& path)
{
    QString storePath;
    if (!Resolve(root, path, storePath))
        return 0;
    if (!storePath.isEmpty())
        CreatedKeys().insert(storePath.toLower());
    return NewHandle(storePath);
}

RegKey OpenRegKey(RegKey root, const QString& path, bool create)
{
    QString storePath;
    if (!Resolve(root, path, storePath))
        return 0;
    if (KeyExists(storePath))
        return NewHandle(storePath);
    return create ? CreateRegKey(root, path) : 0;
}

void CloseRegKey(RegKey key)
{
    OpenKeys().erase(key);
}

qint32 SetRegValue(RegKey key, const QString& name, const QString& value)
{
    const auto it = OpenKeys().find(key);
    if (it == OpenKeys().end())
        return RegInvalidHandle;
    if (!ValidValueName(name))
        return RegInvalidParameter;
    if (!platform::SettingsStore::Instance().SetValue(StoreName(it->second, name), value))
        return RegAccessDenied;
    return RegSuccess;
}

QString GetRegValue(RegKey key, const QString& name)
{
    const auto it = OpenKeys().find(key);
    if (it == OpenKeys().end() || !ValidValueName(name))
        return QString();
    return platform::SettingsStore::Instance().Value(StoreName(it->second, name)).value_or(QString());
}

// ---- named settings -------------------------------------------------------------------

void SaveCommPort(qint16 port)
{
    WriteProgramValue(QStringLiteral("CommPort"), QString::number(port));
}

qint16 GetCommPort()
{
    return qint16(WholeNumber(ReadProgramValue(QStringLiteral("CommPort")),
                              std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
}

void SaveWindowPos(qint32 first, qint32 second)
{
    WriteProgramValue(QStringLiteral("Pos"), QString::number(first) + QLatin1Char(',') + QString::number(second));
}

void GetWindowPos(qint32& first, qint32& second)
{
    const QString text = ReadProgramValue(QStringLiteral("Pos"));
    constexpr qint64 lo = std::numeric_limits<qint32>::min(), hi = std::numeric_limits<qint32>::max();
    first = qint32(WholeNumber(extra::BeforeFirst(text, QStringLiteral(",")), lo, hi));
    second = qint32(WholeNumber(extra::AfterFirst(text, QStringLiteral(",")), lo, hi));
}

void SaveStartedFrom()
{
    platform::ProgramLocation& program = platform::ProgramLocation::Instance();
    WriteProgramValue(QStringLiteral("StartedFrom"), program.PathOf(program.FileName()));
}

void SaveFileOpenLocation(const QString& folder)
{
    WithProgramKey(true, [&](RegKey key) {
        // A set "always" flag keeps the folder the Options dialog chose.
        if (extra::NumericPrefix(GetRegValue(key, QStringLiteral("FileOpenLocationAlways"))) == 0.0)
            SetRegValue(key, QStringLiteral("FileOpenLocation"), folder);
    });
}

QString GetFileOpenLocation()
{
    const QString folder = ReadProgramValue(QStringLiteral("FileOpenLocation"));
    return FolderExists(folder) ? folder : QString();
}

void SaveFileSaveLocation(const QString& folder)
{
    WithProgramKey(true, [&](RegKey key) {
        if (extra::NumericPrefix(GetRegValue(key, QStringLiteral("FileSaveLocationAlways"))) == 0.0)
            SetRegValue(key, QStringLiteral("FileSaveLocation"), folder);
    });
}

QString GetFileSaveLocation()
{
    const QString folder = ReadProgramValue(QStringLiteral("FileSaveLocation"));
    return FolderExists(folder) ? folder : GetFileOpenLocation();
}

void SaveInfoTemplate(const QString& location)
{
    WriteProgramValue(QStringLiteral("InfoTemplate"), location);
}

QString GetInfoTemplate()
{
    return ReadProgramValue(QStringLiteral("InfoTemplate"));
}

void SaveMode(qint32 mode)
{
    WriteProgramValue(QStringLiteral("Mode"), QString::number(mode));
}

qint32 GetMode()
{
    return qint32(WholeNumber(ReadProgramValue(QStringLiteral("Mode")),
                              std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

void SaveFileList()
{
    MainWindowServices* window = MainWindowServices::Instance();
    if (!window)
        return;
    // Rewritten whole, so the subkey mirrors the visible tools and nothing older survives.
    WithProgramKey(true, [&](RegKey key) { DeleteSubKey(key, kFileListKey); });
    const RegKey list = OpenRegKey(HKeyCurrentUser, ProgramKeyPath() + QStringLiteral("\\FileList"), true);
    for (int n = 1; n <= MainWindowServices::RecentFileCount; ++n) {
        const QString path = window->RecentFilePath(n);
        if (!window->RecentFileVisible(n) || path.trimmed().isEmpty())
            break;
        SetRegValue(list, QString::number(n), path);
    }
    CloseRegKey(list);
}

void GetFileList()
{
    MainWindowServices* window = MainWindowServices::Instance();
    const RegKey list = OpenRegKey(HKeyCurrentUser, ProgramKeyPath() + QStringLiteral("\\FileList"), true);
    for (int n = 1; window && n <= MainWindowServices::RecentFileCount; ++n) {
        const QString path = GetRegValue(list, QString::number(n));
        if (path.trimmed().isEmpty())
            break;
        window->SetRecentFileCaption(n, modDiv::RecentFileCaption(n, path));
        window->SetRecentFilePath(n, path);
        window->SetRecentFileVisible(n, true);
    }
    CloseRegKey(list);
}

} // namespace modRegistry
