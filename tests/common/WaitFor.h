#pragma once
// Waits of the tests on the program's windows, each with a deadline: a test whose window never
// comes, or never ends its work, fails instead of hanging the run. The deadlines are guards
// only; no test waits for them to pass.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace testing_doubles {

constexpr int kWaitDeadlineMs = 20000;

// Lets events run until done() holds; false when the deadline came first.
inline bool RunEventsUntil(const std::function<bool()>& done, int deadlineMs = kWaitDeadlineMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > deadlineMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The one wait for a modal window still pending (its action may hold references into a
// test that has moved on).
inline QPointer<QTimer>& PendingModalWait()
{
    static QPointer<QTimer> pending;
    return pending;
}

// Runs action on the next modal window of type W once it is up (from inside its exec()).
// When none comes by the deadline, or another wait begins first, the test fails; at the
// deadline whatever modal window is up is closed, so the exec() that waits for it returns.
template <class W>
void WhenModal(std::function<void(W*)> action, int deadlineMs = kWaitDeadlineMs)
{
    if (QTimer* stale = PendingModalWait(); stale && stale->isActive()) {
        ADD_FAILURE() << "a modal window waited for never came up";
        stale->stop();
        stale->deleteLater();
    }
    auto* poll = new QTimer;
    PendingModalWait() = poll;
    poll->setInterval(1);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, action, clock, deadlineMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (W* w = qobject_cast<W*>(modal)) {
            poll->stop();
            poll->deleteLater();
            PendingModalWait() = nullptr;
            action(w);
            return;
        }
        if (clock->elapsed() <= deadlineMs)
            return;
        poll->stop();
        poll->deleteLater();
        PendingModalWait() = nullptr;
        ADD_FAILURE() << "no " << W::staticMetaObject.className() << " came up";
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else if (modal)
            modal->close();
    });
    poll->start();
}

} // namespace testing_doubles
