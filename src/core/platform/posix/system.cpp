// the process, its clock, its allocator and its signals, through POSIX and the GNU C library
#include "core/platform/platform.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib> // defines __GLIBC__ when the C library is GNU's
#include <pwd.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace corvane {

// std::localtime shares one buffer between threads
std::tm ToLocalTime(std::time_t moment) {
    std::tm out{};
    localtime_r(&moment, &out);
    return out;
}

namespace {

std::string CurrentFolderAsNamed() {
    struct stat named {}, current {};
    const char* pwd = std::getenv("PWD");
    if (pwd != nullptr && pwd[0] == '/' && ::stat(pwd, &named) == 0 && ::stat(".", &current) == 0 &&
        named.st_dev == current.st_dev && named.st_ino == current.st_ino)
        return pwd;
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return ".";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

} // namespace

char NativeSeparator() {
    return '/';
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::filesystem::path FsPath(const std::string& utf8) {
    return std::filesystem::path(utf8); // the bytes are the name
}

std::string Utf8OfPath(const std::filesystem::path& path) {
    return path.string();
}

std::string AbsolutePathAsTyped(const std::string& path) {
    if (path.empty() || path.front() == '/')
        return path;
    std::string folder = CurrentFolderAsNamed();
    if (folder.back() != '/')
        folder += '/';
    return folder + path;
}

Result<std::string> ExecutablePath() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return fail(ErrorKind::NotFound,
                        std::string("Cannot find the program's own path: ") + SystemErrorReason(errno));
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::string> UserHomeFolder() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE)
        buffer.resize(buffer.size() * 2);
    if (found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/')
        return std::nullopt;
    return std::string(found->pw_dir);
}

void UseUtf8Console() {}

void TuneAllocatorForArchiving() {
#if defined(__GLIBC__)
    constexpr int kKeptBytes = 4 << 20;
    mallopt(M_MMAP_THRESHOLD, kKeptBytes);
    mallopt(M_TRIM_THRESHOLD, kKeptBytes);
#endif
}

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
