#pragma once
#include "platform/PlatformExport.h"
#include "platform/PrintWatch.h"

#include <QList>
#include <QMap>
#include <QMarginsF>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <memory>

typedef struct _ipp_s ipp_t;

namespace platform {

// What a job read back from the server (its job-state and job-state-reasons) says of it.
enum class JobRead {
    Held,        // the server holds it past its incoming state, to print
    Completed,   // printed to the end
    Ended,       // cancelled or aborted: it will never print
    Unconfirmed, // no state, or still waiting for its document
};
PLATFORM_EXPORT JobRead ReadJob(ipp_t* response);

// One answer of the print server, as libcups gave it.
struct CupsAnswer {
    enum Status {
        Found,    // the destination is known, or the job is held by the server
        Unknown,  // the server does not know the destination
        NoServer, // no print server runs here
        Failed,   // the server could not be asked, or refused; error says why
        Silent,   // no byte came from the server for the bound
        Stopped,  // the print was stopped while it waited
    };
    Status status = Failed;
    QString error;                  // what the server said
    QString reason;                 // or why, in words for the user, where the program knows
    QMap<QString, QString> options; // Queue: the printer's attributes ("printer-state", ...)
    QString name;                   // Destinations: the default ("" for none), or the unknown one
    QStringList names;              // Destinations: every printer and instance
    // Queue: the paper a print takes (the one saved for the printer or instance, else the
    // printer's default, else the system's) and the edges of it the printer cannot print on, in
    // points.
    QPageSize paper;
    QMarginsF unprintable;
    QList<QPageSize> offered;       // Queue: the paper sizes it offers
    QList<QMarginsF> offeredEdges;  // and the edges of each, where the printer names them
    // The edges the printer cannot print on for a paper of its own.
    QMarginsF EdgesOf(const QPageSize& page) const
    {
        for (int i = 0; i < offered.size() && i < offeredEdges.size(); ++i)
            if (offered[i].isEquivalentTo(page))
                return offeredEdges[i];
        return unprintable;
    }
    // Queue: the copies a job takes unless the print names them (saved for the printer or
    // instance, else the queue's default).
    int copies = 1;
    // Queue: the options saved for the printer or instance, as libcups gives them to lp (name,
    // value pairs); a print on it takes these, read once.
    QStringList saved;
    // Print: a job was made that could not be cancelled, and may stay in the queue.
    bool jobLeft = false;
    // Print: the job's creation went out without its answer, and no job of it was found and
    // cancelled: the server may have made it, or make it yet, and keep it empty.
    bool jobUnanswered = false;
    // Print: the whole document went out, but the server could not be asked what became of it.
    bool mayHavePrinted = false;
};

// The questions the program asks the print server. Each call opens a connection of its own and
// waits as long as the server keeps answering; the watch ends it after the silence bound, or at
// once on a stop. Callers ask from a worker thread (PrintQueue does).
class PLATFORM_EXPORT CupsApi {
public:
    virtual ~CupsApi();
    // The server the questions go to, as the user names it (a socket path or a host).
    virtual QString Server() = 0;
    // The printers and instances, and the default as libcups names it (lpoptions, PRINTER or
    // LPDEST, the server's default). Unknown, with its name, when the server does not know the
    // printer named default.
    virtual CupsAnswer Destinations(PrintWatch& watch) = 0;
    // Whether the queue takes jobs now (its attributes), its paper and its copies.
    // "queue/instance" names an instance of a queue, any instance of a known queue as `lp` takes
    // it. The options saved for it count as libcups gives them to `lp`.
    virtual CupsAnswer Queue(PrintWatch& watch, const QString& printer) = 0;
    // Hands a PDF file to the queue as one job, with options (name, value pairs) before the
    // ones saved for the printer or instance (saved: the queue question's answer). Found when
    // the server acknowledged the whole document and holds the job past its incoming state, or,
    // after a doubt, when the job read back has completed. Any doubt cancels the job; a job whose creation went unanswered is
    // looked up and cancelled; where none was found, the reason says it may stay.
    virtual CupsAnswer Print(PrintWatch& watch, const QString& printer, const QString& pdfFile, const QString& title,
                             const QStringList& options, const QStringList& saved) = 0;

    // Whether printer is one of the destinations listed, or an instance of a listed queue: any
    // instance of a known queue is that queue with its saved options, as lp takes it.
    static bool Lists(const QStringList& listed, const QString& printer);

    // The paper the system's print filters take when nothing names one: PAPERSIZE, the file
    // PAPERCONF names or /etc/papersize, else A4.
    static QPageSize SystemPaper();

    // The system's print server through libcups.
    static std::shared_ptr<CupsApi> System();
    // Points the calling thread's libcups at no server at all: Qt's print support, which
    // paints here, must never wait on one.
    static void KeepThreadAway();
};

} // namespace platform
