// The print server asked through libcups, request by request, so that nothing is sent after a
// print was given up: libcups would reconnect and send again by itself inside its own
// request loops.
#include "platform/CupsApi.h"

#include <QDir>
#include <QFile>
#include <QSizeF>

#include <cups/cups.h>

#include <cerrno>
#include <ctime>
#include <iterator>
#include <thread>
#include <utility>

namespace platform {

namespace {

// A socket path no server can ever listen on.
constexpr const char* kNoServer = "/dev/null/no-print-server";

// Called by libcups after the silence bound without a byte: the wait ends.
int EndSilence(http_t*, void* data)
{
    auto* watch = static_cast<PrintWatch*>(data);
    if (!watch->Stopped())
        watch->SetSilent();
    return 0;
}

QString Text(const char* text) { return QString::fromUtf8(text ? text : ""); }

// One connection of a question, closed when it goes. While a wait of libcups' own runs on it,
// a stop shuts it down, which ends that wait at once.
class Connection {
public:
    Connection(PrintWatch& watch, CupsAnswer& answer) : m_watch(watch)
    {
        const QString server = Text(cupsServer());
        errno = 0;
        m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, watch.SilenceMs(),
                              watch.CancelFlag());
        if (!m_http) {
            const int error = errno;
            if (watch.Stopped()) {
                answer.status = CupsAnswer::Stopped;
            } else if (error == ETIMEDOUT) {
                watch.SetSilent();
                answer.status = CupsAnswer::Silent;
            } else {
                // The scheduler's socket or this machine's port: no server runs here.
                const bool local = server.startsWith(QLatin1Char('/')) || server == QLatin1String("localhost");
                answer.status = local ? CupsAnswer::NoServer : CupsAnswer::Failed;
                if (!local)
                    answer.reason = QStringLiteral("cannot reach the print server ") + server;
            }
            return;
        }
        httpSetTimeout(m_http, watch.SilenceMs() / 1000.0, EndSilence, &watch);
        Interruptible(true);
    }
    ~Connection()
    {
        if (!m_http)
            return;
        Interruptible(false);
        httpClose(m_http);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    http_t* get() const { return m_http; }
    explicit operator bool() const { return m_http != nullptr; }

    // Whether a stop may shut the socket down now. While a request's head goes out it must not:
    // libcups answers a failed head by connecting again and sending it once more.
    void Interruptible(bool yes)
    {
        http_t* http = m_http;
        m_watch.SetInterrupt(yes ? std::function<void()>([http] { httpShutdown(http); }) : std::function<void()>());
    }

    // Sends a request's head (and, with a fixed length, the request); HTTP_STATUS_CONTINUE when
    // its body may follow or its answer be read.
    http_status_t Send(ipp_t* request, const char* resource, size_t length)
    {
        if (m_watch.GivenUp())
            return HTTP_STATUS_ERROR;
        m_sent = true;
        Interruptible(false);
        const http_status_t status = cupsSendRequest(m_http, request, resource, length);
        Interruptible(true);
        return m_watch.GivenUp() ? HTTP_STATUS_ERROR : status;
    }
    // The answer to the request sent; nullptr when none came whole.
    ipp_t* Response(const char* resource)
    {
        if (m_watch.GivenUp())
            return nullptr;
        ipp_t* response = cupsGetResponse(m_http, resource);
        if (m_watch.GivenUp()) {
            ippDelete(response);
            return nullptr;
        }
        return response;
    }
    // One request with its answer.
    ipp_t* Ask(ipp_t* request, const char* resource)
    {
        ipp_t* response = nullptr;
        if (Send(request, resource, ippLength(request)) == HTTP_STATUS_CONTINUE)
            response = Response(resource);
        ippDelete(request);
        return response;
    }
    // Whether a request went out on it (whole or not).
    bool Sent() const { return m_sent; }

private:
    PrintWatch& m_watch;
    http_t* m_http = nullptr;
    bool m_sent = false;
};

// The reason of a failed step, from libcups' last error. A connection the server ended says
// nothing about the printer, though libcups may then call it unknown.
void LastError(CupsAnswer& answer, const PrintWatch& watch, http_t* http = nullptr)
{
    if (watch.Stopped()) {
        answer.status = CupsAnswer::Stopped;
        return;
    }
    if (watch.Silent()) {
        answer.status = CupsAnswer::Silent;
        return;
    }
    if (http && (httpError(http) != 0 || httpGetStatus(http) == HTTP_STATUS_ERROR)) {
        answer.status = CupsAnswer::Failed;
        answer.reason = QStringLiteral("the print server ended the connection without an answer");
        return;
    }
    const ipp_status_t status = cupsLastError();
    if (status == IPP_STATUS_ERROR_NOT_FOUND) {
        answer.status = CupsAnswer::Unknown;
        return;
    }
    answer.status = CupsAnswer::Failed;
    answer.error = Text(cupsLastErrorString());
    if (answer.error.trimmed().isEmpty() || status == IPP_STATUS_OK)
        answer.reason = QStringLiteral("the print server gave no answer");
}

// The default the user set through the environment, as libcups reads it.
QString UserDefault()
{
    const QString lpdest = qEnvironmentVariable("LPDEST").trimmed();
    if (!lpdest.isEmpty())
        return lpdest;
    const QString printer = qEnvironmentVariable("PRINTER").trimmed();
    return printer == QLatin1String("lp") ? QString() : printer;
}

// What the lpoptions files say, as libcups reads them: the server root's, then the user's; a
// later line wins. "Dest name[/instance] options" keeps options for a printer or an instance
// of it, "Default ..." also names the default.
struct LocalOptions {
    QString byDefault;
    QMap<QString, QList<QPair<QByteArray, QByteArray>>> options; // by printer or "queue/instance"
};

LocalOptions ReadLpoptions()
{
    LocalOptions local;
    const QString root = qEnvironmentVariableIsSet("CUPS_SERVERROOT") ? qEnvironmentVariable("CUPS_SERVERROOT")
                                                                      : QStringLiteral("/etc/cups");
    for (const QString& path : {root + QStringLiteral("/lpoptions"), QDir::homePath() + QStringLiteral("/.cups/lpoptions")}) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            const int blank = line.indexOf(' ');
            const QByteArray word = line.left(blank).toLower();
            if (word != "dest" && word != "default")
                continue;
            const QByteArray rest = blank < 0 ? QByteArray() : line.mid(blank + 1).trimmed();
            const int end = rest.indexOf(' ');
            const QString name = QString::fromUtf8(rest.left(end));
            if (name.isEmpty())
                continue;
            if (word == "default")
                local.byDefault = name;
            cups_option_t* list = nullptr;
            const int count = end < 0 ? 0 : cupsParseOptions(rest.mid(end + 1).constData(), 0, &list);
            auto& kept = local.options[name];
            for (int i = 0; i < count; ++i)
                kept.append(qMakePair(QByteArray(list[i].name), QByteArray(list[i].value)));
            cupsFreeOptions(count, list);
        }
    }
    return local;
}

