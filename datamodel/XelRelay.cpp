#include "datamodel/XelRelay.h"

#include "extra/extra.h"
#include "datamodel/ImageAccess.h"
#include "datamodel/RecordIO.h"

namespace {

const int kOldOffset = 7;
const int kOldFirstShifted = 31;   // first code stored 7 lower by old firmware
const int kOldEncodeFrom = 38;     // first code the encoder lowers
const int kOldDropped = 38;        // reads as no function on old firmware
const qint32 kPropulsion = 2;

QString Padded(const QString& s, int n) { return FixedText::Fit(s, n); }

// A text cut at its first NUL, blank-filled to its width.
QString CleanText(const QString& s, int n)
{
    const int nul = s.indexOf(QChar(0));
    return nul < 0 ? s : Padded(s.left(nul), n);
}

} // namespace

XelRelay::XelRelay() = default;

QString XelRelay::FunctionText() const { return FixedText::TrimBoth(m_rec.functionText); }
void XelRelay::SetFunctionText(const QString& value) { m_rec.functionText = Padded(value, kFunctionTextLength); }
QString XelRelay::RelayText() const { return FixedText::TrimBoth(m_rec.relayText); }
void XelRelay::SetRelayText(const QString& value) { m_rec.relayText = Padded(value, kRelayTextLength); }

bool XelRelay::Changed() const
{
    return m_rec.inUse != m_backup.inUse || m_rec.functionNo != m_backup.functionNo
        || m_rec.relayText != m_backup.relayText;
}

void XelRelay::ResetBackup()
{
    m_rec.functionText = CleanText(m_rec.functionText, kFunctionTextLength);
    m_rec.relayText = CleanText(m_rec.relayText, kRelayTextLength);
    m_backup = m_rec;
}

bool XelRelay::IsOldFirmware(const QString& sFirmware)
{
    const int last = sFirmware.lastIndexOf(QLatin1Char('.'));
    const double afterLast = extra::NumericPrefix(last < 0 ? sFirmware : sFirmware.mid(last + 1));
    return FileVersion::Parse(sFirmware).major == 1 && afterLast < 9;
}

bool XelRelay::ReadFromFile(RecordReader& r, const QString& fileVersion, bool bNew, qint32 iOperationMode)
{
    const FileVersion v = FileVersion::Parse(fileVersion);
    Record& d = m_rec;
    if (v.major < 2 && !bNew) {
        QString text;
        r.Byte(d.index);
        r.Boolean(d.inUse);
        r.Skip(2);
        r.Byte(d.functionNo);
        r.FixedText(text, 30);
        if (!r.Ok())
            return false;
        d.functionText = Padded(text, kFunctionTextLength);
        d.relayText = FixedText::Blank(kRelayTextLength);
        if (v.minor < 9 && d.functionNo >= kOldFirstShifted && d.functionNo <= 248)
            d.functionNo += kOldOffset;
    } else if (v.major < 2) {
        // The terminal card's outputs did not exist yet: they take the functions the unit had fixed.
        quint8 code = 0;
        if (iOperationMode == kPropulsion)
            code = d.index == 2 ? 57 : 0;
        else
            code = d.index == 1 ? 63 : d.index == 2 ? 66 : 0;
        d.functionNo = code;
        d.inUse = code != 0;
    } else if (v.major == 2 && v.minor < 7) {
        QString text;
        r.Byte(d.index);
        r.Boolean(d.inUse);
        r.Byte(d.functionNo);
        r.FixedText(text, 30);
        if (r.Ok())
            d.functionText = Padded(text, kFunctionTextLength);
        r.FixedText(d.relayText, kRelayTextLength);
        if (!r.Ok())
            return false;
    } else if (v.major == 2) {
        r.Byte(d.index);
        r.Boolean(d.inUse);
        r.Byte(d.functionNo);
        r.FixedText(d.functionText, kFunctionTextLength);
        r.FixedText(d.relayText, kRelayTextLength);
        if (!r.Ok())
            return false;
    }
    ResetBackup();
    return true;
}

bool XelRelay::WriteToFile(RecordWriter& w)
{
    w.Byte(m_rec.index);
    w.Boolean(m_rec.inUse);
    w.Byte(m_rec.functionNo);
    w.FixedText(m_rec.functionText, kFunctionTextLength);
    w.FixedText(m_rec.relayText, kRelayTextLength);
    if (!w.Ok())
        return false;
    if (!w.KeepsBackup())
        ResetBackup();
    return true;
}

bool XelRelay::ToImage(QByteArray& image, const QString& sFirmware, bool bNew, QString* failedField) const
{
    // An Index outside its own area would overwrite another part's bytes.
    const int count = bNew ? kNewImageCount : kImageCount;
    if (m_rec.index < 1 || m_rec.index > count)
        return ImageAccess::Refuse(failedField, QStringLiteral("Index"));
    const int at = (bNew ? kNewImageStart : kImageStart) + m_rec.index - 1;
    int code = m_rec.functionNo;
    if (!bNew && code >= kOldEncodeFrom && IsOldFirmware(sFirmware))
        code -= kOldOffset;
    if (!ImageAccess::PutByte(image, at, code))
        return ImageAccess::Refuse(failedField, QStringLiteral("FunctionNo"));
    return true;
}

bool XelRelay::FromImage(const QByteArray& image, const QString& sFirmware, bool bNew)
{
    m_rec.inUse = false;
    SetFunctionText(QString());
    const int at = (bNew ? kNewImageStart : kImageStart) + m_rec.index - 1;
    quint8 b = 0;
    if (!ImageAccess::GetByte(image, at, b))
        return false;
    m_rec.functionNo = b;
    int code = b;
    if (code >= kOldFirstShifted && IsOldFirmware(sFirmware)) {
        if (code == kOldDropped)
            code = 0;
        else if (code + kOldOffset > 255)
            return false;
        else
            code += kOldOffset;
    }
    m_rec.functionNo = quint8(code);
    m_rec.inUse = code != 0;
    return true;
}
