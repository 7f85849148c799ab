// The print road through the real libcups and Qt's print support: against a print server of the
// test's own (cupsd on a socket in the test's folder, raw queues into /dev/null), against no
// server, and against a socket that takes the connection and never answers.
#include "tests/app/reports/ReportTestSupport.h"
#include "tests/common/WaitFor.h"

#include "app/reports/Reports.h"
#include "app/reports/frmPrint.h"
#include "platform/CupsApi.h"
#include "platform/Printers.h"
#include "platform/SettingsStore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPrintDialog>
#include <QComboBox>
#include <QProcess>
#include <QSemaphore>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cups/cups.h>

#include <atomic>
#include <optional>
#include <thread>

using namespace reporttest;

namespace {

// Every wait on a server has this deadline; a print is told within a few seconds or fails.
constexpr int kDeadlineMs = 20000;
constexpr int kPrintWithinMs = 10000;

// A socket that takes every connection and never answers. At its deadline it closes them all,
// so that a call that waits on it without a time-out of its own fails instead of hanging.
class SilentServer : public QThread {
public:
    explicit SilentServer(const QString& path) : m_path(path) {}
    ~SilentServer() override
    {
        quit();
        wait();
    }
    bool Listen()
    {
        start();
        m_ready.acquire();
        return m_listening;
    }

protected:
    void run() override
    {
        QLocalServer server;
        QLocalServer::removeServer(m_path);
        m_listening = server.listen(m_path);
        // The connections are kept, as children of the server, until it goes.
        connect(&server, &QLocalServer::newConnection, &server, [&server] {
            while (server.nextPendingConnection()) {
            }
        });
        QTimer::singleShot(kDeadlineMs, &server, [this] { exit(); });
        m_ready.release();
        if (m_listening)
            exec();
    }

private:
    QString m_path;
    QSemaphore m_ready;
    bool m_listening = false;
};

// Stands in front of the test's cupsd and passes every byte, until it turns silent for good: at
// its answered+1-th connection, or at a request that carries the marker. Silent, it takes the
// bytes of every connection and passes nothing; at its deadline it closes them all.
class SilencingProxy : public QThread {
public:
    SilencingProxy(const QString& path, const QString& upstream) : m_path(path), m_upstream(upstream) {}
    ~SilencingProxy() override
    {
        quit();
        wait();
    }
    bool Listen(int answered, const QByteArray& marker)
    {
        m_answered = answered;
        m_marker = marker;
        start();
        m_ready.acquire();
        return m_listening;
    }
    void SilenceNow() { m_silent = true; }

protected:
    void run() override
    {
        QLocalServer server;
        QLocalServer::removeServer(m_path);
        m_listening = server.listen(m_path);
        int accepted = 0;
        connect(&server, &QLocalServer::newConnection, &server, [&] {
            while (QLocalSocket* client = server.nextPendingConnection()) {
                if (++accepted > m_answered)
                    m_silent = true;
                auto* up = new QLocalSocket(client);
                up->connectToServer(m_upstream);
                up->waitForConnected(kDeadlineMs);
                connect(client, &QLocalSocket::readyRead, client, [this, client, up] {
                    const QByteArray bytes = client->readAll();
                    if (!m_marker.isEmpty() && bytes.contains(m_marker))
                        m_silent = true;
                    if (!m_silent)
                        up->write(bytes);
                });
                connect(up, &QLocalSocket::readyRead, client, [this, client, up] {
                    const QByteArray bytes = up->readAll();
                    if (!m_silent)
                        client->write(bytes);
                });
            }
        });
        QTimer::singleShot(kDeadlineMs, &server, [this] { exit(); });
        m_ready.release();
        if (m_listening)
            exec();
    }

private:
    QString m_path, m_upstream;
    int m_answered = 0;
    QByteArray m_marker;
    std::atomic<bool> m_silent{false};
    QSemaphore m_ready;
    bool m_listening = false;
};

// A cupsd of the test's own: configuration, state and socket in a temporary folder, no TCP
// port, raw queues that print into /dev/null. Stopped by its process id.
class PrivateCupsd {
public:
    struct Queue {
        QString name;
        bool accepting = true;
        bool stopped = false;
    };

