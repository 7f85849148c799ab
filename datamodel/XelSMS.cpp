#include "datamodel/XelSMS.h"

#include "datamodel/RecordIO.h"
#include "datamodel/XelSMSNumber.h"
#include "datamodel/cSMSNumber.h"

namespace {
// Files before 2.6 hold no SMS data.
bool HasSmsData(const QString& fileVersion) { return FileVersion::Parse(fileVersion).AtLeast(2, 6); }
} // namespace

bool XelSMS::ReadFromFile(RecordReader& reader, const QString& fileVersion)
{
    if (!HasSmsData(fileVersion)) {
        m_rec = Record();
    } else {
        reader.Boolean(m_rec.Send);
        reader.Boolean(m_rec.CommonAlarm);
        reader.Boolean(m_rec.CommonShutdown);
        reader.Boolean(m_rec.AnyServiceInterval);
        reader.Boolean(m_rec.AllLoggedEvents);
        reader.Boolean(m_rec.SendToAll);
        if (!reader.Ok())
            return false;
    }
    ResetBackup();
    return true;
}

bool XelSMS::WriteToFile(RecordWriter& writer)
{
    writer.Boolean(m_rec.Send);
    writer.Boolean(m_rec.CommonAlarm);
    writer.Boolean(m_rec.CommonShutdown);
    writer.Boolean(m_rec.AnyServiceInterval);
    writer.Boolean(m_rec.AllLoggedEvents);
    writer.Boolean(m_rec.SendToAll);
    if (!writer.Ok())
        return false;
    if (!writer.KeepsBackup())
        ResetBackup();
    return true;
}

// ---- numbers ------------------------------------------------------------------------------

XelSMSNumber::XelSMSNumber()
{
    m_rec.Number = FixedText::Blank(kNumberLength);
    m_backup = m_rec;
}

void XelSMSNumber::SetIndex(qint32 v)
{
    if (FitsByte(v))
        m_rec.Index = quint8(v);
}

QString XelSMSNumber::Number() const { return FixedText::TrimBoth(m_rec.Number); }
void XelSMSNumber::SetNumber(const QString& v) { m_rec.Number = FixedText::Fit(v, kNumberLength); }

bool XelSMSNumber::ReadFromFile(RecordReader& reader, const QString& fileVersion)
{
    if (!HasSmsData(fileVersion)) {
        m_rec.InUse = false;
        m_rec.Number = FixedText::Blank(kNumberLength);
    } else {
        reader.Byte(m_rec.Index);
        reader.Boolean(m_rec.InUse);
        reader.FixedText(m_rec.Number, kNumberLength);
        if (!reader.Ok())
            return false;
    }
    ResetBackup();
    return true;
}

bool XelSMSNumber::WriteToFile(RecordWriter& writer)
{
    writer.Byte(m_rec.Index);
    writer.Boolean(m_rec.InUse);
    writer.FixedText(m_rec.Number, kNumberLength);
    if (!writer.Ok())
        return false;
    if (!writer.KeepsBackup())
        ResetBackup();
    return true;
}

XelSMSNumber* cSMSNumber::Add(qint32 iKey)
{
    XelSMSNumber* item = AddNew(iKey);
    if (item) {
        item->SetInUse(false);
        item->SetNumber(QString());
    }
    return item;
}
