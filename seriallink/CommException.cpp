#include "seriallink/CommException.h"

CommException::CommException(qint32 code, QString message)
    : m_code(code)
    , m_message(std::move(message))
    , m_what(m_message.toUtf8())
{
}

CommException::~CommException() = default;

qint32 CommException::Number() const { return qint32(kAutomationErrorBase + quint32(m_code)); }

const char* CommException::what() const noexcept { return m_what.constData(); }
