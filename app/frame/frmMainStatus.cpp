// The status bar, the page tabs and the page refresh of the main window.
#include "app/frame/frmMain.h"

#include "app/frame/StatusPanel.h"

#include "app/pages/common/PageCommon.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "app/unitops/UnitNotFound.h"
#include "datamodel/XelObject.h"
#include "platform/Clipboard.h"
#include "platform/KeyState.h"
#include "platform/MessagePresenter.h"
#include "platform/SettingsStore.h"
#include "platform/TimeSource.h"

#include <QEvent>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>

namespace {

using namespace platform::MsgStyle;
using platform::MsgResult::Yes;

bool ChordHeld(char letter)
{
    platform::KeyState& keys = platform::KeyState::Instance();
    return keys.IsDown(platform::KeyState::Alt) && keys.IsDown(platform::KeyState::Shift) && keys.IsCharDown(letter);
}

void PutOnClipboard(const QString& text)
{
    platform::Clipboard::Instance().SetText(text);
}

} // namespace

// ---- panels --------------------------------------------------------------------------

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (auto* panel = qobject_cast<QLabel*>(watched); panel && m_panels.value(panel->objectName()) == panel) {
            PanelDblClick(panel->objectName());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::SetPanelText(const QString& key, const QString& text)
{
    if (auto* panel = qobject_cast<StatusPanel*>(Panel(key)))
        panel->SetText(text);
}

void frmMain::SetPanelToolTip(const QString& key, const QString& text)
{
    if (auto* panel = qobject_cast<StatusPanel*>(Panel(key)))
        panel->SetTip(text);
}

void frmMain::SetPanelVisible(const QString& key, bool visible)
{
    if (QLabel* panel = Panel(key))
        panel->setVisible(visible);
}

void frmMain::StopRestoreTimer(int intervalMs)
{
    m_timStatusbar->stop();
    m_timStatusbar->setInterval(platform::TimeSource::Instance().TimerInterval(intervalMs));
}

void frmMain::SetStatusText(const QString& text) { SetPanelText(QStringLiteral("TEXT"), text); }

QString frmMain::StatusText() { return Panel(QStringLiteral("TEXT")) ? Panel(QStringLiteral("TEXT"))->text() : QString(); }

void frmMain::ShowSettingsNotice(const QString& before)
{
    const QString notice = platform::SettingsStore::Instance().Notice();
    const QString shown = StatusText();
    if (notice.isEmpty() || notice == before || shown.contains(notice))
        return;
    if (shown.isEmpty())
        return SetStatusText(notice);
    const QChar last = shown.back();
    const bool sentence = last == QLatin1Char('.') || last == QLatin1Char('!') || last == QLatin1Char('?');
    SetStatusText(shown + (sentence ? QStringLiteral(" ") : QStringLiteral(". ")) + notice);
}

void frmMain::StatusTimerTick()
{
    SetPanelText(QStringLiteral("TEXT"), m_savedStatusText);
    m_timStatusbar->stop();
}

void frmMain::PanelDblClick(const QString& keyIn)
{
    const QString key = keyIn.toUpper();
    QLabel* text = Panel(QStringLiteral("TEXT"));
    if (key == QLatin1String("RO")) {
        const QString path = m_setup ? m_setup->Filename() : QString();
        if (path.isEmpty())
            return;
        m_setup->SetFileReadOnly(false);
        UpdateCaption(m_setup->FileTitle());
        SetPanelVisible(QStringLiteral("RO"), modDiv::FileIsReadOnly(path));
    } else if (key == QLatin1String("TEXT")) {
        if (text->text().isEmpty())
            return;
        m_savedStatusText = text->text();
        PutOnClipboard(m_savedStatusText);
        SetPanelText(QStringLiteral("TEXT"), QStringLiteral("Status line copied to clipboard"));
        m_timStatusbar->start();
    } else if (key == QLatin1String("MODE")) {
        // The hidden chords change the unit or the flags: not while a command runs.
        if (m_commandBusy) {
            platform::MessagePresenter::Instance().Beep();
            return;
        }
        pagecommon::ScopedFlag busy(m_commandBusy, true);
        if (ChordHeld('K') && m_state.mainPage)
            m_state.mainPage->ShowSecretSettings();
        if (ChordHeld('J')) {
            m_state.DebugInfo = !m_state.DebugInfo;
            SetPanelVisible(QStringLiteral("DEBUG"), m_state.DebugInfo);
        }
        if (ChordHeld('X')) {
            if (!m_ops.DetectUnit || !m_ops.DetectUnit()) {
                unitops::ShowUnitNotFound();
            } else if (platform::KeyState::Instance().IsCharDown('W')) {
                if (m_ops.CmdResetCounters)
                    m_ops.CmdResetCounters(m_state, false);
                if (m_ops.CmdDeleteLog)
                    m_ops.CmdDeleteLog(m_state, false);
            } else {
                auto& presenter = platform::MessagePresenter::Instance();
                const QString title = QStringLiteral("Secret shortcut");
                if (presenter.Show(QStringLiteral("Reset counters?"), YesNo | Question, title) == Yes
                    && m_ops.CmdResetCounters)
                    m_ops.CmdResetCounters(m_state, false);
                if (presenter.Show(QStringLiteral("Delete log?"), YesNo | Question, title) == Yes && m_ops.CmdDeleteLog)
                    m_ops.CmdDeleteLog(m_state, false);
            }
        }
        if (ChordHeld('V')) {
            m_state.ExpertMode = !m_state.ExpertMode;
            SetPanelText(QStringLiteral("TEXT"), m_state.ExpertMode ? QStringLiteral("God Mode activated")
                                             : QStringLiteral("God Mode de-activated"));
        }
    } else if (key == QLatin1String("DEBUG")) {
        m_state.DebugInfo = false;
        SetPanelVisible(QStringLiteral("DEBUG"), false);
    } else if (key == QLatin1String("USER")) {
        m_savedStatusText = text->text();
        PutOnClipboard(Panel(QStringLiteral("USER"))->text().trimmed());
        SetPanelText(QStringLiteral("TEXT"), QStringLiteral("Username copied to clipboard"));
        m_timStatusbar->start();
    }
}

// ---- tabs ----------------------------------------------------------------------------

QIcon frmMain::WindowIcon() { return windowIcon(); }

int frmMain::CurrentTab() { return m_tabMain ? m_tabMain->currentIndex() : 0; }

void frmMain::SelectTab(int tab)
{
    if (m_tabMain && tab >= 0 && tab < m_tabMain->count())
        m_tabMain->setCurrentIndex(tab);
}

void frmMain::SetTabCaption(int tab, const QString& caption)
{
    if (m_tabMain && tab >= 0 && tab < m_tabMain->count())
        m_tabMain->setTabText(tab, caption);
}

void frmMain::TabClick(int previousTab)
{
    const int current = CurrentTab();
    if (!ValidateCurrentPage(m_state, previousTab)) {
        // Back to the refused page without validating it again on the way.
        pagecommon::ScopedFlag reverting(m_revertingTab, true);
        m_tabMain->setCurrentIndex(previousTab);
        return;
    }
    if (QWidget* left = PageContainer(previousTab); left && previousTab != current)
        left->setEnabled(false);
    if (QWidget* shown = PageContainer(current))
        shown->setEnabled(true);
    ShowTabPage(current);
    extra::ShowStatusMessage(0);
}

void frmMain::ShowTabPage(int tab)
{
    static const int helpContext[8] = {26, 30, 41, 52, 59, 69, 72, 73};
    if (tab < 0 || tab > 7)
        return;
    m_helpContext = helpContext[tab];
    MainState& s = m_state;
    switch (tab) {
    case TabMain:
        if (s.mainPage)
            s.mainPage->UpdateClassifiedCheck(false);
        break;
    case TabSwitch:
        if (s.switchPage) {
            s.switchPage->RefreshDigitalInAdditional();
            s.switchPage->UpdateDigitalCount();
            s.switchPage->ShowSelectedDigitalInput();
        }
        break;
    case TabAnalogIn:
        if (s.analogPage) {
            s.analogPage->ShowSelectedAnalogInput();
            s.analogPage->UpdateAnalogCount();
        }
        break;
    case TabStandbyOperation:
        if (s.standbyPage)
            s.standbyPage->ShowTabPage(s.relaysPage && s.relaysPage->HasPreheatRelay(), s.PROPULSION);
        break;
    case TabSpeedSensor:
        if (s.speedSensorPage)
            s.speedSensorPage->ShowTabPage();
        break;
    case TabRelays:
        if (s.relaysPage) {
            s.relaysPage->UpdateRelayButtons();
            s.relaysPage->RefreshRelayLists();
        }
        break;
    default:
        break;
    }
}
