#pragma once
#include "platform/CupsApi.h"
#include "platform/PlatformExport.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace platform {

// What the print system says about a print: whether it answers, and whether it made the job.
struct PrintCheck {
    enum Answer { Yes, No, CannotAsk };
    Answer answer = CannotAsk;
    QString reason; // unless Yes: why, in words for the user
};

// Asks CUPS for the default printer and hands a queue the job. Each question runs on a worker thread
// and is given up after timeoutMs of the program's clock; meanwhile the windows are repainted,
// but take no input. Whatever the server leaves unsaid counts against the print: only a job
// made is a print.
class PLATFORM_EXPORT PrintQueue {
public:
    static constexpr int kTimeoutMs = 5000;
    explicit PrintQueue(std::shared_ptr<CupsApi> cups = {}, int timeoutMs = kTimeoutMs);

    // Whether the server answers, and the printer it names default ("" for none): No when it
    // does not know the printer named default.
    PrintCheck Default(QString& printer) const;
    // Hands the PDF file to the printer's queue; Yes once the server made the job,
    // No when the queue does not accept jobs or the printer is stopped.
    PrintCheck Submit(const QString& printer, const QString& pdfFile, const QString& title, const QStringList& options) const;

private:
    // One question, bounded in time; CannotAsk with the reason when it got no useful answer.
    PrintCheck Ask(const std::function<CupsAnswer(CupsApi&)>& question, CupsAnswer& answer) const;

    std::shared_ptr<CupsApi> m_cups;
    int m_timeoutMs;
};

} // namespace platform
