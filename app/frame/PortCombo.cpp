#include "app/frame/PortCombo.h"

#include "app/services/modDiv.h"
#include "platform/PortList.h"

#include <QComboBox>

void FillPortCombo(QComboBox* combo)
{
    if (!combo)
        return;
    combo->clear();
    const QList<int> present = platform::PortList::Instance().PresentPorts();
    const bool all = modDiv::KeysDown(modDiv::VkShift);
    for (int n = 1; n <= 32; ++n) {
        const bool exists = present.contains(n);
        if (n > 10 && !exists && !all)
            continue;
        QString text = QStringLiteral("COM") + QString::number(n);
        if (!exists)
            text += QStringLiteral("   - not detected");
        combo->addItem(text, n);
    }
}
