// The setup file: a 7-byte header ("QRN", the writer's major and minor version) and the
// records of the fourteen parts. Nothing in the file counts items: the reader holds the same
// collection items as the writer and reads one record per item.
#include "datamodel/XelObject.h"

#include "extra/extra.h"
#include "datamodel/RecordIO.h"
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
#include "platform/AnsiCodePage.h"
#include "platform/FileIdentity.h"
#include "platform/RegularFile.h"
#include "platform/WholeFile.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

namespace {

const QString kFileType = QStringLiteral("QRN");
constexpr int kHeaderBytes = 7;
constexpr qint16 kMajorLimit = 10;
constexpr qint16 kMinorLimit = 100;
// The longest setup file has under 500 KB (at most 256 items a collection, a user name of at
// most 65535 bytes). The reader never looks past the last section, so nothing beyond this
// is read: a huge file or a device without an end is not taken into memory whole.
constexpr qint64 kMostFileBytes = 1024 * 1024;
// Speed relay n drives the relay function code 57 + n.
constexpr int kSpeedRelayCodeBase = 57;

// The key number under which the item at position pos was added; -1 when none is found.
template <class C>
qint32 KeyAt(const C& collection, qint32 pos)
{
    const auto* item = collection.Item(pos);
    if (!item)
        return -1;
    if (collection.Item(C::KeyText(item->Index())) == item)
        return item->Index();
    for (qint32 k = 0; k <= 255; ++k)
        if (collection.Item(C::KeyText(k)) == item)
            return k;
    return -1;
}

} // namespace

// ---- writing ---------------------------------------------------------------------------

bool XelObject::WriteSections(RecordWriter& w) const
{
    w.Raw(platform::AnsiCodePage::FromUnicode(kFileType));
    w.Integer(qint16(XELQRN_VERSION_MAJOR));
    w.Integer(qint16(XELQRN_VERSION_MINOR));
    if (!w.Ok())
        return false;
    // The items' own results are not looked at; the sticky writer catches any failure.
    m_main->WriteToFile(w);
    for (XelDigitalIn* item : *m_digitalIn)
        item->WriteToFile(w);
    // The records of channels 1 to 11, and 12 to 17 with CAN: what a reader with the program's
    // channels reads, whatever this collection holds. One record more or less would shift
    // every later section. A channel the collection lacks is written as a load adds it.
    const qint32 analogRecords = m_main->CAN() ? cAnalogIn::kAllChannels : cAnalogIn::kWiredChannels;
    for (qint32 key = 1; key <= analogRecords; ++key) {
        if (XelAnalogIn* item = m_analogIn->Item(cAnalogIn::KeyText(key))) {
            item->WriteToFile(w);
            continue;
        }
        XelAnalogIn missing;
        missing.SetIndex(key);
        InitAddedBusChannel(missing, true);
        if (key <= cAnalogIn::kWiredChannels)
            missing.SetInputType(0);
        missing.WriteToFile(w);
    }
    m_standbyOperation->WriteToFile(w);
    m_speedSensor->WriteToFile(w);
    m_info->WriteToFile(w);
    m_battery->WriteToFile(w);
    for (XelRelay* item : *m_relay)
        item->WriteToFile(w);
    m_relay->WriteToFile(w);
    for (XelSpeedRelay* item : *m_speedRelays)
        item->WriteToFile(w);
    for (XelRelay* item : *m_relayNew)
        item->WriteToFile(w);
    m_relayNew->WriteToFile(w);
    for (XelDigitalInAdditional* item : *m_digitalInAdditional)
        item->WriteToFile(w);
    for (XelInstrument* item : *m_instrument)
        item->WriteToFile(w);
    m_sms->WriteToFile(w);
    for (XelSMSNumber* item : *m_smsNumbers)
        item->WriteToFile(w);
    return w.Ok();
}

QByteArray XelObject::FileBytes(bool keepState) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    RecordWriter w(&buffer);
    w.SetKeepsBackup(keepState);
    if (!WriteSections(w))
        return QByteArray();
    return buffer.data();
}

