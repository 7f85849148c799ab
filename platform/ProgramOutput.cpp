#include "platform/ProgramOutput.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace platform {

ProgramOutput RunProgram(const QString& program, const QStringList& arguments, int timeoutMs)
{
    ProgramOutput out;
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return out;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C"));
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(path, arguments);
    if (!process.waitForStarted(timeoutMs))
        return out;
    out.started = true;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return out;
    }
    out.finished = process.exitStatus() == QProcess::NormalExit;
    out.exitCode = process.exitCode();
    out.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    out.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return out;
}

} // namespace platform
