// The print server asked through libcups, request by request, so that nothing is sent after a
// print was given up: libcups would reconnect and send again by itself inside its own
// request loops.
#include "platform/CupsApi.h"

#include <QFile>
#include <QSizeF>

#include <cups/cups.h>

#include <cerrno>
#include <thread>

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

private:
    PrintWatch& m_watch;
    http_t* m_http = nullptr;
};

// The reason of a failed step, from libcups' last error.
void LastError(CupsAnswer& answer, const PrintWatch& watch)
{
    if (watch.Stopped()) {
        answer.status = CupsAnswer::Stopped;
        return;
    }
    if (watch.Silent()) {
        answer.status = CupsAnswer::Silent;
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

QString DestName(const cups_dest_t& dest)
{
    QString name = Text(dest.name);
    if (dest.instance)
        name += QLatin1Char('/') + Text(dest.instance);
    return name;
}

// A printer by its name; "queue/instance" names an instance of the queue.
cups_dest_t* NamedDest(http_t* http, const QString& printer)
{
    const QByteArray queue = printer.section(QLatin1Char('/'), 0, 0).toUtf8();
    const QByteArray instance = printer.section(QLatin1Char('/'), 1).toUtf8();
    return cupsGetNamedDest(http, queue.constData(), instance.isEmpty() ? nullptr : instance.constData());
}

QPageSize PageOf(const cups_size_t& size)
{
    // Hundredths of a millimetre; Qt names the size when it knows it.
    return QPageSize(QSizeF(size.width / 100.0, size.length / 100.0), QPageSize::Millimeter, QString(),
                     QPageSize::FuzzyMatch);
}

double Points(int hundredthsMm) { return hundredthsMm * 72.0 / 2540.0; }

void AddIdentity(ipp_t* request, const QByteArray& uri)
{
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
}

bool Succeeded(ipp_t* response) { return response && ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING; }

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
        cups_dest_t* dests = nullptr;
        const int count = cupsGetDests2(http.get(), &dests);
        if (watch.GivenUp() || (count <= 0 && cupsLastError() > IPP_STATUS_OK_CONFLICTING
                                && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)) {
            cupsFreeDests(count, dests);
            LastError(answer, watch);
            return answer;
        }
        answer.status = CupsAnswer::Found;
        for (int i = 0; i < count; ++i) {
            answer.names << DestName(dests[i]);
            if (dests[i].is_default)
                answer.name = DestName(dests[i]);
        }
        cupsFreeDests(count, dests);
        // A default the user named that the server does not know is said, never replaced.
        const QString named = UserDefault();
        if (!named.isEmpty() && !answer.names.contains(named)) {
            answer.status = CupsAnswer::Unknown;
            answer.name = named;
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
        cups_dest_t* dest = NamedDest(http.get(), printer);
        if (!dest || watch.GivenUp()) {
            cupsFreeDests(dest ? 1 : 0, dest);
            LastError(answer, watch);
            return answer;
        }
        answer.status = CupsAnswer::Found;
        for (int i = 0; i < dest->num_options; ++i)
            answer.options.insert(Text(dest->options[i].name), Text(dest->options[i].value));
        const bool rejects = answer.options.value(QStringLiteral("printer-is-accepting-jobs")) == QLatin1String("false");
        if (rejects || answer.options.value(QStringLiteral("printer-state")) == QLatin1String("5")) {
            StateMessage(http, answer);
        } else if (cups_dinfo_t* info = cupsCopyDestInfo(http.get(), dest)) {
            cups_size_t size;
            if (cupsGetDestMediaDefault(http.get(), dest, info, 0, &size)) {
                answer.paper = PageOf(size);
                answer.unprintable = QMarginsF(Points(size.left), Points(size.top), Points(size.right), Points(size.bottom));
            }
            const int sizes = cupsGetDestMediaCount(http.get(), dest, info, 0);
            for (int i = 0; i < sizes; ++i) {
                if (cupsGetDestMediaByIndex(http.get(), dest, info, i, 0, &size)) {
                    const QPageSize page = PageOf(size);
                    if (page.isValid() && !answer.offered.contains(page))
                        answer.offered << page;
                }
            }
            cupsFreeDestInfo(info);
        }
        cupsFreeDests(1, dest);
        if (watch.GivenUp())
            LastError(answer, watch);
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
            cups_dest_t* dest = NamedDest(http.get(), printer);
            if (!dest || watch.GivenUp()) {
                cupsFreeDests(dest ? 1 : 0, dest);
                LastError(answer, watch);
                return answer;
            }
            uri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options);
            char scheme[32], user[256], host[256], path[1024];
            int port = 0;
            if (uri.isEmpty()
                || httpSeparateURI(HTTP_URI_CODING_ALL, uri.constData(), scheme, sizeof scheme, user, sizeof user, host,
                                   sizeof host, &port, path, sizeof path)
                       < HTTP_URI_STATUS_OK) {
                cupsFreeDests(1, dest);
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
            for (int i = 0; i < dest->num_options; ++i) {
                if (!cupsGetOption(dest->options[i].name, count, list))
                    count = cupsAddOption(dest->options[i].name, dest->options[i].value, count, &list);
            }
            cupsFreeDests(1, dest);

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
                ippDelete(made);
                return answer;
            }
            ippDelete(made);

            watch.SetStep(QStringLiteral("the document to be taken"));
            if (!SendDocument(http, watch, uri, resource, job, file, answer) || !Held(http, watch, uri, resource, job, answer)) {
                Cancel(watch, uri, resource, job, answer);
                return answer;
            }
        }
        answer.status = CupsAnswer::Found;
        return answer;
    }

