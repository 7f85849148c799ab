#include "app/pages/general/StandbyOperationPage.h"

#include "app/pages/MainState.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/general/DialogHelpers.h"
#include "app/services/clsADO.h"
#include "app/services/ComboHelpers.h"
#include "app/setupdefaults/DefaultSetup.h"
#include "extra/extra.h"
#include "controls/Container.h"
#include "controls/Number.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelStandbyOperation.h"
#include "platform/MessagePresenter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using pagecommon::ScopedFlag;

namespace {

const char* const kCaptions[12] = {
    "Initial Start Delay", "Number of Start Attempts", "Cranking Time", "Delay Between Start Attempts",
    "Seconds", "Seconds", "Seconds", "Delay Before Disconnecting Generator Breaker", "Cooling Time",
    "Measuring Type", "Seconds", "Minutes"};

Container* MakeContainer(QWidget* parent, const char* name, const char* caption, bool border = true)
{
    auto* box = new Container(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->SetCaption(QString::fromUtf8(caption));
    if (!border)
        box->SetBorderStyle(Container::None);
    return box;
}

// Room at the top of a captioned frame for its caption.
QGridLayout* FrameGrid(Container* box, bool captioned)
{
    auto* grid = new QGridLayout(box);
    if (captioned)
        grid->setContentsMargins(9, 18, 9, 9);
    return grid;
}

} // namespace

StandbyOperationPage::StandbyOperationPage(MainState& state, QWidget* parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("StandbyOperationPage"));
    BuildControls();
}

Number* StandbyOperationPage::AddNumber(QWidget* parent, const char* name, int min, int max, int message,
                                        bool hiddenInPropulsion)
{
    Number* box = dialoghelpers::MakeNumber(parent, QString::fromLatin1(name), min, max);
    m_fields.append({box, min, max, message, hiddenInPropulsion});
    connect(box, &Number::Change, this, [this, box] { OnNumberChanged(box); });
    connect(box, &Number::ErrorValue, this, [this, box] {
        if (const Field* field = FieldOf(box))
            pagecommon::ShowRangeMessage(box, quint16(field->message), {field->min, field->max});
    });
    pagecommon::ClearRangeMessageWhenValid(box);
    return box;
}

