// The per-user settings: a QSettings file (the registry on Windows) that is never replaced when
// it is something other than a regular file, and a run that goes on in memory once it fails.
#include "platform/FileIdentity.h"
#include "platform/InstanceSlot.h"
#include "platform/RegularFile.h"
#include "platform/SettingsStore.h"
#include "platform/StatusSink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <map>
#include <memory>

namespace platform {

namespace {

InstanceSlot<SettingsStore, QtSettingsStore> g_settings;

enum class SettingsTrouble { NotAFile, Unreadable, Damaged, NotKept };

QString TroubleText(SettingsTrouble trouble, const QString& file)
{
    const QString name = QDir::toNativeSeparators(file);
    const QString onDefaults = QStringLiteral(": Quarno Q2 runs on its default settings and does not keep changes to them.");
    switch (trouble) {
    case SettingsTrouble::NotAFile:
        return QStringLiteral("The settings file \"%1\" is not a regular file and was not read").arg(name) + onDefaults;
    case SettingsTrouble::Unreadable:
        return QStringLiteral("The settings file \"%1\" could not be read").arg(name) + onDefaults;
    case SettingsTrouble::Damaged:
        return QStringLiteral("The settings file \"%1\" is damaged and is left as it is: Quarno Q2 runs on what it "
                              "could read of it and on its default settings, and does not keep changes to them.")
            .arg(name);
    case SettingsTrouble::NotKept:
        break;
    }
    return QStringLiteral("The settings could not be saved to \"%1\": changes to them are kept only until Quarno Q2 ends.")
        .arg(name);
}

// A hand-edited INI value with an unquoted comma reads as a list.
QString SettingText(const QVariant& v)
{
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

// More than any settings file holds: read no further, as a file of junk.
constexpr qint64 kMostSettingsBytes = 16 * 1024 * 1024;

// No NUL or other control (Qt writes them escaped) but for tabs and escaped line breaks, and
// valid UTF-8 throughout.
bool IsText(QByteArrayView line)
{
    for (const char ch : line) {
        if (uchar(ch) < 0x20 && ch != '\t' && ch != '\n' && ch != '\r')
            return false;
    }
    return line.isValidUtf8();
}

// Splits an INI file into lines as Qt's reader does (a backslash escapes the next character, a
// line break too; ";" outside quotes starts a comment) and checks each: a section header closed
// by "]", a key before "=", a comment or a blank line, all of it text. Qt's reader skips what it
// cannot parse and says nothing until it writes the file without it, so this runs first.
// Sets `readable` to the lines that parse, without those of a section whose header is damaged.
bool IsWholeIni(QByteArrayView data, QByteArray& readable)
{
    bool whole = true;
    bool sectionRead = true;
    const qsizetype n = data.size();
    qsizetype i = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < n) {
        const qsizetype start = i;
        qsizetype equals = -1, comment = -1;
        bool inQuotes = false;
        for (; i < n && data[i] != '\n' && data[i] != '\r'; ++i) {
            const char ch = data[i];
            if (comment >= 0)
                continue;
            if (ch == '\\') {
                if (i + 2 < n && ((data[i + 1] == '\r' && data[i + 2] == '\n') || (data[i + 1] == '\n' && data[i + 2] == '\r')))
                    ++i;
                ++i; // the escaped character, whatever it is
            } else if (ch == '"') {
                inQuotes = !inQuotes;
            } else if (ch == '=' && equals < 0) {
                equals = i;
            } else if (ch == ';' && !inQuotes) {
                comment = i;
            }
        }
        i = qMin(i, n);
        const QByteArrayView line = data.sliced(start, i - start);
        const QByteArrayView content = data.sliced(start, (comment < 0 ? i : comment) - start).trimmed();
        while (i < n && (data[i] == '\n' || data[i] == '\r'))
            ++i;
        // A quote left open would take the next lines into its value.
        bool parsed = IsText(line) && !inQuotes;
        const bool header = content.startsWith('[');
        if (header)
            parsed = parsed && content.endsWith(']');
        else if (!content.isEmpty())
            parsed = parsed && equals >= 0 && !data.sliced(start, equals - start).trimmed().isEmpty();
        whole = whole && parsed;
        if (header)
            sectionRead = parsed;
        if (parsed && sectionRead)
            readable.append(line).append('\n');
    }
    return whole;
}

// What Qt reads of the lines that parse, each value as text.
std::map<QString, QString> ReadableValues(const QByteArray& lines)
{
    std::map<QString, QString> values;
    QTemporaryFile file;
    if (lines.isEmpty() || !file.open() || file.write(lines) != lines.size() || !file.flush())
        return values;
    const QSettings read(file.fileName(), QSettings::IniFormat);
    for (const QString& key : read.allKeys())
        values[key] = SettingText(read.value(key));
    return values;
}

} // namespace

SettingsStore::~SettingsStore() = default;
SettingsStore& SettingsStore::Instance() { return g_settings.get(); }
void SettingsStore::SetInstance(SettingsStore* store) { g_settings.current = store; }
QString SettingsStore::Notice() { return QString(); }

struct QtSettingsStore::Impl {
    QString file;                        // checked before each look; empty for the registry
    std::unique_ptr<QSettings> settings; // gone once the file is given up
    std::map<QString, QString> memory;   // the run's values from then on
    QString notice;
    FileStamp whole; // the file as last found whole, so an unchanged one is not read again

