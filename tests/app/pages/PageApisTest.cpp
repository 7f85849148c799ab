#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"

#include <gtest/gtest.h>

namespace {
struct CountingMain : MainPageApi {
    int validated = 0;
    bool answer = true;
    bool InitDatabaseCombos() override { return true; }
    void SetLanguageList(const QStringList&) override {}
    void SelectDefaultLCDLightScale() override {}
    void SetMainDefaults() override {}
    void LoadMain() override {}
    bool ValidateMain() override { ++validated; return answer; }
    void UpdateClassifiedInfo() override {}
    void UpdateClassifiedCheck(bool) override {}
    bool ClassifiedChecked() override { return false; }
    QString ClassifiedTag() override { return {}; }
    void UpdateIDNumberLabel() override {}
    void UpdateMIDLabel() override {}
    void UpdateStandbyTab() override {}
    QString FormatLastKnownStatus() override { return {}; }
    void SetLastKnownStatusText(const QString&) override {}
    QString LanguageText() override { return {}; }
    QString OperationModeText() override { return {}; }
};
} // namespace

TEST(PageCommon, ValidateCurrentPageAsksOnlyThatPage)
{
    MainState state;
    EXPECT_TRUE(ValidateCurrentPage(state, TabMain)); // page absent
    CountingMain main;
    state.mainPage = &main;
    main.answer = false;
    EXPECT_FALSE(ValidateCurrentPage(state, TabMain));
    EXPECT_TRUE(ValidateCurrentPage(state, TabInfo));
    EXPECT_TRUE(ValidateCurrentPage(state, TabRelays));
    EXPECT_TRUE(ValidateCurrentPage(state, 42));
    EXPECT_EQ(main.validated, 1);
}
