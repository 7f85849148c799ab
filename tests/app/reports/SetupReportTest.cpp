#include "tests/app/reports/ReportTestSupport.h"

#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelBattery.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelDigitalInAdditional.h"
#include "datamodel/XelEnums.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelRelay.h"
#include "datamodel/XelSMS.h"
#include "datamodel/XelSMSNumber.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/XelStandbyOperation.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cDigitalInAdditional.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSMSNumber.h"
#include "datamodel/cSpeedRelay.h"

#include "app/pages/general/MainPage.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontDatabase>

using namespace reporttest;

namespace {

const QString H = "<7900|<1800";
const QString R = "<1800|<7900";
const QString C = "<2500|<7200";
const QString V = "<2500|>1000|<6200";
const QStringList E2{"", ""};
const QStringList E3{"", "", ""};

class SetupReportTest : public ReportFixture {
protected:
    // One section printed from start on a page that already holds the first section; the
    // recording then holds the document.
    void PrintFrom(double start, void (SetupReport::*section)())
    {
        SetupReport r(state, printer);
        ASSERT_TRUE(r.StartDocument(*setup));
        r.PrintSetupInformation();
        printer.CurrentY = start;
        (r.*section)();
        r.EndDocument();
    }
};

TEST_F(SetupReportTest, DefaultStandbySetupGivesTheHandComputedRows)
{
    ASSERT_TRUE(Build());
    const std::vector<Table> expected = {
        Heading(H, {"Setup Information", ""}),
        {R, {}, {"Quarno Version", setup->Version()}},
        Heading(H, {"Main", "", ""}),
        {R, {}, {"Operation Mode", "Auxiliary"}},
        {R, {}, {"Language", "English"}},
        {R, {}, {"Port P3 Functionality", "Communication"}},
        {R, {}, {"ID Number", "1"}},
        {R, {}, {"J1939/J1587 Enabled", "No"}},
        {R, {}, {"Engine Manufacturer", ""}},
        {R, {}, {"Engine Hours", "Local"}},
        {R, {}, {"LCD Light Delay", "3 Hours"}},
        {R, {}, {"Invert LCD On Alarm", "No"}},
        {R, {}, {"Classifiable Project", "Yes"}},
        Heading(H, {"Standby Operation", "", ""}),
        {V, E3, {"Initial Start Delay", "1", "Seconds"}},
        {V, E3, {"Cranking Time", "7", "Seconds"}},
        {V, E3, {"Delay Between Start Attempts", "7", "Seconds"}},
        {V, E3, {"Number of Start Attempts", "3"}},
        {V, E3, {"Delay Before Disconnecting Generator Breaker", "180", "Seconds"}},
        {V, E3, {"Cooling Time", "3", "Minutes"}},
        Heading(H, {"Speed Sensor", "", ""}),
        {"<3000|<7500", {}, {"Pickup One", "Local at Terminal 5, 6"}},
        {"<100|<2900|<7500", {}, {"", "RPM Sender", "Pickup At Flywheel"}},
        {"<100|<2900|<7500", {}, {"", "Pulses/Revolution", "150"}},
        {"<3000|<7500", {}, {"Pickup Two", "Not used"}},
        {V, {}, {"Ready To Take Load", "1410", "RPM"}},
        {V, {}, {"Nominal/Max", "1500", "RPM"}},
        {V, {}, {"Overspeed", "1725", "RPM       (15.0%)"}},
        {V, {}, {"Overspeed Shutdown", "0.1", "Seconds"}},
        {V, {}, {"RUN Detected At", "400", "RPM"}},
        Heading(H, {"Battery", "", ""}),
        {V, E3, {"Start Battery Voltage", "24", "V"}},
        {V, E3, {"Low Battery Voltage", "25.5", "V"}},
        {V, E3, {"Delay Before Alarm", "60", "Seconds"}},
        Heading(H, {"Relays - Terminal Card TB-16", ""}),
        {"<800|<8900", E2, {"K7", "Standby Mode"}},
        {"<800|<8900", E2, {"K9", "Disc. Gen Breaker Relay Activated"}},
        Heading(H, {"Backup System Settings", ""}),
        {"<800|<8900", E2, {"S1", "9"}},
        {"<800|<8900", E2, {"S2", "6"}},
        {"<800|<8900", E2, {"S3", "7"}},
        {"<800|<8900", E2, {"S4", "000000"}},
        Heading(H, {"Components used", ""}),
        {"<<9700", E2, {"ECX 510 A (version unknown)", ""}},
        {"<<9700", E2, {"TB-10 or TB-16 Q2", ""}},
    };
    const std::vector<Table> got = Tables(printer);
    for (size_t i = 0; i < std::max(got.size(), expected.size()); ++i) {
        if (i < got.size() && i < expected.size())
            EXPECT_EQ(got[i], expected[i]) << "table " << i;
        else
            ADD_FAILURE() << "table " << i << " only on one side";
    }
    // Headings are shaded, bold and two points up; rows are flagged and borderless.
    const ReportPrinter::Op* heading = FindTable(printer, "Main");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->headerShade, QColor(220, 220, 220));
    EXPECT_TRUE(heading->bold);
    EXPECT_EQ(heading->fontSize, 12);
    EXPECT_EQ(heading->border, 4);
    EXPECT_FALSE(heading->flag);
    for (const ReportPrinter::Op& op : printer.Ops())
        if (op.kind == ReportPrinter::Op::Table && !op.body.isEmpty()) {
            EXPECT_TRUE(op.flag);
            EXPECT_EQ(op.border, 0);
            EXPECT_FALSE(op.bold);
            EXPECT_EQ(op.fontSize, 10);
            EXPECT_FALSE(op.bodyShade.isValid());
        }
    EXPECT_EQ(printer.DocName, "Quarno Q2 Setup");
}

