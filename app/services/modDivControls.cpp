// Serial-port list, combo and list helpers, and the sorted entry list.
#include "app/services/modDiv.h"

#include "platform/PortList.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCursor>
#include <QTreeWidget>

namespace modDiv {

namespace {

bool IsNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

// Numbers compare by value; anything else as text, by character code.
bool Greater(const QVariant& a, const QVariant& b)
{
    if (IsNumber(a) && IsNumber(b))
        return a.toDouble() > b.toDouble();
    return QString::compare(a.toString(), b.toString(), Qt::CaseSensitive) > 0;
}

} // namespace

// ---- serial ports ---------------------------------------------------------------------

bool PortExists(qint16 portNumber)
{
    return portNumber > 0 && platform::PortList::Instance().PortExists(portNumber);
}

void FillCommPortCombo(QComboBox* combo)
{
    if (!combo)
        return;
    combo->clear();
    for (qint16 n = 1; n <= 32; ++n) {
        const bool exists = PortExists(n);
        // Ports above 10 only when present, or all of them while Shift is held.
        if (n > 10 && !exists && !KeysDown(VkShift))
            continue;
        combo->addItem(CommPortItemText(n, exists), int(n));
    }
}

QString CommPortItemText(qint16 portNumber, bool detected)
{
    QString text = QStringLiteral("COM") + QString::number(portNumber);
    const QString device = platform::PortList::Instance().DevicePath(portNumber);
    if (!device.isEmpty())
        text += QStringLiteral(" (") + device + QLatin1Char(')');
    if (!detected)
        text += QStringLiteral("   - not detected");
    return text;
}

// ---- lists and combo boxes ------------------------------------------------------------

void FitComboDropDown(QComboBox* combo)
{
    if (!combo)
        return;
    combo->setMaxVisibleItems(qMax(1, combo->count()));
}

QModelIndex HitTestListViewAt(QAbstractItemView* list, const QPoint& globalPos)
{
    if (!list || !list->viewport())
        return QModelIndex();
    return list->indexAt(list->viewport()->mapFromGlobal(globalPos));
}

QModelIndex HitTestListView(QAbstractItemView* list)
{
    return HitTestListViewAt(list, QCursor::pos());
}

QTreeWidgetItem* HitTestListView(QTreeWidget* list)
{
    if (!list || !list->viewport())
        return nullptr;
    return list->itemAt(list->viewport()->mapFromGlobal(QCursor::pos()));
}

const SortedEntry* SortedEntries::Item(qint32 position) const
{
    if (position < 1 || position > m_items.size())
        return nullptr;
    return &m_items.at(position - 1).entry;
}

const SortedEntry* SortedEntries::Item(const QString& key) const
{
    if (key.isEmpty())
        return nullptr;
    for (const Slot& slot : m_items)
        if (slot.key.compare(key, Qt::CaseInsensitive) == 0)
            return &slot.entry;
    return nullptr;
}

QString SortedEntries::Key(qint32 position) const
{
    if (position < 1 || position > m_items.size())
        return QString();
    return m_items.at(position - 1).key;
}

bool SortedEntries::Add(const SortedEntry& entry, const QString& key, qint32 before)
{
    if (!key.isEmpty() && Item(key))
        return false;
    const qsizetype at = before >= 1 && before <= m_items.size() ? before - 1 : m_items.size();
    m_items.insert(at, Slot{key, entry});
    return true;
}

bool AddSortedEntry(std::unique_ptr<SortedEntries>& collection, const SortedEntry& entry,
                    const QString& field, const QString& key)
{
    if (!collection)
        collection = std::make_unique<SortedEntries>();
    const QVariant value = entry.value(field);
    for (qint32 i = 1; i <= collection->Count(); ++i) {
        if (Greater(collection->Item(i)->value(field), value))
            return collection->Add(entry, key, i);
    }
    return collection->Add(entry, key);
}

} // namespace modDiv
