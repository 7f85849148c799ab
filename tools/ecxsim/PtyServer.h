#pragma once
// Serves a simulated unit on a pseudo-terminal, so a serial-port client can open
// the slave device as if it were a COM port.
#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace ecxsim {

class Unit;

class PtyServer : public QObject {
    Q_OBJECT
public:
    explicit PtyServer(Unit* unit, QObject* parent = nullptr);
    ~PtyServer() override;

    // Opens the pair in raw mode; false (with ErrorString) when the system refuses.
    bool Open();
    void Close();
    bool IsOpen() const { return master_ >= 0; }

    // The slave device to point a client at, such as "/dev/pts/3".
    QString SlavePath() const { return slavePath_; }
    QString ErrorString() const { return error_; }

private:
    void ReadMaster();
    void WriteMaster(const QByteArray& bytes);
    void Flush();

    Unit* unit_;
    int master_ = -1;
    int slaveKeeper_ = -1; // keeps the slave side alive between clients
    QString slavePath_;
    QString error_;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    QByteArray pending_;
};

} // namespace ecxsim
