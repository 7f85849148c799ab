#include "datamodel/XelAnalogIn.h"

#include "datamodel/ImageAccess.h"
#include "datamodel/PartHelpers.h"
#include "datamodel/RecordIO.h"

namespace {
constexpr int kRpmPointBytes = 3068;

enum FlagA : quint8 {
    AActive = 1,
    AAbove = 2,
    AShutdown = 4,
    AAlarm = 8,
    AOnRunOnly = 16,
    ARunAlso = 32,
    AWarning = 128,
};
enum FlagB : quint8 {
    BBus = 2,
    BBusToo = 4,
    BNot4to20 = 8,
    BRpmDependent = 32,
    B0to10V = 64,
    BDoubleScale = 128,
};

bool ValidIndex(qint32 i) { return i == 0 || i == 1; }

quint8 InputTypeCode(qint32 inputType)
{
    switch (inputType) {
    case 1: return BNot4to20;
    case 2: return B0to10V | BNot4to20;
    case 3:
    case 4: return BBus | BBusToo | BNot4to20;
    default: return 0; // 4..20mA, and any unknown type
    }
}
} // namespace

XelAnalogIn::XelAnalogIn()
{
    m_rec.Terminal = FixedText::Blank(kTerminalLength);
    m_rec.Text = FixedText::Blank(kTextLength);
    m_rec.Units = FixedText::Blank(kUnitsLength);
    m_rec.Info = FixedText::Blank(kInfoLength);
    m_backup = m_rec;
}

void XelAnalogIn::SetIndex(qint32 v)
{
    if (FitsByte(v))
        m_rec.Index = quint8(v);
}

void XelAnalogIn::SetTerminal(const QString& v) { m_rec.Terminal = FixedText::Fit(v, kTerminalLength); }

void XelAnalogIn::SetSensorMin(qint32 v)
{
    if (ImageAccess::SignedWordFits(v))
        m_rec.SensorMin = v;
}

void XelAnalogIn::SetSensorMax(qint32 v)
{
    if (ImageAccess::SignedWordFits(v))
        m_rec.SensorMax = v;
}

QString XelAnalogIn::Text() const { return FixedText::TrimRight(m_rec.Text); }
void XelAnalogIn::SetText(const QString& v) { m_rec.Text = FixedText::Fit(v, kTextLength); }
QString XelAnalogIn::Units() const { return FixedText::TrimRight(m_rec.Units); }
void XelAnalogIn::SetUnits(const QString& v) { m_rec.Units = FixedText::Fit(v, kUnitsLength); }

void XelAnalogIn::SetInitialDelay(qint32 v)
{
    if (FitsByte(v))
        m_rec.InitialDelay = quint8(v);
}

void XelAnalogIn::SetAlarmDelay(qint32 v)
{
    if (FitsByte(v))
        m_rec.AlarmDelay = quint8(v);
}

qint32 XelAnalogIn::Limit(qint32 iIndex) const { return ValidIndex(iIndex) ? m_rec.Limit[iIndex] : 0; }

void XelAnalogIn::SetLimit(qint32 iIndex, qint32 v)
{
    if (ValidIndex(iIndex) && ImageAccess::SignedWordFits(v))
        m_rec.Limit[iIndex] = v;
}

void XelAnalogIn::SetAction(qint32 v)
{
    if (FitsByte(v))
        m_rec.Action = quint8(v);
}

void XelAnalogIn::SetActionDirection(qint32 v)
{
    if (FitsByte(v))
        m_rec.ActionDirection = quint8(v);
}

void XelAnalogIn::SetInputType(qint32 v)
{
    if (FitsInteger(v))
        m_rec.InputType = qint16(v);
}

qint32 XelAnalogIn::RPMLimit(qint32 iIndex) const { return ValidIndex(iIndex) ? m_rec.RPMLimit[iIndex] : 0; }

void XelAnalogIn::SetRPMLimit(qint32 iIndex, qint32 v)
{
    if (ValidIndex(iIndex) && FitsInteger(v))
        m_rec.RPMLimit[iIndex] = qint16(v);
}

