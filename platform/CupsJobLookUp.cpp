#include "platform/CupsJobLookUp.h"

#include <iterator>
#include <utility>

namespace platform::cupsdetail {

namespace {

struct Job {
    int id = 0, created = 0;
    QString name, user;
};

// The user's unfinished jobs on the queue; false when the server would not list them.
bool Unfinished(Connection& http, const JobLookUp& lookUp, QList<Job>& found)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    AddIdentity(request, lookUp.uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "not-completed");
    ippAddBoolean(request, IPP_TAG_OPERATION, "my-jobs", 1);
    static const char* const wanted[] = {"job-id", "job-name", "time-at-creation", "job-originating-user-name"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(std::size(wanted)), nullptr,
                  wanted);
    ipp_t* jobs = http.Ask(request, lookUp.resource.constData());
    if (!Succeeded(jobs)) {
        // A server with no such jobs may say that none were found.
        const bool none = jobs && ippGetStatusCode(jobs) == IPP_STATUS_ERROR_NOT_FOUND;
        ippDelete(jobs);
        return none;
    }
    // Each job's attributes form a group of their own.
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
    return true;
}

bool OfThisPrint(const Job& job, const JobLookUp& lookUp)
{
    return job.id > 0 && job.name == lookUp.title && job.user == Text(cupsUser());
}

} // namespace

void NoteUnfinished(Connection& http, JobLookUp& lookUp)
{
    QList<Job> found;
    if (!Unfinished(http, lookUp, found))
        return;
    for (const Job& job : std::as_const(found))
        if (OfThisPrint(job, lookUp))
            lookUp.before << job.id;
}

bool CancelUnanswered(const PrintWatch& given, const JobLookUp& lookUp)
{
    PrintWatch watch(given.SilenceMs());
    CupsAnswer reached;
    Connection http(watch, reached);
    QList<Job> found;
    if (!http || !Unfinished(http, lookUp, found))
        return false;
    bool cancelled = false;
    for (const Job& job : std::as_const(found)) {
        if (!OfThisPrint(job, lookUp) || job.created < lookUp.since || lookUp.before.contains(job.id))
            continue;
        ipp_t* cancel = http.Ask(JobRequest(IPP_OP_CANCEL_JOB, lookUp.uri, job.id), lookUp.resource.constData());
        if (!Succeeded(cancel)) {
            ippDelete(cancel);
            return false;
        }
        ippDelete(cancel);
        cancelled = true;
    }
    return cancelled;
}

} // namespace platform::cupsdetail