// Propulsion with bus channels, speed relays, both relay cards and SMS: every section.
TEST_F(SetupReportTest, PropulsionSetupWithBusChannelsRelaysAndSms)
{
    OpenDatabase();
    XelObject& s = *setup;
    XelMain& m = *s.Main();
    m.SetOperationMode(2);
    m.SetLanguage(99); // no such language: an empty cell
    m.SetPrinterOutput(true);
    m.SetIDNumber(12);
    m.SetCAN(true);
    m.SetCANNumber(234);
    m.SetCANDiagnose(true);
    m.SetCANSPN(520192);
    m.SetCANProtectLamp(false);
    m.SetEngineType(2);
    m.SetEngineHours(1);
    m.SetLCDLight(61);
    m.SetClassified(false);
    m.RecordTransfer(MainFirmwareDirection::ToECX, "4.47", QDateTime(QDate(2024, 2, 1), QTime(9, 30, 0)));

    XelDigitalIn* d1 = s.DigitalIn()->Item("1*");
    d1->SetActive(true);
    d1->SetText("OIL | PRESS %d");
    d1->SetInputType(4);
    JData j;
    j.iMID = 0x24;
    j.lPPID = 0x18FE;
    j.lPID = 0xEE00;
    j.iTimeout = 5;
    d1->SetJValues(j);
    d1->SetAction(3);
    d1->SetDelay(2);
    d1->SetSwitchType(1);
    d1->SetInfo("  a|b  ");
    XelDigitalIn* d2 = s.DigitalIn()->Item("2*");
    d2->SetActive(true);
    d2->SetText("FUEL LEAK");
    d2->SetInputType(3);
    JData k;
    k.iMID = 128;
    k.lPID = 110;
    k.lPPID = 7;
    k.iTimeout = 3;
    d2->SetJValues(k);
    d2->SetAction(1);
    d2->SetDelay(4);
    d2->SetOnRunOnly(true);
    d2->SetInitialDelay(9);
    d2->SetRUNAlsoDetectedBy(true);
    XelDigitalInAdditional* add = s.DigitalInAdditional()->Item("1*");
    add->SetInUse(true);

    XelAnalogIn* a1 = s.AnalogIn()->Item("1*");
    a1->SetActive(true);
    a1->SetText("COOLANT");
    a1->SetInputType(4);
    JData t;
    t.iMID = 0x10; // one byte at position 1 of 18FEEE00: engine coolant temperature, offset -40
    t.lPPID = 0x18FE;
    t.lPID = 0xEE00;
    t.iTimeout = 10;
    a1->SetJValues(t);
    a1->SetUnits("C");
    a1->SetSensorMin(400);
    a1->SetSensorMax(2500);
    a1->SetAction(4);
    a1->SetActionDirection(0);
    a1->SetLimit(1, 1200);
    a1->SetLimit(0, 1300);
    a1->SetAlarmDelay(5);
    XelAnalogIn* a7 = s.AnalogIn()->Item("7*");
    a7->SetActive(true);
    a7->SetText("EXHAUST");
    a7->SetInputType(2);
    a7->SetUnits("bar");
    a7->SetSensorMin(-5);
    a7->SetSensorMax(100);
    a7->SetAction(7);
    a7->SetActionDirection(1);
    a7->SetRPMLimit(0, 15);
    a7->SetRPMLimit(1, 80);
    a7->SetAlarmDelay(3);
    a7->SetDoubleScale(true);
    a7->SetInfo(" hot ");

    s.StandbyOperation()->SetFuelConsumption(2);
    s.SpeedSensor()->SetPickupType(1, 2);
    s.SpeedRelays()->Item("1*")->SetInUse(true);
    s.SpeedRelays()->Item("1*")->SetRPM(900);
    s.SpeedRelays()->Item("3*")->SetInUse(true);
    s.SpeedRelays()->Item("3*")->SetRPM(1600);
    s.Battery()->SetBatteryVoltage(1);
    s.Battery()->SetCANBatteryType(36);
    s.Info()->SetInfo("ECX 510\r\n  ENGINE 2\r\nEND");

    XelRelay* r3 = s.Relay()->Item("3*");
    r3->SetInUse(true);
    r3->SetFunctionNo(75);
    XelRelay* r9 = s.Relay()->Item("9*");
    r9->SetInUse(true);
    r9->SetFunctionNo(58);
    s.Relay()->SetRelayT44DisableBW(true);
    s.RelayNew()->Item("2*")->SetInUse(false);

    s.SMS()->SetSend(true);
    s.SMS()->SetCommonAlarm(true);
    s.SMS()->SetAllLoggedEvents(true);
    s.SMS()->SetSendToAll(false);
    for (int i = 1; i <= 3; ++i) {
        XelSMSNumber* n = s.SMSNumbers()->Add(i);
        ASSERT_NE(n, nullptr);
        n->SetInUse(i != 2);
        n->SetNumber(i == 1 ? "+47 | 100%d" : i == 2 ? "000" : "555 123");
    }
    ASSERT_TRUE(Build());

    const QString speedRelay1 = s.SpeedRelays()->Item("1*")->Descript();
    const QString speedRelay3 = s.SpeedRelays()->Item("3*")->Descript();
    const QStringList ch1{"Switch Input Channel 1", ""}, ch2{"Switch Input Channel 2", ""};
    const QStringList an1{"Analog Input Channel 1", ""}, an7{"Analog Input Channel 7", ""};
    const std::vector<Table> expected = {
        Heading(H, {"Setup Information", ""}),
        {R, {}, {"Quarno Version", s.Version()}},
        Heading(H, {"Main", "", ""}),
        {R, {}, {"Operation Mode", "Propulsion"}},
        {R, {}, {"Language", ""}},
        {R, {}, {"Port P3 Functionality", "Log To Printer"}},
        {R, {}, {"ID Number", "12"}},
        {R, {}, {"J1939/J1587 Enabled", "Yes"}},
        {R, {}, {"Own MID Number", "234"}},
        {R, {}, {"Diagnostic", "Yes"}},
        {R, {}, {"Diagnostic SPN", "520192"}},
        {R, {}, {"\"Protect Lamp\" gives Warning only", "No"}},
        {R, {}, {"Engine Manufacturer", "Cummins"}},
        {R, {}, {"Engine Hours", "Read from J1939"}},
        {R, {}, {"LCD Light Delay", "1 Hours"}},
        {R, {}, {"Invert LCD On Alarm", "No"}},
        {R, {}, {"Classifiable Project", "No"}},
        {R, {}, {"Last known status", "At 1 Feb 2024 09:30:00 transmitted to ECX 510 Q2 version 4.47"}},
        Heading(H, {"Switch Input Channels", "", ""}),
        Heading(C, ch1),
        {C, ch1, {"Description", "OIL | PRESS %d"}},
        {C, ch1, {"Input Type", "J1939"}},
        {C, ch1, {"\tMessage Group", "18FEEE00"}},
        {C, ch1, {"\tBytes", "5, 6"}},
        {C, ch1, {"\tTimeout", "5 Seconds"}},
        {C, ch1, {"Action", "Shutdown"}},
        {C, ch1, {"Shutdown Delay", "2 Seconds"}},
        {C, ch1, {"Switch Type", "Normally Open"}},
        {C, ch1, {"On Run Only", "No"}},
        {C, ch1, {"Run Detection", "No"}},
        {C, ch1, {"Broken Wire Detection", "No"}},
        {C, ch1, {"Comments", "a|b"}},
        Heading(C, ch2),
        {C, ch2, {"Description", "FUEL LEAK"}},
        {C, ch2, {"Input Type", "J1587"}},
        {C, ch2, {"\tMID", "128"}},
        {C, ch2, {"\tPID", "110"}},
        {C, ch2, {"\tPPID", "7"}},
        {C, ch2, {"\tTimeout", "3 Seconds"}},
        {C, ch2, {"Action", "Warning"}},
        {C, ch2, {"Warning Delay", "4 Seconds"}},
        {C, ch2, {"Switch Type", "Normally Closed"}},
        {C, ch2, {"On Run Only", "Yes"}},
        {C, ch2, {"Initial Delay", "9 Seconds"}},
        {C, ch2, {"Run Detection", "Yes"}},
        {C, ch2, {"Broken Wire Detection", "No"}},
        {C, ch2, {"Comments", ""}},
        Heading(H, {"Additional Switch Inputs", "", ""}),
        {AdditionalFormat(printer), E2, {"Terminal " + QString::number(add->Terminal()), add->Text(), ""}},
        Heading(H, {"Analog Input Channels", "", ""}),
        Heading(C, an1),
        {C, an1, {"Description", "COOLANT"}},
        {C, an1, {"Input Type", "J1939"}},
        {C, an1, {"\tMessage Group", "18FEEE00"}},
        {C, an1, {"\tByte", "1"}},
        {C, an1, {"\tTimeout", "10 Seconds"}},
        {C, an1, {"Sensor Min", "0.0 C"}},
        {C, an1, {"Sensor Max", "210.0 C"}},
        {C, an1, {"Double Scale", "No"}},
        {C, an1, {"Actions", "Warning when above Warning limit\r\nAlarm when above Alarm limit"}},
        {C, an1, {"Warning Limit", "80.0 C"}},
        {C, an1, {"Alarm Limit", "90.0 C"}},
        {C, an1, {"Warning and Alarm Delay", "5 Seconds"}},
        {C, an1, {"On Run Only", "No"}},
        {C, an1, {"Run Detection", "No"}},
        {C, an1, {"Comments", ""}},
        Heading(C, an7),
        {C, an7, {"Description", "EXHAUST"}},
        {C, an7, {"Input Type", "0..10V"}},
        {C, an7, {"Sensor Min", "-0.5 bar"}},
        {C, an7, {"Sensor Max", "10.0 bar"}},
        {C, an7, {"Double Scale", "Yes"}},
        {C, an7, {"Action", "RPM Dependent Warning when below limits"}},
        {C, an7, {"Lower Limit", "1.5 bar"}},
        {C, an7, {"Upper Limit", "8.0 bar"}},
        {C, an7, {"Alarm Delay", "3 Seconds"}},
        {C, an7, {"On Run Only", "No"}},
        {C, an7, {"Run Detection", "No"}},
        {C, an7, {"Comments", "hot"}},
        Heading(H, {"Propulsion Start and Fuel Consumption", "", ""}),
        {V, E3, {"Initial Start Delay", "1", "Seconds"}},
        {V, E3, {"Cranking Time", "7", "Seconds"}},
        {V, E3, {"Fuel Consumption Calc.", "Control Unit Algorithm Number 2", ""}},
        Heading(H, {"Speed Sensor", "", ""}),
        {"<3000|<7500", {}, {"Pickup One", "Local at Terminal 5, 6"}},
        {"<100|<2900|<7500", {}, {"", "RPM Sender", "Pickup At Flywheel"}},
        {"<100|<2900|<7500", {}, {"", "Pulses/Revolution", "150"}},
        {"<3000|<7500", {}, {"Pickup Two", "Read from J1939"}},
        {V, {}, {"Ready To Take Load", "1410", "RPM"}},
        {V, {}, {"Nominal/Max", "1500", "RPM"}},
        {V, {}, {"Overspeed", "1725", "RPM       (15.0%)"}},
        {V, {}, {"Overspeed Shutdown", "0.1", "Seconds"}},
        {V, {}, {"RUN Detected At", "400", "RPM"}},
        {V, {}, {speedRelay1, "900", "RPM"}},
        {V, {}, {speedRelay3, "1600", "RPM"}},
        Heading(H, {"Battery", "", ""}),
        {"<3000|<7500|<200", E3, {"External Battery Source", "Read From J1939", ""}},
        {"<3000|<7500|<200", E3, {"J1939 Voltage Location", "Electrical Voltage", ""}},
        {V, E3, {"Low Battery Voltage", "25.5", "V"}},
        {V, E3, {"Delay Before Alarm", "60", "Seconds"}},
        Heading(H, {"Information", "", ""}),
        {"<8700|<1000", E2, {"ECX 510", ""}},
        {"<8700|<1000", E2, {"  ENGINE 2", ""}},
        {"<8700|<1000", E2, {"END", ""}},
        Heading(H, {"Relays - Terminal Card TB-16", ""}),
        {"<800|<8900", E2, {"K7", "Standby Mode"}},
        Heading(H, {"Relays - Optional Relay Card PX-3, PX-5", ""}),
        {"<800|<8900", E2, {"3", "Common Alarm"}},
        {"<800|<8900", E2, {"9", relays->RelayRowText(0, "9*")}},
        {"<7900|<1800", {}, {"Disable broken wire alarm on Terminal 44", ""}},
        Heading("<1800|<7900", {"SMS", "", ""}),
        {R, {}, {"Send SMS", "Yes"}},
        {"<<1800|<7600", {}, {"Common Alarm", "Yes"}},
        {"<<1800|<7600", {}, {"Common Shutdown", "No"}},
        {"<<1800|<7600", {}, {"Any Service Interval", "No"}},
        {"<<1800|<7600", {}, {"All Logged Events", "Yes"}},
        {"<8900|<800", {}, {"Send to first successful phone number in the list below, and then quit", ""}},
        {"<50|<9000", {}, {"", "+47 | 100%d"}},
        {"<50|<9000", {}, {"", "555 123"}},
        Heading(H, {"Backup System Settings", ""}),
        {"<800|<8900", E2, {"S1", "9"}},
        {"<800|<8900", E2, {"S2", "6"}},
        {"<800|<8900", E2, {"S3", "7"}},
        {"<800|<8900", E2, {"S4", "100000"}},
        Heading(H, {"Components used", ""}),
        {"<<9700", E2, {"ECX 510 P Q2", ""}},
        {"<<9700", E2, {"TB-16 Q2", ""}},
        {"<<9700", E2, {"AX-2", ""}},
        {"<<9700", E2, {"PX-5", ""}},
    };
    const std::vector<Table> got = Tables(printer);
    for (size_t i = 0; i < std::max(got.size(), expected.size()); ++i) {
        if (i < got.size() && i < expected.size())
            EXPECT_EQ(got[i], expected[i]) << "table " << i;
        else
            ADD_FAILURE() << "table " << i << " only on one side: "
                          << (i < got.size() ? ::testing::PrintToString(got[i]) : ::testing::PrintToString(expected[i]));
    }
    EXPECT_EQ(relays->RelayRowText(0, "9*"), "Speed Relay 1, 900 RPM");
    // With the Main page showing the setup, the status row is the page's own text.
    MainPage mainPage(state);
    state.mainPage = &mainPage;
    ASSERT_TRUE(Build());
    state.mainPage = nullptr;
    const QString status = mainPage.FormatLastKnownStatus();
    ASSERT_TRUE(status.startsWith("Last known status: "));
    EXPECT_EQ(Section(printer, "Main").back().cells, QStringList({"Last known status", status.mid(19)}));
    // The additional inputs follow switch channels: their heading takes the channel shade.
    EXPECT_EQ(FindTable(printer, "Additional Switch Inputs")->headerShade, QColor(235, 235, 235));
    EXPECT_EQ(FindTable(printer, "Switch Input Channel 1")->headerShade, QColor(235, 235, 235));
    EXPECT_EQ(FindTable(printer, "Switch Input Channel 1")->fontSize, 11);
}

