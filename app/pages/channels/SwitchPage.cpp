// The Switch page: its controls, their connections and the routines the frame calls.
#include "app/pages/channels/SwitchPage.h"

#include "app/pages/MainState.h"
#include "app/pages/channels/DigitalListView.h"
#include "app/pages/channels/InputListHighlight.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/common/RowFit.h"
#include "app/setupdefaults/DefaultSetup.h"
#include "extra/extra.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelObject.h"
#include "datamodel/cDigitalIn.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

using pagecommon::Twips;

namespace {

template <class W>
W* Place(W* w, const char* name, int left, int top, int width, int height)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
    return w;
}

QLabel* Label(QWidget* parent, const char* name, const QString& text, int left, int top, int width)
{
    auto* label = Place(new QLabel(text, parent), name, left, top, width, 255);
    return label;
}

// The check mark a row had when its last change was handled.
constexpr int kLastCheckRole = Qt::UserRole + 10;

// Design-time widths and left edges of the detail area (twips).
constexpr int kLabelLeft = 120;
constexpr int kFieldLeft = 1900;

} // namespace

SwitchPage::SwitchPage(MainState& state, QWidget* parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("SwitchPage"));
    BuildControls();

    DigitalJSelection::Controls j;
    j.lvwDigital = lvwDigital;
    j.cmbDigitalInputType = cmbDigitalInputType;
    j.cmbDigitalJ = cmbDigitalJ;
    j.txtDigitalDescription = txtDigitalDescription;
    j.conDigitalPID = conDigitalPID;
    j.setPIDChildrenEnabled = [this](bool on) { xeldisp::SetChildrenEnabled(conDigitalPID, on); };
    j.showInputValues = [this](XelDigitalIn* input) { ShowDigitalInputValues(input); };
    j.refreshSelectedItemState = [this] { RefreshDigitalItemState(SelectedRow()); };
    m_j = std::make_unique<DigitalJSelection>(m_state, std::move(j));

    ArrangeDigitalPage(true);
    ResetDigitalControls();
}

SwitchPage::~SwitchPage()
{
    if (m_state.switchPage == this)
        m_state.switchPage = nullptr;
}

