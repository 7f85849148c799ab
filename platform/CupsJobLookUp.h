#pragma once
// A job the server may have made although the answer to its creation never came: looked up by
// the user's unfinished jobs of the print's name, and cancelled.
#include "platform/CupsConnection.h"

#include <QList>

namespace platform::cupsdetail {

// The queue and the print a look-up is about.
struct JobLookUp {
    QByteArray uri, resource;
    QString title;
    int since = 0;      // the server's clock before the job's creation
    QList<int> before;  // the user's unfinished jobs of this name then, left alone
};

// Notes, on the print's connection before the job is made, which jobs of the print's name the
// user already has unfinished on the queue, so that the look-up never takes one of them.
void NoteUnfinished(Connection& http, JobLookUp& lookUp);

// After a job-creation request went out without its answer: the user's unfinished jobs of this
// name made since, on a fresh bounded connection that a stop does not cut short. True only when
// such a job was found and cancelled; otherwise the server may still make it, or keep it, empty.
bool CancelUnanswered(const PrintWatch& given, const JobLookUp& lookUp);

} // namespace platform::cupsdetail