    ~PrivateCupsd() { Stop(); }
    QString Socket() const { return dir.filePath(QStringLiteral("cups.sock")); }
    QString Root() const { return dir.filePath(QStringLiteral("root")); }

    // Empty when it runs and answers; else why not.
    QString Start(const QList<Queue>& queues, const QStringList& lpoptions)
    {
        const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), {"/usr/sbin", "/sbin", "/usr/local/sbin"});
        if (cupsd.isEmpty())
            return QStringLiteral("cupsd is not installed (Debian package cups-daemon)");
        if (!dir.isValid() || Socket().toUtf8().size() >= 100)
            return QStringLiteral("no temporary folder for the print server");
        for (const char* sub : {"root", "state", "cache", "spool", "log"})
            QDir(dir.path()).mkpath(QString::fromLatin1(sub));
        // cupsd refuses to run its jobs as root: as root it drops to nobody.
        const QFileInfo self(dir.path());
        const bool root = self.ownerId() == 0;
        QString files = QStringLiteral("ServerRoot %1/root\nStateDir %1/state\nCacheDir %1/cache\nRequestRoot %1/spool\n"
                                       "TempDir %1/spool\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                                       "AccessLog %1/log/access_log\nErrorLog %1/log/error_log\nPageLog %1/log/page_log\n"
                                       "FileDevice Yes\nUser %2\nGroup %3\n%4")
                            .arg(dir.path(), root ? QStringLiteral("nobody") : self.owner(),
                                 root ? QStringLiteral("nogroup") : self.group(),
                                 root ? QStringLiteral("SystemGroup root\n") : QString());
        const QString conf = QStringLiteral("Listen %1\nLogLevel info\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                                            "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                            "<Policy default>\n  <Limit All>\n    Order allow,deny\n    Allow all\n  </Limit>\n"
                                            "</Policy>\n")
                                 .arg(Socket());
        QString printers;
        for (const Queue& q : queues)
            printers += QStringLiteral("<Printer %1>\nState %2\nAccepting %3\nDeviceURI file:///dev/null\n</Printer>\n")
                            .arg(q.name, q.stopped ? QStringLiteral("Stopped") : QStringLiteral("Idle"),
                                 q.accepting ? QStringLiteral("Yes") : QStringLiteral("No"));
        if (!Write(dir.filePath("cups-files.conf"), files) || !Write(dir.filePath("cupsd.conf"), conf)
            || !Write(Root() + "/cupsd.conf", conf) || !Write(Root() + "/printers.conf", printers)
            || !Write(Root() + "/lpoptions", lpoptions.join('\n') + '\n'))
            return QStringLiteral("the print server's files could not be written");
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(cupsd, {"-f", "-c", dir.filePath("cupsd.conf"), "-s", dir.filePath("cups-files.conf")});
        if (!process.waitForStarted(kDeadlineMs))
            return QStringLiteral("cupsd did not start: ") + process.errorString();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kDeadlineMs) {
            if (process.state() != QProcess::Running)
                return QStringLiteral("cupsd ended at once: ") + Log();
            if (Answers())
                return QString();
            QThread::msleep(50);
        }
        return QStringLiteral("cupsd did not answer on its socket: ") + Log();
    }
    void Stop()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate(); // SIGTERM to its process id
        if (!process.waitForFinished(kDeadlineMs)) {
            process.kill();
            process.waitForFinished(kDeadlineMs);
        }
    }

    // Asked on a thread and connection of its own, as the program's libcups settings may point
    // the test's thread elsewhere.
    template <typename F>
    auto OnConnection(F ask) -> decltype(ask(static_cast<http_t*>(nullptr)))
    {
        decltype(ask(static_cast<http_t*>(nullptr))) result{};
        const QByteArray socket = Socket().toUtf8();
        std::thread([&] {
            if (http_t* http = httpConnect2(socket.constData(), ippPort(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1,
                                            kDeadlineMs, nullptr)) {
                result = ask(http);
                httpClose(http);
            }
        }).join();
        return result;
    }
    bool Answers()
    {
        return OnConnection([](http_t* http) {
            cups_dest_t* dests = nullptr;
            const int count = cupsGetDests2(http, &dests);
            cupsFreeDests(count, dests);
            return cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
        });
    }
    struct Made {
        int jobs = -1; // every job the server made for the queue, finished ones too
        int copies = 0; // the copies its last job asked for (0: not said)
    };
    Made Jobs(const QString& queue)
    {
        const QByteArray name = queue.toUtf8();
        return OnConnection([&](http_t* http) {
            Made made;
            cups_job_t* jobs = nullptr;
            made.jobs = cupsGetJobs2(http, &jobs, name.constData(), 0, CUPS_WHICHJOBS_ALL);
            int last = 0;
            for (int i = 0; i < made.jobs; ++i)
                last = qMax(last, jobs[i].id);
            cupsFreeJobs(qMax(0, made.jobs), jobs);
            if (last > 0) {
                ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
                ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
                ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", last);
                ipp_t* response = cupsDoRequest(http, request, "/");
                if (ipp_attribute_t* copies = response ? ippFindAttribute(response, "copies", IPP_TAG_INTEGER) : nullptr)
                    made.copies = ippGetInteger(copies, 0);
                ippDelete(response);
            }
            return made;
        });
    }
    bool Delete(const QString& queue)
    {
        const QByteArray name = queue.toUtf8();
        return OnConnection([&](http_t* http) {
            char uri[HTTP_MAX_URI];
            httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", 0, "/printers/%s",
                             name.constData());
            ipp_t* request = ippNewRequest(IPP_OP_CUPS_DELETE_PRINTER);
            ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
            ippDelete(cupsDoRequest(http, request, "/admin/"));
            return cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
        });
    }

    QTemporaryDir dir;
    QProcess process;

