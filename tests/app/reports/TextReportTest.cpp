#include "app/setupdefaults/DefaultSetup.h"
#include "app/pages/MainState.h"
#include "app/reports/ReportTexts.h"
#include "app/reports/TextReport.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelBattery.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelDigitalInAdditional.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelRelay.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/XelStandbyOperation.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cDigitalInAdditional.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSpeedRelay.h"
#include "app/pages/PageApis.h"
#include "app/pages/general/RelaysPage.h"
#include "app/reports/Reports.h"
#include "app/services/clsADO.h"
#include "datamodel/XelSMS.h"
#include "datamodel/XelSMSNumber.h"
#include "datamodel/cSMSNumber.h"
#include "platform/FileDialogs.h"
#include "platform/Shell.h"
#include "tests/common/Doubles.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include "tests/common/FileSizeLimit.h"
#include <gtest/gtest.h>

namespace {

class TextReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale::c());
        ASSERT_TRUE(extra::LoadLanguageLibrary());
        setup = CreateDefaultSetupDocument();
        state.SetXelObject(setup.get());
    }
    void TearDown() override
    {
        extra::FreeLanguageLibrary();
        QLocale::setDefault(QLocale::system());
    }
    QStringList Lines()
    {
        return QString::fromLatin1(reports::BuildTextReport(state)).split("\r\n");
    }
    // The block of lines under a section title, up to the next blank line.
    QStringList Section(const QString& title)
    {
        const QStringList all = Lines();
        const int at = all.indexOf(title);
        QStringList out;
        for (int i = at + 1; at >= 0 && i < all.size() && !all[i].isEmpty(); ++i)
            out.append(all[i]);
        return out;
    }
    testing_doubles::PlatformDoubles doubles;
    std::unique_ptr<XelObject> setup;
    MainState state;
};

// A standby setup with CAN off, one channel of each kind, as an engineer would set it up.
TEST_F(TextReportTest, StandbySetupMatchesTheHandWrittenFile)
{
    XelObject& s = *setup;
    s.Info()->SetInfo("LINE ONE\r\nLINE TWO");
    XelDigitalIn* d1 = s.DigitalIn()->Item("1*");
    d1->SetActive(true);
    d1->SetText("OIL PRESSURE");
    d1->SetOnRunOnly(true);
    d1->SetInitialDelay(1);
    d1->SetBrokenWireDetection(true);
    d1->SetInfo("  check weekly ");
    XelDigitalInAdditional* add2 = s.DigitalInAdditional()->Item("2*");
    add2->SetInUse(true);
    add2->SetFunctionNo(2);
    add2->SetText("LCD Light On");
    XelAnalogIn* a1 = s.AnalogIn()->Item("1*");
    a1->SetActive(true);
    a1->SetText("COOLANT TEMP");
    a1->SetAction(4);
    a1->SetAlarmDelay(1);
    a1->SetUnits("bar");
    a1->SetSensorMin(-50);
    a1->SetSensorMax(1000);
    a1->SetLimit(1, 25);
    a1->SetLimit(0, 30);
    s.SpeedRelays()->Item("1*")->SetInUse(true);
    s.SpeedRelays()->Item("1*")->SetRPM(1000);
    s.RelayNew()->Item("1*")->SetFunctionText("Standby Mode");
    s.RelayNew()->Item("2*")->SetFunctionText("Disc. Gen Breaker Relay Activated");
    XelRelay* r3 = s.Relay()->Item("3*");
    r3->SetInUse(true);
    r3->SetFunctionNo(75);
    r3->SetFunctionText("Common Alarm");
    s.Relay()->SetRelayT44DisableBW(true);

    QFile golden(QStringLiteral(QUARNO_TEST_DATA) + "/textreport/standby.txt");
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    const QByteArray expected = golden.readAll();
    const QByteArray actual = reports::BuildTextReport(state);
    const QStringList got = QString::fromLatin1(actual).split("\r\n");
    const QStringList want = QString::fromLatin1(expected).split("\r\n");
    for (int i = 0; i < qMax(got.size(), want.size()); ++i)
        EXPECT_EQ(got.value(i).toStdString(), want.value(i).toStdString()) << "line " << i + 1;
    EXPECT_EQ(actual, expected);
}

