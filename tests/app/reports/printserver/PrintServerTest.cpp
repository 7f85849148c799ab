// The print road through the real libcups: against a print server of the test's own (cupsd on a
// socket in the test's folder, raw queues into /dev/null), through a proxy that answers late,
// falls silent or goes, against no server, and against a socket that never answers.
#include "tests/app/reports/ReportTestSupport.h"
#include "tests/common/WaitFor.h"

#include "app/reports/Reports.h"
#include "app/reports/frmPrint.h"
#include "app/reports/frmPrintDialog.h"
#include "controls/Number.h"
#include "platform/CupsApi.h"
#include "platform/Printers.h"
#include "platform/SettingsStore.h"
#include "platform/StopSignals.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QPushButton>
#include <QtTest/QTest>
#include <QProcess>
#include <QSemaphore>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cups/cups.h>

#include <atomic>
#include <csignal>
#include <mutex>
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

// Stands in front of the test's cupsd and passes every byte, each answer late by delayMs, until
// the request (IPP operation) of its point comes: there it falls silent (takes every byte and
// passes none, on every connection, new ones too) or stops (closes every connection and
// listens no more). Its points: the first connection (the list of printers), the second (the
// queue question), the job's creation, the middle of the document, and the document's last
// bytes (the server has all but them, so it never gives the last answer), and the answers to
// the job's creation, to the whole document and to the job's first read-back (the server has
// the request whole). Hold drops only the answers on the connection of the point; Resume ends a
// silence. At CreateLate the job's creation request alone is held delayMs (never to come while
// the proxy goes), and every answer passes at once. The server never learns that a connection
// ended after the point, as a server that died would not. The proxy notes every request it
// passed to the server after its point.
class SilencingProxy : public QThread {
public:
    enum Point {
        Never, Connect, Queue, Create, MidDocument, LastAnswer, CreateAnswer, DocumentAnswer, ReadBack, CreateLate
    };
    enum Action { Silence, Stop, Hold };
    SilencingProxy(const QString& path, const QString& upstream) : m_path(path), m_upstream(upstream) {}
    ~SilencingProxy() override
    {
        quit();
        wait();
    }
    bool Listen(int delayMs, Point point, Action action)
    {
        m_delayMs = delayMs;
        m_point = point;
        m_action = action;
        start();
        m_ready.acquire();
        return m_listening;
    }
    void Resume() { m_silent = false; }
    void StopNow() { QMetaObject::invokeMethod(m_server, [this] { Close(); }, Qt::BlockingQueuedConnection); }
    bool Triggered() const { return m_triggered; }
    // The operations the server got after the point.
    QList<int> PassedAfter() const
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        return m_after;
    }

