// Saved setups of every mode shown on the Main, Standby Operation, Battery and Info. pages:
// showing and storing changes nothing, and an edit survives save and reopen byte for byte.
#include "tests/app/pages/general/MainTestSupport.h"

#include "app/pages/channels/SwitchPage.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/general/BatteryPage.h"
#include "app/pages/general/InfoPage.h"
#include "app/pages/general/MainPage.h"
#include "app/pages/general/SpeedSensorPage.h"
#include "app/pages/general/StandbyOperationPage.h"
#include "controls/Float.h"
#include "controls/InfoWindow.h"
#include "controls/Number.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelBattery.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/XelStandbyOperation.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>

#include <functional>

using namespace generaltest;

namespace {

const QString CRLF = QStringLiteral("\r\n");

// The four pages with stand-ins for the others, as the frame puts them together.
struct Pages {
    explicit Pages(MainState& state)
    {
        state.frame = &frame;
        state.switchPage = &switchPage;
        state.analogPage = &analogPage;
        speed = std::make_unique<SpeedSensorPage>(state);
        state.speedSensorPage = speed.get();
        standby = std::make_unique<StandbyOperationPage>(state);
        battery = std::make_unique<BatteryPage>(state);
        info = std::make_unique<InfoPage>(state);
        state.standbyPage = standby.get();
        state.batteryPage = battery.get();
        state.infoPage = info.get();
        main = std::make_unique<MainPage>(state);
        state.mainPage = main.get();
        main->InitDatabaseCombos();
        main->SetLanguageList(extra::LanguageNames());
    }
    // What the frame's show routine does with these pages.
    void ShowSetup(MainState& state)
    {
        pagecommon::ScopedFlag opening(state.OpeningSetup);
        {
            pagecommon::ScopedFlag loading(state.Loading);
            main->LoadMain();
            standby->LoadStandbyOperation(state.PROPULSION);
            speed->LoadSpeedSensor();
            info->LoadInfo();
            battery->LoadBattery();
        }
        main->UpdateClassifiedInfo();
        main->UpdateClassifiedCheck(false);
    }
    void StoreAll(XelObject& setup)
    {
        main->StoreMain(*setup.Main());
        speed->StoreSpeedSensor(*setup.SpeedSensor());
        standby->StoreStandbyOperation(*setup.StandbyOperation());
        battery->StoreBattery(*setup.Battery());
        info->StoreInfo(*setup.Info());
    }
    template <class T>
    T* Find(const char* name) const
    {
        for (QWidget* page : {static_cast<QWidget*>(main.get()), static_cast<QWidget*>(standby.get()),
                              static_cast<QWidget*>(battery.get()), static_cast<QWidget*>(info.get())})
            if (T* w = page->findChild<T*>(QString::fromLatin1(name)))
                return w;
        ADD_FAILURE() << "no control " << name;
        return nullptr;
    }

