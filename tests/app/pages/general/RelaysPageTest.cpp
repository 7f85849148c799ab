#include "app/setupdefaults/DefaultSetup.h"
#include "app/pages/MainState.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/general/RelaysPage.h"
#include "app/pages/general/frmRelaySelection.h"
#include "extra/extra.h"
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

#include <QApplication>
#include <QCheckBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
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

// Where a list draws the text of a row's first column.
int TextLeft(QTreeWidget* list, QTreeWidgetItem* row)
{
    struct Probe : QStyledItemDelegate {
        using QStyledItemDelegate::initStyleOption;
    } probe;
    QStyleOptionViewItem option;
    option.initFrom(list->viewport());
    option.rect = list->visualItemRect(row);
    option.decorationSize = list->iconSize().isValid() ? list->iconSize() : QSize(22, 16);
    probe.initStyleOption(&option, list->model()->index(list->indexOfTopLevelItem(row), 0));
    return list->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, list).left();
}

TEST_F(RelaysPageTest, NumbersLineUpWithAndWithoutAPicture)
{
    // Pictures of the list's size, as the frame composes them.
    QPixmap picture(22, 16);
    picture.fill(Qt::red);
    state.images.imlRelay = QVector<QIcon>(40, QIcon(picture));
    Use(2, 75);
    page->LoadRelays();
    ASSERT_EQ(RowPicture(Row(1)), 0);
    ASSERT_EQ(RowPicture(Row(2)), 1);
    EXPECT_EQ(TextLeft(relay, Row(1)), TextLeft(relay, Row(2)));
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

// After a drop each Remove button follows its list's selected entry: a move that empties the
// selected row disables it, the newly selected target row in use enables it.
TEST_F(RelaysPageTest, RemoveButtonsFollowTheSelectedEntriesAfterADrop)
{
    auto* remove = page->findChild<QPushButton*>("cmdRelayRemove");
    auto* removeNew = page->findChild<QPushButton*>("cmdRelayNewRemove");
    struct Case {
        const char* what;
        bool fromNew;
        int sourceRow;
        bool toNew;
        int targetRow;
        Qt::KeyboardModifiers keys;
        bool removeEnabled, removeNewEnabled;
    } cases[] = {
        {"K7 moved onto channel 2", true, 1, false, 2, Qt::NoModifier, true, false},
        {"K7 copied onto channel 2", true, 1, false, 2, Qt::ControlModifier, true, true},
        {"K7 moved onto K9", true, 1, true, 2, Qt::NoModifier, false, true},
        {"channel 1 moved onto K9", false, 1, true, 2, Qt::NoModifier, false, true},
        {"channel 1 moved onto channel 5", false, 1, false, 5, Qt::NoModifier, true, true},
        {"K7 dropped with Alt: nothing stored", true, 1, false, 2, Qt::AltModifier, false, true},
    };
    state.ExpertMode = true; // no questions
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setup = CreateDefaultSetupDocument();
        state.SetXelObject(setup.get());
        Use(1, 75);
        page->LoadRelays();
        page->LoadRelaysNew();
        // The terminal card's K7 and an empty channel 6 are the selected rows, as clicked.
        relayNew->setCurrentItem(relayNew->topLevelItem(0));
        page->ItemClicked(true, relayNew->topLevelItem(0));
        relay->setCurrentItem(Row(6));
        page->ItemClicked(false, Row(6));
        ASSERT_FALSE(remove->isEnabled());
        ASSERT_TRUE(removeNew->isEnabled());
        if (!c.fromNew) {
            relay->setCurrentItem(Row(c.sourceRow));
            page->ItemClicked(false, Row(c.sourceRow));
        }
        QTreeWidget* from = c.fromNew ? relayNew : relay;
        QTreeWidget* to = c.toNew ? relayNew : relay;
        page->DropOnRow(from, static_cast<RelayList*>(to), to->topLevelItem(c.targetRow - 1),
                        ItemKey(c.sourceRow), c.keys);
        EXPECT_EQ(remove->isEnabled(), c.removeEnabled);
        EXPECT_EQ(removeNew->isEnabled(), c.removeNewEnabled);
        const XelRelay* selected = setup->Relay()->Item(RowKey(relay->currentItem()));
        const XelRelay* selectedNew = setup->RelayNew()->Item(RowKey(relayNew->currentItem()));
        EXPECT_EQ(remove->isEnabled(), selected && selected->InUse());
        EXPECT_EQ(removeNew->isEnabled(), selectedNew && selectedNew->InUse());
    }
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
    setup->ResetBackup();
    box->click();
    EXPECT_FALSE(setup->Relay()->RelayT44DisableBW());
    EXPECT_TRUE(setup->Changed()) << "the click alone is an edit to save";
    box->click();
    EXPECT_TRUE(setup->Relay()->RelayT44DisableBW());
    EXPECT_TRUE(setup->RelayNew()->RelayT44DisableBW());
}

