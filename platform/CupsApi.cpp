// The print server asked through libcups, request by request, so that nothing is sent after a
// print was given up: libcups would reconnect and send again by itself inside its own
// request loops.
#include "platform/CupsApi.h"

#include <QDir>
#include <QFile>
#include <QSizeF>

#include <cups/cups.h>

#include <cctype>
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

// One "Dest" or "Default" line of an lpoptions file: "name[/instance] options".
struct LpoptionsLine {
    bool byDefault = false;
    QByteArray name, instance; // instance empty for the queue itself
    QByteArray options;
    QString Destination() const
    {
        return QString::fromUtf8(instance.isEmpty() ? name : name + '/' + instance);
    }
};

// The lines of the lpoptions files in the order libcups reads them: the server root's, then the
// user's. Read by libcups' own reader, so comments and blanks count as for lp.
QList<LpoptionsLine> ReadLpoptions()
{
    QList<LpoptionsLine> lines;
    const QString root = qEnvironmentVariableIsSet("CUPS_SERVERROOT") ? qEnvironmentVariable("CUPS_SERVERROOT")
                                                                      : QStringLiteral("/etc/cups");
    for (const QString& path : {root + QStringLiteral("/lpoptions"), QDir::homePath() + QStringLiteral("/.cups/lpoptions")}) {
        cups_file_t* file = cupsFileOpen(QFile::encodeName(path).constData(), "r");
        if (!file)
            continue;
        char line[8192];
        char* value = nullptr;
        int number = 0;
        while (cupsFileGetConf(file, line, sizeof line, &value, &number)) {
            const QByteArray word = QByteArray(line).toLower();
            if ((word != "dest" && word != "default") || !value)
                continue;
            // The name runs to a blank or "/", the instance to a blank, as libcups splits them.
            const QByteArray rest(value);
            int end = 0;
            while (end < rest.size() && !std::isspace(uchar(rest[end])) && rest[end] != '/')
                ++end;
            LpoptionsLine kept;
            kept.byDefault = word == "default";
            kept.name = rest.left(end);
            if (end < rest.size() && rest[end] == '/') {
                const int from = ++end;
                while (end < rest.size() && !std::isspace(uchar(rest[end])))
                    ++end;
                kept.instance = rest.mid(from, end - from);
            }
            kept.options = rest.mid(end);
            if (!kept.name.isEmpty())
                lines << kept;
        }
        cupsFileClose(file);
    }
    return lines;
}

// The options lp takes along for a destination: the lines that name exactly it ("Q" is not
// "Q/two"), folded by libcups in file order, so a later line wins.
QList<QPair<QByteArray, QByteArray>> SavedOptions(const QString& printer)
{
    const QByteArray name = printer.section(QLatin1Char('/'), 0, 0).toUtf8();
    const QByteArray instance = printer.section(QLatin1Char('/'), 1).toUtf8();
    int count = 0;
    cups_option_t* list = nullptr;
    for (const LpoptionsLine& line : ReadLpoptions())
        if (line.name.compare(name, Qt::CaseInsensitive) == 0 && line.instance.compare(instance, Qt::CaseInsensitive) == 0)
            count = cupsParseOptions(line.options.constData(), count, &list);
    QList<QPair<QByteArray, QByteArray>> saved;
    for (int i = 0; i < count; ++i)
        saved.append(qMakePair(QByteArray(list[i].name), QByteArray(list[i].value)));
    cupsFreeOptions(count, list);
    return saved;
}

