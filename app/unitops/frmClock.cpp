#include "app/unitops/frmClock.h"

#include "app/pages/common/PageCommon.h"
#include "extra/extra.h"
#include "app/unitops/ServiceCommands.h"
#include "app/unitops/UnitCommandStop.h"
#include "app/unitops/UnitOps.h"
#include "app/unitops/UnitRegisters.h"
#include "app/unitops/UnitNotFound.h"
#include "platform/MessagePresenter.h"
#include "platform/SystemInfo.h"
#include "platform/TimeSource.h"
#include "platform/DialogFrame.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

enum Box { Day = 0, Month = 1, Year = 2, Hour = 3, Minute = 4 };
constexpr int kFirstYear = 1998;
constexpr qint32 kLargestBoxValue = 32767;

} // namespace

frmClock::frmClock(QWidget* parent, FrameApi* frame) : QDialog(parent)
{
    platform::SetSmallDialogFrame(this);
    Q_UNUSED(frame); // the short links ask the frame given to the service commands
    setObjectName(QStringLiteral("frmClock"));
    setWindowTitle(QStringLiteral("Control Unit Clock"));

    for (int i = 0; i < 5; ++i) {
        m_txtDate[i] = new QLineEdit(this);
        m_txtDate[i]->setObjectName(QStringLiteral("txtDate_%1").arg(i));
        m_txtDate[i]->setMaxLength(i == Year ? 4 : 2);
        m_txtDate[i]->installEventFilter(this);
    }
    auto* lblDate0 = new QLabel(QStringLiteral("Date (DD MM YYYY)"), this);
    lblDate0->setObjectName(QStringLiteral("lblDate_0"));
    auto* lblDate1 = new QLabel(QStringLiteral("Time (HH MM)"), this);
    lblDate1->setObjectName(QStringLiteral("lblDate_1"));
    auto* lblClock = new QLabel(QStringLiteral("You may also adjust the clock on the Control Unit."), this);
    lblClock->setObjectName(QStringLiteral("lblClock"));
    m_chkSync = new QCheckBox(QStringLiteral("&Synchronize with Windows Clock (UTC)"), this);
    m_chkSync->setObjectName(QStringLiteral("chkSync"));
    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // Enter acts as OK, as in every dialog of the program.
    m_cmdOK->setDefault(true);
    m_timDateTime = new QTimer(this);
    m_timDateTime->setObjectName(QStringLiteral("timDateTime"));
    m_timDateTime->setInterval(platform::TimeSource::Instance().TimerInterval(1000));

    auto* grid = new QGridLayout;
    grid->addWidget(lblDate0, 0, 0);
    grid->addWidget(m_txtDate[Day], 0, 1);
    grid->addWidget(m_txtDate[Month], 0, 2);
    grid->addWidget(m_txtDate[Year], 0, 3);
    grid->addWidget(lblDate1, 1, 0);
    grid->addWidget(m_txtDate[Hour], 1, 1);
    grid->addWidget(m_txtDate[Minute], 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_chkSync);
    layout->addWidget(lblClock);
    layout->addLayout(buttons);

    // The boxes show the PC clock and follow it, but stay editable until the check box is
    // clicked for the first time.
    FillFromText(PCClockText());
    m_chkSync->setChecked(true);
    m_timDateTime->start();

    connect(m_chkSync, &QCheckBox::toggled, this, &frmClock::OnSyncToggled);
    connect(m_timDateTime, &QTimer::timeout, this, &frmClock::OnTick);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmClock::OnOK);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmClock::reject);
}

QString frmClock::PCClockText()
{
    const QDateTime utc = platform::SystemInfo::Instance().NowUtc();
    return utc.toString(QStringLiteral("dd MM yyyy HH mm"));
}

void frmClock::FillFromText(const QString& text)
{
    m_txtDate[Day]->setText(text.mid(0, 2));
    m_txtDate[Month]->setText(text.mid(3, 2));
    m_txtDate[Year]->setText(text.mid(6, 4));
    m_txtDate[Hour]->setText(text.mid(11, 2));
    m_txtDate[Minute]->setText(text.mid(14, 2));
    m_lastClockText = text;
}

