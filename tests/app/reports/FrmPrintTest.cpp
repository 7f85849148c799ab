#include "tests/app/reports/ReportTestSupport.h"

#include "app/pages/channels/AnalogInPage.h"
#include "app/pages/channels/AnalogListView.h"
#include "app/reports/Reports.h"
#include "app/reports/TextReport.h"
#include "app/reports/frmPrint.h"
#include "app/reports/frmPrintDialog.h"
#include "app/reports/frmPrinterSetup.h"
#include "controls/Float.h"
#include "controls/Number.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelDigitalInAdditional.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelRelay.h"
#include "datamodel/XelSMS.h"
#include "datamodel/XelSMSNumber.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cDigitalInAdditional.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSMSNumber.h"
#include "platform/FileDialogs.h"
#include "platform/PrintQueue.h"
#include "platform/Printers.h"
#include "platform/SettingsStore.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/NonRegularFiles.h"
#include "tests/common/WaitFor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QThread>
#include <QElapsedTimer>
#include <QTreeWidget>
#include <QToolTip>
#include <QWindow>
#include <QtTest/QTest>
#include <QtTest/qtestspontaneevent.h>

#include <csignal>
#include <mutex>
#include <optional>

using namespace reporttest;

namespace {

// The print server as libcups answers it: one answer to each kind of question.
class ScriptedCups : public platform::CupsApi {
public:
    using Answer = platform::CupsAnswer;
    Answer dests; // the printers and the default
    Answer queue;
    Answer job;
    bool hang = false; // the job gets no answer: the server is silent
    bool hangQueue = false; // the same for the queue question
    int signal = 0;    // comes while the queue question is answered at once
    std::mutex lock;
    QStringList asked; // the printer of every question about one
    QString Server() override { return "/run/cups/cups.sock"; }
    Answer Destinations(platform::PrintWatch&) override { return dests; }
    Answer Queue(platform::PrintWatch& watch, const QString& printer) override
    {
        const std::lock_guard<std::mutex> guard(lock);
        asked << printer;
        if (signal)
            ::raise(signal);
        return hangQueue ? Hang(watch) : queue;
    }
    Answer Print(platform::PrintWatch& watch, const QString& printer, const QString& pdf, const QString&,
                 const QStringList&, const QStringList&) override
    {
        {
            const std::lock_guard<std::mutex> guard(lock);
            asked << printer;
        }
        if (hang)
            return Hang(watch);
        return QFile::exists(pdf) ? job : Answer{};
    }
    // Nothing comes for the bound, unless the print is stopped first.
    static Answer Hang(platform::PrintWatch& watch)
    {
        Answer silent;
        QElapsedTimer waited;
        waited.start();
        while (!watch.Stopped() && waited.elapsed() < watch.SilenceMs())
            QThread::msleep(5);
        silent.status = watch.Stopped() ? Answer::Stopped : Answer::Silent;
        return silent;
    }
};

platform::CupsAnswer Dest(platform::CupsAnswer::Status status, const QMap<QString, QString>& options = {})
{
    platform::CupsAnswer a;
    a.status = status;
    a.options = options;
    return a;
}

platform::CupsAnswer Named(platform::CupsAnswer::Status status, const QString& name)
{
    platform::CupsAnswer a = Dest(status);
    a.name = name;
    a.names = {name};
    return a;
}

class FrmPrintTest : public ReportFixture {
protected:
    void SetUp() override
    {
        ReportFixture::SetUp();
        pdf = doubles.dir.filePath("out.pdf");
        printers = std::make_unique<platform::PdfPrinters>(pdf, QStringList{"PDF", "Laser"});
        platform::Printers::SetInstance(printers.get());
    }
    void TearDown() override
    {
        platform::Printers::SetInstance(nullptr);
        ReportFixture::TearDown();
    }
    QString Value(const QString& name) { return platform::SettingsStore::Instance().Value(name).value_or("<missing>"); }
    void SetValue(const QString& name, const QString& value) { platform::SettingsStore::Instance().SetValue(name, value); }
    std::unique_ptr<frmPrint> Form()
    {
        ShowPages();
        auto form = std::make_unique<frmPrint>(state);
        form->SetXelObject(setup.get());
        return form;
    }
    // Many active channels: a report of several pages.
    void LongSetup()
    {
        for (int i = 1; i <= 11; ++i)
            setup->AnalogIn()->Item(QString::number(i) + "*")->SetActive(true);
    }

    // The next printer set-up dialog: the printer chosen ("" cancels) and its paper; counts the
    // dialogs.
    void AnswerSetup(const QString& choice, const QString& paper = {})
    {
        testing_doubles::WhenModal<frmPrinterSetup>([this, choice, paper](frmPrinterSetup* dialog) {
            ++setupShown;
            setupOffered.clear();
            for (int i = 0; i < dialog->cmbPrinter->count(); ++i)
                setupOffered << dialog->cmbPrinter->itemText(i);
            if (choice.isEmpty()) {
                dialog->cmdCancel->click();
                return;
            }
            dialog->cmbPrinter->setCurrentText(choice);
            if (!paper.isEmpty())
                dialog->cmbPaper->setCurrentText(paper);
            QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
        });
    }