// ---- rules of single rows, table-driven ---------------------------------------------------------

TEST(SetupReportRules, J1939BytePositions)
{
    struct Case {
        int iMID;
        const char* label;
        const char* list;
    } cases[] = {
        {0x24, "Bytes", "5, 6"},   {0x05, "Bytes", "1, 2, 3, 4, 5"}, {0x00, "Byte", "1"},
        {0x13, "Byte", "4"},       {0x03, "Bytes", "1, 2, 3"},       {0x41, "Bytes", "2, 3, 4, 5"},
        {0x01, "Byte", "1"},       {0x87, "Bytes", "8, 9, 10, 11, 12, 13, 14, 15"},
    };
    for (const Case& c : cases) {
        QString label, list;
        SetupReport::J1939Bytes(quint8(c.iMID), label, list);
        EXPECT_EQ(label, c.label) << c.iMID;
        EXPECT_EQ(list, c.list) << c.iMID;
    }
}

TEST_F(SetupReportTest, MainRowsByValue)
{
    struct Case {
        int lcd;
        int hours;
        const char* lcdText;
        const char* hoursText; // "" for no row
    } cases[] = {
        {0, 0, "Never Off", "Local"},      {1, 1, "Never Off", "Read from J1939"},
        {2, 2, "1 Minutes", "Read from J1587"}, {60, 3, "59 Minutes", ""},
        {61, 0, "1 Hours", "Local"},       {255, 7, "195 Hours", ""},
    };
    for (const Case& c : cases) {
        setup->Main()->SetLCDLight(c.lcd);
        setup->Main()->SetEngineHours(c.hours);
        ASSERT_TRUE(Build());
        const std::vector<Table> main = Section(printer, "Main");
        bool lcdSeen = false, hoursSeen = false;
        for (const Table& t : main) {
            if (t.cells.value(0) == "LCD Light Delay") {
                lcdSeen = true;
                EXPECT_EQ(t.cells.value(1), c.lcdText) << c.lcd;
            }
            if (t.cells.value(0) == "Engine Hours") {
                hoursSeen = true;
                EXPECT_EQ(t.cells.value(1), c.hoursText) << c.hours;
            }
        }
        EXPECT_TRUE(lcdSeen);
        EXPECT_EQ(hoursSeen, QString(c.hoursText) != "") << c.hours;
    }
}

