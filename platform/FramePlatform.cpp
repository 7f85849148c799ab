// Real mail program and screen work area.
#include "platform/HandOver.h"
#include "platform/InstanceSlot.h"
#include "platform/Mailer.h"
#include "platform/ScreenInfo.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QStringList>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// The mail program has this long to fail. One still running then has taken the message: some
// keep running until the user closes their mail window, which may take hours.
constexpr int kMailerMomentMs = 2000;

class XdgMailer : public Mailer {
public:
    bool Available() override { return !QStandardPaths::findExecutable(QStringLiteral("xdg-email")).isEmpty(); }

    bool Compose(const MailMessage& message) override
    {
#ifdef Q_OS_UNIX
        const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
        if (program.isEmpty())
            return false;
        // Arguments go as a list, never through a shell, so no file name can inject a command.
        QList<QByteArray> args{"--utf8", "--subject", message.subject.toUtf8(), "--body", message.body.toUtf8()};
        if (!message.attachmentPath.isEmpty())
            args << "--attach" << QFile::encodeName(message.attachmentPath);
        // xdg-email says by its exit status whether a mail program took the message.
        return HandOver(program, args, kMailerMomentMs);
#else
        Q_UNUSED(message);
        return false;
#endif
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
