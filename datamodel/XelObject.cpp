// The setup document: its parts, change detection and the library version. The setup
// file is in SetupFile.cpp, the unit memory image in SetupImage.cpp.
#include "datamodel/XelObject.h"

#include "extra/extra.h"
#include "datamodel/XelBattery.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelSMS.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/XelStandbyOperation.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cDigitalInAdditional.h"
#include "datamodel/cInstrument.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSMSNumber.h"
#include "datamodel/cSpeedRelay.h"
#include "platform/FileAttributes.h"
#include "platform/FileIdentity.h"

XelObject::XelObject()
    : m_main(std::make_unique<XelMain>()),
      m_digitalIn(std::make_unique<cDigitalIn>()),
      m_analogIn(std::make_unique<cAnalogIn>()),
      m_standbyOperation(std::make_unique<XelStandbyOperation>()),
      m_speedSensor(std::make_unique<XelSpeedSensor>()),
      m_info(std::make_unique<XelInfo>()),
      m_battery(std::make_unique<XelBattery>()),
      m_relay(std::make_unique<cRelay>()),
      m_speedRelays(std::make_unique<cSpeedRelay>()),
      m_relayNew(std::make_unique<cRelay>()),
      m_digitalInAdditional(std::make_unique<cDigitalInAdditional>()),
      m_instrument(std::make_unique<cInstrument>()),
      m_sms(std::make_unique<XelSMS>()),
      m_smsNumbers(std::make_unique<cSMSNumber>())
{
}

XelObject::~XelObject()
{
    ReleaseParts();
    if (m_languageHeld)
        extra::ReleaseLanguageLibrary();
}

// Released in the order they were created.
void XelObject::ReleaseParts()
{
    m_main.reset();
    m_digitalIn.reset();
    m_analogIn.reset();
    m_standbyOperation.reset();
    m_speedSensor.reset();
    m_info.reset();
    m_battery.reset();
    m_relay.reset();
    m_speedRelays.reset();
    m_relayNew.reset();
    m_digitalInAdditional.reset();
    m_instrument.reset();
    m_sms.reset();
    m_smsNumbers.reset();
}

bool XelObject::HasParts() const { return m_main != nullptr; }

QString XelObject::Version() const
{
    return QStringLiteral("%1.%2.%3").arg(XELQRN_VERSION_MAJOR).arg(XELQRN_VERSION_MINOR).arg(XELQRN_VERSION_PATCH);
}

QString XelObject::FileVersion() const { return QStringLiteral("%1.%2").arg(m_fileMajor).arg(m_fileMinor); }

bool XelObject::Changed()
{
    if (!HasParts())
        return false;
    // Every part is asked, even after the first that is changed.
    bool changed = false;
    changed |= m_digitalIn->Changed();
    changed |= m_analogIn->Changed();
    changed |= m_standbyOperation->Changed();
    changed |= m_speedSensor->Changed();
    changed |= m_info->Changed();
    changed |= m_battery->Changed();
    changed |= m_relay->Changed();
    changed |= m_speedRelays->Changed();
    changed |= m_relayNew->Changed();
    changed |= m_digitalInAdditional->Changed();
    changed |= m_instrument->Changed();
    if (changed)
        return true;

    const bool mainChanged = m_main->Changed();
    if (!mainChanged || !m_main->FirmwareOnlyChanged())
        return mainChanged;
    // Only the record of the last transfer differs: store it without touching the file's
    // modification time. A save that fails leaves the setup changed, so the user is asked.
    if (!TransferRecordSavable())
        return false;
    return !SaveKeepingFileTime();
}

bool XelObject::TransferRecordSavable() const
{
    if (!HasParts() || !Initialized() || m_unreadBytes)
        return false;
    // An older file would silently become one that older versions cannot open, and a newer
    // one would lose what this version does not know.
    const bool currentFormat = m_fileMajor == XELQRN_VERSION_MAJOR && m_fileMinor == XELQRN_VERSION_MINOR;
    if (!currentFormat || platform::FileAttributes::Instance().IsReadOnly(m_filename))
        return false;
    platform::FileStamp onDisk;
    return IsFileAsRead(onDisk);
}

// Another window's save, a file put in its place by a rename (a newer version's, say) or any
// change of size or time, the change time included, makes it a file this document never read,
// whatever its name.
bool XelObject::IsFileAsRead(platform::FileStamp& onDisk) const
{
    return m_fileStamp.IsValid() && platform::FileIdentity::Instance().Stamp(m_filename, onDisk)
           && onDisk == m_fileStamp;
}

bool XelObject::FileChangedElsewhere() const
{
    platform::FileStamp onDisk;
    if (!Initialized() || !platform::FileIdentity::Instance().Stamp(m_filename, onDisk))
        return false;
    return !m_fileStamp.IsValid() || onDisk != m_fileStamp;
}

bool XelObject::SetFileReadOnly(bool readOnly)
{
    platform::FileStamp before;
    const bool asRead = Initialized() && IsFileAsRead(before);
    const bool done = platform::FileAttributes::Instance().SetReadOnly(m_filename, readOnly);
    // The flag moves the change time; the file is still the one read when nothing else moved.
    platform::FileStamp after;
    if (asRead && platform::FileIdentity::Instance().Stamp(m_filename, after)) {
        before.changeSeconds = after.changeSeconds;
        before.changeNanoseconds = after.changeNanoseconds;
        if (after == before)
            m_fileStamp = after;
    }
    return done;
}

bool XelObject::SaveKeepingFileTime()
{
    if (!Initialized())
        return false;
    // Compared again right before the write: nothing may come between the look and the save.
    platform::FileStamp onDisk;
    if (!IsFileAsRead(onDisk) || !SaveFile())
        return false;
    platform::FileIdentity& identity = platform::FileIdentity::Instance();
    // The file keeps the time it had, and the document knows it by that time from now on;
    // stamped after the time is put back, which moves the change time once more.
    if (identity.SetLastWriteTime(m_filename, onDisk))
        identity.Stamp(m_filename, m_fileStamp);
    return true;
}

void XelObject::ResetBackup()
{
    if (!HasParts())
        return;
    m_main->ResetBackup();
    m_digitalIn->ResetBackup();
    m_analogIn->ResetBackup();
    m_standbyOperation->ResetBackup();
    m_speedSensor->ResetBackup();
    m_info->ResetBackup();
    m_battery->ResetBackup();
    m_relay->ResetBackup();
    m_speedRelays->ResetBackup();
    m_relayNew->ResetBackup();
    m_digitalInAdditional->ResetBackup();
    m_instrument->ResetBackup();
    m_sms->ResetBackup();
    m_smsNumbers->ResetBackup();
}

bool XelObject::CloseFile()
{
    ReleaseParts();
    m_filename.clear();
    m_fileTitle.clear();
    m_unreadBytes = false;
    m_fileStamp = platform::FileStamp();
    return true;
}

void XelObject::SetFileNames(const QString& sFilename)
{
    m_filename = sFilename;
    const qsizetype cut = qMax(sFilename.lastIndexOf(QLatin1Char('\\')), sFilename.lastIndexOf(QLatin1Char('/')));
    m_fileTitle = cut < 0 ? sFilename : sFilename.mid(cut + 1);
}
