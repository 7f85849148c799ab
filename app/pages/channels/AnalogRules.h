#pragma once
// The rules of the "Analog In" page that need no controls: channel defaults, list pictures and
// terminal texts, the combo lists by channel and mode, copy, move and clear of an input,
// the conversion to stored tenths, the spin step, and the RPM-dependent curve and its scale.
#include "app/setupdefaults/AnalogDefaults.h"

#include <QPointF>
#include <QString>
#include <QVector>
#include <QtGlobal>

class XelAnalogIn;

namespace modAnalog {

// A run of language list strings base + 1 .. base + count.
struct LangBlock {
    int base;
    int count;
};

// The action list of an operation mode (2 PROPULSION, 3 Emergency, any other mode).
LangBlock ActionBlockForMode(qint32 operationMode);
// The action list of a J1587 or J1939 input.
constexpr LangBlock kBusActionBlock{1390, 5};
// Input type lists 0 to 4; {0, 0} for any other number.
LangBlock InputTypeBlock(int list);
// The input type list the channel at 1-based list position `position` may use; -1 when its
// combo is left as it is (bus channels without J1939/J1587 support, positions below 1).
int InputTypeListForPosition(int position, bool can);

bool IsBusType(qint32 inputType);
// The actions a bus input keeps when its action list is refilled; every other becomes None.
qint32 BusListAction(qint32 action);
// The action Emergency mode puts in place of a shutdown action; others stay.
qint32 EmergencyAction(qint32 action);

// Every setting but the channel number and terminal, from source to target.
void CopySettings(const XelAnalogIn& source, XelAnalogIn& target);
// What a moved-away input is left with.
void ResetMovedInput(XelAnalogIn& input);
// What Delete leaves; input type, double scale, J1939/J1587 parameter, setpoints and info stay.
void ClearSettings(XelAnalogIn& input);

// The list picture (1..52) of an input: action and direction, the RUN mark, inactive.
int StatePicture(const XelAnalogIn& input);
// The second column of a list row at 1-based position `position`.
QString TerminalText(const XelAnalogIn& input, int position);

// A shown decimal value as stored tenths, halves to the even neighbour; `offset` is the
// reference-data offset of a bus parameter in shown units.
qint32 ToTenths(float shown, double offset = 0.0);
// The spin step of a decimal box after its value went from oldValue to value.
float StepFor(float oldValue, float value);

// The vertical scale of the curve for the upper setpoint value v.
struct YScale {
    qint32 steps;
    qint32 step;
    qint32 markEvery;
};
YScale ScaleForUpperSetpoint(float v);
// The four points of the RPM-dependent alarm curve, in drawing order.
QVector<QPointF> CurvePoints(float lowerValue, float upperValue, qint32 lowerRPM, qint32 upperRPM);

} // namespace modAnalog
