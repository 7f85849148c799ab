// The analog channels, the list rows, the combos by channel and mode, and showing an input.
#include "app/pages/channels/AnalogInPage.h"

#include "app/pages/MainState.h"
#include "app/pages/channels/AnalogListView.h"
#include "app/pages/channels/AnalogRules.h"
#include "app/pages/channels/AnalogShownValue.h"
#include "app/pages/channels/InputListHighlight.h"
#include "app/pages/common/PageCommon.h"
#include "app/services/ComboHelpers.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "controls/Container.h"
#include "controls/Float.h"
#include "controls/Number.h"
#include "controls/TarnGraph.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelEnums.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cAnalogIn.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

// A value shown by the program: no store, and the spin step follows the new value. A stored
// value beyond the box's range widens the range rather than leave the previous input's value.
void ShowFloat(Float* box, float value)
{
    const QSignalBlocker blocker(box);
    const float old = box->Value();
    if (value > box->Max())
        box->SetMax(value);
    if (value < box->Min())
        box->SetMin(value);
    box->SetValue(value);
    box->SetIncrement(modAnalog::StepFor(old, box->Value()));
}

void ShowNumber(Number* box, qint32 value)
{
    const QSignalBlocker blocker(box);
    box->SetValue(value);
}

void ShowCheck(QCheckBox* box, bool checked)
{
    const QSignalBlocker blocker(box);
    box->setChecked(checked);
}

} // namespace

void AnalogInPage::LoadAnalog()
{
    ClearAnalogPage();
    XelObject* setup = Setup();
    if (!setup)
        return;
    FillAnalogPageCombos(setup->Main()->OperationMode());
    for (XelAnalogIn* input : *setup->AnalogIn()) {
        QTreeWidgetItem* row = pagecommon::AddRow(lvwAnalog, pagecommon::ItemKey(input->Index()),
                                                  QString::number(input->Index()), 0, m_state.images.imlAnalog);
        UpdateAnalogListItem(row, input);
    }
    WidenGraphForUpperRPM(0);
}

void AnalogInPage::ClearAnalogPage()
{
    {
        const QSignalBlocker blocker(lvwAnalog);
        lvwAnalog->clear();
    }
    m_shownKey.clear();
    ResetAnalogControls();
}

void AnalogInPage::ResetAnalogControls()
{
    const pagecommon::ScopedFlag showing(m_showing);
    for (Float* box : {numAnalogSensorMin, numAnalogSensorMax}) {
        box->SetMin(-3000.0f);
        box->SetMax(3000.0f);
    }
    ShowFloat(numAnalogSensorMin, 0.0f);
    ShowFloat(numAnalogSensorMax, 100.0f);
    for (Number* box : {numAnalogAlarmDelay, numAnalogInitialDelay}) {
        box->SetMin(0);
        box->SetMax(255);
    }
    ShowNumber(numAnalogAlarmDelay, 2);
    ShowNumber(numAnalogInitialDelay, 0);
    ShowCheck(chkAnalogAlarmOnRunOnly, false);
    ShowCheck(chkAnalogDoubleScale, false);
    {
        const QSignalBlocker b1(txtAnalogDescription), b2(txtAnalogInfo), b3(cmbAnalogUnits);
        txtAnalogDescription->clear();
        txtAnalogInfo->clear();
        cmbAnalogUnits->setCurrentIndex(-1);
        cmbAnalogUnits->setEditText(QString());
    }
    for (Float* box : numAnalogLimit + numAnalogLimitSetpoint) {
        box->SetMin(-3000.0f);
        box->SetMax(3000.0f);
        ShowFloat(box, 0.0f);
    }
    for (int i = 0; i < 2; ++i) {
        numAnalogSetpointRPM[i]->SetMin(100);
        numAnalogSetpointRPM[i]->SetMax(6000);
        ShowNumber(numAnalogSetpointRPM[i], i == 0 ? 600 : 1200);
    }
    {
        const QSignalBlocker b1(cmbAnalogAction), b2(cmbAnalogActionDirection), b3(cmbAnalogInputType),
            b4(cmbAnalogJ);
        cmbAnalogAction->setCurrentIndex(cmbAnalogAction->count() > 0 ? 0 : -1);
        cmbAnalogActionDirection->setCurrentIndex(0);
        extra::SelectComboItemData(cmbAnalogInputType, 0, true);
        cmbAnalogJ->setCurrentIndex(-1);
    }
    ShowCheck(chkAnalogActive, false);
    chkAnalogActive->setEnabled(false);
    ShowCheck(chkAnalogAdditionalRunDetection, false);
    // What the programmatic changes would have raised.
    ShowUnitsLabels();
    ShowDelayWords();
    conAnalogInitialDelay->SetChildrenEnabled(false);
    ScaleGraphForUpperSetpoint(numAnalogLimitSetpoint[1]->Value());
    cmbAnalogAction_Click();
}

