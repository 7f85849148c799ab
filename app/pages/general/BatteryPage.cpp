#include "app/pages/general/BatteryPage.h"

#include "app/pages/MainState.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/general/DialogHelpers.h"
#include "app/services/ComboHelpers.h"
#include "app/setupdefaults/DefaultSetup.h"
#include "extra/extra.h"
#include "controls/Container.h"
#include "controls/Float.h"
#include "controls/Number.h"
#include "datamodel/XelBattery.h"
#include "datamodel/XelObject.h"
#include "platform/MessagePresenter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>

using pagecommon::ScopedFlag;

namespace {

constexpr int kDelayMin = 1;
constexpr int kDelayMax = 255;
constexpr int kEngineDataFromJ1939 = 1;

const char* const kCaptions[6] = {"Low Battery Voltage Alarm", "Delay Before Alarm", "Seconds", "Volt",
                                  "Start Battery Voltage", "J1939 CAN Voltage Location"};

struct Limits {
    float min;
    float max;
};

Limits BoxLimits(int kind)
{
    switch (kind) {
    case BatteryPage::Range12V: return {9.0f, 15.0f};
    case BatteryPage::Range24V: return {18.0f, 30.0f};
    default: return {9.0f, 30.0f};
    }
}

int KindOfVoltage(int voltage)
{
    return voltage == 12 ? BatteryPage::Range12V : voltage == 24 ? BatteryPage::Range24V : BatteryPage::RangeEngineData;
}

} // namespace

BatteryPage::BatteryPage(MainState& state, QWidget* parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("BatteryPage"));
    BuildControls();
}

