#include "app/pages/general/MainPage.h"

#include "app/pages/MainState.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/general/MainWindowHelpers.h"
#include "app/pages/general/frmCANDiagnosis.h"
#include "app/pages/general/frmCANSettings.h"
#include "app/pages/general/frmIDNumber.h"
#include "app/pages/general/frmSecretSettings.h"
#include "app/services/clsADO.h"
#include "app/services/clsJData.h"
#include "app/setupdefaults/DefaultSetup.h"
#include "extra/extra.h"
#include "controls/Container.h"
#include "controls/Number.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "platform/MessagePresenter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QtMath>

using pagecommon::ScopedFlag;

namespace {

constexpr int kMinutesMax = 59;
constexpr int kHoursMax = 194;

QComboBox* MakeCombo(QWidget* parent, const char* name,
                     std::initializer_list<std::pair<const char*, int>> items = {})
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    for (const auto& item : items)
        combo->addItem(QString::fromUtf8(item.first), item.second);
    combo->setCurrentIndex(-1);
    return combo;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption)
{
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption)
{
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// A control the page hides and shows keeps its room in the layout, so the rows around it never
// move under the pointer.
void KeepRoomWhenHidden(QWidget* w)
{
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
}

// Room for six lines of a mode description in the box's font (the longest has five, one of
// them long) whichever mode is chosen; a longer text scrolls.
void FixDescriptionHeight(QPlainTextEdit* text)
{
    constexpr int kLines = 6;
    const QMargins frame = text->contentsMargins();
    const int margin = qCeil(text->document()->documentMargin());
    text->setFixedHeight(kLines * text->fontMetrics().lineSpacing() + 2 * margin + frame.top() + frame.bottom());
}

} // namespace

MainPage::MainPage(MainState& state, QWidget* parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("MainPage"));
    BuildControls();
    ConnectHandlers();
}

MainPage::~MainPage()
{
    // The shared state must not keep pointers to what goes with the page.
    if (m_ownADO && m_state.ADO == m_ownADO.get())
        m_state.ADO = nullptr;
    if (m_ownJDataAnalog && m_state.JDataAnalog == m_ownJDataAnalog.get())
        m_state.JDataAnalog = nullptr;
    if (m_ownJDataDigital && m_state.JDataDigital == m_ownJDataDigital.get())
        m_state.JDataDigital = nullptr;
}

XelObject* MainPage::Setup() const
{
    XelObject* setup = m_state.XelObject();
    return setup && setup->Main() ? setup : nullptr;
}

bool MainPage::SetupLoading() const { return m_loading || m_state.OpeningSetup; }

