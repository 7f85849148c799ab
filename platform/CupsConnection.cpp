// The print server asked through libcups, request by request, so that nothing is sent after a
// print was given up: libcups would reconnect and send again by itself inside its own
// request loops.
#include "platform/CupsConnection.h"

#include <cerrno>
#include <functional>

namespace platform::cupsdetail {

namespace {

// Called by libcups after the silence bound without a byte: the wait ends.
int EndSilence(http_t*, void* data)
{
    auto* watch = static_cast<PrintWatch*>(data);
    if (!watch->Stopped())
        watch->SetSilent();
    return 0;
}

} // namespace

QString Text(const char* text) { return QString::fromUtf8(text ? text : ""); }

Connection::Connection(PrintWatch& watch, CupsAnswer& answer) : m_watch(watch)
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

Connection::~Connection()
{
    if (!m_http)
        return;
    Interruptible(false);
    httpClose(m_http);
}

void Connection::Interruptible(bool yes)
{
    http_t* http = m_http;
    m_watch.SetInterrupt(yes ? std::function<void()>([http] { httpShutdown(http); }) : std::function<void()>());
}

http_status_t Connection::Send(ipp_t* request, const char* resource, size_t length)
{
    m_sent = false;
    if (m_watch.GivenUp())
        return HTTP_STATUS_ERROR;
    m_sent = true;
    Interruptible(false);
    const http_status_t status = cupsSendRequest(m_http, request, resource, length);
    Interruptible(true);
    return m_watch.GivenUp() ? HTTP_STATUS_ERROR : status;
}

ipp_t* Connection::Response(const char* resource)
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

ipp_t* Connection::Ask(ipp_t* request, const char* resource)
{
    ipp_t* response = nullptr;
    if (Send(request, resource, ippLength(request)) == HTTP_STATUS_CONTINUE)
        response = Response(resource);
    ippDelete(request);
    return response;
}

void LastError(CupsAnswer& answer, const PrintWatch& watch, http_t* http)
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

void Refused(ipp_t* response, CupsAnswer& answer, const PrintWatch& watch, http_t* http)
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

bool Succeeded(ipp_t* response) { return response && ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING; }

void AddIdentity(ipp_t* request, const QByteArray& uri)
{
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
}

ipp_t* JobRequest(ipp_op_t op, const QByteArray& uri, int job)
{
    ipp_t* request = ippNewRequest(op);
    AddIdentity(request, uri);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    return request;
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

} // namespace platform::cupsdetail
