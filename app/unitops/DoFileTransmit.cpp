// The transmit command: the checks made on the open setup before it may go to the unit.
#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "app/unitops/UnitCommandStop.h"
#include "app/unitops/UnitOps.h"
#include "app/unitops/UnitRegisters.h"
#include "app/setupdefaults/RelayDefaults.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelBattery.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelRelay.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/XelStandbyOperation.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cRelay.h"
#include "platform/MessagePresenter.h"
#include "seriallink/CommException.h"

#include <exception>

namespace unitops {

namespace {

using namespace platform::MsgStyle;
using platform::MsgResult::Yes;

constexpr int SetForeground = 65536;
using RelayFunction::kDiscGenBreaker;
using RelayFunction::kStandbyMode;
constexpr int kCommonAlarm = 75;
const QString kNotRead = QStringLiteral("N/A");
// The newest firmware this program knows.
const QString kNewestFirmware = QStringLiteral("4.47");
// Common Alarm needs this firmware; the check and the message name the same version.
const QString kCommonAlarmFirmware = QStringLiteral("4.20");
// The battery source 999, as the text report names it.
const QString kExternalBatterySource = QStringLiteral("External Source (J1939 / J1587)");

QString JoinIndexes(const QList<int>& indexes)
{
    QStringList parts;
    for (int i : indexes)
        parts << QString::number(i);
    return parts.join(QStringLiteral(", "));
}

bool RunDetectionAvailable(MainState& state, XelObject& s)
{
    if (state.speedSensorPage)
        return state.speedSensorPage->RunDetectionAvailable();
    if (s.SpeedSensor() && s.SpeedSensor()->PickupType(0) != 0 && s.SpeedSensor()->PickupType(1) != 0)
        return true;
    if (s.DigitalIn())
        for (XelDigitalIn* d : s.DigitalIn()->NewEnum())
            if (d->Active() && d->RUNAlsoDetectedBy())
                return true;
    if (s.AnalogIn())
        for (XelAnalogIn* a : s.AnalogIn()->NewEnum())
            if (a->Active() && a->RUNAlsoDetectedBy())
                return true;
    return false;
}

void RefreshRelayLists(MainState& state)
{
    if (state.relaysPage)
        state.relaysPage->RefreshRelayLists();
}

class TransmitChecks {
public:
    TransmitChecks(MainState& state, XelObject& setup)
        : m_state(state)
        , s(setup)
    {
    }

    bool Run()
    {
        FrameApi* frame = m_state.frame;
        if (!ValidateCurrentPage(m_state, CurrentTab()))
            return false;
        const bool runSignal = RunDetectionAvailable(m_state, s);
        if (s.SpeedSensor()->PickupType(0) == 0 && s.SpeedSensor()->PickupType(1) == 0 && !runSignal) {
            extra::LangMsgBox(142, OKOnly | Exclamation | SetForeground);
            return false;
        }
        if (!Skip()) {
            if (Ask(130, YesNo | Question | DefaultButton2 | SetForeground) != Yes)
                return false;
            if (!runSignal && Ask(135, YesNo | Question | DefaultButton2 | SetForeground) != Yes)
                return false;
        }

        fw = ReadUnitVersion(true);
        if (StopRequested())
            return false;
        if (Above(kNewestFirmware))
            Ask(99, OKOnly | Information | SetForeground, {s.Version(), fw, kNewestFirmware});
        if (Below(QStringLiteral("4")) && !FirstGeneration())
            return false;
        if (!OlderSettings() || !CommonAlarm())
            return false;
        if (Below(QStringLiteral("4.19")) && !NegativeScaling())
            return false;
        if (Below(QStringLiteral("4.3")) && (!RpmDependent() || (s.Main()->CAN() && !BusInputsAllowed())))
            return false;
        if (AtLeast(QStringLiteral("4.3")) && !BusSignalsChosen())
            return false;
        bool goOn = true;
        if (Below(QStringLiteral("4.8")) && s.Main()->OperationMode() == 2 && s.StandbyOperation()->FuelConsumption() != 0)
            goOn = Ask(188, YesNo | Question | SetForeground, {fw, QStringLiteral("4.8")}) == Yes;
        if (Below(QStringLiteral("4.40")) && s.Main()->ShutdownOverride())
            Ask(160, OKOnly | Information | SetForeground, {fw, kNewestFirmware});
        if (!goOn)
            return false;

        bool transmitted = false;
        if (!StopRequested() && ValidateCurrentPage(m_state, CurrentTab())
            && (!frame || frame->CheckChannelDescriptions()) && ImageCanBeBuilt()) {
            extra::ShowStatusMessage(221);
            transmitted = frame && frame->TransmitSetupToUnitFor(fw);
            // Its save has recorded the transfer: a signal from now on ends the run as usual.
            TransferRecorded();
            if (transmitted) {
                extra::ShowStatusMessage(223);
                // After a stop nobody is asked: the run ends once the transfer is recorded.
                if (AtLeast(QStringLiteral("4.00")) && !Skip() && !StopRequested())
                    frame->ShowBackupSystemSettings();
            } else {
                extra::ShowStatusMessage(225);
            }
        }
        if (m_state.mainPage)
            m_state.mainPage->SetLastKnownStatusText(m_state.mainPage->FormatLastKnownStatus());
        return transmitted;
    }

private:
    int CurrentTab() const { return m_state.frame ? m_state.frame->CurrentTab() : 0; }
    // Shift or expert mode skips the confirmations; read afresh at every use.
    bool Skip() const { return modDiv::KeysDown(modDiv::VkShift) || m_state.ExpertMode; }
    bool Known() const { return fw != kNotRead; }
    bool Below(const QString& gate) const { return Known() && extra::CompareVersions(fw, gate) < 0; }
    bool Above(const QString& gate) const { return Known() && extra::CompareVersions(fw, gate) > 0; }
    bool AtLeast(const QString& gate) const { return Known() && extra::CompareVersions(fw, gate) >= 0; }
    static int Ask(quint16 id, int style, const QVariantList& args = {}) { return extra::LangMsgBox(id, style, args); }

