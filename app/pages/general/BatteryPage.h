#pragma once
// The "Battery" page: the start battery the unit supervises, its low-voltage alarm limit and
// delay, and where on J1939 the voltage is read.
#include "app/pages/PageApis.h"

#include <QWidget>

class MainState;
class Container;
class Float;
class Number;
class XelBattery;
class XelObject;
class QComboBox;
class QLabel;

class BatteryPage : public QWidget, public BatteryPageApi {
    Q_OBJECT
public:
    // The alarm limits of the box by range kind.
    enum RangeKind { Range24V = 0, Range12V = 1, RangeEngineData = 2 };

    BatteryPage(MainState& state, QWidget* parent = nullptr);

    // BatteryPageApi
    void SetBatteryDefaults() override;
    void LoadBattery() override;
    bool ValidateBattery() override;
    QString StartBatteryVoltageText() override;
    void SetEngineDataEntries(bool on) override;

    void InitBatteryControls();
    void ShowBattery(XelBattery& part);
    void StoreBattery(XelBattery& part);
    int RangeKindNow() const { return m_rangeKind; }

private:
    void BuildControls();
    void OnStartVoltageChanged();
    void StoreCurrent();
    void ApplyRange(int kind, float value);
    int ChosenVoltage() const;

    MainState& m_state;
    bool m_loading = false; // the Battery loading flag
    int m_rangeKind = Range24V;
    // What the page showed from the setup: alarm value, delay and start-voltage entry.
    float m_shownAlarm = -1.0f;
    int m_shownDelay = -1;
    int m_shownVoltageIndex = -2;

    Container* conBatteryAlarm = nullptr;
    Container* conBatteryCANLocation = nullptr;
    QLabel* lblBattery[6] = {};
    QLabel* lblBatteryInfo = nullptr;
    Float* numBatteryLowBatteryVAlarm = nullptr;
    Number* numBatteryDelay = nullptr;
    QComboBox* cmbBatteryStartBatteryVoltage = nullptr;
    QComboBox* cmbBatteryCANLocation = nullptr;
};
