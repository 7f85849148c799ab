// Finding a combo-box item by its item data.
#include "app/services/ComboHelpers.h"

#include <QComboBox>

namespace extra {

int SelectComboItemData(QComboBox* combo, const QVariant& value, bool select)
{
    if (!combo || !value.isValid())
        return -1;
    for (int i = 0; i < combo->count(); ++i) {
        const QVariant data = combo->itemData(i);
        if (data.isValid() && data == value) {
            if (select)
                combo->setCurrentIndex(i);
            return i;
        }
    }
    return -1;
}

} // namespace extra