private:
    static bool Write(const QString& path, const QString& text)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) == text.toUtf8().size();
    }
    QString Log()
    {
        QFile log(dir.filePath("log/error_log"));
        const QString said = QString::fromLocal8Bit(process.readAll()).trimmed();
        return (said + ' ' + (log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll().right(600)) : QString())).trimmed();
    }
};

// The environment libcups reads, set for one test and put back after it.
class Environment {
public:
    ~Environment()
    {
        for (auto it = m_kept.cbegin(); it != m_kept.cend(); ++it) {
            if (it.value())
                qputenv(it.key().constData(), *it.value());
            else
                qunsetenv(it.key().constData());
        }
    }
    void Set(const char* name, const QString& value)
    {
        if (!m_kept.contains(name))
            m_kept.insert(name, qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name)) : std::nullopt);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toUtf8());
    }

private:
    QMap<QByteArray, std::optional<QByteArray>> m_kept; // the value before the first Set
};

class PrintServerTest : public ReportFixture {
protected:
    void SetUp() override
    {
        ReportFixture::SetUp();
        // The system's own printers, as a run of the program has them.
        platform::Printers::SetInstance(nullptr);
        env.Set("LPDEST", QString());
    }
    void TearDown() override
    {
        ReportFixture::TearDown();
        // Qt's printer calls go back to the user's server.
        platform::CupsApi::KeepThreadAway(false);
    }
    // A print from the command line (-p): printed or not, and what the status bar says.
    bool Print(const QString& printer, qint64& tookMs)
    {
        env.Set("PRINTER", printer);
        // Each print starts as a fresh run would: libcups on this thread reads the environment.
        platform::CupsApi::KeepThreadAway(false);
        doubles.status.text.clear();
        ShowPages();
        QElapsedTimer clock;
        clock.start();
        const bool printed = reports::PrintSetup(state, true);
        tookMs = clock.elapsed();
        return printed;
    }
    Environment env;
};

} // namespace

