#include "app/unitops/frmComm.h"

#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/pages/common/PageCommon.h"
#include "app/services/clsADO.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "app/unitops/SetupLog.h"
#include "app/unitops/UnitCommandStop.h"
#include "app/unitops/UnitOps.h"
#include "app/unitops/UnitRegisters.h"
#include "controls/Container.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelRelay.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSpeedRelay.h"
#include "platform/MessagePresenter.h"
#include "platform/StopSignals.h"
#include "platform/SystemInfo.h"
#include "platform/TimeSource.h"
#include "seriallink/Comm.h"
#include "platform/DialogFrame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#ifndef QUARNO_VERSION_TEXT
#define QUARNO_VERSION_TEXT "0.0.0"
#endif

namespace {

const QString kProgramTitle = QStringLiteral("Quarno Q2");
const QString kNotRead = QStringLiteral("N/A");
constexpr qint16 kLinkRetries = 3;
constexpr qint16 kLinkTimeOut = 3;

// The three state marks: busy (an arrow), done (a tick), failed (a cross).
QVector<QIcon> StateMarks()
{
    static const QVector<QIcon> marks = [] {
        QVector<QIcon> icons;
        for (int kind = 0; kind < 3; ++kind) {
            QPixmap pm(16, 16);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            if (kind == 0) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0, 90, 200));
                const QPointF arrow[3] = {{4, 3}, {13, 8}, {4, 13}};
                p.drawPolygon(arrow, 3);
            } else if (kind == 1) {
                p.setPen(QPen(QColor(0, 140, 0), 2.5));
                p.drawLine(QPointF(3, 8), QPointF(7, 12));
                p.drawLine(QPointF(7, 12), QPointF(13, 3));
            } else {
                p.setPen(QPen(QColor(200, 0, 0), 2.5));
                p.drawLine(QPointF(3, 3), QPointF(13, 13));
                p.drawLine(QPointF(13, 3), QPointF(3, 13));
            }
            p.end();
            icons.append(QIcon(pm));
        }
        return icons;
    }();
    return marks;
}

QString CountLine(int n, const QString& none, const QString& one, const QString& many)
{
    if (n == 0)
        return none;
    return QString::number(n) + (n == 1 ? one : many);
}

// A unit command of the link; an argument error counts as a failed request.
template <class F>
bool Guarded(F f)
{
    try {
        return f();
    } catch (const CommException&) {
        return false;
    }
}

} // namespace

frmComm::frmComm(MainState& state, QWidget* parent)
    : QDialog(parent)
    , m_state(state)
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmComm"));
    setModal(true);
    if (m_state.frame)
        setWindowIcon(m_state.frame->WindowIcon());
    imlComm = StateMarks();

    auto* layout = new QVBoxLayout(this);
    txtCommSummary = new QPlainTextEdit(this);
    txtCommSummary->setObjectName(QStringLiteral("txtCommSummary"));
    txtCommSummary->setReadOnly(true);
    txtCommSummary->setMinimumHeight(pagecommon::Twips(1800));
    layout->addWidget(txtCommSummary);

    auto* conComm = new Container(this);
    conComm->setObjectName(QStringLiteral("conComm"));
    auto* grid = new QGridLayout(conComm);
    const QStringList actions{QStringLiteral("Opening Communication Port"), QStringLiteral("Connecting to Control Unit"),
                              QStringLiteral("Transmitting/Receiving Data..."), QStringLiteral("Verifying Data..."),
                              QStringLiteral("Completing")};
    for (int i = 0; i < actions.size(); ++i) {
        auto* pic = new QLabel(conComm);
        pic->setObjectName(QStringLiteral("picCheck_%1").arg(i));
        pic->setFixedSize(16, 16);
        auto* label = new QLabel(actions[i], conComm);
        label->setObjectName(QStringLiteral("lblAction_%1").arg(i));
        grid->addWidget(pic, i, 0);
        grid->addWidget(label, i, 1);
        picCheck.append(pic);
        lblAction.append(label);
    }
    grid->setColumnStretch(1, 1);
    layout->addWidget(conComm);

    lblComm = new QLabel(QStringLiteral("Please wait for communication to end..."), this);
    lblComm->setObjectName(QStringLiteral("lblComm"));
    lblComm->hide();
    layout->addWidget(lblComm);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    // F1 opens the topic of the direction, during the transfer too.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { modDiv::ShowHelp(m_helpContext); });

    SetCommType(0);
    // A stop while a verified transmit's result is shown: the transmit goes on to record the
    // transfer and ends the run, nobody is asked.
    connect(&platform::StopSignals::Instance(), &platform::StopSignals::Stop, this, [this] {
        if (m_finished && unitops::StopRequested() && isVisible())
            accept();
    }, Qt::QueuedConnection);
}

