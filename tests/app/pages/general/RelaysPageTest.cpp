#include "app/frame/DefaultSetup.h"
#include "app/frame/MainState.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/general/RelaysPage.h"
#include "app/pages/general/frmRelaySelection.h"
#include "app/services/extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelRelay.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSpeedRelay.h"
#include "tests/common/Doubles.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace pagecommon;

namespace {

class RelaysPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(extra::LoadLanguageLibrary());
        setup = CreateDefaultSetupDocument();
        state.SetXelObject(setup.get());
        page = std::make_unique<RelaysPage>(state);
        state.relaysPage = page.get();
        page->LoadRelays();
        page->LoadRelaysNew();
        relay = page->findChild<QTreeWidget*>("lvwRelay");
        relayNew = page->findChild<QTreeWidget*>("lvwRelayNew");
    }
    void TearDown() override
    {
        page.reset();
        extra::FreeLanguageLibrary();
    }
    XelRelay* Entry(int n) { return setup->Relay()->Item(ItemKey(n)); }
    QTreeWidgetItem* Row(int n) { return relay->topLevelItem(n - 1); }
    void Use(int n, int code)
    {
        Entry(n)->SetInUse(true);
        Entry(n)->SetFunctionNo(code);
    }

    testing_doubles::PlatformDoubles doubles;
    std::unique_ptr<XelObject> setup;
    MainState state;
    std::unique_ptr<RelaysPage> page;
    QTreeWidget* relay = nullptr;
    QTreeWidget* relayNew = nullptr;
};

TEST_F(RelaysPageTest, NewSetupShowsFourteenEmptyChannelsAndK7K9)
{
    ASSERT_EQ(relay->topLevelItemCount(), 14);
    for (int n = 1; n <= 14; ++n) {
        EXPECT_EQ(Row(n)->text(0), QString::number(n));
        EXPECT_EQ(Row(n)->text(1), "");
        EXPECT_EQ(RowPicture(Row(n)), 0);
        EXPECT_EQ(RowKey(Row(n)), ItemKey(n));
    }
    ASSERT_EQ(relayNew->topLevelItemCount(), 2);
    EXPECT_EQ(relayNew->topLevelItem(0)->text(0), "K7");
    EXPECT_EQ(relayNew->topLevelItem(0)->text(1), "Standby Mode");
    EXPECT_EQ(relayNew->topLevelItem(1)->text(1), "Disc. Gen Breaker Relay Activated");
    EXPECT_EQ(RowPicture(relayNew->topLevelItem(0)), 1);
    EXPECT_FALSE(page->findChild<QCheckBox*>("chkRelaysT44")->isChecked());
    EXPECT_FALSE(setup->Changed());
}

TEST_F(RelaysPageTest, TextAndIconRulesOfOneRow)
{
    XelDigitalIn* d4 = setup->DigitalIn()->Item("4*");
    d4->SetSwitchType(1);
    d4->SetAction(3);
    XelAnalogIn* a6 = setup->AnalogIn()->Item("6*");
    a6->SetActive(true);
    a6->SetAction(2);
    a6->SetActionDirection(1);
    struct Case { int code; const char* stored; const char* text; int icon; } cases[] = {
        {0, "leftover", "", 0},
        {75, "   ", "Common Alarm", 1},
        {27, "", "No 27 - Invalid!", 2},
        {38, "", nullptr, 2},
        {34, "", nullptr, 1},
        {226, "", nullptr, 1},
        {4, "", nullptr, 10},   // normally open + shutdown
        {196, "", nullptr, 8},  // the same input at warning level
        {28, "", nullptr, 20},  // analog input 6: alarm, below limit
        {59, "", nullptr, 3},
    };
    for (const Case& c : cases) {
        XelRelay* e = Entry(1);
        e->SetFunctionNo(c.code);
        e->SetFunctionText(c.stored);
        if (c.text)
            EXPECT_EQ(RelaysPage::FunctionTextRule(*e), c.text) << c.code;
        EXPECT_EQ(page->IconRule(*e, nullptr), c.icon) << c.code;
    }
    a6->SetActive(false);
    bool red = false;
    EXPECT_EQ(page->IconRule(*Entry(1), &red), 3); // still code 59
    Entry(1)->SetFunctionNo(28);
    EXPECT_EQ(page->IconRule(*Entry(1), &red), 33);
    EXPECT_TRUE(red);
    page->ShowRelayFunction(false, Row(1), *Entry(1));
    EXPECT_EQ(Row(1)->foreground(1).color(), QColor(255, 0, 0));
    a6->SetActive(true);
    page->ShowRelayFunction(false, Row(1), *Entry(1));
    EXPECT_NE(Row(1)->foreground(1).color(), QColor(255, 0, 0));
}

