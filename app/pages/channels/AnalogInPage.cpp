#include "app/pages/channels/AnalogInPage.h"

#include "app/pages/MainState.h"
#include "app/pages/channels/AnalogListView.h"
#include "app/pages/channels/JSelection.h"
#include "app/pages/channels/AnalogRules.h"
#include "app/pages/channels/AnalogShownValue.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/common/RowFit.h"
#include "app/pages/general/frmMessage.h"
#include "app/services/clsADO.h"
#include "app/setupdefaults/DefaultSetup.h"
#include "extra/extra.h"
#include "controls/Container.h"
#include "controls/Float.h"
#include "controls/Number.h"
#include "controls/TarnGraph.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cAnalogIn.h"
#include "platform/MessagePresenter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>

using pagecommon::Twips;

namespace {

void Place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

Container* MakeGroup(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                     int width, int height)
{
    auto* group = new Container(parent);
    group->setObjectName(name);
    group->SetCaption(caption);
    Place(group, left, top, width, height);
    return group;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                  int width = 0, int height = 255)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    if (width > 0) {
        Place(label, left, top, width, height);
    } else {
        label->move(Twips(left), Twips(top));
        label->adjustSize();
    }
    return label;
}

QLabel* MakeMarker(QWidget* parent, const QString& name, const QString& tip, int left, int top)
{
    auto* marker = new QLabel(parent);
    marker->setObjectName(name);
    marker->setPixmap(parent->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16));
    marker->setToolTip(tip);
    Place(marker, left, top, 240, 240);
    marker->setVisible(false);
    return marker;
}

Float* MakeFloat(QWidget* parent, const QString& name, int left, int top, float min, float max,
                 const QString& tip = QString())
{
    auto* box = new Float(parent);
    box->setObjectName(name);
    Place(box, left, top, 900, 315);
    box->SetMin(min);
    box->SetMax(max);
    if (!tip.isEmpty())
        box->SetToolTipTextExt(tip);
    return box;
}

Number* MakeNumber(QWidget* parent, const QString& name, int left, int top, qint32 min, qint32 max,
                   qint32 value)
{
    auto* box = new Number(parent);
    box->setObjectName(name);
    Place(box, left, top, 900, 315);
    box->SetMin(min);
    box->SetMax(max);
    box->SetValue(value);
    return box;
}

QCheckBox* MakeCheck(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                     int width)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    // The style's indicator may need more than the designed height: grow about the same middle.
    const int height = qMax(Twips(255), box->sizeHint().height());
    box->setGeometry(Twips(left), Twips(top) - (height - Twips(255)) / 2, Twips(width), height);
    return box;
}

QComboBox* MakeCombo(QWidget* parent, const QString& name, int left, int top, int width)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    Place(combo, left, top, width, 315);
    return combo;
}

} // namespace

AnalogInPage::AnalogInPage(MainState& state, QWidget* parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("AnalogInPage"));
    RunModal = [](QDialog& dialog) { dialog.exec(); };
    BuildControls();
    ConnectControls();
    AnalogJSelection::Controls c;
    c.lvwAnalog = lvwAnalog;
    c.cmbAnalogInputType = cmbAnalogInputType;
    c.cmbAnalogJ = cmbAnalogJ;
    c.txtAnalogDescription = txtAnalogDescription;
    c.conAnalogPID = conAnalogPID;
    c.conAnalogAlarmSetpoint0 = conAnalogAlarmSetpoint[0];
    c.conAnalogAlarmSetpoint1 = conAnalogAlarmSetpoint[1];
    c.graRPMDependentAlarm = graRPMDependentAlarm;
    c.setPIDChildrenEnabled = [this](bool on) { conAnalogPID->SetChildrenEnabled(on); };
    c.setSensorRangeLocked = [this](bool locked) { SetSensorRangeLocked(locked); };
    c.showSensorRange = [this](double min, double max) { ShowSensorRange(min, max); };
    c.fillActionCombo = [this](qint32 mode, qint32 type, XelAnalogIn* input) { FillAnalogActionCombo(mode, type, input); };
    c.showInputValues = [this](XelAnalogIn* input) { ShowAnalogInputValues(input); };
    // While values are only shown the page lays itself out once, at the end.
    c.showAnalogInput = [this] {
        if (!m_showing)
            ShowAnalogInput();
    };
    c.showSwitchSetting = [this](int setting) { ShowJumperMessage(qint16(setting)); };
    m_j = std::make_unique<AnalogJSelection>(m_state, c);
}

