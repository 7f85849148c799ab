// Stand-ins for routines other branches define; each is removed when its real one merges.
#include "app/unitops/UnitOps.h"

#include <QString>

namespace unitops {

QString ReadUnitVersion(bool) { return QStringLiteral("N/A"); }
bool DetectUnit() { return false; }
bool IsPropulsionUnit() { return false; }
bool RunSetupTransfer(MainState&, int) { return false; }
bool DoFileTransmit(MainState&) { return false; }
bool OpenSetupLog(MainState&, bool) { return false; }
bool SaveSetupLog(MainState&) { return false; }

} // namespace unitops