    // A pipe would block the read, and a device or folder must never be replaced: only a
    // regular file, or none yet, is touched.
    bool FileFits() const { return file.isEmpty() || IsRegularFile(file) || !QFileInfo::exists(file); }

    template <class... Args>
    void Open(Args&&... args)
    {
        if (!FileFits())
            return GiveUp(SettingsTrouble::NotAFile, false);
        if (!FileIsWhole())
            return;
        settings = std::make_unique<QSettings>(std::forward<Args>(args)...);
        Checked(false);
    }

    // A file the program cannot read whole is never handed to QSettings again, which would write
    // it back without what it could not read: the run goes on with what it could.
    bool FileIsWhole()
    {
        FileStamp now;
        if (file.isEmpty() || !FileIdentity::Instance().Stamp(file, now))
            return true; // none yet: the first write makes it
        if (now == whole)
            return true;
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly)) {
            GiveUp(SettingsTrouble::Unreadable, false);
            return false;
        }
        const QByteArray data = in.read(kMostSettingsBytes);
        if (in.error() != QFileDevice::NoError) {
            GiveUp(SettingsTrouble::Unreadable, false);
            return false;
        }
        QByteArray readable;
        if (!in.atEnd() || !IsWholeIni(data, readable)) {
            settings.reset(); // nothing pending: every write was synced at once
            memory = ReadableValues(readable);
            GiveUp(SettingsTrouble::Damaged, false);
            return false;
        }
        whole = now;
        return true;
    }

    // True while the file serves. It is reloaded when it changed on disk (a port mapping edited
    // by hand, say); that costs one stat when it did not.
    bool Reload()
    {
        if (!settings)
            return false;
        if (!FileFits()) {
            GiveUp(SettingsTrouble::NotAFile, false);
            return false;
        }
        if (!FileIsWhole())
            return false;
        settings->sync();
        return Checked(false);
    }

    // After a write the run keeps what it has; after a read it goes on from what could be read
    // and the defaults.
    bool Checked(bool written)
    {
        const QSettings::Status status = settings->status();
        if (status == QSettings::NoError) {
            // What Qt wrote itself reads whole: not read again for the check at the next look.
            if (written && !file.isEmpty())
                FileIdentity::Instance().Stamp(file, whole);
            return true;
        }
        if (written)
            GiveUp(SettingsTrouble::NotKept, true);
        else if (status == QSettings::FormatError)
            GiveUp(SettingsTrouble::Damaged, true); // what Qt could read of it, as with any damage
        else
            GiveUp(SettingsTrouble::Unreadable, false);
        return false;
    }

    void GiveUp(SettingsTrouble trouble, bool keepValues)
    {
        const QString name = file.isEmpty() && settings ? settings->fileName() : file;
        if (settings && keepValues) {
            for (const QString& key : settings->allKeys())
                memory[key] = SettingText(settings->value(key));
        }
        settings.reset();
        if (!notice.isEmpty())
            return;
        notice = TroubleText(trouble, name);
        // As any status message, so a pending restore of older text does not hide it.
        StatusSink& sink = StatusSink::Instance();
        sink.StopRestoreTimer(5000);
        sink.SetStatusText(notice);
    }
};

QtSettingsStore::QtSettingsStore() : d(new Impl)
{
#ifdef Q_OS_WIN
    d->Open(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kelvaro"), QStringLiteral("Quarno"));
#else
    // Only the user's own file where the system keeps it: the system-wide fallbacks would be
    // files read without a look at what they are.
    d->file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Kelvaro/Quarno.conf");
    d->Open(d->file, QSettings::IniFormat);
#endif
}

QtSettingsStore::QtSettingsStore(const QString& iniFile) : d(new Impl)
{
    d->file = iniFile;
    d->Open(iniFile, QSettings::IniFormat);
}

QtSettingsStore::~QtSettingsStore() { delete d; }

std::optional<QString> QtSettingsStore::Value(const QString& key)
{
    if (!d->Reload()) {
        const auto it = d->memory.find(key);
        return it == d->memory.end() ? std::nullopt : std::optional<QString>(it->second);
    }
    const QVariant v = d->settings->value(key);
    if (!v.isValid())
        return std::nullopt;
    return SettingText(v);
}

bool QtSettingsStore::SetValue(const QString& key, const QString& value)
{
    // Reloaded first, so a file damaged since the last look is not written over.
    if (!d->Reload()) {
        d->memory[key] = value;
        return false;
    }
    d->settings->setValue(key, value);
    d->settings->sync();
    return d->Checked(true);
}

void QtSettingsStore::Remove(const QString& key)
{
    if (!d->Reload()) {
        const QString below = key + QLatin1Char('/');
        std::erase_if(d->memory, [&](const auto& item) { return item.first == key || item.first.startsWith(below); });
        return;
    }
    d->settings->remove(key);
    d->settings->sync();
    d->Checked(true);
}

QStringList QtSettingsStore::ChildKeys(const QString& group)
{
    if (!d->Reload()) {
        const QString below = group.isEmpty() ? QString() : group + QLatin1Char('/');
        QStringList keys;
        for (const auto& [key, value] : d->memory) {
            if (key.startsWith(below) && !key.mid(below.size()).contains(QLatin1Char('/')))
                keys << key.mid(below.size());
        }
        return keys;
    }
    d->settings->beginGroup(group);
    QStringList keys = d->settings->childKeys();
    d->settings->endGroup();
    return keys;
}

QString QtSettingsStore::Notice() { return d->notice; }

} // namespace platform
