#pragma once
// Desktop helpers (the mail program, the web page opener) are handed their work and left to run.
#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// Starts program with args in a session of its own, detached from this program, and gives it
// momentMs of the program's clock to fail; the windows take their input at once meanwhile,
// nothing is held back to be carried out later. False when it could not be started or ended
// within the moment with a failure (a status not 0, a signal); one still running then has taken
// the work and runs on by itself, past this program's own end.
bool HandOver(const QString& program, const QList<QByteArray>& args, int momentMs);

} // namespace platform
