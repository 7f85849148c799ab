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
    int signal = 0; // the stop signal that ended the wait, if one did
};

// Asks the print server off the window's thread and waits as long as it keeps answering: a
// silence of kTimeoutMs ends the question. Meanwhile the windows are painted and user input
// is dropped; after kProgressMs a progress box with Cancel comes up over the window on show,
// and with no window on show (-p) one line on standard error says after kTellMs what the print
// waits for. Cancel, a closed window and a stop signal end the wait at once; the worker is
// always waited for, so nothing it does outlives the question.
class PLATFORM_EXPORT PrintQueue {
public:
    static constexpr int kTimeoutMs = 5000;
    static constexpr int kProgressMs = 500;
    static constexpr int kTellMs = 3000;
    explicit PrintQueue(std::shared_ptr<CupsApi> cups = {});

    // The printers and instances, and the default ("" for none): No when the server does not
    // know the printer named default (printer then names it).
    PrintCheck Destinations(QStringList& names, QString& printer) const;
    // Whether the queue takes jobs now, with its paper: No when it does not accept jobs, the
    // printer is stopped, or the server does not know it.
    PrintCheck Queue(const QString& printer, CupsAnswer& queue) const;
    // Hands the PDF file to the queue as one job, with the options saved for it (the queue
    // question's answer): Yes only when the server holds it.
    PrintCheck Print(const QString& printer, const QString& pdfFile, const QString& title, const QStringList& options,
                     const QStringList& saved) const;

private:
    PrintCheck Ask(const QString& printer, const std::function<CupsAnswer(CupsApi&, PrintWatch&)>& question,
                   CupsAnswer& answer) const;

    std::shared_ptr<CupsApi> m_cups;
};

} // namespace platform