TEST_F(SetupReportTest, CanRowsFollowTheOptions)
{
    struct Case {
        bool can, diagnose, lamp;
        QStringList labels;
    } cases[] = {
        {false, true, true, {"J1939/J1587 Enabled"}},
        {true, false, true, {"J1939/J1587 Enabled", "Own MID Number", "Diagnostic"}},
        {true, true, true,
         {"J1939/J1587 Enabled", "Own MID Number", "Diagnostic", "Diagnostic SPN", "\"Protect Lamp\" gives Warning only"}},
    };
    for (const Case& c : cases) {
        setup->Main()->SetCAN(c.can);
        setup->Main()->SetCANDiagnose(c.diagnose);
        setup->Main()->SetCANProtectLamp(c.lamp);
        ASSERT_TRUE(Build());
        QStringList labels;
        bool in = false;
        for (const Table& t : Section(printer, "Main")) {
            in = in || t.cells.value(0) == "J1939/J1587 Enabled";
            if (t.cells.value(0) == "Engine Manufacturer")
                break;
            if (in)
                labels << t.cells.value(0);
        }
        EXPECT_EQ(labels, c.labels);
    }
}

TEST_F(SetupReportTest, AnalogActionRows)
{
    struct Case {
        int action;
        int direction;
        QStringList rows; // label=value after "Double Scale", up to "On Run Only"
    } cases[] = {
        {0, 0, {"Action=None"}},
        {1, 0, {"Action=Warning when above limit", "Warning Limit=1.0 V", "Warning Delay=4 Seconds"}},
        {2, 1, {"Action=Alarm when below limit", "Alarm Limit=2.0 V", "Alarm Delay=4 Seconds"}},
        {3, 0, {"Action=Shutdown when above limit", "Shutdown Limit=2.0 V", "Shutdown Delay=4 Seconds"}},
        {4, 1,
         {"Actions=Warning when below Warning limit\r\nAlarm when below Alarm limit", "Warning Limit=1.0 V", "Alarm Limit=2.0 V",
          "Warning and Alarm Delay=4 Seconds"}},
        {5, 0,
         {"Actions=Warning when above Warning limit\r\nShutdown when above Shutdown limit", "Warning Limit=1.0 V",
          "Shutdown Limit=2.0 V", "Warning and Shutdown Delay=4 Seconds"}},
        {6, 0, {"Action=RPM Dependent Alarm when above limits", "Lower Limit=0.3 V", "Upper Limit=0.4 V", "Alarm Delay=4 Seconds"}},
        {8, 1,
         {"Action=RPM Dependent Shutdown when below limits", "Lower Limit=0.3 V", "Upper Limit=0.4 V", "Alarm Delay=4 Seconds"}},
        {9, 0, {"Action= when above limit"}},
    };
    XelAnalogIn* a = setup->AnalogIn()->Item("2*");
    a->SetActive(true);
    a->SetUnits("V");
    a->SetLimit(1, 10);
    a->SetLimit(0, 20);
    a->SetRPMLimit(0, 3);
    a->SetRPMLimit(1, 4);
    a->SetAlarmDelay(4);
    for (const Case& c : cases) {
        a->SetAction(c.action);
        a->SetActionDirection(c.direction);
        ASSERT_TRUE(Build());
        QStringList rows;
        bool in = false;
        for (const Table& t : Tables(printer)) {
            if (t.header.value(0) != "Analog Input Channel 2" || t.cells.isEmpty())
                continue;
            if (t.cells[0] == "On Run Only")
                break;
            if (in)
                rows << t.cells[0] + "=" + t.cells[1];
            in = in || t.cells[0] == "Double Scale";
        }
        EXPECT_EQ(rows, c.rows) << c.action;
    }
}

