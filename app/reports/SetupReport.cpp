#include "app/reports/SetupReport.h"

#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/pages/channels/AnalogShownValue.h"
#include "app/reports/ReportPrinter.h"
#include "app/reports/ReportTexts.h"
#include "app/services/clsADO.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelDigitalInAdditional.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cDigitalInAdditional.h"
#include "platform/FileIdentity.h"
#include "platform/SystemInfo.h"

#include <QDateTime>

using namespace reporttexts;

const QColor SetupReport::HeadingShade(220, 220, 220);
const QColor SetupReport::ChannelShade(235, 235, 235);
const QColor SetupReport::NoShade;
const QString SetupReport::AppTitle = QStringLiteral("Quarno Q2");

namespace {

const QString kRowFormat = QStringLiteral("<1800|<7900");
const QString kChannelFormat = QStringLiteral("<2500|<7200");

QString YesNo(bool flag) { return flag ? QStringLiteral("Yes") : QStringLiteral("No"); }
QString Num(qint64 n) { return QString::number(n); }

} // namespace

SetupReport::SetupReport(MainState& state, ReportPrinter& printer) : m_state(state), m_vsp(printer) {}

// ---- document frame --------------------------------------------------------------------------

bool SetupReport::BuildReport(const XelObject& setup)
{
    if (!StartDocument(setup))
        return false;
    PrintSetupInformation();
    PrintMain();
    PrintSwitchInputs();
    PrintAnalogInputs();
    PrintStandbyOperation();
    PrintSpeedSensor();
    PrintBattery();
    PrintInformation();
    PrintRelays();
    PrintSMS();
    PrintBackupSystemSettings();
    PrintComponentsUsed();
    EndDocument();
    return true;
}

bool SetupReport::StartDocument(const XelObject& setup)
{
    m_setup = &setup;
    m_vsp.DocName = setup.FileTitle().isEmpty() ? AppTitle + QStringLiteral(" Setup") : setup.FileTitle();
    m_vsp.MarginTop = 1100;
    m_vsp.MarginRight = 800;
    m_vsp.MarginBottom = 1100;
    m_vsp.MarginLeft = 1440;
    // The report's tables are 9700 twips wide: a narrower paper gets the pages scaled down.
    m_vsp.ReportWidth = 9700;
    // A rebuild starts from the printer's own font state.
    m_vsp.FontSize = 10;
    m_vsp.FontBold = false;
    m_vsp.TableBorder = 0;
    m_vsp.OnNewPage = nullptr;
    if (!m_vsp.StartDoc() || m_vsp.Error() != 0) {
        m_setup = nullptr;
        return false;
    }
    PrintHeaderFooter();
    m_vsp.OnNewPage = [this] {
        PrintHeaderFooter();
        m_vsp.CurrentY += 100;
    };
    return true;
}

void SetupReport::EndDocument()
{
    m_vsp.EndDoc();
    m_vsp.OnNewPage = nullptr;
    m_setup = nullptr;
}

void SetupReport::PrintHeaderFooter()
{
    QString user = extra::GetWindowsUserName().toUpper();
    if (!user.isEmpty())
        user += QStringLiteral(" - ");
    m_vsp.HeaderFontSize = 9;
    m_vsp.HeaderBold = false;
    const QString title = m_setup ? m_setup->FileTitle() : QString();
    const QString left = title.isEmpty() ? AppTitle + QStringLiteral(" Setup")
                                         : AppTitle + QStringLiteral(" Setup : ") + title;
    m_vsp.SetHeader({left, QString(), user + ShortDateLongTime(platform::SystemInfo::Instance().Now())});
    const double right = m_vsp.PageWidth() - m_vsp.MarginRight;
    m_vsp.DrawLine(m_vsp.MarginLeft, m_vsp.MarginTop, right, m_vsp.MarginTop);
    const double bottom = m_vsp.PageHeight() - m_vsp.MarginBottom;
    m_vsp.DrawLine(m_vsp.MarginLeft, bottom, right, bottom);
    m_vsp.SetFooter({QString(), QString(), QStringLiteral("Page %d")});
}

void SetupReport::Gap(double twips) { m_vsp.CurrentY += twips; }

