#include "platform/PrintWatch.h"

namespace platform {

void PrintWatch::Stop()
{
    const std::lock_guard<std::mutex> guard(m_lock);
    m_stopped = true;
    m_cancel = 1;
    if (m_interrupt)
        m_interrupt();
}

bool PrintWatch::Stopped() const
{
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_stopped;
}

QString PrintWatch::Step() const
{
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_step;
}

void PrintWatch::SetStep(const QString& step)
{
    const std::lock_guard<std::mutex> guard(m_lock);
    m_step = step;
}

void PrintWatch::SetSilent()
{
    const std::lock_guard<std::mutex> guard(m_lock);
    m_silent = true;
}

bool PrintWatch::Silent() const
{
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_silent;
}

bool PrintWatch::GivenUp() const
{
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_stopped || m_silent;
}

void PrintWatch::SetInterrupt(std::function<void()> interrupt)
{
    const std::lock_guard<std::mutex> guard(m_lock);
    m_interrupt = std::move(interrupt);
    // A stop that came before the wait began ends it as it begins.
    if (m_stopped && m_interrupt)
        m_interrupt();
}

} // namespace platform