TEST_F(SetupReportTest, AnalogInputTypesAndInactiveChannels)
{
    struct Case {
        int type;
        const char* text;
        int busRows;
    } cases[] = {{0, "4..20mA", 0}, {1, "0..20mA / 0..5V", 0}, {2, "0..10V", 0}, {3, "J1587", 4}, {4, "J1939", 3}, {7, "4..20mA", 0}};
    XelAnalogIn* a = setup->AnalogIn()->Item("3*");
    a->SetActive(true);
    for (const Case& c : cases) {
        a->SetInputType(c.type);
        ASSERT_TRUE(Build());
        int bus = 0;
        QString type;
        for (const Table& t : Tables(printer)) {
            if (t.header.value(0) != "Analog Input Channel 3")
                continue;
            if (t.cells.value(0) == "Input Type")
                type = t.cells.value(1);
            bus += t.cells.value(0).startsWith('\t') ? 1 : 0;
        }
        EXPECT_EQ(type, c.text) << c.type;
        EXPECT_EQ(bus, c.busRows) << c.type;
    }
    a->SetActive(false);
    ASSERT_TRUE(Build());
    EXPECT_EQ(FindTable(printer, "Analog Input Channels"), nullptr);
}

TEST_F(SetupReportTest, SpeedSensorPercentAndPickups)
{
    struct Case {
        int nominal, speeding;
        int pickup2;
        const char* unit;
        QStringList pickupTwo;
    } cases[] = {
        {1500, 1725, 0, "RPM       (15.0%)", {"Pickup Two=Not used"}},
        {1500, 1500, 3, "RPM       (0.0%)", {"Pickup Two=Read from J1587"}},
        {1500, 1400, 2, "RPM", {"Pickup Two=Read from J1939"}},
        {1800, 2000, 1, "RPM       (11.1%)", {"Pickup Two=Local at Terminal 65, 66", "RPM Sender=Pickup At Timing Gear", "Teeth Count=60"}},
        {1500, 1500, 9, "RPM       (0.0%)", {}},
    };
    for (const Case& c : cases) {
        XelSpeedSensor& s = *setup->SpeedSensor();
        s.SetNomSpeed(c.nominal);
        s.SetSpeeding(c.speeding);
        s.SetPickupType(1, c.pickup2);
        s.SetSender(1, 2);
        s.SetPulsesPerRevolution(1, 60);
        ASSERT_TRUE(Build());
        QString unit;
        QStringList two;
        bool inTwo = false;
        for (const Table& t : Section(printer, "Speed Sensor")) {
            if (t.cells.value(0) == "Overspeed")
                unit = t.cells.value(2);
            if (t.cells.value(0) == "Pickup Two")
                inTwo = true;
            if (t.cells.value(0) == "Ready To Take Load")
                inTwo = false;
            if (inTwo)
                two << (t.cells.size() == 3 ? t.cells[1] + "=" + t.cells[2] : t.cells[0] + "=" + t.cells[1]);
        }
        EXPECT_EQ(unit, c.unit) << c.speeding;
        EXPECT_EQ(two, c.pickupTwo) << c.pickup2;
    }
}

TEST_F(SetupReportTest, BatterySources)
{
    struct Case {
        float voltage;
        int canType;
        std::vector<Table> first;
    } cases[] = {
        {24, 0, {{V, E3, {"Start Battery Voltage", "24", "V"}}}},
        {12, 0, {{V, E3, {"Start Battery Voltage", "12", "V"}}}},
        {999, 0, {{V, E3, {"External Battery Source", "", ""}}}},
        {1, 34, {{"<3000|<7500|<200", E3, {"External Battery Source", "Read From J1939", ""}},
                 {"<3000|<7500|<200", E3, {"J1939 Voltage Location", "Alternator Voltage", ""}}}},
        {1, 38, {{"<3000|<7500|<200", E3, {"External Battery Source", "Read From J1939", ""}},
                 {"<3000|<7500|<200", E3, {"J1939 Voltage Location", "Battery Voltage", ""}}}},
        {1, 35, {{"<3000|<7500|<200", E3, {"External Battery Source", "Read From J1939", ""}}}},
        {2, 0, {{"<2500|<6200|<1000", E3, {"External Battery Source", "Read From J1587", ""}}}},
    };
    for (const Case& c : cases) {
        setup->Battery()->SetBatteryVoltage(c.voltage);
        setup->Battery()->SetCANBatteryType(c.canType);
        ASSERT_TRUE(Build());
        const std::vector<Table> rows = Section(printer, "Battery");
        ASSERT_EQ(rows.size(), c.first.size() + 3) << c.voltage;
        for (size_t i = 0; i < c.first.size(); ++i)
            EXPECT_EQ(rows[i + 1], c.first[i]) << c.voltage;
        EXPECT_EQ(rows[rows.size() - 2].cells.value(0), "Low Battery Voltage");
    }
}