double SetupReport::RowHeight(const QString& format, const QStringList& cells) const
{
    return m_vsp.TableHeight(format, {cells}, m_vsp.FontSize, m_vsp.FontBold);
}

QString SetupReport::FitFirstColumn(const QString& format, const QStringList& texts) const
{
    QVector<ReportPrinter::Column> columns = ReportPrinter::ParseFormat(format);
    if (columns.size() < 2)
        return format;
    double need = 0;
    for (const QString& text : texts)
        need = qMax(need, m_vsp.OneLineWidth(text, m_vsp.FontSize, m_vsp.FontBold));
    const double extra = qMin(need - columns[0].width, columns[1].width);
    if (extra <= 0)
        return format;
    columns[0].width += extra;
    columns[1].width -= extra;
    QStringList parts;
    for (const ReportPrinter::Column& c : columns)
        parts << QString(c.right ? QLatin1Char('>') : QLatin1Char('<')) + QString::number(c.width);
    return parts.join(QLatin1Char('|'));
}

double SetupReport::LinesHeight(const QVector<Line>& lines) const
{
    double h = 0;
    for (const Line& line : lines)
        h += line.gapBefore + (line.format.isEmpty() ? 0 : RowHeight(line.format, line.cells));
    return h;
}

void SetupReport::PrintLines(const QVector<Line>& lines)
{
    for (const Line& line : lines) {
        Gap(line.gapBefore);
        if (!line.format.isEmpty())
            Row(line.format, line.cells, line.header);
    }
}

void SetupReport::KeepTogether(double height)
{
    if (m_vsp.CurrentY + height > m_vsp.PageHeight() - m_vsp.MarginBottom && m_vsp.PageHasContent())
        m_vsp.NewPage();
}

void SetupReport::PageReserve(double reserve, double keep)
{
    const bool fits = m_vsp.CurrentY + 500 + keep <= m_vsp.PageHeight() - m_vsp.MarginBottom;
    if (m_vsp.CurrentY > m_vsp.PageHeight() - reserve || (!fits && m_vsp.PageHasContent())) {
        m_vsp.NewPage();
        Gap(100);
    } else {
        Gap(500);
    }
}

void SetupReport::HeadingTable(const QStringList& header, const QColor& shade)
{
    m_vsp.FontBold = true;
    m_vsp.FontSize += 2;
    m_vsp.TableBorder = 0;
    m_vsp.TableBorder = 4;
    m_vsp.AddTable(QStringLiteral("<7900|<1800"), header, {}, shade, NoShade);
    m_vsp.FontSize -= 2;
    m_vsp.FontBold = false;
    if (!Border)
        m_vsp.TableBorder = 0;
}

double SetupReport::HeadingHeight(const QStringList& header, const QString& format) const
{
    return m_vsp.TableHeight(format, {header}, m_vsp.FontSize + 2, true);
}

void SetupReport::SectionHeading(const QStringList& header, double gapBefore, double gapAfter, double keepNext,
                                 const QColor& shade)
{
    Gap(gapBefore);
    KeepTogether(HeadingHeight(header) + gapAfter + keepNext);
    HeadingTable(header, shade);
    Gap(gapAfter);
}

void SetupReport::ReservedHeading(const QStringList& header, double reserve, double keep, double gapAfter)
{
    PageReserve(reserve, HeadingHeight(header) + gapAfter + keep);
    HeadingTable(header, HeadingShade);
    Gap(gapAfter);
}

double SetupReport::ChannelHeadingHeight(const QString& text) const
{
    return m_vsp.TableHeight(kChannelFormat, {{text, QString()}}, m_vsp.FontSize + 1, false);
}

void SetupReport::ChannelHeading(const QString& text, const QStringList& firstRow)
{
    KeepTogether(ChannelHeadingHeight(text) + 75 + RowHeight(kChannelFormat, firstRow));
    m_vsp.FontSize += 1;
    m_vsp.TableBorder = 4;
    m_vsp.AddTable(kChannelFormat, {text, QString()}, {}, ChannelShade, NoShade);
    if (!Border)
        m_vsp.TableBorder = 0;
    Gap(75);
    m_vsp.FontSize -= 1;
}

