// The file dialogs' filters and default suffix, and the answers of the mail program and opener.
#include "platform/Display.h"
#include "platform/FileDialogs.h"
#include "platform/Mailer.h"
#include "platform/Shell.h"

#include "tests/common/Doubles.h"
#include "tests/common/WaitFor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

TEST(FileDialogFilters, EachPatternListIsShownOnce)
{
    struct Row {
        const char* filter;
        QStringList expected;
    };
    const Row rows[] = {
        {"Quarno Files (*.qrn)|*.qrn|All files (*.*)|*.*", {"Quarno Files (*.qrn)", "All files (*.*)"}},
        {"Text file (*.txt)|*.txt|Any file (*.*)|*.*", {"Text file (*.txt)", "Any file (*.*)"}},
        {"Text Files|*.txt", {"Text Files (*.txt)"}},
        {"Logs|*.log;*.txt", {"Logs (*.log *.txt)"}},
        // Brackets that show other patterns than the real ones give way to the real ones.
        {"Setups (*.old)|*.qrn", {"Setups (*.qrn)"}},
        {"", {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::QtFileFilters(row.filter), row.expected) << row.filter;
}

TEST(FileDialogSuffix, AddedOnlyToANameWithoutAPoint)
{
    struct Row {
        const char* typed;
        const char* suffix;
        const char* expected;
    };
    const Row rows[] = {
        {"/home/u/genset1", "QRN", "/home/u/genset1.QRN"},
        {"/home/u/genset1.qrn", "QRN", "/home/u/genset1.qrn"},
        {"/home/u/gen.set", "QRN", "/home/u/gen.set"},
        {"/home/u.v/genset1", "txt", "/home/u.v/genset1.txt"},
        {"C:\\setups.d\\report", "txt", "C:\\setups.d\\report.txt"},
        {"/home/u/genset1", "", "/home/u/genset1"},
        {"", "QRN", ""},
        {"/home/u/", "QRN", "/home/u/"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::WithDefaultSuffix(row.typed, row.suffix), row.expected) << row.typed;
}

// The real mail program and opener roads with a stand-in helper that ends with a chosen status,
// or stays open as a mail program does until its window is closed.
TEST(DesktopHelpers, TheHelpersExitStatusDecides)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    testing_doubles::SteppedTime time;
    time.timerDivisor = 4; // the moment to fail takes half a second
    platform::TimeSource::SetInstance(&time);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    struct Row {
        const char* helper;
        const char* script; // "" = no such helper at all
        bool available, done, staysOpen;
    };
    const Row rows[] = {
        {"xdg-email", "#!/bin/sh\nexit 0\n", true, true, false},
        {"xdg-email", "#!/bin/sh\nexit 3\n", true, false, false},
        {"xdg-email", "#!/bin/sh\nkill -9 $$\n", true, false, false},
        {"xdg-email", "", false, false, false},
        {"xdg-email", "#!/bin/sh\necho $$ > \"$0.pid\"\nexec /bin/sleep 40\n", true, true, true},
        {"xdg-open", "#!/bin/sh\n[ \"$1\" = http://example.org/q2 ]\n", true, true, false},
        {"xdg-open", "#!/bin/sh\nexit 3\n", true, false, false}, // no browser set up, or none opened it
        {"xdg-open", "#!/bin/sh\nkill -9 $$\n", true, false, false},
    };
    platform::MailMessage message{"Quarno Q2 Project", "attached", dir.filePath("a b.QRN"), "a b.QRN"};
    for (const Row& row : rows) {
        const QString program = dir.filePath(row.helper);
        QFile::remove(program);
        if (*row.script) {
            QFile f(program);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(row.script);
            f.close();
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        if (QString(row.helper) == "xdg-open") {
            EXPECT_EQ(platform::Shell::Instance().OpenDocument(" example.org/q2 "), row.done) << row.script;
            continue;
        }
        QLineEdit typed; // a key typed meanwhile is taken at once, not queued for later
        QCoreApplication::postEvent(&typed, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(platform::Mailer::Instance().Available(), row.available) << row.script;
        EXPECT_EQ(platform::Mailer::Instance().Compose(message), row.done) << row.script;
        if (!row.staysOpen)
            continue;
        EXPECT_LT(clock.elapsed(), 2000);
        EXPECT_EQ(typed.text().toStdString(), "a");
        // Left running in a session of its own, it outlives the program.
        QFile pidFile(program + ".pid");
        ASSERT_TRUE(testing_doubles::RunEventsUntil([&] { return pidFile.size() > 0; }) && pidFile.open(QIODevice::ReadOnly));
        const pid_t pid = pid_t(pidFile.readAll().trimmed().toLong());
        EXPECT_NE(::getsid(pid), ::getsid(0));
        ::kill(pid, SIGKILL);
    }
    qputenv("PATH", oldPath);
    platform::TimeSource::SetInstance(nullptr);
}

} // namespace

namespace {

// A dialog with no folder to start in opens in the user's home folder, not in the folder
// the program runs in; a given folder or file name holds.
TEST(QtFileDialogs, StartInTheGivenFolderElseTheHomeFolder)
{
    QTemporaryDir home, work, given;
    ASSERT_TRUE(home.isValid() && work.isValid() && given.isValid());
    const QByteArray oldHome = qgetenv("HOME");
    const QString oldWork = QDir::currentPath();
    qputenv("HOME", QFile::encodeName(home.path()));
    QDir::setCurrent(work.path());
    struct Row {
        bool save;
        QString folder, fileName, expected; // "": not shown
        bool unwatched = false;
    } rows[] = {{false, "", "", home.path()}, {true, "", "Setup.pdf", home.path()},
                {false, given.path(), "", given.path()}, {true, "", QDir(given.path()).filePath("pump.qrn"), given.path()},
                // Where nobody sees the screen, a dialog would wait for ever.
                {true, given.path(), "", "", true}};
    for (const Row& row : rows) {
        platform::Display::SetUnwatched(row.unwatched);
        QString shownIn;
        // Ends with the row: a dialog that is never shown leaves no look pending for the next one.
        QTimer look;
        look.setSingleShot(true);
        QObject::connect(&look, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) {
                    shownIn = dialog->directory().absolutePath();
                    dialog->reject();
                }
        });
        look.start(0);
        platform::FileDialogRequest request;
        request.initialFolder = row.folder;
        request.fileName = row.fileName;
        platform::FileDialogs& dialogs = platform::FileDialogs::Instance();
        EXPECT_FALSE(row.save ? dialogs.ShowSave(nullptr, request) : dialogs.ShowOpen(nullptr, request));
        platform::Display::SetUnwatched(false);
        EXPECT_EQ(shownIn, row.expected.isEmpty() ? "" : QDir(row.expected).absolutePath()) << row.save << row.fileName.toStdString();
    }
    QDir::setCurrent(oldWork);
    qputenv("HOME", oldHome);
}

// The program's own Qt save dialog, typed into as a user would: the overwrite question and
// the name given back are both about the name with the default suffix. The dialog's own boxes
// show a name that looks like markup as the name.
TEST(QtSaveDialog, AsksAboutAndGivesBackTheNameWithTheSuffix)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"report.txt", "<h1><u>BIG x.QRN"}) {
        QFile existing(dir.filePath(name));
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    }
    struct Row {
        const char* typed;
        const char* given; // "": none, the box said the file is not there
        const char* asked; // the box's text begins so ("": no box)
        bool save = true;
    };
    const Row rows[] = {
        {"report", "report.txt", "report.txt already exists"},
        {"other", "other.txt", ""},
        {"<h1><u>BIG x.QRN", "<h1><u>BIG x.QRN", "<h1><u>BIG x.QRN already exists"},
        {"<h1><u>BIG y.QRN", "", "<h1><u>BIG y.QRN\nFile not found.", false},
    };
    for (const Row& row : rows) {
        QStringList questions;
        QList<Qt::TextFormat> formats;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (!w->isVisible())
                    continue;
                if (auto* box = qobject_cast<QMessageBox*>(w)) {
                    questions << box->text();
                    formats << box->textFormat();
                    (box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes) : box->button(QMessageBox::Ok))->click();
                    return;
                }
            }
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QFileDialog*>(w);
                if (!dialog || !dialog->isVisible())
                    continue;
                if (!questions.isEmpty()) {
                    dialog->reject(); // still open after its box
                } else if (auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit")) {
                    edit->setText(row.typed);
                    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
                }
            }
        });
        driver.start(20);
        platform::FileDialogRequest request;
        request.title = "Export Setup as Text";
        request.filter = "Text file (*.txt)|*.txt|Any file (*.*)|*.*";
        request.initialFolder = dir.path();
        request.flags = platform::FileDialogRequest::OverwritePrompt;
        request.defaultSuffix = "txt";
        platform::FileDialogs& dialogs = platform::FileDialogs::Instance();
        const bool chosen = row.save ? dialogs.ShowSave(nullptr, request) : dialogs.ShowOpen(nullptr, request);
        driver.stop();
        EXPECT_EQ(chosen, *row.given != 0) << row.typed;
        if (chosen)
            EXPECT_EQ(request.fileName, dir.filePath(row.given)) << row.typed;
        ASSERT_EQ(questions.size(), *row.asked ? 1 : 0) << row.typed;
        if (*row.asked) {
            EXPECT_TRUE(questions.value(0).startsWith(row.asked)) << questions.value(0).toStdString();
            EXPECT_EQ(formats.value(0), Qt::PlainText) << row.typed;
        }
    }
}

} // namespace
