#pragma once
// The routines the main window's frame and pages offer one another. Each page implements its
// own interface and the frame publishes it in MainState; a caller checks the pointer, because a
// page or dialog can be built and tested without the others.
#include <QString>
#include <QStringList>
#include <QtGlobal>

class MainState;
class QIcon;
class QWidget;
class frmRelaySelection;

// What the frame offers the pages, dialogs and unit operations.
class FrameApi {
public:
    virtual ~FrameApi() = default;
    virtual QWidget* MainWindow() = 0;
    virtual QIcon WindowIcon() = 0;
    // tabMain
    virtual int CurrentTab() = 0;
    virtual void SelectTab(int tab) = 0;
    virtual void SetTabCaption(int tab, const QString& caption) = 0;
    virtual void ShowTabPage(int tab) = 0;
    // staMain panels by key ("TEXT", "USER", "MODE", "CLASSIFIABLE", "DEBUG" ...)
    virtual void SetPanelText(const QString& key, const QString& text) = 0;
    virtual void SetPanelToolTip(const QString& key, const QString& text) = 0;
    virtual void SetPanelVisible(const QString& key, bool visible) = 0;
    virtual void UpdateCaption(const QString& title) = 0;
    // The port dialog shown without owner when no port is stored; true when cancelled.
    virtual bool ShowCommSetupCancelled() = 0;
    // The Options dialog, modal over the main window.
    virtual void ShowOptions() = 0;
    // Unit transfers of the frame: true when transmitted and verified / received.
    virtual bool TransmitSetupToUnit() = 0;
    virtual bool ReceiveSetupFromUnit() = 0;
    virtual bool CheckChannelDescriptions() = 0;
    // The transmit with the firmware version the caller has already read from the unit, so the
    // image, the checks and the transfer size use one value.
    virtual bool TransmitSetupToUnitFor(const QString& firmware)
    {
        Q_UNUSED(firmware);
        return TransmitSetupToUnit();
    }
    // frmBackupSystemSettings for the open setup, modal over the main window.
    virtual void ShowBackupSystemSettings() {}
};

// "Main" page.
class MainPageApi {
public:
    virtual ~MainPageApi() = default;
    virtual bool InitDatabaseCombos() = 0; // false: message 97 shown, the program ends
    virtual void SetLanguageList(const QStringList& names) = 0; // cmbMainLanguage
    virtual void SelectDefaultLCDLightScale() = 0;             // item 1 of cmbMainLCDLightScale
    virtual void SetMainDefaults() = 0;
    virtual void LoadMain() = 0;
    virtual bool ValidateMain() = 0;
    virtual void UpdateClassifiedInfo() = 0;
    virtual void UpdateClassifiedCheck(bool force) = 0;
    virtual bool ClassifiedChecked() = 0;
    virtual QString ClassifiedTag() = 0;
    virtual void UpdateIDNumberLabel() = 0;
    virtual void UpdateMIDLabel() = 0;
    virtual void UpdateStandbyTab() = 0;
    virtual QString FormatLastKnownStatus() = 0;
    virtual void SetLastKnownStatusText(const QString& text) = 0; // txtMainFirmware
    virtual QString LanguageText() = 0;      // for the reports
    virtual QString OperationModeText() = 0; // for the reports
    // The hidden service settings dialog and the unit ID dialog, modal with the open setup.
    virtual void ShowSecretSettings() {}
    virtual void ShowIDNumber() {}
    // chkMainClassified's tag ("0" after opening a file older than 2.9).
    virtual void SetClassifiedTag(const QString& tag) { Q_UNUSED(tag); }
    // The two J-parameter maps of the input pages (JDataAnalog, JDataDigital), once at start-up.
    virtual void CreateJDataObjects() {}
    // chkMainCAN switched off as by a click, without its question: the caller has made sure
    // no input reads the engine bus.
    virtual void SwitchOffCAN() {}
};

// "Switch" page.
class SwitchPageApi {
public:
    virtual ~SwitchPageApi() = default;
    virtual void SetDigitalDefaults() = 0;
    virtual void SetDigitalInAdditionalDefaults() = 0;
    virtual void LoadDigital() = 0;
    virtual bool ValidateDigital() = 0;
    virtual void RefreshDigitalList() = 0;
    virtual void UpdateDigitalListItem(int index) = 0;
    virtual void UpdateDigitalCount() = 0;
    virtual void ShowSelectedDigitalInput() = 0;
    virtual void SetDetailsEnabled(bool enabled) = 0; // conDigital... ChildrenEnabled
    virtual void FillDigitalInputTypeCombo(int list, bool selectFirst) = 0;
    virtual void DigitalOperationModeChanged(bool emergency) = 0;
    virtual void RefreshDigitalInAdditional() = 0;
    virtual void FillDigitalInAdditionalCombo() = 0;
    virtual int DigitalPictureIndex(int index) = 0; // lvwDigital picture of input `index`
    virtual void SetActiveCheckEnabled(bool enabled) = 0; // chkDigitalActive
};