void MainPage::BuildControls()
{
    auto* layout = new QGridLayout(this);

    fraMain = new QGroupBox(QStringLiteral("Main Operation Mode"), this);
    fraMain->setObjectName(QStringLiteral("fraMain"));
    auto* modeLayout = new QVBoxLayout(fraMain);
    cmbMainOperationMode = MakeCombo(fraMain, "cmbMainOperationMode",
                                     {{"Emergency", 3}, {"Auxiliary", 0}, {"Combined", 1}, {"Propulsion", 2}});
    txtMainDescription = new QPlainTextEdit(fraMain);
    txtMainDescription->setObjectName(QStringLiteral("txtMainDescription"));
    txtMainDescription->setReadOnly(true);
    FixDescriptionHeight(txtMainDescription);
    modeLayout->addWidget(cmbMainOperationMode);
    modeLayout->addWidget(txtMainDescription);
    layout->addWidget(fraMain, 0, 0, 1, 3);

    int row = 1;
    lblMainLanguage = MakeLabel(this, "lblMainLanguage", "Control Unit Language");
    cmbMainLanguage = MakeCombo(this, "cmbMainLanguage");
    layout->addWidget(lblMainLanguage, row, 0);
    layout->addWidget(cmbMainLanguage, row++, 1, 1, 2);

    lblMainLCDLightDelay = MakeLabel(this, "lblMainLCDLightDelay", "Display Light Delay");
    numMainLCDLightDelay = new Number(this);
    numMainLCDLightDelay->setObjectName(QStringLiteral("numMainLCDLightDelay"));
    numMainLCDLightDelay->SetMax(kHoursMax);
    cmbMainLCDLightScale = MakeCombo(this, "cmbMainLCDLightScale", {{"Minutes", 0}, {"Hours", 0}});
    layout->addWidget(lblMainLCDLightDelay, row, 0);
    layout->addWidget(numMainLCDLightDelay, row, 1);
    layout->addWidget(cmbMainLCDLightScale, row++, 2);
    for (QWidget* w : std::initializer_list<QWidget*>{lblMainLCDLightDelay, numMainLCDLightDelay, cmbMainLCDLightScale})
        KeepRoomWhenHidden(w);

    chkMainInvertLCDOnAlarm = MakeCheck(this, "chkMainInvertLCDOnAlarm", "Invert Display On Alarm");
    chkMainAckOnWarning = MakeCheck(this, "chkMainAckOnWarning", "Warning Requires Acknowledge");
    chkMainShutdownOverride = MakeCheck(this, "chkMainShutdownOverride", "Shutdown Override also overrides Overspeed");
    chkMainClassified = MakeCheck(this, "chkMainClassified", "Classifiable Project");
    chkMainClassified->setProperty("Tag", QStringLiteral("1"));
    chkMainCAN = MakeCheck(this, "chkMainCAN", "J1939 CAN / J1587 Support");
    for (QCheckBox* box : {chkMainInvertLCDOnAlarm, chkMainAckOnWarning, chkMainShutdownOverride,
                           chkMainClassified, chkMainCAN})
        layout->addWidget(box, row++, 0, 1, 3);

    conMainMID = new Container(this);
    conMainMID->setObjectName(QStringLiteral("conMainMID"));
    conMainMID->SetBorderStyle(Container::None);
    auto* midLayout = new QHBoxLayout(conMainMID);
    // The rows in a container line up with the check boxes above them and are no higher.
    midLayout->setContentsMargins(0, 0, 0, 0);
    lblMainMID = MakeLabel(conMainMID, "lblMainMID", "MID %1");
    lblMainMID->setToolTip(QStringLiteral("Control Unit MID"));
    cmdMainMIDChange = MakeButton(conMainMID, "cmdMainMIDChange", "Change...");
    midLayout->addWidget(lblMainMID);
    midLayout->addSpacing(pagecommon::Twips(120));
    midLayout->addWidget(cmdMainMIDChange);
    midLayout->addStretch();
    KeepRoomWhenHidden(conMainMID);
    conMainMID->setVisible(false);
    layout->addWidget(conMainMID, row++, 0, 1, 3);

    conMainCANDiagnosis = new Container(this);
    conMainCANDiagnosis->setObjectName(QStringLiteral("conMainCANDiagnosis"));
    conMainCANDiagnosis->SetBorderStyle(Container::None);
    auto* diagLayout = new QHBoxLayout(conMainCANDiagnosis);
    diagLayout->setContentsMargins(0, 0, 0, 0);
    chkMainDiagnostics = MakeCheck(conMainCANDiagnosis, "chkMainDiagnostics", "Enable Diagnostic");
    cmdMainCANDiagnosis = MakeButton(conMainCANDiagnosis, "cmdMainCANDiagnosis", "Diagnostic...");
    KeepRoomWhenHidden(cmdMainCANDiagnosis);
    cmdMainCANDiagnosis->setVisible(false);
    diagLayout->addWidget(chkMainDiagnostics);
    diagLayout->addWidget(cmdMainCANDiagnosis);
    diagLayout->addStretch();
    layout->addWidget(conMainCANDiagnosis, row++, 0, 1, 3);

    // The Change button follows the label's text, so the two sit without a layout.
    auto* idHolder = new QWidget(this);
    lblMainComliID = MakeLabel(idHolder, "lblMainComliID", "ID %1");
    lblMainComliID->setToolTip(QStringLiteral("Control Unit ID number"));
    cmdMainComliIDChange = MakeButton(idHolder, "cmdMainComliIDChange", "Change...");
    idHolder->setMinimumHeight(cmdMainComliIDChange->sizeHint().height());
    MoveFollowingButton(lblMainComliID, cmdMainComliIDChange);
    layout->addWidget(idHolder, row++, 0, 1, 3);

    lblMainEngine = MakeLabel(this, "lblMainEngine", "Engine Manufacturer");
    cmbMainEngineType = MakeCombo(this, "cmbMainEngineType");
    layout->addWidget(lblMainEngine, row, 0);
    layout->addWidget(cmbMainEngineType, row++, 1, 1, 2);

    lblMainEngineHours = MakeLabel(this, "lblMainEngineHours", "Total Engine Hours");
    cmbMainEngineHours = MakeCombo(this, "cmbMainEngineHours",
                                   {{"Local", 0}, {"Read from CAN", 1}, {"Read from J1587", 2}});
    layout->addWidget(lblMainEngineHours, row, 0);
    layout->addWidget(cmbMainEngineHours, row++, 1, 1, 2);

    lblMainOutput = MakeLabel(this, "lblMainOutput", "Port P3 Functionality");
    cmbMainOutput = MakeCombo(this, "cmbMainOutput", {{"Communication", 0}, {"Log To Printer", 1}});
    layout->addWidget(lblMainOutput, row, 0);
    layout->addWidget(cmbMainOutput, row++, 1, 1, 2);

    txtMainFirmware = new QLineEdit(this);
    txtMainFirmware->setObjectName(QStringLiteral("txtMainFirmware"));
    txtMainFirmware->setReadOnly(true);
    layout->addWidget(txtMainFirmware, row++, 0, 1, 3);
    layout->setRowStretch(row, 1);
}

