#pragma once
// How the "Analog In" page shows a stored analog value: the stored tenths plus, for a J1939 or
// J1587 input, the offset of its parameter in the reference data. The page and both setup
// reports show a bus input's sensor range and limits through these two routines, so the three
// always agree.
#include <QtGlobal>

class clsADO;
class XelAnalogIn;

namespace modAnalog {

// The reference-data offset of the input's stored parameter, in shown units; 0 for a wired
// input, without reference data, or when no row names the parameter.
double ParameterOffset(clsADO* ado, const XelAnalogIn& input);
// Stored tenths as the page shows them: tenths / 10 plus the parameter's offset.
double ShownValue(qint64 tenths, double offset);

} // namespace modAnalog
