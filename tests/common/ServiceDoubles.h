#pragma once
// Test doubles of the shell, dialogs, file attributes, locale, port list, program location and
// language library stand-ins. ServiceDoubles installs all of them for one test.
#include "platform/FileAttributes.h"
#include "platform/FileDialogs.h"
#include "platform/LibraryLoader.h"
#include "platform/Locale.h"
#include "platform/PortList.h"
#include "platform/ProgramLocation.h"
#include "platform/Shell.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringList>

namespace testing_doubles {

class RecordingShell : public platform::Shell {
public:
    QStringList opened;
    QStringList helpFiles;
    QList<QWidget*> helpOwners;
    bool opens = true; // false: as where no viewer or browser opens anything
    bool OpenDocument(const QString& address) override
    {
        opened << address;
        return opens;
    }
    QList<int> helpTopics; // 0 for the index
    bool ShowHelpIndex(QWidget* owner, const QString& helpFile) override
    {
        helpOwners << owner;
        helpFiles << helpFile;
        helpTopics << 0;
        return opens;
    }
    bool ShowHelpTopic(QWidget* owner, const QString& helpFile, int context) override
    {
        ShowHelpIndex(owner, helpFile);
        helpTopics.last() = context;
        return opens;
    }
};

class ScriptedFileDialogs : public platform::FileDialogs {
public:
    QString folderAnswer; // "" = cancelled
    QStringList folderStarts;
    QStringList folderTitles;
    bool fileAnswer = false;
    QString fileChosen;
    QString BrowseForFolder(QWidget*, const QString& title, const QString& startFolder) override
    {
        folderTitles << title;
        folderStarts << startFolder;
        return folderAnswer;
    }
    // A save dialog adds the default suffix as the real one does.
    bool ShowOpen(QWidget*, platform::FileDialogRequest& request) override { return Answer(request, false); }
    bool ShowSave(QWidget*, platform::FileDialogRequest& request) override { return Answer(request, true); }

private:
    bool Answer(platform::FileDialogRequest& request, bool save)
    {
        if (fileAnswer)
            request.fileName = save ? platform::WithDefaultSuffix(fileChosen, request.defaultSuffix) : fileChosen;
        return fileAnswer;
    }
};

// File dialogs answered from a queue ("" = cancelled); every request is recorded. A save
// dialog adds the default suffix and asks about an existing file as the real one does (the
// question is recorded and answered Yes).
class QueuedFileDialogs : public platform::FileDialogs {
public:
    QStringList answers;
    QList<platform::FileDialogRequest> requests;
    QStringList overwriteAsked;
    QString folderAnswer;
    QString BrowseForFolder(QWidget*, const QString&, const QString&) override { return folderAnswer; }
    bool ShowOpen(QWidget*, platform::FileDialogRequest& r) override { return Answer(r, false); }
    bool ShowSave(QWidget*, platform::FileDialogRequest& r) override { return Answer(r, true); }

private:
    bool Answer(platform::FileDialogRequest& r, bool save)
    {
        requests << r;
        const QString a = answers.isEmpty() ? QString() : answers.takeFirst();
        if (a.isEmpty())
            return false;
        r.fileName = save ? platform::WithDefaultSuffix(a, r.defaultSuffix) : a;
        if (save && (r.flags & platform::FileDialogRequest::OverwritePrompt) && QFile::exists(r.fileName))
            overwriteAsked << r.fileName;
        return true;
    }
};

// Files by path with a read-only flag and a lock held by "another program".
class FakeFileAttributes : public platform::FileAttributes {
public:
    struct File {
        bool readOnly = false;
        bool locked = false;
    };
    QHash<QString, File> files;
    // Whether the file was writable at the moment of each exclusive open.
    QList<bool> writableAtOpen;
    bool Exists(const QString& path) override { return files.contains(path); }
    bool IsReadOnly(const QString& path) override { return files.value(path).readOnly; }
    bool SetReadOnly(const QString& path, bool readOnly) override
    {
        if (!files.contains(path))
            return false;
        files[path].readOnly = readOnly;
        return true;
    }
    bool TryOpenExclusive(const QString& path) override
    {
        if (!files.contains(path))
            return false;
        writableAtOpen << !files[path].readOnly;
        return !files[path].locked && !files[path].readOnly;
    }
};

class FixedLocale : public platform::Locale {
public:
    QString date = QStringLiteral("-");
    QString time = QStringLiteral(".");
    QString DateSeparator() override { return date; }
    QString TimeSeparator() override { return time; }
};

class FakePorts : public platform::PortList {
public:
    QSet<int> present;
    QList<int> probed;
    bool PortExists(int portNumber) override
    {
        probed << portNumber;
        return present.contains(portNumber);
    }
};

class FixedProgramLocation : public platform::ProgramLocation {
public:
    QString folder = QStringLiteral("C:\\Program Files\\Quarno");
    QString fileName = QStringLiteral("Quarno.exe");
    QString Folder() override { return folder; }
    QString FileName() override { return fileName; }
};

// A language library held in memory: Load("XELLAN.DLL") gives handle 1.
class MemoryLibrary : public platform::LibraryLoader {
public:
    QHash<quint16, QString> texts;
    bool available = true;
    quintptr Load(const QString&) override { return available ? 1 : 0; }
    void Free(quintptr) override {}
    std::optional<QString> String(quintptr handle, quint16 id) override
    {
        if (handle != 1 || !texts.contains(id))
            return std::nullopt;
        return texts.value(id);
    }
};

class ServiceDoubles {
public:
    ServiceDoubles()
    {
        platform::Shell::SetInstance(&shell);
        platform::FileDialogs::SetInstance(&dialogs);
        platform::FileAttributes::SetInstance(&attributes);
        platform::Locale::SetInstance(&locale);
        platform::PortList::SetInstance(&ports);
        platform::ProgramLocation::SetInstance(&program);
        platform::LibraryLoader::SetInstance(&library);
    }
    ~ServiceDoubles()
    {
        platform::Shell::SetInstance(nullptr);
        platform::FileDialogs::SetInstance(nullptr);
        platform::FileAttributes::SetInstance(nullptr);
        platform::Locale::SetInstance(nullptr);
        platform::PortList::SetInstance(nullptr);
        platform::ProgramLocation::SetInstance(nullptr);
        platform::LibraryLoader::SetInstance(nullptr);
    }
    RecordingShell shell;
    ScriptedFileDialogs dialogs;
    FakeFileAttributes attributes;
    FixedLocale locale;
    FakePorts ports;
    FixedProgramLocation program;
    MemoryLibrary library;
};

} // namespace testing_doubles