qint32 XelAnalogIn::RPM(qint32 iIndex) const { return ValidIndex(iIndex) ? m_rec.RPM[iIndex] : 0; }

void XelAnalogIn::SetRPM(qint32 iIndex, qint32 v)
{
    if (ValidIndex(iIndex) && FitsInteger(v))
        m_rec.RPM[iIndex] = qint16(v);
}

QString XelAnalogIn::Info() const { return FixedText::TrimRight(m_rec.Info); }
void XelAnalogIn::SetInfo(const QString& v) { m_rec.Info = FixedText::Fit(v, kInfoLength); }

bool XelAnalogIn::SameRecord(const Record& a, const Record& b)
{
    // Index and Terminal are fixed by the channel set and never count as a change.
    return a.Active == b.Active && a.Text == b.Text && a.SensorMin == b.SensorMin
        && a.SensorMax == b.SensorMax && a.Units == b.Units && a.OnRunOnly == b.OnRunOnly
        && a.Action == b.Action && a.ActionDirection == b.ActionDirection
        && a.Limit[0] == b.Limit[0] && a.Limit[1] == b.Limit[1] && a.InputType == b.InputType
        && a.RUNAlsoDetectedBy == b.RUNAlsoDetectedBy && a.AlarmDelay == b.AlarmDelay
        && a.InitialDelay == b.InitialDelay && a.RPMLimit[0] == b.RPMLimit[0]
        && a.RPMLimit[1] == b.RPMLimit[1] && a.RPM[0] == b.RPM[0] && a.RPM[1] == b.RPM[1]
        && a.DoubleScale == b.DoubleScale && a.JValues == b.JValues && a.Info == b.Info;
}

bool XelAnalogIn::Changed() const { return !SameRecord(m_rec, m_backup); }

void XelAnalogIn::ResetBackup()
{
    m_rec.Text = FixedText::Normalise(m_rec.Text, kTextLength);
    m_rec.Units = FixedText::Normalise(m_rec.Units, kUnitsLength);
    m_backup = m_rec;
}

bool XelAnalogIn::ReadBase(RecordReader& reader)
{
    Record& r = m_rec;
    reader.Byte(r.Index);
    reader.FixedText(r.Terminal, kTerminalLength);
    reader.Boolean(r.Active);
    reader.FixedText(r.Text, kTextLength);
    reader.Long(r.SensorMin);
    reader.Long(r.SensorMax);
    reader.FixedText(r.Units, kUnitsLength);
    reader.Byte(r.Action);
    reader.Byte(r.ActionDirection);
    reader.Boolean(r.OnRunOnly);
    reader.Long(r.Limit[0]);
    reader.Long(r.Limit[1]);
    reader.Byte(r.InitialDelay);
    reader.Byte(r.AlarmDelay);
    reader.Boolean(r.RUNAlsoDetectedBy);
    return reader.Ok();
}

bool XelAnalogIn::ReadFromFile(RecordReader& reader, const QString& fileVersion)
{
    const FileVersion v = FileVersion::Parse(fileVersion);
    if (v.major > 2) {
        // No layout for a newer major version: the channel keeps its values.
        ResetBackup();
        return true;
    }
    Record& r = m_rec;
    ReadBase(reader);
    const bool current = v.AtLeast(2, 11);
    const bool withRpmLimits = v.major == 2 && v.minor >= 1 && !current;
    if (current) {
        reader.Boolean(r.DoubleScale);
        reader.Integer(r.InputType);
        reader.Data(r.JValues);
        reader.Integer(r.RPMLimit[0]);
        reader.Integer(r.RPMLimit[1]);
        reader.Integer(r.RPM[0]);
        reader.Integer(r.RPM[1]);
        reader.FixedText(r.Info, kInfoLength);
    } else if (v.AtLeast(2, 5)) {
        JData unused;
        reader.Boolean(r.DoubleScale);
        reader.Integer(r.InputType);
        reader.Data(unused);
        reader.Skip(4);
        reader.Integer(r.RPM[0]);
        reader.Integer(r.RPM[1]);
    } else if (v.AtLeast(2, 1)) {
        reader.Skip(2);
        reader.Integer(r.InputType);
        reader.Skip(6);
        reader.Integer(r.RPM[0]);
        reader.Integer(r.RPM[1]);
        reader.Skip(45);
    } else if (v.major == 2) {
        reader.Skip(2);
    }
    if (!reader.Ok())
        return false;

    if (!current) {
        if (!withRpmLimits) {
            r.InputType = 0;
            r.DoubleScale = false;
            r.RPMLimit[0] = r.RPMLimit[1] = 0;
            r.RPM[0] = 600;
            r.RPM[1] = 1200;
        } else {
            if (!v.AtLeast(2, 5))
                r.DoubleScale = false;
            for (int k = 0; k < 2; ++k) {
                if (!FitsInteger(r.Limit[k]))
                    return false;
                r.RPMLimit[k] = qint16(r.Limit[k]);
            }
        }
        r.Info = FixedText::Blank(kInfoLength);
    }
    ResetBackup();
    return true;
}

