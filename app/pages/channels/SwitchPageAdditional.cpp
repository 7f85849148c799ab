// The two additional switch inputs (terminals 61 and 62): each one fixed unit function or none.
#include "app/pages/MainState.h"
#include "app/pages/channels/SwitchPage.h"
#include "app/pages/common/PageCommon.h"
#include "app/setupdefaults/DefaultSetup.h"
#include "datamodel/XelDigitalInAdditional.h"
#include "datamodel/XelObject.h"
#include "datamodel/cDigitalInAdditional.h"

#include <QComboBox>

void SwitchPage::SetDigitalInAdditionalDefaults()
{
    if (XelObject* setup = Setup())
        defaultsetup::SetDigitalInAdditionalDefaults(*setup);
}

void SwitchPage::RefreshDigitalInAdditional() { FillDigitalInAdditionalCombo(); }

void SwitchPage::FillDigitalInAdditionalCombo()
{
    XelObject* setup = Setup();
    // Filling only shows the stored functions; the click handler must not store them back.
    pagecommon::ScopedFlag opening(m_state.OpeningSetup);
    for (QComboBox* combo : cmbDigitalInAdditional) {
        combo->clear();
        combo->addItem(QString(), 0);
        pagecommon::AppendComboFromLangList(combo, 6100, 6103);
    }
    for (int i = 0; i < 2; ++i) {
        XelDigitalInAdditional* input =
            setup ? setup->DigitalInAdditional()->Item(pagecommon::ItemKey(i + 1)) : nullptr;
        if (input && input->InUse())
            cmbDigitalInAdditional[i]->setCurrentIndex(cmbDigitalInAdditional[i]->findData(int(input->FunctionNo())));
        else
            cmbDigitalInAdditional[i]->setCurrentIndex(0);
    }
}

void SwitchPage::cmbDigitalInAdditional_Click(int index)
{
    XelObject* setup = Setup();
    if (m_state.OpeningSetup || !setup || index < 0 || index > 1)
        return;
    XelDigitalInAdditional* input = setup->DigitalInAdditional()->Item(pagecommon::ItemKey(index + 1));
    QComboBox* combo = cmbDigitalInAdditional[index];
    if (!input)
        return;
    const bool inUse = combo->currentIndex() >= 1;
    input->SetInUse(inUse);
    input->SetFunctionNo(inUse ? pagecommon::CurrentItemData(combo, 0) : 0);
    input->SetText(inUse ? combo->currentText() : QString());
}