void StandbyOperationPage::BuildControls()
{
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 12; ++i) {
        lblStandbyOperation[i] = new QLabel(QString::fromUtf8(kCaptions[i]));
        lblStandbyOperation[i]->setObjectName(QStringLiteral("lblStandbyOperation_%1").arg(i));
    }

    conStandbyOperationStarting = MakeContainer(this, "conStandbyOperationStarting", "Starting");
    auto* starting = FrameGrid(conStandbyOperationStarting, true);
    lblStandbyOperationPreheat = new QLabel(QStringLiteral("(Preheat)"), conStandbyOperationStarting);
    lblStandbyOperationPreheat->setObjectName(QStringLiteral("lblStandbyOperationPreheat"));
    lblStandbyOperationPreheat->setVisible(false);
    numStandbyOperationInitial = AddNumber(conStandbyOperationStarting, "numStandbyOperationInitial", 1, 255, 835, false);
    numStandbyOperationCranking = AddNumber(conStandbyOperationStarting, "numStandbyOperationCranking", 2, 255, 833, false);
    starting->addWidget(lblStandbyOperation[0], 0, 0);
    starting->addWidget(numStandbyOperationInitial, 0, 1);
    starting->addWidget(lblStandbyOperation[4], 0, 2);
    starting->addWidget(lblStandbyOperationPreheat, 0, 3);
    starting->addWidget(lblStandbyOperation[2], 1, 0);
    starting->addWidget(numStandbyOperationCranking, 1, 1);
    starting->addWidget(lblStandbyOperation[5], 1, 2);

    conStandbyOperationStartingBottom = MakeContainer(conStandbyOperationStarting, "conStandbyOperationStartingBottom", "", false);
    auto* bottom = FrameGrid(conStandbyOperationStartingBottom, false);
    bottom->setContentsMargins(0, 0, 0, 0);
    numStandbyOperationAttempts = AddNumber(conStandbyOperationStartingBottom, "numStandbyOperationAttempts", 1, 20, 831, true);
    numStandbyOperationDelay = AddNumber(conStandbyOperationStartingBottom, "numStandbyOperationDelay", 2, 60, 834, true);
    bottom->addWidget(lblStandbyOperation[1], 0, 0);
    bottom->addWidget(numStandbyOperationAttempts, 0, 1);
    bottom->addWidget(lblStandbyOperation[3], 1, 0);
    bottom->addWidget(numStandbyOperationDelay, 1, 1);
    bottom->addWidget(lblStandbyOperation[6], 1, 2);
    starting->addWidget(conStandbyOperationStartingBottom, 2, 0, 1, 4);
    layout->addWidget(conStandbyOperationStarting);

    conStandbyOperationStopping = MakeContainer(this, "conStandbyOperationStopping", "Stopping");
    auto* stopping = FrameGrid(conStandbyOperationStopping, true);
    numStandbyOperationGenBreak = AddNumber(conStandbyOperationStopping, "numStandbyOperationGenBreak", 1, 255, 836, true);
    numStandbyOperationCooling = AddNumber(conStandbyOperationStopping, "numStandbyOperationCooling", 0, 30, 832, true);
    stopping->addWidget(lblStandbyOperation[7], 0, 0);
    stopping->addWidget(numStandbyOperationGenBreak, 0, 1);
    stopping->addWidget(lblStandbyOperation[10], 0, 2);
    stopping->addWidget(lblStandbyOperation[8], 1, 0);
    stopping->addWidget(numStandbyOperationCooling, 1, 1);
    stopping->addWidget(lblStandbyOperation[11], 1, 2);
    layout->addWidget(conStandbyOperationStopping);

    conStandbyOperationFuel = MakeContainer(this, "conStandbyOperationFuel", "Fuel Consumption");
    auto* fuel = FrameGrid(conStandbyOperationFuel, true);
    cmbStandbyOperationFuel = new QComboBox(conStandbyOperationFuel);
    cmbStandbyOperationFuel->setObjectName(QStringLiteral("cmbStandbyOperationFuel"));
    lblStandbyOperationFuelMessage = new QLabel(conStandbyOperationFuel);
    lblStandbyOperationFuelMessage->setObjectName(QStringLiteral("lblStandbyOperationFuelMessage"));
    lblStandbyOperationFuelMessage->setWordWrap(true);
    fuel->addWidget(lblStandbyOperation[9], 0, 0);
    fuel->addWidget(cmbStandbyOperationFuel, 0, 1);
    fuel->addWidget(lblStandbyOperationFuelMessage, 1, 0, 1, 2);
    conStandbyOperationFuel->setVisible(false);
    conStandbyOperationFuel->SetChildrenEnabled(false);
    layout->addWidget(conStandbyOperationFuel);

    lblStandbyOperationPropulsion = new QLabel(
        QStringLiteral("These settings are effective only when communicating to a Slave Panel"), this);
    lblStandbyOperationPropulsion->setObjectName(QStringLiteral("lblStandbyOperationPropulsion"));
    lblStandbyOperationPropulsion->setVisible(false);
    layout->addWidget(lblStandbyOperationPropulsion);
    layout->addStretch();

    // One caption column and one box width over all groups, so the boxes line up in a column
    // (the sub-group sits in the Starting frame with a grid of its own).
    int captionWidth = 0;
    for (int i : {0, 1, 2, 3, 7, 8, 9})
        captionWidth = qMax(captionWidth, lblStandbyOperation[i]->sizeHint().width());
    for (int i : {0, 1, 2, 3, 7, 8, 9})
        lblStandbyOperation[i]->setMinimumWidth(captionWidth);
    for (const Field& field : m_fields)
        field.box->setFixedWidth(pagecommon::Twips(1200));
    starting->setColumnStretch(4, 1);
    bottom->setColumnStretch(3, 1);
    stopping->setColumnStretch(3, 1);
    fuel->setColumnStretch(2, 1);

    connect(cmbStandbyOperationFuel, &QComboBox::currentIndexChanged, this, [this] { OnFuelChanged(); });
    // Picking the entry the list already shows is a choice too.
    connect(cmbStandbyOperationFuel, &QComboBox::activated, this, [this] {
        if (m_fuelUnlisted)
            OnFuelChanged();
    });
}

