#include "datamodel/XelStandbyOperation.h"

#include "extra/extra.h"
#include "datamodel/ImageAccess.h"
#include "datamodel/RecordIO.h"

namespace {
constexpr int kInitialStartDelay = 645;
constexpr int kStartAttempts = 646;
constexpr int kCrankingTime = 647;
constexpr int kDelay = 648;
constexpr int kGenBreakTimer = 661;
constexpr int kCooling = 662;
constexpr int kFuelConsumption = 3072;
constexpr int kStandbyMarker = 3088;
} // namespace

bool XelStandbyOperation::ReadFromFile(RecordReader& reader, const QString& fileVersion)
{
    const FileVersion v = FileVersion::Parse(fileVersion);
    if (v.major <= 2) {
        reader.Byte(m_rec.InitialStartDelay);
        reader.Byte(m_rec.CrankingTime);
        reader.Byte(m_rec.Delay);
        reader.Byte(m_rec.StartAttempts);
        reader.Byte(m_rec.GenBreakTimer);
        reader.Byte(m_rec.Cooling);
        if (v.AtLeast(2, 6))
            reader.Byte(m_rec.FuelConsumption);
        if (!reader.Ok())
            return false;
        if (!v.AtLeast(2, 6))
            m_rec.FuelConsumption = 0;
    }
    ResetBackup();
    return true;
}

bool XelStandbyOperation::WriteToFile(RecordWriter& writer)
{
    writer.Byte(m_rec.InitialStartDelay);
    writer.Byte(m_rec.CrankingTime);
    writer.Byte(m_rec.Delay);
    writer.Byte(m_rec.StartAttempts);
    writer.Byte(m_rec.GenBreakTimer);
    writer.Byte(m_rec.Cooling);
    writer.Byte(m_rec.FuelConsumption);
    if (!writer.Ok())
        return false;
    if (!writer.KeepsBackup())
        ResetBackup();
    return true;
}

bool XelStandbyOperation::FromImage(const QByteArray& image, const QString& sFirmware)
{
    const struct {
        int index;
        void (XelStandbyOperation::*set)(qint32);
    } fields[] = {
        {kStartAttempts, &XelStandbyOperation::SetStartAttempts},
        {kInitialStartDelay, &XelStandbyOperation::SetInitialStartDelay},
        {kCrankingTime, &XelStandbyOperation::SetCrankingTime},
        {kCooling, &XelStandbyOperation::SetCooling},
        {kDelay, &XelStandbyOperation::SetDelay},
        {kGenBreakTimer, &XelStandbyOperation::SetGenBreakTimer},
    };
    for (const auto& f : fields) {
        quint8 b = 0;
        if (!ImageAccess::GetByte(image, f.index, b))
            return false;
        (this->*f.set)(b);
    }
    if (extra::CompareVersions(sFirmware, QStringLiteral("4.8")) < 0) {
        SetFuelConsumption(0);
        return true;
    }
    quint8 fuel = 0;
    if (!ImageAccess::GetByte(image, kFuelConsumption, fuel))
        return false;
    SetFuelConsumption(fuel);
    return true;
}

bool XelStandbyOperation::ToImage(QByteArray& image, QString* failedField) const
{
    // Every field is a byte: only an image too short for them fails.
    const bool ok = ImageAccess::PutByte(image, kStartAttempts, m_rec.StartAttempts)
        && ImageAccess::PutByte(image, kInitialStartDelay, m_rec.InitialStartDelay)
        && ImageAccess::PutByte(image, kCrankingTime, m_rec.CrankingTime)
        && ImageAccess::PutByte(image, kCooling, m_rec.Cooling)
        && ImageAccess::PutByte(image, kDelay, m_rec.Delay)
        && ImageAccess::PutByte(image, kGenBreakTimer, m_rec.GenBreakTimer)
        && ImageAccess::PutByte(image, kFuelConsumption, m_rec.FuelConsumption)
        && ImageAccess::PutByte(image, kStandbyMarker, 255);
    return ok || ImageAccess::Refuse(failedField, QString());
}