// The printer's options as lp takes them along: the queue's saved ones, then its instance's.
QList<QPair<QByteArray, QByteArray>> SavedOptions(const LocalOptions& local, const QString& printer)
{
    QList<QPair<QByteArray, QByteArray>> saved = local.options.value(printer.section(QLatin1Char('/'), 0, 0));
    if (printer.contains(QLatin1Char('/')))
        saved += local.options.value(printer);
    return saved;
}

QByteArray PrinterUri(const QString& queue)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s",
                     queue.toUtf8().constData());
    return uri;
}

QStringList Strings(ipp_t* response, const char* name)
{
    QStringList values;
    for (ipp_attribute_t* a = ippFindAttribute(response, name, IPP_TAG_ZERO); a; a = ippFindNextAttribute(response, name, IPP_TAG_ZERO))
        for (int i = 0; i < ippGetCount(a); ++i)
            values << QString::fromUtf8(ippGetString(a, i, nullptr));
    return values;
}

int Integer(ipp_t* response, const char* name, int otherwise)
{
    ipp_attribute_t* a = ippFindAttribute(response, name, IPP_TAG_ZERO);
    return a ? ippGetInteger(a, 0) : otherwise;
}

QPageSize PageOf(const QString& keyword)
{
    // Hundredths of a millimetre; Qt names the size when it knows it.
    const pwg_media_t* media = pwgMediaForPWG(keyword.toUtf8().constData());
    if (!media || media->width <= 0 || media->length <= 0)
        return QPageSize();
    return QPageSize(QSizeF(media->width / 100.0, media->length / 100.0), QPageSize::Millimeter, QString(),
                     QPageSize::FuzzyMatch);
}

double Points(int hundredthsMm) { return hundredthsMm * 72.0 / 2540.0; }

void AddIdentity(ipp_t* request, const QByteArray& uri)
{
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
}

