// The handlers of the page's entry controls: channel fields and the numeric boxes.
#include "app/pages/channels/AnalogInPage.h"

#include "app/pages/MainState.h"
#include "app/pages/channels/AnalogListView.h"
#include "app/pages/channels/AnalogRules.h"
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
#include "platform/KeyState.h"
#include "platform/MessagePresenter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

using pagecommon::Twips;
using pagecommon::ToTwips;

namespace {

constexpr int kWarningStyle = platform::MsgStyle::Exclamation;
constexpr int kQuestionStyle = platform::MsgStyle::YesNo | platform::MsgStyle::Question;

bool IsShutdownAction(qint32 action)
{
    return action == qint32(AnalogActionType::Shutdown) || action == qint32(AnalogActionType::WarningShutdown) ||
           action == qint32(AnalogActionType::RPMDependentShutdown);
}

} // namespace

// ---- channel fields ----

void AnalogInPage::chkAnalogActive_Click()
{
    QTreeWidgetItem* row = SelectedRow();
    XelAnalogIn* input = InputOfRow(row);
    if (row && input && !m_showing) {
        XelObject* setup = Setup();
        if (RowPosition(row) >= 12 && !setup->Main()->CAN()) {
            {
                const QSignalBlocker blocker(chkAnalogActive);
                chkAnalogActive->setChecked(false);
            }
            Beep();
            return;
        }
        input->SetActive(chkAnalogActive->isChecked());
        conAnalog->SetChildrenEnabled(input->Active());
        if (pagecommon::ShiftHeld()) {
            if (input->Active() && txtAnalogDescription->text().isEmpty())
                txtAnalogDescription->setText(QStringLiteral("Analog Input ") + QString::number(input->Index()));
            else if (!input->Active())
                txtAnalogDescription->clear();
        }
        GhostRelays();
    }
    if (m_showing)
        return;
    ShowAnalogInput();
    UpdateAnalogCount();
}

void AnalogInPage::cmbAnalogAction_Click()
{
    conAnalogLimitWarning->setVisible(true);
    conAnalogLimitAlarm->setVisible(true);
    conAnalogLimitShutdown->setVisible(true);
    graRPMDependentAlarm->setVisible(false);
    if (m_showing)
        return;
    XelAnalogIn* input = SelectedInput();
    if (!m_state.OpeningSetup && input && cmbAnalogAction->currentIndex() >= 0) {
        const qint32 oldAction = input->Action();
        const qint32 chosen = pagecommon::CurrentItemData(cmbAnalogAction, 0);
        qint32 toStore = chosen;
        if (Setup()->Main()->Classified() && input->ActionDirection() == qint32(AnalogActionDirection::BelowLimit) &&
            chosen != oldAction && IsShutdownAction(chosen)) {
            const pagecommon::ScopedFlag opening(m_state.OpeningSetup);
            extra::LangMsgBox(165, kWarningStyle);
            extra::SelectComboItemData(cmbAnalogAction, oldAction, true);
            // An old action the list does not offer stays stored all the same.
            toStore = oldAction;
        }
        input->SetAction(toStore);
        if (input->Active() && input->Action() == qint32(AnalogActionType::None) && input->RUNAlsoDetectedBy()) {
            if (ShiftOrExpert()) {
                chkAnalogAdditionalRunDetection->setChecked(false);
            } else if (extra::LangMsgBox(123, kQuestionStyle) == platform::MsgResult::Yes) {
                chkAnalogAdditionalRunDetection->setChecked(false);
            } else {
                // The old action's own choice stores it back.
                extra::SelectComboItemData(cmbAnalogAction, oldAction, true);
                return;
            }
        }
    }
    ShowAnalogInput();
}

void AnalogInPage::cmbAnalogActionDirection_Click()
{
    XelAnalogIn* input = InputToStore();
    if (m_state.OpeningSetup || !input)
        return;
    if (input->Active() && Setup()->Main()->Classified() && IsShutdownAction(input->Action()) &&
        cmbAnalogActionDirection->currentIndex() == 1) {
        const pagecommon::ScopedFlag opening(m_state.OpeningSetup);
        extra::LangMsgBox(165, kWarningStyle);
        extra::SelectComboItemData(cmbAnalogActionDirection, input->ActionDirection(), true);
    }
    input->SetActionDirection(qMax(0, cmbAnalogActionDirection->currentIndex()));
    RefreshSelectedAnalogItem(input);
    ClassifiedRefresh();
}

void AnalogInPage::cmbAnalogUnits_Change()
{
    if (XelAnalogIn* input = InputToStore())
        input->SetUnits(cmbAnalogUnits->currentText());
    ShowUnitsLabels();
}