// "Analog In" page.
class AnalogPageApi {
public:
    virtual ~AnalogPageApi() = default;
    virtual void SetAnalogDefaults() = 0;
    virtual void LoadAnalog() = 0;
    virtual bool ValidateAnalog(int mode) = 0;
    virtual void RefreshAnalogList() = 0;
    virtual void UpdateAnalogListItem(int index) = 0;
    virtual void UpdateAnalogCount() = 0;
    virtual void ShowSelectedAnalogInput() = 0;
    virtual void SetDetailsEnabled(bool enabled) = 0; // conAnalog, conAnalogPID, sensor range locked
    virtual void FillAnalogInputTypeCombo(int list, bool flag) = 0;
    virtual void AnalogCANChanged(bool on) = 0;
    virtual void AnalogOperationModeChanged(bool emergency) = 0;
    virtual void SetSensorRangeLocked(bool locked) = 0; // numAnalogSensorMin/Max Locked
    virtual int AnalogPictureIndex(int index) = 0; // lvwAnalog picture of input `index`
    virtual void LimitUnitsText(int length) = 0;   // cmbAnalogUnits text limit
    virtual void SetActiveCheckEnabled(bool enabled) = 0; // chkAnalogActive
};

// "Standby Operation" page.
class StandbyPageApi {
public:
    virtual ~StandbyPageApi() = default;
    virtual void SetStandbyOperationDefaults() = 0;
    virtual void LoadStandbyOperation(bool propulsion) = 0;
    virtual bool ValidateStandbyOperation() = 0;
    virtual void ShowTabPage(bool hasPreheatRelay, bool propulsion) = 0;
    // cmbStandbyOperationFuel from the reference database (start-up).
    virtual void FillFuelConsumptionCombo() {}
    // The groups shown for Propulsion or for the other modes.
    virtual void ApplyOperationShape(bool propulsion) { Q_UNUSED(propulsion); }
};

// "Speed Sensor" page, with the speed relays and the additional RUN detection list.
class SpeedSensorPageApi {
public:
    virtual ~SpeedSensorPageApi() = default;
    // The Main page's init sets the page's loading flag while it resets the J1939/J1587 option.
    virtual void SetSpeedSensorLoading(bool loading) { Q_UNUSED(loading); }
    // The nominal and overspeed fields as shown, for the reports' overspeed percentage.
    virtual qint32 NomMaxValue() { return 0; }
    virtual qint32 SpeedingValue() { return 0; }

    virtual void SetSpeedSensorDefaults() = 0;
    virtual void SetSpeedRelaysDefaults() = 0;
    virtual void LoadSpeedSensor() = 0;
    virtual void LoadSpeedRelays() = 0;
    virtual bool ValidateSpeedSensor() = 0;
    virtual void UpdateSpeedingLabel() = 0;
    virtual void FillAdditionalRunDetection() = 0;
    virtual void FillSpeedRelays() = 0;
    virtual void SetPickupFramesEnabled(bool enabled) = 0; // conSpeedSensorPickup(i)
    virtual void ShowTabPage() = 0;
    virtual bool RunDetectionAvailable() = 0;
    virtual QString RPMSenderName(int pickup) = 0; // for the reports
    virtual QString PulsesCaption(int pickup) = 0; // for the reports
    // The engine-data entries of both pickup lists, present while J1939/J1587 is on.
    virtual void SetPickupEngineDataEntries(bool on) { Q_UNUSED(on); }
    // lblSpeedSensorNomMax, which follows the operation mode.
    virtual void SetNomMaxCaption(const QString& caption) { Q_UNUSED(caption); }
};

// "Battery" page.
class BatteryPageApi {
public:
    virtual ~BatteryPageApi() = default;
    virtual void SetBatteryDefaults() = 0;
    virtual void LoadBattery() = 0;
    virtual bool ValidateBattery() = 0;
    virtual QString StartBatteryVoltageText() = 0; // cmbBatteryStartBatteryVoltage
    // The "Read From J1939/J1587" entries of the start-voltage list, present while J1939/J1587 is on.
    virtual void SetEngineDataEntries(bool on) { Q_UNUSED(on); }
};

// "Info." page.
class InfoPageApi {
public:
    virtual ~InfoPageApi() = default;
    virtual void SetInfoDefaults() = 0;
    virtual void LoadInfo() = 0;
};

// "Relays" page.
class RelaysPageApi {
public:
    virtual ~RelaysPageApi() = default;
    virtual void SetRelaysDefaults() = 0;
    virtual void SetRelaysNewDefaults() = 0;
    virtual void LoadRelays() = 0;
    virtual void LoadRelaysNew() = 0;
    virtual void RefreshRelayLists() = 0;
    virtual void GhostRelaysForAnalogInputs() = 0;
    virtual bool HasPreheatRelay() = 0;
    virtual void UpdateRelayButtons() = 0; // Add/Remove buttons by the selected rows
    virtual void DisableRemoveButtons() = 0;
    virtual void FocusRelayNewList() = 0;
    // The shown function text of a relay row (list 0 lvwRelay, 1 lvwRelayNew), for the reports.
    virtual QString RelayRowText(int list, const QString& key) = 0;
    // True when the row marks its source as not active or without action.
    virtual bool RelayRowMarked(int list, const QString& key) { Q_UNUSED(list); Q_UNUSED(key); return false; }
    // The picker accepted an entry: read its InUse, FunctionNo and FunctionText and store them
    // into the edited relay of the terminal card (bNew) or of the optional card.
    virtual void RelaySelected(bool bNew, const frmRelaySelection& picker)
    {
        Q_UNUSED(bNew);
        Q_UNUSED(picker);
    }
};

// Checks the values of the page with that tab index, then commits the focused entry box as
// leaving it would; true when the page is valid (or has no checks) and the commit changed
// nothing. Every road that reads the setup or leaves the page asks it first.
bool ValidateCurrentPage(MainState& state, int tab);