bool XelAnalogIn::WriteToFile(RecordWriter& writer)
{
    const Record& r = m_rec;
    writer.Byte(r.Index);
    writer.FixedText(r.Terminal, kTerminalLength);
    writer.Boolean(r.Active);
    writer.FixedText(r.Text, kTextLength);
    writer.Long(r.SensorMin);
    writer.Long(r.SensorMax);
    writer.FixedText(r.Units, kUnitsLength);
    writer.Byte(r.Action);
    writer.Byte(r.ActionDirection);
    writer.Boolean(r.OnRunOnly);
    writer.Long(r.Limit[0]);
    writer.Long(r.Limit[1]);
    writer.Byte(r.InitialDelay);
    writer.Byte(r.AlarmDelay);
    writer.Boolean(r.RUNAlsoDetectedBy);
    writer.Boolean(r.DoubleScale);
    writer.Integer(r.InputType);
    writer.Data(r.JValues);
    writer.Integer(r.RPMLimit[0]);
    writer.Integer(r.RPMLimit[1]);
    writer.Integer(r.RPM[0]);
    writer.Integer(r.RPM[1]);
    writer.FixedText(r.Info, kInfoLength);
    if (!writer.Ok())
        return false;
    if (!writer.KeepsBackup())
        ResetBackup();
    return true;
}

int XelAnalogIn::ImageBase(int n)
{
    if (n >= 1 && n <= 5)
        return 414 + 46 * (n - 1);
    if (n >= 6 && n <= 11)
        return 2062 + 46 * (n - 6);
    if (n >= 12 && n <= 17)
        return 2584 + 46 * (n - 12);
    return -1;
}

int XelAnalogIn::BlockBase(int n)
{
    if (n >= 1 && n <= 5)
        return 2860 + 8 * (n - 1);
    if (n >= 6 && n <= 17)
        return 2860 + 8 * (n + 2);
    return -1;
}

bool XelAnalogIn::PutSignedWord(QByteArray& image, int index, qint32 value) const
{
    // A value outside the round-trip range (only a damaged file holds one) is refused rather
    // than sent as a word that the unit would read as another value.
    if (!ImageAccess::SignedWordFits(value))
        return false;
    return ImageAccess::PutWord(image, index, ImageAccess::SignedToWord(value));
}

bool XelAnalogIn::GetSignedWord(const QByteArray& image, int index, qint32& value) const
{
    qint32 w = 0;
    if (!ImageAccess::GetWord(image, index, w))
        return false;
    value = ImageAccess::WordToSigned(w);
    return true;
}