    QString pdf;
    std::unique_ptr<platform::PdfPrinters> printers;
    int setupShown = 0;
    QStringList setupOffered;
};

// ---- the print dialog ---------------------------------------------------------------------------

TEST_F(FrmPrintTest, DialogSelectsTheStoredPrinter)
{
    struct Case {
        QStringList printers;
        const char* stored; // nullptr: no value yet
        const char* shown;
        const char* savedAfter;
        bool message;
        bool serverDown = false;
    } cases[] = {
        {{"PDF", "Laser"}, "Laser", "Laser", "Laser", false},
        // A server that does not answer is no reason to forget the user's printer.
        {{"PDF", "Laser"}, "Laser", "Laser", "Laser", false, true},
        {{"PDF", "Laser"}, nullptr, "No printer found!", "<missing>", false, true},
        {{"PDF", "Laser"}, nullptr, "PDF", "PDF", false},
        {{"PDF", "Laser"}, "Gone", "PDF", "PDF", true},
        // Any instance of a known queue is that queue, as lp takes it.
        {{"PDF", "Laser"}, "Laser/none", "Laser/none", "Laser/none", false},
        {{}, "Gone", "No printer found!", "", true},
        {{}, nullptr, "No printer found!", "<missing>", false},
    };
    for (const Case& c : cases) {
        platform::SettingsStore::Instance().Remove("PrinterDevice");
        if (c.stored)
            SetValue("PrinterDevice", c.stored);
        printers->names = c.printers;
        printers->defaultPrinter = c.printers.value(0);
        auto cups = std::make_shared<ScriptedCups>();
        cups->dests = Dest(platform::CupsAnswer::NoServer);
        printers->cups = c.serverDown ? cups : nullptr;
        doubles.presenter.shown.clear();
        auto form = Form();
        frmPrintDialog dialog(*form);
        EXPECT_EQ(dialog.lblPrinter->text(), c.shown) << c.stored;
        EXPECT_EQ(dialog.findChild<QLabel*>("lblPrinterCaption")->text(), "Printer:");
        EXPECT_EQ(Value("PrinterDevice"), c.savedAfter) << c.stored;
        ASSERT_EQ(doubles.presenter.shown.size(), c.message ? 1 : 0) << c.stored;
        if (c.message) {
            EXPECT_EQ(doubles.presenter.shown[0].text,
                      QString("Quarno is unable to connect to the previous printer being used - 'Gone'.\nInstead the default printer '%1' has been selected.")
                          .arg(c.printers.value(0)));
            EXPECT_EQ(doubles.presenter.shown[0].style & 0xF0, 64);
        }
    }
}

TEST_F(FrmPrintTest, DialogButtons)
{
    auto form = Form();
    {
        frmPrintDialog dialog(*form);
        EXPECT_EQ(dialog.numCopies->Min(), 1);
        EXPECT_EQ(dialog.numCopies->Max(), 9999);
        EXPECT_EQ(dialog.numCopies->Value(), 1);
        dialog.show();
        dialog.chkPreview->setChecked(true);
        dialog.numCopies->SetValue(3);
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        EXPECT_TRUE(form->Continue());
        EXPECT_TRUE(form->Preview);
        EXPECT_EQ(form->Copies, 3);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    {
        frmPrintDialog dialog(*form);
        dialog.show();
        QTest::mouseClick(dialog.cmdCancel, Qt::LeftButton);
        EXPECT_FALSE(form->Continue());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    {
        // The set-up dialog picks another printer: it is shown and stored. It offers the
        // printers listed and the PDF file.
        AnswerSetup("Laser");
        frmPrintDialog dialog(*form);
        dialog.show();
        QTest::mouseClick(dialog.cmdSetup, Qt::LeftButton);
        EXPECT_EQ(setupShown, 1);
        EXPECT_EQ(setupOffered, QStringList({"PDF", "Laser"}));
        EXPECT_EQ(dialog.lblPrinter->text(), "Laser");
        EXPECT_EQ(Value("PrinterDevice"), "Laser");
    }
    {
        // No printer: OK opens the set-up dialog and ends without printing.
        printers->names.clear();
        printers->defaultPrinter.clear();
        form = Form();
        frmPrintDialog dialog(*form);
        dialog.show();
        AnswerSetup("");
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        EXPECT_EQ(setupShown, 2);
        EXPECT_FALSE(form->Continue());
        EXPECT_TRUE(dialog.OKWithoutPrinter);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
}

// The copies box takes 1 to 9999. OK, clicked or by Enter, commits it first: a number it had to
// change stops OK with the box's text selected and the beep; a second OK takes the new value.
TEST_F(FrmPrintTest, CopiesBoxCommitsBeforeOK)
{
    struct Row {
        const char* typed;
        bool enter;        // OK by Enter in the box, else by a click
        bool stopped;      // the first OK stops
        const char* shown; // the box's text after the first OK
        int copies;
    } rows[] = {
        {"0", false, true, "1", 1},
        {"0", true, true, "1", 1},
        {"00", false, true, "1", 1},
    };
    auto form = Form();
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.typed) + (row.enter ? " Enter" : " click"));
        form->SetContinue(false);
        form->Copies = 0;
        frmPrintDialog dialog(*form);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QLineEdit* box = dialog.numCopies->TextBox();
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, row.typed);
        const int beeps = doubles.presenter.beeps;
        const auto ok = [&] {
            if (row.enter)
                QTest::keyClick(box, Qt::Key_Return);
            else
                QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        };
        ok();
        EXPECT_EQ(dialog.isVisible(), row.stopped);
        EXPECT_EQ(box->text(), row.shown);
        if (row.stopped) {
            EXPECT_EQ(box->selectedText(), row.shown);
            EXPECT_TRUE(box->hasFocus());
            EXPECT_EQ(doubles.presenter.beeps, beeps + 1);
            EXPECT_FALSE(form->Continue());
            ok();
        }
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(form->Continue());
        EXPECT_EQ(form->Copies, row.copies);
    }
}

// The set-up dialog opens on the paper a print takes, the system's where the queue names none
// (never the first size offered), and each paper chosen keeps the edges the printer gives it.
TEST_F(FrmPrintTest, SetupDialogOpensOnThePrintsPaperWithItsOwnEdges)
{
    const QPageSize a4(QPageSize::A4), letter(QPageSize::Letter), legal(QPageSize::Legal);
    const QPageSize big(QSizeF(11, 14), QPageSize::Inch);
    const QMarginsF narrow(18, 18, 18, 18), wide(36, 72, 36, 90), legalEdges(12, 40, 12, 40);
    struct Row {
        const char* what;
        QPageSize paper; // the queue's (invalid: none)
        QList<QPageSize> offered;
        const char* chosen; // the paper picked, nullptr: as it opens
        QString shown;
        QMarginsF edges;
    } rows[] = {
        {"another paper keeps its own edges", letter, {a4, letter, legal}, "Legal", legal.name(), legalEdges},
        {"no paper of its own: the system's", QPageSize(), {big, a4, letter}, nullptr, letter.name(), wide},
    };
    const QByteArray before = qgetenv("PAPERSIZE");
    qputenv("PAPERSIZE", "letter");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto cups = std::make_shared<ScriptedCups>();
        cups->queue = Dest(platform::CupsAnswer::Found);
        cups->queue.paper = row.paper;
        cups->queue.unprintable = wide;
        cups->queue.offered = row.offered;
        for (const QPageSize& size : row.offered)
            cups->queue.offeredEdges << (size.isEquivalentTo(legal) ? legalEdges : size.isEquivalentTo(letter) ? wide : narrow);
        printers->cups = cups;
        printers->paper = QPageSize();
        frmPrinterSetup dialog({"Laser"}, "Laser", QPageSize());
        if (row.chosen)
            dialog.cmbPaper->setCurrentText(row.chosen);
        EXPECT_EQ(dialog.cmbPaper->currentText(), row.shown);
        EXPECT_EQ(dialog.Unprintable(), row.edges);
    }
    qputenv("PAPERSIZE", before);
    if (before.isEmpty())
        qunsetenv("PAPERSIZE");
}

// ---- the preview window's state -----------------------------------------------------------------

TEST_F(FrmPrintTest, FirstUseHasTheZoomListAtHundred)
{
    auto form = Form();
    QStringList items;
    for (int i = 0; i < form->zoom->count(); ++i)
        items << form->zoom->itemText(i);
    EXPECT_EQ(items, QStringList({"10%", "25%", "35%", "50%", "75%", "100%", "150%", "200%"}));
    EXPECT_EQ(form->zoom->currentText(), "100%");
    EXPECT_EQ(form->Zoom(), 100);
    EXPECT_EQ(form->windowTitle(), "Print");
    for (const char* key : {"print", "printsetup", "zoom", "prev", "next", "close", "exit"})
        EXPECT_NE(form->findChild<QObject*>(key), nullptr) << key;
    EXPECT_EQ(form->Tool("print")->text(), "Print");
    EXPECT_EQ(form->Tool("close")->toolTip(), "Close Preview Window and Cancel Printing");
}

TEST_F(FrmPrintTest, StoredPlaceIsClampedIntoTheWorkArea)
{
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        QString stored;
        QRect expected;
    } cases[] = {
        {"1500,1500,9000,6000", QRect(100, 100, 600, 400)},
        // Far beyond the right edge and wider than the screen: on the screen, as wide as it.
        {QString("%1,0,%2,6000").arg(work.width() * 30).arg(work.width() * 20), QRect(work.left(), work.top(), work.width(), 400)},
        // A second monitor on the left and a negative width: on this screen at the smallest size.
        {"-30000,-600,-4500,150", QRect(work.left(), work.top(), qMin(400, work.width()), qMin(300, work.height()))},
    };
    for (const Case& c : cases) {
        SetValue("Print", c.stored);
        SetValue("PrintState", "0");
        auto form = Form();
        EXPECT_EQ(form->geometry(), c.expected) << c.stored.toStdString();
        EXPECT_TRUE(work.contains(form->geometry())) << c.stored.toStdString();
    }
}