TEST_F(SetupReportTest, BackupSwitchPositions)
{
    struct Case {
        int pickupType, sender, pulses;
        const char *s1, *s2;
    } cases[] = {{1, 1, 150, "9", "6"}, {1, 2, 150, "4", "B"}, {2, 1, 150, "0", "0"}, {0, 1, 150, "0", "0"}, {1, 1, 255, "F", "F"}};
    for (const Case& c : cases) {
        setup->SpeedSensor()->SetPickupType(0, c.pickupType);
        setup->SpeedSensor()->SetSender(0, c.sender);
        setup->SpeedSensor()->SetPulsesPerRevolution(0, c.pulses);
        ASSERT_TRUE(Build());
        const std::vector<Table> rows = Section(printer, "Backup System Settings");
        ASSERT_EQ(rows.size(), 5u);
        EXPECT_EQ(rows[1].cells, QStringList({"S1", c.s1}));
        EXPECT_EQ(rows[2].cells, QStringList({"S2", c.s2}));
    }
    // Inputs 1 and 3 shut down, 2 alarms, 4 shuts down but is off, 7 is beyond the switch.
    const int actions[] = {3, 2, 3, 3, 0, 0, 3};
    for (int i = 1; i <= 7; ++i) {
        XelDigitalIn* in = setup->DigitalIn()->Item(QString::number(i) + "*");
        in->SetActive(i != 4);
        in->SetAction(actions[i - 1]);
    }
    ASSERT_TRUE(Build());
    EXPECT_EQ(Section(printer, "Backup System Settings")[4].cells, QStringList({"S4", "101000"}));
}

TEST_F(SetupReportTest, ComponentsByFirmwareAndCards)
{
    struct Case {
        const char* firmware;
        int mode;
        QList<int> analog, relays;
        QStringList rows;
    } cases[] = {
        {"", 0, {}, {}, {"ECX 510 A (version unknown)", "TB-10 or TB-16 Q2"}},
        {"4.47", 2, {6}, {1, 6}, {"ECX 510 P Q2", "TB-16 Q2", "AX-2", "PX-3"}},
        {"3.9", 1, {5}, {2, 7}, {"ECX 510 A Q1", "TB-10", "PX-5"}},
        {"10.1", 3, {11}, {14}, {"ECX 510 A Q2", "TB-16 Q2", "AX-2", "PX-5"}},
        {"  4.0\0", 0, {}, {}, {"ECX 510 A Q2", "TB-16 Q2"}},
    };
    for (const Case& c : cases) {
        setup = CreateDefaultSetupDocument();
        state.SetXelObject(setup.get());
        setup->Main()->SetOperationMode(c.mode);
        if (QString(c.firmware) != "")
            setup->Main()->RecordTransfer(MainFirmwareDirection::FromECX, c.firmware, QDateTime(QDate(2024, 1, 1), QTime()));
        for (int a : c.analog)
            setup->AnalogIn()->Item(QString::number(a) + "*")->SetActive(true);
        for (int r : c.relays)
            setup->Relay()->Item(QString::number(r) + "*")->SetInUse(true);
        ASSERT_TRUE(Build());
        QStringList rows;
        for (const Table& t : Section(printer, "Components used"))
            if (!t.cells.isEmpty())
                rows << t.cells[0];
        EXPECT_EQ(rows, c.rows) << c.firmware;
    }
}

// ---- sections that may be left out ---------------------------------------------------------------

TEST_F(SetupReportTest, SmsSection)
{
    setup->SMS()->SetSend(false);
    for (int i = 1; i <= 2; ++i) {
        XelSMSNumber* n = setup->SMSNumbers()->Add(i);
        n->SetInUse(i == 2);
        n->SetNumber(QString::number(i) + "00");
    }
    ASSERT_TRUE(Build());
    EXPECT_EQ(FindTable(printer, "SMS"), nullptr);
    setup->SMS()->SetSend(true);
    setup->SMS()->SetSendToAll(true);
    ASSERT_TRUE(Build());
    const std::vector<Table> rows = Section(printer, "SMS");
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[6].cells.value(0), "Send to all phone numbers in the list below");
    EXPECT_EQ(rows[7], (Table{"<50|<9000", {}, {"", "200"}}));
    // The send-mode row ends the section when no number is in use.
    setup->SMSNumbers()->Item("2*")->SetInUse(false);
    ASSERT_TRUE(Build());
    EXPECT_EQ(Section(printer, "SMS").size(), 7u);
}

