// A child process that is sent signals once it says it is ready, for tests of
// what an interrupted process leaves behind.
#pragma once

#include <csignal>
#include <functional>
#include <initializer_list>

#include <sys/wait.h>
#include <unistd.h>

namespace signalledchild {
// In the child: the end of the pipe its parent waits on.
inline int g_readyFd = -1;
}  // namespace signalledchild

// Called in the child of StatusAfterSignals: tells the parent to send the
// signals now, and waits for them. A fault hook may call it halfway through
// an operation, so it uses nothing but the pipe.
[[noreturn]] inline void ReadyForSignals()
{
    if (::write(signalledchild::g_readyFd, "!", 1) != 1)
        _exit(100);
    for (;;)
        ::pause();
}

// Runs `child` in a child process, which is ready for the signals when it
// calls ReadyForSignals or returns; sends it each signal in turn and returns
// how it ended (a waitpid status). A child that ends before it is ready is
// killed with SIGKILL, if it is still there.
inline int StatusAfterSignals(const std::function<void()>& child, std::initializer_list<int> signals)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        signalledchild::g_readyFd = ready[1];
        child();
        ReadyForSignals();
    }
    ::close(ready[1]);
    char byte = 0;
    const bool isReady = ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
    for (const int signal : signals)
        ::kill(pid, isReady ? signal : SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}
