#pragma once
#include "platform/PlatformExport.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

namespace platform {

// One answer of the print server, as libcups gave it.
struct CupsAnswer {
    enum Status {
        Found,    // the destination is known, or the job was made
        Unknown,  // the server does not know the destination
        NoServer, // no print server runs here
        Failed,   // the server could not be asked, or refused; error says why
    };
    Status status = Failed;
    QString error;
    QMap<QString, QString> options; // Submit: the printer's attributes ("printer-state", ...)
    QString name;                   // DefaultDestination: the printer named default ("" for none)
};

// The questions the program asks the print server, each on a connection of its own. A call may
// block as long as its time-out: callers ask from a worker thread (PrintQueue does).
class PLATFORM_EXPORT CupsApi {
public:
    virtual ~CupsApi();
    // The server the questions go to, as the user names it (a socket path or a host).
    virtual QString Server() = 0;
    // The printer the user or the server names default; Unknown (with its name) when the
    // server does not know it.
    virtual CupsAnswer DefaultDestination() = 0;
    // Hands a PDF file to the printer's queue as one job; "queue/instance" names an instance of
    // a queue. options: name, value pairs. A queue that rejects jobs, or a stopped printer, gets
    // no job: Found without one, its attributes (and "printer-state-message") saying why.
    virtual CupsAnswer Submit(const QString& printer, const QString& pdfFile, const QString& title,
                              const QStringList& options) = 0;

    // The system's print server through libcups; timeoutMs bounds its connection and reads.
    static std::shared_ptr<CupsApi> System(int timeoutMs);
    // Qt's print support asks libcups on the window's thread, with no time-out of its own. While
    // the server does not answer, that thread's libcups is pointed at no server at all, so that
    // Qt finds no printers at once instead of waiting minutes; away=false points it at a relay
    // that cuts any of Qt's questions the server leaves unanswered for the program's bound.
    static void KeepThreadAway(bool away);
    // Whether the relay cut one of Qt's questions since the thread was last pointed: the server
    // answered the program's question, then went silent (or out of reach).
    static bool ThreadCut();
};

} // namespace platform
