#include "datamodel/XelInstrument.h"

#include "datamodel/ImageAccess.h"
#include "datamodel/RecordIO.h"
#include "datamodel/cInstrument.h"

namespace {
constexpr int kFirstSlot = 3052;
}

XelInstrument::XelInstrument()
{
    m_rec.FunctionText = FixedText::Blank(kTextLength);
    m_backup = m_rec;
}

void XelInstrument::SetIndex(qint32 v)
{
    if (FitsByte(v))
        m_rec.Index = quint8(v);
}

void XelInstrument::SetFunctionNo(qint32 v)
{
    if (FitsByte(v))
        m_rec.FunctionNo = quint8(v);
}

QString XelInstrument::FunctionText() const { return FixedText::TrimBoth(m_rec.FunctionText); }
void XelInstrument::SetFunctionText(const QString& v) { m_rec.FunctionText = FixedText::Fit(v, kTextLength); }

void XelInstrument::SetInstrumentType(qint32 v)
{
    if (FitsInteger(v))
        m_rec.InstrumentType = qint16(v);
}

bool XelInstrument::Changed() const
{
    return m_rec.InUse != m_backup.InUse || m_rec.FunctionText != m_backup.FunctionText
        || m_rec.InstrumentType != m_backup.InstrumentType;
}

void XelInstrument::ResetBackup()
{
    const int nul = m_rec.FunctionText.indexOf(QChar(0));
    if (nul >= 0)
        m_rec.FunctionText = FixedText::Fit(m_rec.FunctionText.left(nul), kTextLength);
    m_backup = m_rec;
}

bool XelInstrument::ReadFromFile(RecordReader& reader, const QString& fileVersion)
{
    const FileVersion v = FileVersion::Parse(fileVersion);
    if (v.major < 2) {
        m_rec.InUse = false;
        m_rec.FunctionNo = 0;
        m_rec.InstrumentType = 0;
        m_rec.FunctionText = FixedText::Blank(kTextLength);
    } else {
        reader.Byte(m_rec.Index);
        reader.Boolean(m_rec.InUse);
        reader.Byte(m_rec.FunctionNo);
        reader.FixedText(m_rec.FunctionText, kTextLength);
        reader.Integer(m_rec.InstrumentType);
        if (!reader.Ok())
            return false;
    }
    ResetBackup();
    return true;
}

bool XelInstrument::WriteToFile(RecordWriter& writer)
{
    writer.Byte(m_rec.Index);
    writer.Boolean(m_rec.InUse);
    writer.Byte(m_rec.FunctionNo);
    writer.FixedText(m_rec.FunctionText, kTextLength);
    writer.Integer(m_rec.InstrumentType);
    if (!writer.Ok())
        return false;
    if (!writer.KeepsBackup())
        ResetBackup();
    return true;
}

bool XelInstrument::HasSlot() const { return m_rec.Index >= 1 && m_rec.Index <= kSlots; }

bool XelInstrument::FromImage(const QByteArray& image)
{
    // The image has four slots; an instrument without one is left as it is.
    if (!HasSlot())
        return true;
    SetInUse(false);
    SetFunctionText(QString());
    quint8 f = 0;
    if (!ImageAccess::GetByte(image, kFirstSlot + 4 * (m_rec.Index - 1), f))
        return false;
    SetFunctionNo(f);
    SetInUse(f != 0);
    return true;
}

bool XelInstrument::ToImage(QByteArray& image, QString* failedField) const
{
    // The function code goes where the decoder takes it from; the rest of the slot is the unit's.
    // Past the fourth slot lie the speed points: an instrument without a slot writes nothing.
    if (!HasSlot())
        return true;
    if (!ImageAccess::PutByte(image, kFirstSlot + 4 * (m_rec.Index - 1), m_rec.FunctionNo))
        return ImageAccess::Refuse(failedField, QStringLiteral("FunctionNo"));
    return true;
}

// ---- collection ---------------------------------------------------------------------------

XelInstrument* cInstrument::Add(qint32 iKey, const QString& sText)
{
    XelInstrument* item = AddNew(iKey);
    if (item)
        item->SetFunctionText(sText);
    return item;
}

bool cInstrument::FromImage(const QByteArray& image)
{
    return ForEachUntilFalse([&](XelInstrument& d) { return d.FromImage(image); });
}

bool cInstrument::ToImage(QByteArray& image, SetupFault* fault) const
{
    return EncodeEach(fault, [&](XelInstrument& d, QString* field) { return d.ToImage(image, field); });
}
