// New, open, save, save as, close and the recent-file list of the main window.
#include "tests/app/frame/FrameTestSupport.h"

#include "app/reports/Reports.h"
#include "datamodel/XelMain.h"
#include "platform/FileAttributes.h"
#include "platform/FileIdentity.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/NonRegularFiles.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QtEndian>
#include <optional>

using namespace frametest;
using platform::MsgResult::Cancel;
using platform::MsgResult::No;
using platform::MsgResult::OK;
using platform::MsgResult::Yes;
using namespace platform::MsgStyle;

namespace {

class DocumentCommands : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(Start());
    }
    // A copy of a setup file with another header version.
    QString WithVersion(const QString& source, const QString& name, qint16 major, qint16 minor)
    {
        QByteArray bytes = Bytes(source);
        qToLittleEndian<qint16>(major, bytes.data() + 3);
        qToLittleEndian<qint16>(minor, bytes.data() + 5);
        const QString path = Path(name);
        WriteBytes(path, bytes);
        return path;
    }
    void Change() { window->XelObject()->Main()->SetIDNumber(quint8(window->XelObject()->Main()->IDNumber() + 1)); }
};

} // namespace

TEST_F(DocumentCommands, SaveQuestionOfNewAndClose)
{
    struct Row {
        const char* key;
        bool shift;
        QList<int> answers;
        bool replaced;
        int questions;
    };
    const Row rows[] = {
        {"new", false, {Cancel}, false, 1},
        {"new", false, {No}, true, 1},
        {"close", false, {No}, true, 1},
        {"new", true, {}, true, 0},
        {"close", false, {Yes}, false, 1}, // Yes: the save dialog is cancelled, nothing replaced
    };
    for (const Row& row : rows) {
        Change();
        XelObject* before = window->XelObject();
        doubles.presenter.shown.clear();
        doubles.presenter.answers = row.answers;
        doubles.keys.shift = row.shift;
        window->ToolClick(row.key);
        doubles.keys.shift = false;
        EXPECT_EQ(window->XelObject() != before, row.replaced) << row.key;
        ASSERT_EQ(doubles.presenter.shown.size(), row.questions) << row.key;
        if (row.questions) {
            EXPECT_EQ(doubles.presenter.shown[0].text, Lang(100));
            EXPECT_EQ(doubles.presenter.shown[0].style, platform::MsgStyle::YesNoCancel | platform::MsgStyle::Question);
        }
        if (row.replaced)
            EXPECT_FALSE(window->XelObject()->Changed());
    }
}

TEST_F(DocumentCommands, SaveOfANewSetupGoesThroughTheDialogAndWritesTheModelsBytes)
{
    Change();
    const QString path = Path("first.QRN");
    dialogs.answers = {path};
    window->ToolClick("save");
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_EQ(dialogs.requests[0].title, "Save Quarno Q2 File");
    EXPECT_EQ(dialogs.requests[0].filter, "Quarno Files (*.qrn)|*.qrn|All files (*.*)|*.*");
    EXPECT_TRUE(doubles.presenter.shown.isEmpty()); // no version question for a new setup
    EXPECT_EQ(window->windowTitle(), "Quarno Q2 - first.QRN");
    EXPECT_TRUE(window->Tool("close")->isEnabled());
    EXPECT_EQ(Status(), Lang(261, {"first.QRN"}));
    EXPECT_EQ(window->Panel("USER")->text(), "  tester");
    EXPECT_EQ(doubles.settings->Value("FileList/1").value_or(""), path);
    // The same file written by the data model alone.
    auto copy = std::make_unique<XelObject>();
    FillDefaultSetup(*copy);
    ASSERT_TRUE(copy->LoadFile(path));
    ASSERT_TRUE(copy->SaveFile(Path("copy.QRN")));
    EXPECT_EQ(Bytes(path), Bytes(Path("copy.QRN")));
    // Save again: no dialog.
    Change();
    window->ToolClick("save");
    EXPECT_EQ(dialogs.requests.size(), 1);
    EXPECT_FALSE(window->XelObject()->Changed());
}

TEST_F(DocumentCommands, SaveAsAndACancelledDialog)
{
    dialogs.answers = {""};
    window->ToolClick("saveas");
    EXPECT_EQ(Status(), Lang(260));
    dialogs.answers = {Path("as.QRN")};
    window->ToolClick("saveas");
    EXPECT_EQ(dialogs.requests.last().title, "Save Quarno Q2 File As");
    EXPECT_EQ(Status(), Lang(234, {"as.QRN"}));
    EXPECT_EQ(window->XelObject()->Filename(), Path("as.QRN"));
}

