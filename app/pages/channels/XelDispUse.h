#pragma once
// The XelDisp controls the input pages place, and the few operations the pages use of them.
#include "controls/Container.h"
#include "controls/Number.h"

namespace xeldisp {

inline void SetChildrenEnabled(Container* c, bool enabled)
{
    if (c)
        c->SetChildrenEnabled(enabled);
}
inline bool ChildrenEnabled(const Container* c) { return c && c->ChildrenEnabled(); }

} // namespace xeldisp
