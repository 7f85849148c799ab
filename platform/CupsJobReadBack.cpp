#include "platform/CupsJobReadBack.h"

namespace platform {

namespace cupsdetail {

namespace {

ipp_t* StateRequest(const QByteArray& uri, int job)
{
    ipp_t* request = JobRequest(IPP_OP_GET_JOB_ATTRIBUTES, uri, job);
    static const char* const wanted[] = {"job-state", "job-state-reasons"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
    return request;
}

} // namespace

bool Held(Connection& http, const QByteArray& uri, const QByteArray& resource, int job, CupsAnswer& answer)
{
    PrintWatch& watch = http.Watch();
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

void Settle(const PrintWatch& given, const QByteArray& uri, const QByteArray& resource, int job, bool whole,
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

} // namespace cupsdetail

JobRead ReadJob(ipp_t* response)
{
    ipp_attribute_t* state = ippFindAttribute(response, "job-state", IPP_TAG_ENUM);
    ipp_attribute_t* reasons = ippFindAttribute(response, "job-state-reasons", IPP_TAG_KEYWORD);
    bool incoming = false;
    for (int i = 0; reasons && i < ippGetCount(reasons); ++i)
        incoming = incoming || cupsdetail::Text(ippGetString(reasons, i, nullptr)) == QLatin1String("job-incoming");
    const int value = state ? ippGetInteger(state, 0) : 0;
    if (value == IPP_JSTATE_COMPLETED)
        return JobRead::Completed;
    if (value == IPP_JSTATE_CANCELED || value == IPP_JSTATE_ABORTED)
        return JobRead::Ended;
    return !state || incoming ? JobRead::Unconfirmed : JobRead::Held;
}

} // namespace platform
