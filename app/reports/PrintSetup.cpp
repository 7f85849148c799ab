// The print command: checks the page on show, brings the relay lists up to date, builds the
// report in the preview window and runs it.
#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/pages/common/PageCommon.h"
#include "app/reports/Reports.h"
#include "app/reports/frmPrint.h"
#include "extra/extra.h"

#include <memory>

namespace reports {

bool PrintSetup(MainState& state, bool direct)
{
    // Until a print has run, the command has printed nothing.
    frmPrint::SetLastResult(frmPrint::NotPrinted);
    if (!state.XelObject())
        return false;
    const int tab = state.frame ? state.frame->CurrentTab() : 0;
    if (!ValidateCurrentPage(state, tab))
        return false;
    std::unique_ptr<frmPrint> form;
    {
        pagecommon::WaitCursor wait;
        extra::ShowStatusMessage(238);
        if (state.relaysPage)
            state.relaysPage->RefreshRelayLists();
        form = std::make_unique<frmPrint>(state, state.frame ? state.frame->MainWindow() : nullptr);
        form->SetXelObject(state.XelObject());
    }
    form->Run(direct);
    return frmPrint::LastResult() == frmPrint::Printed;
}

} // namespace reports