void AnalogInPage::ShowUnitsLabels()
{
    const QString units = cmbAnalogUnits->currentText();
    for (int i = 1; i <= 5; ++i) {
        lblAnalogUnits[i]->setText(i <= 3 ? units : units + QStringLiteral(" at"));
        lblAnalogUnits[i]->adjustSize();
    }
    // The speed boxes and their "RPM" follow the unit text, 30 twips apart.
    for (int i = 0; i < 2; ++i) {
        QLabel* unit = lblAnalogUnits[4 + i];
        Number* rpm = numAnalogSetpointRPM[i];
        rpm->move(Twips(ToTwips(unit->x() + unit->width()) + 30), rpm->y());
        lblAnalog[14 + i]->move(Twips(ToTwips(rpm->x() + rpm->width()) + 30), lblAnalog[14 + i]->y());
    }
}

void AnalogInPage::txtAnalogDescription_KeyPress(QChar& key)
{
    if (platform::KeyState::Instance().IsDown(platform::KeyState::Control))
        return;
    modDiv::FilterTextKey(key);
}

void AnalogInPage::txtAnalogDescription_Change()
{
    XelAnalogIn* input = InputToStore();
    if (!input)
        return;
    const QString text = txtAnalogDescription->text();
    for (QChar c : text) {
        QChar probe = c;
        modDiv::FilterTextKey(probe);
        if (probe.isNull()) {
            // The whole entry is refused: the stored description comes back.
            const QSignalBlocker blocker(txtAnalogDescription);
            txtAnalogDescription->setText(input->Text());
            return;
        }
    }
    input->SetText(text);
    if (QTreeWidgetItem* row = SelectedRow())
        row->setText(2, text);
    picActionText[2]->setVisible(text.length() > 20 && input->Active());
}

void AnalogInPage::txtAnalogInfo_Change()
{
    if (XelAnalogIn* input = InputToStore())
        input->SetInfo(txtAnalogInfo->text());
}

void AnalogInPage::chkAnalogAlarmOnRunOnly_Click()
{
    if (XelAnalogIn* input = InputToStore())
        input->SetOnRunOnly(chkAnalogAlarmOnRunOnly->isChecked());
    conAnalogInitialDelay->SetChildrenEnabled(chkAnalogAlarmOnRunOnly->isChecked());
}

void AnalogInPage::chkAnalogAdditionalRunDetection_Click()
{
    if (XelAnalogIn* input = InputToStore()) {
        input->SetRUNAlsoDetectedBy(chkAnalogAdditionalRunDetection->isChecked());
        RefreshSelectedAnalogItem(input);
    }
}

void AnalogInPage::chkAnalogDoubleScale_Click()
{
    if (XelAnalogIn* input = InputToStore()) {
        input->SetDoubleScale(chkAnalogDoubleScale->isChecked());
        RefreshSelectedAnalogItem(input);
    }
}

// ---- numeric boxes ----

void AnalogInPage::numAnalogLimit_BeforeChange(int index, float oldValue)
{
    if (SelectedInput() && index >= 0 && index < numAnalogLimit.size())
        numAnalogLimit[index]->SetIncrement(modAnalog::StepFor(oldValue, numAnalogLimit[index]->Value()));
}

void AnalogInPage::numAnalogLimitSetpoint_BeforeChange(int index, float oldValue)
{
    if (SelectedInput() && index >= 0 && index < numAnalogLimitSetpoint.size())
        numAnalogLimitSetpoint[index]->SetIncrement(
            modAnalog::StepFor(oldValue, numAnalogLimitSetpoint[index]->Value()));
}

void AnalogInPage::numAnalogSensorMin_BeforeChange(float oldValue)
{
    if (SelectedInput())
        numAnalogSensorMin->SetIncrement(modAnalog::StepFor(oldValue, numAnalogSensorMin->Value()));
}

void AnalogInPage::numAnalogSensorMax_BeforeChange(float oldValue)
{
    if (SelectedInput())
        numAnalogSensorMax->SetIncrement(modAnalog::StepFor(oldValue, numAnalogSensorMax->Value()));
}

void AnalogInPage::numAnalogLimit_Change(int index)
{
    XelAnalogIn* input = InputToStore();
    if (!input || index < 0 || index > 2)
        return;
    const int limit = index == 2 ? 0 : index;
    input->SetLimit(limit, modAnalog::ToTenths(numAnalogLimit[index]->Value(), LimitOffset(*input)));
}

