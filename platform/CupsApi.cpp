// The print server asked through libcups.
#include "platform/CupsApi.h"

#include <cups/cups.h>

namespace platform {

namespace {

// Ends a read that takes longer than the connection's time-out.
int GiveUp(http_t*, void*) { return 0; }

class LibCups : public CupsApi {
public:
    explicit LibCups(int timeoutMs) : m_timeoutMs(timeoutMs) {}

    CupsAnswer Destination(const QString& queue) override
    {
        CupsAnswer answer;
        http_t* http = Connect(answer);
        if (!http)
            return answer;
        cups_dest_t* dest = cupsGetNamedDest(http, queue.toUtf8().constData(), nullptr);
        if (dest) {
            answer.status = CupsAnswer::Found;
            for (int i = 0; i < dest->num_options; ++i)
                answer.options.insert(QString::fromUtf8(dest->options[i].name), QString::fromUtf8(dest->options[i].value));
            cupsFreeDests(1, dest);
            const bool rejects = answer.options.value(QStringLiteral("printer-is-accepting-jobs")) == QLatin1String("false");
            if (rejects || answer.options.value(QStringLiteral("printer-state")) == QLatin1String("5"))
                AddStateMessage(http, answer);
        } else {
            LastError(answer);
        }
        httpClose(http);
        return answer;
    }

    CupsAnswer Jobs(const QString& queue) override
    {
        CupsAnswer answer;
        http_t* http = Connect(answer);
        if (!http)
            return answer;
        cups_job_t* jobs = nullptr;
        const int count = cupsGetJobs2(http, &jobs, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
        if (count >= 0) {
            answer.status = CupsAnswer::Found;
            for (int i = 0; i < count; ++i)
                answer.jobs.append({jobs[i].id, QString::fromUtf8(jobs[i].dest ? jobs[i].dest : "")});
            cupsFreeJobs(count, jobs);
        } else {
            LastError(answer);
        }
        httpClose(http);
        return answer;
    }

private:
    // A connection of this question's own, so that its time-out is ours.
    http_t* Connect(CupsAnswer& answer) const
    {
        const QString server = QString::fromUtf8(cupsServer());
        http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, m_timeoutMs, nullptr);
        if (!http) {
            // The scheduler's socket or this machine's port: no server runs here.
            const bool local = server.startsWith(QLatin1Char('/')) || server == QLatin1String("localhost");
            answer.status = local ? CupsAnswer::NoServer : CupsAnswer::Failed;
            if (!local)
                answer.error = QStringLiteral("cannot reach the print server ") + server;
            return nullptr;
        }
        httpSetTimeout(http, m_timeoutMs / 1000.0, GiveUp, nullptr);
        return http;
    }
    // Why a queue rejects jobs or is stopped: the destination does not carry the words.
    static void AddStateMessage(http_t* http, CupsAnswer& answer)
    {
        const QByteArray uri = answer.options.value(QStringLiteral("printer-uri-supported")).toUtf8();
        if (uri.isEmpty())
            return;
        ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-state-message");
        ipp_t* response = cupsDoRequest(http, request, "/");
        if (ipp_attribute_t* message = response ? ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT) : nullptr)
            answer.options.insert(QStringLiteral("printer-state-message"), QString::fromUtf8(ippGetString(message, 0, nullptr)));
        ippDelete(response);
    }
    static void LastError(CupsAnswer& answer)
    {
        const ipp_status_t status = cupsLastError();
        if (status == IPP_STATUS_ERROR_NOT_FOUND) {
            answer.status = CupsAnswer::Unknown;
            return;
        }
        answer.status = CupsAnswer::Failed;
        answer.error = QString::fromUtf8(cupsLastErrorString());
    }

    int m_timeoutMs;
};

} // namespace

CupsApi::~CupsApi() = default;

std::shared_ptr<CupsApi> CupsApi::System(int timeoutMs) { return std::make_shared<LibCups>(timeoutMs); }

} // namespace platform
