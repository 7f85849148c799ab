#include "tools/ecxsim/PtyServer.h"

#include "tools/ecxsim/Unit.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace ecxsim {

PtyServer::PtyServer(Unit* unit, QObject* parent)
    : QObject(parent)
    , unit_(unit)
{
}

PtyServer::~PtyServer()
{
    Close();
}

bool PtyServer::Open()
{
    Close();
    const int fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0) {
        error_ = QStringLiteral("posix_openpt: ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (grantpt(fd) != 0 || unlockpt(fd) != 0) {
        error_ = QStringLiteral("grantpt/unlockpt: ") + QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return false;
    }
    const char* name = ptsname(fd);
    if (name == nullptr) {
        error_ = QStringLiteral("ptsname: ") + QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return false;
    }
    slavePath_ = QString::fromLocal8Bit(name);
    // Holding the slave open keeps the master readable (no hang-up) while no
    // client is connected, and keeps the line settings.
    slaveKeeper_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slaveKeeper_ >= 0) {
        termios tio {};
        if (tcgetattr(slaveKeeper_, &tio) == 0) {
            cfmakeraw(&tio);
            cfsetispeed(&tio, B9600);
            cfsetospeed(&tio, B9600);
            tcsetattr(slaveKeeper_, TCSANOW, &tio);
        }
    }
    const int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    master_ = fd;

    readNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &PtyServer::ReadMaster);
    writeNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Write, this);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_, &QSocketNotifier::activated, this, &PtyServer::Flush);
    connect(unit_, &Unit::Transmit, this, &PtyServer::WriteMaster);
    error_.clear();
    return true;
}

void PtyServer::Close()
{
    if (unit_ != nullptr)
        disconnect(unit_, &Unit::Transmit, this, &PtyServer::WriteMaster);
    delete readNotifier_;
    readNotifier_ = nullptr;
    delete writeNotifier_;
    writeNotifier_ = nullptr;
    if (slaveKeeper_ >= 0)
        ::close(slaveKeeper_);
    slaveKeeper_ = -1;
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
    pending_.clear();
}

void PtyServer::ReadMaster()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            unit_->Receive(QByteArray(buffer, int(n)));
            if (master_ < 0)
                return; // closed from a slot
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            // EIO while no client holds the slave: wait for the next event
            // rather than spinning on it.
            if (slaveKeeper_ < 0 && readNotifier_ != nullptr)
                readNotifier_->setEnabled(false);
        }
        return;
    }
}

void PtyServer::WriteMaster(const QByteArray& bytes)
{
    if (master_ < 0)
        return;
    pending_.append(bytes);
    Flush();
}

void PtyServer::Flush()
{
    while (!pending_.isEmpty() && master_ >= 0) {
        const ssize_t n = ::write(master_, pending_.constData(), size_t(pending_.size()));
        if (n > 0) {
            pending_.remove(0, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            writeNotifier_->setEnabled(true);
            return;
        }
        pending_.clear(); // the line is gone
        break;
    }
    if (writeNotifier_ != nullptr)
        writeNotifier_->setEnabled(false);
}

} // namespace ecxsim
