#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "tests/common/QuietMainPage.h"

#include <gtest/gtest.h>

TEST(PageCommon, ValidateCurrentPageAsksOnlyThatPage)
{
    MainState state;
    EXPECT_TRUE(ValidateCurrentPage(state, TabMain)); // page absent
    QuietMainPage main;
    state.mainPage = &main;
    main.valid = false;
    EXPECT_FALSE(ValidateCurrentPage(state, TabMain));
    EXPECT_TRUE(ValidateCurrentPage(state, TabInfo));
    EXPECT_TRUE(ValidateCurrentPage(state, TabRelays));
    EXPECT_TRUE(ValidateCurrentPage(state, 42));
    EXPECT_EQ(main.validated, 1);
}
