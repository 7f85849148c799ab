// The Switch page's entry handlers, the two action rules, the layout of the detail area and the
// input options (broken-wire detection, the RUN signal).
#include "app/pages/MainState.h"
#include "app/pages/channels/DigitalListView.h"
#include "app/pages/channels/InputListHighlight.h"
#include "app/pages/channels/SwitchPage.h"
#include "app/pages/common/PageCommon.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cDigitalIn.h"
#include "platform/MessagePresenter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using pagecommon::Twips;
using pagecommon::ToTwips;

namespace {

constexpr int kShutdown = 3;

void SetTop(QWidget* w, int twips) { w->move(w->x(), Twips(twips)); }
int Top(const QWidget* w) { return ToTwips(w->y()); }

QString SecondsText(int value) { return value == 1 ? QStringLiteral("Second") : QStringLiteral("Seconds"); }

} // namespace

// ---- the Active box and the action rules -------------------------------------------------------

void SwitchPage::chkDigitalActive_Click()
{
    XelDigitalIn* input = SelectedInput();
    QTreeWidgetItem* row = SelectedRow();
    if (input && row) {
        const bool ticked = chkDigitalActive->isChecked();
        input->SetActive(ticked);
        RefreshSelectedDigitalState(input);
        xeldisp::SetChildrenEnabled(conDigital, ticked);
        if (ticked) {
            xeldisp::SetChildrenEnabled(conDigitalInitialDelay, chkDigitalAlarmOnRunOnly->isChecked());
            xeldisp::SetChildrenEnabled(conDigitalPID, input->InputType() > 0);
            inputlist::SetRowHighlight(row, false);
            picActionText[0]->setVisible(false);
            if (UserEdit() && pagecommon::ShiftHeld() && txtDigitalDescription->text().isEmpty())
                txtDigitalDescription->setText(QStringLiteral("Switch Input ") + QString::number(input->Index()));
        } else {
            xeldisp::SetChildrenEnabled(conDigitalInitialDelay, false);
            xeldisp::SetChildrenEnabled(conDigitalPID, false);
            if (UserEdit() && pagecommon::ShiftHeld())
                txtDigitalDescription->clear();
            const bool highlighted = inputlist::IsHighlighted(false, input->Text());
            inputlist::SetRowHighlight(row, highlighted);
            picActionText[0]->setVisible(highlighted);
        }
    }
    UpdateClassified();
    // Also enables the broken-wire group for an active input that has one.
    ShowDigitalInputOptions();
    UpdateDigitalCount();
}

void SwitchPage::ApplyActionSwitchType()
{
    // Only the user's own choice of an action proposes a contact type.
    if (!m_digitalActionFocus || !UserEdit())
        return;
    SetComboIndex(cmbDigitalSwitchType, pagecommon::CurrentItemData(cmbDigitalAction) == kShutdown ? 1 : 0);
}

bool SwitchPage::CheckShutdownSwitchType(int inputNumber)
{
    if (!m_digitalSwitchTypeFocus || !UserEdit())
        return true;
    const int action = pagecommon::CurrentItemData(cmbDigitalAction);
    const bool normallyClosed = cmbDigitalSwitchType->currentIndex() == 0;
    if (XelDigitalIn::IsBrokenWireInput(inputNumber) && action == kShutdown) {
        if (normallyClosed) {
            extra::LangMsgBox(161, platform::MsgStyle::Exclamation);
            return false;
        }
        return true;
    }
    if (!pagecommon::ShiftHeld() && normallyClosed && action == kShutdown)
        extra::LangMsgBox(110, platform::MsgStyle::Exclamation);
    return true;
}