// Each queue state through the whole road: the print server asked first, Qt pointed at the
// queue, the report handed over as one PDF job. Only a job the server made is a print.
TEST_F(PrintServerTest, EachQueueStateOnARealPrintServer)
{
    const QString buero = QString::fromUtf8("B\xc3\xbcro");
    PrivateCupsd cupsd;
    const QString why = cupsd.Start({{"Q"}, {"Rej", false}, {"Stop", true, true}, {buero}, {"-Dash"}, {"Gone"}},
                                    {"Dest Q/inst copies=2"});
    if (!why.isEmpty())
        GTEST_SKIP() << "no private print server: " << why.toStdString();
    env.Set("CUPS_SERVER", cupsd.Socket());
    // libcups reads it once for each thread, at its first use: before any print here.
    env.Set("CUPS_SERVERROOT", cupsd.Root());
    // Every question of the program gets its full time: the server answers long before.
    doubles.time.timerDivisor = 1;
    ASSERT_TRUE(cupsd.Delete("Gone"));

    const QString notPrinted = "The setup was not printed: ";
    struct Row {
        QString printer;
        QString queue; // where its job goes
        bool printed;
        QString status; // the status text starts so
        int copies = 0; // the copies the job asks for, where it says
    } rows[] = {
        {"Q", "Q", true, "File printed on Q"},
        {"Rej", "Rej", false, notPrinted + "printer 'Rej': its queue does not accept jobs"},
        {"Stop", "Stop", false, notPrinted + "printer 'Stop': the printer is stopped"},
        {buero, buero, true, "File printed on " + buero},
        {"-Dash", "-Dash", true, "File printed on -Dash"},
        // The instance's own options go with its job.
        {"Q/inst", "Q", true, "File printed on Q/inst", 2},
        {"Gone", "Q", false, notPrinted + "the print server does not know the printer \"Gone\"."},
        {"NoSuchQueue", "Q", false, notPrinted + "the print server does not know the printer \"NoSuchQueue\"."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.printer.toStdString());
        const int before = cupsd.Jobs(row.queue).jobs;
        ASSERT_GE(before, 0);
        qint64 took = 0;
        EXPECT_EQ(Print(row.printer, took), row.printed);
        EXPECT_TRUE(doubles.status.text.startsWith(row.status)) << doubles.status.text.toStdString();
        const PrivateCupsd::Made after = cupsd.Jobs(row.queue);
        EXPECT_EQ(after.jobs, before + (row.printed ? 1 : 0));
        if (row.copies)
            EXPECT_EQ(after.copies, row.copies);
        EXPECT_LT(took, kPrintWithinMs);
    }
    // The server stopped: the next print says that nothing answers.
    cupsd.Stop();
    qint64 took = 0;
    EXPECT_FALSE(Print("Q", took));
    EXPECT_EQ(doubles.status.text, notPrinted + "no print server answers at " + cupsd.Socket() + ".");
}

// No server on the socket, or one that takes the connection and never answers: the print is
// told as not printed, naming the server, within the program's own bound; Qt's printer calls
// never wait for the silent one.
TEST_F(PrintServerTest, NoServerOrASilentOneIsToldWithinTheBound)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString silentPath = dir.filePath("silent.sock");
    SilentServer silent(silentPath);
    ASSERT_TRUE(silent.Listen());
    const QString nonePath = dir.filePath("none.sock");
    const QString notPrinted = "The setup was not printed: ";
    const QString pdf = dir.filePath("out.pdf");
    struct Row {
        QString server;
        bool toPdf; // the settings name a PDF file as the printer
        QString status;
    } rows[] = {
        {nonePath, false, notPrinted + "no print server answers at " + nonePath + "."},
        {silentPath, false, notPrinted + "the print server " + silentPath + " did not answer within 5 seconds."},
        {nonePath, false, notPrinted + "no print server answers at " + nonePath + "."},
        // A PDF file needs no server; Qt's printer would still ask the silent one.
        {silentPath, true, "File printed on PDF"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.server.toStdString());
        env.Set("CUPS_SERVER", row.server);
        if (row.toPdf)
            platform::SettingsStore::Instance().SetValue("Printers/PdfOutput", pdf);
        qint64 took = 0;
        EXPECT_EQ(Print("Q", took), row.toPdf);
        EXPECT_EQ(doubles.status.text, row.status);
        EXPECT_EQ(frmPrint::LastResult(), row.toPdf ? frmPrint::Printed : frmPrint::NotPrinted);
        EXPECT_EQ(QFile::exists(pdf), row.toPdf);
        EXPECT_LT(took, kPrintWithinMs);
    }
    platform::SettingsStore::Instance().Remove("Printers/PdfOutput");
    // The print dialog's road: the window is made at once and offers no printer of that server.
    env.Set("CUPS_SERVER", silentPath);
    QElapsedTimer clock;
    clock.start();
    frmPrint form(state);
    EXPECT_TRUE(form.Device().isEmpty());
    EXPECT_FALSE(form.SetDevice("Q"));
    EXPECT_LT(clock.elapsed(), kPrintWithinMs);
}

