// The engine, information, relay, SMS, backup and component sections of the printed report.
#include "app/reports/SetupReport.h"

#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/pages/common/PageCommon.h"
#include "app/reports/BackupSwitches.h"
#include "app/reports/ReportPrinter.h"
#include "app/reports/ReportTexts.h"
#include "extra/extra.h"
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
const QString kFootnote = QStringLiteral("  * = Not supported by Control Unit");

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
    QVector<Line> lines;
    auto row = [&](const QStringList& cells, double gap = 0) { lines.append({kValueFormat, cells, kThreeEmpty, gap}); };
    row({QStringLiteral("Initial Start Delay"), Num(s.InitialStartDelay()), QStringLiteral("Seconds")});
    row({QStringLiteral("Cranking Time"), Num(s.CrankingTime()), QStringLiteral("Seconds")});
    if (propulsion) {
        row({QStringLiteral("Fuel Consumption Calc."),
             QStringLiteral("Control Unit Algorithm Number ") + Num(s.FuelConsumption()), QString()});
    } else {
        row({QStringLiteral("Delay Between Start Attempts"), Num(s.Delay()), QStringLiteral("Seconds")});
        row({QStringLiteral("Number of Start Attempts"), Num(s.StartAttempts())});
        row({QStringLiteral("Delay Before Disconnecting Generator Breaker"), Num(s.GenBreakTimer()), QStringLiteral("Seconds")},
            50);
        row({QStringLiteral("Cooling Time"), Num(s.Cooling()), QStringLiteral("Minutes")});
    }
    ReservedHeading({propulsion ? QStringLiteral("Propulsion Start and Fuel Consumption") : QStringLiteral("Standby Operation"),
                     QString(), QString()},
                    3300, LinesHeight(lines));
    PrintLines(lines);
}

// ---- speed sensor ------------------------------------------------------------------------------

void SetupReport::PrintSpeedSensor()
{
    const XelSpeedSensor& s = *m_setup->SpeedSensor();
    SpeedSensorPageApi* page = m_state.XelObject() == m_setup ? m_state.speedSensorPage : nullptr;

    // The overspeed in percent of the nominal speed, as the page shows beside the field.
    const double nominal = page ? page->NomMaxValue() : s.NomSpeed();
    const double speeding = page ? page->SpeedingValue() : s.Speeding();
    QString percent;
    if (nominal != 0) {
        const double p = (speeding - nominal) / nominal * 100.0;
        if (p >= 0)
            percent = OneDecimal(p);
    }

    QVector<Line> lines;
    double gap = 0;
    auto row = [&](const QString& format, const QStringList& cells) {
        lines.append({format, cells, {}, gap});
        gap = 0;
    };
    const QString titles[2] = {QStringLiteral("Pickup One"), QStringLiteral("Pickup Two")};
    const QString terminals[2] = {QStringLiteral("Local at Terminal 5, 6"), QStringLiteral("Local at Terminal 65, 66")};
    for (int i = 0; i < 2; ++i) {
        const qint16 pickup = qint16(i);
        const QString format = QStringLiteral("<3000|<7500");
        switch (s.PickupType(pickup)) {
        case 0: row(format, {titles[i], QStringLiteral("Not used")}); break;
        case 1: {
            row(format, {titles[i], terminals[i]});
            const QString sender = page ? page->RPMSenderName(i) : RPMSenderText(s.Sender(pickup));
            const QString caption = page ? page->PulsesCaption(i) : PulsesCaption(s.Sender(pickup));
            const QString indented = QStringLiteral("<100|<2900|<7500");
            row(indented, {QString(), QStringLiteral("RPM Sender"), sender});
            row(indented, {QString(), caption, Num(s.PulsesPerRevolution(pickup))});
            break;
        }
        case 2: row(format, {titles[i], QStringLiteral("Read from J1939")}); break;
        case 3: row(format, {titles[i], QStringLiteral("Read from J1587")}); break;
        default: break;
        }
        gap += 50;
    }

    row(kValueFormat, {QStringLiteral("Ready To Take Load"), Num(s.ReadyToTakeLoad()), QStringLiteral("RPM")});
    row(kValueFormat, {QStringLiteral("Nominal/Max"), Num(s.NomSpeed()), QStringLiteral("RPM")});
    row(kValueFormat, {QStringLiteral("Overspeed"), Num(s.Speeding()),
                       percent.isEmpty() ? QStringLiteral("RPM") : QStringLiteral("RPM       (") + percent + QStringLiteral("%)")});
    row(kValueFormat, {QStringLiteral("Overspeed Shutdown"), SingleText(s.SpeedingShutdown()), QStringLiteral("Seconds")});
    gap += 50;
    row(kValueFormat, {QStringLiteral("RUN Detected At"), Num(s.RunDetectedAt()), QStringLiteral("RPM")});

    const QVector<XelSpeedRelay*> relays = m_setup->SpeedRelays() ? m_setup->SpeedRelays()->NewEnum() : QVector<XelSpeedRelay*>();
    bool relayGap = false;
    for (const XelSpeedRelay* r : relays) {
        if (!r->InUse())
            continue;
        if (!relayGap) {
            gap += 50;
            relayGap = true;
        }
        row(kValueFormat, {r->Descript(), Num(r->RPM()), QStringLiteral("RPM")});
    }
    ReservedHeading({QStringLiteral("Speed Sensor"), QString(), QString()}, 3600, LinesHeight(lines));
    PrintLines(lines);
}

