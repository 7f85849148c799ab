#include "datamodel/XelDigitalIn.h"

#include "datamodel/ImageAccess.h"
#include "datamodel/PartHelpers.h"
#include "datamodel/RecordIO.h"

namespace {
constexpr int kFirstInputByte = 6;
constexpr int kInputBytes = 34;
constexpr int kOperationModeByte = 669;
constexpr quint8 kPropulsion = 2;

enum FlagBits : quint8 {
    FlagActive = 1,
    FlagNormallyOpen = 2,
    FlagShutdown = 4,
    FlagAlarm = 8,
    FlagOnRunOnly = 16,
    FlagRunAlso = 32,
    FlagWarning = 128,
};
enum ExtraBits : quint8 {
    ExtraBrokenWire = 1,
    ExtraBus = 2,
};
} // namespace

XelDigitalIn::XelDigitalIn()
{
    m_rec.Terminal = FixedText::Blank(kTerminalLength);
    m_rec.Text = FixedText::Blank(kTextLength);
    m_rec.Info = FixedText::Blank(kInfoLength);
    m_backup = m_rec;
}

void XelDigitalIn::SetIndex(qint32 v)
{
    if (FitsByte(v))
        m_rec.Index = quint8(v);
}

void XelDigitalIn::SetTerminal(const QString& v) { m_rec.Terminal = FixedText::Fit(v, kTerminalLength); }

void XelDigitalIn::SetSwitchType(qint32 v)
{
    if (FitsByte(v))
        m_rec.SwitchType = quint8(v);
}

void XelDigitalIn::SetAction(qint32 v)
{
    if (FitsByte(v))
        m_rec.Action = quint8(v);
}

void XelDigitalIn::SetDelay(qint32 v)
{
    if (FitsByte(v))
        m_rec.Delay = quint8(v);
}

QString XelDigitalIn::Text() const { return FixedText::TrimRight(m_rec.Text); }

void XelDigitalIn::SetText(const QString& v) { m_rec.Text = FixedText::Fit(v, kTextLength); }

void XelDigitalIn::SetInitialDelay(qint32 v)
{
    if (FitsByte(v))
        m_rec.InitialDelay = quint8(v);
}

void XelDigitalIn::SetInputType(qint32 v)
{
    if (FitsInteger(v))
        m_rec.InputType = qint16(v);
}

void XelDigitalIn::SetInfo(const QString& v) { m_rec.Info = FixedText::Fit(v, kInfoLength); }

bool XelDigitalIn::Changed() const
{
    const Record& a = m_rec;
    const Record& b = m_backup;
    // Index and Terminal are fixed by the channel set and never count as a change.
    return a.Active != b.Active || a.Text != b.Text || a.Action != b.Action
        || a.SwitchType != b.SwitchType || a.OnRunOnly != b.OnRunOnly
        || a.InitialDelay != b.InitialDelay || a.Delay != b.Delay
        || a.RUNAlsoDetectedBy != b.RUNAlsoDetectedBy
        || a.BrokenWireDetection != b.BrokenWireDetection || a.InputType != b.InputType
        || a.Info != b.Info || !(a.JValues == b.JValues);
}

void XelDigitalIn::ResetBackup()
{
    m_rec.Text = FixedText::Normalise(m_rec.Text, kTextLength);
    m_backup = m_rec;
}

bool XelDigitalIn::ReadFromFile(RecordReader& reader, const QString& fileVersion)
{
    const FileVersion v = FileVersion::Parse(fileVersion);
    if (v.major <= 2) {
        Record& r = m_rec;
        reader.Byte(r.Index);
        reader.FixedText(r.Terminal, kTerminalLength);
        reader.Boolean(r.Active);
        reader.FixedText(r.Text, kTextLength);
        reader.Byte(r.Action);
        reader.Byte(r.SwitchType);
        reader.Boolean(r.OnRunOnly);
        reader.Byte(r.InitialDelay);
        reader.Byte(r.Delay);
        reader.Boolean(r.RUNAlsoDetectedBy);
        if (v.major == 2)
            reader.Boolean(r.BrokenWireDetection);
        if (v.AtLeast(2, 11)) {
            reader.Data(r.JValues);
            reader.Integer(r.InputType);
            reader.FixedText(r.Info, kInfoLength);
        } else if (v.AtLeast(2, 8)) {
            JData unused; // older files hold a bus parameter that is not taken
            reader.Data(unused);
            reader.Integer(r.InputType);
        }
        if (!reader.Ok())
            return false;
        if (v.major < 2)
            r.BrokenWireDetection = false;
        if (!v.AtLeast(2, 8))
            r.InputType = 0;
        if (!v.AtLeast(2, 11))
            r.Info = FixedText::Blank(kInfoLength);
    }
    // A newer major version has no layout here: the item keeps its values.
    ResetBackup();
    return true;
}

bool XelDigitalIn::WriteToFile(RecordWriter& writer)
{
    const Record& r = m_rec;
    writer.Byte(r.Index);
    writer.FixedText(r.Terminal, kTerminalLength);
    writer.Boolean(r.Active);
    writer.FixedText(r.Text, kTextLength);
    writer.Byte(r.Action);
    writer.Byte(r.SwitchType);
    writer.Boolean(r.OnRunOnly);
    writer.Byte(r.InitialDelay);
    writer.Byte(r.Delay);
    writer.Boolean(r.RUNAlsoDetectedBy);
    writer.Boolean(r.BrokenWireDetection);
    writer.Data(r.JValues);
    writer.Integer(r.InputType);
    writer.FixedText(r.Info, kInfoLength);
    if (!writer.Ok())
        return false;
    if (!writer.KeepsBackup())
        ResetBackup();
    return true;
}

