#include "app/setupdefaults/AnalogDefaults.h"

#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelEnums.h"

namespace modAnalog {

void WriteChannelDefaults(XelAnalogIn& input, qint32 inputType)
{
    input.SetSensorMin(0);
    input.SetSensorMax(1000);
    input.SetLimit(0, 0);
    input.SetLimit(1, 0);
    input.SetAction(qint32(AnalogActionType::None));
    input.SetActionDirection(0);
    input.SetOnRunOnly(false);
    input.SetInitialDelay(0);
    input.SetAlarmDelay(2);
    input.SetInputType(inputType);
    input.SetDoubleScale(false);
    input.SetRPMLimit(0, 0);
    input.SetRPMLimit(1, 0);
    input.SetRPM(0, 600);
    input.SetRPM(1, 1200);
    input.SetText(QString());
    input.SetUnits(QString());
    input.SetJValues(JData());
}

} // namespace modAnalog