void BatteryPage::BuildControls()
{
    auto* layout = new QVBoxLayout(this);
    conBatteryAlarm = new Container(this);
    conBatteryAlarm->setObjectName(QStringLiteral("conBatteryAlarm"));
    conBatteryAlarm->SetCaption(QStringLiteral("Start Battery"));
    auto* grid = new QGridLayout(conBatteryAlarm);
    grid->setContentsMargins(9, 18, 9, 9);
    for (int i = 0; i < 6; ++i)
        lblBattery[i] = dialoghelpers::MakeLabel(nullptr, QStringLiteral("lblBattery_%1").arg(i),
                                                 QString::fromUtf8(kCaptions[i]));

    cmbBatteryStartBatteryVoltage = new QComboBox(conBatteryAlarm);
    cmbBatteryStartBatteryVoltage->setObjectName(QStringLiteral("cmbBatteryStartBatteryVoltage"));
    cmbBatteryStartBatteryVoltage->addItem(QStringLiteral("12 Volt"), 12);
    cmbBatteryStartBatteryVoltage->addItem(QStringLiteral("24 Volt"), 24);
    cmbBatteryStartBatteryVoltage->setCurrentIndex(-1);
    grid->addWidget(lblBattery[4], 0, 0);
    grid->addWidget(cmbBatteryStartBatteryVoltage, 0, 1, 1, 2, Qt::AlignLeft);

    numBatteryLowBatteryVAlarm = new Float(conBatteryAlarm);
    numBatteryLowBatteryVAlarm->setObjectName(QStringLiteral("numBatteryLowBatteryVAlarm"));
    numBatteryLowBatteryVAlarm->SetMax(30.0f);
    numBatteryLowBatteryVAlarm->SetMin(18.0f);
    grid->addWidget(lblBattery[0], 1, 0);
    grid->addWidget(numBatteryLowBatteryVAlarm, 1, 1);
    grid->addWidget(lblBattery[3], 1, 2);

    numBatteryDelay = dialoghelpers::MakeNumber(conBatteryAlarm, QStringLiteral("numBatteryDelay"), kDelayMin, kDelayMax);
    grid->addWidget(lblBattery[1], 2, 0);
    grid->addWidget(numBatteryDelay, 2, 1);
    grid->addWidget(lblBattery[2], 2, 2);

    conBatteryCANLocation = new Container(conBatteryAlarm);
    conBatteryCANLocation->setObjectName(QStringLiteral("conBatteryCANLocation"));
    conBatteryCANLocation->SetBorderStyle(Container::None);
    auto* canRow = new QHBoxLayout(conBatteryCANLocation);
    canRow->setContentsMargins(0, 0, 0, 0);
    cmbBatteryCANLocation = new QComboBox(conBatteryCANLocation);
    cmbBatteryCANLocation->setObjectName(QStringLiteral("cmbBatteryCANLocation"));
    cmbBatteryCANLocation->addItem(QStringLiteral("Alternator Voltage"), 34);
    cmbBatteryCANLocation->addItem(QStringLiteral("Battery Voltage"), 38);
    cmbBatteryCANLocation->addItem(QStringLiteral("Electrical Voltage"), 36);
    cmbBatteryCANLocation->setCurrentIndex(-1);
    canRow->addWidget(lblBattery[5]);
    canRow->addWidget(cmbBatteryCANLocation);
    conBatteryCANLocation->setVisible(false);
    grid->addWidget(conBatteryCANLocation, 3, 0, 1, 3);

    lblBatteryInfo = dialoghelpers::MakeLabel(conBatteryAlarm, QStringLiteral("lblBatteryInfo"),
                                              QStringLiteral("Requires external DC/DC converter. Please consult the "
                                                             "Installation Manual"));
    lblBatteryInfo->setVisible(false);
    grid->addWidget(lblBatteryInfo, 4, 0, 1, 3);
    layout->addWidget(conBatteryAlarm);
    layout->addStretch();

    // Boxes and lists in one column of their own width; the location row lines up with it.
    int captionWidth = 0;
    for (QLabel* label : lblBattery)
        label->setWordWrap(false);
    for (QLabel* label : lblBattery)
        captionWidth = qMax(captionWidth, label->sizeHint().width());
    for (int i : {0, 1, 4, 5})
        lblBattery[i]->setMinimumWidth(captionWidth);
    numBatteryLowBatteryVAlarm->setFixedWidth(pagecommon::Twips(1200));
    numBatteryDelay->setFixedWidth(pagecommon::Twips(1200));
    cmbBatteryStartBatteryVoltage->setMinimumWidth(pagecommon::Twips(2400));
    cmbBatteryCANLocation->setMinimumWidth(pagecommon::Twips(2400));
    canRow->addStretch();
    grid->setColumnStretch(3, 1);

    connect(cmbBatteryStartBatteryVoltage, &QComboBox::currentIndexChanged, this, [this] { OnStartVoltageChanged(); });
    connect(cmbBatteryCANLocation, &QComboBox::currentIndexChanged, this, [this] { StoreCurrent(); });
    connect(numBatteryDelay, &Number::Change, this, [this] {
        lblBattery[2]->setText(numBatteryDelay->Value() == 1 ? QStringLiteral("Second") : QStringLiteral("Seconds"));
        StoreCurrent();
    });
    connect(numBatteryDelay, &Number::ErrorValue, this,
            [this] { pagecommon::ShowRangeMessage(numBatteryDelay, 852, {kDelayMin, kDelayMax}); });
    pagecommon::ClearRangeMessageWhenValid(numBatteryDelay);
    connect(numBatteryLowBatteryVAlarm, &Float::Change, this, [this] { StoreCurrent(); });
    connect(numBatteryLowBatteryVAlarm, &Float::ErrorValue, this, [this] {
        const bool twelve = ChosenVoltage() == 12;
        pagecommon::ShowRangeMessage(numBatteryLowBatteryVAlarm, 851, {twelve ? 9 : 18, twelve ? 15 : 30});
    });
    pagecommon::ClearRangeMessageWhenValid(numBatteryLowBatteryVAlarm);
}

int BatteryPage::ChosenVoltage() const { return pagecommon::CurrentItemData(cmbBatteryStartBatteryVoltage, -1); }

// ---- page pattern ---------------------------------------------------------------------

void BatteryPage::SetBatteryDefaults()
{
    if (XelObject* setup = m_state.XelObject())
        defaultsetup::SetBatteryDefaults(*setup);
}

