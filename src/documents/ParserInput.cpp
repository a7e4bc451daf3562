#include "ParserInput.h"

namespace documents {

ParserInput::ParserInput(std::string_view whole) : m_external(true), m_view(whole), m_finished(true) {}

ParserInput::ParserInput() : m_external(false), m_finished(false) {}

void ParserInput::Reserve(std::size_t size)
{
    const std::lock_guard lock(m_mutex);
    m_bytes.reserve(size);
}

void ParserInput::Append(std::string_view bytes)
{
    {
        const std::lock_guard lock(m_mutex);
        m_bytes += bytes;
    }
    m_changed.notify_all();
}

void ParserInput::Finish(std::string problem)
{
    {
        const std::lock_guard lock(m_mutex);
        m_problem = std::move(problem);
        m_finished = true;
    }
    m_changed.notify_all();
}

std::string ParserInput::Start(std::size_t count)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_finished || Size() >= count; });
    return std::string(Bytes().substr(0, count));
}

void ParserInput::WaitForEnd()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_finished; });
}

// Once finished, nothing changes the bytes any more, so they are read without the lock.
std::string_view ParserInput::Whole()
{
    WaitForEnd();
    return Bytes();
}

const std::string& ParserInput::Problem()
{
    WaitForEnd();
    return m_problem;
}

}  // namespace documents
