#include "app/pages/general/MainWindowHelpers.h"

#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "platform/StatusSink.h"

namespace mainhelpers {

void RefreshDigitalInAdditional(MainState& state)
{
    if (state.switchPage)
        state.switchPage->FillDigitalInAdditionalCombo();
}

void SetStatusText(const QString& text) { platform::StatusSink::Instance().SetStatusText(text); }

} // namespace mainhelpers