void SwitchPage::BuildControls()
{
    setMinimumSize(Twips(14600), Twips(5400));

    picDigitalListScroll[0] = Place(new DigitalListScrollStrip(*this, 0, this), "picDigitalListScroll_0", 120, 60, 4200, 150);
    lvwDigital = Place(new DigitalListView(*this, m_state, this), "lvwDigital", 120, 210, 4200, 4560);
    picDigitalListScroll[1] = Place(new DigitalListScrollStrip(*this, 1, this), "picDigitalListScroll_1", 120, 4770, 4200, 150);
    lblDigitalCount = Label(this, "lblDigitalCount", QStringLiteral("None Active"), 120, 4980, 4200);

    chkDigitalActive = Place(new QCheckBox(QStringLiteral("Active"), this), "chkDigitalActive", 4500, 60, 2000, 255);
    picActionText[0] = Place(new QLabel(QStringLiteral("(!) Not active"), this), "picActionText_0", 6600, 60, 1800, 255);
    picActionText[0]->setToolTip(QStringLiteral("This input has a description but is not active"));

    conDigital = Place(new Container(this), "conDigital", 4500, 360, 6600, 4980);
    QWidget* d = conDigital;
    cmbDigitalInputType = Place(new QComboBox(d), "cmbDigitalInputType", kFieldLeft, 30, 2400, 315);
    lblDigital[0] = Label(d, "lblDigital_0", QStringLiteral("Input Type"), kLabelLeft, 60, 1700);
    conDigitalPID = Place(new Container(d), "conDigitalPID", 4380, 0, 2130, 375);
    cmbDigitalJ = Place(new QComboBox(conDigitalPID), "cmbDigitalJ", 30, 30, 2070, 315);
    pagecommon::FitListOnly(cmbDigitalJ);

    txtDigitalDescription = Place(new QLineEdit(d), "txtDigitalDescription", kFieldLeft, 420, 4500, 285);
    txtDigitalDescription->setMaxLength(XelDigitalIn::kTextLength);
    lblDigital[3] = Label(d, "lblDigital_3", QStringLiteral("Description"), kLabelLeft, 450, 1700);

    cmbDigitalAction = Place(new QComboBox(d), "cmbDigitalAction", kFieldLeft, 810, 1800, 315);
    lblDigital[2] = Label(d, "lblDigital_2", QStringLiteral("Action"), kLabelLeft, 840, 1700);
    lblDigitalDelay = Label(d, "lblDigitalDelay", QStringLiteral("Delay"), 3800, 840, 600);
    numDigitalAlarmDelay = Place(new Number(d), "numDigitalAlarmDelay", 4400, 810, 800, 315);
    lblDigital[4] = Label(d, "lblDigital_4", QStringLiteral("Seconds"), 5250, 840, 800);
    picActionText[4] = Place(new QLabel(QStringLiteral("(!)"), d), "picActionText_4", 6100, 840, 300, 255);
    picActionText[4]->setToolTip(QStringLiteral("The action follows at once"));

    cmbDigitalSwitchType = Place(new QComboBox(d), "cmbDigitalSwitchType", kFieldLeft, 1200, 2400, 315);
    cmbDigitalSwitchType->addItem(QStringLiteral("Normally Closed"));
    cmbDigitalSwitchType->addItem(QStringLiteral("Normally Open"));
    lblDigital[1] = Label(d, "lblDigital_1", QStringLiteral("Switch Type"), kLabelLeft, 1230, 1700);

    chkDigitalAlarmOnRunOnly = Place(new QCheckBox(d), "chkDigitalAlarmOnRunOnly", kFieldLeft, 1560, 3600, 255);
    picActionText[3] = Place(new QLabel(QStringLiteral("(i)"), d), "picActionText_3", 5600, 1560, 300, 255);

    conDigitalInitialDelay = Place(new Container(d), "conDigitalInitialDelay", kFieldLeft - 60, 1860, 4560, 345);
    lblDigitalInitialDelay[0] = Label(conDigitalInitialDelay, "lblDigitalInitialDelay_0", QStringLiteral("Initial Delay"), 60, 45, 1300);
    numDigitalInitialDelay = Place(new Number(conDigitalInitialDelay), "numDigitalInitialDelay", 1400, 15, 800, 315);
    numDigitalInitialDelay->setToolTip(QStringLiteral("Channel Disabled this amount of time after RUN"));
    lblDigitalInitialDelay[1] = Label(conDigitalInitialDelay, "lblDigitalInitialDelay_1", QStringLiteral("Seconds"), 2300, 45, 800);

    conDigitalBrokenWireDetection = Place(new Container(d), "conDigitalBrokenWireDetection", kFieldLeft - 60, 2220, 4560, 270);
    chkDigitalBrokenWireDetection = Place(new QCheckBox(QStringLiteral("Broken Wire Detection"), conDigitalBrokenWireDetection),
                                          "chkDigitalBrokenWireDetection", 60, 0, 3600, 255);

    chkDigitalAdditionalRunDetection = Place(new QCheckBox(QStringLiteral("Additional RUN Detection"), d),
                                             "chkDigitalAdditionalRunDetection", kFieldLeft, 2490, 3600, 255);
    txtDigitalInfo = Place(new QLineEdit(d), "txtDigitalInfo", kFieldLeft, 2760, 4500, 285);
    txtDigitalInfo->setMaxLength(XelDigitalIn::kInfoLength);
    lblDigital[5] = Label(d, "lblDigital_5", QStringLiteral("Information"), kLabelLeft, 2790, 1700);

    conDigitalInAdditional = Place(new Container(this), "conDigitalInAdditional", 11250, 1800, 3240, 1200);
    conDigitalInAdditional->SetCaption(QStringLiteral("Additional Inputs"));
    for (int i = 0; i < 2; ++i) {
        const QByteArray label = "lblDigitalInAdditional_" + QByteArray::number(i);
        const QByteArray combo = "cmbDigitalInAdditional_" + QByteArray::number(i);
        lblDigitalInAdditional[i] = Label(conDigitalInAdditional, label.constData(),
                                          QStringLiteral("Terminal %1").arg(61 + i), 120, 330 + 420 * i, 1100);
        cmbDigitalInAdditional[i] = Place(new QComboBox(conDigitalInAdditional), combo.constData(), 1230, 300 + 420 * i, 1900, 315);
    }

    // The frames only group their controls; they draw no border. The detail area's first row
    // sits at its very top, where a border line would run through it.
    for (Container* frame : {conDigital, conDigitalPID, conDigitalInitialDelay, conDigitalBrokenWireDetection})
        frame->SetBorderStyle(Container::None);
    for (Number* box : {numDigitalAlarmDelay, numDigitalInitialDelay}) {
        box->SetMin(0);
        box->SetMax(255);
    }

    // ---- connections
    connect(lvwDigital, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* row) { ShowDigitalChannel(row); });
    // Only a change of a row's check mark counts, not a new picture or text.
    connect(lvwDigital, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* row, int column) {
        const QVariant mark = row->data(0, Qt::CheckStateRole);
        if (column != 0 || !mark.isValid())
            return;
        const bool checked = mark.toInt() == Qt::Checked;
        const QVariant last = row->data(0, kLastCheckRole);
        if (last.isValid() && last.toBool() == checked)
            return;
        {
            const QSignalBlocker block(lvwDigital);
            row->setData(0, kLastCheckRole, checked);
        }
        lvwDigital_ItemCheck(row, checked);
    });
    connect(chkDigitalActive, &QCheckBox::toggled, this, [this] { chkDigitalActive_Click(); });
    connect(chkDigitalAlarmOnRunOnly, &QCheckBox::toggled, this, [this] { chkDigitalAlarmOnRunOnly_Click(); });
    connect(chkDigitalAdditionalRunDetection, &QCheckBox::toggled, this, [this] { chkDigitalAdditionalRunDetection_Click(); });
    connect(chkDigitalBrokenWireDetection, &QCheckBox::toggled, this, [this] { chkDigitalBrokenWireDetection_Click(); });
    connect(cmbDigitalAction, &QComboBox::currentIndexChanged, this, [this] { cmbDigitalAction_Click(); });
    connect(cmbDigitalSwitchType, &QComboBox::currentIndexChanged, this, [this] { cmbDigitalSwitchType_Click(); });
    connect(cmbDigitalInputType, &QComboBox::currentIndexChanged, this, [this] { m_j->cmbDigitalInputType_Click(); });
    connect(cmbDigitalJ, &QComboBox::currentIndexChanged, this, [this] { m_j->cmbDigitalJ_Click(); });
    connect(txtDigitalDescription, &QLineEdit::textEdited, this, [this](const QString& text) { FilterDescription(text); });
    connect(txtDigitalDescription, &QLineEdit::textChanged, this, [this] { txtDigitalDescription_Change(); });
    connect(txtDigitalInfo, &QLineEdit::textChanged, this, [this] { txtDigitalInfo_Change(); });
    connect(numDigitalAlarmDelay, &Number::Change, this, [this] { numDigitalAlarmDelay_Change(); });
    connect(numDigitalInitialDelay, &Number::Change, this, [this] { numDigitalInitialDelay_Change(); });
    connect(numDigitalAlarmDelay, &Number::ErrorValue, this,
            [this] { pagecommon::ShowRangeMessage(numDigitalAlarmDelay, 811, {0, 255}); });
    connect(numDigitalInitialDelay, &Number::ErrorValue, this,
            [this] { pagecommon::ShowRangeMessage(numDigitalInitialDelay, 810, {0, 255}); });
    connect(conDigitalInitialDelay, &Container::ChildrenEnabledChange, this,
            [this](bool enabled) { picActionText[3]->setVisible(enabled); });
    for (int i = 0; i < 2; ++i)
        connect(cmbDigitalInAdditional[i], &QComboBox::currentIndexChanged, this, [this, i] { cmbDigitalInAdditional_Click(i); });

    // Either delay box taking the focus clears the status message.
    pagecommon::ClearRangeMessageWhenValid(numDigitalAlarmDelay);
    pagecommon::ClearRangeMessageWhenValid(numDigitalInitialDelay);
    for (QWidget* w : std::initializer_list<QWidget*>{cmbDigitalAction, cmbDigitalSwitchType, txtDigitalDescription})
        w->installEventFilter(this);
}

