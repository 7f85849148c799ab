#pragma once
// The "Standby Operation" page: start and stop timing of a standby engine, and the fuel
// consumption measuring type of a propulsion engine.
#include "app/pages/PageApis.h"

#include <QWidget>

class MainState;
class Container;
class Number;
class XelObject;
class XelStandbyOperation;
class QComboBox;
class QLabel;

class StandbyOperationPage : public QWidget, public StandbyPageApi {
    Q_OBJECT
public:
    StandbyOperationPage(MainState& state, QWidget* parent = nullptr);

    // StandbyPageApi
    void SetStandbyOperationDefaults() override;
    void LoadStandbyOperation(bool propulsion) override;
    bool ValidateStandbyOperation() override;
    void ShowTabPage(bool hasPreheatRelay, bool propulsion) override;
    void FillFuelConsumptionCombo() override;
    void ApplyOperationShape(bool propulsion) override;

    void InitStandbyOperationControls();
    void ShowStandbyOperation(XelStandbyOperation& part);
    void StoreStandbyOperation(XelStandbyOperation& part);

private:
    struct Field {
        Number* box;
        int min;
        int max;
        int message;
        bool startingBottomOrStopping; // sits in a group hidden in Propulsion mode
        int shown = -1;                // the value shown from the setup
    };
    void BuildControls();
    void ApplyShape(bool propulsion);
    Number* AddNumber(QWidget* parent, const char* name, int min, int max, int message, bool hiddenInPropulsion);
    void OnNumberChanged(Number* box);
    void OnFuelChanged();
    void StoreCurrent();
    const Field* FieldOf(const Number* box) const;
    Field* FieldOf(const Number* box);

    MainState& m_state;
    bool m_loading = false; // the Standby Operation loading flag
    bool m_propulsion = false;
    // The stored fuel type has no list entry: it is kept until the user picks one.
    bool m_fuelUnlisted = false;
    QList<Field> m_fields;

    Container* conStandbyOperationStarting = nullptr;
    Container* conStandbyOperationStartingBottom = nullptr;
    Container* conStandbyOperationStopping = nullptr;
    Container* conStandbyOperationFuel = nullptr;
    Number* numStandbyOperationInitial = nullptr;
    Number* numStandbyOperationAttempts = nullptr;
    Number* numStandbyOperationCranking = nullptr;
    Number* numStandbyOperationDelay = nullptr;
    Number* numStandbyOperationGenBreak = nullptr;
    Number* numStandbyOperationCooling = nullptr;
    QComboBox* cmbStandbyOperationFuel = nullptr;
    QLabel* lblStandbyOperation[12] = {};
    QLabel* lblStandbyOperationFuelMessage = nullptr;
    QLabel* lblStandbyOperationPropulsion = nullptr;
    QLabel* lblStandbyOperationPreheat = nullptr;
};
