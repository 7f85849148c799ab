// The page laid out for the selected input, and the RPM-dependent alarm curve.
#include "app/pages/channels/AnalogInPage.h"

#include "app/pages/MainState.h"
#include "app/pages/channels/AnalogListView.h"
#include "app/pages/channels/AnalogRules.h"
#include "app/pages/channels/InputListHighlight.h"
#include "app/pages/channels/frmSetpoints.h"
#include "app/pages/common/PageCommon.h"
#include "controls/Container.h"
#include "controls/Float.h"
#include "controls/Number.h"
#include "controls/TarnGraph.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelEnums.h"
#include "datamodel/XelObject.h"
#include "datamodel/cAnalogIn.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

// One row of the layout table: children enabled of each group, and whether a group is shown
// (-1 leaves the visibility as it is).
struct GroupState {
    bool on;
    int shown;
};

void Apply(Container* group, GroupState state)
{
    group->SetChildrenEnabled(state.on);
    if (state.shown >= 0)
        group->setVisible(state.shown == 1);
}

} // namespace

void AnalogInPage::ShowAnalogInput()
{
    conAnalogLimitWarning->setVisible(true);
    conAnalogLimitAlarm->setVisible(true);
    conAnalogLimitShutdown->setVisible(true);
    graRPMDependentAlarm->setVisible(false);

    QTreeWidgetItem* row = SelectedRow();
    XelAnalogIn* input = InputOfRow(row);
    if (!row || !input) {
        conAnalogLimit->SetChildrenEnabled(false);
        conAnalogLimitWarning->SetEnabled(false);
        conAnalogLimitAlarm->SetEnabled(false);
        for (Container* group : {conAnalogLimitWarning, conAnalogLimitAlarm, conAnalogLimitShutdown,
                                 conAnalogInitialDelay, conAnalogActionType, conAnalogActionInfo,
                                 conAnalogAlarmSetpoint[0], conAnalogAlarmSetpoint[1], conAnalogPID})
            group->SetChildrenEnabled(false);
        ClassifiedRefresh();
        return;
    }
    RefreshSelectedAnalogItem(input);
    conAnalog->SetChildrenEnabled(input->Active());

    // The sensor range is typed only for an active wired input whose type is chosen.
    const bool typeChosen = cmbAnalogInputType->currentIndex() >= 0;
    const bool busType = modAnalog::IsBusType(input->InputType()) ||
                         modAnalog::IsBusType(pagecommon::CurrentItemData(cmbAnalogInputType, -1));
    if (!input->Active()) {
        for (Container* group : {conAnalogLimit, conAnalogLimitWarning, conAnalogLimitAlarm, conAnalogLimitShutdown,
                                 conAnalogInitialDelay, conAnalogActionInfo, conAnalogActionType, conAnalogPID})
            group->SetChildrenEnabled(false);
        SetSensorRangeLocked(true);
        conAnalogAlarmSetpoint[0]->SetChildrenEnabled(false);
        conAnalogAlarmSetpoint[1]->SetChildrenEnabled(false);
        const bool described = inputlist::IsHighlighted(input->Active(), input->Text());
        SetRowHighlighted(row, described);
        picActionText[1]->setVisible(described);
        picActionText[2]->setVisible(false);
    } else {
        const qint32 action = input->Action();
        const GroupState on{true, -1}, off{false, -1}, onShown{true, 1}, offHidden{false, 0};
        auto limits = [&](GroupState limit, GroupState warning, GroupState alarm, GroupState shutdown,
                          GroupState setpoints) {
            Apply(conAnalogLimit, limit);
            Apply(conAnalogLimitWarning, warning);
            Apply(conAnalogLimitAlarm, alarm);
            Apply(conAnalogLimitShutdown, shutdown);
            Apply(conAnalogAlarmSetpoint[0], setpoints);
            Apply(conAnalogAlarmSetpoint[1], setpoints);
        };
        switch (action) {
        case qint32(AnalogActionType::Warning): limits(on, on, off, off, offHidden); break;
        case qint32(AnalogActionType::Alarm): limits(on, off, onShown, offHidden, offHidden); break;
        case qint32(AnalogActionType::Shutdown): limits(on, off, offHidden, onShown, offHidden); break;
        case qint32(AnalogActionType::WarningAlarm): limits(on, on, onShown, offHidden, offHidden); break;
        case qint32(AnalogActionType::WarningShutdown): limits(on, on, offHidden, onShown, offHidden); break;
        case qint32(AnalogActionType::RPMDependentAlarm):
        case qint32(AnalogActionType::RPMDependentWarning):
        case qint32(AnalogActionType::RPMDependentShutdown):
            if (!modAnalog::IsBusType(input->InputType())) {
                Apply(conAnalogLimit, {false, 1});
                Apply(conAnalogLimitWarning, offHidden);
                Apply(conAnalogLimitAlarm, offHidden);
                Apply(conAnalogLimitShutdown, offHidden);
                for (Container* group : conAnalogAlarmSetpoint) {
                    Apply(group, onShown);
                    group->SetEnabled(true);
                }
                graRPMDependentAlarm->setVisible(true);
                DrawRPMDependentAlarm();
            } else {
                limits(off, off, off, off, offHidden);
                conAnalogInitialDelay->SetChildrenEnabled(false);
            }
            break;
        case qint32(AnalogActionType::None):
            limits(off, off, off, off, offHidden);
            conAnalogInitialDelay->SetChildrenEnabled(false);
            break;
        default:
            // An action this program does not know: no setpoint group from a previous input.
            conAnalogAlarmSetpoint[0]->setVisible(false);
            conAnalogAlarmSetpoint[1]->setVisible(false);
            break;
        }
        const bool hasAction = cmbAnalogAction->currentIndex() > 0;
        conAnalogActionType->SetChildrenEnabled(hasAction);
        conAnalogActionInfo->SetChildrenEnabled(hasAction);
        if (!typeChosen)
            conAnalog->SetChildrenEnabled(false);
        SetSensorRangeLocked(!typeChosen || busType);
        const int position = RowPosition(row);
        XelAnalogIn* atPosition = Setup()->AnalogIn()->Item(position);
        const bool busChannel = (atPosition && atPosition->InputType() > qint32(AnalogInputType::V0_10)) ||
                                position > modAnalog::kWiredChannels;
        conAnalogPID->SetChildrenEnabled(busChannel && chkAnalogActive->isChecked());
        SetRowHighlighted(row, false);
        picActionText[1]->setVisible(false);
        picActionText[2]->setVisible(txtAnalogDescription->text().length() > 20);
    }
    ClassifiedRefresh();
}

