#include "platform/PrintQueue.h"
#include "platform/TimeSource.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {

namespace {

// A printer instance ("queue/instance") prints through its queue.
QString QueueOf(const QString& printer) { return printer.section(QLatin1Char('/'), 0, 0); }

// A question on its worker thread; the worker may outlive the wait for it.
struct Pending {
    std::mutex lock;
    std::condition_variable answered;
    bool done = false;
    CupsAnswer answer;
    QEventLoop* loop = nullptr; // the wait still running, if any
};

// The server may list a job under its name as it stands in the job's URI: percent-encoded.
bool SameQueue(const QString& listed, const QString& queue)
{
    return listed.isEmpty() || listed.compare(queue, Qt::CaseInsensitive) == 0
           || QUrl::fromPercentEncoding(listed.toUtf8()).compare(queue, Qt::CaseInsensitive) == 0;
}

QString WithWhy(const QString& reason, const QString& why)
{
    return why.trimmed().isEmpty() ? reason : reason + QStringLiteral(" (") + why.trimmed() + QLatin1Char(')');
}

} // namespace

PrintQueue::PrintQueue(std::shared_ptr<CupsApi> cups, int timeoutMs)
    : m_cups(cups ? std::move(cups) : CupsApi::System(timeoutMs)), m_timeoutMs(timeoutMs)
{
}

PrintCheck PrintQueue::Ask(const std::function<CupsAnswer(CupsApi&)>& question, CupsAnswer& answer) const
{
    auto pending = std::make_shared<Pending>();
    QEventLoop loop;
    const bool withEvents = QCoreApplication::instance() != nullptr;
    if (withEvents)
        pending->loop = &loop;
    std::thread([pending, cups = m_cups, question] {
        CupsAnswer got = question(*cups);
        const std::lock_guard<std::mutex> guard(pending->lock);
        pending->answer = std::move(got);
        pending->done = true;
        if (pending->loop)
            QMetaObject::invokeMethod(pending->loop, "quit", Qt::QueuedConnection);
        pending->answered.notify_all();
    }).detach();
    if (withEvents) {
        // The windows keep painting; a click waits until the answer is in.
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        limit.start(TimeSource::Instance().TimerInterval(m_timeoutMs));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    std::unique_lock<std::mutex> guard(pending->lock);
    if (!withEvents)
        pending->answered.wait_for(guard, std::chrono::milliseconds(m_timeoutMs), [&] { return pending->done; });
    pending->loop = nullptr;
    PrintCheck check;
    if (!pending->done) {
        check.reason = QStringLiteral("the print server did not answer within %1 seconds").arg((m_timeoutMs + 999) / 1000);
        return check;
    }
    answer = pending->answer;
    switch (answer.status) {
    case CupsAnswer::Found: check.answer = PrintCheck::Yes; break;
    case CupsAnswer::Unknown:
        check.answer = PrintCheck::No;
        check.reason = QStringLiteral("the print server does not know this printer");
        break;
    case CupsAnswer::NoServer: check.reason = QStringLiteral("the print server is not running"); break;
    case CupsAnswer::Failed:
        check.reason = answer.error.trimmed().isEmpty() ? QStringLiteral("the print server gave no answer")
                                                        : QStringLiteral("the print server says: ") + answer.error.trimmed();
        break;
    }
    return check;
}

PrintCheck PrintQueue::Jobs(const QString& queue, QList<int>& jobs) const
{
    CupsAnswer listed;
    PrintCheck check = Ask([queue](CupsApi& cups) { return cups.Jobs(queue); }, listed);
    for (const CupsAnswer::Job& job : listed.jobs) {
        if (SameQueue(job.dest, queue))
            jobs.append(job.id);
    }
    return check;
}

PrintCheck PrintQueue::Accepts(const QString& printer) const
{
    const QString queue = QueueOf(printer);
    CupsAnswer dest;
    PrintCheck check = Ask([queue](CupsApi& cups) { return cups.Destination(queue); }, dest);
    if (check.answer != PrintCheck::Yes)
        return check;
    const QString why = dest.options.value(QStringLiteral("printer-state-message"));
    if (dest.options.value(QStringLiteral("printer-is-accepting-jobs")).compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        check.answer = PrintCheck::No;
        check.reason = WithWhy(QStringLiteral("its queue does not accept jobs"), why);
        return check;
    }
    // A stopped printer would hold the job and print it whenever someone starts it again.
    if (dest.options.value(QStringLiteral("printer-state")).trimmed() == QLatin1String("5")) {
        check.answer = PrintCheck::No;
        check.reason = WithWhy(QStringLiteral("the printer is stopped"), why);
        return check;
    }
    QList<int> jobs;
    check = Jobs(queue, jobs);
    check.jobs = jobs;
    return check;
}

PrintCheck PrintQueue::JobCreated(const QString& printer, const PrintCheck& before) const
{
    if (before.answer != PrintCheck::Yes)
        return before;
    QList<int> jobs;
    PrintCheck check = Jobs(QueueOf(printer), jobs);
    if (check.answer != PrintCheck::Yes)
        return check;
    for (int job : jobs) {
        if (!before.jobs.contains(job))
            return check;
    }
    check.answer = PrintCheck::No;
    check.reason = QStringLiteral("the print server shows no job for this print");
    return check;
}

} // namespace platform