void SwitchPage::cmbDigitalAction_Click()
{
    XelDigitalIn* input = SelectedInput();
    XelObject* setup = Setup();
    if (!input || !setup || cmbDigitalAction->currentIndex() < 0)
        return;
    ApplyActionSwitchType();
    if (setup->Main()->Classified() && !XelDigitalIn::IsBrokenWireInput(input->Index())
        && pagecommon::CurrentItemData(cmbDigitalAction) == kShutdown) {
        if (UserEdit())
            extra::LangMsgBox(164, platform::MsgStyle::Exclamation, {6});
        pagecommon::ScopedFlag opening(m_state.OpeningSetup);
        const QSignalBlocker block(cmbDigitalAction);
        cmbDigitalAction->setCurrentIndex(cmbDigitalAction->findData(input->Action()));
    }
    if (cmbDigitalAction->currentIndex() >= 0)
        input->SetAction(pagecommon::CurrentItemData(cmbDigitalAction));
    RefreshSelectedDigitalState(input);
    chkDigitalAlarmOnRunOnly->setText(extra::GetLangString(2093, {cmbDigitalAction->currentText()}));
    ShowDigitalInputOptions();
    UpdateClassified();
}

void SwitchPage::cmbDigitalSwitchType_Click()
{
    XelDigitalIn* input = SelectedInput();
    const int index = cmbDigitalSwitchType->currentIndex();
    if (!input || index < 0)
        return;
    input->SetSwitchType(index);
    RefreshSelectedDigitalState(input);
    if (!CheckShutdownSwitchType(SelectedPosition()))
        SetComboIndex(cmbDigitalSwitchType, 1);
}

// ---- one-line handlers --------------------------------------------------------------------------

void SwitchPage::chkDigitalAlarmOnRunOnly_Click()
{
    const bool ticked = chkDigitalAlarmOnRunOnly->isChecked();
    if (XelDigitalIn* input = SelectedInput())
        input->SetOnRunOnly(ticked);
    xeldisp::SetChildrenEnabled(conDigitalInitialDelay, ticked);
}

void SwitchPage::txtDigitalDescription_Change()
{
    XelDigitalIn* input = SelectedInput();
    if (!input)
        return;
    // A shown description is the stored one; storing it back could only lose characters.
    if (!m_showing)
        input->SetText(txtDigitalDescription->text());
    if (QTreeWidgetItem* row = SelectedRow())
        row->setText(2, txtDigitalDescription->text());
}

void SwitchPage::FilterDescription(const QString& text)
{
    // Typed or pasted: the whole text goes through the unit's character filter.
    QString filtered;
    filtered.reserve(text.size());
    for (QChar c : text) {
        modDiv::FilterTextKey(c);
        if (!c.isNull())
            filtered.append(c);
    }
    if (filtered == text)
        return;
    const int cursor = txtDigitalDescription->cursorPosition() - int(text.size() - filtered.size());
    txtDigitalDescription->setText(filtered);
    txtDigitalDescription->setCursorPosition(qMax(0, cursor));
}

void SwitchPage::txtDigitalInfo_Change()
{
    XelDigitalIn* input = SelectedInput();
    if (input && !m_showing)
        input->SetInfo(txtDigitalInfo->text());
}

void SwitchPage::numDigitalAlarmDelay_Change()
{
    const qint32 value = numDigitalAlarmDelay->Value();
    XelDigitalIn* input = SelectedInput();
    if (!input) {
        picActionText[4]->setVisible(false);
        return;
    }
    input->SetDelay(value);
    lblDigital[4]->setText(SecondsText(value));
    picActionText[4]->setVisible(value == 0);
}

void SwitchPage::numDigitalInitialDelay_Change()
{
    const qint32 value = numDigitalInitialDelay->Value();
    if (XelDigitalIn* input = SelectedInput()) {
        input->SetInitialDelay(value);
        lblDigitalInitialDelay[1]->setText(SecondsText(value));
    }
}

// ---- layout and input options ------------------------------------------------------------------

