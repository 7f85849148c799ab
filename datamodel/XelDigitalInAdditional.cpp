#include "datamodel/XelDigitalInAdditional.h"

#include "datamodel/ImageAccess.h"
#include "datamodel/RecordIO.h"
#include "datamodel/cDigitalInAdditional.h"

namespace {
constexpr int kFunctionByteBase = 2537;
constexpr int kInputs = 2;

// Only inputs 1 and 2 have a byte; 2537 + any other index lands in another part's bytes.
bool HasImageByte(quint8 index) { return index >= 1 && index <= kInputs; }
} // namespace

XelDigitalInAdditional::XelDigitalInAdditional()
{
    m_rec.Text = FixedText::Blank(kTextLength);
    m_backup = m_rec;
}

void XelDigitalInAdditional::SetIndex(qint32 v)
{
    if (FitsByte(v))
        m_rec.Index = quint8(v);
}

void XelDigitalInAdditional::SetFunctionNo(qint32 v)
{
    if (FitsByte(v))
        m_rec.FunctionNo = quint8(v);
}

void XelDigitalInAdditional::SetTerminal(qint32 v)
{
    if (FitsInteger(v))
        m_rec.Terminal = qint16(v);
}

QString XelDigitalInAdditional::Text() const { return FixedText::TrimBoth(m_rec.Text); }
void XelDigitalInAdditional::SetText(const QString& v) { m_rec.Text = FixedText::Fit(v, kTextLength); }

bool XelDigitalInAdditional::Changed() const
{
    return m_rec.Terminal != m_backup.Terminal || m_rec.FunctionNo != m_backup.FunctionNo
        || m_rec.InUse != m_backup.InUse || m_rec.Text != m_backup.Text;
}

bool XelDigitalInAdditional::ReadFromFile(RecordReader& reader, const QString& fileVersion)
{
    const FileVersion v = FileVersion::Parse(fileVersion);
    if (v.major < 2) {
        // Files before 2.0 have no record for these inputs.
        m_rec.InUse = false;
        m_rec.FunctionNo = 0;
        m_rec.Text = FixedText::Blank(kTextLength);
    } else {
        reader.Byte(m_rec.Index);
        reader.Boolean(m_rec.InUse);
        reader.Byte(m_rec.FunctionNo);
        reader.Integer(m_rec.Terminal);
        reader.FixedText(m_rec.Text, kTextLength);
        if (!reader.Ok())
            return false;
    }
    ResetBackup();
    return true;
}

bool XelDigitalInAdditional::WriteToFile(RecordWriter& writer)
{
    writer.Byte(m_rec.Index);
    writer.Boolean(m_rec.InUse);
    writer.Byte(m_rec.FunctionNo);
    writer.Integer(m_rec.Terminal);
    writer.FixedText(m_rec.Text, kTextLength);
    if (!writer.Ok())
        return false;
    if (!writer.KeepsBackup())
        ResetBackup();
    return true;
}

bool XelDigitalInAdditional::FromImage(const QByteArray& image)
{
    if (!HasImageByte(m_rec.Index))
        return false;
    SetInUse(false);
    quint8 f = 0;
    if (!ImageAccess::GetByte(image, kFunctionByteBase + m_rec.Index, f))
        return false;
    SetFunctionNo(f);
    SetInUse(f != 0);
    return true;
}

bool XelDigitalInAdditional::ToImage(QByteArray& image, QString* failedField) const
{
    if (!HasImageByte(m_rec.Index))
        return ImageAccess::Refuse(failedField, QStringLiteral("Index"));
    if (!ImageAccess::PutByte(image, kFunctionByteBase + m_rec.Index, m_rec.FunctionNo))
        return ImageAccess::Refuse(failedField, QStringLiteral("FunctionNo"));
    return true;
}

// ---- collection ---------------------------------------------------------------------------

XelDigitalInAdditional* cDigitalInAdditional::Add(qint32 iKey, qint32 iTerminal)
{
    XelDigitalInAdditional* item = AddNew(iKey);
    if (item) {
        item->SetTerminal(iTerminal);
        item->SetText(QString());
    }
    return item;
}

bool cDigitalInAdditional::FromImage(const QByteArray& image)
{
    return ForEachUntilFalse([&](XelDigitalInAdditional& d) { return d.FromImage(image); });
}

bool cDigitalInAdditional::ToImage(QByteArray& image, SetupFault* fault) const
{
    return EncodeEach(fault, [&](XelDigitalInAdditional& d, QString* field) { return d.ToImage(image, field); });
}
