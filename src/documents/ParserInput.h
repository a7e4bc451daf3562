// A document's bytes as a parser reads them: all there from the start, or
// still arriving from another thread (an EPUB entry being inflated), so that
// the parse runs beside what makes its input.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

namespace documents {

class ParserInput {
public:
    // Bytes that are all there; `whole` must outlive the input.
    explicit ParserInput(std::string_view whole);
    // Bytes another thread appends and then finishes.
    ParserInput();
    ParserInput(const ParserInput&) = delete;
    ParserInput& operator=(const ParserInput&) = delete;

    // The filling thread's side. Reserve is a hint of the size to come;
    // after Finish (with the reason when the bytes stop short, else empty)
    // nothing more is appended.
    void Reserve(std::size_t size);
    void Append(std::string_view bytes);
    void Finish(std::string problem = {});

    // Waits until more than `seen` bytes have come or none will come, then
    // calls `take(bytes, finished)` with the bytes from `from` on, while
    // nothing is appended. `from` <= `seen`; `seen` is what the last call
    // handed over (0 at first).
    template <class Take>
    void Read(std::size_t from, std::size_t seen, Take&& take)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_finished || Size() > seen; });
        take(Bytes().substr(from), m_finished);
    }

    // Up to the first `count` bytes (fewer when there are no more), once
    // they have come.
    std::string Start(std::size_t count);
    // Every byte, once all have come; the bytes' problem, if any, is then
    // in Problem().
    std::string_view Whole();
    const std::string& Problem();

private:
    std::string_view Bytes() const { return m_external ? m_view : std::string_view(m_bytes); }
    std::size_t Size() const { return Bytes().size(); }
    void WaitForEnd();

    bool m_external;
    std::string_view m_view;
    std::string m_bytes;
    std::string m_problem;
    bool m_finished;
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

}  // namespace documents