// ---- refresh, editing through Qt events, drag and drop handlers, scroll pictures ----

// Runs `action` and answers every relay picker it opens: the entry with `choose` as key, or
// Cancel when empty. Returns the number of pickers opened.
int PickersDuring(const std::function<void()>& action, const QString& choose = QString())
{
    int opened = 0;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* picker = qobject_cast<frmRelaySelection*>(QApplication::activeModalWidget());
        if (!picker || !picker->isVisible())
            return;
        ++opened;
        QTreeWidgetItem* row = choose.isEmpty() ? nullptr
                                                : RowByKey(picker->findChild<QTreeWidget*>("lvwRelaySelection"), choose);
        if (row)
            picker->AcceptEntry(row);
        else
            picker->findChild<QPushButton*>("cmdCancel")->click();
    });
    poll.start();
    action();
    poll.stop();
    return opened;
}

class RelaysPageEventsTest : public RelaysPageTest {
protected:
    void SetUp() override
    {
        RelaysPageTest::SetUp();
        list = static_cast<RelayList*>(relay);
        listNew = static_cast<RelayList*>(relayNew);
        page->resize(700, 400);
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    }
    void Grey()
    {
        setup->AnalogIn()->Item("6*")->SetActive(true);
        setup->AnalogIn()->Item("6*")->SetInputType(0);
        page->GhostRelaysForAnalogInputs();
    }
    QPoint At(QTreeWidget* l, int n) { return l->visualItemRect(l->topLevelItem(n - 1)).center(); }
    RelayList* list = nullptr;
    RelayList* listNew = nullptr;
};

