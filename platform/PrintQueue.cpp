#include "platform/PrintQueue.h"

#include <QRegularExpression>

namespace platform {

namespace {

// A printer instance ("queue/instance") prints through its queue.
QString QueueOf(const QString& printer) { return printer.section(QLatin1Char('/'), 0, 0); }

QString FirstLine(const QString& text)
{
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            return line.trimmed();
    }
    return QString();
}

} // namespace

PrintQueue::PrintQueue(Runner runner) : m_run(std::move(runner))
{
    if (!m_run)
        m_run = [](const QString& program, const QStringList& arguments) { return RunProgram(program, arguments); };
}

ProgramOutput PrintQueue::Lpstat(const QStringList& arguments) const
{
    return m_run(QStringLiteral("lpstat"), arguments);
}

QString PrintQueue::ServerReason(const ProgramOutput& failed) const
{
    if (!failed.finished)
        return QStringLiteral("the print server did not answer");
    // A stopped server makes lpstat call every queue unknown: say what really happened.
    const ProgramOutput server = Lpstat({QStringLiteral("-r")});
    if (server.finished && server.output.contains(QStringLiteral("not running")))
        return QStringLiteral("the print server is not running");
    QString words = FirstLine(failed.errors.isEmpty() ? failed.output : failed.errors);
    words.remove(QRegularExpression(QStringLiteral("^lpstat:\\s*")));
    return words.isEmpty() ? QStringLiteral("the print server gave no answer")
                           : QStringLiteral("the print server says: ") + words;
}

bool PrintQueue::Jobs(const QString& queue, QStringList& jobs, QString& reason, bool& cannotAsk) const
{
    const ProgramOutput listed = Lpstat({QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), queue});
    cannotAsk = !listed.started;
    if (!listed.Succeeded()) {
        reason = cannotAsk ? QString() : ServerReason(listed);
        return false;
    }
    // "queue-123  user  size  date": the job's name is the first word.
    const QString prefix = queue + QLatin1Char('-');
    for (const QString& line : listed.output.split(QLatin1Char('\n'))) {
        const QString job = line.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        if (job.startsWith(prefix))
            jobs.append(job);
    }
    return true;
}

PrintCheck PrintQueue::Accepts(const QString& printer) const
{
    PrintCheck check;
    const QString queue = QueueOf(printer);
    const ProgramOutput asked = Lpstat({QStringLiteral("-a"), queue});
    if (!asked.started)
        return check;
    if (!asked.Succeeded()) {
        check.reason = ServerReason(asked);
        // A printer the server only found on the network gets its queue when it prints: until
        // then the running server calls it unknown, and nothing can be told about it.
        if (check.reason.contains(QStringLiteral("Invalid destination name"))) {
            check.reason.clear();
            return check;
        }
        check.answer = PrintCheck::No;
        return check;
    }
    // "queue accepting requests since ..." or "queue not accepting requests since ... -", with
    // the reason on the next line.
    const QStringList lines = asked.output.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith(queue + QLatin1Char(' ')))
            continue;
        const QString state = lines[i].mid(queue.size() + 1);
        if (state.startsWith(QStringLiteral("not accepting"))) {
            check.answer = PrintCheck::No;
            const QString why = i + 1 < lines.size() && lines[i + 1].startsWith(QLatin1Char('\t')) ? lines[i + 1].trimmed()
                                                                                                : QString();
            check.reason = QStringLiteral("its queue does not accept jobs");
            if (!why.isEmpty())
                check.reason += QStringLiteral(" (") + why + QLatin1Char(')');
            return check;
        }
        if (state.startsWith(QStringLiteral("accepting"))) {
            bool cannotAsk = false;
            if (Jobs(queue, check.jobs, check.reason, cannotAsk)) {
                check.answer = PrintCheck::Yes;
            } else if (!cannotAsk) {
                check.answer = PrintCheck::No;
            }
            return check;
        }
    }
    // Words this program cannot read: it cannot tell.
    return check;
}

PrintCheck PrintQueue::JobCreated(const QString& printer, const PrintCheck& before) const
{
    if (before.answer != PrintCheck::Yes)
        return before;
    PrintCheck check;
    bool cannotAsk = false;
    QStringList jobs;
    if (!Jobs(QueueOf(printer), jobs, check.reason, cannotAsk)) {
        check.answer = cannotAsk ? PrintCheck::CannotAsk : PrintCheck::No;
        return check;
    }
    for (const QString& job : jobs) {
        if (!before.jobs.contains(job)) {
            check.answer = PrintCheck::Yes;
            return check;
        }
    }
    check.answer = PrintCheck::No;
    check.reason = QStringLiteral("the print server shows no job for this print");
    return check;
}

} // namespace platform
