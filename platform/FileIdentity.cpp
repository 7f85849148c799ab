#include "platform/FileIdentity.h"
#include "platform/InstanceSlot.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

namespace {

class RealFileIdentity : public FileIdentity {
public:
    bool Stamp(const QString& path, FileStamp& stamp) override
    {
        stamp = FileStamp();
        struct stat st;
        if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
            return false;
        stamp.device = quint64(st.st_dev);
        stamp.inode = quint64(st.st_ino);
        stamp.size = qint64(st.st_size);
        stamp.writeSeconds = qint64(st.st_mtim.tv_sec);
        stamp.writeNanoseconds = qint64(st.st_mtim.tv_nsec);
        stamp.changeSeconds = qint64(st.st_ctim.tv_sec);
        stamp.changeNanoseconds = qint64(st.st_ctim.tv_nsec);
        return true;
    }

    bool SetLastWriteTime(const QString& path, const FileStamp& stamp) override
    {
        if (path.isEmpty() || !stamp.IsValid())
            return false;
        struct timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = time_t(stamp.writeSeconds);
        times[1].tv_nsec = long(stamp.writeNanoseconds);
        return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
    }
};

InstanceSlot<FileIdentity, RealFileIdentity> g_identity;

} // namespace

QDateTime FileStamp::LastWriteTime() const
{
    return QDateTime::fromMSecsSinceEpoch(writeSeconds * 1000 + writeNanoseconds / 1000000);
}

FileIdentity::~FileIdentity() = default;

bool FileIdentity::LastWriteTime(const QString& path, QDateTime& time)
{
    FileStamp stamp;
    if (!Stamp(path, stamp))
        return false;
    time = stamp.LastWriteTime();
    return true;
}

FileIdentity& FileIdentity::Instance() { return g_identity.get(); }
void FileIdentity::SetInstance(FileIdentity* identity) { g_identity.current = identity; }

} // namespace platform
