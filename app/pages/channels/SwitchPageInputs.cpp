// The Switch page's inputs: the list rows and pictures, the values shown for an input, the
// combos that follow the operation mode, and validation, clearing, copying and moving.
#include "app/pages/MainState.h"
#include "app/pages/channels/DigitalListView.h"
#include "app/pages/channels/SwitchPage.h"
#include "app/pages/common/PageCommon.h"
#include "extra/extra.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cDigitalIn.h"
#include "platform/MessagePresenter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

constexpr int kActionWarning = 1;
constexpr int kActionAlarm = 2;
constexpr int kActionShutdown = 3;

// The language block of the action list for an operation mode: base and count.
void ActionBlock(qint32 mode, int& base, int& count)
{
    switch (mode) {
    case 2: base = 2100; count = 3; break;
    case 3: base = 2200; count = 2; break;
    default: base = 2000; count = 3; break;
    }
}

QString TerminalColumn(const XelDigitalIn& input)
{
    switch (input.InputType()) {
    case 3: return extra::GetLangString(915);
    case 4: return extra::GetLangString(916);
    default: return input.Terminal().trimmed();
    }
}

} // namespace

// ---- list rows ----------------------------------------------------------------------------------

int SwitchPage::StatePicture(const XelDigitalIn& input)
{
    int picture = input.SwitchType() > 0 ? 7 : 1;
    if (input.Action() == kActionWarning)
        picture += 2;
    else if (input.Action() == kActionShutdown)
        picture += 1;
    if (input.RUNAlsoDetectedBy())
        picture += 3;
    if (!input.Active())
        picture += 12;
    return picture;
}

void SwitchPage::ClearDigitalPage()
{
    lvwDigital->SetDropHighlight(nullptr);
    lvwDigital->clear();
    ResetDigitalControls();
}

void SwitchPage::ResetDigitalControls()
{
    pagecommon::ScopedFlag showing(m_showing);
    numDigitalAlarmDelay->SetMin(0);
    numDigitalAlarmDelay->SetMax(255);
    numDigitalAlarmDelay->SetValue(2);
    numDigitalInitialDelay->SetMin(0);
    numDigitalInitialDelay->SetMax(255);
    numDigitalInitialDelay->SetValue(15);
    chkDigitalAlarmOnRunOnly->setChecked(false);
    chkDigitalBrokenWireDetection->setChecked(false);
    chkDigitalAdditionalRunDetection->setChecked(false);
    txtDigitalDescription->clear();
    txtDigitalInfo->clear();
    cmbDigitalSwitchType->setCurrentIndex(0);
    if (cmbDigitalAction->count() > 0)
        cmbDigitalAction->setCurrentIndex(0);
    pagecommon::SelectByItemData(cmbDigitalInputType, 0);
    cmbDigitalJ->setCurrentIndex(-1);
    chkDigitalActive->setChecked(false);
    chkDigitalActive->setEnabled(false);
    // With no input selected there is no input to mark as described but not active.
    picActionText[0]->setVisible(false);
}

void SwitchPage::LoadDigital()
{
    XelObject* setup = Setup();
    ClearDigitalPage();
    if (!setup)
        return;
    FillDigitalPageCombos();
    chkDigitalAlarmOnRunOnly->setText(extra::GetLangString(2093, {cmbDigitalAction->currentText()}));
    for (XelDigitalIn* input : *setup->DigitalIn()) {
        QTreeWidgetItem* row = pagecommon::AddRow(lvwDigital, pagecommon::ItemKey(input->Index()),
                                                  QString::number(input->Index()), 0, m_state.images.imlDigital);
        UpdateDigitalListItem(row, input);
    }
    lvwDigital->setCurrentItem(nullptr);
    lvwDigital->clearSelection();
}

void SwitchPage::UpdateDigitalListItem(QTreeWidgetItem* row, XelDigitalIn* input)
{
    if (!row || !input)
        return;
    row->setText(1, input->Terminal().trimmed());
    row->setText(2, input->Text());
    SetDigitalListItemState(input, row);
}

void SwitchPage::SetDigitalListItemState(XelDigitalIn* input, QTreeWidgetItem* row)
{
    if (!row)
        row = SelectedRow();
    if (!row || !input)
        return;
    pagecommon::SetRowPicture(row, StatePicture(*input), m_state.images.imlDigital);
    row->setText(1, TerminalColumn(*input));
}

