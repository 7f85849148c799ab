#include "datamodel/XelSpeedRelay.h"

#include "datamodel/ImageAccess.h"
#include "datamodel/RecordIO.h"

namespace {

// Speed relay codes used to be 7 lower; codes below the first speed relay code are from then.
const int kFirstSpeedRelayCode = 58;
const int kOldCodeOffset = 7;

} // namespace

XelSpeedRelay::XelSpeedRelay() = default;

QString XelSpeedRelay::Descript() const { return FixedText::TrimBoth(m_rec.descript); }

void XelSpeedRelay::SetDescript(const QString& value)
{
    m_rec.descript = FixedText::Fit(value, kDescriptLength);
}

bool XelSpeedRelay::Changed() const { return m_rec.inUse != m_backup.inUse || m_rec.rpm != m_backup.rpm; }
void XelSpeedRelay::ResetBackup() { m_backup = m_rec; }

bool XelSpeedRelay::ReadFromFile(RecordReader& r, const QString&)
{
    r.Byte(m_rec.index);
    r.Boolean(m_rec.inUse);
    r.Integer(m_rec.rpm);
    r.Byte(m_rec.functionNo);
    r.FixedText(m_rec.descript, kDescriptLength);
    if (!r.Ok())
        return false;
    CarryOldCode();
    ResetBackup();
    return true;
}

bool XelSpeedRelay::WriteToFile(RecordWriter& w)
{
    w.Byte(m_rec.index);
    w.Boolean(m_rec.inUse);
    w.Integer(m_rec.rpm);
    w.Byte(m_rec.functionNo);
    w.FixedText(m_rec.descript, kDescriptLength);
    if (!w.Ok())
        return false;
    if (!w.KeepsBackup())
        ResetBackup();
    return true;
}

bool XelSpeedRelay::ToImage(QByteArray& image, QString* failedField) const
{
    // An Index outside the speed relay registers would overwrite another part's bytes.
    if (m_rec.index < 1 || m_rec.index > kImageCount)
        return ImageAccess::Refuse(failedField, QStringLiteral("Index"));
    if (!ImageAccess::PutWord(image, kImageStart + 2 * (m_rec.index - 1), m_rec.inUse ? m_rec.rpm : 0))
        return ImageAccess::Refuse(failedField, QStringLiteral("RPM"));
    return true;
}

bool XelSpeedRelay::FromImage(const QByteArray& image)
{
    qint32 word = 0;
    if (!ImageAccess::GetWord(image, kImageStart + 2 * (m_rec.index - 1), word) || word > 32767)
        return false;
    m_rec.rpm = qint16(word);
    m_rec.inUse = m_rec.rpm >= 1;
    CarryOldCode();
    return true;
}

void XelSpeedRelay::CarryOldCode()
{
    if (m_rec.functionNo < kFirstSpeedRelayCode)
        m_rec.functionNo += kOldCodeOffset;
}
