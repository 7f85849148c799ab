// The per-user settings: a QSettings file (the registry on Windows) that is never replaced when
// it is something other than a regular file, and a run that goes on in memory once it fails.
#include "platform/FileIdentity.h"
#include "platform/InstanceSlot.h"
#include "platform/RegularFile.h"
#include "platform/SettingsStore.h"
#include "platform/StatusSink.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

namespace {

InstanceSlot<SettingsStore, QtSettingsStore> g_settings;

enum class SettingsTrouble { NotAFile, Unreadable, NotChecked, Damaged, NotKept };

// why: what failed, for NotChecked; lostPorts: the file's port mappings the run does not use,
// for Damaged.
QString TroubleText(SettingsTrouble trouble, const QString& file, const QString& why, const QStringList& lostPorts)
{
    const QString name = QDir::toNativeSeparators(file);
    const QString onDefaults = QStringLiteral(": Quarno Q2 runs on its default settings and does not keep changes to "
                                              "them; the port mappings of the file are not used.");
    switch (trouble) {
    case SettingsTrouble::NotAFile:
        return QStringLiteral("The settings file \"%1\" is not a regular file and was not read").arg(name) + onDefaults;
    case SettingsTrouble::Unreadable:
        return QStringLiteral("The settings file \"%1\" could not be read").arg(name) + onDefaults;
    case SettingsTrouble::NotChecked:
        return QStringLiteral("The settings file \"%1\" could not be checked, since no temporary copy of it could be "
                              "made (%2)")
                   .arg(name, why)
            + onDefaults;
    case SettingsTrouble::Damaged:
        return QStringLiteral("The settings file \"%1\" is damaged and is left as it is: Quarno Q2 runs on what it "
                              "could read of it and on its default settings, and does not keep changes to them.")
                   .arg(name)
            + (lostPorts.isEmpty() ? QString()
               : lostPorts.size() == 1
                   ? QStringLiteral(" The port mapping %1 of the file is not used.").arg(lostPorts.constFirst())
                   : QStringLiteral(" The port mappings %1 of the file are not used.").arg(lostPorts.join(QStringLiteral(", "))));
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

// A key with an empty name, or under an empty section name ("=x", "[]"), is listed by Qt but
// cannot be read or kept, so it is not one.
bool Named(const QString& key)
{
    return !key.isEmpty() && !key.startsWith(QLatin1Char('/')) && !key.endsWith(QLatin1Char('/'))
        && !key.contains(QLatin1String("//"));
}

// Every value Qt read, each as text.
std::map<QString, QString> ValuesOf(const QSettings& settings)
{
    std::map<QString, QString> values;
    for (const QString& key : settings.allKeys()) {
        if (Named(key))
            values[key] = SettingText(settings.value(key));
    }
    return values;
}

// More than any settings file holds: read no further, as a file of junk.
constexpr qint64 kMostSettingsBytes = 16 * 1024 * 1024;

// Some editors start a UTF-8 file with it. Qt skips it for the keys, but takes a section header
// after it for a format error, which the store's QSettings then reports after every write.
constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

// No NUL or other control (Qt writes them escaped) but for tabs, and valid UTF-8 throughout.
bool IsText(QByteArrayView line)
{
    for (const char ch : line) {
        if (uchar(ch) < 0x20 && ch != '\t')
            return false;
    }
    return line.isValidUtf8();
}

struct RawLines {
    bool sound = true; // all of it text, every section header whole and named
    // The lines that are no blank, comment or header, each with the header line above it
    // ("[General]" above the first): each must be a key of its own.
    std::vector<std::pair<QByteArrayView, QByteArrayView>> entries;
    QByteArray readable; // the text lines, without those of a section whose header is damaged
};

// Looks at the file line by line and no deeper: which line is a key, and what it holds, is left
// to Qt's own reader (see ReadLineByLine). Only a section header is checked here, since Qt reads
// nothing after its first "]" and says nothing of what it drops, and files the keys of an empty
// name under none.
RawLines ScanLines(QByteArrayView data)
{
    RawLines scan;
    bool sectionRead = true;
    QByteArrayView section("[General]");
    for (qsizetype start = 0; start < data.size();) {
        qsizetype end = start;
        while (end < data.size() && data[end] != '\n' && data[end] != '\r')
            ++end;
        const QByteArrayView line = data.sliced(start, end - start);
        start = end + 1;
        const QByteArrayView content = line.trimmed();
        bool lineSound = IsText(line);
        if (content.startsWith('[')) {
            const qsizetype comment = content.indexOf(';');
            const QByteArrayView header = (comment < 0 ? content : content.first(comment)).trimmed();
            lineSound = lineSound && header.indexOf(']') == header.size() - 1
                && !header.sliced(1, header.size() - 2).trimmed().isEmpty();
            sectionRead = lineSound;
            section = line;
        } else if (!content.isEmpty() && !content.startsWith(';')) {
            scan.entries.emplace_back(section, line);
        }
        scan.sound = scan.sound && lineSound;
        if (lineSound && sectionRead)
            scan.readable.append(line).append('\n');
    }
    return scan;
}

// What Qt's own reader makes of the bytes: every key it can keep, each with its value as text.
// Read through a temporary file, so that it is these very bytes that are read, and the store's
// own QSettings, which shares what it read of a file with any other QSettings on it, is left out.
// failure: why there is no copy to read (no room for one, say).
std::optional<std::map<QString, QString>> ReadByQt(const QByteArray& bytes, QString* failure = nullptr)
{
    QTemporaryFile file;
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush()) {
        if (failure)
            *failure = file.errorString();
        return std::nullopt;
    }
    return ValuesOf(QSettings(file.fileName(), QSettings::IniFormat));
}

// The section a header line names ("[Ports] ; by hand" names Ports).
QByteArrayView SectionName(QByteArrayView header)
{
    header = header.trimmed().sliced(1);
    for (qsizetype i = 0; i < header.size(); ++i) {
        if (header[i] == ']' || header[i] == ';')
            return header.first(i).trimmed();
    }
    return header.trimmed();
}

// The port mappings the file's lines hold that the run does not take as their lines give them:
// a damaged line or header above them can swallow or bend them.
QStringList PortsNotUsed(const RawLines& scan, const std::map<QString, QString>& values)
{
    QStringList lost;
    for (const auto& [header, line] : scan.entries) {
        if (SectionName(header) != "Ports")
            continue;
        const auto alone = ReadByQt("[Ports]\n" + line.toByteArray() + '\n');
        if (alone && alone->size() == 1) {
            const auto& [key, value] = *alone->begin();
            const auto used = values.find(key);
            if (used == values.end() || used->second != value)
                lost << key.mid(key.indexOf(QLatin1Char('/')) + 1);
        } else {
            const qsizetype equals = line.indexOf('=');
            lost << QString::fromUtf8(equals < 0 ? line : line.first(equals)).trimmed();
        }
    }
    return lost;
}

// Whether Qt reads the file as its lines read one by one: every entry a key of its own in its
// own section, with the value it has alone. Each entry is read again under its header and
// followed by a header and key of a section the file does not have: an entry that runs on into
// the line after it (a last backslash, an open quote) swallows them.
std::optional<bool> ReadLineByLine(const RawLines& scan, const std::map<QString, QString>& whole, QString* failure)
{
    if (qsizetype(whole.size()) != qsizetype(scan.entries.size()))
        return false;
    QString mark = QStringLiteral("LineEnd");
    const auto taken = [&] {
        const QString below = mark + QLatin1Char('/');
        return std::any_of(whole.begin(), whole.end(),
                           [&](const auto& item) { return item.first.startsWith(below, Qt::CaseInsensitive); });
    };
    while (taken())
        mark += QLatin1Char('_');
    QByteArray alone;
    for (std::size_t i = 0; i < scan.entries.size(); ++i) {
        const auto& [header, line] = scan.entries[i];
        alone.append(header).append('\n').append(line).append('\n');
        alone.append('[').append(mark.toLatin1()).append("]\n").append(QByteArray::number(qulonglong(i))).append("=1\n");
    }
    std::optional<std::map<QString, QString>> read = ReadByQt(alone, failure);
    if (!read)
        return std::nullopt;
    for (std::size_t i = 0; i < scan.entries.size(); ++i) {
        const auto found = read->find(mark + QLatin1Char('/') + QString::number(i));
        if (found == read->end() || found->second != QLatin1String("1"))
            return false;
        read->erase(found);
    }
    return *read == whole;
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
    QString why;           // what failed where the file could not be checked
    QStringList lostPorts; // the file's port mappings that a damaged file's reading lost
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
        if (!in.open(QIODevice::ReadOnly))
            return GiveUpWith(SettingsTrouble::Unreadable, {});
        QByteArray data = in.read(kMostSettingsBytes);
        if (in.error() != QFileDevice::NoError)
            return GiveUpWith(SettingsTrouble::Unreadable, {});
        if (!in.atEnd())
            return GiveUpWith(SettingsTrouble::Damaged, {});
        const bool marked = data.startsWith(kByteOrderMark);
        if (marked)
            data.remove(0, kByteOrderMark.size());
        const RawLines scan = ScanLines(data);
        if (!scan.sound) {
            std::map<QString, QString> readable = ReadByQt(scan.readable).value_or(std::map<QString, QString>());
            lostPorts = PortsNotUsed(scan, readable);
            return GiveUpWith(SettingsTrouble::Damaged, std::move(readable));
        }
        // Qt's own reading is the judge of every other line: it drops a line whose "=" is only
        // inside quotes, runs a line into the next after an open quote or a last backslash, keeps
        // one of two lines with the same key and cannot keep a key without a name.
        std::optional<std::map<QString, QString>> read = ReadByQt(data, &why);
        const std::optional<bool> byLine = read ? ReadLineByLine(scan, *read, &why) : std::nullopt;
        if (!byLine)
            return GiveUpWith(SettingsTrouble::NotChecked, {}); // no copy to judge it by: taken as not read
        if (!*byLine) {
            lostPorts = PortsNotUsed(scan, *read);
            return GiveUpWith(SettingsTrouble::Damaged, std::move(*read));
        }
        // Qt would read the mark as damage in the store's own QSettings; the file without it is
        // the one just read whole.
        if (marked && !WriteWholeFile(file, data))
            return GiveUpWith(SettingsTrouble::NotKept, std::move(*read));
        if (marked)
            FileIdentity::Instance().Stamp(file, now);
        whole = now;
        return true;
    }

    // The file given up, with what could be read of it as the run's values.
    bool GiveUpWith(SettingsTrouble trouble, std::map<QString, QString> values)
    {
        settings.reset(); // nothing pending: every write was synced at once
        memory = std::move(values);
        GiveUp(trouble, false);
        return false;
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
        if (settings && keepValues)
            memory = ValuesOf(*settings);
        settings.reset();
        if (!notice.isEmpty())
            return;
        notice = TroubleText(trouble, name, why, lostPorts);
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
