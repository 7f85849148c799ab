// The Main page on its own: defaults, the light delay, the last known status, and the
// options that reach the other pages (operation mode, J1939/J1587, classifiable project).
#include "tests/app/pages/general/MainTestSupport.h"
#include "tests/common/WaitFor.h"

#include "app/pages/common/PageCommon.h"
#include "app/pages/general/BatteryPage.h"
#include "app/pages/general/MainPage.h"
#include "app/pages/general/MainWindowHelpers.h"
#include "app/pages/general/StandbyOperationPage.h"
#include "app/pages/general/frmIDNumber.h"
#include "controls/Container.h"
#include "controls/Number.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelBattery.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "platform/MessagePresenter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>

using namespace generaltest;
namespace Msg = platform::MsgResult;

namespace {

class MainPageTest : public PageFixture {
protected:
    void SetUp() override
    {
        PageFixture::SetUp();
        state.frame = &frame;
        state.switchPage = &switchPage;
        state.analogPage = &analogPage;
        state.speedSensorPage = &speedPage;
        standby = std::make_unique<StandbyOperationPage>(state);
        battery = std::make_unique<BatteryPage>(state);
        state.standbyPage = standby.get();
        state.batteryPage = battery.get();
        page = std::make_unique<MainPage>(state);
        state.mainPage = page.get();
        ASSERT_TRUE(page->InitDatabaseCombos());
        page->SetLanguageList(extra::LanguageNames());
        page->LoadMain();
        battery->LoadBattery();
        page->show();
        Forget();
    }
    void TearDown() override
    {
        page.reset();
        PageFixture::TearDown();
    }
    void Forget()
    {
        doubles.presenter.shown.clear();
        switchPage.calls.clear();
        analogPage.calls.clear();
        speedPage.calls.clear();
    }
    template <class T>
    T* Find(const char* name) const
    {
        T* w = page->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QComboBox* Mode() const { return Find<QComboBox>("cmbMainOperationMode"); }
    void PickMode(int mode) { Mode()->setCurrentIndex(Mode()->findData(mode)); }
    // Shows a freshly opened setup the way the frame does.
    void Reload()
    {
        page->LoadMain();
        battery->LoadBattery();
        standby->LoadStandbyOperation(state.PROPULSION);
        Forget();
    }
    // Adds the six bus channels a setup with J1939/J1587 support holds.
    void AddBusChannels()
    {
        for (int n = 12; n <= 17; ++n)
            setup->AnalogIn()->Add(n, extra::GetLangString(quint16(920 + n)));
    }

    FakeFrame frame;
    FakeSwitchPage switchPage;
    FakeAnalogPage analogPage;
    FakeSpeedSensorPage speedPage;
    std::unique_ptr<StandbyOperationPage> standby;
    std::unique_ptr<BatteryPage> battery;
    std::unique_ptr<MainPage> page;
};

TEST_F(MainPageTest, NewSetupShowsTheDefaults)
{
    EXPECT_EQ(Mode()->currentText(), "Auxiliary");
    EXPECT_EQ(Find<QComboBox>("cmbMainLanguage")->currentIndex(), 0);
    EXPECT_EQ(Find<QComboBox>("cmbMainLCDLightScale")->currentText(), "Hours");
    EXPECT_EQ(Find<Number>("numMainLCDLightDelay")->Value(), 3);
    EXPECT_TRUE(Find<QCheckBox>("chkMainClassified")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("chkMainAckOnWarning")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("chkMainCAN")->isChecked());
    EXPECT_EQ(Find<QComboBox>("cmbMainOutput")->currentText(), "Communication");
    EXPECT_EQ(Find<QComboBox>("cmbMainEngineHours")->currentText(), "Local");
    EXPECT_EQ(Find<QComboBox>("cmbMainEngineType")->currentText(), "Unknown"); // maker 255
    EXPECT_EQ(Find<QLabel>("lblMainComliID")->text(), "ID 1");
    EXPECT_EQ(Find<QLabel>("lblMainMID")->text(), "MID 171");
    EXPECT_TRUE(Find<Container>("conMainMID")->isHidden());
    EXPECT_EQ(Find<QLineEdit>("txtMainFirmware")->text(), "");
    EXPECT_EQ(Find<QPlainTextEdit>("txtMainDescription")->toPlainText(), extra::GetLangString(11));
    EXPECT_EQ(frame.panelText["MODE"], " Auxiliary");
    EXPECT_EQ(frame.panelTip["MODE"], "Operation Mode");
    EXPECT_FALSE(frame.panelVisible["USER"]);
    EXPECT_EQ(speedPage.nomMaxCaption, "Nominal Speed");
    EXPECT_TRUE(page->ValidateMain());
    EXPECT_FALSE(setup->Changed()) << "showing a setup changes nothing";
}

TEST_F(MainPageTest, LightDelayCodesShowAndValidate)
{
    struct Case {
        int code;
        bool shown;
        const char* scale;
        int value;
        bool valid;
        const char* message;
    } cases[] = {
        {0, false, "", 0, true, ""},
        {1, true, "Minutes", 0, false, "Display Light Delay must be between 1 and 59 minutes!"},
        {2, true, "Minutes", 1, true, ""},
        {60, true, "Minutes", 59, true, ""},
        {61, true, "Hours", 1, true, ""},
        {254, true, "Hours", 194, true, ""},
        {255, true, "Hours", 195, true, ""}, // as stored: not the user's entry
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        setup->Main()->SetLCDLight(c.code);
        setup->ResetBackup();
        Reload();
        auto* delay = Find<Number>("numMainLCDLightDelay");
        auto* scale = Find<QComboBox>("cmbMainLCDLightScale");
        EXPECT_EQ(!delay->isHidden(), c.shown);
        EXPECT_EQ(!scale->isHidden(), c.shown);
        EXPECT_EQ(!Find<QLabel>("lblMainLCDLightDelay")->isHidden(), c.shown);
        if (c.shown) {
            EXPECT_EQ(scale->currentText(), QString::fromLatin1(c.scale));
            EXPECT_EQ(delay->Value(), c.value);
        }
        EXPECT_EQ(page->ValidateMain(), c.valid);
        EXPECT_EQ(Messages().join(""), QString::fromLatin1(c.message));
        if (!c.valid)
            EXPECT_EQ(doubles.presenter.shown.first().style, 48);
        EXPECT_EQ(setup->Main()->LCDLight(), c.code) << "showing keeps the stored code";
        EXPECT_FALSE(setup->Changed());
    }
}

TEST_F(MainPageTest, LightDelayEditsStoreTheCode)
{
    setup->Main()->SetLCDLight(160); // 100 hours
    Reload();
    auto* delay = Find<Number>("numMainLCDLightDelay");
    auto* scale = Find<QComboBox>("cmbMainLCDLightScale");
    ASSERT_EQ(delay->Value(), 100);

    scale->setCurrentIndex(0); // minutes: the delay is brought into 1..59 first
    EXPECT_EQ(delay->Value(), 59);
    EXPECT_EQ(delay->Max(), 59);
    EXPECT_EQ(setup->Main()->LCDLight(), 60);
    scale->setCurrentIndex(1);
    EXPECT_EQ(delay->Max(), 194);
    EXPECT_EQ(setup->Main()->LCDLight(), 119);

    delay->TextBox()->selectAll();
    QTest::keyClicks(delay->TextBox(), "12");
    EXPECT_EQ(setup->Main()->LCDLight(), 72);
    delay->SetValue(0);
    EXPECT_EQ(setup->Main()->LCDLight(), 1);
    EXPECT_FALSE(page->ValidateMain());
    EXPECT_EQ(Messages(), QStringList{"Display Light Delay must be between 1 and 194 hours!"});
    scale->setCurrentIndex(0);
    delay->SetValue(0);
    EXPECT_FALSE(page->ValidateMain());
    EXPECT_EQ(Messages().last(), "Display Light Delay must be between 1 and 59 minutes!");
}

TEST_F(MainPageTest, LastKnownStatusText)
{
    struct Case {
        const char* firmware;
        MainFirmwareDirection direction;
        const char* tail;
    } cases[] = {
        {"4.47", MainFirmwareDirection::FromECX, " received from ECX 510 Q2 version 4.47"},
        {"3.10", MainFirmwareDirection::ToECX, " transmitted to ECX 510 Q1 version 3.10"},
        {"4.0", MainFirmwareDirection::ToECX, " transmitted to ECX 510 Q2 version 4.0"},
    };
    EXPECT_EQ(MainPage::FormatLastKnownStatus(*setup), "");
    for (const Case& c : cases) {
        setup->Main()->RecordTransfer(c.direction, QString::fromLatin1(c.firmware),
                                      QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
        const QString text = MainPage::FormatLastKnownStatus(*setup);
        EXPECT_TRUE(text.startsWith("Last known status: At ")) << text.toStdString();
        EXPECT_TRUE(text.endsWith(QString::fromLatin1(c.tail))) << text.toStdString();
        EXPECT_TRUE(text.contains("14:07:09")) << text.toStdString();
        page->LoadMain();
        EXPECT_EQ(Find<QLineEdit>("txtMainFirmware")->text(), text);
    }
}

TEST_F(MainPageTest, UserPanelShowsTheAuthor)
{
    setup->Main()->SetUser("ABC");
    Reload();
    EXPECT_EQ(frame.panelText["USER"], "ABC  ");
    EXPECT_TRUE(frame.panelVisible["USER"]);
    setup->Main()->SetUser("");
    Reload();
    EXPECT_FALSE(frame.panelVisible["USER"]);
}

// ---- operation mode ---------------------------------------------------------------------

TEST_F(MainPageTest, ModeChangesAskWhereTheyMust)
{
    struct Case {
        int from, to;
        bool shutdownInput, shift, expert;
        int answer;
        int message; // 0: no question
        const char* argument;
        int finalMode;
        bool inputsAdapted;
    } cases[] = {
        {0, 3, false, false, false, Msg::No, 0, "", 3, true},
        {0, 3, true, false, false, Msg::No, 128, "Auxiliary", 0, false},
        {0, 3, true, false, false, Msg::Yes, 128, "Auxiliary", 3, true},
        {1, 3, true, false, false, Msg::No, 128, "Combined", 1, false},
        {0, 3, true, true, false, Msg::No, 0, "", 3, true},
        {0, 3, true, false, true, Msg::No, 0, "", 3, true},
        {3, 0, true, false, false, Msg::No, 0, "", 0, true},
        {0, 2, true, false, false, Msg::No, 0, "", 2, false},
        {1, 2, false, false, false, Msg::No, 0, "", 2, false},
        {3, 2, false, false, false, Msg::No, 111, "Emergency", 3, false},
        {3, 2, false, false, false, Msg::Yes, 111, "Emergency", 2, false},
        {3, 2, false, true, false, Msg::No, 0, "", 2, false},
        {2, 3, false, false, false, Msg::No, 112, "Emergency", 2, false},
        {2, 3, false, false, false, Msg::Yes, 112, "Emergency", 3, true},
        {2, 0, true, false, false, Msg::No, 0, "", 0, false},
        {2, 1, false, false, false, Msg::No, 0, "", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 -> %2 shutdown %3 shift %4 expert %5 answer %6")
                         .arg(c.from).arg(c.to).arg(c.shutdownInput).arg(c.shift).arg(c.expert).arg(c.answer)
                         .toStdString());
        NewSetup();
        setup->Main()->SetOperationMode(c.from);
        setup->DigitalIn()->Item(4)->SetAction(c.shutdownInput ? 3 : 2);
        Reload();
        ASSERT_TRUE(Messages().isEmpty()) << "loading a setup asks nothing";
        doubles.keys.shift = c.shift;
        state.ExpertMode = c.expert;
        doubles.presenter.answers = {c.answer};

        PickMode(c.to);

        if (c.message == 0) {
            EXPECT_TRUE(Messages().isEmpty());
        } else {
            ASSERT_EQ(Messages().size(), 1);
            EXPECT_EQ(Messages().first(), Lang(quint16(c.message), {c.argument}));
            EXPECT_EQ(doubles.presenter.shown.first().style, 36);
        }
        EXPECT_EQ(setup->Main()->OperationMode(), c.finalMode);
        EXPECT_EQ(pagecommon::CurrentItemData(Mode()), c.finalMode);
        EXPECT_EQ(state.PROPULSION, c.finalMode == 2);
        EXPECT_EQ(state.Emergency, c.finalMode == 3);
        const bool propulsion = c.finalMode == 2;
        EXPECT_EQ(frame.tabCaption.value(TabStandbyOperation),
                  propulsion ? "S&tart/Fuel" : "S&tandby Operation");
        EXPECT_EQ(standby->findChild<Container*>("conStandbyOperationFuel")->isHidden(), !propulsion);
        EXPECT_EQ(standby->findChild<Container*>("conStandbyOperationStopping")->isHidden(), propulsion);
        EXPECT_EQ(speedPage.nomMaxCaption, propulsion ? "Max Speed" : "Nominal Speed");
        const QStringList adapted = {QStringLiteral("DigitalOperationModeChanged(%1)").arg(c.finalMode == 3)};
        EXPECT_EQ(switchPage.calls, c.inputsAdapted ? adapted : QStringList());
        EXPECT_EQ(analogPage.calls.contains(QStringLiteral("AnalogOperationModeChanged(%1)").arg(c.finalMode == 3)),
                  c.inputsAdapted);
        EXPECT_EQ(frame.panelText["MODE"], " " + Mode()->currentText());
        EXPECT_EQ(Find<QPlainTextEdit>("txtMainDescription")->toPlainText(),
                  extra::GetLangString(quint16(10 + Mode()->currentIndex())));
        doubles.keys.shift = false;
        state.ExpertMode = false;
    }
}

TEST_F(MainPageTest, OpeningAnEmergencySetupLeavesItsInputsAndTheOtherPagesAlone)
{
    auto other = CreateDefaultSetupDocument();
    other->Main()->SetOperationMode(3);
    other->DigitalIn()->Item(2)->SetAction(3);
    other->ResetBackup();
    state.SetXelObject(other.get());
    {
        pagecommon::ScopedFlag opening(state.OpeningSetup);
        page->LoadMain();
    }
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_TRUE(switchPage.calls.isEmpty());
    EXPECT_FALSE(analogPage.calls.contains("AnalogOperationModeChanged(1)"));
    EXPECT_EQ(other->DigitalIn()->Item(2)->Action(), 3) << "the loaded file's action is kept";
    EXPECT_EQ(other->Main()->OperationMode(), 3);
    EXPECT_TRUE(state.Emergency);
    EXPECT_FALSE(other->Changed());
    EXPECT_FALSE(setup->Changed()) << "the previous setup is not touched";
}

// ---- J1939/J1587 -------------------------------------------------------------------------

TEST_F(MainPageTest, J1939OnAddsTheEngineDataEntriesOnce)
{
    auto* can = Find<QCheckBox>("chkMainCAN");
    can->setChecked(true);
    EXPECT_TRUE(setup->Main()->CAN());
    EXPECT_TRUE(analogPage.calls.contains("AnalogCANChanged(1)"));
    EXPECT_TRUE(speedPage.calls.contains("SetPickupEngineDataEntries(1)"));
    EXPECT_FALSE(Find<Container>("conMainMID")->isHidden());
    battery->SetEngineDataEntries(true); // a second run finds the entries there
    page->LoadMain();
    auto* voltage = battery->findChild<QComboBox*>("cmbBatteryStartBatteryVoltage");
    ASSERT_EQ(voltage->count(), 4);
    const QStringList texts = {voltage->itemText(0), voltage->itemText(1), voltage->itemText(2), voltage->itemText(3)};
    EXPECT_EQ(texts, (QStringList{"12 Volt", "24 Volt", "Read From J1939", "Read From J1587"}));
    EXPECT_EQ(voltage->itemData(2).toInt(), 1);
    EXPECT_EQ(voltage->itemData(3).toInt(), 2);
}

TEST_F(MainPageTest, J1939OffAsksAboutTheBusInputsFirst)
{
    struct Case {
        QList<int> activeBusInputs;
        bool shift;
        int answer;
        int message;
        const char* list;
        bool switchedOff;
    } cases[] = {
        {{3, 7}, false, Msg::No, 137, "3, 7", false},
        {{3, 7}, false, Msg::Yes, 137, "3, 7", true},
        {{3}, false, Msg::No, 136, "3", false},
        {{13}, false, Msg::Yes, 136, "13", true},
        {{3, 7}, true, Msg::No, 0, "", true},
        {{}, false, Msg::No, 0, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("inputs %1 shift %2 answer %3").arg(c.activeBusInputs.size()).arg(c.shift)
                         .arg(c.answer).toStdString());
        NewSetup();
        setup->Main()->SetCAN(true);
        AddBusChannels();
        for (int n : c.activeBusInputs) {
            XelAnalogIn* input = setup->AnalogIn()->Item(pagecommon::ItemKey(n));
            input->SetActive(true);
            input->SetInputType(n % 2 ? 4 : 3);
            input->SetAction(3);
            input->SetActionDirection(1); // blocks the classifiable mark while in use
        }
        XelAnalogIn* idle = setup->AnalogIn()->Item("5*"); // a bus input not in use
        idle->SetInputType(4);
        idle->SetAction(1);
        setup->ResetBackup();
        Reload();
        page->UpdateClassifiedInfo();
        doubles.keys.shift = c.shift;
        doubles.presenter.answers = {c.answer};

        Find<QCheckBox>("chkMainCAN")->setChecked(false);

        // The classifiable tip names the inputs that still block, none that went out of use;
        // channels 12 to 17 are gone.
        const bool stillBlocking = !c.activeBusInputs.isEmpty() && !c.switchedOff;
        EXPECT_EQ(setup->AnalogIn()->Count(), c.switchedOff ? 11 : 17);
        EXPECT_EQ(Find<QCheckBox>("chkMainClassified")->toolTip().isEmpty(), !stillBlocking);

        if (c.message) {
            ASSERT_EQ(Messages().size(), 1);
            EXPECT_EQ(Messages().first(), Lang(quint16(c.message), {c.list}));
            EXPECT_EQ(doubles.presenter.shown.first().style, 52);
        } else {
            EXPECT_TRUE(Messages().isEmpty());
        }
        EXPECT_EQ(Find<QCheckBox>("chkMainCAN")->isChecked(), !c.switchedOff);
        EXPECT_EQ(setup->Main()->CAN(), !c.switchedOff);
        EXPECT_EQ(analogPage.calls.contains("AnalogCANChanged(0)"), c.switchedOff);
        // With no bus input in use the channels keep their input types and the lists stay.
        const bool takenOut = c.switchedOff && !c.activeBusInputs.isEmpty();
        EXPECT_EQ(switchPage.calls.contains("FillDigitalInputTypeCombo(0,1)"), takenOut);
        EXPECT_EQ(analogPage.calls.contains("FillAnalogInputTypeCombo(0,1)"), takenOut);
        if (c.switchedOff) {
            EXPECT_EQ(idle->Action(), 0);
            EXPECT_EQ(idle->InputType(), takenOut ? 0 : 4);
            for (int n : c.activeBusInputs)
                if (n <= 11) {
                    EXPECT_FALSE(setup->AnalogIn()->Item(pagecommon::ItemKey(n))->Active());
                    EXPECT_EQ(setup->AnalogIn()->Item(pagecommon::ItemKey(n))->InputType(), 0);
                }
        } else {
            EXPECT_FALSE(setup->Changed()) << "a refusal changes no input";
            EXPECT_EQ(idle->Action(), 1);
            EXPECT_FALSE(Find<Container>("conMainMID")->isHidden());
        }
        doubles.keys.shift = false;
    }
}

TEST_F(MainPageTest, J1939OffMovesTheBatteryFromEngineDataTo24Volt)
{
    setup->Main()->SetCAN(true);
    AddBusChannels();
    setup->Battery()->SetBatteryVoltage(2);
    setup->ResetBackup();
    Reload();
    auto* voltage = battery->findChild<QComboBox*>("cmbBatteryStartBatteryVoltage");
    ASSERT_EQ(voltage->currentText(), "Read From J1587");
    Find<QCheckBox>("chkMainCAN")->setChecked(false);
    EXPECT_EQ(voltage->count(), 2);
    EXPECT_EQ(voltage->currentText(), "24 Volt");
    EXPECT_EQ(setup->Battery()->BatteryVoltage(), 24.0f);
}

// ---- classifiable project ------------------------------------------------------------------

TEST_F(MainPageTest, OnePredicateNamesTheInputsThatBlockClassification)
{
    struct Digital { int index; bool active; int action; bool brokenWire; };
    struct Analog { int index; bool active; int action; int direction; };
    struct Case {
        QList<Digital> digital;
        QList<Analog> analog;
        const char* text;
    } cases[] = {
        {{{2, true, 3, false}}, {}, "Switch Input Channel 2"},
        {{{2, true, 3, true}}, {}, ""},                         // broken wire detected
        {{{2, false, 3, false}}, {}, ""},                       // not in use
        {{{6, true, 3, true}}, {}, ""},                         // the last input with broken-wire detection
        {{{6, true, 3, false}}, {}, "Switch Input Channel 6"},
        {{{7, true, 3, true}}, {}, "Switch Input Channel 7"},
        {{{8, true, 3, true}, {2, true, 3, false}}, {{3, true, 5, 1}},
         "Switch Input Channels 2, 8 and Analog Input Channel 3"},
        {{}, {{3, true, 3, 1}, {4, true, 8, 1}}, "Analog Input Channels 3, 4"},
        {{}, {{3, true, 3, 0}, {4, false, 3, 1}, {5, true, 2, 1}}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        NewSetup();
        for (const Digital& d : c.digital) {
            XelDigitalIn* input = setup->DigitalIn()->Item(pagecommon::ItemKey(d.index));
            input->SetActive(d.active);
            input->SetAction(d.action);
            input->SetBrokenWireDetection(d.brokenWire);
        }
        for (const Analog& a : c.analog) {
            XelAnalogIn* input = setup->AnalogIn()->Item(pagecommon::ItemKey(a.index));
            input->SetActive(a.active);
            input->SetAction(a.action);
            input->SetActionDirection(a.direction);
        }
        Reload();
        page->UpdateClassifiedInfo();
        const bool blocked = QByteArray(c.text).size() > 0;
        auto tip = [&](const char* lead) { return blocked ? lead + QString::fromLatin1(c.text) : QString(); };
        auto* box = Find<QCheckBox>("chkMainClassified");
        ASSERT_TRUE(setup->Main()->Classified());
        EXPECT_EQ(box->toolTip(), tip("Stored as classifiable; blocked by "));
        EXPECT_EQ(page->ClassifiedTag(), blocked ? "0" : "1");

        // The click follows the same rule.
        box->setChecked(false);
        EXPECT_EQ(box->toolTip(), tip("Disabled due to "));
        box->setChecked(true);
        EXPECT_EQ(box->isChecked(), !blocked);
        EXPECT_EQ(setup->Main()->Classified(), !blocked);
        EXPECT_EQ(frame.panelVisible["CLASSIFIABLE"], !blocked);
    }
}

// The box, the stored mark and the status panel agree after every step, and only the user's
// click or an input edit that newly blocks the setup changes the mark.
TEST_F(MainPageTest, ClassifiedMarkChangesOnlyByTheUserOrTheRule)
{
    auto blockInput2 = [this](bool brokenWire) {
        XelDigitalIn* input = setup->DigitalIn()->Item(2);
        input->SetActive(true);
        input->SetAction(3);
        input->SetBrokenWireDetection(brokenWire);
    };
    // What an input page does after the user's edit.
    auto inputEdit = [this, blockInput2](bool brokenWire) {
        blockInput2(brokenWire);
        page->UpdateClassifiedInfo();
        page->UpdateClassifiedCheck(false);
    };
    auto* box = Find<QCheckBox>("chkMainClassified");
    struct Case {
        const char* what;
        bool stored;
        bool blockedWhenShown;
        std::function<void()> step;
        bool classified, enabled, changed;
    } cases[] = {
        {"stored and blocked: shown as stored", true, true, [] {}, true, true, false},
        {"the page is shown again", true, true, [this] { page->UpdateClassifiedCheck(false); }, true, true, false},
        {"a store of another option", true, true,
         [this] { Find<QCheckBox>("chkMainInvertLCDOnAlarm")->setChecked(true); }, true, true, true},
        {"the user clears it", true, true, [box] { box->setChecked(false); }, false, false, true},
        {"the user cannot tick it", false, true, [box] { box->setChecked(true); }, false, false, false},
        {"the blocker mended", true, true, [inputEdit] { inputEdit(true); }, true, true, true},
        {"an edit blocks a free setup", true, false, [inputEdit] { inputEdit(false); }, false, false, true},
        {"an edit blocks an unmarked setup", false, false, [inputEdit] { inputEdit(false); }, false, false, true},
        {"forced while nothing blocks", false, false, [this] { page->UpdateClassifiedCheck(true); }, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewSetup();
        setup->Main()->SetClassified(c.stored);
        if (c.blockedWhenShown)
            blockInput2(false);
        setup->ResetBackup();
        {
            // Shown as the frame shows an opened file.
            pagecommon::ScopedFlag opening(state.OpeningSetup);
            Reload();
            page->UpdateClassifiedInfo();
            page->UpdateClassifiedCheck(false);
        }
        c.step();
        EXPECT_EQ(setup->Main()->Classified(), c.classified);
        EXPECT_EQ(box->isChecked(), c.classified);
        EXPECT_EQ(frame.panelVisible["CLASSIFIABLE"], c.classified);
        EXPECT_EQ(box->isEnabled(), c.enabled);
        EXPECT_EQ(setup->Changed(), c.changed);
        EXPECT_TRUE(Messages().isEmpty());
    }
    frame.tab = TabSwitch; // away from the page its box is not enabled
    page->UpdateClassifiedCheck(false);
    EXPECT_FALSE(box->isEnabled());
}

TEST_F(MainPageTest, ProgramMadeClassifiedDoesNotCountButTheUsersChangeDoes)
{
    setup->Main()->SetClassified(false);
    setup->ResetBackup();
    Reload();
    page->UpdateClassifiedInfo();
    page->UpdateClassifiedCheck(true);
    EXPECT_TRUE(setup->Main()->Classified());
    EXPECT_FALSE(setup->Changed());

    Find<QCheckBox>("chkMainClassified")->setChecked(false); // the user's click
    EXPECT_TRUE(setup->Changed());
    page->UpdateClassifiedInfo();
    page->UpdateClassifiedCheck(false); // an input page refreshes the box
    EXPECT_TRUE(setup->Changed()) << "the user's change still counts";
}

// ---- other options ----------------------------------------------------------------------------

TEST_F(MainPageTest, CheckBoxesAndListsStoreTheirFields)
{
    XelMain& main = *setup->Main();
    Find<QCheckBox>("chkMainAckOnWarning")->setChecked(true);
    Find<QCheckBox>("chkMainShutdownOverride")->setChecked(true);
    Find<QCheckBox>("chkMainInvertLCDOnAlarm")->setChecked(true);
    Find<QComboBox>("cmbMainLanguage")->setCurrentIndex(2);
    Find<QComboBox>("cmbMainEngineHours")->setCurrentIndex(2);
    auto* engine = Find<QComboBox>("cmbMainEngineType");
    engine->setCurrentIndex(engine->findText("Scania"));
    EXPECT_TRUE(main.AckOnWarning());
    EXPECT_TRUE(main.ShutdownOverride());
    EXPECT_TRUE(main.InvertLCDOnAlarm());
    EXPECT_EQ(main.Language(), 2);
    EXPECT_EQ(main.EngineHours(), 2);
    EXPECT_EQ(main.EngineType(), 5);
    EXPECT_EQ(page->LanguageText(), extra::LanguageNames().value(2));
    EXPECT_EQ(page->OperationModeText(), "Auxiliary");
}

TEST_F(MainPageTest, IndexesOutsideTheListsShowNoChoiceAndKeepTheirValue)
{
    setup->Main()->SetLanguage(200);
    setup->Main()->SetOperationMode(9);
    setup->Main()->SetEngineType(77);
    setup->ResetBackup();
    Reload();
    EXPECT_EQ(Find<QComboBox>("cmbMainLanguage")->currentIndex(), -1);
    EXPECT_EQ(Mode()->currentIndex(), -1);
    EXPECT_EQ(Find<QComboBox>("cmbMainEngineType")->currentIndex(), -1);
    Find<QCheckBox>("chkMainInvertLCDOnAlarm")->setChecked(true); // a store of the whole page
    EXPECT_EQ(setup->Main()->Language(), 200);
    EXPECT_EQ(setup->Main()->OperationMode(), 9);
    EXPECT_EQ(setup->Main()->EngineType(), 77);
    EXPECT_TRUE(setup->Main()->InvertLCDOnAlarm()) << "the fields after them are stored";
}

TEST_F(MainPageTest, PortP3HidesTheIdNumber)
{
    auto* output = Find<QComboBox>("cmbMainOutput");
    output->setCurrentIndex(1);
    EXPECT_TRUE(setup->Main()->PrinterOutput());
    EXPECT_TRUE(Find<QLabel>("lblMainComliID")->isHidden());
    EXPECT_TRUE(Find<QPushButton>("cmdMainComliIDChange")->isHidden());
    setup->Main()->SetIDNumber(25);
    output->setCurrentIndex(0);
    EXPECT_FALSE(setup->Main()->PrinterOutput());
    EXPECT_FALSE(Find<QLabel>("lblMainComliID")->isHidden());
    EXPECT_EQ(Find<QLabel>("lblMainComliID")->text(), "ID 25");
}

TEST_F(MainPageTest, DiagnosticsButtonFollowsTheBoxWhichStaysUsable)
{
    auto* box = Find<QCheckBox>("chkMainDiagnostics");
    auto* button = Find<QPushButton>("cmdMainCANDiagnosis");
    EXPECT_TRUE(button->isHidden());
    box->setChecked(true);
    EXPECT_FALSE(button->isHidden());
    EXPECT_TRUE(setup->Main()->CANDiagnose());
    box->setChecked(false);
    EXPECT_TRUE(button->isHidden());
    EXPECT_TRUE(box->isEnabled()) << "the box can be checked again";
    EXPECT_FALSE(setup->Main()->CANDiagnose());
}

TEST_F(MainPageTest, IdNumberDialogFromItsButton)
{
    auto* label = Find<QLabel>("lblMainComliID");
    auto* button = Find<QPushButton>("cmdMainComliIDChange");
    const int before = button->x();
    testing_doubles::WhenModal<frmIDNumber>([](frmIDNumber* dialog) {
        dialog->findChild<Number*>("numIDNumber")->SetValue(125);
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(setup->Main()->IDNumber(), 125);
    EXPECT_EQ(label->text(), "ID 125");
    EXPECT_EQ(button->x(), label->x() + label->width() + 8);
    EXPECT_GT(button->x(), before);
}

TEST_F(MainPageTest, DatabaseListsAreFilledAtStartUp)
{
    auto* engine = Find<QComboBox>("cmbMainEngineType");
    ASSERT_GT(engine->count(), 10);
    EXPECT_EQ(engine->itemText(engine->findData(255)), "Unknown");
    auto* fuel = standby->findChild<QComboBox*>("cmbStandbyOperationFuel");
    ASSERT_EQ(fuel->count(), 5);
    EXPECT_EQ(fuel->itemText(0), "None");
    EXPECT_EQ(fuel->itemData(4).toInt(), 4);
}

} // namespace

namespace {

TEST_F(MainPageTest, JDataMapsAreCreatedOnceAndReleasedWithThePage)
{
    page->CreateJDataObjects();
    clsJData* analog = state.JDataAnalog;
    ASSERT_NE(analog, nullptr);
    ASSERT_NE(state.JDataDigital, nullptr);
    EXPECT_NE(analog, state.JDataDigital);
    page->CreateJDataObjects();
    EXPECT_EQ(state.JDataAnalog, analog);
    page.reset();
    EXPECT_EQ(state.JDataAnalog, nullptr);
    EXPECT_EQ(state.JDataDigital, nullptr);
    EXPECT_EQ(state.ADO, &ado) << "a database the page did not open stays";
}

TEST_F(MainPageTest, DebugModeNamesTheBlockingInputsInTheStatusBar)
{
    setup->DigitalIn()->Item(2)->SetActive(true);
    setup->DigitalIn()->Item(2)->SetAction(3);
    setup->AnalogIn()->Item(4)->SetActive(true);
    setup->AnalogIn()->Item(4)->SetAction(5);
    setup->AnalogIn()->Item(4)->SetActionDirection(1);
    doubles.status.timerStopped = false;
    page->UpdateClassifiedInfo();
    EXPECT_EQ(doubles.status.text, "") << "only in debug mode";
    state.DebugInfo = true;
    page->UpdateClassifiedInfo();
    EXPECT_EQ(doubles.status.text, "DI: 2; AI: 4");
    EXPECT_FALSE(doubles.status.timerStopped) << "the text stays until something replaces it";
}

TEST_F(MainPageTest, AdditionalInputListIsRefilledThroughTheSwitchPage)
{
    mainhelpers::RefreshDigitalInAdditional(state);
    EXPECT_EQ(switchPage.calls, QStringList{"FillDigitalInAdditionalCombo"});
    state.switchPage = nullptr;
    mainhelpers::RefreshDigitalInAdditional(state); // no page, nothing to do
}

} // namespace
