#include <platform/Interruption.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>

#include <unistd.h>

namespace platform {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

enum SlotState { kFree, kFilling, kArmed };

// The handler reads the table while other threads change it, so a slot is
// claimed, filled and only then armed; the handler touches armed slots only.
struct Slot {
    std::atomic<int> state{kFree};
    pid_t owner = 0;
    char path[PATH_MAX];
};
static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the slots' state");

Slot g_slots[kMaxRegisteredFiles];

extern "C" void RemoveAndEnd(int signal)
{
    const int saved = errno;
    const pid_t self = ::getpid();
    for (Slot& slot : g_slots) {
        if (slot.state.load(std::memory_order_acquire) == kArmed && slot.owner == self)
            ::unlink(slot.path);
    }
    // SA_RESETHAND has put the default action back; the signal stays blocked
    // until the handler returns and then ends the process.
    ::raise(signal);
    errno = saved;
}

void InstallHandlers()
{
    for (const int signal : kSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) != 0 ||
            current.sa_handler != SIG_DFL)
            continue;
        struct sigaction action {};
        action.sa_handler = &RemoveAndEnd;
        // One cleanup at a time: the other two wait until it is done.
        sigemptyset(&action.sa_mask);
        for (const int other : kSignals)
            sigaddset(&action.sa_mask, other);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signal, &action, nullptr);
    }
}

// The path made absolute; empty when it cannot be, or would not fit a slot.
std::string Absolute(const std::string& path)
{
    std::string absolute;
    if (!path.empty() && path.front() != '/') {
        char folder[PATH_MAX];
        if (!::getcwd(folder, sizeof folder))
            return {};
        absolute = folder;
        absolute += '/';
    }
    absolute += path;
    return path.empty() || absolute.size() >= PATH_MAX ? std::string() : absolute;
}

}  // namespace

RemovedOnInterrupt::RemovedOnInterrupt(const std::string& path, Descriptor hold) : m_hold(std::move(hold))
{
    static std::once_flag installed;
    std::call_once(installed, InstallHandlers);
    const std::string absolute = Absolute(path);
    if (absolute.empty())
        return;
    for (std::size_t i = 0; i < kMaxRegisteredFiles; ++i) {
        Slot& slot = g_slots[i];
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire))
            continue;
        std::memcpy(slot.path, absolute.c_str(), absolute.size() + 1);
        slot.owner = ::getpid();
        slot.state.store(kArmed, std::memory_order_release);
        m_slot = static_cast<int>(i);
        return;
    }
}

RemovedOnInterrupt& RemovedOnInterrupt::operator=(RemovedOnInterrupt&& other) noexcept
{
    if (this != &other) {
        Release();
        m_slot = other.m_slot;
        other.m_slot = -1;
        m_hold = std::move(other.m_hold);
    }
    return *this;
}

void RemovedOnInterrupt::Release()
{
    if (m_slot >= 0)
        g_slots[m_slot].state.store(kFree, std::memory_order_release);
    m_slot = -1;
    m_hold.Reset();
}

}  // namespace platform