TEST_F(SetupReportTest, RelaysSectionBlocksMarksAndTerminal44)
{
    // Nothing in use anywhere: no heading, no gap, no terminal-44 row.
    for (XelRelay* r : setup->RelayNew()->NewEnum())
        r->SetInUse(false);
    setup->Relay()->SetRelayT44DisableBW(true);
    ASSERT_TRUE(Build());
    EXPECT_EQ(FindTable(printer, "Relays - Terminal Card TB-16"), nullptr);
    for (const Table& t : Tables(printer))
        EXPECT_NE(t.cells.value(0), "Disable broken wire alarm on Terminal 44");

    // Only optional relays: the terminal heading stands alone; the second marked relay (its
    // switch input is not active) gets the mark and its block the footnote, one point smaller.
    XelRelay* r2 = setup->Relay()->Item("2*");
    r2->SetInUse(true);
    r2->SetFunctionNo(75);
    XelRelay* r5 = setup->Relay()->Item("5*");
    r5->SetInUse(true);
    r5->SetFunctionNo(1); // switch input 1, not active
    ASSERT_TRUE(Build());
    ASSERT_TRUE(relays->RelayRowMarked(0, "5*"));
    const std::vector<Table> terminal = Section(printer, "Relays - Terminal Card TB-16");
    EXPECT_EQ(terminal.size(), 1u);
    const std::vector<Table> optional = Section(printer, "Relays - Optional Relay Card PX-3, PX-5");
    ASSERT_EQ(optional.size(), 4u);
    EXPECT_EQ(optional[1].cells, QStringList({"2", "Common Alarm"}));
    EXPECT_EQ(optional[2].cells, QStringList({"5  *", relays->RelayRowText(0, "5*")}));
    EXPECT_EQ(optional[3].cells, QStringList({"Disable broken wire alarm on Terminal 44", ""}));
    int notes = 0;
    for (const ReportPrinter::Op& op : printer.Ops())
        if (op.kind == ReportPrinter::Op::Text) {
            ++notes;
            EXPECT_EQ(op.body.value(0).value(0), "  * = Not supported by Control Unit");
            EXPECT_EQ(op.fontSize, 9);
        }
    EXPECT_EQ(notes, 1);
}

TEST_F(SetupReportTest, InformationSectionFontAndOmission)
{
    for (const char* blank : {"", "   ", " \r\n  "}) {
        setup->Info()->SetInfo(blank);
        ASSERT_TRUE(Build());
        EXPECT_EQ(FindTable(printer, "Information"), nullptr) << blank;
    }
    setup->Info()->SetInfo("A|B %d\r\nSECOND");
    const QString before = printer.Font.family();
    ASSERT_TRUE(Build());
    const std::vector<Table> rows = Section(printer, "Information");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].cells, QStringList({"A|B %d", ""}));
    const ReportPrinter::Op* body = nullptr;
    for (const ReportPrinter::Op& op : printer.Ops())
        if (op.format == "<8700|<1000")
            body = &op;
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->fontFamily, QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    EXPECT_NE(body->fontFamily, "CourierX");
    EXPECT_EQ(body->fontSize, 10);
    // Later sections print in the report's own font again.
    EXPECT_EQ(printer.Font.family(), before);
    EXPECT_EQ(FindTable(printer, "Backup System Settings")->fontFamily, before);
}

TEST_F(SetupReportTest, SavedSetupPrintsFileRows)
{
    const QString file = doubles.dir.filePath("ship.qrn");
    ASSERT_TRUE(setup->SaveFile(file));
    ASSERT_TRUE(Build());
    std::vector<Table> info = Section(printer, "Setup Information");
    ASSERT_EQ(info.size(), 5u);
    EXPECT_EQ(info[2].cells, QStringList({"File Version", setup->FileVersion()}));
    EXPECT_EQ(info[3].cells.value(0), "File Date");
    // Saving records the user who saved.
    EXPECT_EQ(info[4].cells, QStringList({"File Creator", "tester"}));
    EXPECT_EQ(printer.DocName, "ship.qrn");
    EXPECT_EQ(printer.Header().value(0), "Quarno Q2 Setup : ship.qrn");
    // The file is gone: only the version rows remain.
    QFile::remove(file);
    ASSERT_TRUE(Build());
    EXPECT_EQ(Section(printer, "Setup Information").size(), 3u);
}

// ---- page frame ------------------------------------------------------------------------------------

TEST_F(SetupReportTest, HeaderFooterAndRulesOnEveryPage)
{
    doubles.system.user = "j|oe %d";
    for (int i = 1; i <= 11; ++i)
        setup->AnalogIn()->Item(QString::number(i) + "*")->SetActive(true);
    ASSERT_TRUE(Build());
    ASSERT_GE(printer.PageCount(), 3);
    EXPECT_EQ(printer.Header(), QStringList({"Quarno Q2 Setup", "", "J|OE %D - 5 Mar 2024 14:07:09"}));
    EXPECT_EQ(printer.Footer(), QStringList({"", "", "Page %d"}));
    QVector<int> rules(printer.PageCount() + 1, 0);
    for (const ReportPrinter::Op& op : printer.Ops()) {
        if (op.kind != ReportPrinter::Op::Line)
            continue;
        ++rules[op.page];
        EXPECT_EQ(op.x1, 1440);
        EXPECT_EQ(op.x2, printer.PageWidth() - 800);
        EXPECT_TRUE(op.y1 == 1100 || op.y1 == printer.PageHeight() - 1100) << op.y1;
    }
    for (int page = 1; page <= printer.PageCount(); ++page)
        EXPECT_EQ(rules[page], 2) << page;
    // A block running over a page boundary continues 100 twips into the next page, its channel
    // heading repeated above the row.
    for (const ReportPrinter::Op& op : printer.Ops())
        if (op.kind == ReportPrinter::Op::Table && op.page > 1 && op.y == 1100 + 100 && !op.body.isEmpty())
            EXPECT_TRUE(op.headerShown);
    // No user name: the date alone, without " - ".
    doubles.system.user = "";
    ASSERT_TRUE(Build());
    EXPECT_EQ(printer.Header().value(2), "5 Mar 2024 14:07:09");
}

TEST_F(SetupReportTest, PageBreaksAtTheReserveBoundaries)
{
    struct Case {
        const char* title;
        double reserve; // the test's reserve
        void (SetupReport::*section)();
    } cases[] = {
        {"Standby Operation", 3300, &SetupReport::PrintStandbyOperation},
        {"Speed Sensor", 3600, &SetupReport::PrintSpeedSensor},
        {"Battery", 2500, &SetupReport::PrintBattery},
        {"Backup System Settings", 2800, &SetupReport::PrintBackupSystemSettings},
        {"Components used", 2800, &SetupReport::PrintComponentsUsed},
        // Two terminal-card relays in use: 2 x 400 + 1200.
        {"Relays - Terminal Card TB-16", 2000, &SetupReport::PrintRelays},
        // Three lines: 500 x 3 + 1000, and the bottom margin.
        {"Information", 2500 + 1100, &SetupReport::PrintInformation},
    };
    setup->Info()->SetInfo("1\r\n2\r\n3");
    ShowPages();
    for (const Case& c : cases) {
        for (int over : {0, 1}) {
            SetupReport r(state, printer);
            ASSERT_TRUE(r.StartDocument(*setup));
            const double start = printer.PageHeight() - c.reserve + over;
            printer.CurrentY = start;
            (r.*c.section)();
            r.EndDocument();
            const ReportPrinter::Op* heading = FindTable(printer, c.title);
            ASSERT_NE(heading, nullptr) << c.title;
            if (over) {
                EXPECT_EQ(heading->page, 2) << c.title;
                // The new page's own 100 twips, then the section's 100.
                EXPECT_EQ(heading->y, 1100 + 100 + 100) << c.title;
            } else {
                EXPECT_EQ(heading->page, 1) << c.title;
                EXPECT_EQ(heading->y, start + 500) << c.title;
            }
        }
    }
}