void AnalogInPage::numAnalogSensorMin_Change()
{
    XelAnalogIn* input = InputToStore();
    if (input && !m_state.OpeningSetup)
        input->SetSensorMin(modAnalog::ToTenths(numAnalogSensorMin->Value()));
}

void AnalogInPage::numAnalogSensorMax_Change()
{
    XelAnalogIn* input = InputToStore();
    if (input && !m_state.OpeningSetup)
        input->SetSensorMax(modAnalog::ToTenths(numAnalogSensorMax->Value()));
}

void AnalogInPage::numAnalogLimitSetpoint_Change(int index)
{
    if (index < 0 || index > 1)
        return;
    if (XelAnalogIn* input = InputToStore())
        input->SetRPMLimit(index, modAnalog::ToTenths(numAnalogLimitSetpoint[index]->Value()));
    if (index == 1)
        ScaleGraphForUpperSetpoint(numAnalogLimitSetpoint[1]->Value());
    DrawRPMDependentAlarm();
}

void AnalogInPage::numAnalogSetpointRPM_Change(int index)
{
    if (index < 0 || index > 1)
        return;
    if (XelAnalogIn* input = InputToStore())
        input->SetRPM(index, numAnalogSetpointRPM[index]->Value());
    if (index == 1)
        WidenGraphForUpperRPM(numAnalogSetpointRPM[1]->Value());
    DrawRPMDependentAlarm();
}

void AnalogInPage::ShowDelayWords()
{
    lblAnalog[2]->setText(numAnalogInitialDelay->Value() == 1 ? QStringLiteral("Second") : QStringLiteral("Seconds"));
    lblAnalog[4]->setText(numAnalogAlarmDelay->Value() == 1 ? QStringLiteral("Second") : QStringLiteral("Seconds"));
    picActionText[5]->setVisible(SelectedRow() && numAnalogAlarmDelay->Value() == 0);
}

void AnalogInPage::numAnalogInitialDelay_Change()
{
    if (XelAnalogIn* input = InputToStore())
        input->SetInitialDelay(qBound(0, numAnalogInitialDelay->Value(), 255));
    ShowDelayWords();
}

void AnalogInPage::numAnalogAlarmDelay_Change()
{
    if (XelAnalogIn* input = InputToStore())
        input->SetAlarmDelay(qBound(0, numAnalogAlarmDelay->Value(), 255));
    ShowDelayWords();
}

void AnalogInPage::ScaleGraphForUpperSetpoint(float value)
{
    const modAnalog::YScale scale = modAnalog::ScaleForUpperSetpoint(value);
    graRPMDependentAlarm->SetYSteps(scale.steps);
    graRPMDependentAlarm->SetYStep(scale.step);
    graRPMDependentAlarm->SetYStepMarkEvery(scale.markEvery);
}

void AnalogInPage::WidenGraphForUpperRPM(qint32 rpm)
{
    // The graph runs to 3000 RPM while any input of the setup has its upper speed above
    // 2000, and back to 2000 RPM once none has (a new or another setup).
    bool wide = rpm >= 2001;
    if (XelObject* setup = Setup()) {
        for (XelAnalogIn* input : *setup->AnalogIn())
            wide = wide || (input && input->RPM(1) >= 2001);
    }
    graRPMDependentAlarm->SetXSteps(wide ? 12 : 8);
}

void AnalogInPage::numAnalogLimit_ErrorValue(int index)
{
    if (index < 0 || index > 2)
        return;
    pagecommon::ShowRangeMessage(numAnalogLimit[index], 824, {numAnalogSensorMin->Value(), numAnalogSensorMax->Value()});
}

void AnalogInPage::numAnalogLimitSetpoint_ErrorValue(int index)
{
    if (index < 0 || index > 1)
        return;
    pagecommon::ShowRangeMessage(numAnalogLimitSetpoint[index], 825, {numAnalogSensorMin->Value(), numAnalogSensorMax->Value()});
}

void AnalogInPage::numAnalogSetpointRPM_ErrorValue(int index)
{
    if (index < 0 || index > 1)
        return;
    pagecommon::ShowRangeMessage(numAnalogSetpointRPM[index], 826, {numAnalogSetpointRPM[index]->Min(), numAnalogSetpointRPM[index]->Max()});
}

void AnalogInPage::numAnalogSensorMin_ErrorValue()
{
    pagecommon::ShowRangeMessage(numAnalogSensorMin, 820, {numAnalogSensorMax->Value()});
}

void AnalogInPage::numAnalogSensorMax_ErrorValue()
{
    pagecommon::ShowRangeMessage(numAnalogSensorMax, 822, {numAnalogSensorMin->Value(), 3000});
}