double SetupReport::FirstChannelHeight(const QString& heading, const QString& description) const
{
    return ChannelHeadingHeight(heading) + 75 + RowHeight(kChannelFormat, {QStringLiteral("Description"), description});
}

void SetupReport::Row(const QString& format, const QStringList& cells, const QStringList& header, const QColor& shade)
{
    m_vsp.AddTable(format, header, {cells}, shade, NoShade, true);
}

// ---- Setup Information and Main --------------------------------------------------------------

void SetupReport::PrintSetupInformation()
{
    const XelObject& s = *m_setup;
    SectionHeading({QStringLiteral("Setup Information"), QString()}, 200, 75, 0);
    Row(kRowFormat, {QStringLiteral("Quarno Version"), s.Version()});
    if (s.FileTitle().isEmpty())
        return;
    Row(kRowFormat, {QStringLiteral("File Version"), s.FileVersion()});
    QDateTime written;
    if (s.Filename().isEmpty() || !platform::FileIdentity::Instance().LastWriteTime(s.Filename(), written))
        return;
    Row(kRowFormat, {QStringLiteral("File Date"), GeneralDate(written)});
    if (s.Main() && !s.Main()->User().isEmpty())
        Row(kRowFormat, {QStringLiteral("File Creator"), s.Main()->User()});
}

void SetupReport::PrintMain()
{
    const XelMain& m = *m_setup->Main();
    SectionHeading({QStringLiteral("Main"), QString(), QString()}, 500, 75, 0);
    Row(kRowFormat, {QStringLiteral("Operation Mode"), OperationModeText(m.OperationMode())});
    Row(kRowFormat, {QStringLiteral("Language"), LanguageText(m.Language())});
    Row(kRowFormat, {QStringLiteral("Port P3 Functionality"),
                     m.PrinterOutput() ? QStringLiteral("Log To Printer") : QStringLiteral("Communication")});
    Row(kRowFormat, {QStringLiteral("ID Number"), Num(m.IDNumber())});
    if (m.CAN()) {
        Row(kRowFormat, {QStringLiteral("J1939/J1587 Enabled"), QStringLiteral("Yes")});
        Row(kRowFormat, {QStringLiteral("Own MID Number"), Num(m.CANNumber())});
        if (m.CANDiagnose()) {
            Row(kRowFormat, {QStringLiteral("Diagnostic"), QStringLiteral("Yes")});
            Row(kRowFormat, {QStringLiteral("Diagnostic SPN"), Num(m.CANSPN())});
            Row(kRowFormat, {QStringLiteral("\"Protect Lamp\" gives Warning only"), YesNo(m.CANProtectLamp())});
        } else {
            Row(kRowFormat, {QStringLiteral("Diagnostic"), QStringLiteral("No")});
        }
    } else {
        Row(kRowFormat, {QStringLiteral("J1939/J1587 Enabled"), QStringLiteral("No")});
    }
    Row(kRowFormat, {QStringLiteral("Engine Manufacturer"),
                     m_state.ADO ? m_state.ADO->GetManufacturerFromID(m.EngineType()) : QString()});
    switch (m.EngineHours()) {
    case 0: Row(kRowFormat, {QStringLiteral("Engine Hours"), QStringLiteral("Local")}); break;
    case 1: Row(kRowFormat, {QStringLiteral("Engine Hours"), QStringLiteral("Read from J1939")}); break;
    case 2: Row(kRowFormat, {QStringLiteral("Engine Hours"), QStringLiteral("Read from J1587")}); break;
    default: break;
    }
    const int light = m.LCDLight();
    const QString delay = light <= 1 ? QStringLiteral("Never Off")
                        : light <= 60 ? Num(light - 1) + QStringLiteral(" Minutes")
                                      : Num(light - 60) + QStringLiteral(" Hours");
    Row(kRowFormat, {QStringLiteral("LCD Light Delay"), delay});
    Row(kRowFormat, {QStringLiteral("Invert LCD On Alarm"), YesNo(m.InvertLCDOnAlarm())});
    Row(kRowFormat, {QStringLiteral("Classifiable Project"), YesNo(m.Classified())});
    const QString status = m_state.mainPage && m_state.XelObject() == m_setup ? m_state.mainPage->FormatLastKnownStatus()
                                                                              : LastKnownStatus(*m_setup);
    if (!status.isEmpty())
        Row(kRowFormat, {extra::BeforeFirst(status, QStringLiteral(":")),
                         extra::AfterFirst(status, QStringLiteral(":")).trimmed()});
}

