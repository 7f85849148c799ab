#include "app/pages/general/SpeedSensorPage.h"

#include "app/pages/MainState.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/common/RowFit.h"
#include "app/setupdefaults/DefaultSetup.h"
#include "extra/extra.h"
#include "controls/Container.h"
#include "controls/Float.h"
#include "controls/Number.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelEnums.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cSpeedRelay.h"
#include "platform/MessagePresenter.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QTreeWidget>

using pagecommon::ScopedFlag;
using pagecommon::Twips;

namespace {

// Roles of the list entries besides the shared key and picture.
constexpr int CheckedRole = Qt::UserRole + 20;     // check state last taken into the setup
constexpr int BasePictureRole = Qt::UserRole + 21; // RUN list: the picture when checked

constexpr int kSwitchInactiveStep = 12;
constexpr int kAnalogInactiveStep = 26;
constexpr int kSwitchRunMark = 3;
constexpr int kAnalogRunMark = 13;
constexpr int kSwitchPictureCount = 24; // imlDigital, when the frame gave no pictures

constexpr int kRelayInUse = 3;  // "RELAY"
constexpr int kRelayUnused = 4; // "RELAYX"

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y, int w = 0)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    if (w > 0)
        label->setGeometry(x, y, w, 20);
    else {
        label->move(x, y);
        label->adjustSize();
    }
    return label;
}

Number* MakeNumber(QWidget* parent, const QString& name, int x, int y, int w = 70)
{
    auto* box = new Number(parent);
    box->setObjectName(name);
    box->setGeometry(x, y, w, 22);
    return box;
}

QComboBox* MakeList(QWidget* parent, const QString& name, const QStringList& items, int x, int y, int w)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(items);
    combo->setGeometry(x, y, w, 22);
    return combo;
}

Container* MakeContainer(QWidget* parent, const QString& name, const QString& caption, const QRect& r)
{
    auto* c = new Container(parent);
    c->setObjectName(name);
    c->SetCaption(caption);
    c->setGeometry(r);
    return c;
}

// Shows a value from the document even when it lies above the box's limit, so the page and
// its checks see what the setup holds instead of the box's previous entry.
void ShowNumber(Number* box, qint32 value)
{
    const qint32 max = box->Max();
    if (value > max)
        box->SetMax(value);
    box->SetValue(value);
    if (value > max)
        box->SetMax(max);
}

void ShowFloat(Float* box, float value)
{
    const float max = box->Max();
    if (value > max)
        box->SetMax(value);
    box->SetValue(value);
    if (value > max)
        box->SetMax(max);
}

// A list index from the document: an index the list does not hold selects nothing.
void SetListIndex(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

QString LocaleDecimal(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    QString separator = QLocale().decimalPoint();
    if (separator.trimmed().isEmpty())
        separator = QStringLiteral(".");
    text.replace(QLatin1Char('.'), separator);
    return text;
}

bool IsChecked(const QTreeWidgetItem* item) { return item && item->checkState(0) == Qt::Checked; }

QTreeWidgetItem* SelectedEntry(QTreeWidget* list)
{
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (!selected.isEmpty())
        return selected.first();
    return list->currentItem();
}

void Beep() { platform::MessagePresenter::Instance().Beep(); }

} // namespace

SpeedSensorPage::SpeedSensorPage(MainState& state, QWidget* parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("SpeedSensorPage"));
    BuildControls();
    // The controls sit at fixed places; the tab must leave room for all of them.
    setMinimumSize(794, 414);
}

::XelObject* SpeedSensorPage::Setup() const { return m_state.XelObject(); }

