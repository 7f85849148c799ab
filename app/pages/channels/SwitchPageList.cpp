// The Switch list's events: showing an input, double-click and keys, row check marks, and
// copying or moving an input by drag and drop.
#include "app/pages/MainState.h"
#include "app/pages/channels/DigitalListView.h"
#include "app/pages/channels/InputListHighlight.h"
#include "app/pages/channels/SwitchPage.h"
#include "app/pages/common/PageCommon.h"
#include "extra/extra.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cDigitalIn.h"
#include "platform/MessagePresenter.h"
#include "platform/TimeSource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>

namespace {

// A bus input from 10 up cannot go to an input below 10, which reads terminals only.
bool BusInputToTerminalInput(const XelDigitalIn& source, const XelDigitalIn& target)
{
    return target.Index() < 10 && source.Index() >= 10 && (source.InputType() == 3 || source.InputType() == 4);
}

bool IsMove(int shift) { return shift == 0 || (shift & 1); }

} // namespace

void SwitchPage::ShowDigitalChannel(QTreeWidgetItem* row)
{
    XelDigitalIn* input = InputOfRow(row);
    XelObject* setup = Setup();
    if (!input || !setup)
        return;
    m_digitalActionFocus = false;
    if (SelectedRow() != row)
        pagecommon::SelectRow(lvwDigital, row);
    const int position = SelectedPosition();
    {
        // The combos are refilled for this input; their handlers store nothing meanwhile.
        pagecommon::ScopedFlag opening(m_state.OpeningSetup);
        FillDigitalActionCombo(position);
        // A bus type left from J1939/J1587 support keeps its row, with no entry chosen, so
        // that a wired type can be picked; the stored type stays until then.
        FillDigitalInputTypeCombo(input->Index() >= 10 && setup->Main()->CAN() ? 1 : 0, true);
        const bool typeNotOffered = cmbDigitalInputType->findData(input->InputType()) < 0;
        ArrangeDigitalPage(cmbDigitalInputType->count() == 1 && !typeNotOffered);
    }
    ShowDigitalInputValues(input);
    ShowDigitalInputOptions();
    xeldisp::SetChildrenEnabled(conDigitalPID, position >= 10 && input->InputType() > 0 && chkDigitalActive->isChecked());
    chkDigitalActive->setEnabled(true);
    ShowDigitalInput();
}

void SwitchPage::ShowDigitalInput()
{
    QTreeWidgetItem* row = SelectedRow();
    XelDigitalIn* input = InputOfRow(row);
    if (!input)
        return;
    const bool highlighted = inputlist::IsHighlighted(input->Active(), input->Text());
    inputlist::SetRowHighlight(row, highlighted);
    picActionText[0]->setVisible(highlighted);
}

void SwitchPage::lvwDigital_DblClick(QTreeWidgetItem* rowUnderMouse)
{
    XelObject* setup = Setup();
    if (m_state.LastMouseButton != 1 || !rowUnderMouse || !setup)
        return;
    if (chkDigitalActive->isChecked()) {
        SetCheck(chkDigitalActive, false);
        return;
    }
    SetCheck(chkDigitalActive, true);
    if (!chkDigitalActive->isChecked())
        return;
    const int position = lvwDigital->indexOfTopLevelItem(rowUnderMouse) + 1;
    if (position < 10 || !setup->Main()->CAN())
        txtDigitalDescription->setFocus();
    else if (cmbDigitalInputType->isEnabled())
        cmbDigitalInputType->setFocus();
}

void SwitchPage::lvwDigital_KeyDown(int keyCode)
{
    m_digitalActionFocus = false;
    XelDigitalIn* input = SelectedInput();
    if (!input)
        return;
    if (keyCode == 32 || keyCode == 13) {
        SetCheck(chkDigitalActive, !input->Active());
    } else if (keyCode == 46) {
        if (pagecommon::ShiftHeld() || m_state.ExpertMode
            || extra::LangMsgBox(305, platform::MsgStyle::YesNo | platform::MsgStyle::Question | platform::MsgStyle::DefaultButton2,
                                 {QStringLiteral("Digital Input channel"), SelectedPosition()})
                == platform::MsgResult::Yes)
            ClearDigitalInput();
    }
}