void MainPage::ConnectHandlers()
{
    connect(cmbMainOperationMode, &QComboBox::currentIndexChanged, this, [this] { OnOperationModeChanged(); });
    connect(chkMainCAN, &QCheckBox::toggled, this, [this](bool on) { OnCANToggled(on); });
    connect(chkMainClassified, &QCheckBox::toggled, this, [this](bool on) { OnClassifiedToggled(on); });
    connect(cmbMainLCDLightScale, &QComboBox::currentIndexChanged, this, [this] { OnLCDLightScaleChanged(); });
    connect(numMainLCDLightDelay, &Number::Change, this, [this] { OnLCDLightDelayChanged(); });
    connect(cmbMainOutput, &QComboBox::currentIndexChanged, this, [this] { OnOutputChanged(); });
    connect(chkMainDiagnostics, &QCheckBox::toggled, this, [this] { OnDiagnosticsToggled(); });
    connect(cmbMainEngineType, &QComboBox::currentIndexChanged, this, [this] { OnEngineTypeChanged(); });
    connect(cmbMainEngineHours, &QComboBox::currentIndexChanged, this, [this] { OnEngineHoursChanged(); });
    connect(cmbMainLanguage, &QComboBox::currentIndexChanged, this, [this] { StoreCurrent(); });
    connect(chkMainInvertLCDOnAlarm, &QCheckBox::toggled, this, [this] { StoreCurrent(); });
    connect(chkMainAckOnWarning, &QCheckBox::toggled, this, [this](bool on) {
        if (XelObject* setup = Setup(); setup && !SetupLoading())
            setup->Main()->SetAckOnWarning(on);
    });
    connect(chkMainShutdownOverride, &QCheckBox::toggled, this, [this](bool on) {
        if (XelObject* setup = Setup(); setup && !SetupLoading())
            setup->Main()->SetShutdownOverride(on);
    });
    connect(cmdMainComliIDChange, &QPushButton::clicked, this, [this] { OpenIDNumber(); });
    connect(cmdMainMIDChange, &QPushButton::clicked, this, [this] { OpenCANSettings(); });
    connect(cmdMainCANDiagnosis, &QPushButton::clicked, this, [this] { OpenCANDiagnosis(); });
}