StandbyOperationPage::Field* StandbyOperationPage::FieldOf(const Number* box)
{
    for (Field& field : m_fields)
        if (field.box == box)
            return &field;
    return nullptr;
}

const StandbyOperationPage::Field* StandbyOperationPage::FieldOf(const Number* box) const
{
    for (const Field& field : m_fields)
        if (field.box == box)
            return &field;
    return nullptr;
}

// ---- page pattern ---------------------------------------------------------------------

void StandbyOperationPage::SetStandbyOperationDefaults()
{
    if (XelObject* setup = m_state.XelObject())
        defaultsetup::SetStandbyOperationDefaults(*setup);
}

void StandbyOperationPage::InitStandbyOperationControls()
{
    if (cmbStandbyOperationFuel->count() == 0)
        FillFuelConsumptionCombo();
    ScopedFlag loading(m_loading);
    for (const Field& field : m_fields) {
        field.box->SetMax(field.max);
        field.box->SetMin(field.min);
    }
    if (cmbStandbyOperationFuel->count() > 0) {
        cmbStandbyOperationFuel->setCurrentIndex(0);
        OnFuelChanged();
    }
}

void StandbyOperationPage::LoadStandbyOperation(bool propulsion)
{
    XelObject* setup = m_state.XelObject();
    if (!setup || !setup->StandbyOperation())
        return;
    InitStandbyOperationControls();
    ApplyShape(propulsion);
    ShowStandbyOperation(*setup->StandbyOperation());
}

void StandbyOperationPage::ShowStandbyOperation(XelStandbyOperation& part)
{
    ScopedFlag loading(m_loading);
    // Every box shows this setup's value, hidden or not, so no box keeps another setup's.
    const std::pair<Number*, int> values[] = {
        {numStandbyOperationInitial, part.InitialStartDelay()}, {numStandbyOperationCranking, part.CrankingTime()},
        {numStandbyOperationAttempts, part.StartAttempts()},    {numStandbyOperationDelay, part.Delay()},
        {numStandbyOperationGenBreak, part.GenBreakTimer()},    {numStandbyOperationCooling, part.Cooling()}};
    for (const auto& [box, value] : values)
        if (Field* field = FieldOf(box)) {
            dialoghelpers::ShowValue(box, value, field->min, field->max);
            field->shown = value;
        }
    m_fuelUnlisted = extra::SelectComboItemData(cmbStandbyOperationFuel, int(part.FuelConsumption()), true) < 0;
    if (!m_fuelUnlisted)
        OnFuelChanged();
}

void StandbyOperationPage::StoreStandbyOperation(XelStandbyOperation& part)
{
    if (m_loading)
        return;
    // The groups hidden in the current mode are left as the setup holds them.
    part.SetInitialStartDelay(numStandbyOperationInitial->Value());
    part.SetCrankingTime(numStandbyOperationCranking->Value());
    if (!m_propulsion) {
        part.SetCooling(numStandbyOperationCooling->Value());
        part.SetDelay(numStandbyOperationDelay->Value());
        part.SetGenBreakTimer(numStandbyOperationGenBreak->Value());
        part.SetStartAttempts(numStandbyOperationAttempts->Value());
    } else if (cmbStandbyOperationFuel->currentIndex() >= 0 && !m_fuelUnlisted) {
        part.SetFuelConsumption(cmbStandbyOperationFuel->currentData().toInt());
    }
}

void StandbyOperationPage::StoreCurrent()
{
    if (m_loading || m_state.OpeningSetup)
        return;
    if (XelObject* setup = m_state.XelObject(); setup && setup->StandbyOperation())
        StoreStandbyOperation(*setup->StandbyOperation());
}

