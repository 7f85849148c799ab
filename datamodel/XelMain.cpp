#include "datamodel/XelMain.h"

#include "extra/extra.h"
#include "datamodel/ImageAccess.h"
#include "datamodel/RecordIO.h"
#include "platform/SystemInfo.h"

#include <bit>

namespace {

// Engine-hour sources: the unit's read instructions for the two built-in sources.
const quint8 kEngineHours1[8] = {20, 64, 229, 0, 24, 254, 64, 0};
const quint8 kEngineHours2[8] = {0, 127, 247, 0, 0, 0, 128, 0};
const int kEngineHoursAt = 2908;
const int kShutdownOverrideCode = 90;
const qint32 kNoSPN = 65535;

QDateTime ZeroDate() { return QDateTime(QDate(1899, 12, 30), QTime(0, 0)); }

// Bit for bit, so a NaN day count equals itself and -0 differs from 0.
bool SameBits(double a, double b) { return std::bit_cast<quint64>(a) == std::bit_cast<quint64>(b); }

// Number of record fields on disk for a file version.
int FieldsOnDisk(qint32 major, qint32 minor)
{
    if (major < 2)
        return 4;
    if (major >= 3)
        return 0;
    if (minor < 1)
        return 6;
    if (minor < 7)
        return 10;
    if (minor < 9)
        return 11;
    if (minor < 11)
        return 14;
    if (minor < 12)
        return 15;
    if (minor < 13)
        return 18;
    if (minor < 14)
        return 20;
    if (minor < 15)
        return 29;
    return 30;
}

} // namespace

XelMain::XelMain() { m_backup = m_rec; }

QDateTime XelMain::FirmwareDate() const
{
    QDateTime date;
    if (!DoubleToDate(m_rec.firmwareDate, date))
        return ZeroDate();
    return date;
}

void XelMain::SetOperationMode(qint32 value)
{
    if (value >= 0 && value <= 255)
        m_rec.operationMode = quint8(value);
}

void XelMain::ResetChangedFlagClassified() { m_backup.classified = m_rec.classified; }

void XelMain::SetFirmwareText(const QString& text)
{
    m_rec.firmware = FixedText::Fit(text, kFirmwareLength);
}

void XelMain::RecordTransfer(MainFirmwareDirection direction, const QString& firmware, const QDateTime& when)
{
    SetFirmwareText(firmware);
    m_rec.firmwareDirection = quint8(direction);
    m_rec.firmwareDate = DateToDouble(when);
}

bool XelMain::MainGroupDiffers() const
{
    const Record& a = m_rec;
    const Record& b = m_backup;
    return a.operationMode != b.operationMode || a.language != b.language || a.idNumber != b.idNumber
        || a.runDelay != b.runDelay || a.lcdLight != b.lcdLight || a.invertLCDOnAlarm != b.invertLCDOnAlarm
        || a.can != b.can || a.canNumber != b.canNumber || a.canPIDTimeout != b.canPIDTimeout
        || a.engineType != b.engineType || a.classified != b.classified || a.printerOutput != b.printerOutput
        || a.ackOnWarning != b.ackOnWarning || a.engineHours != b.engineHours || a.canSPN != b.canSPN
        || a.canProtectLamp != b.canProtectLamp || a.canDiagnose != b.canDiagnose
        || a.shutdownOverride != b.shutdownOverride;
}

bool XelMain::FirmwareGroupDiffers() const
{
    return m_rec.firmware != m_backup.firmware || m_rec.firmwareDirection != m_backup.firmwareDirection
        || !SameBits(m_rec.firmwareDate, m_backup.firmwareDate);
}

bool XelMain::Changed()
{
    const bool main = MainGroupDiffers();
    const bool firmware = FirmwareGroupDiffers();
    m_firmwareOnly = !main && firmware;
    return main || firmware;
}

void XelMain::ResetBackup() { m_backup = m_rec; }