void BatteryPage::InitBatteryControls()
{
    ScopedFlag loading(m_loading);
    extra::SelectComboItemData(cmbBatteryStartBatteryVoltage, 24, true);
    ApplyRange(Range24V, 25.5f);
    numBatteryDelay->SetMax(kDelayMax);
    numBatteryDelay->SetMin(kDelayMin);
    numBatteryDelay->SetValue(60);
}

void BatteryPage::LoadBattery()
{
    XelObject* setup = m_state.XelObject();
    if (!setup || !setup->Battery())
        return;
    InitBatteryControls();
    ShowBattery(*setup->Battery());
}

void BatteryPage::ApplyRange(int kind, float value)
{
    // A stored value outside the limits is still shown as it is; validation reports it.
    const Limits limits = BoxLimits(kind);
    numBatteryLowBatteryVAlarm->SetMax(qMax(limits.max, value));
    numBatteryLowBatteryVAlarm->SetMin(qMin(limits.min, value));
    numBatteryLowBatteryVAlarm->SetValue(value);
    numBatteryLowBatteryVAlarm->SetMax(qMax(limits.max, numBatteryLowBatteryVAlarm->Value()));
    m_rangeKind = kind;
}

void BatteryPage::ShowBattery(XelBattery& part)
{
    ScopedFlag loading(m_loading);
    const int voltage = int(std::lround(part.BatteryVoltage()));
    // The limits follow the stored voltage, so a 12 V setup can be edited at once.
    ApplyRange(KindOfVoltage(voltage), part.LowBatteryVoltage());
    dialoghelpers::ShowValue(numBatteryDelay, part.Delay(), kDelayMin, kDelayMax);
    {
        // A voltage no entry carries (999, an external source) shows no entry and stays stored.
        const QSignalBlocker block(cmbBatteryStartBatteryVoltage);
        cmbBatteryStartBatteryVoltage->setCurrentIndex(cmbBatteryStartBatteryVoltage->findData(voltage));
    }
    OnStartVoltageChanged();
    cmbBatteryCANLocation->setCurrentIndex(cmbBatteryCANLocation->findData(int(part.CANBatteryType())));
    m_shownAlarm = numBatteryLowBatteryVAlarm->Value();
    m_shownDelay = numBatteryDelay->Value();
    m_shownVoltageIndex = cmbBatteryStartBatteryVoltage->currentIndex();
}

void BatteryPage::StoreBattery(XelBattery& part)
{
    if (m_loading)
        return;
    part.SetLowBatteryVoltage(numBatteryLowBatteryVAlarm->Value());
    part.SetDelay(numBatteryDelay->Value());
    if (cmbBatteryStartBatteryVoltage->currentIndex() >= 0)
        part.SetBatteryVoltage(float(ChosenVoltage()));
    if (cmbBatteryCANLocation->currentIndex() >= 0)
        part.SetCANBatteryType(cmbBatteryCANLocation->currentData().toInt());
}

void BatteryPage::StoreCurrent()
{
    if (m_loading || m_state.OpeningSetup)
        return;
    if (XelObject* setup = m_state.XelObject(); setup && setup->Battery())
        StoreBattery(*setup->Battery());
}

bool BatteryPage::ValidateBattery()
{
    const bool twelve = ChosenVoltage() == 12;
    const int min = twelve ? 9 : 18;
    const int max = twelve ? 15 : 30;
    const float alarm = numBatteryLowBatteryVAlarm->Value();
    // Values as the setup holds them (from a file or a unit) are not the user's entries.
    const bool alarmAsShown = alarm == m_shownAlarm && cmbBatteryStartBatteryVoltage->currentIndex() == m_shownVoltageIndex;
    if ((alarm < float(min) || alarm > float(max)) && !alarmAsShown) {
        extra::LangMsgBox(851, platform::MsgStyle::Exclamation, {min, max});
        pagecommon::FocusField(numBatteryLowBatteryVAlarm);
        return false;
    }
    const int delay = numBatteryDelay->Value();
    if ((delay < kDelayMin || delay > kDelayMax) && delay != m_shownDelay) {
        extra::LangMsgBox(852, platform::MsgStyle::Exclamation, {kDelayMin, kDelayMax});
        pagecommon::FocusField(numBatteryDelay);
        return false;
    }
    return true;
}

