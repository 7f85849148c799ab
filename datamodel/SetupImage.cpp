// The unit memory image: register r at bytes 2r (high) and 2r + 1 (low). CreateSetup builds
// the whole 8256-byte image from the parts; LoadSetup decodes the registers a unit sent,
// which are fewer for older firmware.
#include "datamodel/XelObject.h"

#include "extra/extra.h"
#include "datamodel/ImageAccess.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelBattery.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/XelStandbyOperation.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cDigitalInAdditional.h"
#include "datamodel/cInstrument.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSpeedRelay.h"
#include "platform/AnsiCodePage.h"

namespace {

constexpr qint32 kPropulsion = 2;
constexpr int kEngineHourSource = 2908;
constexpr int kDiagnosticAt = 2350;
constexpr int kDisplayTextsAt = 990;
constexpr int kFirstDisplayTextId = 10000;
constexpr int kDisplayLanguageStep = 1000;

// The unit's display language from image byte 3, as the unit reads it.
int DisplayLanguage(quint8 b)
{
    if (b >= 100 && b <= 127)
        return b - 100;
    if (b >= 16)
        return b & 15;
    return b;
}

// Bytes that belong to parts and to "Diagnostic" lie between some display texts.
int GapBefore(int n)
{
    switch (n) {
    case 44: return 2;
    case 47: return 330;
    case 51: return 10;
    default: return 0;
    }
}

QString DisplayUserName()
{
    QString user = extra::GetWindowsUserName();
    if (user.isEmpty())
        user = extra::GetWindowsComputerName();
    if (user.isEmpty())
        user = QStringLiteral("N/A");
    return user.toUpper();
}

} // namespace

bool XelObject::WriteDisplayTexts(QByteArray& image)
{
    const QString user = DisplayUserName();
    if (!HoldLanguageLibrary())
        return true; // no texts, the build still succeeds
    const int base = kFirstDisplayTextId + kDisplayLanguageStep * DisplayLanguage(quint8(image.at(3)));
    int pos = 0;
    for (int n = 1; base + n <= 0xFFFF; ++n) {
        const quint16 id = quint16(base + n);
        if (!extra::LangStringExists(id))
            break;
        const QString entry = extra::GetLangString(id);
        const int width = int(extra::NumericPrefix(entry.left(2)));
        QString text = extra::TextToUnit(entry.mid(3));
        text.replace(QStringLiteral("%u"), user, Qt::CaseSensitive);
        pos += GapBefore(n);
        // A text longer than its field is cut, so it cannot reach into the next field.
        const QByteArray bytes = platform::AnsiCodePage::FromUnicode(text).left(qMax(width, 0));
        if (!ImageAccess::PutBytes(image, kDisplayTextsAt + pos, bytes)) {
            // An earlier part's fault stays the one reported.
            if (m_setupFault.IsEmpty())
                m_setupFault = SetupFault{QStringLiteral("DisplayTexts"), n, QString()};
            return false;
        }
        pos += width;
    }
    return true;
}

bool XelObject::CreateSetup(const QString& sFirmware)
{
    m_setupFault = SetupFault();
    if (!HasParts()) {
        // No image of an earlier document may be taken for this one.
        m_image.clear();
        return false;
    }
    QByteArray image(kImageBytes, '\0');
    ImageAccess::PutWord(image, 0, kWriteUnlockCode);
    ImageAccess::PutByte(image, 2, 3);
    // A part that fails leaves its remaining bytes 0 and the build goes on, so the image holds
    // everything that fits; the first failure is kept as the reason and the result is false,
    // as a setup with blanked fields must never reach a unit. The later steps may overwrite
    // earlier ones, so this order is part of the format.
    const auto single = [this](const char* part, bool ok, const QString& field) {
        if (!ok && m_setupFault.IsEmpty())
            m_setupFault = SetupFault{QString::fromLatin1(part), 0, field};
    };
    const auto collection = [this](const char* part, bool ok, const SetupFault& fault) {
        if (!ok && m_setupFault.IsEmpty()) {
            m_setupFault = fault;
            m_setupFault.Part = QString::fromLatin1(part);
        }
    };
    QString field;
    SetupFault fault;
    single("Main", m_main->ToImage(image, sFirmware, &field), field);
    single("StandbyOperation", m_standbyOperation->ToImage(image, &field), field);
    if (m_main->OperationMode() == kPropulsion) {
        ImageAccess::PutByte(image, 646, 1);
        ImageAccess::PutByte(image, 648, 7);
    } else {
        ImageAccess::PutByte(image, 3072, 0);
    }
    single("SpeedSensor", m_speedSensor->ToImage(image, &field), field);
    single("Info", m_info->ToImage(image, m_fileTitle, &field), field);
    single("Battery", m_battery->ToImage(image, &field), field);
    collection("DigitalIn", m_digitalIn->ToImage(image, &fault), fault);
    collection("AnalogIn", m_analogIn->ToImage(image, sFirmware, &fault), fault);
    collection("Relay", m_relay->ToImage(image, sFirmware, false, &fault), fault);
    collection("SpeedRelays", m_speedRelays->ToImage(image, &fault), fault);
    collection("RelayNew", m_relayNew->ToImage(image, sFirmware, true, &fault), fault);
    collection("DigitalInAdditional", m_digitalInAdditional->ToImage(image, &fault), fault);
    collection("Instrument", m_instrument->ToImage(image, &fault), fault);
    ImageAccess::PutByte(image, 664, 60);
    ImageAccess::PutBytes(image, kDiagnosticAt, QByteArrayLiteral("Diagnostic"));
    const bool textsOk = WriteDisplayTexts(image);
    m_image = image;
    return textsOk && m_setupFault.IsEmpty();
}