TEST_F(DocumentCommands, OpenShowsTheFileAndAddsItToTheRecentList)
{
    const QString path = WriteSetup("a.QRN", [](XelObject& d) { d.Main()->SetIDNumber(42); });
    dialogs.answers = {path};
    window->ToolClick("open");
    EXPECT_EQ(dialogs.requests[0].title, "Open setup file");
    EXPECT_EQ(window->XelObject()->Main()->IDNumber(), 42);
    EXPECT_FALSE(window->XelObject()->Changed());
    EXPECT_EQ(window->windowTitle(), "Quarno Q2 - a.QRN");
    EXPECT_EQ(Status(), Lang(232, {"a.QRN"}));
    EXPECT_EQ(window->RecentFilePath(1), path);
    EXPECT_EQ(window->Tool("file1")->text(), "&1 " + path);
    EXPECT_TRUE(window->Tool("file1")->isVisible());
    EXPECT_EQ(doubles.settings->Value("FileOpenLocation").value_or(""), doubles.dir.path());
}

// Settings that become unusable while a command runs: their notice follows the command's own
// status text, which would otherwise replace it at once, and is said only that once.
TEST_F(DocumentCommands, ASettingsNoticeFollowsTheStatusTextOfTheCommandThatMetIt)
{
    const QString a = WriteSetup("a.QRN");
    const QString b = WriteSetup("b.QRN");
    for (const QString& path : {a, b}) {
        dialogs.answers = {path};
        window->ToolClick("open");
    }
    struct Row {
        const char* key;
        QString dialogAnswer;
        QString status;
    };
    const Row rows[] = {
        {"file2", "", Lang(232, {"a.QRN"})}, // up to the top of the recent list
        {"open", b, Lang(232, {"b.QRN"})},
        {"saveas", Path("c.QRN"), Lang(234, {"c.QRN"})},
    };
    for (const Row& row : rows) {
        const QString file = Path(QString("%1.ini").arg(row.key));
        platform::QtSettingsStore store(file);
        ASSERT_TRUE(store.SetValue("Mode", "0"));
        StoreInPlace inPlace(store);
        ASSERT_TRUE(QFile::remove(file) && QDir().mkdir(file)); // a folder in its place
        if (!row.dialogAnswer.isEmpty())
            dialogs.answers = {row.dialogAnswer};
        window->ToolClick(row.key);
        ASSERT_FALSE(store.Notice().isEmpty()) << row.key;
        EXPECT_EQ(Status(), row.status + ". " + store.Notice()) << row.key;
        doubles.keys.shift = true;
        window->ToolClick("new");
        doubles.keys.shift = false;
        EXPECT_FALSE(Status().contains(store.Notice())) << row.key;
    }
}

