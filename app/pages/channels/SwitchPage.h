#pragma once
// The "Switch" page: the twelve switch inputs of the open setup in the list lvwDigital, the
// entry controls of the selected input with their rules, copy and move by drag and drop, the
// J1939/J1587 parameter of inputs 10 to 12, and the two additional switch inputs.
#include "app/pages/PageApis.h"
#include "app/pages/channels/JSelection.h"
#include "app/pages/channels/XelDispUse.h"

#include <QWidget>

#include <memory>

class MainState;
class DigitalListView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QTreeWidgetItem;
class XelDigitalIn;
class XelObject;

class SwitchPage : public QWidget, public SwitchPageApi {
    Q_OBJECT
public:
    SwitchPage(MainState& state, QWidget* parent = nullptr);
    ~SwitchPage() override;

    // ---- SwitchPageApi
    void SetDigitalDefaults() override;
    void SetDigitalInAdditionalDefaults() override;
    void LoadDigital() override;
    bool ValidateDigital() override;
    void RefreshDigitalList() override;
    void UpdateDigitalListItem(int index) override;
    void UpdateDigitalCount() override;
    void ShowSelectedDigitalInput() override;
    void SetDetailsEnabled(bool enabled) override;
    void FillDigitalInputTypeCombo(int list, bool selectFirst) override;
    void DigitalOperationModeChanged(bool emergency) override;
    void RefreshDigitalInAdditional() override;
    void FillDigitalInAdditionalCombo() override;
    int DigitalPictureIndex(int index) override;
    void SetActiveCheckEnabled(bool enabled) override;

    // ---- inputs and list
    // The state picture of an input (1-based position in imlDigital).
    static int StatePicture(const XelDigitalIn& input);
    void ClearDigitalPage();
    void ResetDigitalControls();
    void UpdateDigitalListItem(QTreeWidgetItem* row, XelDigitalIn* input);
    void SetDigitalListItemState(XelDigitalIn* input, QTreeWidgetItem* row);
    void RefreshSelectedDigitalState(XelDigitalIn* input);
    void RefreshDigitalItemState(QTreeWidgetItem* row);
    void ShowDigitalInputValues(XelDigitalIn* input);

    // ---- combos and operation mode
    void FillDigitalPageCombos();
    void FillDigitalActionCombo(int inputNumber);

    // ---- clear, copy, move
    void ClearDigitalInput();
    void CopyDigitalInput(XelDigitalIn* source, XelDigitalIn* target, bool move);

    // ---- rules and focus flags
    void ApplyActionSwitchType();
    bool CheckShutdownSwitchType(int inputNumber);
    void SetDigitalActionFocus(bool flag) { m_digitalActionFocus = flag; }
    bool DigitalActionFocus() const { return m_digitalActionFocus; }
    void SetDigitalSwitchTypeFocus(bool flag) { m_digitalSwitchTypeFocus = flag; }
    bool DigitalSwitchTypeFocus() const { return m_digitalSwitchTypeFocus; }

    // ---- layout and options
    void ArrangeDigitalPage(bool hideInputType);
    void ShowDigitalInputOptions();

    // ---- list events, showing an input
    void ShowDigitalChannel(QTreeWidgetItem* row);
    void ShowDigitalInput();
    void lvwDigital_DblClick(QTreeWidgetItem* rowUnderMouse);
    void lvwDigital_KeyDown(int keyCode);
    void lvwDigital_ItemCheck(QTreeWidgetItem* row, bool checked);
    // Drag and drop. `shift` holds the key bits of the drag (1 Shift, 2 Ctrl); `source` is the
    // widget the drag came from. Returns the drop effect (0 none, 1 copy, 2 move).
    QMimeData* DigitalDragPayload();
    int DigitalDragOver(const QMimeData* data, QTreeWidgetItem* row, int shift, const QObject* source);
    void DigitalDragDrop(const QMimeData* data, QTreeWidgetItem* row, int shift, const QObject* source);
    void ScrollStripDragOver(int index);

    // ---- entry handlers
    void chkDigitalActive_Click();
    void cmbDigitalAction_Click();
    void cmbDigitalSwitchType_Click();
    void chkDigitalAlarmOnRunOnly_Click();
    void chkDigitalAdditionalRunDetection_Click();
    void chkDigitalBrokenWireDetection_Click();
    void txtDigitalDescription_Change();
    void txtDigitalInfo_Change();
    void numDigitalAlarmDelay_Change();
    void numDigitalInitialDelay_Change();
    void cmbDigitalInAdditional_Click(int index);

    DigitalJSelection& JSelection() { return *m_j; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    XelObject* Setup() const;
    XelDigitalIn* SelectedInput() const;
    XelDigitalIn* InputOfRow(const QTreeWidgetItem* row) const;
    QTreeWidgetItem* SelectedRow() const;
    int SelectedPosition() const;
    // A user's edit: not a value the program is showing or a setup being loaded.
    bool UserEdit() const;
    void SetCheck(QCheckBox* box, bool checked);
    void SetComboIndex(QComboBox* combo, int index);
    int SelectComboItemData(QComboBox* combo, int value);
    void FilterDescription(const QString& text);
    // The effect of a drag over `row` (0 none, 1 copy, 2 move).
    int DigitalDropEffect(const QMimeData* data, QTreeWidgetItem* row, int shift, const QObject* source);
    void UpdateClassified();

    MainState& m_state;
    std::unique_ptr<DigitalJSelection> m_j;
    bool m_digitalActionFocus = false;
    bool m_digitalSwitchTypeFocus = false;
    bool m_showing = false;

public:
    // The page's controls (objectNames are the control names).
    DigitalListView* lvwDigital = nullptr;
    QLabel* lblDigitalCount = nullptr;
    QWidget* picDigitalListScroll[2] = {};
    QCheckBox* chkDigitalActive = nullptr;
    Container* conDigital = nullptr;
    QComboBox* cmbDigitalInputType = nullptr;
    QLabel* lblDigital[6] = {};
    QLineEdit* txtDigitalDescription = nullptr;
    QComboBox* cmbDigitalAction = nullptr;
    Number* numDigitalAlarmDelay = nullptr;
    QLabel* lblDigitalDelay = nullptr;
    QLabel* picActionText[5] = {};
    QComboBox* cmbDigitalSwitchType = nullptr;
    QCheckBox* chkDigitalAlarmOnRunOnly = nullptr;
    Container* conDigitalInitialDelay = nullptr;
    Number* numDigitalInitialDelay = nullptr;
    QLabel* lblDigitalInitialDelay[2] = {};
    Container* conDigitalBrokenWireDetection = nullptr;
    QCheckBox* chkDigitalBrokenWireDetection = nullptr;
    QCheckBox* chkDigitalAdditionalRunDetection = nullptr;
    QLineEdit* txtDigitalInfo = nullptr;
    Container* conDigitalPID = nullptr;
    QComboBox* cmbDigitalJ = nullptr;
    Container* conDigitalInAdditional = nullptr;
    QComboBox* cmbDigitalInAdditional[2] = {};
    QLabel* lblDigitalInAdditional[2] = {};
};
