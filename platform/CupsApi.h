#pragma once
#include "platform/PlatformExport.h"

#include <QList>
#include <QMap>
#include <QString>

#include <memory>

namespace platform {

// One answer of the print server, as libcups gave it.
struct CupsAnswer {
    enum Status {
        Found,    // the destination is known (Destination) or its jobs were listed (Jobs)
        Unknown,  // the server does not know the destination
        NoServer, // no print server runs here
        Failed,   // the server could not be asked; error says why
    };
    struct Job {
        int id = 0;
        QString dest; // the destination the job is listed under
    };
    Status status = Failed;
    QString error;
    QMap<QString, QString> options; // Destination: its attributes ("printer-state", ...)
    QList<Job> jobs;                // Jobs: every job of the destination, completed ones too
};

// The questions the program asks the print server. Each call may block as long as the server
// takes: callers ask from a worker thread (PrintQueue does).
class PLATFORM_EXPORT CupsApi {
public:
    virtual ~CupsApi();
    virtual CupsAnswer Destination(const QString& queue) = 0;
    virtual CupsAnswer Jobs(const QString& queue) = 0;

    // The system's print server through libcups; timeoutMs bounds its connection and reads.
    static std::shared_ptr<CupsApi> System(int timeoutMs);
};

} // namespace platform