TEST_F(FrmPrintTest, ZoomIsRestoredAndBadValuesEndTheReading)
{
    SetValue("Print", "");
    SetValue("PrintState", "");
    SetValue("Zoom", "75");
    auto form = Form();
    EXPECT_EQ(form->Zoom(), 75);
    EXPECT_EQ(form->zoom->currentText(), "75%");
    EXPECT_EQ(form->panelZoom->text(), "Zoom: 75%");
    // A value that is no number ends the reading: what follows it is skipped.
    struct Case {
        const char *place, *state, *zoom;
        int expectedZoom;
    } cases[] = {{"abc,def", "0", "50", 100}, {"", "x", "50", 100}, {"", "0", "x", 100}, {"", "0", "150", 150}};
    for (const Case& c : cases) {
        SetValue("Print", c.place);
        SetValue("PrintState", c.state);
        SetValue("Zoom", c.zoom);
        EXPECT_EQ(Form()->Zoom(), c.expectedZoom) << c.place << c.state << c.zoom;
    }
    // The fields read before a bad one stay: Left 1500 twips, then the reading ends.
    SetValue("Print", "1500,abc,9000");
    SetValue("Zoom", "50");
    auto partly = Form();
    EXPECT_EQ(partly->geometry().x(), 100);
    EXPECT_EQ(partly->Zoom(), 100);
}

TEST_F(FrmPrintTest, SavedStateByWindowState)
{
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    {
        auto form = Form();
        form->setGeometry(work.left() + 60, work.top() + 30, 500, 300);
        form->SetZoom(150);
        form->SavePreviewSettings();
        EXPECT_EQ(Value("PrintState"), "0");
        EXPECT_EQ(Value("Print"), QString("%1,%2,7500,4500").arg((work.left() + 60) * 15).arg((work.top() + 30) * 15));
        EXPECT_EQ(Value("Zoom"), "150");
    }
    {
        // Partly beyond the right edge: the width is cut at the work area.
        auto form = Form();
        form->setGeometry(work.right() - 99, work.top(), 500, 300);
        form->SavePreviewSettings();
        EXPECT_EQ(Value("Print"), QString("%1,%2,1500,4500").arg((work.right() - 99) * 15).arg(work.top() * 15));
    }
    {
        // Minimised: the state and the zoom only, the last normal place stays.
        const QString before = Value("Print");
        auto form = Form();
        form->setWindowState(Qt::WindowMinimized);
        form->SetZoom(50);
        form->SavePreviewSettings();
        EXPECT_EQ(Value("PrintState"), "1");
        EXPECT_EQ(Value("Print"), before);
        EXPECT_EQ(Value("Zoom"), "50");
        form->setWindowState(Qt::WindowMaximized);
        form->SavePreviewSettings();
        EXPECT_EQ(Value("PrintState"), "2");
    }
}

// ---- paging and zoom ------------------------------------------------------------------------------

TEST_F(FrmPrintTest, PagingToolsAndKeys)
{
    LongSetup();
    auto form = Form();
    const int pages = form->PageCount();
    ASSERT_GE(pages, 3);
    form->ShowPagePanel();
    EXPECT_EQ(form->panelPage->text(), QString("Page 1 of %1").arg(pages));
    EXPECT_FALSE(form->Tool("prev")->isEnabled());
    EXPECT_TRUE(form->Tool("next")->isEnabled());
    struct Step {
        int key; // 0: a tool
        Qt::KeyboardModifiers mods;
        const char* tool;
        int page;
    } steps[] = {
        {0, {}, "next", 2},
        {0, {}, "next", 3},
        // The rebuilt report starts again at its first page, and says so.
        {0, {}, "printsetup", 1},
        {0, {}, "next", 2},
        {0, {}, "prev", 1},
        {0, {}, "prev", 1},
        {Qt::Key_End, {}, nullptr, pages},
        {0, {}, "next", pages},
        {Qt::Key_PageUp, {}, nullptr, pages - 1},
        {Qt::Key_PageDown, Qt::ControlModifier, nullptr, pages},
        {Qt::Key_Home, Qt::ShiftModifier, nullptr, pages},
        {Qt::Key_Home, {}, nullptr, 1},
        {Qt::Key_PageUp, {}, nullptr, 1},
    };
    form->show();
    for (const Step& s : steps) {
        if (s.tool && QString(s.tool) == "printsetup")
            AnswerSetup("");
        if (s.key)
            form->PreviewKey(s.key, s.mods);
        else
            form->ToolClick(s.tool);
        EXPECT_EQ(form->PreviewPage(), s.page) << s.key << (s.tool ? s.tool : "");
        EXPECT_EQ(form->vspPrint->currentPage(), s.page) << s.key << (s.tool ? s.tool : "");
        EXPECT_EQ(form->panelPage->text(), QString("Page %1 of %2").arg(s.page).arg(pages));
        EXPECT_EQ(form->Tool("prev")->isEnabled(), s.page >= 2);
        EXPECT_EQ(form->Tool("next")->isEnabled(), s.page < pages);
    }
    // Keys reach the preview through its own widgets.
    QTest::keyClick(form->vspPrint, Qt::Key_End);
    EXPECT_EQ(form->PreviewPage(), pages);
    form->close();
    // As the preview opens, the first key goes to the pages, not to the zoom box.
    auto preview = Form();
    int pageAfterKey = 0;
    testing_doubles::WhenModal<frmPrint>([&](frmPrint* shown) {
        // The key goes where the window's focus is once it is active.
        if (QWidget* focus = shown->focusWidget())
            QTest::keyClick(focus, Qt::Key_PageDown);
        pageAfterKey = shown->PreviewPage();
        shown->close();
    });
    preview->Preview = true;
    preview->PrintOrPreview();
    EXPECT_EQ(pageAfterKey, 2);
    EXPECT_EQ(preview->Zoom(), 100);
}

TEST_F(FrmPrintTest, OnePageReportDisablesBothPagingTools)
{
    auto form = Form();
    // A tall sheet holds the default setup on one page.
    form->Report().SetPageSize(QSizeF(11906, 40000));
    form->SetXelObject(setup.get());
    ASSERT_EQ(form->PageCount(), 1);
    form->ShowPagePanel();
    EXPECT_FALSE(form->Tool("prev")->isEnabled());
    EXPECT_FALSE(form->Tool("next")->isEnabled());
    EXPECT_EQ(form->panelPage->text(), "Page 1 of 1");
}

TEST_F(FrmPrintTest, ZoomBoxKeysAndPreviewEcho)
{
    auto form = Form();
    struct Step {
        int key;
        Qt::KeyboardModifiers mods;
        const char* boxText; // typed into the box when key is 0
        int zoom;
        const char* panel;
    } steps[] = {
        {0, {}, "50%", 50, "Zoom: 50%"},
        {Qt::Key_Home, Qt::ControlModifier, nullptr, 100, "Zoom: 100%"},
        {Qt::Key_End, Qt::ControlModifier, nullptr, 200, "Zoom: 200%"},
        {Qt::Key_End, Qt::ShiftModifier, nullptr, 200, "Zoom: 200%"},
        {0, {}, "35%", 35, "Zoom: 35%"},
        {0, {}, "bad", 35, "Zoom: 35%"},
    };
    for (const Step& s : steps) {
        if (s.key)
            form->PreviewKey(s.key, s.mods);
        else
            form->zoom->setCurrentText(s.boxText);
        EXPECT_EQ(form->Zoom(), s.zoom);
        EXPECT_EQ(form->panelZoom->text(), s.panel);
    }
    // A zoom chosen in the preview is copied into the box without being applied again.
    form->PreviewZoomChanged(80);
    EXPECT_EQ(form->zoom->currentText(), "80%");
    EXPECT_EQ(form->panelZoom->text(), "Zoom: 80%");
    EXPECT_EQ(form->Zoom(), 80);
}

// ---- printing ----------------------------------------------------------------------------------------

TEST_F(FrmPrintTest, DirectPrintWritesThePdfAndReportsThePrinter)
{
    auto form = Form();
    form->Run(true);
    EXPECT_EQ(form->Result(), frmPrint::Printed);
    EXPECT_EQ(frmPrint::LastResult(), frmPrint::Printed);
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(doubles.status.text, "File printed on PDF");
    EXPECT_EQ(printers->selected.value(0), "PDF");
    if (PdfPages(pdf) >= 0)
        EXPECT_EQ(PdfPages(pdf), form->PageCount());
}