TEST_F(RelaysPageTest, RefreshMarksInactiveAndActionlessSources)
{
    XelDigitalIn* d4 = setup->DigitalIn()->Item("4*");
    d4->SetSwitchType(1);
    d4->SetAction(3);
    d4->SetText("FIRE");
    d4->SetActive(false);
    XelAnalogIn* a2 = setup->AnalogIn()->Item("2*");
    a2->SetActive(true);
    a2->SetAction(5);
    a2->SetText("EXHAUST");
    XelAnalogIn* a3 = setup->AnalogIn()->Item("3*");
    a3->SetActive(true);
    a3->SetAction(0);
    a3->SetInputType(2);
    XelAnalogIn* a4 = setup->AnalogIn()->Item("4*");
    a4->SetActive(false);
    a4->SetAction(2);
    a4->SetActionDirection(1);
    XelAnalogIn* a5 = setup->AnalogIn()->Item("5*");
    a5->SetActive(true);
    a5->SetInputType(4);
    Use(1, 4);
    Use(2, 206);  // analog 2 at warning level
    Use(3, 14);   // analog 2 plain
    Use(4, 15);   // analog 3, no action
    Use(5, 16);   // analog 4 inactive
    Use(6, 17);   // analog 5 on CAN
    Use(7, 58);   // speed relay 1, off
    page->LoadRelays();
    page->RefreshRelayLists();

    struct Expected { int n; const char* text; int picture; const char* tag; bool red; } rows[] = {
        {1, "SW4, FIRE - NOT ACTIVE!", 16, "NOT ACTIVE", true},
        {2, "AI2, (WARNING) EXHAUST", 17, "", false},
        {3, "AI2, (SHUTDOWN) EXHAUST", 21, "", false},
        {4, " - NO ACTION!", 33, "NO ACTION", true},
        {5, " - NOT ACTIVE!", 28, "NOT ACTIVE", true},
        {6, "   CAN", 34, "", false},
        {7, "Speed Relay 1 - NOT ACTIVE!", 4, "NOT ACTIVE", true},
    };
    for (const auto& r : rows) {
        QTreeWidgetItem* item = Row(r.n);
        EXPECT_TRUE(item->text(1).endsWith(r.text)) << r.n << " " << item->text(1).toStdString();
        EXPECT_EQ(RowPicture(item), r.picture) << r.n;
        EXPECT_EQ(page->RelayRowMarked(0, ItemKey(r.n)), *r.tag != 0) << r.n;
        EXPECT_EQ(item->foreground(1).color() == QColor(255, 0, 0), r.red) << r.n;
    }
    // The suffix never reaches the stored text; the speed relay's state does.
    EXPECT_EQ(Entry(1)->FunctionText(), "SW4, FIRE");
    EXPECT_EQ(Entry(7)->FunctionText(), "Speed Relay 1 - NOT ACTIVE!");
    EXPECT_FALSE(page->HasPreheatRelay());
    Use(8, 68);
    Entry(8)->SetInUse(false);
    EXPECT_FALSE(page->HasPreheatRelay());
    Entry(8)->SetInUse(true);
    EXPECT_TRUE(page->HasPreheatRelay());
}