bool XelMain::ReadFromFile(RecordReader& in, const QString& fileVersion)
{
    const FileVersion v = FileVersion::Parse(fileVersion);
    const int fields = FieldsOnDisk(v.major, v.minor);
    const bool current = fields == 30;
    Record& r = m_rec;
    // Older layouts carry the transfer direction and date too, but they are not taken over.
    quint8 direction = 0;
    double date = 0.0;
    bool diagnose = false;
    for (int f = 1; f <= fields && in.Ok(); ++f) {
        switch (f) {
        case 1: in.Byte(r.operationMode); break;
        case 2: in.Byte(r.language); break;
        case 3: in.Byte(r.idNumber); break;
        case 4: in.Byte(r.runDelay); break;
        case 5: in.Byte(r.lcdLight); break;
        case 6: in.Boolean(r.invertLCDOnAlarm); break;
        case 7: in.Boolean(r.can); break;
        case 8: in.VarText(r.user); break;
        case 9: in.Integer(r.canNumber); break;
        case 10: in.Integer(r.canPIDTimeout); break;
        case 11: in.Integer(r.engineType); break;
        case 12: in.Boolean(r.classified); break;
        case 13: in.Boolean(r.printerOutput); break;
        case 14: in.Boolean(r.ackOnWarning); break;
        case 15: in.Byte(r.engineHours); break;
        case 16: in.FixedText(r.firmware, kFirmwareLength); break;
        case 17:
            if (in.Byte(direction) && current)
                r.firmwareDirection = direction;
            break;
        case 18:
            if (in.Double(date) && current)
                r.firmwareDate = date;
            break;
        case 19: in.Long(r.canSPN); break;
        case 20: in.Boolean(r.canProtectLamp); break;
        case 21:
            if (in.Boolean(diagnose) && current)
                r.canDiagnose = diagnose;
            break;
        case 22: case 23: case 24: case 25: in.Byte(r.byte[f - 22]); break;
        case 26: case 27: case 28: case 29: in.Long(r.word[f - 26]); break;
        case 30: in.Boolean(r.shutdownOverride); break;
        }
    }
    if (!in.Ok())
        return false;
    if (fields > 0) {
        // What the older layouts lack.
        if (fields < 5) r.lcdLight = 61;
        if (fields < 6) r.invertLCDOnAlarm = false;
        if (fields < 7) r.can = false;
        if (fields < 8) r.user.clear();
        if (fields < 9) r.canNumber = 171;
        if (fields < 10) r.canPIDTimeout = 20;
        if (fields < 11) r.engineType = 255;
        if (fields < 12) r.classified = r.printerOutput = r.ackOnWarning = false;
        if (fields < 15) r.engineHours = 0;
        if (fields < 16) SetFirmwareText(QString());
        if (fields < 19) r.canSPN = 0;
        if (fields < 20) r.canProtectLamp = false;
        if (!current) {
            r.canDiagnose = r.canSPN != kNoSPN && r.can;
            r.shutdownOverride = false;
        }
    }
    ResetBackup();
    return true;
}

bool XelMain::WriteToFile(RecordWriter& w)
{
    // The file names who saved it; a writer that keeps the backups leaves the part as it is.
    const QString user = extra::GetWindowsUserName();
    if (!w.KeepsBackup())
        m_rec.user = user;
    const Record& r = m_rec;
    w.Byte(r.operationMode);
    w.Byte(r.language);
    w.Byte(r.idNumber);
    w.Byte(r.runDelay);
    w.Byte(r.lcdLight);
    w.Boolean(r.invertLCDOnAlarm);
    w.Boolean(r.can);
    w.VarText(user);
    w.Integer(r.canNumber);
    w.Integer(r.canPIDTimeout);
    w.Integer(r.engineType);
    w.Boolean(r.classified);
    w.Boolean(r.printerOutput);
    w.Boolean(r.ackOnWarning);
    w.Byte(r.engineHours);
    w.FixedText(r.firmware, kFirmwareLength);
    w.Byte(r.firmwareDirection);
    w.Double(r.firmwareDate);
    w.Long(r.canSPN);
    w.Boolean(r.canProtectLamp);
    w.Boolean(r.canDiagnose);
    for (quint8 b : r.byte)
        w.Byte(b);
    for (qint32 word : r.word)
        w.Long(word);
    w.Boolean(r.shutdownOverride);
    if (!w.Ok())
        return false;
    if (!w.KeepsBackup())
        ResetBackup();
    return true;
}

