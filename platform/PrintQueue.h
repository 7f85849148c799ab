#pragma once
#include "platform/PlatformExport.h"
#include "platform/ProgramOutput.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// What the print system says about a print: asked before it, whether the printer's queue takes
// jobs; asked after it, whether it now holds the job.
struct PrintCheck {
    enum Answer { Yes, No, CannotAsk };
    Answer answer = CannotAsk;
    QString reason;   // with No: why, in words for the user
    QStringList jobs; // asked before a print: the jobs the queue held then
};

// Asks CUPS about a printer's queue through its lpstat (package cups-client). Without lpstat
// every answer is CannotAsk.
class PLATFORM_EXPORT PrintQueue {
public:
    // Runs a program and gives what it said; tests play lpstat with it.
    using Runner = std::function<ProgramOutput(const QString& program, const QStringList& arguments)>;
    explicit PrintQueue(Runner runner = {});

    PrintCheck Accepts(const QString& printer) const;
    // Yes when the queue now holds a job that `before` (the answer of Accepts) did not list.
    PrintCheck JobCreated(const QString& printer, const PrintCheck& before) const;

private:
    ProgramOutput Lpstat(const QStringList& arguments) const;
    // The jobs of the queue, from "lpstat -W all -o": completed ones too, so that a job already
    // printed still counts.
    bool Jobs(const QString& queue, QStringList& jobs, QString& reason, bool& cannotAsk) const;
    // Why lpstat failed, in words for the user.
    QString ServerReason(const ProgramOutput& failed) const;

    Runner m_run;
};

} // namespace platform
