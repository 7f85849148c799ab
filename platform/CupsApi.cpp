// The questions of the print seam: the list of printers, a queue's state and paper, and the job.
// Each part lives beside the connection: the saved options (CupsSavedOptions), the paper names
// (CupsPaperNames) and edges (CupsPaperEdges), the job's read-back (CupsJobReadBack) and the
// look-up of a job whose creation went unanswered (CupsJobLookUp).
#include "platform/CupsApi.h"
#include "platform/CupsConnection.h"
#include "platform/CupsJobLookUp.h"
#include "platform/CupsJobReadBack.h"
#include "platform/CupsPaperEdges.h"
#include "platform/CupsPaperNames.h"
#include "platform/CupsSavedOptions.h"

#include <QFile>

#include <ctime>
#include <iterator>
#include <thread>

namespace platform {

using namespace cupsdetail;

namespace {

// A socket path no server can ever listen on.
constexpr const char* kNoServer = "/dev/null/no-print-server";

// The queue's own attributes; nullptr when the server does not know it or did not answer.
ipp_t* Attributes(Connection& http, const QString& printer, CupsAnswer& answer)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 PrinterUri(printer.section(QLatin1Char('/'), 0, 0)).constData());
    static const char* const wanted[] = {"printer-is-accepting-jobs", "printer-state", "printer-state-message",
                                         "printer-uri-supported", "media-default", "media-supported", "printer-up-time"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(std::size(wanted)), nullptr,
                  wanted);
    ipp_t* response = http.Ask(request, "/");
    if (Succeeded(response))
        return response;
    if (response && ippGetStatusCode(response) == IPP_STATUS_ERROR_NOT_FOUND)
        answer.status = CupsAnswer::Unknown;
    else
        Refused(response, answer, http.Watch(), http.get());
    ippDelete(response);
    return nullptr;
}

// whole: every byte of the document went out, so the server may print it.
bool SendDocument(Connection& http, const QByteArray& uri, const QByteArray& resource, int job, QFile& file,
                  CupsAnswer& answer, bool& whole)
{
    const PrintWatch& watch = http.Watch();
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
        const QList<LpoptionsLine> local = ReadLpoptions();
        QString byDefault;
        for (const QString& queue : queues) {
            answer.names << queue;
            for (const LpoptionsLine& line : local)
                if (!line.instance.isEmpty() && QString::fromUtf8(line.name) == queue && !answer.names.contains(line.Destination()))
                    answer.names << line.Destination();
        }
        for (const LpoptionsLine& line : local)
            if (line.byDefault)
                byDefault = line.Destination();
        answer.status = CupsAnswer::Found;
        // The default as libcups names it: LPDEST or PRINTER, lpoptions, the server's default.
        answer.name = UserDefault();
        if (answer.name.isEmpty())
            answer.name = byDefault;
        if (answer.name.isEmpty()) {
            ipp_t* server = http.Ask(ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
            if (Succeeded(server))
                answer.name = Strings(server, "printer-name").value(0);
            else if (!server || ippGetStatusCode(server) != IPP_STATUS_ERROR_NOT_FOUND)
                Refused(server, answer, watch, http.get());
            ippDelete(server);
        } else if (!answer.names.contains(answer.name)) {
            // A default the user named that the server does not know is said, never replaced.
            if (Lists(queues, answer.name))
                answer.names << answer.name;
            else
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
        ipp_t* response = Attributes(http, printer, answer);
        if (!response)
            return answer;
        const SavedDestination saved(http, printer);
        // A printer that names no paper (a raw queue) has no edges to read.
        const QStringList media = Strings(response, "media-supported");
        const PaperEdges edges(http, media.isEmpty() ? nullptr : saved.get());
        if (!saved || watch.GivenUp()) {
            LastError(answer, watch, http.get());
            ippDelete(response);
            return answer;
        }
        answer.status = CupsAnswer::Found;
        answer.options.insert(QStringLiteral("printer-is-accepting-jobs"),
                              ippGetBoolean(ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN), 0)
                                  ? QStringLiteral("true")
                                  : QStringLiteral("false"));
        answer.options.insert(QStringLiteral("printer-state"), QString::number(Integer(response, "printer-state", 3)));
        answer.options.insert(QStringLiteral("printer-state-message"), Strings(response, "printer-state-message").value(0));
        answer.options.insert(QStringLiteral("printer-uri-supported"), Strings(response, "printer-uri-supported").value(0));
        // The paper: the one saved for the printer or instance as lp sends it, else the
        // printer's default media, else the one the system's filters take; and its edges.
        answer.paper = saved.Paper();
        if (!answer.paper.isValid())
            answer.paper = PageOf(Strings(response, "media-default").value(0));
        if (!answer.paper.isValid())
            answer.paper = SystemPaper();
        answer.unprintable = edges.Of(answer.paper);
        answer.copies = saved.Copies();
        answer.saved = saved.Options();
        for (const QString& name : media) {
            const QPageSize page = PageOf(name);
            if (page.isValid() && !answer.offered.contains(page)) {
                answer.offered << page;
                answer.offeredEdges << edges.Of(page);
            }
        }
        ippDelete(response);
        return answer;
    }

    CupsAnswer Print(PrintWatch& watch, const QString& printer, const QString& pdfFile, const QString& title,
                     const QStringList& options, const QStringList& saved) override
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
            ipp_t* attributes = Attributes(http, printer, answer);
            if (!attributes)
                return answer;
            uri = Strings(attributes, "printer-uri-supported").value(0).toUtf8();
            JobLookUp lookUp;
            // The server's clock now: a job it makes for this print is no older.
            lookUp.since = Integer(attributes, "printer-up-time", int(std::time(nullptr)));
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
            count = WithSaved(saved, count, &list);
            lookUp.uri = uri;
            lookUp.resource = resource;
            lookUp.title = title;
            NoteUnfinished(http, lookUp);

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
                // The request went out and its answer never came: the server may have made the job,
                // or make it yet, unless it was found and cancelled.
                if (!made && http.Sent())
                    answer.jobUnanswered = !CancelUnanswered(watch, lookUp);
                ippDelete(made);
                return answer;
            }
            ippDelete(made);

            watch.SetStep(QStringLiteral("the document to be taken"));
            bool whole = false;
            if (!SendDocument(http, uri, resource, job, file, answer, whole) || !Held(http, uri, resource, job, answer)) {
                Settle(watch, uri, resource, job, whole, answer);
                return answer;
            }
        }
        answer.status = CupsAnswer::Found;
        return answer;
    }
};

} // namespace

CupsApi::~CupsApi() = default;

bool CupsApi::Lists(const QStringList& listed, const QString& printer)
{
    if (listed.contains(printer))
        return true;
    // lp splits at the last "/"; a queue's name holds none.
    const QString queue = printer.section(QLatin1Char('/'), 0, -2);
    return !queue.isEmpty() && !queue.contains(QLatin1Char('/')) && listed.contains(queue);
}

std::shared_ptr<CupsApi> CupsApi::System() { return std::make_shared<LibCups>(); }

void CupsApi::KeepThreadAway() { cupsSetServer(kNoServer); }

} // namespace platform
