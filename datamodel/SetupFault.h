#pragma once
// Why CreateSetup could not build the unit image: the part, the item and the field whose
// value does not fit the image. A transmit shows it so the engineer knows what to correct.
#include <QString>

struct SetupFault {
    // The document's property of the part ("AnalogIn", "Battery"); empty when nothing failed.
    QString Part;
    // The item's Index (its key number, as the pages show it) in a collection; 0 for a single part.
    qint32 Item = 0;
    // The property that could not be written ("SensorMax", "Limit(1)").
    QString Field;

    bool IsEmpty() const { return Part.isEmpty(); }
    // "AnalogIn 3: SensorMax" or "Battery: LowBatteryVoltage"; empty when nothing failed.
    QString Text() const
    {
        if (Part.isEmpty())
            return QString();
        QString text = Part;
        if (Item > 0)
            text += QLatin1Char(' ') + QString::number(Item);
        if (!Field.isEmpty())
            text += QStringLiteral(": ") + Field;
        return text;
    }
};