int XelDigitalIn::ImageBase() const
{
    if (m_rec.Index < 1 || m_rec.Index > 12)
        return -1;
    return kFirstInputByte + kInputBytes * (m_rec.Index - 1);
}

int XelDigitalIn::BlockBase() const
{
    // Inputs 1 to 9 have no block: those bytes belong to the analog inputs and other parts.
    if (m_rec.Index < 10 || m_rec.Index > 12)
        return -1;
    return 2860 + 8 * (m_rec.Index + 11);
}

bool XelDigitalIn::FromImage(const QByteArray& image, const QString& sFirmware)
{
    const int b = ImageBase();
    if (b < 0)
        return false;
    quint8 f = 0;
    quint8 e = 0;
    if (!ImageAccess::GetByte(image, b, f))
        return false;
    if (PartHelpers::HasSecondFlagByte(sFirmware) && !ImageAccess::GetByte(image, b + 3, e))
        return false;

    SetActive((f & FlagActive) != 0);
    if (!Active()) {
        SetSwitchType(0);
        quint8 mode = 0;
        if (!ImageAccess::GetByte(image, kOperationModeByte, mode))
            return false;
        SetAction(mode == kPropulsion ? 1 : 2);
        SetOnRunOnly(false);
        SetRUNAlsoDetectedBy(false);
        SetDelay(2);
        SetInitialDelay(15);
        SetText(QString());
        return true;
    }

    SetSwitchType((f & FlagNormallyOpen) ? 1 : 0);
    if (f & FlagAlarm)
        SetAction(2);
    else if (f & FlagShutdown)
        SetAction(3);
    else if (f & FlagWarning)
        SetAction(1);
    SetOnRunOnly((f & FlagOnRunOnly) != 0);
    SetRUNAlsoDetectedBy((f & FlagRunAlso) != 0);
    SetBrokenWireDetection((e & ExtraBrokenWire) != 0);

    quint8 delay = 0, initial = 0;
    if (!ImageAccess::GetByte(image, b + 2, delay))
        return false;
    SetDelay(delay);
    if (!ImageAccess::GetByte(image, b + 1, initial))
        return false;
    SetInitialDelay(initial);

    QByteArray text;
    if (!ImageAccess::GetBytes(image, b + 4, kTextLength, text))
        return false;
    SetText(PartHelpers::UnitBytesToText(text));

    const int j = BlockBase();
    if ((e & ExtraBus) && j >= 0) {
        JData d;
        if (!ImageAccess::GetJBlock(image, j, d))
            return false;
        const quint8 s = d.iShr;
        if (s & 64) {
            SetInputType(4);
            d.iShr = quint8(s - 64);
        } else if (s & 128) {
            SetInputType(3);
            d.iShr = quint8(s - 128);
        } else {
            d.iShr = 0;
        }
        SetJValues(d);
    }
    return true;
}

bool XelDigitalIn::ToImage(QByteArray& image, QString* failedField) const
{
    using ImageAccess::Refuse;
    const int b = ImageBase();
    if (b < 0)
        return Refuse(failedField, QStringLiteral("Index"));
    if (!m_rec.Active) {
        if (!ImageAccess::PutByte(image, b, 0) || !ImageAccess::PutByte(image, b + 3, 0))
            return Refuse(failedField, QStringLiteral("Active"));
        return true;
    }

    quint8 flags = FlagActive;
    if (m_rec.SwitchType == 1)
        flags |= FlagNormallyOpen;
    switch (m_rec.Action) {
    case 1: flags |= FlagWarning; break;
    case 2: flags |= FlagAlarm; break;
    case 3: flags |= FlagShutdown; break;
    default: break;
    }
    if (m_rec.OnRunOnly)
        flags |= FlagOnRunOnly;
    if (m_rec.RUNAlsoDetectedBy)
        flags |= FlagRunAlso;
    quint8 extraFlags = 0;
    if (m_rec.BrokenWireDetection)
        extraFlags |= ExtraBrokenWire;
    if (m_rec.InputType != 0)
        extraFlags |= ExtraBus;

    if (!ImageAccess::PutByte(image, b + 2, m_rec.Delay))
        return Refuse(failedField, QStringLiteral("Delay"));
    if (!ImageAccess::PutByte(image, b + 1, m_rec.InitialDelay))
        return Refuse(failedField, QStringLiteral("InitialDelay"));
    const QString text = Text();
    if (!text.isEmpty() && !ImageAccess::PutBytes(image, b + 4, PartHelpers::TextToUnitBytes(text)))
        return Refuse(failedField, QStringLiteral("Text"));
    if (!ImageAccess::PutByte(image, b, flags) || !ImageAccess::PutByte(image, b + 3, extraFlags))
        return Refuse(failedField, QStringLiteral("Action"));

    const int j = BlockBase();
    if ((extraFlags & ExtraBus) && j >= 0) {
        if (!ImageAccess::PutJBlock(image, j, m_rec.JValues, quint8(m_rec.Index - 1)))
            return Refuse(failedField, QStringLiteral("JValues"));
        const quint8 bus = m_rec.InputType == 4 ? 64 : m_rec.InputType == 3 ? 128 : 0;
        if (bus && !ImageAccess::OrByte(image, j + 6, bus))
            return Refuse(failedField, QStringLiteral("JValues"));
    }
    return true;
}
