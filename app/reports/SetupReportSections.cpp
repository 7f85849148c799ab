// The engine, information, relay, SMS, backup and component sections of the printed report.
#include "app/reports/SetupReport.h"

#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/pages/common/PageCommon.h"
#include "app/reports/BackupSwitches.h"
#include "app/reports/ReportPrinter.h"
#include "app/reports/ReportTexts.h"
#include "app/services/extra/extra.h"
#include "datamodel/XelBattery.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelRelay.h"
#include "datamodel/XelSMS.h"
#include "datamodel/XelSMSNumber.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/XelStandbyOperation.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSMSNumber.h"
#include "datamodel/cSpeedRelay.h"

#include <QFontDatabase>
#include <QRegularExpression>

using namespace reporttexts;

namespace {

const QString kValueFormat = QStringLiteral("<2500|>1000|<6200");
const QStringList kTwoEmpty{QString(), QString()};
const QStringList kThreeEmpty{QString(), QString(), QString()};

QString Num(qint64 n) { return QString::number(n); }
QString YesNo(bool flag) { return flag ? QStringLiteral("Yes") : QStringLiteral("No"); }

int InUseCount(const cRelay* relays)
{
    int n = 0;
    if (relays)
        for (const XelRelay* r : relays->NewEnum())
            n += r->InUse() ? 1 : 0;
    return n;
}

} // namespace

// ---- standby or propulsion ---------------------------------------------------------------------

void SetupReport::PrintStandbyOperation()
{
    const XelStandbyOperation& s = *m_setup->StandbyOperation();
    const bool propulsion = m_setup->Main()->OperationMode() == 2;
    ReservedHeading({propulsion ? QStringLiteral("Propulsion Start and Fuel Consumption") : QStringLiteral("Standby Operation"),
                     QString(), QString()},
                    3300);
    auto row = [&](const QStringList& cells) { Row(kValueFormat, cells, kThreeEmpty); };
    row({QStringLiteral("Initial Start Delay"), Num(s.InitialStartDelay()), QStringLiteral("Seconds")});
    row({QStringLiteral("Cranking Time"), Num(s.CrankingTime()), QStringLiteral("Seconds")});
    if (propulsion) {
        row({QStringLiteral("Fuel Consumption Calc."),
             QStringLiteral("Control Unit Algorithm Number ") + Num(s.FuelConsumption()), QString()});
        return;
    }
    row({QStringLiteral("Delay Between Start Attempts"), Num(s.Delay()), QStringLiteral("Seconds")});
    row({QStringLiteral("Number of Start Attempts"), Num(s.StartAttempts())});
    Gap(50);
    row({QStringLiteral("Delay Before Disconnecting Generator Breaker"), Num(s.GenBreakTimer()), QStringLiteral("Seconds")});
    row({QStringLiteral("Cooling Time"), Num(s.Cooling()), QStringLiteral("Minutes")});
}

// ---- speed sensor ------------------------------------------------------------------------------

