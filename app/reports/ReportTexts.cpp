#include "app/reports/ReportTexts.h"

#include "app/pages/channels/AnalogShownValue.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelRelay.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cRelay.h"

#include <QDateTime>
#include <QLocale>

#include <charconv>

namespace reporttexts {
namespace {

QLocale NumberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// The text of the entry with `value` in the block base+1 .. base+count.
QString BlockText(int base, int count, int value)
{
    for (int id = base + 1; id <= base + count; ++id) {
        if (!extra::LangStringExists(quint16(id)))
            continue;
        const QString entry = extra::GetLangString(quint16(id));
        if (extra::RoundHalfEven(extra::NumericPrefix(extra::BeforeFirst(entry, "-"))) == value)
            return extra::AfterFirst(entry, "-");
    }
    return QString();
}

QString Counted(qint64 n, const char* one, const char* many)
{
    return QString::number(n) + QLatin1String(n == 1 ? one : many);
}

} // namespace

QString LanguageText(int language)
{
    const QStringList names = extra::LanguageNames();
    if (language < 0 || language >= names.size())
        return QString();
    return extra::StripNull(names[language], true).trimmed();
}

QString OperationModeText(int mode)
{
    switch (mode) {
    case 0: return QStringLiteral("Auxiliary");
    case 1: return QStringLiteral("Combined");
    case 2: return QStringLiteral("Propulsion");
    case 3: return QStringLiteral("Emergency");
    default: return QString();
    }
}

QString SwitchTypeText(int switchType)
{
    switch (switchType) {
    case 0: return QStringLiteral("Normally Closed");
    case 1: return QStringLiteral("Normally Open");
    default: return QString();
    }
}

QString DigitalActionText(int operationMode, int action)
{
    const int base = operationMode == 2 ? 2100 : operationMode == 3 ? 2200 : 2000;
    QString text = BlockText(base, 3, action);
    // A stored action the mode's list lacks (Shutdown in Emergency) is still named.
    if (text.isEmpty())
        text = BlockText(2000, 3, action);
    return text;
}

QString AnalogActionText(int operationMode, int inputType, int action)
{
    QString text;
    if (inputType == 3 || inputType == 4)
        text = BlockText(1390, 5, action);
    if (text.isEmpty())
        text = operationMode == 2 ? BlockText(1100, 9, action)
             : operationMode == 3 ? BlockText(1200, 6, action)
                                  : BlockText(1000, 9, action);
    if (text.isEmpty())
        text = BlockText(1000, 9, action);
    return text;
}

QString ActionDirectionText(int direction)
{
    switch (direction) {
    case 0: return QStringLiteral("when above limit");
    case 1: return QStringLiteral("when below limit!");
    default: return QString();
    }
}

QString RPMSenderText(int sender)
{
    switch (sender) {
    case 1: return QStringLiteral("Pickup At Flywheel");
    case 2: return QStringLiteral("Pickup At Timing Gear");
    default: return QString();
    }
}

QString PulsesCaption(int sender)
{
    return sender == 2 ? QStringLiteral("Teeth Count") : QStringLiteral("Pulses/Revolution");
}

QString Seconds(qint64 n) { return Counted(n, " Second", " Seconds"); }
QString Minutes(qint64 n) { return Counted(n, " Minute", " Minutes"); }
QString Hours(qint64 n) { return Counted(n, " Hour", " Hours"); }

QString Tenths(qint64 tenths) { return NumberLocale().toString(double(tenths) / 10.0, 'f', 1); }

QString SingleText(float value)
{
    // The shortest text that reads back as the same single, not as the double it widens to.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    QString text = QString::fromLatin1(buffer, int(result.ptr - buffer));
    return text.replace(QLatin1Char('.'), NumberLocale().decimalPoint());
}

QString ShownTenths(qint64 tenths, double offset) { return OneDecimal(modAnalog::ShownValue(tenths, offset)); }

QString OneDecimal(double value) { return NumberLocale().toString(value, 'f', 1); }

QString ShortDateLongTime(const QDateTime& t)
{
    const QLocale locale;
    return locale.toString(t.date(), QLocale::ShortFormat) + QLatin1Char(' ') + modDiv::LongTimeText(t.time());
}

QString GeneralDate(const QDateTime& t)
{
    const QLocale locale;
    QString text = locale.toString(t.date(), QLocale::ShortFormat);
    if (t.time() != QTime(0, 0))
        text += QLatin1Char(' ') + modDiv::LongTimeText(t.time());
    return text;
}

QString LastKnownStatus(const XelObject& setup)
{
    if (!setup.Main())
        return QString();
    const XelMain& m = *setup.Main();
    const QString firmware = extra::StripNull(m.Firmware(), false).trimmed();
    if (firmware.isEmpty())
        return QString();
    // Worded as the Main page shows it.
    const QDateTime when = m.FirmwareDate();
    return QStringLiteral("Last known status: At ") + QLocale().toString(when.date(), QLocale::ShortFormat)
         + QLatin1Char(' ') + when.time().toString(QStringLiteral("HH:mm:ss"))
         + (m.FirmwareDirection() == 0 ? QStringLiteral(" received from") : QStringLiteral(" transmitted to"))
         + QStringLiteral(" ECX 510 Q")
         + (extra::CompareVersions(firmware, QStringLiteral("4")) >= 0 ? QStringLiteral("2 ") : QStringLiteral("1 "))
         + QStringLiteral("version ") + firmware;
}

int UnitGeneration(const QString& firmware)
{
    const QString f = extra::StripNull(firmware, false).trimmed();
    if (f.isEmpty())
        return 0;
    return extra::CompareVersions(f, QStringLiteral("4")) >= 0 ? 2 : 1;
}

bool UsesAnalogExtension(const XelObject& setup)
{
    if (!setup.AnalogIn())
        return false;
    for (XelAnalogIn* in : setup.AnalogIn()->NewEnum())
        if (in->Active() && in->Index() >= 6 && in->Index() <= 11)
            return true;
    return false;
}

QString RelayCardText(const XelObject& setup)
{
    if (!setup.Relay())
        return QString();
    bool high = false, low = false;
    for (XelRelay* r : setup.Relay()->NewEnum()) {
        if (!r->InUse())
            continue;
        (r->Index() >= 7 ? high : low) = true;
    }
    return high ? QStringLiteral("PX-5") : low ? QStringLiteral("PX-3") : QString();
}

} // namespace reporttexts
