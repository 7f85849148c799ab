// The Main page options that reach the other pages: operation mode, J1939/J1587 support and
// the classifiable project.
#include "app/pages/general/MainPage.h"

#include "app/pages/MainState.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/general/MainWindowHelpers.h"
#include "extra/extra.h"
#include "controls/Container.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "platform/MessagePresenter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

using pagecommon::ScopedFlag;

namespace {

constexpr int kModePropulsion = 2;
constexpr int kModeEmergency = 3;
constexpr int kShutdown = 3;
constexpr int kWarningShutdown = 5;
constexpr int kRPMDependentShutdown = 8;
constexpr int kBelowLimit = 1;

bool IsAnalogShutdown(int action)
{
    return action == kShutdown || action == kWarningShutdown || action == kRPMDependentShutdown;
}

QString JoinIndexes(const QList<int>& indexes)
{
    QStringList parts;
    for (int i : indexes)
        parts << QString::number(i);
    return parts.join(QStringLiteral(", "));
}

} // namespace

// ---- operation mode -------------------------------------------------------------------

void MainPage::OnOperationModeChanged()
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    XelMain* main = setup->Main();
    const int previous = main->OperationMode();
    const bool wasPropulsion = m_state.PROPULSION;
    const bool wasEmergency = m_state.Emergency;
    // While a setup is shown, its mode is applied as it stands: no question, and the other
    // pages' inputs (still those of the previous setup) are left alone.
    const bool opening = m_loading || m_state.Loading || m_state.OpeningSetup;
    const bool quiet = m_restoringMode || opening || m_state.ExpertMode || pagecommon::ShiftHeld();

    const int mode = pagecommon::CurrentItemData(cmbMainOperationMode, -1);
    const bool propulsion = mode == kModePropulsion;
    const bool emergency = mode == kModeEmergency;
    m_state.PROPULSION = propulsion;
    m_state.Emergency = emergency;

    int question = 0;
    QString modeName;
    if (propulsion == wasPropulsion) {
        if (emergency && !wasEmergency && HasShutdownInputs(*setup) && !quiet) {
            question = 128;
            modeName = pagecommon::ItemTextByData(cmbMainOperationMode, previous);
        }
    } else if (propulsion) {
        if (wasEmergency && !quiet) {
            question = 111;
            modeName = pagecommon::ItemTextByData(cmbMainOperationMode, previous);
        }
    } else if (emergency && !quiet) {
        question = 112;
        modeName = cmbMainOperationMode->currentText();
    }

    if (question != 0
        && extra::LangMsgBox(quint16(question), platform::MsgStyle::YesNo | platform::MsgStyle::Question,
                             {modeName.trimmed()})
            != platform::MsgResult::Yes) {
        // Put everything back as it was; the nested run only shows the previous mode again.
        m_state.PROPULSION = wasPropulsion;
        m_state.Emergency = wasEmergency;
        const bool oldRestoring = m_restoringMode;
        m_restoringMode = true;
        if (pagecommon::SelectByItemData(cmbMainOperationMode, previous) < 0)
            cmbMainOperationMode->setCurrentIndex(-1);
        m_restoringMode = oldRestoring;
        return;
    }

    // A shown setup shapes the Standby page even when the mode flags stay as they were.
    if (opening || propulsion != wasPropulsion || emergency != wasEmergency)
        UpdateStandbyTab();

    const int index = cmbMainOperationMode->currentIndex();
    QString description = index >= 0 ? extra::GetLangString(quint16(10 + index)) : QString();
    txtMainDescription->setPlainText(description);

    StoreCurrent();

    if (m_state.speedSensorPage)
        m_state.speedSensorPage->SetNomMaxCaption(extra::GetLangString(propulsion ? 3002 : 3001));

    if (!opening && !propulsion && mode >= 0 && emergency != wasEmergency) {
        if (m_state.switchPage)
            m_state.switchPage->DigitalOperationModeChanged(emergency);
        if (m_state.analogPage)
            m_state.analogPage->AnalogOperationModeChanged(emergency);
        // Shutdown actions lowered to alarms no longer block the classifiable mark.
        UpdateClassifiedInfo();
    }

    if (m_state.frame) {
        m_state.frame->SetPanelText(QStringLiteral("MODE"),
                                    QStringLiteral(" ") + cmbMainOperationMode->currentText().trimmed());
        m_state.frame->SetPanelToolTip(QStringLiteral("MODE"), QStringLiteral("Operation Mode"));
    }
}