TEST_F(RelaysPageTest, ExtensionInputsGreyChannels12To14)
{
    struct { int channel; bool active; int type; bool ghosted; } cases[] = {
        {6, true, 0, true}, {11, true, 2, true}, {6, true, 4, false}, {6, false, 0, false}, {5, true, 0, false}};
    for (const auto& c : cases) {
        for (XelAnalogIn* a : setup->AnalogIn()->NewEnum())
            a->SetActive(false);
        XelAnalogIn* a = setup->AnalogIn()->Item(ItemKey(c.channel));
        a->SetActive(c.active);
        a->SetInputType(c.type);
        page->GhostRelaysForAnalogInputs();
        for (int n = 11; n <= 14; ++n)
            EXPECT_EQ(RelaysPage::Ghosted(Row(n)), n >= 12 && c.ghosted) << c.channel << " row " << n;
    }
}

TEST_F(RelaysPageTest, DeleteAsksUnlessShiftOrExpertAndRemoveNeverAsks)
{
    Use(3, 75);
    page->LoadRelays();
    relay->setCurrentItem(Row(3));
    doubles.presenter.answers = {platform::MsgResult::No};
    page->KeyDown(false, Qt::Key_Delete);
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_EQ(doubles.presenter.shown[0].text, "Do you want to clear Relay channel 3?");
    EXPECT_EQ(doubles.presenter.shown[0].style, 292);
    EXPECT_TRUE(Entry(3)->InUse());
    doubles.keys.shift = true;
    page->KeyDown(false, Qt::Key_Delete);
    EXPECT_FALSE(Entry(3)->InUse());
    EXPECT_EQ(Entry(3)->FunctionNo(), 0);
    EXPECT_EQ(Row(3)->text(1), "");
    doubles.keys.shift = false;

    relayNew->setCurrentItem(relayNew->topLevelItem(1));
    doubles.presenter.answers = {platform::MsgResult::Yes};
    page->KeyDown(true, Qt::Key_Delete);
    EXPECT_EQ(doubles.presenter.shown.last().text, "Do you want to clear Relay selected for terminal K9?");
    EXPECT_FALSE(setup->RelayNew()->Item("2*")->InUse());

    relayNew->setCurrentItem(relayNew->topLevelItem(0));
    page->ItemClicked(true, relayNew->topLevelItem(0));
    EXPECT_TRUE(page->findChild<QPushButton*>("cmdRelayNewRemove")->isEnabled());
    const int asked = doubles.presenter.shown.size();
    page->findChild<QPushButton*>("cmdRelayNewRemove")->click();
    EXPECT_EQ(doubles.presenter.shown.size(), asked);
    EXPECT_FALSE(setup->RelayNew()->Item("1*")->InUse());
    EXPECT_FALSE(page->findChild<QPushButton*>("cmdRelayNewRemove")->isEnabled());
}

TEST_F(RelaysPageTest, PickerChoiceLandsInTheSelectedEntry)
{
    relay->setCurrentItem(Row(5));
    frmRelaySelection picker(state);
    picker.SetXelObject(setup.get());
    picker.SetRelayType(0);
    picker.InitEntries(0);
    auto* list = picker.findChild<QTreeWidget*>("lvwRelaySelection");
    ASSERT_TRUE(list);
    QTreeWidgetItem* common = RowByKey(list, "*75");
    ASSERT_TRUE(common);
    picker.AcceptEntry(common);
    EXPECT_TRUE(Entry(5)->InUse());
    EXPECT_EQ(Entry(5)->FunctionNo(), 75);
    EXPECT_EQ(Row(5)->text(1), Entry(5)->FunctionText());
    EXPECT_EQ(RowPicture(Row(5)), 1);
}

