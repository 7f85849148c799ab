#pragma once
// Test doubles of the platform stand-ins.
#include "platform/Clipboard.h"
#include "platform/FileIdentity.h"
#include "platform/KeyState.h"
#include "platform/MessagePresenter.h"
#include "platform/SettingsStore.h"
#include "platform/StatusSink.h"
#include "platform/SystemInfo.h"
#include "platform/TimeSource.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>

namespace testing_doubles {

// Answers message boxes from a script and records what was shown.
class ScriptedPresenter : public platform::MessagePresenter {
public:
    struct Shown {
        QString text;
        int style;
        QString caption;
    };
    QList<int> answers; // taken from the front; OK when empty
    QList<Shown> shown;
    int beeps = 0;
    int Show(const QString& text, int style, const QString& caption) override;
    void Beep() override { ++beeps; }
};

class RecordingStatus : public platform::StatusSink {
public:
    QString text;
    bool timerStopped = false;
    int interval = 0;
    void StopRestoreTimer(int intervalMs) override
    {
        timerStopped = true;
        interval = intervalMs;
    }
    void SetStatusText(const QString& t) override { text = t; }
    QString StatusText() override { return text; }
};

// Keeps the last text copied instead of touching the desktop clipboard.
class RecordingClipboard : public platform::Clipboard {
public:
    QString text;
    void SetText(const QString& t) override { text = t; }
};

class FixedSystem : public platform::SystemInfo {
public:
    QString user = "tester";
    QString computer = "BENCH-PC";
    QDateTime now = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
    quint32 ticks = 0;
    QString UserName() override { return user; }
    QString ComputerName() override { return computer; }
    QDateTime Now() override { return now; }
    QDateTime NowUtc() override { return now.toUTC(); }
    quint32 TickCount() override { return ticks; }
};

// Files as the real seam sees them, but for a last-write time pinned for every file (a report's
// date) and a hook run after a chosen stamp (another program changing the file at that moment).
class SeenFiles : public platform::FileIdentity {
public:
    SeenFiles();
    ~SeenFiles() override;
    std::optional<QDateTime> pinnedWrite; // setting the time then fails
    QString watched;                      // when set, only stamps of this path count
    int stamps = 0;                       // stamps counted so far
    int hookAfter = 0;                    // the stamp after which `hook` runs, once
    std::function<void()> hook;
    bool Stamp(const QString& path, platform::FileStamp& stamp) override;
    bool SetLastWriteTime(const QString& path, const platform::FileStamp& stamp) override;

private:
    platform::FileIdentity& m_real;
};

// Puts a file's last-write time at `time` (whole seconds) through the file seam, as a program
// that sets the time back does.
bool SetLastWriteTime(const QString& path, const QDateTime& time);

class HeldKeys : public platform::KeyState {
public:
    bool shift = false, control = false, alt = false;
    QString chars;
    bool IsDown(Key key) override
    {
        return key == Shift ? shift : key == Control ? control : alt;
    }
    bool IsCharDown(char ch) override { return chars.contains(QChar(ch)); }
};

// A clock that moves only when the program waits: a wait advances it at once, after letting
// pending events run. Timer intervals are divided by `timerDivisor` (at least 1 ms).
class SteppedTime : public platform::TimeSource {
public:
    qint64 now = 0;
    int timerDivisor = 100;
    QList<int> waits; // every Wait, in order
    QList<int> blocks; // every Block, in order
    qint64 Milliseconds() override { return now; }
    void Wait(int ms) override;
    // Moves the clock without running any event.
    void Block(int ms) override
    {
        blocks.append(ms);
        if (ms > 0)
            now += ms;
    }
    void ProcessEvents() override;
    int TimerInterval(int ms) override { return ms <= 0 ? 0 : qMax(1, ms / timerDivisor); }
};

// Installs fresh doubles for one test and restores the previous state afterwards:
// a temporary settings store, a scripted presenter, a recording status sink,
// a fixed clock and user, no keys held, a recording clipboard.
class PlatformDoubles {
public:
    PlatformDoubles();
    ~PlatformDoubles();
    ScriptedPresenter presenter;
    RecordingStatus status;
    FixedSystem system;
    HeldKeys keys;
    SteppedTime time;
    RecordingClipboard clipboard;
    QTemporaryDir dir;
    std::unique_ptr<platform::QtSettingsStore> settings;
};

} // namespace testing_doubles
