#include "app/pages/channels/AnalogRules.h"

#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelEnums.h"

#include <cmath>

namespace modAnalog {

namespace {
constexpr qint32 kNone = qint32(AnalogActionType::None);
}

LangBlock ActionBlockForMode(qint32 operationMode)
{
    switch (operationMode) {
    case qint32(MainOperationMode::PROPULSION): return {1100, 9};
    case qint32(MainOperationMode::Emergency): return {1200, 6};
    default: return {1000, 9};
    }
}

LangBlock InputTypeBlock(int list)
{
    switch (list) {
    case 0: return {1330, 3};
    case 1: return {1340, 5};
    case 2: return {1300, 2};
    case 3: return {1310, 4};
    case 4: return {1320, 2};
    default: return {0, 0};
    }
}

int InputTypeListForPosition(int position, bool can)
{
    if (position < 1)
        return -1;
    if (position == 1)
        return can ? 1 : 0;
    if (position <= kWiredChannels)
        return can ? 3 : 2;
    return can ? 4 : -1;
}

bool IsBusType(qint32 inputType)
{
    return inputType == qint32(AnalogInputType::J1587) || inputType == qint32(AnalogInputType::CAN);
}

qint32 BusListAction(qint32 action)
{
    switch (action) {
    case qint32(AnalogActionType::None):
    case qint32(AnalogActionType::Warning):
    case qint32(AnalogActionType::Alarm):
    case qint32(AnalogActionType::WarningAlarm):
        return action;
    default:
        return kNone;
    }
}

qint32 EmergencyAction(qint32 action)
{
    switch (action) {
    case qint32(AnalogActionType::Shutdown): return qint32(AnalogActionType::Alarm);
    case qint32(AnalogActionType::WarningShutdown): return qint32(AnalogActionType::WarningAlarm);
    case qint32(AnalogActionType::RPMDependentShutdown): return qint32(AnalogActionType::RPMDependentAlarm);
    default: return action;
    }
}

void CopySettings(const XelAnalogIn& source, XelAnalogIn& target)
{
    target.SetActive(source.Active());
    target.SetText(source.Text());
    target.SetSensorMin(source.SensorMin());
    target.SetSensorMax(source.SensorMax());
    target.SetLimit(1, source.Limit(1));
    target.SetLimit(0, source.Limit(0));
    target.SetUnits(source.Units());
    target.SetAction(source.Action());
    target.SetActionDirection(source.ActionDirection());
    target.SetAlarmDelay(source.AlarmDelay());
    target.SetInitialDelay(source.InitialDelay());
    target.SetOnRunOnly(source.OnRunOnly());
    target.SetRUNAlsoDetectedBy(source.RUNAlsoDetectedBy());
    target.SetInputType(source.InputType());
    target.SetDoubleScale(source.DoubleScale());
    target.SetRPMLimit(0, source.RPMLimit(0));
    target.SetRPMLimit(1, source.RPMLimit(1));
    target.SetRPM(0, source.RPM(0));
    target.SetRPM(1, source.RPM(1));
    target.SetInfo(source.Info());
    target.SetJValues(source.JValues());
}

void ResetMovedInput(XelAnalogIn& input)
{
    input.SetActive(false);
    input.SetText(QString());
    input.SetSensorMin(0);
    input.SetSensorMax(100);
    input.SetLimit(1, 0);
    input.SetLimit(0, 0);
    input.SetUnits(QString());
    input.SetAction(kNone);
    input.SetActionDirection(0);
    input.SetAlarmDelay(2);
    input.SetInitialDelay(0);
    input.SetOnRunOnly(false);
    input.SetRUNAlsoDetectedBy(false);
    input.SetInputType(input.Index() > kWiredChannels ? qint32(AnalogInputType::CAN)
                                                       : qint32(AnalogInputType::mA4_20));
    input.SetDoubleScale(false);
    input.SetRPMLimit(0, 0);
    input.SetRPMLimit(1, 0);
    input.SetRPM(0, 600);
    input.SetRPM(1, 1200);
    input.SetInfo(QString());
    input.SetJValues(JData());
}

void ClearSettings(XelAnalogIn& input)
{
    input.SetAction(kNone);
    input.SetActionDirection(0);
    input.SetAlarmDelay(2);
    input.SetInitialDelay(0);
    input.SetLimit(0, 0);
    input.SetLimit(1, 0);
    input.SetOnRunOnly(false);
    input.SetRUNAlsoDetectedBy(false);
    input.SetSensorMin(0);
    input.SetSensorMax(100);
    input.SetText(QString());
    input.SetUnits(QString());
    input.SetActive(false);
}

int StatePicture(const XelAnalogIn& input)
{
    int picture = 1;
    switch (input.Action()) {
    case qint32(AnalogActionType::None): picture = 1; break;
    case qint32(AnalogActionType::Alarm): picture = 2; break;
    case qint32(AnalogActionType::Shutdown): picture = 4; break;
    case qint32(AnalogActionType::Warning): picture = 6; break;
    case qint32(AnalogActionType::WarningAlarm): picture = 8; break;
    case qint32(AnalogActionType::WarningShutdown): picture = 10; break;
    case qint32(AnalogActionType::RPMDependentAlarm):
    case qint32(AnalogActionType::RPMDependentWarning):
    case qint32(AnalogActionType::RPMDependentShutdown): picture = 12; break;
    default: picture = 1; break;
    }
    if (picture != 1 && input.ActionDirection() == qint32(AnalogActionDirection::BelowLimit))
        picture += 1;
    if (input.RUNAlsoDetectedBy())
        picture += 13;
    if (!input.Active())
        picture += 26;
    return picture;
}

QString TerminalText(const XelAnalogIn& input, int position)
{
    if (input.InputType() == qint32(AnalogInputType::J1587))
        return extra::GetLangString(935);
    if (input.InputType() == qint32(AnalogInputType::CAN))
        return extra::GetLangString(936);
    if (position == 5)
        return extra::GetLangString(925);
    // The stored field is too short for the bus channels' terminal text.
    if (position > kWiredChannels)
        return extra::GetLangString(kBusTerminalText);
    // The stored terminal is blank-padded to its field width.
    QString terminal = input.Terminal();
    while (terminal.endsWith(QLatin1Char(' ')))
        terminal.chop(1);
    return terminal;
}

qint32 ToTenths(float shown, double offset)
{
    // The product is formed in single precision, as the shown value is a single: 1.15 then
    // gives 11.5 and rounds to 12, not 11.
    const float tenths = shown * 10.0f;
    const double value = double(tenths) - offset * 10.0;
    if (!std::isfinite(value))
        return 0;
    return qint32(qBound<qint64>(qint64(INT32_MIN), extra::RoundHalfEven(value), qint64(INT32_MAX)));
}

float StepFor(float oldValue, float value)
{
    const float o = std::fabs(oldValue);
    const float v = std::fabs(value);
    if (o < 10.0f)
        return v < 10.0f ? 0.1f : 1.0f;
    return v <= 10.0f ? 0.1f : 1.0f;
}

YScale ScaleForUpperSetpoint(float v)
{
    if (v >= 0.0f && v <= 5.0f)
        return {5, 1, 1};
    if (v > 5.0f && v <= 10.0f)
        return {10, 1, 2};
    qint64 step = extra::RoundHalfEven(double(v) / 10.0 + 0.5);
    // A step of 0 or below would give the graph no scale at all.
    if (step < 1)
        step = 1;
    return {10, qint32(qMin<qint64>(step, INT32_MAX)), 2};
}

QVector<QPointF> CurvePoints(float lowerValue, float upperValue, qint32 lowerRPM, qint32 upperRPM)
{
    return {QPointF(100.0, lowerValue), QPointF(lowerRPM, lowerValue), QPointF(upperRPM, upperValue),
            QPointF(3000.0, upperValue)};
}

} // namespace modAnalog