// Every road that opens a file treats a file that did not load alike: the open setup (at
// start-up a new untitled one) stays as it was, the notice is shown, the recent list does not
// get the file, and a Save cannot write over it.
TEST_F(DocumentCommands, EveryRoadTreatsAFileThatDidNotLoadAlike)
{
    const QString good = WriteSetup("good.QRN", [](XelObject& d) { d.Main()->SetIDNumber(42); });
    const QString foreign = Path("foreign.QRN");
    WriteBytes(foreign, QByteArray("MZ this is no setup file at all, just some bytes"));
    const QString damaged = Path("damaged.QRN");
    WriteBytes(damaged, Bytes(good).left(300));
    const QString damagedMinor = Path("damaged216.QRN");
    // A whole file of a newer minor version than the program's 2.15, readable to its end.
    const QString newerMinor = WithVersion(good, "full216.QRN", 2, 16);
    WriteBytes(damagedMinor, Bytes(newerMinor).left(300));
    const QString newerLoads = WithVersion(good, "newer3.QRN", 3, 0);
    const QString newerRefused = WithVersion(good, "newer12.QRN", 12, 0);
    // Names that are no regular file are refused at once; a pipe would block the open.
    const QString pipe = Path("pipe.QRN");
    ASSERT_TRUE(testing_files::MakePipe(pipe));
    ASSERT_TRUE(QDir(doubles.dir.path()).mkdir("folder.QRN"));

    enum Road { Dialog, Recent, MinusF, MinusP, MinusT };
    enum Kind { Good, Newer, Damaged, Foreign, NotAFile };
    struct File {
        QString path;
        Kind kind;
        QString version; // in the notice
    };
    const File files[] = {
        {good, Good, ""},           {newerLoads, Newer, "3.0"},  {newerRefused, Newer, "12.0"},
        {damaged, Damaged, ""},     {damagedMinor, Damaged, ""}, {foreign, Foreign, ""},
        {newerMinor, Newer, "2.16"},
        {pipe, NotAFile, ""},       {Path("folder.QRN"), NotAFile, ""}, {testing_files::Device(), NotAFile, ""},
    };
    // The texts, while the language library is loaded (a run without a window frees it).
    QHash<QString, QString> text;
    for (const File& file : files) {
        text["94" + file.path] = Lang(94, {file.path});
        text["104" + file.path] = Lang(104, {file.path});
        text["199" + file.path] = Lang(199, {"2.15", file.version});
    }
    const QString failed = Lang(233);
    for (Road road : {Dialog, Recent, MinusF, MinusP, MinusT}) {
        for (const File& file : files) {
            const std::string name = QStringLiteral("road %1 %2").arg(road).arg(file.path).toStdString();
            const bool regular = file.kind != NotAFile;
            std::optional<testing_files::Deadline> deadline;
            if (!regular)
                deadline.emplace(name);
            const QByteArray original = regular ? Bytes(file.path) : QByteArray();
            CloseWindow();
            doubles.settings->Remove("FileList");
            doubles.presenter.shown.clear();
            doubles.presenter.answers.clear();
            unit = UnitLog();
            dialogs.answers.clear();
            QString noticeText;
            DialogAnswer close("frmFileVersionConflict", "cmdCancel", [&](QDialog* d) {
                noticeText = d->findChild<QLabel*>("lblMessage")->text();
            });
            const bool windowless = road == MinusP || road == MinusT;
            XelObject* before = nullptr;
            if (windowless || road == MinusF) {
                const QStringList args{road == MinusF ? "-f" : road == MinusP ? "-p" : "-t", file.path};
                EXPECT_EQ(Start(args), !windowless) << name;
            } else {
                ASSERT_TRUE(Start());
                // An open setup with a file and unsaved changes, which the user keeps.
                dialogs.answers = {Path("mine.QRN")};
                window->ToolClick("saveas");
                if (road == Recent)
                    window->AddRecent(file.path);
                Change();
                before = window->XelObject();
                doubles.presenter.shown.clear();
                doubles.presenter.answers = {No}; // do not save the changes
                dialogs.answers = {file.path};
                window->ToolClick(road == Dialog ? "open" : "file1");
            }
            QStringList shown = Shown();
            if (before)
                shown.removeFirst(); // the save question
            EXPECT_EQ(close.seen, file.kind == Newer ? 1 : 0) << name;
            if (file.kind == Newer)
                EXPECT_EQ(noticeText, text["199" + file.path]) << name;
            const bool byName = road != Dialog;
            QStringList message;
            const bool foreign = file.kind == Foreign || file.kind == NotAFile;
            if (foreign && !byName)
                message = {text["94" + file.path]};
            else if ((foreign || file.kind == Damaged) && byName)
                message = {text["104" + file.path]};
            EXPECT_EQ(shown, message) << name;

            if (windowless) {
                const QStringList calls{road == MinusT ? "DoFileTransmit" : "PrintSetup"};
                QStringList made = unit.calls;
                made.removeAll("CloseRetrieveLog");
                EXPECT_EQ(made, file.kind == Good ? calls : QStringList()) << name;
                EXPECT_EQ(window->ExitStatus(), file.kind == Good ? frmMain::ExitOk : frmMain::ExitFileNotLoadable) << name;
                EXPECT_EQ(doubles.settings->Value("FileList/1").value_or(""), "") << name;
                window.reset();
                if (regular)
                    EXPECT_EQ(Bytes(file.path), original) << name;
                continue;
            }
            if (file.kind == Good) {
                EXPECT_EQ(window->XelObject()->Filename(), file.path) << name;
                EXPECT_EQ(window->XelObject()->Main()->IDNumber(), 42) << name;
                EXPECT_EQ(window->RecentFilePath(1), file.path) << name;
                continue;
            }
            if (before) {
                // Another document means the one kept was freed: nothing more to look at.
                if (window->XelObject() != before) {
                    ADD_FAILURE() << name << ": the open setup was replaced";
                    continue;
                }
                EXPECT_TRUE(before->Changed()) << name;
                EXPECT_EQ(before->Filename(), Path("mine.QRN")) << name;
                EXPECT_EQ(window->windowTitle(), "Quarno Q2 - mine.QRN") << name;
            } else {
                EXPECT_TRUE(window->XelObject()->Filename().isEmpty()) << name;
                EXPECT_FALSE(window->XelObject()->Changed()) << name;
                EXPECT_EQ(window->windowTitle(), "Quarno Q2") << name;
            }
            if (!foreign || byName)
                EXPECT_EQ(Status(), failed) << name;
            // A failed recent entry leaves the list; no road adds the file.
            for (int n = 1; n <= 4; ++n)
                EXPECT_NE(window->RecentFilePath(n), file.path) << name << " entry " << n;
            // Save writes the open setup's own file (or asks for a name): never the file.
            dialogs.answers = {""};
            window->ToolClick("save");
            if (regular)
                EXPECT_EQ(Bytes(file.path), original) << name;
        }
    }
}