AnalogInPage::~AnalogInPage()
{
    // The controls outlive this part of the page while the widget base deletes them.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
    lvwAnalog->ItemClick = nullptr;
    lvwAnalog->KeyDown = nullptr;
}

void AnalogInPage::BuildControls()
{
    lvwAnalog = new AnalogListView(this);
    lvwAnalog->setObjectName(QStringLiteral("lvwAnalog"));
    lvwAnalog->setHeaderLabels({QStringLiteral("Channel"), QStringLiteral("Terminal"), QStringLiteral("Description")});
    Place(lvwAnalog, 120, 240, 4440, 5400);
    FitAnalogColumns();
    for (int i = 0; i < 2; ++i) {
        auto* strip = new AnalogScrollStrip(i, lvwAnalog, this);
        strip->setObjectName(QStringLiteral("picAnalogListScroll_%1").arg(i));
        Place(strip, 120, i == 0 ? 120 : 5655, 4440, 105);
        picAnalogListScroll.append(strip);
    }
    lblAnalogCount = MakeLabel(this, QStringLiteral("lblAnalogCount"), QStringLiteral("None Active"), 120, 5820, 4440);

    chkAnalogActive = MakeCheck(this, QStringLiteral("chkAnalogActive"), QStringLiteral("Active"), 4800, 120, 1500);
    chkAnalogActive->setEnabled(false);
    picActionText.fill(nullptr, 7);
    picActionText[1] = MakeMarker(this, QStringLiteral("picActionText_1"),
                                  QStringLiteral("Channel has description, but is not activated"), 6360, 120);
    picActionText[2] = MakeMarker(this, QStringLiteral("picActionText_2"),
                                  QStringLiteral("Please try to shorten the description"), 6660, 120);
    lblAnalog.fill(nullptr, 16);
    lblAnalogUnits.fill(nullptr, 6);

    conAnalog = MakeGroup(this, QStringLiteral("conAnalog"), QString(), 4680, 420, 6330, 5580);
    lblAnalog[0] = MakeLabel(conAnalog, QStringLiteral("lblAnalog_0"), QStringLiteral("Description"), 120, 270, 1200);
    txtAnalogDescription = new QLineEdit(conAnalog);
    txtAnalogDescription->setObjectName(QStringLiteral("txtAnalogDescription"));
    txtAnalogDescription->setMaxLength(XelAnalogIn::kTextLength);
    Place(txtAnalogDescription, 1380, 240, 4830, 315);
    lblAnalog[5] = MakeLabel(conAnalog, QStringLiteral("lblAnalog_5"), QStringLiteral("Info"), 120, 630, 1200);
    txtAnalogInfo = new QLineEdit(conAnalog);
    txtAnalogInfo->setObjectName(QStringLiteral("txtAnalogInfo"));
    txtAnalogInfo->setMaxLength(XelAnalogIn::kInfoLength);
    Place(txtAnalogInfo, 1380, 600, 4830, 315);

    // The parameter group starts a little below the info box, so its caption stays clear of
    // the box's border; the type combo lines up with its combo.
    lblAnalog[6] = MakeLabel(conAnalog, QStringLiteral("lblAnalog_6"), QStringLiteral("Input Type"), 120, 1185, 1200);
    cmbAnalogInputType = MakeCombo(conAnalog, QStringLiteral("cmbAnalogInputType"), 1380, 1155, 1815);
    conAnalogPID = MakeGroup(conAnalog, QStringLiteral("conAnalogPID"), QStringLiteral("J1939/J1587 Parameter"),
                             3300, 945, 2910, 600);
    cmbAnalogJ = MakeCombo(conAnalogPID, QStringLiteral("cmbAnalogJ"), 90, 210, 2730);
    pagecommon::FitListOnly(cmbAnalogJ);

    lblAnalog[7] = MakeLabel(conAnalog, QStringLiteral("lblAnalog_7"), QStringLiteral("Sensor Range"), 60, 1590, 1290);
    numAnalogSensorMin = MakeFloat(conAnalog, QStringLiteral("numAnalogSensorMin"), 1380, 1560, 0.0f, 1000.0f);
    lblAnalog[8] = MakeLabel(conAnalog, QStringLiteral("lblAnalog_8"), QStringLiteral("-"), 2310, 1590, 120);
    numAnalogSensorMax = MakeFloat(conAnalog, QStringLiteral("numAnalogSensorMax"), 2460, 1560, 0.0f, 1000.0f);
    numAnalogSensorMax->SetIncrement(1.0f);
    numAnalogSensorMax->SetValue(100.0f);
    cmbAnalogUnits = MakeCombo(conAnalog, QStringLiteral("cmbAnalogUnits"), 3420, 1560, 780);
    cmbAnalogUnits->setEditable(true);
    cmbAnalogUnits->setInsertPolicy(QComboBox::NoInsert);
    cmbAnalogUnits->lineEdit()->setMaxLength(XelAnalogIn::kUnitsLength);
    for (const char* unit : {"bar", "kPa", "psi", "°C", "°F", "%", "mm", "V", "A", "l/h", "RPM"})
        cmbAnalogUnits->addItem(QString::fromUtf8(unit));
    cmbAnalogUnits->setCurrentIndex(-1);
    chkAnalogDoubleScale = MakeCheck(conAnalog, QStringLiteral("chkAnalogDoubleScale"), QStringLiteral("Double Scale"),
                                     4260, 1590, 1560);

    lblAnalog[9] = MakeLabel(conAnalog, QStringLiteral("lblAnalog_9"), QStringLiteral("Action"), 120, 2010, 1200);
    cmbAnalogAction = MakeCombo(conAnalog, QStringLiteral("cmbAnalogAction"), 1380, 1980, 2415);

    conAnalogLimit = MakeGroup(conAnalog, QStringLiteral("conAnalogLimit"), QStringLiteral("Limits"), 120, 2400, 3420, 1365);
    numAnalogLimit.fill(nullptr, 3);
    numAnalogLimitSetpoint.fill(nullptr, 2);
    numAnalogSetpointRPM.fill(nullptr, 2);
    conAnalogAlarmSetpoint.fill(nullptr, 2);
    conAnalogLimitWarning = MakeGroup(conAnalogLimit, QStringLiteral("conAnalogLimitWarning"),
                                      QStringLiteral("Warning Limit"), 90, 240, 3240, 540);
    numAnalogLimit[1] = MakeFloat(conAnalogLimitWarning, QStringLiteral("numAnalogLimit_1"), 90, 210, -3000.0f,
                                  3000.0f, QStringLiteral("Warning Limit"));
    lblAnalogUnits[1] = MakeLabel(conAnalogLimitWarning, QStringLiteral("lblAnalogUnits_1"), QString(), 1050, 255);
    conAnalogLimitAlarm = MakeGroup(conAnalogLimit, QStringLiteral("conAnalogLimitAlarm"),
                                    QStringLiteral("Alarm Limit"), 90, 780, 3240, 540);
    numAnalogLimit[0] = MakeFloat(conAnalogLimitAlarm, QStringLiteral("numAnalogLimit_0"), 90, 210, -3000.0f,
                                  3000.0f, QStringLiteral("Alarm Limit"));
    lblAnalogUnits[2] = MakeLabel(conAnalogLimitAlarm, QStringLiteral("lblAnalogUnits_2"), QString(), 1050, 255);
    const QString setpointCaptions[2] = {QStringLiteral("Lower Limit"), QStringLiteral("Upper Limit")};
    for (int i = 0; i < 2; ++i) {
        Container* group = MakeGroup(conAnalogLimit, QStringLiteral("conAnalogAlarmSetpoint_%1").arg(i),
                                     setpointCaptions[i], 90, i == 0 ? 240 : 780, 3240, 540);
        conAnalogAlarmSetpoint[i] = group;
        numAnalogLimitSetpoint[i] = MakeFloat(group, QStringLiteral("numAnalogLimitSetpoint_%1").arg(i), 90, 210,
                                              0.0f, 1000.0f, QStringLiteral("Alarm Limit"));
        lblAnalogUnits[4 + i] = MakeLabel(group, QStringLiteral("lblAnalogUnits_%1").arg(4 + i),
                                          QStringLiteral(" at"), 1050, 255);
        numAnalogSetpointRPM[i] = MakeNumber(group, QStringLiteral("numAnalogSetpointRPM_%1").arg(i), 1500, 210, 100,
                                             3000, 500);
        lblAnalog[14 + i] = MakeLabel(group, QStringLiteral("lblAnalog_%1").arg(14 + i), QStringLiteral("RPM"), 2280, 255);
        group->setVisible(false);
    }
    conAnalogLimitShutdown = MakeGroup(conAnalogLimit, QStringLiteral("conAnalogLimitShutdown"),
                                       QStringLiteral("Shutdown Limit"), 90, 780, 3240, 540);
    numAnalogLimit[2] = MakeFloat(conAnalogLimitShutdown, QStringLiteral("numAnalogLimit_2"), 90, 210, -3000.0f,
                                  3000.0f, QStringLiteral("Shutdown Limit"));
    lblAnalogUnits[3] = MakeLabel(conAnalogLimitShutdown, QStringLiteral("lblAnalogUnits_3"), QString(), 1050, 255);

    graRPMDependentAlarm = new TarnGraph(conAnalog);
    graRPMDependentAlarm->setObjectName(QStringLiteral("graRPMDependentAlarm"));
    Place(graRPMDependentAlarm, 3600, 2400, 2610, 1365);
    graRPMDependentAlarm->SetXStep(250);
    graRPMDependentAlarm->SetXSteps(8);
    graRPMDependentAlarm->SetYSteps(5);
    graRPMDependentAlarm->SetYStepMarkEvery(1);
    graRPMDependentAlarm->SetFromTop(10);
    graRPMDependentAlarm->SetFromLeft(25);
    graRPMDependentAlarm->SetFromRight(15);
    graRPMDependentAlarm->SetFromBottom(15);
    graRPMDependentAlarm->SetMarkColor(QColor(0, 0, 0));
    graRPMDependentAlarm->SetBackColor(palette().color(QPalette::Button));
    graRPMDependentAlarm->SetMarkDescriptionBottom(QString());
    graRPMDependentAlarm->SetMarkDescriptionLeft(QString());
    // A small graph: small marks, so that "1000" and "1250" stay apart.
    QFont markFont = font();
    markFont.setPointSizeF(qMax(6.0, markFont.pointSizeF() * 0.8));
    graRPMDependentAlarm->SetMarkFontBottom(markFont);
    graRPMDependentAlarm->SetMarkFontLeft(markFont);
    graRPMDependentAlarm->setVisible(false);

    conAnalogActionType = MakeGroup(conAnalog, QStringLiteral("conAnalogActionType"), QString(), 120, 3795, 2880, 1500);
    chkAnalogAdditionalRunDetection = MakeCheck(conAnalogActionType, QStringLiteral("chkAnalogAdditionalRunDetection"),
                                                QStringLiteral("Additional Run Detection"), 90, 240, 2700);
    chkAnalogAlarmOnRunOnly = MakeCheck(conAnalogActionType, QStringLiteral("chkAnalogAlarmOnRunOnly"),
                                        QStringLiteral("Action on RUN Only"), 90, 540, 2160);
    conAnalogInitialDelay = MakeGroup(conAnalogActionType, QStringLiteral("conAnalogInitialDelay"),
                                      QStringLiteral("Initial Delay"), 90, 840, 2700, 570);
    numAnalogInitialDelay = MakeNumber(conAnalogInitialDelay, QStringLiteral("numAnalogInitialDelay"), 90, 210, 0, 255, 0);
    lblAnalog[2] = MakeLabel(conAnalogInitialDelay, QStringLiteral("lblAnalog_2"), QStringLiteral("Seconds"), 1080, 255, 900);
    picActionText[6] = MakeMarker(conAnalogActionType, QStringLiteral("picActionText_6"), QString(), 2280, 540);

    conAnalogActionInfo = MakeGroup(conAnalog, QStringLiteral("conAnalogActionInfo"), QString(), 3060, 3795, 3150, 1500);
    cmbAnalogActionDirection = MakeCombo(conAnalogActionInfo, QStringLiteral("cmbAnalogActionDirection"), 90, 240, 2520);
    cmbAnalogActionDirection->addItem(QStringLiteral("when above limit"), 0);
    cmbAnalogActionDirection->addItem(QStringLiteral("when below limit!"), 1);
    lblAnalog[3] = MakeLabel(conAnalogActionInfo, QStringLiteral("lblAnalog_3"), QStringLiteral("after"), 90, 690, 480);
    numAnalogAlarmDelay = MakeNumber(conAnalogActionInfo, QStringLiteral("numAnalogAlarmDelay"), 600, 660, 0, 255, 2);
    lblAnalog[4] = MakeLabel(conAnalogActionInfo, QStringLiteral("lblAnalog_4"), QStringLiteral("Seconds"), 1560, 690, 780);
    picActionText[5] = MakeMarker(conAnalogActionInfo, QStringLiteral("picActionText_5"),
                                  QStringLiteral("Zero seconds delay before shutdown may result in an unstable system!"),
                                  2370, 660);
    for (int i = 0; i < 2; ++i)
        picAnalogListScroll[i]->raise();
}

