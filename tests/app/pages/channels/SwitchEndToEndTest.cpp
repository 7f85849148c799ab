#include "SwitchPageTestSupport.h"

#include "datamodel/XelDigitalInAdditional.h"
#include "datamodel/cDigitalInAdditional.h"

#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>

// Inputs edited on the page the way the user edits them, saved, and opened again into a fresh
// page: the page shows the same values.
TEST_F(SwitchPageTest, EditSaveReopenShowsTheSameInputs)
{
    doc->Main()->SetClassified(false);
    Select(2);
    Click(page->chkDigitalActive);
    page->txtDigitalDescription->selectAll();
    QTest::keyClicks(page->txtDigitalDescription, "Fire pump");
    Choose("cmbDigitalAction", "Shutdown");
    page->numDigitalAlarmDelay->SetValue(9);
    Click(page->chkDigitalAlarmOnRunOnly);
    page->numDigitalInitialDelay->SetValue(40);
    Click(page->chkDigitalBrokenWireDetection);
    Click(page->chkDigitalAdditionalRunDetection);
    QTest::keyClicks(page->txtDigitalInfo, "Pump room");

    Select(8);
    doubles.keys.shift = true;
    Click(page->chkDigitalActive); // gets "Switch Input 8"
    doubles.keys.shift = false;
    Choose("cmbDigitalAction", "Warning");

    page->FillDigitalInAdditionalCombo();
    page->cmbDigitalInAdditional[0]->setCurrentIndex(3); // Start Disabled

    // Moving input 8 onto 9 with Shift held.
    std::unique_ptr<QMimeData> payload(pagecommon::MakeDragPayload("8*"));
    Select(8);
    page->DigitalDragDrop(payload.get(), Row(9), 1, List());
    EXPECT_EQ(page->lblDigitalCount->text(), "2 Active");
    ASSERT_TRUE(doc->Changed());

    QTemporaryDir dir;
    const QString path = dir.filePath("switch.qrn");
    ASSERT_TRUE(doc->SaveFile(path));

    auto reopened = CreateDefaultSetupDocument();
    ASSERT_TRUE(reopened->LoadFile(path));
    MainState other;
    other.SetXelObject(reopened.get());
    SwitchPage second(other, nullptr);
    second.show();
    second.LoadDigital();
    second.FillDigitalInAdditionalCombo();
    second.RefreshDigitalList();
    second.UpdateDigitalCount();
    EXPECT_EQ(second.lblDigitalCount->text(), "2 Active");
    QTreeWidget* list = second.findChild<QTreeWidget*>("lvwDigital");

    second.ShowDigitalChannel(list->topLevelItem(1));
    EXPECT_TRUE(second.chkDigitalActive->isChecked());
    EXPECT_EQ(second.txtDigitalDescription->text(), "Fire pump");
    EXPECT_EQ(second.cmbDigitalAction->currentText(), "Shutdown");
    EXPECT_EQ(second.cmbDigitalSwitchType->currentText(), "Normally Open");
    EXPECT_EQ(second.numDigitalAlarmDelay->Value(), 9);
    EXPECT_TRUE(second.chkDigitalAlarmOnRunOnly->isChecked());
    EXPECT_EQ(second.numDigitalInitialDelay->Value(), 40);
    EXPECT_TRUE(second.chkDigitalBrokenWireDetection->isChecked());
    EXPECT_TRUE(second.chkDigitalAdditionalRunDetection->isChecked());
    EXPECT_EQ(second.txtDigitalInfo->text(), "Pump room");
    EXPECT_EQ(pagecommon::RowPicture(list->topLevelItem(1)), 7 + 1 + 3);

    second.ShowDigitalChannel(list->topLevelItem(8));
    EXPECT_TRUE(second.chkDigitalActive->isChecked());
    EXPECT_EQ(second.txtDigitalDescription->text(), "Switch Input 8");
    EXPECT_EQ(second.cmbDigitalAction->currentText(), "Warning");
    EXPECT_EQ(list->topLevelItem(7)->text(2), "");
    EXPECT_EQ(second.cmbDigitalInAdditional[0]->currentText(), "Start Disabled");
    EXPECT_EQ(second.cmbDigitalInAdditional[1]->currentIndex(), 0);
    EXPECT_FALSE(reopened->Changed());
}

TEST_F(SwitchPageTest, ScrollStripsScrollTheListOneLineAndPause)
{
    page->resize(page->width(), page->height());
    List()->setFixedHeight(60);
    QCoreApplication::processEvents();
    QScrollBar* bar = List()->verticalScrollBar();
    const int start = bar->value();
    page->ScrollStripDragOver(1);
    EXPECT_EQ(bar->value(), start + bar->singleStep());
    page->ScrollStripDragOver(0);
    EXPECT_EQ(bar->value(), start);
    EXPECT_EQ(doubles.time.waits, (QList<int>{100, 100}));
    page->ScrollStripDragOver(2);
    EXPECT_EQ(doubles.time.waits.size(), 2);
    EXPECT_EQ(DigitalListView::DragKeyBits(Qt::ShiftModifier | Qt::ControlModifier), 3);
    EXPECT_EQ(DigitalListView::DragKeyBits(Qt::ControlModifier), 2);
}
