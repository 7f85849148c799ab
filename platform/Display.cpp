#include "platform/Display.h"

#include <QGuiApplication>

namespace platform {

namespace {
bool g_unwatched = false;

bool Named(const char* variable) { return !qEnvironmentVariable(variable).trimmed().isEmpty(); }

bool HasArgument(const QStringList& args, const char* name)
{
    const QString single = QLatin1Char('-') + QLatin1String(name);
    return args.contains(single) || args.contains(QLatin1Char('-') + single);
}
} // namespace

Display::Kind Display::Find(const QStringList& args)
{
    if (Named("QT_QPA_PLATFORM") || HasArgument(args, "platform"))
        return Kind::Chosen;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!Named("DISPLAY") && !Named("WAYLAND_DISPLAY") && !HasArgument(args, "display"))
        return Kind::Absent;
#endif
    return Kind::Present;
}

void Display::UseOffscreen() { qputenv("QT_QPA_PLATFORM", "offscreen"); }

bool Display::Screenless()
{
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

void Display::SetUnwatched(bool unwatched) { g_unwatched = unwatched; }

bool Display::Unwatched() { return g_unwatched; }

} // namespace platform
