#pragma once
// The setup document: the fourteen parts of a unit setup, the setup file and the unit
// memory image. The program creates one and reaches every part through its properties.
//
// Failures are reported by results only: the library never shows a message, so a transfer
// without a window never blocks.
#include "datamodel/JData.h"
#include "datamodel/SetupFault.h"
#include "datamodel/XelQrnExport.h"
#include "platform/FileIdentity.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <memory>

class XelMain;
class cDigitalIn;
class cAnalogIn;
class XelAnalogIn;
class XelStandbyOperation;
class XelSpeedSensor;
class XelBattery;
class XelInfo;
class cRelay;
class cSpeedRelay;
class cDigitalInAdditional;
class cInstrument;
class XelSMS;
class cSMSNumber;
class RecordReader;
class RecordWriter;

class XELQRN_EXPORT XelObject {
public:
    // Size of the image that CreateSetup builds (registers 0 to 4127).
    static constexpr int kImageBytes = 8256;
    // The unit accepts writes only while this code stands in register 0.
    static constexpr qint32 kWriteUnlockCode = 24873;

    XelObject();
    ~XelObject();
    XelObject(const XelObject&) = delete;
    XelObject& operator=(const XelObject&) = delete;

    // 1: major.minor.revision of this library.
    QString Version() const;
    // 2: a change that only records the last transfer is saved silently (the file keeps its
    // last-write time) and does not count.
    bool Changed();
    // 3: the words of the image built by CreateSetup; false and an empty array before that.
    bool GetSetup(QVector<qint32>& Data) const;
    // 4-17: the parts; nullptr after CloseFile.
    XelMain* Main() const { return m_main.get(); }
    cDigitalIn* DigitalIn() const { return m_digitalIn.get(); }
    cAnalogIn* AnalogIn() const { return m_analogIn.get(); }
    XelStandbyOperation* StandbyOperation() const { return m_standbyOperation.get(); }
    XelSpeedSensor* SpeedSensor() const { return m_speedSensor.get(); }
    XelBattery* Battery() const { return m_battery.get(); }
    XelInfo* Info() const { return m_info.get(); }
    cRelay* Relay() const { return m_relay.get(); }
    cSpeedRelay* SpeedRelays() const { return m_speedRelays.get(); }
    cRelay* RelayNew() const { return m_relayNew.get(); }
    cDigitalInAdditional* DigitalInAdditional() const { return m_digitalInAdditional.get(); }
    cInstrument* Instrument() const { return m_instrument.get(); }
    XelSMS* SMS() const { return m_sms.get(); }
    cSMSNumber* SMSNumbers() const { return m_smsNumbers.get(); }
    // 18, 19: the header of the last file read or written ("2.15", "QRN").
    QString FileVersion() const;
    QString FileVersionType() const { return m_fileType; }
    // 20
    bool Initialized() const { return !m_filename.isEmpty(); }
    // 21: decodes registers read from a unit. Words outside 0..65535 or an empty array
    // give false and leave the document as it was.
    bool LoadSetup(const QVector<qint32>& lData, const QString& sFirmware);
    // 22: false when a part holds a value its image field cannot carry; SetupError and
    // SetupFailure then name the part, item and field (the image keeps everything else).
    bool CreateSetup(const QString& sFirmware);
    // Why the last CreateSetup failed ("AnalogIn 3: SensorMax"); empty after a success.
    QString SetupError() const;
    const SetupFault& SetupFailure() const { return m_setupFault; }
    // 23: the engine-hour source into bytes 2908-2915 of the built image; false (nothing
    // written) before CreateSetup or when lPID or lPPID does not fit a word.
    bool AddEngineHourData(const JData& tJData);
    // 24
    void ResetBackup();
    // 25
    bool CloseFile();
    // 26: an empty name saves to Filename. The file is replaced only when all of it is written.
    bool SaveFile(const QString& sFilename = QString());
    // 27: a damaged file gives false and leaves the document exactly as it was.
    bool LoadFile(const QString& sFilename);
    // 28, 29
    QString Filename() const { return m_filename; }
    QString FileTitle() const { return m_fileTitle; }
    // 30: the whole setup file to sFilename; the document itself is left as it is.
    bool CreateTempFile(const QString& sFilename);
    // The file last loaded holds bytes after the last record read; a rewrite would drop them.
    // False again once the document is saved.
    bool HoldsUnreadBytes() const { return m_unreadBytes; }
    // The record of the last transfer may be saved without the user's Save: the setup has a
    // file of the current format, read to its end and not read-only, and the file on disk is
    // still the one read or last saved here (same file, size and last-write time). Any other
    // file waits for the user's own save, which asks first.
    bool TransferRecordSavable() const;
    // Saves to Filename and gives the file back the last-write time it had; false, with
    // nothing written, when the file on disk is no longer the one read or last saved, and
    // false when the save failed (the setup then stays changed).
    bool SaveKeepingFileTime();
    // A file stands at Filename that is not the one read or last saved here: another window's
    // or program's save, or a file put in its place. False without a file name, and when the
    // file is gone (a save then loses nothing).
    bool FileChangedElsewhere() const;
    // Sets the file's read-only flag; the program's own change keeps the file the one read.
    bool SetFileReadOnly(bool readOnly);
    // Main.CAN; switched off, the analog inputs after the eleventh go, as they do when a
    // setup without CAN is loaded or received. Switched on, the caller adds them.
    void SetCANSupport(bool on);

private:
    bool HasParts() const;
    void ReleaseParts();
    // Setup file.
    QByteArray FileBytes(bool keepState) const;
    bool WriteSections(RecordWriter& w) const;
    // scratch: a trial read that only has to consume the same bytes (no language texts).
    bool ReadSections(RecordReader& r, const QString& fileVersion, bool scratch);
    void CopyItemsInto(XelObject& scratch) const;
    void SetFileNames(const QString& sFilename);
    bool IsFileAsRead(platform::FileStamp& onDisk) const;
    // With CAN 17 analog channels (the missing keys of 12 to 17 added), without 11.
    void ApplyAnalogCountRule(bool withTexts);
    // The defaults (and with texts the terminal) of a bus channel the count rule adds.
    void InitAddedBusChannel(XelAnalogIn& channel, bool withTexts) const;
    // Unit image.
    void ApplyCANFixUp();
    bool WriteDisplayTexts(QByteArray& image);
    // The document keeps the language library loaded from its first use to its end, so
    // repeated builds and loads do not load and free it each time.
    bool HoldLanguageLibrary() const;

    std::unique_ptr<XelMain> m_main;
    std::unique_ptr<cDigitalIn> m_digitalIn;
    std::unique_ptr<cAnalogIn> m_analogIn;
    std::unique_ptr<XelStandbyOperation> m_standbyOperation;
    std::unique_ptr<XelSpeedSensor> m_speedSensor;
    std::unique_ptr<XelInfo> m_info;
    std::unique_ptr<XelBattery> m_battery;
    std::unique_ptr<cRelay> m_relay;
    std::unique_ptr<cSpeedRelay> m_speedRelays;
    std::unique_ptr<cRelay> m_relayNew;
    std::unique_ptr<cDigitalInAdditional> m_digitalInAdditional;
    std::unique_ptr<cInstrument> m_instrument;
    std::unique_ptr<XelSMS> m_sms;
    std::unique_ptr<cSMSNumber> m_smsNumbers;

    QString m_fileType;
    qint16 m_fileMajor = 0;
    qint16 m_fileMinor = 0;
    QString m_filename;
    QString m_fileTitle;
    QByteArray m_image;
    SetupFault m_setupFault;
    mutable bool m_languageHeld = false;
    bool m_unreadBytes = false;
    // The file as it was when read or last written here.
    platform::FileStamp m_fileStamp;
};