TEST_F(TextReportTest, PropulsionWithBusChannelsAndSavedFile)
{
    XelObject& s = *setup;
    state.PROPULSION = true;
    s.Main()->SetOperationMode(2);
    s.Main()->SetCAN(true);
    s.Main()->SetCANDiagnose(true);
    s.Main()->SetCANSPN(520192);
    s.Main()->SetCANProtectLamp(true);
    s.Main()->SetPrinterOutput(true);
    s.Main()->SetLCDLight(1);
    s.Main()->SetEngineHours(3);
    s.Main()->RecordTransfer(MainFirmwareDirection::ToECX, "4.47", QDateTime(QDate(2024, 1, 2), QTime(3, 4)));
    s.StandbyOperation()->SetFuelConsumption(0);
    XelDigitalIn* d10 = s.DigitalIn()->Item("10*");
    d10->SetActive(true);
    d10->SetInputType(4);
    d10->SetAction(3);
    JData j;
    j.iMID = 0x21;
    j.lPPID = 254;
    j.lPID = 4;
    j.iTimeout = 5;
    d10->SetJValues(j);
    XelAnalogIn* a7 = s.AnalogIn()->Item("7*");
    a7->SetActive(true);
    a7->SetInputType(3);
    a7->SetAction(6);
    a7->SetRPMLimit(0, 15);
    a7->SetRPMLimit(1, 40);
    JData p;
    p.iMID = 128;
    p.lPID = 100;
    p.lPPID = 0;
    p.iTimeout = 2;
    a7->SetJValues(p);
    s.SpeedSensor()->SetPickupType(0, 2);
    s.SpeedSensor()->SetPickupType(1, 7);
    s.Battery()->SetBatteryVoltage(1);
    s.Battery()->SetCANBatteryType(35);
    s.Relay()->Item("8*")->SetInUse(true);
    const QString path = doubles.dir.filePath("prop.qrn");
    ASSERT_TRUE(s.SaveFile(path));

    const QStringList all = Lines();
    EXPECT_EQ(all.mid(0, 5), (QStringList{"", "Setup Filename prop.qrn", all[2], "File saved by  tester", QString(61, '*')}));
    EXPECT_TRUE(all[2].startsWith("File date      "));
    EXPECT_EQ(Section("Main"), (QStringList{
        "  Language                  English",
        "  Operation Mode            Propulsion",
        "  Port P3 Functionality     Log To Printer",
        "  LCD Light Delay           Never Off",
        "  Invert LCD On Alarm       False",
        "  J1939/J1587 Enabled       Yes",
        "    Own MID Number          171",
        "    Diagnostic              Yes",
        "      Diagnostic SPN        520192",
        "      Protect Lamp Warning  Yes",
        "  Engine Manufacturer       ",
        "  Classifiable Project      Yes"}));
    const QStringList sw = Section("Switch Inputs");
    ASSERT_GE(sw.size(), 8);
    EXPECT_EQ(sw.mid(0, 7), (QStringList{
        "  Channel 10", "    Description             ", "    J1939",
        "      Message Group         00FE0004", "      Bytes                 2, 3",
        "      Timeout               5 Seconds", "    Switch Type             Normally Closed"}));
    EXPECT_EQ(sw[7], "    Action                  Shutdown");
    const QStringList an = Section("Analog Inputs");
    EXPECT_EQ(an.mid(2, 6), (QStringList{
        "    J1587", "      MID                   128", "      PID                   100",
        "      PPID                  0", "      Timeout               2 Seconds",
        "    Action                  RPM Dependent Alarm - when above limit after 2 Seconds"}));
    EXPECT_TRUE(an.contains("    Lower Limit             1.5  at 600 RPM"));
    EXPECT_TRUE(an.contains("    Upper Limit             4.0  at 1200 RPM"));
    EXPECT_TRUE(an.contains("    Terminals               J1587"));
    EXPECT_EQ(Section("Propulsion Start and Fuel Consumption"),
              (QStringList{"  Initial Start Delay       1 Second", "  Cranking Time             7 Seconds"}));
    const QStringList speed = Section("Speed Sensor");
    EXPECT_EQ(speed[0], "  Pickup One                Read from J1939");
    EXPECT_EQ(speed[1], "  Nom Speed                 1500 RPM"); // pickup type 7 writes nothing
    EXPECT_EQ(Section("Battery").mid(0, 1), QStringList{"  External Source (Read From J1939)"});
    EXPECT_EQ(Section("Battery")[1], "  Low Battery Voltage Alarm 25.5 V");
    EXPECT_EQ(Section("Relays PX-3, PX-5"), QStringList{"  Channel   8               "});
    // Pickup one read from the bus: no pulse number; Speeding 1725 sits below 1760 at position 7;
    // switch input 10 is no backup-system lever.
    EXPECT_EQ(Section("Backup System Settings"), (QStringList{"  S1 0", "  S2 0", "  S3 7", "  S4 000000"}));
    EXPECT_EQ(all.mid(all.indexOf("Components used") + 1),
              (QStringList{"  ECX 510 P Q2", "  TB-16 Q2", "  AX-2", "  PX-5", ""}));
}