bool Succeeded(ipp_t* response) { return response && ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING; }

// A request about one job of the queue.
ipp_t* JobRequest(ipp_op_t op, const QByteArray& uri, int job)
{
    ipp_t* request = ippNewRequest(op);
    AddIdentity(request, uri);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    return request;
}

class LibCups : public CupsApi {
public:
    QString Server() override
    {
        // libcups keeps its server per thread, and this one's may be pointed away: a fresh
        // thread reads the user's setting.
        QString server;
        std::thread([&server] { server = Text(cupsServer()); }).join();
        return server;
    }

    CupsAnswer Destinations(PrintWatch& watch) override
    {
        CupsAnswer answer;
        watch.SetStep(QStringLiteral("the list of printers"));
        Connection http(watch, answer);
        if (!http)
            return answer;
        ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
        ipp_t* response = http.Ask(request, "/");
        if (!response || ippGetStatusCode(response) > IPP_STATUS_OK_CONFLICTING) {
            // A server without printers says none were found.
            const bool none = response && ippGetStatusCode(response) == IPP_STATUS_ERROR_NOT_FOUND;
            if (!none) {
                Refused(response, answer, watch, http.get());
                ippDelete(response);
                return answer;
            }
        }
        const QStringList queues = response ? Strings(response, "printer-name") : QStringList();
        ippDelete(response);
        const LocalOptions local = ReadLpoptions();
        for (const QString& queue : queues) {
            answer.names << queue;
            for (auto it = local.options.cbegin(); it != local.options.cend(); ++it)
                if (it.key().section(QLatin1Char('/'), 0, 0) == queue && it.key().contains(QLatin1Char('/')))
                    answer.names << it.key();
        }
        answer.status = CupsAnswer::Found;
        // The default as libcups names it: LPDEST or PRINTER, lpoptions, the server's default.
        answer.name = UserDefault();
        if (answer.name.isEmpty())
            answer.name = local.byDefault;
        if (answer.name.isEmpty()) {
            ipp_t* server = http.Ask(ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
            if (Succeeded(server))
                answer.name = Strings(server, "printer-name").value(0);
            else if (!server || ippGetStatusCode(server) != IPP_STATUS_ERROR_NOT_FOUND)
                Refused(server, answer, watch, http.get());
            ippDelete(server);
        } else if (!answer.names.contains(answer.name)) {
            // A default the user named that the server does not know is said, never replaced.
            answer.status = CupsAnswer::Unknown;
        }
        return answer;
    }

    CupsAnswer Queue(PrintWatch& watch, const QString& printer) override
    {
        CupsAnswer answer;
        watch.SetStep(QStringLiteral("the printer \"%1\"").arg(printer));
        Connection http(watch, answer);
        if (!http)
            return answer;
        ipp_t* response = Attributes(http, printer, answer, watch);
        if (!response)
            return answer;
        answer.status = CupsAnswer::Found;
        answer.options.insert(QStringLiteral("printer-is-accepting-jobs"),
                              ippGetBoolean(ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN), 0)
                                  ? QStringLiteral("true")
                                  : QStringLiteral("false"));
        answer.options.insert(QStringLiteral("printer-state"), QString::number(Integer(response, "printer-state", 3)));
        answer.options.insert(QStringLiteral("printer-state-message"), Strings(response, "printer-state-message").value(0));
        answer.options.insert(QStringLiteral("printer-uri-supported"), Strings(response, "printer-uri-supported").value(0));
        // The paper: the printer's default media and the edges it cannot print on.
        answer.paper = PageOf(Strings(response, "media-default").value(0));
        const auto margin = [response](const char* name) { return Points(Integer(response, name, 0)); };
        answer.unprintable = QMarginsF(margin("media-left-margin-supported"), margin("media-top-margin-supported"),
                                       margin("media-right-margin-supported"), margin("media-bottom-margin-supported"));
        for (const QString& media : Strings(response, "media-supported")) {
            const QPageSize page = PageOf(media);
            if (page.isValid() && !answer.offered.contains(page))
                answer.offered << page;
        }
        ippDelete(response);
        return answer;
    }