TEST_F(RelaysPageTest, RefreshRulesForEveryCodeRange)
{
    auto* d2 = setup->DigitalIn()->Item("2*");
    d2->SetActive(true); d2->SetSwitchType(0); d2->SetAction(2); d2->SetText("LUBE");
    auto* d5 = setup->DigitalIn()->Item("5*");
    d5->SetActive(false); d5->SetSwitchType(1); d5->SetAction(1); d5->SetText("BILGE");
    auto* d9 = setup->DigitalIn()->Item("9*");
    d9->SetActive(true); d9->SetSwitchType(0); d9->SetAction(3); d9->SetText("STOP");
    struct A { int n; bool active; int type; int action; int direction; };
    for (const A& a : {A{1, true, 0, 3, 1}, A{2, true, 0, 4, 0}, A{3, true, 0, 6, 1}, A{4, true, 0, 1, 0},
                       A{5, false, 3, 2, 0}, A{7, false, 0, 0, 0}, A{8, true, 3, 0, 0}, A{9, false, 0, 5, 1}}) {
        XelAnalogIn* in = setup->AnalogIn()->Item(ItemKey(a.n));
        in->SetActive(a.active); in->SetInputType(a.type); in->SetAction(a.action);
        in->SetActionDirection(a.direction); in->SetText(QStringLiteral("T%1").arg(a.n));
    }
    setup->SpeedRelays()->Item("2*")->SetInUse(true);
    setup->SpeedRelays()->Item("2*")->SetRPM(1200);

    struct Case { int code; const char* text; int picture; const char* stored; bool red; };
    const Case cases[] = {
        {2, "SW2, LUBE", 6, "SW2, LUBE", false},                        // NC + alarm
        {9, "SW9, STOP", 7, "SW9, STOP", false},                        // NC + shutdown
        {194, "SW2, LUBE", 5, "SW2, LUBE", false},                      // warning level adds nothing
        {197, "SW5, BILGE - NOT ACTIVE!", 14, "SW5, BILGE", true},      // NO, inactive
        {13, "AI1, T1", 22, "AI1, T1", false},                          // shutdown, below
        {14, "AI2, (ALARM) T2", 19, "AI2, (ALARM) T2", false},
        {206, "AI2, (WARNING) T2", 17, "AI2, (WARNING) T2", false},
        {15, "AI3, T3", 24, "AI3, T3", false},                          // RPM dependent, below
        {208, "AI4, T4", 17, "AI4, T4", false},                         // warning
        {17, "AI5, T5 - NOT ACTIVE!   J1587", 34, "AI5, T5", true},     // bus input, inactive
        {29, "AI7, T7 - NOT ACTIVE!", 33, "AI7, T7", true},             // inactive without action
        {30, "AI8, T8   J1587", 34, "AI8, T8", false},                  // bus without action: no mark
        {31, "AI9, (SHUTDOWN) T9 - NOT ACTIVE!", 30, "AI9, (SHUTDOWN) T9", true}, // 22 + 8
        {223, "AI9, (WARNING) T9 - NOT ACTIVE!", 26, "AI9, (WARNING) T9", true},  // 18 + 8
        {59, "Speed Relay 2, 1200 RPM", 3, "Speed Relay 2, 1200 RPM", false},
        {60, "Speed Relay 3 - NOT ACTIVE!", 4, "Speed Relay 3 - NOT ACTIVE!", true},
        {75, "Common Alarm", 1, "stale", false},                        // text replaced, stored kept
        {215, "", 1, "stale", false},                                   // names nothing: empty text
    };
    for (const Case& c : cases) {
        for (cRelay* relays : {setup->Relay(), setup->RelayNew()}) {
            XelRelay* e = relays->Item(1);
            e->SetInUse(true);
            e->SetFunctionNo(c.code);
            e->SetFunctionText("stale");
        }
        page->LoadRelays();
        page->LoadRelaysNew();
        // A fixed function keeps the picture it was drawn with.
        if (c.code == 75 || c.code == 215)
            for (QTreeWidget* l : {relay, relayNew})
                SetRowPicture(l->topLevelItem(0), 1, {});
        page->RefreshRelayLists();
        for (int which : {0, 1}) {
            QTreeWidgetItem* row = (which ? relayNew : relay)->topLevelItem(0);
            XelRelay* e = (which ? setup->RelayNew() : setup->Relay())->Item(1);
            EXPECT_EQ(row->text(1), c.text) << c.code << " list " << which;
            EXPECT_EQ(RowPicture(row), c.picture) << c.code << " list " << which;
            EXPECT_EQ(e->FunctionText(), c.stored) << c.code << " list " << which;
            EXPECT_EQ(row->foreground(1).color() == QColor(255, 0, 0), c.red) << c.code << " list " << which;
            EXPECT_EQ(page->RelayRowMarked(which, "1*"), c.red) << c.code << " list " << which;
        }
    }
}

TEST_F(RelaysPageTest, RefreshLeavesUnusedRowsAndGreysChannelThirteenInsteadOfRed)
{
    setup->DigitalIn()->Item("3*")->SetActive(false);
    Use(13, 3);
    setup->AnalogIn()->Item("6*")->SetActive(true);
    page->LoadRelays();
    Row(2)->setText(1, "kept");
    SetRowPicture(Row(2), 9, {});
    page->RefreshRelayLists();
    EXPECT_EQ(Row(2)->text(1), "kept");
    EXPECT_EQ(RowPicture(Row(2)), 9);
    EXPECT_TRUE(Row(13)->text(1).endsWith(" - NOT ACTIVE!"));
    EXPECT_TRUE(page->RelayRowMarked(0, "13*"));
    EXPECT_EQ(Row(13)->foreground(1).color(), QApplication::palette().color(QPalette::Disabled, QPalette::Text));
    setup->AnalogIn()->Item("6*")->SetActive(false);
    page->RefreshRelayLists();
    EXPECT_EQ(Row(13)->foreground(1).color(), QApplication::palette().color(QPalette::ButtonText));
}

