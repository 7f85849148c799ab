#include "app/setupdefaults/DefaultSetup.h"
#include "app/pages/channels/InputListHighlight.h"
#include "app/pages/common/PageCommon.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelObject.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "tests/common/Doubles.h"

#include <QLabel>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

const QColor kRed(255, 72, 72);

bool Marked(const QTreeWidgetItem* row)
{
    bool all = true;
    for (int c = 0; c < 3; ++c)
        all = all && row->foreground(c).color() == kRed && row->font(c).bold();
    return all;
}

} // namespace

TEST(InputListHighlight, AnalogListWalkAndTerminalColumn)
{
    testing_doubles::PlatformDoubles doubles;
    ASSERT_TRUE(extra::LoadLanguageLibrary());
    auto doc = CreateDefaultSetupDocument();
    cAnalogIn* inputs = doc->AnalogIn();
    QTreeWidget list;
    list.setColumnCount(3);
    for (XelAnalogIn* input : *inputs) {
        QTreeWidgetItem* row = pagecommon::AddRow(&list, pagecommon::ItemKey(input->Index()),
                                                  QString::number(input->Index()), 1, {});
        row->setText(1, "J1939");
    }
    inputs->Item("1*")->SetText("Lube oil pressure");
    inputs->Item("2*")->SetText("Running");
    inputs->Item("2*")->SetActive(true);
    inputs->Item("3*")->SetText("   ");
    list.topLevelItem(3)->setForeground(0, kRed); // stale marking of an input now blank
    inputlist::SetRowHighlight(list.topLevelItem(3), true);

    inputlist::RefreshAnalogList(&list, inputs);
    EXPECT_TRUE(Marked(list.topLevelItem(0)));
    EXPECT_FALSE(Marked(list.topLevelItem(1)));
    EXPECT_FALSE(Marked(list.topLevelItem(2)));
    EXPECT_FALSE(Marked(list.topLevelItem(3)));
    // Inactive rows get their terminal back; the active one keeps its column.
    EXPECT_EQ(list.topLevelItem(0)->text(1), inputs->Item("1*")->Terminal().trimmed());
    EXPECT_EQ(list.topLevelItem(1)->text(1), "J1939");

    QLabel label;
    inputlist::ShowActiveCount(&label, inputlist::CountActive(inputs));
    EXPECT_EQ(label.text(), "1 Active");

    // An input whose number lies beyond the rows ends the walk: later inputs keep their look.
    while (list.topLevelItemCount() > 5)
        delete list.takeTopLevelItem(list.topLevelItemCount() - 1);
    inputs->Item("5*")->SetText("Exhaust");
    inputlist::RefreshAnalogList(&list, inputs);
    EXPECT_TRUE(Marked(list.topLevelItem(4)));
    extra::FreeLanguageLibrary();
}

