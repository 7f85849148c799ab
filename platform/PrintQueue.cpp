#include "platform/PrintQueue.h"
#include "platform/DialogFrame.h"
#include "platform/StopSignals.h"
#include "platform/TimeSource.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <atomic>
#include <cstdio>
#include <future>
#include <thread>

namespace platform {

namespace {

// How long a question may take before the windows are kept painted while it waits.
constexpr int kQuickMs = 50;

QString WithWhy(const QString& reason, const QString& why)
{
    return why.trimmed().isEmpty() ? reason : reason + QStringLiteral(" (") + why.trimmed() + QLatin1Char(')');
}

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease: return true;
    default: return false;
    }
}

// The progress box of a print that waits on the server.
class PrintProgress : public QDialog {
public:
    PrintProgress(const QString& printer, QWidget* owner) : QDialog(owner)
    {
        SetSmallDialogFrame(this);
        setObjectName(QStringLiteral("frmPrintProgress"));
        setWindowTitle(QStringLiteral("Print"));
        auto* layout = new QVBoxLayout(this);
        m_head = printer.isEmpty() ? QStringLiteral("Printing \u2026") : QStringLiteral("Printing on %1 \u2026").arg(printer);
        label = new QLabel(m_head, this);
        label->setObjectName(QStringLiteral("lblProgress"));
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        cancel = new QPushButton(QStringLiteral("Cancel"), this);
        cancel->setObjectName(QStringLiteral("cmdCancel"));
        buttons->addWidget(cancel);
        layout->addLayout(buttons);
    }
    void ShowStep(const QString& step)
    {
        const QString text = step.isEmpty() ? m_head : m_head + QStringLiteral("\nWaiting for ") + step + QLatin1Char('.');
        if (label->text() != text)
            label->setText(text);
    }
    QLabel* label = nullptr;
    QPushButton* cancel = nullptr;

protected:
    void reject() override { cancel->click(); }

private:
    QString m_head;
};

// Drops the user's input for every window but the progress box while a print waits, and takes
// a window's close as the print's Cancel.
class InputGate : public QObject {
public:
    InputGate(PrintWatch& watch, const QPointer<PrintProgress>& box) : m_watch(watch), m_box(box)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~InputGate() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        // Input reaches the box's window object before its widgets.
        const bool inBox = m_box
                           && (widget ? widget == m_box || m_box->isAncestorOf(widget)
                                      : watched->isWindowType() && watched == static_cast<QObject*>(m_box->windowHandle()));
        // Only a close the user asks for stops the print; a window the program closes itself
        // (a tool tip going) does not.
        if (event->type() == QEvent::Close && event->spontaneous() && widget && widget->isWindow() && !inBox) {
            m_watch.Stop();
            event->ignore();
            return true;
        }
        if (IsUserInput(event->type()) && !inBox)
            return true;
        return QObject::eventFilter(watched, event);
    }

private:
    PrintWatch& m_watch;
    const QPointer<PrintProgress>& m_box; // the box once it is up
};

bool WindowOnShow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !w->isMinimized() && w->objectName() != QLatin1String("frmPrintProgress"))
            return true;
    return false;
}

} // namespace

PrintQueue::PrintQueue(std::shared_ptr<CupsApi> cups) : m_cups(cups ? std::move(cups) : CupsApi::System()) {}