void SwitchPage::lvwDigital_ItemCheck(QTreeWidgetItem* row, bool checked)
{
    m_digitalActionFocus = false;
    XelDigitalIn* input = InputOfRow(row);
    if (!input)
        return;
    input->SetActive(checked);
    if (row == SelectedRow())
        SetCheck(chkDigitalActive, input->Active());
}

// ---- drag and drop ------------------------------------------------------------------------------

QMimeData* SwitchPage::DigitalDragPayload()
{
    QTreeWidgetItem* row = SelectedRow();
    return row ? pagecommon::MakeDragPayload(pagecommon::RowKey(row)) : nullptr;
}

int SwitchPage::DigitalDragOver(const QMimeData* data, QTreeWidgetItem* row, int shift, const QObject* source)
{
    // The row the drop would go to is marked; a refused row or the space below the rows is not.
    const int effect = DigitalDropEffect(data, row, shift, source);
    lvwDigital->SetDropHighlight(effect != 0 ? row : nullptr);
    return effect;
}

int SwitchPage::DigitalDropEffect(const QMimeData* data, QTreeWidgetItem* row, int shift, const QObject* source)
{
    QString key;
    XelObject* setup = Setup();
    // Only a row of this list can be dropped here.
    if (!setup || source != lvwDigital || !pagecommon::ReadDragPayload(data, key) || !row)
        return 0;
    if (pagecommon::RowKey(row) != key) {
        XelDigitalIn* from = setup->DigitalIn()->Item(key);
        XelDigitalIn* to = InputOfRow(row);
        if (!from || !to || BusInputToTerminalInput(*from, *to))
            return 0;
    }
    return IsMove(shift) ? 2 : 1;
}

void SwitchPage::DigitalDragDrop(const QMimeData* data, QTreeWidgetItem* row, int shift, const QObject* source)
{
    lvwDigital->SetDropHighlight(nullptr);
    QString key;
    XelObject* setup = Setup();
    const bool ours = setup && source == lvwDigital && pagecommon::ReadDragPayload(data, key);
    if (ours && row && pagecommon::RowKey(row) != key) {
        XelDigitalIn* from = setup->DigitalIn()->Item(key);
        XelDigitalIn* to = InputOfRow(row);
        // The drop checks again what the drag-over refused.
        if (from && to && !BusInputToTerminalInput(*from, *to)) {
            const bool quiet = (shift & 1) || pagecommon::ShiftHeld() || m_state.ExpertMode;
            const int style = platform::MsgStyle::YesNo | platform::MsgStyle::Question | platform::MsgStyle::DefaultButton2;
            const QVariantList args{QStringLiteral("Digital Input Channel"), to->Index(), from->Index()};
            bool copied = false;
            if (IsMove(shift)) {
                if (!quiet && to->Active() && extra::LangMsgBox(302, style, args) == platform::MsgResult::No)
                    return;
                CopyDigitalInput(from, to, true);
                pagecommon::SelectRow(lvwDigital, row);
                inputlist::SetRowHighlight(pagecommon::RowByKey(lvwDigital, key), false);
                copied = true;
            } else if (shift & 2) {
                if (!quiet && to->Active() && extra::LangMsgBox(301, style, args) == platform::MsgResult::No)
                    return;
                CopyDigitalInput(from, to, false);
                pagecommon::SelectRow(lvwDigital, row);
                copied = true;
            }
            // Without a copy the source row is still the selected one: showing the target's
            // values there would write them into the source.
            if (copied) {
                UpdateDigitalListItem(row, to);
                // The combos and the layout were made for the dragged input: the target gets its
                // own (inputs 1 to 9 never offer a bus type, the classifiable action list).
                ShowDigitalChannel(row);
                // A copy applies no action rule; the classifiable state follows what it brought.
                UpdateClassified();
            }
        }
    }
    UpdateDigitalCount();
}

void SwitchPage::ScrollStripDragOver(int index)
{
    if (index != 0 && index != 1)
        return;
    lvwDigital->verticalScrollBar()->triggerAction(index == 0 ? QAbstractSlider::SliderSingleStepSub
                                                              : QAbstractSlider::SliderSingleStepAdd);
    platform::TimeSource::Instance().Wait(100);
}