// ---- switch inputs -----------------------------------------------------------------------------

void SetupReport::J1939Bytes(quint8 iMID, QString& label, QString& list)
{
    const QString hex = QString::number(iMID, 16).toUpper();
    const int count = hex.left(1).toInt(nullptr, 16);
    // A one-digit position has nothing after its first digit: that counts as 0.
    const int first = (hex.size() > 1 ? hex.mid(1).toInt(nullptr, 16) : 0) + 1;
    QStringList bytes{Num(first)};
    for (int b = first + 1; b <= first + count - 1; ++b)
        bytes.append(Num(b));
    label = count < 2 ? QStringLiteral("Byte") : QStringLiteral("Bytes");
    list = bytes.join(QStringLiteral(", "));
}

void SetupReport::BusRows(int inputType, const JData& j, const QStringList& header)
{
    const QString tab = QStringLiteral("\t");
    if (inputType == 4) {
        Row(kChannelFormat, {tab + QStringLiteral("Message Group"), extra::ValueToHex(j.lPPID, 4) + extra::ValueToHex(j.lPID, 4)},
            header, ChannelShade);
        QString label, list;
        J1939Bytes(j.iMID, label, list);
        Row(kChannelFormat, {tab + label, list}, header, ChannelShade);
        Row(kChannelFormat, {tab + QStringLiteral("Timeout"), Num(j.iTimeout) + QStringLiteral(" Seconds")}, header,
            ChannelShade);
    } else if (inputType == 3) {
        Row(kChannelFormat, {tab + QStringLiteral("MID"), Num(j.iMID)}, header, ChannelShade);
        Row(kChannelFormat, {tab + QStringLiteral("PID"), Num(j.lPID)}, header, ChannelShade);
        Row(kChannelFormat, {tab + QStringLiteral("PPID"), Num(j.lPPID)}, header, ChannelShade);
        Row(kChannelFormat, {tab + QStringLiteral("Timeout"), Num(j.iTimeout) + QStringLiteral(" Seconds")}, header,
            ChannelShade);
    }
}