// The server answers the program's first question, then goes silent while Qt asks it: for the
// printer named default (its first question of its own), or for the printer's PPD. Qt's calls
// are cut within the bound, and the print is told as not printed, naming the silent server.
TEST_F(PrintServerTest, ASilenceAfterTheFirstAnswerIsToldWithinTheBound)
{
    PrivateCupsd cupsd;
    const QString why = cupsd.Start({{"Q"}}, {});
    if (!why.isEmpty())
        GTEST_SKIP() << "no private print server: " << why.toStdString();
    env.Set("CUPS_SERVERROOT", cupsd.Root());
    doubles.time.timerDivisor = 10;
    const QString silentText = " did not answer within 5 seconds.";
    struct Row {
        const char* when;
        int answered; // connections passed before the silence
        QByteArray marker; // or the request that starts it
    } rows[] = {
        {"Qt asks for the printer", 1, {}},
        {"Qt asks for the PPD", 1000, ".ppd"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.when);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        SilencingProxy proxy(dir.filePath("proxy.sock"), cupsd.Socket());
        ASSERT_TRUE(proxy.Listen(row.answered, row.marker));
        env.Set("CUPS_SERVER", dir.filePath("proxy.sock"));
        const int before = cupsd.Jobs("Q").jobs;
        qint64 took = 0;
        EXPECT_FALSE(Print("Q", took));
        EXPECT_TRUE(doubles.status.text.startsWith("The setup was not printed: "));
        EXPECT_TRUE(doubles.status.text.endsWith("the print server " + dir.filePath("proxy.sock") + silentText))
            << doubles.status.text.toStdString();
        EXPECT_EQ(cupsd.Jobs("Q").jobs, before);
        EXPECT_LT(took, kPrintWithinMs);
    }
}

// The set-up dialog lists the printers after the server answered, while it has gone silent: the
// dialog comes up with none of its printers within the bound, and the server is named silent.
TEST_F(PrintServerTest, ASilenceWhileTheSetupDialogListsPrintersIsCut)
{
    PrivateCupsd cupsd;
    const QString why = cupsd.Start({{"Q"}}, {});
    if (!why.isEmpty())
        GTEST_SKIP() << "no private print server: " << why.toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SilencingProxy proxy(dir.filePath("proxy.sock"), cupsd.Socket());
    ASSERT_TRUE(proxy.Listen(1000, {}));
    env.Set("CUPS_SERVER", dir.filePath("proxy.sock"));
    env.Set("CUPS_SERVERROOT", cupsd.Root());
    env.Set("PRINTER", "Q");
    doubles.time.timerDivisor = 10;
    platform::Printers& printers = platform::Printers::Instance();
    QString named;
    ASSERT_EQ(printers.AskServer(named).answer, platform::PrintCheck::Yes);
    EXPECT_EQ(named, "Q");
    QPrinter printer;
    ASSERT_TRUE(printers.SelectPrinter(printer, "Q"));
    EXPECT_FALSE(platform::CupsApi::ThreadCut());
    proxy.SilenceNow();
    QStringList listed{"not listed"};
    testing_doubles::WhenModal<QPrintDialog>([&listed](QPrintDialog* dialog) {
        listed.clear();
        if (auto* box = dialog->findChild<QComboBox*>(QStringLiteral("printers")))
            for (int i = 0; i < box->count(); ++i)
                listed << box->itemText(i);
        dialog->reject();
    });
    QElapsedTimer clock;
    clock.start();
    QString name = "Q";
    EXPECT_FALSE(printers.ShowPrinterSetup(nullptr, printer, name));
    EXPECT_LT(clock.elapsed(), kPrintWithinMs);
    EXPECT_FALSE(listed.contains("Q")) << listed.join(", ").toStdString();
    EXPECT_FALSE(listed.contains("not listed"));
    EXPECT_TRUE(platform::CupsApi::ThreadCut());
    const platform::PrintCheck again = printers.AskServer(named);
    EXPECT_EQ(again.answer, platform::PrintCheck::CannotAsk);
    EXPECT_EQ(again.reason, "the print server " + dir.filePath("proxy.sock") + " did not answer within 5 seconds");
}
