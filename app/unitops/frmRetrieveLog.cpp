#include "app/unitops/frmRetrieveLog.h"

#include "app/pages/PageApis.h"
#include "app/pages/common/PageCommon.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "app/services/modRegistry.h"
#include "app/unitops/ServiceCommands.h"
#include "app/unitops/UnitOps.h"
#include "app/unitops/UnitRegisters.h"
#include "platform/AnsiCodePage.h"
#include "platform/Clipboard.h"
#include "platform/MessagePresenter.h"
#include "platform/SerialPort.h"
#include "platform/Shell.h"
#include "platform/StatusSink.h"
#include "platform/SystemInfo.h"
#include "platform/TimeSource.h"
#include "platform/WholeFile.h"
#include "platform/DialogFrame.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const char kLetters[3] = {'I', 'C', 'L'};
const char* const kTitles[3] = {"Information", "Counters", "Log"};
const QByteArray kCrLf = QByteArrayLiteral("\r\n");
// How often the silence is looked at while a section runs.
constexpr int kSilenceCheckMs = 50;
constexpr int kFirstPollMs = 10;
constexpr int kPollMs = 5000;

QByteArray TitleLines(int section)
{
    const QByteArray title = kTitles[section];
    return title + kCrLf + QByteArray(title.size(), '-') + kCrLf + kCrLf;
}

// The program's own lines go into the log in the unit's single-byte code page.
QByteArray Ansi(const QString& text) { return platform::AnsiCodePage::FromUnicode(text); }

qint64 Now() { return platform::TimeSource::Instance().Milliseconds(); }

} // namespace

frmRetrieveLog::frmRetrieveLog(QWidget* parent, FrameApi* frame) : QDialog(parent)
{
    platform::SetSmallDialogFrame(this);
    Q_UNUSED(frame); // the short links ask the frame given to the service commands
    setObjectName(QStringLiteral("frmRetrieveLog"));
    setWindowTitle(QStringLiteral("Quarno Q2 - Retrieve Log"));
    // Wide enough for the longest message on two or three lines.
    setMinimumWidth(pagecommon::Twips(6000));
    m_logFolder = QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation)).filePath(QStringLiteral("Quarno"));

    const char* const texts[5] = {
        "No Control Unit was detected by Quarno!",
        "Please connect a Control Unit to your PC using a serial communication cable. Then click Download Log to "
        "retrieve the log from the Control Unit.",
        "Click Download Log to receive all log information from the Control Unit.",
        "Retrieving Log. Please wait...",
        "This Control Unit does not support this functionality.",
    };
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 5; ++i) {
        m_lblLog[i] = new QLabel(QString::fromLatin1(texts[i]), this);
        m_lblLog[i]->setObjectName(QStringLiteral("lblLog_%1").arg(i));
        m_lblLog[i]->setWordWrap(true);
        m_lblLog[i]->hide();
        layout->addWidget(m_lblLog[i]);
    }
    m_picLog = new QWidget(this);
    m_picLog->setObjectName(QStringLiteral("picLog"));
    auto* picLayout = new QHBoxLayout(m_picLog);
    picLayout->setContentsMargins(0, 0, 0, 0);
    m_proLog = new QProgressBar(m_picLog);
    m_proLog->setObjectName(QStringLiteral("proLog"));
    m_proLog->setRange(0, 2000);
    m_proLog->setTextVisible(false);
    picLayout->addWidget(m_proLog);
    m_picLog->hide();
    layout->addWidget(m_picLog);

    m_cmdDownload = new QPushButton(QStringLiteral("&Download Log"), this);
    m_cmdDownload->setObjectName(QStringLiteral("cmdDownload"));
    m_cmdDownload->setEnabled(false);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdDownload);
    buttons->addWidget(m_cmdCancel);
    layout->addLayout(buttons);

    m_timTimer = new QTimer(this);
    m_timTimer->setObjectName(QStringLiteral("timTimer"));
    connect(m_timTimer, &QTimer::timeout, this, &frmRetrieveLog::OnTimer);
    connect(m_cmdDownload, &QPushButton::clicked, this, &frmRetrieveLog::OnDownload);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmRetrieveLog::reject);

    m_firmware = unitops::ReadUnitVersion(true);
    if (m_firmware != QLatin1String("N/A") && unitops::FirmwareMajor(m_firmware) < 2) {
        // An older unit has no log download.
        m_state = State::Unsupported;
        m_lblLog[4]->show();
        return;
    }
    SetMessage(true, false, false);
    StartPolling(kFirstPollMs);
}