frmComm::~frmComm()
{
    // Never leave the unit unlocked or the port open, even when torn down mid-way.
    ReleaseLink();
}

void frmComm::SetXelObject(::XelObject* setup)
{
    m_setup = setup;
    const QString version = setup ? setup->Version() : QString();
    const QString program = QStringLiteral(QUARNO_VERSION_TEXT);
    QString line = QStringLiteral("Quarno Version: ") + version;
    if (program != version)
        line = QStringLiteral("Quarno Version: ") + program + QStringLiteral("   (Engine: ") + version + QLatin1Char(')');
    txtCommSummary->setPlainText(line);
}

void frmComm::SetCommType(qint16 type)
{
    m_commType = type;
    const QString text = type == 1 ? QStringLiteral("Receiving Data...") : QStringLiteral("Transmitting Data...");
    setWindowTitle(text);
    lblAction[TransferImage]->setText(text);
    m_helpContext = type == 1 ? 18 : 19;
}

int frmComm::SetupImageSize(const QString& firmware)
{
    if (extra::CompareVersions(firmware, QStringLiteral("4.6")) < 0)
        return 3072;
    if (extra::CompareVersions(firmware, QStringLiteral("4.20")) < 0)
        return 3076;
    if (extra::CompareVersions(firmware, QStringLiteral("4.34")) < 0)
        return 3080;
    return 3584;
}

int frmComm::StepState(int step) const
{
    if (step < 0 || step >= picCheck.size())
        return -1;
    const QVariant v = picCheck[step]->property("StepState");
    return v.isValid() ? v.toString().toInt() : -1;
}

void frmComm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_cancel = false;
    // One transfer per showing; activations after a message box start nothing.
    if (m_started)
        return;
    m_started = true;
    QTimer::singleShot(0, this, [this] { RunTransfer(); });
}

void frmComm::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!m_busy)
        m_started = false;
}

