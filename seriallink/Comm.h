#pragma once
// The master side of the serial link to one control unit.
#include "seriallink/CommException.h"
#include "seriallink/XelCommExport.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <memory>

enum XelCommMinMaxValues : qint32 {
    MinRegisterAddress = 0,
    MaxRegisterAddress = 3071,
    MinRegisterValue = 0,
    MaxRegisterValue = 65535,
    MinBitAddress = 0,
    MaxBitAddress = 16383,
};

class XELCOMM_EXPORT Comm {
public:
    Comm();
    ~Comm();
    Comm(const Comm&) = delete;
    Comm& operator=(const Comm&) = delete;

    qint32 ByteCount() const;
    qint16 CommPort() const;
    void SetCommPort(qint16 value);
    QString Settings();
    void SetSettings(const QString& value);
    qint16 Identity() const;
    void SetIdentity(qint16 value);
    bool IgnorenotToMaster() const;
    void SetIgnorenotToMaster(bool value);
    // One switch for the whole library.
    static bool ShowDebug();
    static void SetShowDebug(bool value);
    qint16 Retries() const;
    void SetRetries(qint16 value);
    qint16 TimeOut() const;
    void SetTimeOut(qint16 value);
    bool Active() const;
    bool CommDone() const;
    qint16 CommError() const;
    void ResetByteCount();
    void Cancel();
    void EndComm();
    void StartComm(bool DisplayDialog = false);

    bool SetRegister(qint16 Address, qint32 Value);
    bool SetRegisters(qint16 StartAddress, const QVector<qint32>& Value);
    bool SetRegistersEx(qint16 StartAddress, const QVector<qint32>& Value);
    bool GetRegister(qint16 Address, qint32& Value);
    bool GetRegisters(qint16 StartAddress, qint16 NumberOfRegisters, QVector<qint32>& Value);
    bool GetRegistersEx(qint16 StartAddress, qint16 NumberOfRegisters, QVector<qint32>& Value);
    bool SetBit(qint16 Address, bool Value);
    bool SetBits(qint16 StartAddress, const QVector<bool>& Value);
    bool SetBitsEx(qint16 StartAddress, const QVector<bool>& Value);
    bool GetBit(qint16 Address, bool& Value);
    bool GetBits(qint16 StartAddress, qint16 NumberOfBits, QVector<bool>& Value);
    bool GetBitsEx(qint16 StartAddress, qint16 NumberOfBits, QVector<bool>& Value);

    QString Version() const;

    // Kind of the pending request and the data of the last accepted reply.
    qint16 RequestKind() const;
    QByteArray ReplyData() const;

    struct Impl;

private:
    bool SetBitRun(qint32 start, const QVector<bool>& value, int from, int count);
    bool GetBitRun(qint32 start, int count, QVector<bool>& value);
    void CheckBitRun(qint32 start, qint64 count, int tooManyCode, const char* tooManyText, bool limitMiddle);
    std::unique_ptr<Impl> d;
};