TEST_F(TextReportTest, ValueRules)
{
    struct { int lcd; const char* text; } lcd[] = {
        {0, "Never Off"}, {1, "Never Off"}, {2, "1 Minute"}, {60, "59 Minutes"}, {61, "1 Hour"}, {62, "2 Hours"}};
    for (const auto& c : lcd) {
        setup->Main()->SetLCDLight(c.lcd);
        EXPECT_EQ(Section("Main")[4], QStringLiteral("  LCD Light Delay           ") + c.text) << c.lcd;
    }
    // J1939 byte positions: one digit counts as count with first byte 1.
    struct { int mid; const char* label; const char* bytes; } pos[] = {
        {0x21, "Bytes", "2, 3"}, {0x12, "Byte", "3"}, {0, "Byte", "1"}, {0x4, "Bytes", "1, 2, 3, 4"}};
    setup->Main()->SetCAN(true);
    XelDigitalIn* d = setup->DigitalIn()->Item("11*");
    d->SetActive(true);
    d->SetInputType(4);
    for (const auto& c : pos) {
        JData j;
        j.iMID = quint8(c.mid);
        d->SetJValues(j);
        EXPECT_EQ(Section("Switch Inputs")[4], QString("      %1").arg(QString(c.label).leftJustified(22)) + c.bytes) << c.mid;
    }
    // Texts by value, never blank: Shutdown stays named in Emergency.
    EXPECT_EQ(reporttexts::DigitalActionText(3, 3), "Shutdown");
    EXPECT_EQ(reporttexts::AnalogActionText(3, 0, 5), "Warning and Shutdown");
    EXPECT_EQ(reporttexts::AnalogActionText(0, 4, 2), "Alarm");
    EXPECT_EQ(reporttexts::LanguageText(99), "");
    struct { const char* fw; int gen; } gens[] = {{"", 0}, {"3.9", 1}, {"4.0", 2}, {"10.1", 2}, {"40", 2}, {"N/A", 1}};
    for (const auto& c : gens)
        EXPECT_EQ(reporttexts::UnitGeneration(c.fw), c.gen) << c.fw;
}

TEST_F(TextReportTest, FailedWriteKeepsTheOldFileAndSaysSo)
{
    const QString target = doubles.dir.filePath("report.txt");
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old report");
    }
    // A folder in the way of the temporary file: nothing can be written next to it.
    const QString blocked = doubles.dir.filePath("missing/report.txt");
    EXPECT_FALSE(reports::WriteTextReport(state, blocked));
    EXPECT_EQ(doubles.status.text, extra::GetLangString(237));
    EXPECT_TRUE(reports::WriteTextReport(state, target));
    QFile written(target);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("\r\nSetup not saved\r\n"));
    EXPECT_TRUE(doubles.status.text.endsWith("report.txt"));
}

