#include "app/frame/Startup.h"

#include "app/services/extra/extra.h"
#include "platform/MessagePresenter.h"

#include <QApplication>

namespace {

const QString kProgramTitle = QStringLiteral("Quarno Q2");

} // namespace

int RunQuarno(QApplication& app)
{
    Q_UNUSED(app);
    // Without the language library no text can be looked up, so this one is fixed.
    if (!extra::LoadLanguageLibrary()) {
        platform::MessagePresenter::Instance().Show(
            QStringLiteral("Language component XELLAN.DLL could not be loaded. ") + kProgramTitle
                + QStringLiteral(" need this DLL to run. Please make sure this DLL is located in the "
                                 "Windows system directory or in the path!\r\n\r\n")
                + kProgramTitle + QStringLiteral(" will now exit."),
            platform::MsgStyle::Critical | platform::MsgStyle::OKOnly, kProgramTitle);
        return 1;
    }
    extra::FreeLanguageLibrary();
    return 0;
}