void SpeedSensorPage::BuildControls()
{
    // ---- speed sensing ----
    conSpeedSensorSpeed = MakeContainer(this, "conSpeedSensorSpeed", "Speed Sensing", QRect(8, 8, 450, 352));
    QWidget* speed = conSpeedSensorSpeed;
    lblSpeedSensor[1] = MakeLabel(speed, "lblSpeedSensor_1", "Pickup One", 12, 26, 110);
    cmbSpeedSensorNumberOfPickups[0] = MakeList(speed, "cmbSpeedSensorNumberOfPickups_0",
                                                {"Not used", "Local at Terminal 5, 6"}, 130, 24, 200);

    conSpeedSensorPickup[0] = MakeContainer(speed, "conSpeedSensorPickup_0", QString(), QRect(8, 50, 434, 64));
    lblSpeedSensorPickup1 = MakeLabel(conSpeedSensorPickup[0], "lblSpeedSensorPickup1", "Pickup One RPM Sender", 8, 10, 150);
    lblSpeedSensorPulses[0] = MakeLabel(conSpeedSensorPickup[0], "lblSpeedSensorPulses_0", "Pulses/Revolution", 8, 38, 150);

    conSpeedSensorPickup2 = MakeContainer(speed, "conSpeedSensorPickup2", QString(), QRect(8, 118, 434, 98));
    lblSpeedSensor[6] = MakeLabel(conSpeedSensorPickup2, "lblSpeedSensor_6", "Pickup Two", 4, 10, 110);
    cmbSpeedSensorNumberOfPickups[1] = MakeList(conSpeedSensorPickup2, "cmbSpeedSensorNumberOfPickups_1",
                                                {"Not used", "Local at Terminal 65, 66"}, 122, 8, 200);
    conSpeedSensorPickup[1] = MakeContainer(conSpeedSensorPickup2, "conSpeedSensorPickup_1", QString(), QRect(0, 32, 434, 64));
    lblSpeedSensorPickup2 = MakeLabel(conSpeedSensorPickup[1], "lblSpeedSensorPickup2", "Pickup Two RPM Sender", 8, 10, 150);
    lblSpeedSensorPulses[1] = MakeLabel(conSpeedSensorPickup[1], "lblSpeedSensorPulses_1", "Pulses/Revolution", 8, 38, 150);

    for (int i = 0; i < 2; ++i) {
        cmbSpeedSensorRPMSender[i] = MakeList(conSpeedSensorPickup[i], QStringLiteral("cmbSpeedSensorRPMSender_%1").arg(i),
                                              {"Pickup At Flywheel", "Pickup At Timing Gear"}, 164, 8, 180);
        numSpeedSensorPulsesPerRevolution[i] =
            MakeNumber(conSpeedSensorPickup[i], QStringLiteral("numSpeedSensorPulsesPerRevolution_%1").arg(i), 164, 36);
    }

    lblSpeedSensorNomMax = MakeLabel(speed, "lblSpeedSensorNomMax", "Nominal", 12, 226, 116);
    numSpeedSensorNomMax = MakeNumber(speed, "numSpeedSensorNomMax", 130, 222);
    MakeLabel(speed, "lblSpeedSensorNomMaxUnit", "RPM", 206, 226);

    lblSpeedSensor[2] = MakeLabel(speed, "lblSpeedSensor_2", "Overspeed", 12, 256, 116);
    numSpeedSensorSpeeding = MakeNumber(speed, "numSpeedSensorSpeeding", 130, 252);
    lblSpeedSensorSpeeding = MakeLabel(speed, "lblSpeedSensorSpeeding", "RPM after", 206, 256);
    numSpeedSensorSpeedingShutdown = new Float(speed);
    numSpeedSensorSpeedingShutdown->setObjectName(QStringLiteral("numSpeedSensorSpeedingShutdown"));
    numSpeedSensorSpeedingShutdown->setGeometry(300, 252, 60, 22);
    lblSpeedSensor[8] = MakeLabel(speed, "lblSpeedSensor_8", "Seconds", 366, 256);

    lblSpeedSensor[3] = MakeLabel(speed, "lblSpeedSensor_3", "Ready To Take Load", 12, 286, 116);
    numSpeedSensorReadyToTakeLoad = MakeNumber(speed, "numSpeedSensorReadyToTakeLoad", 130, 282);
    MakeLabel(speed, "lblSpeedSensorReadyToTakeLoadUnit", "RPM", 206, 286);

    lblSpeedSensor[4] = MakeLabel(speed, "lblSpeedSensor_4", "RUN Detected At", 12, 316, 116);
    numSpeedSensorRUNDetectedAt = MakeNumber(speed, "numSpeedSensorRUNDetectedAt", 130, 312);
    numSpeedSensorRUNDetectedAt->SetIncrement(50);
    MakeLabel(speed, "lblSpeedSensorRUNDetectedAtUnit", "RPM", 206, 316);

    conSpeedSensorPickupAdd = MakeContainer(this, "conSpeedSensorPickupAdd", QString(), QRect(8, 366, 450, 40));
    lblSpeedSensor[9] = MakeLabel(conSpeedSensorPickupAdd, "lblSpeedSensor_9", "RUN Detection Delay", 12, 12, 116);
    numSpeedSensorRUNDetectionDelay = MakeNumber(conSpeedSensorPickupAdd, "numSpeedSensorRUNDetectionDelay", 130, 8);
    numSpeedSensorRUNDetectionDelay->SetMin(2);
    numSpeedSensorRUNDetectionDelay->SetMax(254);
    lblSpeedSensor[10] = MakeLabel(conSpeedSensorPickupAdd, "lblSpeedSensor_10", "Seconds", 206, 12);

    // The captions were sized for the design font. Those beside the entry column take the room up
    // to it; "RUN Detection Delay", in a frame of its own with room to spare, moves its entry right.
    for (QLabel* caption : {lblSpeedSensorNomMax, lblSpeedSensor[2], lblSpeedSensor[3], lblSpeedSensor[4]})
        caption->resize(qBound(caption->width(), caption->sizeHint().width(), 130 - caption->x()), caption->height());
    if (const int shift = qBound(0, lblSpeedSensor[9]->sizeHint().width() + 4 - 116, 60); shift > 0) {
        lblSpeedSensor[9]->resize(lblSpeedSensor[9]->width() + shift, lblSpeedSensor[9]->height());
        for (QWidget* w : {static_cast<QWidget*>(numSpeedSensorRUNDetectionDelay), static_cast<QWidget*>(lblSpeedSensor[10])})
            w->move(w->x() + shift, w->y());
    }

    numSpeedSensorSpeedingShutdown->SetMin(0.1f);
    numSpeedSensorSpeedingShutdown->SetMax(1.0f);
    numSpeedSensorSpeedingShutdown->SetIncrement(0.1f);

    // ---- speed relays ----
    conSpeedSensorSpeedRelays = MakeContainer(this, "conSpeedSensorSpeedRelays", "Speed Relays", QRect(466, 8, 320, 190));
    lvwSpeedRelays = new QTreeWidget(conSpeedSensorSpeedRelays);
    lvwSpeedRelays->setObjectName(QStringLiteral("lvwSpeedRelays"));
    lvwSpeedRelays->setColumnCount(2);
    lvwSpeedRelays->setHeaderLabels({QStringLiteral("Relay"), QStringLiteral("Relay Activate Speed")});
    lvwSpeedRelays->setRootIsDecorated(false);
    lvwSpeedRelays->setGeometry(8, 22, 304, 110);
    lvwSpeedRelays->installEventFilter(this);
    conSpeedRelayRPM = MakeContainer(conSpeedSensorSpeedRelays, "conSpeedRelayRPM", QString(), QRect(8, 138, 304, 44));
    lblSpeedRelay[0] = MakeLabel(conSpeedRelayRPM, "lblSpeedRelay_0", "Relay Activate Speed", 8, 14, 130);
    numSpeedRelaySpeed = MakeNumber(conSpeedRelayRPM, "numSpeedRelaySpeed", 140, 10);
    numSpeedRelaySpeed->SetMax(6000);
    numSpeedRelaySpeed->SetIncrement(50);
    lblSpeedRelay[1] = MakeLabel(conSpeedRelayRPM, "lblSpeedRelay_1", "RPM", 216, 14);

    // ---- additional RUN detection ----
    conSpeedSensorRUN = MakeContainer(this, "conSpeedSensorRUN", "Additional RUN Detection", QRect(466, 204, 320, 202));
    lvwAdditionalRunDetection = new QTreeWidget(conSpeedSensorRUN);
    lvwAdditionalRunDetection->setObjectName(QStringLiteral("lvwAdditionalRunDetection"));
    lvwAdditionalRunDetection->setColumnCount(2);
    lvwAdditionalRunDetection->setHeaderLabels({QStringLiteral("Channel"), QStringLiteral("Description")});
    lvwAdditionalRunDetection->setRootIsDecorated(false);
    lvwAdditionalRunDetection->setGeometry(8, 22, 304, 150);
    lblAdditionalRUN = MakeLabel(conSpeedSensorRUN, "lblAdditionalRUN", "None Selected", 8, 178, 300);

    // ---- handlers ----
    for (int i = 0; i < 2; ++i) {
        connect(cmbSpeedSensorNumberOfPickups[i], &QComboBox::currentIndexChanged, this,
                [this, i] { PickupSourceClicked(i); });
        connect(cmbSpeedSensorRPMSender[i], &QComboBox::currentIndexChanged, this, [this, i] { SenderClicked(i); });
        connect(numSpeedSensorPulsesPerRevolution[i], &Number::Change, this, &SpeedSensorPage::Store);
        Number* pulses = numSpeedSensorPulsesPerRevolution[i];
        connect(pulses, &Number::ErrorValue, this, [pulses] { pagecommon::ShowRangeMessage(pulses, 841, {0, 255}); });
        pagecommon::ClearRangeMessageWhenValid(pulses);
    }
    connect(conSpeedSensorPickup2, &Container::ChildrenEnabledChange, this,
            &SpeedSensorPage::PickupTwoChildrenEnabledChanged);
    connect(numSpeedSensorNomMax, &Number::Change, this, &SpeedSensorPage::NomMaxChanged);
    connect(numSpeedSensorNomMax, &Number::ErrorValue, this,
            [this] { pagecommon::ShowRangeMessage(numSpeedSensorNomMax, 842, {100, 6000}); });
    pagecommon::ClearRangeMessageWhenValid(numSpeedSensorNomMax);
    connect(numSpeedSensorNomMax, &Number::LostFocus, this, &SpeedSensorPage::NomMaxLostFocus);
    connect(numSpeedSensorSpeeding, &Number::Change, this, &SpeedSensorPage::SpeedingChanged);
    connect(numSpeedSensorSpeeding, &Number::ErrorValue, this,
            [this] { pagecommon::ShowRangeMessage(numSpeedSensorSpeeding, 843, {numSpeedSensorNomMax->Value(), 7500}); });
    pagecommon::ClearRangeMessageWhenValid(numSpeedSensorSpeeding);
    connect(numSpeedSensorSpeedingShutdown, &Float::Change, this, &SpeedSensorPage::SpeedingShutdownChanged);
    connect(numSpeedSensorSpeedingShutdown, &Float::ErrorValue, this,
            [this] { pagecommon::ShowRangeMessage(numSpeedSensorSpeedingShutdown, 844, {LocaleDecimal(0.1, 1), 1}); });
    pagecommon::ClearRangeMessageWhenValid(numSpeedSensorSpeedingShutdown);
    connect(numSpeedSensorReadyToTakeLoad, &Number::Change, this, &SpeedSensorPage::Store);
    connect(numSpeedSensorRUNDetectedAt, &Number::Change, this, &SpeedSensorPage::Store);
    connect(numSpeedSensorRUNDetectionDelay, &Number::Change, this, &SpeedSensorPage::RunDetectionDelayChanged);

    connect(lvwSpeedRelays, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* entry) {
        if (!m_filling)
            ShowSpeedRelay(entry);
    });
    connect(lvwSpeedRelays, &QTreeWidget::itemChanged, this, &SpeedSensorPage::SpeedRelayCheckChanged);
    connect(lvwSpeedRelays, &QTreeWidget::itemDoubleClicked, this, &SpeedSensorPage::SpeedRelayDoubleClicked);
    connect(numSpeedRelaySpeed, &Number::Change, this, &SpeedSensorPage::SpeedRelaySpeedChanged);

    connect(lvwAdditionalRunDetection, &QTreeWidget::itemChanged, this, &SpeedSensorPage::RunEntryCheckChanged);
    connect(lvwAdditionalRunDetection, &QTreeWidget::itemDoubleClicked, this, &SpeedSensorPage::RunEntryDoubleClicked);

    InitSpeedSensorControls();
    LoadSpeedRelays();
}

