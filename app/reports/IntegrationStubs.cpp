#include "app/reports/Reports.h"

namespace reports {
void PrintSetup(MainState&, bool) {}
}