private:
    // Why a queue rejects jobs or is stopped: the destination does not carry the words.
    static void StateMessage(Connection& http, CupsAnswer& answer)
    {
        const QByteArray uri = answer.options.value(QStringLiteral("printer-uri-supported")).toUtf8();
        if (uri.isEmpty())
            return;
        ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-state-message");
        ipp_t* response = http.Ask(request, "/");
        if (ipp_attribute_t* message = response ? ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT) : nullptr)
            answer.options.insert(QStringLiteral("printer-state-message"), Text(ippGetString(message, 0, nullptr)));
        ippDelete(response);
    }

    // A request the server did not grant: what it said, or why nothing came.
    static void Refused(ipp_t* response, CupsAnswer& answer, const PrintWatch& watch)
    {
        if (watch.GivenUp() || !response) {
            LastError(answer, watch);
            return;
        }
        answer.status = CupsAnswer::Failed;
        ipp_attribute_t* message = ippFindAttribute(response, "status-message", IPP_TAG_TEXT);
        answer.error = message ? Text(ippGetString(message, 0, nullptr)) : Text(ippErrorString(ippGetStatusCode(response)));
    }

    static bool SendDocument(Connection& http, PrintWatch& watch, const QByteArray& uri, const QByteArray& resource, int job,
                             QFile& file, CupsAnswer& answer)
    {
        ipp_t* request = ippNewRequest(IPP_OP_SEND_DOCUMENT);
        AddIdentity(request, uri);
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
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
        ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        AddIdentity(request, uri);
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
        static const char* const wanted[] = {"job-state", "job-state-reasons"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
        ipp_t* response = http.Ask(request, resource.constData());
        if (!Succeeded(response)) {
            Refused(response, answer, watch);
            ippDelete(response);
            return false;
        }
        ipp_attribute_t* state = ippFindAttribute(response, "job-state", IPP_TAG_ENUM);
        ipp_attribute_t* reasons = ippFindAttribute(response, "job-state-reasons", IPP_TAG_KEYWORD);
        bool incoming = false;
        for (int i = 0; reasons && i < ippGetCount(reasons); ++i)
            incoming = incoming || Text(ippGetString(reasons, i, nullptr)) == QLatin1String("job-incoming");
        const int value = state ? ippGetInteger(state, 0) : 0;
        ippDelete(response);
        if (!state || incoming || value == IPP_JSTATE_CANCELED || value == IPP_JSTATE_ABORTED) {
            answer.status = CupsAnswer::Failed;
            answer.reason = !state || incoming ? QStringLiteral("the print server did not confirm the document")
                                               : QStringLiteral("the print server ended the job");
            return false;
        }
        return true;
    }

    // The one request after a give-up: the job is cancelled on a fresh connection, itself
    // bounded; a stop does not cut it short.
    static void Cancel(PrintWatch& given, const QByteArray& uri, const QByteArray& resource, int job, CupsAnswer& answer)
    {
        PrintWatch watch(given.SilenceMs());
        CupsAnswer reached;
        Connection http(watch, reached);
        bool cancelled = false;
        if (http) {
            ipp_t* request = ippNewRequest(IPP_OP_CANCEL_JOB);
            AddIdentity(request, uri);
            ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
            ipp_t* response = http.Ask(request, resource.constData());
            // A job the server has already ended needs no cancel.
            cancelled = Succeeded(response) || (response && ippGetStatusCode(response) == IPP_STATUS_ERROR_NOT_POSSIBLE);
            ippDelete(response);
        }
        answer.jobLeft = !cancelled;
    }
};

} // namespace

CupsApi::~CupsApi() = default;

std::shared_ptr<CupsApi> CupsApi::System() { return std::make_shared<LibCups>(); }

void CupsApi::KeepThreadAway() { cupsSetServer(kNoServer); }

} // namespace platform