// ---------------------------------------------------------------------------------------------
// modSpeedSensor

void SpeedSensorPage::SetSpeedSensorDefaults()
{
    if (Setup())
        defaultsetup::SetSpeedSensorDefaults(*Setup());
}

void SpeedSensorPage::InitSpeedSensorControls()
{
    ScopedFlag loading(m_loading);
    SetListIndex(cmbSpeedSensorNumberOfPickups[0], 1);
    SetListIndex(cmbSpeedSensorNumberOfPickups[1], 0);
    SetListIndex(cmbSpeedSensorRPMSender[0], 1);
    SetListIndex(cmbSpeedSensorRPMSender[1], 1);
    for (Number* pulses : numSpeedSensorPulsesPerRevolution) {
        pulses->SetMin(0);
        pulses->SetMax(255);
    }
    numSpeedSensorReadyToTakeLoad->SetMin(100);
    numSpeedSensorReadyToTakeLoad->SetMax(6000);
    numSpeedSensorNomMax->SetMin(100);
    numSpeedSensorNomMax->SetMax(6000);
    numSpeedSensorSpeeding->SetMin(100);
    numSpeedSensorSpeeding->SetMax(7500);
    numSpeedSensorRUNDetectedAt->SetMin(50);
    numSpeedSensorRUNDetectedAt->SetMax(600);
}

