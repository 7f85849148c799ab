#pragma once
// The numbered error Comm raises for a bad argument or property value.
#include "seriallink/XelCommExport.h"

#include <QString>
#include <QByteArray>
#include <exception>

// Numbers above the automation error base.
enum CommErrorNumbers : qint32 {
    ErrCommPort = 1001,
    ErrIdentity = 1002,
    ErrRetries = 1003,
    ErrTimeOut = 1004,
    ErrRegisterAddress = 1101,
    ErrTooManySetRegisters = 1102,
    ErrRegisterRange = 1103, // also SetBits: too many bits
    ErrTooManyGetRegisters = 1104,
    ErrBitAddress = 1105,
    ErrTooManyGetBits = 1107,
    ErrBitRange = 1108,
    ErrBitRunTooShort = 1109,
    ErrNoRegisters = 1110,
    ErrLongToByteArray = 2001,
    ErrLongArrayToByteArray = 2002,
    ErrAddLongArrays = 2003,
    ErrAddBooleanArrays = 2004,
};

inline constexpr quint32 kAutomationErrorBase = 0x80040000u;

class XELCOMM_EXPORT CommException : public std::exception {
public:
    CommException(qint32 code, QString message);
    ~CommException() override;
    // The automation error number: the base plus Code().
    qint32 Number() const;
    qint32 Code() const { return m_code; }
    QString Source() const { return QStringLiteral("XelComm.Comm"); }
    QString Description() const { return m_message; }
    const char* what() const noexcept override;

private:
    qint32 m_code;
    QString m_message;
    QByteArray m_what;
};