protected:
    // Where a connection's request stream stands: its head, its chunks, or a fixed body.
    struct Stream {
        enum { Head, Size, Data, DataEnd, Trailer, Fixed } state = Head;
        QByteArray line;
        qint64 left = 0;
        QByteArray body; // the first bytes of the request's body, for its operation
        int op = -1;
        qint64 sent = 0; // body bytes of the document passed
        bool cut = false; // the server loses the connection
        bool passed = false; // the request of the point has passed whole
        bool held = false; // no answer comes back on this connection
        bool late = false, timed = false; // the request is held back, in pending, until its time
        QByteArray pending;
    };
    void run() override
    {
        QLocalServer server;
        m_server = &server;
        QLocalServer::removeServer(m_path);
        m_listening = server.listen(m_path);
        connect(&server, &QLocalServer::newConnection, &server, [this] {
            while (QLocalSocket* client = m_server->nextPendingConnection()) {
                ++m_accepted;
                if ((m_point == Connect && m_accepted == 1) || (m_point == Queue && m_accepted == 2))
                    Trigger();
                if (m_stopped) {
                    client->deleteLater();
                    continue;
                }
                auto* up = new QLocalSocket(m_server);
                up->connectToServer(m_upstream);
                up->waitForConnected(kDeadlineMs);
                auto stream = std::make_shared<Stream>();
                connect(client, &QLocalSocket::readyRead, client, [this, client, up, stream] {
                    const QByteArray bytes = client->readAll();
                    for (char c : bytes) {
                        const QByteArray pass = Feed(*stream, c);
                        if (stream->cut) {
                            up->abort();
                            return;
                        }
                        if (!pass.isEmpty() && !m_silent && !m_stopped)
                            stream->late ? void(stream->pending += pass) : void(up->write(pass));
                        if (std::exchange(stream->passed, false)) {
                            up->flush();
                            Trigger(stream.get());
                        }
                        if (m_stopped)
                            return;
                    }
                    if (stream->late && !std::exchange(stream->timed, true))
                        QTimer::singleShot(m_delayMs, up, [up, stream] {
                            stream->late = false;
                            up->write(std::exchange(stream->pending, {}));
                        });
                });
                connect(up, &QLocalSocket::readyRead, client, [this, client, up, stream] {
                    const QByteArray bytes = up->readAll();
                    if (m_silent || m_stopped || stream->held)
                        return;
                    QPointer<QLocalSocket> to(client);
                    QTimer::singleShot(m_point == CreateLate ? 0 : m_delayMs, client, [this, to, bytes] {
                        if (to && !m_silent && !m_stopped)
                            to->write(bytes);
                    });
                });
                connect(client, &QLocalSocket::disconnected, up, [this, up] {
                    if (!m_triggered)
                        up->disconnectFromServer();
                });
                m_clients << client;
            }
        });
        QTimer::singleShot(kDeadlineMs * 3, &server, [this] { exit(); });
        m_ready.release();
        if (m_listening)
            exec();
        Close();
        m_server = nullptr;
    }

