#pragma once
// The enumerations of the setup data model. The properties that carry them are Long,
// so callers pass qint32(value); no accessor checks that a value is a member.
#include <QtGlobal>

enum class AnalogActionType : qint32 {
    None = 0,
    Warning = 1,
    Alarm = 2,
    Shutdown = 3,
    WarningAlarm = 4,
    WarningShutdown = 5,
    RPMDependentAlarm = 6,
    RPMDependentWarning = 7,
    RPMDependentShutdown = 8,
};

// "Above Limit" 0, "Below Limit" 1.
enum class AnalogActionDirection : qint32 {
    AboveLimit = 0,
    BelowLimit = 1,
};

// "4..20mA" 0, "0..20mA" 1, "0..10V" 2, J1587 3, CAN 4 (J1939).
enum class AnalogInputType : qint32 {
    mA4_20 = 0,
    mA0_20 = 1,
    V0_10 = 2,
    J1587 = 3,
    CAN = 4,
};

enum class DigitalActionType : qint32 {
    Warning = 1,
    Alarm = 2,
    Shutdown = 3,
};

// "Normally Closed" 0, "Normally Open" 1.
enum class DigitalSwitchTypeType : qint32 {
    NormallyClosed = 0,
    NormallyOpen = 1,
};

// Default 0 (the terminal), J1587 3, CAN 4 (J1939).
enum class DigitalInputType : qint32 {
    Default = 0,
    J1587 = 3,
    CAN = 4,
};

enum class MainOperationMode : qint32 {
    Auxiliary = 0,
    Combi = 1,
    PROPULSION = 2,
    Emergency = 3,
};

enum class MainFirmwareDirection : qint32 {
    FromECX = 0,
    ToECX = 1,
};