TEST_F(FrmPrintTest, EveryCopyIsPrinted)
{
    auto form = Form();
    form->Copies = 3;
    form->Run(true);
    EXPECT_EQ(form->Result(), frmPrint::Printed);
    // A PDF file makes no copies itself: the pages come three times over.
    if (PdfPages(pdf) >= 0)
        EXPECT_EQ(PdfPages(pdf), 3 * form->PageCount());
}

TEST_F(FrmPrintTest, PagesAreLaidOutForThePrintersPaper)
{
    auto form = Form();
    const int a4Pages = form->PageCount();
    // Laid out for a much longer sheet, the report is laid out again for the A4 of the printer.
    form->Report().SetPageSize(QSizeF(11906, 40000));
    form->SetXelObject(setup.get());
    ASSERT_EQ(form->PageCount(), 1);
    form->Run(true);
    EXPECT_EQ(form->Result(), frmPrint::Printed);
    EXPECT_EQ(form->Report().PageHeight(), 16838);
    EXPECT_EQ(form->PageCount(), a4Pages);
    if (PdfPages(pdf) >= 0)
        EXPECT_EQ(PdfPages(pdf), a4Pages);
    // The paper chosen in the set-up dialog lays the report out again.
    auto chosen = Form();
    AnswerSetup("Laser", "Letter / ANSI A");
    chosen->ToolClick("printsetup");
    EXPECT_EQ(chosen->Report().PageHeight(), 15840);
}

TEST_F(FrmPrintTest, NothingPrintedIsReportedNeverAsPrinted)
{
    struct Case {
        const char* what;
        bool direct;
        bool boxShown;
    } cases[] = {{"no printer", true, false}, {"no printer", false, true}, {"refused", true, false},
                 {"refused", false, true}, {"failed start", true, false}};
    for (const Case& c : cases) {
        doubles.presenter.shown.clear();
        doubles.status.text.clear();
        printers->names = {"PDF"};
        printers->defaultPrinter = "PDF";
        printers->outputFile = pdf;
        if (QString(c.what) == "no printer") {
            printers->names.clear();
            printers->defaultPrinter.clear();
        }
        if (QString(c.what) == "refused")
            printers->outputFile = doubles.dir.filePath("missing/dir/out.pdf");
        auto form = std::make_unique<frmPrint>(state);
        if (QString(c.what) == "failed start")
            form->Report().SetStartFails(true);
        form->SetXelObject(setup.get());
        if (QString(c.what) == "failed start")
            EXPECT_TRUE(form->Report().Ops().isEmpty());
        if (c.direct) {
            form->Run(true);
        } else {
            if (QString(c.what) == "no printer")
                AnswerSetup("");
            form->Preview = false;
            form->PrintOrPreview();
        }
        EXPECT_EQ(form->Result(), frmPrint::NotPrinted) << c.what;
        EXPECT_TRUE(doubles.status.text.startsWith("The setup was not printed")) << c.what << doubles.status.text.toStdString();
        EXPECT_FALSE(doubles.status.text.startsWith("File printed"));
        EXPECT_EQ(doubles.presenter.shown.size(), c.boxShown ? 1 : 0) << c.what;
    }
}

TEST_F(FrmPrintTest, RunThroughTheDialog)
{
    struct Case {
        const char* button; // "" presses Escape
        bool preview;
        frmPrint::PrintResult result;
        const char* status;
    } cases[] = {
        {"cmdOK", false, frmPrint::Printed, "File printed on PDF"},
        // Nothing is printing: the print command's notice goes.
        {"cmdCancel", false, frmPrint::Cancelled, ""},
        {"", false, frmPrint::Cancelled, ""},
        {"cmdOK", true, frmPrint::Previewed, "Print preview..."},
    };
    for (const Case& c : cases) {
        extra::ShowStatusMessage(238);
        QFile::remove(pdf);
        auto form = Form();
        QString statusInPreview;
        testing_doubles::WhenModal<frmPrintDialog>([&](frmPrintDialog* dialog) {
            dialog->chkPreview->setChecked(c.preview);
            QTimer::singleShot(0, form.get(), [&] {
                // The preview window is up: close it by its close box.
                if (QApplication::activeModalWidget() == form.get()) {
                    statusInPreview = doubles.status.text;
                    form->close();
                }
            });
            if (*c.button)
                QTest::mouseClick(dialog->findChild<QPushButton*>(c.button), Qt::LeftButton);
            else
                QTest::keyClick(dialog, Qt::Key_Escape);
        });
        form->Run(false);
        EXPECT_EQ(form->Result(), c.result) << c.button << c.preview;
        if (c.preview) {
            EXPECT_EQ(statusInPreview, c.status);
            EXPECT_EQ(doubles.status.text, "") << "the notice goes with the preview";
        } else {
            EXPECT_EQ(doubles.status.text, c.status);
        }
        EXPECT_EQ(QFile::exists(pdf), c.result == frmPrint::Printed);
    }
}

TEST_F(FrmPrintTest, PreviewShowsTheZoomOfTheBox)
{
    // First use (no stored zoom) and a stored zoom: the pages are drawn at the box's percent.
    for (const char* stored : {"", "50"}) {
        if (*stored)
            SetValue("Zoom", stored);
        auto form = Form();
        form->show();
        auto* view = form->vspPrint->findChild<QGraphicsView*>();
        ASSERT_NE(view, nullptr);
        const double percent = form->zoom->currentText().chopped(1).toDouble();
        EXPECT_EQ(percent, *stored ? 50 : 100);
        const double dots = QPrinter(QPrinter::HighResolution).logicalDpiY();
        EXPECT_NEAR(view->transform().m11(), percent / 100 * form->vspPrint->logicalDpiY() / dots, 1e-6) << stored;
        form->close();
    }
}

TEST_F(FrmPrintTest, PrintToolInThePreviewPrintsAndCloses)
{
    auto form = Form();
    form->show();
    form->ToolClick("print");
    EXPECT_EQ(form->Result(), frmPrint::Printed);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(QFile::exists(pdf));
    // Print set-up rebuilds the report.
    auto second = Form();
    const int before = second->Report().Ops().size();
    AnswerSetup("");
    second->ToolClick("printsetup");
    EXPECT_EQ(second->Report().Ops().size(), before);
    EXPECT_TRUE(second->ReportBuilt());
}

// ---- the print command end to end, and the PDF of each characteristic setup ------------------------

TEST_F(FrmPrintTest, PrintCommandPrintsTheOpenSetup)
{
    ShowPages();
    reports::PrintSetup(state, true);
    EXPECT_EQ(frmPrint::LastResult(), frmPrint::Printed);
    const QString text = PdfText(pdf);
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(HasRow(text, {"Setup Information"}));
    EXPECT_TRUE(HasRow(text, {"Operation Mode", "Auxiliary"}));
    EXPECT_TRUE(HasRow(PdfPageTexts(pdf).value(0), {"Page 1"}));
}