private:
    void Trigger(Stream* s = nullptr)
    {
        if (m_triggered)
            return;
        m_triggered = true;
        if (m_action == Silence)
            m_silent = true;
        else if (m_action == Hold && s)
            s->held = true;
        else
            Close();
    }
    void Close()
    {
        m_stopped = true;
        if (m_server)
            m_server->close();
        for (const QPointer<QLocalSocket>& client : std::as_const(m_clients))
            if (client)
                client->abort();
        m_clients.clear();
    }
    // Reads one byte of a request stream; what may pass now (a chunk's size line passes whole,
    // once it is known).
    QByteArray Feed(Stream& s, char c)
    {
        const QByteArray one(1, c);
        switch (s.state) {
        case Stream::Head:
            s.line += c;
            if (s.line.endsWith("\r\n\r\n")) {
                const QByteArray head = s.line.toLower();
                s.line.clear();
                s.body.clear();
                s.op = -1;
                s.sent = 0;
                if (head.contains("transfer-encoding: chunked")) {
                    s.state = Stream::Size;
                } else {
                    const int at = head.indexOf("content-length:");
                    s.left = at < 0 ? 0 : head.mid(at + 15, head.indexOf("\r\n", at) - at - 15).trimmed().toLongLong();
                    s.state = s.left > 0 ? Stream::Fixed : Stream::Head;
                }
            }
            return one;
        case Stream::Size: {
            s.line += c;
            if (!s.line.endsWith("\r\n"))
                return {};
            const QByteArray line = s.line;
            s.line.clear();
            s.left = line.trimmed().toLongLong(nullptr, 16);
            s.state = s.left == 0 ? Stream::Trailer : Stream::Data;
            // The document's last bytes: the server would answer once it has them.
            if (s.left == 0 && m_point == LastAnswer && s.op == IPP_OP_SEND_DOCUMENT) {
                Trigger();
                return {};
            }
            return line;
        }
        case Stream::Data:
        case Stream::Fixed: {
            Body(s, c);
            if (--s.left == 0) {
                if (s.state == Stream::Fixed
                    && ((m_point == CreateAnswer && s.op == IPP_OP_CREATE_JOB)
                        || (m_point == ReadBack && s.op == IPP_OP_GET_JOB_ATTRIBUTES)))
                    s.passed = true;
                s.state = s.state == Stream::Data ? Stream::DataEnd : Stream::Head;
            }
            return one;
        }
        case Stream::DataEnd:
            s.line += c;
            if (s.line.endsWith("\r\n")) {
                s.line.clear();
                s.state = Stream::Size;
            }
            return one;
        case Stream::Trailer:
            s.line += c;
            if (s.line.endsWith("\r\n")) {
                s.line.clear();
                s.state = Stream::Head;
                s.passed = m_point == DocumentAnswer && s.op == IPP_OP_SEND_DOCUMENT;
            }
            return m_point == LastAnswer && s.op == IPP_OP_SEND_DOCUMENT ? QByteArray() : one;
        }
        return one;
    }
    // A body byte: the request's operation once its first four bytes are in, and the points.
    void Body(Stream& s, char c)
    {
        if (s.op < 0) {
            s.body += c;
            if (s.body.size() < 4)
                return;
            s.op = (uchar(s.body[2]) << 8) | uchar(s.body[3]);
            if (m_point == Create && s.op == IPP_OP_CREATE_JOB) {
                // The server gets none of the request: a part of it would hold it up.
                s.cut = true;
                Trigger();
            }
            if (m_triggered && !m_silent && !m_stopped) {
                const std::lock_guard<std::mutex> guard(m_lock);
                m_after << s.op;
            }
            if (m_point == CreateLate && s.op == IPP_OP_CREATE_JOB) {
                s.late = true;
                Trigger(&s);
            }
        }
        if (m_point == MidDocument && s.op == IPP_OP_SEND_DOCUMENT && ++s.sent > 8192)
            Trigger();
    }

    QString m_path, m_upstream;
    int m_delayMs = 0;
    Point m_point = Never;
    Action m_action = Silence;
    std::atomic<bool> m_silent{false}, m_stopped{false}, m_triggered{false};
    QLocalServer* m_server = nullptr;
    int m_accepted = 0;
    QList<QPointer<QLocalSocket>> m_clients;
    mutable std::mutex m_lock;
    QList<int> m_after;
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
    QString Start(const QList<Queue>& queues, const QStringList& lpoptions, const QString& more = {})
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
                                            "</Policy>\n%2")
                                 .arg(Socket(), more);
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
        int completed = 0; // jobs printed to the end
        int open = 0;      // jobs not yet ended (incoming, pending, held, processing)
        int cancelled = 0;
    };
    Made Jobs(const QString& queue)
    {
        const QByteArray name = queue.toUtf8();
        return OnConnection([&](http_t* http) {
            Made made;
            cups_job_t* jobs = nullptr;
            made.jobs = cupsGetJobs2(http, &jobs, name.constData(), 0, CUPS_WHICHJOBS_ALL);
            int last = 0;
            for (int i = 0; i < made.jobs; ++i) {
                last = qMax(last, jobs[i].id);
                made.completed += jobs[i].state == IPP_JSTATE_COMPLETED ? 1 : 0;
                made.open += jobs[i].state < IPP_JSTATE_STOPPED ? 1 : 0;
                made.cancelled += jobs[i].state == IPP_JSTATE_CANCELED ? 1 : 0;
            }
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
    // A print from the command line (-p): printed or not, and what the status bar says.
    bool Print(const QString& printer, qint64& tookMs)
    {
        env.Set("PRINTER", printer);
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

// Each queue state through the whole road: the print server asked first, the report handed
// over as one PDF job. Only a job the server holds is a print.
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
// told as not printed, naming the server, within the program's own bound.
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
        // A PDF file needs no server.
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
    // The print dialog's road: a server that does not answer forgets no printer.
    env.Set("CUPS_SERVER", silentPath);
    QElapsedTimer clock;
    clock.start();
    frmPrint form(state);
    EXPECT_TRUE(form.Device().isEmpty());
    EXPECT_TRUE(form.SetDevice("Q"));
    EXPECT_EQ(form.Device(), "Q");
    EXPECT_LT(clock.elapsed(), kPrintWithinMs);
}


namespace {

// What the server holds for the last job of a queue, of the options a print may name.
QMap<QString, QString> LastJobHolds(PrivateCupsd& cupsd, const QString& queue)
{
    const QByteArray name = queue.toUtf8();
    return cupsd.OnConnection([&](http_t* http) {
        QMap<QString, QString> holds;
        cups_job_t* jobs = nullptr;
        const int count = cupsGetJobs2(http, &jobs, name.constData(), 0, CUPS_WHICHJOBS_ALL);
        int last = 0;
        for (int i = 0; i < count; ++i)
            last = qMax(last, jobs[i].id);
        cupsFreeJobs(qMax(0, count), jobs);
        ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", last);
        ipp_t* response = cupsDoRequest(http, request, "/");
        for (const char* option : {"copies", "sides", "media", "PageSize"}) {
            char value[1024];
            if (ipp_attribute_t* a = response ? ippFindAttribute(response, option, IPP_TAG_ZERO) : nullptr) {
                ippAttributeString(a, value, sizeof value);
                holds.insert(option, QString::fromUtf8(value));
            }
        }
        ippDelete(response);
        // A job that names no copies prints one (lp also sends the printer's default, 1).
        if (!holds.contains("copies"))
            holds.insert("copies", "1");
        holds.insert("job", QString::number(last));
        return holds;
    });
}

bool WriteLines(const QString& path, const QStringList& lines)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write((lines.join('\n') + '\n').toUtf8()) > 0;
}

} // namespace

// The program prints as `lp -d` prints the same file against the same server and lpoptions: the
// saved options fold with a later line winning (the system's file, then the user's; only the
// lines of the destination itself), the saved paper is the report's paper and the job's, a queue
// without a default paper takes the system's, and the ink keeps within the edges the printer
// gives the paper.
TEST_F(PrintServerTest, SavedOptionsAndPaperAsLpTakesThem)
{
    PrivateCupsd cupsd;
    ASSERT_TRUE(QDir().mkpath(cupsd.Root() + "/ppd"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUARNO_TEST_DATA "/printserver/WideEdges.ppd"), cupsd.Root() + "/ppd/Wide.ppd"));
    const QString why = cupsd.Start({{"Q"}, {"Wide"}}, {});
    if (!why.isEmpty())
        GTEST_SKIP() << "no private print server: " << why.toStdString();
    const QString lp = QStandardPaths::findExecutable("lp");
    if (lp.isEmpty())
        GTEST_SKIP() << "lp is not installed (Debian package cups-client)";
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid() && QDir(home.path()).mkpath(".cups"));
    env.Set("HOME", home.path());
    env.Set("CUPS_SERVER", cupsd.Socket());
    env.Set("CUPS_SERVERROOT", cupsd.Root());
    env.Set("PAPERSIZE", "letter");
    doubles.time.timerDivisor = 1;
    // The system's printers, and a copy of each document the server took.
    const QString pdf = home.filePath("report.pdf");
    platform::PdfPrinters printers(pdf);
    printers.cups = platform::CupsApi::System();
    platform::Printers::SetInstance(&printers);
    const std::shared_ptr<void> restore(nullptr, [](void*) { platform::Printers::SetInstance(nullptr); });

    using Holds = QMap<QString, QString>;
    const QMarginsF wide(36, 72, 36, 90);
    struct Row {
        const char* what;
        QStringList system, user; // the lpoptions files
        QString printer;
        Holds holds; // what the server holds for the job, beside copies 1
        QPageSize::PageSizeId paper;
        QMarginsF edges; // points the ink keeps from the paper's edges
    } rows[] = {
        {"instance over queue",
         {"Dest Q copies=3 sides=one-sided", "Dest Q/two copies=2 sides=two-sided-long-edge"}, {}, "Q/two",
         {{"copies", "2"}, {"sides", "two-sided-long-edge"}}, QPageSize::Letter},
        {"user over system", {"Dest Q copies=3 sides=two-sided-long-edge"}, {"Dest Q copies=2"}, "Q",
         {{"copies", "2"}, {"sides", "two-sided-long-edge"}}, QPageSize::Letter},
        {"the queue's lines are not the instance's", {"Dest Q copies=3 sides=two-sided-long-edge", "Dest Q/bare"},
         {"Default Q/bare media=Legal", "Dest Q copies=4"}, "Q/bare", {{"media", "Legal"}}, QPageSize::Legal},
        {"an instance's paper", {"Dest Q/legal media=na_legal_8.5x14in"}, {}, "Q/legal", {{"media", "na_legal_8.5x14in"}},
         QPageSize::Legal},
        {"an instance no line names", {"Dest Q copies=3 sides=two-sided-long-edge"}, {}, "Q/none", {}, QPageSize::Letter},
        {"an instance's page size", {"Dest Q/a4 PageSize=Letter"}, {"Dest Q/a4 PageSize=A4"}, "Q/a4", {{"PageSize", "A4"}},
         QPageSize::A4},
        {"a queue without a default paper", {}, {}, "Q", {}, QPageSize::Letter},
        {"a queue whose printer cannot print near the edges", {}, {}, "Wide", {}, QPageSize::Letter, wide},
        // Legal is in the printer's media database only, with its own edges.
        {"the printer's own edges of a paper not its default", {"Dest Wide media=Legal"}, {}, "Wide", {{"media", "Legal"}},
         QPageSize::Legal, QMarginsF(72, 72, 36, 90)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(WriteLines(cupsd.Root() + "/lpoptions", row.system));
        ASSERT_TRUE(WriteLines(home.filePath(".cups/lpoptions"), row.user));
        QFile::remove(pdf);
        qint64 took = 0;
        ASSERT_TRUE(Print(row.printer, took)) << doubles.status.text.toStdString();
        const QString queue = row.printer.section('/', 0, 0);
        Holds program = LastJobHolds(cupsd, queue);
        // lp with the same document.
        QProcess sent;
        sent.start(lp, {"-d", row.printer, pdf});
        ASSERT_TRUE(sent.waitForFinished(kDeadlineMs) && sent.exitCode() == 0) << sent.readAllStandardError().toStdString();
        Holds reference = LastJobHolds(cupsd, queue);
        ASSERT_NE(program.take("job"), reference.take("job"));
        EXPECT_EQ(program, reference);
        Holds holds = row.holds;
        if (!holds.contains("copies"))
            holds.insert("copies", "1");
        EXPECT_EQ(program, holds);
        // The report's paper, and its ink inside the printable area.
        const PdfLayout layout = PdfWords(pdf);
        if (layout.pages.isEmpty())
            GTEST_SKIP() << "pdftotext is not installed";
        const QSizeF size = QPageSize(row.paper).size(QPageSize::Point);
        for (const QSizeF& page : layout.pages) {
            EXPECT_NEAR(page.width(), size.width(), 1);
            EXPECT_NEAR(page.height(), size.height(), 1);
        }
        const QRectF printable = QRectF(QPointF(), size).marginsRemoved(row.edges);
        for (const PdfWord& word : layout.words)
            EXPECT_TRUE(printable.contains(word.box)) << "page " << word.page << ": " << word.text.toStdString();
    }
}


namespace {

// A window that asks to be painted every few milliseconds and counts its paints.
class PaintCounter : public QWidget {
public:
    PaintCounter()
    {
        resize(200, 100);
        connect(&m_tick, &QTimer::timeout, this, [this] {
            update();
            if (findProgress())
                progressSeen = true;
        });
        m_tick.start(5);
    }
    std::atomic<int> paints{0};
    bool progressSeen = false;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }

private:
    static bool findProgress()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmPrintProgress" && w->isVisible())
                return true;
        return false;
    }
    QTimer m_tick;
};

} // namespace