void AnalogInPage::UpdateAnalogListItem(QTreeWidgetItem* row, XelAnalogIn* input)
{
    if (!row || !input)
        return;
    row->setText(2, input->Text());
    SetAnalogListItemState(input, row);
}

void AnalogInPage::SetAnalogListItemState(XelAnalogIn* input, QTreeWidgetItem* row)
{
    if (!row)
        row = SelectedRow();
    if (!row || !input)
        return;
    pagecommon::SetRowPicture(row, modAnalog::StatePicture(*input), m_state.images.imlAnalog);
    row->setText(1, modAnalog::TerminalText(*input, RowPosition(row)));
}

void AnalogInPage::RefreshSelectedAnalogItem(XelAnalogIn* input) { SetAnalogListItemState(input, nullptr); }

void AnalogInPage::ShowAnalogInputValues(XelAnalogIn* input)
{
    if (!input)
        return;
    // Showing an input stores nothing into it: every handler the changes below would raise
    // sees the flag, and the parts of them that only follow the shown values run here.
    const pagecommon::ScopedFlag showing(m_showing);
    ShowCheck(chkAnalogActive, input->Active());
    {
        const QSignalBlocker b1(txtAnalogDescription), b2(txtAnalogInfo);
        txtAnalogDescription->setText(input->Text());
        txtAnalogInfo->setText(input->Info());
    }
    ShowFloat(numAnalogSensorMin, float(input->SensorMin() / 10.0));
    ShowFloat(numAnalogSensorMax, float(input->SensorMax() / 10.0));
    {
        const QSignalBlocker blocker(cmbAnalogUnits);
        cmbAnalogUnits->setEditText(input->Units().trimmed());
    }
    ShowUnitsLabels();
    {
        const QSignalBlocker blocker(cmbAnalogInputType);
        extra::SelectComboItemData(cmbAnalogInputType, input->InputType(), true);
    }
    cmbAnalogInputType_Click();
    {
        // An action the list does not offer shows no entry, never the previous input's; it
        // stays stored until the user picks one.
        const QSignalBlocker blocker(cmbAnalogAction);
        if (extra::SelectComboItemData(cmbAnalogAction, input->Action(), true) < 0)
            cmbAnalogAction->setCurrentIndex(-1);
    }
    {
        const QSignalBlocker blocker(cmbAnalogActionDirection);
        cmbAnalogActionDirection->setCurrentIndex(qBound(0, int(input->ActionDirection()), 1));
    }
    ShowCheck(chkAnalogAlarmOnRunOnly, input->OnRunOnly());
    conAnalogInitialDelay->SetChildrenEnabled(input->OnRunOnly());
    ShowNumber(numAnalogInitialDelay, input->InitialDelay());
    ShowNumber(numAnalogAlarmDelay, input->AlarmDelay());
    ShowDelayWords();
    ShowCheck(chkAnalogAdditionalRunDetection, input->RUNAlsoDetectedBy());
    ShowCheck(chkAnalogDoubleScale, input->DoubleScale());
    ShowFloat(numAnalogLimitSetpoint[0], float(input->RPMLimit(0) / 10.0));
    ShowFloat(numAnalogLimitSetpoint[1], float(input->RPMLimit(1) / 10.0));
    ScaleGraphForUpperSetpoint(numAnalogLimitSetpoint[1]->Value());
    // The stored speed is shown even below the box's minimum: the previous input's value
    // must not stand in for it.
    for (int i = 0; i < 2; ++i)
        ShowNumber(numAnalogSetpointRPM[i], input->RPM(i));
    WidenGraphForUpperRPM(numAnalogSetpointRPM[1]->Value());
    SelectAnalogJData(input);
    const double offset = LimitOffset(*input);
    ShowFloat(numAnalogLimit[1], float(modAnalog::ShownValue(input->Limit(1), offset)));
    // The alarm and the shutdown box both stand for Limit(0); both show it, so that a later
    // change of the action never uncovers the previous input's limit.
    ShowFloat(numAnalogLimit[0], float(modAnalog::ShownValue(input->Limit(0), offset)));
    ShowFloat(numAnalogLimit[2], float(modAnalog::ShownValue(input->Limit(0), offset)));
    ShowAnalogInput();
    SetAnalogListItemState(input, nullptr);
}

void AnalogInPage::FillAnalogPageCombos(qint32 operationMode)
{
    {
        const QSignalBlocker blocker(cmbAnalogAction);
        const modAnalog::LangBlock block = modAnalog::ActionBlockForMode(operationMode);
        pagecommon::FillComboFromLangList(cmbAnalogAction, block.base, block.count);
        cmbAnalogAction->setCurrentIndex(cmbAnalogAction->count() > 0 ? 0 : -1);
        // The combo now holds a mode list: a bus input shown next must get its own list again.
        m_actionTag.clear();
    }
    XelObject* setup = Setup();
    FillAnalogInputTypeCombo(setup && setup->Main()->CAN() ? 1 : 0, true);
    modDiv::FitComboDropDown(cmbAnalogAction);
}

