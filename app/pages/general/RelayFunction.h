#pragma once
// The relay function code: one byte that names what drives a relay output. It is formed from
// its source here (the picker), read back here (the relay lists, the transmit checks) and named
// here, so every caller agrees on the code space.
//
//   0            no function
//   1..12        switch input n                 193..204  the same at warning level (+192)
//   13..17       analog input 1..5              205..209  the same at warning level
//   28..33       analog input 6..11             220..225  the same at warning level
//   58..61       speed relay 1..4
//   other        a fixed unit function, text = language string 5100 + code
//   210..219     inside the analog warning run but naming no input: unassigned
#include "app/setupdefaults/RelayDefaults.h"

#include <QString>
#include <QVector>
#include <QtGlobal>

class XelObject;
class XelDigitalIn;
class XelAnalogIn;
class XelSpeedRelay;
class cRelay;

namespace RelayFunction {

constexpr int kWarningOffset = 192;
constexpr int kSpeedRelayBase = 57;  // speed relay n is 57 + n
constexpr int kSpeedRelayCount = 4;  // the unit has four speed relays
constexpr int kAnalogInputCount = 11; // inputs 12..17 (CAN) have no code
constexpr int kSwitchInputCount = 12;
constexpr int kTextBase = 5100;

// Codes the program itself refers to.
constexpr int kPreheat = 68;
constexpr int kCommonAlarm = 75;
constexpr int kFirstCANOnly = 70;        // 70..73 offered only with the CAN option
constexpr int kLastCANOnly = 73;

enum class Kind {
    None,        // code 0
    SwitchInput,
    AnalogInput,
    SpeedRelay,
    Fixed,       // a unit function (its text may be missing)
    Unassigned,  // 210..219: reads as nothing
};

// What a code names.
struct Source {
    Kind kind = Kind::None;
    int number = 0;       // input or speed relay number; the code itself for Fixed/Unassigned
    bool warning = false; // warning level (code 192 and above) of a switch or analog input
};

// ---- reading a code back ----
Source Decode(int code);
bool IsWarningLevel(int code);

// ---- forming a code from its source (0 for a source outside the code space) ----
int SwitchCode(int index, qint32 action);
int AnalogPlainCode(int index);
int AnalogWarningCode(int index);
int SpeedRelayCode(int index);

// The codes an analog input offers for its action, in the picker's order; the level word
// goes with each ("" when the action has one level).
struct AnalogOffer {
    int code = 0;
    QString level;
};
QVector<AnalogOffer> AnalogCodes(int index, qint32 action);

// ---- texts ----
// "WARNING", "ALARM", "SHUTDOWN" for the two-level actions, "" for every other one.
QString LevelWord(qint32 action, bool warningLevel);
QString SwitchText(int index, const QString& text);
QString AnalogText(int index, const QString& text, const QString& level);
// "   CAN" / "   J1587" behind a bus input's text, "" for a wired one.
QString BusSuffix(qint32 inputType);
QString SpeedRelayText(int index, qint32 rpm);
// Language string 5100 + code without a leading "!"; "" when there is none.
QString FixedText(int code);
// "No <code> - Invalid!"
QString InvalidText(int code);

// The picker's kind of a fixed function: "ALARM" for codes below 38, "EVENT" from 38 on.
QString FixedKind(int code);
// The relay rows' own picture rule for a code without an input behind it:
// 18..27 and 35..38 "ALARM" (2), speed relays "RELAY" (3), everything else "EVENT" (1).
int FixedRowPicture(int code);

// ---- selection keys of the picker: "D", "A", "S" or "*" followed by the code ----
// "" when no entry can carry the code.
QString SelectionKey(int code);
// The code written after the key's first character; 0 for a key that carries none.
int KeyCode(const QString& key);

// ---- sources in a setup, found by their collection key ----
XelDigitalIn* SwitchInput(const XelObject& setup, int index);
XelAnalogIn* AnalogInput(const XelObject& setup, int index);
XelSpeedRelay* SpeedRelay(const XelObject& setup, int index);

// The function text of a code in a setup as the relay lists write it into FunctionText:
// the source's text, the speed relay's state, the fixed function's language text. A code
// whose source is missing from the setup, and 210..219, read "No n - Invalid!".
QString FunctionName(const XelObject& setup, int code);

// True when an entry of the collection is in use with the code.
bool AnyRelayUses(const cRelay* relays, int code);
// The same over both relay collections of the setup.
bool AnyRelayUses(const XelObject& setup, int code);
// Takes the code off every relay of both collections (not in use, code 0); the count cleared.
int ClearRelaysUsing(XelObject& setup, int code);

} // namespace RelayFunction
