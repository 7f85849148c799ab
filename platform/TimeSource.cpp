#include "platform/InstanceSlot.h"
#include "platform/KeyTracker.h"
#include "platform/TimeSource.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QThread>
#include <QTimer>

namespace platform {
namespace {

class RealTimeSource : public TimeSource {
public:
    RealTimeSource() { m_clock.start(); }
    qint64 Milliseconds() override { return m_clock.elapsed(); }
    void Wait(int ms) override
    {
        if (ms <= 0) {
            ProcessEvents();
            return;
        }
        if (!QCoreApplication::instance())
            return;
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
    void ProcessEvents() override
    {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    int TimerInterval(int ms) override { return ms; }

private:
    QElapsedTimer m_clock;
};

InstanceSlot<TimeSource, RealTimeSource> g_time;
QPointer<KeyTracker> g_tracker;

} // namespace

TimeSource::~TimeSource() = default;

void TimeSource::Block(int ms)
{
    if (ms > 0)
        QThread::msleep(ulong(ms));
}
TimeSource& TimeSource::Instance() { return g_time.get(); }
void TimeSource::SetInstance(TimeSource* source) { g_time.current = source; }

KeyTracker::KeyTracker(QObject* parent) : QObject(parent) {}

void KeyTracker::Install()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || g_tracker)
        return;
    g_tracker = new KeyTracker(app);
    app->installEventFilter(g_tracker);
}

bool KeyTracker::IsCharDown(char ch)
{
    if (!g_tracker)
        return false;
    const int key = (ch >= 'a' && ch <= 'z') ? ch - 'a' + 'A' : ch;
    return g_tracker->m_held.contains(key);
}

bool KeyTracker::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        const int k = key->key();
        if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)) {
            if (event->type() == QEvent::KeyPress)
                m_held.insert(k);
            else if (!key->isAutoRepeat())
                m_held.remove(k);
        }
        break;
    }
    case QEvent::ApplicationDeactivate:
        m_held.clear();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace platform
