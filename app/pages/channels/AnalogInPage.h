#pragma once
// The "Analog In" page: the list of analog input channels and the controls of the selected
// input, with the routines of its module (defaults, list, combos by channel and operation
// mode, the J1939/J1587 channels, validation, copy and move, the RPM-dependent curve).
#include "app/pages/PageApis.h"

#include <QVector>
#include <QWidget>

#include <functional>
#include <memory>

class AnalogJSelection;
class AnalogListView;
class AnalogScrollStrip;
class Container;
class Float;
class MainState;
class Number;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QMimeData;
class QTreeWidgetItem;
class TarnGraph;
class XelAnalogIn;
class XelObject;
class frmSetpoints;

class AnalogInPage : public QWidget, public AnalogPageApi {
    Q_OBJECT
public:
    AnalogInPage(MainState& state, QWidget* parent = nullptr);
    ~AnalogInPage() override;

    // ---- AnalogPageApi ----
    void SetAnalogDefaults() override;
    void LoadAnalog() override;
    // mode 0 shows the message of a failed check; any other mode checks silently.
    bool ValidateAnalog(int mode) override;
    void RefreshAnalogList() override;
    void UpdateAnalogListItem(int index) override;
    void UpdateAnalogCount() override;
    void ShowSelectedAnalogInput() override;
    void SetDetailsEnabled(bool enabled) override;
    void FillAnalogInputTypeCombo(int list, bool flag) override;
    void AnalogCANChanged(bool on) override;
    void AnalogOperationModeChanged(bool emergency) override;
    void SetSensorRangeLocked(bool locked) override;
    int AnalogPictureIndex(int index) override;
    void LimitUnitsText(int length) override;
    void SetActiveCheckEnabled(bool enabled) override;

    // ---- the module's routines ----
    void ClearAnalogPage();
    void ResetAnalogControls();
    void UpdateAnalogListItem(QTreeWidgetItem* row, XelAnalogIn* input);
    // A null row works on the selected row.
    void SetAnalogListItemState(XelAnalogIn* input, QTreeWidgetItem* row);
    void RefreshSelectedAnalogItem(XelAnalogIn* input);
    void ShowAnalogInputValues(XelAnalogIn* input);
    void FillAnalogPageCombos(qint32 operationMode);
    void FillAnalogActionCombo(qint32 operationMode, qint32 inputType, XelAnalogIn* input);
    bool ValidateAnalogSilent(bool silent);
    void CopyAnalogInput(XelAnalogIn* source, XelAnalogIn* target, bool move);
    void DrawRPMDependentAlarm();
    void ShowAnalogInput();
    void ShowAnalogChannel(QTreeWidgetItem* item);
    void PrepareAnalogInputTypeCombo(int position, bool flag);
    void ClearAnalogInput();
    // The setpoints window filled from the page's curve, not yet shown.
    std::unique_ptr<frmSetpoints> PrepareSetpointsWindow();

    // ---- events of the controls (the signals call these; tests may too) ----
    void chkAnalogActive_Click();
    void cmbAnalogAction_Click();
    void cmbAnalogActionDirection_Click();
    void cmbAnalogUnits_Change();
    void txtAnalogDescription_KeyPress(QChar& key);
    void txtAnalogDescription_Change();
    void txtAnalogInfo_Change();
    void chkAnalogAlarmOnRunOnly_Click();
    void chkAnalogAdditionalRunDetection_Click();
    void chkAnalogDoubleScale_Click();
    void cmbAnalogInputType_Click();
    void cmbAnalogJ_Click();
    void cmbAnalogJ_KeyDown(int keyCode);
    void numAnalogLimit_BeforeChange(int index, float oldValue);
    void numAnalogLimitSetpoint_BeforeChange(int index, float oldValue);
    void numAnalogSensorMin_BeforeChange(float oldValue);
    void numAnalogSensorMax_BeforeChange(float oldValue);
    void numAnalogLimit_Change(int index);
    void numAnalogSensorMin_Change();
    void numAnalogSensorMax_Change();
    void numAnalogLimitSetpoint_Change(int index);
    void numAnalogSetpointRPM_Change(int index);
    void numAnalogInitialDelay_Change();
    void numAnalogAlarmDelay_Change();
    void numAnalogLimit_ErrorValue(int index);
    void numAnalogLimitSetpoint_ErrorValue(int index);
    void numAnalogSetpointRPM_ErrorValue(int index);
    void numAnalogSensorMin_ErrorValue();
    void numAnalogSensorMax_ErrorValue();
    void graRPMDependentAlarm_DblClick();
    void conAnalogActionType_ChildrenEnabledChange(bool enabled);
    void conAnalogInitialDelay_ChildrenEnabledChange(bool enabled);
    // List events. Shift bits: 1 Shift, 2 Ctrl, 4 Alt.
    void lvwAnalog_ItemClick(QTreeWidgetItem* item);
    void lvwAnalog_MouseDown(int button);
    void lvwAnalog_DblClick();
    void lvwAnalog_KeyDown(int keyCode);
    QMimeData* lvwAnalog_OLEStartDrag();
    int lvwAnalog_OLEDragOver(const QMimeData* data, QTreeWidgetItem* target, int shift);
    void lvwAnalog_OLEDragDrop(const QMimeData* data, QTreeWidgetItem* target, int shift);

