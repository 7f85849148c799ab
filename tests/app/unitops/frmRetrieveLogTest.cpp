// The log download against the simulated unit: the three sections, the 2000 ms silence rule
// on the program's clock, empty and silent answers, cancel, and the file it leaves.
#include "ServiceCommandsTestSupport.h"

#include "app/services/modDiv.h"
#include "app/unitops/UnitCommandStop.h"
#include "app/unitops/frmRetrieveLog.h"
#include "tests/common/FileSizeLimit.h"

#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

using namespace unitopstest;
using ecxsim::Unit;
using State = frmRetrieveLog::State;

namespace {

class frmRetrieveLogTest : public UnitFixture {
protected:
    void SetUp() override
    {
        UnitFixture::SetUp();
        unit.SetLogBurst(1 << 20, 0);
        unit.SetLogText(Unit::LogSection::Information, "ECX-Q2 unit\r\n");
        unit.SetLogText(Unit::LogSection::Counters, "Hours 1234\r\n");
        unit.SetLogText(Unit::LogSection::Log, "001 Power on\r\n002 Stop\r\n");
    }

    std::unique_ptr<frmRetrieveLog> OpenReady()
    {
        auto w = std::make_unique<frmRetrieveLog>(nullptr, &frame);
        w->SetLogFolder(doubles.dir.filePath("logs"));
        w->show();
        auto* download = w->findChild<QPushButton*>("cmdDownload");
        EXPECT_TRUE(RunUntil([&] { return download->isEnabled(); }));
        return w;
    }
    // Lets the unit's answer arrive (real time, the unit is not paced).
    void Drain()
    {
        RunUntil([&] { return !unit.Sending(); });
        QTest::qWait(15);
    }
    // The program's clock moves on; the window looks at the silence.
    void Silence(int ms)
    {
        doubles.time.now += ms;
        Tick();
    }
    // Lets the open window's timer look once more: a busy machine may hold a tick back past any
    // real-time wait.
    void Tick()
    {
        QTest::qWait(20);
        for (QWidget* top : QApplication::topLevelWidgets())
            if (QTimer* timer = top->findChild<QTimer*>("timTimer"); timer && timer->isActive())
                RunUntil([ticks = std::make_shared<QSignalSpy>(timer, &QTimer::timeout)] { return !ticks->isEmpty(); });
    }
    bool Visible(frmRetrieveLog& w, int label)
    {
        return w.findChild<QLabel*>(QStringLiteral("lblLog_%1").arg(label))->isVisibleTo(&w);
    }

};

QString DateText(const QDateTime& now)
{
    return QLocale().toString(now.date(), QLocale::ShortFormat) + " " + modDiv::LongTimeText(now.time());
}

TEST_F(frmRetrieveLogTest, AnOlderUnitOnlySaysItCannot)
{
    unit.SetFirmwareVersion(QStringLiteral("1.9"));
    frmRetrieveLog w(nullptr, &frame);
    w.show();
    QTest::qWait(20);
    EXPECT_EQ(w.CurrentState(), State::Unsupported);
    EXPECT_TRUE(Visible(w, 4));
    EXPECT_FALSE(Visible(w, 0));
    EXPECT_FALSE(w.findChild<QPushButton*>("cmdDownload")->isEnabled());
    EXPECT_FALSE(w.findChild<QTimer*>("timTimer")->isActive());
}

TEST_F(frmRetrieveLogTest, PollingShowsWhetherAUnitIsThere)
{
    unit.SetFault(Unit::Fault::Silence);
    frmRetrieveLog w(nullptr, &frame);
    w.show();
    EXPECT_EQ(w.CurrentState(), State::Polling); // "N/A" polls
    QTest::qWait(30);
    EXPECT_TRUE(Visible(w, 0));
    EXPECT_TRUE(Visible(w, 1));
    EXPECT_FALSE(w.findChild<QPushButton*>("cmdDownload")->isEnabled());
    unit.ClearFaults();
    ASSERT_TRUE(RunUntil([&] { return w.findChild<QPushButton*>("cmdDownload")->isEnabled(); }));
    EXPECT_TRUE(Visible(w, 2));
    EXPECT_FALSE(Visible(w, 0));
}

TEST_F(frmRetrieveLogTest, AFullDownloadGoesToAFileOpenedInTheViewer)
{
    auto w = OpenReady();
    Click(w.get(), "cmdDownload");
    EXPECT_EQ(w->CurrentState(), State::Downloading);
    EXPECT_TRUE(Visible(*w, 3));
    EXPECT_TRUE(w->findChild<QWidget*>("picLog")->isVisibleTo(w.get()));
    EXPECT_FALSE(w->findChild<QPushButton*>("cmdDownload")->isEnabled());
    for (int section = 0; section < 3; ++section) {
        Drain();
        EXPECT_EQ(w->CurrentState(), State::Downloading);
        Silence(1999);
        EXPECT_EQ(w->CurrentState(), State::Downloading);
        Silence(1);
    }
    Drain();
    EXPECT_EQ(w->CurrentState(), State::Done);
    EXPECT_FALSE(w->isVisible());

    const QString date = DateText(doubles.system.now);
    const QString started = "Receive log started " + date;
    const QString completed = "Receive log completed " + date;
    const QString expected = started + "\r\n" + QString(started.size(), '=') + "\r\n\r\n\r\n"
        + "Information\r\n-----------\r\n\r\nECX-Q2 unit\r\n" + "\r\n\r\n"
        + "Counters\r\n--------\r\n\r\nHours 1234\r\n" + "\r\n\r\n"
        + "Log\r\n---\r\n\r\n001 Power on\r\n002 Stop\r\n" + "\r\n\r\n"
        + QString(completed.size(), '=') + "\r\n" + completed;
    EXPECT_EQ(w->RetrievedLogText(), expected);

    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_EQ(shell.opened.first(), w->LogFile());
    EXPECT_TRUE(w->LogFile().startsWith(doubles.dir.filePath("logs")));
    EXPECT_TRUE(w->LogFile().contains("ECX 4.47"));
    QFile file(w->LogFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), expected.toLatin1());
    EXPECT_TRUE(doubles.status.text.contains(QDir::toNativeSeparators(w->LogFile())));
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(frmRetrieveLogTest, BurstsCloserThanTheSilenceStayInOneSection)
{
    auto w = OpenReady();
    Click(w.get(), "cmdDownload");
    Drain();
    Silence(1500);
    emit unit.Transmit("more after 1.5 s\r\n"); // a later burst of the same answer
    Drain();
    Silence(1999);
    EXPECT_EQ(w->CurrentState(), State::Downloading);
    EXPECT_FALSE(w->RetrievedLogText().contains("Counters\r\n")); // still the first section
    Silence(1);
    EXPECT_TRUE(w->RetrievedLogText().contains("Counters\r\n"));
    Drain();
    Silence(2500);
    // The rest of an answer after a longer pause lands in the next section.
    emit unit.Transmit("late part\r\n");
    Drain();
    Silence(2000);
    Drain();
    Silence(2000);
    ASSERT_EQ(w->CurrentState(), State::Done) << w->RetrievedLogText().toStdString();
    const QString text = w->RetrievedLogText();
    EXPECT_TRUE(text.contains("ECX-Q2 unit\r\nmore after 1.5 s\r\n\r\n\r\nCounters"));
    EXPECT_TRUE(text.contains("Hours 1234\r\n\r\n\r\nLog\r\n---\r\n\r\n001 Power on\r\n002 Stop\r\nlate part\r\n"));
}

TEST_F(frmRetrieveLogTest, EmptyAndSilentAnswersGiveEmptySections)
{
    unit.SetLogText(Unit::LogSection::Counters, "");
    auto w = OpenReady();
    Click(w.get(), "cmdDownload");
    Drain();
    Silence(2000);
    Drain();
    unit.SetFault(Unit::Fault::Silence); // the unit stops answering
    Silence(2000);
    Silence(2000);
    ASSERT_EQ(w->CurrentState(), State::Done);
    EXPECT_TRUE(w->RetrievedLogText().contains("Counters\r\n--------\r\n\r\n\r\n\r\nLog\r\n---\r\n\r\n\r\n\r\n="));
    EXPECT_EQ(shell.opened.size(), 1);
}

// A stop signal is the download's Cancel.
TEST_F(frmRetrieveLogTest, CancelInTheMiddleStopsAtOnceAndLeavesNoFile)
{
    for (const bool bySignal : {false, true}) {
        SCOPED_TRACE(bySignal ? "SIGINT" : "Cancel");
        auto w = OpenReady();
        Click(w.get(), "cmdDownload");
        Drain();
        Silence(2000);
        ASSERT_EQ(w->CurrentState(), State::Downloading);
        if (bySignal)
            std::raise(SIGINT); // armed while the download runs
        else
            Click(w.get(), "cmdCancel");
        EXPECT_TRUE(RunUntil([&] { return !w->isVisible(); }));
        EXPECT_NE(w->CurrentState(), State::Downloading);
        EXPECT_FALSE(w->findChild<QTimer*>("timTimer")->isActive());
        Silence(10000);
        EXPECT_TRUE(shell.opened.isEmpty());
        EXPECT_TRUE(w->LogFile().isEmpty());
        EXPECT_FALSE(QDir(doubles.dir.filePath("logs")).exists());
        if (bySignal)
            // Register 0 was never written: the line claims no lock (an earlier command of the
            // run may have left the unit in doubt).
            EXPECT_TRUE(unitops::StopReason().startsWith(
                "a signal (SIGINT) stopped the log download; it did not unlock the Control Unit"))
                << unitops::StopReason().toStdString();
        // The port was given back: a new link reaches the unit.
        EXPECT_EQ(unitops::ReadUnitVersion(true), "4.47");
    }
}

TEST_F(frmRetrieveLogTest, AnEndlessAnswerIsCutAndTheDownloadEnds)
{
    auto w = OpenReady();
    Click(w.get(), "cmdDownload");
    Drain();
    // More than a section keeps: the rest is dropped and the section ends at once.
    emit unit.Transmit(QByteArray(frmRetrieveLog::kMaxSectionBytes, 'x'));
    Drain();
    EXPECT_TRUE(w->RetrievedLogText().contains("[The answer was cut here"));
    EXPECT_TRUE(w->RetrievedLogText().contains("Counters\r\n"));
    Drain();
    // A unit that keeps sending a little at a time, never 2 s apart, is cut after the time limit.
    for (int sent = 0; sent <= frmRetrieveLog::kMaxSectionMs / 1999 + 1; ++sent) {
        doubles.time.now += 1999;
        emit unit.Transmit("t");
        QCoreApplication::processEvents();
    }
    Tick();
    EXPECT_TRUE(w->RetrievedLogText().contains("the unit was still sending after 15 minutes"));
    EXPECT_TRUE(w->RetrievedLogText().contains("Log\r\n---"));
    const int kept = w->RetrievedLogText().count('x');
    EXPECT_EQ(kept, frmRetrieveLog::kMaxSectionBytes - QString("ECX-Q2 unit\r\n").size());
}

TEST_F(frmRetrieveLogTest, APortThatWillNotOpenShowsNoUnitAndPollsAgain)
{
    auto w = OpenReady();
    // A port with no unit behind it refuses to open.
    platform::SerialPort::SetFactory([] { return std::make_unique<ecxsim::SimulatedPort>(nullptr); });
    Click(w.get(), "cmdDownload");
    EXPECT_EQ(w->CurrentState(), State::Polling);
    EXPECT_TRUE(Visible(*w, 0));
    EXPECT_FALSE(Visible(*w, 3));
    EXPECT_TRUE(w->findChild<QTimer*>("timTimer")->isActive());
    platform::SerialPort::SetFactory(ecxsim::SimulatedPort::FactoryFor(&unit));
    ASSERT_TRUE(RunUntil([&] { return w->findChild<QPushButton*>("cmdDownload")->isEnabled(); }, 5000));
}

TEST_F(frmRetrieveLogTest, TheUnitsBytesAreKeptAsSent)
{
    // The unit writes a single-byte code page: degrees, a euro sign, accents, and bytes that are
    // no UTF-8 at all. The file keeps them; the text shown reads them as Windows-1252.
    const QByteArray log("T 90\xB0" "C \x80 caf\xE9\r\n\xFF\x81\x00end\r\n", 21);
    unit.SetLogText(Unit::LogSection::Log, log);
    auto w = OpenReady();
    Click(w.get(), "cmdDownload");
    for (int section = 0; section < 3; ++section) {
        Drain();
        Silence(2000);
    }
    ASSERT_EQ(w->CurrentState(), State::Done);
    const QByteArray bytes = w->RetrievedLogBytes();
    EXPECT_TRUE(bytes.contains("Log\r\n---\r\n\r\n" + log + "\r\n\r\n="));
    QFile file(w->LogFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
    EXPECT_TRUE(w->RetrievedLogText().contains(QString::fromUtf8("T 90\u00B0C \u20AC caf\u00E9\r\n\u00FF\u0081")));
}

// Where the log goes when the viewer or the file cannot be had.
TEST_F(frmRetrieveLogTest, WithoutAViewerTheStatusSaysWhereTheFileIs)
{
    struct Case {
        const char* what;
        bool viewerOpens;
        int fileLimit; // bytes a file may grow to; 0: no limit
        bool folderIsAFile;
        bool written;
    };
    const Case cases[] = {
        {"viewer opens", true, 0, false, true},
        {"no viewer", false, 0, false, true},
        {"disk full", true, 100, false, false},
        {"folder not makeable", false, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        doubles.presenter.shown.clear();
        shell.opened.clear();
        shell.succeeds = c.viewerOpens;
        doubles.clipboard.text.clear();
        auto w = OpenReady();
        doubles.status.text.clear();
        QString folder = doubles.dir.filePath(QStringLiteral("logs %1").arg(c.what));
        if (c.folderIsAFile) {
            QFile blocker(doubles.dir.filePath("blocker"));
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
            folder = blocker.fileName() + "/logs";
        }
        w->SetLogFolder(folder);
        Click(w.get(), "cmdDownload");
        for (int section = 0; section < 3; ++section) {
            Drain();
            if (section < 2 || !c.fileLimit) {
                Silence(2000);
                continue;
            }
            FileSizeLimit limit(rlim_t(c.fileLimit));
            Silence(2000);
        }
        ASSERT_EQ(w->CurrentState(), State::Done);
        if (c.written) {
            EXPECT_TRUE(Shown().isEmpty());
            ASSERT_FALSE(w->LogFile().isEmpty());
            EXPECT_TRUE(QFile::exists(w->LogFile()));
            EXPECT_TRUE(doubles.status.text.contains(QDir::toNativeSeparators(w->LogFile())));
            EXPECT_EQ(doubles.status.text.startsWith("No text viewer"), !c.viewerOpens);
            EXPECT_EQ(shell.opened, QStringList{w->LogFile()});
            EXPECT_TRUE(doubles.clipboard.text.isEmpty());
        } else {
            EXPECT_EQ(Shown(), QStringList{Message(139)});
            EXPECT_EQ(doubles.clipboard.text, w->RetrievedLogText());
            EXPECT_TRUE(w->LogFile().isEmpty());
            EXPECT_TRUE(doubles.status.text.isEmpty());
            EXPECT_TRUE(shell.opened.isEmpty());
            EXPECT_TRUE(!QDir(folder).exists() || QDir(folder).isEmpty(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden));
        }
    }
}

} // namespace

namespace {

// The window is modal: while it is up a second command only beeps, and shut-down closes it.
TEST_F(frmRetrieveLogTest, TheCommandKeepsOneWindowAndShutDownClosesIt)
{
    auto windows = [] {
        QList<frmRetrieveLog*> open;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* log = qobject_cast<frmRetrieveLog*>(w); log && log->isVisible())
                open << log;
        return open;
    };
    bool seen = false;
    WhenModal<frmRetrieveLog>([&](frmRetrieveLog* first) {
        seen = true;
        EXPECT_EQ(windows(), QList<frmRetrieveLog*>{first});
        unitops::CmdRetrieveLog(state);
        unitops::CmdClock(state);
        EXPECT_EQ(windows(), QList<frmRetrieveLog*>{first});
        EXPECT_EQ(doubles.presenter.beeps, 2);
        EXPECT_TRUE(RunUntil([&] { return first->findChild<QPushButton*>("cmdDownload")->isEnabled(); }));
        unitops::CloseRetrieveLog();
    });
    unitops::CmdRetrieveLog(state);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(windows().isEmpty());
    QTest::qWait(10);
}

TEST_F(frmRetrieveLogTest, ClosingDuringAPollWaitsForThePollAndThenCloses)
{
    unit.SetFault(Unit::Fault::Silence); // each poll waits for its time-out
    frmRetrieveLog w(nullptr, &frame);
    w.show();
    bool closedInsidePoll = true;
    // The first poll runs 1 ms after opening; the close comes while its link waits.
    QTimer::singleShot(3, &w, [&] {
        w.close();
        closedInsidePoll = !w.isVisible();
    });
    ASSERT_TRUE(RunUntil([&] { return !w.isVisible(); }));
    EXPECT_FALSE(closedInsidePoll);
    EXPECT_FALSE(w.findChild<QTimer*>("timTimer")->isActive());
}

} // namespace