    FakeFrame frame;
    FakeSwitchPage switchPage;
    FakeAnalogPage analogPage;
    std::unique_ptr<SpeedSensorPage> speed;
    std::unique_ptr<StandbyOperationPage> standby;
    std::unique_ptr<BatteryPage> battery;
    std::unique_ptr<InfoPage> info;
    std::unique_ptr<MainPage> main;
};

class RoundTripTest : public PageFixture {
protected:
    QByteArray Bytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Saves the open setup and opens the file again as the open setup.
    std::unique_ptr<XelObject> SaveAndReopen(XelObject& document, const QString& name)
    {
        const QString path = doubles.dir.filePath(name);
        EXPECT_TRUE(document.SaveFile(path));
        auto reopened = CreateDefaultSetupDocument(); // a file is opened into a new setup
        EXPECT_TRUE(reopened->LoadFile(path));
        state.SetXelObject(reopened.get());
        return reopened;
    }
    static void AddBusChannels(XelObject& document)
    {
        for (int n = 12; n <= 17; ++n)
            document.AnalogIn()->Add(n, extra::GetLangString(quint16(920 + n)));
    }
};

TEST_F(RoundTripTest, ShowingAndStoringEverySavedModeChangesNothing)
{
    struct Case {
        const char* what;
        std::function<void(XelObject&)> build;
    } cases[] = {
        {"default auxiliary", [](XelObject&) {}},
        {"combined, light never off, printer",
         [](XelObject& s) {
             XelMain& m = *s.Main();
             m.SetOperationMode(1);
             m.SetLCDLight(0);
             m.SetUser("ABC");
             m.SetAckOnWarning(true);
             m.SetLanguage(3);
             m.SetEngineType(5);
             m.SetEngineHours(1);
             m.SetPrinterOutput(true);
             m.SetIDNumber(44);
         }},
        {"propulsion with fuel type, 12 V, long name",
         [](XelObject& s) {
             s.Main()->SetOperationMode(2);
             s.Main()->SetLCDLight(30);
             s.StandbyOperation()->SetFuelConsumption(3);
             s.StandbyOperation()->SetStartAttempts(9);
             s.StandbyOperation()->SetDelay(50);
             s.StandbyOperation()->SetCooling(1);
             s.Battery()->SetBatteryVoltage(12);
             s.Battery()->SetLowBatteryVoltage(12.5f);
             s.Info()->SetInfo("MAIN ENGINE PORT SIDE" + CRLF + "line 1" + CRLF + "line 2");
         }},
        {"emergency with J1939, read from J1939, light never off",
         [](XelObject& s) {
             XelMain& m = *s.Main();
             m.SetOperationMode(3);
             m.SetCAN(true);
             m.SetLCDLight(1);
             m.SetCANNumber(200);
             m.SetCANDiagnose(true);
             m.SetClassified(false);
             AddBusChannels(s);
             s.AnalogIn()->Item("13*")->SetActive(true);
             s.Battery()->SetBatteryVoltage(1);
             s.Battery()->SetCANBatteryType(34);
             s.SpeedSensor()->SetPickupType(1, 2); // the second pickup reads J1939
         }},
        {"classifiable with an input that blocks it",
         [](XelObject& s) {
             s.Main()->SetClassified(true);
             s.DigitalIn()->Item(2)->SetActive(true);
             s.DigitalIn()->Item(2)->SetAction(3);
             s.AnalogIn()->Item(3)->SetActive(true);
             s.AnalogIn()->Item(3)->SetAction(3);
             s.AnalogIn()->Item(3)->SetActionDirection(1);
         }},
        {"odd stored values: light 255, battery 999, long standby delay",
         [](XelObject& s) {
             XelMain& m = *s.Main();
             m.SetLCDLight(255);
             m.SetClassified(false);
             m.SetEngineType(77);
             m.SetLanguage(250);
             s.DigitalIn()->Item(2)->SetActive(true);
             s.DigitalIn()->Item(2)->SetAction(3);
             s.Battery()->SetBatteryVoltage(999);
             s.Battery()->SetLowBatteryVoltage(40.0f);
             s.StandbyOperation()->SetDelay(100);
             s.StandbyOperation()->SetFuelConsumption(99);
             QStringList lines(8, QString(38, 'w'));
             s.Info()->SetInfo(lines.join(CRLF));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto document = CreateDefaultSetupDocument();
        c.build(*document);
        const QString first = doubles.dir.filePath("first.qrn");
        ASSERT_TRUE(document->SaveFile(first));
        auto reopened = CreateDefaultSetupDocument(); // a file is opened into a new setup
        ASSERT_TRUE(reopened->LoadFile(first));
        state.SetXelObject(reopened.get());
        const QString before = doubles.dir.filePath("before.qrn");
        ASSERT_TRUE(reopened->CreateTempFile(before));

        Pages pages(state);
        pages.ShowSetup(state);
        pages.StoreAll(*reopened);

        EXPECT_TRUE(Messages().isEmpty()) << Messages().join("|").toStdString();
        EXPECT_FALSE(reopened->Changed());
        const QString after = doubles.dir.filePath("after.qrn");
        ASSERT_TRUE(reopened->CreateTempFile(after));
        EXPECT_TRUE(Bytes(after) == Bytes(before));
    }
}

TEST_F(RoundTripTest, AnEditOnEachPageSurvivesSaveAndReopen)
{
    struct Case {
        const char* what;
        std::function<void(Pages&)> edit;
        std::function<void(Pages&, XelObject&)> check;
    } cases[] = {
        {"main: hours delay, invert, engine maker",
         [](Pages& p) {
             p.Find<QComboBox>("cmbMainLCDLightScale")->setCurrentIndex(0);
             p.Find<Number>("numMainLCDLightDelay")->SetValue(15);
             p.Find<QCheckBox>("chkMainInvertLCDOnAlarm")->setChecked(true);
             auto* engine = p.Find<QComboBox>("cmbMainEngineType");
             engine->setCurrentIndex(engine->findText("Volvo Penta"));
         },
         [](Pages& p, XelObject& s) {
             EXPECT_EQ(s.Main()->LCDLight(), 16);
             EXPECT_EQ(p.Find<QComboBox>("cmbMainLCDLightScale")->currentText(), "Minutes");
             EXPECT_EQ(p.Find<Number>("numMainLCDLightDelay")->Value(), 15);
             EXPECT_TRUE(p.Find<QCheckBox>("chkMainInvertLCDOnAlarm")->isChecked());
             EXPECT_EQ(p.Find<QComboBox>("cmbMainEngineType")->currentText(), "Volvo Penta");
         }},
        {"main: propulsion mode",
         [](Pages& p) {
             auto* mode = p.Find<QComboBox>("cmbMainOperationMode");
             mode->setCurrentIndex(mode->findData(2));
         },
         [](Pages& p, XelObject& s) {
             EXPECT_EQ(s.Main()->OperationMode(), 2);
             EXPECT_EQ(p.Find<QComboBox>("cmbMainOperationMode")->currentText(), "Propulsion");
             EXPECT_EQ(p.frame.tabCaption.value(TabStandbyOperation), "S&tart/Fuel");
         }},
        {"standby: cranking and cooling",
         [](Pages& p) {
             p.Find<Number>("numStandbyOperationCranking")->SetValue(12);
             p.Find<Number>("numStandbyOperationCooling")->SetValue(1);
         },
         [](Pages& p, XelObject& s) {
             EXPECT_EQ(s.StandbyOperation()->CrankingTime(), 12);
             EXPECT_EQ(p.Find<Number>("numStandbyOperationCooling")->Value(), 1);
         }},
        {"battery: 12 V",
         [](Pages& p) {
             auto* voltage = p.Find<QComboBox>("cmbBatteryStartBatteryVoltage");
             voltage->setCurrentIndex(voltage->findData(12));
         },
         [](Pages& p, XelObject& s) {
             EXPECT_FLOAT_EQ(s.Battery()->BatteryVoltage(), 12.0f);
             EXPECT_FLOAT_EQ(s.Battery()->LowBatteryVoltage(), 12.8f); // 25.5 halved
             EXPECT_FLOAT_EQ(p.Find<Float>("numBatteryLowBatteryVAlarm")->Max(), 15.0f);
         }},
        {"info: name and window",
         [](Pages& p) {
             p.Find<QLineEdit>("txtInfo_0")->setText("GENERATOR 1");
             p.Find<InfoWindow>("txtInfoWindow")->SetText("first" + CRLF + "second");
         },
         [](Pages& p, XelObject& s) {
             EXPECT_EQ(s.Info()->Info(), "GENERATOR 1" + CRLF + "first" + CRLF + "second");
             EXPECT_EQ(p.Find<QLineEdit>("txtInfo_0")->text(), "GENERATOR 1");
             EXPECT_EQ(p.Find<InfoWindow>("txtInfoWindow")->Text(), "first" + CRLF + "second");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto document = CreateDefaultSetupDocument();
        state.SetXelObject(document.get());
        state.PROPULSION = state.Emergency = false;
        auto pages = std::make_unique<Pages>(state);
        pages->ShowSetup(state);
        c.edit(*pages);
        EXPECT_TRUE(document->Changed());

        auto reopened = SaveAndReopen(*document, "edited.qrn");
        const QString before = doubles.dir.filePath("before.qrn");
        ASSERT_TRUE(reopened->CreateTempFile(before));
        pages = std::make_unique<Pages>(state);
        pages->ShowSetup(state);
        c.check(*pages, *reopened);
        EXPECT_FALSE(reopened->Changed());
        const QString again = doubles.dir.filePath("again.qrn");
        ASSERT_TRUE(reopened->CreateTempFile(again));
        EXPECT_TRUE(Bytes(again) == Bytes(before));
    }
}

} // namespace

namespace {

// The operation mode with the Switch page in place: a change to Emergency lowers its
// shutdown inputs, the opening of an Emergency setup does not.
TEST_F(RoundTripTest, EmergencyModeReachesTheSwitchPageOnlyOnTheUsersChange)
{
    struct Case {
        bool byUser;
        int actionAfter;
    } cases[] = {{true, 2}, {false, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.byUser);
        auto document = CreateDefaultSetupDocument();
        document->DigitalIn()->Item(4)->SetAction(3);
        if (!c.byUser)
            document->Main()->SetOperationMode(3);
        document->ResetBackup();
        state.SetXelObject(document.get());
        state.PROPULSION = state.Emergency = false;
        Pages pages(state);
        SwitchPage switchPage(state);
        state.switchPage = &switchPage;
        {
            pagecommon::ScopedFlag opening(state.OpeningSetup);
            pagecommon::ScopedFlag loading(state.Loading);
            pages.main->LoadMain();
            switchPage.LoadDigital();
        }
        EXPECT_FALSE(document->Changed());
        if (c.byUser) {
            doubles.presenter.answers = {platform::MsgResult::Yes};
            auto* mode = pages.Find<QComboBox>("cmbMainOperationMode");
            mode->setCurrentIndex(mode->findData(3));
            EXPECT_EQ(Messages(), QStringList{Lang(128, {"Auxiliary"})});
        }
        EXPECT_EQ(document->DigitalIn()->Item(4)->Action(), c.actionAfter);
        EXPECT_EQ(document->Main()->OperationMode(), 3);
        state.switchPage = nullptr;
        doubles.presenter.shown.clear();
    }
}

// A unit whose image is all zeros gives values outside the boxes' ranges. Such a received
// setup, left as it is, is shown, passes every page's check (so it can be left, saved and
// printed) and stores back unchanged, in the standby and the propulsion form.
TEST_F(RoundTripTest, AnUnchangedAllZeroReceiveIsShownCheckedAndKept)
{
    for (const int mode : {0, 2}) {
        SCOPED_TRACE(mode);
        auto document = CreateDefaultSetupDocument();
        ASSERT_TRUE(document->LoadSetup(QVector<qint32>(XelObject::kImageBytes / 2, 0), "4.47"));
        document->Main()->SetOperationMode(mode);
        document->ResetBackup();
        state.SetXelObject(document.get());
        state.PROPULSION = state.Emergency = false;
        const QString before = doubles.dir.filePath("before.qrn");
        ASSERT_TRUE(document->CreateTempFile(before));

        Pages pages(state);
        pages.main->show();
        pages.ShowSetup(state);
        EXPECT_TRUE(pages.main->ValidateMain());
        EXPECT_TRUE(pages.standby->ValidateStandbyOperation());
        EXPECT_TRUE(pages.battery->ValidateBattery());
        // The other form of the Standby page checks its own boxes only.
        {
            pagecommon::ScopedFlag loading(state.Loading);
            pages.standby->ApplyOperationShape(mode != 2);
            EXPECT_TRUE(pages.standby->ValidateStandbyOperation());
            pages.standby->ApplyOperationShape(mode == 2);
        }
        pages.StoreAll(*document);

        EXPECT_TRUE(Messages().isEmpty()) << Messages().join("|").toStdString();
        EXPECT_FALSE(document->Changed());
        const QString after = doubles.dir.filePath("after.qrn");
        ASSERT_TRUE(document->CreateTempFile(after));
        EXPECT_TRUE(Bytes(after) == Bytes(before));
        EXPECT_TRUE(document->CreateSetup("4.47")) << document->SetupError().toStdString();
        doubles.presenter.shown.clear();
    }
}

} // namespace

