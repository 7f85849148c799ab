// The main window's size and place on the screen, and the scrolled pages that ask for room.
#include "app/frame/frmMain.h"

#include "app/frame/TabLeaveGuard.h"
#include "app/pages/common/PageCommon.h"
#include "app/services/modRegistry.h"
#include "platform/ScreenInfo.h"
#include "platform/TimeSource.h"

#include <QScrollArea>
#include <QShowEvent>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

namespace {

// Shows a page whole where the window has room for it and scrolls it where it has not, so
// the window's minimum size never follows what a page holds.
class PageScroller : public QScrollArea {
public:
    explicit PageScroller(QWidget* page)
    {
        setFrameShape(QFrame::NoFrame);
        // Tab goes to the page's controls, never to the scroller itself.
        setFocusPolicy(Qt::NoFocus);
        setWidgetResizable(true);
        setWidget(page);
        page->setAutoFillBackground(false);
        viewport()->setAutoFillBackground(false);
    }
    // The room the page asks for, which the window takes at first where the screen has it.
    QSize sizeHint() const override { return widget()->minimumSizeHint().expandedTo(widget()->minimumSize()); }
};

// Calls its routine once the events of the moment are done whenever a watched page asks for a
// new layout.
class LayoutWatch : public QObject {
public:
    LayoutWatch(QObject* parent, std::function<void()> routine) : QObject(parent), m_routine(std::move(routine)) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::LayoutRequest && !m_pending) {
            m_pending = true;
            QTimer::singleShot(0, this, [this] {
                m_pending = false;
                m_routine();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_routine;
    bool m_pending = false;
};

} // namespace

void frmMain::BuildTabs()
{
    m_tabMain = new QTabWidget(this);
    m_tabMain->setObjectName(QStringLiteral("tabMain"));
    auto* watch = new LayoutWatch(this, [this] { GrowForPages(); });
    static const char* captions[8] = {"&Main",    "S&witch",  "&Analog In", "S&tandby Operation",
                                      "S&peed Sensor", "&Battery", "&Info.",     "&Relays"};
    for (int i = 0; i < 8; ++i) {
        auto* container = new QWidget;
        container->setObjectName(QStringLiteral("conMain_%1").arg(i));
        auto* layout = new QVBoxLayout(container);
        layout->setContentsMargins(0, 0, 0, 0);
        container->setEnabled(i == 0);
        m_conMain << container;
        m_tabMain->addTab(new PageScroller(container), QString::fromLatin1(captions[i]));
        container->installEventFilter(watch);
    }
    setCentralWidget(m_tabMain);
    // The user's own page changes are checked before the page goes, as Save checks it.
    new TabLeaveGuard(m_tabMain, [this] { return ValidateCurrentPage(m_state, CurrentTab()); });
    connect(m_tabMain, &QTabWidget::currentChanged, this, [this](int) {
        const int previous = m_previousTab;
        m_previousTab = m_tabMain->currentIndex();
        if (!m_revertingTab)
            TabClick(previous);
    });
}

// The window's outer rectangle, the window manager's title bar and borders included.
QRect frmMain::FrameRect() const
{
    const QMargins m = platform::ScreenInfo::Instance().FrameMargins(*this);
    return geometry().marginsAdded(m);
}

void frmMain::PlaceWindow(int xTwips, int yTwips)
{
    // The outer rectangle goes inside the work area, so the title bar stays on screen. Sums
    // are taken wide: a stored position may be near the end of the number range.
    const QRect area = platform::ScreenInfo::Instance().WorkArea();
    const QMargins m = platform::ScreenInfo::Instance().FrameMargins(*this);
    const QSize frame = geometry().marginsAdded(m).size();
    auto clamp = [](qint64 wanted, qint64 first, qint64 extent, qint64 size) {
        qint64 at = qMax(wanted, first);
        if (at + size > first + extent)
            at = extent - size >= 0 ? first + extent - size : first;
        return int(at);
    };
    const int left = clamp(qint64(xTwips) / 15, area.left(), area.width(), frame.width());
    const int top = clamp(qint64(yTwips) / 15, area.top(), area.height(), frame.height());
    m_placedAt = QPoint(xTwips, yTwips);
    const QPoint target(left, top);
    platform::ScreenInfo::Instance().MoveFrame(*this, target);
    // A window manager that put the client where the frame was asked for pushed the title bar
    // off the top: once the decorations are known, place the client below them.
    if (FrameRect().topLeft() != target)
        setGeometry(QRect(target + QPoint(m.left(), m.top()), geometry().size()));
}

void frmMain::FitWindowToPages()
{
    // As large as the largest page asks for, as far as the work area has room for the
    // window with its title bar and borders (known only once the window is shown).
    if (isMaximized() || isFullScreen())
        return;
    const QRect area = platform::ScreenInfo::Instance().WorkArea();
    const QMargins m = platform::ScreenInfo::Instance().FrameMargins(*this);
    const QSize room = area.size().shrunkBy(m);
    if (room.isValid())
        resize(sizeHint().expandedTo(size()).boundedTo(room));
}

void frmMain::GrowForPages()
{
    if (!isVisible() || isMaximized() || isFullScreen())
        return;
    // Every page gets the room the current one has; the hidden ones are not laid out.
    const QWidget* shown = m_tabMain->currentWidget();
    if (!shown)
        return;
    QSize missing(0, 0);
    for (int i = 0; i < m_tabMain->count(); ++i)
        missing = missing.expandedTo(m_tabMain->widget(i)->sizeHint() - shown->size());
    const QRect area = platform::ScreenInfo::Instance().WorkArea();
    const QSize room = area.size().shrunkBy(platform::ScreenInfo::Instance().FrameMargins(*this));
    const QSize wanted = (size() + missing).boundedTo(room).expandedTo(size());
    if (wanted == size())
        return;
    resize(wanted);
    // Grown past the work area's edge: back inside it.
    if (!area.contains(FrameRect())) {
        const QPoint at = FrameRect().topLeft();
        PlaceWindow(pagecommon::ToTwips(at.x()), pagecommon::ToTwips(at.y()));
    }
}

void frmMain::PlaceAgainOnceDecorated()
{
    // Some window managers tell their decorations only a while after the window is mapped;
    // until then a placement cannot make room for the title bar. Look for them for a second.
    if (!platform::ScreenInfo::Instance().FrameMargins(*this).isNull())
        return;
    auto* watch = new QTimer(this);
    watch->setInterval(platform::TimeSource::Instance().TimerInterval(50));
    connect(watch, &QTimer::timeout, this, [this, watch, ticks = 0]() mutable {
        const bool decorated = !platform::ScreenInfo::Instance().FrameMargins(*this).isNull();
        if (decorated) {
            FitWindowToPages();
            PlaceWindow(m_placedAt.x(), m_placedAt.y());
        }
        if (decorated || ++ticks >= 20) {
            watch->stop();
            watch->deleteLater();
        }
    });
    watch->start();
}

void frmMain::RestoreWindowPosition()
{
    qint32 x = 0;
    qint32 y = 0;
    modRegistry::GetWindowPos(x, y);
    PlaceWindow(x, y);
}

void frmMain::SaveWindowPosition()
{
    if (isMinimized())
        return;
    const QPoint at = FrameRect().topLeft();
    modRegistry::SaveWindowPos(pagecommon::ToTwips(at.x()), pagecommon::ToTwips(at.y()));
}

void frmMain::showEvent(QShowEvent* event)
{
    const bool first = !m_shownOnce;
    m_shownOnce = true;
    QMainWindow::showEvent(event);
    // The decorations are known only once the window is shown, and the window system may
    // have shifted it to make room for them: place it again by its frame.
    if (first)
        QTimer::singleShot(0, this, [this] {
            FitWindowToPages();
            PlaceWindow(m_placedAt.x(), m_placedAt.y());
            PlaceAgainOnceDecorated();
        });
}
