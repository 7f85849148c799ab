#pragma once
// JData: one J1939/J1587 engine-data selection (how the unit reads one value from the bus).
// On disk it is 12 bytes: iTimeout, iMID, lPID (4), lPPID (4), iShr, iSub (see RecordIO).
// In the unit image it is an 8-byte J-parameter block (see JBlock in ImageAccess.h).
#include "datamodel/XelQrnExport.h"
#include <QtGlobal>

struct JData {
    quint8 iTimeout = 0;
    quint8 iMID = 0;
    qint32 lPID = 0;
    qint32 lPPID = 0;
    quint8 iShr = 0;
    quint8 iSub = 0;

    friend bool operator==(const JData&, const JData&) = default;
};