void AnalogInPage::FitAnalogColumns()
{
    QHeaderView* header = lvwAnalog->header();
    const QFontMetrics metrics(lvwAnalog->font());
    const int margin = 2 * lvwAnalog->style()->pixelMetric(QStyle::PM_HeaderMargin) + 6;
    // "Channel" must not be cut, whatever the font; the terminal column fits its longest text.
    const int channel = qMax(header->sectionSizeHint(0), Twips(600));
    int terminal = header->sectionSizeHint(1);
    for (const QString& text : {QStringLiteral("27-28 (AX-2:1-2)"), QStringLiteral("J1939/J1587"),
                                extra::GetLangString(925), extra::GetLangString(modAnalog::kBusTerminalText)})
        terminal = qMax(terminal, metrics.horizontalAdvance(text) + margin);
    header->setStretchLastSection(true);
    header->setMinimumSectionSize(qMin(header->minimumSectionSize(), Twips(300)));
    header->resizeSection(0, channel);
    header->resizeSection(1, terminal);
    // The description gets what is left: a long one is cut with an ellipsis, never scrolled.
    lvwAnalog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lvwAnalog->setTextElideMode(Qt::ElideRight);
}

void AnalogInPage::ConnectControls()
{
    lvwAnalog->ItemClick = [this](QTreeWidgetItem* item) { lvwAnalog_ItemClick(item); };
    lvwAnalog->MouseDown = [this](int button) { lvwAnalog_MouseDown(button); };
    lvwAnalog->DblClick = [this] { lvwAnalog_DblClick(); };
    lvwAnalog->KeyDown = [this](int key) { lvwAnalog_KeyDown(key); };
    lvwAnalog->StartDrag = [this] { return lvwAnalog_OLEStartDrag(); };
    lvwAnalog->DragOver = [this](const QMimeData* d, QTreeWidgetItem* t, int s) { return lvwAnalog_OLEDragOver(d, t, s); };
    lvwAnalog->DragDrop = [this](const QMimeData* d, QTreeWidgetItem* t, int s) { lvwAnalog_OLEDragDrop(d, t, s); };

    connect(chkAnalogActive, &QCheckBox::toggled, this, [this] { chkAnalogActive_Click(); });
    connect(cmbAnalogAction, &QComboBox::currentIndexChanged, this, [this] { cmbAnalogAction_Click(); });
    connect(cmbAnalogActionDirection, &QComboBox::currentIndexChanged, this, [this] { cmbAnalogActionDirection_Click(); });
    connect(cmbAnalogUnits, &QComboBox::editTextChanged, this, [this] { cmbAnalogUnits_Change(); });
    connect(cmbAnalogInputType, &QComboBox::currentIndexChanged, this, [this] { cmbAnalogInputType_Click(); });
    connect(cmbAnalogJ, &QComboBox::currentIndexChanged, this, [this] { cmbAnalogJ_Click(); });
    connect(txtAnalogDescription, &QLineEdit::textChanged, this, [this] { txtAnalogDescription_Change(); });
    connect(txtAnalogInfo, &QLineEdit::textChanged, this, [this] { txtAnalogInfo_Change(); });
    connect(chkAnalogAlarmOnRunOnly, &QCheckBox::toggled, this, [this] { chkAnalogAlarmOnRunOnly_Click(); });
    connect(chkAnalogAdditionalRunDetection, &QCheckBox::toggled, this, [this] { chkAnalogAdditionalRunDetection_Click(); });
    connect(chkAnalogDoubleScale, &QCheckBox::toggled, this, [this] { chkAnalogDoubleScale_Click(); });
    txtAnalogDescription->installEventFilter(this);
    cmbAnalogJ->installEventFilter(this);

    for (int i = 0; i < 3; ++i) {
        Float* box = numAnalogLimit[i];
        connect(box, &Float::BeforeChange, this, [this, i](float old) { numAnalogLimit_BeforeChange(i, old); });
        connect(box, &Float::Change, this, [this, i] { numAnalogLimit_Change(i); });
        connect(box, &Float::ErrorValue, this, [this, i] { numAnalogLimit_ErrorValue(i); });
        pagecommon::ClearRangeMessageWhenValid(box);
    }
    for (int i = 0; i < 2; ++i) {
        Float* box = numAnalogLimitSetpoint[i];
        connect(box, &Float::BeforeChange, this, [this, i](float old) { numAnalogLimitSetpoint_BeforeChange(i, old); });
        connect(box, &Float::Change, this, [this, i] { numAnalogLimitSetpoint_Change(i); });
        connect(box, &Float::ErrorValue, this, [this, i] { numAnalogLimitSetpoint_ErrorValue(i); });
        pagecommon::ClearRangeMessageWhenValid(
            box, [this] { return numAnalogLimitSetpoint[1]->Value() >= numAnalogLimitSetpoint[0]->Value(); });
        Number* rpm = numAnalogSetpointRPM[i];
        connect(rpm, &Number::Change, this, [this, i] { numAnalogSetpointRPM_Change(i); });
        connect(rpm, &Number::ErrorValue, this, [this, i] { numAnalogSetpointRPM_ErrorValue(i); });
        pagecommon::ClearRangeMessageWhenValid(
            rpm, [this] { return numAnalogSetpointRPM[0]->Value() <= numAnalogSetpointRPM[1]->Value(); });
    }
    connect(numAnalogSensorMin, &Float::BeforeChange, this, [this](float old) { numAnalogSensorMin_BeforeChange(old); });
    connect(numAnalogSensorMax, &Float::BeforeChange, this, [this](float old) { numAnalogSensorMax_BeforeChange(old); });
    connect(numAnalogSensorMin, &Float::Change, this, [this] { numAnalogSensorMin_Change(); });
    connect(numAnalogSensorMax, &Float::Change, this, [this] { numAnalogSensorMax_Change(); });
    connect(numAnalogSensorMin, &Float::ErrorValue, this, [this] { numAnalogSensorMin_ErrorValue(); });
    connect(numAnalogSensorMax, &Float::ErrorValue, this, [this] { numAnalogSensorMax_ErrorValue(); });
    for (Float* box : {numAnalogSensorMin, numAnalogSensorMax})
        pagecommon::ClearRangeMessageWhenValid(box);
    connect(numAnalogInitialDelay, &Number::Change, this, [this] { numAnalogInitialDelay_Change(); });
    connect(numAnalogAlarmDelay, &Number::Change, this, [this] { numAnalogAlarmDelay_Change(); });

    connect(graRPMDependentAlarm, &TarnGraph::DblClick, this, [this] { graRPMDependentAlarm_DblClick(); });
    connect(conAnalogActionType, &Container::ChildrenEnabledChange, this,
            [this](bool enabled) { conAnalogActionType_ChildrenEnabledChange(enabled); });
    connect(conAnalogInitialDelay, &Container::ChildrenEnabledChange, this,
            [this](bool enabled) { conAnalogInitialDelay_ChildrenEnabledChange(enabled); });
}

