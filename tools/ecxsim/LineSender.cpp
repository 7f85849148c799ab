#include "tools/ecxsim/LineSender.h"

namespace ecxsim {

LineSender::LineSender(QObject* parent)
    : QObject(parent)
{
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &LineSender::Pump);
}

void LineSender::SetPaced(bool paced)
{
    paced_ = paced;
}

void LineSender::Send(const QByteArray& bytes, int gapMs)
{
    if (bytes.isEmpty() && gapMs <= 0)
        return;
    Segment s;
    s.bytes = bytes;
    s.gapMs = qMax(0, gapMs);
    queue_.push_back(s);
    Pump();
}

void LineSender::Clear()
{
    queue_.clear();
    timer_.stop();
}

void LineSender::ScheduleAt(qint64 ns)
{
    const qint64 waitNs = ns - Now();
    // Round up so the tick never comes before the character is due.
    const int ms = waitNs <= 0 ? 0 : int((waitNs + 999999) / 1000000);
    timer_.start(ms);
}

void LineSender::Pump()
{
    if (pumping_)
        return; // a slot connected to Output sent more; the running loop takes it
    pumping_ = true;
    while (!queue_.empty()) {
        Segment& s = queue_.front();
        const qint64 now = Now();
        if (s.readyAtNs < 0) {
            const qint64 from = qMax(now, lineFreeNs_);
            s.readyAtNs = from + qint64(s.gapMs) * 1000000;
            if (paced_) {
                runStartNs_ = s.readyAtNs;
                runSent_ = 0;
            }
        }
        if (now < s.readyAtNs) {
            ScheduleAt(s.readyAtNs);
            break;
        }
        if (!paced_) {
            const QByteArray bytes = s.bytes.mid(s.sent);
            queue_.pop_front();
            lineFreeNs_ = now;
            if (!bytes.isEmpty())
                emit Output(bytes);
            continue;
        }
        // Every character's due time is counted from the start of the run, so
        // late timer ticks never add up to drift.
        const qint64 charNs = CharacterNs();
        const qint64 due = (now - runStartNs_) / charNs + 1; // characters started by now
        const qint64 take = qMin<qint64>(due - runSent_, s.bytes.size() - s.sent);
        if (take > 0) {
            const QByteArray bytes = s.bytes.mid(s.sent, int(take));
            s.sent += int(take);
            runSent_ += take;
            lineFreeNs_ = runStartNs_ + runSent_ * charNs;
            if (s.sent >= s.bytes.size())
                queue_.pop_front();
            emit Output(bytes);
            continue;
        }
        if (s.sent >= s.bytes.size()) {
            queue_.pop_front();
            continue;
        }
        ScheduleAt(runStartNs_ + runSent_ * charNs);
        break;
    }
    pumping_ = false;
    if (queue_.empty())
        emit Drained();
}

} // namespace ecxsim