void SwitchPage::RefreshSelectedDigitalState(XelDigitalIn* input) { SetDigitalListItemState(input, nullptr); }

void SwitchPage::RefreshDigitalItemState(QTreeWidgetItem* row)
{
    if (XelDigitalIn* input = InputOfRow(row))
        SetDigitalListItemState(input, row);
}

void SwitchPage::ShowDigitalInputValues(XelDigitalIn* input)
{
    if (!input)
        return;
    // What follows only shows stored values: no rule meant for a user's edit applies.
    pagecommon::ScopedFlag showing(m_showing);
    SetCheck(chkDigitalActive, input->Active());
    {
        const QSignalBlocker block(txtDigitalDescription);
        txtDigitalDescription->setText(input->Text());
    }
    txtDigitalDescription_Change();
    {
        const QSignalBlocker block(txtDigitalInfo);
        // The stored text is blank-padded to its field; the box shows it without the padding.
        QString info = input->Info();
        while (info.endsWith(QLatin1Char(' ')))
            info.chop(1);
        txtDigitalInfo->setText(info);
    }
    txtDigitalInfo_Change();
    SelectComboItemData(cmbDigitalInputType, input->InputType());
    SelectComboItemData(cmbDigitalAction, input->Action());
    if (input->SwitchType() >= 0 && input->SwitchType() < cmbDigitalSwitchType->count())
        SetComboIndex(cmbDigitalSwitchType, input->SwitchType());
    {
        const QSignalBlocker block(numDigitalAlarmDelay);
        numDigitalAlarmDelay->SetValue(input->Delay());
    }
    numDigitalAlarmDelay_Change();
    {
        const QSignalBlocker block(numDigitalInitialDelay);
        numDigitalInitialDelay->SetValue(input->InitialDelay());
    }
    numDigitalInitialDelay_Change();
    SetCheck(chkDigitalAlarmOnRunOnly, input->OnRunOnly());
    SetCheck(chkDigitalBrokenWireDetection, input->BrokenWireDetection());
    SetCheck(chkDigitalAdditionalRunDetection, input->RUNAlsoDetectedBy());
    m_j->SelectDigitalJData(input, false);
    SetDigitalListItemState(input, nullptr);
}

// ---- combos and operation mode ----------------------------------------------------------------

void SwitchPage::FillDigitalActionCombo(int inputNumber)
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    int base = 2000, count = 3;
    ActionBlock(setup->Main()->OperationMode(), base, count);
    const bool classified = setup->Main()->Classified();
    {
        const QSignalBlocker block(cmbDigitalAction);
        pagecommon::FillComboFromLangList(cmbDigitalAction, base, count);
        // A list for no particular input keeps Shutdown.
        if (classified && inputNumber > 0 && !XelDigitalIn::IsBrokenWireInput(inputNumber)) {
            const int shutdown = cmbDigitalAction->findData(kActionShutdown);
            if (shutdown >= 0)
                cmbDigitalAction->removeItem(shutdown);
        }
        cmbDigitalAction->setCurrentIndex(-1);
    }
    if (inputNumber > 0)
        if (XelDigitalIn* input = setup->DigitalIn()->Item(pagecommon::ItemKey(inputNumber)))
            SelectComboItemData(cmbDigitalAction, input->Action());
}

void SwitchPage::FillDigitalPageCombos()
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    FillDigitalActionCombo(0);
    if (cmbDigitalAction->count() > 0)
        SetComboIndex(cmbDigitalAction, 0);
    FillDigitalInputTypeCombo(setup->Main()->CAN() ? 1 : 0, true);
}

void SwitchPage::FillDigitalInputTypeCombo(int list, bool selectFirst)
{
    const int before = pagecommon::CurrentItemData(cmbDigitalInputType, -1);
    int base = 0, count = 0;
    if (list == 0) {
        base = 2300;
        count = 1;
    } else if (list == 1) {
        base = 2310;
        count = 3;
    } else {
        return;
    }
    {
        const QSignalBlocker block(cmbDigitalInputType);
        pagecommon::FillComboFromLangList(cmbDigitalInputType, base, count);
        cmbDigitalInputType->setCurrentIndex(-1);
    }
    if (selectFirst) {
        // The input on show keeps a stored type the new list lacks (a bus type once J1939/J1587
        // is off): nothing is chosen, and nothing stored, until the user picks a type.
        const XelDigitalIn* shown = SelectedInput();
        if (shown && cmbDigitalInputType->findData(shown->InputType()) < 0)
            return;
        if (cmbDigitalInputType->count() > 0)
            SetComboIndex(cmbDigitalInputType, 0);
    } else {
        SelectComboItemData(cmbDigitalInputType, before);
    }
}