// A disk that takes only part of the file: every save road says so, the old file stays as it
// was, the setup stays changed (Exit still asks), and nothing claims it was saved.
TEST_F(DocumentCommands, ASaveThatCannotBeWrittenWholeChangesNothing)
{
    enum Flow { Save, SaveAs, SaveNew, ExitYes };
    struct Row {
        Flow flow;
        const char* name;
    };
    const Row rows[] = {{Save, "save"}, {SaveAs, "save as over another file"}, {SaveNew, "first save"},
                        {ExitYes, "exit, Yes to save"}};
    for (const Row& row : rows) {
        CloseWindow();
        ASSERT_TRUE(Start());
        const QString mine = WriteSetup("b.QRN", [](XelObject& d) { d.Main()->SetIDNumber(5); });
        const QString other = WriteSetup("other.QRN", [](XelObject& d) { d.Main()->SetIDNumber(6); });
        QFile::remove(Path("new.QRN"));
        const QByteArray mineBytes = Bytes(mine), otherBytes = Bytes(other);
        if (row.flow != SaveNew)
            ASSERT_TRUE(window->OpenSetupByName(mine));
        Change();
        const QString title = window->windowTitle();
        doubles.presenter.shown.clear();
        {
            FileSizeLimit disk(1000); // far less than a setup file
            if (row.flow == Save) {
                window->ToolClick("save");
            } else if (row.flow == SaveAs) {
                dialogs.answers = {other};
                window->ToolClick("saveas");
            } else if (row.flow == SaveNew) {
                dialogs.answers = {Path("new")};
                window->ToolClick("save");
            } else {
                doubles.presenter.answers = {Yes};
                EXPECT_FALSE(window->close()) << row.name; // not saved: the program runs on
            }
        }
        EXPECT_EQ(Bytes(mine), mineBytes) << row.name;
        EXPECT_EQ(Bytes(other), otherBytes) << row.name;
        EXPECT_FALSE(QFile::exists(Path("new.QRN"))) << row.name;
        EXPECT_EQ(Status(), Lang(260)) << row.name;
        EXPECT_EQ(window->windowTitle(), title) << row.name;
        EXPECT_EQ(window->XelObject()->Filename(), row.flow == SaveNew ? QString() : mine) << row.name;
        EXPECT_TRUE(window->XelObject()->Changed()) << row.name;
        // Exit still asks.
        doubles.presenter.shown.clear();
        doubles.presenter.answers = {Cancel};
        EXPECT_FALSE(window->close()) << row.name;
        EXPECT_EQ(Shown(), QStringList{row.flow == SaveNew ? Lang(102) : Lang(103, {"b.QRN"})}) << row.name;
    }
}

// The save dialogs add ".QRN" to a name typed without one, so the Open dialog shows the file
// and the overwrite question is about the file written.
TEST_F(DocumentCommands, SaveDialogsAddTheSuffixBeforeTheyAskAboutOverwriting)
{
    const QString existing = WriteSetup("genset1.QRN");
    struct Row {
        const char* tool;
        QString typed;
        QString written;
        bool asked;
    };
    const Row rows[] = {
        {"save", Path("genset1"), Path("genset1.QRN"), true},
        {"saveas", Path("genset2"), Path("genset2.QRN"), false},
        {"saveas", Path("genset3.qrn"), Path("genset3.qrn"), false},
    };
    for (const Row& row : rows) {
        doubles.keys.shift = true;
        window->ToolClick("new");
        doubles.keys.shift = false;
        Change();
        dialogs.overwriteAsked.clear();
        dialogs.answers = {row.typed};
        window->ToolClick(row.tool);
        EXPECT_EQ(dialogs.requests.last().defaultSuffix, "QRN");
        EXPECT_EQ(window->XelObject()->Filename(), row.written);
        EXPECT_TRUE(QFile::exists(row.written));
        EXPECT_EQ(dialogs.overwriteAsked, row.asked ? QStringList{existing} : QStringList());
    }
    EXPECT_FALSE(QFile::exists(Path("genset1")));
}

