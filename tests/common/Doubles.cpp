#include "tests/common/Doubles.h"

namespace testing_doubles {

int ScriptedPresenter::Show(const QString& text, int style, const QString& caption)
{
    shown.append({text, style, caption});
    if (answers.isEmpty())
        return platform::MsgResult::OK;
    return answers.takeFirst();
}

PlatformDoubles::PlatformDoubles()
{
    settings = std::make_unique<platform::QtSettingsStore>(dir.filePath("settings.ini"));
    platform::SettingsStore::SetInstance(settings.get());
    platform::MessagePresenter::SetInstance(&presenter);
    platform::StatusSink::SetInstance(&status);
    platform::SystemInfo::SetInstance(&system);
    platform::KeyState::SetInstance(&keys);
}

PlatformDoubles::~PlatformDoubles()
{
    platform::SettingsStore::SetInstance(nullptr);
    platform::MessagePresenter::SetInstance(nullptr);
    platform::StatusSink::SetInstance(nullptr);
    platform::SystemInfo::SetInstance(nullptr);
    platform::KeyState::SetInstance(nullptr);
}

} // namespace testing_doubles