void SwitchPage::DigitalOperationModeChanged(bool emergency)
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    QString selectedKey;
    if (lvwDigital->topLevelItemCount() > 0) {
        selectedKey = pagecommon::RowKey(SelectedRow());
        lvwDigital->setCurrentItem(nullptr);
        lvwDigital->clearSelection();
        if (emergency) {
            for (XelDigitalIn* input : *setup->DigitalIn()) {
                if (input->Action() == kActionShutdown)
                    input->SetAction(kActionAlarm);
                SetDigitalListItemState(input, pagecommon::RowByKey(lvwDigital, pagecommon::ItemKey(input->Index())));
            }
        }
    }
    FillDigitalPageCombos();
    if (!selectedKey.isEmpty()) {
        if (QTreeWidgetItem* row = pagecommon::RowByKey(lvwDigital, selectedKey)) {
            pagecommon::SelectRow(lvwDigital, row);
            ShowDigitalInputValues(InputOfRow(row));
        }
    }
}

// ---- validation, clear, copy, move -----------------------------------------------------------

bool SwitchPage::ValidateDigital()
{
    const qint32 initial = numDigitalInitialDelay->Value();
    if (numDigitalInitialDelay->isEnabledTo(conDigitalInitialDelay) && (initial < 0 || initial > 255)) {
        extra::LangMsgBox(810, platform::MsgStyle::Exclamation, {0, 255});
        pagecommon::FocusField(numDigitalInitialDelay);
        return false;
    }
    const qint32 delay = numDigitalAlarmDelay->Value();
    if (delay < 0 || delay > 255) {
        extra::LangMsgBox(811, platform::MsgStyle::Exclamation, {0, 255});
        pagecommon::FocusField(numDigitalAlarmDelay);
        return false;
    }
    return true;
}

void SwitchPage::ClearDigitalInput()
{
    XelDigitalIn* input = SelectedInput();
    if (!input)
        return;
    input->SetAction(kActionWarning);
    input->SetDelay(2);
    input->SetInitialDelay(15);
    input->SetOnRunOnly(false);
    input->SetRUNAlsoDetectedBy(false);
    input->SetSwitchType(0);
    input->SetText(QString());
    input->SetActive(false);
    ShowDigitalInputValues(input);
    // The description box may already have been empty: the row follows the input all the same.
    UpdateDigitalListItem(SelectedRow(), input);
}

void SwitchPage::CopyDigitalInput(XelDigitalIn* source, XelDigitalIn* target, bool move)
{
    if (!source || !target || source == target)
        return;
    target->SetActive(source->Active());
    target->SetText(source->Text());
    target->SetSwitchType(source->SwitchType());
    target->SetAction(source->Action());
    target->SetDelay(source->Delay());
    target->SetInitialDelay(source->InitialDelay());
    target->SetOnRunOnly(source->OnRunOnly());
    target->SetRUNAlsoDetectedBy(source->RUNAlsoDetectedBy());
    target->SetInputType(source->InputType());
    target->SetInfo(source->Info());
    target->SetJValues(source->JValues());
    target->SetBrokenWireDetection(XelDigitalIn::IsBrokenWireInput(target->Index()) && source->BrokenWireDetection());
    if (!move)
        return;
    source->SetActive(false);
    source->SetText(QString());
    source->SetAction(m_state.PROPULSION ? kActionWarning : kActionAlarm);
    source->SetDelay(2);
    source->SetInitialDelay(15);
    source->SetOnRunOnly(false);
    source->SetRUNAlsoDetectedBy(false);
    source->SetSwitchType(0);
    source->SetBrokenWireDetection(false);
    source->SetInputType(0);
    source->SetInfo(QString());
    source->SetJValues(JData());
    // The source's own row, whichever row is selected.
    UpdateDigitalListItem(pagecommon::RowByKey(lvwDigital, pagecommon::ItemKey(source->Index())), source);
}