// Whether lpoptions keeps the instance (an instance exists only there).
bool KnownInstance(const QString& printer)
{
    for (const LpoptionsLine& line : ReadLpoptions())
        if (!line.instance.isEmpty() && line.Destination().compare(printer, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The options naming a paper: one chosen for the print replaces every saved one.
bool NamesPaper(const char* option)
{
    for (const char* paper : {"media", "media-col", "PageSize", "PageRegion"})
        if (qstricmp(option, paper) == 0)
            return true;
    return false;
}

// The print's own options, then the ones saved for the printer that they do not set, as lp takes
// them along.
int WithSavedOptions(const QString& printer, int count, cups_option_t** list)
{
    bool paperChosen = false;
    for (int i = 0; i < count; ++i)
        paperChosen = paperChosen || NamesPaper((*list)[i].name);
    for (const auto& [name, value] : SavedOptions(printer))
        if (!cupsGetOption(name.constData(), count, *list) && !(paperChosen && NamesPaper(name.constData())))
            count = cupsAddOption(name.constData(), value.constData(), count, list);
    return count;
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

QPageSize PageOf(const pwg_media_t* media)
{
    // Hundredths of a millimetre; Qt names the size when it knows it.
    if (!media || media->width <= 0 || media->length <= 0)
        return QPageSize();
    return QPageSize(QSizeF(media->width / 100.0, media->length / 100.0), QPageSize::Millimeter, QString(),
                     QPageSize::FuzzyMatch);
}

// A paper by any name libcups knows: a PWG keyword ("na_letter_8.5x11in"), a PPD or legacy name
// ("Letter", "A4"), or a lower-case one ("a4", as /etc/papersize has it). A media value may
// list a source or type beside the size.
QPageSize PageOf(const QString& names)
{
    for (const QString& part : names.split(QLatin1Char(','))) {
        const QByteArray name = part.trimmed().toUtf8();
        QByteArray capital = name;
        if (!capital.isEmpty())
            capital[0] = char(std::toupper(uchar(capital[0])));
        for (const pwg_media_t* media : {pwgMediaForPWG(name.constData()), pwgMediaForLegacy(name.constData()),
                                         pwgMediaForPPD(name.constData()), pwgMediaForPPD(capital.constData())}) {
            const QPageSize page = PageOf(media);
            if (page.isValid())
                return page;
        }
    }
    return QPageSize();
}

double Points(int hundredthsMm) { return hundredthsMm * 72.0 / 2540.0; }

// One entry of the printer's media collections: a size (hundredths of a millimetre) and the
// edges it cannot print on (points).
struct MediaEdges {
    QSizeF size;
    QMarginsF edges;
    bool Fits(const QPageSize& page) const
    {
        // PPD sizes are whole points: a millimetre either way is the same paper.
        const QSizeF mm = page.size(QPageSize::Millimeter) * 100;
        return qAbs(mm.width() - size.width()) <= 100 && qAbs(mm.height() - size.height()) <= 100;
    }
};

QList<MediaEdges> MediaCollections(ipp_t* response, const char* name)
{
    QList<MediaEdges> found;
    ipp_attribute_t* a = ippFindAttribute(response, name, IPP_TAG_BEGIN_COLLECTION);
    for (int i = 0; a && i < ippGetCount(a); ++i) {
        ipp_t* col = ippGetCollection(a, i);
        ipp_attribute_t* size = ippFindAttribute(col, "media-size", IPP_TAG_BEGIN_COLLECTION);
        ipp_t* dimensions = size ? ippGetCollection(size, 0) : nullptr;
        // A range of custom sizes has no edges of its own.
        ipp_attribute_t* x = dimensions ? ippFindAttribute(dimensions, "x-dimension", IPP_TAG_INTEGER) : nullptr;
        ipp_attribute_t* y = dimensions ? ippFindAttribute(dimensions, "y-dimension", IPP_TAG_INTEGER) : nullptr;
        if (!x || !y)
            continue;
        const auto edge = [col](const char* side) { return Points(Integer(col, side, 0)); };
        found.append({QSizeF(ippGetInteger(x, 0), ippGetInteger(y, 0)),
                      QMarginsF(edge("media-left-margin"), edge("media-top-margin"), edge("media-right-margin"),
                                edge("media-bottom-margin"))});
    }
    return found;
}

// The edges of a paper as the printer states them: its default media when that is the size,
// else its entries for that size in its media database (the widest of them, so that no entry
// for borderless printing takes the normal edges away), else the widest it names at all.
QMarginsF PrinterEdges(ipp_t* response, const QPageSize& page)
{
    for (const MediaEdges& media : MediaCollections(response, "media-col-default"))
        if (media.Fits(page))
            return media.edges;
    QMarginsF widest;
    bool named = false;
    for (const MediaEdges& media : MediaCollections(response, "media-col-database")) {
        if (!media.Fits(page))
            continue;
        widest = named ? QMarginsF(qMax(widest.left(), media.edges.left()), qMax(widest.top(), media.edges.top()),
                                   qMax(widest.right(), media.edges.right()), qMax(widest.bottom(), media.edges.bottom()))
                       : media.edges;
        named = true;
    }
    if (named)
        return widest;
    const auto most = [response](const char* name) {
        int value = 0;
        ipp_attribute_t* a = ippFindAttribute(response, name, IPP_TAG_INTEGER);
        for (int i = 0; a && i < ippGetCount(a); ++i)
            value = qMax(value, ippGetInteger(a, i));
        return Points(value);
    };
    return QMarginsF(most("media-left-margin-supported"), most("media-top-margin-supported"),
                     most("media-right-margin-supported"), most("media-bottom-margin-supported"));
}

// The paper saved for the destination in lpoptions ("media=" or "PageSize="); invalid when none.
QPageSize SavedPaper(const QString& printer)
{
    QPageSize paper;
    const QList<QPair<QByteArray, QByteArray>> saved = SavedOptions(printer);
    // The server maps media= to a PPD's page size only where PageSize= names none.
    for (const char* name : {"media", "PageSize"}) {
        for (const auto& [option, value] : saved) {
            const QPageSize page = qstricmp(option.constData(), name) == 0 ? PageOf(QString::fromUtf8(value)) : QPageSize();
            if (page.isValid())
                paper = page;
        }
    }
    return paper;
}

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
        // The paper: the one saved for the printer or instance as lp sends it, else the
        // printer's default media, else the one the system's filters take; and its edges.
        answer.paper = SavedPaper(printer);
        if (!answer.paper.isValid())
            answer.paper = PageOf(Strings(response, "media-default").value(0));
        if (!answer.paper.isValid())
            answer.paper = SystemPaper();
        answer.unprintable = PrinterEdges(response, answer.paper);
        for (const QString& media : Strings(response, "media-supported")) {
            const QPageSize page = PageOf(media);
            if (page.isValid() && !answer.offered.contains(page)) {
                answer.offered << page;
                answer.offeredEdges << PrinterEdges(response, page);
            }
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
            count = WithSavedOptions(printer, count, &list);

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
        if (printer.contains(QLatin1Char('/')) && !KnownInstance(printer)) {
            answer.status = CupsAnswer::Unknown;
            return nullptr;
        }
        ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                     PrinterUri(printer.section(QLatin1Char('/'), 0, 0)).constData());
        static const char* const wanted[] = {"printer-is-accepting-jobs", "printer-state", "printer-state-message",
                                             "printer-uri-supported", "media-default", "media-supported",
                                             "media-col-default", "media-col-database",
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

QPageSize CupsApi::SystemPaper()
{
    // As libpaper finds it: PAPERSIZE, else the first word of the paper file that is no comment.
    QString name = qEnvironmentVariable("PAPERSIZE").trimmed();
    QFile file(qEnvironmentVariableIsEmpty("PAPERCONF") ? QStringLiteral("/etc/papersize") : qEnvironmentVariable("PAPERCONF"));
    if (name.isEmpty() && file.open(QIODevice::ReadOnly)) {
        while (name.isEmpty() && !file.atEnd()) {
            const QString line = QString::fromLocal8Bit(file.readLine()).trimmed();
            if (!line.startsWith(QLatin1Char('#')))
                name = line.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        }
    }
    const QPageSize paper = PageOf(name);
    return paper.isValid() ? paper : QPageSize(QPageSize::A4);
}

std::shared_ptr<CupsApi> CupsApi::System() { return std::make_shared<LibCups>(); }

void CupsApi::KeepThreadAway() { cupsSetServer(kNoServer); }

} // namespace platform