void SpeedSensorPage::LoadSpeedSensor()
{
    InitSpeedSensorControls();
    ::XelObject* setup = Setup();
    if (!setup || !setup->SpeedSensor())
        return;
    ShowSpeedSensor(*setup->SpeedSensor());
    if (setup->Main())
        ShowNumber(numSpeedSensorRUNDetectionDelay, setup->Main()->RunDelay());
}

void SpeedSensorPage::ShowSpeedSensor(const XelSpeedSensor& s)
{
    ScopedFlag loading(m_loading);
    SetListIndex(cmbSpeedSensorNumberOfPickups[0], s.PickupType(0));
    SetListIndex(cmbSpeedSensorNumberOfPickups[1], s.PickupType(1));

    const int sender0 = s.Sender(0);
    SetListIndex(cmbSpeedSensorRPMSender[0], sender0 <= cmbSpeedSensorRPMSender[0]->count() ? sender0 - 1 : 1);
    ShowNumber(numSpeedSensorPulsesPerRevolution[0], s.PulsesPerRevolution(0));
    SetListIndex(cmbSpeedSensorRPMSender[1], s.Sender(1) - 1);
    if (s.PulsesPerRevolution(1) >= numSpeedSensorPulsesPerRevolution[1]->Min())
        ShowNumber(numSpeedSensorPulsesPerRevolution[1], s.PulsesPerRevolution(1));

    ShowNumber(numSpeedSensorReadyToTakeLoad, s.ReadyToTakeLoad());
    ShowNumber(numSpeedSensorNomMax, s.NomSpeed());
    ShowNumber(numSpeedSensorSpeeding, s.Speeding());
    ShowFloat(numSpeedSensorSpeedingShutdown, s.SpeedingShutdown());
    ShowNumber(numSpeedSensorRUNDetectedAt, s.RunDetectedAt());

    // A value equal to the one shown before raises no event: apply the rules all the same.
    PickupSourceClicked(0);
    PickupSourceClicked(1);
    SenderClicked(0);
    SenderClicked(1);
    UpdateSecondsLabel();

    m_shown.valid = true;
    for (int i = 0; i < 2; ++i)
        m_shown.pulses[i] = numSpeedSensorPulsesPerRevolution[i]->Value();
    m_shown.ready = numSpeedSensorReadyToTakeLoad->Value();
    m_shown.nominal = numSpeedSensorNomMax->Value();
    m_shown.speeding = numSpeedSensorSpeeding->Value();
    m_shown.shutdownTenths = qRound(numSpeedSensorSpeedingShutdown->Value() * 10);
    m_shown.runAt = numSpeedSensorRUNDetectedAt->Value();
}

void SpeedSensorPage::Store()
{
    if (::XelObject* setup = Setup())
        if (XelSpeedSensor* sensor = setup->SpeedSensor())
            StoreSpeedSensor(*sensor);
}

void SpeedSensorPage::StoreSpeedSensor(XelSpeedSensor& s)
{
    // While the frame shows a setup, another page's reset of these lists must not write
    // into the setup being shown.
    if (m_loading || m_state.Loading || m_state.OpeningSetup)
        return;
    // Each field on its own: a list without a selection leaves just its own value alone.
    for (qint16 i = 0; i < 2; ++i) {
        const int source = cmbSpeedSensorNumberOfPickups[i]->currentIndex();
        if (source >= 0)
            s.SetPickupType(i, source);
    }
    for (qint16 i = 0; i < 2; ++i) {
        const int sender = cmbSpeedSensorRPMSender[i]->currentIndex();
        if (sender >= 0)
            s.SetSender(i, sender + 1);
        s.SetPulsesPerRevolution(i, numSpeedSensorPulsesPerRevolution[i]->Value());
    }
    s.SetReadyToTakeLoad(numSpeedSensorReadyToTakeLoad->Value());
    s.SetNomSpeed(numSpeedSensorNomMax->Value());
    s.SetSpeeding(numSpeedSensorSpeeding->Value());
    s.SetSpeedingShutdown(numSpeedSensorSpeedingShutdown->Value());
    s.SetRunDetectedAt(numSpeedSensorRUNDetectedAt->Value());
}