TEST_F(DocumentCommands, RecentFilesKeepTheirOrderAndAVanishedOneIsRemoved)
{
    QStringList paths;
    for (const char* name : {"r1.QRN", "r2.QRN", "r3.QRN", "r4.QRN"})
        paths << WriteSetup(name);
    for (const QString& p : paths) {
        dialogs.answers = {p};
        window->ToolClick("open");
    }
    // Newest first.
    EXPECT_EQ(window->RecentFilePath(1), paths[3]);
    EXPECT_EQ(window->RecentFilePath(4), paths[0]);
    // Entry 2 vanishes: 3 and 4 move up, 4 disappears, the stored list follows.
    QFile::remove(paths[2]);
    window->ToolClick("file2");
    EXPECT_EQ(Shown().value(0), Lang(104, {paths[2]}));
    EXPECT_EQ(window->RecentFilePath(1), paths[3]);
    EXPECT_EQ(window->RecentFilePath(2), paths[1]);
    EXPECT_EQ(window->RecentFilePath(3), paths[0]);
    EXPECT_EQ(window->Tool("file2")->text(), "&2 " + paths[1]);
    EXPECT_FALSE(window->Tool("file4")->isVisible());
    EXPECT_EQ(doubles.settings->Value("FileList/2").value_or(""), paths[1]);
    EXPECT_EQ(doubles.settings->Value("FileList/4").value_or(""), "");
    // A recent entry opens its file.
    window->ToolClick("file3");
    EXPECT_EQ(window->XelObject()->Filename(), paths[0]);
}

TEST_F(DocumentCommands, OldFileVersionsAskBeforeTheyAreSavedInTheNewFormat)
{
    const QString old = WithVersion(WriteSetup("base.QRN"), "old.QRN", 1, 5);
    ASSERT_TRUE(window->OpenSetupByName(old)) << "a 1.5 file does not open";
    const QByteArray original = Bytes(old);
    struct Row {
        QList<int> answers;
        QString saveAs; // the save-as dialog's answer
        bool shift;
        QStringList asked;
        bool written;
    };
    const QString v = window->XelObject()->FileVersion();
    const Row rows[] = {
        {{Cancel}, "", false, {Lang(196, {v})}, false},
        {{OK, Cancel}, "", false, {Lang(196, {v}), Lang(106, {v})}, false},
        // No keeps the original: the same name in the save-as dialog is refused.
        {{OK, No}, old, false, {Lang(196, {v}), Lang(106, {v})}, false},
        // A 2.15 file under a 1.5 header holds bytes the old layout does not read.
        {{OK, Yes}, "", true, {Lang(196, {v}), Lang(197, {"old.QRN"})}, true},
    };
    for (const Row& row : rows) {
        window->OpenSetupByName(old);
        Change();
        doubles.presenter.shown.clear();
        doubles.presenter.answers = row.answers;
        dialogs.answers = {row.saveAs};
        doubles.keys.shift = row.shift;
        window->ToolClick("save");
        doubles.keys.shift = false;
        EXPECT_EQ(Shown(), row.asked);
        EXPECT_EQ(Bytes(old) != original, row.written);
        WriteBytes(old, original);
        doubles.keys.shift = true;
        window->ToolClick("new");
        doubles.keys.shift = false;
    }
}