void frmClock::OnSyncToggled(bool checked)
{
    const QColor background = palette().color(checked ? QPalette::Button : QPalette::Base);
    if (checked)
        FillFromText(PCClockText());
    for (QLineEdit* box : m_txtDate) {
        box->setReadOnly(checked);
        QPalette p = box->palette();
        p.setColor(QPalette::Base, background);
        box->setPalette(p);
    }
    if (checked)
        m_timDateTime->start();
    else
        m_timDateTime->stop();
}

void frmClock::OnTick()
{
    // A new minute has begun: show it.
    const QString now = PCClockText();
    if (now != m_lastClockText)
        FillFromText(now);
}

bool frmClock::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        for (QLineEdit* box : m_txtDate)
            if (watched == box)
                QTimer::singleShot(0, box, &QLineEdit::selectAll);
    } else if (event->type() == QEvent::KeyPress) {
        for (QLineEdit* box : m_txtDate) {
            if (watched != box)
                continue;
            auto* key = static_cast<QKeyEvent*>(event);
            const QString text = key->text();
            // Only typed characters are filtered; Ctrl chords (copy, paste) go through, and so
            // does Enter, for the default button.
            if (text.isEmpty() || (key->modifiers() & Qt::ControlModifier) || key->key() == Qt::Key_Backspace
                || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter
                || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Escape)
                return false;
            if (text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9'))
                return false;
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

qint32 frmClock::BoxValue(int box) const
{
    const qint64 value = extra::RoundHalfEven(extra::NumericPrefix(m_txtDate[box]->text()));
    return qint32(qBound<qint64>(-qint64(kLargestBoxValue) - 1, value, qint64(kLargestBoxValue) + 1));
}

QVector<qint32> frmClock::ValidEntry() const
{
    const qint32 day = BoxValue(Day), month = BoxValue(Month), year = BoxValue(Year);
    const qint32 hour = BoxValue(Hour), minute = BoxValue(Minute);
    for (qint32 v : {day, month, year, hour, minute})
        if (v > kLargestBoxValue)
            return {};
    // Day, month and year read directly: a date that does not exist is refused.
    if (!QDate(year, month, day).isValid() || year < 1 || hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return {};
    return {minute, hour, day, month, year};
}

void frmClock::OnOK()
{
    if (m_writing)
        return;
    pagecommon::ScopedFlag writing(m_writing);
    m_cmdOK->setEnabled(false);
    m_cmdCancel->setEnabled(false);
    const auto enableButtons = [this] {
        m_cmdOK->setEnabled(true);
        m_cmdCancel->setEnabled(true);
    };

    if (!unitops::DetectUnit()) {
        enableButtons();
        unitops::ShowUnitNotFound();
        return;
    }
    const QVector<qint32> values = ValidEntry();
    if (values.isEmpty()) {
        enableButtons();
        platform::MessagePresenter::Instance().Beep();
        int focus = Day;
        if (BoxValue(Day) > 31)
            focus = Day;
        else if (BoxValue(Month) > 12)
            focus = Month;
        else if (BoxValue(Hour) > 23)
            focus = Hour;
        else if (BoxValue(Minute) > 59)
            focus = Minute;
        m_txtDate[focus]->setFocus();
        m_txtDate[focus]->selectAll(); // also when Enter came from the box that has the focus
        return;
    }
    if (values[4] < kFirstYear) {
        enableButtons();
        platform::MessagePresenter::Instance().Beep();
        m_txtDate[Year]->setFocus();
        m_txtDate[Year]->selectAll();
        return;
    }
    // Written as shown at this moment; the timer must not change the boxes meanwhile.
    m_timDateTime->stop();
    bool portCancelled = false;
    const bool written = unitops::WriteClockRegisters(values, portCancelled);
    unitops::WireWorkDone();
    // Nobody is asked once a stop came: the run ends with its own line.
    if (!written && !portCancelled && !unitops::StopRequested())
        extra::LangMsgBox(115, platform::MsgStyle::Exclamation);
    enableButtons();
    m_writing = false;
    accept();
}

void frmClock::reject()
{
    if (m_writing)
        return;
    m_timDateTime->stop();
    QDialog::reject();
}

void frmClock::closeEvent(QCloseEvent* event)
{
    if (m_writing) {
        event->ignore();
        return;
    }
    m_timDateTime->stop();
    QDialog::closeEvent(event);
}