// ---- the export command: second golden file and its failure paths ----

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Lines side by side, so a failing compare names the line.
void ExpectSameBytes(const QByteArray& actual, const QByteArray& expected)
{
    const QStringList got = QString::fromLatin1(actual).split("\r\n");
    const QStringList want = QString::fromLatin1(expected).split("\r\n");
    for (int i = 0; i < qMax(got.size(), want.size()); ++i)
        EXPECT_EQ(got.value(i).toStdString(), want.value(i).toStdString()) << "line " << i + 1;
    EXPECT_EQ(actual, expected);
}

struct ScriptedSaveDialog : platform::FileDialogs {
    bool answer = true;      // false: cancelled
    QString choose;          // full path chosen
    int filterIndex = 1;
    QList<platform::FileDialogRequest> asked;
    QStringList overwriteAsked; // as the real dialog: after the default suffix, answered Yes
    QString BrowseForFolder(QWidget*, const QString&, const QString&) override { return {}; }
    bool ShowOpen(QWidget*, platform::FileDialogRequest&) override { return false; }
    bool ShowSave(QWidget*, platform::FileDialogRequest& request) override
    {
        asked.append(request);
        request.fileName = platform::WithDefaultSuffix(choose, request.defaultSuffix);
        request.filterIndex = filterIndex;
        if (answer && (request.flags & platform::FileDialogRequest::OverwritePrompt) && QFile::exists(request.fileName))
            overwriteAsked << request.fileName;
        return answer;
    }
};

struct RecordingShell : platform::Shell {
    bool starts = true;
    QStringList opened;
    bool OpenDocument(const QString& address) override
    {
        opened.append(address);
        return starts;
    }
    bool ShowHelpIndex(QWidget*, const QString&) override { return false; }
};

struct FakeFrame : FrameApi {
    int tab = 0;
    QWidget* MainWindow() override { return nullptr; }
    QIcon WindowIcon() override { return {}; }
    int CurrentTab() override { return tab; }
    void SelectTab(int) override {}
    void SetTabCaption(int, const QString&) override {}
    void ShowTabPage(int) override {}
    void SetPanelText(const QString&, const QString&) override {}
    void SetPanelToolTip(const QString&, const QString&) override {}
    void SetPanelVisible(const QString&, bool) override {}
    void UpdateCaption(const QString&) override {}
    bool ShowCommSetupCancelled() override { return false; }
    void ShowOptions() override {}
    bool TransmitSetupToUnit() override { return false; }
    bool ReceiveSetupFromUnit() override { return false; }
    bool CheckChannelDescriptions() override { return true; }
};

struct FailingBattery : BatteryPageApi {
    int checks = 0;
    void SetBatteryDefaults() override {}
    void LoadBattery() override {}
    bool ValidateBattery() override { ++checks; return false; }
    QString StartBatteryVoltageText() override { return {}; }
};

class TextExportTest : public TextReportTest {
protected:
    void SetUp() override
    {
        TextReportTest::SetUp();
        platform::FileDialogs::SetInstance(&dialog);
        platform::Shell::SetInstance(&shell);
        times.pinnedWrite = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
        state.frame = &frame;
    }
    void TearDown() override
    {
        platform::FileDialogs::SetInstance(nullptr);
        platform::Shell::SetInstance(nullptr);
        TextReportTest::TearDown();
    }
    ScriptedSaveDialog dialog;
    RecordingShell shell;
    testing_doubles::SeenFiles times;
    FakeFrame frame;
};

