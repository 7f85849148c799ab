#pragma once
// Output queue of the simulated unit: immediate, or paced at the serial line rate.
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>

namespace ecxsim {

class LineSender : public QObject {
    Q_OBJECT
public:
    // 9600 baud, 8 data bits, odd parity, 1 start and 1 stop bit: 11 bits a character.
    static constexpr qint64 BitsPerSecond = 9600;
    static constexpr qint64 BitsPerCharacter = 11;

    explicit LineSender(QObject* parent = nullptr);

    bool Paced() const { return paced_; }
    void SetPaced(bool paced);

    // Queues bytes to go out after the line has been quiet for gapMs
    // (counted from the end of what is queued before them).
    void Send(const QByteArray& bytes, int gapMs = 0);

    // Drops everything not yet sent.
    void Clear();

    bool Busy() const { return !queue_.empty(); }

    // Nanoseconds a character takes on the line.
    static qint64 CharacterNs() { return BitsPerCharacter * 1000000000LL / BitsPerSecond; }

signals:
    void Output(const QByteArray& bytes);
    void Drained();

private:
    struct Segment {
        QByteArray bytes;
        int gapMs = 0;
        qint64 readyAtNs = -1; // set once the segment reaches the head of the queue
        int sent = 0;
    };

    void Pump();
    void ScheduleAt(qint64 ns);
    qint64 Now() const { return clock_.nsecsElapsed(); }

    bool paced_ = false;
    std::deque<Segment> queue_;
    QElapsedTimer clock_;
    QTimer timer_;
    qint64 lineFreeNs_ = 0;   // when the last character sent has left the line
    qint64 runStartNs_ = 0;   // due time of the first character of the current run
    qint64 runSent_ = 0;      // characters sent in the current run
    bool pumping_ = false;
};

} // namespace ecxsim