// ---- battery and information -------------------------------------------------------------------

void SetupReport::PrintBattery()
{
    const XelBattery& b = *m_setup->Battery();
    QVector<Line> lines;
    auto row = [&](const QString& format, const QStringList& cells) { lines.append({format, cells, kThreeEmpty}); };
    const float v = b.BatteryVoltage();
    const QString source = QStringLiteral("External Battery Source");
    if (v == 999.0f) {
        row(kValueFormat, {source, QString(), QString()});
    } else if (v == 1.0f) {
        const QString format = QStringLiteral("<3000|<7500|<200");
        row(format, {source, QStringLiteral("Read From J1939"), QString()});
        const QString location = QStringLiteral("J1939 Voltage Location");
        switch (b.CANBatteryType()) {
        case 34: row(format, {location, QStringLiteral("Alternator Voltage"), QString()}); break;
        case 36: row(format, {location, QStringLiteral("Electrical Voltage"), QString()}); break;
        case 38: row(format, {location, QStringLiteral("Battery Voltage"), QString()}); break;
        default: break;
        }
    } else if (v == 2.0f) {
        row(QStringLiteral("<2500|<6200|<1000"), {source, QStringLiteral("Read From J1587"), QString()});
    } else {
        row(kValueFormat, {QStringLiteral("Start Battery Voltage"), SingleText(v), QStringLiteral("V")});
    }
    row(kValueFormat, {QStringLiteral("Low Battery Voltage"), SingleText(b.LowBatteryVoltage()), QStringLiteral("V")});
    row(kValueFormat, {QStringLiteral("Delay Before Alarm"), Num(b.Delay()), QStringLiteral("Seconds")});
    ReservedHeading({QStringLiteral("Battery"), QString(), QString()}, 2500, LinesHeight(lines));
    PrintLines(lines);
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
    m_vsp.Text(kFootnote);
    m_vsp.FontSize += 1;
}

QVector<SetupReport::Line> SetupReport::RelayLines(bool terminalCard, bool& marked) const
{
    const cRelay* relays = terminalCard ? m_setup->RelayNew() : m_setup->Relay();
    RelaysPageApi* page = m_state.XelObject() == m_setup ? m_state.relaysPage : nullptr;
    const int list = terminalCard ? 1 : 0;
    QVector<Line> lines;
    marked = false;
    if (!relays)
        return lines;
    for (const XelRelay* r : relays->NewEnum()) {
        if (!r->InUse())
            continue;
        const QString key = pagecommon::ItemKey(r->Index());
        // The row as the relay list shows it: its relay text or number, its function, its mark.
        const QString first = terminalCard ? r->RelayText() : Num(r->Index());
        const QString function = page ? page->RelayRowText(list, key) : r->FunctionText();
        const bool mark = page && page->RelayRowMarked(list, key);
        lines.append({QStringLiteral("<800|<8900"), {mark ? first + QStringLiteral("  *") : first, function}, kTwoEmpty});
        marked = marked || mark;
    }
    // The relay column is as wide as its widest text with the mark needs, for the whole block.
    QStringList firsts;
    for (const Line& line : lines)
        firsts << line.cells.value(0);
    const QString format = FitFirstColumn(QStringLiteral("<800|<8900"), firsts);
    for (Line& line : lines)
        line.format = format;
    return lines;
}