// A file holding data this version does not read (an SMS number another tool wrote) loses it
// when it is replaced: every road that would replace it asks first, No (the default) keeps it.
TEST_F(DocumentCommands, ReplacingAFileWithDataThisVersionDoesNotReadAsksFirst)
{
    const QString path = Path("sms.QRN"), other = Path("copy.QRN");
    const QByteArray withData = Bytes(WriteSetup("sms.QRN")) + QByteArray("\x01\x00+4712345678\x00\x00", 16);
    enum Road { Save, SaveAsSame, SaveAsOther, ExitYes, EmailYes };
    const struct {
        Road road;
        QList<int> answers; // the save question first, where the road has one
        bool replaced;
    } rows[] = {{Save, {No}, false},       {Save, {Yes}, true},          {SaveAsSame, {No}, false},
                {SaveAsOther, {}, false},  {ExitYes, {Yes, No}, false},  {EmailYes, {Yes, No}, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "road " << row.road);
        WriteBytes(path, withData);
        QFile::remove(other);
        ASSERT_TRUE(window->OpenSetupByName(path));
        Change();
        doubles.presenter.shown.clear();
        doubles.presenter.answers = row.answers;
        dialogs.answers = {row.road == SaveAsOther ? other : path};
        if (row.road == ExitYes)
            EXPECT_FALSE(window->close()); // not saved: the program runs on
        else if (row.road == EmailYes)
            EXPECT_FALSE(window->CmdEmail());
        else
            window->ToolClick(row.road == Save ? "save" : "saveas");
        QStringList shown = Shown();
        if (row.answers.size() == 2)
            shown.removeFirst();
        EXPECT_EQ(shown, row.road == SaveAsOther ? QStringList() : QStringList{Lang(197, {"sms.QRN"})});
        if (!shown.isEmpty())
            EXPECT_EQ(doubles.presenter.shown.last().style, platform::MsgStyle::YesNo | platform::MsgStyle::Question
                                                                | platform::MsgStyle::DefaultButton2);
        EXPECT_EQ(Bytes(path) != withData, row.replaced);
        EXPECT_EQ(QFile::exists(other), row.road == SaveAsOther);
        EXPECT_EQ(window->XelObject()->Changed(), !row.replaced && row.road != SaveAsOther);
    }
}

// Two windows on one file, or another program writing it: a plain Save replaces a file changed
// since this window read or last saved it only after question 146 (No the default).
TEST_F(DocumentCommands, SaveAsksBeforeReplacingAFileChangedSinceThisWindowReadIt)
{
    enum Other { TheySaveFirst, WeSaveFirst, SameSizeTimePutBack, FlagClearedHere };
    const struct Row {
        Other other;
        const char* action;
        int answer;
        bool asked, replaced;
    } rows[] = {{TheySaveFirst, "save", No, true, false},       {TheySaveFirst, "save", Yes, true, true},
                {WeSaveFirst, "save", No, true, false},         {SameSizeTimePutBack, "save", No, true, false},
                {FlagClearedHere, "save", No, false, true},     {TheySaveFirst, "saveas", No, false, false},
                {WeSaveFirst, "exit", No, false, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.other << " " << row.action << " " << row.answer);
        const QString path = WriteSetup("two.QRN");
        platform::FileAttributes::Instance().SetReadOnly(path, row.other == FlagClearedHere);
        doubles.keys.shift = true; // no question about the last row's changes
        ASSERT_TRUE(window->OpenSetupByName(path));
        doubles.keys.shift = false;
        if (row.other == WeSaveFirst) {
            Change();
            window->ToolClick("save");
        }
        platform::FileStamp stamp;
        platform::FileIdentity::Instance().Stamp(path, stamp);
        QByteArray bytes = Bytes(path);
        bytes[20] ^= 1;
        if (row.other == SameSizeTimePutBack) {
            WriteBytes(path, bytes);
            platform::FileIdentity::Instance().SetLastWriteTime(path, stamp);
        } else if (row.other == FlagClearedHere) {
            window->PanelDblClick("ro");
        } else { // the other window's save
            WriteSetup("two.QRN", [](XelObject& d) { d.Main()->SetIDNumber(77); });
        }
        const QByteArray before = Bytes(path);
        doubles.presenter.shown.clear();
        doubles.presenter.answers = {row.answer};
        dialogs.answers = {Path("elsewhere.QRN")};
        if (QLatin1String(row.action) == "exit") {
            EXPECT_TRUE(window->close()); // nothing of this window's own is unsaved
        } else {
            Change();
            window->ToolClick(row.action);
        }
        EXPECT_EQ(Shown(), row.asked ? QStringList{Lang(146, {"two.QRN"})} : QStringList());
        EXPECT_EQ(doubles.presenter.shown.value(0).style, row.asked ? YesNo | Question | DefaultButton2 : 0);
        EXPECT_EQ(Bytes(path) != before, row.replaced);
        EXPECT_EQ(window->XelObject()->Changed(), row.asked && !row.replaced);
    }
}

