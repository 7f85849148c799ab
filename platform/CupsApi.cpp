// The print server asked through libcups.
#include "platform/CupsApi.h"
#include "platform/CupsRelay.h"
#include "platform/PrintQueue.h"
#include "platform/TimeSource.h"

#include <QFile>

#include <cups/cups.h>

#include <thread>

namespace platform {

namespace {

// Ends a read that takes longer than the connection's time-out.
int GiveUp(http_t*, void*) { return 0; }

class LibCups : public CupsApi {
public:
    explicit LibCups(int timeoutMs) : m_timeoutMs(timeoutMs) {}

    QString Server() override
    {
        // libcups keeps its server per thread, and this one's may be pointed away: a fresh
        // thread reads the user's setting.
        QString server;
        std::thread([&server] { server = QString::fromUtf8(cupsServer()); }).join();
        return server;
    }

    CupsAnswer DefaultDestination() override
    {
        return Asked([](http_t* http, CupsAnswer& answer) {
            cups_dest_t* dest = cupsGetNamedDest(http, nullptr, nullptr);
            if (!dest) {
                LastError(answer);
                // libcups says a default is unknown without naming it: the name comes from
                // where libcups took it first.
                if (answer.status == CupsAnswer::Unknown)
                    answer.name = UserDefault();
                return;
            }
            answer.status = CupsAnswer::Found;
            answer.name = QString::fromUtf8(dest->name);
            if (dest->instance)
                answer.name += QLatin1Char('/') + QString::fromUtf8(dest->instance);
            cupsFreeDests(1, dest);
        });
    }

    CupsAnswer Submit(const QString& printer, const QString& pdfFile, const QString& title, const QStringList& options) override
    {
        QFile file(pdfFile);
        if (!file.open(QIODevice::ReadOnly)) {
            CupsAnswer answer;
            answer.error = file.errorString();
            return answer;
        }
        return Asked([&](http_t* http, CupsAnswer& answer) {
            cups_dest_t* dest = NamedDest(http, printer);
            if (!dest)
                return LastError(answer);
            answer.status = CupsAnswer::Found;
            for (int i = 0; i < dest->num_options; ++i)
                answer.options.insert(QString::fromUtf8(dest->options[i].name), QString::fromUtf8(dest->options[i].value));
            const bool rejects = answer.options.value(QStringLiteral("printer-is-accepting-jobs")) == QLatin1String("false");
            if (rejects || answer.options.value(QStringLiteral("printer-state")) == QLatin1String("5")) {
                // No job: the caller tells why.
                AddStateMessage(http, answer);
            } else if (cups_dinfo_t* info = cupsCopyDestInfo(http, dest)) {
                int count = 0;
                cups_option_t* list = nullptr;
                for (int i = 0; i + 1 < options.size(); i += 2)
                    count = cupsAddOption(options[i].toUtf8().constData(), options[i + 1].toUtf8().constData(), count, &list);
                // The options the user saved for the printer (or its instance) follow, as lp
                // takes them along.
                for (int i = 0; i < dest->num_options; ++i) {
                    if (!cupsGetOption(dest->options[i].name, count, list))
                        count = cupsAddOption(dest->options[i].name, dest->options[i].value, count, &list);
                }
                const QByteArray jobTitle = title.toUtf8();
                int job = 0;
                if (cupsCreateDestJob(http, dest, info, &job, jobTitle.constData(), count, list) > IPP_STATUS_OK_CONFLICTING
                    || job <= 0) {
                    LastError(answer);
                } else if (!SendDocument(http, dest, info, job, jobTitle, file)) {
                    LastError(answer);
                    // A job without its document would wait in the queue for ever.
                    cupsCancelDestJob(http, dest, job);
                }
                cupsFreeOptions(count, list);
                cupsFreeDestInfo(info);
            } else {
                LastError(answer);
            }
            cupsFreeDests(1, dest);
        });
    }

private:
    // One question on a connection of its own, so that its time-out is ours.
    template <typename Ask>
    CupsAnswer Asked(Ask ask) const
    {
        CupsAnswer answer;
        if (http_t* http = Connect(answer)) {
            ask(http, answer);
            httpClose(http);
        }
        return answer;
    }
    // A printer by its name; "queue/instance" names an instance of the queue.
    static cups_dest_t* NamedDest(http_t* http, const QString& printer)
    {
        const QByteArray queue = printer.section(QLatin1Char('/'), 0, 0).toUtf8();
        const QByteArray instance = printer.section(QLatin1Char('/'), 1).toUtf8();
        return cupsGetNamedDest(http, queue.constData(), instance.isEmpty() ? nullptr : instance.constData());
    }
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
    static bool SendDocument(http_t* http, cups_dest_t* dest, cups_dinfo_t* info, int job, const QByteArray& title, QFile& file)
    {
        if (cupsStartDestDocument(http, dest, info, job, title.constData(), CUPS_FORMAT_PDF, 0, nullptr, 1)
            != HTTP_STATUS_CONTINUE)
            return false;
        bool sent = true;
        while (sent && !file.atEnd()) {
            const QByteArray chunk = file.read(64 * 1024);
            sent = !chunk.isEmpty()
                   && cupsWriteRequestData(http, chunk.constData(), size_t(chunk.size())) == HTTP_STATUS_CONTINUE;
        }
        // The request is ended either way; a document cut short is refused below.
        const bool finished = cupsFinishDestDocument(http, dest, info) <= IPP_STATUS_OK_CONFLICTING;
        return sent && finished;
    }
    // The default the user set through the environment, as libcups reads it.
    static QString UserDefault()
    {
        const QString lpdest = qEnvironmentVariable("LPDEST").trimmed();
        if (!lpdest.isEmpty())
            return lpdest;
        const QString printer = qEnvironmentVariable("PRINTER").trimmed();
        return printer == QLatin1String("lp") ? QString() : printer;
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

// A socket path no server can ever listen on.
constexpr const char* kNoServer = "/dev/null/no-print-server";

// Made when Qt's questions first go to the server; it ends with the program.
std::unique_ptr<CupsRelay> g_relay;

} // namespace

CupsApi::~CupsApi() = default;

std::shared_ptr<CupsApi> CupsApi::System(int timeoutMs) { return std::make_shared<LibCups>(timeoutMs); }

void CupsApi::KeepThreadAway(bool away)
{
    if (away) {
        cupsSetServer(kNoServer);
        return;
    }
    const int boundMs = TimeSource::Instance().TimerInterval(PrintQueue::kTimeoutMs);
    if (!g_relay)
        g_relay = std::make_unique<CupsRelay>(boundMs);
    g_relay->Rearm(boundMs);
    // Without a relay no question of Qt's could be bounded: it finds no printers instead.
    const QByteArray relay = g_relay->Socket().toUtf8();
    cupsSetServer(relay.isEmpty() ? kNoServer : relay.constData());
}

bool CupsApi::ThreadCut() { return g_relay && g_relay->Cut(); }

} // namespace platform
