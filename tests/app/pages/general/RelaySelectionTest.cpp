#include "app/setupdefaults/DefaultSetup.h"
#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/general/frmRelaySelection.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cSpeedRelay.h"
#include "tests/common/Doubles.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using pagecommon::RowKey;
using pagecommon::RowPicture;

namespace {

// The Relays page's side of the round trip.
struct RecordingRelaysPage : RelaysPageApi {
    struct Call {
        bool bNew, inUse;
        int functionNo;
        QString text;
    };
    QList<Call> calls;
    void SetRelaysDefaults() override {}
    void SetRelaysNewDefaults() override {}
    void LoadRelays() override {}
    void LoadRelaysNew() override {}
    void RefreshRelayLists() override {}
    void GhostRelaysForAnalogInputs() override {}
    bool HasPreheatRelay() override { return false; }
    void UpdateRelayButtons() override {}
    void DisableRemoveButtons() override {}
    void FocusRelayNewList() override {}
    QString RelayRowText(int, const QString&) override { return {}; }
    void RelaySelected(bool bNew, const frmRelaySelection& picker) override
    {
        calls.append({bNew, picker.InUse(), picker.FunctionNo(), picker.FunctionText()});
    }
};

// Every fixed function the language table offers without the CAN option, in the list's
// order: ascending by character code, so capitals sort before small letters.
const char* const kFixedSorted[] = {
    "Acknowledge Button", "Analog Sensor Failure", "Backup System Failure", "Broken Wire",
    "Buzzer Active", "Buzzer-Off Button", "Common Alarm", "Common Analog Input Current Overload",
    "Common Shutdown", "Common Warning", "Cooling State", "Cranking State", "Delayed Stop Activated",
    "Disc. Gen Breaker Relay Activated", "Downloading Configuration", "Engine Started",
    "Engine Stopped For Unknown Reason", "First Start Attempt Failed", "LOCAL Mode", "Lamptest Button",
    "Manual Mode", "Manual Stop", "Overspeed", "Pickup 2 Failure", "Pickup Failure", "Power On", "Preheat",
    "Ready To Start", "Ready To Take Load", "Running State", "Secondary Battery Failure (terminal 3-4)",
    "Shutdown Override", "Shutdown Override Off", "Standby Mode", "Start Battery Low Voltage",
    "Start Command Externally", "Start Disabled", "Start Failure", "Stop Failure", "Stopped State",
    "Stopping State",
};

class RelaySelection : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(extra::LoadLanguageLibrary());
        setup = CreateDefaultSetupDocument();
        state.SetXelObject(setup.get());
        state.relaysPage = &relays;
    }
    void TearDown() override { extra::FreeLanguageLibrary(); }

    std::unique_ptr<frmRelaySelection> Open(int functionNo, int relayType = 0)
    {
        auto picker = std::make_unique<frmRelaySelection>(state);
        picker->SetRelayType(qint16(relayType));
        picker->InitEntries(qint16(functionNo));
        picker->show();
        return picker;
    }
    static QTreeWidget* List(frmRelaySelection& p) { return p.findChild<QTreeWidget*>("lvwRelaySelection"); }
    static QTreeWidgetItem* Selected(frmRelaySelection& p)
    {
        const QList<QTreeWidgetItem*> rows = List(p)->selectedItems();
        return rows.isEmpty() ? nullptr : rows.first();
    }
    static QStringList Texts(frmRelaySelection& p)
    {
        QStringList texts;
        for (int i = 0; i < List(p)->topLevelItemCount(); ++i)
            texts << List(p)->topLevelItem(i)->text(0);
        return texts;
    }

    testing_doubles::PlatformDoubles doubles;
    std::unique_ptr<XelObject> setup;
    MainState state;
    RecordingRelaysPage relays;
};

} // namespace

