// The Analog In page inside the main window: an input edited, saved, reopened, saved again.
#include "app/pages/channels/AnalogInPage.h"
#include "app/pages/channels/AnalogListView.h"
#include "app/pages/common/PageCommon.h"
#include "controls/Float.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/cAnalogIn.h"
#include "tests/app/frame/FrameTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

namespace {

class AnalogMainWindowTest : public frametest::FrameTest {
protected:
    AnalogInPage* Page() { return window->findChild<AnalogInPage*>("AnalogInPage"); }

    void ClickRow(int n)
    {
        AnalogInPage* page = Page();
        QTreeWidgetItem* row = page->lvwAnalog->topLevelItem(n - 1);
        ASSERT_NE(row, nullptr);
        page->lvwAnalog->scrollToItem(row);
        QTest::mouseClick(page->lvwAnalog->viewport(), Qt::LeftButton, {}, page->lvwAnalog->visualItemRect(row).center());
        ASSERT_EQ(page->lvwAnalog->currentItem(), row);
    }
};

} // namespace

TEST_F(AnalogMainWindowTest, EditedInputSavesReopensAndSavesToTheSameBytes)
{
    ASSERT_TRUE(Start());
    window->show();
    window->Tabs()->setCurrentIndex(TabAnalogIn);
    AnalogInPage* page = Page();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->lvwAnalog->topLevelItemCount(), 11);
    EXPECT_EQ(pagecommon::RowPicture(page->lvwAnalog->topLevelItem(0)), 27);

    ClickRow(3);
    page->chkAnalogActive->setChecked(true);
    page->txtAnalogDescription->setText("Lube oil temp");
    pagecommon::SelectByItemData(page->cmbAnalogAction, 4);
    page->numAnalogLimit[1]->SetValue(85.0f);
    page->numAnalogLimit[0]->SetValue(95.5f);
    page->cmbAnalogUnits->setEditText("C");
    EXPECT_TRUE(window->XelObject()->Changed());
    EXPECT_EQ(pagecommon::RowPicture(page->lvwAnalog->topLevelItem(2)), 8);

    const QString first = Path("analog.QRN");
    dialogs.answers = {first};
    window->ToolClick("save");
    ASSERT_FALSE(window->XelObject()->Changed());

    window->ToolClick("close");
    EXPECT_EQ(window->XelObject()->AnalogIn()->Item("3*")->Text(), "");
    dialogs.answers = {first};
    window->ToolClick("open");
    XelAnalogIn* input = window->XelObject()->AnalogIn()->Item("3*");
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->Text(), "Lube oil temp");
    EXPECT_EQ(input->Limit(0), 955);
    window->Tabs()->setCurrentIndex(TabMain);
    window->Tabs()->setCurrentIndex(TabAnalogIn);
    page = Page();
    ClickRow(3);
    EXPECT_EQ(page->txtAnalogDescription->text(), "Lube oil temp");
    EXPECT_FLOAT_EQ(page->numAnalogLimit[0]->Value(), 95.5f);
    EXPECT_EQ(page->lvwAnalog->topLevelItem(2)->text(2), "Lube oil temp");
    EXPECT_EQ(page->lblAnalogCount->text(), "1 Active");
    EXPECT_FALSE(window->XelObject()->Changed());

    const QString second = Path("again.QRN");
    dialogs.answers = {second};
    window->ToolClick("saveas");
    EXPECT_EQ(Bytes(first), Bytes(second));
}