void MainPage::UpdateStandbyTab()
{
    const bool propulsion = m_state.PROPULSION;
    if (m_state.standbyPage)
        m_state.standbyPage->ApplyOperationShape(propulsion);
    if (m_state.frame)
        m_state.frame->SetTabCaption(TabStandbyOperation,
                                     propulsion ? QStringLiteral("S&tart/Fuel") : QStringLiteral("S&tandby Operation"));
}

bool MainPage::HasShutdownInputs(XelObject& setup)
{
    if (setup.DigitalIn())
        for (XelDigitalIn* input : setup.DigitalIn()->NewEnum())
            if (input->Action() == kShutdown)
                return true;
    if (setup.AnalogIn())
        for (XelAnalogIn* input : setup.AnalogIn()->NewEnum())
            if (IsAnalogShutdown(input->Action()))
                return true;
    return false;
}

// ---- J1939/J1587 support ---------------------------------------------------------------

void MainPage::SwitchOffCAN()
{
    {
        const QSignalBlocker block(chkMainCAN);
        chkMainCAN->setChecked(false);
    }
    OnCANToggled(false, true);
}

void MainPage::OnCANToggled(bool on, bool asked)
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    if (!on && !SetupLoading()) {
        QList<int> listed;
        for (XelAnalogIn* input : setup->AnalogIn()->NewEnum()) {
            const bool busInput = input->Index() >= 12 || input->InputType() > 2;
            if (busInput && input->Active())
                listed << input->Index();
        }
        if (listed.isEmpty()) {
            // Nothing reads the bus: the idle bus channels only lose their action.
            for (XelAnalogIn* input : setup->AnalogIn()->NewEnum())
                if (input->Index() < 12 && input->InputType() > 2)
                    input->SetAction(0);
        }
        const bool skip = asked || m_state.ExpertMode || pagecommon::ShiftHeld();
        if (!listed.isEmpty() && !skip) {
            const quint16 id = listed.size() > 1 ? 137 : 136;
            if (extra::LangMsgBox(id, platform::MsgStyle::YesNo | platform::MsgStyle::Exclamation,
                                  {JoinIndexes(listed)})
                != platform::MsgResult::Yes) {
                ScopedFlag restoring(m_state.OpeningSetup);
                {
                    const QSignalBlocker block(chkMainCAN);
                    chkMainCAN->setChecked(true);
                }
                OnCANToggled(true);
                return;
            }
        }
        // The inputs that read the engine bus go out of use; this runs only once the user
        // agreed (or Shift or expert mode skipped the question).
        if (!listed.isEmpty()) {
            for (XelAnalogIn* input : setup->AnalogIn()->NewEnum()) {
                if (input->Index() > 11)
                    break;
                if (input->InputType() > 2) {
                    input->SetAction(0);
                    input->SetInputType(0);
                    input->SetActive(false);
                }
            }
            if (m_state.switchPage)
                m_state.switchPage->FillDigitalInputTypeCombo(0, true);
            if (m_state.analogPage) {
                m_state.analogPage->FillAnalogInputTypeCombo(0, true);
                m_state.analogPage->SetDetailsEnabled(false);
                m_state.analogPage->SetSensorRangeLocked(true);
            }
        }
    }

    if (m_state.batteryPage)
        m_state.batteryPage->SetEngineDataEntries(on);
    if (m_state.speedSensorPage) {
        // While a setup is shown the pickup lists change, but the Speed Sensor page stores nothing.
        const bool quiet = SetupLoading() || m_state.Loading;
        if (quiet)
            m_state.speedSensorPage->SetSpeedSensorLoading(true);
        m_state.speedSensorPage->SetPickupEngineDataEntries(on);
        if (quiet)
            m_state.speedSensorPage->SetSpeedSensorLoading(false);
    }

    if (!SetupLoading()) {
        setup->SetCANSupport(on);
        if (m_state.analogPage)
            m_state.analogPage->AnalogCANChanged(on);
        StoreCurrent();
    }

    UpdateMIDLabel();
    conMainMID->SetChildrenEnabled(on);
    conMainMID->setVisible(on);
    if (m_state.analogPage && !SetupLoading())
        m_state.analogPage->RefreshAnalogList();
    // Inputs that went out of use no longer block the classifiable mark.
    if (!SetupLoading())
        UpdateClassifiedInfo();
}

// ---- classifiable project -------------------------------------------------------------

void MainPage::ClassifiedBlockers(XelObject& setup, QList<int>& digital, QList<int>& analog)
{
    digital.clear();
    analog.clear();
    if (setup.DigitalIn())
        for (XelDigitalIn* input : setup.DigitalIn()->NewEnum()) {
            if (!input->Active() || input->Action() != kShutdown)
                continue;
            if (!XelDigitalIn::IsBrokenWireInput(input->Index()) || !input->BrokenWireDetection())
                digital << input->Index();
        }
    if (setup.AnalogIn())
        for (XelAnalogIn* input : setup.AnalogIn()->NewEnum())
            if (input->Active() && input->ActionDirection() == kBelowLimit && IsAnalogShutdown(input->Action()))
                analog << input->Index();
}