bool XelAnalogIn::ToImage(QByteArray& image, QString* failedField) const
{
    using ImageAccess::Refuse;
    const int p = ImageBase(m_rec.Index);
    if (p < 0)
        return Refuse(failedField, QStringLiteral("Index"));
    if (!m_rec.Active) {
        if (!ImageAccess::PutByte(image, p, 0) || !ImageAccess::PutByte(image, p + 1, 0))
            return Refuse(failedField, QStringLiteral("Active"));
        return true;
    }

    quint8 b = InputTypeCode(m_rec.InputType);
    quint8 a = AActive;
    switch (m_rec.Action) {
    case 1: a |= AWarning; break;
    case 2: a |= AAlarm; break;
    case 3: a |= AShutdown; break;
    case 4: a |= AWarning | AAlarm; break;
    case 5: a |= AWarning | AShutdown; break;
    case 6: a |= AAlarm; b |= BRpmDependent; break;
    case 7: a |= AWarning; b |= BRpmDependent; break;
    case 8: a |= AShutdown; b |= BRpmDependent; break;
    default: break;
    }
    if (m_rec.ActionDirection == 0)
        a |= AAbove;
    if (m_rec.OnRunOnly)
        a |= AOnRunOnly;
    if (m_rec.RUNAlsoDetectedBy)
        a |= ARunAlso;

    if (!ImageAccess::PutByte(image, p + 11, m_rec.AlarmDelay))
        return Refuse(failedField, QStringLiteral("AlarmDelay"));
    if (!ImageAccess::PutByte(image, p + 10, m_rec.InitialDelay))
        return Refuse(failedField, QStringLiteral("InitialDelay"));
    if (!PutSignedWord(image, p + 2, m_rec.SensorMin))
        return Refuse(failedField, QStringLiteral("SensorMin"));
    if (!PutSignedWord(image, p + 4, m_rec.SensorMax))
        return Refuse(failedField, QStringLiteral("SensorMax"));
    if ((a & (AAlarm | AShutdown)) && !PutSignedWord(image, p + 8, m_rec.Limit[0]))
        return Refuse(failedField, QStringLiteral("Limit(0)"));
    if ((a & AWarning) && !PutSignedWord(image, p + 6, m_rec.Limit[1]))
        return Refuse(failedField, QStringLiteral("Limit(1)"));
    if (b & BRpmDependent) {
        if (!ImageAccess::PutWord(image, p + 8, m_rec.RPMLimit[0]))
            return Refuse(failedField, QStringLiteral("RPMLimit(0)"));
        if (!ImageAccess::PutWord(image, p + 6, m_rec.RPMLimit[1]))
            return Refuse(failedField, QStringLiteral("RPMLimit(1)"));
        if (!ImageAccess::PutWord(image, kRpmPointBytes, m_rec.RPM[0]))
            return Refuse(failedField, QStringLiteral("RPM(0)"));
        if (!ImageAccess::PutWord(image, kRpmPointBytes + 2, m_rec.RPM[1]))
            return Refuse(failedField, QStringLiteral("RPM(1)"));
    }
    const QString text = Text();
    if (!text.isEmpty() && !ImageAccess::PutBytes(image, p + 12, PartHelpers::TextToUnitBytes(text)))
        return Refuse(failedField, QStringLiteral("Text"));
    const QString units = Units();
    if (!units.isEmpty() && !ImageAccess::PutBytes(image, p + 42, PartHelpers::TextToUnitBytes(units)))
        return Refuse(failedField, QStringLiteral("Units"));
    // A warning channel that also detects RUN carries its limit in the alarm slot too.
    if ((a & ARunAlso) && (a & AWarning) && !(a & (AAlarm | AShutdown)) && !(b & BRpmDependent)
        && !PutSignedWord(image, p + 8, m_rec.Limit[1]))
        return Refuse(failedField, QStringLiteral("Limit(1)"));
    if (m_rec.DoubleScale)
        b |= BDoubleScale;
    if (!ImageAccess::PutByte(image, p, a) || !ImageAccess::PutByte(image, p + 1, b))
        return Refuse(failedField, QStringLiteral("Action"));

    if (b & BBus) {
        const int j = BlockBase(m_rec.Index);
        if (!ImageAccess::PutJBlock(image, j, m_rec.JValues, m_rec.JValues.iSub))
            return Refuse(failedField, QStringLiteral("JValues"));
        const quint8 bus = m_rec.InputType == 4 ? 64 : m_rec.InputType == 3 ? 128 : 0;
        if (bus && !ImageAccess::OrByte(image, j + 6, bus))
            return Refuse(failedField, QStringLiteral("JValues"));
    }
    return true;
}

