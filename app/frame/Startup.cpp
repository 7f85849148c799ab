#include "app/frame/Startup.h"

#include "app/frame/frmMain.h"
#include "extra/extra.h"
#include "platform/KeyTracker.h"
#include "platform/MessagePresenter.h"
#include "platform/SettingsStore.h"
#include "platform/StatusSink.h"

#include <QApplication>

#include <cstdio>
#include <memory>

namespace {

// A run with -t or -p has no window to read: it remembers the latest status text and the
// latest plain message (no question), so the script learns why it did not end with 0.
class LastWords : public platform::StatusSink, public platform::MessagePresenter {
public:
    LastWords()
        : m_sink(platform::StatusSink::Instance())
        , m_presenter(platform::MessagePresenter::Instance())
    {
        platform::StatusSink::SetInstance(this);
        platform::MessagePresenter::SetInstance(this);
    }
    ~LastWords() override
    {
        platform::StatusSink::SetInstance(&m_sink);
        platform::MessagePresenter::SetInstance(&m_presenter);
    }
    void StopRestoreTimer(int intervalMs) override { m_sink.StopRestoreTimer(intervalMs); }
    void SetStatusText(const QString& text) override
    {
        Remember(text);
        m_sink.SetStatusText(text);
    }
    QString StatusText() override { return m_sink.StatusText(); }
    int Show(const QString& text, int style, const QString& caption) override
    {
        // A question asked at shut-down says nothing about why the command failed.
        if ((style & 0x0F) == platform::MsgStyle::OKOnly)
            Remember(text);
        return m_presenter.Show(text, style, caption);
    }
    void Beep() override { m_presenter.Beep(); }
    QString Text() const { return m_text; }

private:
    void Remember(const QString& text)
    {
        const QString line = text.simplified();
        if (!line.isEmpty())
            m_text = line;
    }
    platform::StatusSink& m_sink;
    platform::MessagePresenter& m_presenter;
    QString m_text;
};

QString ExitText(int code)
{
    switch (code) {
    case frmMain::ExitNoLanguage: return QStringLiteral("the language library could not be loaded");
    case frmMain::ExitFileNotLoadable: return QStringLiteral("the setup file could not be loaded");
    case frmMain::ExitTransmitFailed: return QStringLiteral("the setup was not transmitted");
    case frmMain::ExitPrintFailed: return QStringLiteral("the setup was not printed");
    case frmMain::ExitNoDatabase: return QStringLiteral("the reference database could not be opened");
    case frmMain::ExitStartupError: return QStringLiteral("an error stopped the start-up");
    default: return QStringLiteral("it failed");
    }
}

// One line on standard error for a script: the exit status, what failed, the last message.
int Finish(int code, const LastWords* words)
{
    if (code != frmMain::ExitOk && words) {
        QString line = QStringLiteral("Quarno: exit %1, %2.").arg(code).arg(ExitText(code));
        if (!words->Text().isEmpty())
            line += QStringLiteral(" Last message: ") + words->Text();
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
        std::fflush(stderr);
    }
    return code;
}

} // namespace

int RunQuarno(QApplication& app)
{
    platform::KeyTracker::Install();
    QStringList args = app.arguments();
    if (!args.isEmpty())
        args.removeFirst();
    frmMain window;
    const QString line = extra::CommandLine(args);
    std::unique_ptr<LastWords> words;
    if (extra::HasOption(line, QStringLiteral("-t")) || extra::HasOption(line, QStringLiteral("-p")))
        words = std::make_unique<LastWords>();
    if (!window.Form_Load(args))
        return Finish(window.ExitStatus(), words.get());
    words.reset();
    // A settings notice said during start-up was cleared when the first setup was shown.
    if (const QString notice = platform::SettingsStore::Instance().Notice(); !notice.isEmpty())
        platform::StatusSink::Instance().SetStatusText(notice);
    window.show();
    QObject::connect(&window, &frmMain::Unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    app.exec();
    return window.ExitStatus();
}