bool SwitchPage::eventFilter(QObject* watched, QEvent* event)
{
    const bool in = event->type() == QEvent::FocusIn;
    const bool out = event->type() == QEvent::FocusOut;
    if (in || out) {
        if (watched == cmbDigitalAction)
            m_digitalActionFocus = in;
        else if (watched == cmbDigitalSwitchType)
            m_digitalSwitchTypeFocus = in;
        else if (in && watched == txtDigitalDescription)
            txtDigitalDescription->selectAll();
    }
    return QWidget::eventFilter(watched, event);
}

// ---- small helpers ----------------------------------------------------------------------------

XelObject* SwitchPage::Setup() const { return m_state.XelObject(); }

QTreeWidgetItem* SwitchPage::SelectedRow() const { return lvwDigital ? lvwDigital->currentItem() : nullptr; }

int SwitchPage::SelectedPosition() const { return pagecommon::SelectedRowIndex(lvwDigital); }

XelDigitalIn* SwitchPage::InputOfRow(const QTreeWidgetItem* row) const
{
    XelObject* setup = Setup();
    if (!setup || !row)
        return nullptr;
    return setup->DigitalIn()->Item(pagecommon::RowKey(row));
}

XelDigitalIn* SwitchPage::SelectedInput() const { return InputOfRow(SelectedRow()); }