// The print through a proxy between the program and the print server: answers that come late
// are waited for, with the window painted; a silence of the bound, or a server that goes, at
// any step ends the print as not printed, cancels a job made, and sends nothing after the
// give-up but that cancel. The bound and the delays are scaled down by the test's clock.
TEST_F(PrintServerTest, APrintWaitsForAnAnsweringServerAndGivesUpOnASilentOne)
{
    PrivateCupsd cupsd;
    const QString why = cupsd.Start({{"Q"}}, {"Dest Q/inst copies=2"});
    if (!why.isEmpty())
        GTEST_SKIP() << "no private print server: " << why.toStdString();
    env.Set("CUPS_SERVERROOT", cupsd.Root());
    constexpr int kDivisor = 10;
    doubles.time.timerDivisor = kDivisor;
    const int scaled = 1000 / kDivisor; // a second of the program's clock
    using P = SilencingProxy;
    const QString silent = "did not answer within 5 seconds";
    const QString left = "an empty job may stay in the queue";
    const QString mayHave = "so it may have printed";
    struct Row {
        const char* what;
        int delay = 0; // each answer late by so many seconds
        P::Point point = P::Never;
        P::Action action = P::Silence;
        QString printer = "Q";
        int copies = 1;         // in the Print dialog; 0: a print from the command line
        bool printed = false;
        QStringList says;       // the status text holds these
        int jobCopies = 0;      // the copies the job asks for, where it says
        bool back = false;      // the server answers again after the give-up
        bool refuses = false;   // the server takes no document of the report's size
        int completes = -1;     // the jobs the server completes (-1: one when printed)
        int cancels = -1;       // the jobs it holds cancelled afterwards (-1: not checked)
        int signal = 0;         // SIGTERM comes: 1 at the point, 2 once the server completed the job
        int divisor = kDivisor; // the program's clock; slower where the server must finish the job first
        QString other;          // a job of this name the user makes while the job's creation waits
        int shown = 0;          // the copies the Print dialog starts at, where it says
    } rows[] = {
        {"answers at once", 0, P::Never, P::Silence, "Q", 0, true, {"File printed on Q"}},
        {"each answer a second late", 1, P::Never, P::Silence, "Q", 0, true, {"File printed on Q"}},
        {"each answer two seconds late, the window painted", 2, P::Never, P::Silence, "Q", 1, true, {"File printed on Q"}},
        {"silent from the start", 0, P::Connect, P::Silence, "Q", 0, false, {silent}},
        {"silent at the queue question", 0, P::Queue, P::Silence, "Q", 0, false, {silent}},
        {"silent at the job's creation", 0, P::Create, P::Silence, "Q", 0, false, {silent}},
        {"silent in the middle of the document", 0, P::MidDocument, P::Silence, "Q", 0, false, {silent, mayHave}},
        {"silent before the last answer", 0, P::LastAnswer, P::Silence, "Q", 0, false, {silent, mayHave}},
        {"stopped at the start", 0, P::Connect, P::Stop, "Q", 0, false, {"ended the connection without an answer"}},
        {"stopped at the queue question", 0, P::Queue, P::Stop, "Q", 0, false, {"printer 'Q': "}},
        {"stopped at the job's creation", 0, P::Create, P::Stop, "Q", 0, false, {"printer 'Q': "}},
        // The rest of the document may or may not go out before the connection goes.
        {"stopped in the middle of the document", 0, P::MidDocument, P::Stop, "Q", 0, false, {"printer 'Q': "}},
        {"stopped before the last answer", 0, P::LastAnswer, P::Stop, "Q", 0, false, {"printer 'Q': ", mayHave}},
        {"back after the give-up", 0, P::MidDocument, P::Silence, "Q", 0, false, {silent}, 0, true},
        {"copies from the Print dialog", 0, P::Never, P::Silence, "Q", 3, true, {"File printed on Q"}, 3},
        {"an instance's saved copies", 0, P::Never, P::Silence, "Q/inst", 0, true, {"File printed on Q/inst"}, 2},
        {"copies chosen over the instance's", 0, P::Never, P::Silence, "Q/inst", 4, true, {"File printed on Q/inst"}, 4},
        {"one copy over the instance's saved two", 0, P::Never, P::Silence, "Q/inst", 1, true, {"File printed on Q/inst"}, 1,
         false, false, -1, -1, 0, kDivisor, {}, 2},
        {"a queue that refuses the document", 0, P::Never, P::Silence, "Q", 0, false,
         {"printer 'Q': ", "Request Entity Too Large"}, 0, false, true},
        // A job made whose answer never came is looked up and cancelled, or said to stay.
        {"the answer to the job's creation held", 0, P::CreateAnswer, P::Hold, "Q", 0, false, {silent}, 0, false, false, 0, 1},
        {"the answer held while a job of another name waits", 0, P::CreateAnswer, P::Hold, "Q", 0, false, {silent}, 0, false,
         false, 0, 1, 0, kDivisor, "Other"},
        // Later than the give-up and libcups' own second of waiting for the server's go-ahead.
        {"the job's creation late in transit", 20, P::CreateLate, P::Hold, "Q", 0, false, {silent, left}, 0, false, false, 0, 0},
        {"a stop while the job's creation is answered", 0, P::CreateAnswer, P::Hold, "Q", 0, false,
         {"stopped by SIGTERM"}, 0, false, false, 0, 1, 1},
        {"silent after the job's creation", 0, P::CreateAnswer, P::Silence, "Q", 0, false, {silent, left}, 0, false, false, 0, 0},
        // After a doubt, what the server holds is what is said.
        {"the answer to the document lost", 0, P::DocumentAnswer, P::Hold, "Q", 0, true, {"File printed on Q"}, 0, false, false,
         1, 0, 0, 4},
        {"the job's read-back late", 0, P::ReadBack, P::Hold, "Q", 0, true, {"File printed on Q"}, 0, false, false, 1, 0, 0, 4},
        {"stopped at the job's read-back", 0, P::ReadBack, P::Stop, "Q", 0, false, {"printer 'Q': ", mayHave}, 0, false, false,
         1, 0},
        {"a stop after the document went out", 0, P::DocumentAnswer, P::Hold, "Q", 0, true, {"File printed on Q"}, 0, false,
         false, 1, 0, 2, 4},
        {"silent after the whole document", 0, P::DocumentAnswer, P::Silence, "Q", 0, false, {silent, mayHave}, 0, false, false,
         1, 0},
        {"stopped after the whole document", 0, P::DocumentAnswer, P::Stop, "Q", 0, false, {"printer 'Q': ", mayHave}, 0, false,
         false, 1, 0},
    };
    std::unique_ptr<PrivateCupsd> small;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PrivateCupsd* server = &cupsd;
        if (row.refuses) {
            small = std::make_unique<PrivateCupsd>();
            const QString failed = small->Start({{"Q"}}, {}, "MaxRequestSize 20k\n");
            ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
            server = small.get();
        }
        doubles.time.timerDivisor = row.divisor;
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString socket = dir.filePath("proxy.sock");
        P proxy(socket, server->Socket());
        ASSERT_TRUE(proxy.Listen(row.delay * scaled, row.point, row.action));
        env.Set("CUPS_SERVER", socket);
        const PrivateCupsd::Made before = server->Jobs("Q");
        ASSERT_GE(before.jobs, 0);
        doubles.status.text.clear();
        PaintCounter window;
        bool printed = false;
        // A signal is caught here too, should it come after the print.
        const platform::StopSignals::Arm arm;
        std::atomic<bool> over{false};
        std::thread signaller([&] {
            QElapsedTimer waited;
            waited.start();
            while ((row.signal || !row.other.isEmpty()) && !over && waited.elapsed() < kDeadlineMs) {
                if (proxy.Triggered() && !row.other.isEmpty()) {
                    const QByteArray name = row.other.toUtf8();
                    server->OnConnection([&](http_t* http) { return cupsCreateJob(http, "Q", name.constData(), 0, nullptr); });
                    return;
                }
                if (proxy.Triggered() && (row.signal == 1 || server->Jobs("Q").completed > before.completed)) {
                    ::raise(SIGTERM);
                    return;
                }
                QThread::msleep(5);
            }
        });
        if (row.copies > 0) {
            // Through the Print dialog, from the window on show.
            window.show();
            env.Set("PRINTER", row.printer);
            platform::SettingsStore::Instance().SetValue("PrinterDevice", row.printer);
            ShowPages();
            testing_doubles::WhenModal<frmPrintDialog>([&row](frmPrintDialog* dialog) {
                if (row.shown)
                    EXPECT_EQ(dialog->numCopies->Value(), row.shown);
                dialog->numCopies->SetValue(row.copies);
                QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
            });
            const int paintsBefore = window.paints;
            printed = reports::PrintSetup(state, false);
            if (row.delay >= 2) {
                EXPECT_GT(window.paints - paintsBefore, 10) << "the window is painted while the print waits";
                EXPECT_TRUE(window.progressSeen);
            }
        } else {
            qint64 took = 0;
            printed = Print(row.printer, took);
        }
        over = true;
        signaller.join();
        EXPECT_EQ(printed, row.printed);
        for (const QString& said : row.says)
            EXPECT_TRUE(doubles.status.text.contains(said)) << doubles.status.text.toStdString();
        // Nothing that could print reaches the server after the give-up: a cancel, and the
        // questions what became of the job.
        if (row.back)
            proxy.Resume();
        for (int op : proxy.PassedAfter())
            EXPECT_TRUE(op == IPP_OP_CANCEL_JOB || op == IPP_OP_GET_JOB_ATTRIBUTES || op == IPP_OP_GET_JOBS) << op;
        // The job: printed once, or never, even once the server is back.
        QElapsedTimer clock;
        clock.start();
        PrivateCupsd::Made after = server->Jobs("Q");
        const int settle = row.back ? 10 * scaled : 0;
        while (clock.elapsed() < kDeadlineMs && (clock.elapsed() < settle || (row.printed && after.completed == before.completed))) {
            QThread::msleep(20);
            after = server->Jobs("Q");
        }
        while (clock.elapsed() < kDeadlineMs && row.completes > 0 && after.completed == before.completed) {
            QThread::msleep(20);
            after = server->Jobs("Q");
        }
        EXPECT_EQ(after.completed, before.completed + (row.completes < 0 ? (row.printed ? 1 : 0) : row.completes));
        if (row.cancels >= 0)
            EXPECT_EQ(after.cancelled, before.cancelled + row.cancels);
        // A job left waiting is one the program could neither cancel nor ask about, and says so;
        // an empty one is never said to stay beside a document the server had whole.
        const bool leftSaid = doubles.status.text.contains(left);
        if (after.open > before.open + (row.other.isEmpty() ? 0 : 1))
            EXPECT_TRUE(leftSaid || doubles.status.text.contains(mayHave));
        EXPECT_LE(after.open, before.open + 1);
        if (leftSaid)
            EXPECT_EQ(after.completed, before.completed);
        if (row.jobCopies)
            EXPECT_EQ(after.copies, row.jobCopies);
        proxy.StopNow();
        window.hide();
    }
}