void SetupReport::RelayBlock(const QString& title, double reserve, const QVector<Line>& lines, bool marked, double tail)
{
    const double footnote = marked ? 100 + m_vsp.TextHeight(kFootnote, m_vsp.FontSize - 1) : 0;
    ReservedHeading({title, QString()}, reserve, LinesHeight(lines) + footnote + tail);
    m_vsp.TableBorder = 4;
    if (!Border)
        m_vsp.TableBorder = 0;
    PrintLines(lines);
    if (marked)
        Footnote();
}

void SetupReport::PrintRelays()
{
    const int optional = InUseCount(m_setup->Relay());
    const int all = optional + InUseCount(m_setup->RelayNew());
    if (all == 0)
        return;
    bool terminalMarked = false, optionalMarked = false;
    const QVector<Line> terminalLines = RelayLines(true, terminalMarked);
    const QVector<Line> optionalLines = RelayLines(false, optionalMarked);
    const QString terminalTitle = QStringLiteral("Relays - Terminal Card TB-16");
    const QString optionalTitle = QStringLiteral("Relays - Optional Relay Card PX-3, PX-5");
    const bool t44 = m_setup->Relay() && m_setup->Relay()->RelayT44DisableBW();
    const QString t44Format = QStringLiteral("<7900|<1800");
    const QStringList t44Row{QStringLiteral("Disable broken wire alarm on Terminal 44"), QString()};
    // The terminal-44 row stays with the block above it, and a terminal card heading without
    // rows with the optional cards' heading and first row.
    const double tail = 75 + (t44 ? RowHeight(t44Format, t44Row) : 0);
    double terminalTail = tail;
    if (optional > 0)
        terminalTail = terminalLines.isEmpty()
                         ? 500 + HeadingHeight({optionalTitle, QString()}) + 75 + LinesHeight(optionalLines.mid(0, 1))
                         : 0;
    if (m_setup->RelayNew())
        RelayBlock(terminalTitle, all * 400.0 + 1200, terminalLines, terminalMarked, terminalTail);
    if (optional > 0)
        RelayBlock(optionalTitle, optional * 400.0 + 1200, optionalLines, optionalMarked, tail);
    Gap(75);
    if (t44)
        Row(t44Format, t44Row);
}

// ---- SMS -------------------------------------------------------------------------------------------

void SetupReport::PrintSMS()
{
    const XelSMS* sms = m_setup->SMS();
    if (!sms || !sms->Send())
        return;
    Gap(500);
    const QStringList heading{QStringLiteral("SMS"), QString(), QString()};
    const QStringList sendRow{QStringLiteral("Send SMS"), QStringLiteral("Yes")};
    KeepTogether(HeadingHeight(heading, QStringLiteral("<1800|<7900")) + 75 + RowHeight(QStringLiteral("<1800|<7900"), sendRow));
    m_vsp.FontBold = true;
    m_vsp.FontSize += 2;
    m_vsp.TableBorder = 0;
    m_vsp.TableBorder = 4;
    m_vsp.AddTable(QStringLiteral("<1800|<7900"), heading, {}, HeadingShade, NoShade);
    if (!Border)
        m_vsp.TableBorder = 0;
    m_vsp.FontSize -= 2;
    m_vsp.FontBold = false;
    Gap(75);
    Row(QStringLiteral("<1800|<7900"), sendRow);
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
    const QString format = QStringLiteral("<800|<8900");
    const QVector<Line> lines{{format, {QStringLiteral("S1"), s.s1}, kTwoEmpty},
                              {format, {QStringLiteral("S2"), s.s2}, kTwoEmpty},
                              {format, {QStringLiteral("S3"), s.s3}, kTwoEmpty},
                              {format, {QStringLiteral("S4"), s.s4}, kTwoEmpty}};
    ReservedHeading({QStringLiteral("Backup System Settings"), QString()}, 2800, LinesHeight(lines));
    PrintLines(lines);
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
    const QString format = QStringLiteral("<<9700");
    QVector<Line> lines{{format, {QStringLiteral("ECX 510 ") + mode + suffix, QString()}, kTwoEmpty},
                        {format, {terminalCard, QString()}, kTwoEmpty}};
    if (UsesAnalogExtension(*m_setup))
        lines.append({format, {QStringLiteral("AX-2"), QString()}, kTwoEmpty});
    const QString cards = RelayCardText(*m_setup);
    if (!cards.isEmpty())
        lines.append({format, {cards, QString()}, kTwoEmpty});
    ReservedHeading({QStringLiteral("Components used"), QString()}, 2800, LinesHeight(lines));
    PrintLines(lines);
}