QString XelObject::SetupError() const { return m_setupFault.Text(); }

bool XelObject::HoldLanguageLibrary() const
{
    if (!m_languageHeld)
        m_languageHeld = extra::AcquireLanguageLibrary();
    return m_languageHeld;
}

bool XelObject::GetSetup(QVector<qint32>& Data) const
{
    Data.clear();
    if (m_image.isEmpty())
        return false;
    Data.resize(m_image.size() / 2);
    for (qsizetype i = 0; i < Data.size(); ++i)
        Data[i] = qint32(quint8(m_image.at(2 * i))) * 256 + quint8(m_image.at(2 * i + 1));
    return true;
}

bool XelObject::AddEngineHourData(const JData& tJData)
{
    if (m_image.size() < kEngineHourSource + 8 || tJData.lPID < 0 || tJData.lPID > 65535 || tJData.lPPID < 0
        || tJData.lPPID > 65535)
        return false;
    QByteArray& image = m_image;
    ImageAccess::PutByte(image, kEngineHourSource, tJData.iTimeout);
    ImageAccess::PutByte(image, kEngineHourSource + 1, tJData.iMID);
    ImageAccess::PutWord(image, kEngineHourSource + 2, tJData.lPID);
    ImageAccess::PutWord(image, kEngineHourSource + 4, tJData.lPPID);
    ImageAccess::PutByte(image, kEngineHourSource + 6, tJData.iShr);
    ImageAccess::PutByte(image, kEngineHourSource + 7, tJData.iSub);
    return true;
}

void XelObject::ApplyCANFixUp()
{
    if (m_main->CAN())
        return;
    for (XelAnalogIn* channel : *m_analogIn) {
        if (channel->Active() && (channel->InputType() == 3 || channel->InputType() == 4)) {
            m_main->SetCAN(true);
            return;
        }
    }
}

bool XelObject::LoadSetup(const QVector<qint32>& lData, const QString& sFirmware)
{
    if (!HasParts() || lData.isEmpty())
        return false;
    // Garbled words are refused before anything is decoded.
    for (qint32 word : lData)
        if (word < 0 || word > 65535)
            return false;
    QByteArray image(lData.size() * 2, '\0');
    for (qsizetype i = 0; i < lData.size(); ++i) {
        image[2 * i] = char(quint8(lData.at(i) / 256));
        image[2 * i + 1] = char(quint8(lData.at(i) % 256));
    }

    // A part that reaches past the received registers stops there and keeps the rest of its
    // fields; the decode goes on with the next part.
    m_main->FromImage(image, sFirmware);
    m_standbyOperation->FromImage(image, sFirmware);
    m_speedSensor->FromImage(image, sFirmware);
    m_info->FromImage(image);
    m_battery->FromImage(image, sFirmware);
    m_digitalIn->FromImage(image, sFirmware);
    m_analogIn->FromImage(image, sFirmware);
    // A bus channel turns CAN on before the count rule, so channels 12 to 17 are there and
    // decoded too.
    ApplyCANFixUp();
    const qint32 channels = m_analogIn->Count();
    ApplyAnalogCountRule(true);
    if (m_analogIn->Count() > channels)
        m_analogIn->FromImage(image, sFirmware);
    m_relay->FromImage(image, sFirmware, false);
    m_speedRelays->FromImage(image);
    m_relayNew->FromImage(image, sFirmware, true);
    m_digitalInAdditional->FromImage(image);
    m_instrument->FromImage(image);

    m_filename.clear();
    m_fileTitle.clear();
    return true;
}
