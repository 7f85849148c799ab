// Validation, copy and move, and what the list does when the user works on it directly.
#include "app/pages/channels/AnalogInPage.h"

#include "app/pages/MainState.h"
#include "app/pages/channels/AnalogListView.h"
#include "app/pages/channels/AnalogRules.h"
#include "app/pages/common/PageCommon.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "controls/Container.h"
#include "controls/Float.h"
#include "controls/Number.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelEnums.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cAnalogIn.h"
#include "platform/KeyState.h"
#include "platform/MessagePresenter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMimeData>
#include <QSignalBlocker>

namespace {

constexpr int kYesNoDefaultNo =
    platform::MsgStyle::YesNo | platform::MsgStyle::Question | platform::MsgStyle::DefaultButton2;

// A wired input's signal cannot be read on a bus-only channel.
bool RefusedOnBusChannel(const XelAnalogIn& source, const XelAnalogIn& target)
{
    return source.Index() < 12 && target.Index() > modAnalog::kWiredChannels &&
           !modAnalog::IsBusType(source.InputType());
}

} // namespace

bool AnalogInPage::ValidateAnalogSilent(bool silent)
{
    if (!numAnalogLimitSetpoint[0]->isEnabledTo(this))
        return true;
    const qint32 lower = numAnalogSetpointRPM[0]->Value();
    const qint32 upper = numAnalogSetpointRPM[1]->Value();
    if (upper > lower)
        return true;
    if (!silent)
        extra::LangMsgBox(828, platform::MsgStyle::Exclamation, {lower, numAnalogSetpointRPM[0]->Max()});
    pagecommon::FocusField(numAnalogSetpointRPM[1]);
    return false;
}

void AnalogInPage::CopyAnalogInput(XelAnalogIn* source, XelAnalogIn* target, bool move)
{
    if (!source || !target)
        return;
    modAnalog::CopySettings(*source, *target);
    if (move) {
        modAnalog::ResetMovedInput(*source);
        // The source's own row, whichever row is selected at the moment.
        UpdateAnalogListItem(pagecommon::RowByKey(lvwAnalog, pagecommon::ItemKey(source->Index())), source);
    }
}

void AnalogInPage::ShowAnalogChannel(QTreeWidgetItem* item)
{
    if (!ValidateAnalogSilent(false)) {
        if (QTreeWidgetItem* shown = pagecommon::RowByKey(lvwAnalog, m_shownKey)) {
            const QSignalBlocker blocker(lvwAnalog);
            pagecommon::SelectRow(lvwAnalog, shown);
            shown->setSelected(true);
        }
    } else {
        if (item) {
            PrepareAnalogInputTypeCombo(RowPosition(item), false);
            ShowAnalogInputValues(InputOfRow(item));
        }
        chkAnalogActive->setEnabled(item != nullptr);
        m_shownKey = item ? pagecommon::RowKey(item) : QString();
    }
    if (item) {
        XelAnalogIn* atPosition = Setup() ? Setup()->AnalogIn()->Item(RowPosition(item)) : nullptr;
        const bool busChannel = (atPosition && atPosition->InputType() >= qint32(AnalogInputType::J1587)) ||
                                RowPosition(item) >= 12;
        conAnalogPID->SetChildrenEnabled(busChannel && chkAnalogActive->isChecked());
    }
}

void AnalogInPage::PrepareAnalogInputTypeCombo(int position, bool flag)
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    const int list = modAnalog::InputTypeListForPosition(position, setup->Main()->CAN());
    if (list < 0)
        return;
    const pagecommon::ScopedFlag opening(m_state.OpeningSetup);
    FillAnalogInputTypeCombo(list, flag);
}

void AnalogInPage::ClearAnalogInput()
{
    QTreeWidgetItem* row = SelectedRow();
    XelAnalogIn* input = InputOfRow(row);
    if (!input)
        return;
    modAnalog::ClearSettings(*input);
    ShowAnalogInputValues(input);
    UpdateAnalogListItem(row, input);
    GhostRelays();
    UpdateAnalogCount();
}

// ---- list events ----

void AnalogInPage::lvwAnalog_ItemClick(QTreeWidgetItem* item) { ShowAnalogChannel(item); }