// A propulsion setup with J1939 and J1587 channels, speed relays, SMS numbers (which the text
// report leaves out) and relays whose rows the export refreshes, exported end to end.
TEST_F(TextExportTest, PropulsionSetupExportsTheHandWrittenFile)
{
    XelObject& s = *setup;
    clsADO ado;
    bool opened = false;
    ado.InitDatabase(QString(), opened);
    ASSERT_TRUE(opened);
    state.ADO = &ado;
    state.PROPULSION = true;
    s.Info()->SetInfo("MV NORDLYS\r\nPORT PROPULSION ENGINE");
    XelMain& m = *s.Main();
    m.SetOperationMode(2);
    m.SetIDNumber(7);
    m.SetLCDLight(2);
    m.SetInvertLCDOnAlarm(true);
    m.SetCAN(true);
    m.SetCANNumber(172);
    m.SetCANDiagnose(false);
    m.SetEngineType(4);
    m.SetEngineHours(1);
    m.SetClassified(false);
    m.RecordTransfer(MainFirmwareDirection::ToECX, "4.20", QDateTime(QDate(2024, 3, 1), QTime(9, 0)));

    struct Switch { int n; const char* text; int type; int switchType; int action; int delay; bool onRun; int initial; bool run; const char* info; };
    for (const Switch& w : {Switch{2, "LUBE OIL LOW", 0, 1, 3, 1, false, 0, true, ""},
                            Switch{4, "FIRE DETECTED", 0, 0, 2, 2, false, 0, false, ""},
                            Switch{10, "COOLANT LEVEL", 4, 0, 2, 0, true, 30, false, " via J1939 "},
                            Switch{11, "WATER IN FUEL", 3, 1, 1, 5, false, 0, false, ""}}) {
        XelDigitalIn* d = s.DigitalIn()->Item(QStringLiteral("%1*").arg(w.n));
        d->SetActive(true);
        d->SetText(w.text);
        d->SetInputType(w.type);
        d->SetSwitchType(w.switchType);
        d->SetAction(w.action);
        d->SetDelay(w.delay);
        d->SetOnRunOnly(w.onRun);
        d->SetInitialDelay(w.initial);
        d->SetRUNAlsoDetectedBy(w.run);
        d->SetBrokenWireDetection(false);
        d->SetInfo(w.info);
    }
    auto jdata = [](int mid, int pid, int ppid, int timeout) {
        JData j;
        j.iMID = quint8(mid);
        j.lPID = pid;
        j.lPPID = ppid;
        j.iTimeout = quint8(timeout);
        return j;
    };
    s.DigitalIn()->Item("10*")->SetJValues(jdata(0x32, 0xFF, 0xFE, 1));
    s.DigitalIn()->Item("11*")->SetJValues(jdata(128, 97, 0, 3));

    struct Analog { int n; const char* text; int type; int action; int direction; int delay; const char* units;
                    int min, max; bool doubleScale, onRun; int initial; bool run; };
    for (const Analog& a : {Analog{1, "LUBE OIL PRESSURE", 0, 3, 1, 5, "bar", 0, 100, true, true, 10, true},
                            Analog{7, "BOOST TEMP", 4, 7, 0, 2, "C", -400, 2100, false, false, 0, false}}) {
        XelAnalogIn* in = s.AnalogIn()->Item(a.n);
        in->SetActive(true);
        in->SetText(a.text);
        in->SetInputType(a.type);
        in->SetAction(a.action);
        in->SetActionDirection(a.direction);
        in->SetAlarmDelay(a.delay);
        in->SetUnits(a.units);
        in->SetSensorMin(a.min);
        in->SetSensorMax(a.max);
        in->SetDoubleScale(a.doubleScale);
        in->SetOnRunOnly(a.onRun);
        in->SetInitialDelay(a.initial);
        in->SetRUNAlsoDetectedBy(a.run);
        in->SetInfo("");
    }
    XelAnalogIn* a7 = s.AnalogIn()->Item(7);
    s.AnalogIn()->Item(1)->SetLimit(0, 15);
    a7->SetRPMLimit(0, 800);
    a7->SetRPM(0, 700);
    a7->SetRPMLimit(1, 950);
    a7->SetRPM(1, 1800);
    a7->SetJValues(jdata(0x10, 0xFEEE, 0, 2));

    s.StandbyOperation()->SetInitialStartDelay(10);
    s.StandbyOperation()->SetCrankingTime(1);
    s.StandbyOperation()->SetFuelConsumption(3);
    XelSpeedSensor& sensor = *s.SpeedSensor();
    sensor.SetPickupType(0, 1);
    sensor.SetSender(0, 2);
    sensor.SetPulsesPerRevolution(0, 120);
    sensor.SetPickupType(1, 3);
    sensor.SetNomSpeed(1800);
    sensor.SetReadyToTakeLoad(1700);
    sensor.SetSpeeding(2000);
    sensor.SetSpeedingShutdown(2.5f);
    sensor.SetRunDetectedAt(500);
    for (int n = 1; n <= 4; ++n)
        s.SpeedRelays()->Item(n)->SetInUse(n == 1 || n == 3);
    s.SpeedRelays()->Item(1)->SetRPM(900);
    s.SpeedRelays()->Item(3)->SetRPM(1950);
    s.Battery()->SetBatteryVoltage(12);
    s.Battery()->SetLowBatteryVoltage(11.5f);
    s.Battery()->SetDelay(1);
    s.SMS()->SetSend(true);
    XelSMSNumber* sms = s.SMSNumbers()->Count() > 0 ? s.SMSNumbers()->Item(1) : s.SMSNumbers()->Add(1);
    sms->SetInUse(true);
    sms->SetNumber("+4791234567");

    s.RelayNew()->Item(2)->SetFunctionNo(59); // speed relay 2, switched off
    struct Use { int channel; int code; } uses[] = {{1, 58}, {3, 4}, {9, 29}, {12, 75}};
    for (const Use& u : uses) {
        s.Relay()->Item(u.channel)->SetInUse(true);
        s.Relay()->Item(u.channel)->SetFunctionNo(u.code);
    }
    s.Relay()->SetRelayT44DisableBW(false);
    ASSERT_TRUE(s.SaveFile(doubles.dir.filePath("MV NORDLYS.qrn")));

    RelaysPage relays(state);
    state.relaysPage = &relays;
    relays.LoadRelays();
    relays.LoadRelaysNew();
    // Changed on another page after the lists were drawn: the export refreshes them first.
    s.DigitalIn()->Item("4*")->SetActive(false);

    state.DebugInfo = true;
    dialog.choose = doubles.dir.filePath("report one.txt");
    reports::CmdExportAsText(state);

    QFile golden(QStringLiteral(QUARNO_TEST_DATA) + "/textreport/propulsion.txt");
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    ExpectSameBytes(ReadAll(dialog.choose), golden.readAll());
    ASSERT_EQ(dialog.asked.size(), 1);
    EXPECT_EQ(dialog.asked[0].title, "Export Setup as Text");
    EXPECT_EQ(dialog.asked[0].filter, "Text file (*.txt)|*.txt|Any file (*.*)|*.*");
    EXPECT_TRUE(dialog.asked[0].flags & platform::FileDialogRequest::OverwritePrompt);
    EXPECT_EQ(shell.opened, QStringList{dialog.choose}); // the whole path, spaces and all
    EXPECT_EQ(doubles.status.text, "File exported - report one.txt");
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
    state.relaysPage = nullptr;
    state.ADO = nullptr;
}