bool XelObject::SaveFile(const QString& sFilename)
{
    if (!HasParts())
        return false;
    QString name = sFilename;
    if (name.isEmpty()) {
        if (!Initialized())
            return false;
        name = m_filename;
    }
    // The parts are written without touching their state; only a save that reached the disk
    // stamps the user and makes the setup unchanged.
    const QByteArray bytes = FileBytes(true);
    if (bytes.isEmpty() || !platform::WriteWholeFile(name, bytes))
        return false;
    m_main->SetUser(extra::GetWindowsUserName());
    ResetBackup();
    m_fileType = kFileType;
    m_fileMajor = qint16(XELQRN_VERSION_MAJOR);
    m_fileMinor = qint16(XELQRN_VERSION_MINOR);
    SetFileNames(name);
    m_unreadBytes = false;
    platform::FileIdentity::Instance().Stamp(name, m_fileStamp);
    return true;
}

bool XelObject::CreateTempFile(const QString& sFilename)
{
    if (!HasParts())
        return false;
    const QByteArray bytes = FileBytes(true);
    return !bytes.isEmpty() && platform::WriteWholeFile(sFilename, bytes);
}

// ---- reading ---------------------------------------------------------------------------

// The terminal text of channel n is language string 920 + n.
void XelObject::InitAddedBusChannel(XelAnalogIn& channel, bool withTexts) const
{
    if (withTexts) {
        HoldLanguageLibrary();
        channel.SetTerminal(extra::GetLangString(quint16(920 + channel.Index())));
    }
    cAnalogIn::SetAddedBusDefaults(channel);
}

void XelObject::ApplyAnalogCountRule(bool withTexts)
{
    if (!m_main->CAN()) {
        m_analogIn->RemoveBusChannels();
        return;
    }
    if (m_analogIn->Count() >= cAnalogIn::kAllChannels)
        return;
    for (qint32 key = cAnalogIn::kWiredChannels + 1; key <= cAnalogIn::kAllChannels; ++key) {
        if (m_analogIn->Item(cAnalogIn::KeyText(key)))
            continue;
        if (XelAnalogIn* channel = m_analogIn->Add(key, QString()))
            InitAddedBusChannel(*channel, withTexts);
    }
}

void XelObject::SetCANSupport(bool on)
{
    m_main->SetCAN(on);
    if (!on)
        m_analogIn->RemoveBusChannels();
}

bool XelObject::ReadSections(RecordReader& r, const QString& fileVersion, bool scratch)
{
    const ::FileVersion v = ::FileVersion::Parse(fileVersion);
    m_main->ReadFromFile(r, fileVersion);
    for (XelDigitalIn* item : *m_digitalIn)
        item->ReadFromFile(r, fileVersion);

    ApplyAnalogCountRule(!scratch);
    // Files 1.0 to 1.3 knew five analog channels.
    const bool fiveChannels = v.major == 1 && v.minor < 4;
    int position = 0;
    for (XelAnalogIn* item : *m_analogIn) {
        if (fiveChannels && ++position > 5)
            break;
        item->ReadFromFile(r, fileVersion);
    }

    m_standbyOperation->ReadFromFile(r, fileVersion);
    m_speedSensor->ReadFromFile(r, fileVersion);
    m_info->ReadFromFile(r, fileVersion);
    m_battery->ReadFromFile(r, fileVersion);

    const qint32 mode = m_main->OperationMode();
    for (XelRelay* item : *m_relay)
        item->ReadFromFile(r, fileVersion, false, mode);
    m_relay->ReadFromFile(r, fileVersion);

    for (XelSpeedRelay* item : *m_speedRelays)
        item->ReadFromFile(r, fileVersion);
    if (m_speedRelays->Count() > 0 && m_speedRelays->Item(1)->Index() == 0) {
        qint32 n = 0;
        for (XelSpeedRelay* item : *m_speedRelays) {
            ++n;
            item->SetIndex(quint8(n));
            item->SetFunctionNo(quint8(kSpeedRelayCodeBase + n));
        }
    }

    for (XelRelay* item : *m_relayNew)
        item->ReadFromFile(r, fileVersion, true, mode);
    if (v.AtLeast(2, 10))
        m_relayNew->ReadFromFile(r, fileVersion);

    for (XelDigitalInAdditional* item : *m_digitalInAdditional)
        item->ReadFromFile(r, fileVersion);
    for (XelInstrument* item : *m_instrument)
        item->ReadFromFile(r, fileVersion);
    m_sms->ReadFromFile(r, fileVersion);
    for (XelSMSNumber* item : *m_smsNumbers)
        item->ReadFromFile(r, fileVersion);
    return r.Ok();
}

