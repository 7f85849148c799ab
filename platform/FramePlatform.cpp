// Real mail program and screen work area.
#include "platform/InstanceSlot.h"
#include "platform/Mailer.h"
#include "platform/ScreenInfo.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QEventLoop>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

constexpr int kMailerWaitMs = 30000;

class XdgMailer : public Mailer {
public:
    bool Available() override { return !QStandardPaths::findExecutable(QStringLiteral("xdg-email")).isEmpty(); }

    bool Compose(const MailMessage& message) override
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
        if (program.isEmpty())
            return false;
        // Arguments go as a list, never through a shell, so no file name can inject a command.
        QStringList args{QStringLiteral("--utf8"), QStringLiteral("--subject"), message.subject,
                         QStringLiteral("--body"), message.body};
        if (!message.attachmentPath.isEmpty())
            args << QStringLiteral("--attach") << message.attachmentPath;
        // xdg-email reports by its exit status whether a mail program took the message. Some
        // mail programs keep it running until their window closes: past the bound it counts as
        // started and is left to run. The window keeps painting meanwhile.
        auto* process = new QProcess;
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                process->deleteLater();
        });
        QEventLoop loop;
        bool ended = false;
        bool failed = false;
        QObject::connect(process, &QProcess::finished, &loop, [&](int code, QProcess::ExitStatus status) {
            ended = true;
            failed = status != QProcess::NormalExit || code != 0;
            loop.quit();
        });
        QObject::connect(process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                ended = failed = true;
                loop.quit();
            }
        });
        QTimer::singleShot(kMailerWaitMs, &loop, &QEventLoop::quit);
        process->start(program, args);
        if (!ended)
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        return !failed;
    }
};

class RealScreenInfo : public ScreenInfo {
public:
    QRect WorkArea() override
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            if (QScreen* screen = QGuiApplication::primaryScreen())
                return screen->availableGeometry();
        }
        return QRect(0, 0, 1024, 768);
    }
};

InstanceSlot<Mailer, XdgMailer> g_mailer;
InstanceSlot<ScreenInfo, RealScreenInfo> g_screen;

} // namespace

Mailer::~Mailer() = default;
Mailer& Mailer::Instance() { return g_mailer.get(); }
void Mailer::SetInstance(Mailer* mailer) { g_mailer.current = mailer; }

ScreenInfo::~ScreenInfo() = default;
QMargins ScreenInfo::FrameMargins(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}
void ScreenInfo::MoveFrame(QWidget& window, const QPoint& frameTopLeft)
{
    // A top-level move is frame-inclusive: the window system asks for the frame's position.
    window.move(frameTopLeft);
}
ScreenInfo& ScreenInfo::Instance() { return g_screen.get(); }
void ScreenInfo::SetInstance(ScreenInfo* info) { g_screen.current = info; }

} // namespace platform
