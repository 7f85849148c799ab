#pragma once
// Finding a combo-box item by its item data. Part of the helper module, but it needs the widgets
// module, so it lives with the program's services rather than below the data model.
#include <QVariant>

class QComboBox;

namespace extra {

int SelectComboItemData(QComboBox* combo, const QVariant& value, bool select);

} // namespace extra
