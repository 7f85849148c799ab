// Start-up, command line and shut-down of the main window.
#include "tests/app/frame/FrameTestSupport.h"

#include "app/services/modRegistry.h"
#include "datamodel/XelMain.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "platform/LibraryLoader.h"
#include "platform/ProgramLocation.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTabWidget>
#include <QTest>

#include <sys/stat.h>

using namespace frametest;

namespace {

class NoLibrary : public platform::LibraryLoader {
public:
    quintptr Load(const QString&) override { return 0; }
    void Free(quintptr) override {}
    std::optional<QString> String(quintptr, quint16) override { return std::nullopt; }
};

class FrameStartup : public FrameTest {};

class EmptyProgramFolder : public platform::ProgramLocation {
public:
    QString folder;
    QString Folder() override { return folder; }
    QString FileName() override { return "quarno"; }
};

} // namespace

TEST_F(FrameStartup, ShowsTheDefaultSetupWithTabsMenusAndTools)
{
    ASSERT_TRUE(Start());
    XelObject* doc = window->XelObject();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->DigitalIn()->Count(), 12);
    EXPECT_EQ(doc->AnalogIn()->Count(), 11);
    EXPECT_FALSE(doc->Changed());
    EXPECT_EQ(window->windowTitle(), "Quarno Q2");
    EXPECT_FALSE(window->Tool("close")->isEnabled());
    const QStringList tabs{"&Main", "S&witch", "&Analog In", "S&tandby Operation", "S&peed Sensor",
                           "&Battery", "&Info.", "&Relays"};
    ASSERT_EQ(window->Tabs()->count(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(window->Tabs()->tabText(i), tabs[i]);
    EXPECT_EQ(window->Tabs()->currentIndex(), 0);
    for (const char* key : {"new", "open", "save", "saveas", "close", "print", "exportastext", "email", "exit",
                            "load", "transmit", "retrievelog", "backupsystemsettings", "clock", "options",
                            "deletelog", "input", "resetcounters", "counters", "contents", "web", "about",
                            "commport", "idnumber", "firmware", "printeroutput"})
        EXPECT_NE(window->findChild<QAction*>(key), nullptr) << key;
    for (int n = 1; n <= 4; ++n)
        EXPECT_FALSE(window->Tool(QStringLiteral("file%1").arg(n))->isVisible());
    EXPECT_NE(window->State().ADO, nullptr);
    EXPECT_EQ(window->Panel("CLASSIFIABLE")->text(), "Classifiable"); // a shown mark is never blank
    EXPECT_EQ(window->State().images.imlDigital.size(), 24);
    EXPECT_FALSE(doubles.settings->Value("StartedFrom").value_or("").isEmpty());
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
}

TEST_F(FrameStartup, TheNewSetupOfTheWindowEqualsTheDefaultDocument)
{
    // One owner of every default: the window (through its pages) and the document helper
    // write the same file.
    ASSERT_TRUE(Start());
    ASSERT_TRUE(window->XelObject()->SaveFile(Path("window.qrn")));
    auto doc = CreateDefaultSetupDocument();
    ASSERT_TRUE(doc->SaveFile(Path("model.qrn")));
    EXPECT_EQ(Bytes(Path("window.qrn")), Bytes(Path("model.qrn")));
}

TEST_F(FrameStartup, ModeFromTheSettingsOrMinusQ)
{
    doubles.settings->SetValue("Mode", "1");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(window->State().ExpertMode);
    CloseWindow();
    doubles.settings->SetValue("Mode", "0");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(window->State().ExpertMode);
    CloseWindow();
    ASSERT_TRUE(Start({"-q"}));
    EXPECT_TRUE(window->State().ExpertMode);
}

TEST_F(FrameStartup, MissingLanguageLibraryEndsWithoutTouchingTheStoredSettings)
{
    NoLibrary none;
    platform::LibraryLoader::SetInstance(&none);
    doubles.settings->SetValue("Pos", "1500,3000");
    doubles.settings->SetValue("FileList/1", "/keep/me.QRN");
    EXPECT_FALSE(Start());
    EXPECT_EQ(window->ExitStatus(), frmMain::ExitNoLanguage);
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_TRUE(doubles.presenter.shown[0].text.startsWith("Language component XELLAN.DLL could not be loaded."));
    EXPECT_EQ(doubles.presenter.shown[0].style, platform::MsgStyle::Critical);
    window->move(10, 10);
    CloseWindow();
    platform::LibraryLoader::SetInstance(nullptr);
    EXPECT_EQ(doubles.settings->Value("Pos").value_or(""), "1500,3000");
    EXPECT_EQ(doubles.settings->Value("FileList/1").value_or(""), "/keep/me.QRN");
}

TEST_F(FrameStartup, DebugOptions)
{
    struct Row {
        QStringList args;
        bool debugInfo, debugComm;
    };
    const Row rows[] = {
        {{"-debug"}, true, false},
        {{"-debugcomm"}, true, true},
        {{"-q", "-debug"}, true, false},
        {{}, false, false},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(Start(row.args));
        EXPECT_EQ(window->State().DebugInfo, row.debugInfo) << row.args.join(' ').toStdString();
        EXPECT_EQ(window->State().DebugComm, row.debugComm) << row.args.join(' ').toStdString();
        EXPECT_EQ(window->Panel("DEBUG")->isVisibleTo(window.get()), row.debugInfo);
        CloseWindow();
    }
}

TEST_F(FrameStartup, MinusFOpensAFileWhoseNameHasBlanks)
{
    const QString path = WriteSetup("my setup file.QRN", [](XelObject& d) { d.Main()->SetIDNumber(7); });
    // Unquoted, as the shell splits it: the rest of the line is the name.
    ASSERT_TRUE(Start(QStringList{"-f"} + path.split(' ')));
    EXPECT_EQ(window->XelObject()->Filename(), path);
    EXPECT_EQ(window->XelObject()->Main()->IDNumber(), 7);
    EXPECT_EQ(window->windowTitle(), "Quarno Q2 - my setup file.QRN");
    EXPECT_EQ(window->RecentFilePath(1), path);
    CloseWindow();
    // Quotes are part of the name: no such file (in the start folder).
    ASSERT_TRUE(Start({"-f", "\"" + path + "\""}));
    EXPECT_TRUE(window->XelObject()->Filename().isEmpty());
    EXPECT_EQ(Shown().value(0), Lang(104, {QDir::current().absoluteFilePath("\"" + path + "\"")}));
}

// A name relative to the folder the program was started in is kept by its full path, so the
// entry opens from any folder later, and a mail program running elsewhere finds the file.
TEST_F(FrameStartup, MinusFWithARelativeNameListsItsFullPath)
{
    const QString path = WriteSetup("here.QRN");
    ASSERT_TRUE(QDir(doubles.dir.path()).mkdir("sub"));
    struct Back {
        QString folder = QDir::currentPath();
        ~Back() { QDir::setCurrent(folder); }
    } back;
    ASSERT_TRUE(QDir::setCurrent(doubles.dir.path()));
    // ".." after a link climbs from the link's target, as the system opens the name.
    ASSERT_TRUE(QDir().mkpath(Path("other/real")) && QFile::link("other/real", Path("linkdir")));
    const QString beside = WriteSetup("other/here.QRN");
    const auto opened = [](const QString& name) {
        struct stat st {};
        return ::stat(QFile::encodeName(name).constData(), &st) == 0 ? std::pair(st.st_dev, st.st_ino) : std::pair<dev_t, ino_t>();
    };
    for (const auto& [typed, full] : {std::pair("here.QRN", path), {"./here.QRN", path}, {"sub/../here.QRN", path},
                                      {"linkdir/../here.QRN", beside}}) {
        doubles.settings->Remove("FileList");
        ASSERT_TRUE(Start({"-f", typed})) << typed;
        EXPECT_EQ(opened(window->XelObject()->Filename()), opened(typed)) << typed;
        EXPECT_EQ(window->RecentFilePath(1), full) << typed;
        EXPECT_EQ(window->XelObject()->Filename(), full) << typed;
        EXPECT_EQ(doubles.settings->Value("FileList/1").value_or(""), full) << typed;
        CloseWindow();
    }
}

TEST_F(FrameStartup, WindowlessTransmitAndPrintEndWithTheirStatus)
{
    const QString good = WriteSetup("prop.QRN", [](XelObject& d) { d.Main()->SetOperationMode(2); });
    const QString damaged = Path("damaged.QRN");
    WriteBytes(damaged, Bytes(good).left(40));
    struct Row {
        QStringList args;
        bool transmitOk;
        int exit;
        QStringList calls;
    };
    const Row rows[] = {
        {{"-q", "-t", good}, true, frmMain::ExitOk, {"DoFileTransmit"}},
        {{"-t", good}, false, frmMain::ExitTransmitFailed, {"DoFileTransmit"}},
        {{"-t", damaged}, true, frmMain::ExitFileNotLoadable, {}},
        {{"-t", Path("missing.QRN")}, true, frmMain::ExitFileNotLoadable, {}},
        // Both: only the transmit runs.
        {{"-p", good, "-t", good}, true, frmMain::ExitOk, {"DoFileTransmit"}},
        {{"-t", good, "-p", good}, true, frmMain::ExitOk, {"DoFileTransmit"}},
        {{"-p", good}, true, frmMain::ExitOk, {"PrintSetup"}},
        {{"-p", damaged}, true, frmMain::ExitFileNotLoadable, {}},
    };
    for (const Row& row : rows) {
        doubles.presenter.shown.clear();
        unit = UnitLog();
        unit.transmitOk = row.transmitOk;
        const std::string name = row.args.join(' ').toStdString();
        EXPECT_FALSE(Start(row.args)) << name;
        EXPECT_EQ(window->ExitStatus(), row.exit) << name;
        EXPECT_FALSE(window->isVisible()) << name;
        QStringList calls = unit.calls;
        calls.removeAll("CloseRetrieveLog");
        EXPECT_EQ(calls, row.calls) << name;
        if (row.exit == frmMain::ExitFileNotLoadable) {
            ASSERT_EQ(doubles.presenter.shown.size(), 1) << name;
            EXPECT_EQ(doubles.presenter.shown[0].style, platform::MsgStyle::Exclamation);
        } else {
            EXPECT_TRUE(doubles.presenter.shown.isEmpty()) << name; // nobody to ask
        }
        if (row.calls == QStringList{"DoFileTransmit"})
            EXPECT_TRUE(unit.transmitSawPropulsion) << name; // the file's mode, not the default's
        if (row.calls == QStringList{"PrintSetup"})
            EXPECT_EQ(unit.printedDirect, 1);
        window.reset();
    }
}

TEST_F(FrameStartup, PlaceWindowKeepsTheWindowInTheWorkArea)
{
    ASSERT_TRUE(Start());
    window->resize(400, 300);
    const QSize frame = window->frameGeometry().size();
    struct Row {
        int x, y; // twips
        QPoint expected;
    };
    const Row rows[] = {
        {1500, 3000, {100, 200}},
        {0, 0, {0, 0}},
        {-9000, -9000, {0, 0}},
        {999999, 999999, {1280 - frame.width(), 1024 - frame.height()}},
    };
    for (const Row& row : rows) {
        window->PlaceWindow(row.x, row.y);
        EXPECT_EQ(window->pos(), row.expected) << row.x;
    }
    // Larger than the work area: its left and top edge.
    screen.area = QRect(0, 0, 200, 100);
    window->PlaceWindow(3000, 3000);
    EXPECT_EQ(window->pos(), QPoint(0, 0));
}

// The stored position is the frame's, title bar included, and is kept inside the work area
// whatever decorations the window manager puts around the window; a start after an exit
// finds the window where it was.
TEST_F(FrameStartup, TheFrameIsPlacedInsideTheWorkAreaUnderAnyWindowManager)
{
    screen.area = QRect(0, 24, 1280, 1000); // a panel at the top
    const QMargins managers[] = {QMargins(), QMargins(0, 20, 0, 0), QMargins(4, 30, 4, 4)};
    struct Row {
        const char* pos;
        QPoint frame; // expected top-left of the frame; x or y -1 = at the right or bottom edge
    };
    const Row rows[] = {
        {"1500,3000", {100, 200}},
        {"0,0", {0, 24}},
        {"", {0, 24}},
        {"300,-300", {20, 24}},
        {"2147483000,100", {-1, 24}},
        {"100,2147483647", {6, -1}},
        {"-2147483648,-2147483648", {0, 24}},
        {"abc,def", {0, 24}},
    };
    for (const bool placesClient : {false, true})
    for (const QMargins& m : managers) {
        screen.margins = m;
        screen.placesClient = placesClient;
        for (const Row& row : rows) {
            const std::string name = QStringLiteral("%1 under a title bar of %2%3")
                                         .arg(row.pos)
                                         .arg(m.top())
                                         .arg(placesClient ? " placing the client" : "")
                                         .toStdString();
            doubles.settings->SetValue("Pos", row.pos);
            ASSERT_TRUE(Start()) << name;
            auto expectedFor = [&](QSize size) {
                return QPoint(row.frame.x() < 0 ? screen.area.right() + 1 - size.width() : row.frame.x(),
                              row.frame.y() < 0 ? screen.area.bottom() + 1 - size.height() : row.frame.y());
            };
            const QRect frame = window->FrameRect();
            EXPECT_EQ(frame, window->geometry().marginsAdded(m)) << name;
            EXPECT_TRUE(screen.area.contains(frame)) << name;
            EXPECT_EQ(frame.topLeft(), expectedFor(frame.size())) << name;
            // Shown (the window may grow to its contents), closed and started again: the same
            // place, no drift by the title bar. The headless window system would add a frame of
            // its own: the seam alone plays the window manager.
            window->setAttribute(Qt::WA_DontShowOnScreen);
            window->show();
            QCoreApplication::processEvents();
            const QRect shown = window->FrameRect();
            EXPECT_TRUE(screen.area.contains(shown)) << name;
            EXPECT_EQ(shown.topLeft(), expectedFor(shown.size())) << name;
            CloseWindow();
            EXPECT_EQ(doubles.settings->Value("Pos").value_or(""),
                      QStringLiteral("%1,%2").arg(shown.x() * 15).arg(shown.y() * 15)) << name;
            ASSERT_TRUE(Start()) << name;
            EXPECT_EQ(window->FrameRect().topLeft(), shown.topLeft()) << name;
            CloseWindow();
        }
    }
}

// Window managers that tell their decorations only after the window is mapped, or never: the
// window is placed again once they are known, so the title bar ends up inside the work area.
TEST_F(FrameStartup, DecorationsToldAfterTheFirstShowMoveTheWindowBelowTheTitleBar)
{
    screen.area = QRect(0, 24, 1280, 1000);
    const std::optional<QMargins> told[] = {QMargins(1, 20, 1, 5), QMargins(0, 30, 0, 0), std::nullopt};
    for (const std::optional<QMargins>& late : told) {
        for (const bool placesClient : {false, true}) {
            const std::string name = QStringLiteral("title bar %1%2")
                                         .arg(late ? late->top() : 0)
                                         .arg(placesClient ? " placing the client" : "")
                                         .toStdString();
            screen.margins = QMargins(); // nothing told yet
            screen.placesClient = placesClient;
            doubles.settings->SetValue("Pos", "0,0");
            ASSERT_TRUE(Start()) << name;
            window->setAttribute(Qt::WA_DontShowOnScreen);
            window->show();
            QCoreApplication::processEvents();
            if (late)
                screen.margins = *late;
            // The look-out ends within its twenty ticks of a millisecond here.
            QTest::qWait(60);
            const QRect frame = window->FrameRect();
            EXPECT_EQ(frame.topLeft(), QPoint(0, 24)) << name;
            EXPECT_EQ(window->geometry().topLeft(), QPoint(0, 24) + QPoint(late ? late->left() : 0, late ? late->top() : 0))
                << name;
            CloseWindow();
        }
    }
}

TEST_F(FrameStartup, ShutDownStoresThePositionAndAsksAboutAChangedSetup)
{
    ASSERT_TRUE(Start());
    window->show();
    window->move(40, 60);
    window->XelObject()->Main()->SetIDNumber(9);
    doubles.presenter.answers = {platform::MsgResult::Cancel};
    EXPECT_FALSE(window->close());
    EXPECT_EQ(Shown(), QStringList{Lang(102)});
    doubles.presenter.answers = {platform::MsgResult::No};
    EXPECT_TRUE(window->close());
    const QStringList pos = doubles.settings->Value("Pos").value_or("").split(',');
    ASSERT_EQ(pos.size(), 2);
    EXPECT_EQ(pos[0].toInt(), window->frameGeometry().x() * 15);
    window.reset();
}

TEST_F(FrameStartup, ShiftSkipsTheQuestionAndABusyCommandRefusesTheClose)
{
    ASSERT_TRUE(Start());
    window->show();
    window->XelObject()->Main()->SetIDNumber(9);
    unit.detect = true;
    // A command that tries to close the window while it runs.
    bool closed = true;
    window->UnitOps().CmdClock = [&](MainState&) { closed = window->close(); };
    window->ToolClick("clock");
    EXPECT_FALSE(closed);
    EXPECT_EQ(doubles.presenter.beeps, 1);
    EXPECT_FALSE(window->CommandBusy());
    doubles.keys.shift = true;
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
}

TEST_F(FrameStartup, MissingDatabaseShowsMessage97AndEnds)
{
    EmptyProgramFolder program;
    program.folder = Path("");
    platform::ProgramLocation::SetInstance(&program);
    doubles.settings->SetValue("Pos", "1500,3000");
    EXPECT_FALSE(Start({"-f", WriteSetup("never.QRN")}));
    EXPECT_EQ(window->ExitStatus(), frmMain::ExitNoDatabase);
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_TRUE(Shown()[0].startsWith("Your Quarno database file (quarno.mdb) could not be opened."));
    EXPECT_EQ(doubles.presenter.shown.value(0).style, platform::MsgStyle::Critical);
    EXPECT_EQ(window->XelObject(), nullptr); // start-up ended before the first setup
    EXPECT_FALSE(extra::LanguageLibraryLoaded());
    CloseWindow();
    platform::ProgramLocation::SetInstance(nullptr);
    EXPECT_EQ(doubles.settings->Value("Pos").value_or(""), "1500,3000");
    EXPECT_TRUE(doubles.settings->Value("FileList/1").value_or("").isEmpty());
}

TEST_F(FrameStartup, AMinimizedWindowKeepsTheStoredPosition)
{
    ASSERT_TRUE(Start());
    window->show();
    doubles.settings->SetValue("Pos", "300,450");
    window->showMinimized();
    ASSERT_TRUE(window->isMinimized());
    EXPECT_TRUE(window->close());
    EXPECT_EQ(doubles.settings->Value("Pos").value_or(""), "300,450");
    window.reset();
}
