#pragma once
// The program's own connection to the print server, and what every question on it shares. Only
// the files of the print seam (CupsApi and its parts) include this.
#include "platform/CupsApi.h"
#include "platform/PrintWatch.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cups/cups.h>

namespace platform::cupsdetail {

QString Text(const char* text);

// One connection of a question, closed when it goes. While a wait of libcups' own runs on it,
// a stop shuts it down, which ends that wait at once; a silence of the watch's bound ends it
// from inside.
class Connection {
public:
    Connection(PrintWatch& watch, CupsAnswer& answer);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    http_t* get() const { return m_http; }
    explicit operator bool() const { return m_http != nullptr; }
    PrintWatch& Watch() const { return m_watch; }

    // Whether a stop may shut the socket down now. While a request's head goes out it must not:
    // libcups answers a failed head by connecting again and sending it once more.
    void Interruptible(bool yes);
    // Sends a request's head (and, with a fixed length, the request); HTTP_STATUS_CONTINUE when
    // its body may follow or its answer be read.
    http_status_t Send(ipp_t* request, const char* resource, size_t length);
    // The answer to the request sent; nullptr when none came whole.
    ipp_t* Response(const char* resource);
    // One request with its answer.
    ipp_t* Ask(ipp_t* request, const char* resource);
    // Whether the last request went out on it (whole or not).
    bool Sent() const { return m_sent; }

private:
    PrintWatch& m_watch;
    http_t* m_http = nullptr;
    bool m_sent = false;
};

// The reason of a failed step, from libcups' last error. A connection the server ended says
// nothing about the printer, though libcups may then call it unknown.
void LastError(CupsAnswer& answer, const PrintWatch& watch, http_t* http = nullptr);
// A request the server did not grant: what it said, or why nothing came.
void Refused(ipp_t* response, CupsAnswer& answer, const PrintWatch& watch, http_t* http = nullptr);

bool Succeeded(ipp_t* response);
void AddIdentity(ipp_t* request, const QByteArray& uri);
// A request about one job of the queue.
ipp_t* JobRequest(ipp_op_t op, const QByteArray& uri, int job);
QByteArray PrinterUri(const QString& queue);
QStringList Strings(ipp_t* response, const char* name);
int Integer(ipp_t* response, const char* name, int otherwise);

} // namespace platform::cupsdetail