TEST_F(RelaysPageTest, InputActiveAgainLosesItsRedAndGreyedRowsStayGreyWhenCleared)
{
    XelAnalogIn* a1 = setup->AnalogIn()->Item("1*");
    a1->SetActive(false);
    a1->SetAction(2);
    Use(1, 13);
    Use(12, 13);
    page->LoadRelays();
    EXPECT_EQ(Row(1)->foreground(1).color(), QColor(255, 0, 0));
    EXPECT_EQ(RowPicture(Row(1)), 33);
    a1->SetActive(true);
    // Drawing the row again is enough: red would let a drop replace it without a question.
    page->ShowRelayFunction(false, Row(1), *Entry(1));
    EXPECT_NE(Row(1)->foreground(1).color(), QColor(255, 0, 0));
    page->RefreshRelayLists();
    EXPECT_NE(Row(1)->foreground(1).color(), QColor(255, 0, 0));
    EXPECT_EQ(RowPicture(Row(1)), 19);

    // A greyed row cleared by Remove keeps the grey of its greying.
    setup->AnalogIn()->Item("8*")->SetActive(true);
    page->GhostRelaysForAnalogInputs();
    relay->setCurrentItem(Row(12));
    page->findChild<QPushButton*>("cmdRelayRemove")->click();
    EXPECT_FALSE(Entry(12)->InUse());
    EXPECT_EQ(Row(12)->foreground(1).color(), QApplication::palette().color(QPalette::Disabled, QPalette::Text));
}

TEST_F(RelaysPageTest, LoadingWithoutTheLoadingFlagKeepsTheTerminal44Flags)
{
    for (bool flag : {true, false}) {
        setup->Relay()->SetRelayT44DisableBW(flag);
        setup->RelayNew()->SetRelayT44DisableBW(!flag);
        page->LoadRelays();
        page->LoadRelaysNew();
        EXPECT_EQ(page->findChild<QCheckBox*>("chkRelaysT44")->isChecked(), flag);
        EXPECT_EQ(setup->Relay()->RelayT44DisableBW(), flag);
        EXPECT_EQ(setup->RelayNew()->RelayT44DisableBW(), !flag);
    }
}

TEST_F(RelaysPageEventsTest, DoubleClickOpensThePickerOnlyAfterALeftPressAndNeverOnGreyedRows)
{
    Grey();
    struct Case { Qt::MouseButton button; int row; int pickers; } cases[] = {
        {Qt::LeftButton, 3, 1}, {Qt::RightButton, 3, 0}, {Qt::MiddleButton, 3, 0}, {Qt::LeftButton, 12, 0}};
    // Qt sends press, release, then the double click in place of the second press.
    auto dclick = [](QTreeWidget* l, Qt::MouseButton button, QPoint at) {
        QTest::mousePress(l->viewport(), button, {}, at);
        QTest::mouseRelease(l->viewport(), button, {}, at);
        QTest::mouseDClick(l->viewport(), button, {}, at);
    };
    for (const Case& c : cases) {
        const int opened = PickersDuring([&] { dclick(relay, c.button, At(relay, c.row)); });
        EXPECT_EQ(opened, c.pickers) << c.button << " row " << c.row;
    }
    // The chosen entry lands in the double-clicked row.
    const int opened = PickersDuring([&] { dclick(relayNew, Qt::LeftButton, At(relayNew, 2)); }, "*75");
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(setup->RelayNew()->Item(2)->FunctionNo(), 75);
    EXPECT_EQ(relayNew->topLevelItem(1)->text(1), "Common Alarm");
    // Beside the rows: nothing.
    EXPECT_EQ(PickersDuring([&] { dclick(relayNew, Qt::LeftButton, QPoint(20, relayNew->viewport()->height() - 3)); }), 0);
    // The button of the last press in either list decides.
    QTest::mousePress(relayNew->viewport(), Qt::RightButton, {}, At(relayNew, 1));
    QTest::mouseRelease(relayNew->viewport(), Qt::RightButton, {}, At(relayNew, 1));
    EXPECT_EQ(PickersDuring([&] { QTest::mouseDClick(relay->viewport(), Qt::LeftButton, {}, At(relay, 3)); }), 0);
}

