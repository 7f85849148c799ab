#include "app/reports/TextReport.h"

#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/pages/channels/AnalogShownValue.h"
#include "app/reports/BackupSwitches.h"
#include "app/reports/ReportTexts.h"
#include "app/reports/Reports.h"
#include "app/services/clsADO.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
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
#include "platform/AnsiCodePage.h"
#include "platform/FileDialogs.h"
#include "platform/FileIdentity.h"
#include "platform/MessagePresenter.h"
#include "platform/Shell.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include "platform/WholeFile.h"

namespace reports {
namespace {

using namespace reporttexts;
using modDiv::BoolText;

const QString kStars(61, QLatin1Char('*'));

// Collects the report's lines; levels 1..3 are indented two, four and six blanks.
class Lines {
public:
    void Blank(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            m_lines.append(QString());
    }
    void Title(const QString& text) { m_lines.append(text); }
    void Item(int level, const QString& text) { m_lines.append(QString(level * 2, QLatin1Char(' ')) + text); }
    // A short label padded to `width`, then the value.
    void Pair(int level, const QString& label, int width, const QString& value)
    {
        Item(level, label.leftJustified(width) + value);
    }
    QByteArray Bytes() const
    {
        QByteArray out;
        for (const QString& line : m_lines) {
            out += platform::AnsiCodePage::FromUnicode(line);
            out += "\r\n";
        }
        return out;
    }

private:
    QStringList m_lines;
};

void Header(Lines& out, const XelObject& setup)
{
    out.Blank();
    if (!setup.FileTitle().isEmpty()) {
        out.Title(QStringLiteral("Setup Filename ") + setup.FileTitle());
        QDateTime written;
        if (!setup.Filename().isEmpty() && platform::FileIdentity::Instance().LastWriteTime(setup.Filename(), written))
            out.Title(QStringLiteral("File date      ") + reporttexts::GeneralDate(written));
        if (!setup.Main()->User().isEmpty())
            out.Title(QStringLiteral("File saved by  ") + setup.Main()->User());
    } else {
        out.Title(QStringLiteral("Setup not saved"));
    }
    out.Title(kStars);
    out.Blank(2);
}

void SystemInformation(Lines& out, const XelObject& setup)
{
    out.Title(QStringLiteral("System Information"));
    // The info text keeps its own line breaks.
    const QStringList rows = setup.Info()->Info().split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    for (const QString& row : rows)
        out.Title(row);
    out.Blank(2);
}

QString LcdLightText(int lcdLight)
{
    if (lcdLight <= 1)
        return QStringLiteral("Never Off");
    if (lcdLight <= 60)
        return Minutes(lcdLight - 1);
    return Hours(lcdLight - 60);
}

void MainSection(Lines& out, MainState& state, const XelObject& setup)
{
    const XelMain& m = *setup.Main();
    out.Title(QStringLiteral("Main"));
    out.Item(1, QStringLiteral("Language                  ") + LanguageText(m.Language()));
    out.Item(1, QStringLiteral("Operation Mode            ") + OperationModeText(m.OperationMode()));
    if (!m.PrinterOutput()) {
        out.Item(1, QStringLiteral("Port P3 Functionality     Communication"));
        out.Item(2, QStringLiteral("ID Number               ") + QString::number(m.IDNumber()));
    } else {
        out.Item(1, QStringLiteral("Port P3 Functionality     Log To Printer"));
    }
    out.Item(1, QStringLiteral("LCD Light Delay           ") + LcdLightText(m.LCDLight()));
    out.Item(1, QStringLiteral("Invert LCD On Alarm       ") + BoolText(m.InvertLCDOnAlarm()));
    if (m.CAN()) {
        out.Item(1, QStringLiteral("J1939/J1587 Enabled       Yes"));
        out.Item(2, QStringLiteral("Own MID Number          ") + QString::number(m.CANNumber()));
        if (m.CANDiagnose()) {
            out.Item(2, QStringLiteral("Diagnostic              Yes"));
            out.Item(3, QStringLiteral("Diagnostic SPN        ") + QString::number(m.CANSPN()));
            out.Item(3, QStringLiteral("Protect Lamp Warning  ") + (m.CANProtectLamp() ? "Yes" : "No"));
        } else {
            out.Item(2, QStringLiteral("Diagnostic              No"));
        }
    } else {
        out.Item(1, QStringLiteral("J1939/J1587 Enabled       No"));
    }
    const QString maker = state.ADO ? state.ADO->GetManufacturerFromID(m.EngineType()) : QString();
    out.Item(1, QStringLiteral("Engine Manufacturer       ") + maker);
    switch (m.EngineHours()) {
    case 0: out.Item(1, QStringLiteral("Engine Hours              Local")); break;
    case 1: out.Item(1, QStringLiteral("Engine Hours              Read from CAN")); break;
    case 2: out.Item(1, QStringLiteral("Engine Hours              Read from J1587")); break;
    default: break;
    }
    out.Item(1, QStringLiteral("Classifiable Project      ") + (m.Classified() ? "Yes" : "No"));
    out.Blank(2);
}

void J1587Lines(Lines& out, const JData& j)
{
    out.Pair(3, "MID", 22, QString::number(j.iMID));
    out.Pair(3, "PID", 22, QString::number(j.lPID));
    out.Pair(3, "PPID", 22, QString::number(j.lPPID));
    out.Pair(3, "Timeout", 22, QString::number(j.iTimeout) + " Seconds");
}

void J1939Lines(Lines& out, const JData& j)
{
    const QString hex = QString::number(j.iMID, 16).toUpper();
    const int count = hex.left(1).toInt(nullptr, 16);
    const int first = (hex.size() > 1 ? hex.mid(1, 1).toInt(nullptr, 16) : 0) + 1;
    out.Pair(3, "Message Group", 22, extra::ValueToHex(j.lPPID, 4) + extra::ValueToHex(j.lPID, 4));
    QStringList bytes{QString::number(first)};
    for (int b = first + 1; b < first + count; ++b)
        bytes.append(QString::number(b));
    out.Pair(3, count < 2 ? "Byte" : "Bytes", 22, bytes.join(", "));
    out.Pair(3, "Timeout", 22, QString::number(j.iTimeout) + " Seconds");
}

void SwitchInputs(Lines& out, const XelObject& setup)
{
    out.Title(QStringLiteral("Switch Inputs"));
    const int mode = setup.Main()->OperationMode();
    for (XelDigitalIn* in : setup.DigitalIn()->NewEnum()) {
        if (!in->Active())
            continue;
        out.Item(1, QStringLiteral("Channel ") + QString::number(in->Index()));
        out.Item(2, QStringLiteral("Description             ") + in->Text());
        if (in->InputType() == 3) {
            out.Item(2, QStringLiteral("J1587"));
            J1587Lines(out, in->JValues());
        } else if (in->InputType() == 4) {
            out.Item(2, QStringLiteral("J1939"));
            J1939Lines(out, in->JValues());
        } else {
            out.Item(2, QStringLiteral("ECX Default"));
        }
        out.Item(2, QStringLiteral("Switch Type             ") + SwitchTypeText(in->SwitchType()));
        out.Item(2, QStringLiteral("Action                  ") + DigitalActionText(mode, in->Action()));
        out.Item(2, QStringLiteral("Delay                   ") + Seconds(in->Delay()));
        out.Item(2, QStringLiteral("On Run Only             ") + BoolText(in->OnRunOnly()));
        if (in->OnRunOnly())
            out.Item(2, QStringLiteral("Initial Delay           ") + Seconds(in->InitialDelay()));
        out.Item(2, QStringLiteral("RUN Detection           ") + BoolText(in->RUNAlsoDetectedBy()));
        out.Item(2, QStringLiteral("Broken Wire Detection   ") + BoolText(in->BrokenWireDetection()));
        out.Item(2, QStringLiteral("Comments                ") + in->Info().trimmed());
    }
    out.Blank(2);
}

void AdditionalSwitchInputs(Lines& out, const XelObject& setup)
{
    out.Title(QStringLiteral("Additional Switch Inputs"));
    for (XelDigitalInAdditional* in : setup.DigitalInAdditional()->NewEnum()) {
        if (in->InUse())
            out.Item(1, QStringLiteral("Terminal %1: %2 - %3").arg(in->Terminal()).arg(in->FunctionNo()).arg(in->Text()));
    }
    out.Blank(2);
}

void AnalogInputs(Lines& out, MainState& state, const XelObject& setup)
{
    out.Title(QStringLiteral("Analog Inputs"));
    const int mode = setup.Main()->OperationMode();
    for (XelAnalogIn* in : setup.AnalogIn()->NewEnum()) {
        if (!in->Active())
            continue;
        const QString units = in->Units();
        // A bus input's range and limits carry its parameter's offset, as the page shows them.
        const double offset = modAnalog::ParameterOffset(state.ADO, *in);
        auto limitLine = [&](const char* label, qint32 tenths) {
            out.Pair(2, QString::fromLatin1(label), 24, ShownTenths(tenths, offset) + QLatin1Char(' ') + units);
        };
        out.Item(1, QStringLiteral("Channel ") + QString::number(in->Index()));
        out.Item(2, QStringLiteral("Description             ") + in->Text());
        switch (in->InputType()) {
        case 1: out.Item(2, QStringLiteral("0..20mA / 0..5V")); break;
        case 2: out.Item(2, QStringLiteral("0..10V")); break;
        case 3: out.Item(2, QStringLiteral("J1587")); J1587Lines(out, in->JValues()); break;
        case 4: out.Item(2, QStringLiteral("J1939")); J1939Lines(out, in->JValues()); break;
        default: out.Item(2, QStringLiteral("4..20mA")); break;
        }
        const QString action = AnalogActionText(mode, in->InputType(), in->Action());
        if (in->Action() != 0)
            out.Item(2, QStringLiteral("Action                  ") + action + " - "
                            + ActionDirectionText(in->ActionDirection()) + " after "
                            + QString::number(in->AlarmDelay()) + " Seconds");
        else
            out.Item(2, QStringLiteral("Action                  ") + action);
        out.Item(2, QStringLiteral("Units                   ") + units);
        limitLine("Sensor Min", in->SensorMin());
        limitLine("Sensor Max", in->SensorMax());
        out.Item(2, QStringLiteral("Using Double Scale      ") + (in->DoubleScale() ? "Yes" : "No"));
        switch (in->Action()) {
        case 1: limitLine("Warning Limit", in->Limit(1)); break;
        case 2: limitLine("Alarm Limit", in->Limit(0)); break;
        case 3: limitLine("Shutdown Limit", in->Limit(0)); break;
        case 4:
            limitLine("Warning Limit", in->Limit(1));
            limitLine("Alarm Limit", in->Limit(0));
            break;
        case 5:
            limitLine("Warning Limit", in->Limit(1));
            limitLine("Shutdown Limit", in->Limit(0));
            break;
        case 6:
        case 7:
        case 8:
            // The speed-dependent limits have no bus offset: the page shows them as stored.
            out.Pair(2, "Lower Limit", 24, Tenths(in->RPMLimit(0)) + ' ' + units + " at " + QString::number(in->RPM(0)) + " RPM");
            out.Pair(2, "Upper Limit", 24, Tenths(in->RPMLimit(1)) + ' ' + units + " at " + QString::number(in->RPM(1)) + " RPM");
            break;
        default: break;
        }
        out.Item(2, QStringLiteral("On Run Only             ") + BoolText(in->OnRunOnly()));
        if (in->OnRunOnly())
            out.Item(2, QStringLiteral("Initial Delay           ") + Seconds(in->InitialDelay()));
        out.Item(2, QStringLiteral("RUN Detection           ") + BoolText(in->RUNAlsoDetectedBy()));
        if (in->InputType() == 3)
            out.Item(2, QStringLiteral("Terminals               J1587"));
        else if (in->InputType() == 4)
            out.Item(2, QStringLiteral("Terminals               J1939"));
        else
            out.Item(2, QStringLiteral("Terminals               ") + in->Terminal());
        out.Item(2, QStringLiteral("Comments                ") + in->Info().trimmed());
    }
    out.Blank(2);
}

void StandbySection(Lines& out, MainState& state, const XelObject& setup)
{
    const XelStandbyOperation& s = *setup.StandbyOperation();
    out.Title(state.PROPULSION ? QStringLiteral("Propulsion Start and Fuel Consumption")
                               : QStringLiteral("Standby Operation"));
    out.Item(1, QStringLiteral("Initial Start Delay       ") + Seconds(s.InitialStartDelay()));
    out.Item(1, QStringLiteral("Cranking Time             ") + Seconds(s.CrankingTime()));
    if (state.PROPULSION) {
        if (s.FuelConsumption() != 0)
            out.Item(1, QStringLiteral("Fuel Consumption Calc.    Control Unit Algorithm Number ")
                            + QString::number(s.FuelConsumption()));
    } else {
        out.Item(1, QStringLiteral("Delay                     ") + Seconds(s.Delay()));
        out.Item(1, QStringLiteral("Start Attempts            ") + QString::number(s.StartAttempts()));
        out.Item(1, QStringLiteral("Gen Break Timer           ") + Seconds(s.GenBreakTimer()));
        out.Item(1, QStringLiteral("Cooling Time              ") + Minutes(s.Cooling()));
    }
    out.Blank(2);
}

void SpeedSensorSection(Lines& out, MainState& state, const XelObject& setup)
{
    const XelSpeedSensor& s = *setup.SpeedSensor();
    out.Title(QStringLiteral("Speed Sensor"));
    const char* names[2] = {"Pickup One                ", "Pickup Two                "};
    const char* terminals[2] = {"5, 6", "65, 66"};
    for (int i = 0; i < 2; ++i) {
        const QString head = QString::fromLatin1(names[i]);
        switch (s.PickupType(qint16(i))) {
        case 0: out.Item(1, head + "Not used"); break;
        case 1: {
            out.Item(1, head + "Local at Terminal " + terminals[i]);
            const int sender = s.Sender(qint16(i));
            const QString senderText = state.speedSensorPage ? state.speedSensorPage->RPMSenderName(i)
                                                             : RPMSenderText(sender);
            const QString caption = state.speedSensorPage ? state.speedSensorPage->PulsesCaption(i)
                                                          : PulsesCaption(sender);
            out.Item(2, QStringLiteral("Sender                  ") + senderText);
            out.Pair(2, caption.trimmed(), 24, QString::number(s.PulsesPerRevolution(qint16(i))));
            break;
        }
        case 2: out.Item(1, head + "Read from J1939"); break;
        case 3: out.Item(1, head + "Read from J1587"); break;
        default: break;
        }
    }
    out.Item(1, QStringLiteral("Nom Speed                 ") + QString::number(s.NomSpeed()) + " RPM");
    out.Item(1, QStringLiteral("Ready To Take Load        ") + QString::number(s.ReadyToTakeLoad()) + " RPM");
    out.Item(1, QStringLiteral("Overspeed                 ") + QString::number(s.Speeding()) + " RPM");
    out.Item(1, QStringLiteral("Overspeed Shutdown        ") + SingleText(s.SpeedingShutdown()) + " Seconds");
    out.Item(1, QStringLiteral("RUN Detected At           ") + QString::number(s.RunDetectedAt()) + " RPM");
    for (XelSpeedRelay* r : setup.SpeedRelays()->NewEnum()) {
        if (r->InUse())
            out.Item(1, r->Descript() + QString(13, QLatin1Char(' ')) + QString::number(r->RPM()) + " RPM");
    }
    out.Blank(2);
}

void BatterySection(Lines& out, const XelObject& setup)
{
    const XelBattery& b = *setup.Battery();
    out.Title(QStringLiteral("Battery"));
    const float v = b.BatteryVoltage();
    if (v == 999.0f) {
        out.Item(1, QStringLiteral("External Source (J1939 / J1587)"));
    } else if (v == 1.0f) {
        out.Item(1, QStringLiteral("External Source (Read From J1939)"));
        switch (b.CANBatteryType()) {
        case 34: out.Item(2, QStringLiteral("Alternator Voltage")); break;
        case 36: out.Item(2, QStringLiteral("Electrical Voltage")); break;
        case 38: out.Item(2, QStringLiteral("Battery Voltage")); break;
        default: break;
        }
    } else if (v == 2.0f) {
        out.Item(1, QStringLiteral("External Source (Read From J1587)"));
    } else {
        out.Item(1, QStringLiteral("Start Battery Voltage     ") + SingleText(v) + " V");
    }
    out.Item(1, QStringLiteral("Low Battery Voltage Alarm ") + SingleText(b.LowBatteryVoltage()) + " V");
    out.Item(1, QStringLiteral("Delay                     ") + Seconds(b.Delay()));
    out.Blank(2);
}

void RelayLines(Lines& out, MainState& state, cRelay* relays, int list, const char* head)
{
    for (XelRelay* r : relays->NewEnum()) {
        if (!r->InUse())
            continue;
        const QString key = QString::number(r->Index()) + QLatin1Char('*');
        QString text = r->FunctionText();
        bool marked = false;
        if (state.relaysPage) {
            text = state.relaysPage->RelayRowText(list, key);
            marked = state.relaysPage->RelayRowMarked(list, key);
        }
        out.Item(1, QString::fromLatin1(head) + QString::number(r->Index()).rightJustified(2)
                        + (marked ? QStringLiteral(" *") + QString(13, QLatin1Char(' ')) : QString(15, QLatin1Char(' ')))
                        + text);
    }
}

void RelaySections(Lines& out, MainState& state, const XelObject& setup)
{
    out.Title(QStringLiteral("Relays TB-16"));
    RelayLines(out, state, setup.RelayNew(), 1, "Terminal ");
    out.Blank();
    out.Title(QStringLiteral("Relays PX-3, PX-5"));
    RelayLines(out, state, setup.Relay(), 0, "Channel  ");
    out.Blank();
    if (setup.Relay()->RelayT44DisableBW())
        out.Item(1, QStringLiteral("Disable broken wire alarm on Terminal 44"));
    out.Blank(2);
}

void BackupSection(Lines& out, const XelObject& setup)
{
    out.Title(QStringLiteral("Backup System Settings"));
    const BackupSwitchTexts s = BackupSwitches(setup);
    out.Item(1, QStringLiteral("S1 ") + s.s1);
    out.Item(1, QStringLiteral("S2 ") + s.s2);
    out.Item(1, QStringLiteral("S3 ") + s.s3);
    out.Item(1, QStringLiteral("S4 ") + s.s4);
    out.Blank();
}

void ComponentsSection(Lines& out, const XelObject& setup)
{
    out.Title(QStringLiteral("Components used"));
    const int generation = UnitGeneration(setup.Main()->Firmware());
    const char* suffix = generation == 0 ? " (version unknown)" : generation == 2 ? " Q2" : " Q1";
    out.Item(1, QStringLiteral("ECX 510 ") + (setup.Main()->OperationMode() == 2 ? "P" : "A") + suffix);
    out.Item(1, generation == 0 ? QStringLiteral("TB-10 or TB-16 Q2")
               : generation == 2 ? QStringLiteral("TB-16 Q2")
                                 : QStringLiteral("TB-10"));
    if (UsesAnalogExtension(setup))
        out.Item(1, QStringLiteral("AX-2"));
    const QString cards = RelayCardText(setup);
    if (!cards.isEmpty())
        out.Item(1, cards);
}

} // namespace

QByteArray BuildTextReport(MainState& state)
{
    const XelObject* setup = state.XelObject();
    if (!setup || !setup->Main())
        return QByteArray();
    Lines out;
    Header(out, *setup);
    SystemInformation(out, *setup);
    MainSection(out, state, *setup);
    SwitchInputs(out, *setup);
    AdditionalSwitchInputs(out, *setup);
    AnalogInputs(out, state, *setup);
    StandbySection(out, state, *setup);
    SpeedSensorSection(out, state, *setup);
    BatterySection(out, *setup);
    RelaySections(out, state, *setup);
    BackupSection(out, *setup);
    ComponentsSection(out, *setup);
    return out.Bytes();
}

bool WriteTextReport(MainState& state, const QString& fileName)
{
    extra::ShowStatusMessage(235);
    const QByteArray bytes = BuildTextReport(state);
    if (bytes.isEmpty() || !platform::WriteWholeFile(fileName, bytes)) {
        extra::ShowStatusMessage(237);
        return false;
    }
    extra::ShowStatusMessage(236, {QFileInfo(fileName).fileName()});
    // The report is written; a viewer that will not start is only reported.
    if (state.DebugInfo && !platform::Shell::Instance().OpenDocument(fileName))
        platform::MessagePresenter::Instance().Show(
            QStringLiteral("The exported file could not be opened in the text viewer:\n") + fileName,
            platform::MsgStyle::Exclamation, QStringLiteral("Quarno Q2"));
    return true;
}

void CmdExportAsText(MainState& state)
{
    if (state.relaysPage)
        state.relaysPage->RefreshRelayLists();
    const int tab = state.frame ? state.frame->CurrentTab() : 0;
    if (!ValidateCurrentPage(state, tab))
        return;
    static QString lastName; // the dialog offers the previous choice again
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Export Setup as Text");
    request.filter = QStringLiteral("Text file (*.txt)|*.txt|Any file (*.*)|*.*");
    request.fileName = lastName;
    request.flags = platform::FileDialogRequest::OverwritePrompt;
    // The dialog adds ".txt" before its overwrite question, so it asks about the file written.
    request.defaultSuffix = QStringLiteral("txt");
    if (!platform::FileDialogs::Instance().ShowSave(state.frame ? state.frame->MainWindow() : nullptr, request)
        || request.fileName.isEmpty())
        return;
    lastName = request.fileName;
    // The dialog's overwrite question does not tell a read-only file: asked as Save As does.
    if (!modDiv::ClearReadOnlyAsked(request.fileName, request.fileName))
        return;
    WriteTextReport(state, request.fileName);
}

} // namespace reports