bool SpeedSensorPage::ValidateSpeedSensor()
{
    const qint32 nominal = numSpeedSensorNomMax->Value();
    const qint32 ready = numSpeedSensorReadyToTakeLoad->Value();
    const qint32 speeding = numSpeedSensorSpeeding->Value();
    const float shutdown = numSpeedSensorSpeedingShutdown->Value();
    const qint32 runAt = numSpeedSensorRUNDetectedAt->Value();
    const qint32 pulses0 = numSpeedSensorPulsesPerRevolution[0]->Value();
    const qint32 pulses1 = numSpeedSensorPulsesPerRevolution[1]->Value();

    // Values as the setup holds them (received or opened) are not the user's entries. The three
    // speeds are checked together as soon as one of them is edited: they bound each other.
    const ShownValues& shown = m_shown;
    const bool pulses0AsShown = shown.valid && pulses0 == shown.pulses[0];
    const bool pulses1AsShown = shown.valid && pulses1 == shown.pulses[1];
    const bool speedsAsShown =
        shown.valid && ready == shown.ready && nominal == shown.nominal && speeding == shown.speeding;
    const bool shutdownAsShown = shown.valid && qRound(shutdown * 10) == shown.shutdownTenths;
    const bool runAtAsShown = shown.valid && runAt == shown.runAt;

    struct Check {
        bool fails;
        quint16 message;
        QVariantList args;
        QWidget* focus;
    };
    const Check checks[] = {
        {!pulses0AsShown && (pulses0 > 255 || pulses0 < 0), 841, {0, 255}, numSpeedSensorPulsesPerRevolution[0]},
        {!pulses1AsShown && (pulses1 > 255 || pulses1 < 0), 841, {0, 255}, numSpeedSensorPulsesPerRevolution[1]},
        {!speedsAsShown && (ready > 6000 || ready < 100), 845, {100, nominal}, numSpeedSensorReadyToTakeLoad},
        {!speedsAsShown && (nominal > 6000 || nominal < 100), 842, {100, 6000}, numSpeedSensorNomMax},
        {!speedsAsShown && ready > nominal, 845, {100, nominal}, numSpeedSensorReadyToTakeLoad},
        {!speedsAsShown && (speeding < nominal || speeding > 7500), 843, {nominal, 7500}, numSpeedSensorSpeeding},
        // Compared in tenths: the box holds one decimal.
        {!shutdownAsShown && (qRound(shutdown * 10) < 1 || qRound(shutdown * 10) > 10), 844,
         {LocaleDecimal(0.1, 1), 1}, numSpeedSensorSpeedingShutdown},
        {!runAtAsShown && (runAt > 600 || runAt < 50), 846, {50, 600}, numSpeedSensorRUNDetectedAt},
    };
    for (const Check& c : checks) {
        if (!c.fails)
            continue;
        extra::LangMsgBox(c.message, platform::MsgStyle::Exclamation, c.args);
        pagecommon::FocusField(c.focus);
        return false;
    }
    return true;
}

namespace {

QString SpeedingCaption(qint32 nominal, qint32 speeding)
{
    // Without a nominal speed there is no percentage; the previous setup's must not stay.
    const float p = nominal > 0 ? float(speeding - nominal) / float(nominal) * 100.0f : -1.0f;
    const QString middle = p >= 0 ? QStringLiteral("(") + LocaleDecimal(p, 1) + QStringLiteral("%) ") : QString();
    return QStringLiteral("RPM XXXafter").replace(QStringLiteral("XXX"), middle);
}

} // namespace

void SpeedSensorPage::UpdateSpeedingLabel()
{
    // The frame is made wide enough for the longest caption the limits allow (the lowest
    // nominal speed with the highest overspeed), so no value pushes "Seconds" out of it.
    PlaceSpeedingRow(SpeedingCaption(numSpeedSensorNomMax->Min(), numSpeedSensorSpeeding->Max()));
    pagecommon::FitRows(this);
    PlaceSpeedingRow(SpeedingCaption(numSpeedSensorNomMax->Value(), numSpeedSensorSpeeding->Value()));
}

void SpeedSensorPage::PlaceSpeedingRow(const QString& caption)
{
    lblSpeedSensorSpeeding->setText(caption);
    lblSpeedSensorSpeeding->adjustSize();
    const int gap = Twips(75);
    numSpeedSensorSpeedingShutdown->move(lblSpeedSensorSpeeding->x() + lblSpeedSensorSpeeding->width() + gap,
                                         numSpeedSensorSpeedingShutdown->y());
    lblSpeedSensor[8]->move(numSpeedSensorSpeedingShutdown->x() + numSpeedSensorSpeedingShutdown->width() + gap,
                            lblSpeedSensor[8]->y());
}

void SpeedSensorPage::PickupSourceClicked(int i)
{
    const int index = cmbSpeedSensorNumberOfPickups[i]->currentIndex();
    conSpeedSensorPickup[i]->SetChildrenEnabled(index == 1);
    Store();
    if (i == 0)
        conSpeedSensorPickup2->SetChildrenEnabled(index > 0);
}

void SpeedSensorPage::PickupTwoChildrenEnabledChanged(bool enabled)
{
    conSpeedSensorPickup[1]->SetChildrenEnabled(enabled && cmbSpeedSensorNumberOfPickups[1]->currentIndex() == 1);
}

void SpeedSensorPage::SenderClicked(int i)
{
    Store();
    ::XelObject* setup = Setup();
    const bool teeth = setup && setup->SpeedSensor() && setup->SpeedSensor()->Sender(qint16(i)) == 2;
    lblSpeedSensorPulses[i]->setText(teeth ? QStringLiteral("Teeth Count") : QStringLiteral("Pulses/Revolution"));
}

void SpeedSensorPage::NomMaxChanged()
{
    const qint32 nominal = numSpeedSensorNomMax->Value();
    if (nominal > numSpeedSensorSpeeding->Value())
        numSpeedSensorSpeeding->SetValue(nominal);
    numSpeedSensorSpeeding->SetMin(nominal);
    UpdateSpeedingLabel();
    Store();
}

void SpeedSensorPage::NomMaxLostFocus()
{
    const qint32 nominal = numSpeedSensorNomMax->Value();
    if (numSpeedSensorSpeeding->Value() < nominal)
        numSpeedSensorSpeeding->SetValue(nominal);
}

void SpeedSensorPage::SpeedingChanged()
{
    UpdateSpeedingLabel();
    Store();
}