void SetupReport::PrintSwitchInputs()
{
    const XelObject& s = *m_setup;
    const int mode = s.Main()->OperationMode();
    const QVector<XelDigitalIn*> inputs = s.DigitalIn() ? s.DigitalIn()->NewEnum() : QVector<XelDigitalIn*>();
    const XelDigitalIn* first = nullptr;
    for (const XelDigitalIn* in : inputs)
        if (!first && in->Active())
            first = in;
    const bool anyActive = first != nullptr;
    if (anyActive) {
        SectionHeading({QStringLiteral("Switch Input Channels"), QString(), QString()}, 500, 100,
                       FirstChannelHeight(QStringLiteral("Switch Input Channel ") + Num(first->Index()), first->Text()));
        for (const XelDigitalIn* in : inputs) {
            if (!in->Active())
                continue;
            const QString heading = QStringLiteral("Switch Input Channel ") + Num(in->Index());
            const QStringList header{heading, QString()};
            ChannelHeading(heading, {QStringLiteral("Description"), in->Text()});
            auto row = [&](const QString& label, const QString& value) {
                Row(kChannelFormat, {label, value}, header, ChannelShade);
            };
            row(QStringLiteral("Description"), in->Text());
            const int type = in->InputType();
            row(QStringLiteral("Input Type"), type == 3 ? QStringLiteral("J1587")
                                             : type == 4 ? QStringLiteral("J1939")
                                             : type == 0 ? QStringLiteral("ECX Default")
                                                         : QString());
            BusRows(type, in->JValues(), header);
            row(QStringLiteral("Action"), DigitalActionText(mode, in->Action()));
            switch (in->Action()) {
            case 1: row(QStringLiteral("Warning Delay"), Num(in->Delay()) + QStringLiteral(" Seconds")); break;
            case 2: row(QStringLiteral("Alarm Delay"), Num(in->Delay()) + QStringLiteral(" Seconds")); break;
            case 3: row(QStringLiteral("Shutdown Delay"), Num(in->Delay()) + QStringLiteral(" Seconds")); break;
            default: break;
            }
            row(QStringLiteral("Switch Type"), SwitchTypeText(in->SwitchType()));
            if (in->OnRunOnly()) {
                row(QStringLiteral("On Run Only"), QStringLiteral("Yes"));
                row(QStringLiteral("Initial Delay"), Num(in->InitialDelay()) + QStringLiteral(" Seconds"));
            } else {
                row(QStringLiteral("On Run Only"), QStringLiteral("No"));
            }
            row(QStringLiteral("Run Detection"), YesNo(in->RUNAlsoDetectedBy()));
            row(QStringLiteral("Broken Wire Detection"), YesNo(in->BrokenWireDetection()));
            row(QStringLiteral("Comments"), in->Info().trimmed());
            Gap(100);
        }
    }

    const QVector<XelDigitalInAdditional*> extras =
        s.DigitalInAdditional() ? s.DigitalInAdditional()->NewEnum() : QVector<XelDigitalInAdditional*>();
    bool anyInUse = false;
    for (const XelDigitalInAdditional* in : extras)
        anyInUse = anyInUse || in->InUse();
    if (!anyInUse)
        return;
    auto cells = [](const XelDigitalInAdditional* in) {
        return QStringList{QStringLiteral("Terminal ") + Num(in->Terminal()), in->Text(), QString()};
    };
    // The terminal column is as wide as its widest text needs: "Terminal 61" stays on one line.
    QStringList terminals;
    for (const XelDigitalInAdditional* in : extras)
        if (in->InUse())
            terminals << cells(in).value(0);
    const QString format = FitFirstColumn(QStringLiteral("<1200|<3800|<4700"), terminals);
    double firstRow = 0;
    for (const XelDigitalInAdditional* in : extras)
        if (firstRow == 0 && in->InUse())
            firstRow = RowHeight(format, cells(in));
    SectionHeading({QStringLiteral("Additional Switch Inputs"), QString(), QString()}, 500, 75, firstRow,
                   anyActive ? ChannelShade : HeadingShade);
    for (const XelDigitalInAdditional* in : extras) {
        if (in->InUse())
            Row(format, cells(in), {QString(), QString()});
    }
}

// ---- analog inputs -----------------------------------------------------------------------------