void AnalogInPage::DrawRPMDependentAlarm()
{
    graRPMDependentAlarm->ClearData();
    const QVector<QPointF> points =
        modAnalog::CurvePoints(numAnalogLimitSetpoint[0]->Value(), numAnalogLimitSetpoint[1]->Value(),
                               numAnalogSetpointRPM[0]->Value(), numAnalogSetpointRPM[1]->Value());
    for (const QPointF& p : points)
        graRPMDependentAlarm->AddDataValue(float(p.x()), float(p.y()));
    graRPMDependentAlarm->Refresh();
}

std::unique_ptr<frmSetpoints> AnalogInPage::PrepareSetpointsWindow()
{
    auto window = std::make_unique<frmSetpoints>(this->window());
    window->txtAnalogDescription->setText(txtAnalogDescription->text());
    TarnGraph* graph = window->graRPMDependentAlarm;
    graph->SetYStep(graRPMDependentAlarm->YStep());
    graph->SetYSteps(graRPMDependentAlarm->YSteps());
    graph->SetYStepMarkEvery(graRPMDependentAlarm->YStepMarkEvery());
    graph->SetMarkDescriptionLeft(cmbAnalogUnits->currentText());
    graph->ClearData();
    graph->SetData(graRPMDependentAlarm->Data());
    return window;
}

void AnalogInPage::graRPMDependentAlarm_DblClick()
{
    std::unique_ptr<frmSetpoints> window = PrepareSetpointsWindow();
    RunModal(*window);
}

void AnalogInPage::conAnalogActionType_ChildrenEnabledChange(bool enabled)
{
    conAnalogInitialDelay->SetChildrenEnabled(enabled && chkAnalogAlarmOnRunOnly->isChecked());
}

void AnalogInPage::conAnalogInitialDelay_ChildrenEnabledChange(bool enabled)
{
    picActionText[6]->setVisible(enabled);
}
