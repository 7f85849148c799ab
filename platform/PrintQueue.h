#pragma once
#include "platform/CupsApi.h"
#include "platform/PlatformExport.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

namespace platform {

// What the print system says about a print: asked before it, whether the printer's queue takes
// jobs; asked after it, whether it now holds the job.
struct PrintCheck {
    enum Answer { Yes, No, CannotAsk };
    Answer answer = CannotAsk;
    QString reason; // unless Yes: why, in words for the user
    QList<int> jobs; // asked before a print: the jobs the queue held then
};

// Asks CUPS about a printer's queue. Each question runs on a worker thread and is given up after
// timeoutMs of the program's clock; meanwhile the windows are repainted, but take no input.
// Whatever the server leaves unsaid counts against the print: only a job seen is a print.
class PLATFORM_EXPORT PrintQueue {
public:
    static constexpr int kTimeoutMs = 5000;
    explicit PrintQueue(std::shared_ptr<CupsApi> cups = {}, int timeoutMs = kTimeoutMs);

    PrintCheck Accepts(const QString& printer) const;
    // Yes when the queue now holds a job that `before` (the answer of Accepts) did not list.
    PrintCheck JobCreated(const QString& printer, const PrintCheck& before) const;

private:
    // One question, bounded in time; CannotAsk with the reason when it got no useful answer.
    PrintCheck Ask(const std::function<CupsAnswer(CupsApi&)>& question, CupsAnswer& answer) const;
    // The ids of the queue's jobs; completed ones too, so that a job already printed counts.
    PrintCheck Jobs(const QString& queue, QList<int>& jobs) const;

    std::shared_ptr<CupsApi> m_cups;
    int m_timeoutMs;
};

} // namespace platform
