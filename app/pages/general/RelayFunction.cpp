#include "app/pages/general/RelayFunction.h"

#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelEnums.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelRelay.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSpeedRelay.h"

namespace RelayFunction {

namespace {

QString Key(int index) { return QString::number(index) + QLatin1Char('*'); }

bool In(int v, int lo, int hi) { return v >= lo && v <= hi; }

} // namespace

bool IsWarningLevel(int code) { return code >= kWarningOffset; }

Source Decode(int code)
{
    Source s;
    if (code <= 0 || code > 255) {
        s.kind = code == 0 ? Kind::None : Kind::Unassigned;
        s.number = code;
        return s;
    }
    if (In(code, 1, 12)) {
        s.kind = Kind::SwitchInput;
        s.number = code;
    } else if (In(code, 193, 204)) {
        s.kind = Kind::SwitchInput;
        s.number = code - kWarningOffset;
        s.warning = true;
    } else if (In(code, 13, 17)) {
        s.kind = Kind::AnalogInput;
        s.number = code - 12;
    } else if (In(code, 28, 33)) {
        s.kind = Kind::AnalogInput;
        s.number = code - 22;
    } else if (In(code, 205, 209)) {
        s.kind = Kind::AnalogInput;
        s.number = code - 204;
        s.warning = true;
    } else if (In(code, 220, 225)) {
        s.kind = Kind::AnalogInput;
        s.number = code - 214;
        s.warning = true;
    } else if (In(code, 210, 219)) {
        // Inside the analog warning run, but no input has these codes.
        s.kind = Kind::Unassigned;
        s.number = code;
    } else if (In(code, kSpeedRelayBase + 1, kSpeedRelayBase + kSpeedRelayCount)) {
        s.kind = Kind::SpeedRelay;
        s.number = code - kSpeedRelayBase;
    } else {
        s.kind = Kind::Fixed;
        s.number = code;
    }
    return s;
}

int SwitchCode(int index, qint32 action)
{
    if (!In(index, 1, kSwitchInputCount))
        return 0;
    return action == qint32(DigitalActionType::Warning) ? index + kWarningOffset : index;
}

int AnalogPlainCode(int index)
{
    if (In(index, 1, 5))
        return index + 12;
    if (In(index, 6, kAnalogInputCount))
        return index + 22;
    return 0;
}

int AnalogWarningCode(int index)
{
    const int p = AnalogPlainCode(index);
    return p == 0 ? 0 : p + kWarningOffset;
}

int SpeedRelayCode(int index)
{
    return In(index, 1, kSpeedRelayCount) ? kSpeedRelayBase + index : 0;
}

QVector<AnalogOffer> AnalogCodes(int index, qint32 action)
{
    const int p = AnalogPlainCode(index);
    if (p == 0)
        return {};
    const int w = p + kWarningOffset;
    switch (AnalogActionType(action)) {
    case AnalogActionType::Warning:
        return {{w, QString()}};
    case AnalogActionType::WarningAlarm:
        return {{w, QStringLiteral("WARNING")}, {p, QStringLiteral("ALARM")}};
    case AnalogActionType::WarningShutdown:
        return {{w, QStringLiteral("WARNING")}, {p, QStringLiteral("SHUTDOWN")}};
    default:
        return {{p, QString()}};
    }
}

QString LevelWord(qint32 action, bool warningLevel)
{
    if (action == qint32(AnalogActionType::WarningAlarm))
        return warningLevel ? QStringLiteral("WARNING") : QStringLiteral("ALARM");
    if (action == qint32(AnalogActionType::WarningShutdown))
        return warningLevel ? QStringLiteral("WARNING") : QStringLiteral("SHUTDOWN");
    return QString();
}

QString SwitchText(int index, const QString& text)
{
    return QStringLiteral("SW") + QString::number(index) + QStringLiteral(", ") + text;
}

QString AnalogText(int index, const QString& text, const QString& level)
{
    QString s = QStringLiteral("AI") + QString::number(index) + QStringLiteral(", ");
    if (!level.isEmpty())
        s += QLatin1Char('(') + level + QStringLiteral(") ");
    return s + text;
}

QString BusSuffix(qint32 inputType)
{
    if (inputType == qint32(AnalogInputType::CAN))
        return QStringLiteral("   CAN");
    if (inputType == qint32(AnalogInputType::J1587))
        return QStringLiteral("   J1587");
    return QString();
}

QString SpeedRelayText(int index, qint32 rpm)
{
    return QStringLiteral("Speed Relay ") + QString::number(index) + QStringLiteral(", ") +
           QString::number(rpm) + QStringLiteral(" RPM");
}

QString FixedText(int code)
{
    if (!In(code, 1, 255))
        return QString();
    QString text = extra::GetLangString(quint16(kTextBase + code));
    if (text.startsWith(QLatin1Char('!')))
        text.remove(0, 1);
    return text;
}

QString InvalidText(int code)
{
    return QStringLiteral("No ") + QString::number(code) + QStringLiteral(" - Invalid!");
}

QString FixedKind(int code) { return code < 38 ? QStringLiteral("ALARM") : QStringLiteral("EVENT"); }

int FixedRowPicture(int code)
{
    if (In(code, 18, 27) || In(code, 35, 38))
        return 2;
    if (In(code, kSpeedRelayBase + 1, kSpeedRelayBase + kSpeedRelayCount))
        return 3;
    return 1;
}

QString SelectionKey(int code)
{
    const Source s = Decode(code);
    switch (s.kind) {
    case Kind::SwitchInput: return QStringLiteral("D") + QString::number(code);
    case Kind::AnalogInput: return QStringLiteral("A") + QString::number(code);
    case Kind::SpeedRelay: return QStringLiteral("S") + QString::number(code);
    case Kind::Fixed:
        // Codes below 18 and 34 are taken by inputs or name nothing the picker offers.
        if (code >= 18 && code != 34)
            return QStringLiteral("*") + QString::number(code);
        return QString();
    default: return QString();
    }
}

int KeyCode(const QString& key)
{
    if (key.size() < 2)
        return 0;
    bool ok = false;
    const int code = key.mid(1).toInt(&ok);
    return ok && In(code, 1, 255) ? code : 0;
}

XelDigitalIn* SwitchInput(const XelObject& setup, int index)
{
    return setup.DigitalIn() ? setup.DigitalIn()->Item(Key(index)) : nullptr;
}

XelAnalogIn* AnalogInput(const XelObject& setup, int index)
{
    return setup.AnalogIn() ? setup.AnalogIn()->Item(Key(index)) : nullptr;
}

XelSpeedRelay* SpeedRelay(const XelObject& setup, int index)
{
    return setup.SpeedRelays() ? setup.SpeedRelays()->Item(Key(index)) : nullptr;
}

QString FunctionName(const XelObject& setup, int code)
{
    const Source s = Decode(code);
    switch (s.kind) {
    case Kind::None: return QString();
    case Kind::SwitchInput:
        if (const XelDigitalIn* d = SwitchInput(setup, s.number))
            return SwitchText(s.number, d->Text());
        break;
    case Kind::AnalogInput:
        if (const XelAnalogIn* a = AnalogInput(setup, s.number))
            return AnalogText(s.number, a->Text(), LevelWord(a->Action(), s.warning));
        break;
    case Kind::SpeedRelay:
        if (const XelSpeedRelay* r = SpeedRelay(setup, s.number)) {
            if (!r->InUse())
                return QStringLiteral("Speed Relay ") + QString::number(s.number) +
                       QStringLiteral(" - NOT ACTIVE!");
            return SpeedRelayText(s.number, r->RPM());
        }
        break;
    case Kind::Fixed: {
        const QString text = FixedText(code);
        if (!text.isEmpty())
            return text;
        break;
    }
    case Kind::Unassigned: break;
    }
    return InvalidText(code);
}

bool AnyRelayUses(const cRelay* relays, int code)
{
    if (!relays)
        return false;
    for (const XelRelay* r : *relays)
        if (r->InUse() && r->FunctionNo() == code)
            return true;
    return false;
}

bool AnyRelayUses(const XelObject& setup, int code)
{
    return AnyRelayUses(setup.Relay(), code) || AnyRelayUses(setup.RelayNew(), code);
}

int ClearRelaysUsing(XelObject& setup, int code)
{
    int cleared = 0;
    for (cRelay* relays : {setup.Relay(), setup.RelayNew()}) {
        if (!relays)
            continue;
        for (XelRelay* r : *relays) {
            if (r->FunctionNo() != code)
                continue;
            r->SetFunctionNo(0);
            r->SetInUse(false);
            ++cleared;
        }
    }
    return cleared;
}

} // namespace RelayFunction
