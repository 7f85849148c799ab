// Construction, start-up, command line and shut-down of the main window.
#include "app/frame/frmMain.h"

#include "app/setupdefaults/DefaultSetup.h"
#include "app/frame/PageSetup.h"
#include "app/frame/RunReason.h"
#include "app/frame/StatusPanel.h"
#include "app/frame/StateIcons.h"
#include "app/pages/common/TabOrder.h"
#include "app/pages/common/PageCommon.h"
#include "app/services/clsADO.h"
#include "app/services/clsJData.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "app/services/modRegistry.h"
#include "app/unitops/frmComm.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "platform/MessagePresenter.h"
#include "platform/TimeSource.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QGuiApplication>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

#include <exception>
#include <optional>

namespace {

const QString kProgramTitle = QStringLiteral("Quarno Q2");

// Runs a start-up routine's step and reports a failure through the program's error box.
void ReportError(const QString& procedure, int position, const QString& what)
{
    extra::ShowErrorMessage(QStringLiteral("Quarno"), 0, what, procedure,
                            QStringLiteral("frmMain at position ") + QString::number(position));
}

} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kProgramTitle);
    taborder::FollowVisualOrder(this);
    m_state.frame = this;
    m_ops = FrameUnitOps::Defaults();
    m_installPages = &InstallPages;
    m_timStatusbar = new QTimer(this);
    m_timStatusbar->setObjectName(QStringLiteral("timStatusbar"));
    m_timStatusbar->setSingleShot(true);
    m_timStatusbar->setInterval(platform::TimeSource::Instance().TimerInterval(5000));
    connect(m_timStatusbar, &QTimer::timeout, this, &frmMain::StatusTimerTick);
    BuildMenus();
    BuildTabs();
    BuildStatusBar();
    resize(pagecommon::Twips(11400), pagecommon::Twips(8400));
    // A fixed least size: what the pages hold scrolls, it never sets how small the window may be.
    setMinimumSize(pagecommon::Twips(6000), pagecommon::Twips(4500));
    // A changed display (resolution, panel) puts the window back inside the work area.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        connect(screen, &QScreen::availableGeometryChanged, this, [this] {
            const QPoint at = FrameRect().topLeft();
            PlaceWindow(pagecommon::ToTwips(at.x()), pagecommon::ToTwips(at.y()));
        });
    }
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { modDiv::ShowHelp(m_helpContext); });
    MainWindowServices::SetInstance(this);
    platform::StatusSink::SetInstance(this);
}

frmMain::~frmMain()
{
    if (MainWindowServices::Instance() == this)
        MainWindowServices::SetInstance(nullptr);
    if (&platform::StatusSink::Instance() == static_cast<platform::StatusSink*>(this))
        platform::StatusSink::SetInstance(nullptr);
    // The pages go before the document they show.
    delete m_tabMain;
    m_tabMain = nullptr;
    m_state.SetXelObject(nullptr);
}

// ---- the window's controls -----------------------------------------------------------

QAction* frmMain::AddTool(const QString& key, const QString& caption, const QString& tip)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(key);
    if (!tip.isEmpty())
        action->setToolTip(tip);
    connect(action, &QAction::triggered, this, [this, key] { ToolClick(key); });
    m_tools.insert(key, action);
    return action;
}

