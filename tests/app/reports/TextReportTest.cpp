#include "app/frame/DefaultSetup.h"
#include "app/frame/MainState.h"
#include "app/reports/ReportTexts.h"
#include "app/reports/TextReport.h"
#include "app/services/extra/extra.h"
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
#include "tests/common/Doubles.h"

#include <QFile>
#include <QLocale>
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

} // namespace