// ---- start-up lists ------------------------------------------------------------------

bool MainPage::InitDatabaseCombos()
{
    if (!m_state.ADO) {
        m_ownADO = std::make_unique<clsADO>();
        m_state.ADO = m_ownADO.get();
    }
    bool ok = m_state.ADO->IsOpen();
    if (!ok)
        m_state.ADO->InitDatabase(QString(), ok);
    if (!ok) {
        extra::LangMsgBox(97, platform::MsgStyle::Critical);
        return false;
    }
    if (m_state.standbyPage)
        m_state.standbyPage->FillFuelConsumptionCombo();
    ScopedFlag loading(m_loading);
    cmbMainEngineType->clear();
    m_state.ADO->FillEngineManufacturerCombo(cmbMainEngineType);
    cmbMainEngineType->setCurrentIndex(-1);
    return true;
}

void MainPage::CreateJDataObjects()
{
    if (!m_state.JDataAnalog) {
        m_ownJDataAnalog = std::make_unique<clsJData>();
        m_state.JDataAnalog = m_ownJDataAnalog.get();
    }
    if (!m_state.JDataDigital) {
        m_ownJDataDigital = std::make_unique<clsJData>();
        m_state.JDataDigital = m_ownJDataDigital.get();
    }
}

void MainPage::SetLanguageList(const QStringList& names)
{
    ScopedFlag loading(m_loading);
    cmbMainLanguage->clear();
    cmbMainLanguage->addItems(names);
    cmbMainLanguage->setCurrentIndex(-1);
}

void MainPage::SelectDefaultLCDLightScale()
{
    ScopedFlag loading(m_loading);
    cmbMainLCDLightScale->setCurrentIndex(1);
}

// ---- page pattern ---------------------------------------------------------------------

void MainPage::SetMainDefaults()
{
    if (XelObject* setup = Setup())
        defaultsetup::SetMainDefaults(*setup);
}

void MainPage::InitMainControls()
{
    // The check box below runs its handler, which edits the Battery and Speed Sensor lists;
    // those pages guard their own stores while the lists change.
    ScopedFlag loading(m_loading);
    numMainLCDLightDelay->SetMin(1);
    {
        const QSignalBlocker block(chkMainCAN);
        chkMainCAN->setChecked(false);
    }
    OnCANToggled(false);
    cmbMainEngineType->setCurrentIndex(cmbMainEngineType->count() > 0 ? 0 : -1);
    chkMainClassified->setChecked(true);
    chkMainAckOnWarning->setChecked(false);
    cmbMainOutput->setCurrentIndex(0);
    cmbMainEngineHours->setCurrentIndex(0);
}

void MainPage::LoadMain()
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    m_userChangedClassified = false;
    m_classifiedBlockKnown = false;
    m_classifiedNewlyBlocked = false;
    // Showing a setup is no edit: the other pages change their lists but store nothing.
    ScopedFlag showing(m_state.Loading);
    InitMainControls();
    ShowMain(*setup->Main());
    txtMainFirmware->setText(FormatLastKnownStatus(*setup));
}

