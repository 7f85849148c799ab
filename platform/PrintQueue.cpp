#include "platform/PrintQueue.h"
#include "platform/TimeSource.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {

namespace {

// A question on its worker thread; the worker may outlive the wait for it.
struct Pending {
    std::mutex lock;
    std::condition_variable answered;
    bool done = false;
    CupsAnswer answer;
    QEventLoop* loop = nullptr; // the wait still running, if any
};

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
        check.reason = QStringLiteral("the print server %1 did not answer within %2 seconds")
                           .arg(m_cups->Server())
                           .arg((m_timeoutMs + 999) / 1000);
        return check;
    }
    answer = pending->answer;
    switch (answer.status) {
    case CupsAnswer::Found: check.answer = PrintCheck::Yes; break;
    case CupsAnswer::Unknown:
        check.answer = PrintCheck::No;
        check.reason = QStringLiteral("the print server does not know this printer");
        break;
    case CupsAnswer::NoServer: check.reason = QStringLiteral("no print server answers at ") + m_cups->Server(); break;
    case CupsAnswer::Failed:
        check.reason = answer.error.trimmed().isEmpty() ? QStringLiteral("the print server gave no answer")
                                                        : QStringLiteral("the print server says: ") + answer.error.trimmed();
        break;
    }
    return check;
}

PrintCheck PrintQueue::Default(QString& printer) const
{
    CupsAnswer dest;
    PrintCheck check = Ask([](CupsApi& cups) { return cups.DefaultDestination(); }, dest);
    printer = dest.name;
    if (check.answer == PrintCheck::No) {
        // A server without a default printer answered all the same.
        check.answer = printer.isEmpty() ? PrintCheck::Yes : PrintCheck::No;
        check.reason = printer.isEmpty() ? QString()
                                         : QStringLiteral("the print server does not know the printer \"%1\"").arg(printer);
    }
    return check;
}

PrintCheck PrintQueue::Submit(const QString& printer, const QString& pdfFile, const QString& title,
                              const QStringList& options) const
{
    CupsAnswer made;
    PrintCheck check = Ask([=](CupsApi& cups) { return cups.Submit(printer, pdfFile, title, options); }, made);
    if (check.answer != PrintCheck::Yes)
        return check;
    const QString why = made.options.value(QStringLiteral("printer-state-message"));
    const QString accepting = made.options.value(QStringLiteral("printer-is-accepting-jobs"));
    if (accepting.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        check.answer = PrintCheck::No;
        check.reason = WithWhy(QStringLiteral("its queue does not accept jobs"), why);
    } else if (made.options.value(QStringLiteral("printer-state")).trimmed() == QLatin1String("5")) {
        // A stopped printer would hold the job and print it whenever someone starts it again.
        check.answer = PrintCheck::No;
        check.reason = WithWhy(QStringLiteral("the printer is stopped"), why);
    }
    return check;
}

} // namespace platform