TEST_F(RelaySelection, OnlyFixedFunctionsSortedByText)
{
    auto picker = Open(0);
    QStringList expected;
    for (const char* t : kFixedSorted)
        expected << QString::fromLatin1(t);
    EXPECT_EQ(Texts(*picker), expected);
    EXPECT_EQ(picker->ItemCount(), 41);
    EXPECT_GT(picker->ItemHeight(), 0);
    EXPECT_EQ(picker->windowTitle(), "Select Relay Function");
    // Kinds by code: alarms below 38, events from there on.
    struct { const char* key; int picture; } pictures[] = {
        {"*18", 2}, {"*37", 2}, {"*38", 1}, {"*62", 1}, {"*75", 1},
    };
    for (const auto& p : pictures) {
        QTreeWidgetItem* row = pagecommon::RowByKey(List(*picker), QString::fromLatin1(p.key));
        ASSERT_NE(row, nullptr) << p.key;
        EXPECT_EQ(RowPicture(row), p.picture) << p.key;
    }
    for (const char* missing : {"*27", "*45", "*58", "*70", "*34"})
        EXPECT_EQ(pagecommon::RowByKey(List(*picker), QString::fromLatin1(missing)), nullptr) << missing;
    EXPECT_EQ(Selected(*picker), nullptr);
}

TEST_F(RelaySelection, TheCANOptionAddsTheDiagnoseEntries)
{
    setup->Main()->SetCAN(true);
    auto picker = Open(0);
    const QStringList texts = Texts(*picker);
    ASSERT_EQ(texts.size(), 45);
    const int at = int(texts.indexOf("First Start Attempt Failed"));
    EXPECT_EQ(texts.mid(at + 1, 5), (QStringList{"J1587 - Diagnose PID", "J1587 - Diagnose PPID", "J1587 - Diagnose PSID",
                                                 "J1587 - Diagnose SID", "LOCAL Mode"}));
    EXPECT_EQ(RowKey(List(*picker)->topLevelItem(at + 4)), "*72");
}

TEST_F(RelaySelection, InputsAndSpeedRelaysOffered)
{
    auto digital = [&](int n) { return setup->DigitalIn()->Item(pagecommon::ItemKey(n)); };
    auto analog = [&](int n) { return setup->AnalogIn()->Item(pagecommon::ItemKey(n)); };
    for (int n : {3, 4}) {
        digital(n)->SetActive(true);
        digital(n)->SetText(QStringLiteral("In%1").arg(n));
    }
    digital(3)->SetAction(1);       // warning, normally closed
    digital(4)->SetAction(3);       // shutdown
    digital(4)->SetSwitchType(1);   // normally open
    digital(5)->SetAction(2);       // not active: left out
    setup->Main()->SetCAN(true);
    setup->AnalogIn()->Add(12, "T12")->SetActive(true); // a CAN channel: no code of its own
    setup->AnalogIn()->Item("12*")->SetAction(2);
    struct A {
        int n, action, direction, type;
    } inputs[] = {
        {1, 0, 0, 0}, // no action, wired: left out
        {2, 2, 1, 0}, {7, 5, 0, 0}, {8, 0, 0, 4}, {9, 6, 0, 3}, {10, 7, 1, 0},
    };
    for (const A& a : inputs) {
        analog(a.n)->SetActive(true);
        analog(a.n)->SetAction(a.action);
        analog(a.n)->SetActionDirection(a.direction);
        analog(a.n)->SetInputType(a.type);
        analog(a.n)->SetText(QStringLiteral("A%1").arg(a.n));
    }
    setup->SpeedRelays()->Item("2*")->SetInUse(true);
    setup->SpeedRelays()->Item("2*")->SetRPM(1500);
    setup->SpeedRelays()->Item("3*")->SetInUse(true);
    setup->SpeedRelays()->Item("3*")->SetFunctionNo(0); // a damaged number: never offered

    auto picker = Open(0);
    struct Row {
        const char* key;
        const char* text;
        int picture;
    } expected[] = {
        {"D195", "SW3, In3", 5},
        {"D4", "SW4, In4", 10},
        {"A14", "AI2, A2", 20},
        {"A221", "AI7, (WARNING) A7", 17},
        {"A29", "AI7, (SHUTDOWN) A7", 21},
        {"A30", "AI8, A8   CAN", 34},
        {"A31", "AI9, A9   J1587", 34},
        {"A32", "AI10, A10", 24},
        {"S59", "Speed Relay 2, 1500 RPM", 3},
    };
    QTreeWidget* list = List(*picker);
    ASSERT_EQ(list->topLevelItemCount(), 9 + 45);
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        QTreeWidgetItem* row = list->topLevelItem(i);
        EXPECT_EQ(RowKey(row), QString::fromLatin1(expected[i].key));
        EXPECT_EQ(row->text(0), QString::fromLatin1(expected[i].text));
        EXPECT_EQ(RowPicture(row), expected[i].picture);
    }
    EXPECT_EQ(RowKey(list->topLevelItem(9)), "*44"); // "Acknowledge Button" opens the fixed run
}