TEST_F(TextExportTest, ExportPathsAndFailures)
{
    FailingBattery battery;
    state.batteryPage = &battery;
    const QString old = doubles.dir.filePath("old.txt");
    auto reset = [&] {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("old report");
        f.close();
        doubles.status.text.clear();
        doubles.presenter.shown.clear();
        shell.opened.clear();
        dialog.asked.clear();
    };
    QDir(doubles.dir.path()).mkpath("taken.txt/inside");
    struct Case {
        const char* name;
        int tab;               // 5: the Battery page, whose check fails here
        bool answer;           // the dialog: false cancelled
        const char* choose;    // relative to the test folder
        int filterIndex;
        bool debug;
        bool viewerStarts;
        const char* written;   // the file expected to hold the report, "" none
        int status;            // the last status message, 0 none
        int messages;          // message boxes shown
        int viewers;           // viewer starts asked
    } cases[] = {
        {"validation fails", 5, true, "old.txt", 1, false, true, "", 0, 0, 0},
        {"cancelled", 0, false, "old.txt", 1, false, true, "", 0, 0, 0},
        {"folder missing", 0, true, "missing/r.txt", 1, false, true, "", 237, 0, 0},
        {"folder in the way", 0, true, "taken.txt", 1, false, true, "", 237, 0, 0},
        {"overwrites", 0, true, "old.txt", 1, false, true, "old.txt", 236, 0, 0},
        {"no extension, text filter", 0, true, "plain", 1, false, true, "plain.txt", 236, 0, 0},
        // The dialog adds ".txt" whatever the filter: the name confirmed is the name written.
        {"no extension, any file", 0, true, "bare", 2, false, true, "bare.txt", 236, 0, 0},
        {"viewer starts", 0, true, "old.txt", 1, true, true, "old.txt", 236, 0, 1},
        {"viewer fails", 0, true, "old.txt", 1, true, false, "old.txt", 236, 1, 1},
    };
    for (const Case& c : cases) {
        reset();
        frame.tab = c.tab;
        dialog.answer = c.answer;
        dialog.choose = doubles.dir.filePath(c.choose);
        dialog.filterIndex = c.filterIndex;
        state.DebugInfo = c.debug;
        shell.starts = c.viewerStarts;
        reports::CmdExportAsText(state);
        EXPECT_EQ(dialog.asked.size(), c.tab == 5 ? 0 : 1) << c.name;
        const QString written = QString(c.written).isEmpty() ? QString() : doubles.dir.filePath(c.written);
        if (!written.isEmpty()) {
            EXPECT_TRUE(ReadAll(written).startsWith("\r\nSetup not saved\r\n")) << c.name;
        }
        if (written != old) {
            EXPECT_EQ(ReadAll(old), "old report") << c.name;
        }
        EXPECT_EQ(doubles.status.text, c.status ? extra::GetLangString(c.status, {QFileInfo(written).fileName()}) : QString())
            << c.name;
        EXPECT_EQ(doubles.presenter.shown.size(), c.messages) << c.name;
        EXPECT_EQ(shell.opened, c.viewers ? QStringList{written} : QStringList()) << c.name;
    }
    // The folder in the way keeps what it held, and no temporary file is left behind.
    EXPECT_TRUE(QFileInfo(doubles.dir.filePath("taken.txt/inside")).isDir());
    const QStringList left = QDir(doubles.dir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, (QStringList{"bare.txt", "old.txt", "plain.txt"}));
    // The dialog offers the last chosen name again.
    dialog.asked.clear();
    reports::CmdExportAsText(state);
    ASSERT_EQ(dialog.asked.size(), 1);
    EXPECT_EQ(dialog.asked[0].fileName, doubles.dir.filePath("old.txt"));
    state.batteryPage = nullptr;
    EXPECT_EQ(battery.checks, 1);
}