bool AnalogInPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtAnalogDescription) {
        if (event->type() == QEvent::FocusIn) {
            // Select the whole text once the focus change is complete.
            QMetaObject::invokeMethod(txtAnalogDescription, &QLineEdit::selectAll, Qt::QueuedConnection);
        } else if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (!key->text().isEmpty() && key->text().at(0).isPrint()) {
                QChar ch = key->text().at(0);
                txtAnalogDescription_KeyPress(ch);
                if (ch.isNull())
                    return true;
                if (ch != key->text().at(0)) {
                    txtAnalogDescription->insert(QString(ch));
                    return true;
                }
            }
        }
    } else if (watched == cmbAnalogJ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            cmbAnalogJ_KeyDown(13);
    }
    return QWidget::eventFilter(watched, event);
}

// ---- AnalogPageApi ----

void AnalogInPage::SetAnalogDefaults()
{
    if (XelObject* setup = Setup())
        defaultsetup::SetAnalogDefaults(*setup);
}

bool AnalogInPage::ValidateAnalog(int mode) { return ValidateAnalogSilent(mode != 0); }

void AnalogInPage::UpdateAnalogListItem(int index)
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    XelAnalogIn* input = setup->AnalogIn()->Item(pagecommon::ItemKey(index));
    QTreeWidgetItem* row = pagecommon::RowByKey(lvwAnalog, pagecommon::ItemKey(index));
    if (input && row)
        UpdateAnalogListItem(row, input);
}