void SpeedSensorPage::UpdateSecondsLabel()
{
    const bool one = qRound(numSpeedSensorSpeedingShutdown->Value() * 10) == 10;
    lblSpeedSensor[8]->setText(one ? QStringLiteral("Second") : QStringLiteral("Seconds"));
    lblSpeedSensor[8]->adjustSize();
}

void SpeedSensorPage::SpeedingShutdownChanged()
{
    UpdateSecondsLabel();
    Store();
}

void SpeedSensorPage::RunDetectionDelayChanged()
{
    // Stored at once, also while the page loads.
    ::XelObject* setup = Setup();
    if (setup && setup->Main())
        setup->Main()->SetRunDelay(numSpeedSensorRUNDetectionDelay->Value());
}

void SpeedSensorPage::SetPickupFramesEnabled(bool enabled)
{
    for (int i = 0; i < 2; ++i)
        conSpeedSensorPickup[i]->SetChildrenEnabled(enabled && cmbSpeedSensorNumberOfPickups[i]->currentIndex() == 1);
}

void SpeedSensorPage::ShowTabPage()
{
    SetPickupFramesEnabled(true);
    UpdateSpeedingLabel();
    FillAdditionalRunDetection();
    FillSpeedRelays();
}

QString SpeedSensorPage::RPMSenderName(int pickup)
{
    if (pickup < 0 || pickup > 1 || !Setup() || !Setup()->SpeedSensor())
        return QString();
    const int index = Setup()->SpeedSensor()->Sender(qint16(pickup)) - 1;
    QComboBox* list = cmbSpeedSensorRPMSender[pickup];
    return index >= 0 && index < list->count() ? list->itemText(index) : QString();
}

QString SpeedSensorPage::PulsesCaption(int pickup)
{
    return pickup >= 0 && pickup <= 1 ? lblSpeedSensorPulses[pickup]->text() : QString();
}

void SpeedSensorPage::SetPickupEngineDataEntries(bool on)
{
    for (QComboBox* list : cmbSpeedSensorNumberOfPickups) {
        if (on) {
            if (list->count() < 3) {
                list->addItem(extra::GetLangString(4001), 99);
                list->addItem(extra::GetLangString(4002), 99);
            }
            continue;
        }
        const int chosen = list->currentIndex();
        while (list->count() >= 3)
            list->removeItem(list->count() - 1);
        // A bus source that was chosen leaves the list without a choice: take "Not used".
        if (chosen < 0 || chosen >= list->count())
            list->setCurrentIndex(0);
    }
}

void SpeedSensorPage::SetNomMaxCaption(const QString& caption) { lblSpeedSensorNomMax->setText(caption); }

qint32 SpeedSensorPage::NomMaxValue() { return numSpeedSensorNomMax->Value(); }

qint32 SpeedSensorPage::SpeedingValue() { return numSpeedSensorSpeeding->Value(); }

// ---------------------------------------------------------------------------------------------
// modSpeedRelays

void SpeedSensorPage::SetSpeedRelaysDefaults()
{
    if (Setup())
        defaultsetup::SetSpeedRelaysDefaults(*Setup());
}

void SpeedSensorPage::LoadSpeedRelays()
{
    ScopedFlag loading(m_relaysLoading);
    numSpeedRelaySpeed->SetMin(0);
    numSpeedRelaySpeed->SetMax(6000);
    numSpeedRelaySpeed->SetValue(0);
}

void SpeedSensorPage::FillSpeedRelays()
{
    // Filling shows the setup; it must not write anything back into it.
    ScopedFlag filling(m_filling);
    ScopedFlag loading(m_relaysLoading);
    lvwSpeedRelays->clear();
    ::XelObject* setup = Setup();
    if (!setup || !setup->SpeedRelays())
        return;
    for (const XelSpeedRelay* s : *setup->SpeedRelays()) {
        QTreeWidgetItem* entry = pagecommon::AddRow(lvwSpeedRelays, pagecommon::ItemKey(s->Index()),
                                                    QString::number(s->Index()), kRelayUnused, m_state.images.imlRelay);
        entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
        entry->setText(1, QString::number(s->RPM()) + QStringLiteral(" RPM"));
        entry->setCheckState(0, s->InUse() ? Qt::Checked : Qt::Unchecked);
        entry->setData(0, CheckedRole, s->InUse());
        if (s->InUse())
            pagecommon::SetRowPicture(entry, kRelayInUse, m_state.images.imlRelay);
    }
    if (const XelSpeedRelay* first = setup->SpeedRelays()->Item(1)) {
        ShowNumber(numSpeedRelaySpeed, first->RPM());
        conSpeedRelayRPM->SetChildrenEnabled(first->InUse());
    }
    if (QTreeWidgetItem* first = lvwSpeedRelays->topLevelItem(0))
        lvwSpeedRelays->setCurrentItem(first);
    lvwSpeedRelays->raise();
}

XelSpeedRelay* SpeedSensorPage::RelayOfEntry(QTreeWidgetItem* entry) const
{
    ::XelObject* setup = Setup();
    if (!entry || !setup || !setup->SpeedRelays())
        return nullptr;
    return setup->SpeedRelays()->Item(pagecommon::RowKey(entry));
}

void SpeedSensorPage::ShowSpeedRelay(QTreeWidgetItem* entry)
{
    XelSpeedRelay* s = RelayOfEntry(entry);
    if (!s)
        return;
    {
        ScopedFlag filling(m_filling);
        if (lvwSpeedRelays->currentItem() != entry)
            lvwSpeedRelays->setCurrentItem(entry);
    }
    s->SetInUse(IsChecked(entry));
    {
        ScopedFlag filling(m_filling);
        ShowNumber(numSpeedRelaySpeed, s->RPM());
    }
    conSpeedRelayRPM->SetChildrenEnabled(s->InUse());
    StoreSpeedRelays(s);
}

