#include "datamodel/cSpeedRelay.h"

XelSpeedRelay* cSpeedRelay::Add(qint32 iKey, const QString& sDescript)
{
    XelSpeedRelay* item = AddNew(iKey);
    if (!item)
        return nullptr;
    item->SetRPM(0);
    item->SetInUse(false);
    item->SetDescript(sDescript);
    return item;
}

bool cSpeedRelay::FromImage(const QByteArray& image)
{
    return ForEachUntilFalse([&](XelSpeedRelay& r) { return r.FromImage(image); });
}

bool cSpeedRelay::ToImage(QByteArray& image, SetupFault* fault) const
{
    return EncodeEach(fault, [&](XelSpeedRelay& r, QString* field) { return r.ToImage(image, field); });
}
