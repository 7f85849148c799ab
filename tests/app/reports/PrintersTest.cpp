// The printers stand-in: the system's printers with a settings value that maps a PDF file in,
// and the PDF double.
#include "platform/FileDialogs.h"
#include "platform/Printers.h"
#include "platform/SettingsStore.h"
#include "tests/common/Doubles.h"
#include "tests/common/NonRegularFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QApplication>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Save dialogs answered from a list (an empty answer cancels); the names they proposed are kept.
class QueuedSaveDialogs : public platform::FileDialogs {
public:
    QStringList answers;
    QStringList proposals, titles, filters;
    QString BrowseForFolder(QWidget*, const QString&, const QString&) override { return {}; }
    bool ShowOpen(QWidget*, platform::FileDialogRequest&) override { return false; }
    bool ShowSave(QWidget*, platform::FileDialogRequest& request) override
    {
        proposals << request.fileName;
        titles << request.title;
        filters << request.filter;
        EXPECT_TRUE(request.flags & platform::FileDialogRequest::OverwritePrompt);
        if (answers.isEmpty() || answers.first().isEmpty()) {
            if (!answers.isEmpty())
                answers.removeFirst();
            return false;
        }
        request.fileName = answers.takeFirst();
        return true;
    }
};

TEST(Printers, SettingsValueMapsAPdfPrinterIn)
{
    testing_doubles::PlatformDoubles doubles;
    platform::Printers& system = platform::Printers::Instance();
    const QString file = doubles.dir.filePath("mapped.pdf");
    EXPECT_FALSE(system.PrinterNames().contains("PDF"));
    QPrinter printer;
    EXPECT_FALSE(system.SelectPrinter(printer, "PDF"));
    EXPECT_FALSE(system.SelectPrinter(printer, ""));
    platform::SettingsStore::Instance().SetValue("Printers/PdfOutput", file);
    EXPECT_EQ(system.PrinterNames().value(0), "PDF");
    QString named;
    EXPECT_EQ(system.AskServer(named).answer, platform::PrintCheck::Yes);
    EXPECT_EQ(named, "PDF");
    ASSERT_TRUE(system.SelectPrinter(printer, "PDF"));
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer.outputFileName(), file);
    EXPECT_FALSE(system.SelectPrinter(printer, "No Such Printer"));
}

TEST(Printers, PdfDoubleSelectsItsNamesAndScriptsTheSetupDialog)
{
    platform::PdfPrinters pdf("/tmp/x.pdf", {"A", "B"});
    QPrinter printer;
    struct Case {
        const char* name;
        bool ok;
    } cases[] = {{"A", true}, {"B", true}, {"", false}, {"C", false}};
    for (const Case& c : cases)
        EXPECT_EQ(pdf.SelectPrinter(printer, c.name), c.ok) << c.name;
    EXPECT_EQ(pdf.selected, QStringList({"A", "B", "", "C"}));
    QString name = "A";
    pdf.setupChoice = "B";
    EXPECT_TRUE(pdf.ShowPrinterSetup(nullptr, printer, name));
    EXPECT_EQ(name, "B");
    pdf.setupAccepts = false;
    name = "A";
    EXPECT_FALSE(pdf.ShowPrinterSetup(nullptr, printer, name));
    EXPECT_EQ(name, "A");
    EXPECT_EQ(pdf.setupShown, 2);
}

