// Files that an interrupted process removes on its way out.
//
// SIGINT, SIGTERM and SIGHUP end a process without running destructors, so
// the temporary files it was writing would stay behind. A file registered here
// is removed when one of those signals ends the process while the
// registration lasts. The handler does nothing but unlink the registered paths
// (from a fixed table of kMaxRegisteredFiles entries: no allocation, no
// locks) and then lets the signal take its default action, so that the process
// still ends as the signal says.
//
// The handlers are installed the first time a file is registered, and only
// for those of the three signals whose action is still the default then. A
// handler the program installed itself is neither replaced nor chained (the
// program may mean to go on running, and then its files are still in use), and
// an ignored signal stays ignored (as SIGHUP is under nohup): a library must
// not change how its host reacts to signals. A program that handles these
// signals removes its temporary files itself. A program that installs its
// handler after the first registration replaces this one.
//
// Registrations belong to the process that made them: a forked child that is
// interrupted leaves its parent's files alone.
#pragma once

#include <platform/Descriptor.h>

#include <cstddef>
#include <string>
#include <utility>

namespace platform {

// Files registered at one time; further registrations are not honoured.
constexpr std::size_t kMaxRegisteredFiles = 64;

class RemovedOnInterrupt {
public:
    RemovedOnInterrupt() = default;
    // Registers path, made absolute against the current folder now, so that a
    // later change of folder does not matter. A path that does not fit
    // (PATH_MAX) or a full table registers nothing. `hold`, a descriptor of
    // the file, stays open as long as the registration lasts (also when the
    // table is full), with the lock that tells others the file is in use.
    explicit RemovedOnInterrupt(const std::string& path, Descriptor hold = Descriptor());
    // Ends the registration; the file itself stays.
    ~RemovedOnInterrupt() { Release(); }
    RemovedOnInterrupt(RemovedOnInterrupt&& other) noexcept : m_slot(other.m_slot), m_hold(std::move(other.m_hold))
    {
        other.m_slot = -1;
    }
    RemovedOnInterrupt& operator=(RemovedOnInterrupt&& other) noexcept;
    RemovedOnInterrupt(const RemovedOnInterrupt&) = delete;
    RemovedOnInterrupt& operator=(const RemovedOnInterrupt&) = delete;

    // Ends the registration, and closes the hold, now.
    void Release();

private:
    int m_slot = -1;
    Descriptor m_hold;
};

}  // namespace platform