TEST_F(RelaysPageEventsTest, KeysOnNormalAndGreyedRows)
{
    Grey();
    Use(12, 75);
    page->LoadRelays();
    page->GhostRelaysForAnalogInputs();
    struct Case { int row; int key; int pickers; } cases[] = {
        {11, Qt::Key_Space, 1}, {11, Qt::Key_Return, 1}, {11, Qt::Key_Enter, 1},
        {12, Qt::Key_Space, 0}, {12, Qt::Key_Return, 0}, {12, Qt::Key_Enter, 0}, {11, Qt::Key_A, 0}};
    for (const Case& c : cases) {
        relay->setCurrentItem(Row(c.row));
        EXPECT_EQ(PickersDuring([&] { QTest::keyClick(relay, Qt::Key(c.key)); }), c.pickers) << c.row << " " << c.key;
    }
    // A cancelled picker changes nothing; Delete still clears a greyed row after the question.
    EXPECT_TRUE(Entry(12)->InUse());
    relay->setCurrentItem(Row(12));
    doubles.presenter.answers = {platform::MsgResult::Yes};
    QTest::keyClick(relay, Qt::Key_Delete);
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_EQ(doubles.presenter.shown[0].text, "Do you want to clear Relay channel 12?");
    EXPECT_FALSE(Entry(12)->InUse());
    // Delete on an entry not in use asks nothing; God Mode clears without a question.
    QTest::keyClick(relay, Qt::Key_Delete);
    EXPECT_EQ(doubles.presenter.shown.size(), 1);
    state.ExpertMode = true;
    relayNew->setCurrentItem(relayNew->topLevelItem(0));
    QTest::keyClick(relayNew, Qt::Key_Delete);
    EXPECT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_FALSE(setup->RelayNew()->Item(1)->InUse());
}

TEST_F(RelaysPageEventsTest, ButtonsFollowTheRowReachedByKeys)
{
    Grey();
    Use(12, 75);
    page->LoadRelays();
    page->GhostRelaysForAnalogInputs();
    auto* add = page->findChild<QPushButton*>("cmdRelayAdd");
    auto* remove = page->findChild<QPushButton*>("cmdRelayRemove");
    QTest::mouseClick(relay->viewport(), Qt::LeftButton, {}, At(relay, 11));
    EXPECT_TRUE(add->isEnabled());
    EXPECT_FALSE(remove->isEnabled());
    QTest::keyClick(relay, Qt::Key_Down);
    ASSERT_EQ(relay->currentItem(), Row(12));
    EXPECT_FALSE(add->isEnabled());
    EXPECT_TRUE(remove->isEnabled());
}

