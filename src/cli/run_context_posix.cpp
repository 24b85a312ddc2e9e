// Ctrl-C and terminal detection for the commands, through POSIX
#include "cli/run_context.h"

#include <atomic>
#include <csignal>

#include <unistd.h>

namespace corvane {

namespace {

// A signal handler can reach nothing but a lock-free flag; this is the process's only one.
std::atomic<bool> g_interrupted{false};

extern "C" void OnInterrupt(int) {
    g_interrupted.store(true);
}

} // namespace

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

std::function<bool()> WatchInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND; // the second Ctrl-C is not ours to soften
    ::sigaction(SIGINT, &action, nullptr);
    return [] { return g_interrupted.load(); };
}

} // namespace corvane