TEST_F(FrmPrintTest, PdfOfEachCharacteristicSetup)
{
    struct Case {
        const char* name;
        std::function<void(XelObject&)> fill;
        QList<QStringList> rows; // each a line of the PDF: its cells in order
        QStringList absent;
    } cases[] = {
        {"standby",
         [](XelObject&) {},
         {{"Quarno Q2 Setup", "TESTER - 5 Mar 2024 14:07:09"}, {"Setup Information"}, {"Main"}, {"Operation Mode", "Auxiliary"},
          {"Standby Operation"}, {"Cooling Time", "3", "Minutes"}, {"Speed Sensor"}, {"Overspeed", "1725", "RPM       (15.0%)"},
          {"Battery"}, {"Relays - Terminal Card TB-16"}, {"K7", "Standby Mode"}, {"Backup System Settings"}, {"S4", "000000"},
          {"Components used"}, {"ECX 510 A (version unknown)"}, {"TB-10 or TB-16 Q2"}, {"Classifiable", "Yes"}},
         {"Propulsion Start", "SMS", "Analog Input Channels", "%d", "TB-10 or TB-16 Q2 (version unknown)"}},
        {"propulsion",
         [](XelObject& s) {
             s.Main()->SetOperationMode(2);
             s.Main()->SetCAN(true);
             for (int i = 1; i <= 11; ++i) {
                 XelAnalogIn* a = s.AnalogIn()->Item(QString::number(i) + "*");
                 a->SetActive(true);
                 a->SetText(QString("SENSOR %1 | %d").arg(i));
             }
             s.Relay()->Item("8*")->SetInUse(true);
             s.Relay()->Item("8*")->SetFunctionNo(75);
             s.SMS()->SetSend(true);
             XelSMSNumber* n = s.SMSNumbers()->Add(1);
             n->SetInUse(true);
             n->SetNumber("+47 | 100%d");
             s.Info()->SetInfo("LINE ONE\r\nLINE TWO");
         },
         {{"Propulsion Start and Fuel Consumption"}, {"Analog Input Channels"}, {"Analog Input Channel 11"},
          {"Description", "SENSOR 7 | %d"}, {"Relays - Optional Relay Card PX-3, PX-5"},
          // The relay row itself: the SMS section prints its own "Common Alarm" row.
          {"8", "Common Alarm"}, {"SMS"}, {"Send SMS", "Yes"}, {"Common Alarm", "No"}, {"+47 | 100%d"}, {"Information"},
          {"LINE TWO"}, {"AX-2"}, {"PX-5"}, {"ECX 510 P (version unknown)"}},
         {"Standby Operation"}},
    };
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    for (const Case& c : cases) {
        setup = CreateDefaultSetupDocument();
        state.SetXelObject(setup.get());
        c.fill(*setup);
        printers->outputFile = doubles.dir.filePath(QString(c.name) + ".pdf");
        auto form = Form();
        form->Run(true);
        ASSERT_EQ(form->Result(), frmPrint::Printed) << c.name;
        const QString text = PdfText(printers->outputFile);
        for (const QStringList& row : c.rows)
            EXPECT_TRUE(HasRow(text, row)) << c.name << ": " << row.join(" | ").toStdString();
        for (const QString& s : c.absent)
            EXPECT_FALSE(text.contains(s)) << c.name << ": " << s.toStdString();
        const int pages = form->PageCount();
        EXPECT_EQ(PdfPages(printers->outputFile), pages) << c.name;
        const QStringList pageTexts = PdfPageTexts(printers->outputFile);
        ASSERT_EQ(pageTexts.size(), pages) << c.name;
        for (int p = 1; p <= pages; ++p)
            EXPECT_TRUE(HasRow(pageTexts[p - 1], {QString("Page %1").arg(p)})) << c.name << " page " << p;
    }
}

// Printed to PDF with the report pushed down step by step: every reserved section stands whole
// on one page, and no page ends in a heading whose rows went on to the next page.
TEST_F(FrmPrintTest, PdfKeepsSectionsAndHeadingsTogether)
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    // Each reserved section of the default setup: its heading and its last row.
    const QList<QPair<QString, QStringList>> sections = {
        {"Standby Operation", {"Cooling Time", "3", "Minutes"}},
        {"Speed Sensor", {"RUN Detected At", "400", "RPM"}},
        {"Battery", {"Delay Before Alarm", "60", "Seconds"}},
        {"Relays - Terminal Card TB-16", {"K9", "Disc. Gen Breaker Relay Activated"}},
        {"Backup System Settings", {"S4", "000000"}},
        {"Components used", {"TB-10 or TB-16 Q2"}},
    };
    const QRegularExpression heading("^\\s*((Switch|Analog) Input Channels?( \\d+)?|Main|Standby Operation|Speed Sensor|"
                                     "Battery|Information|Relays - .*|SMS|Backup System Settings|Components used)\\s*$");
    int pagesSeen = 0;
    for (int analog = 0; analog <= 11; ++analog) {
        for (int infoLines : {0, 2}) {
            setup = CreateDefaultSetupDocument();
            state.SetXelObject(setup.get());
            for (int i = 1; i <= analog; ++i)
                setup->AnalogIn()->Item(QString::number(i) + "*")->SetActive(true);
            setup->DigitalIn()->Item("1*")->SetActive(infoLines > 0);
            setup->Info()->SetInfo(infoLines ? "LINE ONE\r\nLINE TWO" : "");
            printers->outputFile = doubles.dir.filePath(QString("sweep%1-%2.pdf").arg(analog).arg(infoLines));
            auto form = Form();
            form->Run(true);
            ASSERT_EQ(form->Result(), frmPrint::Printed);
            const QStringList pages = PdfPageTexts(printers->outputFile);
            ASSERT_EQ(pages.size(), form->PageCount());
            pagesSeen += int(pages.size());
            const QString where = QString("%1 analog, %2 info lines").arg(analog).arg(infoLines);
            for (const auto& [title, last] : sections) {
                int found = 0;
                for (const QString& page : pages) {
                    if (!HasRow(page, {title}))
                        continue;
                    ++found;
                    EXPECT_TRUE(HasRow(page, last)) << title.toStdString() << ", " << where.toStdString();
                }
                EXPECT_EQ(found, 1) << title.toStdString() << ", " << where.toStdString();
            }
            for (int p = 0; p + 1 < pages.size(); ++p) {
                QStringList lines;
                for (const QString& line : pages[p].split('\n'))
                    if (!line.trimmed().isEmpty())
                        lines << line;
                ASSERT_GE(lines.size(), 2);
                // The last line is the footer; the one above it is the page's last content.
                EXPECT_FALSE(heading.match(lines[lines.size() - 2]).hasMatch())
                    << where.toStdString() << " page " << p + 1 << ": " << lines[lines.size() - 2].toStdString();
            }
        }
    }
    EXPECT_GT(pagesSeen, 24 * 2);
}

// ---- what the reports show of a bus input ------------------------------------------------------------

