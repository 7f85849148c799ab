#pragma once
#include "platform/PlatformExport.h"
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

// The per-user settings store. Keys are paths below the program's own key, "/" separated
// ("CommPort", "FileList/File1"). Every value is text.
class PLATFORM_EXPORT SettingsStore {
public:
    virtual ~SettingsStore();
    virtual std::optional<QString> Value(const QString& key) = 0;
    virtual bool SetValue(const QString& key, const QString& value) = 0;
    virtual void Remove(const QString& key) = 0; // a value or a whole subkey
    virtual QStringList ChildKeys(const QString& group) = 0;
    // The sentence said in the status bar when the settings could not be read or kept; said
    // once a run, and kept so that the window can show it again once it is up. Empty while
    // all is well.
    virtual QString Notice();

    static SettingsStore& Instance();
    static void SetInstance(SettingsStore* store);
};

// QSettings-backed store: organisation "Kelvaro", application "Quarno", or an INI file
// (tests point it at a temporary one). Only a regular file is read or written. When the file
// is something else, cannot be read, is damaged, or a write to it fails, the store says so
// once in the status bar and keeps the rest of the run's values in memory, leaving the file
// as it is. A file is read whole only when Qt's own reader makes a key of its own of every line
// that is no blank, comment or section header, in the section the line stands in and with the
// value the line has alone, so no line runs on into the next; one with any other line, an empty
// section name, or bytes that are no UTF-8 text, is damaged: it is never written back, and the
// run starts from what Qt could read.
// A UTF-8 byte-order mark at its start is taken off the file when the rest is whole.
class PLATFORM_EXPORT QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();
    explicit QtSettingsStore(const QString& iniFile);
    ~QtSettingsStore() override;
    std::optional<QString> Value(const QString& key) override;
    bool SetValue(const QString& key, const QString& value) override;
    void Remove(const QString& key) override;
    QStringList ChildKeys(const QString& group) override;
    QString Notice() override;

private:
    struct Impl;
    Impl* d;
};

} // namespace platform