bool XelAnalogIn::FromImage(const QByteArray& image, const QString& sFirmware)
{
    const int p = ImageBase(m_rec.Index);
    if (p < 0)
        return false;
    quint8 a = 0;
    quint8 b = 0;
    if (!ImageAccess::GetByte(image, p, a))
        return false;
    const bool hasFlagB = PartHelpers::HasSecondFlagByte(sFirmware);
    if (hasFlagB && !ImageAccess::GetByte(image, p + 1, b))
        return false;

    SetActive((a & AActive) != 0);
    if (!Active()) {
        SetAction(0);
        SetActionDirection(0);
        SetOnRunOnly(false);
        SetRUNAlsoDetectedBy(false);
        SetSensorMin(0);
        SetSensorMax(100);
        SetAlarmDelay(2);
        SetInitialDelay(0);
        SetLimit(0, 0);
        SetLimit(1, 0);
        SetText(QString());
        SetUnits(QString());
        return true;
    }

    const bool rpm = (b & BRpmDependent) != 0;
    if (a & AWarning)
        SetAction((a & AAlarm) ? 4 : (a & AShutdown) ? 5 : rpm ? 7 : 1);
    else if (a & AAlarm)
        SetAction(rpm ? 6 : 2);
    else if (a & AShutdown)
        SetAction(rpm ? 8 : 3);
    else
        SetAction(0);
    SetActionDirection((a & AAbove) ? 0 : 1);
    SetOnRunOnly((a & AOnRunOnly) != 0);
    SetRUNAlsoDetectedBy((a & ARunAlso) != 0);

    quint8 alarmDelay = 0, initialDelay = 0;
    if (!ImageAccess::GetByte(image, p + 11, alarmDelay))
        return false;
    SetAlarmDelay(alarmDelay);
    if (!ImageAccess::GetByte(image, p + 10, initialDelay))
        return false;
    SetInitialDelay(initialDelay);

    qint32 value = 0;
    if (!GetSignedWord(image, p + 2, value))
        return false;
    SetSensorMin(value);
    if (!GetSignedWord(image, p + 4, value))
        return false;
    SetSensorMax(value);

    if (!rpm) {
        if (a & (AAlarm | AShutdown)) {
            if (!GetSignedWord(image, p + 8, value))
                return false;
            SetLimit(0, value);
        }
        if (a & AWarning) {
            if (!GetSignedWord(image, p + 6, value))
                return false;
            SetLimit(1, value);
        }
    } else {
        // Plain words; one above 32767 does not fit the field and is dropped.
        if (!ImageAccess::GetWord(image, kRpmPointBytes, value))
            return false;
        SetRPM(0, value);
        if (!ImageAccess::GetWord(image, kRpmPointBytes + 2, value))
            return false;
        SetRPM(1, value);
        if (!ImageAccess::GetWord(image, p + 8, value))
            return false;
        SetRPMLimit(0, value);
        if (!ImageAccess::GetWord(image, p + 6, value))
            return false;
        SetRPMLimit(1, value);
    }

    QByteArray bytes;
    if (!ImageAccess::GetBytes(image, p + 42, kUnitsLength, bytes))
        return false;
    SetUnits(PartHelpers::UnitBytesToText(bytes));
    if (!ImageAccess::GetBytes(image, p + 12, kTextLength, bytes))
        return false;
    SetText(PartHelpers::UnitBytesToText(bytes));

    // The unit only ever reports double scale on; a clear bit says nothing.
    if (b & BDoubleScale)
        SetDoubleScale(true);

    if (b & BBus) {
        JData d;
        if (!ImageAccess::GetJBlock(image, BlockBase(m_rec.Index), d))
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
    } else {
        SetInputType((b & B0to10V) ? 2 : (b & BNot4to20) ? 1 : 0);
    }
    return true;
}