    CupsAnswer Print(PrintWatch& watch, const QString& printer, const QString& pdfFile, const QString& title,
                     const QStringList& options) override
    {
        CupsAnswer answer;
        QFile file(pdfFile);
        if (!file.open(QIODevice::ReadOnly)) {
            answer.reason = QStringLiteral("the document could not be read: ") + file.errorString();
            return answer;
        }
        watch.SetStep(QStringLiteral("the printer \"%1\"").arg(printer));
        QByteArray uri;
        QByteArray resource;
        int job = 0;
        {
            Connection http(watch, answer);
            if (!http)
                return answer;
            ipp_t* attributes = Attributes(http, printer, answer, watch);
            if (!attributes)
                return answer;
            uri = Strings(attributes, "printer-uri-supported").value(0).toUtf8();
            // The server's clock now: a job it makes for this print is no older.
            const int since = Integer(attributes, "printer-up-time", int(std::time(nullptr)));
            ippDelete(attributes);
            char scheme[32], user[256], host[256], path[1024];
            int port = 0;
            if (uri.isEmpty()
                || httpSeparateURI(HTTP_URI_CODING_ALL, uri.constData(), scheme, sizeof scheme, user, sizeof user, host,
                                   sizeof host, &port, path, sizeof path)
                       < HTTP_URI_STATUS_OK) {
                answer.reason = QStringLiteral("the print server names no address for the printer");
                return answer;
            }
            resource = path;
            int count = 0;
            cups_option_t* list = nullptr;
            for (int i = 0; i + 1 < options.size(); i += 2)
                count = cupsAddOption(options[i].toUtf8().constData(), options[i + 1].toUtf8().constData(), count, &list);
            // The options the user saved for the printer (or its instance) follow, as lp takes
            // them along.
            for (const auto& [name, value] : SavedOptions(ReadLpoptions(), printer)) {
                if (!cupsGetOption(name.constData(), count, list))
                    count = cupsAddOption(name.constData(), value.constData(), count, &list);
            }

            watch.SetStep(QStringLiteral("the job to be made"));
            ipp_t* create = ippNewRequest(IPP_OP_CREATE_JOB);
            AddIdentity(create, uri);
            ippAddString(create, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.toUtf8().constData());
            cupsEncodeOptions2(create, count, list, IPP_TAG_OPERATION);
            cupsEncodeOptions2(create, count, list, IPP_TAG_JOB);
            cupsFreeOptions(count, list);
            ipp_t* made = http.Ask(create, resource.constData());
            if (ipp_attribute_t* id = Succeeded(made) ? ippFindAttribute(made, "job-id", IPP_TAG_INTEGER) : nullptr)
                job = ippGetInteger(id, 0);
            if (job <= 0) {
                Refused(made, answer, watch);
                // The request went out and its answer never came: the server may have made the job.
                if (!made && http.Sent())
                    answer.jobLeft = !CancelUnanswered(watch, uri, resource, title, since);
                ippDelete(made);
                return answer;
            }
            ippDelete(made);

            watch.SetStep(QStringLiteral("the document to be taken"));
            bool whole = false;
            if (!SendDocument(http, watch, uri, resource, job, file, answer, whole)
                || !Held(http, watch, uri, resource, job, answer)) {
                Settle(watch, uri, resource, job, whole, answer);
                return answer;
            }
        }
        answer.status = CupsAnswer::Found;
        return answer;
    }

private:
    // The printer's own attributes; nullptr when the server does not know it or did not answer.
    static ipp_t* Attributes(Connection& http, const QString& printer, CupsAnswer& answer, const PrintWatch& watch)
    {
        // An instance exists where lpoptions keeps it.
        if (printer.contains(QLatin1Char('/')) && !ReadLpoptions().options.contains(printer)) {
            answer.status = CupsAnswer::Unknown;
            return nullptr;
        }
        ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                     PrinterUri(printer.section(QLatin1Char('/'), 0, 0)).constData());
        static const char* const wanted[] = {"printer-is-accepting-jobs", "printer-state", "printer-state-message",
                                             "printer-uri-supported", "media-default", "media-supported",
                                             "media-left-margin-supported", "media-top-margin-supported",
                                             "media-right-margin-supported", "media-bottom-margin-supported",
                                             "printer-up-time"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(std::size(wanted)), nullptr,
                      wanted);
        ipp_t* response = http.Ask(request, "/");
        if (Succeeded(response))
            return response;
        if (response && ippGetStatusCode(response) == IPP_STATUS_ERROR_NOT_FOUND)
            answer.status = CupsAnswer::Unknown;
        else
            Refused(response, answer, watch, http.get());
        ippDelete(response);
        return nullptr;
    }

    // A request the server did not grant: what it said, or why nothing came.
    static void Refused(ipp_t* response, CupsAnswer& answer, const PrintWatch& watch, http_t* http = nullptr)
    {
        if (watch.GivenUp() || !response) {
            LastError(answer, watch, http);
            // No answer says nothing about the printer, whatever libcups last noted.
            if (answer.status == CupsAnswer::Unknown) {
                answer.status = CupsAnswer::Failed;
                answer.reason = QStringLiteral("the print server gave no answer");
            }
            return;
        }
        answer.status = CupsAnswer::Failed;
        ipp_attribute_t* message = ippFindAttribute(response, "status-message", IPP_TAG_TEXT);
        answer.error = message ? Text(ippGetString(message, 0, nullptr)) : Text(ippErrorString(ippGetStatusCode(response)));
    }

    // whole: every byte of the document went out, so the server may print it.
    static bool SendDocument(Connection& http, PrintWatch& watch, const QByteArray& uri, const QByteArray& resource, int job,
                             QFile& file, CupsAnswer& answer, bool& whole)
    {
        ipp_t* request = JobRequest(IPP_OP_SEND_DOCUMENT, uri, job);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, CUPS_FORMAT_PDF);
        ippAddBoolean(request, IPP_TAG_OPERATION, "last-document", 1);
        const http_status_t head = http.Send(request, resource.constData(), CUPS_LENGTH_VARIABLE);
        ippDelete(request);
        if (head != HTTP_STATUS_CONTINUE) {
            if (watch.GivenUp()) {
                LastError(answer, watch);
            } else {
                answer.status = CupsAnswer::Failed;
                answer.reason = QStringLiteral("the print server refused the document (") + Text(httpStatus(head))
                                + QLatin1Char(')');
            }
            return false;
        }
        while (!file.atEnd()) {
            const QByteArray chunk = file.read(64 * 1024);
            if (chunk.isEmpty() || watch.GivenUp()
                || cupsWriteRequestData(http.get(), chunk.constData(), size_t(chunk.size())) != HTTP_STATUS_CONTINUE) {
                if (watch.GivenUp() || chunk.isEmpty()) {
                    LastError(answer, watch);
                    if (chunk.isEmpty() && !watch.GivenUp())
                        answer.reason = QStringLiteral("the document could not be read: ") + file.errorString();
                } else {
                    answer.status = CupsAnswer::Failed;
                    answer.reason = QStringLiteral("the document could not be sent (") + Text(cupsLastErrorString())
                                    + QLatin1Char(')');
                }
                return false;
            }
        }
        if (watch.GivenUp()) {
            LastError(answer, watch);
            return false;
        }
        whole = true;
        ipp_t* response = http.Response(resource.constData());
        const bool taken = Succeeded(response);
        if (!taken)
            Refused(response, answer, watch);
        ippDelete(response);
        return taken;
    }

    // The job read back: the server holds it past its incoming state, neither cancelled nor
    // aborted.
    static bool Held(Connection& http, PrintWatch& watch, const QByteArray& uri, const QByteArray& resource, int job,
                     CupsAnswer& answer)
    {
        watch.SetStep(QStringLiteral("the job to be confirmed"));
        ipp_t* response = http.Ask(StateRequest(uri, job), resource.constData());
        if (!Succeeded(response)) {
            Refused(response, answer, watch);
            ippDelete(response);
            return false;
        }
        const JobRead read = ReadJob(response);
        ippDelete(response);
        if (read == JobRead::Held || read == JobRead::Completed)
            return true;
        answer.status = CupsAnswer::Failed;
        answer.reason = read == JobRead::Ended ? QStringLiteral("the print server ended the job")
                                               : QStringLiteral("the print server did not confirm the document");
        return false;
    }

    static ipp_t* StateRequest(const QByteArray& uri, int job)
    {
        ipp_t* request = JobRequest(IPP_OP_GET_JOB_ATTRIBUTES, uri, job);
        static const char* const wanted[] = {"job-state", "job-state-reasons"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
        return request;
    }

    // After a doubt only this goes to the server, on a fresh connection, itself bounded, that a
    // stop does not cut short: the job's cancel, and where the server refuses it, a read of what
    // it holds. A completed job printed; one that could not be asked about printed perhaps, once
    // it had the whole document, else it may stay in the queue empty.
    static void Settle(PrintWatch& given, const QByteArray& uri, const QByteArray& resource, int job, bool whole,
                       CupsAnswer& answer)
    {
        PrintWatch watch(given.SilenceMs());
        CupsAnswer reached;
        Connection http(watch, reached);
        ipp_t* cancel = http ? http.Ask(JobRequest(IPP_OP_CANCEL_JOB, uri, job), resource.constData()) : nullptr;
        const bool cancelled = Succeeded(cancel);
        JobRead read = JobRead::Unconfirmed;
        if (cancel && !cancelled) {
            ipp_t* state = http.Ask(StateRequest(uri, job), resource.constData());
            if (Succeeded(state))
                read = ReadJob(state);
            ippDelete(state);
        }
        ippDelete(cancel);
        if (cancelled || read == JobRead::Ended)
            return;
        if (read == JobRead::Completed) {
            answer = CupsAnswer();
            answer.status = CupsAnswer::Found;
        } else if (whole) {
            answer.mayHavePrinted = true;
        } else {
            answer.jobLeft = true;
        }
    }

    // A job the server may have made without its answer reaching the program: the user's
    // unfinished jobs of this name on the queue, made since the request, are cancelled on a
    // fresh bounded connection. False when that could not be done.
    static bool CancelUnanswered(PrintWatch& given, const QByteArray& uri, const QByteArray& resource, const QString& title,
                                 int since)
    {
        PrintWatch watch(given.SilenceMs());
        CupsAnswer reached;
        Connection http(watch, reached);
        if (!http)
            return false;
        ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
        AddIdentity(request, uri);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "not-completed");
        ippAddBoolean(request, IPP_TAG_OPERATION, "my-jobs", 1);
        static const char* const wanted[] = {"job-id", "job-name", "time-at-creation", "job-originating-user-name"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(std::size(wanted)), nullptr,
                      wanted);
        ipp_t* jobs = http.Ask(request, resource.constData());
        if (!Succeeded(jobs)) {
            const bool none = jobs && ippGetStatusCode(jobs) == IPP_STATUS_ERROR_NOT_FOUND;
            ippDelete(jobs);
            return none;
        }
        // Each job's attributes form a group of their own.
        struct Job {
            int id = 0, created = 0;
            QString name, user;
        };
        QList<Job> found;
        bool next = true;
        for (ipp_attribute_t* a = ippFirstAttribute(jobs); a; a = ippNextAttribute(jobs)) {
            if (ippGetGroupTag(a) != IPP_TAG_JOB || !ippGetName(a)) {
                next = true;
                continue;
            }
            if (std::exchange(next, false))
                found << Job();
            Job& now = found.last();
            const QByteArray name = ippGetName(a);
            if (name == "job-id")
                now.id = ippGetInteger(a, 0);
            else if (name == "time-at-creation")
                now.created = ippGetInteger(a, 0);
            else if (name == "job-name")
                now.name = Text(ippGetString(a, 0, nullptr));
            else if (name == "job-originating-user-name")
                now.user = Text(ippGetString(a, 0, nullptr));
        }
        ippDelete(jobs);
        bool done = true;
        for (const Job& j : std::as_const(found)) {
            if (j.id <= 0 || j.name != title || j.user != Text(cupsUser()) || j.created < since)
                continue;
            ipp_t* cancel = http.Ask(JobRequest(IPP_OP_CANCEL_JOB, uri, j.id), resource.constData());
            done = done && Succeeded(cancel);
            ippDelete(cancel);
        }
        return done;
    }
};

} // namespace

JobRead ReadJob(ipp_t* response)
{
    ipp_attribute_t* state = ippFindAttribute(response, "job-state", IPP_TAG_ENUM);
    ipp_attribute_t* reasons = ippFindAttribute(response, "job-state-reasons", IPP_TAG_KEYWORD);
    bool incoming = false;
    for (int i = 0; reasons && i < ippGetCount(reasons); ++i)
        incoming = incoming || Text(ippGetString(reasons, i, nullptr)) == QLatin1String("job-incoming");
    const int value = state ? ippGetInteger(state, 0) : 0;
    if (value == IPP_JSTATE_COMPLETED)
        return JobRead::Completed;
    if (value == IPP_JSTATE_CANCELED || value == IPP_JSTATE_ABORTED)
        return JobRead::Ended;
    return !state || incoming ? JobRead::Unconfirmed : JobRead::Held;
}

CupsApi::~CupsApi() = default;

std::shared_ptr<CupsApi> CupsApi::System() { return std::make_shared<LibCups>(); }

void CupsApi::KeepThreadAway() { cupsSetServer(kNoServer); }

} // namespace platform