TEST_F(SetupReportTest, RelayReservesCountBothCardsThenTheOptionalOnes)
{
    // 3 on the terminal card, 10 optional: 13 x 400 + 1200 before the first block, 10 x 400 + 1200
    // before the second. These reserves exceed what the blocks need, so they decide the breaks.
    setup->RelayNew()->Add(3, "Alarm", "K11")->SetInUse(true);
    for (int i = 1; i <= 10; ++i)
        setup->Relay()->Item(QString::number(i) + "*")->SetInUse(true);
    ShowPages();
    auto run = [&](double start) { PrintFrom(start, &SetupReport::PrintRelays); };
    const QString first = "Relays - Terminal Card TB-16", second = "Relays - Optional Relay Card PX-3, PX-5";
    // How far the terminal block reaches, measured high on a page.
    run(2000);
    const double block = FindTable(printer, second)->y - 500 - FindTable(printer, first)->y + 500;
    for (int over : {0, 1}) {
        run(printer.PageHeight() - 6400 + over);
        EXPECT_EQ(FindTable(printer, first)->page, over ? 2 : 1);
        run(printer.PageHeight() - 5200 + over - block);
        EXPECT_EQ(FindTable(printer, first)->page, 1);
        EXPECT_EQ(FindTable(printer, second)->page, over ? 2 : 1) << block;
    }
}

// The reserves count rows of the original's height; rows here are 300 twips and labels wrap.
// Where the reserve lets a section start but its rows would not fit, it starts on the next page
// all the same, and no page break falls inside it.
TEST_F(SetupReportTest, ReservedSectionsAreNeverSplit)
{
    struct Case {
        const char* title;
        double reserve;
        void (SetupReport::*section)();
        int relaysOnTheCard; // optional-card relays in use
    } cases[] = {
        {"Standby Operation", 3300, &SetupReport::PrintStandbyOperation, 0},
        {"Speed Sensor", 3600, &SetupReport::PrintSpeedSensor, 0},
        {"Battery", 2500, &SetupReport::PrintBattery, 0},
        {"Backup System Settings", 2800, &SetupReport::PrintBackupSystemSettings, 0},
        {"Components used", 2800, &SetupReport::PrintComponentsUsed, 3},
        {"Relays - Optional Relay Card PX-3, PX-5", 5 * 400 + 1200, &SetupReport::PrintRelays, 5},
    };
    setup->Relay()->SetRelayT44DisableBW(true);
    for (const Case& c : cases) {
        for (int i = 1; i <= 14; ++i)
            setup->Relay()->Item(QString::number(i) + "*")->SetInUse(i <= c.relaysOnTheCard);
        ShowPages();
        // Every start from where the reserve first lets the section stay down to the bottom.
        for (double start = printer.PageHeight() - c.reserve; start < printer.PageHeight() - 1100; start += 150) {
            PrintFrom(start, c.section);
            const ReportPrinter::Op* heading = FindTable(printer, c.title);
            ASSERT_NE(heading, nullptr) << c.title;
            EXPECT_EQ(heading->page, 2) << c.title << " from " << start;
            bool after = false;
            for (const ReportPrinter::Op& op : printer.Ops()) {
                after = after || &op == heading;
                if (after && op.kind == ReportPrinter::Op::Table)
                    EXPECT_LE(op.y + op.height, printer.PageHeight() - 1100) << c.title << " from " << start;
                EXPECT_FALSE(after && op.kind == ReportPrinter::Op::PageBreak) << c.title << " from " << start;
            }
        }
    }
}

// A channel heading or a section heading never stays alone at the foot of a page: it moves on
// with the rows that follow it.
TEST_F(SetupReportTest, HeadingsStayWithTheirFirstRow)
{
    setup->DigitalIn()->Item("1*")->SetActive(true);
    setup->AnalogIn()->Item("2*")->SetActive(true);
    setup->SMS()->SetSend(true);
    ShowPages();
    struct Case {
        const char* heading;
        void (SetupReport::*section)();
        const char* firstRowLabel;
    } cases[] = {
        {"Switch Input Channels", &SetupReport::PrintSwitchInputs, "Description"},
        {"Switch Input Channel 1", &SetupReport::PrintSwitchInputs, "Description"},
        {"Analog Input Channels", &SetupReport::PrintAnalogInputs, "Description"},
        {"Analog Input Channel 2", &SetupReport::PrintAnalogInputs, "Description"},
        {"SMS", &SetupReport::PrintSMS, "Send SMS"},
    };
    for (const Case& c : cases) {
        for (double start = printer.PageHeight() - 2500; start < printer.PageHeight() - 1100; start += 100) {
            PrintFrom(start, c.section);
            const ReportPrinter::Op* heading = FindTable(printer, c.heading);
            ASSERT_NE(heading, nullptr) << c.heading;
            const ReportPrinter::Op* row = nullptr;
            for (const ReportPrinter::Op& op : printer.Ops())
                if (!row && &op > heading && !op.body.isEmpty() && op.body[0].value(0) == c.firstRowLabel)
                    row = &op;
            ASSERT_NE(row, nullptr) << c.heading;
            EXPECT_EQ(row->page, heading->page) << c.heading << " from " << start;
            EXPECT_FALSE(row->headerShown) << c.heading << " from " << start;
        }
    }
}

TEST_F(SetupReportTest, FailedStartAddsNoSection)
{
    printer.SetStartFails(true);
    EXPECT_FALSE(Build());
    EXPECT_TRUE(printer.Ops().isEmpty());
    EXPECT_EQ(printer.PageCount(), 0);
}

} // namespace
