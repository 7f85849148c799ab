#pragma once
// The main window: owns the open setup and the shared state, starts and ends the program,
// dispatches the menu and tool-bar commands, and carries the status bar and the page tabs.
#include "app/frame/FrameUnitOps.h"
#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/services/MainWindowServices.h"
#include "platform/StatusSink.h"

#include <QHash>
#include <QMainWindow>
#include <QStringList>
#include <QVector>

#include <memory>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolBar;
class RunReason;
class XelObject;
class clsADO;
class clsJData;

class frmMain : public QMainWindow,
                public FrameApi,
                public MainWindowServices,
                public platform::StatusSink {
    Q_OBJECT
public:
    // Exit status of the program.
    enum ExitCode : int {
        ExitOk = 0,
        ExitNoLanguage = 1,
        ExitFileNotLoadable = 2,
        ExitTransmitFailed = 3,
        ExitPrintFailed = 4,
        ExitNoDatabase = 5,
        ExitStartupError = 6,
    };

    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up with the program's arguments (program name not included). True when the window
    // is to be shown and the program runs on; false when it has ended (see ExitStatus).
    bool Form_Load(const QStringList& args);
    int ExitStatus() const { return m_exitStatus; }
    // A run with -t or -p: what ended it (the message and the answer given), for the script.
    QString ExitReason() const { return m_exitReason; }
    // The arguments ask for a transmit or a print without the window.
    static bool RunsWithoutWindow(const QStringList& args);
    // The run shows nothing at all, not even a question: a transmit with -q, or a print.
    static bool NeedsNoDisplay(const QStringList& args);

    MainState& State() { return m_state; }
    // What puts the pages on the tabs at start-up (InstallPages); a test may put its own.
    using PageInstaller = void (*)(frmMain&);
    void SetPageInstaller(PageInstaller installer) { m_installPages = installer; }
    ::XelObject* XelObject() const { return m_state.XelObject(); }
    FrameUnitOps& UnitOps() { return m_ops; }

    // ---- start-up pieces ----
    bool LoadLanguages();
    void PlaceWindow(int xTwips, int yTwips);
    // The window with the window manager's decorations.
    QRect FrameRect() const;
    void PlaceAgainOnceDecorated();
    void RestoreWindowPosition();
    // Sizes the window for its pages within the work area.
    void FitWindowToPages();
    // Grows the window, within the work area, where a page no longer shows whole.
    void GrowForPages();
    void SaveWindowPosition();
    void CreateDefaultSetup();
    bool ShowSetup();
    // A new document with every section's defaults; the open setup is untouched.
    std::unique_ptr<::XelObject> NewDefaultDocument();

    // ---- commands ----
    void ToolClick(const QString& key);
    bool CommandBusy() const { return m_commandBusy; }
    void BandOpen(const QString& band);
    bool QuerySave();
    bool QuerySaveOnExit(bool& cancel);
    void CmdNew();
    void CmdClose();
    void CmdOpen();
    bool OpenSetupByName(const QString& path);
    bool CmdSave(bool saveAs);
    bool WriteSetupFile();
    bool ShowSaveAsDialog(bool keepOriginal = false);
    bool ShowOpenDialog(QString& path);
    void RemoveRecentFile(const QString& key);
    void AddRecent(const QString& path);
    // The full path of a name relative to this run's start folder ("" stays "").
    static QString FullPath(const QString& typed);
    // A modal window of this window; closed at once, unanswered, where nobody sees it.
    static int ShowModal(QDialog& dialog);
    void CmdLoad();
    void CmdPrint(bool direct, bool* printed = nullptr);
    bool CmdEmail();
    void CheckMailProfile();
    void CmdAbout();

    // ---- status bar and tabs ----
    QLabel* Panel(const QString& key) const;
    void PanelDblClick(const QString& key);
    void TabClick(int previousTab);
    QString SavedStatusText() const { return m_savedStatusText; }
    QTimer* StatusTimer() const { return m_timStatusbar; }
    int HelpContext() const { return m_helpContext; }
    QAction* Tool(const QString& key) const { return m_tools.value(key); }
    QTabWidget* Tabs() const { return m_tabMain; }
    QWidget* PageContainer(int tab) const;
    // Puts a page widget on its tab (replacing the placeholder there).
    void SetPage(int tab, QWidget* page);

    // ---- FrameApi ----
    QWidget* MainWindow() override { return this; }
    QIcon WindowIcon() override;
    int CurrentTab() override;
    void SelectTab(int tab) override;
    void SetTabCaption(int tab, const QString& caption) override;
    void ShowTabPage(int tab) override;
    void SetPanelText(const QString& key, const QString& text) override;
    void SetPanelToolTip(const QString& key, const QString& text) override;
    void SetPanelVisible(const QString& key, bool visible) override;
    void UpdateCaption(const QString& title) override;
    bool ShowCommSetupCancelled() override;
    void ShowOptions() override;
    bool TransmitSetupToUnit() override;
    bool TransmitSetupToUnitFor(const QString& firmware) override;
    bool ReceiveSetupFromUnit() override;
    bool CheckChannelDescriptions() override;
    void ShowBackupSystemSettings() override;

    // ---- MainWindowServices ----
    QString RecentFileCaption(int n) const override;
    void SetRecentFileCaption(int n, const QString& caption) override;
    QString RecentFilePath(int n) const override;
    void SetRecentFilePath(int n, const QString& path) override;
    bool RecentFileVisible(int n) const override;
    void SetRecentFileVisible(int n, bool visible) override;

    // ---- StatusSink ----
    void StopRestoreTimer(int intervalMs) override;
    void SetStatusText(const QString& text) override;
    QString StatusText() override;

signals:
    // The window has been unloaded: the program ends.
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildStatusBar();
    void BuildTabs();
    QAction* AddTool(const QString& key, const QString& caption, const QString& tip);
    void ReplaceSetup(std::unique_ptr<::XelObject> setup);
    bool RunCommandLine(const QStringList& args);
    // How a file is being opened: the Open dialog, by name (a recent entry, "-f"), or by a
    // run without a window ("-t", "-p").
    enum class OpenRoad { Dialog, ByName, Windowless };
    bool OpenSetupFile(const QString& path, OpenRoad road);
    // The questions before the open setup's own file is rewritten: an older format is
    // converted, data this version did not read is dropped. False: leave the file alone.
    bool ConfirmNewFormat();
    bool ConfirmDroppingUnreadData();
    // A start-up that failed has nothing of the user's to save: no question then.
    bool Form_Unload(bool startupFailed);
    void StatusTimerTick();
    // The settings store's notice, when it is not the one it held before (empty: none yet),
    // after the status text shown now.
    void ShowSettingsNotice(const QString& before);
    void SetUserPanel();
    // Where a windowless run ends without a message box: what ended it.
    void NoteRunEnd(const QString& what);

    MainState m_state;
    FrameUnitOps m_ops;
    PageInstaller m_installPages = nullptr;
    std::unique_ptr<::XelObject> m_setup;
    std::unique_ptr<clsADO> m_ado;
    std::unique_ptr<clsJData> m_jAnalog;
    std::unique_ptr<clsJData> m_jDigital;

    QTabWidget* m_tabMain = nullptr;
    QVector<QWidget*> m_conMain;
    QStatusBar* m_staMain = nullptr;
    QHash<QString, QLabel*> m_panels;
    QTimer* m_timStatusbar = nullptr;
    QHash<QString, QAction*> m_tools;
    QHash<QString, QMenu*> m_bands;
    QToolBar* m_toolbar = nullptr;
    QStringList m_recentPaths{QString(), QString(), QString(), QString()};

    bool m_commandBusy = false;
    bool m_windowBusy = false;
    bool m_unloaded = false;
    bool m_exitRequested = false;
    bool m_shownOnce = false;
    int m_previousTab = 0;
    QPoint m_placedAt; // twips of the last placement
    bool m_revertingTab = false;
    int m_helpContext = 26;
    int m_exitStatus = ExitOk;
    QString m_exitReason;
    RunReason* m_runReason = nullptr; // only while a run with -t or -p starts
    QString m_transferEnd;            // the transfer dialog's failed step, on that run
    QString m_savedStatusText;
    QStringList m_languageNames; // unit display languages, block by block
};
