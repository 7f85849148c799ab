#pragma once
// When text messages are sent. Kept in the setup file only (12 bytes); never in the unit image
// and never counted as a change of the setup.
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QString>

class RecordReader;
class RecordWriter;

class XELQRN_EXPORT XelSMS {
public:
    static constexpr int kRecordBytes = 12;

    bool Send() const { return m_rec.Send; }
    void SetSend(bool v) { m_rec.Send = v; }
    bool CommonAlarm() const { return m_rec.CommonAlarm; }
    void SetCommonAlarm(bool v) { m_rec.CommonAlarm = v; }
    bool CommonShutdown() const { return m_rec.CommonShutdown; }
    void SetCommonShutdown(bool v) { m_rec.CommonShutdown = v; }
    bool AnyServiceInterval() const { return m_rec.AnyServiceInterval; }
    void SetAnyServiceInterval(bool v) { m_rec.AnyServiceInterval = v; }
    bool AllLoggedEvents() const { return m_rec.AllLoggedEvents; }
    void SetAllLoggedEvents(bool v) { m_rec.AllLoggedEvents = v; }
    bool SendToAll() const { return m_rec.SendToAll; }
    void SetSendToAll(bool v) { m_rec.SendToAll = v; }

    // Library-internal.
    bool Changed() const { return false; }
    void ResetBackup() { m_backup = m_rec; }
    bool ReadFromFile(RecordReader& reader, const QString& fileVersion);
    bool WriteToFile(RecordWriter& writer);
    bool FromImage(const QByteArray&) { return true; }
    bool ToImage(QByteArray&) const { return true; }

private:
    struct Record {
        bool Send = false;
        bool CommonAlarm = false;
        bool CommonShutdown = false;
        bool AnyServiceInterval = false;
        bool AllLoggedEvents = false;
        bool SendToAll = false;
    };
    Record m_rec;
    Record m_backup;
};