bool SwitchPage::UserEdit() const { return !m_showing && !m_state.Loading && !m_state.OpeningSetup; }

void SwitchPage::SetCheck(QCheckBox* box, bool checked)
{
    // The box's handler runs once, whether or not the value changes.
    {
        const QSignalBlocker block(box);
        box->setChecked(checked);
    }
    if (box == chkDigitalActive)
        chkDigitalActive_Click();
    else if (box == chkDigitalAlarmOnRunOnly)
        chkDigitalAlarmOnRunOnly_Click();
    else if (box == chkDigitalAdditionalRunDetection)
        chkDigitalAdditionalRunDetection_Click();
    else if (box == chkDigitalBrokenWireDetection)
        chkDigitalBrokenWireDetection_Click();
}

void SwitchPage::SetComboIndex(QComboBox* combo, int index)
{
    {
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(index);
    }
    if (combo == cmbDigitalAction)
        cmbDigitalAction_Click();
    else if (combo == cmbDigitalSwitchType)
        cmbDigitalSwitchType_Click();
    else if (combo == cmbDigitalInputType)
        m_j->cmbDigitalInputType_Click();
}

int SwitchPage::SelectComboItemData(QComboBox* combo, int value)
{
    const int i = combo ? combo->findData(value) : -1;
    if (i >= 0)
        SetComboIndex(combo, i);
    return i;
}

void SwitchPage::UpdateClassified()
{
    if (m_state.mainPage) {
        m_state.mainPage->UpdateClassifiedInfo();
        m_state.mainPage->UpdateClassifiedCheck(false);
    }
}

// ---- routines of the frame ------------------------------------------------------------------

void SwitchPage::SetDigitalDefaults()
{
    if (XelObject* setup = Setup())
        defaultsetup::SetDigitalDefaults(*setup);
}

void SwitchPage::UpdateDigitalListItem(int index)
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    const QString key = pagecommon::ItemKey(index);
    UpdateDigitalListItem(pagecommon::RowByKey(lvwDigital, key), setup->DigitalIn()->Item(key));
}

void SwitchPage::RefreshDigitalList()
{
    if (XelObject* setup = Setup())
        inputlist::RefreshDigitalList(lvwDigital, setup->DigitalIn());
}

void SwitchPage::UpdateDigitalCount()
{
    XelObject* setup = Setup();
    inputlist::ShowActiveCount(lblDigitalCount, setup ? inputlist::CountActive(setup->DigitalIn()) : 0);
}

void SwitchPage::ShowSelectedDigitalInput()
{
    if (QTreeWidgetItem* row = SelectedRow())
        ShowDigitalChannel(row);
}

void SwitchPage::SetDetailsEnabled(bool enabled)
{
    xeldisp::SetChildrenEnabled(conDigitalBrokenWireDetection, enabled);
    xeldisp::SetChildrenEnabled(conDigitalInitialDelay, enabled);
    xeldisp::SetChildrenEnabled(conDigital, enabled);
}

int SwitchPage::DigitalPictureIndex(int index)
{
    XelObject* setup = Setup();
    XelDigitalIn* input = setup ? setup->DigitalIn()->Item(pagecommon::ItemKey(index)) : nullptr;
    return input ? StatePicture(*input) : 0;
}

void SwitchPage::SetActiveCheckEnabled(bool enabled) { chkDigitalActive->setEnabled(enabled); }