frmRetrieveLog::~frmRetrieveLog() { StopPort(); }

void frmRetrieveLog::SetMessage(bool noUnit, bool ready, bool retrieving)
{
    m_lblLog[0]->setVisible(noUnit);
    m_lblLog[1]->setVisible(noUnit);
    m_lblLog[2]->setVisible(ready);
    m_lblLog[3]->setVisible(retrieving);
}

void frmRetrieveLog::StartPolling(int firstIntervalMs)
{
    m_state = State::Polling;
    m_timTimer->setInterval(platform::TimeSource::Instance().TimerInterval(firstIntervalMs));
    m_timTimer->start();
}

void frmRetrieveLog::OnTimer()
{
    if (m_state == State::Polling)
        Poll();
    else if (m_state == State::Downloading)
        EndSection();
}

void frmRetrieveLog::Poll()
{
    if (m_polling)
        return;
    // The poll's link lets events run: no second tick and no download may start inside it.
    m_timTimer->stop();
    m_polling = true;
    m_cmdDownload->setEnabled(false);
    const bool detected = unitops::DetectUnit();
    m_polling = false;
    if (m_closeAfterPoll) {
        close();
        return;
    }
    if (m_state != State::Polling)
        return;
    SetMessage(!detected, detected, false);
    m_cmdDownload->setEnabled(detected);
    m_timTimer->setInterval(platform::TimeSource::Instance().TimerInterval(kPollMs));
    m_timTimer->start();
}

QString frmRetrieveLog::RetrievedLogText() const { return platform::AnsiCodePage::ToUnicode(m_log); }

QString frmRetrieveLog::DateText() const
{
    const QDateTime now = platform::SystemInfo::Instance().Now();
    const QLocale locale;
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') + modDiv::LongTimeText(now.time());
}

void frmRetrieveLog::OnDownload()
{
    if (m_state != State::Polling || m_polling) {
        platform::MessagePresenter::Instance().Beep();
        return;
    }
    if (modRegistry::GetCommPort() == 0) {
        FrameApi* frame = unitops::UnitLinkFrame();
        if (!frame || frame->ShowCommSetupCancelled() || modRegistry::GetCommPort() == 0)
            return;
    }
    m_timTimer->stop();
    m_port = platform::SerialPort::Create();
    if (!m_port || !m_port->Open(modRegistry::GetCommPort(), QStringLiteral("9600,o,8,1"))) {
        // The port will not open: as good as no unit.
        m_port.reset();
        SetMessage(true, false, false);
        m_cmdDownload->setEnabled(false);
        StartPolling(kPollMs);
        return;
    }
    connect(m_port.get(), &platform::SerialPort::BytesArrived, this, &frmRetrieveLog::OnBytesArrived);
    m_downloadCommand.emplace(QStringLiteral("the log download"));
    // Not from inside the stop's own call: closing the window ends this scope.
    m_downloadLink.emplace([this] { QTimer::singleShot(0, this, [this] { close(); }); });
    m_state = State::Downloading;
    m_cmdDownload->setEnabled(false);
    SetMessage(false, false, true);
    m_proLog->setRange(0, 2000);
    m_proLog->setValue(0);
    m_picLog->show();

    const QString started = QStringLiteral("Receive log started ");
    m_log = Ansi(started + DateText()) + kCrLf;
    m_log += QByteArray((started + DateText()).size(), '=') + kCrLf + kCrLf + kCrLf;
    m_log += TitleLines(0);
    m_timTimer->setInterval(platform::TimeSource::Instance().TimerInterval(kSilenceCheckMs));
    m_timTimer->start();
    SendSection(0);
}

void frmRetrieveLog::SendSection(int section)
{
    m_section = section;
    m_answer.clear();
    m_sectionCut = false;
    m_port->DiscardInput();
    m_lastArrival = m_sectionStart = Now();
    QByteArray request;
    request.append(char(27)).append(kLetters[section]);
    m_port->Write(request);
}

