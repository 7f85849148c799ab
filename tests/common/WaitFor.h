#pragma once
// Waits of the tests on the program's windows, each with a deadline: a test whose window never
// comes, or never ends its work, fails instead of hanging the run. The deadlines are guards
// only; no test waits for them to pass.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
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

// Runs action on the next modal window of type W once it is up (from inside its exec()).
// When none comes by the deadline the test fails, and whatever modal window is up then is
// closed, so the exec() that waits for it returns.
template <class W>
void WhenModal(std::function<void(W*)> action, int deadlineMs = kWaitDeadlineMs)
{
    auto* poll = new QTimer;
    poll->setInterval(1);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, action, clock, deadlineMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (W* w = qobject_cast<W*>(modal)) {
            poll->stop();
            poll->deleteLater();
            action(w);
            return;
        }
        if (clock->elapsed() <= deadlineMs)
            return;
        poll->stop();
        poll->deleteLater();
        ADD_FAILURE() << "no " << W::staticMetaObject.className() << " came up";
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else if (modal)
            modal->close();
    });
    poll->start();
}

} // namespace testing_doubles
