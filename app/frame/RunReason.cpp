#include "app/frame/RunReason.h"

#include "platform/Display.h"
#include "platform/SettingsStore.h"

using namespace platform;

RunReason::RunReason()
    : m_next(MessagePresenter::Instance())
    , m_sink(StatusSink::Instance())
{
    MessagePresenter::SetInstance(this);
    StatusSink::SetInstance(this);
}

RunReason::~RunReason()
{
    if (&MessagePresenter::Instance() == this)
        MessagePresenter::SetInstance(&m_next);
    if (&StatusSink::Instance() == this)
        StatusSink::SetInstance(&m_sink);
}

QString RunReason::AnswerName(int answer)
{
    switch (answer) {
    case MsgResult::OK: return QStringLiteral("OK");
    case MsgResult::Cancel: return QStringLiteral("Cancel");
    case MsgResult::Abort: return QStringLiteral("Abort");
    case MsgResult::Retry: return QStringLiteral("Retry");
    case MsgResult::Ignore: return QStringLiteral("Ignore");
    case MsgResult::Yes: return QStringLiteral("Yes");
    case MsgResult::No: return QStringLiteral("No");
    default: return QString::number(answer);
    }
}

QString RunReason::Quoted(const QString& text) { return QLatin1Char('"') + text.simplified() + QLatin1Char('"'); }

QString RunReason::PortDialogCancelled()
{
    QString what = Display::Unwatched() ? QStringLiteral("no port is chosen, and without a display the port dialog cannot ask for one")
                                        : QStringLiteral("the port dialog was cancelled");
    if (const QString notice = SettingsStore::Instance().Notice(); !notice.isEmpty())
        what += QStringLiteral("; no port was read from the settings: ") + Quoted(notice);
    return what;
}

int RunReason::Show(const QString& text, int style, const QString& caption)
{
    const int answer = m_next.Show(text, style, caption);
    ++m_shown;
    if (m_frozen)
        return answer;
    const bool question = (style & 0x0F) != MsgStyle::OKOnly;
    const bool goesOn = answer == MsgResult::Yes || answer == MsgResult::OK || answer == MsgResult::Retry
        || answer == MsgResult::Ignore;
    if (question && goesOn) {
        m_noted = false;
        return answer;
    }
    // Told after a question already stopped the run (an older unit's notice that follows).
    if (!question && m_stopped && (style & 0x70) == MsgStyle::Information)
        return answer;
    QString line = Quoted(text);
    if (question)
        line += QStringLiteral(" answered ") + AnswerName(answer);
    m_line = m_noted ? m_line + QStringLiteral(": ") + line : line;
    m_noted = false;
    m_stopped = question;
    return answer;
}

void RunReason::Beep() { m_next.Beep(); }

void RunReason::SetStatusText(const QString& text)
{
    m_sink.SetStatusText(text);
    if (!m_frozen && !text.simplified().isEmpty())
        m_status = text.simplified();
}

void RunReason::Note(const QString& what)
{
    if (m_frozen || what.isEmpty())
        return;
    m_line = what;
    m_noted = true;
    m_stopped = false;
}
