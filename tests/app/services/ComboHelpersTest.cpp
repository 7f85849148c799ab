#include "app/services/ComboHelpers.h"

#include <QComboBox>
#include <gtest/gtest.h>

using namespace extra;

TEST(ComboHelpers, FindsAndSelectsByItemData)
{
    QComboBox combo;
    combo.addItem("none");
    combo.addItem("five", 5);
    combo.addItem("seven", 7);
    combo.addItem("five again", 5);
    EXPECT_EQ(SelectComboItemData(&combo, 5, false), 1);
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(SelectComboItemData(&combo, 7, true), 2);
    EXPECT_EQ(combo.currentIndex(), 2);
    EXPECT_EQ(SelectComboItemData(&combo, qint16(5), true), 1); // numbers compare as numbers
    EXPECT_EQ(SelectComboItemData(&combo, 9, true), -1);
    EXPECT_EQ(combo.currentIndex(), 1);
    EXPECT_EQ(SelectComboItemData(nullptr, 5, true), -1);
}