// The scratch document gets the same items under the same keys, so it reads exactly the
// bytes that this document will read.
void XelObject::CopyItemsInto(XelObject& scratch) const
{
    for (qint32 i = 1; i <= m_digitalIn->Count(); ++i)
        scratch.m_digitalIn->Add(KeyAt(*m_digitalIn, i), m_digitalIn->Item(i)->Terminal());
    for (qint32 i = 1; i <= m_analogIn->Count(); ++i)
        scratch.m_analogIn->Add(KeyAt(*m_analogIn, i), m_analogIn->Item(i)->Terminal());
    for (qint32 i = 1; i <= m_relay->Count(); ++i)
        scratch.m_relay->Add(KeyAt(*m_relay, i), m_relay->Item(i)->FunctionText(), m_relay->Item(i)->RelayText());
    for (qint32 i = 1; i <= m_speedRelays->Count(); ++i)
        scratch.m_speedRelays->Add(KeyAt(*m_speedRelays, i), m_speedRelays->Item(i)->Descript());
    for (qint32 i = 1; i <= m_relayNew->Count(); ++i)
        scratch.m_relayNew->Add(KeyAt(*m_relayNew, i), m_relayNew->Item(i)->FunctionText(),
                                m_relayNew->Item(i)->RelayText());
    for (qint32 i = 1; i <= m_digitalInAdditional->Count(); ++i)
        scratch.m_digitalInAdditional->Add(KeyAt(*m_digitalInAdditional, i), m_digitalInAdditional->Item(i)->Terminal());
    for (qint32 i = 1; i <= m_instrument->Count(); ++i)
        scratch.m_instrument->Add(KeyAt(*m_instrument, i), m_instrument->Item(i)->FunctionText());
    for (qint32 i = 1; i <= m_smsNumbers->Count(); ++i)
        scratch.m_smsNumbers->Add(KeyAt(*m_smsNumbers, i));
}

bool XelObject::LoadFile(const QString& sFilename)
{
    if (!HasParts() || sFilename.isEmpty())
        return false;
    // The file carries records for the items the document holds; a document without its
    // switch inputs would read every later section from the wrong bytes.
    if (DigitalIn()->Count() == 0)
        return false;
    // A pipe would hold the open until a writer comes, a device might never end.
    if (!platform::IsRegularFile(sFilename))
        return false;
    // Taken before the read: a change made while reading then shows as another file.
    platform::FileStamp stamp;
    platform::FileIdentity::Instance().Stamp(sFilename, stamp);
    QFile file(sFilename);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.read(kMostFileBytes);
    if (file.error() != QFileDevice::NoError)
        return false;
    const bool moreThanRead = !file.atEnd();
    file.close();

    // Whatever header is read is kept, valid or not: the program names the file's version.
    m_fileType = platform::AnsiCodePage::ToUnicode(bytes.left(3));
    m_fileMajor = bytes.size() >= 5 ? qFromLittleEndian<qint16>(bytes.constData() + 3) : qint16(0);
    m_fileMinor = bytes.size() >= kHeaderBytes ? qFromLittleEndian<qint16>(bytes.constData() + 5) : qint16(0);
    if (bytes.size() < kHeaderBytes || m_fileType != kFileType || m_fileMajor >= kMajorLimit
        || m_fileMinor >= kMinorLimit)
        return false;
    const QString version = FileVersion();

    // A file that ends before its last section is refused before anything is changed.
    {
        XelObject scratch;
        CopyItemsInto(scratch);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        buffer.seek(kHeaderBytes);
        RecordReader r(&buffer);
        if (!scratch.ReadSections(r, version, true))
            return false;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(kHeaderBytes);
    RecordReader r(&buffer);
    ReadSections(r, version, false);
    // Records this document has no items for (another tool's additions) are not read: a
    // rewrite of the file would drop them.
    m_unreadBytes = moreThanRead || buffer.pos() < bytes.size();
    SetFileNames(sFilename);
    m_fileStamp = stamp;
    return true;
}
