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
    EXPECT_FALSE(system.PrintsToFile("PDF"));
    platform::SettingsStore::Instance().SetValue("Printers/PdfOutput", file);
    QStringList names;
    QString named;
    EXPECT_EQ(system.List(names, named).answer, platform::PrintCheck::Yes);
    EXPECT_EQ(names, QStringList({"PDF", platform::Printers::PdfOutput}));
    EXPECT_EQ(named, "PDF");
    EXPECT_TRUE(system.PrintsToFile("PDF"));
    QPrinter printer;
    ASSERT_TRUE(system.ChooseOutputFile(nullptr, printer, "PDF"));
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer.outputFileName(), file);
    EXPECT_FALSE(system.PrintsToFile("No Such Printer"));
}

TEST(Printers, PdfDoubleKnowsItsNamesAndTheirPaper)
{
    platform::PdfPrinters pdf("/tmp/x.pdf", {"A", "B"});
    pdf.paper = QPageSize(QPageSize::Letter);
    struct Case {
        const char* name;
        platform::PrintCheck::Answer answer;
    } cases[] = {{"A", platform::PrintCheck::Yes}, {"B", platform::PrintCheck::Yes}, {"", platform::PrintCheck::No},
                 {"C", platform::PrintCheck::No}};
    for (const Case& c : cases) {
        platform::CupsAnswer queue;
        EXPECT_EQ(pdf.Queue(c.name, queue).answer, c.answer) << c.name;
        EXPECT_EQ(queue.paper.id(), QPageSize::Letter) << c.name;
    }
    EXPECT_EQ(pdf.selected, QStringList({"A", "B", "", "C"}));
}

// The platform's PDF output is offered beside the system's printers, never as the default, and
// asks for its file with the save dialog when it prints.
TEST(Printers, PdfOutputAsksForItsFileAndAddsThePdfExtension)
{
    testing_doubles::PlatformDoubles doubles;
    QueuedSaveDialogs dialogs;
    platform::FileDialogs::SetInstance(&dialogs);
    platform::Printers& system = platform::Printers::Instance();
    QStringList names;
    QString named;
    system.List(names, named);
    EXPECT_EQ(names.value(names.size() - 1), "Print to PDF file");
    EXPECT_NE(named, platform::Printers::PdfOutput);
    EXPECT_TRUE(system.PrintsToFile(platform::Printers::FormerPdfOutput));
    QPrinter printer;
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
    EXPECT_EQ(dialogs.titles.value(0), "Print to PDF file");
    EXPECT_EQ(dialogs.filters.value(0), "PDF file (*.pdf)|*.pdf");
    // A printer of the system asks nothing.
    dialogs.proposals.clear();
    EXPECT_TRUE(system.ChooseOutputFile(nullptr, printer, "Laser"));
    EXPECT_TRUE(dialogs.proposals.isEmpty());
    platform::FileDialogs::SetInstance(nullptr);
}

// The paper the system's filters take where nothing names one, as libpaper finds it: PAPERSIZE,
// else the first word of the paper file (PAPERCONF names it) that is no comment, else A4.
TEST(Printers, SystemPaperAsLibpaperFindsIt)
{
    testing_doubles::PlatformDoubles doubles;
    const QString conf = doubles.dir.filePath("papersize");
    struct Case {
        const char* papersize; // "" for none
        const char* file;
        QPageSize::PageSizeId paper;
    } cases[] = {
        {"letter", "a5\n", QPageSize::Letter},
        {"", "# the machine's paper\n\n  legal  \n", QPageSize::Legal},
        {"", "na_letter_8.5x11in\n", QPageSize::Letter},
        {"", "no-such-paper\n", QPageSize::A4},
    };
    const QByteArray papersize = qgetenv("PAPERSIZE"), paperconf = qgetenv("PAPERCONF");
    qputenv("PAPERCONF", QFile::encodeName(conf));
    for (const Case& c : cases) {
        QFile file(conf);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(c.file) > 0);
        file.close();
        qputenv("PAPERSIZE", c.papersize);
        EXPECT_EQ(platform::CupsApi::SystemPaper().id(), c.paper) << c.file;
    }
    qputenv("PAPERSIZE", papersize);
    qputenv("PAPERCONF", paperconf);
}

} // namespace
