#include "datamodel/cDigitalIn.h"

XelDigitalIn* cDigitalIn::Add(qint32 iKey, const QString& sTerminal)
{
    XelDigitalIn* item = AddNew(iKey);
    if (item)
        item->SetTerminal(sTerminal);
    return item;
}

bool cDigitalIn::FromImage(const QByteArray& image, const QString& sFirmware)
{
    return ForEachUntilFalse([&](XelDigitalIn& d) { return d.FromImage(image, sFirmware); });
}

bool cDigitalIn::ToImage(QByteArray& image, SetupFault* fault) const
{
    return EncodeEach(fault, [&](XelDigitalIn& d, QString* field) { return d.ToImage(image, field); });
}