TEST_F(RelaySelection, PreselectionOfTheCurrentFunction)
{
    setup->DigitalIn()->Item("3*")->SetActive(true);
    setup->DigitalIn()->Item("3*")->SetAction(1);
    struct Case {
        int code;
        const char* key; // "" none
    } cases[] = {
        {195, "D195"}, {62, "*62"}, {46, "*46"}, {0, ""}, {3, ""}, {59, ""}, {30, ""}, {215, ""}, {27, ""}, {34, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        auto picker = Open(c.code);
        QTreeWidgetItem* current = Selected(*picker);
        if (*c.key == 0) {
            EXPECT_EQ(current, nullptr);
        } else {
            ASSERT_NE(current, nullptr);
            EXPECT_EQ(RowKey(current), QString::fromLatin1(c.key));
        }
        EXPECT_TRUE(picker->findChild<QPushButton*>("cmdOK")->isEnabled());
    }
}

TEST_F(RelaySelection, OKReportsTheEntryToTheRelaysPage)
{
    auto picker = Open(62, 1);
    bool signalled = false;
    QObject::connect(picker.get(), &frmRelaySelection::RelaySelected, [&](bool bNew) { signalled = bNew; });
    QTest::mouseClick(picker->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    EXPECT_TRUE(picker->InUse());
    EXPECT_EQ(picker->FunctionNo(), 62);
    EXPECT_EQ(picker->FunctionText(), "Downloading Configuration");
    EXPECT_FALSE(picker->Cancelled());
    EXPECT_TRUE(signalled);
    ASSERT_EQ(relays.calls.size(), 1);
    EXPECT_TRUE(relays.calls[0].bNew);
    EXPECT_TRUE(relays.calls[0].inUse);
    EXPECT_EQ(relays.calls[0].functionNo, 62);
    EXPECT_EQ(relays.calls[0].text, "Downloading Configuration");
    EXPECT_FALSE(picker->isVisible());
}

TEST_F(RelaySelection, CancelAndOKWithoutEntryReportNothing)
{
    auto picker = Open(62);
    QTest::mouseClick(picker->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(picker->InUse());
    EXPECT_EQ(picker->FunctionNo(), 0);
    EXPECT_TRUE(picker->Cancelled());

    auto empty = Open(0);
    QTest::mouseClick(empty->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(empty->InUse());
    EXPECT_TRUE(empty->Cancelled());
    EXPECT_TRUE(relays.calls.isEmpty());
}

TEST_F(RelaySelection, LeftDoubleClickAcceptsTheEntryUnderThePointer)
{
    setup->DigitalIn()->Item("3*")->SetActive(true);
    setup->DigitalIn()->Item("3*")->SetAction(1);
    auto picker = Open(0, 0);
    QTreeWidget* list = List(*picker);
    QTreeWidgetItem* row = list->topLevelItem(0);
    const QPoint at = list->visualItemRect(row).center();
    QTest::mouseDClick(list->viewport(), Qt::RightButton, Qt::NoModifier, at);
    EXPECT_FALSE(picker->InUse());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_TRUE(picker->InUse());
    EXPECT_EQ(picker->FunctionNo(), 195);
    EXPECT_EQ(picker->FunctionText(), "SW3, " + setup->DigitalIn()->Item("3*")->Text());
    ASSERT_EQ(relays.calls.size(), 1);
    EXPECT_FALSE(relays.calls[0].bNew);
}

TEST_F(RelaySelection, AcceptingARowWithoutACodeStoresNothing)
{
    auto picker = Open(0);
    auto* bogus = pagecommon::AddRow(List(*picker), "S0", "Speed Relay 3, 0 RPM", 3, {});
    picker->AcceptEntry(bogus);
    EXPECT_FALSE(picker->InUse());
    EXPECT_TRUE(picker->Cancelled());
    EXPECT_TRUE(relays.calls.isEmpty());
}