bool StandbyOperationPage::ValidateStandbyOperation()
{
    const Number* order[] = {numStandbyOperationAttempts, numStandbyOperationCooling, numStandbyOperationCranking,
                             numStandbyOperationDelay, numStandbyOperationInitial, numStandbyOperationGenBreak};
    for (const Number* box : order) {
        const Field* field = FieldOf(box);
        if (!field || (m_propulsion && field->startingBottomOrStopping))
            continue;
        const int value = box->Value();
        // A value as the setup holds it (from a file or a unit) is not the user's entry.
        if ((value >= field->min && value <= field->max) || value == field->shown)
            continue;
        extra::LangMsgBox(quint16(field->message), platform::MsgStyle::Exclamation, {field->min, field->max});
        pagecommon::FocusField(field->box);
        return false;
    }
    return true;
}

// ---- shape and handlers ---------------------------------------------------------------

void StandbyOperationPage::ApplyOperationShape(bool propulsion)
{
    ApplyShape(propulsion);
    // The user left Propulsion: the fuel type goes back to the list's first entry with it.
    // A setup being shown keeps what it holds.
    XelObject* setup = m_state.XelObject();
    if (!propulsion && !m_state.Loading && !m_state.OpeningSetup && !m_loading && setup
        && setup->StandbyOperation() && cmbStandbyOperationFuel->currentIndex() >= 0) {
        setup->StandbyOperation()->SetFuelConsumption(cmbStandbyOperationFuel->currentData().toInt());
        m_fuelUnlisted = false;
    }
}

void StandbyOperationPage::ApplyShape(bool propulsion)
{
    // Shaping the page is no edit: nothing is stored here.
    ScopedFlag loading(m_loading);
    m_propulsion = propulsion;
    conStandbyOperationStopping->setVisible(!propulsion);
    conStandbyOperationStopping->SetChildrenEnabled(!propulsion);
    conStandbyOperationStartingBottom->setVisible(!propulsion);
    conStandbyOperationStartingBottom->SetChildrenEnabled(!propulsion);
    conStandbyOperationFuel->setVisible(propulsion);
    conStandbyOperationFuel->SetChildrenEnabled(propulsion);
    lblStandbyOperationPropulsion->setVisible(propulsion);
    if (!propulsion && cmbStandbyOperationFuel->count() > 0)
        cmbStandbyOperationFuel->setCurrentIndex(0);
}

void StandbyOperationPage::ShowTabPage(bool hasPreheatRelay, bool propulsion)
{
    lblStandbyOperationPreheat->setVisible(hasPreheatRelay);
    conStandbyOperationStartingBottom->SetChildrenEnabled(!propulsion);
    conStandbyOperationFuel->SetChildrenEnabled(propulsion);
}

void StandbyOperationPage::FillFuelConsumptionCombo()
{
    if (!m_state.ADO)
        return;
    ScopedFlag loading(m_loading);
    cmbStandbyOperationFuel->clear();
    m_state.ADO->FillFuelConsumptionCombo(cmbStandbyOperationFuel);
}

void StandbyOperationPage::OnNumberChanged(Number* box)
{
    const int value = box->Value();
    if (box == numStandbyOperationCooling)
        lblStandbyOperation[11]->setText(value == 1 ? QStringLiteral("Minute") : QStringLiteral("Minutes"));
    else if (box == numStandbyOperationInitial)
        lblStandbyOperation[4]->setText(value == 1 ? QStringLiteral("Second") : QStringLiteral("Seconds"));
    else if (box == numStandbyOperationGenBreak)
        lblStandbyOperation[10]->setText(value == 1 ? QStringLiteral("Second") : QStringLiteral("Seconds"));
    StoreCurrent();
}

void StandbyOperationPage::OnFuelChanged()
{
    const int index = cmbStandbyOperationFuel->currentIndex();
    if (index < 0)
        return;
    if (m_state.ADO)
        lblStandbyOperationFuelMessage->setText(
            m_state.ADO->GetFuelConsumptionMessage(qint16(cmbStandbyOperationFuel->currentData().toInt())));
    if (!m_loading && !m_state.OpeningSetup)
        m_fuelUnlisted = false; // the user picked a type
    StoreCurrent();
}
