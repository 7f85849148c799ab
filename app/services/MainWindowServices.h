#pragma once
#include <QString>

class QWidget;

// What the shared modules use of the main window. The main window implements it and
// installs itself while it lives; without one the helpers that need it do nothing.
class MainWindowServices {
public:
    // Recent-file tools "file1" to "file4" of the File menu band "PopupFile".
    static constexpr int RecentFileCount = 4;

    virtual ~MainWindowServices();
    // n is 1..RecentFileCount.
    virtual QString RecentFileCaption(int n) const = 0;
    virtual void SetRecentFileCaption(int n, const QString& caption) = 0;
    // The full path the tool carries.
    virtual QString RecentFilePath(int n) const = 0;
    virtual void SetRecentFilePath(int n, const QString& path) = 0;
    virtual bool RecentFileVisible(int n) const = 0;
    virtual void SetRecentFileVisible(int n, bool visible) = 0;
    // The main window itself (owner of the help viewer).
    virtual QWidget* MainWindow() = 0;

    static MainWindowServices* Instance();
    static void SetInstance(MainWindowServices* services);
};