QString MainPage::ClassifiedBlockText(const QList<int>& digital, const QList<int>& analog)
{
    if (digital.isEmpty() && analog.isEmpty())
        return QString();
    QStringList parts;
    if (!digital.isEmpty())
        parts << (digital.size() == 1 ? QStringLiteral("Switch Input Channel ") : QStringLiteral("Switch Input Channels "))
                + JoinIndexes(digital);
    if (!analog.isEmpty())
        parts << (analog.size() == 1 ? QStringLiteral("Analog Input Channel ") : QStringLiteral("Analog Input Channels "))
                + JoinIndexes(analog);
    return parts.join(QStringLiteral(" and "));
}

void MainPage::OnClassifiedToggled(bool checked)
{
    XelObject* setup = Setup();
    if (setup && !SetupLoading()) {
        if (checked) {
            QList<int> digital, analog;
            ClassifiedBlockers(*setup, digital, analog);
            if (!digital.isEmpty() || !analog.isEmpty()) {
                chkMainClassified->setChecked(false); // its own run stores the unchecked state
                return;
            }
        }
        m_userChangedClassified = true;
        StoreCurrent();
        ShowClassifiedState();
        return;
    }
    SetPanelVisible(QStringLiteral("CLASSIFIABLE"), chkMainClassified->isChecked());
}

void MainPage::UpdateClassifiedInfo()
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    QList<int> digital, analog;
    ClassifiedBlockers(*setup, digital, analog);
    if (m_state.DebugInfo)
        mainhelpers::SetStatusText(QStringLiteral("DI: ") + JoinIndexes(digital) + QStringLiteral("; AI: ")
                                   + JoinIndexes(analog));
    const bool blocked = !digital.isEmpty() || !analog.isEmpty();
    // Only an edit of an input that blocks a setup which was free to be classifiable clears the
    // mark; a setup shown as it was stored keeps it, blockers or not.
    const bool editing = !SetupLoading() && !m_state.Loading;
    if (blocked && editing && m_classifiedBlockKnown && !m_classifiedBlocked)
        m_classifiedNewlyBlocked = true;
    if (!blocked)
        m_classifiedNewlyBlocked = false;
    m_classifiedBlocked = blocked;
    m_classifiedBlockKnown = true;
    chkMainClassified->setProperty("Tag", blocked ? QStringLiteral("0") : QStringLiteral("1"));
    ShowClassifiedState();
}

void MainPage::UpdateClassifiedCheck(bool check)
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    XelMain* main = setup->Main();
    const bool allowed = ClassifiedTag() != QStringLiteral("0");
    const bool editing = !SetupLoading() && !m_state.Loading;
    if (editing) {
        if (allowed && check)
            main->SetClassified(true);
        else if (!allowed && m_classifiedNewlyBlocked)
            main->SetClassified(false);
    }
    m_classifiedNewlyBlocked = false;
    ShowClassifiedState();
    // A setting the program made itself does not count as a change; the user's own does.
    if (allowed && !m_userChangedClassified)
        main->ResetChangedFlagClassified();
}

void MainPage::ShowClassifiedState()
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    // The box always shows the stored mark. While inputs block it, it can be cleared but not
    // ticked, so an unticked box is disabled then.
    // Box and tip say what holds now, read from the inputs as they are: a stored mark that they
    // block, or why the box cannot be ticked.
    const bool classified = setup->Main()->Classified();
    QList<int> digital, analog;
    ClassifiedBlockers(*setup, digital, analog);
    const QString blockers = ClassifiedBlockText(digital, analog);
    {
        const QSignalBlocker block(chkMainClassified);
        chkMainClassified->setChecked(classified);
    }
    const bool onPage = !m_state.frame || m_state.frame->CurrentTab() == TabMain;
    chkMainClassified->setEnabled(onPage && (blockers.isEmpty() || classified));
    QString tip;
    if (!blockers.isEmpty())
        tip = (classified ? QStringLiteral("Stored as classifiable; blocked by ") : QStringLiteral("Disabled due to "))
              + blockers;
    chkMainClassified->setToolTip(tip);
    SetPanelVisible(QStringLiteral("CLASSIFIABLE"), classified);
}

bool MainPage::ClassifiedChecked() { return chkMainClassified->isChecked(); }

QString MainPage::ClassifiedTag() { return chkMainClassified->property("Tag").toString(); }