// The transfer record is left alone: the unit operations record a transfer once it is verified.
bool XelMain::ToImage(QByteArray& image, const QString& sFirmware, QString* failedField) const
{
    using namespace ImageAccess;
    const Record& r = m_rec;
    if (!PutByte(image, 669, r.operationMode))
        return Refuse(failedField, QStringLiteral("OperationMode"));
    if (!PutByte(image, 3, r.language + (r.classified ? 16 : 0) + (r.can ? 128 : 0)))
        return Refuse(failedField, QStringLiteral("Language"));
    const int source = r.can ? r.engineHours : 0;
    if (!PutByte(image, 3073, r.engineType < 0 ? 255 : r.engineType))
        return Refuse(failedField, QStringLiteral("EngineType"));
    const quint8* hours = source == 1 ? kEngineHours1 : source == 2 ? kEngineHours2 : nullptr;
    for (int k = 0; k < 8; ++k)
        if (!PutByte(image, kEngineHoursAt + k, hours ? hours[k] : 0))
            return Refuse(failedField, QStringLiteral("EngineHours"));
    if (!PutByte(image, 4, r.idNumber))
        return Refuse(failedField, QStringLiteral("IDNumber"));
    if (!PutByte(image, 668, r.runDelay))
        return Refuse(failedField, QStringLiteral("RunDelay"));
    if (!PutByte(image, 2017, r.lcdLight))
        return Refuse(failedField, QStringLiteral("LCDLight"));
    if (!PutByte(image, 2537, r.invertLCDOnAlarm ? 1 : 0))
        return Refuse(failedField, QStringLiteral("InvertLCDOnAlarm"));
    if (!PutByte(image, 2543, r.canNumber))
        return Refuse(failedField, QStringLiteral("CANNumber"));
    if (!PutByte(image, 3075, r.printerOutput ? 1 : 0))
        return Refuse(failedField, QStringLiteral("PrinterOutput"));
    if (!PutByte(image, 3078, r.ackOnWarning ? 1 : 0))
        return Refuse(failedField, QStringLiteral("AckOnWarning"));
    if (!PutWord(image, 3096, r.canDiagnose ? r.canSPN : kNoSPN))
        return Refuse(failedField, QStringLiteral("CANSPN"));
    if (!PutByte(image, 3098, r.canProtectLamp ? 1 : 0))
        return Refuse(failedField, QStringLiteral("CANProtectLamp"));
    static const char* const kByteNames[4] = {"ByteOne", "ByteTwo", "ByteThree", "ByteFour"};
    for (int k = 0; k < 4; ++k)
        if (!PutByte(image, 3100 + k, r.byte[k]))
            return Refuse(failedField, QLatin1String(kByteNames[k]));
    static const char* const kWordNames[4] = {"WordOne", "WordTwo", "WordThree", "WordFour"};
    for (int k = 0; k < 4; ++k)
        if (!PutWord(image, 3104 + 2 * k, r.word[k]))
            return Refuse(failedField, QLatin1String(kWordNames[k]));
    const bool overrideOn = r.shutdownOverride && extra::CompareVersions(sFirmware, QStringLiteral("4.40")) >= 0;
    if (!PutByte(image, 3113, overrideOn ? kShutdownOverrideCode : 0))
        return Refuse(failedField, QStringLiteral("ShutdownOverride"));
    return true;
}

// An older unit sends fewer registers: every field whose bytes arrived is decoded, the rest
// keep their values and the result is false.
bool XelMain::FromImage(const QByteArray& image, const QString& sFirmware)
{
    using namespace ImageAccess;
    // A receive hands over an image that was read back and verified.
    RecordTransfer(MainFirmwareDirection::FromECX, sFirmware, platform::SystemInfo::Instance().Now());
    // The decode stops at the first byte the unit did not send (older firmware sends fewer
    // registers); everything from there on keeps its value.
    quint8 b = 0;
    if (!GetByte(image, 669, b))
        return false;
    SetOperationMode(b);
    if (!GetByte(image, 3, b))
        return false;
    if (b >= 100 && b <= 127) {
        SetLanguage(b - 100);
        SetCAN(true);
        SetClassified(false);
    } else if (b < 16) {
        SetLanguage(b);
        SetCAN(false);
        SetClassified(false);
    } else {
        SetLanguage(b & 15);
        SetCAN((b & 128) != 0);
        SetClassified((b & 16) != 0);
    }
    if (!GetByte(image, 3073, b))
        return false;
    SetEngineType(b);
    if (!GetByte(image, 4, b))
        return false;
    SetIDNumber(b);
    if (extra::CompareVersions(sFirmware, QStringLiteral("4")) < 0) {
        SetLCDLight(extra::CompareVersions(sFirmware, QStringLiteral("2.1")) < 0 ? 63 : 61);
        SetInvertLCDOnAlarm(false);
    } else {
        if (!GetByte(image, 2017, b))
            return false;
        SetLCDLight(b);
        if (!GetByte(image, 2537, b))
            return false;
        SetInvertLCDOnAlarm(b != 0);
    }
    if (extra::CompareVersions(sFirmware, QStringLiteral("4.3")) < 0) {
        SetCANNumber(171);
        SetCAN(false);
    } else {
        if (!GetByte(image, 2543, b))
            return false;
        SetCANNumber(b);
    }
    if (!GetByte(image, 668, b))
        return false;
    SetRunDelay(b);
    if (!GetByte(image, 3075, b))
        return false;
    SetPrinterOutput(b != 0);
    if (!GetByte(image, 3078, b))
        return false;
    SetAckOnWarning(b != 0);
    if (!GetByte(image, kEngineHoursAt + 6, b))
        return false;
    SetEngineHours(b == 64 ? 1 : b == 128 ? 2 : 0);
    qint32 w = 0;
    if (!GetWord(image, 3096, w))
        return false;
    SetCANSPN(w);
    if (!GetByte(image, 3098, b))
        return false;
    SetCANProtectLamp(b != 0);
    SetCANDiagnose(CANSPN() == kNoSPN ? false : CAN());
    for (int k = 0; k < 4; ++k) {
        if (!GetByte(image, 3100 + k, b))
            return false;
        m_rec.byte[k] = b;
    }
    for (int k = 0; k < 4; ++k) {
        if (!GetWord(image, 3104 + 2 * k, w))
            return false;
        m_rec.word[k] = w;
    }
    if (!GetByte(image, 3113, b))
        return false;
    SetShutdownOverride(b == kShutdownOverrideCode);
    return true;
}