TEST_F(RelaysPageTest, DropsMoveCopyAndRefuseForeignSources)
{
    auto* target = static_cast<RelayList*>(relay);
    auto* other = static_cast<RelayList*>(relayNew);
    QTreeWidget foreign;
    Use(1, 75);
    page->LoadRelays();

    // A drag from any other list, however it is keyed, changes nothing.
    page->DropOnRow(&foreign, target, Row(2), "1*", Qt::NoModifier);
    EXPECT_FALSE(Entry(2)->InUse());
    // Onto its own row: nothing.
    page->DropOnRow(relay, target, Row(1), "1*", Qt::NoModifier);
    EXPECT_TRUE(Entry(1)->InUse());
    // Alt alone stores nothing.
    page->DropOnRow(relay, target, Row(2), "1*", Qt::AltModifier);
    EXPECT_FALSE(Entry(2)->InUse());
    // Ctrl copies, a plain drag moves.
    page->DropOnRow(relay, target, Row(2), "1*", Qt::ControlModifier);
    EXPECT_TRUE(Entry(1)->InUse());
    EXPECT_EQ(Entry(2)->FunctionNo(), 75);
    relay->setCurrentItem(Row(1));
    page->DropOnRow(relay, target, Row(3), "1*", Qt::NoModifier);
    EXPECT_FALSE(Entry(1)->InUse());
    EXPECT_EQ(Entry(1)->FunctionNo(), 0);
    EXPECT_EQ(Entry(3)->FunctionNo(), 75);
    EXPECT_EQ(Entry(3)->Index(), 3);

    // Into an entry in use: question 304, No keeps both.
    doubles.presenter.answers = {platform::MsgResult::No};
    page->DropOnRow(relay, target, Row(2), "3*", Qt::NoModifier);
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_TRUE(doubles.presenter.shown[0].text.contains("Relay Entry 2 with the content of Relay Entry 3"));
    EXPECT_TRUE(Entry(3)->InUse());

    // K7 onto channel 1 of the optional card, moved across lists.
    relayNew->setCurrentItem(relayNew->topLevelItem(0));
    page->DropOnRow(relayNew, target, Row(1), "1*", Qt::NoModifier);
    EXPECT_EQ(Entry(1)->FunctionNo(), 46);
    EXPECT_FALSE(setup->RelayNew()->Item("1*")->InUse());
    EXPECT_EQ(relayNew->topLevelItem(0)->text(1), "");
    // Channel 3 copied onto K9 (in use): the question names the terminal by its relay text.
    doubles.presenter.answers = {platform::MsgResult::Yes};
    page->DropOnRow(relay, other, relayNew->topLevelItem(1), "3*", Qt::ControlModifier);
    EXPECT_TRUE(doubles.presenter.shown.last().text.contains("Relay Entry K9 with the content of Relay Entry 3"));
    EXPECT_EQ(setup->RelayNew()->Item("2*")->FunctionNo(), 75);
    EXPECT_TRUE(Entry(3)->InUse());

    // Greyed rows take no drop.
    XelAnalogIn* a6 = setup->AnalogIn()->Item("6*");
    a6->SetActive(true);
    page->GhostRelaysForAnalogInputs();
    page->DropOnRow(relay, target, Row(12), "3*", Qt::ControlModifier);
    EXPECT_FALSE(Entry(12)->InUse());
    EXPECT_EQ(page->HoverEffect(relay, Row(12), Qt::NoModifier), Qt::IgnoreAction);
    EXPECT_EQ(page->HoverEffect(relay, Row(2), Qt::NoModifier), Qt::MoveAction);
    EXPECT_EQ(page->HoverEffect(relay, Row(2), Qt::ControlModifier | Qt::ShiftModifier), Qt::MoveAction);
    EXPECT_EQ(page->HoverEffect(relay, Row(2), Qt::ControlModifier), Qt::CopyAction);
    EXPECT_EQ(page->HoverEffect(&foreign, Row(2), Qt::NoModifier), Qt::IgnoreAction);
}

TEST_F(RelaysPageTest, TerminalFortyFourFlagFollowsClicksNotLoads)
{
    auto* box = page->findChild<QCheckBox*>("chkRelaysT44");
    setup->Relay()->SetRelayT44DisableBW(true);
    {
        ScopedFlag loading(state.Loading);
        page->LoadRelays();
    }
    EXPECT_TRUE(box->isChecked());
    EXPECT_FALSE(setup->RelayNew()->RelayT44DisableBW());
    box->click();
    EXPECT_FALSE(setup->Relay()->RelayT44DisableBW());
    box->click();
    EXPECT_TRUE(setup->Relay()->RelayT44DisableBW());
    EXPECT_TRUE(setup->RelayNew()->RelayT44DisableBW());
}

} // namespace