void SetupReport::PrintSpeedSensor()
{
    const XelSpeedSensor& s = *m_setup->SpeedSensor();
    SpeedSensorPageApi* page = m_state.XelObject() == m_setup ? m_state.speedSensorPage : nullptr;
    ReservedHeading({QStringLiteral("Speed Sensor"), QString(), QString()}, 3600);

    // The overspeed in percent of the nominal speed, as the page shows beside the field.
    const double nominal = page ? page->NomMaxValue() : s.NomSpeed();
    const double speeding = page ? page->SpeedingValue() : s.Speeding();
    QString percent;
    if (nominal != 0) {
        const double p = (speeding - nominal) / nominal * 100.0;
        if (p >= 0)
            percent = OneDecimal(p);
    }

    const QString titles[2] = {QStringLiteral("Pickup One"), QStringLiteral("Pickup Two")};
    const QString terminals[2] = {QStringLiteral("Local at Terminal 5, 6"), QStringLiteral("Local at Terminal 65, 66")};
    for (int i = 0; i < 2; ++i) {
        const qint16 pickup = qint16(i);
        const QString format = QStringLiteral("<3000|<7500");
        switch (s.PickupType(pickup)) {
        case 0: Row(format, {titles[i], QStringLiteral("Not used")}); break;
        case 1: {
            Row(format, {titles[i], terminals[i]});
            const QString sender = page ? page->RPMSenderName(i) : RPMSenderText(s.Sender(pickup));
            const QString caption = page ? page->PulsesCaption(i) : PulsesCaption(s.Sender(pickup));
            const QString indented = QStringLiteral("<100|<2900|<7500");
            Row(indented, {QString(), QStringLiteral("RPM Sender"), sender});
            Row(indented, {QString(), caption, Num(s.PulsesPerRevolution(pickup))});
            break;
        }
        case 2: Row(format, {titles[i], QStringLiteral("Read from J1939")}); break;
        case 3: Row(format, {titles[i], QStringLiteral("Read from J1587")}); break;
        default: break;
        }
        Gap(50);
    }

    Row(kValueFormat, {QStringLiteral("Ready To Take Load"), Num(s.ReadyToTakeLoad()), QStringLiteral("RPM")});
    Row(kValueFormat, {QStringLiteral("Nominal/Max"), Num(s.NomSpeed()), QStringLiteral("RPM")});
    Row(kValueFormat, {QStringLiteral("Overspeed"), Num(s.Speeding()),
                       percent.isEmpty() ? QStringLiteral("RPM") : QStringLiteral("RPM       (") + percent + QStringLiteral("%)")});
    Row(kValueFormat, {QStringLiteral("Overspeed Shutdown"), SingleText(s.SpeedingShutdown()), QStringLiteral("Seconds")});
    Gap(50);
    Row(kValueFormat, {QStringLiteral("RUN Detected At"), Num(s.RunDetectedAt()), QStringLiteral("RPM")});

    const QVector<XelSpeedRelay*> relays = m_setup->SpeedRelays() ? m_setup->SpeedRelays()->NewEnum() : QVector<XelSpeedRelay*>();
    bool gap = false;
    for (const XelSpeedRelay* r : relays) {
        if (!r->InUse())
            continue;
        if (!gap) {
            Gap(50);
            gap = true;
        }
        Row(kValueFormat, {r->Descript(), Num(r->RPM()), QStringLiteral("RPM")});
    }
}

// ---- battery and information -------------------------------------------------------------------

void SetupReport::PrintBattery()
{
    const XelBattery& b = *m_setup->Battery();
    ReservedHeading({QStringLiteral("Battery"), QString(), QString()}, 2500);
    const float v = b.BatteryVoltage();
    const QString source = QStringLiteral("External Battery Source");
    if (v == 999.0f) {
        Row(kValueFormat, {source, QString(), QString()}, kThreeEmpty);
    } else if (v == 1.0f) {
        const QString format = QStringLiteral("<3000|<7500|<200");
        Row(format, {source, QStringLiteral("Read From J1939"), QString()}, kThreeEmpty);
        const QString location = QStringLiteral("J1939 Voltage Location");
        switch (b.CANBatteryType()) {
        case 34: Row(format, {location, QStringLiteral("Alternator Voltage"), QString()}, kThreeEmpty); break;
        case 36: Row(format, {location, QStringLiteral("Electrical Voltage"), QString()}, kThreeEmpty); break;
        case 38: Row(format, {location, QStringLiteral("Battery Voltage"), QString()}, kThreeEmpty); break;
        default: break;
        }
    } else if (v == 2.0f) {
        Row(QStringLiteral("<2500|<6200|<1000"), {source, QStringLiteral("Read From J1587"), QString()}, kThreeEmpty);
    } else {
        Row(kValueFormat, {QStringLiteral("Start Battery Voltage"), SingleText(v), QStringLiteral("V")}, kThreeEmpty);
    }
    Row(kValueFormat, {QStringLiteral("Low Battery Voltage"), SingleText(b.LowBatteryVoltage()), QStringLiteral("V")},
        kThreeEmpty);
    Row(kValueFormat, {QStringLiteral("Delay Before Alarm"), Num(b.Delay()), QStringLiteral("Seconds")}, kThreeEmpty);
}