void SpeedSensorPage::StoreSpeedRelays(XelSpeedRelay* relay)
{
    if (m_relaysLoading || !relay)
        return;
    QTreeWidgetItem* selected = SelectedEntry(lvwSpeedRelays);
    if (!selected)
        return;
    relay->SetInUse(IsChecked(selected));
    relay->SetRPM(numSpeedRelaySpeed->Value());
}

void SpeedSensorPage::SetEntryChecked(QTreeWidgetItem* entry, bool checked)
{
    ScopedFlag filling(m_filling);
    entry->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    entry->setData(0, CheckedRole, checked);
}

void SpeedSensorPage::SpeedRelayCheckChanged(QTreeWidgetItem* entry)
{
    if (m_filling || !entry)
        return;
    const bool checked = IsChecked(entry);
    if (entry->data(0, CheckedRole).toBool() == checked)
        return; // a text or picture change, not the check box
    SetEntryChecked(entry, checked);
    {
        ScopedFlag filling(m_filling);
        lvwSpeedRelays->setCurrentItem(entry);
        pagecommon::SetRowPicture(entry, checked ? kRelayInUse : kRelayUnused, m_state.images.imlRelay);
    }
    ShowSpeedRelay(entry);
}

void SpeedSensorPage::SpeedRelayDoubleClicked()
{
    QTreeWidgetItem* entry = SelectedEntry(lvwSpeedRelays);
    if (!entry)
        return;
    const bool checked = !IsChecked(entry);
    SetEntryChecked(entry, checked);
    {
        ScopedFlag filling(m_filling);
        pagecommon::SetRowPicture(entry, checked ? kRelayInUse : kRelayUnused, m_state.images.imlRelay);
    }
    ShowSpeedRelay(entry);
}

void SpeedSensorPage::SpeedRelaySpeedChanged()
{
    if (m_filling)
        return;
    QTreeWidgetItem* entry = SelectedEntry(lvwSpeedRelays);
    if (!entry)
        return;
    {
        ScopedFlag filling(m_filling);
        entry->setText(1, QString::number(numSpeedRelaySpeed->Value()) + QStringLiteral(" RPM"));
    }
    StoreSpeedRelays(RelayOfEntry(entry));
}

bool SpeedSensorPage::SpeedRelayStep(int direction)
{
    QTreeWidgetItem* entry = SelectedEntry(lvwSpeedRelays);
    XelSpeedRelay* s = RelayOfEntry(entry);
    if (!s || !IsChecked(entry))
        return true;
    qint32 v = qint32(s->RPM()) + direction * numSpeedRelaySpeed->Increment();
    bool beep = false;
    if (direction < 0 && v < numSpeedRelaySpeed->Min()) {
        v = numSpeedRelaySpeed->Min();
        beep = true;
    } else if (direction > 0 && v > numSpeedRelaySpeed->Max()) {
        v = numSpeedRelaySpeed->Max();
        beep = true;
    }
    // The field may still show that value (another relay's, or this one's at the limit):
    // the step goes to the selected relay all the same.
    if (numSpeedRelaySpeed->Value() == v && numSpeedRelaySpeed->Text() == QString::number(v))
        SpeedRelaySpeedChanged();
    else
        numSpeedRelaySpeed->SetValue(v);
    if (beep)
        Beep();
    return true;
}

bool SpeedSensorPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lvwSpeedRelays && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (mods == Qt::ControlModifier && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down))
            return SpeedRelayStep(key->key() == Qt::Key_Up ? 1 : -1);
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Additional RUN detection

int SpeedSensorPage::DigitalPicture(int index)
{
    if (m_state.switchPage)
        return m_state.switchPage->DigitalPictureIndex(index);
    const XelDigitalIn* d = Setup() ? Setup()->DigitalIn()->Item(pagecommon::ItemKey(index)) : nullptr;
    if (!d)
        return 0;
    int p = d->SwitchType() == qint32(DigitalSwitchTypeType::NormallyOpen) ? 7 : 1;
    if (d->Action() == qint32(DigitalActionType::Shutdown))
        p += 1;
    else if (d->Action() == qint32(DigitalActionType::Warning))
        p += 2;
    if (d->RUNAlsoDetectedBy())
        p += kSwitchRunMark;
    if (!d->Active())
        p += kSwitchInactiveStep;
    return p;
}

int SpeedSensorPage::AnalogPicture(int index)
{
    if (m_state.analogPage)
        return m_state.analogPage->AnalogPictureIndex(index);
    const XelAnalogIn* a = Setup() ? Setup()->AnalogIn()->Item(pagecommon::ItemKey(index)) : nullptr;
    if (!a)
        return 0;
    // Bare picture 1, then alarm, shutdown, warning, warning-alarm, warning-shutdown and
    // two set points, each above and below.
    int p = 1;
    switch (AnalogActionType(a->Action())) {
    case AnalogActionType::Alarm: p = 2; break;
    case AnalogActionType::Shutdown: p = 4; break;
    case AnalogActionType::Warning: p = 6; break;
    case AnalogActionType::WarningAlarm: p = 8; break;
    case AnalogActionType::WarningShutdown: p = 10; break;
    case AnalogActionType::RPMDependentAlarm:
    case AnalogActionType::RPMDependentWarning:
    case AnalogActionType::RPMDependentShutdown: p = 12; break;
    default: break;
    }
    if (p > 1 && a->ActionDirection() == qint32(AnalogActionDirection::BelowLimit))
        p += 1;
    if (a->RUNAlsoDetectedBy())
        p += kAnalogRunMark;
    if (!a->Active())
        p += kAnalogInactiveStep;
    return p;
}