void AnalogInPage::FillAnalogInputTypeCombo(int list, bool flag)
{
    const int remembered = pagecommon::CurrentItemData(cmbAnalogInputType, -1);
    if (list < 0 || list > 4)
        return;
    {
        const QSignalBlocker blocker(cmbAnalogInputType);
        const modAnalog::LangBlock block = modAnalog::InputTypeBlock(list);
        pagecommon::FillComboFromLangList(cmbAnalogInputType, block.base, block.count);
        cmbAnalogInputType->setCurrentIndex(flag && cmbAnalogInputType->count() > 0 ? 0 : -1);
        extra::SelectComboItemData(cmbAnalogInputType, remembered, true);
    }
    // A refill follows the combo on the page; it never changes the shown input's type.
    const pagecommon::ScopedFlag showing(m_showing);
    cmbAnalogInputType_Click();
}

void AnalogInPage::FillAnalogActionCombo(qint32 operationMode, qint32 inputType, XelAnalogIn* input)
{
    modAnalog::LangBlock block{0, 0};
    QString tag;
    if (modAnalog::IsBusType(inputType)) {
        if (m_actionTag == QLatin1String("CAN"))
            return;
        block = modAnalog::kBusActionBlock;
        tag = QStringLiteral("CAN");
    } else {
        if (m_actionTag.isEmpty())
            return;
        block = modAnalog::ActionBlockForMode(operationMode);
    }
    {
        const QSignalBlocker blocker(cmbAnalogAction);
        pagecommon::FillComboFromLangList(cmbAnalogAction, block.base, block.count);
        cmbAnalogAction->setCurrentIndex(-1);
    }
    const qint32 action = input ? modAnalog::BusListAction(input->Action()) : 0;
    // The selection raises the action's own handler, as a choice in the combo does.
    if (extra::SelectComboItemData(cmbAnalogAction, action, true) < 0)
        extra::SelectComboItemData(cmbAnalogAction, 0, true);
    m_actionTag = tag;
}

void AnalogInPage::AnalogOperationModeChanged(bool emergency)
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    QString rememberedKey;
    if (lvwAnalog->topLevelItemCount() > 0) {
        if (QTreeWidgetItem* row = SelectedRow())
            rememberedKey = pagecommon::RowKey(row);
        {
            const QSignalBlocker blocker(lvwAnalog);
            lvwAnalog->setCurrentItem(nullptr);
            lvwAnalog->clearSelection();
        }
        if (emergency) {
            for (XelAnalogIn* input : *setup->AnalogIn()) {
                input->SetAction(modAnalog::EmergencyAction(input->Action()));
                SetAnalogListItemState(input, pagecommon::RowByKey(lvwAnalog, pagecommon::ItemKey(input->Index())));
            }
        }
    }
    FillAnalogPageCombos(setup->Main()->OperationMode());
    if (QTreeWidgetItem* row = pagecommon::RowByKey(lvwAnalog, rememberedKey)) {
        {
            const QSignalBlocker blocker(lvwAnalog);
            pagecommon::SelectRow(lvwAnalog, row);
            row->setSelected(true);
        }
        // The type list of the channel, not the full list the mode refill left behind.
        PrepareAnalogInputTypeCombo(RowPosition(row), false);
        ShowAnalogInputValues(InputOfRow(row));
    }
}

void AnalogInPage::AnalogCANChanged(bool on)
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    cAnalogIn* inputs = setup->AnalogIn();
    if (on && inputs->Count() == modAnalog::kWiredChannels) {
        for (int i = 1; i <= modAnalog::kAllChannels - modAnalog::kWiredChannels; ++i) {
            XelAnalogIn* input = inputs->Add(modAnalog::kWiredChannels + i, extra::GetLangString(modAnalog::kBusTerminalText));
            if (input)
                modAnalog::WriteChannelDefaults(*input, qint32(AnalogInputType::CAN));
        }
    }
    // Switched off, the setup has dropped channels 12 to 17 itself.
    LoadAnalog();
}

void AnalogInPage::RefreshAnalogList()
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    for (XelAnalogIn* input : *setup->AnalogIn()) {
        if (input->Index() > lvwAnalog->topLevelItemCount())
            break;
        QTreeWidgetItem* row = lvwAnalog->topLevelItem(input->Index() - 1);
        if (!row)
            continue;
        SetRowHighlighted(row, inputlist::IsHighlighted(input->Active(), input->Text()));
        // The same terminal rule as every other refresh of the row.
        if (!input->Active())
            row->setText(1, modAnalog::TerminalText(*input, input->Index()));
    }
}

void AnalogInPage::UpdateAnalogCount()
{
    XelObject* setup = Setup();
    inputlist::ShowActiveCount(lblAnalogCount, setup ? inputlist::CountActive(setup->AnalogIn()) : 0);
}

void AnalogInPage::SetRowHighlighted(QTreeWidgetItem* row, bool highlighted)
{
    inputlist::SetRowHighlight(row, highlighted);
}