void SetupReport::PrintInformation()
{
    const QString text = m_setup->Info() ? m_setup->Info()->Info() : QString();
    if (text.trimmed().isEmpty())
        return;
    // The lines as the info window shows them; a template may carry bare line feeds.
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    const double reserve = 500.0 * double(lines.size()) + 1000;
    if (m_vsp.CurrentY > m_vsp.PageHeight() - reserve - m_vsp.MarginBottom) {
        m_vsp.NewPage();
        Gap(100);
    } else {
        Gap(500);
    }
    HeadingTable({QStringLiteral("Information"), QString(), QString()}, HeadingShade);

    const QFont remembered = m_vsp.Font;
    const double rememberedSize = m_vsp.FontSize;
    // The unit's info window is fixed pitch: the system's own fixed-pitch font shows it so.
    m_vsp.Font.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    m_vsp.Font.setFixedPitch(true);
    m_vsp.FontSize = 10;
    if (!Border)
        m_vsp.TableBorder = 0;
    Gap(75);
    QList<QStringList> body;
    for (const QString& line : lines)
        body.append({line, QString()});
    m_vsp.AddTable(QStringLiteral("<8700|<1000"), kTwoEmpty, body, HeadingShade, NoShade, true);
    m_vsp.Font = remembered;
    m_vsp.FontSize = rememberedSize;
}

// ---- relays --------------------------------------------------------------------------------------

void SetupReport::Footnote()
{
    m_vsp.FontSize -= 1;
    Gap(100);
    m_vsp.Text(QStringLiteral("  * = Not supported by Control Unit"));
    m_vsp.FontSize += 1;
}

void SetupReport::RelayBlock(bool terminalCard, const QString& title, int reserveCount)
{
    ReservedHeading({title, QString()}, reserveCount * 400.0 + 1200);
    m_vsp.TableBorder = 4;
    if (!Border)
        m_vsp.TableBorder = 0;
    const cRelay* relays = terminalCard ? m_setup->RelayNew() : m_setup->Relay();
    RelaysPageApi* page = m_state.XelObject() == m_setup ? m_state.relaysPage : nullptr;
    const int list = terminalCard ? 1 : 0;
    bool marked = false;
    for (const XelRelay* r : relays->NewEnum()) {
        if (!r->InUse())
            continue;
        const QString key = pagecommon::ItemKey(r->Index());
        // The row as the relay list shows it: its relay text or number, its function, its mark.
        const QString first = terminalCard ? r->RelayText() : Num(r->Index());
        const QString function = page ? page->RelayRowText(list, key) : r->FunctionText();
        const bool mark = page && page->RelayRowMarked(list, key);
        Row(QStringLiteral("<800|<8900"), {mark ? first + QStringLiteral("  *") : first, function}, kTwoEmpty);
        marked = marked || mark;
    }
    if (marked)
        Footnote();
}

void SetupReport::PrintRelays()
{
    const int optional = InUseCount(m_setup->Relay());
    const int all = optional + InUseCount(m_setup->RelayNew());
    if (all == 0)
        return;
    if (m_setup->RelayNew())
        RelayBlock(true, QStringLiteral("Relays - Terminal Card TB-16"), all);
    if (optional > 0)
        RelayBlock(false, QStringLiteral("Relays - Optional Relay Card PX-3, PX-5"), optional);
    Gap(75);
    if (m_setup->Relay() && m_setup->Relay()->RelayT44DisableBW())
        Row(QStringLiteral("<7900|<1800"), {QStringLiteral("Disable broken wire alarm on Terminal 44"), QString()});
}

// ---- SMS -------------------------------------------------------------------------------------------

