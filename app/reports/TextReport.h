#pragma once
// The plain-text setup report: labelled lines in fixed columns, Windows-1252, CR LF.
#include <QByteArray>
#include <QString>

class MainState;

namespace reports {

// The four backup-system switch positions S1..S4 of a setup.
struct BackupSwitchTexts {
    QString s1, s2, s3, s4;
};

// The whole report of the open setup as the bytes of the file.
QByteArray BuildTextReport(MainState& state);
// Writes the report to fileName through a temporary file; on failure the old file stays and
// status 237 is shown. Opens the finished file in the text viewer in debug mode.
bool WriteTextReport(MainState& state, const QString& fileName);

} // namespace reports