    // Shows a modal window; tests replace it so that nothing waits for a user.
    std::function<void(QDialog&)> RunModal;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void FitAnalogColumns();
    void ConnectControls();
    XelObject* Setup() const;
    // The input of the selected row; null without one.
    XelAnalogIn* SelectedInput() const;
    // The input a handler may store into: none while values are only being shown.
    XelAnalogIn* InputToStore() const;
    XelAnalogIn* InputOfRow(QTreeWidgetItem* row) const;
    QTreeWidgetItem* SelectedRow() const;
    int RowPosition(QTreeWidgetItem* row) const;
    bool ShiftOrExpert() const;
    void Beep();
    // The reference-data offset of a bus input's parameter, in shown units.
    double LimitOffset(const XelAnalogIn& input);
    // Parts of the handlers that only follow the shown values.
    void ShowUnitsLabels();
    void ShowDelayWords();
    void ScaleGraphForUpperSetpoint(float value);
    void WidenGraphForUpperRPM(qint32 rpm);
    void ShowLimitGroupsForAction();
    void SetRowHighlighted(QTreeWidgetItem* row, bool highlighted);
    void PlaceActionTypeGroup();
    void ClassifiedRefresh();
    void GhostRelays();
    void ShowJumperMessage(qint16 setting);
    // J1939/J1587 parameter selection.
    void FillAnalogJCombo();
    void SelectAnalogJData(XelAnalogIn* input);
    // The sensor range of a bus parameter, shown with its offset.
    void ShowSensorRange(double min, double max);

    MainState& m_state;
    std::unique_ptr<AnalogJSelection> m_j;
    bool m_showing = false;
    QString m_shownKey;
    int m_lastMouseButton = 0;
    QString m_actionTag;

public:
    // Controls, named as on the page.
    AnalogListView* lvwAnalog = nullptr;
    QVector<AnalogScrollStrip*> picAnalogListScroll;
    QLabel* lblAnalogCount = nullptr;
    QCheckBox* chkAnalogActive = nullptr;
    QVector<QLabel*> picActionText; // elements 1, 2, 5 and 6 exist
    QVector<QLabel*> lblAnalog;
    QVector<QLabel*> lblAnalogUnits; // 1..5
    Container* conAnalog = nullptr;
    Container* conAnalogPID = nullptr;
    Container* conAnalogLimit = nullptr;
    Container* conAnalogLimitWarning = nullptr;
    Container* conAnalogLimitAlarm = nullptr;
    Container* conAnalogLimitShutdown = nullptr;
    QVector<Container*> conAnalogAlarmSetpoint;
    Container* conAnalogActionInfo = nullptr;
    Container* conAnalogActionType = nullptr;
    Container* conAnalogInitialDelay = nullptr;
    QLineEdit* txtAnalogDescription = nullptr;
    QLineEdit* txtAnalogInfo = nullptr;
    QComboBox* cmbAnalogInputType = nullptr;
    QComboBox* cmbAnalogJ = nullptr;
    QComboBox* cmbAnalogUnits = nullptr;
    QComboBox* cmbAnalogAction = nullptr;
    QComboBox* cmbAnalogActionDirection = nullptr;
    QCheckBox* chkAnalogDoubleScale = nullptr;
    QCheckBox* chkAnalogAlarmOnRunOnly = nullptr;
    QCheckBox* chkAnalogAdditionalRunDetection = nullptr;
    Float* numAnalogSensorMin = nullptr;
    Float* numAnalogSensorMax = nullptr;
    QVector<Float*> numAnalogLimit;         // 0 alarm, 1 warning, 2 shutdown
    QVector<Float*> numAnalogLimitSetpoint; // 0 lower, 1 upper
    QVector<Number*> numAnalogSetpointRPM;  // 0 lower, 1 upper
    Number* numAnalogInitialDelay = nullptr;
    Number* numAnalogAlarmDelay = nullptr;
    TarnGraph* graRPMDependentAlarm = nullptr;
};