void AnalogInPage::ShowSelectedAnalogInput()
{
    PlaceActionTypeGroup();
    if (QTreeWidgetItem* row = SelectedRow())
        ShowAnalogChannel(row);
    UpdateAnalogCount();
}

void AnalogInPage::SetDetailsEnabled(bool enabled)
{
    conAnalogPID->SetChildrenEnabled(enabled);
    conAnalog->SetChildrenEnabled(enabled);
    if (!enabled)
        picActionText[2]->setVisible(false);
}

void AnalogInPage::SetSensorRangeLocked(bool locked)
{
    numAnalogSensorMin->SetLocked(locked);
    numAnalogSensorMax->SetLocked(locked);
}

int AnalogInPage::AnalogPictureIndex(int index)
{
    XelObject* setup = Setup();
    XelAnalogIn* input = setup ? setup->AnalogIn()->Item(pagecommon::ItemKey(index)) : nullptr;
    return input ? modAnalog::StatePicture(*input) : 0;
}

void AnalogInPage::LimitUnitsText(int length)
{
    cmbAnalogUnits->lineEdit()->setMaxLength(length > 0 ? length : 32767);
}

void AnalogInPage::SetActiveCheckEnabled(bool enabled) { chkAnalogActive->setEnabled(enabled); }

// ---- helpers ----

