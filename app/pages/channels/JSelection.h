#pragma once
// Engine data from the J1939 (CAN) or J1587 bus for a switch or analog input: the parameter
// combo filled from the reference database, the record built from the chosen row, and the
// combo put back on the parameter a stored input holds.
//
// Each input page owns one half: `DigitalJSelection` (Switch page) or `AnalogJSelection`
// (Analog In page). A half is given the page's controls and a few page routines, keeps the
// page's parameter map (published in MainState as JDataDigital / JDataAnalog) and offers the
// handlers the page connects to its controls.
#include "datamodel/JData.h"

#include <QSqlRecord>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class MainState;
class QComboBox;
class QLineEdit;
class QTreeWidget;
class QWidget;
class XelAnalogIn;
class XelDigitalIn;
class clsADO;
class clsJData;

namespace jselection {

// Input type codes of bus inputs (the same on both pages).
constexpr qint32 TypeJ1587 = 3;
constexpr qint32 TypeCAN = 4;

// The parameter id (the map's key) of a stored record; 0 when the type is not a bus type,
// the record is empty or its fields cannot name a parameter (a J1587 PID above 255 would
// collide with the MID bits).
double StoredParameterID(qint32 inputType, const JData& values);

// The identifier fields of a record from a database row: J1587 MID, PID, PPID; CAN iMID from
// SIZE and POSITION and lPID / lPPID from the low / high half of ID. False (values untouched)
// for another type or a row whose fields do not fit the record.
bool IdentifierFromRow(qint32 inputType, const QSqlRecord& row, JData& values);

// The parameter name of an analog combo row: the text before its last "(", trimmed.
QString ParameterName(const QString& rowText);

// Clears the combo and fills it for the input type, without a selection and without raising
// its change signals; the map is replaced. Rows the database names twice or cannot fit are left
// out and reported once.
void FillJCombo(MainState& state, QComboBox* combo, std::unique_ptr<clsJData>& map,
                qint32 inputType, bool digital);

// The combo row of a stored record in the map; -1 when none.
int StoredPosition(const clsJData* map, qint32 inputType, const JData& values);

} // namespace jselection

// The switch half: cmbDigitalInputType, cmbDigitalJ and conDigitalPID of the Switch page.
class DigitalJSelection {
public:
    struct Controls {
        QTreeWidget* lvwDigital = nullptr;
        QComboBox* cmbDigitalInputType = nullptr;
        QComboBox* cmbDigitalJ = nullptr;
        QLineEdit* txtDigitalDescription = nullptr;
        QWidget* conDigitalPID = nullptr;
        std::function<void(bool)> setPIDChildrenEnabled;      // conDigitalPID children
        std::function<void(XelDigitalIn*)> showInputValues;   // ShowDigitalInputValues
        std::function<void()> refreshSelectedItemState;       // RefreshDigitalItemState(selected row)
    };

    DigitalJSelection(MainState& state, Controls controls);
    ~DigitalJSelection();

    void FillDigitalJCombo();
    void SelectDigitalJData(XelDigitalIn* input, bool flag);
    void cmbDigitalInputType_Click();
    void cmbDigitalJ_Click();
    // Drops the map (a plain input type).
    void ClearMap();

private:
    XelDigitalIn* SelectedInput() const;

    MainState& m_state;
    Controls m_c;
    std::unique_ptr<clsJData> m_map;
};

// The analog half: cmbAnalogInputType, cmbAnalogJ, conAnalogPID and the sensor range of the
// Analog In page.
class AnalogJSelection {
public:
    struct Controls {
        QTreeWidget* lvwAnalog = nullptr;
        QComboBox* cmbAnalogInputType = nullptr;
        QComboBox* cmbAnalogJ = nullptr;
        QLineEdit* txtAnalogDescription = nullptr;
        QWidget* conAnalogPID = nullptr;
        QWidget* conAnalogAlarmSetpoint0 = nullptr;
        QWidget* conAnalogAlarmSetpoint1 = nullptr;
        QWidget* graRPMDependentAlarm = nullptr;
        std::function<void(bool)> setPIDChildrenEnabled;        // conAnalogPID children
        std::function<void(bool)> setSensorRangeLocked;         // numAnalogSensorMin/Max Locked
        std::function<void(double, double)> showSensorRange;    // numAnalogSensorMin/Max values
        // FillAnalogActionCombo(operation mode, input type, input)
        std::function<void(qint32, qint32, XelAnalogIn*)> fillActionCombo;
        std::function<void(XelAnalogIn*)> showInputValues;      // ShowAnalogInputValues
        std::function<void()> showAnalogInput;                  // ShowAnalogInput (layout)
        std::function<void(int)> showSwitchSetting;             // frmMessage with DIPSetting 1 or 2
    };

    AnalogJSelection(MainState& state, Controls controls);
    ~AnalogJSelection();

    void FillAnalogJCombo();
    void SelectAnalogJData(XelAnalogIn* input, bool flag);
    void cmbAnalogInputType_Click();
    void cmbAnalogJ_Click();
    void cmbAnalogJ_KeyDown(int keyCode, int shift);
    void ClearMap();

private:
    XelAnalogIn* SelectedInput() const;

    MainState& m_state;
    Controls m_c;
    std::unique_ptr<clsJData> m_map;
};
