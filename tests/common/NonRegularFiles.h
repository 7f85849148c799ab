#pragma once
// Names that are not regular files, for the roads that must refuse them without blocking.
#include <QFile>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>

namespace testing_files {

// A named pipe: opening it for reading waits for a writer that never comes.
inline bool MakePipe(const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }

// What stands at a name, seen without following a link or opening anything: 'f' a regular
// file, 'l' a link, 'p' a pipe, 'c' a character device, 'd' a folder, '-' nothing.
inline char KindAt(const QString& path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return '-';
    return S_ISLNK(st.st_mode) ? 'l' : S_ISFIFO(st.st_mode) ? 'p' : S_ISCHR(st.st_mode) ? 'c'
         : S_ISDIR(st.st_mode) ? 'd' : S_ISREG(st.st_mode) ? 'f' : '?';
}

// A character device that every Linux machine has.
inline QString Device() { return QStringLiteral("/dev/zero"); }

constexpr std::chrono::seconds kDeadline{15};

// Guards a block that is handed the names above: a road that opens the pipe waits for ever, and
// one that reads the device never ends, so when the block has not ended by the deadline the
// test program stops with a failure instead of hanging the run. It waits only for a hang.
class Deadline {
public:
    explicit Deadline(std::string what, std::chrono::seconds limit = kDeadline)
        : m_watch([this, what = std::move(what), limit] {
              std::unique_lock lock(m_mutex);
              if (m_ended.wait_for(lock, limit, [this] { return m_done; }))
                  return;
              std::fprintf(stderr, "FAILED: %s did not end within %lld s (it waits on a pipe or a device)\n",
                           what.c_str(), static_cast<long long>(limit.count()));
              std::fflush(stdout);
              std::fflush(stderr);
              std::_Exit(EXIT_FAILURE);
          })
    {
    }
    ~Deadline()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_ended.notify_one();
        m_watch.join();
    }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;
    std::thread m_watch; // last: starts once the members it uses exist
};

} // namespace testing_files
