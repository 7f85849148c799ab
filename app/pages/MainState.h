#pragma once
// The state the main window shares with its pages, dialogs and unit operations. The frame owns
// the objects; everything else reads and writes through this one object, so no second copy of
// the setup exists anywhere.
#include <QIcon>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

class XelObject;
class clsADO;
class clsJData;
class QWidget;

class FrameApi;
class MainPageApi;
class SwitchPageApi;
class AnalogPageApi;
class StandbyPageApi;
class SpeedSensorPageApi;
class BatteryPageApi;
class InfoPageApi;
class RelaysPageApi;

// The composed list-state pictures, in the fixed order every list filler relies on. A list
// picks its picture by 1-based position; an empty list leaves rows without a picture.
struct ListImages {
    QVector<QIcon> imlDigital;
    QVector<QIcon> imlAnalog;
    QVector<QIcon> imlRelay;
    QVector<QIcon> imlAdditionalRUNDetect;
    QStringList imlDigitalKeys, imlAnalogKeys, imlRelayKeys, imlAdditionalRUNDetectKeys;
};

// Tab indexes of tabMain.
enum MainTab : int {
    TabMain = 0,
    TabSwitch = 1,
    TabAnalogIn = 2,
    TabStandbyOperation = 3,
    TabSpeedSensor = 4,
    TabBattery = 5,
    TabInfo = 6,
    TabRelays = 7,
};

class MainState {
public:
    // The open setup; never null once the main window has started.
    ::XelObject* XelObject() const { return m_setup; }
    void SetXelObject(::XelObject* setup) { m_setup = setup; }

    clsADO* ADO = nullptr;
    clsJData* JDataAnalog = nullptr;
    clsJData* JDataDigital = nullptr;
    // The reports of reference rows left out of a parameter combo that the user has seen,
    // so that the same rows are told once in a session, whichever page fills its combo.
    QStringList ReportedRefusedJRows;

    bool ExpertMode = false;   // also the "God Mode" of the relay pages
    bool Loading = false;      // ShowSetup fills the pages
    bool OpeningSetup = false; // a command replaces the setup, or a handler changes controls from code
    bool DebugInfo = false;
    bool DebugComm = false;
    bool PROPULSION = false;
    bool Emergency = false;
    int DragFormat = 0;
    qint16 LastMouseButton = 0;

    ListImages images;

    // What the frame and each page offer the others; null while absent (tests build pages alone).
    FrameApi* frame = nullptr;
    MainPageApi* mainPage = nullptr;
    SwitchPageApi* switchPage = nullptr;
    AnalogPageApi* analogPage = nullptr;
    StandbyPageApi* standbyPage = nullptr;
    SpeedSensorPageApi* speedSensorPage = nullptr;
    BatteryPageApi* batteryPage = nullptr;
    InfoPageApi* infoPage = nullptr;
    RelaysPageApi* relaysPage = nullptr;

private:
    ::XelObject* m_setup = nullptr;
};
