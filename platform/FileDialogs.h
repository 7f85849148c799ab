#pragma once
#include "platform/PlatformExport.h"
#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

// What a file open or save dialog shows and what it gives back.
struct FileDialogRequest {
    QString title;
    // Pairs of description and pattern, "|"-separated: "Quarno Files (*.qrn)|*.qrn|All Files|*.*".
    QString filter;
    int filterIndex = 1; // 1-based; the index chosen comes back here
    QString initialFolder;
    QString fileName;    // proposed name in, chosen full path out
    int flags = 0;       // OverwritePrompt
    enum : int { OverwritePrompt = 2 };
    // Save: added (after a ".") to a chosen name without any "." before the overwrite
    // question, so the name confirmed is the name written. "" adds nothing.
    QString defaultSuffix;
};

// The name a save dialog gives back for the typed name: with the default suffix added when
// the file name part has no ".".
PLATFORM_EXPORT QString WithDefaultSuffix(const QString& typed, const QString& defaultSuffix);

// The filter of a request as the Qt dialog's name filters, each pattern list shown once.
PLATFORM_EXPORT QStringList QtFileFilters(const QString& filter);

// The platform's file and folder dialogs.
class PLATFORM_EXPORT FileDialogs {
public:
    virtual ~FileDialogs();
    // The chosen folder, "" when cancelled.
    virtual QString BrowseForFolder(QWidget* owner, const QString& title, const QString& startFolder) = 0;
    // False when cancelled; request.fileName and filterIndex carry the choice.
    virtual bool ShowOpen(QWidget* owner, FileDialogRequest& request) = 0;
    virtual bool ShowSave(QWidget* owner, FileDialogRequest& request) = 0;

    static FileDialogs& Instance();
    static void SetInstance(FileDialogs* dialogs);
};

} // namespace platform