void SwitchPage::ArrangeDigitalPage(bool hideInputType)
{
    cmbDigitalInputType->setVisible(!hideInputType);
    cmbDigitalInputType->setFocusPolicy(hideInputType ? Qt::NoFocus : Qt::StrongFocus);
    lblDigital[0]->setVisible(!hideInputType);
    // The parameter frame sits on the input type's row, where the description moves up to.
    if (hideInputType)
        conDigitalPID->setVisible(false);
    SetTop(txtDigitalDescription, hideInputType ? 30 : 420);
    SetTop(lblDigital[3], Top(txtDigitalDescription) + 30);
    SetTop(cmbDigitalAction, Top(txtDigitalDescription) + 390);
    SetTop(lblDigital[2], Top(cmbDigitalAction) + 30);
    SetTop(numDigitalAlarmDelay, Top(cmbDigitalAction));
    SetTop(lblDigitalDelay, Top(lblDigital[2]));
    SetTop(lblDigital[4], Top(lblDigital[2]));
    SetTop(picActionText[4], Top(lblDigital[4]));
    SetTop(cmbDigitalSwitchType, Top(cmbDigitalAction) + 390);
    SetTop(lblDigital[1], Top(cmbDigitalSwitchType) + 30);
    SetTop(chkDigitalAlarmOnRunOnly, Top(cmbDigitalSwitchType) + 360);
    SetTop(conDigitalInitialDelay, Top(chkDigitalAlarmOnRunOnly) + 300);
    SetTop(picActionText[3], Top(chkDigitalAlarmOnRunOnly));
    SetTop(conDigitalBrokenWireDetection, Top(conDigitalInitialDelay) + 360);
    SetTop(chkDigitalAdditionalRunDetection, Top(conDigitalBrokenWireDetection) + 270);
    SetTop(txtDigitalInfo, Top(chkDigitalAdditionalRunDetection) + 270);
    SetTop(lblDigital[5], Top(txtDigitalInfo) + 30);
    SetTop(conDigitalInAdditional, Top(conDigital) + Top(txtDigitalInfo) - ToTwips(conDigitalInAdditional->height()) - 90);
}

void SwitchPage::ShowDigitalInputOptions()
{
    XelDigitalIn* input = SelectedInput();
    XelObject* setup = Setup();
    const int position = SelectedPosition();
    if (!input || !setup || position < 1)
        return;
    if (XelDigitalIn::IsBrokenWireInput(position)) {
        const bool boxChecked = m_state.mainPage && m_state.mainPage->ClassifiedChecked();
        if (setup->Main()->Classified() && boxChecked && input->Action() == kShutdown) {
            SetCheck(chkDigitalBrokenWireDetection, true);
            input->SetBrokenWireDetection(true);
        }
        xeldisp::SetChildrenEnabled(conDigitalBrokenWireDetection, chkDigitalActive->isChecked());
    } else {
        xeldisp::SetChildrenEnabled(conDigitalBrokenWireDetection, false);
    }
}

void SwitchPage::chkDigitalAdditionalRunDetection_Click()
{
    XelDigitalIn* input = SelectedInput();
    if (!input)
        return;
    input->SetRUNAlsoDetectedBy(chkDigitalAdditionalRunDetection->isChecked());
    RefreshSelectedDigitalState(input);
}

void SwitchPage::chkDigitalBrokenWireDetection_Click()
{
    XelDigitalIn* input = SelectedInput();
    XelObject* setup = Setup();
    if (!input || !setup)
        return;
    const bool checked = chkDigitalBrokenWireDetection->isChecked();
    const bool locked = setup->Main()->Classified() && input->Active() && input->Action() == kShutdown;
    // A shown value is stored as it is; only the user's clearing meets the classifiable lock.
    if (checked || !locked || !UserEdit()) {
        input->SetBrokenWireDetection(checked);
        UpdateClassified();
        return;
    }
    SetCheck(chkDigitalBrokenWireDetection, true);
    input->SetBrokenWireDetection(true);
    extra::LangMsgBox(170, platform::MsgStyle::Exclamation, {6});
}
