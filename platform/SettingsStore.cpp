// The per-user settings: a QSettings file (the registry on Windows) that is never replaced when
// it is something other than a regular file, and a run that goes on in memory once it fails.
#include "platform/InstanceSlot.h"
#include "platform/RegularFile.h"
#include "platform/SettingsStore.h"
#include "platform/StatusSink.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

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
        return QStringLiteral("The settings file \"%1\" is damaged and was not used").arg(name) + onDefaults;
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

    // A pipe would block the read, and a device or folder must never be replaced: only a
    // regular file, or none yet, is touched.
    bool FileFits() const { return file.isEmpty() || IsRegularFile(file) || !QFileInfo::exists(file); }

    template <class... Args>
    void Open(Args&&... args)
    {
        if (!FileFits())
            return GiveUp(SettingsTrouble::NotAFile, false);
        settings = std::make_unique<QSettings>(std::forward<Args>(args)...);
        Checked(false);
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
        settings->sync();
        return Checked(false);
    }

    // After a write the run keeps what it has; after a read it goes on from the defaults.
    bool Checked(bool written)
    {
        const QSettings::Status status = settings->status();
        if (status == QSettings::NoError)
            return true;
        if (written)
            GiveUp(SettingsTrouble::NotKept, true);
        else
            GiveUp(status == QSettings::FormatError ? SettingsTrouble::Damaged : SettingsTrouble::Unreadable, false);
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
