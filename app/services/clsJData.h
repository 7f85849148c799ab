#pragma once
// Two-way map between the index of an item in a parameter combo and the bus parameter
// (its JParameterID) the item stands for.
#include <QHash>
#include <QString>

class clsJData {
public:
    // Each index and each id occurs once; adding a key that is already there adds
    // nothing and returns false.
    bool AddJData(double id, qint32 index);
    bool AddJDataHex(const QString& id, qint32 index);

    // The id at an index; 0 when the index is not in the map.
    double GetJData(qint32 index) const;
    // The id at an index as hexadecimal text of the given width; "" when not in the map.
    QString GetJDataHex(qint32 index, qint32 width) const;
    // The index of an id; -1 when it is not in the map.
    qint32 GetJDataPosition(double id) const;
    // The index stored under the text exactly as written; -1 when it is not there.
    qint32 GetJDataPositionHex(const QString& id) const;

private:
    bool Add(double id, const QString& idKey, qint32 index);
    static QString IndexKey(qint32 index);

    QHash<QString, double> m_byPosition;
    QHash<QString, qint32> m_byId;
};