// A job read back counts as held only past its incoming state, neither cancelled nor aborted;
// a completed one printed.
TEST(PrintServerJobRead, OnlyAJobTheServerHoldsOrCompletedCounts)
{
    using platform::JobRead;
    struct Row {
        const char* what;
        int state; // 0: not said
        const char* reason;
        JobRead read;
    } rows[] = {
        {"incoming", IPP_JSTATE_HELD, "job-incoming", JobRead::Unconfirmed},
        {"cancelled", IPP_JSTATE_CANCELED, "job-canceled-by-user", JobRead::Ended},
        {"aborted", IPP_JSTATE_ABORTED, "aborted-by-system", JobRead::Ended},
        {"none", 0, nullptr, JobRead::Unconfirmed},
        {"pending", IPP_JSTATE_PENDING, "none", JobRead::Held},
        {"processing", IPP_JSTATE_PROCESSING, "job-printing", JobRead::Held},
        {"completed", IPP_JSTATE_COMPLETED, "job-completed-successfully", JobRead::Completed},
    };
    for (const Row& row : rows) {
        ipp_t* response = ippNew();
        if (row.state)
            ippAddInteger(response, IPP_TAG_JOB, IPP_TAG_ENUM, "job-state", row.state);
        if (row.reason)
            ippAddString(response, IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-state-reasons", nullptr, row.reason);
        EXPECT_EQ(platform::ReadJob(response), row.read) << row.what;
        ippDelete(response);
    }
}