// The platform's PDF output is offered beside the system's printers, never as the default, and
// asks for its file with the save dialog when it prints.
TEST(Printers, PdfOutputAsksForItsFileAndAddsThePdfExtension)
{
    testing_doubles::PlatformDoubles doubles;
    QueuedSaveDialogs dialogs;
    platform::FileDialogs::SetInstance(&dialogs);
    platform::Printers& system = platform::Printers::Instance();
    EXPECT_EQ(system.PrinterNames().value(system.PrinterNames().size() - 1), "Print to File (PDF)");
    QString named;
    system.AskServer(named);
    EXPECT_NE(named, platform::Printers::PdfOutput);
    QPrinter printer;
    ASSERT_TRUE(system.SelectPrinter(printer, platform::Printers::PdfOutput));
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    printer.setDocName("PUMP 2.QRN");
    const QDir dir(doubles.dir.path());
    QFile existing(dir.filePath("old.pdf"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    // Names that are no regular file are refused before anything opens them, and asked again.
    const QString pipe = dir.filePath("pipe.pdf");
    ASSERT_TRUE(testing_files::MakePipe(pipe));
    ASSERT_TRUE(QFile::link(pipe, dir.filePath("link.pdf")));
    ASSERT_TRUE(dir.mkdir("folder.pdf"));
    const auto exists = [](const QString& file) { return QDir::toNativeSeparators(file) + " already exists."; };
    const auto refused = [](const QString& file) {
        return "The file \"" + QDir::toNativeSeparators(file) + "\" is not a regular file and was not written.";
    };
    struct Case {
        const char* what;
        QStringList answers;       // of the save dialog, "" cancels
        QList<int> replies;        // to the messages
        bool chosen;
        QString file;              // the printer's file afterwards
        QStringList proposals;
        QStringList said;          // the first line of each message
    } cases[] = {
        {"typed without extension", {dir.filePath("report")}, {}, true, dir.filePath("report.pdf"),
         {QDir::home().filePath("PUMP 2.pdf")}, {}},
        {"own extension kept", {dir.filePath("x.PDF")}, {}, true, dir.filePath("x.PDF"), {dir.filePath("report.pdf")}, {}},
        {"cancelled", {""}, {}, false, dir.filePath("x.PDF"), {dir.filePath("x.PDF")}, {}},
        // The name with ".pdf" names a file the dialog did not ask about: asked here.
        {"replace declined", {dir.filePath("old"), dir.filePath("new")}, {platform::MsgResult::No}, true, dir.filePath("new.pdf"),
         {dir.filePath("x.PDF"), dir.filePath("old.pdf")}, {exists(dir.filePath("old.pdf"))}},
        {"replace accepted", {dir.filePath("old")}, {platform::MsgResult::Yes}, true, dir.filePath("old.pdf"),
         {dir.filePath("new.pdf")}, {exists(dir.filePath("old.pdf"))}},
        {"pipe", {pipe, dir.filePath("after.pdf")}, {platform::MsgResult::OK}, true, dir.filePath("after.pdf"),
         {dir.filePath("old.pdf"), pipe}, {refused(pipe)}},
        {"link to a pipe, typed without extension", {dir.filePath("link"), ""}, {platform::MsgResult::OK}, false,
         dir.filePath("after.pdf"), {dir.filePath("after.pdf"), dir.filePath("link.pdf")}, {refused(dir.filePath("link.pdf"))}},
        {"folder", {dir.filePath("folder.pdf"), ""}, {platform::MsgResult::OK}, false, dir.filePath("after.pdf"),
         {dir.filePath("after.pdf"), dir.filePath("folder.pdf")}, {refused(dir.filePath("folder.pdf"))}},
    };
    for (const Case& c : cases) {
        dialogs.answers = c.answers;
        dialogs.proposals.clear();
        doubles.presenter.answers = c.replies;
        doubles.presenter.shown.clear();
        const testing_files::Deadline deadline(c.what);
        EXPECT_EQ(system.ChooseOutputFile(nullptr, printer, platform::Printers::PdfOutput), c.chosen) << c.what;
        EXPECT_EQ(printer.outputFileName(), c.file) << c.what;
        EXPECT_EQ(dialogs.proposals, c.proposals) << c.what;
        QStringList said;
        for (const auto& shown : doubles.presenter.shown)
            said << shown.text.section('\n', 0, 0);
        EXPECT_EQ(said, c.said) << c.what;
    }
    EXPECT_TRUE(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile()) << "the pipe is left as it was";
    EXPECT_EQ(dialogs.titles.value(0), "Print to File (PDF)");
    EXPECT_EQ(dialogs.filters.value(0), "PDF file (*.pdf)|*.pdf");
    // A printer of the system asks nothing.
    dialogs.proposals.clear();
    EXPECT_TRUE(system.ChooseOutputFile(nullptr, printer, "Laser"));
    EXPECT_TRUE(dialogs.proposals.isEmpty());
    platform::FileDialogs::SetInstance(nullptr);
}

// The set-up dialog chooses the printer and its paper only: every page is printed, as many times
// as the program's own copies box says, so its page range, page set and copies are not offered
// (nor the tab that held them), and a range chosen before is cleared. It takes no file name: Qt
// would open the name in its field to test it when OK is pressed, and hang on a pipe. The file it
// holds is the one the program proposes, which the print's own file dialog offers and checks.
TEST(Printers, SetupDialogOffersNoPageRangeOrCopies)
{
    testing_doubles::PlatformDoubles doubles;
    platform::Printers& system = platform::Printers::Instance();
    const QDir dir(doubles.dir.path());
    const QString proposed = dir.filePath("PUMP 2.pdf");
    const QString pipe = dir.filePath("pipe.pdf");
    ASSERT_TRUE(testing_files::MakePipe(pipe));
    ASSERT_TRUE(QFile::link(pipe, dir.filePath("link.pdf")));
    ASSERT_TRUE(dir.mkdir("folder.pdf"));
    struct Case {
        const char* what;
        QString name;    // the printer chosen before
        QString pdfFile; // what the program proposes
        QString offered; // the file the dialog holds
    } cases[] = {
        {"PDF output chosen before", platform::Printers::PdfOutput, proposed, QDir::home().filePath("Setup.pdf")},
        {"PDF entry chosen in the dialog", "Laser", proposed, proposed},
        {"a pipe proposed", "Laser", pipe, pipe},
        {"a link to a pipe proposed", "Laser", dir.filePath("link.pdf"), dir.filePath("link.pdf")},
        {"a folder proposed", "Laser", dir.filePath("folder.pdf"), dir.filePath("folder.pdf")},
    };
    for (const Case& c : cases) {
        QPrinter printer;
        printer.setCopyCount(4);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 2);
        QString name = c.name;
        struct Seen {
            bool found = false;
            int copiesBoxes = 0, copiesShown = 0;
            int pageChoices = 0, pageChoicesShown = 0;
            QStringList tabs;
            bool fileFieldShown = true;
            QString file;
        } seen;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen.found = true;
            for (QSpinBox* box : dialog->findChildren<QSpinBox*>("copies")) {
                ++seen.copiesBoxes;
                seen.copiesShown += box->isVisibleTo(dialog) ? 1 : 0;
            }
            for (const char* choice : {"gbPrintRange", "pageSetCombo", "pageSetLabel"})
                for (QWidget* widget : dialog->findChildren<QWidget*>(choice)) {
                    ++seen.pageChoices;
                    seen.pageChoicesShown += widget->isVisibleTo(dialog) ? 1 : 0;
                }
            for (QTabWidget* tabs : dialog->findChildren<QTabWidget*>())
                for (int i = 0; i < tabs->count(); ++i)
                    seen.tabs << tabs->tabText(i);
            if (auto* edit = dialog->findChild<QLineEdit*>("filename")) {
                seen.file = edit->text();
                seen.fileFieldShown = edit->isVisibleTo(dialog);
            }
            EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintPageRange));
            // OK as the user presses it, through Qt's own check of the fields.
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            buttons->button(QDialogButtonBox::Ok)->click();
        });
        {
            const testing_files::Deadline deadline(c.what);
            EXPECT_TRUE(system.ShowPrinterSetup(nullptr, printer, name, c.pdfFile)) << c.what;
        }
        ASSERT_TRUE(seen.found) << c.what;
        EXPECT_EQ(seen.copiesBoxes, 1) << c.what;
        EXPECT_EQ(seen.copiesShown, 0) << c.what;
        EXPECT_EQ(seen.pageChoices, 3) << c.what;
        EXPECT_EQ(seen.pageChoicesShown, 0) << c.what;
        EXPECT_EQ(seen.tabs, QStringList{"Options"}) << c.what;
        EXPECT_FALSE(seen.fileFieldShown) << c.what;
        EXPECT_EQ(seen.file, QDir::toNativeSeparators(c.offered)) << c.what;
        EXPECT_EQ(name, platform::Printers::PdfOutput) << c.what;
        EXPECT_EQ(printer.outputFileName(), c.offered) << c.what;
        EXPECT_EQ(printer.copyCount(), 1) << c.what;
        EXPECT_EQ(printer.printRange(), QPrinter::AllPages) << c.what;
        EXPECT_EQ(printer.fromPage(), 0) << c.what;
        EXPECT_TRUE(printer.pageRanges().isEmpty()) << c.what;
    }
    EXPECT_TRUE(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile()) << "the pipe is left as it was";
}

} // namespace
