// what the archive writer needs from the operating system beyond the standard library
#include "core/zip_file_sync.h"

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace corvane {
namespace {

Status SyncPath(const std::string& path, int flags) {
    int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return fail("Could not open \"" + path + "\" to flush it: " + std::strerror(errno) + ".");
    int result = ::fsync(fd);
    int error = errno;
    ::close(fd);
    if (result != 0)
        return fail("Could not flush \"" + path + "\" to the disk: " + std::strerror(error) + ".");
    return Status::success();
}

} // namespace

Status SyncFile(const std::string& path) {
    return SyncPath(path, O_RDONLY);
}

Status SyncFolder(const std::string& folder) {
    return SyncPath(folder, O_RDONLY | O_DIRECTORY);
}

void IgnoreFileSizeSignal() {
    static const bool ignored = [] { return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR; }();
    (void)ignored;
}

long CurrentProcessId() {
    return static_cast<long>(::getpid());
}

bool ProcessIsRunning(long processId) {
    // a process of another user cannot be signalled, but it runs
    return processId > 0 && (::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM);
}

} // namespace corvane