void frmRetrieveLog::OnBytesArrived()
{
    if (m_state != State::Downloading || !m_port)
        return;
    const QByteArray bytes = m_port->ReadAll();
    if (bytes.isEmpty())
        return;
    m_lastArrival = Now();
    if (m_proLog->value() >= m_proLog->maximum())
        m_proLog->setMaximum(m_proLog->maximum() + 2000);
    m_proLog->setValue(m_proLog->value() + 1);
    const qsizetype room = kMaxSectionBytes - m_answer.size();
    m_answer.append(bytes.left(room));
    if (bytes.size() > room)
        EndSection(QStringLiteral("[The answer was cut here: it was longer than %1 bytes.]").arg(kMaxSectionBytes));
}

void frmRetrieveLog::EndSection(const QString& note)
{
    if (m_state != State::Downloading)
        return;
    const qint64 now = Now();
    QString cut = note;
    if (cut.isEmpty() && now - m_lastArrival < kSilenceMs) {
        if (now - m_sectionStart < kMaxSectionMs)
            return;
        cut = QStringLiteral("[The answer was cut here: the unit was still sending after %1 minutes.]")
                  .arg(kMaxSectionMs / 60000);
    }
    // The unit's bytes go in as they came; only the window and the clipboard decode them.
    m_log += m_answer;
    if (!cut.isEmpty())
        m_log += kCrLf + Ansi(cut);
    if (m_section < 2) {
        m_log += kCrLf + kCrLf + TitleLines(m_section + 1);
        SendSection(m_section + 1);
        return;
    }
    const QString completed = QStringLiteral("Receive log completed ");
    m_log += kCrLf + kCrLf + QByteArray((completed + DateText()).size(), '=') + kCrLf;
    m_log += Ansi(completed + DateText());
    Finish();
}

void frmRetrieveLog::Finish()
{
    m_state = State::Done;
    m_timTimer->stop();
    StopPort();
    ShowText();
    close();
}

void frmRetrieveLog::StopPort()
{
    if (!m_port)
        return;
    disconnect(m_port.get(), nullptr, this, nullptr);
    m_port->Close();
    m_port.reset();
    m_downloadLink.reset();
    m_downloadCommand.reset();
}

void frmRetrieveLog::ShowText()
{
    // The text goes to a file of its own, opened in the user's text viewer.
    const QString unit = m_firmware == QLatin1String("N/A") ? QStringLiteral("ECX")
                                                             : QStringLiteral("ECX %1").arg(m_firmware);
    const QString name = QStringLiteral("%1 log %2.txt")
                             .arg(unit, platform::SystemInfo::Instance().Now().toString(QStringLiteral("yyyy-MM-dd HHmmss")));
    const QString path = QDir(m_logFolder).filePath(name);
    if (QDir().mkpath(m_logFolder) && platform::WriteWholeFile(path, m_log)) {
        m_logFile = path;
        const QString where = QDir::toNativeSeparators(path);
        // Without a viewer the file is still there: say where, the clipboard is not needed.
        platform::StatusSink::Instance().SetStatusText(
            platform::Shell::Instance().OpenDocument(path)
                ? QStringLiteral("The Control Unit Log was written to ") + where
                : QStringLiteral("No text viewer could be opened. The Control Unit Log was written to ") + where);
        return;
    }
    platform::Clipboard::Instance().SetText(RetrievedLogText());
    extra::LangMsgBox(139, platform::MsgStyle::Information);
}

void frmRetrieveLog::reject()
{
    // A running poll ends first (its link is in the middle of a request), then the window.
    if (m_polling) {
        m_closeAfterPoll = true;
        return;
    }
    m_timTimer->stop();
    StopPort();
    if (m_state == State::Downloading)
        m_state = State::Polling;
    QDialog::reject();
}

void frmRetrieveLog::closeEvent(QCloseEvent* event)
{
    if (m_polling) {
        m_closeAfterPoll = true;
        event->ignore();
        return;
    }
    m_timTimer->stop();
    StopPort();
    if (m_state == State::Downloading)
        m_state = State::Polling;
    QDialog::closeEvent(event);
}