// The overwrite question is about the file that will be written, and a disk that takes only
// part of the report leaves the old file as it was and says so.
TEST_F(TextExportTest, TheOverwriteQuestionIsAboutTheWrittenFileAndAFullDiskKeepsTheOld)
{
    const QString old = doubles.dir.filePath("report.txt");
    const QByteArray oldBytes = QByteArray("old report\r\n").repeated(400);
    struct Case {
        const char* name;
        const char* typed;
        rlim_t disk; // 0: no limit
        bool written;
    } cases[] = {
        {"typed without .txt", "report", 0, true},
        {"typed with .txt", "report.txt", 0, true},
        {"disk full", "report", 100, false},
    };
    for (const Case& c : cases) {
        {
            QFile f(old);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(oldBytes);
        }
        dialog.overwriteAsked.clear();
        dialog.choose = doubles.dir.filePath(c.typed);
        doubles.status.text.clear();
        {
            std::unique_ptr<FileSizeLimit> disk(c.disk ? new FileSizeLimit(c.disk) : nullptr);
            reports::CmdExportAsText(state);
        }
        EXPECT_EQ(dialog.asked.last().defaultSuffix, "txt") << c.name;
        EXPECT_EQ(dialog.overwriteAsked, QStringList{old}) << c.name;
        EXPECT_EQ(ReadAll(old) != oldBytes, c.written) << c.name;
        EXPECT_EQ(doubles.status.text, c.written ? extra::GetLangString(236, {"report.txt"}) : extra::GetLangString(237))
            << c.name;
    }
    EXPECT_FALSE(QFileInfo::exists(doubles.dir.filePath("report"))) << "the bare name is never written";
}

} // namespace
