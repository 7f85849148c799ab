#include "app/frame/PortCombo.h"

#include "app/services/modDiv.h"
#include "platform/PortList.h"

#include <QComboBox>

void FillPortCombo(QComboBox* combo, int storedPort)
{
    if (!combo)
        return;
    combo->clear();
    platform::PortList& ports = platform::PortList::Instance();
    const QList<int> present = ports.PresentPorts();
    const bool all = modDiv::KeysDown(modDiv::VkShift);
    for (int n = 1; n <= 32; ++n) {
        const bool exists = present.contains(n);
        if (n > 10 && !exists && !all && n != storedPort)
            continue;
        combo->addItem(modDiv::CommPortItemText(qint16(n), exists), n);
        if (exists) {
            const QString description = ports.Description(n);
            if (!description.isEmpty())
                combo->setItemData(combo->count() - 1, description, Qt::ToolTipRole);
        }
    }
    combo->setCurrentIndex(storedPort > 0 ? combo->findData(storedPort) : -1);
}