void AnalogInPage::lvwAnalog_MouseDown(int button) { m_lastMouseButton = button; }

void AnalogInPage::lvwAnalog_DblClick()
{
    if (m_lastMouseButton != 1 || !modDiv::HitTestListView(static_cast<QTreeWidget*>(lvwAnalog)))
        return;
    if (chkAnalogActive->isChecked()) {
        chkAnalogActive->setChecked(false);
    } else {
        chkAnalogActive->setChecked(true);
        if (chkAnalogActive->isChecked())
            cmbAnalogInputType->setFocus();
    }
}

void AnalogInPage::lvwAnalog_KeyDown(int keyCode)
{
    QTreeWidgetItem* row = SelectedRow();
    XelAnalogIn* input = InputOfRow(row);
    if (!input)
        return;
    if (keyCode == 32 || keyCode == 13) {
        chkAnalogActive->setChecked(!input->Active());
    } else if (keyCode == 46) {
        if (ShiftOrExpert() ||
            extra::LangMsgBox(305, kYesNoDefaultNo, {QStringLiteral("Analog Input channel"), RowPosition(row)}) ==
                platform::MsgResult::Yes)
            ClearAnalogInput();
    }
}

QMimeData* AnalogInPage::lvwAnalog_OLEStartDrag()
{
    QTreeWidgetItem* row = SelectedRow();
    if (!row || !ValidateAnalogSilent(true))
        return nullptr;
    return pagecommon::MakeDragPayload(pagecommon::RowKey(row));
}

int AnalogInPage::lvwAnalog_OLEDragOver(const QMimeData* data, QTreeWidgetItem* target, int shift)
{
    QString key;
    if (!pagecommon::ReadDragPayload(data, key)) {
        Beep();
        return 0;
    }
    if (target && pagecommon::RowKey(target) != key) {
        XelAnalogIn* source = Setup() ? Setup()->AnalogIn()->Item(key) : nullptr;
        XelAnalogIn* into = InputOfRow(target);
        if (source && into && RefusedOnBusChannel(*source, *into))
            return 0;
    }
    return shift == 0 || (shift & 1) ? 2 : 1;
}

void AnalogInPage::lvwAnalog_OLEDragDrop(const QMimeData* data, QTreeWidgetItem* target, int shift)
{
    XelObject* setup = Setup();
    QString key;
    if (target && setup) {
        // Only a row of this list can be dropped: anything else only beeps.
        if (!pagecommon::ReadDragPayload(data, key) || !pagecommon::RowByKey(lvwAnalog, key) ||
            !setup->AnalogIn()->Item(key)) {
            Beep();
            return;
        }
        if (key != pagecommon::RowKey(target)) {
            XelAnalogIn* source = setup->AnalogIn()->Item(key);
            XelAnalogIn* into = InputOfRow(target);
            if (!into) {
                Beep();
                return;
            }
            if (RefusedOnBusChannel(*source, *into))
                return;
            const bool move = shift == 0 || (shift & 1);
            const bool copy = !move && (shift & 2);
            if (!move && !copy)
                return;
            if (!ShiftOrExpert() && into->Active() &&
                extra::LangMsgBox(move ? 302 : 301, kYesNoDefaultNo,
                                  {QStringLiteral("Analog Input Channel"), into->Index(), source->Index()}) !=
                    platform::MsgResult::Yes)
                return;
            CopyAnalogInput(source, into, move);
            {
                const QSignalBlocker blocker(lvwAnalog);
                pagecommon::SelectRow(lvwAnalog, target);
                target->setSelected(true);
            }
            if (move)
                SetRowHighlighted(pagecommon::RowByKey(lvwAnalog, key), false);
            UpdateAnalogListItem(target, into);
            // The target is the shown input now, with the type list of its own channel.
            m_shownKey = pagecommon::RowKey(target);
            chkAnalogActive->setEnabled(true);
            PrepareAnalogInputTypeCombo(RowPosition(target), false);
            ShowAnalogInputValues(into);
            // Relays that name analog inputs follow the copied or moved settings at once.
            GhostRelays();
        }
    }
    ShowAnalogInput();
    UpdateAnalogCount();
}
