#pragma once
// The "Speed Sensor" page: the two speed pickups, the engine speeds and RUN detection
// (modSpeedSensor), the four speed relays (modSpeedRelays) and the list of inputs that also
// signal RUN. Every edit is stored into the open setup at once.
#include "app/pages/PageApis.h"

#include <QString>
#include <QWidget>

class Container;
class Float;
class MainState;
class Number;
class QComboBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class XelObject;
class XelSpeedRelay;
class XelSpeedSensor;

class SpeedSensorPage : public QWidget, public SpeedSensorPageApi {
    Q_OBJECT
public:
    SpeedSensorPage(MainState& state, QWidget* parent = nullptr);

    // ---- SpeedSensorPageApi ----
    void SetSpeedSensorDefaults() override;
    void SetSpeedRelaysDefaults() override;
    void LoadSpeedSensor() override;
    void LoadSpeedRelays() override;
    bool ValidateSpeedSensor() override;
    void UpdateSpeedingLabel() override;
    void FillAdditionalRunDetection() override;
    void FillSpeedRelays() override;
    void SetPickupFramesEnabled(bool enabled) override;
    void ShowTabPage() override;
    bool RunDetectionAvailable() override;
    QString RPMSenderName(int pickup) override;
    QString PulsesCaption(int pickup) override;
    void SetSpeedSensorLoading(bool loading) override { m_loading = loading; }
    void SetPickupEngineDataEntries(bool on) override;
    void SetNomMaxCaption(const QString& caption) override;
    qint32 NomMaxValue() override;
    qint32 SpeedingValue() override;

    static bool RunDetectionAvailable(const XelObject& setup);

    // modSpeedSensor
    void InitSpeedSensorControls();
    void ShowSpeedSensor(const XelSpeedSensor& sensor);
    void StoreSpeedSensor(XelSpeedSensor& sensor);
    bool Loading() const { return m_loading; }

    // The additional RUN detection list's caption; scroll brings every checked entry into view.
    void UpdateAdditionalRunCaption(bool scroll);
    // Takes an entry's check state into the speed relay and shows its speed.
    void ShowSpeedRelay(QTreeWidgetItem* entry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    // The overspeed caption and what follows it on its row, placed for that caption.
    void PlaceSpeedingRow(const QString& caption);
    ::XelObject* Setup() const;
    void Store();

    // Handlers.
    void PickupSourceClicked(int i);
    void PickupTwoChildrenEnabledChanged(bool enabled);
    void SenderClicked(int i);
    void NomMaxChanged();
    void NomMaxLostFocus();
    void SpeedingChanged();
    void SpeedingShutdownChanged();
    void RunDetectionDelayChanged();
    void UpdateSecondsLabel();

    // Speed relays.
    void StoreSpeedRelays(XelSpeedRelay* relay);
    XelSpeedRelay* RelayOfEntry(QTreeWidgetItem* entry) const;
    void SpeedRelayCheckChanged(QTreeWidgetItem* entry);
    void SpeedRelayDoubleClicked();
    void SpeedRelaySpeedChanged();
    bool SpeedRelayStep(int direction);
    void SetEntryChecked(QTreeWidgetItem* entry, bool checked);

    // Additional RUN detection.
    void RunEntryCheckChanged(QTreeWidgetItem* entry);
    void RunEntryDoubleClicked();
    void ChooseRunInput(QTreeWidgetItem* entry);
    int DigitalPicture(int index);
    int AnalogPicture(int index);

    // The values last shown from the setup (a file or a unit): they pass the checks until
    // the user edits them, so an unchanged setup can always leave the page.
    struct ShownValues {
        bool valid = false;
        qint32 pulses[2] = {};
        qint32 ready = 0, nominal = 0, speeding = 0, runAt = 0;
        int shutdownTenths = 0;
    };
    ShownValues m_shown;

    MainState& m_state;
    bool m_loading = false;       // modSpeedSensor
    bool m_relaysLoading = false; // modSpeedRelays
    bool m_filling = false;       // a list is being rebuilt: its item events are ours

public:
    // Controls (objectNames are the control names).
    Container* conSpeedSensorSpeed = nullptr;
    QLabel* lblSpeedSensor[11] = {};
    QComboBox* cmbSpeedSensorNumberOfPickups[2] = {};
    Container* conSpeedSensorPickup2 = nullptr;
    Container* conSpeedSensorPickup[2] = {};
    QLabel* lblSpeedSensorPickup1 = nullptr;
    QLabel* lblSpeedSensorPickup2 = nullptr;
    QComboBox* cmbSpeedSensorRPMSender[2] = {};
    Number* numSpeedSensorPulsesPerRevolution[2] = {};
    QLabel* lblSpeedSensorPulses[2] = {};
    Number* numSpeedSensorNomMax = nullptr;
    QLabel* lblSpeedSensorNomMax = nullptr;
    Number* numSpeedSensorSpeeding = nullptr;
    QLabel* lblSpeedSensorSpeeding = nullptr;
    Float* numSpeedSensorSpeedingShutdown = nullptr;
    Number* numSpeedSensorReadyToTakeLoad = nullptr;
    Number* numSpeedSensorRUNDetectedAt = nullptr;
    Container* conSpeedSensorPickupAdd = nullptr;
    Number* numSpeedSensorRUNDetectionDelay = nullptr;

    Container* conSpeedSensorSpeedRelays = nullptr;
    QTreeWidget* lvwSpeedRelays = nullptr;
    Container* conSpeedRelayRPM = nullptr;
    QLabel* lblSpeedRelay[2] = {};
    Number* numSpeedRelaySpeed = nullptr;

    Container* conSpeedSensorRUN = nullptr;
    QTreeWidget* lvwAdditionalRunDetection = nullptr;
    QLabel* lblAdditionalRUN = nullptr;
};
