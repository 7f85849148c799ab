#pragma once
// Texts both setup reports print for stored values. They come from the language blocks and
// fixed lists by value, so a report never depends on how a page's combo happens to be filled.
#include <QString>

class QDateTime;
class XelObject;

namespace reporttexts {

QString LanguageText(int language);        // "" for an index without a language
QString OperationModeText(int mode);       // "Emergency", "Auxiliary", "Combined", "Propulsion"
QString SwitchTypeText(int switchType);    // "Normally Closed", "Normally Open"
QString DigitalActionText(int operationMode, int action);
QString AnalogActionText(int operationMode, int inputType, int action);
QString ActionDirectionText(int direction); // "when above limit", "when below limit!"
QString RPMSenderText(int sender);          // Sender(i): 1 "Pickup At Flywheel", 2 "Pickup At Timing Gear"
QString PulsesCaption(int sender);          // "Teeth Count" for sender 2, else "Pulses/Revolution"

// Whole numbers of seconds, minutes, hours with the singular at exactly 1 (" Second").
QString Seconds(qint64 n);
QString Minutes(qint64 n);
QString Hours(qint64 n);
// Stored tenths as "0.0" with the locale's decimal separator and no grouping.
QString Tenths(qint64 tenths);
// A single-precision value in its shortest decimal form, locale separator, no grouping.
QString SingleText(float value);
// Stored tenths with a bus parameter's reference-data offset, as the Analog In page shows them: "0.0".
QString ShownTenths(qint64 tenths, double offset);
// A number with one decimal ("0.0"), locale separator, no grouping.
QString OneDecimal(double value);

// The system's short date and long time ("ddddd ttttt").
QString ShortDateLongTime(const QDateTime& t);
// The general date: the short date, then the long time unless it is midnight.
QString GeneralDate(const QDateTime& t);
// "Last known status: At ..." of a setup's last transfer; "" when none is recorded.
QString LastKnownStatus(const XelObject& setup);

// The unit's generation from its firmware text: 0 unknown (empty), 1 Q1, 2 Q2 (major 4 and up).
int UnitGeneration(const QString& firmware);
// Analog extension card in use: an active analog input on channels 6 to 11.
bool UsesAnalogExtension(const XelObject& setup);
// Optional relay cards: "PX-5" with a relay in use at channel 7 or above, "PX-3" with one below,
// "" with none.
QString RelayCardText(const XelObject& setup);

} // namespace reporttexts