void MainPage::ShowMain(XelMain& main)
{
    ScopedFlag loading(m_loading);
    const int light = main.LCDLight();

    {
        const QSignalBlocker block(cmbMainOperationMode);
        pagecommon::SelectByItemData(cmbMainOperationMode, main.OperationMode());
    }
    // The handler shapes the other pages for the mode even when the list already showed it.
    OnOperationModeChanged();

    const int language = main.Language();
    cmbMainLanguage->setCurrentIndex(language < cmbMainLanguage->count() ? language : -1);

    ShowLightDelay(light);

    chkMainInvertLCDOnAlarm->setChecked(main.InvertLCDOnAlarm());
    {
        const QSignalBlocker block(chkMainCAN);
        chkMainCAN->setChecked(main.CAN());
    }
    OnCANToggled(main.CAN());
    {
        const QSignalBlocker block(chkMainClassified);
        chkMainClassified->setChecked(main.Classified());
    }
    OnClassifiedToggled(main.Classified());
    chkMainAckOnWarning->setChecked(main.AckOnWarning());
    chkMainShutdownOverride->setChecked(main.ShutdownOverride());
    chkMainDiagnostics->setChecked(main.CANDiagnose());
    OnDiagnosticsToggled();

    pagecommon::SelectByItemData(cmbMainEngineType, main.EngineType());
    {
        const QSignalBlocker block(cmbMainOutput);
        cmbMainOutput->setCurrentIndex(main.PrinterOutput() ? 1 : 0);
    }
    OnOutputChanged();
    pagecommon::SelectByItemData(cmbMainEngineHours, main.EngineHours());

    const QString user = main.User();
    if (m_state.frame) {
        m_state.frame->SetPanelText(QStringLiteral("USER"), user + QStringLiteral("  "));
        m_state.frame->SetPanelVisible(QStringLiteral("USER"), !user.isEmpty());
    }
}

void MainPage::ShowLightDelay(int code)
{
    // Only 0 has no delay to show. Code 1 shows 0 minutes, which validation rejects, so the
    // user can still set a delay for such a setup.
    const bool inUse = code > 0;
    m_lightDelayInUse = inUse;
    m_shownLightCode = code;
    lblMainLCDLightDelay->setVisible(inUse);
    cmbMainLCDLightScale->setVisible(inUse);
    cmbMainLCDLightScale->setEnabled(inUse);
    numMainLCDLightDelay->setVisible(inUse);
    numMainLCDLightDelay->setEnabled(inUse);
    if (!inUse)
        return;
    const bool hours = code >= 61;
    const int value = hours ? code - 60 : code - 1;
    {
        const QSignalBlocker block(cmbMainLCDLightScale);
        cmbMainLCDLightScale->setCurrentIndex(hours ? 1 : 0);
    }
    // A stored code beyond the entry range is shown as it is; validation reports it.
    numMainLCDLightDelay->SetMin(1);
    numMainLCDLightDelay->SetMax(qMax(hours ? kHoursMax : kMinutesMax, value));
    numMainLCDLightDelay->SetValue(value);
}

void MainPage::StoreMain(XelMain& main)
{
    if (m_loading)
        return;
    // Each field on its own: a list without a choice leaves its field as it was.
    const int mode = pagecommon::CurrentItemData(cmbMainOperationMode, -1);
    if (mode >= 0)
        main.SetOperationMode(mode);
    if (cmbMainLanguage->currentIndex() >= 0)
        main.SetLanguage(cmbMainLanguage->currentIndex());
    main.SetInvertLCDOnAlarm(chkMainInvertLCDOnAlarm->isChecked());
    main.SetCAN(chkMainCAN->isChecked());
    main.SetClassified(chkMainClassified->isChecked());
    main.SetAckOnWarning(chkMainAckOnWarning->isChecked());
    main.SetCANDiagnose(chkMainDiagnostics->isChecked());
    if (cmbMainEngineType->currentIndex() >= 0)
        main.SetEngineType(cmbMainEngineType->currentData().toInt());
    if (cmbMainOutput->currentIndex() >= 0)
        main.SetPrinterOutput(cmbMainOutput->currentIndex() == 1);
}

void MainPage::StoreCurrent()
{
    if (SetupLoading())
        return;
    if (XelObject* setup = Setup())
        StoreMain(*setup->Main());
}