XelObject* AnalogInPage::Setup() const { return m_state.XelObject(); }

QTreeWidgetItem* AnalogInPage::SelectedRow() const
{
    QTreeWidgetItem* row = lvwAnalog->currentItem();
    return row && row->isSelected() ? row : nullptr;
}

XelAnalogIn* AnalogInPage::InputOfRow(QTreeWidgetItem* row) const
{
    XelObject* setup = Setup();
    if (!row || !setup)
        return nullptr;
    return setup->AnalogIn()->Item(pagecommon::RowKey(row));
}

XelAnalogIn* AnalogInPage::SelectedInput() const { return InputOfRow(SelectedRow()); }

XelAnalogIn* AnalogInPage::InputToStore() const { return m_showing ? nullptr : SelectedInput(); }

int AnalogInPage::RowPosition(QTreeWidgetItem* row) const
{
    return row ? lvwAnalog->indexOfTopLevelItem(row) + 1 : 0;
}

bool AnalogInPage::ShiftOrExpert() const { return pagecommon::ShiftHeld() || m_state.ExpertMode; }

void AnalogInPage::Beep() { platform::MessagePresenter::Instance().Beep(); }

double AnalogInPage::LimitOffset(const XelAnalogIn& input) { return modAnalog::ParameterOffset(m_state.ADO, input); }