void frmComm::closeEvent(QCloseEvent* event)
{
    if (m_busy) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmComm::keyPressEvent(QKeyEvent* event)
{
    // Escape belongs to the Cancel button while a transfer runs; once idle the window has no
    // Cancel button, and Escape does nothing.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_busy)
            cmdOK_Click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmComm::reject()
{
    if (m_busy)
        return;
    QDialog::reject();
}

void frmComm::cmdOK_Click()
{
    if (m_busy) {
        lblComm->show();
        m_cancel = true;
        return;
    }
    accept();
}

void frmComm::RunTransfer()
{
    if (m_busy || !isVisible())
        return;
    if (m_commType == 1)
        LoadSetup();
    else
        SaveSetup();
}

void frmComm::Pause(int ms) { platform::TimeSource::Instance().Wait(ms); }

void frmComm::SetStepState(int step, int state)
{
    if (step < 0 || step >= picCheck.size())
        return;
    QLabel* pic = picCheck[step];
    pic->setProperty("StepState", QString::number(state));
    pic->clear();
    if (state >= 0 && state < imlComm.size())
        pic->setPixmap(imlComm[state].pixmap(16, 16));
    QFont f = lblAction[step]->font();
    f.setBold(state == Busy);
    lblAction[step]->setFont(f);
}

void frmComm::SetBusy(bool flag)
{
    m_busy = flag;
    cmdOK->setText(flag ? QStringLiteral("Cancel") : QStringLiteral("OK"));
}

void frmComm::AppendSummary(const QString& line)
{
    txtCommSummary->setPlainText(txtCommSummary->toPlainText() + QLatin1Char('\n') + line);
}

void frmComm::ShowFixedMessage(const QString& text, int style)
{
    platform::MessagePresenter::Instance().Show(text, style, kProgramTitle);
}

bool frmComm::FirmwareAgrees(const QString& firmware)
{
    if (m_expectedFirmware.isEmpty() || firmware == m_expectedFirmware)
        return true;
    AppendSummary(QStringLiteral("Firmware version changed: the setup was prepared for %1.").arg(m_expectedFirmware));
    ShowFixedMessage(QStringLiteral("The firmware version of the connected Control Unit (%1) is not the version the "
                                    "setup was prepared for (%2).\nNothing has been transmitted. Please transmit "
                                    "the setup again.")
                         .arg(firmware, m_expectedFirmware),
                     platform::MsgStyle::OKOnly | platform::MsgStyle::Exclamation);
    return false;
}

void frmComm::ReleaseLink()
{
    if (!m_comm)
        return;
    // A stop signal relocks whatever this transfer did, a receive too.
    const bool stopped = unitops::StopRequested();
    if (m_unlocked || stopped) {
        // After a request that went unanswered one try is enough: the unit is most likely gone.
        // Once a stop was asked the relock gets all its re-sends.
        if (m_comm->CommError() == 1 && !stopped)
            m_comm->SetRetries(0);
        m_relocking = true;
        const bool relocked =
            Guarded([this] { return m_comm->SetRegister(unitops::ServiceRegisters::WriteUnlockRegister, 0); });
        m_relocking = false;
        m_unlocked = false;
        unitops::NoteRelock(relocked);
    }
    m_comm->EndComm();
    m_comm.reset();
    // The last link closed after a stop ends the run.
    m_linkStop.reset();
}

void frmComm::StopBySignal()
{
    // The Cancel button's road, and the package on the wire is dropped too: the step fails and
    // the link relocks as it closes. A relock under way is left to run with all its re-sends.
    cmdOK_Click();
    if (!m_comm)
        return;
    if (m_relocking)
        m_comm->SetRetries(kLinkRetries);
    else
        m_comm->Cancel();
}

QString frmComm::FailureReason() const
{
    if (m_success)
        return QString();
    if (unitops::StopRequested())
        return unitops::StopReason();
    if (m_mismatch >= 0)
        return m_commType == 1
            ? QStringLiteral("the setup read twice from the Control Unit differed (register %1)").arg(m_mismatch)
            : QStringLiteral("the data read back from the Control Unit did not match what was sent (register %1 "
                             "differs)")
                  .arg(m_mismatch);
    for (int step = OpenLink; step <= CloseLink; ++step)
        if (StepState(step) == Failed)
            return QStringLiteral("the transfer stopped at \"%1\"").arg(lblAction[step]->text());
    return QString();
}

void frmComm::EndTransfer()
{
    ReleaseLink();
    SetBusy(false);
    lblComm->hide();
    Finish();
}

void frmComm::Finish()
{
    // The unit is locked again: a signal from here on is no longer this transfer's Cancel.
    unitops::WireWorkDone();
    m_finished = true;
    // Nobody is asked once a stop came: the window closes itself and the command ends.
    if (unitops::StopRequested() && isVisible())
        accept();
}

bool frmComm::StepOpenLink()
{
    SetStepState(OpenLink, Busy);
    platform::TimeSource::Instance().ProcessEvents();
    Pause(100);
    if (m_cancel || (m_comm && m_comm->Active())) {
        SetStepState(OpenLink, Failed);
        return false;
    }
    m_comm = std::make_unique<Comm>();
    m_linkStop.emplace([this] { StopBySignal(); });
    if (!unitops::ConfigureUnitLink(*m_comm, kLinkRetries, kLinkTimeOut)) {
        m_comm.reset();
        m_linkStop.reset();
        AppendSummary(QStringLiteral("No usable communication port is set."));
        SetStepState(OpenLink, Failed);
        return false;
    }
    m_comm->StartComm(false);
    if (m_firmware == kNotRead && UnitAnswers()) {
        // The unit is there but its version was not read: the size and image would be guesses.
        AppendSummary(QStringLiteral("The firmware version of the Control Unit could not be read."));
        ShowFixedMessage(QStringLiteral("The Control Unit answers, but its firmware version could not be read.\n"
                                        "Nothing has been transferred. Please check the connection and try again."),
                         platform::MsgStyle::OKOnly | platform::MsgStyle::Exclamation);
        ReleaseLink();
        SetStepState(OpenLink, Failed);
        return false;
    }
    SetStepState(OpenLink, Done);
    return true;
}

bool frmComm::UnitAnswers()
{
    // One try: without a unit the next step fails on its own.
    m_comm->SetRetries(0);
    qint32 value = 0;
    const bool answers =
        Guarded([&] { return m_comm->GetRegister(unitops::ServiceRegisters::FirmwareVersionRegister, value); });
    m_comm->SetRetries(kLinkRetries);
    return answers;
}

bool frmComm::StepCheckControlUnit(bool readOnly)
{
    using namespace unitops;
    SetStepState(CheckControlUnit, Busy);
    platform::TimeSource::Instance().ProcessEvents();
    bool ok = false;
    if (readOnly) {
        qint32 value = 0;
        ok = Guarded([&] { return m_comm->GetRegister(ServiceRegisters::WriteUnlockRegister, value); });
    } else {
        qint32 value = 0;
        m_unlocked = true; // from here on the unit is relocked on every exit
        unitops::NoteUnlock();
        if (Guarded([&] { return m_comm->SetRegister(ServiceRegisters::WriteUnlockRegister, WriteUnlockCode); })
            && Guarded([&] { return m_comm->GetRegister(ServiceRegisters::WriteUnlockRegister, value); })) {
            if (value == WriteUnlockCode) {
                Pause(50);
                ok = true;
            } else {
                qint32 probe = 0;
                if (Guarded([&] { return m_comm->SetRegister(ServiceRegisters::WriteUnlockRegister, Q3ProbeCode); })
                    && Guarded([&] { return m_comm->GetRegister(ServiceRegisters::WriteUnlockRegister, probe); })
                    && probe == Q3ProbeCode) {
                    ShowFixedMessage(QStringLiteral("Quarno Q2 will only work on Q1/Q2 Control Units.\nIt appears as "
                                                    "if you are connected to a Q3 Control Unit!"),
                                     platform::MsgStyle::OKOnly | platform::MsgStyle::Exclamation);
                } else {
                    Pause(50);
                }
            }
        }
    }
    if (!ok) {
        ReleaseLink();
        SetStepState(CheckControlUnit, Failed);
        return false;
    }
    SetStepState(CheckControlUnit, Done);
    return true;
}

bool frmComm::StepReceiveSetupImage(QVector<qint32>& words, const QString& firmware)
{
    SetStepState(TransferImage, Busy);
    const int count = SetupImageSize(firmware) / 2;
    const bool ok = Guarded([&] { return m_comm->GetRegistersEx(0, qint16(count), words); }) && words.size() == count;
    SetStepState(TransferImage, ok ? Done : Failed);
    return ok;
}

bool frmComm::StepTransmitSetupImage(QVector<qint32>& words, const QString& firmware)
{
    SetStepState(TransferImage, Busy);
    const int count = SetupImageSize(firmware) / 2;
    bool ok = words.size() >= count;
    if (ok) {
        words.resize(count);
        unitops::NoteSetupSent(unitops::SetupSent::Begun);
        ok = Guarded([&] { return m_comm->SetRegistersEx(0, words); });
        if (ok)
            unitops::NoteSetupSent(unitops::SetupSent::Written);
    }
    SetStepState(TransferImage, ok ? Done : Failed);
    return ok;
}

bool frmComm::StepVerifySetupImage(const QVector<qint32>& words)
{
    SetStepState(VerifySetupImage, Busy);
    QVector<qint32> back;
    if (!Guarded([&] { return m_comm->GetRegistersEx(0, qint16(words.size()), back); }) || back.size() != words.size()) {
        platform::MessagePresenter::Instance().Beep();
        SetStepState(VerifySetupImage, Failed);
        return false;
    }
    for (int i = 0; i < words.size(); ++i) {
        if (quint16(words[i]) != quint16(back[i])) {
            m_mismatch = i;
            SetStepState(VerifySetupImage, Failed);
            return false;
        }
    }
    SetStepState(VerifySetupImage, Done);
    return true;
}

bool frmComm::StepCloseLink(bool isReceive)
{
    SetStepState(CloseLink, Busy);
    platform::TimeSource::Instance().ProcessEvents();
    if (isReceive)
        Pause(50);
    // Relocks after a transmit; the result is not looked at.
    ReleaseLink();
    SetStepState(CloseLink, Done);
    return true;
}

// Shared start of both directions: busy, then the unit's version, which must agree with the
// version the command was checked for.
bool frmComm::BeginTransfer()
{
    m_success = false;
    m_finished = false;
    m_mismatch = -1;
    platform::TimeSource::Instance().ProcessEvents();
    SetBusy(true);
    platform::TimeSource::Instance().ProcessEvents();
    m_firmware = unitops::ReadUnitVersion(true);
    AppendSummary(QStringLiteral("Control Unit Version: ") + m_firmware);
    if (FirmwareAgrees(m_firmware))
        return true;
    SetStepState(OpenLink, Failed);
    return false;
}

void frmComm::LoadSetup()
{
    if (m_busy)
        return;
    pagecommon::WaitCursor wait;
    if (!BeginTransfer())
        return EndTransfer();
    if (m_state.DebugComm)
        ShowFixedMessage(QStringLiteral("Start Comm"), platform::MsgStyle::OKOnly);
    if (!m_cancel && !StepOpenLink())
        return EndTransfer();
    if (m_cancel) {
        SetStepState(CheckControlUnit, Failed);
        return EndTransfer();
    }
    if (!StepCheckControlUnit(true))
        return EndTransfer();

    QVector<qint32> words;
    if (m_cancel || !StepReceiveSetupImage(words, m_firmware))
        return EndTransfer();
    m_words = words;
    if (m_state.DebugComm)
        ShowFixedMessage(QStringLiteral("Setup loaded from ECX"), platform::MsgStyle::OKOnly);
    if (m_state.DebugInfo)
        unitops::SaveSetupLogFromComm(m_state, words);
    if (m_cancel || !StepVerifySetupImage(words))
        return EndTransfer();
    // A cancel asked for during the read-back: nothing is loaded, and the last step never runs.
    if (m_cancel)
        return EndTransfer();
    StepCloseLink(true);
    if (m_cancel)
        return EndTransfer();

    if (!m_setup || !m_setup->LoadSetup(words, m_firmware)) {
        AppendSummary(QStringLiteral("The data received could not be loaded into the setup."));
        return EndTransfer();
    }
    SetBusy(false);
    m_success = true;
    AppendSetupSummary();
    Finish();
}

void frmComm::SaveSetup()
{
    if (m_busy)
        return;
    pagecommon::WaitCursor wait;
    if (!BeginTransfer())
        return EndTransfer();
    if (!m_cancel && !StepOpenLink())
        return EndTransfer();
    if (m_cancel) {
        SetStepState(CheckControlUnit, Failed);
        return EndTransfer();
    }
    if (!StepCheckControlUnit(false)) {
        if (!m_cancel && unitops::DetectUnit() && !unitops::EngineIsStopped())
            extra::LangMsgBox(114, platform::MsgStyle::OKOnly | platform::MsgStyle::Information);
        return EndTransfer();
    }
    if (m_cancel)
        return EndTransfer();

    QVector<qint32> words;
    if (!m_setup || !m_setup->GetSetup(words) || !m_setup->SetupError().isEmpty()) {
        SetStepState(TransferImage, Failed);
        AppendSummary(m_setup && !m_setup->SetupError().isEmpty()
                          ? QStringLiteral("The setup holds a value the Control Unit cannot take: ") + m_setup->SetupError()
                          : QStringLiteral("No unit image has been built for this setup."));
        return EndTransfer();
    }
    if (m_state.DebugInfo)
        unitops::SaveSetupLogFromComm(m_state, words);
    if (!StepTransmitSetupImage(words, m_firmware))
        return EndTransfer();
    m_words = words;
    if (m_cancel)
        return EndTransfer();
    const bool verified = StepVerifySetupImage(words);
    if (verified)
        unitops::NoteSetupSent(unitops::SetupSent::Verified);
    // Once verified the unit holds the setup: a stop signal from here on only waits for the relock.
    const auto cancelled = [&] { return m_cancel && !(verified && unitops::StopRequested()); };
    if (cancelled())
        return EndTransfer();
    StepCloseLink(false);
    if (cancelled())
        return EndTransfer();
    if (!verified) {
        AppendSummary(QStringLiteral("Verification failed: the setup read back from the Control Unit differs from "
                                     "the setup transmitted."));
        return EndTransfer();
    }
    AppendSetupSummary();
    if (XelMain* main = m_setup->Main())
        main->RecordTransfer(MainFirmwareDirection::ToECX, m_firmware, platform::SystemInfo::Instance().Now());
    SetBusy(false);
    m_success = true;
    Finish();
}

void frmComm::AppendSetupSummary()
{
    if (!m_setup || !m_setup->Main())
        return;
    XelObject& s = *m_setup;
    static const QStringList modes{QStringLiteral("Operation Mode Auxiliary"), QStringLiteral("Operation Mode Combi"),
                                   QStringLiteral("Operation Mode Propulsion"),
                                   QStringLiteral("Operation Mode Emergency")};
    const qint32 mode = s.Main()->OperationMode();
    if (mode >= 0 && mode < modes.size())
        AppendSummary(modes[mode]);
    if (s.Main()->CAN())
        AppendSummary(QStringLiteral("J1939 CAN / J1587 Support"));
    if (s.Main()->AckOnWarning())
        AppendSummary(QStringLiteral("Warning Requires Acknowledge"));
    const QString maker = m_state.ADO ? m_state.ADO->GetManufacturerFromID(s.Main()->EngineType()) : QString();
    AppendSummary(QStringLiteral(" Engine Manufacturer ") + maker);

    int switches = 0, analogs = 0, speedRelays = 0, relays = 0;
    if (s.DigitalIn())
        for (XelDigitalIn* d : s.DigitalIn()->NewEnum())
            switches += d->Active() ? 1 : 0;
    if (s.AnalogIn())
        for (XelAnalogIn* a : s.AnalogIn()->NewEnum())
            analogs += a->Active() ? 1 : 0;
    if (s.SpeedRelays())
        for (XelSpeedRelay* r : s.SpeedRelays()->NewEnum())
            speedRelays += r->InUse() ? 1 : 0;
    for (cRelay* list : {s.Relay(), s.RelayNew()})
        if (list)
            for (XelRelay* r : list->NewEnum())
                relays += r->InUse() ? 1 : 0;
    AppendSummary(CountLine(switches, QStringLiteral("No Switch Inputs"), QStringLiteral(" Switch Input"),
                            QStringLiteral(" Switch Inputs")));
    AppendSummary(CountLine(analogs, QStringLiteral("No Analog Inputs"), QStringLiteral(" Analog Input"),
                            QStringLiteral(" Analog Inputs")));
    const qint16 nominal = s.SpeedSensor() ? s.SpeedSensor()->NomSpeed() : 0;
    AppendSummary(QStringLiteral("Nominal/Max Speed ") + QString::number(nominal) + QStringLiteral(" RPM"));
    AppendSummary(CountLine(speedRelays, QStringLiteral("No Speed Relays"), QStringLiteral(" Speed Relays"),
                            QStringLiteral(" Speed Relays")));
    AppendSummary(CountLine(relays, QStringLiteral("No Relays"), QStringLiteral(" Relays"), QStringLiteral(" Relays")));
}