bool MainPage::ValidateMain()
{
    if (!m_lightDelayInUse)
        return true;
    const int value = numMainLCDLightDelay->Value();
    const bool minutes = cmbMainLCDLightScale->currentIndex() == 0;
    const int max = minutes ? kMinutesMax : kHoursMax;
    if (value >= 1 && value <= max)
        return true;
    // The code as the setup holds it (from a file or a unit) is not the user's entry.
    if (value != 0 && value + (minutes ? 1 : 60) == m_shownLightCode)
        return true;
    ShowLightDelayMessage(minutes ? 812 : 813, 1, max);
    return false;
}

void MainPage::ShowLightDelayMessage(int id, int min, int max)
{
    // The language library has no text under these numbers; the wording is the program's own.
    const QVariantList args{min, max};
    if (extra::LangStringExists(quint16(id))) {
        extra::LangMsgBox(quint16(id), platform::MsgStyle::Exclamation, args);
        return;
    }
    const QString text = QStringLiteral("Display Light Delay must be between %1 and %2 %3!")
                             .arg(min)
                             .arg(max)
                             .arg(id == 812 ? QStringLiteral("minutes") : QStringLiteral("hours"));
    platform::MessagePresenter::Instance().Show(text, platform::MsgStyle::Exclamation, QStringLiteral("Quarno Q2"));
}

QString MainPage::FormatLastKnownStatus()
{
    XelObject* setup = Setup();
    return setup ? FormatLastKnownStatus(*setup) : QString();
}

QString MainPage::FormatLastKnownStatus(XelObject& setup)
{
    if (!setup.Main())
        return QString();
    const XelMain& main = *setup.Main();
    const QString firmware = extra::StripNull(main.Firmware(), false).trimmed();
    if (firmware.isEmpty())
        return QString();
    const QLocale locale;
    const QDateTime when = main.FirmwareDate();
    const QString date = locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + when.time().toString(QStringLiteral("HH:mm:ss"));
    return QStringLiteral("Last known status: At ") + date
        + (main.FirmwareDirection() == 0 ? QStringLiteral(" received from") : QStringLiteral(" transmitted to"))
        + QStringLiteral(" ECX 510 Q")
        + (extra::CompareVersions(firmware, QStringLiteral("4")) >= 0 ? QStringLiteral("2 ") : QStringLiteral("1 "))
        + QStringLiteral("version ") + firmware;
}

void MainPage::SetLastKnownStatusText(const QString& text) { txtMainFirmware->setText(text); }

QString MainPage::LanguageText() { return cmbMainLanguage->currentText(); }

QString MainPage::OperationModeText() { return cmbMainOperationMode->currentText(); }

// ---- small handlers -------------------------------------------------------------------

void MainPage::OnLCDLightScaleChanged()
{
    const int scale = cmbMainLCDLightScale->currentIndex();
    if (scale < 0)
        return;
    const int max = scale == 0 ? kMinutesMax : kHoursMax;
    // The delay is brought into the new range before it is stored.
    const int value = qBound(1, numMainLCDLightDelay->Value(), max);
    {
        const QSignalBlocker block(numMainLCDLightDelay);
        numMainLCDLightDelay->SetMin(1);
        numMainLCDLightDelay->SetMax(qMax(max, numMainLCDLightDelay->Value()));
        numMainLCDLightDelay->SetValue(value);
        numMainLCDLightDelay->SetMax(max);
    }
    if (XelObject* setup = Setup(); setup && !SetupLoading())
        setup->Main()->SetLCDLight(value + (scale == 0 ? 1 : 60));
}

void MainPage::OnLCDLightDelayChanged()
{
    XelObject* setup = Setup();
    if (!setup || SetupLoading())
        return;
    const int delay = numMainLCDLightDelay->Value();
    if (delay == 0)
        setup->Main()->SetLCDLight(1);
    else
        setup->Main()->SetLCDLight(delay + (cmbMainLCDLightScale->currentIndex() == 1 ? 60 : 1));
}