PrintCheck PrintQueue::Ask(const QString& printer, const std::function<CupsAnswer(CupsApi&, PrintWatch&)>& question,
                           CupsAnswer& answer) const
{
    TimeSource& time = TimeSource::Instance();
    PrintWatch watch(time.TimerInterval(kTimeoutMs));
    std::atomic<bool> done{false};
    std::promise<void> finished;
    std::future<void> answered = finished.get_future();
    CupsAnswer got;
    // Armed for the quick answer too; a signal that came before the question stops it unasked.
    const StopSignals::Arm arm;
    int signal = StopSignals::Instance().Poll();
    if (signal)
        watch.Stop();
    std::thread worker([&] {
        got = question(*m_cups, watch);
        done = true;
        finished.set_value();
    });
    // A server that answers at once is not waited for with the event loop running: nothing
    // else of the program runs meanwhile.
    const bool quick = answered.wait_for(std::chrono::milliseconds(kQuickMs)) == std::future_status::ready;
    if (!quick && qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QEventLoop loop;
        QPointer<PrintProgress> box;
        InputGate gate(watch, box);
        const QMetaObject::Connection stopped =
            QObject::connect(&StopSignals::Instance(), &StopSignals::Stop, &loop, [&](int caught) {
                signal = caught;
                watch.Stop();
            });
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (done)
                loop.quit();
            else if (box)
                box->ShowStep(watch.Step());
        });
        poll.start(10);
        const bool windowed = WindowOnShow();
        QTimer later;
        later.setSingleShot(true);
        QObject::connect(&later, &QTimer::timeout, &loop, [&] {
            if (done)
                return;
            if (windowed) {
                box = new PrintProgress(printer, DialogOwner());
                QObject::connect(box->cancel, &QPushButton::clicked, &loop, [&watch] { watch.Stop(); });
                box->ShowStep(watch.Step());
                box->show();
            } else {
                const QString what = printer.isEmpty() ? QStringLiteral("the print") : QStringLiteral("the print on ") + printer;
                std::fprintf(stderr, "Quarno: %s waits for the print server %s to answer (%s).\n",
                             what.toLocal8Bit().constData(), m_cups->Server().toLocal8Bit().constData(),
                             watch.Step().toLocal8Bit().constData());
                std::fflush(stderr);
            }
        });
        later.start(time.TimerInterval(windowed ? kProgressMs : kTellMs));
        if (!done)
            loop.exec();
        QObject::disconnect(stopped);
        delete box;
    }
    worker.join();
    if (!signal)
        signal = StopSignals::Instance().Poll();
    answer = got;
    PrintCheck check;
    check.signal = signal;
    switch (got.status) {
    case CupsAnswer::Found: check.answer = PrintCheck::Yes; break;
    case CupsAnswer::Unknown:
        check.answer = PrintCheck::No;
        check.reason = QStringLiteral("the print server does not know this printer");
        break;
    case CupsAnswer::NoServer: check.reason = QStringLiteral("no print server answers at ") + m_cups->Server(); break;
    case CupsAnswer::Failed:
        check.reason = !got.reason.isEmpty()           ? got.reason
                       : got.error.trimmed().isEmpty() ? QStringLiteral("the print server gave no answer")
                                                       : QStringLiteral("the print server says: ") + got.error.trimmed();
        break;
    case CupsAnswer::Silent:
        check.reason = QStringLiteral("the print server %1 did not answer within %2 seconds")
                           .arg(m_cups->Server())
                           .arg((kTimeoutMs + 999) / 1000);
        break;
    case CupsAnswer::Stopped:
        check.reason = signal ? QStringLiteral("the print was stopped by ") + StopSignals::Name(signal)
                              : QStringLiteral("the print was cancelled");
        break;
    }
    if (got.jobLeft)
        check.reason += QStringLiteral("; the job could not be cancelled, so an empty job may stay in the queue");
    if (got.jobUnanswered)
        check.reason += QStringLiteral("; the print server may have made the job without answering, so an empty job may "
                                       "stay in the queue");
    if (got.mayHavePrinted)
        check.reason += QStringLiteral("; the whole document was sent, but the print server could not be asked about the "
                                       "job afterwards, so it may have printed");
    return check;
}

PrintCheck PrintQueue::Destinations(QStringList& names, QString& printer) const
{
    CupsAnswer dests;
    PrintCheck check = Ask({}, [](CupsApi& cups, PrintWatch& watch) { return cups.Destinations(watch); }, dests);
    names = dests.names;
    printer = dests.name;
    if (check.answer == PrintCheck::No) {
        // A server without a default printer answered all the same.
        check.answer = printer.isEmpty() ? PrintCheck::Yes : PrintCheck::No;
        check.reason = printer.isEmpty() ? QString()
                                         : QStringLiteral("the print server does not know the printer \"%1\"").arg(printer);
    }
    return check;
}

PrintCheck PrintQueue::Queue(const QString& printer, CupsAnswer& queue) const
{
    PrintCheck check = Ask(printer, [printer](CupsApi& cups, PrintWatch& watch) { return cups.Queue(watch, printer); }, queue);
    if (check.answer != PrintCheck::Yes)
        return check;
    const QString why = queue.options.value(QStringLiteral("printer-state-message"));
    const QString accepting = queue.options.value(QStringLiteral("printer-is-accepting-jobs"));
    if (accepting.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        check.answer = PrintCheck::No;
        check.reason = WithWhy(QStringLiteral("its queue does not accept jobs"), why);
    } else if (queue.options.value(QStringLiteral("printer-state")).trimmed() == QLatin1String("5")) {
        // A stopped printer would hold the job and print it whenever someone starts it again.
        check.answer = PrintCheck::No;
        check.reason = WithWhy(QStringLiteral("the printer is stopped"), why);
    }
    return check;
}

PrintCheck PrintQueue::Print(const QString& printer, const QString& pdfFile, const QString& title,
                             const QStringList& options, const QStringList& saved) const
{
    CupsAnswer job;
    return Ask(
        printer,
        [=](CupsApi& cups, PrintWatch& watch) { return cups.Print(watch, printer, pdfFile, title, options, saved); }, job);
}

} // namespace platform