// A J1939 or J1587 input shows its sensor range and limits with its parameter's offset: the
// Analog In page, the printed report and the text export show the same numbers.
TEST_F(FrmPrintTest, BusInputsShowTheOffsetOnThePageAndInBothReports)
{
    OpenDatabase();
    setup->Main()->SetCAN(true);
    AnalogInPage page(state);
    state.analogPage = &page;
    page.resize(pagecommon::Twips(9600), pagecommon::Twips(6300));
    page.show();
    page.LoadAnalog();
    page.AnalogCANChanged(true);
    auto jdata = [](int mid, int pid, int ppid) {
        JData j;
        j.iMID = quint8(mid);
        j.lPID = pid;
        j.lPPID = ppid;
        return j;
    };
    struct Case {
        const char* what;
        int channel, type;
        JData j;
        qint32 min, max, warning, alarm;
        QStringList shown; // sensor min, sensor max, warning limit, alarm limit
    } cases[] = {
        // Engine coolant temperature, offset -40.
        {"J1939", 12, 4, jdata(0x10, 0xEE00, 0x18FE), 0, 2500, 950, 1000, {"-40.0", "210.0", "55.0", "60.0"}},
        // Engine coolant temperature, offset -17.78.
        {"J1587", 13, 3, jdata(128, 110, 0), 0, 1417, 1000, 1100, {"-17.8", "123.9", "82.2", "92.2"}},
        {"wired", 3, 0, JData(), -5, 100, 50, 55, {"-0.5", "10.0", "5.0", "5.5"}},
    };
    for (const Case& c : cases) {
        XelAnalogIn* in = setup->AnalogIn()->Item(QString::number(c.channel) + "*");
        ASSERT_NE(in, nullptr) << c.what;
        in->SetActive(true);
        in->SetInputType(c.type);
        in->SetJValues(c.j);
        in->SetUnits("C");
        in->SetSensorMin(c.min);
        in->SetSensorMax(c.max);
        in->SetAction(4);
        in->SetLimit(1, c.warning);
        in->SetLimit(0, c.alarm);
    }
    const QString pdfText = [&] {
        auto form = Form();
        form->Run(true);
        EXPECT_EQ(form->Result(), frmPrint::Printed);
        return PdfText(pdf);
    }();
    const QString exported = QString::fromLatin1(reports::BuildTextReport(state));
    for (const Case& c : cases) {
        // The page, as the user sees the input.
        QTreeWidgetItem* row = page.lvwAnalog->topLevelItem(c.channel - 1);
        ASSERT_NE(row, nullptr) << c.what;
        page.lvwAnalog->scrollToItem(row);
        QTest::mouseClick(page.lvwAnalog->viewport(), Qt::LeftButton, {}, page.lvwAnalog->visualItemRect(row).center());
        ASSERT_EQ(page.lvwAnalog->currentItem(), row) << c.what;
        const QStringList onPage{QString::number(page.numAnalogSensorMin->Value(), 'f', 1),
                                 QString::number(page.numAnalogSensorMax->Value(), 'f', 1),
                                 QString::number(page.numAnalogLimit[1]->Value(), 'f', 1),
                                 QString::number(page.numAnalogLimit[0]->Value(), 'f', 1)};
        EXPECT_EQ(onPage, c.shown) << c.what;
        const QStringList labels{"Sensor Min", "Sensor Max", "Warning Limit", "Alarm Limit"};
        for (int i = 0; i < labels.size(); ++i) {
            if (!pdfText.isEmpty())
                EXPECT_TRUE(HasRow(pdfText, {labels[i], c.shown[i] + " C"})) << c.what << " " << labels[i].toStdString();
            const QString line = "\r\n    " + labels[i].leftJustified(24) + c.shown[i] + " C\r\n";
            EXPECT_TRUE(exported.contains(line)) << c.what << " " << line.toStdString();
        }
    }
    state.analogPage = nullptr;
}

// ---- a PDF without a printer -----------------------------------------------------------------------

// Save dialogs answered from a list; an empty answer cancels.
class AnsweringSaveDialogs : public platform::FileDialogs {
public:
    QStringList answers;
    int shown = 0;
    QStringList offered;
    QString BrowseForFolder(QWidget*, const QString&, const QString&) override { return {}; }
    bool ShowOpen(QWidget*, platform::FileDialogRequest&) override { return false; }
    bool ShowSave(QWidget*, platform::FileDialogRequest& request) override
    {
        ++shown;
        offered << request.fileName;
        const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
        if (answer.isEmpty())
            return false;
        request.fileName = answer;
        return true;
    }
};

TEST_F(FrmPrintTest, WithoutAPrinterThePreviewOpensAndItsPrintAsksForOne)
{
    printers->names.clear();
    printers->defaultPrinter.clear();
    auto form = Form();
    {
        frmPrintDialog dialog(*form);
        dialog.show();
        EXPECT_EQ(dialog.lblPrinter->text(), "No printer found!");
        dialog.chkPreview->setChecked(true);
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(form->Continue());
        EXPECT_TRUE(form->Preview);
        EXPECT_FALSE(dialog.OKWithoutPrinter);
        EXPECT_EQ(setupShown, 0);
    }
    // The preview's print tool opens the set-up first; the PDF chosen there prints.
    form->show();
    printers->names = {"PDF"};
    AnswerSetup("PDF");
    form->ToolClick("print");
    EXPECT_EQ(setupShown, 1);
    EXPECT_EQ(form->Result(), frmPrint::Printed);
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(doubles.status.text, "File printed on PDF");
}

// The platform's PDF output through the print dialog: the file is asked for, ".pdf" added, and
// the report written there; a cancelled file dialog prints nothing and says so on the status bar.
// A pipe is refused before anything opens it, and the file is asked for again.
TEST_F(FrmPrintTest, PdfOutputOfThePlatformWritesTheChosenFile)
{
    platform::Printers::SetInstance(nullptr);
    AnsweringSaveDialogs dialogs;
    platform::FileDialogs::SetInstance(&dialogs);
    // Stored under the entry's former name, it is still the PDF entry.
    SetValue("PrinterDevice", "Print to File (PDF)");
    const QString chosen = doubles.dir.filePath("pump setup");
    const QString pipe = doubles.dir.filePath("pipe.pdf");
    ASSERT_TRUE(testing_files::MakePipe(pipe));
    // The file offered first: the setup's name in its folder, or one in the home folder.
    const QString setupFile = doubles.dir.filePath("Pump Room.QRN");
    struct Case {
        QStringList answers;
        frmPrint::PrintResult result;
        QString status;
        QString setupFile;
        QStringList offered;
        int messages;
    } cases[] = {
        {{""}, frmPrint::Cancelled, "The setup was not printed: no file was chosen.", "",
         {QDir::home().filePath("Quarno Q2 Setup.pdf")}, 0},
        {{chosen}, frmPrint::Printed, "File printed on " + QDir::toNativeSeparators(chosen + ".pdf"), setupFile,
         {QDir::toNativeSeparators(doubles.dir.filePath("Pump Room.pdf"))}, 0},
        {{pipe, chosen}, frmPrint::Printed, "File printed on " + QDir::toNativeSeparators(chosen + ".pdf"), setupFile,
         {QDir::toNativeSeparators(doubles.dir.filePath("Pump Room.pdf")), pipe}, 1},
    };
    for (const Case& c : cases) {
        QFile::remove(chosen + ".pdf");
        dialogs.answers = c.answers;
        dialogs.shown = 0;
        dialogs.offered.clear();
        doubles.presenter.shown.clear();
        if (!c.setupFile.isEmpty())
            ASSERT_TRUE(setup->SaveFile(c.setupFile));
        auto form = Form();
        QString label;
        testing_doubles::WhenModal<frmPrintDialog>([&](frmPrintDialog* dialog) {
            label = dialog->lblPrinter->text();
            QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
        });
        {
            const testing_files::Deadline deadline(c.answers.join(", ").toStdString());
            form->Run(false);
        }
        EXPECT_EQ(label, "Print to PDF file");
        EXPECT_EQ(dialogs.offered, c.offered);
        EXPECT_EQ(form->Result(), c.result);
        EXPECT_EQ(doubles.status.text, c.status);
        EXPECT_EQ(doubles.presenter.shown.size(), c.messages);
        EXPECT_EQ(QFile::exists(chosen + ".pdf"), c.result == frmPrint::Printed);
        if (c.result == frmPrint::Printed && PdfPages(chosen + ".pdf") >= 0) {
            EXPECT_EQ(PdfPages(chosen + ".pdf"), form->PageCount());
            EXPECT_TRUE(HasRow(PdfText(chosen + ".pdf"), {"Operation Mode", "Auxiliary"}));
        }
    }
    EXPECT_FALSE(QFileInfo(pipe).isFile()) << "the pipe is left as it was";
    platform::FileDialogs::SetInstance(nullptr);
}

// "-p" prints on the system's default printer, not on the one the print dialog stored.
TEST_F(FrmPrintTest, DirectPrintUsesTheDefaultPrinterNotTheStoredOne)
{
    SetValue("PrinterDevice", "Laser");
    auto form = Form();
    form->Run(true);
    EXPECT_EQ(form->Result(), frmPrint::Printed);
    EXPECT_EQ(form->Device(), "PDF");
    EXPECT_FALSE(printers->selected.contains("Laser"));
    EXPECT_EQ(doubles.status.text, "File printed on PDF");
}