void MainPage::OnOutputChanged()
{
    const int index = cmbMainOutput->currentIndex();
    if (index < 0)
        return;
    XelObject* setup = Setup();
    if (setup && !SetupLoading())
        setup->Main()->SetPrinterOutput(index == 1);
    if (index == 1) {
        lblMainComliID->setVisible(false);
        cmdMainComliIDChange->setVisible(false);
    } else {
        UpdateIDNumberLabel();
        lblMainComliID->setVisible(true);
        cmdMainComliIDChange->setVisible(true);
    }
}

void MainPage::OnDiagnosticsToggled()
{
    // Only the button follows the box; the box itself stays usable, so it can be checked again.
    const bool show = chkMainDiagnostics->isChecked();
    cmdMainCANDiagnosis->setVisible(show);
    cmdMainCANDiagnosis->setEnabled(show);
    StoreCurrent();
}

void MainPage::OnEngineTypeChanged()
{
    XelObject* setup = Setup();
    if (!setup || SetupLoading() || cmbMainEngineType->currentIndex() < 0)
        return;
    setup->Main()->SetEngineType(cmbMainEngineType->currentData().toInt());
}

void MainPage::OnEngineHoursChanged()
{
    XelObject* setup = Setup();
    if (!setup || SetupLoading())
        return;
    const int index = cmbMainEngineHours->currentIndex();
    setup->Main()->SetEngineHours(index < 0 ? 0 : cmbMainEngineHours->currentData().toInt());
}

// ---- identity labels and dialogs ------------------------------------------------------

void MainPage::MoveFollowingButton(QLabel* label, QPushButton* button)
{
    label->adjustSize();
    button->adjustSize();
    button->move(label->x() + label->width() + pagecommon::Twips(120), button->y());
    // The caption sits on the button's middle line, not on its top edge.
    label->move(label->x(), button->y() + (button->height() - label->height()) / 2);
}

void MainPage::UpdateIDNumberLabel()
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    lblMainComliID->setText(QStringLiteral("ID %1").arg(setup->Main()->IDNumber()));
    MoveFollowingButton(lblMainComliID, cmdMainComliIDChange);
}

void MainPage::UpdateMIDLabel()
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    lblMainMID->setText(QStringLiteral("MID %1").arg(setup->Main()->CANNumber()));
    lblMainMID->adjustSize();
}

void MainPage::ShowSecretSettings()
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    frmSecretSettings dialog(m_state.frame ? m_state.frame->MainWindow() : this);
    if (m_state.frame)
        dialog.setWindowIcon(m_state.frame->WindowIcon());
    dialog.SetXelObject(setup);
    dialog.exec();
}

void MainPage::SetClassifiedTag(const QString& tag) { chkMainClassified->setProperty("Tag", tag); }

void MainPage::OpenIDNumber()
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    frmIDNumber dialog(m_state.frame ? m_state.frame->MainWindow() : this);
    if (m_state.frame)
        dialog.setWindowIcon(m_state.frame->WindowIcon());
    dialog.SetXelObject(setup);
    dialog.exec();
    UpdateIDNumberLabel();
}

void MainPage::OpenCANSettings()
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    frmCANSettings dialog(m_state.frame ? m_state.frame->MainWindow() : this);
    if (m_state.frame)
        dialog.setWindowIcon(m_state.frame->WindowIcon());
    dialog.SetXelObject(setup);
    dialog.exec();
    UpdateMIDLabel();
}

void MainPage::OpenCANDiagnosis()
{
    XelObject* setup = Setup();
    if (!setup)
        return;
    frmCANDiagnosis dialog(m_state.frame ? m_state.frame->MainWindow() : this);
    if (m_state.frame)
        dialog.setWindowIcon(m_state.frame->WindowIcon());
    dialog.SetXelObject(setup);
    dialog.exec();
}

void MainPage::SetPanelVisible(const QString& key, bool visible)
{
    if (m_state.frame)
        m_state.frame->SetPanelVisible(key, visible);
}