QString BatteryPage::StartBatteryVoltageText() { return cmbBatteryStartBatteryVoltage->currentText(); }

// ---- start-voltage rule and engine-data entries ---------------------------------------

void BatteryPage::OnStartVoltageChanged()
{
    const int voltage = ChosenVoltage();
    conBatteryCANLocation->setEnabled(false);
    XelObject* setup = m_state.XelObject();
    const bool picked = voltage >= 0 && setup && setup->Battery()
        && voltage != int(std::lround(setup->Battery()->BatteryVoltage()));
    if (picked && !m_loading) {
        float value = numBatteryLowBatteryVAlarm->Value();
        if (voltage == 24) {
            numBatteryLowBatteryVAlarm->SetMax(30.0f);
            if (m_rangeKind == Range12V) {
                value = value * 2.0f;
                numBatteryLowBatteryVAlarm->SetValue(value);
            }
            numBatteryLowBatteryVAlarm->SetMin(18.0f);
            m_rangeKind = Range24V;
        } else if (voltage == 12) {
            numBatteryLowBatteryVAlarm->SetMin(9.0f);
            if (m_rangeKind == Range24V) {
                // Halved in whole tenths, halves to even as every other rounding here.
                const qint64 tenths = extra::RoundHalfEven(double(value) * 10.0);
                value = float(double(extra::RoundHalfEven(double(tenths) / 2.0)) / 10.0);
                numBatteryLowBatteryVAlarm->SetValue(value);
            }
            numBatteryLowBatteryVAlarm->SetMax(15.0f);
            m_rangeKind = Range12V;
        } else if (voltage == 1 || voltage == 2) {
            numBatteryLowBatteryVAlarm->SetMax(30.0f);
            numBatteryLowBatteryVAlarm->SetMin(9.0f);
            m_rangeKind = RangeEngineData;
        }
    }
    StoreCurrent();
    const bool fromJ1939 = voltage == kEngineDataFromJ1939;
    conBatteryCANLocation->setEnabled(fromJ1939);
    conBatteryCANLocation->setVisible(fromJ1939);
    conBatteryCANLocation->SetChildrenEnabled(fromJ1939);
    lblBatteryInfo->setVisible(voltage == 12);
}

void BatteryPage::SetEngineDataEntries(bool on)
{
    // While a setup is being shown the list changes but nothing is stored.
    const bool quiet = m_state.Loading || m_state.OpeningSetup;
    ScopedFlag loading(m_loading, m_loading || quiet);
    if (on) {
        if (cmbBatteryStartBatteryVoltage->count() >= 3)
            return;
        for (quint16 id : {quint16(4003), quint16(4004)}) {
            if (!extra::LangStringExists(id))
                continue;
            const QString entry = extra::GetLangString(id);
            const int value = extra::BeforeFirst(entry, QStringLiteral("-")).trimmed().toInt();
            cmbBatteryStartBatteryVoltage->addItem(extra::AfterFirst(entry, QStringLiteral("-")), value);
        }
        return;
    }
    const int before = cmbBatteryStartBatteryVoltage->currentIndex();
    {
        const QSignalBlocker block(cmbBatteryStartBatteryVoltage);
        while (cmbBatteryStartBatteryVoltage->count() >= 3)
            cmbBatteryStartBatteryVoltage->removeItem(cmbBatteryStartBatteryVoltage->count() - 1);
        if (before < 0 || before >= cmbBatteryStartBatteryVoltage->count())
            cmbBatteryStartBatteryVoltage->setCurrentIndex(cmbBatteryStartBatteryVoltage->findData(24));
    }
    if (cmbBatteryStartBatteryVoltage->currentIndex() != before)
        OnStartVoltageChanged();
}