// A PDF that cannot be written whole leaves the old file as it was and is reported.
TEST_F(FrmPrintTest, APdfIsWrittenWholeOrNotAtAll)
{
    {
        QFile old(pdf);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the old report");
    }
    auto form = Form();
    {
        const FileSizeLimit full(2048);
        form->Run(true);
    }
    EXPECT_EQ(form->Result(), frmPrint::NotPrinted);
    EXPECT_TRUE(doubles.status.text.startsWith("The setup was not printed: the file '" + QDir::toNativeSeparators(pdf)
                                               + "' could not be written"))
        << doubles.status.text.toStdString();
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "the old report");
    EXPECT_TRUE(QDir(doubles.dir.path()).entryList({"*.pdf*"}, QDir::Files).size() == 1);
}

} // namespace

// Only a job the print server made counts as printed ("-p" exits 0 only then); a queue that
// rejects jobs or is stopped or unknown, a server gone or silent, or a job refused is a failure
// that says why. A PDF file needs no print server.
TEST_F(FrmPrintTest, PrintOutcomeByPrinterState)
{
    using A = platform::CupsAnswer;
    A failed = Dest(A::Failed);
    failed.error = "Forbidden";
    A left = failed;
    left.jobLeft = true;
    A unknownFate = Dest(A::Silent);
    unknownFate.mayHavePrinted = true;
    const QString notPrinted = "The setup was not printed: ";
    struct Case {
        const char* state;
        bool queue; // false: a printer that writes a PDF file
        std::optional<A> named; // the printers and the default, when not the row's printer
        A ready;  // the queue question
        A job;
        bool hang;
        bool printed;
        int asked; // questions about the printer
        QString status;
        int signal = 0; // a stop signal during the queue question
    } cases[] = {
        {"accepting, job made", true, {}, Dest(A::Found), Dest(A::Found), false, true, 2, "File printed on Office"},
        {"rejecting", true, {},
         Dest(A::Found, {{"printer-is-accepting-jobs", "false"}, {"printer-state-message", "Rejecting Jobs"}}), {}, false,
         false, 1, notPrinted + "printer 'Office': its queue does not accept jobs (Rejecting Jobs)."},
        {"server gone after choice", true, {}, Dest(A::NoServer), {}, false, false, 1,
         notPrinted + "printer 'Office': no print server answers at /run/cups/cups.sock."},
        {"job refused", true, {}, Dest(A::Found), failed, false, false, 2,
         notPrinted + "printer 'Office': the print server says: Forbidden."},
        {"job refused, not cancelled", true, {}, Dest(A::Found), left, false, false, 2,
         notPrinted
             + "printer 'Office': the print server says: Forbidden; the job could not be cancelled, so an empty job may "
               "stay in the queue."},
        {"whole document sent, the server gone", true, {}, Dest(A::Found), unknownFate, false, false, 2,
         notPrinted
             + "printer 'Office': the print server /run/cups/cups.sock did not answer within 5 seconds; the whole document "
               "was sent, but the print server could not be asked about the job afterwards, so it may have printed."},
        {"unknown to the running server", true, {}, Dest(A::Unknown), {}, false, false, 1,
         notPrinted + "printer 'Office': the print server does not know this printer."},
        {"PDF file", false, {}, {}, {}, false, true, 0, "File printed on Office"},
        {"stopped", true, {}, Dest(A::Found, {{"printer-is-accepting-jobs", "true"}, {"printer-state", "5"}}), {}, false,
         false, 1, notPrinted + "printer 'Office': the printer is stopped."},
        {"server silent", true, {}, Dest(A::Found), Dest(A::Found), true, false, 2,
         notPrinted + "printer 'Office': the print server /run/cups/cups.sock did not answer within 5 seconds."},
        // No printer is chosen: the server's own reason is told.
        {"default unknown to the server", true, Named(A::Unknown, "NoSuchQueue"), {}, {}, false, false, 0,
         notPrinted + "the print server does not know the printer \"NoSuchQueue\"."},
        {"no server at the start", true, Dest(A::NoServer), {}, {}, false, false, 0,
         notPrinted + "no print server answers at /run/cups/cups.sock."},
        // An answer that came at once does not outweigh the stop that came with it.
        {"stop signal with a quick answer", true, {}, Dest(A::Found), Dest(A::Found), false, false, 1,
         notPrinted + "printer 'Office': the print was stopped by SIGTERM.", SIGTERM},
    };
    for (const Case& c : cases) {
        QFile::remove(pdf);
        doubles.status.text.clear();
        printers->names = {"Office"};
        printers->defaultPrinter = "Office";
        printers->jobOptions.clear();
        auto cups = std::make_shared<ScriptedCups>();
        cups->dests = c.named.value_or(Named(A::Found, "Office"));
        cups->queue = c.ready;
        cups->job = c.job;
        cups->hang = c.hang;
        cups->signal = c.signal;
        printers->cups = c.queue ? cups : nullptr;
        ShowPages();
        const bool printed = reports::PrintSetup(state, true);
        EXPECT_EQ(printed, c.printed) << c.state;
        EXPECT_EQ(frmPrint::LastResult(), c.printed ? frmPrint::Printed : frmPrint::NotPrinted) << c.state;
        EXPECT_EQ(doubles.status.text, c.status) << c.state;
        // A queue's job is the whole report as one PDF, on the printer's paper.
        EXPECT_EQ(QFile::exists(pdf), c.printed) << c.state;
        if (c.printed && c.queue) {
            // No paper was chosen: the queue prints on the one it was laid out for, as lp does.
            EXPECT_FALSE(printers->jobOptions.contains("media")) << c.state;
        }
        EXPECT_TRUE(doubles.presenter.shown.isEmpty()) << c.state;
        const std::lock_guard<std::mutex> guard(cups->lock);
        EXPECT_EQ(cups->asked.size(), c.asked) << c.state;
        EXPECT_EQ(cups->asked.count("Office"), cups->asked.size()) << c.state;
    }
}

// The report is laid out for the paper of the printer it goes to: every page has that size, and
// no text lies beyond the printable area, the footer's page number included; a paper narrower
// than the report gets it scaled down, every word of A4's still there.
TEST_F(FrmPrintTest, FullReportStaysInsideThePrintableAreaOfEachPaper)
{
    struct Case {
        const char* name;
        QPageSize::PageSizeId paper;
        QMarginsF unprintable; // points
    } cases[] = {
        {"A4", QPageSize::A4, {}},
        {"Letter", QPageSize::Letter, {}},
        {"Letter, wide unprintable edges", QPageSize::Letter, {40, 60, 40, 60}},
        {"Legal", QPageSize::Legal, {18, 18, 18, 18}},
        {"A5", QPageSize::A5, {}},
        {"A5, wide unprintable edges", QPageSize::A5, {30, 20, 30, 20}},
        {"Executive", QPageSize::Executive, {12, 12, 12, 12}},
        {"Envelope DL", QPageSize::EnvelopeDL, {12, 12, 12, 12}},
    };
    QSet<QString> onA4;
    LongSetup();
    for (XelDigitalIn* in : setup->DigitalIn()->NewEnum())
        in->SetActive(true);
    // Lines that run to the right end of their tables, of words each found once.
    QStringList words;
    for (int i = 1; i <= 60; ++i)
        words << QString("word%1").arg(i);
    setup->DigitalIn()->Item("1*")->SetInfo(words.join(' '));
    setup->Info()->SetInfo(words.join('-'));
    for (const Case& c : cases) {
        QFile::remove(pdf);
        printers->paper = QPageSize(c.paper);
        printers->unprintable = c.unprintable;
        auto form = Form();
        form->Run(true);
        ASSERT_EQ(form->Result(), frmPrint::Printed) << c.name;
        const PdfLayout layout = PdfWords(pdf);
        if (layout.pages.isEmpty())
            GTEST_SKIP() << "pdftotext is not installed";
        const QSizeF size = QPageSize(c.paper).size(QPageSize::Point);
        ASSERT_EQ(layout.pages.size(), form->PageCount()) << c.name;
        ASSERT_GT(form->PageCount(), 2) << c.name;
        for (const QSizeF& page : layout.pages) {
            EXPECT_NEAR(page.width(), size.width(), 1) << c.name;
            EXPECT_NEAR(page.height(), size.height(), 1) << c.name;
        }
        const QRectF printable = QRectF(QPointF(), size).marginsRemoved(c.unprintable);
        QVector<int> pageNumbers;
        QSet<QString> seen;
        for (const PdfWord& w : layout.words) {
            EXPECT_TRUE(printable.contains(w.box)) << c.name << " page " << w.page << ": " << w.text.toStdString();
            if (w.text.contains("word"))
                seen.insert(w.text);
            if (w.text == "Page")
                pageNumbers.append(w.page);
        }
        EXPECT_EQ(pageNumbers.size(), form->PageCount()) << c.name;
        if (c.paper == QPageSize::A4)
            onA4 = seen;
        EXPECT_EQ(seen - onA4, onA4 - seen) << c.name; // both empty: no word lost or cut
    }
}