TEST_F(RelaysPageEventsTest, DragPayloadHoverAndDropThroughTheListHandlers)
{
    Use(1, 75);
    Use(4, 64);
    page->LoadRelays();
    Grey();
    relay->setCurrentItem(Row(1));
    std::unique_ptr<QMimeData> payload(list->SelectedRowPayload());
    ASSERT_TRUE(payload);
    EXPECT_EQ(payload->data("VIRUDIVIRU"), QByteArray("1*\0\0", 4));
    QMimeData foreignData;
    foreignData.setText("1*");
    QTreeWidget switchList;

    // Hover: the effect by keys and rows; the mark never moves the selection.
    struct Hover { const QObject* source; const QMimeData* data; int row; Qt::KeyboardModifiers keys; Qt::DropAction effect; } hovers[] = {
        {relay, payload.get(), 3, Qt::NoModifier, Qt::MoveAction},
        {relayNew, payload.get(), 3, Qt::ShiftModifier, Qt::MoveAction},
        {relay, payload.get(), 3, Qt::ControlModifier, Qt::CopyAction},
        {relay, payload.get(), 3, Qt::AltModifier, Qt::CopyAction},
        {relay, payload.get(), 3, Qt::ControlModifier | Qt::ShiftModifier, Qt::MoveAction},
        {relay, payload.get(), 12, Qt::NoModifier, Qt::IgnoreAction},
        {&switchList, payload.get(), 3, Qt::NoModifier, Qt::IgnoreAction},
        {nullptr, payload.get(), 3, Qt::NoModifier, Qt::IgnoreAction},
        {relay, &foreignData, 3, Qt::NoModifier, Qt::IgnoreAction},
    };
    for (const Hover& h : hovers) {
        EXPECT_EQ(list->HoverAt(h.source, h.data, At(relay, h.row), h.keys), h.effect) << h.row << " " << int(h.keys);
        EXPECT_EQ(list->DropHighlight(), h.effect == Qt::IgnoreAction ? nullptr : Row(h.row));
        EXPECT_EQ(relay->currentItem(), Row(1));
    }

    // A plain drop after hovering over the target moves and empties the dragged row.
    list->HoverAt(relay, payload.get(), At(relay, 3), Qt::NoModifier);
    list->DropAt(relay, payload.get(), At(relay, 3), Qt::NoModifier);
    EXPECT_EQ(list->DropHighlight(), nullptr);
    EXPECT_EQ(Entry(3)->FunctionNo(), 75);
    EXPECT_FALSE(Entry(1)->InUse());
    EXPECT_EQ(Row(1)->text(1), "");
    EXPECT_EQ(RowPicture(Row(1)), 0);
    EXPECT_EQ(Row(3)->text(1), "Common Alarm");
    EXPECT_EQ(relay->currentItem(), Row(3));

    // An Alt drop stores nothing and leaves the selected row's picture alone.
    relay->setCurrentItem(Row(4));
    SetRowPicture(Row(4), 9, {});
    std::unique_ptr<QMimeData> three(MakeDragPayload("3*"));
    list->DropAt(relay, three.get(), At(relay, 2), Qt::AltModifier);
    EXPECT_FALSE(Entry(2)->InUse());
    EXPECT_EQ(RowPicture(Row(4)), 9);

    // Refused drops: foreign data is ignored without a sound, a foreign list and a greyed
    // row change nothing.
    list->DropAt(relay, &foreignData, At(relay, 2), Qt::NoModifier);
    QDropEvent foreignDrop(At(relay, 2), Qt::CopyAction | Qt::MoveAction, &foreignData, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(relay->viewport(), &foreignDrop);
    EXPECT_FALSE(foreignDrop.isAccepted());
    EXPECT_EQ(doubles.presenter.beeps, 0);
    list->DropAt(&switchList, three.get(), At(relay, 2), Qt::NoModifier);
    list->DropAt(relay, three.get(), At(relay, 12), Qt::NoModifier);
    list->DropAt(relay, three.get(), QPoint(20, relay->viewport()->height() - 2), Qt::NoModifier);
    EXPECT_FALSE(Entry(2)->InUse());
    EXPECT_FALSE(Entry(12)->InUse());
    EXPECT_TRUE(Entry(3)->InUse());

    // A Qt drop event whose drag did not start in a relay list changes nothing.
    QDropEvent drop(At(relay, 2), Qt::CopyAction | Qt::MoveAction, three.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(relay->viewport(), &drop);
    EXPECT_FALSE(Entry(2)->InUse());
    EXPECT_TRUE(Entry(3)->InUse());
}

TEST_F(RelaysPageEventsTest, DropQuestionsByTargetKeysAndGodMode)
{
    XelAnalogIn* a2 = setup->AnalogIn()->Item("2*");
    a2->SetActive(false);
    a2->SetAction(2);
    struct Case { int targetCode; Qt::KeyboardModifiers keys; bool shift; bool god; int question; int resultCode; } cases[] = {
        {64, Qt::NoModifier, false, false, 304, 64},        // answered No: unchanged
        {64, Qt::ControlModifier, false, false, 303, 64},
        {0, Qt::NoModifier, false, false, 0, 75},           // target not in use: no question
        {14, Qt::NoModifier, false, false, 0, 75},          // red target (inactive analog): no question
        {64, Qt::NoModifier, false, true, 0, 75},           // God Mode
        {64, Qt::ControlModifier | Qt::ShiftModifier, true, false, 0, 75}, // copies, Shift held
    };
    for (const Case& c : cases) {
        Use(1, 75);
        Use(2, c.targetCode);
        Entry(2)->SetInUse(c.targetCode != 0);
        page->LoadRelays();
        relay->setCurrentItem(Row(1));
        doubles.presenter.shown.clear();
        doubles.presenter.answers = {platform::MsgResult::No};
        doubles.keys.shift = c.shift;
        state.ExpertMode = c.god;
        std::unique_ptr<QMimeData> payload(list->SelectedRowPayload());
        list->DropAt(relay, payload.get(), At(relay, 2), c.keys);
        ASSERT_EQ(doubles.presenter.shown.size(), c.question ? 1 : 0) << c.targetCode << " " << int(c.keys);
        if (c.question) {
            EXPECT_EQ(doubles.presenter.shown[0].text, extra::GetLangString(c.question, {2, 1}));
        }
        EXPECT_EQ(Entry(2)->FunctionNo(), c.resultCode) << c.targetCode << " " << int(c.keys);
        const bool copied = c.keys.testFlag(Qt::ControlModifier);
        EXPECT_EQ(Entry(1)->InUse(), copied || c.resultCode != 75) << c.targetCode;
    }
}

TEST_F(RelaysPageEventsTest, ScrollPicturesScrollTheirListWhileARelayDragIsHeld)
{
    relay->setFixedHeight(90);
    relayNew->setFixedHeight(60);
    for (int n = 3; n <= 9; ++n)
        setup->RelayNew()->Add(n, QString(), QStringLiteral("K%1").arg(n));
    page->LoadRelaysNew();
    QCoreApplication::processEvents();
    auto* down = page->findChild<RelayScrollPicture*>("picRelayListScroll_1");
    auto* up = page->findChild<RelayScrollPicture*>("picRelayListScroll_0");
    auto* newDown = page->findChild<RelayScrollPicture*>("picRelayNewListScroll_1");
    ASSERT_TRUE(down && up && newDown);
    QScrollBar* bar = relay->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 2);
    QTreeWidget switchList;

    // A foreign drag scrolls nothing.
    down->HoverFrom(&switchList);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_FALSE(down->Scrolling());
    // A relay drag (from either list) scrolls at once and then keeps scrolling while held.
    down->HoverFrom(relayNew);
    EXPECT_EQ(bar->value(), 1);
    EXPECT_TRUE(down->Scrolling());
    down->HoverFrom(relayNew); // a further move does not add a step of its own
    EXPECT_EQ(bar->value(), 1);
    for (int i = 0; i < 200 && bar->value() < 3; ++i)
        QTest::qWait(1);
    EXPECT_GE(bar->value(), 3);
    down->Leave();
    const int stopped = bar->value();
    QTest::qWait(5);
    EXPECT_EQ(bar->value(), stopped);
    up->HoverFrom(relay);
    EXPECT_EQ(bar->value(), stopped - 1);
    up->Leave();
    // Each picture scrolls its own list.
    newDown->HoverFrom(relay);
    EXPECT_EQ(relayNew->verticalScrollBar()->value(), 1);
    EXPECT_EQ(bar->value(), stopped - 1);
    newDown->Leave();
}

} // namespace