    // A value the unit image cannot carry would be left out of the image: refuse, naming it.
    bool ImageCanBeBuilt()
    {
        if (s.CreateSetup(fw))
            return true;
        platform::MessagePresenter::Instance().Show(
            QStringLiteral("The setup cannot be transmitted to the Control Unit.\nThis setting holds a value the "
                           "Control Unit cannot take:\n%1\nPlease correct it and transmit the setup again.")
                .arg(s.SetupError()),
            OKOnly | Exclamation, QStringLiteral("Quarno Q2"));
        return false;
    }

    // A first-generation unit: the new features are lost, and relays K7 and K9 must keep
    // their fixed functions.
    bool FirstGeneration()
    {
        if (!Skip() && Ask(109, YesNo | Question | SetForeground, {fw, s.Version()}) != Yes)
            return false;
        XelRelay* k7 = s.RelayNew()->Item(1);
        XelRelay* k9 = s.RelayNew()->Item(2);
        if (k7 && k9 && k7->FunctionNo() == kStandbyMode && k9->FunctionNo() == kDiscGenBreaker)
            return true;
        if (!Skip()) {
            const int answer = Ask(144, YesNoCancel | Question | DefaultButton2 | SetForeground, {fw});
            if (answer == platform::MsgResult::Cancel) {
                if (m_state.frame)
                    m_state.frame->SelectTab(TabRelays);
                if (m_state.relaysPage)
                    m_state.relaysPage->FocusRelayNewList();
                return false;
            }
            if (answer != Yes)
                return false;
        }
        if (k7) {
            k7->SetFunctionNo(kStandbyMode);
            k7->SetInUse(true);
        }
        if (k9) {
            k9->SetFunctionNo(kDiscGenBreaker);
            k9->SetInUse(true);
        }
        RefreshRelayLists(m_state);
        return true;
    }

    bool OlderSettings()
    {
        if (!Below(QStringLiteral("4.20")))
            return true;
        const QVariantList args{fw, QStringLiteral("4.20")};
        const bool t44 = s.Relay()->RelayT44DisableBW() || s.RelayNew()->RelayT44DisableBW();
        if (t44 && Ask(169, YesNo | Information, args) != Yes)
            return false;
        if (s.Main()->AckOnWarning() && Ask(167, YesNo | Information, args) != Yes)
            return false;
        if (s.Main()->PrinterOutput() && Ask(168, YesNo | Information, args) != Yes)
            return false;
        return true;
    }

    bool CommonAlarm()
    {
        if (!Below(kCommonAlarmFirmware))
            return true;
        auto uses = [](XelRelay* r) { return r->InUse() && r->FunctionNo() == kCommonAlarm; };
        bool found = false;
        for (cRelay* list : {s.Relay(), s.RelayNew()})
            for (XelRelay* r : list->NewEnum())
                found = found || uses(r);
        if (!found)
            return true;
        if (Ask(166, YesNo | Question | SetForeground, {fw, kCommonAlarmFirmware, QStringLiteral("Common Alarm")}) != Yes)
            return false;
        for (cRelay* list : {s.Relay(), s.RelayNew()})
            for (XelRelay* r : list->NewEnum())
                if (uses(r)) {
                    r->SetFunctionNo(0);
                    r->SetInUse(false);
                }
        RefreshRelayLists(m_state);
        return true;
    }

    bool NegativeScaling()
    {
        QList<int> channels;
        for (XelAnalogIn* a : s.AnalogIn()->NewEnum())
            if (a->Active() && a->SensorMin() < 0)
                channels << a->Index();
        if (channels.isEmpty())
            return true;
        Ask(163, OKOnly | Exclamation | SetForeground, {fw, QStringLiteral("4.19"), JoinIndexes(channels)});
        return false;
    }

    bool RpmDependent()
    {
        for (XelAnalogIn* a : s.AnalogIn()->NewEnum()) {
            if (a->Active() && a->Action() >= 6 && a->Action() <= 8) {
                Ask(179, OKOnly | Exclamation | SetForeground, {fw, QStringLiteral("4.3"), QString::number(a->Index())});
                return false;
            }
        }
        return true;
    }

