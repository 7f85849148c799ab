#include "datamodel/cRelay.h"

#include "datamodel/ImageAccess.h"
#include "datamodel/RecordIO.h"

XelRelay* cRelay::Add(qint32 iKey, const QString& sText, const QString& sRelayText)
{
    XelRelay* item = AddNew(iKey);
    if (!item)
        return nullptr;
    item->SetFunctionText(sText);
    item->SetRelayText(sRelayText);
    return item;
}

bool cRelay::Changed() const { return XelCollection<XelRelay>::Changed() || m_t44DisableBW != m_t44Backup; }

void cRelay::ResetBackup()
{
    XelCollection<XelRelay>::ResetBackup();
    m_t44Backup = m_t44DisableBW;
}

bool cRelay::ReadFromFile(RecordReader& r, const QString& fileVersion)
{
    if (FileVersion::Parse(fileVersion).AtLeast(2, 9)) {
        bool flag = false;
        if (!r.Boolean(flag))
            return false;
        m_t44DisableBW = flag;
    } else {
        m_t44DisableBW = false;
    }
    m_t44Backup = m_t44DisableBW;
    return true;
}

bool cRelay::WriteToFile(RecordWriter& w)
{
    if (!w.Boolean(m_t44DisableBW))
        return false;
    if (!w.KeepsBackup())
        m_t44Backup = m_t44DisableBW;
    return true;
}

bool cRelay::FromImage(const QByteArray& image, const QString& sFirmware, bool bNew)
{
    const bool ok = ForEachUntilFalse([&](XelRelay& r) { return r.FromImage(image, sFirmware, bNew); });
    // An image too short for the flag leaves it as it is.
    quint8 b = 0;
    if (ImageAccess::GetByte(image, kT44DisableBWByte, b))
        m_t44DisableBW = b != 0;
    return ok;
}

bool cRelay::ToImage(QByteArray& image, const QString& sFirmware, bool bNew, SetupFault* fault) const
{
    const bool ok = EncodeEach(fault, [&](XelRelay& r, QString* field) { return r.ToImage(image, sFirmware, bNew, field); });
    ImageAccess::PutByte(image, kT44DisableBWByte, m_t44DisableBW ? 1 : 0);
    return ok;
}
