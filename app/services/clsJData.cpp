#include "app/services/clsJData.h"

#include "extra/extra.h"

QString clsJData::IndexKey(qint32 index)
{
    return QString::number(index) + QLatin1Char('*');
}

bool clsJData::Add(double id, const QString& idKey, qint32 index)
{
    const QString positionKey = IndexKey(index);
    // Both keys are checked first, so a refused add leaves the map as it was.
    if (m_byPosition.contains(positionKey) || m_byId.contains(idKey))
        return false;
    m_byPosition.insert(positionKey, id);
    m_byId.insert(idKey, index);
    return true;
}

bool clsJData::AddJData(double id, qint32 index)
{
    return Add(id, extra::ValueToHex(id, 10) + QLatin1Char('*'), index);
}

bool clsJData::AddJDataHex(const QString& id, qint32 index)
{
    return Add(extra::HexToValue(id), id + QLatin1Char('*'), index);
}

double clsJData::GetJData(qint32 index) const
{
    return m_byPosition.value(IndexKey(index), 0.0);
}

QString clsJData::GetJDataHex(qint32 index, qint32 width) const
{
    const auto it = m_byPosition.constFind(IndexKey(index));
    if (it == m_byPosition.constEnd())
        return QString();
    return extra::ValueToHex(it.value(), width);
}

qint32 clsJData::GetJDataPosition(double id) const
{
    return m_byId.value(extra::ValueToHex(id, 10) + QLatin1Char('*'), -1);
}

qint32 clsJData::GetJDataPositionHex(const QString& id) const
{
    return m_byId.value(id + QLatin1Char('*'), -1);
}