    static bool BusInput(qint32 inputType) { return inputType == 3 || inputType == 4; }

    // The list text of an engine-bus source (2 J1939, 3 J1587, as the pickup lists number
    // them); empty for any other source.
    static QString BusSourceText(int source)
    {
        return source == 2 || source == 3 ? extra::GetLangString(quint16(4001 + source - 2)) : QString();
    }

    // The source as the battery list names it ("1-Read From J1939", "2-Read From J1587"); an
    // external source has no entry there.
    QString BatterySourceText() const
    {
        const float voltage = s.Battery()->BatteryVoltage();
        if (voltage != 1.0f && voltage != 2.0f)
            return kExternalBatterySource;
        return extra::AfterFirst(extra::GetLangString(quint16(4002 + int(voltage))), QStringLiteral("-"));
    }

    bool BusInputsAllowed()
    {
        QList<int> analog, digital;
        for (XelAnalogIn* a : s.AnalogIn()->NewEnum())
            if (a->Active() && BusInput(a->InputType()))
                analog << a->Index();
        for (XelDigitalIn* d : s.DigitalIn()->NewEnum())
            if (d->Active() && BusInput(d->InputType()))
                digital << d->Index();
        const QString gate = QStringLiteral("4.3");
        if (analog.isEmpty() && digital.isEmpty()) {
            // Read from J1939 or J1587 uses the bus as much as an external source does.
            if (s.Battery()->BatteryFromEngineBus()) {
                Ask(186, OKOnly | Exclamation | SetForeground, {fw, gate, BatterySourceText()});
                return false;
            }
            // Switching the bus off would leave a pickup that reads it with no speed input.
            for (int pickup = 0; pickup < 2; ++pickup) {
                const QString source = BusSourceText(s.SpeedSensor()->PickupType(pickup));
                if (!source.isEmpty()) {
                    Ask(198, OKOnly | Exclamation | SetForeground, {fw, gate, source});
                    return false;
                }
            }
            if (Ask(187, YesNo | Question | SetForeground, {fw, gate}) != Yes)
                return false;
            // As the Main page's own switch-off leaves the setup and the pages; the setup's
            // rule also where no Main page is shown.
            if (m_state.mainPage)
                m_state.mainPage->SwitchOffCAN();
            s.SetCANSupport(false);
            return true;
        }
        if (!analog.isEmpty() && !digital.isEmpty())
            Ask(184, OKOnly | Exclamation | SetForeground, {fw, gate, JoinIndexes(analog), JoinIndexes(digital)});
        else if (!digital.isEmpty())
            Ask(192, OKOnly | Exclamation | SetForeground, {fw, gate, JoinIndexes(digital)});
        else
            Ask(191, OKOnly | Exclamation | SetForeground, {fw, gate, JoinIndexes(analog)});
        return false;
    }

    bool BusSignalsChosen()
    {
        QList<XelAnalogIn*> analog;
        QList<XelDigitalIn*> digital;
        for (XelAnalogIn* a : s.AnalogIn()->NewEnum())
            if (a->Active() && BusInput(a->InputType()) && a->JValues().lPID == 0)
                analog << a;
        for (XelDigitalIn* d : s.DigitalIn()->NewEnum())
            if (d->Active() && BusInput(d->InputType()) && d->JValues().lPID == 0)
                digital << d;
        if (analog.isEmpty() && digital.isEmpty())
            return true;
        QList<int> a, d;
        for (XelAnalogIn* x : analog)
            a << x->Index();
        for (XelDigitalIn* x : digital)
            d << x->Index();
        const int style = YesNo | Question | SetForeground;
        int answer;
        if (!a.isEmpty() && !d.isEmpty())
            answer = Ask(185, style, {JoinIndexes(a), JoinIndexes(d)});
        else if (!d.isEmpty())
            answer = Ask(194, style, {JoinIndexes(d)});
        else
            answer = Ask(193, style, {JoinIndexes(a)});
        if (answer != Yes)
            return false;
        for (XelAnalogIn* x : analog)
            x->SetActive(false);
        for (XelDigitalIn* x : digital)
            x->SetActive(false);
        return true;
    }

    MainState& m_state;
    XelObject& s;
    QString fw = kNotRead;
};

} // namespace

bool DoFileTransmit(MainState& state)
{
    XelObject* setup = state.XelObject();
    if (!setup || !setup->Main())
        return false;
    if (state.frame)
        SetUnitLinkFrame(state.frame);
    UnitCommandScope unitCommand(QStringLiteral("the transmit"));
    try {
        return TransmitChecks(state, *setup).Run();
    } catch (const CommException& e) {
        extra::ShowErrorMessage(e.Source(), e.Number(), e.Description(), QStringLiteral("DoFileTransmit"),
                                QStringLiteral("frmMain"));
    } catch (const std::exception& e) {
        extra::ShowErrorMessage(QStringLiteral("Quarno"), 0, QString::fromLocal8Bit(e.what()),
                                QStringLiteral("DoFileTransmit"), QStringLiteral("frmMain"));
    }
    return false;
}

} // namespace unitops