TEST_F(DocumentCommands, ReadOnlyFileShowsInTheCaptionAndAsksBeforeSaving)
{
    const QString path = WriteSetup("ro.QRN");
    platform::FileAttributes::Instance().SetReadOnly(path, true);
    ASSERT_TRUE(window->OpenSetupByName(path));
    EXPECT_EQ(window->windowTitle(), "Quarno Q2 - ro.QRN (Read-Only)");
    EXPECT_TRUE(window->Panel("RO")->isVisibleTo(window.get()));
    const QByteArray before = Bytes(path);
    Change();
    doubles.presenter.answers = {No};
    dialogs.answers = {""}; // No turns the save into a save-as, which is cancelled
    window->ToolClick("save");
    EXPECT_EQ(Shown().value(0), Lang(189, {"ro.QRN"}));
    EXPECT_EQ(doubles.presenter.shown.value(0).style,
              platform::MsgStyle::YesNo | platform::MsgStyle::Question | platform::MsgStyle::DefaultButton2);
    EXPECT_EQ(Bytes(path), before);
    // A double-click on the RO panel clears the flag.
    window->PanelDblClick("ro");
    EXPECT_FALSE(platform::FileAttributes::Instance().IsReadOnly(path));
    EXPECT_FALSE(window->Panel("RO")->isVisibleTo(window.get()));
    EXPECT_EQ(window->windowTitle(), "Quarno Q2 - ro.QRN");
}

// Save As, Export and Save Template never put a regular file in place of a pipe, a device, a
// folder or a dangling link: each says it did not write, as for any failed write, and the open
// setup keeps its name and its changes. A read-only file is replaced only after question 189;
// a link to a regular file writes that file.
TEST_F(DocumentCommands, NoWriterReplacesWhatIsNoRegularFile)
{
    enum Writer { SaveAs, Export, Template };
    enum Outcome { Refused, Declined, Written };
    window->UnitOps().CmdExportAsText = reports::CmdExportAsText;
    window->Tabs()->setCurrentIndex(6); // the Info page, whose button saves the template
    struct Row {
        const char* name;
        char kind; // what stands at the name before and after
        Outcome outcome;
        QList<int> answers;
        const char* holder = nullptr; // the regular file behind the name
    };
    const Row rows[] = {
        {"pipe.txt", 'p', Refused, {}},
        {"pipelink.txt", 'l', Refused, {}},
        {"devlink.txt", 'l', Refused, {}}, // to /dev/null
        {"folder.txt", 'd', Refused, {}},
        {"dangling.txt", 'l', Refused, {}},
        {"ro.txt", 'f', Declined, {No}, "ro.txt"},
        {"ro.txt", 'f', Written, {Yes}, "ro.txt"},
        {"link.txt", 'l', Written, {}, "target.txt"},
    };
    const QString mine = Path("mine.QRN");
    for (Writer writer : {SaveAs, Export, Template}) {
        const QDir folder(Path(QStringLiteral("w%1").arg(writer)));
        ASSERT_TRUE(QDir().mkpath(folder.path()));
        ASSERT_TRUE(testing_files::MakePipe(folder.filePath("pipe.txt")));
        ASSERT_TRUE(QFile::link(folder.filePath("pipe.txt"), folder.filePath("pipelink.txt")));
        ASSERT_TRUE(QFile::link("/dev/null", folder.filePath("devlink.txt")));
        ASSERT_TRUE(folder.mkdir("folder.txt"));
        ASSERT_TRUE(QFile::link(folder.filePath("nowhere.txt"), folder.filePath("dangling.txt")));
        ASSERT_TRUE(QFile::link(folder.filePath("target.txt"), folder.filePath("link.txt")));
        for (const Row& row : rows) {
            const QString path = folder.filePath(row.name);
            const std::string name = QStringLiteral("writer %1 %2 %3").arg(writer).arg(row.name).arg(row.outcome).toStdString();
            if (row.holder) {
                QFile::setPermissions(folder.filePath(row.holder), QFile::ReadOwner | QFile::WriteOwner);
                WriteBytes(folder.filePath(row.holder), "old");
            }
            if (row.outcome != Refused && row.kind == 'f')
                ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
            dialogs.answers = {mine};
            window->ToolClick("saveas");
            Change();
            doubles.presenter.shown.clear();
            doubles.presenter.answers = row.answers;
            dialogs.answers = {path};
            {
                const testing_files::Deadline deadline(name);
                if (writer == SaveAs)
                    window->ToolClick("saveas");
                else if (writer == Export)
                    window->ToolClick("exportastext");
                else
                    window->findChild<QPushButton*>("cmdInfoSave")->click();
            }
            EXPECT_EQ(testing_files::KindAt(path), row.kind) << name;
            QStringList shown;
            if (!row.answers.isEmpty())
                shown << Lang(189, {path});
            if (writer == Template && row.outcome == Refused)
                shown << Lang(190, {row.name, path});
            EXPECT_EQ(Shown(), shown) << name;
            const QString title = QFileInfo(path).fileName();
            // "" where the road says nothing about the write.
            const QString status[3][3] = {{Lang(260), Lang(260), Lang(234, {title})},
                                          {Lang(237), "", Lang(236, {title})},
                                          {"", "", ""}};
            if (status[writer][row.outcome].isEmpty())
                EXPECT_TRUE(Status() != Lang(237) && Status() != Lang(236, {title}) && Status() != Lang(260)) << name;
            else
                EXPECT_EQ(Status(), status[writer][row.outcome]) << name;
            const bool saved = writer == SaveAs && row.outcome == Written;
            EXPECT_EQ(window->XelObject()->Filename(), saved ? path : mine) << name;
            EXPECT_EQ(window->XelObject()->Changed(), !saved) << name;
            EXPECT_EQ(window->windowTitle(), "Quarno Q2 - " + (saved ? title : QStringLiteral("mine.QRN"))) << name;
            if (writer == Template && row.outcome == Written)
                EXPECT_EQ(doubles.settings->Value("InfoTemplate").value_or(""), path) << name;
            if (row.holder)
                EXPECT_EQ(Bytes(folder.filePath(row.holder)) == "old", row.outcome != Written) << name;
            if (row.outcome == Declined)
                EXPECT_TRUE(platform::FileAttributes::Instance().IsReadOnly(path)) << name;
        }
        // Nothing was created beside the names, nor where the dangling link points.
        EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                  (QStringList{"dangling.txt", "devlink.txt", "folder.txt", "link.txt", "pipe.txt", "pipelink.txt",
                               "ro.txt", "target.txt"}))
            << writer;
    }
    EXPECT_EQ(testing_files::KindAt("/dev/null"), 'c');
}