// Terminal texts of the additional switch inputs and a marked relay with a long name keep to one
// line, in the PDF and in the row heights the sections keep together.
TEST_F(FrmPrintTest, RelayAndTerminalColumnsKeepTheirTextOnOneLine)
{
    struct Case {
        const char* first; // the first cell as printed
        const char* second;
    } cases[] = {
        {"Terminal 61", "START FROM BRIDGE"},
        {"Terminal 62", ""},
        {"K101  *", nullptr}, // the function text as the list shows it
        {"RELAY9  *", nullptr},
    };
    XelDigitalInAdditional* a1 = setup->DigitalInAdditional()->Item("1*");
    XelDigitalInAdditional* a2 = setup->DigitalInAdditional()->Item("2*");
    a1->SetInUse(true);
    a1->SetText("START FROM BRIDGE");
    a2->SetInUse(true);
    a2->SetText("");
    // Terminal-card relays whose function is a switch input that is not active: marked.
    const QVector<XelRelay*> terminalCard = setup->RelayNew()->NewEnum();
    ASSERT_GE(terminalCard.size(), 2);
    terminalCard[0]->SetInUse(true);
    terminalCard[0]->SetRelayText("K101");
    terminalCard[0]->SetFunctionNo(1);
    terminalCard[1]->SetInUse(true);
    terminalCard[1]->SetRelayText("RELAY9");
    terminalCard[1]->SetFunctionNo(2);
    auto form = Form();
    ASSERT_EQ(a1->Terminal(), 61);
    ASSERT_EQ(a2->Terminal(), 62);
    const ReportPrinter& report = form->Report();
    for (const Case& c : cases) {
        const ReportPrinter::Op* row = nullptr;
        for (const ReportPrinter::Op& op : report.Ops())
            if (op.kind == ReportPrinter::Op::Table && op.body.value(0).value(0) == c.first)
                row = &op;
        ASSERT_NE(row, nullptr) << c.first;
        // One line high, as a row of a one-letter text.
        QStringList oneLetter = row->body[0];
        oneLetter[0] = "X";
        EXPECT_EQ(row->height, report.TableHeight(row->format, {oneLetter}, 10, false)) << c.first;
    }
    form->Run(true);
    const QString text = PdfText(pdf);
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    for (const Case& c : cases) {
        const XelRelay* relay = QString(c.first).startsWith("K101") ? terminalCard[0] : terminalCard[1];
        const QString second = c.second ? QString(c.second) : relays->RelayRowText(1, pagecommon::ItemKey(relay->Index()));
        ASSERT_FALSE(second.isEmpty() && !c.second) << c.first;
        QStringList cells{QString(c.first).replace("  ", " ")};
        if (!second.isEmpty())
            cells << second;
        EXPECT_TRUE(HasRow(text, cells)) << cells.join("/").toStdString();
    }
}

// A print that waits on the server ends early only as the user or a stop signal asks: the
// progress box's Cancel and Escape as the window system delivers them, a window the user
// closes, a signal. Input meant for other windows is dropped, a window the program closes
// itself stops nothing, and an answer that came at once is taken without the event loop.
TEST_F(FrmPrintTest, APrintWaitEndsOnlyAsTheUserOrASignalAsks)
{
    using A = platform::CupsAnswer;
    enum Act { Nothing, ClickCancel, Escape, CloseWindow, ToolTipGoes, ClickWindow, Signal };
    const QString cancelled = "the print was cancelled";
    const QString silent = "did not answer within 5 seconds";
    struct Row {
        const char* what;
        bool atJob; // else at the queue question
        bool hang;
        bool window; // a window on show, so the progress box comes up
        Act act;
        QString reason; // empty: answered
    } rows[] = {
        {"Cancel clicked at the queue question", false, true, true, ClickCancel, cancelled},
        {"Escape at the queue question", false, true, true, Escape, cancelled},
        {"Cancel clicked at the job's creation", true, true, true, ClickCancel, cancelled},
        {"Escape at the job's creation", true, true, true, Escape, cancelled},
        {"the window closed by the user", true, true, true, CloseWindow, cancelled},
        {"a tool tip that goes", true, true, true, ToolTipGoes, silent},
        {"a click on the window", false, true, true, ClickWindow, silent},
        {"a stop signal, no window", true, true, false, Signal, "the print was stopped by SIGTERM"},
        {"an answer at once", true, false, true, Nothing, ""},
    };
    doubles.time.timerDivisor = 5;
    QFile(pdf).open(QIODevice::WriteOnly);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto cups = std::make_shared<ScriptedCups>();
        cups->queue = Dest(A::Found);
        cups->job = Dest(A::Found);
        (row.atJob ? cups->hang : cups->hangQueue) = row.hang;
        QWidget window;
        window.resize(200, 100);
        auto* button = new QPushButton("Go", &window);
        int clicks = 0;
        QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
        if (row.window)
            window.show();
        bool loopRan = false;
        QTimer::singleShot(0, [&loopRan] { loopRan = true; });
        QTimer act;
        int ticks = 0;
        QObject::connect(&act, &QTimer::timeout, [&] {
            QWidget* box = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "frmPrintProgress" && w->isVisible())
                    box = w;
            if (row.window && !box)
                return;
            ++ticks;
            if (row.act == ClickCancel) {
                auto* cancel = box->findChild<QPushButton*>("cmdCancel");
                QTest::mouseClick(box->windowHandle(), Qt::LeftButton, {}, cancel->mapTo(box, cancel->rect().center()));
            } else if (row.act == Escape) {
                QTest::keyClick(box->windowHandle(), Qt::Key_Escape);
            } else if (row.act == CloseWindow) {
                QCloseEvent close;
                QSpontaneKeyEvent::setSpontaneous(&close);
                QCoreApplication::sendEvent(window.windowHandle(), &close);
            } else if (row.act == ToolTipGoes && ticks == 1) {
                QToolTip::showText(window.mapToGlobal(QPoint(5, 5)), "tip", &window);
            } else if (row.act == ToolTipGoes && ticks == 2) {
                QToolTip::hideText();
            } else if (row.act == ClickWindow && ticks == 1) {
                QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, button->geometry().center());
            } else if (row.act == Signal && ticks == 1) {
                ::raise(SIGTERM);
            }
        });
        act.start(5);
        const platform::PrintQueue queue(cups);
        A ready;
        const platform::PrintCheck check =
            row.atJob ? queue.Print("Office", pdf, "Setup", {}, {}) : queue.Queue("Office", ready);
        EXPECT_EQ(loopRan, row.hang) << "an answer at once runs nothing else of the program";
        act.stop();
        EXPECT_EQ(check.answer == platform::PrintCheck::Yes, row.reason.isEmpty());
        EXPECT_TRUE(check.reason.contains(row.reason)) << check.reason.toStdString();
        EXPECT_EQ(check.signal, row.act == Signal ? SIGTERM : 0);
        // Dropped, not kept for later.
        QCoreApplication::processEvents();
        EXPECT_EQ(clicks, 0);
        EXPECT_EQ(window.isVisible(), row.window);
    }
    QToolTip::hideText();
}
