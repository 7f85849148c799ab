#include "app/pages/channels/AnalogShownValue.h"

#include "app/pages/channels/AnalogRules.h"
#include "app/services/clsADO.h"
#include "datamodel/XelAnalogIn.h"

#include <QSqlRecord>
#include <QVariant>

#include <cmath>

namespace modAnalog {

double ParameterOffset(clsADO* ado, const XelAnalogIn& input)
{
    // The offset follows the stored parameter, so showing and storing a value use the same
    // number whatever the parameter combo holds at the moment.
    if (!ado || !IsBusType(input.InputType()))
        return 0.0;
    const clsADO::Recordset rows = ado->GetJFieldsAnalog(input);
    if (rows.isEmpty())
        return 0.0;
    bool ok = false;
    const double offset = rows.first().value(QStringLiteral("OFFSET")).toDouble(&ok);
    return ok && std::isfinite(offset) ? offset : 0.0;
}

double ShownValue(qint64 tenths, double offset) { return (offset * 10.0 + double(tenths)) / 10.0; }

} // namespace modAnalog
