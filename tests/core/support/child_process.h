// work done in a child process, whose verdict is its exit code: gtest's assertions, a lowered limit or the
// rights of another account must not reach the test program
#pragma once

#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace corvane::testing {

inline int ExitCodeOf(pid_t pid) {
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Starts `work` in a child that exits with what it returns.
inline pid_t StartChild(const std::function<int()>& work) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(work());
    return pid;
}

// An administrator reads and writes anywhere: take the rights of an ordinary account.
inline bool DropToNobody() {
    return ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
}

// Runs `work` in a child and kills it `delay` after the child calls `signal` (never, if it does not).
inline int KillDuring(const std::function<void(const std::function<void()>& signal)>& work,
                      std::chrono::microseconds delay) {
    int channel[2];
    if (::pipe(channel) != 0)
        return -1;
    const pid_t pid = StartChild([&channel, &work] {
        ::close(channel[0]);
        work([&channel] {
            if (channel[1] >= 0 && ::write(channel[1], "x", 1) == 1) {
                ::close(channel[1]);
                channel[1] = -1;
            }
        });
        return 0;
    });
    ::close(channel[1]);
    char byte = 0;
    const bool signalled = pid > 0 && ::read(channel[0], &byte, 1) == 1;
    ::close(channel[0]);
    if (signalled) {
        std::this_thread::sleep_for(delay);
        ::kill(pid, SIGKILL);
    }
    return ExitCodeOf(pid);
}

} // namespace corvane::testing