void SpeedSensorPage::FillAdditionalRunDetection()
{
    {
        ScopedFlag filling(m_filling);
        lvwAdditionalRunDetection->clear();
        ::XelObject* setup = Setup();
        const QVector<QIcon>& images = m_state.images.imlAdditionalRUNDetect;
        const int switchPictures =
            m_state.images.imlDigital.isEmpty() ? kSwitchPictureCount : int(m_state.images.imlDigital.size());
        auto add = [&](const QString& prefix, int index, const QString& text, bool run, int base, int step) {
            QTreeWidgetItem* entry = pagecommon::AddRow(lvwAdditionalRunDetection,
                                                        prefix + pagecommon::ItemKey(index),
                                                        prefix + QLatin1Char(' ') + QString::number(index),
                                                        run ? base : base + step, images);
            entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
            entry->setText(1, text);
            entry->setCheckState(0, run ? Qt::Checked : Qt::Unchecked);
            entry->setData(0, CheckedRole, run);
            entry->setData(0, BasePictureRole, base);
        };
        if (setup && setup->DigitalIn()) {
            for (const XelDigitalIn* d : *setup->DigitalIn()) {
                if (!d->Active())
                    continue;
                const int p = DigitalPicture(d->Index());
                add(QStringLiteral("SW"), d->Index(), d->Text(), d->RUNAlsoDetectedBy(),
                    p - (d->RUNAlsoDetectedBy() ? kSwitchRunMark : 0), kSwitchInactiveStep);
            }
        }
        if (setup && setup->AnalogIn()) {
            for (const XelAnalogIn* a : *setup->AnalogIn()) {
                if (!a->Active() || a->Action() == qint32(AnalogActionType::None))
                    continue;
                const int q = AnalogPicture(a->Index());
                add(QStringLiteral("AI"), a->Index(), a->Text(), a->RUNAlsoDetectedBy(),
                    switchPictures + q - (a->RUNAlsoDetectedBy() ? kAnalogRunMark : 0), kAnalogInactiveStep);
            }
        }
    }
    UpdateAdditionalRunCaption(true);
}

void SpeedSensorPage::UpdateAdditionalRunCaption(bool scroll)
{
    int count = 0;
    for (int i = 0; i < lvwAdditionalRunDetection->topLevelItemCount(); ++i) {
        QTreeWidgetItem* entry = lvwAdditionalRunDetection->topLevelItem(i);
        if (!IsChecked(entry))
            continue;
        ++count;
        if (scroll)
            lvwAdditionalRunDetection->scrollToItem(entry);
    }
    lblAdditionalRUN->setText(count == 0 ? QStringLiteral("None Selected")
                                         : QString::number(count) + QStringLiteral(" Selected"));
}

void SpeedSensorPage::RunEntryCheckChanged(QTreeWidgetItem* entry)
{
    if (m_filling || !entry)
        return;
    const bool checked = IsChecked(entry);
    if (entry->data(0, CheckedRole).toBool() == checked)
        return;
    SetEntryChecked(entry, checked);
    {
        ScopedFlag filling(m_filling);
        lvwAdditionalRunDetection->setCurrentItem(entry);
    }
    ChooseRunInput(entry);
}

void SpeedSensorPage::RunEntryDoubleClicked()
{
    QTreeWidgetItem* entry = SelectedEntry(lvwAdditionalRunDetection);
    if (!entry)
        return;
    SetEntryChecked(entry, !IsChecked(entry));
    ChooseRunInput(entry);
}

void SpeedSensorPage::ChooseRunInput(QTreeWidgetItem* entry)
{
    ::XelObject* setup = Setup();
    if (!setup)
        return;
    const QString key = pagecommon::RowKey(entry);
    const bool checked = IsChecked(entry);
    const bool isSwitch = key.startsWith(QLatin1String("SW"));
    const QString inputKey = key.mid(2);
    if (isSwitch) {
        if (XelDigitalIn* d = setup->DigitalIn() ? setup->DigitalIn()->Item(inputKey) : nullptr) {
            d->SetRUNAlsoDetectedBy(checked);
            if (m_state.switchPage)
                m_state.switchPage->UpdateDigitalListItem(d->Index());
        }
    } else if (XelAnalogIn* a = setup->AnalogIn() ? setup->AnalogIn()->Item(inputKey) : nullptr) {
        a->SetRUNAlsoDetectedBy(checked);
        if (m_state.analogPage)
            m_state.analogPage->UpdateAnalogListItem(a->Index());
    }
    const int base = entry->data(0, BasePictureRole).toInt();
    {
        ScopedFlag filling(m_filling);
        pagecommon::SetRowPicture(entry, checked ? base : base + (isSwitch ? kSwitchInactiveStep : kAnalogInactiveStep),
                                  m_state.images.imlAdditionalRUNDetect);
    }
    UpdateAdditionalRunCaption(false);
}

bool SpeedSensorPage::RunDetectionAvailable(const XelObject& setup)
{
    if (const XelSpeedSensor* sensor = setup.SpeedSensor())
        if (sensor->PickupType(0) > 0 && sensor->PickupType(1) > 0)
            return true;
    if (setup.DigitalIn())
        for (const XelDigitalIn* d : *setup.DigitalIn())
            if (d->Active() && d->RUNAlsoDetectedBy())
                return true;
    if (setup.AnalogIn())
        for (const XelAnalogIn* a : *setup.AnalogIn())
            if (a->Active() && a->RUNAlsoDetectedBy())
                return true;
    return false;
}

bool SpeedSensorPage::RunDetectionAvailable()
{
    return Setup() && RunDetectionAvailable(*Setup());
}