TEST_F(DocumentCommands, ASecondCommandWhileOneRunsOnlyBeeps)
{
    int inner = 0;
    window->UnitOps().CmdClock = [&](MainState&) {
        window->ToolClick("new");
        window->ToolClick("transmit");
        ++inner;
    };
    window->ToolClick("clock");
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(doubles.presenter.beeps, 2);
    EXPECT_TRUE(unit.calls.isEmpty());
    // The flag is released even when a command throws.
    window->UnitOps().CmdClock = [](MainState&) { throw std::runtime_error("boom"); };
    window->ToolClick("clock");
    EXPECT_FALSE(window->CommandBusy());
    window->ToolClick("retrievelog");
    EXPECT_EQ(unit.calls, QStringList{"CmdRetrieveLog"});
}

TEST_F(DocumentCommands, DispatchTable)
{
    struct Row {
        const char* key;
        QStringList calls;
    };
    const Row rows[] = {
        {"transmit", {"DoFileTransmit"}},
        {"retrievelog", {"CmdRetrieveLog"}},
        {"clock", {"CmdClock"}},
        {"options", {"CmdOptions"}},
        {"deletelog", {"CmdDeleteLog(1)"}},
        {"resetcounters", {"CmdResetCounters(1)"}},
        {"counters", {"CmdCounters(1)"}},
        {"backupsystemsettings", {"CmdBackupSystemSettings"}},
        {"exportastext", {"CmdExportAsText"}},
        {"print", {"PrintSetup"}},
        {"input", {}},
        {"firmware", {}},
        {"printeroutput", {}},
    };
    for (const Row& row : rows) {
        unit.calls.clear();
        window->ToolClick(row.key);
        EXPECT_EQ(unit.calls, row.calls) << row.key;
    }
    // Print with Shift goes straight to the printer.
    doubles.keys.shift = true;
    window->ToolClick("print");
    EXPECT_EQ(unit.printedDirect, 1);
    doubles.keys.shift = false;
    window->ToolClick("print");
    EXPECT_EQ(unit.printedDirect, 0);
}

TEST_F(DocumentCommands, ServiceMenuNeedsTheChordExpertOrDebugMode)
{
    QAction* service = window->Tool("service");
    window->BandOpen("PopupSettings");
    EXPECT_FALSE(service->isEnabled());
    doubles.keys.control = doubles.keys.alt = true;
    window->BandOpen("PopupSettings");
    EXPECT_TRUE(service->isEnabled());
    doubles.keys.control = doubles.keys.alt = false;
    window->BandOpen("PopupSettings");
    EXPECT_FALSE(service->isEnabled());
    window->State().ExpertMode = true;
    window->BandOpen("PopupSettings");
    EXPECT_TRUE(service->isEnabled());
}