void SetupReport::PrintSMS()
{
    const XelSMS* sms = m_setup->SMS();
    if (!sms || !sms->Send())
        return;
    Gap(500);
    m_vsp.FontBold = true;
    m_vsp.FontSize += 2;
    m_vsp.TableBorder = 0;
    m_vsp.TableBorder = 4;
    m_vsp.AddTable(QStringLiteral("<1800|<7900"), {QStringLiteral("SMS"), QString(), QString()}, {}, HeadingShade, NoShade);
    if (!Border)
        m_vsp.TableBorder = 0;
    m_vsp.FontSize -= 2;
    m_vsp.FontBold = false;
    Gap(75);
    Row(QStringLiteral("<1800|<7900"), {QStringLiteral("Send SMS"), QStringLiteral("Yes")});
    Gap(50);
    const QString events = QStringLiteral("<<1800|<7600");
    Row(events, {QStringLiteral("Common Alarm"), YesNo(sms->CommonAlarm())});
    Row(events, {QStringLiteral("Common Shutdown"), YesNo(sms->CommonShutdown())});
    Row(events, {QStringLiteral("Any Service Interval"), YesNo(sms->AnyServiceInterval())});
    Row(events, {QStringLiteral("All Logged Events"), YesNo(sms->AllLoggedEvents())});
    Gap(90);
    Row(QStringLiteral("<8900|<800"),
        {sms->SendToAll() ? QStringLiteral("Send to all phone numbers in the list below")
                          : QStringLiteral("Send to first successful phone number in the list below, and then quit"),
         QString()});
    Gap(75);
    if (!m_setup->SMSNumbers())
        return;
    for (const XelSMSNumber* n : m_setup->SMSNumbers()->NewEnum())
        if (n->InUse())
            Row(QStringLiteral("<50|<9000"), {QString(), n->Number()});
}

// ---- backup system and components ------------------------------------------------------------------

void SetupReport::PrintBackupSystemSettings()
{
    const reports::BackupSwitchTexts s = reports::BackupSwitches(*m_setup);
    ReservedHeading({QStringLiteral("Backup System Settings"), QString()}, 2800);
    const QString format = QStringLiteral("<800|<8900");
    Row(format, {QStringLiteral("S1"), s.s1}, kTwoEmpty);
    Row(format, {QStringLiteral("S2"), s.s2}, kTwoEmpty);
    Row(format, {QStringLiteral("S3"), s.s3}, kTwoEmpty);
    Row(format, {QStringLiteral("S4"), s.s4}, kTwoEmpty);
}

void SetupReport::PrintComponentsUsed()
{
    const QString mode = m_setup->Main()->OperationMode() == 2 ? QStringLiteral("P") : QStringLiteral("A");
    // The generation by version comparison, as everywhere else ("10.1" is no first-generation unit).
    const int generation = UnitGeneration(m_setup->Main()->Firmware());
    const QString suffix = generation == 0 ? QStringLiteral(" (version unknown)")
                         : generation == 2 ? QStringLiteral(" Q2")
                                           : QStringLiteral(" Q1");
    const QString terminalCard = generation == 0 ? QStringLiteral("TB-10 or TB-16 Q2")
                               : generation == 2 ? QStringLiteral("TB-16 Q2")
                                                 : QStringLiteral("TB-10");
    ReservedHeading({QStringLiteral("Components used"), QString()}, 2800);
    const QString format = QStringLiteral("<<9700");
    Row(format, {QStringLiteral("ECX 510 ") + mode + suffix, QString()}, kTwoEmpty);
    Row(format, {terminalCard, QString()}, kTwoEmpty);
    if (UsesAnalogExtension(*m_setup))
        Row(format, {QStringLiteral("AX-2"), QString()}, kTwoEmpty);
    const QString cards = RelayCardText(*m_setup);
    if (!cards.isEmpty())
        Row(format, {cards, QString()}, kTwoEmpty);
}
