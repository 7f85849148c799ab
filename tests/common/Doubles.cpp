#include "tests/common/Doubles.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace testing_doubles {

int ScriptedPresenter::Show(const QString& text, int style, const QString& caption)
{
    shown.append({text, style, caption});
    if (answers.isEmpty())
        return platform::MsgResult::OK;
    return answers.takeFirst();
}

void SteppedTime::Wait(int ms)
{
    waits.append(ms);
    ProcessEvents();
    if (ms > 0)
        now += ms;
}

void SteppedTime::ProcessEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Each look at the clock moves it a little, so a loop that polls it always ends.
    ++now;
}

namespace {

void SetWriteTime(platform::FileStamp& stamp, const QDateTime& time)
{
    stamp.writeSeconds = time.toSecsSinceEpoch();
    stamp.writeNanoseconds = 0;
}

} // namespace

bool SetLastWriteTime(const QString& path, const QDateTime& time)
{
    platform::FileIdentity& identity = platform::FileIdentity::Instance();
    platform::FileStamp stamp;
    if (!time.isValid() || !identity.Stamp(path, stamp))
        return false;
    SetWriteTime(stamp, time);
    return identity.SetLastWriteTime(path, stamp);
}

SeenFiles::SeenFiles() : m_real(platform::FileIdentity::Instance())
{
    platform::FileIdentity::SetInstance(this);
}

SeenFiles::~SeenFiles() { platform::FileIdentity::SetInstance(nullptr); }

bool SeenFiles::Stamp(const QString& path, platform::FileStamp& stamp)
{
    const bool found = m_real.Stamp(path, stamp);
    if (found && pinnedWrite)
        SetWriteTime(stamp, *pinnedWrite);
    if ((watched.isEmpty() || path == watched) && ++stamps == hookAfter && hook)
        hook();
    return found;
}

bool SeenFiles::SetLastWriteTime(const QString& path, const platform::FileStamp& stamp)
{
    return !pinnedWrite && m_real.SetLastWriteTime(path, stamp);
}

PlatformDoubles::PlatformDoubles()
{
    settings = std::make_unique<platform::QtSettingsStore>(dir.filePath("settings.ini"));
    platform::SettingsStore::SetInstance(settings.get());
    platform::MessagePresenter::SetInstance(&presenter);
    platform::StatusSink::SetInstance(&status);
    platform::SystemInfo::SetInstance(&system);
    platform::KeyState::SetInstance(&keys);
    platform::TimeSource::SetInstance(&time);
    platform::Clipboard::SetInstance(&clipboard);
}

PlatformDoubles::~PlatformDoubles()
{
    platform::SettingsStore::SetInstance(nullptr);
    platform::MessagePresenter::SetInstance(nullptr);
    platform::StatusSink::SetInstance(nullptr);
    platform::SystemInfo::SetInstance(nullptr);
    platform::KeyState::SetInstance(nullptr);
    platform::TimeSource::SetInstance(nullptr);
    platform::Clipboard::SetInstance(nullptr);
}

} // namespace testing_doubles