void frmMain::BuildMenus()
{
    struct ToolRow {
        const char* key;
        const char* caption;
        const char* tip;
    };
    static const ToolRow rows[] = {
        {"new", "&New", "New Quarno Setup"},
        {"open", "&Open...", "Open Quarno Setup"},
        {"save", "&Save", "Save Quarno Setup"},
        {"saveas", "Save &As...", "Save As"},
        {"close", "&Close", "Close the current file"},
        {"print", "&Print...", "Print Current Setup"},
        {"exportastext", "&Export as text...", ""},
        {"email", "E-&mail...", "E-mail"},
        {"file1", "", ""},
        {"file2", "", ""},
        {"file3", "", ""},
        {"file4", "", ""},
        {"exit", "E&xit", "Exit"},
        {"load", "&Receive from Control Unit...", "Receive setup from Control Unit"},
        {"transmit", "&Transmit to Control Unit...", "Transmit setup to Control Unit"},
        {"retrievelog", "&Retrieve Log...", "Retrieve Log From Control Unit"},
        {"backupsystemsettings", "&Backup System Settings...", "Backup System Settings"},
        {"clock", "C&ontrol Unit Clock...", "Set Control Unit Clock"},
        {"options", "&Options...", "Options"},
        {"deletelog", "&Delete Log...", "Delete Event Log"},
        {"input", "&Display &Inputs...", "Display input state of all Digital and Analog inputs"},
        {"resetcounters", "Reset Counters...", "Reset Counters"},
        {"counters", "Configure Counters...", "Control Unit Counter Configuration"},
        {"contents", "&Contents...", "Help Contents"},
        {"web", "&Quarno Website...", ""},
        {"about", "&About", "About this application"},
        {"commport", "&Comm Port...", "Change Comm Port"},
        {"idnumber", "&ID Number...", "Change Control Unit ID Number"},
        {"firmware", "&Firmware Update", "Firmware Upoate"},
        {"printeroutput", "Printer Output", ""},
    };
    for (const ToolRow& row : rows)
        AddTool(QString::fromLatin1(row.key), QString::fromLatin1(row.caption), QString::fromLatin1(row.tip));
    for (int n = 1; n <= 4; ++n)
        m_tools.value(QStringLiteral("file%1").arg(n))->setVisible(false);

    auto band = [this](QMenu* menu, const QString& name, const QStringList& keys) {
        menu->setObjectName(name);
        for (const QString& key : keys)
            menu->addAction(m_tools.value(key));
        m_bands.insert(name, menu);
        connect(menu, &QMenu::aboutToShow, this, [this, name] { BandOpen(name); });
    };
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("actQuarno"));
    band(bar->addMenu(QStringLiteral("&File")), QStringLiteral("PopupFile"),
         {"new", "open", "save", "saveas", "close", "print", "exportastext", "email", "file1", "file2",
          "file3", "file4", "exit"});
    band(bar->addMenu(QStringLiteral("&Communication")), QStringLiteral("PopupComm"),
         {"load", "transmit", "retrievelog"});
    QMenu* settings = bar->addMenu(QStringLiteral("S&ettings"));
    band(settings, QStringLiteral("PopupSettings"), {"backupsystemsettings", "clock"});
    QMenu* service = settings->addMenu(QStringLiteral("&Service"));
    service->menuAction()->setObjectName(QStringLiteral("service"));
    m_tools.insert(QStringLiteral("service"), service->menuAction());
    settings->addAction(m_tools.value(QStringLiteral("options")));
    band(service, QStringLiteral("PopupService"), {"deletelog"});
    QMenu* counters = service->addMenu(QStringLiteral("&Counters"));
    counters->menuAction()->setObjectName(QStringLiteral("counterfunctions"));
    m_tools.insert(QStringLiteral("counterfunctions"), counters->menuAction());
    service->addAction(m_tools.value(QStringLiteral("input")));
    band(counters, QStringLiteral("PopupCounters"), {"resetcounters", "counters"});
    band(bar->addMenu(QStringLiteral("&Help")), QStringLiteral("PopupHelp"), {"contents", "web", "about"});

    m_toolbar = addToolBar(QStringLiteral("Quarno Main Toolbar"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar"));
    // The style has no printer, and its help icon is missing on many desktops: those two
    // buttons show glyphs of the program's own.
    struct Button {
        const char* key;
        QStyle::StandardPixmap pixmap;
        const char* glyph;
    };
    const Button buttons[] = {
        {"new", QStyle::SP_FileIcon, nullptr},          {"open", QStyle::SP_DialogOpenButton, nullptr},
        {"save", QStyle::SP_DialogSaveButton, nullptr}, {"load", QStyle::SP_ArrowDown, nullptr},
        {"transmit", QStyle::SP_ArrowUp, nullptr},      {"print", QStyle::SP_CustomBase, "PRINT"},
        {"contents", QStyle::SP_CustomBase, "HELP"},
    };
    for (const Button& button : buttons) {
        QAction* action = m_tools.value(QString::fromLatin1(button.key));
        if (button.glyph)
            action->setIcon(QIcon(QPixmap::fromImage(StateIcons::ToolGlyph(QString::fromLatin1(button.glyph)))));
        else
            action->setIcon(style()->standardIcon(button.pixmap));
        m_toolbar->addAction(action);
    }
}

QWidget* frmMain::PageContainer(int tab) const
{
    return tab >= 0 && tab < m_conMain.size() ? m_conMain.at(tab) : nullptr;
}

void frmMain::SetPage(int tab, QWidget* page)
{
    QWidget* container = PageContainer(tab);
    if (!container || !page)
        return;
    QLayout* layout = container->layout();
    while (QLayoutItem* item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    layout->addWidget(page);
}

void frmMain::BuildStatusBar()
{
    m_staMain = new QStatusBar(this);
    m_staMain->setObjectName(QStringLiteral("staMain"));
    setStatusBar(m_staMain);
    for (const char* key : {"TEXT", "RO", "MODE", "DEBUG", "USER", "CLASSIFIABLE"}) {
        auto* panel = new StatusPanel(m_staMain);
        panel->setObjectName(QString::fromLatin1(key));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->installEventFilter(this);
        m_panels.insert(QString::fromLatin1(key), panel);
        if (QString::fromLatin1(key) == QLatin1String("TEXT")) {
            panel->SetStretching(true);
            m_staMain->addWidget(panel, 1);
        } else {
            m_staMain->addPermanentWidget(panel);
        }
    }
    SetPanelText(QStringLiteral("RO"), QStringLiteral("RO"));
    SetPanelVisible(QStringLiteral("RO"), false);
    SetPanelText(QStringLiteral("DEBUG"), QStringLiteral("DEBUG"));
    SetPanelVisible(QStringLiteral("DEBUG"), false);
    SetPanelVisible(QStringLiteral("USER"), false);
    // The Main page shows or hides this mark; it must say what it marks.
    SetPanelText(QStringLiteral("CLASSIFIABLE"), QStringLiteral("Classifiable"));
    SetPanelToolTip(QStringLiteral("MODE"), QStringLiteral("Operation Mode"));
}

QLabel* frmMain::Panel(const QString& key) const { return m_panels.value(key.toUpper()); }

// ---- start-up ------------------------------------------------------------------------

bool frmMain::Form_Load(const QStringList& args)
{
    // A run with -t or -p learns what ended it from every box shown from here on.
    std::optional<RunReason> reason;
    if (RunsWithoutWindow(args))
        reason.emplace();
    struct KeepReason {
        frmMain& window;
        std::optional<RunReason>& reason;
        ~KeepReason()
        {
            if (reason)
                window.m_exitReason = reason->Line();
            window.m_runReason = nullptr;
        }
    } keep{*this, reason};
    m_runReason = reason ? &*reason : nullptr;
    int position = 0;
    try {
        m_tabMain->setCurrentIndex(0);
        position = 1;
        CheckMailProfile();
        position = 2;
        if (!LoadLanguages()) {
            // Nothing of this run is worth keeping: the stored position and file list stay.
            m_unloaded = true;
            m_exitStatus = ExitNoLanguage;
            return false;
        }
        position = 3;
        m_state.images = StateIcons::BuildStateIcons();
        {
            const QImage relay = StateIcons::Glyph(QStringLiteral("RELAY"));
            if (!relay.isNull())
                setWindowIcon(QIcon(QPixmap::fromImage(StateIcons::Overlay(relay, relay))));
        }
        MainPageApi* const earlierMain = m_state.mainPage;
        if (m_installPages)
            m_installPages(*this);
        // Pages are built once the library is loaded, so a new Main page gets the list now.
        if (m_state.mainPage && m_state.mainPage != earlierMain)
            m_state.mainPage->SetLanguageList(m_languageNames);
        position = 4;
        m_state.DragFormat = int(modDiv::RegisterDragFormat(QString::fromLatin1(pagecommon::DragFormatName)));
        position = 6;
        modRegistry::SaveStartedFrom();
        FitWindowToPages();
        RestoreWindowPosition();
        modRegistry::GetFileList();
        position = 7;
        // The window owns the database object; the Main page opens it and fills its combos.
        bool databaseOk = true;
        m_ado = std::make_unique<clsADO>();
        m_state.ADO = m_ado.get();
        if (m_state.mainPage) {
            databaseOk = m_state.mainPage->InitDatabaseCombos();
        } else {
            m_ado->InitDatabase(QString(), databaseOk);
            if (!databaseOk)
                extra::LangMsgBox(97, platform::MsgStyle::Critical);
        }
        if (!databaseOk) {
            m_state.ADO = nullptr;
            m_ado.reset();
            m_unloaded = true;
            m_exitStatus = ExitNoDatabase;
            extra::FreeLanguageLibrary();
            return false;
        }
        position = 8;
        if (m_state.mainPage)
            m_state.mainPage->CreateJDataObjects();
        if (!m_state.JDataAnalog) {
            m_jAnalog = std::make_unique<clsJData>();
            m_state.JDataAnalog = m_jAnalog.get();
        }
        if (!m_state.JDataDigital) {
            m_jDigital = std::make_unique<clsJData>();
            m_state.JDataDigital = m_jDigital.get();
        }
        position = 9;
        if (m_state.analogPage)
            m_state.analogPage->LimitUnitsText(4);
        position = 10;
        CreateDefaultSetup();
        position = 11;
        const bool keepRunning = RunCommandLine(args);
        if (!keepRunning)
            return false;
        if (!m_state.ExpertMode)
            m_state.ExpertMode = modRegistry::GetMode() != 0;
        // Said during start-up, the settings notice was cleared when the first setup was shown.
        ShowSettingsNotice(QString());
        return true;
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Form_Load"), position, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ReportError(QStringLiteral("Form_Load"), position, QStringLiteral("Unknown error"));
    }
    m_exitStatus = ExitStartupError;
    Form_Unload(true);
    return false;
}

bool frmMain::LoadLanguages()
{
    const bool loaded = extra::LoadLanguageLibrary();
    if (!loaded) {
        platform::MessagePresenter::Instance().Show(
            QStringLiteral("Language component XELLAN.DLL could not be loaded. ") + kProgramTitle
                + QStringLiteral(" need this DLL to run. Please make sure this DLL is located in the "
                                 "Windows system directory or in the path!\r\n\r\n")
                + kProgramTitle + QStringLiteral(" will now exit."),
            platform::MsgStyle::Critical | platform::MsgStyle::OKOnly, kProgramTitle);
    }
    QStringList names;
    for (int n = 0; n <= 100; ++n) {
        const quint16 id = quint16(10000 + 1000 * n);
        if (!extra::LangStringExists(id))
            break;
        names << extra::StripNull(extra::GetLangString(id), true);
    }
    m_languageNames = names;
    if (m_state.mainPage)
        m_state.mainPage->SetLanguageList(names);
    return loaded;
}

// ---- the setup document --------------------------------------------------------------

void frmMain::ReplaceSetup(std::unique_ptr<::XelObject> setup)
{
    // The old document lives until the pages point at the new one.
    std::unique_ptr<::XelObject> old = std::move(m_setup);
    m_setup = std::move(setup);
    m_state.SetXelObject(m_setup.get());
}

std::unique_ptr<::XelObject> frmMain::NewDefaultDocument()
{
    auto doc = std::make_unique<::XelObject>();
    // The pages write their defaults into the state's document: point it at the new one.
    ::XelObject* previous = m_state.XelObject();
    m_state.SetXelObject(doc.get());
    struct Restore {
        MainState& state;
        ::XelObject* previous;
        ~Restore() { state.SetXelObject(previous); }
    } restore{m_state, previous};

    ::XelObject& d = *doc;
    MainState& s = m_state;
    if (s.mainPage) s.mainPage->SetMainDefaults(); else defaultsetup::SetMainDefaults(d);
    if (s.switchPage) s.switchPage->SetDigitalDefaults(); else defaultsetup::SetDigitalDefaults(d);
    if (s.analogPage) s.analogPage->SetAnalogDefaults(); else defaultsetup::SetAnalogDefaults(d);
    if (s.standbyPage) s.standbyPage->SetStandbyOperationDefaults(); else defaultsetup::SetStandbyOperationDefaults(d);
    if (s.speedSensorPage) s.speedSensorPage->SetSpeedSensorDefaults(); else defaultsetup::SetSpeedSensorDefaults(d);
    if (s.infoPage) s.infoPage->SetInfoDefaults(); else defaultsetup::SetInfoDefaults(d);
    if (s.batteryPage) s.batteryPage->SetBatteryDefaults(); else defaultsetup::SetBatteryDefaults(d);
    if (s.relaysPage) s.relaysPage->SetRelaysDefaults(); else defaultsetup::SetRelaysDefaults(d);
    if (s.relaysPage) s.relaysPage->SetRelaysNewDefaults(); else defaultsetup::SetRelaysNewDefaults(d);
    if (s.speedSensorPage) s.speedSensorPage->SetSpeedRelaysDefaults(); else defaultsetup::SetSpeedRelaysDefaults(d);
    if (s.switchPage) s.switchPage->SetDigitalInAdditionalDefaults(); else defaultsetup::SetDigitalInAdditionalDefaults(d);
    doc->ResetBackup();
    return doc;
}

void frmMain::CreateDefaultSetup()
{
    int position = 1;
    try {
        std::unique_ptr<::XelObject> doc = NewDefaultDocument();
        position = 2;
        if (m_state.mainPage)
            m_state.mainPage->SelectDefaultLCDLightScale();
        position = 3;
        ReplaceSetup(std::move(doc));
        position = 4;
        ShowSetup();
        position = 5;
        m_setup->ResetBackup();
        position = 6;
        UpdateCaption(QString());
        m_state.Loading = false;
        position = 7;
        if (m_state.relaysPage)
            m_state.relaysPage->DisableRemoveButtons();
    } catch (const std::exception& e) {
        m_state.Loading = false;
        ReportError(QStringLiteral("InitApplication"), position, QString::fromLocal8Bit(e.what()));
    }
}

bool frmMain::ShowSetup()
{
    MainState& s = m_state;
    try {
        // The Main page keeps the mode flags; without it they come straight from the setup.
        if (!s.mainPage && s.XelObject() && s.XelObject()->Main()) {
            const qint32 mode = s.XelObject()->Main()->OperationMode();
            s.PROPULSION = mode == 2;
            s.Emergency = mode == 3;
        }
        {
            pagecommon::ScopedFlag loading(s.Loading, true);
            if (s.mainPage) s.mainPage->LoadMain();
            if (s.switchPage) s.switchPage->LoadDigital();
            if (s.analogPage) s.analogPage->LoadAnalog();
            if (s.standbyPage) s.standbyPage->LoadStandbyOperation(s.PROPULSION);
            if (s.speedSensorPage) s.speedSensorPage->LoadSpeedSensor();
            if (s.infoPage) s.infoPage->LoadInfo();
            if (s.batteryPage) s.batteryPage->LoadBattery();
            if (s.relaysPage) s.relaysPage->LoadRelays();
            if (s.relaysPage) s.relaysPage->LoadRelaysNew();
            if (s.speedSensorPage) s.speedSensorPage->LoadSpeedRelays();
        }
        s.Loading = false;
        if (s.relaysPage)
            s.relaysPage->GhostRelaysForAnalogInputs();
        if (s.switchPage)
            s.switchPage->SetDetailsEnabled(false);
        if (s.analogPage) {
            s.analogPage->SetDetailsEnabled(false);
            s.analogPage->SetSensorRangeLocked(true);
        }
        if (s.speedSensorPage)
            s.speedSensorPage->SetPickupFramesEnabled(false);

        switch (CurrentTab()) {
        case TabSwitch:
            ShowTabPage(TabSwitch);
            break;
        case TabAnalogIn:
            ShowTabPage(TabAnalogIn);
            break;
        case TabSpeedSensor:
            if (s.speedSensorPage)
                s.speedSensorPage->ShowTabPage();
            break;
        case TabRelays:
            if (s.relaysPage)
                s.relaysPage->UpdateRelayButtons();
            if (s.switchPage)
                s.switchPage->SetActiveCheckEnabled(false);
            if (s.analogPage)
                s.analogPage->SetActiveCheckEnabled(false);
            if (s.relaysPage)
                s.relaysPage->RefreshRelayLists();
            break;
        default:
            break;
        }
        if (s.switchPage) s.switchPage->RefreshDigitalList();
        if (s.analogPage) s.analogPage->RefreshAnalogList();
        if (s.mainPage) {
            s.mainPage->UpdateClassifiedInfo();
            s.mainPage->UpdateIDNumberLabel();
            s.mainPage->UpdateMIDLabel();
        }
        extra::ShowStatusMessage(0);
        return true;
    } catch (...) {
        s.Loading = false;
        return false;
    }
}

// ---- command line --------------------------------------------------------------------

bool frmMain::RunsWithoutWindow(const QStringList& args)
{
    return extra::HasOption(args, QStringLiteral("-t")) || extra::HasOption(args, QStringLiteral("-p"));
}

bool frmMain::NeedsNoDisplay(const QStringList& args)
{
    // A transmit without -q asks its questions in boxes someone has to see.
    if (extra::HasOption(args, QStringLiteral("-t")))
        return extra::HasOption(args, QStringLiteral("-q"));
    return extra::HasOption(args, QStringLiteral("-p"));
}

void frmMain::NoteRunEnd(const QString& what)
{
    if (m_runReason)
        m_runReason->Note(what);
}

bool frmMain::RunCommandLine(const QStringList& args)
{
    if (args.isEmpty())
        return true;
    if (extra::HasOption(args, QStringLiteral("-q")))
        m_state.ExpertMode = true;
    const bool transmit = extra::HasOption(args, QStringLiteral("-t"));
    const bool print = !transmit && extra::HasOption(args, QStringLiteral("-p"));
    if (transmit || print) {
        hide();
        const QString path = FullPath(extra::GetOptionValue(args, transmit ? QStringLiteral("-t") : QStringLiteral("-p")));
        bool loaded = false;
        {
            // Read into a document of its own and shown, so every page-derived flag comes from
            // the file (PROPULSION decides the unit-type check of the transmit).
            pagecommon::ScopedFlag opening(m_state.OpeningSetup, true);
            loaded = OpenSetupFile(path, OpenRoad::Windowless);
        }
        if (!loaded) {
            m_exitStatus = ExitFileNotLoadable;
        } else if (transmit) {
            pagecommon::ScopedFlag busy(m_commandBusy, true);
            // Nobody is there to close the transfer dialog: it closes itself once it is done.
            QTimer closer;
            closer.setInterval(platform::TimeSource::Instance().TimerInterval(200));
            connect(&closer, &QTimer::timeout, this, [this] {
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    auto* dialog = qobject_cast<frmComm*>(w);
                    if (dialog && dialog->isVisible() && dialog->Finished() && !dialog->IsBusy()) {
                        m_transferEnd = dialog->FailureReason();
                        dialog->accept();
                    }
                }
            });
            closer.start();
            m_exitStatus = m_ops.DoFileTransmit && m_ops.DoFileTransmit(m_state) ? ExitOk : ExitTransmitFailed;
        } else {
            pagecommon::ScopedFlag busy(m_commandBusy, true);
            bool printed = false;
            CmdPrint(true, &printed);
            m_exitStatus = printed ? ExitOk : ExitPrintFailed;
        }
        hide();
        // The save question of the shut-down comes after the run has ended.
        if (m_runReason)
            m_runReason->Freeze();
        // The checks may have changed the setup sent: the file does not hold it yet.
        Form_Unload(false);
        return false;
    }
    if (extra::HasOption(args, QStringLiteral("-f")))
        // Kept by its full path, as every file name is: a mail program running elsewhere
        // must find it.
        OpenSetupByName(FullPath(extra::GetOptionValue(args, QStringLiteral("-f"))));
    const bool debugComm = extra::HasOption(args, QStringLiteral("-debugcomm"));
    if (extra::HasOption(args, QStringLiteral("-debug")) || debugComm) {
        m_state.DebugInfo = true;
        SetPanelVisible(QStringLiteral("DEBUG"), true);
    }
    if (debugComm)
        m_state.DebugComm = true;
    return true;
}

// ---- shut-down -----------------------------------------------------------------------

bool frmMain::Form_Unload(bool startupFailed)
{
    if (m_unloaded)
        return true;
    int position = 1;
    try {
        platform::TimeSource::Instance().ProcessEvents();
        position = 2;
        if (!startupFailed && !modDiv::KeysDown(modDiv::VkShift)) {
            bool cancel = false;
            QuerySaveOnExit(cancel);
            if (cancel)
                return false;
        }
        position = 3;
        m_state.ADO = nullptr;
        m_ado.reset();
        position = 4;
        if (m_ops.CloseRetrieveLog)
            m_ops.CloseRetrieveLog();
        position = 5;
        if (m_shownOnce)
            SaveWindowPosition();
        position = 6;
        extra::FreeLanguageLibrary();
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Form_Unload"), position, QString::fromLocal8Bit(e.what()));
    }
    m_unloaded = true;
    return true;
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    // A running command still uses the database and may talk to the unit.
    if (m_commandBusy && !m_exitRequested) {
        platform::MessagePresenter::Instance().Beep();
        event->ignore();
        return;
    }
    if (Form_Unload(false)) {
        event->accept();
        emit Unloaded();
    } else {
        event->ignore();
    }
}
