#include "app/frame/Startup.h"

#include "app/services/extra/extra.h"
#include "platform/MessagePresenter.h"

#include <QApplication>

int RunQuarno(QApplication& app)
{
    Q_UNUSED(app);
    // Without the language library no text can be looked up, so this one is fixed.
    if (!extra::LoadLanguageLibrary()) {
        platform::MessagePresenter::Instance().Show(
            "Language component XELLAN.DLL could not be loaded. Quarno Q2 need this DLL to run. "
            "Please make sure this DLL is located in the Windows system directory or in the path!"
            "\r\n\r\nQuarno Q2 will now exit.",
            platform::MsgStyle::Critical, "Quarno Q2");
        return 1;
    }
    extra::FreeLanguageLibrary();
    return 0;
}
