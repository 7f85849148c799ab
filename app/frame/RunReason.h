#pragma once
#include "platform/MessagePresenter.h"
#include "platform/StatusSink.h"

#include <QString>

// A run with -t or -p has no window to read: this remembers what ended it, for the one line a
// script gets on standard error. It stands in front of the program's message presenter while
// it lives and passes every box on.
//
// The cause is the latest box that stopped the run: a box with an OK button alone, or a
// question answered with anything but Yes or OK ("... answered No"). An information box after
// a question that already stopped the run does not replace it. Where a run ends without a
// box, the frame notes what ended it; a box that follows a note at once is joined to it. With
// neither, the latest status text names it (a print from the command line shows no box).
class RunReason : public platform::MessagePresenter, public platform::StatusSink {
public:
    RunReason();
    ~RunReason() override;
    RunReason(const RunReason&) = delete;
    RunReason& operator=(const RunReason&) = delete;

    int Show(const QString& text, int style, const QString& caption) override;
    void Beep() override;
    void StopRestoreTimer(int intervalMs) override { m_sink.StopRestoreTimer(intervalMs); }
    void SetStatusText(const QString& text) override;
    QString StatusText() override { return m_sink.StatusText(); }

    void Note(const QString& what);
    // Boxes shown so far; a caller compares two counts to learn whether one came between.
    int Shown() const { return m_shown; }
    // From here on (the shut-down's questions) nothing changes the cause.
    void Freeze() { m_frozen = true; }
    QString Line() const { return m_line.isEmpty() ? m_status : m_line; }

    static QString AnswerName(int answer);
    // What ended a run whose port dialog was cancelled; with settings that were not read,
    // their notice tells why no port was known.
    static QString PortDialogCancelled();
    // A message's text on one line, in quotes.
    static QString Quoted(const QString& text);

private:
    platform::MessagePresenter& m_next;
    platform::StatusSink& m_sink;
    QString m_line;
    QString m_status;
    int m_shown = 0;
    bool m_noted = false;   // the line is a note the next stopping box belongs to
    bool m_stopped = false; // the line is a question answered with a stop
    bool m_frozen = false;
};