void AnalogInPage::ClassifiedRefresh()
{
    if (m_state.mainPage) {
        m_state.mainPage->UpdateClassifiedInfo();
        m_state.mainPage->UpdateClassifiedCheck(false);
    }
}

void AnalogInPage::GhostRelays()
{
    if (m_state.relaysPage)
        m_state.relaysPage->GhostRelaysForAnalogInputs();
}

void AnalogInPage::ShowJumperMessage(qint16 setting)
{
    frmMessage message(window());
    message.SetDIPSetting(setting);
    RunModal(message);
}

void AnalogInPage::PlaceActionTypeGroup()
{
    conAnalogActionType->move(conAnalogActionType->x(),
                              Twips(pagecommon::ToTwips(conAnalogLimit->y() + conAnalogLimit->height()) + 30));
}

// ---- J1939/J1587 parameters ----

void AnalogInPage::FillAnalogJCombo() { m_j->FillAnalogJCombo(); }

void AnalogInPage::SelectAnalogJData(XelAnalogIn* input)
{
    // The flag is put back as it was, not merely cleared.
    const pagecommon::ScopedFlag opening(m_state.OpeningSetup, m_state.OpeningSetup);
    m_j->SelectAnalogJData(input, false);
}

void AnalogInPage::cmbAnalogInputType_Click()
{
    XelAnalogIn* input = SelectedInput();
    const qint32 before = input ? input->InputType() : -1;
    {
        // Showing an input never stores its type nor asks for the jumper.
        const pagecommon::ScopedFlag opening(m_state.OpeningSetup, m_state.OpeningSetup || m_showing);
        m_j->cmbAnalogInputType_Click();
    }
    // Relays that name this input follow its type at once.
    if (input && input->InputType() != before)
        GhostRelays();
}

void AnalogInPage::cmbAnalogJ_Click()
{
    if (m_state.OpeningSetup || m_showing || !SelectedInput())
        return;
    m_j->cmbAnalogJ_Click();
}

void AnalogInPage::cmbAnalogJ_KeyDown(int keyCode) { m_j->cmbAnalogJ_KeyDown(keyCode, 0); }

void AnalogInPage::ShowSensorRange(double min, double max)
{
    for (Float* box : {numAnalogSensorMin, numAnalogSensorMax}) {
        const QSignalBlocker blocker(box);
        const float value = float(box == numAnalogSensorMin ? min : max);
        if (value > box->Max())
            box->SetMax(value);
        if (value < box->Min())
            box->SetMin(value);
        box->SetValue(value);
    }
}
