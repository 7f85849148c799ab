// Real mail program and screen work area.
#include "platform/InstanceSlot.h"
#include "platform/Mailer.h"
#include "platform/ScreenInfo.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QStringList>

namespace platform {

namespace {

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
        return QProcess::startDetached(program, args);
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
ScreenInfo& ScreenInfo::Instance() { return g_screen.get(); }
void ScreenInfo::SetInstance(ScreenInfo* info) { g_screen.current = info; }

} // namespace platform
