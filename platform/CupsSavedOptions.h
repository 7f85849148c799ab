#pragma once
// The options saved for a destination, as libcups gives them to lp.
#include "platform/CupsConnection.h"

#include <QList>
#include <QPageSize>
#include <QStringList>

namespace platform::cupsdetail {

// A printer or "queue/instance" as lp takes it: libcups' destination, asked on the program's
// own connection, with the queue's defaults from the server and the lpoptions lines that name
// exactly it. Any instance of a known queue is one. Read once for each print, in the queue
// question: its answer carries the saved options to the job.
class SavedDestination {
public:
    SavedDestination(Connection& http, const QString& printer);
    ~SavedDestination();
    SavedDestination(const SavedDestination&) = delete;
    SavedDestination& operator=(const SavedDestination&) = delete;
    cups_dest_t* get() const { return m_dest; }
    explicit operator bool() const { return m_dest != nullptr; }

    // Its saved options, as name, value pairs.
    QStringList Options() const;
    // The paper saved for it; invalid when none.
    QPageSize Paper() const;
    // The copies a job takes unless the print names them.
    int Copies() const;

private:
    cups_dest_t* m_dest = nullptr;
};

// The print's own options, then the saved ones (name, value pairs) they do not set, as lp folds
// them; a paper chosen for the print replaces every saved one.
int WithSaved(const QStringList& saved, int count, cups_option_t** list);

// One "Dest" or "Default" line of an lpoptions file: "name[/instance] options".
struct LpoptionsLine {
    bool byDefault = false;
    QByteArray name, instance; // instance empty for the queue itself
    QString Destination() const;
};
// The lines of the lpoptions files in the order libcups reads them: the server root's, then the
// user's. Only the list of printers reads them: an instance is listed where lpoptions keeps it.
QList<LpoptionsLine> ReadLpoptions();
// The default the user set through the environment, as libcups reads it.
QString UserDefault();

} // namespace platform::cupsdetail