void SetupReport::PrintAnalogInputs()
{
    const XelObject& s = *m_setup;
    const int mode = s.Main()->OperationMode();
    const QVector<XelAnalogIn*> inputs = s.AnalogIn() ? s.AnalogIn()->NewEnum() : QVector<XelAnalogIn*>();
    const XelAnalogIn* first = nullptr;
    for (const XelAnalogIn* in : inputs)
        if (!first && in->Active())
            first = in;
    if (!first)
        return;
    SectionHeading({QStringLiteral("Analog Input Channels"), QString(), QString()}, 500, 100,
                   FirstChannelHeight(QStringLiteral("Analog Input Channel ") + Num(first->Index()), first->Text()));
    for (const XelAnalogIn* in : inputs) {
        if (!in->Active())
            continue;
        const QString heading = QStringLiteral("Analog Input Channel ") + Num(in->Index());
        const QStringList header{heading, QString()};
        ChannelHeading(heading, {QStringLiteral("Description"), in->Text()});
        auto row = [&](const QString& label, const QString& value) {
            Row(kChannelFormat, {label, value}, header, ChannelShade);
        };
        const int action = in->Action();
        QString direction;
        if (action != 0) {
            direction = in->ActionDirection() == 1 ? QStringLiteral("when below %1limit") : QStringLiteral("when above %1limit");
            if (action >= 6 && action <= 8)
                direction += QLatin1Char('s');
        }
        QString actionText = AnalogActionText(mode, in->InputType(), action);
        actionText.replace(QStringLiteral(" and "), QStringLiteral("\r\n"));
        const QString delay = action != 0 ? Num(in->AlarmDelay()) : QString();
        const QString units = in->Units();
        // Bus inputs show their range and limits with the parameter's offset, as the page does.
        const double offset = modAnalog::ParameterOffset(m_state.ADO, *in);
        auto value = [&](qint64 tenths) { return ShownTenths(tenths, offset) + QLatin1Char(' ') + units; };

        row(QStringLiteral("Description"), in->Text());
        switch (in->InputType()) {
        case 1: row(QStringLiteral("Input Type"), QStringLiteral("0..20mA / 0..5V")); break;
        case 2: row(QStringLiteral("Input Type"), QStringLiteral("0..10V")); break;
        case 3: row(QStringLiteral("Input Type"), QStringLiteral("J1587")); break;
        case 4: row(QStringLiteral("Input Type"), QStringLiteral("J1939")); break;
        default: row(QStringLiteral("Input Type"), QStringLiteral("4..20mA")); break;
        }
        BusRows(in->InputType(), in->JValues(), header);
        row(QStringLiteral("Sensor Min"), value(in->SensorMin()));
        row(QStringLiteral("Sensor Max"), value(in->SensorMax()));
        row(QStringLiteral("Double Scale"), YesNo(in->DoubleScale()));
        if (action == 4 || action == 5) {
            const QString second = action == 4 ? QStringLiteral("Alarm ") : QStringLiteral("Shutdown ");
            QString warningLine = direction, secondLine = direction;
            warningLine.replace(QStringLiteral("%1"), QStringLiteral("Warning "));
            secondLine.replace(QStringLiteral("%1"), second);
            row(QStringLiteral("Actions"), QStringLiteral("Warning ") + warningLine + QStringLiteral("\r\n") + second + secondLine);
        } else {
            QString text = actionText;
            if (action != 0)
                text += QLatin1Char(' ') + QString(direction).remove(QStringLiteral("%1"));
            row(QStringLiteral("Action"), text);
        }
        auto delayRow = [&](const QString& label) { row(label, delay + QStringLiteral(" Seconds")); };
        switch (action) {
        case 1:
            row(QStringLiteral("Warning Limit"), value(in->Limit(1)));
            delayRow(QStringLiteral("Warning Delay"));
            break;
        case 2:
            row(QStringLiteral("Alarm Limit"), value(in->Limit(0)));
            delayRow(QStringLiteral("Alarm Delay"));
            break;
        case 3:
            row(QStringLiteral("Shutdown Limit"), value(in->Limit(0)));
            delayRow(QStringLiteral("Shutdown Delay"));
            break;
        case 4:
            row(QStringLiteral("Warning Limit"), value(in->Limit(1)));
            row(QStringLiteral("Alarm Limit"), value(in->Limit(0)));
            delayRow(QStringLiteral("Warning and Alarm Delay"));
            break;
        case 5:
            row(QStringLiteral("Warning Limit"), value(in->Limit(1)));
            row(QStringLiteral("Shutdown Limit"), value(in->Limit(0)));
            delayRow(QStringLiteral("Warning and Shutdown Delay"));
            break;
        case 6:
        case 7:
        case 8:
            // The speed-dependent limits have no bus offset: the page shows them as stored.
            row(QStringLiteral("Lower Limit"), Tenths(in->RPMLimit(0)) + QLatin1Char(' ') + units);
            row(QStringLiteral("Upper Limit"), Tenths(in->RPMLimit(1)) + QLatin1Char(' ') + units);
            delayRow(QStringLiteral("Alarm Delay"));
            break;
        default: break;
        }
        if (in->OnRunOnly()) {
            row(QStringLiteral("On Run Only"), QStringLiteral("Yes"));
            row(QStringLiteral("Initial Delay"), Num(in->InitialDelay()) + QStringLiteral(" Seconds"));
        } else {
            row(QStringLiteral("On Run Only"), QStringLiteral("No"));
        }
        row(QStringLiteral("Run Detection"), YesNo(in->RUNAlsoDetectedBy()));
        row(QStringLiteral("Comments"), in->Info().trimmed());
        Gap(100);
    }
}
